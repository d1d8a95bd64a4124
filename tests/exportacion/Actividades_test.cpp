#include "apoyo/Apoyo.h"

#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;
using Filas = std::vector<std::vector<std::string>>;

// Subjects first (one, so that the activities are seen to follow it), then the activities.
Filas Exportar(const std::string& actividades)
{
    EntornoExportacion entorno;
    entorno.senematerias = fs::path(DIR_BIN) / "SENEMATERIAS.DBF";
    entorno.cargarSeneca(
        "<grupo_datos seq=\"MATERIAS\"><grupo_datos seq=\"ID\"><dato nombre_dato=\"X_OFERTA\">1</dato>"
        "<dato nombre_dato=\"D_MATERIAC\">Música</dato><dato nombre_dato=\"X_MATERIAOMG\">2</dato>"
        "</grupo_datos></grupo_datos>" +
        actividades);
    auto ctx = entorno.contexto();
    ExportarMaterias(ctx);
    ExportarActividades(ctx);
    return FilasTabla(entorno.carpeta.ruta(), "ASIGNOMT");
}

const std::vector<std::string> kMusica = {"MUS", "MUSICA", "Música", "", "F"};

TEST(ExportarActividades, AppendsEveryActivityAsATask)
{
    const std::string actividades = SeccionXml(
        "ACTIVIDADES",
        {RegistroXml({"N", "12", "Guardia de recreo"}), RegistroXml({"S", "13", "Reunión de departamento"}),
         RegistroXml({"n", "14", "Tutoría lectiva"}), RegistroXml({"", "15", "Biblioteca"}),
         RegistroXml({" N ", "1234567890", "Una actividad de nombre largo"}), RegistroXml({"N"}),
         RegistroXml({"X", "MUS"}), RegistroXml({"N", "12", "Guardia de recreo"})});
    EXPECT_EQ(Exportar(actividades),
              (Filas{kMusica,
                     {"#12", "Guardia de", "Guardia de recreo", "#12", "T"},
                     {"13", "Reunión de", "Reunión de departamento", "13", "T"},
                     {"14", "Tutoría le", "Tutoría lectiva", "14", "T"},
                     {"15", "Biblioteca", "Biblioteca", "15", "T"},
                     {"#123456789", "Una activi", "Una actividad de nombre largo", "#123456789", "T"},
                     {"MUS", "", "", "MUS", "T"},
                     {"#12", "Guardia de", "Guardia de recreo", "#12", "T"}}));
}

TEST(ExportarActividades, WithoutActivitiesAddsNothing)
{
    EXPECT_EQ(Exportar(""), (Filas{kMusica}));
}

} // namespace
