#include "import/RecorrerProfesores.h"

#include "text/Texto.h"

#include <string>

namespace {

bool EsDelTipo(const ContextoImportacion& ctx, TipoCelda tipo)
{
    if (EnteroDeCelda(ctx, ctx.soluc, "DIA") == 0) return false;
    const bool tarea = ctx.soluc.texto("ASIG").starts_with('#');
    return tipo == TipoCelda::NoRegular ? tarea : !tarea;
}

} // namespace

void RecorrerProfesores(ContextoImportacion& ctx, NodoXml seccion, std::string_view prefijo, TipoCelda tipo,
                        const EscritorCelda& escribirCelda)
{
    int numProfesor = 1;
    for (ctx.proft.primero(); !ctx.proft.fin(); ctx.proft.siguiente()) {
        const std::string empleado = ctx.proft.texto("X_EMPLEADO");
        const std::string tomaPosesion = ctx.proft.texto("F_TOMAPOS");
        NodoXml profesor = seccion.agregarGrupo(std::string(prefijo) + std::to_string(numProfesor++));

        ctx.soluc.quitarFiltro();
        ctx.soluc.filtrar("PROF", ctx.proft.texto("ABREV"));
        int celdas = 0;
        for (; !ctx.soluc.fin(); ctx.soluc.siguiente())
            if (EsDelTipo(ctx, tipo)) ++celdas;
        profesor.fijarAtributo("registros", std::to_string(celdas));
        profesor.agregarDato("X_EMPLEADO", empleado);
        profesor.agregarDato("F_TOMAPOS", tomaPosesion);

        int numCelda = 1;
        for (ctx.soluc.primero(); !ctx.soluc.fin(); ctx.soluc.siguiente()) {
            if (!EsDelTipo(ctx, tipo)) continue;
            escribirCelda(profesor.agregarGrupo("ACTIVIDAD_" + std::to_string(numCelda++)));
        }
    }
}

bool BuscarTramo(ContextoImportacion& ctx)
{
    const std::string clave = ctx.soluc.texto("DIA") + std::to_string(EnteroDeCelda(ctx, ctx.soluc, "HORA"));
    const std::string marco = Izquierda(ctx.soluc.texto("MARCO"), 1);
    return ctx.diashorast.localizar("DIHO;MARCO", {clave, marco});
}
