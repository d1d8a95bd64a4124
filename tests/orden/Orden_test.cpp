#include "apoyo/Apoyo.h"
#include "data/Tabla.h"
#include "text/Texto.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

namespace fs = std::filesystem;

namespace {

struct Salida {
    int estado = -1;
    std::string salida, errores;
};

std::string Citar(const std::string& arg)
{
    std::string citado = "'";
    for (char c : arg)
        citado += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return citado + "'";
}

// Runs the command with the given arguments and collects its exit status and both outputs.
Salida Ejecutar(const CarpetaTemporal& tmp, const std::string& programa, const std::vector<std::string>& args)
{
    std::string linea = Citar(programa);
    for (const auto& a : args)
        linea += " " + Citar(a);
    linea += " >" + Citar((tmp / "salida.txt").string()) + " 2>" + Citar((tmp / "errores.txt").string());
    const int estado = std::system(linea.c_str());
    return {WIFEXITED(estado) ? WEXITSTATUS(estado) : -1, LeerFichero(tmp / "salida.txt"),
            LeerFichero(tmp / "errores.txt")};
}

Salida Transzentar(const CarpetaTemporal& tmp, const std::vector<std::string>& args)
{
    return Ejecutar(tmp, DIR_BIN "/transzentar", args);
}

const std::string kCentro = EJEMPLOS "/centro-ejemplo/";
const std::string kDosMarcos = EJEMPLOS "/centro-dos-marcos/";

std::vector<std::string> Exportar(const CarpetaTemporal& tmp, const std::string& centro,
                                  std::vector<std::string> mas = {})
{
    std::vector<std::string> args = {"exportar",
                                     "--dir",
                                     (tmp / "QTEMP").string(),
                                     "--seneca",
                                     centro + "seneca.xml",
                                     "--planificacion",
                                     centro + "planificacion.xml"};
    args.insert(args.end(), mas.begin(), mas.end());
    return args;
}

TEST(Orden, UsageAndVersion)
{
    CarpetaTemporal tmp;
    EXPECT_EQ(Transzentar(tmp, {"--help"}).estado, 0);
    EXPECT_NE(Transzentar(tmp, {"--version"}).salida.find("transzentar "), std::string::npos);
    for (const auto& args : std::vector<std::vector<std::string>>{
             {}, {"listar"}, {"exportar", "--seneca", "a.xml"}, {"exportar", "--rapido"}, {"importar"}, {"ver"}}) {
        const Salida s = Transzentar(tmp, args);
        EXPECT_EQ(s.estado, 2) << s.errores;
        EXPECT_NE(s.errores.find("Uso:"), std::string::npos);
    }
}

TEST(Orden, ExportsTheSampleSchoolAndRecoversLevelsNextTime)
{
    CarpetaTemporal tmp;
    Salida s = Transzentar(tmp, Exportar(tmp, kCentro, {"--niveles", kCentro + "niveles.csv"}));
    ASSERT_EQ(s.estado, 0) << s.errores;
    EXPECT_EQ(s.salida, "Proceso finalizado\n");

    const Salida grupos = Transzentar(tmp, {"ver", "--dir", (tmp / "QTEMP").string(), "GRUPOST.DBF"});
    EXPECT_EQ(grupos.salida.rfind("ABREV;TURNO;NIVEL;CURSO;GRUPO;CLAVE;CLAVECURSO;DESCRIP;MARCO\n", 0), 0u);
    EXPECT_NE(grupos.salida.find("ESO1B;"), std::string::npos);
    EXPECT_NE(grupos.salida.find("BCT1A;"), std::string::npos);

    // The second export takes the levels back from CURSOST2 without being told them again.
    s = Transzentar(tmp, Exportar(tmp, kCentro));
    EXPECT_EQ(s.estado, 0) << s.errores;
}

TEST(Orden, MissingLevelsListTheCoursesAndTouchNoLaterTable)
{
    CarpetaTemporal tmp;
    const Salida s = Transzentar(tmp, Exportar(tmp, kCentro, {"--no-recuperar"}));
    EXPECT_EQ(s.estado, 3);
    EXPECT_NE(s.errores.find("6003; 1º de Bachillerato (Ciencias y Tecnología)"), std::string::npos) << s.errores;
    EXPECT_TRUE(fs::exists(tmp / "QTEMP" / "CURSOST.DBF"));
    EXPECT_FALSE(fs::exists(tmp / "QTEMP" / "ASIGNOMT.DBF"));
    EXPECT_FALSE(fs::exists(tmp / "QTEMP" / "CURSOST2.DBF"));
}

TEST(Orden, TwoTimeFramesNeedAnAnswerBeforeAnyTableIsTouched)
{
    CarpetaTemporal tmp;
    const auto niveles = std::vector<std::string>{"--niveles", kDosMarcos + "niveles.csv"};
    for (const auto& marcos :
         std::vector<std::vector<std::string>>{{}, {"--marcos", "J9"}, {"--marcos", "J1,J2,J1"}}) {
        auto args = Exportar(tmp, kDosMarcos, niveles);
        args.insert(args.end(), marcos.begin(), marcos.end());
        const Salida s = Transzentar(tmp, args);
        EXPECT_EQ(s.estado, 3);
        EXPECT_NE(s.errores.find("J2; Jornada de tarde (adultos); 15/09/2026 - 22/06/2027"), std::string::npos)
            << s.errores;
        EXPECT_FALSE(fs::exists(tmp / "QTEMP" / "PERIODOS.DBF"));
    }

    auto args = Exportar(tmp, kDosMarcos, niveles);
    args.insert(args.end(), {"--marcos", "J2,J1"});
    const Salida s = Transzentar(tmp, args);
    ASSERT_EQ(s.estado, 0) << s.errores;
    // The morning frame starts first, so it is frame 0 whatever the order of the answer.
    Tabla tramos = Tabla::abrir(tmp / "QTEMP", "DIASHORAST", Acceso::Compartido);
    ASSERT_TRUE(tramos.localizar("DIHO;MARCOXML", {"11", "J1"}));
    EXPECT_EQ(tramos.texto("MARCO"), "0");
    ASSERT_TRUE(tramos.localizar("DIHO;MARCOXML", {"11", "J2"}));
    EXPECT_EQ(tramos.texto("MARCO"), "1");
}

TEST(Orden, BadInputIsReportedWithoutTouchingAnyTable)
{
    CarpetaTemporal tmp;
    EscribirFichero(tmp / "roto.xml", "<SERVICIO><BLOQUE_DATOS></SERVICIO>");
    EscribirFichero(tmp / "sobre.xml", "<OTRO><BLOQUE_DATOS/></OTRO>");
    const struct {
        std::vector<std::string> args;
        std::string mensaje;
    } casos[] = {
        {{"exportar", "--seneca", (tmp / "nada.xml").string(), "--planificacion", kCentro + "planificacion.xml"},
         "No existe archivo"},
        {{"exportar", "--seneca", kCentro + "seneca.xml", "--planificacion", (tmp / "roto.xml").string()},
         "roto.xml"},
        {{"exportar", "--seneca", (tmp / "sobre.xml").string(), "--planificacion", kCentro + "planificacion.xml"},
         "BLOQUE_DATOS"},
        {{"exportar", "--seneca", kCentro + "seneca.xml", "--planificacion", kCentro + "planificacion.xml",
          "--senematerias", (tmp / "NOHAY.DBF").string()},
         "NOHAY.DBF"},
    };
    for (const auto& c : casos) {
        auto args = c.args;
        args.insert(args.end(), {"--dir", (tmp / "QTEMP").string()});
        const Salida s = Transzentar(tmp, args);
        EXPECT_EQ(s.estado, 1) << c.mensaje;
        EXPECT_NE(s.errores.find(c.mensaje), std::string::npos) << s.errores;
        EXPECT_FALSE(fs::exists(tmp / "QTEMP" / "PERIODOS.DBF")) << c.mensaje;
    }
}

TEST(Orden, ALockedTableStopsTheExportBeforeAnyTableIsRebuilt)
{
    CarpetaTemporal tmp;
    ASSERT_EQ(Transzentar(tmp, Exportar(tmp, kCentro, {"--niveles", kCentro + "niveles.csv"})).estado, 0);
    const auto antes = fs::last_write_time(tmp / "QTEMP" / "PERIODOS.DBF");
    Tabla retenida = Tabla::abrir(tmp / "QTEMP", "ASIGT");
    const Salida s = Transzentar(tmp, Exportar(tmp, kCentro));
    EXPECT_EQ(s.estado, 1);
    EXPECT_NE(s.errores.find("ASIGT"), std::string::npos) << s.errores;
    EXPECT_EQ(fs::last_write_time(tmp / "QTEMP" / "PERIODOS.DBF"), antes);
}

TEST(Orden, WholePipelineWritesTheTimetableDocument)
{
    CarpetaTemporal tmp;
    fs::create_directories(tmp / "seneca");
    fs::copy_file(kCentro + "seneca.xml", tmp / "seneca" / "centro.xml");
    ASSERT_EQ(Transzentar(tmp, Exportar(tmp, kCentro, {"--niveles", kCentro + "niveles.csv"})).estado, 0);
    ASSERT_EQ(Ejecutar(tmp, DIR_HERRAMIENTAS "/colocar", {(tmp / "QTEMP").string()}).estado, 0);

    const Salida s = Transzentar(tmp, {"importar", "--dir", (tmp / "QTEMP").string(), "--seneca",
                                       (tmp / "seneca" / "centro.xml").string()});
    ASSERT_EQ(s.estado, 0) << s.errores;
    const fs::path resultado = tmp / "seneca" / "ResultadoZentarcentro.xml";
    EXPECT_EQ(s.salida, resultado.string() + "\nProceso finalizado\n");
    const std::string documento = LeerFichero(resultado);
    EXPECT_EQ(documento.rfind("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>", 0), 0u);
    EXPECT_NE(documento.find("<grupo_datos seq=\"HORARIOS_REGULARES\" registros=\"8\">"), std::string::npos);
}

TEST(Orden, ImportWithoutPeriodsWritesNothing)
{
    CarpetaTemporal tmp;
    fs::create_directories(tmp / "QTEMP");
    const Salida s =
        Transzentar(tmp, {"importar", "--dir", (tmp / "QTEMP").string(), "--seneca", kCentro + "seneca.xml"});
    EXPECT_EQ(s.estado, 1);
    EXPECT_FALSE(fs::exists(fs::path(kCentro) / "ResultadoZentarseneca.xml"));
}

} // namespace
