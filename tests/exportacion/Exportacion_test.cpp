#include "apoyo/Apoyo.h"
#include "comun/Error.h"
#include "export/Cursos.h"
#include "export/Exportacion.h"

#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

const fs::path kCentro = EJEMPLOS "/centro-ejemplo";
const fs::path kDosMarcos = EJEMPLOS "/centro-dos-marcos";
const fs::path kSenematerias = DIR_BIN "/SENEMATERIAS.DBF";

// Gives every course of the sample school its level and course number, then confirms.
void DarNiveles(ControlCursos& cursos)
{
    cursos.FormShow();
    for (std::size_t i = 0; i < cursos.numFilas(); ++i) {
        const std::string clave = cursos.fila(i).clave;
        cursos.fijarNivel(i, clave == "6003" ? "BCT" : "ESO");
        cursos.fijarCurso(i, clave == "6002" ? "2" : "1");
    }
    cursos.BitBtn1Click();
}

struct Ejecucion {
    CarpetaTemporal tmp;
    SesionTraspaso sesion;
    InteraccionFalsa usuario;

    Ejecucion() { usuario.alMostrarCursos = DarNiveles; }
    FinTraspaso exportar() { return EjecutarExportacion(sesion, usuario, tmp / "QTEMP", kSenematerias); }
    std::vector<std::string> textos() const
    {
        std::vector<std::string> t;
        for (const auto& m : usuario.mensajes)
            t.push_back(m.texto);
        return t;
    }
};

TEST(Exportacion, CompletedRunShowsItsMessagesInOrderAndSetsTheResult)
{
    Ejecucion e;
    e.usuario.ficheros = {kCentro / "seneca.xml", kCentro / "planificacion.xml"};
    EXPECT_EQ(e.exportar(), FinTraspaso::Completado);
    EXPECT_EQ(e.sesion.resultadoTraspaso, 1);
    EXPECT_EQ(e.textos(),
              (std::vector<std::string>{
                  "Debe disponer de 2 ficheros XML. Uno procedente de SÉNECA, y otro de PLANIFICACIÓN.\n"
                  "Ambos ficheros deberán estar ubicados en una misma carpeta.",
                  "Seleccione ahora el fichero XML procedente de SÉNECA",
                  "Seleccione ahora el fichero XML procedente de PLANIFICACIÓN", "Proceso finalizado"}));
    EXPECT_EQ(e.usuario.nivelOcupado, 0);
    EXPECT_EQ(e.usuario.vecesMarcos, 0); // one time frame: no dialog
    for (const char* tabla :
         {"PERIODOS", "CURSOST", "CURSOST2", "ASIGNOMT", "ASIGNOMT2", "PROFT", "AULAT", "GRUPOST", "ASIGT",
          "DIASHORAST", "ORIGENES_C", "NIVELES_C", "CUR_NIV_C", "AUTORIZA_C"})
        EXPECT_TRUE(Tabla::existe(e.tmp / "QTEMP", tabla)) << tabla;
}

TEST(Exportacion, MissingFileEndsTheRunAndKeepsTheEarlierChoice)
{
    const struct {
        int modo;
        std::deque<std::optional<fs::path>> ficheros;
        int resultado;
    } casos[] = {
        {0, {std::nullopt}, 0},
        {2, {std::nullopt}, -1},
        {2, {kCentro / "seneca.xml", fs::path("/no/existe.xml")}, -1},
    };
    for (const auto& c : casos) {
        Ejecucion e;
        e.sesion.modoIntegrado = c.modo;
        e.usuario.ficheros = c.ficheros;
        EXPECT_EQ(e.exportar(), FinTraspaso::NoExisteArchivo);
        EXPECT_EQ(e.sesion.resultadoTraspaso, c.resultado);
        EXPECT_EQ(e.textos().back(), "No existe archivo");
        EXPECT_FALSE(fs::exists(e.tmp / "QTEMP"));
    }

    // A cancelled dialog keeps the file chosen in an earlier run of the same program.
    Ejecucion e;
    e.usuario.ficheros = {kCentro / "seneca.xml", std::nullopt};
    EXPECT_EQ(e.exportar(), FinTraspaso::NoExisteArchivo);
    e.usuario.ficheros = {std::nullopt, kCentro / "planificacion.xml"};
    EXPECT_EQ(e.exportar(), FinTraspaso::Completado);
    EXPECT_EQ(e.sesion.ficheroSeneca, kCentro / "seneca.xml");
}

TEST(Exportacion, ForcedExitStopsBeforeTheSubjects)
{
    Ejecucion e;
    e.usuario.ficheros = {kCentro / "seneca.xml", kCentro / "planificacion.xml"};
    e.usuario.alMostrarCursos = [&](ControlCursos& cursos) {
        cursos.FormShow();
        if (e.usuario.vecesCursos == 1)
            cursos.BitBtn1Click(); // nothing entered: refused
        else
            cursos.BitBtn2Click();
    };
    EXPECT_EQ(e.exportar(), FinTraspaso::SalidaForzada);
    EXPECT_EQ(e.usuario.vecesCursos, 2);
    EXPECT_TRUE(e.sesion.dialogoRepetido);
    EXPECT_EQ(e.sesion.resultadoTraspaso, 0);
    EXPECT_TRUE(Tabla::existe(e.tmp / "QTEMP", "CURSOST"));
    EXPECT_FALSE(Tabla::existe(e.tmp / "QTEMP", "ASIGNOMT"));
    EXPECT_FALSE(e.usuario.mostro("Proceso finalizado"));
}

TEST(Exportacion, ASecondRunAfterAFailedOneWorks)
{
    Ejecucion e;
    e.usuario.ficheros = {kDosMarcos / "seneca.xml", kDosMarcos / "planificacion.xml"};
    // The frame dialog's answer fails the run half-way (as a failing table would).
    e.usuario.alMostrarMarcos = [](Plantillas&) { throw Error("fallo a mitad de la exportación"); };
    EXPECT_THROW(e.exportar(), Error);
    EXPECT_EQ(e.usuario.nivelOcupado, 0);
    EXPECT_EQ(e.sesion.resultadoTraspaso, 0);

    e.usuario.alMostrarMarcos = nullptr;
    e.usuario.ficheros = {std::nullopt, std::nullopt};
    EXPECT_EQ(e.exportar(), FinTraspaso::Completado);
    EXPECT_EQ(e.sesion.resultadoTraspaso, 1);
    EXPECT_EQ(FilasTabla(e.tmp / "QTEMP", "ASIGNOMT").size(), 17u); // the subject lists started afresh
}

TEST(Exportacion, BrokenOrIncompleteInputTouchesNoTable)
{
    Ejecucion e;
    EscribirFichero(e.tmp / "roto.xml", "<SERVICIO><BLOQUE_DATOS>");
    EscribirFichero(e.tmp / "sin-marcos.xml", "<SERVICIO><BLOQUE_DATOS><grupo_datos seq=\"A\"><dato>2026</dato>"
                                              "<dato>1</dato></grupo_datos></BLOQUE_DATOS></SERVICIO>");
    EscribirFichero(e.tmp / "sin-anno.xml", "<SERVICIO><BLOQUE_DATOS><grupo_datos seq=\"JORNADAS_ESCOLARES\">"
                                            "<grupo_datos><dato>J1</dato><dato>MaÃ±ana</dato></grupo_datos>"
                                            "</grupo_datos></BLOQUE_DATOS></SERVICIO>");
    for (const char* seneca : {"roto.xml", "sin-marcos.xml", "sin-anno.xml"}) {
        e.usuario.ficheros = {e.tmp / seneca, kCentro / "planificacion.xml"};
        EXPECT_THROW(e.exportar(), Error) << seneca;
        EXPECT_FALSE(fs::exists(e.tmp / "QTEMP")) << seneca;
    }
}

} // namespace
