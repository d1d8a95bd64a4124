#pragma once
#include "data/DocumentoXml.h"
#include "data/Tabla.h"

#include <filesystem>
#include <optional>
#include <string>

// What the import steps work with for the length of one run: the tables, opened on construction in
// the order the run names them and released with the object, the dates of the academic year, and the
// block under which the sections are written.
struct ContextoImportacion {
    explicit ContextoImportacion(const std::filesystem::path& carpeta);

    // Releases every table of the run; later use of them is not allowed.
    void cerrarTablas();

    std::filesystem::path carpeta;
    Tabla soluc;
    Tabla grupost;
    Tabla cursost; // opened so that the timetable product cannot change it under the run; never read
    Tabla proft;
    Tabla aulat; // likewise, opened only
    Tabla asignomt;
    Tabla asignomt2;
    Tabla diashorast;
    Tabla asigt;
    std::optional<Tabla> origenesC;
    std::optional<Tabla> curNivC; // opened only
    std::optional<Tabla> autorizaC;
    bool CatalogosCargados = false; // the catalogues hold origins: regular cells get X_ORIHORACTETP
    std::string fInicio;            // F_INICIO of PERIODOS, written into every regular cell
    std::string fFin;               // F_FIN of PERIODOS
    NodoXml bloqueDatos;            // BLOQUE_DATOS of the document being built
};

// Reads a whole-number field of the current row; a failure names the cell of SOLUC being written.
long long EnteroDeCelda(const ContextoImportacion& ctx, const Tabla& tabla, std::string_view campo);
// "profesor «ABREV», día D, hora H" of the current row of SOLUC, for messages.
std::string DescribirCelda(const ContextoImportacion& ctx);
// TAREA of the current row of SOLUC; a leading "#" marks the activity and is not part of its code.
std::string TareaDeCelda(const ContextoImportacion& ctx);
