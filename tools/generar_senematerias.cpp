// Builds the reference subject table SENEMATERIAS.DBF from its readable source, a UTF-8 CSV file
// with the header NOMBRE;COD;CODLARGO, using the system's own table layer.
#include "comun/Error.h"
#include "data/Tabla.h"
#include "text/Texto.h"

#include <filesystem>
#include <fstream>
#include <iostream>
#include <set>
#include <string>
#include <vector>

namespace {

struct Materia {
    std::string nombre, cod, codLargo; // Windows-1252
};

struct Columna {
    const char* nombre;
    std::size_t ancho;
};
constexpr Columna kColumnas[] = {{"NOMBRE", 80}, {"COD", 10}, {"CODLARGO", 10}};

std::vector<std::string> Partir(const std::string& linea)
{
    std::vector<std::string> partes;
    std::size_t inicio = 0;
    for (;;) {
        const std::size_t fin = linea.find(';', inicio);
        partes.push_back(linea.substr(inicio, fin - inicio));
        if (fin == std::string::npos) return partes;
        inicio = fin + 1;
    }
}

std::vector<Materia> LeerCsv(const std::filesystem::path& ruta)
{
    std::ifstream entrada(ruta, std::ios::binary);
    if (!entrada) throw Error("No se puede leer el fichero " + ruta.string());
    std::vector<Materia> materias;
    std::set<std::string> nombres;
    std::string linea;
    for (int numero = 1; std::getline(entrada, linea); ++numero) {
        const std::string donde = ruta.string() + ", línea " + std::to_string(numero) + ": ";
        if (!linea.empty() && linea.back() == '\r') linea.pop_back();
        if (numero == 1 && linea.rfind("\xEF\xBB\xBF", 0) == 0) linea.erase(0, 3);
        if (numero == 1) {
            if (linea != "NOMBRE;COD;CODLARGO")
                throw Error(donde + "se esperaba la cabecera NOMBRE;COD;CODLARGO y hay '" + linea + "'");
            continue;
        }
        if (linea.empty()) continue;
        const std::vector<std::string> partes = Partir(linea);
        if (partes.size() != 3)
            throw Error(donde + "se esperaban 3 valores separados por ';' y hay " + std::to_string(partes.size()));
        std::string valores[3];
        for (std::size_t i = 0; i < 3; ++i) {
            valores[i] = Utf8AAnsi(partes[i]);
            // Every character must survive the table's code page, or the name would never match Séneca's.
            if (AnsiAUtf8(valores[i]) != partes[i])
                throw Error(donde + "el valor de " + kColumnas[i].nombre + " '" + partes[i] +
                            "' no es UTF-8 válido o tiene caracteres que Windows-1252 no representa");
            if (valores[i].size() > kColumnas[i].ancho)
                throw Error(donde + "el valor de " + kColumnas[i].nombre + " '" + partes[i] + "' pasa de " +
                            std::to_string(kColumnas[i].ancho) + " caracteres");
            if (QuitaBlancos(valores[i]) != valores[i])
                throw Error(donde + "el valor de " + kColumnas[i].nombre + " '" + partes[i] +
                            "' tiene blancos al principio o al final");
        }
        if (valores[0].empty()) throw Error(donde + "falta el NOMBRE de la materia");
        if (!nombres.insert(valores[0]).second)
            throw Error(donde + "la materia '" + partes[0] + "' ya está en una línea anterior");
        materias.push_back({valores[0], valores[1], valores[2]});
    }
    return materias;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::cerr << "Uso: generar_senematerias FICHERO.csv CARPETA\n"
                     "Escribe CARPETA/SENEMATERIAS.DBF a partir del CSV (UTF-8, cabecera NOMBRE;COD;CODLARGO).\n";
        return 2;
    }
    try {
        // The whole source is checked before the old table is touched.
        const std::vector<Materia> materias = LeerCsv(argv[1]);
        const std::filesystem::path carpeta = argv[2];
        std::filesystem::create_directories(carpeta);
        Tabla::borrar(carpeta, "SENEMATERIAS");
        Tabla tabla =
            Tabla::crear(carpeta, "SENEMATERIAS",
                         {CampoCaracter("NOMBRE", 80), CampoCaracter("COD", 10), CampoCaracter("CODLARGO", 10)});
        for (const Materia& materia : materias) {
            tabla.agregar();
            tabla.fijar("NOMBRE", materia.nombre);
            tabla.fijar("COD", materia.cod);
            tabla.fijar("CODLARGO", materia.codLargo);
            tabla.grabar();
        }
        tabla.cerrar();
    } catch (const std::exception& error) {
        std::cerr << "generar_senematerias: " << error.what() << '\n';
        return 1;
    }
    return 0;
}
