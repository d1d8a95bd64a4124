#include "cli/InteraccionOrden.h"
#include "cli/Orden.h"

#include "comun/Error.h"
#include "export/Exportacion.h"
#include "export/Plantihoras.h"
#include "text/Texto.h"

#include <algorithm>
#include <fstream>
#include <iostream>
#include <sstream>

namespace fs = std::filesystem;

namespace {

std::vector<std::string> Partir(const std::string& texto, char separador)
{
    std::vector<std::string> partes;
    std::stringstream flujo(texto);
    std::string parte;
    while (std::getline(flujo, parte, separador))
        partes.push_back(parte);
    if (!texto.empty() && texto.back() == separador) partes.emplace_back();
    return partes;
}

// "CLAVE;NIVEL;CURSO" lines in UTF-8; a first line of exactly those names is a header.
std::map<std::string, InteraccionOrden::NivelCurso> LeerNiveles(const fs::path& fichero)
{
    std::ifstream entrada(fichero, std::ios::binary);
    if (!entrada) throw Error("No se puede leer el fichero de niveles " + fichero.string() + ".");
    std::map<std::string, InteraccionOrden::NivelCurso> niveles;
    std::string linea;
    for (int numero = 1; std::getline(entrada, linea); ++numero) {
        if (!linea.empty() && linea.back() == '\r') linea.pop_back();
        if (numero == 1 && linea.rfind("\xEF\xBB\xBF", 0) == 0) linea.erase(0, 3);
        if (QuitaBlancos(linea).empty() || (numero == 1 && linea == "CLAVE;NIVEL;CURSO")) continue;
        const auto campos = Partir(linea, ';');
        if (campos.size() != 3)
            throw Error("Línea " + std::to_string(numero) + " del fichero de niveles " + fichero.string() +
                        ": se esperaban tres valores CLAVE;NIVEL;CURSO y contiene «" + linea + "».");
        niveles[QuitaBlancos(Utf8AAnsi(campos[0]))] = {QuitaBlancos(Utf8AAnsi(campos[1])),
                                                       QuitaBlancos(Utf8AAnsi(campos[2]))};
    }
    return niveles;
}

void ListarMarcos(const std::vector<MarcoHorario>& marcos)
{
    std::cerr << "Marcos Horarios del fichero de Séneca (código; nombre; fechas):\n";
    for (const auto& m : marcos)
        std::cerr << "  " << AnsiAUtf8(QuitaBlancos(m.codigo)) << "; " << AnsiAUtf8(QuitaBlancos(m.nombre)) << "; "
                  << AnsiAUtf8(QuitaBlancos(m.fecha1)) << " - " << AnsiAUtf8(QuitaBlancos(m.fecha2)) << "\n";
}

// The frame answer is checked before the export touches any table. False when it is missing or wrong.
bool ComprobarMarcos(const fs::path& ficheroSeneca, const std::vector<std::string>& elegidos)
{
    std::vector<MarcoHorario> marcos;
    try {
        marcos = LeerMarcos(DocumentoXml::cargar(ficheroSeneca));
    } catch (const Error&) {
        return true; // the export itself reports an unreadable file
    }
    const auto existe = [&](const std::string& codigo) {
        return std::any_of(marcos.begin(), marcos.end(),
                           [&](const MarcoHorario& m) { return QuitaBlancos(m.codigo) == codigo; });
    };
    for (const auto& codigo : elegidos)
        if (!existe(codigo)) {
            std::cerr << "El Marco Horario «" << AnsiAUtf8(codigo) << "» no existe en el fichero de Séneca.\n";
            ListarMarcos(marcos);
            return false;
        }
    if (marcos.size() >= 2 && (elegidos.empty() || elegidos.size() > 2)) {
        std::cerr << "El centro tiene " << marcos.size()
                  << " Marcos Horarios: indique uno o dos con --marcos CÓDIGO[,CÓDIGO].\n";
        ListarMarcos(marcos);
        return false;
    }
    return true;
}

} // namespace

int OrdenExportar(const std::vector<std::string>& args)
{
    const Opciones opciones =
        LeerOpciones(args, {"--seneca", "--planificacion", "--dir", "--senematerias", "--niveles", "--marcos"},
                     {"--no-recuperar"});
    if (!opciones.argumentos.empty()) throw ErrorUso{"Argumento inesperado: " + opciones.argumentos.front() + "."};
    if (!opciones.tiene("--seneca") || !opciones.tiene("--planificacion"))
        throw ErrorUso{"exportar necesita --seneca y --planificacion."};

    InteraccionOrden usuario;
    usuario.ficheroSeneca = *opciones.valor("--seneca");
    usuario.ficheroPlanificacion = *opciones.valor("--planificacion");
    usuario.recuperar = !opciones.tiene("--no-recuperar");
    if (auto marcos = opciones.valor("--marcos"))
        for (const auto& codigo : Partir(*marcos, ','))
            usuario.marcos.push_back(QuitaBlancos(Utf8AAnsi(codigo)));
    const fs::path senematerias =
        opciones.valor("--senematerias").value_or((CarpetaDelPrograma() / "SENEMATERIAS.DBF").string());

    SesionTraspaso sesion;
    try {
        if (auto niveles = opciones.valor("--niveles")) usuario.niveles = LeerNiveles(*niveles);
        if (!ComprobarMarcos(*usuario.ficheroSeneca, usuario.marcos)) return kSalidaFaltaRespuesta;
        switch (EjecutarExportacion(sesion, usuario, CarpetaDeTrabajo(opciones), senematerias)) {
        case FinTraspaso::Completado:
            std::cout << "Proceso finalizado\n";
            return kSalidaBien;
        case FinTraspaso::SalidaForzada:
            std::cerr
                << "Faltan el NIVEL o el CURSO de estos cursos (CLAVE; ESTUDIOS); indíquelos con --niveles:\n";
            for (const auto& fila : usuario.cursosIncompletos())
                std::cerr << "  " << AnsiAUtf8(fila.clave) << "; " << AnsiAUtf8(fila.estud) << "\n";
            return kSalidaFaltaRespuesta;
        default:
            return kSalidaError;
        }
    } catch (const std::exception& e) {
        std::cerr << e.what() << "\n";
        return kSalidaError;
    }
}
