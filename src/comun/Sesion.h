#pragma once
#include <filesystem>
#include <string>

// The state one program shares between its runs (the main window owns it).
struct SesionTraspaso {
    std::filesystem::path ficheroSeneca;        // last Séneca file chosen; kept when a dialog is cancelled
    std::filesystem::path ficheroPlanificacion; // last planning file chosen
    bool dialogoRepetido = false;               // a dialog had to be shown again; never cleared
    int modoIntegrado = 0;                      // 2 once embedded in the caller's window
    int resultadoTraspaso = 0;                  // 1 completed, -1 missing file (integrated), 0 otherwise
};

// Where a run works and where the program lives.
struct Carpetas {
    std::filesystem::path trabajo;  // the working folder with the tables
    std::filesystem::path programa; // the executable's folder (SENEMATERIAS.DBF, Quintara.ini)
};

// How a run ended (an error ends it by throwing Error instead).
enum class FinTraspaso {
    Completado,      // "Proceso finalizado" shown; the buttons are to be disabled
    NoExisteArchivo, // "No existe archivo" shown; in integrated mode the window is to close
    SalidaForzada,   // the user forced the exit in the level and course dialog; the program ends
    SinPeriodos      // the import found no PERIODOS.DBF; nothing written
};

// The working folder: C:\QTEMP on Windows; elsewhere $QTEMP, by default QTEMP in the user's home.
std::filesystem::path CarpetaTrabajoPorDefecto();
// The folder where the file dialogs start: the working folder's "seneca" subfolder.
std::filesystem::path CarpetaDialogos(const std::filesystem::path& trabajo);
