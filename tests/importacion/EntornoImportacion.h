#pragma once
#include "apoyo/Apoyo.h"
#include "comun/Sesion.h"
#include "data/Tabla.h"
#include "export/TablasTrabajo.h"

#include <filesystem>
#include <string>
#include <vector>

// SOLUC, the timetable product's result. The tables the export writes take its own field lists.
extern const std::vector<Campo> kCamposSoluc;
// The cells of the standard fixture: two sections, a day-0 cell, a quote, a frame "1x", case.
extern const std::vector<std::vector<std::string>> kFilasSoluc;

// A dBase III table written byte by byte, as another program writes it: fields of type 'C' or 'N'.
void EscribirDbase3(const std::filesystem::path& fichero, const std::vector<Campo>& campos,
                    const std::vector<std::vector<std::string>>& filas);

// A working folder with a small school's tables and a Séneca file, and a scripted user who chooses it.
struct EntornoImportacion {
    CarpetaTemporal carpeta;
    SesionTraspaso sesion;
    InteraccionFalsa interaccion;
    std::filesystem::path seneca;

    EntornoImportacion();
    // Replaces one table by a new one with these rows (texts in UTF-8, in field order).
    void tabla(const std::string& nombre, const std::vector<Campo>& campos,
               const std::vector<std::vector<std::string>>& filas);
    void solucion(const std::vector<std::vector<std::string>>& filas) { tabla("SOLUC", kCamposSoluc, filas); }
    // Runs the import, the Séneca file chosen in the dialog.
    FinTraspaso importar();
    std::filesystem::path resultado() const;
};

// The teacher groups of a section of the output: "seq registros=k X_EMPLEADO=.. F_TOMAPOS=..".
std::vector<std::string> Profesores(const std::filesystem::path& fichero, const std::string& seccion);
// The cell groups of a section, one line each: "teacher number/ACTIVIDAD_m NOMBRE=valor ...", UTF-8.
std::vector<std::string> Celdas(const std::filesystem::path& fichero, const std::string& seccion);
