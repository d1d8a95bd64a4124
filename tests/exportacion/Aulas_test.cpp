#include "apoyo/Apoyo.h"

#include <gtest/gtest.h>

namespace {

using Filas = std::vector<std::vector<std::string>>;

std::string Registro(const std::vector<std::string>& valores)
{
    std::string xml = "<grupo_datos seq=\"ID_DEPENDENCIA\">";
    for (const std::string& valor : valores)
        xml += "<dato nombre_dato=\"V\">" + valor + "</dato>";
    return xml + "</grupo_datos>";
}

TEST(ExportarAulas, TheSpaceKeyIsTheRoomAbbreviation)
{
    struct Caso {
        std::string secciones;
        Filas esperadas;
    };
    const Caso casos[] = {
        {"<grupo_datos seq=\"DEPENDENCIAS\">" + Registro({" 12345 ", "Aula de Música", "otro"}) +
             Registro({"99"}) + Registro({"123456789012", "Gimnasio"}) + Registro({"12345", "Aula repetida"}) +
             "</grupo_datos>",
         {{"12345", "Aula de Música", "", "", "12345"},
          {"1234567890", "Gimnasio", "", "", "1234567890"},
          {"12345", "Aula repetida", "", "", "12345"}}},
        {"", {}},
    };
    for (const Caso& caso : casos) {
        EntornoExportacion entorno;
        entorno.cargarSeneca(caso.secciones);
        auto ctx = entorno.contexto();
        ExportarAulas(ctx);
        EXPECT_EQ(
            CamposTabla(entorno.carpeta.ruta(), "AULAT"),
            (std::vector<std::string>{"ABREV C10", "NOMBRE C80", "EDIFICIO C1", "MAXALUM I", "DEPCENTRO C10"}));
        EXPECT_EQ(FilasTabla(entorno.carpeta.ruta(), "AULAT"), caso.esperadas);
    }
}

} // namespace
