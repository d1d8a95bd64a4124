#include "export/Exportacion.h"

#include "comun/Error.h"
#include "data/Tabla.h"

#include <algorithm>
#include <optional>
#include <vector>

namespace fs = std::filesystem;

namespace {

// Asks for one file; a cancelled dialog keeps the name chosen before. False when no file exists
// under the name, after telling the user.
bool ElegirFicheroExistente(SesionTraspaso& sesion, Interaccion& interaccion, DialogoFichero dialogo,
                            fs::path& fichero)
{
    if (auto elegido = interaccion.elegirFichero(dialogo)) fichero = *elegido;
    std::error_code ignorado;
    if (!fichero.empty() && fs::is_regular_file(fichero, ignorado)) return true;
    interaccion.mensaje("No existe archivo", TipoMensaje::Resultado);
    if (sesion.modoIntegrado == 2) sesion.resultadoTraspaso = -1;
    return false;
}

// Loads an exchange file and makes sure it has the envelope the steps read.
DocumentoXml CargarIntercambio(const fs::path& fichero)
{
    DocumentoXml doc = DocumentoXml::cargar(fichero);
    if (!doc.tieneBloqueDatos())
        throw Error("El fichero " + fichero.string() +
                    " no es un fichero de intercambio: le falta el bloque /SERVICIO/BLOQUE_DATOS.");
    return doc;
}

// The tables the export rebuilds or updates; none may be held by another program when it starts.
constexpr const char* kTablasExportadas[] = {"PERIODOS",   "CURSOST",   "CURSOST2",  "ASIGNOMT",  "ASIGNOMT2",
                                             "PROFT",      "AULAT",     "GRUPOST",   "ASIGT",     "DIASHORAST",
                                             "ORIGENES_C", "NIVELES_C", "CUR_NIV_C", "AUTORIZA_C"};

// Everything the user's files and folder can be wrong about is found here, before any table is deleted.
void ComprobarAntesDeEmpezar(const DocumentoXml& docSeneca, const fs::path& carpeta, const fs::path& senematerias)
{
    // The academic year stands as datos of one of the first two section groups.
    const std::vector<NodoXml> secciones = docSeneca.secciones();
    if (std::none_of(secciones.begin(), secciones.begin() + std::min<std::size_t>(2, secciones.size()),
                     [](const NodoXml& grupo) { return grupo.numDatos() >= 2; }))
        throw Error("El fichero " + docSeneca.ruta().string() +
                    " no contiene el año académico: ninguno de sus dos primeros grupos de datos tiene al menos 2 "
                    "datos.");
    if (docSeneca.registros("JORNADAS_ESCOLARES").empty())
        throw Error("El fichero " + docSeneca.ruta().string() +
                    " no contiene ningún Marco Horario (sección JORNADAS_ESCOLARES): no se pueden "
                    "crear los tramos horarios.");
    std::error_code ignorado;
    if (!fs::is_regular_file(senematerias, ignorado))
        throw Error("No existe la tabla de referencia de materias " + senematerias.string() + ".");
    for (const char* tabla : kTablasExportadas)
        Tabla::comprobarLibre(carpeta, tabla);
}

} // namespace

FinTraspaso EjecutarExportacion(SesionTraspaso& sesion, Interaccion& interaccion, const fs::path& carpeta,
                                const fs::path& senematerias)
{
    interaccion.mensaje("Debe disponer de 2 ficheros XML. Uno procedente de SÉNECA, y otro de PLANIFICACIÓN.\n"
                        "Ambos ficheros deberán estar ubicados en una misma carpeta.",
                        TipoMensaje::Indicacion);
    interaccion.mensaje("Seleccione ahora el fichero XML procedente de SÉNECA", TipoMensaje::Indicacion);
    if (!ElegirFicheroExistente(sesion, interaccion, DialogoFichero::Seneca, sesion.ficheroSeneca))
        return FinTraspaso::NoExisteArchivo;
    interaccion.mensaje("Seleccione ahora el fichero XML procedente de PLANIFICACIÓN", TipoMensaje::Indicacion);
    if (!ElegirFicheroExistente(sesion, interaccion, DialogoFichero::Planificacion, sesion.ficheroPlanificacion))
        return FinTraspaso::NoExisteArchivo;

    std::optional<CursorOcupado> cursor(std::in_place, interaccion);
    const DocumentoXml docSeneca = CargarIntercambio(sesion.ficheroSeneca);
    const DocumentoXml docPlanificacion = CargarIntercambio(sesion.ficheroPlanificacion);
    ComprobarAntesDeEmpezar(docSeneca, carpeta, senematerias);
    fs::create_directories(carpeta);

    ContextoExportacion ctx{carpeta, senematerias, sesion, interaccion, docSeneca, docPlanificacion};
    ExportarPeriodos(ctx);
    if (!ExportarCursos(ctx)) return FinTraspaso::SalidaForzada;
    ExportarMaterias(ctx);
    ExportarActividades(ctx);
    ExportarProfesores(ctx);
    ExportarAulas(ctx);
    ExportarGrupos(ctx);
    ExportarAsignaciones(ctx);
    ExportarTramos(ctx);
    ExportarCatalogos(ctx);
    ExportarPlanificacion(ctx);
    cursor.reset();

    sesion.resultadoTraspaso = 1;
    interaccion.mensaje("Proceso finalizado", TipoMensaje::Resultado);
    return FinTraspaso::Completado;
}
