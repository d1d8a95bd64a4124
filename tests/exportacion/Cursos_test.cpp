#include "apoyo/Apoyo.h"
#include "comun/Error.h"
#include "data/Tabla.h"
#include "export/Cursos.h"
#include "text/Texto.h"

#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;
using Filas = std::vector<std::vector<std::string>>;

const std::vector<std::string> kCamposCursos = {"ABREV C3", "TURNO C1",  "NIVEL C5",
                                                "CURSO C3", "CLAVE C10", "ESTUD C80"};

std::string Cursos(const std::vector<std::string>& registros)
{
    return SeccionXml("CURSOS_DEL_CENTRO", registros);
}

// A courses table; rows given as ABREV, TURNO, NIVEL, CURSO, CLAVE, ESTUD (UTF-8).
void CrearTabla(const fs::path& carpeta, const std::string& nombre, const Filas& filas)
{
    CrearTablaPrueba(carpeta, nombre, CamposCursos(), filas);
}

void Rellenar(ControlCursos& cursos, std::size_t fila, const std::string& nivel, const std::string& curso)
{
    cursos.fijarNivel(fila, nivel);
    cursos.fijarCurso(fila, curso);
}

TEST(ExportarCursos, WritesOneRowPerCourseRecord)
{
    EntornoExportacion entorno;
    const std::string larga(100, 'x');
    entorno.cargarSeneca(Cursos(
        {RegistroXml({"  6001", "1º de E.S.O.  "}), RegistroXml({"6002"}), RegistroXml({"6003", larga, "z"})}));
    entorno.interaccion.alMostrarCursos = [](ControlCursos& cursos) {
        cursos.FormShow();
        cursos.cerrarVentana();
    };
    auto ctx = entorno.contexto();
    EXPECT_TRUE(ExportarCursos(ctx));
    EXPECT_EQ(CamposTabla(entorno.carpeta.ruta(), "CURSOST"), kCamposCursos);
    EXPECT_EQ(FilasTabla(entorno.carpeta.ruta(), "CURSOST"),
              (Filas{{"", "", "", "", "6001", "1º de E.S.O."}, {"", "", "", "", "6003", std::string(80, 'x')}}));
    EXPECT_FALSE(Tabla::existe(entorno.carpeta.ruta(), "CURSOST2")); // closing the window checks nothing
}

TEST(ExportarCursos, ShowsTheDialogAgainUntilEveryCourseIsComplete)
{
    EntornoExportacion entorno;
    entorno.cargarSeneca(Cursos({RegistroXml({"6001", "1º ESO"}), RegistroXml({"6002", "2º ESO"})}));
    std::vector<bool> salidaOfrecida;
    entorno.interaccion.alMostrarCursos = [&](ControlCursos& cursos) {
        cursos.FormShow();
        cursos.CursosTDBGridEnter();
        salidaOfrecida.push_back(cursos.salidaForzadaVisible());
        Rellenar(cursos, 0, "ESO", "1");
        if (entorno.interaccion.vecesCursos == 2) {
            cursos.CursosTDBGridColEnter();
            EXPECT_FALSE(cursos.salidaForzadaVisible());
            Rellenar(cursos, 1, "ESO", "2");
        }
        cursos.BitBtn1Click();
    };
    auto ctx = entorno.contexto();
    EXPECT_TRUE(ExportarCursos(ctx));
    EXPECT_EQ(entorno.interaccion.vecesCursos, 2);
    EXPECT_EQ(salidaOfrecida, (std::vector<bool>{false, true}));
    EXPECT_TRUE(entorno.sesion.dialogoRepetido);
    EXPECT_TRUE(entorno.interaccion.mostro(TextosCursos::kFaltaDato));
    const Filas esperadas = {{"", "", "ESO", "1", "6001", "1º ESO"}, {"", "", "ESO", "2", "6002", "2º ESO"}};
    EXPECT_EQ(FilasTabla(entorno.carpeta.ruta(), "CURSOST"), esperadas);
    EXPECT_EQ(FilasTabla(entorno.carpeta.ruta(), "CURSOST2"), esperadas);
}

TEST(ExportarCursos, ForcedExitInTheSecondDialogEndsTheExport)
{
    EntornoExportacion entorno;
    entorno.cargarSeneca(Cursos({RegistroXml({"6001", "1º ESO"})}));
    entorno.interaccion.alMostrarCursos = [&](ControlCursos& cursos) {
        cursos.FormShow();
        cursos.fijarNivel(0, "ESO");
        if (entorno.interaccion.vecesCursos == 1)
            cursos.BitBtn1Click();
        else
            cursos.BitBtn2Click();
    };
    auto ctx = entorno.contexto();
    EXPECT_FALSE(ExportarCursos(ctx));
    EXPECT_EQ(entorno.interaccion.vecesCursos, 2);
    EXPECT_EQ(FilasTabla(entorno.carpeta.ruta(), "CURSOST"), (Filas{{"", "", "ESO", "", "6001", "1º ESO"}}));
    EXPECT_FALSE(Tabla::existe(entorno.carpeta.ruta(), "CURSOST2"));
}

TEST(ExportarCursos, LevelsRoundTripAcrossTwoExports)
{
    EntornoExportacion entorno;
    entorno.cargarSeneca(Cursos({RegistroXml({"6001", "1º ESO"}), RegistroXml({"6002", "1º Bach."})}));
    entorno.interaccion.alMostrarCursos = [](ControlCursos& cursos) {
        cursos.FormShow();
        Rellenar(cursos, 0, "ESO", "1");
        Rellenar(cursos, 1, "BCT", "1");
        cursos.BitBtn1Click();
    };
    auto primera = entorno.contexto();
    ASSERT_TRUE(ExportarCursos(primera));

    // The next year's file: one course gone, one new; the default user answers OK and confirms.
    entorno.cargarSeneca(Cursos({RegistroXml({"6002", "1º Bach."}), RegistroXml({"6003", "2º Bach."})}));
    entorno.interaccion.alMostrarCursos = [](ControlCursos& cursos) {
        cursos.FormShow();
        EXPECT_EQ(cursos.fila(0).nivel, "BCT");
        EXPECT_EQ(cursos.fila(1).nivel, "");
        Rellenar(cursos, 1, "BCT", "2");
        cursos.BitBtn1Click();
    };
    auto segunda = entorno.contexto();
    ASSERT_TRUE(ExportarCursos(segunda));
    EXPECT_EQ(entorno.interaccion.preguntas, (std::vector<std::string>{TextosCursos::kTituloRecuperacion}));
    EXPECT_EQ(FilasTabla(entorno.carpeta.ruta(), "CURSOST2"), (Filas{{"", "", "ESO", "1", "6001", "1º ESO"},
                                                                     {"", "", "BCT", "1", "6002", "1º Bach."},
                                                                     {"", "", "BCT", "2", "6003", "2º Bach."}}));
}

class ControlCursosTest : public ::testing::Test {
protected:
    CarpetaTemporal carpeta;
    InteraccionFalsa interaccion;
    const fs::path& ruta() const { return carpeta.ruta(); }
};

TEST_F(ControlCursosTest, RecoveryCopiesEarlierLevelsByKey)
{
    CrearTabla(ruta(), "CURSOST", {{"", "", "", "", "A", "Uno"}, {"", "", "", "", "B", "Dos"}});
    CrearTabla(ruta(), "CURSOST2", {{"", "", "ESO", "1", "A", "Viejo"}, {"", "", "XX", "9", "A", "Repetido"}});
    ControlCursos cursos(ruta(), interaccion, false);
    cursos.FormShow();
    EXPECT_EQ(interaccion.preguntas, (std::vector<std::string>{TextosCursos::kTituloRecuperacion}));
    ASSERT_EQ(cursos.numFilas(), 2u);
    EXPECT_EQ(cursos.fila(0).nivel, "ESO");
    EXPECT_EQ(cursos.fila(0).curso, "1");
    EXPECT_EQ(cursos.fila(1).nivel, "");
    EXPECT_FALSE(cursos.salidaForzadaVisible());
    cursos.cerrarVentana();
    EXPECT_FALSE(cursos.FaltanDatos());
    EXPECT_EQ(cursos.MarcaSalida(), "");
    EXPECT_EQ(FilasTabla(ruta(), "CURSOST"),
              (Filas{{"", "", "ESO", "1", "A", "Uno"}, {"", "", "", "", "B", "Dos"}}));
}

TEST_F(ControlCursosTest, DecliningRecoveryDeletesTheEarlierLevelsAtOnce)
{
    CrearTabla(ruta(), "CURSOST", {{"", "", "", "", "A", "Uno"}});
    CrearTabla(ruta(), "CURSOST2", {{"", "", "ESO", "1", "A", "Uno"}});
    EscribirFichero(carpeta / "CURSOST2.MDX", "viejo");
    interaccion.respuestas = {false};
    ControlCursos cursos(ruta(), interaccion, true);
    cursos.FormShow();
    EXPECT_FALSE(Tabla::existe(ruta(), "CURSOST2"));
    EXPECT_FALSE(fs::exists(carpeta / "CURSOST2.MDX"));
    EXPECT_EQ(cursos.fila(0).nivel, "");
    EXPECT_TRUE(cursos.salidaForzadaVisible());
    cursos.BitBtn2Click();
    EXPECT_EQ(cursos.MarcaSalida(), "fuera");
    EXPECT_FALSE(cursos.FaltanDatos());
    EXPECT_FALSE(Tabla::existe(ruta(), "CURSOST2"));
}

TEST_F(ControlCursosTest, ConfirmationRefusesBlankOrControlOnlyValues)
{
    struct Caso {
        std::string nivel, curso;
    };
    const Caso casos[] = {{"   ", "1"}, {"\t\x01", "1"}, {"ESO", ""}, {"ESO", " \r"}, {"", ""}};
    for (const Caso& caso : casos) {
        SCOPED_TRACE("'" + caso.nivel + "' '" + caso.curso + "'");
        CarpetaTemporal otra;
        InteraccionFalsa usuario;
        CrearTabla(otra.ruta(), "CURSOST", {{"", "", "BCT", "1", "A", "Uno"}, {"", "", "", "", "B", "Dos"}});
        ControlCursos cursos(otra.ruta(), usuario, false);
        cursos.FormShow();
        EXPECT_TRUE(usuario.preguntas.empty());
        Rellenar(cursos, 1, caso.nivel, caso.curso);
        EXPECT_EQ(cursos.filasIncompletas().size(), 1u);
        cursos.BitBtn1Click();
        EXPECT_TRUE(cursos.FaltanDatos());
        EXPECT_TRUE(cursos.incidenciaVisible());
        EXPECT_TRUE(cursos.salidaForzadaVisible());
        ASSERT_EQ(usuario.mensajes.size(), 1u);
        EXPECT_EQ(usuario.mensajes[0].texto, TextosCursos::kFaltaDato);
        EXPECT_EQ(usuario.mensajes[0].tipo, TipoMensaje::Incidencia);
        EXPECT_FALSE(Tabla::existe(otra.ruta(), "CURSOST2"));
        Tabla::abrir(otra.ruta(), "CURSOST", Acceso::Exclusivo).cerrar(); // closed by the dialog
    }
}

TEST_F(ControlCursosTest, ConfirmationUpdatesAndExtendsTheEarlierLevels)
{
    CrearTabla(ruta(), "CURSOST", {{"", "", "", "", "A", "Uno"}, {"", "M", "", "", "B", "Dos"}});
    CrearTabla(ruta(), "CURSOST2", {{"Q", "", "OLD", "9", "A", "Viejo"}, {"", "", "BHC", "2", "Z", "Otro"}});
    ControlCursos cursos(ruta(), interaccion, false);
    cursos.FormShow();
    Rellenar(cursos, 0, " ESO\t", "1");
    Rellenar(cursos, 1, "BACHILLER", "2ABC");
    EXPECT_EQ(cursos.fila(1).nivel, "BACHI"); // cut to the field's width
    EXPECT_TRUE(cursos.filasIncompletas().empty());
    cursos.BitBtn1Click();
    EXPECT_FALSE(cursos.FaltanDatos());
    EXPECT_FALSE(cursos.incidenciaVisible());
    EXPECT_TRUE(interaccion.mensajes.empty());
    EXPECT_EQ(FilasTabla(ruta(), "CURSOST"),
              (Filas{{"", "", "ESO", "1", "A", "Uno"}, {"", "M", "BACHI", "2AB", "B", "Dos"}}));
    EXPECT_EQ(FilasTabla(ruta(), "CURSOST2"), (Filas{{"Q", "", "ESO", "1", "A", "Viejo"},
                                                     {"", "", "BHC", "2", "Z", "Otro"},
                                                     {"", "M", "BACHI", "2AB", "B", "Dos"}}));
}

TEST_F(ControlCursosTest, AccentedCharactersAreValues)
{
    // Bytes above 127 are letters and signs of the code page, not control characters.
    CrearTabla(ruta(), "CURSOST", {{"", "", "", "", "A", "Uno"}});
    ControlCursos cursos(ruta(), interaccion, false);
    cursos.FormShow();
    Rellenar(cursos, 0, Utf8AAnsi("Ñ"), Utf8AAnsi("1º"));
    cursos.BitBtn1Click();
    EXPECT_FALSE(cursos.FaltanDatos());
    EXPECT_EQ(FilasTabla(ruta(), "CURSOST2"), (Filas{{"", "", "Ñ", "1º", "A", "Uno"}}));
}

TEST_F(ControlCursosTest, AClosedDialogRefusesFurtherWork)
{
    CrearTabla(ruta(), "CURSOST", {{"", "", "ESO", "1", "A", "Uno"}});
    ControlCursos cursos(ruta(), interaccion, false);
    cursos.FormShow();
    cursos.BitBtn1Click();
    const std::string guardado = LeerFichero(carpeta / "CURSOST2.DBF");
    EXPECT_THROW(cursos.BitBtn1Click(), Error);
    EXPECT_THROW(cursos.fijarNivel(0, "BCT"), Error);
    EXPECT_EQ(LeerFichero(carpeta / "CURSOST2.DBF"), guardado);
}

TEST_F(ControlCursosTest, AnEmptyTableGetsOneBlankRowThatIsRefused)
{
    CrearTabla(ruta(), "CURSOST", {});
    ControlCursos cursos(ruta(), interaccion, false);
    cursos.FormShow();
    cursos.CursosTDBGridEnter();
    cursos.CursosTDBGridEnter();
    EXPECT_EQ(cursos.numFilas(), 1u);
    cursos.BitBtn1Click();
    EXPECT_TRUE(cursos.FaltanDatos());
    EXPECT_EQ(FilasTabla(ruta(), "CURSOST"), (Filas{{"", "", "", "", "", ""}}));
}

TEST_F(ControlCursosTest, AnEarlierLevelsTableOfAnotherLayoutIsNotTouched)
{
    CrearTabla(ruta(), "CURSOST", {{"", "", "", "", "A", "Uno"}});
    Tabla ajena = Tabla::crear(ruta(), "CURSOST2",
                               {CampoCaracter("CLAVE", 10), CampoCaracter("NIVEL", 5), CampoCaracter("CURSO", 3)});
    ajena.agregar();
    ajena.fijar("CLAVE", "A");
    ajena.fijar("NIVEL", "ESO");
    ajena.cerrar();
    const std::string antes = LeerFichero(carpeta / "CURSOST2.DBF");
    ControlCursos cursos(ruta(), interaccion, false);
    cursos.FormShow();
    Rellenar(cursos, 0, "ESO", "1");
    EXPECT_THROW(cursos.BitBtn1Click(), Error);
    EXPECT_EQ(LeerFichero(carpeta / "CURSOST2.DBF"), antes);
}

} // namespace
