#include "comun/Error.h"
#include "data/Tabla.h"
#include "export/Exportacion.h"
#include "text/Texto.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

namespace {

constexpr const char* kTareaLectiva = "1";

// Where a load was read, for the messages.
struct Origen {
    const DocumentoXml& doc;
    std::string seccion;
    std::size_t numRegistro;
};

[[noreturn]] void ErrorCarga(const Origen& origen, const char* campo, const std::string& valor, const char* motivo)
{
    throw Error("El registro nº " + std::to_string(origen.numRegistro) + " de la sección " + origen.seccion +
                " del fichero de PLANIFICACIÓN «" + origen.doc.ruta().string() + "» tiene en el campo " + campo +
                " un valor que " + motivo + ": «" + AnsiAUtf8(valor) + "».");
}

// One teaching load of the planning file, values as read; a value the record lacks is empty.
struct Carga {
    std::string materia, oferta, unidad, nivel, sesiones, origen, tarea;
    // Checked before any row is touched, so that a faulty load leaves the tables as they were.
    std::string horas, nivelEntero, sesionesFila;
};

Carga LeerCarga(const NodoXml& registro, const Origen& origen)
{
    Carga carga;
    carga.materia = registro.valorSinQuitar(2);
    carga.oferta = registro.valorSinQuitar(3);
    carga.unidad = registro.valorSinQuitar(5);
    carga.nivel = registro.valorSinQuitar(6);
    carga.sesiones = registro.valorSinQuitar(8);
    carga.origen = registro.valorSinQuitar(11);
    carga.tarea = registro.valorSinQuitar(13);

    // Each digit of the lesson pattern is one lesson's length in hours; a week has at least one hour.
    if (!std::all_of(carga.sesiones.begin(), carga.sesiones.end(), [](char c) { return c >= '0' && c <= '9'; }))
        ErrorCarga(origen, "SESIONES", carga.sesiones, "tiene caracteres que no son cifras");
    const std::string suma = SumaDigitos(carga.sesiones);
    carga.horas = suma == "0" ? "1" : suma;
    carga.sesionesFila = carga.sesiones.empty() ? "1" : carga.sesiones;

    const std::string nivel = QuitaBlancos(carga.nivel);
    if (!nivel.empty()) {
        long long numero = 0;
        if (!LeerEnteroEstricto(nivel, numero) || numero < std::numeric_limits<std::int32_t>::min() ||
            numero > std::numeric_limits<std::int32_t>::max())
            ErrorCarga(origen, "X_NIVCONPAGLEG", carga.nivel, "no es un número entero");
        carga.nivelEntero = std::to_string(numero);
    }
    return carga;
}

// The fields that every row a load reaches takes from it.
void FijarCarga(Tabla& asignaciones, const Carga& carga, const std::string& profesor)
{
    asignaciones.fijar("CPROF", profesor);
    asignaciones.fijar("HORAS", carga.horas);
    asignaciones.fijar("SESIONES", carga.sesionesFila);
    asignaciones.fijar("CORIGEN", carga.origen);
    asignaciones.fijar("CTAREA", carga.tarea);
    asignaciones.fijar("X_NIVCONPAGLEG", carga.nivelEntero);
}

class Planificacion {
public:
    explicit Planificacion(const ContextoExportacion& ctx)
        : ctx_(ctx), profesores_(Tabla::abrir(ctx.carpeta, "PROFT")),
          asignaciones_(Tabla::abrir(ctx.carpeta, "ASIGT")), materias_(Tabla::abrir(ctx.carpeta, "ASIGNOMT2")),
          asignaturas_(Tabla::abrir(ctx.carpeta, "ASIGNOMT")), grupos_(Tabla::abrir(ctx.carpeta, "GRUPOST"))
    {
    }

    void profesor(const NodoXml& seccion, std::size_t numero)
    {
        if (seccion.numDatos() == 0) return;
        std::string abrev;
        const std::string empleado = seccion.valor(1);
        // An empty key names no teacher of the Séneca file.
        if (!empleado.empty() && profesores_.localizar("X_EMPLEADO", {empleado})) {
            abrev = profesores_.texto("ABREV");
            profesores_.editar();
            profesores_.fijar("EMAIL", seccion.valor(4));
            profesores_.grabar();
        }

        Origen origen{ctx_.docPlanificacion, "PROFESOR_" + std::to_string(numero), 0};
        for (const NodoXml& registro : ctx_.docPlanificacion.registros(origen.seccion)) {
            ++origen.numRegistro;
            if (registro.numDatos() == 0) continue;
            carga(LeerCarga(registro, origen), abrev);
        }
    }

    void cerrar()
    {
        profesores_.cerrar();
        asignaciones_.cerrar();
        materias_.cerrar();
        asignaturas_.cerrar();
        grupos_.cerrar();
    }

private:
    void carga(Carga carga, const std::string& profesor)
    {
        // An empty task code names no task: not even an activity stored without a code of its own ("#").
        if (!carga.tarea.empty() && asignaturas_.localizar("COD", {"#" + carga.tarea}))
            carga.tarea = "#" + carga.tarea;

        if (materias_.localizar("MATERIA;OFERTAMATRI", {carga.materia, carga.oferta})) {
            const std::string codigo = materias_.texto("COD");
            if (asignaciones_.localizar("CASIG;CPROF;CLAVE;CLAVECURSO;CLAVEGRUPO",
                                        {codigo, "", carga.materia, carga.oferta, carga.unidad})) {
                asignaciones_.editar();
                FijarCarga(asignaciones_, carga, profesor);
                asignaciones_.grabar();
                return;
            }
            agregar(codigo, carga.materia, carga, profesor, true);
            return;
        }

        if (!carga.tarea.empty() && carga.tarea != kTareaLectiva && asignaturas_.localizar("COD", {carga.tarea}))
            agregar(carga.tarea, carga.tarea, carga, profesor, false);
    }

    void agregar(const std::string& codigo, const std::string& clave, const Carga& carga,
                 const std::string& profesor, bool conGrupo)
    {
        std::string abrev, turno, nivel, curso, grupo;
        if (conGrupo && !carga.unidad.empty() && grupos_.localizar("CLAVE", {carga.unidad})) {
            abrev = grupos_.texto("ABREV");
            turno = grupos_.texto("TURNO");
            nivel = grupos_.texto("NIVEL");
            curso = grupos_.texto("CURSO");
            grupo = grupos_.texto("GRUPO");
        }
        asignaciones_.agregar();
        asignaciones_.fijar("CASIG", codigo);
        asignaciones_.fijar("CGRUP", abrev);
        asignaciones_.fijar("TURNO", turno);
        asignaciones_.fijar("NIVEL", nivel);
        asignaciones_.fijar("CURSO", curso);
        asignaciones_.fijar("GRUPO", grupo);
        asignaciones_.fijar("CLAVE", clave);
        asignaciones_.fijar("CLAVECURSO", carga.oferta);
        asignaciones_.fijar("CLAVEGRUPO", carga.unidad);
        FijarCarga(asignaciones_, carga, profesor);
        asignaciones_.grabar();
    }

    const ContextoExportacion& ctx_;
    Tabla profesores_, asignaciones_, materias_, asignaturas_, grupos_;
};

} // namespace

void ExportarPlanificacion(ContextoExportacion& ctx)
{
    Planificacion planificacion(ctx);
    const std::vector<NodoXml> secciones = ctx.docPlanificacion.secciones();
    for (std::size_t n = 1; n <= secciones.size(); ++n)
        planificacion.profesor(secciones[n - 1], n);
    planificacion.cerrar();
}
