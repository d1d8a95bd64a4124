#include "data/Tabla.h"
#include "export/Exportacion.h"
#include "text/Texto.h"

void ExportarActividades(ContextoExportacion& ctx)
{
    Tabla asignomt = Tabla::abrir(ctx.carpeta, "ASIGNOMT", Acceso::Exclusivo);
    for (const NodoXml& registro : ctx.docSeneca.registros("ACTIVIDADES")) {
        if (registro.numDatos() < 2) continue;
        const std::string nombre = registro.valor(3);
        std::string codigo = registro.valor(2);
        // Activities flagged "N" are the non-regular ones: the import knows them by this mark.
        if (registro.valor(1) == "N") codigo = "#" + codigo;
        asignomt.agregar();
        asignomt.fijar("COD", codigo);
        asignomt.fijar("CODLARGO", Izquierda(nombre, 10));
        asignomt.fijar("NOMBRE", nombre);
        asignomt.fijar("CODTAREA", codigo);
        asignomt.fijarLogico("ESTAREA", true);
        asignomt.grabar();
    }
    asignomt.cerrar();
}
