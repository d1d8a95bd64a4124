// colocar CARPETA: a small stand-in for the timetable product, for the demo and the tests.
// Reads ASIGT, DIASHORAST, PROFT, AULAT and ASIGNOMT from the working folder and writes SOLUC.DBF
// as the timetable product does, a dBase III table, with one row per placed cell.
//
// Placement, deterministic: the assignments in ASIGT order, each lesson of SESIONES (one digit per
// lesson, its length in hours) into the first run of consecutive slots of frame "0", days 1 to 5,
// where neither the teacher nor the group is busy, days without a lesson of the same assignment
// first. Lessons get the first room of AULAT free for all their hours (none when every room is
// taken); tasks (CASIG beginning with "#") are "#" cells with TAREA = CASIG and no room. Rows without
// a teacher of PROFT, or whose subject ASIGNOMT does not know, are not placed.
#include "comun/Error.h"
#include "data/Tabla.h"
#include "text/Texto.h"

#include <cstdint>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <tuple>
#include <vector>

namespace fs = std::filesystem;

namespace {

// Every group of the export works in frame "0" (GRUPOST.MARCO), so lessons go there.
const std::string kMarco = "0";

struct Asignacion {
    std::string casig, cprof, cgrup, sesiones, ctarea, corigen;
};

struct Celda {
    std::string prof;
    int dia = 0;
    int hora = 0;
    std::string asig, tarea, codgrupo, aula, concierto;
};

std::set<std::string> LeerCodigos(const fs::path& carpeta, const char* tabla, const char* campo)
{
    std::set<std::string> codigos;
    Tabla t = Tabla::abrir(carpeta, tabla, Acceso::Compartido);
    for (t.primero(); !t.fin(); t.siguiente())
        codigos.insert(t.texto(campo));
    return codigos;
}

std::vector<std::string> LeerAulas(const fs::path& carpeta)
{
    std::vector<std::string> aulas;
    Tabla aulat = Tabla::abrir(carpeta, "AULAT", Acceso::Compartido);
    for (aulat.primero(); !aulat.fin(); aulat.siguiente())
        if (!QuitaBlancos(aulat.texto("ABREV")).empty()) aulas.push_back(aulat.texto("ABREV"));
    return aulas;
}

int EnteroDe(const Tabla& tabla, const char* campo)
{
    long long valor = 0;
    const std::string texto = tabla.texto(campo);
    if (!LeerEnteroEstricto(QuitaBlancos(texto), valor))
        throw Error("Tabla " + tabla.nombre() + ", campo " + campo + ": «" + AnsiAUtf8(texto) +
                    "» no es un número entero.");
    return static_cast<int>(valor);
}

// The slot numbers of each school day of the frame, in ascending order.
std::map<int, std::vector<int>> LeerTramos(const fs::path& carpeta)
{
    std::map<int, std::set<int>> porDia;
    Tabla tramos = Tabla::abrir(carpeta, "DIASHORAST", Acceso::Compartido);
    for (tramos.primero(); !tramos.fin(); tramos.siguiente()) {
        if (tramos.texto("MARCO") != kMarco) continue;
        const int dia = EnteroDe(tramos, "DIA");
        if (dia >= 1 && dia <= 5) porDia[dia].insert(EnteroDe(tramos, "HORA"));
    }
    std::map<int, std::vector<int>> resultado;
    for (const auto& [dia, horas] : porDia)
        resultado[dia].assign(horas.begin(), horas.end());
    return resultado;
}

std::vector<Asignacion> LeerAsignaciones(const fs::path& carpeta)
{
    const std::set<std::string> profesores = LeerCodigos(carpeta, "PROFT", "ABREV");
    const std::set<std::string> materias = LeerCodigos(carpeta, "ASIGNOMT", "COD");
    std::vector<Asignacion> asignaciones;
    Tabla asigt = Tabla::abrir(carpeta, "ASIGT", Acceso::Compartido);
    for (asigt.primero(); !asigt.fin(); asigt.siguiente()) {
        Asignacion a{asigt.texto("CASIG"),    asigt.texto("CPROF"),  asigt.texto("CGRUP"),
                     asigt.texto("SESIONES"), asigt.texto("CTAREA"), asigt.texto("CORIGEN")};
        if (QuitaBlancos(a.cprof).empty() || !profesores.contains(a.cprof) || !materias.contains(a.casig))
            continue;
        for (char c : a.sesiones)
            if (c < '0' || c > '9')
                throw Error("Tabla ASIGT, campo SESIONES: «" + AnsiAUtf8(a.sesiones) + "» de la asignatura «" +
                            AnsiAUtf8(a.casig) + "» no es una serie de cifras.");
        asignaciones.push_back(std::move(a));
    }
    return asignaciones;
}

class Horario {
public:
    Horario(std::map<int, std::vector<int>> tramos, std::vector<std::string> aulas)
        : tramos_(std::move(tramos)), aulas_(std::move(aulas))
    {
    }

    // Places one lesson of `horas` hours; false when no run of free slots is left for it.
    bool colocar(const Asignacion& a, int horas, std::set<int>& diasUsados)
    {
        for (const bool repetirDia : {false, true})
            for (const auto& [dia, numeros] : tramos_) {
                if (!repetirDia && diasUsados.contains(dia)) continue;
                for (std::size_t i = 0; i + horas <= numeros.size(); ++i)
                    if (libre(a, dia, numeros, i, horas)) {
                        ocupar(a, dia, numeros, i, horas);
                        diasUsados.insert(dia);
                        return true;
                    }
            }
        return false;
    }

    const std::vector<Celda>& celdas() const { return celdas_; }

private:
    using Hueco = std::tuple<std::string, int, int>; // who, day, slot

    static bool esTarea(const Asignacion& a) { return a.casig.starts_with('#'); }

    bool libre(const Asignacion& a, int dia, const std::vector<int>& numeros, std::size_t i, int horas) const
    {
        for (int h = 0; h < horas; ++h) {
            const int hora = numeros[i + h];
            if (hora != numeros[i] + h || profesoresOcupados_.contains({a.cprof, dia, hora})) return false;
            if (!a.cgrup.empty() && gruposOcupados_.contains({a.cgrup, dia, hora})) return false;
        }
        return true;
    }

    std::string aulaLibre(int dia, int primera, int horas) const
    {
        for (const std::string& aula : aulas_) {
            bool libre = true;
            for (int h = 0; h < horas && libre; ++h)
                libre = !aulasOcupadas_.contains({aula, dia, primera + h});
            if (libre) return aula;
        }
        return {};
    }

    void ocupar(const Asignacion& a, int dia, const std::vector<int>& numeros, std::size_t i, int horas)
    {
        const std::string aula = esTarea(a) ? std::string() : aulaLibre(dia, numeros[i], horas);
        for (int h = 0; h < horas; ++h) {
            const int hora = numeros[i] + h;
            profesoresOcupados_.insert({a.cprof, dia, hora});
            if (!a.cgrup.empty()) gruposOcupados_.insert({a.cgrup, dia, hora});
            if (!aula.empty()) aulasOcupadas_.insert({aula, dia, hora});
            celdas_.push_back(
                {a.cprof, dia, hora, a.casig, esTarea(a) ? a.casig : a.ctarea, a.cgrup, aula, a.corigen});
        }
    }

    std::map<int, std::vector<int>> tramos_;
    std::vector<std::string> aulas_;
    std::set<Hueco> profesoresOcupados_, gruposOcupados_, aulasOcupadas_;
    std::vector<Celda> celdas_;
};

// dBase III: 32-byte header, 32-byte field descriptors, 0x0D, fixed-width rows, 0x1A.
struct CampoDbf {
    const char* nombre;
    char tipo;
    int ancho;
};
const CampoDbf kCamposSoluc[] = {{"PROF", 'C', 10},     {"DIA", 'N', 2},   {"HORA", 'N', 2},
                                 {"MARCO", 'C', 1},     {"ASIG", 'C', 10}, {"TAREA", 'C', 10},
                                 {"CODGRUPO", 'C', 10}, {"AULA", 'C', 10}, {"CCONCIERTO", 'C', 20}};

void Agregar16(std::string& b, std::uint16_t v)
{
    b += {char(v & 0xFF), char(v >> 8)};
}
void Agregar32(std::string& b, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b += char((v >> (8 * i)) & 0xFF);
}

std::string Justificar(const std::string& valor, const CampoDbf& campo)
{
    const std::string cortado = valor.substr(0, campo.ancho);
    const std::string relleno(campo.ancho - cortado.size(), ' ');
    return campo.tipo == 'N' ? relleno + cortado : cortado + relleno;
}

void EscribirSoluc(const fs::path& carpeta, const std::vector<Celda>& celdas)
{
    int anchoRegistro = 1;
    for (const CampoDbf& c : kCamposSoluc)
        anchoRegistro += c.ancho;
    const std::time_t ahora = std::time(nullptr);
    std::tm hoy{};
    localtime_r(&ahora, &hoy);

    std::string b;
    b += char(0x03);
    b += {char(hoy.tm_year), char(hoy.tm_mon + 1), char(hoy.tm_mday)};
    Agregar32(b, static_cast<std::uint32_t>(celdas.size()));
    Agregar16(b, static_cast<std::uint16_t>(32 + 32 * std::size(kCamposSoluc) + 1));
    Agregar16(b, static_cast<std::uint16_t>(anchoRegistro));
    b.append(17, '\0');
    b += char(0x03); // language driver: Windows ANSI (code page 1252)
    b.append(2, '\0');
    for (const CampoDbf& c : kCamposSoluc) {
        std::string nombre(c.nombre);
        nombre.resize(11, '\0');
        b += nombre;
        b += c.tipo;
        b.append(4, '\0');
        b += {char(c.ancho), '\0'};
        b.append(14, '\0');
    }
    b += char(0x0D);
    for (const Celda& celda : celdas) {
        const std::string valores[] = {celda.prof,
                                       std::to_string(celda.dia),
                                       std::to_string(celda.hora),
                                       kMarco,
                                       celda.asig,
                                       celda.tarea,
                                       celda.codgrupo,
                                       celda.aula,
                                       celda.concierto};
        b += ' ';
        for (std::size_t i = 0; i < std::size(kCamposSoluc); ++i)
            b += Justificar(valores[i], kCamposSoluc[i]);
    }
    b += char(0x1A);

    const fs::path temporal = carpeta / "SOLUC.DBF.tmp";
    {
        std::ofstream salida(temporal, std::ios::binary | std::ios::trunc);
        salida.write(b.data(), static_cast<std::streamsize>(b.size()));
        salida.close();
        if (!salida) throw Error("No se puede escribir «" + temporal.string() + "».");
    }
    Tabla::borrar(carpeta, "SOLUC");
    fs::rename(temporal, carpeta / "SOLUC.DBF");
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "Uso: colocar CARPETA\n";
        return 2;
    }
    try {
        const fs::path carpeta = argv[1];
        auto tramos = LeerTramos(carpeta);
        auto aulas = LeerAulas(carpeta);
        Horario horario(std::move(tramos), std::move(aulas));
        int sinHueco = 0;
        for (const Asignacion& a : LeerAsignaciones(carpeta)) {
            std::set<int> diasUsados;
            for (char digito : a.sesiones)
                if (digito != '0' && !horario.colocar(a, digito - '0', diasUsados)) ++sinHueco;
        }
        EscribirSoluc(carpeta, horario.celdas());
        std::cout << "SOLUC.DBF: " << horario.celdas().size() << " celdas colocadas";
        if (sinHueco > 0) std::cout << ", " << sinHueco << " sesiones sin hueco";
        std::cout << "\n";
        return 0;
    } catch (const std::exception& error) {
        std::cerr << "colocar: " << error.what() << "\n";
        return 1;
    }
}
