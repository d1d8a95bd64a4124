#include "export/Cursos.h"
#include "export/Exportacion.h"

bool ExportarCursos(ContextoExportacion& ctx)
{
    Tabla::borrar(ctx.carpeta, "CURSOST");
    Tabla cursos = Tabla::crear(ctx.carpeta, "CURSOST", CamposCursos());
    for (const NodoXml& registro : ctx.docSeneca.registros("CURSOS_DEL_CENTRO")) {
        if (registro.numDatos() < 2) continue;
        cursos.agregar();
        cursos.fijar("CLAVE", registro.valor(1));
        cursos.fijar("ESTUD", registro.valor(2));
        cursos.grabar();
    }
    cursos.cerrar();

    // Every course needs a level and a course number: the dialog comes back until the user gives
    // them all, forces the exit or closes it.
    for (;;) {
        ControlCursos dialogo(ctx.carpeta, ctx.interaccion, ctx.sesion.dialogoRepetido);
        ctx.interaccion.mostrarCursos(dialogo);
        if (dialogo.FaltanDatos()) {
            ctx.sesion.dialogoRepetido = true;
            continue;
        }
        return dialogo.MarcaSalida() != "fuera";
    }
}
