#include "apoyo/Apoyo.h"
#include "comun/Error.h"
#include "data/ArchivoIni.h"

#include <gtest/gtest.h>

namespace fs = std::filesystem;

TEST(ArchivoIni, FijaLaClaveYConservaElRestoDelArchivo)
{
    struct Caso {
        const char* nombre;
        std::string antes;
        std::string despues;
    };
    const std::vector<Caso> casos = {
        {"archivo nuevo", "", "[Transformadores]\nTransformado=1\n"},
        {"clave cambiada, mayúsculas y blancos del resto intactos",
         "; Quintara\n[General]\nIdioma = ES\n\n[transformadores]\n Transformado = 0\nOtra=x\n",
         "; Quintara\n[General]\nIdioma = ES\n\n[transformadores]\nTransformado=1\nOtra=x\n"},
        {"clave añadida al final de su sección, antes de la siguiente",
         "[Transformadores]\nOtra=x\n\n[Fin]\nTransformado=7\n",
         "[Transformadores]\nOtra=x\nTransformado=1\n\n[Fin]\nTransformado=7\n"},
        {"sección añadida, fin de línea Windows y última línea sin fin", "[General]\r\nIdioma=ES",
         "[General]\r\nIdioma=ES\r\n[Transformadores]\r\nTransformado=1\r\n"},
    };
    for (const Caso& caso : casos) {
        SCOPED_TRACE(caso.nombre);
        CarpetaTemporal carpeta;
        const fs::path ini = carpeta / "Quintara.ini";
        if (!caso.antes.empty()) EscribirFichero(ini, caso.antes);
        FijarClaveIni(ini, "Transformadores", "Transformado", "1");
        EXPECT_EQ(LeerFichero(ini), caso.despues);
        EXPECT_EQ(std::distance(fs::directory_iterator(carpeta.ruta()), fs::directory_iterator()), 1)
            << "no queda ningún temporal";
    }
}

TEST(ArchivoIni, UnArchivoQueNoSePuedeEscribirDaUnErrorQueLoNombra)
{
    CarpetaTemporal carpeta;
    const fs::path directorio = carpeta / "Quintara.ini";
    fs::create_directory(directorio);
    const fs::path soloLectura = carpeta / "Solo.ini";
    EscribirFichero(soloLectura, "[Transformadores]\nTransformado=0\n");
    fs::permissions(soloLectura, fs::perms::owner_read | fs::perms::group_read);
    const fs::path sinCarpeta = carpeta / "no-existe" / "Quintara.ini";

    for (const fs::path& fichero : {directorio, soloLectura, sinCarpeta}) {
        try {
            FijarClaveIni(fichero, "Transformadores", "Transformado", "-1");
            ADD_FAILURE() << "se esperaba un error para " << fichero;
        } catch (const Error& e) {
            EXPECT_NE(std::string(e.what()).find(fichero.string()), std::string::npos) << e.what();
        }
    }
    EXPECT_EQ(LeerFichero(soloLectura), "[Transformadores]\nTransformado=0\n");
}
