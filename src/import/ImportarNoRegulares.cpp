#include "import/ImportarNoRegulares.h"

#include "import/RecorrerProfesores.h"

#include <string>

namespace {

void EscribirCeldaNoRegular(ContextoImportacion& ctx, NodoXml celda)
{
    const std::string tarea = TareaDeCelda(ctx);
    long long minutos = 0;
    if (BuscarTramo(ctx)) minutos = EnteroDeCelda(ctx, ctx.diashorast, "MINUTOS");
    celda.agregarDato("X_ACTIVIDAD", tarea);
    celda.agregarDato("N_MINSEN", std::to_string(minutos));
}

} // namespace

void ImportarNoRegulares(ContextoImportacion& ctx)
{
    NodoXml seccion = ctx.bloqueDatos.agregarGrupo("HORARIOS_NO_REGULARES");
    seccion.fijarAtributo("registros", std::to_string(ctx.proft.numRegistros()));
    RecorrerProfesores(ctx, seccion, "HORARIO_NO_REGULAR_PROFESOR_", TipoCelda::NoRegular,
                       [&ctx](NodoXml celda) { EscribirCeldaNoRegular(ctx, celda); });
}
