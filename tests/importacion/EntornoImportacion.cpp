#include "importacion/EntornoImportacion.h"

#include "data/DocumentoXml.h"
#include "import/Importacion.h"
#include "text/Texto.h"

#include <cstdint>
#include <fstream>

namespace fs = std::filesystem;

const std::vector<std::vector<std::string>> kFilasSoluc{
    {"AAA", "1", "1", "0", "MAT", "", "1A", " A1", ""}, {"AAA", "1", "2", "0", "#G", "#G1", "", "", ""},
    {"AAA", "0", "3", "0", "MAT", "", "1A", "", ""},    {"B'C", "2", "1", "0", "LEN", "#12", "1A", "   ", ""},
    {"AAA", "1", "10", "1x", "HIS", "", "1A", "", ""},  {"aaa", "1", "1", "0", "MAT", "", "1A", "", ""},
    {"AAA", "2", "5", "0", "MAT", "", "1A", "", ""},    {"AAA", "1", "1", "", "#G", "##1", "", "", ""}};

// MARCO wider than one character, as a timetable product may write it: only its first character counts.
const std::vector<Campo> kCamposSoluc{
    CampoCaracter("PROF", 10),     CampoEntero("DIA"),        CampoEntero("HORA"),
    CampoCaracter("MARCO", 3),     CampoCaracter("ASIG", 10), CampoCaracter("TAREA", 10),
    CampoCaracter("CODGRUPO", 10), CampoCaracter("AULA", 10), CampoCaracter("CCONCIERTO", 20)};

void EscribirDbase3(const fs::path& fichero, const std::vector<Campo>& campos,
                    const std::vector<std::vector<std::string>>& filas)
{
    auto agregar = [](std::string& b, std::uint32_t v, int bytes) {
        for (int i = 0; i < bytes; ++i)
            b += static_cast<char>((v >> (8 * i)) & 0xFF);
    };
    int ancho = 1;
    for (const Campo& c : campos)
        ancho += c.ancho;
    std::string b{char(0x03), char(125), char(9), char(1)};
    agregar(b, static_cast<std::uint32_t>(filas.size()), 4);
    agregar(b, static_cast<std::uint32_t>(32 + 32 * campos.size() + 1), 2);
    agregar(b, static_cast<std::uint32_t>(ancho), 2);
    b.append(20, '\0');
    for (const Campo& c : campos) {
        std::string descriptor = c.nombre;
        descriptor.resize(11, '\0');
        descriptor += c.tipo;
        descriptor.append(4, '\0');
        descriptor += {static_cast<char>(c.ancho), static_cast<char>(c.decimales)};
        descriptor.append(14, '\0');
        b += descriptor;
    }
    b += char(0x0D);
    for (const auto& fila : filas) {
        b += ' ';
        for (std::size_t i = 0; i < campos.size(); ++i) {
            const std::string valor = Utf8AAnsi(i < fila.size() ? fila[i] : "").substr(0, campos[i].ancho);
            const std::string relleno(campos[i].ancho - valor.size(), ' ');
            b += campos[i].tipo == 'N' ? relleno + valor : valor + relleno;
        }
    }
    b += char(0x1A);
    EscribirFichero(fichero, b);
}

EntornoImportacion::EntornoImportacion()
{
    tabla("PERIODOS", CamposPeriodos(), {{"2025", "15/09/2025", "22/06/2026"}});
    tabla("CURSOST", CamposCursosT(), {});
    tabla("AULAT", CamposAulat(), {{"A1", "Aula 1", "", "", "A1"}});
    tabla("PROFT", CamposProft(),
          {{"AAA", "Ana", "", "", "101", "01/09/2019"},
           {"B'C", "Blas", "", "", "102", "01/09/2020"},
           {"ZZZ", "Zoe", "", "", "103", ""}});
    tabla("GRUPOST", CamposGrupost(), {{"1A", "", "ESO", "1", "A", "U1", "OFG", "", "0"}});
    tabla(
        "ASIGNOMT", CamposAsignomt(),
        {{"MAT", "", "Matemáticas", "", "F"}, {"HIS", "", "Historia", "7", "F"}, {"LEN", "", "Lengua", "", "F"}});
    tabla("ASIGNOMT2", CamposAsignomt2(),
          {{"HIS", "", "Historia", "H200", "OFG", "", "F"}, {"LEN", "", "Lengua", "L300", "OTRA", "", "F"}});
    tabla("ASIGT", CamposAsigt(),
          {{"MAT", "AAA", "1A", "", "", "", "", "", "4", "1111", "", "M100", "OF1", "U1", "1", "CONC", "4"},
           {"HIS", "AAA", "1A", "", "", "", "", "", "2", "11", "", "", "", "U1", "1", "", ""}});
    tabla("DIASHORAST", CamposDiashorast(),
          {{"11", "T1", "1", "", "1", "Primera", "08:30", "09:25", "55", "0", "J1"},
           {"12", "T2", "1", "", "2", "Segunda", "09:25", "10:20", "55", "0", "J1"},
           {"21", "T1", "2", "", "1", "Primera", "08:30", "09:25", "55", "0", "J1"},
           {"110", "T10", "1", "", "10", "Tarde", "15:00", "16:00", "60", "1", "J2"}});
    solucion(kFilasSoluc);
    seneca = carpeta / "seneca" / "centro.xml";
    fs::create_directories(seneca.parent_path());
    EscribirFichero(seneca, "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n"
                            "<SERVICIO modulo=\"EXPORTACION\"><BLOQUE_DATOS>"
                            "<grupo_datos seq=\"ANNO\"><dato nombre_dato=\"C_ANNO\">2025</dato>"
                            "<dato nombre_dato=\"F\">15/09/2025</dato></grupo_datos>"
                            "<grupo_datos seq=\"EMPLEADOS\"/></BLOQUE_DATOS></SERVICIO>\n");
}

void EntornoImportacion::tabla(const std::string& nombre, const std::vector<Campo>& campos,
                               const std::vector<std::vector<std::string>>& filas)
{
    Tabla::borrar(carpeta.ruta(), nombre);
    CrearTablaPrueba(carpeta.ruta(), nombre, campos, filas);
}

FinTraspaso EntornoImportacion::importar()
{
    interaccion.ficheros.push_back(seneca);
    return EjecutarImportacion(sesion, interaccion, carpeta.ruta());
}

fs::path EntornoImportacion::resultado() const
{
    return FicheroResultado(seneca);
}

namespace {

std::string Datos(const NodoXml& grupo)
{
    std::string linea;
    for (const NodoXml& dato : grupo.datos())
        linea += " " + AnsiAUtf8(dato.atributo("nombre_dato")) + "=" + AnsiAUtf8(dato.texto());
    return linea;
}

std::vector<NodoXml> GruposProfesor(const DocumentoXml& doc, const std::string& seccion)
{
    return doc.seleccionar("/SERVICIO/BLOQUE_DATOS/grupo_datos[@seq=\"" + seccion + "\"]/grupo_datos");
}

} // namespace

std::vector<std::string> Profesores(const fs::path& fichero, const std::string& seccion)
{
    const DocumentoXml doc = DocumentoXml::cargar(fichero);
    std::vector<std::string> lineas;
    for (const NodoXml& profesor : GruposProfesor(doc, seccion))
        lineas.push_back(profesor.atributo("seq") + " registros=" + profesor.atributo("registros") +
                         Datos(profesor));
    return lineas;
}

std::vector<std::string> Celdas(const fs::path& fichero, const std::string& seccion)
{
    const DocumentoXml doc = DocumentoXml::cargar(fichero);
    std::vector<std::string> lineas;
    int numProfesor = 0;
    for (const NodoXml& profesor : GruposProfesor(doc, seccion)) {
        ++numProfesor;
        for (const NodoXml& celda : profesor.seleccionar("grupo_datos"))
            lineas.push_back(std::to_string(numProfesor) + "/" + celda.atributo("seq") + Datos(celda));
    }
    return lineas;
}
