#include "apoyo/Apoyo.h"

#include <gtest/gtest.h>

namespace {

using Filas = std::vector<std::vector<std::string>>;

TEST(ExportarAulas, TheSpaceKeyIsTheRoomAbbreviation)
{
    struct Caso {
        std::string secciones;
        Filas esperadas;
    };
    const Caso casos[] = {
        {SeccionXml("DEPENDENCIAS",
                    {RegistroXml({" 12345 ", "Aula de Música", "otro"}), RegistroXml({"99"}),
                     RegistroXml({"123456789012", "Gimnasio"}), RegistroXml({"12345", "Aula repetida"})}),
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
