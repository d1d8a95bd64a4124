#include "data/ArchivoIni.h"

#include "comun/Error.h"
#include "data/EscrituraSegura.h"
#include "text/Texto.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::string_view SinBlancos(std::string_view texto)
{
    const auto inicio = texto.find_first_not_of(" \t\r\n");
    if (inicio == std::string_view::npos) return {};
    const auto fin = texto.find_last_not_of(" \t\r\n");
    return texto.substr(inicio, fin - inicio + 1);
}

// The section a line opens ("[Nombre]"), or nothing when the line opens none.
std::optional<std::string_view> SeccionDeLinea(std::string_view linea)
{
    const std::string_view limpia = SinBlancos(linea);
    if (limpia.size() < 2 || limpia.front() != '[' || limpia.back() != ']') return std::nullopt;
    return SinBlancos(limpia.substr(1, limpia.size() - 2));
}

bool EsClave(std::string_view linea, std::string_view clave)
{
    const auto igual = linea.find('=');
    return igual != std::string_view::npos && IgualesSinMayusculas(SinBlancos(linea.substr(0, igual)), clave);
}

std::string Motivo()
{
    return errno ? std::strerror(errno) : "error de lectura";
}

std::string LeerContenido(const fs::path& fichero)
{
    std::ifstream entrada(fichero, std::ios::binary);
    if (!entrada)
        throw Error("No se puede leer el archivo de configuración " + fichero.string() + ": " + Motivo() + ".");
    std::ostringstream contenido;
    contenido << entrada.rdbuf();
    return contenido.str();
}

// The lines of the file, each with its own line end, so that untouched lines are written back as read.
std::vector<std::string> Lineas(const std::string& contenido)
{
    std::vector<std::string> lineas;
    std::size_t inicio = 0;
    while (inicio < contenido.size()) {
        const auto fin = contenido.find('\n', inicio);
        const auto corte = fin == std::string::npos ? contenido.size() : fin + 1;
        lineas.push_back(contenido.substr(inicio, corte - inicio));
        inicio = corte;
    }
    return lineas;
}

} // namespace

void FijarClaveIni(const fs::path& fichero, std::string_view seccion, std::string_view clave,
                   std::string_view valor)
{
    errno = 0;
    std::error_code error;
    const auto estado = fs::status(fichero, error);
    std::vector<std::string> lineas;
    auto permisos =
        fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read | fs::perms::others_read;
    if (fs::exists(estado)) {
        permisos = estado.permissions();
        if (!fs::is_regular_file(estado))
            throw Error("No se puede escribir el archivo de configuración " + fichero.string() +
                        ": no es un archivo.");
        // A read-only settings file is the owner's choice: it is not replaced behind their back.
        if ((estado.permissions() & fs::perms::owner_write) == fs::perms::none)
            throw Error("No se puede escribir el archivo de configuración " + fichero.string() +
                        ": es de solo lectura.");
        lineas = Lineas(LeerContenido(fichero));
    }

    const bool crlf = !lineas.empty() && lineas.front().size() >= 2 &&
                      lineas.front().compare(lineas.front().size() - 2, 2, "\r\n") == 0;
    const std::string finLinea = crlf ? "\r\n" : "\n";
    const std::string nueva = std::string(clave) + "=" + std::string(valor) + finLinea;

    // Find the section, the key inside it, and the last non-blank line of the section.
    std::optional<std::size_t> cabecera, lineaClave, ultima;
    for (std::size_t i = 0; i < lineas.size(); ++i) {
        if (auto nombre = SeccionDeLinea(lineas[i])) {
            if (cabecera) break;
            if (IgualesSinMayusculas(*nombre, seccion)) ultima = cabecera = i;
            continue;
        }
        if (!cabecera) continue;
        if (!SinBlancos(lineas[i]).empty()) ultima = i;
        if (EsClave(lineas[i], clave)) {
            lineaClave = i;
            break;
        }
    }

    if (!lineas.empty() && lineas.back().back() != '\n') lineas.back() += finLinea;
    if (lineaClave) {
        lineas[*lineaClave] = nueva;
    } else if (cabecera) {
        lineas.insert(lineas.begin() + static_cast<std::ptrdiff_t>(*ultima + 1), nueva);
    } else {
        lineas.push_back("[" + std::string(seccion) + "]" + finLinea);
        lineas.push_back(nueva);
    }

    std::string contenido;
    for (const std::string& linea : lineas)
        contenido += linea;
    if (const std::error_code fallo = ReemplazarFichero(fichero, contenido, static_cast<mode_t>(permisos)))
        throw Error("No se puede escribir el archivo de configuración " + fichero.string() + ": " +
                    fallo.message() + ".");
}
