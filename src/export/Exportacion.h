#pragma once
#include "comun/Interaccion.h"
#include "comun/Sesion.h"
#include "data/DocumentoXml.h"

#include <filesystem>

// What every export step works with; one per run, so a second run starts afresh.
struct ContextoExportacion {
    std::filesystem::path carpeta;      // the working folder
    std::filesystem::path senematerias; // the reference subject table
    SesionTraspaso& sesion;
    Interaccion& interaccion;
    const DocumentoXml& docSeneca;
    const DocumentoXml& docPlanificacion;
};

// The export run of the "exportar" button: asks for the two files, loads and checks both before any
// table is touched, runs the steps in their fixed order and reports "Proceso finalizado".
// Sets sesion.resultadoTraspaso (1 on completion; -1 for a missing file in integrated mode).
// Throws Error when a step fails; the tables written before stay as written.
FinTraspaso EjecutarExportacion(SesionTraspaso& sesion, Interaccion& interaccion,
                                const std::filesystem::path& carpeta, const std::filesystem::path& senematerias);

// The steps, in the order the run calls them. Each rebuilds its own tables.
void ExportarPeriodos(ContextoExportacion& ctx);
// Returns false when the user forced the exit in the level and course dialog.
bool ExportarCursos(ContextoExportacion& ctx);
void ExportarMaterias(ContextoExportacion& ctx);
void ExportarActividades(ContextoExportacion& ctx);
void ExportarProfesores(ContextoExportacion& ctx);
void ExportarAulas(ContextoExportacion& ctx);
void ExportarGrupos(ContextoExportacion& ctx);
void ExportarAsignaciones(ContextoExportacion& ctx);
void ExportarTramos(ContextoExportacion& ctx);
void ExportarCatalogos(ContextoExportacion& ctx);
void ExportarPlanificacion(ContextoExportacion& ctx);
