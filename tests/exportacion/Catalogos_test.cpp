#include "apoyo/Apoyo.h"

#include "comun/Error.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

using ::testing::AllOf;
using ::testing::HasSubstr;

namespace {

using Filas = std::vector<std::vector<std::string>>;

const std::vector<std::string> tablas = {"ORIGENES_C", "NIVELES_C", "CUR_NIV_C", "AUTORIZA_C"};

void Catalogos(EntornoExportacion& entorno, const std::string& secciones)
{
    entorno.cargarSeneca(secciones);
    ContextoExportacion ctx = entorno.contexto();
    ExportarCatalogos(ctx);
}

TEST(ExportarCatalogos, CuatroTablasConSusCamposYFilas)
{
    const std::string descripcion(60, 'd');
    EntornoExportacion entorno;
    Catalogos(entorno,
              SeccionXml("ORIGENES", {RegistroXml({" 12 ", "ORD", descripcion}), RegistroXml({"13"}),
                                      RegistroXml({"14", "EXT"})}) +
                  SeccionXml("NIVELES", {RegistroXml({"5", "ESO", descripcion})}) +
                  SeccionXml("CURSOS_NIVELES", {RegistroXml({"700", "5"}), RegistroXml({"701", "5"})}) +
                  SeccionXml("AUTORIZACIONES", {RegistroXml({"90", "33", "12", "5"}), RegistroXml({"91", "34"})}));
    const auto& carpeta = entorno.carpeta.ruta();

    EXPECT_EQ(CamposTabla(carpeta, "ORIGENES_C"),
              (std::vector<std::string>{"X_CATORIHOR I", "C_ORIHOR C20", "D_ORIHOR C50"}));
    EXPECT_EQ(CamposTabla(carpeta, "NIVELES_C"),
              (std::vector<std::string>{"X_NIVCONPAGLEG I", "C_NIVCON C30", "D_NIVCON C55"}));
    EXPECT_EQ(CamposTabla(carpeta, "CUR_NIV_C"),
              (std::vector<std::string>{"X_OFERTAMATRIG I", "X_NIVCONPAGLEG I"}));
    EXPECT_EQ(CamposTabla(carpeta, "AUTORIZA_C"), (std::vector<std::string>{"X_ORIHORACTETP I", "X_ACTIVIDAD I",
                                                                            "X_CATORIHOR I", "X_NIVCONPAGLEG I"}));

    // A record of one value is skipped; values a record lacks are left empty.
    EXPECT_EQ(FilasTabla(carpeta, "ORIGENES_C"),
              (Filas{{"12", "ORD", descripcion.substr(0, 50)}, {"14", "EXT", ""}}));
    EXPECT_EQ(FilasTabla(carpeta, "NIVELES_C"), (Filas{{"5", "ESO", descripcion.substr(0, 55)}}));
    EXPECT_EQ(FilasTabla(carpeta, "CUR_NIV_C"), (Filas{{"700", "5"}, {"701", "5"}}));
    EXPECT_EQ(FilasTabla(carpeta, "AUTORIZA_C"), (Filas{{"90", "33", "12", "5"}, {"91", "34", "", ""}}));
}

TEST(ExportarCatalogos, SinOrigenesSoloQuitaLaTablaDeOrigenes)
{
    EntornoExportacion entorno;
    const auto& carpeta = entorno.carpeta.ruta();
    for (const std::string& tabla : tablas)
        CrearTablaPrueba(carpeta, tabla, {CampoEntero("X")}, {{"1"}});
    Catalogos(entorno, SeccionXml("NIVELES", {RegistroXml({"5", "ESO", "Secundaria"})}));

    EXPECT_FALSE(Tabla::existe(carpeta, "ORIGENES_C"));
    for (const char* tabla : {"NIVELES_C", "CUR_NIV_C", "AUTORIZA_C"})
        EXPECT_EQ(FilasTabla(carpeta, tabla), (Filas{{"1"}})) << tabla;
}

TEST(ExportarCatalogos, SeccionesVaciasDanTablasVacias)
{
    EntornoExportacion entorno;
    Catalogos(entorno, SeccionXml("ORIGENES", {RegistroXml({"1", "ORD", "Ordinario"})}));
    for (const std::string& tabla : tablas)
        EXPECT_TRUE(Tabla::existe(entorno.carpeta.ruta(), tabla)) << tabla;
    EXPECT_TRUE(FilasTabla(entorno.carpeta.ruta(), "AUTORIZA_C").empty());
}

TEST(ExportarCatalogos, UnaClaveQueNoEsEnteraDetieneElPaso)
{
    struct Caso {
        std::string seccion, registros, numero, campo, valor;
    };
    const std::vector<Caso> casos = {
        {"ORIGENES", RegistroXml({"1", "A"}) + RegistroXml({"x2", "B"}), "nº 2", "X_CATORIHOR", "«x2»"},
        {"CURSOS_NIVELES", RegistroXml({"7", "5"}) + RegistroXml({"7", ""}), "nº 2", "X_NIVCONPAGLEG", "«»"},
        {"AUTORIZACIONES", RegistroXml({"1", "2,5", "3", "4"}), "nº 1", "X_ACTIVIDAD", "«2,5»"},
    };
    for (const Caso& caso : casos) {
        EntornoExportacion entorno;
        std::string secciones = SeccionXml("ORIGENES", {RegistroXml({"1", "ORD"})});
        if (caso.seccion == "ORIGENES") secciones.clear();
        secciones += "<grupo_datos seq=\"" + caso.seccion + "\">" + caso.registros + "</grupo_datos>";
        try {
            Catalogos(entorno, secciones);
            ADD_FAILURE() << "se esperaba un error en " << caso.seccion;
        } catch (const Error& e) {
            EXPECT_THAT(e.what(), AllOf(HasSubstr("sección " + caso.seccion), HasSubstr(caso.numero),
                                        HasSubstr(caso.campo), HasSubstr(caso.valor)));
        }
    }
}

} // namespace
