#include "import/ContextoImportacion.h"

#include "comun/Error.h"
#include "text/Texto.h"

namespace fs = std::filesystem;

namespace {

std::string CampoDeCelda(const ContextoImportacion& ctx, std::string_view campo)
{
    return ctx.soluc.tieneCampo(campo) ? AnsiAUtf8(ctx.soluc.texto(campo)) : std::string();
}

} // namespace

// Read-only use: the tables are opened shared, so a timetable product still writing one (holding it
// exclusively) stops the run, while the import itself never writes a table.
ContextoImportacion::ContextoImportacion(const fs::path& carpetaTrabajo)
    : carpeta(carpetaTrabajo), soluc(Tabla::abrir(carpeta, "SOLUC", Acceso::Compartido)),
      grupost(Tabla::abrir(carpeta, "GRUPOST", Acceso::Compartido)),
      cursost(Tabla::abrir(carpeta, "CURSOST", Acceso::Compartido)),
      proft(Tabla::abrir(carpeta, "PROFT", Acceso::Compartido)),
      aulat(Tabla::abrir(carpeta, "AULAT", Acceso::Compartido)),
      asignomt(Tabla::abrir(carpeta, "ASIGNOMT", Acceso::Compartido)),
      asignomt2(Tabla::abrir(carpeta, "ASIGNOMT2", Acceso::Compartido)),
      diashorast(Tabla::abrir(carpeta, "DIASHORAST", Acceso::Compartido)),
      asigt(Tabla::abrir(carpeta, "ASIGT", Acceso::Compartido))
{
    if (!Tabla::existe(carpeta, "ORIGENES_C")) return;
    origenesC.emplace(Tabla::abrir(carpeta, "ORIGENES_C", Acceso::Compartido));
    if (origenesC->numRegistros() == 0) return;
    CatalogosCargados = true;
    curNivC.emplace(Tabla::abrir(carpeta, "CUR_NIV_C", Acceso::Compartido));
    autorizaC.emplace(Tabla::abrir(carpeta, "AUTORIZA_C", Acceso::Compartido));
}

void ContextoImportacion::cerrarTablas()
{
    for (Tabla* tabla : {&soluc, &grupost, &cursost, &proft, &aulat, &asignomt, &asignomt2, &diashorast, &asigt})
        tabla->cerrar();
    for (std::optional<Tabla>* catalogo : {&origenesC, &curNivC, &autorizaC})
        if (*catalogo) (*catalogo)->cerrar();
}

std::string DescribirCelda(const ContextoImportacion& ctx)
{
    return "profesor «" + CampoDeCelda(ctx, "PROF") + "», día " + CampoDeCelda(ctx, "DIA") + ", hora " +
           CampoDeCelda(ctx, "HORA");
}

long long EnteroDeCelda(const ContextoImportacion& ctx, const Tabla& tabla, std::string_view campo)
{
    try {
        return tabla.entero(campo);
    } catch (const Error& error) {
        throw Error(std::string(error.what()) + " (SOLUC: " + DescribirCelda(ctx) + ")");
    }
}

std::string TareaDeCelda(const ContextoImportacion& ctx)
{
    std::string tarea = ctx.soluc.texto("TAREA");
    if (tarea.starts_with('#')) tarea.erase(0, 1);
    return tarea;
}
