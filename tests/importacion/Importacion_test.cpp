#include "importacion/EntornoImportacion.h"

#include "comun/Error.h"
#include "data/DocumentoXml.h"
#include "import/Importacion.h"
#include "import/ImportarRegulares.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <regex>

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

namespace {

const std::string kFechas = " F_INICIO=15/09/2025 F_FIN=22/06/2026";

std::string SenecaConPrimerGrupo(const std::string& grupo)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<SERVICIO><BLOQUE_DATOS>" + grupo +
           "</BLOQUE_DATOS></SERVICIO>\n";
}

std::string MensajeDeError(EntornoImportacion& e)
{
    try {
        e.importar();
    } catch (const Error& error) {
        return error.what();
    }
    ADD_FAILURE() << "la importación no falló";
    return {};
}

} // namespace

TEST(Importacion, CompletaLaEjecucionYAvisa)
{
    EntornoImportacion e;
    EXPECT_EQ(e.importar(), FinTraspaso::Completado);
    EXPECT_EQ(e.sesion.resultadoTraspaso, 1);
    EXPECT_EQ(e.sesion.ficheroSeneca, e.seneca);
    EXPECT_EQ(e.interaccion.nivelOcupado, 0);
    ASSERT_EQ(e.interaccion.mensajes.size(), 2u);
    EXPECT_EQ(e.interaccion.mensajes[0].texto, "Seleccione ahora el fichero XML procedente de SÉNECA\r\n"
                                               "que utilizó en su momento para la recogida de datos. ");
    EXPECT_EQ(e.interaccion.mensajes[0].tipo, TipoMensaje::Indicacion);
    EXPECT_EQ(e.interaccion.mensajes[1].texto, "Proceso finalizado");
    EXPECT_EQ(e.interaccion.mensajes[1].tipo, TipoMensaje::Resultado);
    EXPECT_EQ(e.resultado(), e.seneca.parent_path() / "ResultadoZentarcentro.xml");
    EXPECT_TRUE(fs::exists(e.resultado()));
}

TEST(Importacion, FicheroResultadoAnteponeResultadoZentarAlNombre)
{
    EXPECT_EQ(FicheroResultado("/datos/centro.xml"), fs::path("/datos/ResultadoZentarcentro.xml"));
    EXPECT_EQ(FicheroResultado("centro.XML"), fs::path("ResultadoZentarcentro.XML"));
}

TEST(Importacion, EsqueletoConserveLaDeclaracionYSustituyeLaRaiz)
{
    EntornoImportacion e;
    e.tabla("PROFT", CamposProft(), {{"AAA", "", "", "", "Ñ101", ""}});
    e.importar();
    const std::string salida = LeerFichero(e.resultado());
    EXPECT_THAT(salida, HasSubstr(">\xD1"
                                  "101<")); // Windows-1252 text saved as ISO-8859-1
    const std::regex esqueleto(
        "<\\?xml version=\"1.0\" encoding=\"ISO-8859-1\"\\?>\n"
        "<SERVICIO modulo=\"HORARIOS\" tipo=\"I\" autor=\"QUINTARA\" fecha=\"\\d\\d/\\d\\d/\\d{4} "
        "\\d\\d:\\d\\d:\\d\\d\">"
        "<BLOQUE_DATOS><grupo_datos seq=\"ANNO_ACADEMICO\"><dato nombre_dato=\"C_ANNO\">2025</dato></grupo_datos>"
        "<grupo_datos seq=\"HORARIOS_NO_REGULARES\" registros=\"1\"><grupo_datos "
        "seq=\"HORARIO_NO_REGULAR_PROFESOR_1\" registros=\"2\"><dato nombre_dato=\"X_EMPLEADO\">.*"
        "<grupo_datos seq=\"HORARIOS_REGULARES\" registros=\"1\">.*</BLOQUE_DATOS></SERVICIO>\n?");
    EXPECT_TRUE(std::regex_match(salida, esqueleto)) << salida;
    EXPECT_THAT(salida, Not(HasSubstr("EXPORTACION")));
    EXPECT_THAT(salida, Not(HasSubstr("EMPLEADOS")));
}

TEST(Importacion, AnnoSonLosCuatroPrimerosCaracteresDelPrimerGrupo)
{
    struct Caso {
        std::string primerGrupo, anno;
    };
    const Caso casos[] = {
        {"<grupo_datos seq=\"X\"><dato>2025/2026</dato></grupo_datos>", "2025"},
        {"<grupo_datos seq=\"X\"><dato> 20</dato></grupo_datos>", " 20"},
        {"<grupo_datos seq=\"X\"><dato>20</dato><dato>25</dato></grupo_datos>", "2025"},
        {"<grupo_datos seq=\"X\"/>", ""},
    };
    for (const Caso& c : casos) {
        EntornoImportacion e;
        EscribirFichero(e.seneca, SenecaConPrimerGrupo(c.primerGrupo));
        e.importar();
        const DocumentoXml doc = DocumentoXml::cargar(e.resultado());
        EXPECT_EQ(doc.seleccionarUno("/SERVICIO/BLOQUE_DATOS/grupo_datos[@seq=\"ANNO_ACADEMICO\"]/dato").texto(),
                  c.anno)
            << c.primerGrupo;
    }
}

TEST(Importacion, ProfesoresEnOrdenDeProftConSusCuentas)
{
    EntornoImportacion e;
    e.importar();
    EXPECT_THAT(Profesores(e.resultado(), "HORARIOS_NO_REGULARES"),
                ElementsAre("HORARIO_NO_REGULAR_PROFESOR_1 registros=2 X_EMPLEADO=101 F_TOMAPOS=01/09/2019",
                            "HORARIO_NO_REGULAR_PROFESOR_2 registros=0 X_EMPLEADO=102 F_TOMAPOS=01/09/2020",
                            "HORARIO_NO_REGULAR_PROFESOR_3 registros=0 X_EMPLEADO=103 F_TOMAPOS="));
    EXPECT_THAT(Profesores(e.resultado(), "HORARIOS_REGULARES"),
                ElementsAre("HORARIO_REGULAR_PROFESOR_1 registros=3 X_EMPLEADO=101 F_TOMAPOS=01/09/2019",
                            "HORARIO_REGULAR_PROFESOR_2 registros=1 X_EMPLEADO=102 F_TOMAPOS=01/09/2020",
                            "HORARIO_REGULAR_PROFESOR_3 registros=0 X_EMPLEADO=103 F_TOMAPOS="));
}

// The same cells whether SOLUC comes from our table layer or from another program's dBase III writer.
TEST(Importacion, CeldasDeAmbasSeccionesEnOrdenDeSoluc)
{
    for (const bool dbase3 : {false, true}) {
        EntornoImportacion e;
        if (dbase3) {
            Tabla::borrar(e.carpeta.ruta(), "SOLUC");
            std::vector<Campo> campos = kCamposSoluc;
            for (Campo& c : campos)
                if (c.tipo == 'I') c = {c.nombre, 'N', 2, 0};
            EscribirDbase3(e.carpeta / "soluc.dbf", campos, kFilasSoluc);
        }
        ASSERT_EQ(e.importar(), FinTraspaso::Completado);
        EXPECT_THAT(
            Celdas(e.resultado(), "HORARIOS_NO_REGULARES"),
            ElementsAre("1/ACTIVIDAD_1 X_ACTIVIDAD=G1 N_MINSEN=55", "1/ACTIVIDAD_2 X_ACTIVIDAD=#1 N_MINSEN=0"))
            << (dbase3 ? "dBase III" : "nivel 7");
        EXPECT_THAT(
            Celdas(e.resultado(), "HORARIOS_REGULARES"),
            ElementsAre("1/ACTIVIDAD_1 N_DIASEMANA=1 X_TRAMO=T1 X_DEPENDENCIA= A1 X_UNIDAD=U1 X_OFERTAMATRIG=OF1 "
                        "X_MATERIAOMG=M100" +
                            kFechas + " N_HORINI=510 N_HORFIN=565 X_ACTIVIDAD=1",
                        // slot 110 of frame 1; no ASIGT keys: offer of the group, subject of that offer
                        "1/ACTIVIDAD_2 N_DIASEMANA=1 X_TRAMO=T10 X_DEPENDENCIA= X_UNIDAD=U1 X_OFERTAMATRIG=OFG "
                        "X_MATERIAOMG=H200" +
                            kFechas + " N_HORINI=900 N_HORFIN=960 X_ACTIVIDAD=7",
                        // no slot: nothing of the slot before it is carried over
                        "1/ACTIVIDAD_3 N_DIASEMANA= X_TRAMO= X_DEPENDENCIA= X_UNIDAD=U1 X_OFERTAMATRIG=OF1 "
                        "X_MATERIAOMG=M100" +
                            kFechas + " N_HORINI=0 N_HORFIN=0 X_ACTIVIDAD=1",
                        "2/ACTIVIDAD_1 N_DIASEMANA=2 X_TRAMO=T1 X_DEPENDENCIA= X_UNIDAD=U1 X_OFERTAMATRIG=OFG "
                        "X_MATERIAOMG=" +
                            kFechas + " N_HORINI=510 N_HORFIN=565 X_ACTIVIDAD=12"))
            << (dbase3 ? "dBase III" : "nivel 7");
    }
}

// A task cell carries its own activity (no default, no ASIGNOMT lookup) and the minutes of its own slot.
TEST(Importacion, CeldaNoRegularActividadYMinutos)
{
    struct Caso {
        std::string tarea, minutos, celda;
    };
    const Caso casos[] = {
        {"G2", "-5", "X_ACTIVIDAD=G2 N_MINSEN=-5"},
        {"", "55", "X_ACTIVIDAD= N_MINSEN=55"},
    };
    for (const Caso& c : casos) {
        EntornoImportacion e;
        e.tabla("ASIGNOMT", CamposAsignomt(), {{"#G", "", "Guardia", "#9", "T"}});
        e.tabla("DIASHORAST", CamposDiashorast(),
                {{"11", "T1", "1", "", "1", "", "08:30", "09:25", c.minutos, "0", ""}});
        e.solucion({{"AAA", "1", "1", "0", "#G", c.tarea, "", "", ""}});
        ASSERT_EQ(e.importar(), FinTraspaso::Completado);
        EXPECT_THAT(Celdas(e.resultado(), "HORARIOS_NO_REGULARES"), ElementsAre("1/ACTIVIDAD_1 " + c.celda));
    }
}

TEST(Importacion, SinProfesoresAmbasSeccionesVacias)
{
    EntornoImportacion e;
    e.tabla("PROFT", CamposProft(), {});
    ASSERT_EQ(e.importar(), FinTraspaso::Completado);
    const std::string salida = LeerFichero(e.resultado());
    EXPECT_THAT(salida, HasSubstr("<grupo_datos seq=\"HORARIOS_NO_REGULARES\" registros=\"0\"/>"));
    EXPECT_THAT(salida, HasSubstr("<grupo_datos seq=\"HORARIOS_REGULARES\" registros=\"0\"/>"));
}

TEST(Importacion, DosProfesoresConLaMismaAbreviaturaTienenLasMismasCeldas)
{
    EntornoImportacion e;
    e.tabla("PROFT", CamposProft(), {{"B'C", "", "", "", "1", ""}, {"B'C", "", "", "", "2", ""}});
    e.importar();
    const auto celdas = Celdas(e.resultado(), "HORARIOS_REGULARES");
    ASSERT_EQ(celdas.size(), 2u);
    EXPECT_EQ(celdas[0].substr(1), celdas[1].substr(1));
}

TEST(Importacion, OrigenDeLaHoraConCatalogos)
{
    struct Caso {
        std::string asig, tarea, concierto, origen; // origen "-": no twelfth dato
    };
    const Caso casos[] = {
        {"MAT", "", "", "-"},        // no origin code
        {"MAT", "", "NOSE", "-"},    // origin unknown to ORIGENES_C
        {"MAT", "", "SINCAT", "-"},  // origin without category
        {"MAT", "", "CONC", "77"},   // activity 1, category 5, level 4: authorised
        {"MAT", "#12", "CONC", " "}, // activity 12: no authorisation
        {"HIS", "", "CONC", " "},    // ASIGT row without level
        {"LEN", "", "CONC", " "},    // no ASIGT row, so no level
        {"MAT", "", " CONC", "-"},   // codes compare exactly
    };
    for (const Caso& c : casos) {
        EntornoImportacion e;
        e.tabla("ORIGENES_C", CamposOrigenesC(), {{"5", "CONC", "Concierto"}, {"", "SINCAT", "Sin categoría"}});
        e.tabla("CUR_NIV_C", CamposCurNivC(), {});
        e.tabla("AUTORIZA_C", CamposAutorizaC(), {{"76", "1", "5", "3"}, {"77", "1", "5", "4"}});
        e.solucion({{"AAA", "1", "1", "0", c.asig, c.tarea, "1A", "", c.concierto}});
        ASSERT_EQ(e.importar(), FinTraspaso::Completado);
        const auto celdas = Celdas(e.resultado(), "HORARIOS_REGULARES");
        ASSERT_EQ(celdas.size(), 1u);
        if (c.origen == "-")
            EXPECT_THAT(celdas[0], Not(HasSubstr("X_ORIHORACTETP"))) << c.concierto;
        else
            EXPECT_THAT(celdas[0], ::testing::EndsWith(" X_ORIHORACTETP=" + c.origen)) << c.asig << c.tarea;
    }
}

TEST(Importacion, SinRegistrosEnOrigenesNoHayCatalogos)
{
    EntornoImportacion e;
    e.tabla("ORIGENES_C", CamposOrigenesC(), {});
    e.solucion({{"AAA", "1", "1", "0", "MAT", "", "1A", "", "CONC"}});
    ASSERT_EQ(e.importar(), FinTraspaso::Completado); // AUTORIZA_C is not there and not needed
    EXPECT_THAT(Celdas(e.resultado(), "HORARIOS_REGULARES")[0], ::testing::EndsWith("X_ACTIVIDAD=1"));
}

TEST(Importacion, HoraAMinutos)
{
    struct Caso {
        std::string hora;
        long long minutos;
    };
    for (const Caso& c : {Caso{"08:30", 510}, Caso{"8:30", 510}, Caso{"13:05", 785}, Caso{"25:00", 1500},
                          Caso{"", 0}, Caso{"0", 0}})
        EXPECT_EQ(HoraAMinutos(c.hora), c.minutos) << c.hora;
    for (const std::string mala : {"8:3", "ab:cd", "08-3x"})
        EXPECT_THROW(HoraAMinutos(mala), Error) << mala;
}

TEST(Importacion, SinFicheroNoExisteArchivo)
{
    struct Caso {
        int modoIntegrado, resultado;
    };
    for (const Caso& c : {Caso{0, 0}, Caso{2, -1}}) {
        EntornoImportacion e;
        e.sesion.modoIntegrado = c.modoIntegrado;
        e.interaccion.ficheros.push_back(std::nullopt);
        EXPECT_EQ(EjecutarImportacion(e.sesion, e.interaccion, e.carpeta.ruta()), FinTraspaso::NoExisteArchivo);
        EXPECT_TRUE(e.interaccion.mostro("No existe archivo"));
        EXPECT_EQ(e.sesion.resultadoTraspaso, c.resultado);
    }
}

TEST(Importacion, DialogoCanceladoUsaElFicheroAnterior)
{
    EntornoImportacion e;
    e.sesion.ficheroSeneca = e.seneca;
    e.interaccion.ficheros.push_back(std::nullopt);
    EXPECT_EQ(EjecutarImportacion(e.sesion, e.interaccion, e.carpeta.ruta()), FinTraspaso::Completado);
    EXPECT_TRUE(fs::exists(e.resultado()));
}

TEST(Importacion, SinPeriodosNoEscribeNadaYLiberaLasTablas)
{
    EntornoImportacion e;
    Tabla::borrar(e.carpeta.ruta(), "PERIODOS");
    EXPECT_EQ(e.importar(), FinTraspaso::SinPeriodos);
    EXPECT_TRUE(e.interaccion.mostro("ATENCIÓN - PERIODOS.DBF No encontrado - Importe de nuevo XML de SÉNECA."));
    EXPECT_EQ(e.sesion.resultadoTraspaso, 0);
    EXPECT_EQ(e.interaccion.nivelOcupado, 0);
    EXPECT_FALSE(fs::exists(e.resultado()));
    for (const char* tabla : {"SOLUC", "PROFT", "ASIGT", "DIASHORAST"})
        EXPECT_NO_THROW(Tabla::abrir(e.carpeta.ruta(), tabla, Acceso::Exclusivo)) << tabla;
}

// Each failure stops the run with a message naming what is at fault; an earlier result stays as it was.
TEST(Importacion, FallosDetienenSinEscribir)
{
    struct Caso {
        std::string nombre;
        std::function<void(EntornoImportacion&)> preparar;
        std::vector<std::string> mensaje;
    };
    const Caso casos[] = {
        {"XML roto",
         [](EntornoImportacion& e) { EscribirFichero(e.seneca, "<SERVICIO><BLOQUE_DATOS>"); },
         {"SÉNECA", "centro.xml"}},
        {"sin BLOQUE_DATOS",
         [](EntornoImportacion& e) { EscribirFichero(e.seneca, "<?xml version=\"1.0\"?><SERVICIO/>"); },
         {"BLOQUE_DATOS", "centro.xml"}},
        {"sin GRUPOST", [](EntornoImportacion& e) { Tabla::borrar(e.carpeta.ruta(), "GRUPOST"); }, {"GRUPOST"}},
        {"MINUTOS no numérico",
         [](EntornoImportacion& e) {
             e.tabla("DIASHORAST", CamposDiashorast(),
                     {{"12", "T2", "1", "", "2", "", "09:25", "10:20", "x", "0", ""}});
         },
         {"MINUTOS", "AAA"}},
        {"hora mal escrita",
         [](EntornoImportacion& e) {
             e.tabla("DIASHORAST", CamposDiashorast(),
                     {{"11", "T1", "1", "", "1", "", "8:3", "09:25", "55", "0", ""}});
         },
         {"8:3", "HORADESDE", "AAA"}},
        {"actividad no numérica con catálogos",
         [](EntornoImportacion& e) {
             e.tabla("ORIGENES_C", CamposOrigenesC(), {{"5", "CONC", ""}});
             e.tabla("CUR_NIV_C", CamposCurNivC(), {});
             e.tabla("AUTORIZA_C", CamposAutorizaC(), {});
             e.solucion({{"AAA", "1", "1", "0", "MAT", "G1", "1A", "", "CONC"}});
         },
         {"«G1»", "AAA", "día 1", "hora 1"}},
        {"actividad no numérica en una celda sin nivel",
         [](EntornoImportacion& e) {
             e.tabla("ORIGENES_C", CamposOrigenesC(), {{"5", "CONC", ""}});
             e.tabla("CUR_NIV_C", CamposCurNivC(), {});
             e.tabla("AUTORIZA_C", CamposAutorizaC(), {});
             e.solucion({{"AAA", "1", "1", "0", "LEN", "G1", "1A", "", "CONC"}});
         },
         {"«G1»", "AAA", "día 1", "hora 1"}},
        {"catálogos sin CUR_NIV_C",
         [](EntornoImportacion& e) {
             e.tabla("ORIGENES_C", CamposOrigenesC(), {{"5", "CONC", ""}});
         },
         {"CUR_NIV_C"}},
        {"catálogos sin AUTORIZA_C",
         [](EntornoImportacion& e) {
             e.tabla("ORIGENES_C", CamposOrigenesC(), {{"5", "CONC", ""}});
             e.tabla("CUR_NIV_C", CamposCurNivC(), {});
         },
         {"AUTORIZA_C"}},
        {"SOLUC sin campo AULA",
         [](EntornoImportacion& e) {
             e.tabla("SOLUC",
                     {CampoCaracter("PROF", 10), CampoEntero("DIA"), CampoEntero("HORA"),
                      CampoCaracter("MARCO", 1), CampoCaracter("ASIG", 10), CampoCaracter("TAREA", 10),
                      CampoCaracter("CODGRUPO", 10)},
                     {{"AAA", "1", "1", "0", "MAT", "", "1A"}});
         },
         {"AULA"}},
    };
    for (const Caso& c : casos) {
        EntornoImportacion e;
        EscribirFichero(e.resultado(), "anterior");
        c.preparar(e);
        const std::string mensaje = MensajeDeError(e);
        for (const std::string& parte : c.mensaje)
            EXPECT_THAT(mensaje, HasSubstr(parte)) << c.nombre;
        EXPECT_EQ(LeerFichero(e.resultado()), "anterior") << c.nombre;
        EXPECT_EQ(e.sesion.resultadoTraspaso, 0) << c.nombre;
        EXPECT_EQ(e.interaccion.nivelOcupado, 0) << c.nombre;
        EXPECT_FALSE(e.interaccion.mostro("Proceso finalizado")) << c.nombre;
    }
}

// With two faults the first step that meets one reports it: tables, then the Séneca file, then PERIODOS.
TEST(Importacion, ElPrimerFalloEnElOrdenDeLaEjecucionEsElQueSeAvisa)
{
    struct Caso {
        std::vector<std::string> sinTablas;
        bool xmlRoto;
        std::string mensaje;
    };
    const Caso casos[] = {
        {{"ASIGT"}, true, "ASIGT"},
        {{"PERIODOS"}, true, "centro.xml"},
        {{"PERIODOS", "DIASHORAST"}, false, "DIASHORAST"},
    };
    for (const Caso& c : casos) {
        EntornoImportacion e;
        for (const std::string& tabla : c.sinTablas)
            Tabla::borrar(e.carpeta.ruta(), tabla);
        if (c.xmlRoto) EscribirFichero(e.seneca, "<SERVICIO><BLOQUE_DATOS>");
        EXPECT_THAT(MensajeDeError(e), HasSubstr(c.mensaje)) << c.mensaje;
    }
}

// The working tables are opened in a fixed order, the two that are never read included.
TEST(Importacion, LasTablasDeTrabajoSeAbrenEnOrden)
{
    const std::string orden[] = {"SOLUC",    "GRUPOST",   "CURSOST",    "PROFT", "AULAT",
                                 "ASIGNOMT", "ASIGNOMT2", "DIASHORAST", "ASIGT"};
    for (std::size_t i = 0; i < std::size(orden); ++i) {
        EntornoImportacion e;
        for (std::size_t j = i; j < std::size(orden); ++j)
            Tabla::borrar(e.carpeta.ruta(), orden[j]);
        EXPECT_THAT(MensajeDeError(e), HasSubstr("la tabla " + orden[i] + " ")) << orden[i];
    }
}

TEST(Importacion, SolucRetenidaPorOtroDetieneSinEscribir)
{
    EntornoImportacion e;
    Tabla retenida = Tabla::abrir(e.carpeta.ruta(), "SOLUC", Acceso::Exclusivo);
    EXPECT_THAT(MensajeDeError(e), HasSubstr("SOLUC"));
    EXPECT_FALSE(fs::exists(e.resultado()));
    retenida.cerrar();
    EXPECT_EQ(e.importar(), FinTraspaso::Completado);
}
