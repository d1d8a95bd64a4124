#include "import/ImportarRegulares.h"

#include "comun/Error.h"
#include "import/RecorrerProfesores.h"
#include "text/Texto.h"

#include <string>
#include <vector>

namespace {

bool EnBlanco(const std::string& valor)
{
    return QuitaBlancos(valor).empty();
}

long long MinutosDeTramo(const ContextoImportacion& ctx, const char* campo, const std::string& hora)
{
    try {
        return HoraAMinutos(hora);
    } catch (const Error&) {
        throw Error("El campo " + std::string(campo) + " de DIASHORAST tiene la hora «" + AnsiAUtf8(hora) +
                    "», que no tiene la forma hh:mm (SOLUC: " + DescribirCelda(ctx) + ").");
    }
}

// A value of a catalogue key: present but not a whole number stops the run, naming the cell.
std::string NumeroDeCatalogo(const ContextoImportacion& ctx, const char* que, const std::string& valor)
{
    long long numero = 0;
    if (!LeerEnteroEstricto(QuitaBlancos(valor), numero))
        throw Error("No se puede buscar el origen de la hora en AUTORIZA_C: " + std::string(que) + " «" +
                    AnsiAUtf8(valor) + "» no es un número entero (SOLUC: " + DescribirCelda(ctx) + ").");
    return std::to_string(numero);
}

// The origin of the hour from the catalogues; none when the cell's origin code has no category.
void EscribirOrigen(ContextoImportacion& ctx, NodoXml celda, const std::string& tarea, const std::string& nivel)
{
    std::string categoria;
    std::string origen = " ";
    const std::string concierto = ctx.soluc.texto("CCONCIERTO");
    if (EnBlanco(concierto)) return;
    if (ctx.origenesC->localizar("C_ORIHOR", {concierto})) categoria = ctx.origenesC->texto("X_CATORIHOR");
    if (EnBlanco(categoria)) return;
    const std::string actividad = NumeroDeCatalogo(ctx, "la actividad", tarea);
    const std::string categoriaNumero = NumeroDeCatalogo(ctx, "la categoría", categoria);
    // A cell without a level (no ASIGT row, or none on it) has no authorisation: the hour keeps the blank origin.
    if (!EnBlanco(nivel) &&
        ctx.autorizaC->localizar("X_ACTIVIDAD;X_CATORIHOR;X_NIVCONPAGLEG",
                                 {actividad, categoriaNumero, NumeroDeCatalogo(ctx, "el nivel", nivel)}))
        origen = ctx.autorizaC->texto("X_ORIHORACTETP");
    celda.agregarDato("X_ORIHORACTETP", origen);
}

void EscribirCeldaRegular(ContextoImportacion& ctx, NodoXml celda)
{
    std::string materia;
    std::string oferta;
    std::string nivel;
    const std::string asig = ctx.soluc.texto("ASIG");
    const std::string grupo = ctx.soluc.texto("CODGRUPO");
    std::string tarea = TareaDeCelda(ctx);

    if (ctx.asigt.localizar("CASIG;CGRUP", {asig, grupo})) {
        materia = ctx.asigt.texto("CLAVE");
        oferta = ctx.asigt.texto("CLAVECURSO");
        nivel = ctx.asigt.texto("X_NIVCONPAGLEG");
    }
    if (EnBlanco(tarea) && ctx.asignomt.localizar("COD", {asig})) tarea = ctx.asignomt.texto("CODTAREA");

    std::string dia;
    std::string tramo;
    std::string desde;
    std::string hasta;
    if (BuscarTramo(ctx)) {
        dia = ctx.diashorast.texto("DIA");
        tramo = ctx.diashorast.texto("CODDIHO");
        desde = ctx.diashorast.texto("HORADESDE");
        hasta = ctx.diashorast.texto("HORAHASTA");
    }
    celda.agregarDato("N_DIASEMANA", dia);
    celda.agregarDato("X_TRAMO", tramo);

    const std::string aula = ctx.soluc.texto("AULA");
    celda.agregarDato("X_DEPENDENCIA", EnBlanco(aula) ? std::string() : aula);

    std::string unidad;
    if (ctx.grupost.localizar("ABREV", {grupo})) {
        unidad = ctx.grupost.texto("CLAVE");
        if (EnBlanco(oferta)) oferta = ctx.grupost.texto("CLAVECURSO");
    }
    if (EnBlanco(materia) && ctx.asignomt2.localizar("COD;OFERTAMATRI", {asig, oferta}))
        materia = ctx.asignomt2.texto("MATERIA");

    celda.agregarDato("X_UNIDAD", unidad);
    celda.agregarDato("X_OFERTAMATRIG", oferta);
    celda.agregarDato("X_MATERIAOMG", materia);
    celda.agregarDato("F_INICIO", ctx.fInicio);
    celda.agregarDato("F_FIN", ctx.fFin);
    celda.agregarDato("N_HORINI", std::to_string(MinutosDeTramo(ctx, "HORADESDE", desde)));
    celda.agregarDato("N_HORFIN", std::to_string(MinutosDeTramo(ctx, "HORAHASTA", hasta)));

    if (EnBlanco(tarea)) tarea = "1";
    celda.agregarDato("X_ACTIVIDAD", tarea);

    if (ctx.CatalogosCargados) EscribirOrigen(ctx, celda, tarea, nivel);
}

} // namespace

long long HoraAMinutos(std::string t)
{
    const std::string leida = t;
    if (t.size() < 5) t.insert(0, "0");
    long long horas = 0;
    long long minutos = 0;
    if (!LeerEnteroEstricto(Izquierda(t, 2), horas) || !LeerEnteroEstricto(Derecha(t, 2), minutos))
        throw Error("La hora «" + AnsiAUtf8(leida) + "» no tiene la forma hh:mm.");
    return horas * 60 + minutos;
}

void ImportarRegulares(ContextoImportacion& ctx)
{
    NodoXml seccion = ctx.bloqueDatos.agregarGrupo("HORARIOS_REGULARES");
    seccion.fijarAtributo("registros", std::to_string(ctx.proft.numRegistros()));
    RecorrerProfesores(ctx, seccion, "HORARIO_REGULAR_PROFESOR_", TipoCelda::Regular,
                       [&ctx](NodoXml celda) { EscribirCeldaRegular(ctx, celda); });
}
