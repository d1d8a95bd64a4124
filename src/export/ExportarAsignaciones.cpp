#include "data/Tabla.h"
#include "export/Exportacion.h"
#include "export/RegistroMateria.h"
#include "export/TablasTrabajo.h"
#include "text/Texto.h"

#include <optional>
#include <string>

namespace {

// Every lesson starts with the default week of 240 minutes: whole hours, one one-hour lesson each.
constexpr int kMinutosSemana = 240;
constexpr int kHorasSemana = (kMinutosSemana + 59) / 60;
const std::string kSesiones(kHorasSemana, '1');
constexpr const char* kTareaLectiva = "1";

// The short code of the first subject whose name matches, without regard to a-z case or outer blanks.
std::optional<std::string> CodigoCorto(Tabla& asignaturas, const std::string& nombre)
{
    const std::string buscado = QuitaBlancos(Mayusculas(Izquierda(nombre, 80)));
    for (asignaturas.primero(); !asignaturas.fin(); asignaturas.siguiente())
        if (QuitaBlancos(Mayusculas(asignaturas.texto("NOMBRE"))) == buscado) return asignaturas.texto("COD");
    return std::nullopt;
}

} // namespace

void ExportarAsignaciones(ContextoExportacion& ctx)
{
    Tabla::borrar(ctx.carpeta, "ASIGT");
    Tabla asignaciones = Tabla::crear(ctx.carpeta, "ASIGT", CamposAsigt());
    Tabla grupos = Tabla::abrir(ctx.carpeta, "GRUPOST");
    Tabla asignaturas = Tabla::abrir(ctx.carpeta, "ASIGNOMT");

    for (const NodoXml& registro : ctx.docSeneca.registros("MATERIAS")) {
        if (registro.numDatos() < 2) continue;
        const RegistroMateria materia = LeerRegistroMateria(registro);
        // A record that lost its subject name names no subject to teach.
        if (materia.nombre.empty()) continue;
        const std::optional<std::string> codigo = CodigoCorto(asignaturas, materia.nombre);
        if (!codigo) continue;

        for (grupos.primero(); !grupos.fin(); grupos.siguiente()) {
            if (grupos.texto("CLAVECURSO") != materia.oferta) continue;
            asignaciones.agregar();
            asignaciones.fijar("CASIG", *codigo);
            asignaciones.fijar("CGRUP", grupos.texto("ABREV"));
            asignaciones.fijar("NIVEL", grupos.texto("NIVEL"));
            asignaciones.fijar("CURSO", grupos.texto("CURSO"));
            asignaciones.fijar("GRUPO", grupos.texto("GRUPO"));
            asignaciones.fijar("HORAS", std::to_string(kHorasSemana));
            asignaciones.fijar("SESIONES", kSesiones);
            asignaciones.fijar("CLAVE", materia.clave);
            asignaciones.fijar("CLAVECURSO", materia.oferta);
            asignaciones.fijar("CLAVEGRUPO", grupos.texto("CLAVE"));
            asignaciones.fijar("CTAREA", kTareaLectiva);
            asignaciones.grabar();
        }
    }
    asignaciones.cerrar();
    grupos.cerrar();
    asignaturas.cerrar();
}
