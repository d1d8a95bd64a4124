#include "apoyo/Apoyo.h"

#include "export/TablasTrabajo.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Filas = std::vector<std::vector<std::string>>;

// A MATERIAS record with the name second and the key third, or the other way round.
std::string Materia(const std::string& oferta, const std::string& nombre, const std::string& clave,
                    bool claveSegunda = false)
{
    const std::string datoNombre = "<dato nombre_dato=\"D_MATERIAC\">" + nombre + "</dato>";
    const std::string datoClave = "<dato nombre_dato=\"X_MATERIAOMG\">" + clave + "</dato>";
    return "<grupo_datos seq=\"MATERIA\"><dato nombre_dato=\"X_OFERTAMATRIG\">" + oferta + "</dato>" +
           (claveSegunda ? datoClave + datoNombre : datoNombre + datoClave) + "</grupo_datos>";
}

const Filas asignaturas = {{"LCL", "Lengua Cas", "Lengua Castellana", "", "F"},
                           {"MAT", "Matemátic", "Matemáticas", "", "F"},
                           {"lcl2", "lengua cas", "LENGUA CASTELLANA", "", "F"}};
const Filas grupos = {{"ESO1A", "", "ESO", "1", "A", "U1", "O1", "", "0"},
                      {"BACH1A", "", "BACH", "1", "A", "U9", "O2", "", "0"},
                      {"ESO1B", "", "ESO", "1", "B", "U2", "O1", "", "0"},
                      {"ESO1C", "", "ESO", "1", "C", "U3", "O1", "", "0"}};

Filas Asignaciones(EntornoExportacion& entorno, const Filas& nomAsig, const std::vector<std::string>& materias)
{
    CrearTablaPrueba(entorno.carpeta.ruta(), "ASIGNOMT", CamposAsignomt(), nomAsig);
    CrearTablaPrueba(entorno.carpeta.ruta(), "GRUPOST", CamposGrupost(), grupos);
    entorno.cargarSeneca(SeccionXml("MATERIAS", materias));
    ContextoExportacion ctx = entorno.contexto();
    ExportarAsignaciones(ctx);
    return FilasTabla(entorno.carpeta.ruta(), "ASIGT");
}

TEST(ExportarAsignaciones, CreaLaTablaConSusCampos)
{
    EntornoExportacion entorno;
    Asignaciones(entorno, {}, {});
    EXPECT_EQ(CamposTabla(entorno.carpeta.ruta(), "ASIGT"),
              (std::vector<std::string>{"CASIG C10", "CPROF C10", "CGRUP C10", "CAULA C10", "TURNO C1", "NIVEL C5",
                                        "CURSO C3", "GRUPO C2", "HORAS F", "SESIONES C20", "NCONEX C4",
                                        "CLAVE C10", "CLAVECURSO C10", "CLAVEGRUPO C10", "CTAREA C10",
                                        "CORIGEN C20", "X_NIVCONPAGLEG I"}));
}

TEST(ExportarAsignaciones, UnaFilaPorCadaGrupoDeLaOferta)
{
    EntornoExportacion entorno;
    const Filas filas = Asignaciones(entorno, asignaturas, {Materia("O1", "Matemáticas", "M7")});
    const Filas esperadas = {
        {"MAT", "", "ESO1A", "", "", "ESO", "1", "A", "4", "1111", "", "M7", "O1", "U1", "1", "", ""},
        {"MAT", "", "ESO1B", "", "", "ESO", "1", "B", "4", "1111", "", "M7", "O1", "U2", "1", "", ""},
        {"MAT", "", "ESO1C", "", "", "ESO", "1", "C", "4", "1111", "", "M7", "O1", "U3", "1", "", ""}};
    EXPECT_EQ(filas, esperadas);
}

TEST(ExportarAsignaciones, BuscaLaAsignaturaPorSuNombre)
{
    const std::string largo(85, 'x');
    struct Caso {
        const char* nombre;
        Filas nomAsig;
        std::vector<std::string> materias;
        std::vector<std::string> codigos; // CASIG of the rows, in order
        std::vector<std::string> claves;  // CLAVE of the rows
    };
    const std::vector<Caso> casos = {
        {"nombres que sólo difieren en minúsculas toman el código del primero",
         asignaturas,
         {Materia("O2", "LENGUA CASTELLANA", "L1"), Materia("O2", "lengua castellana", "L2")},
         {"LCL", "LCL"},
         {"L1", "L2"}},
        {"la clave puede venir antes que el nombre",
         asignaturas,
         {Materia("O2", "Matemáticas", "M7", true)},
         {"MAT"},
         {"M7"}},
        {"un nombre de más de 80 caracteres casa con el guardado recortado",
         {{"XX", "", largo.substr(0, 80), "", "F"}},
         {Materia("O2", largo, "X1")},
         {"XX"},
         {"X1"}},
        {"asignatura desconocida u oferta sin grupos no dan filas",
         asignaturas,
         {Materia("O2", "Física", "F1"), Materia("O7", "Matemáticas", "M7")},
         {},
         {}},
        {"un registro sin nombre no nombra asignatura; uno de un valor se salta",
         asignaturas,
         {"<grupo_datos><dato nombre_dato=\"X_OFERTAMATRIG\">O2</dato>"
          "<dato nombre_dato=\"X_MATERIAOMG\">M7</dato></grupo_datos>",
          RegistroXml({"O2"})},
         {},
         {}},
    };
    for (const Caso& caso : casos) {
        EntornoExportacion entorno;
        const Filas filas = Asignaciones(entorno, caso.nomAsig, caso.materias);
        std::vector<std::string> codigos, claves;
        for (const auto& fila : filas) {
            codigos.push_back(fila[0]);
            claves.push_back(fila[11]);
        }
        EXPECT_EQ(codigos, caso.codigos) << caso.nombre;
        EXPECT_EQ(claves, caso.claves) << caso.nombre;
    }
}

} // namespace
