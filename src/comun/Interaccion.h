#pragma once
#include <filesystem>
#include <optional>
#include <string>

class ControlCursos;
class Plantillas;

// What a message is for, so that a front end without windows can tell instructions from results.
enum class TipoMensaje {
    Indicacion, // tells the user what comes next ("Seleccione ahora ...")
    Incidencia, // a problem the user is asked to mend ("¡Atención! Falta algún Dato")
    Resultado   // how the run ended ("Proceso finalizado", "No existe archivo", ...)
};

enum class DialogoFichero {
    Seneca,       // "Archivo XML de SÉNECA"
    Planificacion // "Archivo XML de PLANIFICACIÓN"
};

// The only way a run talks to its user. The desktop program, the command and the tests implement it.
// Every text is UTF-8.
class Interaccion {
public:
    virtual ~Interaccion() = default;

    // A plain message box: caption "TransZentarPlanif", no icon, one "OK" button; waits.
    virtual void mensaje(const std::string& texto, TipoMensaje tipo) = 0;
    // An OK/Cancel question with a warning icon; true for OK.
    virtual bool preguntar(const std::string& titulo, const std::string& texto) = 0;
    // The file-open dialog for an XML file; nothing when the user cancels.
    virtual std::optional<std::filesystem::path> elegirFichero(DialogoFichero dialogo) = 0;
    // Shows the level and course dialog modally, driving its logic; returns when it has closed.
    virtual void mostrarCursos(ControlCursos& cursos) = 0;
    // Shows the time-frame dialog modally, driving its logic; returns when it has closed.
    virtual void mostrarMarcos(Plantillas& plantillas) = 0;
    // The wait cursor on (true) or off (false).
    virtual void ocupado(bool activo) = 0;
};

// Shows the wait cursor for the life of the object.
class CursorOcupado {
public:
    explicit CursorOcupado(Interaccion& interaccion) : interaccion_(interaccion) { interaccion_.ocupado(true); }
    ~CursorOcupado() { interaccion_.ocupado(false); }
    CursorOcupado(const CursorOcupado&) = delete;
    CursorOcupado& operator=(const CursorOcupado&) = delete;

private:
    Interaccion& interaccion_;
};
