#include "apoyo/Apoyo.h"

#include "export/Plantihoras.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace {

using Lineas = std::vector<std::string>;

const std::string jornadas =
    SeccionXml("JORNADAS_ESCOLARES", {RegistroXml({"ABC", "Ordinaria", "01/09/2024", "30/06/2025"}),
                                      RegistroXml({"J2", "Intensiva", "01/06/2025", "30/06/2025"}),
                                      RegistroXml({"MARCO_MUY_LARGO", "Tarde", "", ""})});
const std::string tramos = SeccionXml("TRAMOS_HORARIOS", {RegistroXml({"1", "Primera", "480", "540", "ABC"}),
                                                          RegistroXml({"2", "Segunda", "480", "540", "J2"}),
                                                          RegistroXml({"3", "Tercera", "540", "600", "ABC"})});

// A dialog over a Séneca file written in a temporary folder.
struct Dialogo {
    explicit Dialogo(const std::string& secciones)
    {
        entorno.cargarSeneca(secciones);
        plantillas.emplace(entorno.carpeta / "seneca.xml", *entorno.seneca, entorno.interaccion);
    }
    EntornoExportacion entorno;
    std::optional<Plantillas> plantillas;
};

TEST(Plantillas, ListaLosMarcosYMuestraElPrimero)
{
    Dialogo d(jornadas + tramos);
    d.plantillas->FormActivate();
    EXPECT_EQ(d.plantillas->marcos(), (Lineas{"ABC", "J2", "MARCO_MUY_LARGO"}));
    EXPECT_EQ(d.plantillas->nombre(), "Ordinaria");
    EXPECT_EQ(d.plantillas->fecha1(), "01/09/2024");
    EXPECT_EQ(d.plantillas->fecha2(), "30/06/2025");
    EXPECT_EQ(d.plantillas->horas(), (Lineas{"Primera", "Tercera"}));
}

TEST(Plantillas, UnClicMuestraElMarcoDeEsaLinea)
{
    struct Caso {
        std::size_t linea;
        std::string nombre, fecha1;
        Lineas horas;
    };
    const std::vector<Caso> casos = {
        {1, "Intensiva", "01/06/2025", {"Segunda"}},
        {2, "Tarde", "", {}},
        {0, "Ordinaria", "01/09/2024", {"Primera", "Tercera"}},
    };
    Dialogo d(jornadas + tramos);
    d.plantillas->FormActivate();
    for (const Caso& caso : casos) {
        d.plantillas->ListBox2Click(caso.linea);
        EXPECT_EQ(d.plantillas->nombre(), caso.nombre) << caso.linea;
        EXPECT_EQ(d.plantillas->fecha1(), caso.fecha1) << caso.linea;
        EXPECT_EQ(d.plantillas->horas(), caso.horas) << caso.linea;
    }
}

TEST(Plantillas, ConMenosDeDosTramosLaListaDeHorasQuedaVacia)
{
    Dialogo d(jornadas + SeccionXml("TRAMOS_HORARIOS", {RegistroXml({"1", "Primera", "480", "540", "ABC"})}));
    d.plantillas->FormActivate();
    EXPECT_EQ(d.plantillas->nombre(), "Ordinaria");
    EXPECT_TRUE(d.plantillas->horas().empty());
}

TEST(Plantillas, AlCerrarDevuelveLosMarcosEnElOrdenDeLaLista)
{
    struct Caso {
        const char* nombre;
        std::vector<std::size_t> seleccion;
        bool valida;
        std::string marcos;
        const char* mensaje; // nullptr: none
    };
    const std::vector<Caso> casos = {
        {"un marco", {0}, true, "ABC       ", nullptr},
        {"tercera y primera línea", {2, 0}, true, "ABC       MARCO_MUY_", nullptr},
        {"ninguno", {}, false, "", TextosPlantillas::kNinguno},
        {"tres", {1, 2, 0}, false, "ABC       J2        MARCO_MUY_", TextosPlantillas::kDemasiados},
    };
    for (const Caso& caso : casos) {
        Dialogo d(jornadas + tramos);
        d.plantillas->FormActivate();
        d.plantillas->FormClose(caso.seleccion);
        EXPECT_EQ(d.plantillas->SeleccionValida(), caso.valida) << caso.nombre;
        EXPECT_EQ(d.plantillas->MarcosSeleccionados(), caso.marcos) << caso.nombre;
        const auto& mensajes = d.entorno.interaccion.mensajes;
        ASSERT_EQ(mensajes.size(), caso.mensaje ? 1u : 0u) << caso.nombre;
        if (caso.mensaje) {
            EXPECT_EQ(mensajes[0].texto, caso.mensaje);
            EXPECT_EQ(mensajes[0].tipo, TipoMensaje::Incidencia);
        }
    }
}

TEST(Plantillas, LosValoresSeTomanSinQuitarBlancos)
{
    Dialogo d(SeccionXml("JORNADAS_ESCOLARES", {RegistroXml({" A1 ", " Mañana ", "d1", "d2"}),
                                                RegistroXml({"B", "Tarde", "d3", "d4"})}) +
              tramos);
    d.plantillas->FormActivate();
    EXPECT_EQ(d.plantillas->marcos(), (Lineas{" A1 ", "B"}));
    EXPECT_EQ(d.plantillas->nombre(), " Ma\xF1"
                                      "ana ");
    d.plantillas->FormClose({0});
    EXPECT_EQ(d.plantillas->MarcosSeleccionados(), " A1       ");

    const std::vector<MarcoHorario> marcos = LeerMarcos(*d.entorno.seneca);
    ASSERT_EQ(marcos.size(), 2u);
    EXPECT_EQ(marcos[0].codigo, " A1 ");
    EXPECT_EQ(marcos[1].fecha2, "d4");
}

TEST(Plantillas, CadaActivacionReleeElFicheroYSiFaltaUsaElCargado)
{
    Dialogo d(jornadas + tramos);
    const std::filesystem::path fichero = d.entorno.carpeta / "seneca.xml";
    EscribirFichero(fichero, SobreSeneca(SeccionXml("JORNADAS_ESCOLARES",
                                                    {RegistroXml({"N1", "Nuevo"}), RegistroXml({"N2", "Otro"})})));
    d.plantillas->FormActivate();
    EXPECT_EQ(d.plantillas->marcos(), (Lineas{"N1", "N2"}));

    std::filesystem::remove(fichero);
    d.plantillas->FormActivate();
    EXPECT_EQ(d.plantillas->marcos(), (Lineas{"ABC", "J2", "MARCO_MUY_LARGO"}));
    EXPECT_EQ(d.plantillas->nombre(), "Ordinaria");
}

TEST(Plantillas, SiElFicheroReleidoYaNoTieneDosMarcosUsaElCargado)
{
    for (const std::string& secciones :
         {SeccionXml("JORNADAS_ESCOLARES", {RegistroXml({"N1", "Nuevo"})}) + tramos, std::string()}) {
        Dialogo d(jornadas + tramos);
        EscribirFichero(d.entorno.carpeta / "seneca.xml", SobreSeneca(secciones));
        d.plantillas->FormActivate();
        EXPECT_EQ(d.plantillas->marcos(), (Lineas{"ABC", "J2", "MARCO_MUY_LARGO"})) << secciones;
        d.plantillas->FormClose({1});
        EXPECT_TRUE(d.plantillas->SeleccionValida()) << secciones;
        EXPECT_EQ(d.plantillas->MarcosSeleccionados(), "J2        ") << secciones;
    }
}

} // namespace
