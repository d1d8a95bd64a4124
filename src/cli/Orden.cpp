#include "cli/Orden.h"

#include "comun/Sesion.h"

#include <algorithm>
#include <unistd.h>

namespace fs = std::filesystem;

std::optional<std::string> Opciones::valor(const std::string& opcion) const
{
    auto it = valores.find(opcion);
    if (it == valores.end()) return std::nullopt;
    return it->second;
}

Opciones LeerOpciones(const std::vector<std::string>& args, const std::vector<std::string>& conValor,
                      const std::vector<std::string>& sinValor)
{
    const auto nombra = [](const std::vector<std::string>& lista, const std::string& opcion) {
        return std::find(lista.begin(), lista.end(), opcion) != lista.end();
    };
    Opciones opciones;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg.rfind("--", 0) != 0) {
            opciones.argumentos.push_back(arg);
        } else if (nombra(conValor, arg)) {
            if (i + 1 >= args.size()) throw ErrorUso{"Falta el valor de la opción " + arg + "."};
            opciones.valores[arg] = args[++i];
        } else if (nombra(sinValor, arg)) {
            opciones.valores[arg] = "";
        } else {
            throw ErrorUso{"Opción desconocida: " + arg + "."};
        }
    }
    return opciones;
}

fs::path CarpetaDeTrabajo(const Opciones& opciones)
{
    if (auto dir = opciones.valor("--dir")) return *dir;
    return CarpetaTrabajoPorDefecto();
}

fs::path CarpetaDelPrograma()
{
    std::error_code error;
    const fs::path ejecutable = fs::read_symlink("/proc/self/exe", error);
    return error ? fs::current_path() : ejecutable.parent_path();
}
