#pragma once
#include "comun/Interaccion.h"
#include "comun/Sesion.h"

#include <filesystem>

// The import run of the "importar" button: asks for the Séneca file, reads the computed timetable
// (SOLUC) with the working tables, and writes "ResultadoZentar" + the file's name beside it.
// Sets sesion.resultadoTraspaso (1 on completion; -1 for a missing file in integrated mode).
// Throws Error when it fails; no output is written then.
FinTraspaso EjecutarImportacion(SesionTraspaso& sesion, Interaccion& interaccion,
                                const std::filesystem::path& carpeta);

// The output file: the Séneca file's folder, "ResultadoZentar", then the file's own name.
std::filesystem::path FicheroResultado(const std::filesystem::path& ficheroSeneca);
