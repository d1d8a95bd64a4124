#include "comun/Error.h"
#include "data/Tabla.h"
#include "export/Exportacion.h"
#include "export/TablasTrabajo.h"
#include "text/Texto.h"

#include <vector>

void ExportarPeriodos(ContextoExportacion& ctx)
{
    Tabla::borrar(ctx.carpeta, "PERIODOS");
    Tabla periodos = Tabla::crear(ctx.carpeta, "PERIODOS", CamposPeriodos());

    std::string anno, inicio, fin;
    bool hayRegistro = false;
    const std::vector<NodoXml> secciones = ctx.docSeneca.secciones();
    // The academic year stands in the first section groups themselves, not in records.
    for (std::size_t i = 0; i < secciones.size() && i < 2; ++i) {
        const NodoXml& grupo = secciones[i];
        if (grupo.numDatos() < 2) continue;
        anno = grupo.valor(1);
        inicio = grupo.valor(2);
        fin = grupo.valor(3);
        periodos.agregar(); // posts the record of the first group, if any
        periodos.fijar("CURSOANNO", anno);
        periodos.fijar("F_INICIO", inicio);
        periodos.fijar("F_FIN", fin);
        hayRegistro = true;
    }
    if (!hayRegistro) {
        periodos.cerrar();
        throw Error("El fichero de Séneca no contiene el año académico: ninguno de sus dos primeros grupos de "
                    "datos tiene al menos 2 datos (" +
                    ctx.docSeneca.ruta().string() + "). La tabla PERIODOS queda vacía.");
    }

    // Without both dates the year takes those of the school's first time frame.
    if (inicio.empty() || fin.empty()) {
        const std::vector<NodoXml> jornadas = ctx.docSeneca.registros("JORNADAS_ESCOLARES");
        if (!jornadas.empty() && jornadas.front().numDatos() >= 2) {
            inicio = jornadas.front().valor(3);
            fin = jornadas.front().valor(4);
        }
    }
    periodos.fijar("F_INICIO", inicio);
    periodos.fijar("F_FIN", fin);
    periodos.grabar();
    periodos.cerrar();
}
