#include "cli/Orden.h"

#include <iostream>
#include <string>
#include <vector>

namespace {

constexpr const char* kUso =
    "Uso:\n"
    "  transzentar exportar --seneca FICHERO --planificacion FICHERO [--dir CARPETA]\n"
    "                       [--senematerias FICHERO] [--niveles FICHERO.csv] [--no-recuperar]\n"
    "                       [--marcos CÓDIGO[,CÓDIGO]]\n"
    "  transzentar importar --seneca FICHERO [--dir CARPETA]\n"
    "  transzentar ver TABLA.DBF [--dir CARPETA]\n"
    "  transzentar --help | --version\n"
    "\n"
    "exportar  Transforma los ficheros XML de Séneca y de Planificación en las tablas de trabajo.\n"
    "          --niveles: líneas CLAVE;NIVEL;CURSO (UTF-8) con el nivel y curso de cada curso.\n"
    "          --no-recuperar: no recupera los niveles y cursos de una exportación anterior.\n"
    "          --marcos: el Marco Horario (o los dos) cuando el centro tiene varios.\n"
    "importar  Escribe el horario calculado (SOLUC) como documento XML para Séneca.\n"
    "ver       Muestra una tabla como CSV (UTF-8, separado por ';').\n"
    "\n"
    "La carpeta de trabajo es, salvo --dir, la que indica la variable QTEMP o ~/QTEMP.\n"
    "Estados de salida: 0 bien, 1 error, 2 uso incorrecto, 3 falta una respuesta.\n";

} // namespace

int main(int argc, char** argv)
{
    const std::vector<std::string> args(argv + 1, argv + argc);
    try {
        if (args.empty()) throw ErrorUso{"Falta la orden."};
        const std::string& orden = args.front();
        const std::vector<std::string> resto(args.begin() + 1, args.end());
        if (orden == "--help" || orden == "-h") {
            std::cout << kUso;
            return kSalidaBien;
        }
        if (orden == "--version") {
            std::cout << "transzentar " << TRANSZENTAR_VERSION << "\n";
            return kSalidaBien;
        }
        if (orden == "exportar") return OrdenExportar(resto);
        if (orden == "importar") return OrdenImportar(resto);
        if (orden == "ver") return OrdenVer(resto);
        throw ErrorUso{"Orden desconocida: " + orden + "."};
    } catch (const ErrorUso& e) {
        std::cerr << e.mensaje << "\n\n" << kUso;
        return kSalidaUso;
    }
}
