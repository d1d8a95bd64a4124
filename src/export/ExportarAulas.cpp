#include "data/Tabla.h"
#include "export/Exportacion.h"
#include "export/TablasTrabajo.h"
#include "text/Texto.h"

void ExportarAulas(ContextoExportacion& ctx)
{
    Tabla::borrar(ctx.carpeta, "AULAT");
    Tabla aulat = Tabla::crear(ctx.carpeta, "AULAT", CamposAulat());
    for (const NodoXml& registro : ctx.docSeneca.registros("DEPENDENCIAS")) {
        if (registro.numDatos() < 2) continue;
        // The room abbreviation is the Séneca space key, so a placed room leads straight back to it.
        const std::string clave = registro.valor(1);
        aulat.agregar();
        aulat.fijar("ABREV", Izquierda(clave, 10));
        aulat.fijar("NOMBRE", registro.valor(2));
        aulat.fijar("DEPCENTRO", clave);
        aulat.grabar();
    }
    aulat.cerrar();
}
