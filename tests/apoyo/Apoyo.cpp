#include "apoyo/Apoyo.h"

#include "data/Tabla.h"
#include "export/Cursos.h"
#include "export/Plantihoras.h"
#include "text/Texto.h"

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
    cursos.FormShow();
    cursos.CursosTDBGridEnter();
    cursos.BitBtn1Click();
}

void InteraccionFalsa::mostrarMarcos(Plantillas& plantillas)
{
    ++vecesMarcos;
    if (alMostrarMarcos) {
        alMostrarMarcos(plantillas);
        return;
    }
    plantillas.FormActivate();
    plantillas.FormClose({0});
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

std::string SobreSeneca(const std::string& secciones)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<SERVICIO><BLOQUE_DATOS>" + secciones +
           "</BLOQUE_DATOS></SERVICIO>\n";
}

std::vector<std::vector<std::string>> FilasTabla(const fs::path& carpeta, std::string_view nombre)
{
    Tabla tabla = Tabla::abrir(carpeta, nombre, Acceso::Compartido);
    std::vector<std::vector<std::string>> filas;
    for (tabla.primero(); !tabla.fin(); tabla.siguiente()) {
        std::vector<std::string> fila;
        for (const Campo& campo : tabla.campos())
            fila.push_back(AnsiAUtf8(tabla.texto(campo.nombre)));
        filas.push_back(fila);
    }
    return filas;
}

std::vector<std::string> CamposTabla(const fs::path& carpeta, std::string_view nombre)
{
    const Tabla tabla = Tabla::abrir(carpeta, nombre, Acceso::Compartido);
    std::vector<std::string> campos;
    for (const Campo& campo : tabla.campos())
        campos.push_back(campo.nombre + " " + campo.tipo + (campo.tipo == 'C' ? std::to_string(campo.ancho) : ""));
    return campos;
}

void EntornoExportacion::cargarSeneca(const std::string& secciones)
{
    const fs::path ruta = carpeta / "seneca.xml";
    EscribirFichero(ruta, SobreSeneca(secciones));
    seneca = DocumentoXml::cargar(ruta);
}

ContextoExportacion EntornoExportacion::contexto()
{
    if (!seneca) cargarSeneca("");
    return ContextoExportacion{carpeta.ruta(), senematerias, sesion, interaccion, *seneca, *seneca};
}

void CrearTablaPrueba(const fs::path& carpeta, std::string_view nombre, const std::vector<Campo>& campos,
                      const std::vector<std::vector<std::string>>& filas)
{
    Tabla tabla = Tabla::crear(carpeta, nombre, campos);
    for (const auto& fila : filas) {
        tabla.agregar();
        for (std::size_t i = 0; i < fila.size() && i < campos.size(); ++i)
            tabla.fijar(campos[i].nombre, Utf8AAnsi(fila[i]));
        tabla.grabar();
    }
    tabla.cerrar();
}

std::string RegistroXml(const std::vector<std::string>& valores)
{
    std::string xml = "<grupo_datos seq=\"REGISTRO\">";
    for (std::size_t i = 0; i < valores.size(); ++i)
        xml += "<dato nombre_dato=\"D" + std::to_string(i + 1) + "\">" + valores[i] + "</dato>";
    return xml + "</grupo_datos>";
}

std::string SeccionXml(const std::string& seq, const std::vector<std::string>& registros)
{
    std::string xml = "<grupo_datos seq=\"" + seq + "\">";
    for (const std::string& registro : registros)
        xml += registro;
    return xml + "</grupo_datos>";
}
