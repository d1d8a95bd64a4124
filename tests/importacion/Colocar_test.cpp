#include "importacion/EntornoImportacion.h"

#include "import/Importacion.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <tuple>

namespace fs = std::filesystem;
using ::testing::ElementsAre;

namespace {

int Colocar(const fs::path& carpeta)
{
    const std::string orden =
        std::string("\"") + DIR_HERRAMIENTAS + "/colocar\" \"" + carpeta.string() + "\" >/dev/null 2>&1";
    return std::system(orden.c_str());
}

std::vector<std::string> Fila(std::string casig, std::string cprof, std::string cgrup, std::string sesiones,
                              std::string ctarea, std::string corigen)
{
    return {casig, cprof, cgrup, "", "", "", "", "", "", sesiones, "", "", "", "", ctarea, corigen, ""};
}

// Three slots a day in frame 0 for the seven days, and one of frame 1 that is never used.
std::vector<std::vector<std::string>> Tramos()
{
    std::vector<std::vector<std::string>> filas;
    for (int dia = 1; dia <= 7; ++dia)
        for (int hora = 1; hora <= 3; ++hora)
            filas.push_back({std::to_string(dia) + std::to_string(hora), "T", std::to_string(dia), "",
                             std::to_string(hora), "", "08:00", "09:00", "60", "0", "J1"});
    filas.push_back({"14", "T", "1", "", "4", "", "15:00", "16:00", "60", "1", "J2"});
    return filas;
}

} // namespace

TEST(Colocar, ColocaSinCoincidenciasYDeFormaDeterminista)
{
    CarpetaTemporal carpeta;
    const fs::path c = carpeta.ruta();
    CrearTablaPrueba(c, "PROFT", CamposProft(), {{"AAA"}, {"BBB"}, {"CCC"}});
    CrearTablaPrueba(c, "ASIGNOMT", CamposAsignomt(), {{"MAT"}, {"LEN"}, {"#G"}});
    CrearTablaPrueba(c, "AULAT", CamposAulat(), {{"A1"}});
    CrearTablaPrueba(c, "DIASHORAST", CamposDiashorast(), Tramos());
    CrearTablaPrueba(c, "ASIGT", CamposAsigt(),
                     {Fila("MAT", "AAA", "1A", "21", "1", "CONC"), Fila("LEN", "BBB", "1A", "11", "1", ""),
                      Fila("#G", "AAA", "", "1", "#G", ""), Fila("LEN", "CCC", "1B", "1", "1", ""),
                      Fila("MAT", "", "1B", "11", "1", ""), Fila("XXX", "AAA", "1A", "1", "1", "")});
    ASSERT_EQ(Colocar(c), 0);
    EXPECT_THAT(CamposTabla(c, "SOLUC"), ElementsAre("PROF C10", "DIA N", "HORA N", "MARCO C1", "ASIG C10",
                                                     "TAREA C10", "CODGRUPO C10", "AULA C10", "CCONCIERTO C20"));
    const auto filas = FilasTabla(c, "SOLUC");
    // The two-hour lesson takes consecutive slots; the next lesson of the same assignment goes to another
    // day; the group's other teacher waits for it; the only room is taken at 1-1, so 1B gets none.
    using F = std::vector<std::string>;
    EXPECT_THAT(filas, ElementsAre(F{"AAA", "1", "1", "0", "MAT", "1", "1A", "A1", "CONC"},
                                   F{"AAA", "1", "2", "0", "MAT", "1", "1A", "A1", "CONC"},
                                   F{"AAA", "2", "1", "0", "MAT", "1", "1A", "A1", "CONC"},
                                   F{"BBB", "1", "3", "0", "LEN", "1", "1A", "A1", ""},
                                   F{"BBB", "2", "2", "0", "LEN", "1", "1A", "A1", ""},
                                   F{"AAA", "1", "3", "0", "#G", "#G", "", "", ""},
                                   F{"CCC", "1", "1", "0", "LEN", "1", "1B", "", ""}));

    std::set<std::tuple<std::string, std::string, std::string>> profesores, grupos;
    for (const auto& f : filas) {
        EXPECT_TRUE(profesores.insert({f[0], f[1], f[2]}).second) << f[0];
        if (!f[6].empty()) {
            EXPECT_TRUE(grupos.insert({f[6], f[1], f[2]}).second) << f[6];
        }
    }
    ASSERT_EQ(Colocar(c), 0);
    EXPECT_EQ(FilasTabla(c, "SOLUC"), filas);
}

TEST(Colocar, SinHuecoLaSesionSeQuedaFueraYLaImportacionLeeElResultado)
{
    EntornoImportacion e;
    ASSERT_EQ(Colocar(e.carpeta.ruta()), 0);
    // Six lessons of AAA and three slots of frame 0 on days 1 to 5.
    EXPECT_EQ(FilasTabla(e.carpeta.ruta(), "SOLUC").size(), 3u);
    ASSERT_EQ(e.importar(), FinTraspaso::Completado);
    EXPECT_THAT(Profesores(e.resultado(), "HORARIOS_REGULARES")[0],
                ::testing::StartsWith("HORARIO_REGULAR_PROFESOR_1 registros=3 "));
}

TEST(Colocar, SinCarpetaFalla)
{
    EXPECT_NE(Colocar("/no/existe/carpeta"), 0);
}
