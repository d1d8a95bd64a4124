#include "apoyo/Apoyo.h"

#include "export/Cursos.h"
#include "export/Plantihoras.h"

#include <fstream>
#include <random>
#include <sstream>

namespace fs = std::filesystem;

CarpetaTemporal::CarpetaTemporal()
{
    std::random_device azar;
    ruta_ = fs::temp_directory_path() / ("tzp-prueba-" + std::to_string(azar()) + std::to_string(azar()));
    fs::create_directories(ruta_);
}

CarpetaTemporal::~CarpetaTemporal()
{
    std::error_code ignorado;
    fs::remove_all(ruta_, ignorado);
}

void EscribirFichero(const fs::path& ruta, const std::string& contenido)
{
    std::ofstream salida(ruta, std::ios::binary);
    salida << contenido;
}

std::string LeerFichero(const fs::path& ruta)
{
    std::ifstream entrada(ruta, std::ios::binary);
    std::ostringstream texto;
    texto << entrada.rdbuf();
    return texto.str();
}

void InteraccionFalsa::mensaje(const std::string& texto, TipoMensaje tipo)
{
    mensajes.push_back({texto, tipo});
}

bool InteraccionFalsa::preguntar(const std::string& titulo, const std::string&)
{
    preguntas.push_back(titulo);
    if (respuestas.empty()) return true;
    const bool respuesta = respuestas.front();
    respuestas.pop_front();
    return respuesta;
}

std::optional<fs::path> InteraccionFalsa::elegirFichero(DialogoFichero)
{
    if (ficheros.empty()) return std::nullopt;
    auto fichero = ficheros.front();
    ficheros.pop_front();
    return fichero;
}

void InteraccionFalsa::mostrarCursos(ControlCursos& cursos)
{
    ++vecesCursos;
    if (alMostrarCursos) {
        alMostrarCursos(cursos);
        return;
    }
    cursos.formShow();
    cursos.gridEnter();
    cursos.confirmar();
}

void InteraccionFalsa::mostrarMarcos(Plantillas& plantillas)
{
    ++vecesMarcos;
    if (alMostrarMarcos) {
        alMostrarMarcos(plantillas);
        return;
    }
    plantillas.formActivate();
    plantillas.formClose({0});
}

void InteraccionFalsa::ocupado(bool activo)
{
    nivelOcupado += activo ? 1 : -1;
}

bool InteraccionFalsa::mostro(const std::string& texto) const
{
    for (const auto& m : mensajes)
        if (m.texto == texto) return true;
    return false;
}
