#include "import/Importacion.h"

#include "comun/Error.h"
#include "data/DocumentoXml.h"
#include "data/Tabla.h"
#include "import/ContextoImportacion.h"
#include "import/ImportarNoRegulares.h"
#include "import/ImportarRegulares.h"
#include "text/Texto.h"

#include <ctime>
#include <string>
#include <system_error>

namespace fs = std::filesystem;

namespace {

std::string RutaTexto(const fs::path& ruta)
{
    const std::u8string texto = ruta.u8string();
    return std::string(texto.begin(), texto.end());
}

// Date and time as a Spanish school's machine writes them: dd/mm/aaaa hh:mm:ss.
std::string FechaActual()
{
    const std::time_t ahora = std::time(nullptr);
    std::tm local{};
    localtime_r(&ahora, &local);
    char texto[32];
    std::strftime(texto, sizeof texto, "%d/%m/%Y %H:%M:%S", &local);
    return texto;
}

DocumentoXml CargarSeneca(const fs::path& fichero)
{
    try {
        return DocumentoXml::cargar(fichero);
    } catch (const Error& error) {
        throw Error("El fichero elegido no es un XML de SÉNECA que se pueda leer; no se ha escrito nada. " +
                    std::string(error.what()));
    }
}

// The academic year opens the first group of a Séneca export; a file without it is not one.
std::string LeerAnno(const DocumentoXml& doc, const fs::path& fichero)
{
    const NodoXml primero = doc.seleccionarUno("/SERVICIO/BLOQUE_DATOS").primerHijo();
    if (!primero.valido())
        throw Error("El fichero «" + RutaTexto(fichero) +
                    "» no tiene datos bajo /SERVICIO/BLOQUE_DATOS: no es el XML de SÉNECA de la recogida de "
                    "datos; no se ha escrito nada.");
    return Izquierda(primero.texto(), 4);
}

// The import proper, under the busy cursor; false when PERIODOS is missing and nothing was written.
bool Importar(const fs::path& ficheroSeneca, const fs::path& carpeta)
{
    ContextoImportacion ctx(carpeta);
    DocumentoXml doc = CargarSeneca(ficheroSeneca);
    const std::string anno = LeerAnno(doc, ficheroSeneca);
    if (!Tabla::existe(carpeta, "PERIODOS")) return false;
    {
        Tabla periodos = Tabla::abrir(carpeta, "PERIODOS", Acceso::Compartido);
        periodos.primero();
        ctx.fInicio = periodos.texto("F_INICIO");
        ctx.fFin = periodos.texto("F_FIN");
        periodos.cerrar();
    }

    doc.quitarRaiz();
    NodoXml servicio = doc.crearRaiz(
        "SERVICIO", {{"modulo", "HORARIOS"}, {"tipo", "I"}, {"autor", "QUINTARA"}, {"fecha", FechaActual()}});
    ctx.bloqueDatos = servicio.agregarElemento("BLOQUE_DATOS");
    ctx.bloqueDatos.agregarGrupo("ANNO_ACADEMICO").agregarDato("C_ANNO", anno);
    ImportarNoRegulares(ctx);
    ImportarRegulares(ctx);
    ctx.cerrarTablas();
    doc.guardar(FicheroResultado(ficheroSeneca));
    return true;
}

} // namespace

FinTraspaso EjecutarImportacion(SesionTraspaso& sesion, Interaccion& interaccion, const fs::path& carpeta)
{
    interaccion.mensaje("Seleccione ahora el fichero XML procedente de SÉNECA\r\n"
                        "que utilizó en su momento para la recogida de datos. ",
                        TipoMensaje::Indicacion);
    if (auto elegido = interaccion.elegirFichero(DialogoFichero::Seneca)) sesion.ficheroSeneca = *elegido;
    std::error_code ignorado;
    if (sesion.ficheroSeneca.empty() || !fs::is_regular_file(sesion.ficheroSeneca, ignorado)) {
        interaccion.mensaje("No existe archivo", TipoMensaje::Resultado);
        if (sesion.modoIntegrado == 2) sesion.resultadoTraspaso = -1;
        return FinTraspaso::NoExisteArchivo;
    }

    bool completado = false;
    {
        CursorOcupado cursor(interaccion);
        completado = Importar(sesion.ficheroSeneca, carpeta);
    }
    if (!completado) {
        interaccion.mensaje("ATENCIÓN - PERIODOS.DBF No encontrado - Importe de nuevo XML de SÉNECA.",
                            TipoMensaje::Resultado);
        return FinTraspaso::SinPeriodos;
    }
    sesion.resultadoTraspaso = 1;
    interaccion.mensaje("Proceso finalizado", TipoMensaje::Resultado);
    return FinTraspaso::Completado;
}

fs::path FicheroResultado(const fs::path& ficheroSeneca)
{
    fs::path nombre = "ResultadoZentar";
    nombre += ficheroSeneca.filename();
    return ficheroSeneca.parent_path() / nombre;
}
