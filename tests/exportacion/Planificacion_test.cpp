#include "apoyo/Apoyo.h"

#include "comun/Error.h"
#include "export/TablasTrabajo.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

using ::testing::AllOf;
using ::testing::HasSubstr;

namespace {

using Filas = std::vector<std::vector<std::string>>;
using Fila = std::vector<std::string>;

// The rows that the assignment step prepares for subject MAT in the two groups of offer O1.
const Fila preparadaA = {"MAT",  "", "ESO1A", "",   "",   "ESO", "1", "A", "4",
                         "1111", "", "M7",    "O1", "U1", "1",   "",  ""};
const Fila preparadaB = {"MAT",  "", "ESO1B", "",   "T",  "ESO", "1", "B", "4",
                         "1111", "", "M7",    "O1", "U2", "1",   "",  ""};

// A load with its 13 values; only positions 2, 3, 5, 6, 8, 11 and 13 are read.
std::string Carga(const std::string& materia, const std::string& oferta, const std::string& unidad,
                  const std::string& sesiones, const std::string& tarea = "1", const std::string& nivel = "5",
                  const std::string& origen = "ORD")
{
    return RegistroXml({"c", materia, oferta, "-", unidad, nivel, "-", sesiones, "-", "-", origen, "-", tarea});
}

// A teacher's section group: its own values (employee key, name, department, e-mail) and its loads.
std::string Profesor(const std::string& seq, const std::string& empleado, const std::vector<std::string>& cargas,
                     const std::string& email = "")
{
    std::string xml = "<grupo_datos seq=\"" + seq + "\">";
    if (!empleado.empty())
        for (const std::string& valor : {empleado, std::string("Nombre"), std::string("Dpto"), email})
            xml += "<dato nombre_dato=\"D\">" + valor + "</dato>";
    for (const std::string& carga : cargas)
        xml += carga;
    return xml + "</grupo_datos>";
}

struct Entorno {
    Entorno()
    {
        const auto& carpeta = entorno.carpeta.ruta();
        CrearTablaPrueba(carpeta, "PROFT", CamposProft(),
                         {{"PGA", "Pedro", "", "", "E1", "", ""}, {"MLO", "María", "", "", "E2", "", ""}});
        CrearTablaPrueba(carpeta, "ASIGNOMT", CamposAsignomt(),
                         {{"MAT", "Matemátic", "Matemáticas", "", "F"},
                          {"#12", "Guardia", "Guardia", "#12", "T"},
                          {"#", "Sin código", "Sin código", "#", "T"},
                          {"20", "Tutoría", "Tutoría", "20", "T"}});
        CrearTablaPrueba(carpeta, "ASIGNOMT2", CamposAsignomt2(),
                         {{"MAT", "Matemátic", "Matemáticas", "M7", "O1", "", "F"}});
        CrearTablaPrueba(carpeta, "GRUPOST", CamposGrupost(),
                         {{"ESO1A", "", "ESO", "1", "A", "U1", "O1", "", "0"},
                          {"ESO1B", "T", "ESO", "1", "B", "U2", "O1", "", "0"}});
        CrearTablaPrueba(carpeta, "ASIGT", CamposAsigt(), {preparadaA, preparadaB});
    }

    void exportar(const std::string& secciones)
    {
        const auto ruta = entorno.carpeta / "planificacion.xml";
        EscribirFichero(ruta, SobreSeneca(secciones));
        planificacion = DocumentoXml::cargar(ruta);
        entorno.cargarSeneca("");
        ContextoExportacion ctx{entorno.carpeta.ruta(), entorno.senematerias, entorno.sesion,
                                entorno.interaccion,    *entorno.seneca,      *planificacion};
        ExportarPlanificacion(ctx);
    }
    Filas asignaciones() const { return FilasTabla(entorno.carpeta.ruta(), "ASIGT"); }
    std::vector<std::string> correos() const
    {
        std::vector<std::string> correos;
        for (const auto& fila : FilasTabla(entorno.carpeta.ruta(), "PROFT"))
            correos.push_back(fila[6]);
        return correos;
    }

    EntornoExportacion entorno;
    std::optional<DocumentoXml> planificacion;
};

TEST(ExportarPlanificacion, ElPrimerProfesorCompletaLaFilaPreparadaYElSegundoAnadeOtra)
{
    Entorno e;
    e.exportar(Profesor("PROFESOR_1", "E1", {Carga("M7", "O1", "U1", "22")}, "pedro@ies.es") +
               Profesor("PROFESOR_2", "E2", {Carga("M7", "O1", "U2", "1"), Carga("M7", "O1", "U2", "")}));
    EXPECT_EQ(
        e.asignaciones(),
        (Filas{
            {"MAT", "PGA", "ESO1A", "", "", "ESO", "1", "A", "4", "22", "", "M7", "O1", "U1", "1", "ORD", "5"},
            {"MAT", "MLO", "ESO1B", "", "T", "ESO", "1", "B", "1", "1", "", "M7", "O1", "U2", "1", "ORD", "5"},
            {"MAT", "MLO", "ESO1B", "", "T", "ESO", "1", "B", "1", "1", "", "M7", "O1", "U2", "1", "ORD", "5"}}));
    EXPECT_EQ(e.correos(), (std::vector<std::string>{"pedro@ies.es", ""}));
}

TEST(ExportarPlanificacion, HorasYSesionesDelPatron)
{
    struct Caso {
        std::string patron, horas, sesiones;
    };
    const std::vector<Caso> casos = {
        {"1111", "4", "1111"}, {"22", "4", "22"}, {"", "1", "1"}, {"000", "1", "000"}, {"2", "2", "2"}};
    for (const Caso& caso : casos) {
        Entorno e;
        e.exportar(Profesor("PROFESOR_1", "E1", {Carga("M7", "O1", "U1", caso.patron)}));
        const Filas filas = e.asignaciones();
        ASSERT_EQ(filas.size(), 2u) << caso.patron;
        EXPECT_EQ(filas[0][8], caso.horas) << caso.patron;
        EXPECT_EQ(filas[0][9], caso.sesiones) << caso.patron;
    }
}

TEST(ExportarPlanificacion, TareasYAsignaturasDesconocidas)
{
    struct Caso {
        const char* nombre;
        std::string carga;
        Filas anadidas;      // rows after the two prepared ones
        std::string ctareaA; // CTAREA of the first prepared row afterwards
    };
    const std::vector<Caso> casos = {
        {"tarea 12 de una actividad marcada con #",
         Carga("M9", "O1", "U1", "11", "12", ""),
         {{"#12", "PGA", "", "", "", "", "", "", "2", "11", "", "#12", "O1", "U1", "#12", "ORD", ""}},
         "1"},
        {"tarea 20 sin marca",
         Carga("", "", "", "1", "20", "7"),
         {{"20", "PGA", "", "", "", "", "", "", "1", "1", "", "20", "", "", "20", "ORD", "7"}},
         "1"},
        {"la tarea 12 también se apunta en una asignatura", Carga("M7", "O1", "U1", "11", "12"), {}, "#12"},
        {"tarea 1 de una asignatura desconocida: nada", Carga("M9", "O1", "U1", "11", "1"), {}, "1"},
        {"sin tarea y asignatura desconocida: nada", Carga("M9", "O1", "U1", "11", ""), {}, "1"},
        {"sin tarea en una asignatura: la tarea queda vacía", Carga("M7", "O1", "U1", "11", ""), {}, ""},
        {"asignatura de otra oferta: nada", Carga("M7", "O2", "U1", "11", "1"), {}, "1"},
    };
    for (const Caso& caso : casos) {
        Entorno e;
        e.exportar(Profesor("PROFESOR_1", "E1", {caso.carga}));
        Filas filas = e.asignaciones();
        ASSERT_GE(filas.size(), 2u) << caso.nombre;
        EXPECT_EQ(filas[0][14], caso.ctareaA) << caso.nombre;
        EXPECT_EQ(filas[1], preparadaB) << caso.nombre;
        EXPECT_EQ(Filas(filas.begin() + 2, filas.end()), caso.anadidas) << caso.nombre;
    }
}

TEST(ExportarPlanificacion, LasCargasSeEmparejanPorElNumeroDelGrupo)
{
    Entorno e;
    e.exportar(Profesor("PROFESOR_1", "E1", {Carga("M7", "O1", "U1", "1")}, "pedro@ies.es") +
               Profesor("PROFESOR_3", "E2", {Carga("M7", "O1", "U1", "333")}, "maria@ies.es") +
               Profesor("PROFESOR_2", "", {Carga("M7", "O1", "U2", "22")}));
    const Filas filas = e.asignaciones();
    ASSERT_EQ(filas.size(), 2u);
    EXPECT_EQ(filas[0][1], "PGA");
    EXPECT_EQ(filas[1][1], "MLO");
    EXPECT_EQ(filas[1][9], "22");
    EXPECT_EQ(e.correos(), (std::vector<std::string>{"pedro@ies.es", "maria@ies.es"}));
}

TEST(ExportarPlanificacion, ProfesorDesconocidoYRegistrosCortos)
{
    Entorno e;
    e.exportar(Profesor("PROFESOR_1", "E9", {Carga("M7", "O1", "U1", "22")}) +
               "<grupo_datos seq=\"PROFESOR_2\"><dato>E2</dato>" + RegistroXml({"c", "M7", "O1", "-", "U2"}) +
               "<grupo_datos seq=\"VACIO\"/></grupo_datos>");
    const Filas filas = e.asignaciones();
    EXPECT_EQ(
        filas,
        (Filas{{"MAT", "", "ESO1A", "", "", "ESO", "1", "A", "4", "22", "", "M7", "O1", "U1", "1", "ORD", "5"},
               {"MAT", "MLO", "ESO1B", "", "T", "ESO", "1", "B", "1", "1", "", "M7", "O1", "U2", "", "", ""}}));
    EXPECT_EQ(e.correos(), (std::vector<std::string>{"", ""}));
}

TEST(ExportarPlanificacion, ElCorreoSeGuardaAunqueElProfesorNoTengaCargas)
{
    Entorno e;
    e.exportar(Profesor("PROFESOR_1", "E2", {}, " maria@ies.es "));
    EXPECT_EQ(e.correos(), (std::vector<std::string>{"", "maria@ies.es"}));
    EXPECT_EQ(e.asignaciones(), (Filas{preparadaA, preparadaB}));
}

TEST(ExportarPlanificacion, SinGruposNoCambiaNada)
{
    Entorno e;
    e.exportar("");
    EXPECT_EQ(e.asignaciones(), (Filas{preparadaA, preparadaB}));
    EXPECT_EQ(e.correos(), (std::vector<std::string>{"", ""}));
}

TEST(ExportarPlanificacion, UnPatronOUnNivelMalosDetienenElPaso)
{
    struct Caso {
        std::string carga, campo, valor;
    };
    const std::vector<Caso> casos = {
        {Carga("M7", "O1", "U1", "1a1"), "SESIONES", "«1a1»"},
        {Carga("M7", "O1", "U1", "1 1"), "SESIONES", "«1 1»"},
        {Carga("M7", "O1", "U1", "11", "1", "5b"), "X_NIVCONPAGLEG", "«5b»"},
    };
    for (const Caso& caso : casos) {
        Entorno e;
        try {
            e.exportar(Profesor("PROFESOR_1", "E1", {"<grupo_datos seq=\"VACIO\"/>", caso.carga}));
            ADD_FAILURE() << "se esperaba un error con " << caso.valor;
        } catch (const Error& error) {
            EXPECT_THAT(error.what(), AllOf(HasSubstr("sección PROFESOR_1"), HasSubstr("nº 2"),
                                            HasSubstr(caso.campo), HasSubstr(caso.valor)));
        }
        EXPECT_EQ(e.asignaciones(), (Filas{preparadaA, preparadaB})) << caso.valor;
    }
}

} // namespace
