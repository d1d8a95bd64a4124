#include "cli/Orden.h"

#include "data/Tabla.h"
#include "text/Texto.h"

#include <iostream>

namespace fs = std::filesystem;

namespace {

// A CSV value: quoted when it holds the separator, a quote or a line break.
std::string ValorCsv(const std::string& utf8)
{
    if (utf8.find_first_of(";\"\r\n") == std::string::npos) return utf8;
    std::string citado = "\"";
    for (char c : utf8)
        citado += c == '"' ? std::string("\"\"") : std::string(1, c);
    return citado + "\"";
}

} // namespace

int OrdenVer(const std::vector<std::string>& args)
{
    const Opciones opciones = LeerOpciones(args, {"--dir"}, {});
    if (opciones.argumentos.size() != 1) throw ErrorUso{"ver necesita el nombre de una tabla."};
    const fs::path dada = opciones.argumentos.front();
    // A path that exists is taken as given; a bare name is looked for in the working folder.
    const fs::path carpeta = (dada.has_parent_path() || (fs::exists(dada) && !opciones.tiene("--dir")))
                                 ? (dada.has_parent_path() ? dada.parent_path() : fs::current_path())
                                 : CarpetaDeTrabajo(opciones);
    try {
        Tabla tabla = Tabla::abrir(carpeta, dada.filename().string(), Acceso::Compartido);
        std::string linea;
        for (const Campo& campo : tabla.campos())
            linea += (linea.empty() ? "" : ";") + ValorCsv(campo.nombre);
        std::cout << linea << "\n";
        for (tabla.primero(); !tabla.fin(); tabla.siguiente()) {
            linea.clear();
            bool primero = true;
            for (const Campo& campo : tabla.campos()) {
                linea += (primero ? "" : ";") + ValorCsv(AnsiAUtf8(tabla.texto(campo.nombre)));
                primero = false;
            }
            std::cout << linea << "\n";
        }
        return kSalidaBien;
    } catch (const std::exception& e) {
        std::cerr << e.what() << "\n";
        return kSalidaError;
    }
}
