#include "apoyo/Apoyo.h"

#include "comun/Error.h"
#include "export/TablasTrabajo.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Filas = std::vector<std::vector<std::string>>;

// CURSOST rows: ABREV, TURNO, NIVEL, CURSO, CLAVE, ESTUD.
Filas Grupos(EntornoExportacion& entorno, const Filas& cursos, const std::vector<std::string>& unidades)
{
    CrearTablaPrueba(entorno.carpeta.ruta(), "CURSOST", CamposCursosT(), cursos);
    entorno.cargarSeneca(SeccionXml("UNIDADES", unidades));
    ContextoExportacion ctx = entorno.contexto();
    ExportarGrupos(ctx);
    return FilasTabla(entorno.carpeta.ruta(), "GRUPOST");
}

TEST(ExportarGrupos, CreaLaTablaConSusCampos)
{
    EntornoExportacion entorno;
    Grupos(entorno, {}, {});
    EXPECT_EQ(CamposTabla(entorno.carpeta.ruta(), "GRUPOST"),
              (std::vector<std::string>{"ABREV C10", "TURNO C1", "NIVEL C5", "CURSO C3", "GRUPO C2", "CLAVE C10",
                                        "CLAVECURSO C10", "DESCRIP C80", "MARCO C1"}));
}

TEST(ExportarGrupos, AbreviaturasPorNivelCursoYLetra)
{
    struct Caso {
        const char* nombre;
        Filas cursos;
        std::vector<std::string> unidades;
        Filas esperadas; // ABREV, TURNO, NIVEL, CURSO, GRUPO, CLAVE, CLAVECURSO, DESCRIP, MARCO
    };
    const std::vector<Caso> casos = {
        {"tres unidades de un curso, en orden del fichero",
         {{"", "", "ESO", "1", "C1", "1º ESO"}},
         {RegistroXml({"U1", "1A", "C1"}), RegistroXml({"U2", "1B", "C1"}), RegistroXml({"U3", "1C", "C1"})},
         {{"ESO1A", "", "ESO", "1", "A", "U1", "C1", "1º ESO", "0"},
          {"ESO1B", "", "ESO", "1", "B", "U2", "C1", "1º ESO", "0"},
          {"ESO1C", "", "ESO", "1", "C", "U3", "C1", "1º ESO", "0"}}},
        {"del curso sólo cuenta su primer carácter, pero se guarda entero",
         {{"", "", "BACH", "12", "C1", "Bachillerato"}},
         {RegistroXml({"U1", "x", "C1"})},
         {{"BACH1A", "", "BACH", "12", "A", "U1", "C1", "Bachillerato", "0"}}},
        {"dos cursos con el mismo nivel y curso comparten las letras, sin distinguir mayúsculas",
         {{"", "", "eso", "1", "C1", "A"}, {"", "", "ESO", "1", "C2", "B"}},
         {RegistroXml({"U1", "x", "C1"}), RegistroXml({"U2", "x", "C2"})},
         {{"eso1A", "", "eso", "1", "A", "U1", "C1", "A", "0"},
          {"ESO1B", "", "ESO", "1", "B", "U2", "C2", "B", "0"}}},
        {"curso desconocido o sin clave de curso: sólo la letra y nivel NIV",
         {{"", "", "ESO", "1", "C1", "1º ESO"}},
         {RegistroXml({"U1", "x", "C9"}), RegistroXml({"U2", "x"})},
         {{"A", "", "NIV", "", "A", "U1", "C9", "", "0"}, {"B", "", "NIV", "", "B", "U2", "", "", "0"}}},
        {"un registro de un solo valor no es una unidad",
         {{"", "", "ESO", "2", "C1", "2º ESO"}},
         {RegistroXml({"U0"}), RegistroXml({"U1", "x", "C1"})},
         {{"ESO2A", "", "ESO", "2", "A", "U1", "C1", "2º ESO", "0"}}},
    };
    for (const Caso& caso : casos) {
        EntornoExportacion entorno;
        EXPECT_EQ(Grupos(entorno, caso.cursos, caso.unidades), caso.esperadas) << caso.nombre;
    }
}

TEST(ExportarGrupos, TrasLaZSiguenLosCaracteresQueNoSonLetrasMinusculas)
{
    std::vector<std::string> unidades;
    for (int i = 1; i <= 33; ++i)
        unidades.push_back(RegistroXml({"U" + std::to_string(i), "x", "C1"}));
    EntornoExportacion entorno;
    const Filas grupos = Grupos(entorno, {{"", "", "ESO", "1", "C1", ""}}, unidades);
    ASSERT_EQ(grupos.size(), 33u);
    EXPECT_EQ(grupos[25][0], "ESO1Z");
    EXPECT_EQ(grupos[26][0], "ESO1[");
    EXPECT_EQ(grupos[31][0], "ESO1`");
    EXPECT_EQ(grupos[32][0], "ESO1{"); // a to z equal the capitals already taken
    EXPECT_EQ(grupos[32][4], "{");
}

TEST(ExportarGrupos, LasMinusculasAcentuadasTambienSonLetrasYaUsadas)
{
    // From A to ÿ there are 131 characters that are not the small form of an earlier capital.
    std::vector<std::string> unidades;
    for (int i = 1; i <= 131; ++i)
        unidades.push_back(RegistroXml({"U" + std::to_string(i), "x", "C1"}));
    const Filas cursos = {{"", "", "ESO", "1", "C1", ""}};
    {
        EntornoExportacion entorno;
        const Filas grupos = Grupos(entorno, cursos, unidades);
        ASSERT_EQ(grupos.size(), 131u);
        EXPECT_EQ(grupos[129][4], "ß");
        EXPECT_EQ(grupos[130][4], "÷"); // à to þ and ÿ equal capitals already taken
    }
    unidades.push_back(RegistroXml({"U132", "x", "C1"}));
    EntornoExportacion entorno;
    EXPECT_THROW(Grupos(entorno, cursos, unidades), Error);
}

} // namespace
