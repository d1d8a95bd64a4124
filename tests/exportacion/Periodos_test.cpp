#include "apoyo/Apoyo.h"
#include "comun/Error.h"
#include "data/Tabla.h"

#include <gtest/gtest.h>

namespace {

using Filas = std::vector<std::vector<std::string>>;

// A section group holding its values directly, as the academic year does.
std::string Anno(const std::vector<std::string>& valores)
{
    return RegistroXml(valores);
}

// Two time frames; only the dates of the first one may be used.
std::string Jornadas(const std::string& primeraFecha, const std::string& ultimaFecha)
{
    return SeccionXml("JORNADAS_ESCOLARES", {RegistroXml({"7", "Ordinaria", primeraFecha, ultimaFecha}),
                                             RegistroXml({"8", "Otra", "01/01/2000", "02/01/2000"})});
}

TEST(ExportarPeriodos, WritesTheYearAndFallsBackOnTheFirstTimeFrame)
{
    struct Caso {
        const char* nombre;
        std::string secciones;
        Filas esperadas;
    };
    const Caso casos[] = {
        {"dates given: time frames not consulted",
         Anno({"2017", "01/09/2017", "30/06/2018"}) + Jornadas("15/09/2017", "22/06/2018"),
         {{"2017", "01/09/2017", "30/06/2018"}}},
        {"last day empty: both dates from the first time frame",
         Anno({"2017", "01/09/2017", " "}) + Jornadas("15/09/2017", "22/06/2018"),
         {{"2017", "15/09/2017", "22/06/2018"}}},
        {"two values only: the missing third reads empty",
         Anno({"2017", "01/09/2017"}) + Jornadas("15/09/2017", "22/06/2018"),
         {{"2017", "15/09/2017", "22/06/2018"}}},
        {"year cut to four characters, blanks stripped",
         Anno({"  2017/2018 ", "01/09/2017", "30/06/2018"}),
         {{"2017", "01/09/2017", "30/06/2018"}}},
        {"no time frames: the dates stay as read", Anno({"2017", "", "30/06/2018"}), {{"2017", "", "30/06/2018"}}},
        {"first group without values: the second gives the year",
         Anno({"x"}) + Anno({"2018", "01/09/2018", "30/06/2019"}),
         {{"2018", "01/09/2018", "30/06/2019"}}},
        {"both groups with values: two records, only the last one completed",
         Anno({"2017", "", ""}) + Anno({"2018", "01/09/2018", ""}) + Jornadas("15/09/2017", "22/06/2018"),
         {{"2017", "", ""}, {"2018", "15/09/2017", "22/06/2018"}}},
        {"only the first two groups count",
         Anno({"2017", "a", "b"}) + Jornadas("c", "d") + Anno({"2019", "e", "f"}),
         {{"2017", "a", "b"}}},
    };
    for (const Caso& caso : casos) {
        SCOPED_TRACE(caso.nombre);
        EntornoExportacion entorno;
        entorno.cargarSeneca(caso.secciones);
        auto ctx = entorno.contexto();
        ExportarPeriodos(ctx);
        EXPECT_EQ(CamposTabla(entorno.carpeta.ruta(), "PERIODOS"),
                  (std::vector<std::string>{"CURSOANNO C4", "F_INICIO C10", "F_FIN C10"}));
        EXPECT_EQ(FilasTabla(entorno.carpeta.ruta(), "PERIODOS"), caso.esperadas);
    }
}

TEST(ExportarPeriodos, WithoutAYearFailsAndLeavesTheTableEmpty)
{
    for (const std::string& secciones : {std::string(), Jornadas("a", "b") + Anno({"2017"})}) {
        EntornoExportacion entorno;
        entorno.cargarSeneca(secciones);
        auto ctx = entorno.contexto();
        try {
            ExportarPeriodos(ctx);
            ADD_FAILURE() << "no error";
        } catch (const Error& error) {
            EXPECT_NE(std::string(error.what()).find("año académico"), std::string::npos) << error.what();
            EXPECT_NE(std::string(error.what()).find("seneca.xml"), std::string::npos) << error.what();
        }
        EXPECT_TRUE(FilasTabla(entorno.carpeta.ruta(), "PERIODOS").empty());
    }
}

TEST(ExportarPeriodos, ReplacesAnEarlierTableAndItsIndex)
{
    EntornoExportacion entorno;
    EscribirFichero(entorno.carpeta / "PERIODOS.MDX", "viejo");
    Tabla::crear(entorno.carpeta.ruta(), "PERIODOS", {CampoCaracter("OTRO", 2)}).cerrar();
    entorno.cargarSeneca(Anno({"2017", "01/09/2017", "30/06/2018"}));
    auto ctx = entorno.contexto();
    ExportarPeriodos(ctx);
    EXPECT_FALSE(std::filesystem::exists(entorno.carpeta / "PERIODOS.MDX"));
    EXPECT_EQ(FilasTabla(entorno.carpeta.ruta(), "PERIODOS"), (Filas{{"2017", "01/09/2017", "30/06/2018"}}));
}

} // namespace
