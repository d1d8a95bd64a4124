#include "apoyo/Apoyo.h"

#include <gtest/gtest.h>

namespace {

using Filas = std::vector<std::vector<std::string>>;

struct Exportado {
    std::vector<std::string> campos;
    Filas filas;
};

Exportado Exportar(const std::vector<std::string>& registros)
{
    EntornoExportacion entorno;
    entorno.cargarSeneca(SeccionXml("EMPLEADOS", registros));
    auto ctx = entorno.contexto();
    ExportarProfesores(ctx);
    return {CamposTabla(entorno.carpeta.ruta(), "PROFT"), FilasTabla(entorno.carpeta.ruta(), "PROFT")};
}

TEST(ExportarProfesores, WritesOneRowPerEmployee)
{
    const Exportado exportado =
        Exportar({RegistroXml({" 101 ", "01/09/2015", "Matemáticas", "García", "López", "Ana "}),
                  RegistroXml({"102"}), RegistroXml({"103", "", "Inglés", "Pérez", "", "Eva"})});
    EXPECT_EQ(exportado.campos, (std::vector<std::string>{"ABREV C10", "NOMBRE C80", "DEPART C40", "DNI I",
                                                          "X_EMPLEADO C10", "F_TOMAPOS C10", "EMAIL C100"}));
    EXPECT_EQ(exportado.filas, (Filas{{"GLA", "García López Ana", "Matemáticas", "", "101", "01/09/2015", ""},
                                      {"PE", "Pérez  Eva", "Inglés", "", "103", "", ""}}));
}

TEST(ExportarProfesores, AbbreviationsStayUniqueWithoutRegardToCase)
{
    const Exportado exportado = Exportar(
        {RegistroXml({"1", "", "", "García", "López", "Ana"}), RegistroXml({"2", "", "", "Gómez", "Luna", "Alba"}),
         RegistroXml({"2", "", "", "Gil", "Lara", "Aurora"}), RegistroXml({"4", "", "", "gil", "lara", "aurora"}),
         RegistroXml({"5", "", "", "Ángel", "Ñoño", "Éter"}), RegistroXml({"6", "", "", "ángel", "ñoño", "éter"}),
         RegistroXml({"7", "", "Sin nombre"}), RegistroXml({"8", "", "Sin nombre"})});
    std::vector<std::string> abreviaturas;
    for (const auto& fila : exportado.filas)
        abreviaturas.push_back(fila[0]);
    EXPECT_EQ(abreviaturas, (std::vector<std::string>{"GLA", "GLA1", "GLA2", "gla3", "ÁÑÉ", "áñé1", "", "1"}));
}

TEST(ExportarProfesores, WithoutEmployeesTheTableIsEmpty)
{
    EXPECT_TRUE(Exportar({}).filas.empty());
}

} // namespace
