#include "apoyo/Apoyo.h"
#include "comun/Error.h"
#include "data/Tabla.h"
#include "text/Texto.h"

#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;
using Filas = std::vector<std::vector<std::string>>;

struct Materia {
    std::string oferta, nombre, clave;
};

struct Referencia {
    std::string nombre, cod, codLargo;
};

std::string Dato(const std::string& nombre, const std::string& valor)
{
    return "<dato nombre_dato=\"" + nombre + "\">" + valor + "</dato>";
}

std::string Materias(const std::vector<Materia>& materias)
{
    std::string xml = "<grupo_datos seq=\"MATERIAS\">";
    for (const Materia& m : materias)
        xml += "<grupo_datos seq=\"ID_MATERIA\">" + Dato("X_OFERTAMATRIG", m.oferta) +
               Dato("D_MATERIAC", m.nombre) + Dato("X_MATERIAOMG", m.clave) + "</grupo_datos>";
    return xml + "</grupo_datos>";
}

// The reference table, written by the test where the program would find it.
void CrearReferencia(EntornoExportacion& entorno, const std::vector<Referencia>& filas, int anchoCod = 10)
{
    const fs::path programa = entorno.carpeta / "programa";
    fs::create_directories(programa);
    Tabla tabla =
        Tabla::crear(programa, "SENEMATERIAS",
                     {CampoCaracter("NOMBRE", 80), CampoCaracter("COD", anchoCod), CampoCaracter("CODLARGO", 10)});
    for (const Referencia& fila : filas) {
        tabla.agregar();
        tabla.fijar("NOMBRE", Utf8AAnsi(fila.nombre));
        tabla.fijar("COD", Utf8AAnsi(fila.cod));
        tabla.fijar("CODLARGO", Utf8AAnsi(fila.codLargo));
        tabla.grabar();
    }
    tabla.cerrar();
    entorno.senematerias = programa / "SENEMATERIAS.DBF";
}

// Runs the step on the records with the given reference rows; the rows of ASIGNOMT.
Filas Exportar(EntornoExportacion& entorno, const std::string& secciones,
               const std::vector<Referencia>& referencia = {})
{
    if (entorno.senematerias.empty()) CrearReferencia(entorno, referencia);
    entorno.cargarSeneca(secciones);
    auto ctx = entorno.contexto();
    ExportarMaterias(ctx);
    return FilasTabla(entorno.carpeta.ruta(), "ASIGNOMT");
}

std::vector<std::string> Columna(const Filas& filas, std::size_t columna)
{
    std::vector<std::string> valores;
    for (const auto& fila : filas)
        valores.push_back(fila.at(columna));
    return valores;
}

TEST(ExportarMaterias, CreatesBothTablesWithTheirFields)
{
    EntornoExportacion entorno;
    EXPECT_TRUE(Exportar(entorno, "").empty());
    EXPECT_EQ(CamposTabla(entorno.carpeta.ruta(), "ASIGNOMT"),
              (std::vector<std::string>{"COD C10", "CODLARGO C10", "NOMBRE C80", "CODTAREA C10", "ESTAREA L"}));
    EXPECT_EQ(CamposTabla(entorno.carpeta.ruta(), "ASIGNOMT2"),
              (std::vector<std::string>{"COD C10", "CODLARGO C10", "NOMBRE C80", "MATERIA C20", "OFERTAMATRI C20",
                                        "CODTAREA C10", "ESTAREA L"}));
    EXPECT_TRUE(FilasTabla(entorno.carpeta.ruta(), "ASIGNOMT2").empty());
}

TEST(ExportarMaterias, MakesCodesFromNamesUnknownToTheReference)
{
    EntornoExportacion entorno;
    const Filas filas = Exportar(entorno,
                                 Materias({{"1", "Lengua Castellana y Literatura", "10"},
                                           {"1", "Matemáticas", "11"},
                                           {"1", "educación física", "12"},
                                           {"1", "Ética", "13"},
                                           {"1", "Primera Lengua Extranjera (Inglés)", "14"},
                                           {"1", "Lectura Crítica y Lenguaje", "15"},
                                           {"1", "Laboratorio de Ciencias y Lógica", "16"},
                                           {"1", "1º Proyecto", "17"},
                                           {"1", "Taller de Robótica y Programación Avanzada", "18"}}),
                                 {{"Otra materia", "OTR", "OTRA"}});
    EXPECT_EQ(filas, (Filas{
                         {"LCL", "Lengua Cas", "Lengua Castellana y Literatura", "", "F"},
                         {"Matemá", "Matemá", "Matemáticas", "", "F"},
                         {"ef", "educación", "educación física", "", "F"}, // the long code ends in a blank
                         {"Ética", "Ética", "Ética", "", "F"},
                         {"PLEI", "Primera Le", "Primera Lengua Extranjera (Inglés)", "", "F"},
                         {"LC1", "Lectura Cr", "Lectura Crítica y Lenguaje", "", "F"},
                         {"LC2", "Laboratori", "Laboratorio de Ciencias y Lógica", "", "F"},
                         {"1P", "1º Proyect", "1º Proyecto", "", "F"},
                         {"TRPA", "Taller de", "Taller de Robótica y Programación Avanzada", "", "F"},
                     }));
}

TEST(ExportarMaterias, TakesReferenceCodesByExactName)
{
    EntornoExportacion entorno;
    const Filas filas = Exportar(entorno,
                                 Materias({{"1", "Educación Física", "10"},
                                           {"1", "Música", "11"},
                                           {"1", "MÚSICA", "12"},
                                           {"1", "Robótica", "13"},
                                           {"1", "Coro", "14"},
                                           {"1", "Canto", "15"}}),
                                 {{"Educación Física", " ", "EDFISICA"},
                                  {"Música", "MUS", "MUSICA"},
                                  {"Robótica", "ROBOTICA", ""},
                                  {"Coro", "CO", ""},
                                  {"Canto", "MUS", "CANTO"}});
    EXPECT_EQ(filas, (Filas{
                         {"EF", "EDFISICA", "Educación Física", "", "F"},
                         {"MUS", "MUSICA", "Música", "", "F"},
                         {"MSICA", "MSICA", "MÚSICA", "", "F"},
                         {"ROBOTICA", "ROBOTICA", "Robótica", "", "F"},
                         {"CO", "Coro", "Coro", "", "F"},
                         {"MU1", "CANTO", "Canto", "", "F"},
                     }));
}

TEST(ExportarMaterias, KeepsCodesUniquePastTenCollisions)
{
    EntornoExportacion entorno;
    std::vector<Referencia> referencia = {{"M0", "ABCDEFGHIJ", "L0"}};
    std::vector<Materia> materias = {{"1", "M0", "0"}};
    for (int i = 1; i <= 9; ++i) {
        referencia.push_back({"M" + std::to_string(i), "ABCDEFGHI" + std::to_string(i), "L" + std::to_string(i)});
        materias.push_back({"1", "M" + std::to_string(i), std::to_string(i)});
    }
    for (int i = 10; i <= 12; ++i) {
        referencia.push_back({"M" + std::to_string(i), "ABCDEFGHIJ", "L" + std::to_string(i)});
        materias.push_back({"1", "M" + std::to_string(i), std::to_string(i)});
    }
    const auto codigos = Columna(Exportar(entorno, Materias(materias), referencia), 0);
    EXPECT_EQ(codigos,
              (std::vector<std::string>{"ABCDEFGHIJ", "ABCDEFGHI1", "ABCDEFGHI2", "ABCDEFGHI3", "ABCDEFGHI4",
                                        "ABCDEFGHI5", "ABCDEFGHI6", "ABCDEFGHI7", "ABCDEFGHI8", "ABCDEFGHI9",
                                        "ABCDEFGH10", "ABCDEFGH11", "ABCDEFGH12"}));
}

TEST(ExportarMaterias, CutsALongReferenceCodeBeforeTheCollisionTest)
{
    EntornoExportacion entorno;
    CrearReferencia(entorno, {{"Taller", "ABCDEFGHIJKL", "TALLER"}, {"Otro taller", "ABCDEFGHIJ", "OTRO"}}, 15);
    const auto codigos =
        Columna(Exportar(entorno, Materias({{"1", "Taller", "10"}, {"1", "Otro taller", "11"}})), 0);
    EXPECT_EQ(codigos, (std::vector<std::string>{"ABCDEFGHIJ", "ABCDEFGHI1"}));
}

TEST(ExportarMaterias, OneSubjectRowAndOnePairRowPerKeyAndOffer)
{
    EntornoExportacion entorno;
    const Filas asignomt = Exportar(entorno, Materias({{"O1", "Música", "K1"},
                                                       {"O2", "Música", "K1"},
                                                       {"O2", "Música", "K1"},
                                                       {"O3", "Música", "K2"},
                                                       {"O1", "Lengua Castellana y Literatura", "K3"},
                                                       {"O1", "Lengua Castellana y literatura", "K4"}}));
    EXPECT_EQ(asignomt, (Filas{{"Música", "Música", "Música", "", "F"},
                               {"LCL", "Lengua Cas", "Lengua Castellana y Literatura", "", "F"},
                               {"LC", "Lengua Cas", "Lengua Castellana y literatura", "", "F"}}));
    EXPECT_EQ(FilasTabla(entorno.carpeta.ruta(), "ASIGNOMT2"),
              (Filas{{"Música", "Música", "Música", "K1", "O1", "", "F"},
                     {"Música", "Música", "Música", "K1", "O2", "", "F"},
                     {"Música", "Música", "Música", "K2", "O3", "", "F"},
                     {"LCL", "Lengua Cas", "Lengua Castellana y Literatura", "K3", "O1", "", "F"},
                     {"LC", "Lengua Cas", "Lengua Castellana y literatura", "K4", "O1", "", "F"}}));
}

TEST(ExportarMaterias, ReadsNameAndKeyInEitherOrder)
{
    const std::string registros =
        "<grupo_datos seq=\"MATERIAS\">"
        "<grupo_datos seq=\"ID\">" +
        Dato("X_OFERTAMATRIG", "O1") + Dato("X_MATERIAOMG_X", "K1") + Dato("D_MATERIAC_X", "Física") +
        "</grupo_datos>"
        "<grupo_datos seq=\"ID\">" +
        Dato("X_OFERTAMATRIG", "O2") + Dato("D_MATERIAC", "Química") +
        "</grupo_datos>"
        "<grupo_datos seq=\"ID\">" +
        Dato("X_OFERTAMATRIG", "O3") +
        "</grupo_datos>"
        "<grupo_datos seq=\"ID\">" +
        Dato("X_OFERTAMATRIG", "O4") + Dato("D_MATERIAC", " ") + Dato("X_MATERIAOMG", "K4") +
        "</grupo_datos>"
        "<grupo_datos seq=\"ID\">" +
        Dato("X_OFERTAMATRIG", "O5") + Dato("D_MATERIAC", "Latín") + Dato("D_MATERIAC", "Griego") +
        "</grupo_datos>"
        "</grupo_datos>";
    EntornoExportacion entorno;
    Exportar(entorno, registros);
    // One value only: skipped. No name and no reference code: nothing to make a code from, skipped.
    // Two names: the second one wins and the key stays empty.
    EXPECT_EQ(FilasTabla(entorno.carpeta.ruta(), "ASIGNOMT2"),
              (Filas{{"Física", "Física", "Física", "K1", "O1", "", "F"},
                     {"Químic", "Químic", "Química", "", "O2", "", "F"},
                     {"Latín", "Latín", "Latín", "", "O5", "", "F"}}));
}

TEST(ExportarMaterias, WithoutTheReferenceTableFailsNamingIt)
{
    EntornoExportacion entorno;
    entorno.senematerias = entorno.carpeta / "falta" / "SENEMATERIAS.DBF";
    entorno.cargarSeneca(Materias({{"1", "Música", "1"}}));
    auto ctx = entorno.contexto();
    try {
        ExportarMaterias(ctx);
        ADD_FAILURE() << "no error";
    } catch (const Error& error) {
        EXPECT_NE(std::string(error.what()).find(entorno.senematerias.string()), std::string::npos)
            << error.what();
    }
    EXPECT_TRUE(FilasTabla(entorno.carpeta.ruta(), "ASIGNOMT").empty());
    EXPECT_TRUE(FilasTabla(entorno.carpeta.ruta(), "ASIGNOMT2").empty());
}

TEST(ExportarMaterias, TheSuppliedReferenceTableKnowsCommonSubjects)
{
    EntornoExportacion entorno;
    entorno.senematerias = fs::path(DIR_BIN) / "SENEMATERIAS.DBF";
    const Filas filas = Exportar(entorno, Materias({{"1", "Lengua Castellana y Literatura", "1"},
                                                    {"1", "Educación Física", "2"},
                                                    {"1", "Primera Lengua Extranjera (Inglés)", "3"}}));
    EXPECT_EQ(Columna(filas, 0), (std::vector<std::string>{"LCL", "EF", "ING"}));
    EXPECT_EQ(Columna(filas, 1), (std::vector<std::string>{"LENGUA", "EDFISICA", "INGLES"}));
}

} // namespace
