#include "apoyo/Apoyo.h"

#include "comun/Error.h"
#include "export/Plantihoras.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

using ::testing::AllOf;
using ::testing::HasSubstr;

namespace {

using Filas = std::vector<std::vector<std::string>>;

// Columns of DIASHORAST.
enum { DIHO, CODDIHO, DIA, TEXTODIA, HORA, TEXTOHOR, HORADESDE, HORAHASTA, MINUTOS, MARCO, MARCOXML };

std::string Jornada(const std::string& codigo)
{
    return RegistroXml({codigo, "Jornada " + codigo, "01/09/2024", "30/06/2025"});
}

std::string Tramo(const std::string& codigo, const std::string& inicio, const std::string& fin,
                  const std::string& marco)
{
    return RegistroXml({codigo, "Tramo " + codigo, inicio, fin, marco});
}

// Runs the step on the frames and slots; with two or more frames the user picks the given lines.
Filas Tramos(EntornoExportacion& entorno, const std::vector<std::string>& jornadas,
             const std::vector<std::string>& tramos, std::vector<std::size_t> lineas = {0})
{
    entorno.cargarSeneca(SeccionXml("JORNADAS_ESCOLARES", jornadas) + SeccionXml("TRAMOS_HORARIOS", tramos));
    entorno.sesion.ficheroSeneca = entorno.carpeta / "seneca.xml";
    entorno.interaccion.alMostrarMarcos = [lineas](Plantillas& plantillas) {
        plantillas.FormActivate();
        plantillas.FormClose(lineas);
    };
    ContextoExportacion ctx = entorno.contexto();
    ExportarTramos(ctx);
    return FilasTabla(entorno.carpeta.ruta(), "DIASHORAST");
}

std::vector<std::string> Columna(const Filas& filas, int columna)
{
    std::vector<std::string> valores;
    for (const auto& fila : filas)
        valores.push_back(fila[static_cast<std::size_t>(columna)]);
    return valores;
}

TEST(ExportarTramos, UnSoloMarcoSinDialogoCadaTramoSieteDias)
{
    EntornoExportacion entorno;
    std::vector<std::string> tramos;
    for (int i = 1; i <= 5; ++i)
        tramos.push_back(
            Tramo("T" + std::to_string(i), std::to_string(420 + 60 * i), std::to_string(480 + 60 * i), "J1"));
    const Filas filas = Tramos(entorno, {Jornada("J1")}, tramos);

    EXPECT_EQ(entorno.interaccion.vecesMarcos, 0);
    EXPECT_EQ(
        CamposTabla(entorno.carpeta.ruta(), "DIASHORAST"),
        (std::vector<std::string>{"DIHO C10", "CODDIHO C10", "DIA C20", "TEXTODIA C20", "HORA C8", "TEXTOHOR C15",
                                  "HORADESDE C8", "HORAHASTA C8", "MINUTOS C8", "MARCO C1", "MARCOXML C10"}));
    ASSERT_EQ(filas.size(), 35u);
    std::vector<std::string> dihos;
    for (int dia = 1; dia <= 7; ++dia)
        for (int hora = 1; hora <= 5; ++hora)
            dihos.push_back(std::to_string(dia) + std::to_string(hora));
    EXPECT_EQ(Columna(filas, DIHO), dihos);
    EXPECT_EQ(filas[12],
              (std::vector<std::string>{"33", "T3", "3", "", "3", "Tramo T3", "10:00", "11:00", "60", "0", "J1"}));
    for (const auto& fila : filas)
        EXPECT_EQ(fila[MARCO], "0");
}

TEST(ExportarTramos, NumeraLosMarcosPorLaHoraDeComienzo)
{
    struct Caso {
        const char* nombre;
        std::vector<std::size_t> lineas;
        std::string inicioJ1, inicioJ2;
        std::vector<std::string> marcos; // MARCOXML:MARCO of day 1
    };
    const std::vector<Caso> casos = {
        {"el segundo empieza antes: es el 0", {0, 1}, "480", "420", {"J1:1", "J2:0", "J1:1"}},
        {"mismo comienzo: el primero es el 0", {1, 0}, "480", "480", {"J1:0", "J2:1", "J1:0"}},
        {"un solo marco elegido de dos", {1}, "480", "420", {"J2:0"}},
        {"un solo marco que empieza pasada la medianoche sigue siendo el 0", {0}, "1500", "420", {"J1:0", "J1:0"}},
    };
    for (const Caso& caso : casos) {
        EntornoExportacion entorno;
        const Filas filas = Tramos(entorno, {Jornada("J1"), Jornada("J2"), Jornada("J3")},
                                   {Tramo("A", caso.inicioJ1, "535", "J1"), Tramo("B", caso.inicioJ2, "475", "J2"),
                                    Tramo("C", "535", "590", "J1"), Tramo("D", "400", "500", "J3")},
                                   caso.lineas);
        std::vector<std::string> marcos;
        for (const auto& fila : filas)
            if (fila[DIA] == "1") marcos.push_back(fila[MARCOXML] + ":" + fila[MARCO]);
        EXPECT_EQ(marcos, caso.marcos) << caso.nombre;
        EXPECT_EQ(entorno.interaccion.vecesMarcos, 1) << caso.nombre;
    }
}

TEST(ExportarTramos, LosTramosDeOtrosMarcosNoGastanNumero)
{
    EntornoExportacion entorno;
    const std::string codigoLargo = "JORNADA_ORDINARIA";
    const Filas filas =
        Tramos(entorno, {Jornada(codigoLargo)},
               {Tramo("A", "480", "535", "JORNADA_ORDINARIA_2"), Tramo("B", "535", "590", "OTRA"),
                RegistroXml({"C", "Sin marco", "590", "645"}), Tramo("D", "645", "700", "JORNADA_OR"),
                RegistroXml({"E", "Un nombre muy largo de tramo", "700", "755", "JORNADA_OR"})});
    ASSERT_EQ(filas.size(), 21u);
    EXPECT_EQ(Columna(filas, CODDIHO),
              (std::vector<std::string>{"A", "D", "E", "A", "D", "E", "A", "D", "E", "A", "D",
                                        "E", "A", "D", "E", "A", "D", "E", "A", "D", "E"}));
    EXPECT_EQ(filas[2][DIHO], "13");
    EXPECT_EQ(filas[2][TEXTOHOR], "Un nombre muy l");
    EXPECT_EQ(filas[2][MARCOXML], "JORNADA_OR");
}

TEST(ExportarTramos, HorasYMinutos)
{
    struct Caso {
        std::string inicio, fin, desde, hasta, minutos;
    };
    const std::vector<Caso> casos = {
        {"480", "535", "08:00", "08:55", "55"},   {"65", "1500", "01:05", "25:00", "1435"},
        {"", "45", "00:00", "00:45", "45"},       {"600", "540", "10:00", "09:00", "-60"},
        {" 540 ", "600", "09:00", "10:00", "60"},
    };
    for (const Caso& caso : casos) {
        EntornoExportacion entorno;
        const Filas filas = Tramos(entorno, {Jornada("J1")}, {Tramo("A", caso.inicio, caso.fin, "J1")});
        ASSERT_EQ(filas.size(), 7u);
        EXPECT_EQ(filas[0][HORADESDE], caso.desde) << caso.inicio;
        EXPECT_EQ(filas[0][HORAHASTA], caso.hasta) << caso.fin;
        EXPECT_EQ(filas[0][MINUTOS], caso.minutos) << caso.inicio << "-" << caso.fin;
    }
}

TEST(ExportarTramos, RepiteElDialogoHastaUnaEleccionValida)
{
    EntornoExportacion entorno;
    entorno.cargarSeneca(SeccionXml("JORNADAS_ESCOLARES", {Jornada("J1"), Jornada("J2")}) +
                         SeccionXml("TRAMOS_HORARIOS", {Tramo("A", "480", "535", "J2")}));
    entorno.sesion.ficheroSeneca = entorno.carpeta / "seneca.xml";
    std::vector<std::vector<std::size_t>> elecciones = {{}, {0, 1, 1, 0}, {1}};
    entorno.interaccion.alMostrarMarcos = [&](Plantillas& plantillas) {
        plantillas.FormActivate();
        plantillas.FormClose(elecciones[static_cast<std::size_t>(entorno.interaccion.vecesMarcos - 1)]);
    };
    ContextoExportacion ctx = entorno.contexto();
    ExportarTramos(ctx);

    EXPECT_EQ(entorno.interaccion.vecesMarcos, 2);
    EXPECT_TRUE(entorno.sesion.dialogoRepetido);
    EXPECT_TRUE(entorno.interaccion.mostro(TextosPlantillas::kNinguno));
    EXPECT_EQ(FilasTabla(entorno.carpeta.ruta(), "DIASHORAST").size(), 7u);
}

TEST(ExportarTramos, UnMinutoQueNoEsNumeroDetieneElPaso)
{
    EntornoExportacion entorno;
    try {
        Tramos(entorno, {Jornada("J1")}, {Tramo("A", "480", "535", "J1"), Tramo("B", "535", "9:00", "J1")});
        FAIL() << "se esperaba un error";
    } catch (const Error& e) {
        EXPECT_THAT(e.what(), AllOf(HasSubstr("TRAMOS_HORARIOS"), HasSubstr("nº 2"), HasSubstr("HORAHASTA"),
                                    HasSubstr("«9:00»")));
    }
}

TEST(ExportarTramos, SinMarcosHorariosNoTocaLaTabla)
{
    EntornoExportacion entorno;
    CrearTablaPrueba(entorno.carpeta.ruta(), "DIASHORAST", {CampoCaracter("DIHO", 10)}, {{"11"}});
    entorno.cargarSeneca(SeccionXml("TRAMOS_HORARIOS", {Tramo("A", "480", "535", "J1")}));
    ContextoExportacion ctx = entorno.contexto();
    EXPECT_THAT([&] { ExportarTramos(ctx); }, ::testing::ThrowsMessage<Error>(HasSubstr("JORNADAS_ESCOLARES")));
    EXPECT_EQ(FilasTabla(entorno.carpeta.ruta(), "DIASHORAST").size(), 1u);
}

} // namespace
