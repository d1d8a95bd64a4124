#pragma once
#include "comun/Interaccion.h"
#include "data/Tabla.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The six fields of CURSOST, and of CURSOST2, which keeps the levels of earlier exports.
std::vector<Campo> CamposCursos();

// Texts of the level and course dialog (UTF-8).
namespace TextosCursos {
inline constexpr const char* kTitulo = "Asignación de Niveles y Cursos";
inline constexpr const char* kTituloRecuperacion = "Recuperación de Niveles y Cursos importados anteriormente";
inline constexpr const char* kTextoRecuperacion =
    "Existen Niveles y Cursos ya definidos de una Importación anterior.\n\r"
    "¿Quiere recuperar las codificaciones introducidas anteriormente?";
inline constexpr const char* kFaltaDato = "¡Atención! Falta algún Dato";
} // namespace TextosCursos

// The logic of the level and course dialog (TControlCursos), without any window: one instance
// serves one showing. A window or the command drives it: FormShow() when it opens, the cell
// setters while the user types, then one of BitBtn1Click(), BitBtn2Click() or cerrarVentana(); after that
// the table is closed and BitBtn1Click() or a cell setter throws Error.
class ControlCursos {
public:
    // One course as the grid shows it; Windows-1252 text.
    struct Fila {
        std::string clave; // "CÓD.SÉNECA", read only
        std::string estud; // "ESTUDIOS", read only
        std::string nivel; // "NIVEL", 5 characters
        std::string curso; // "CURSO", 3 characters
    };

    ControlCursos(std::filesystem::path carpeta, Interaccion& interaccion, bool dialogoRepetido);

    // FormShow: opens CURSOST; when CURSOST2.DBF exists asks (OK/Cancel) whether to recover the
    // earlier levels: OK copies them in, Cancel deletes CURSOST2.DBF. Shows the forced exit when
    // the dialog is a repeated one.
    void FormShow();
    // CursosTDBGridEnter: on a table without rows a new, blank row is started.
    void CursosTDBGridEnter();
    // CursosTDBGridColEnter: entering another column hides the forced exit and its warning.
    void CursosTDBGridColEnter();

    std::size_t numFilas() const;
    const Fila& fila(std::size_t indice) const;
    // Store a value typed in the grid (cut to the field's width) into CURSOST at once.
    void fijarNivel(std::size_t indice, std::string_view nivel);
    void fijarCurso(std::size_t indice, std::string_view curso);

    // BitBtn1Click. Refuses (FaltanDatos() set, incidents shown, "¡Atención! Falta algún Dato")
    // when a row lacks a level or course number after removing blanks and control characters;
    // otherwise saves every row into CURSOST2. Closes CURSOST: the dialog closes afterwards.
    void BitBtn1Click();
    // BitBtn2Click: MarcaSalida() becomes "fuera"; CURSOST keeps what was stored, CURSOST2 is not updated.
    void BitBtn2Click();
    // The window's close box: no check, results stay at their initial values.
    void cerrarVentana();

    bool incidenciaVisible() const { return incidenciaVisible_; }
    bool salidaForzadaVisible() const { return salidaForzadaVisible_; }
    bool FaltanDatos() const { return faltanDatos_; }
    const std::string& MarcaSalida() const { return marcaSalida_; }
    // Rows still lacking a level or course number (for the command's report).
    std::vector<Fila> filasIncompletas() const;

private:
    void guardarEnCursos(std::size_t indice);
    void guardarCursosT2();

    std::filesystem::path carpeta_;
    Interaccion& interaccion_;
    bool dialogoRepetido_;
    std::optional<Tabla> cursosT_;
    std::vector<Fila> filas_;
    bool incidenciaVisible_ = false;
    bool salidaForzadaVisible_ = false;
    bool faltanDatos_ = false;
    std::string marcaSalida_;
};
