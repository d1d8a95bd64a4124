// The two whole runs on a large school: 90 teachers, 12 courses with 40 units, 396 subject records,
// two time frames of 7 slots, the catalogues, and a computed timetable of about 2500 cells.
#include "comun/Error.h"
#include "data/Tabla.h"
#include "export/Cursos.h"
#include "export/Exportacion.h"
#include "export/Plantihoras.h"
#include "import/Importacion.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr int kProfesores = 90;
constexpr int kCursos = 12;
constexpr int kUnidades = 40;
constexpr int kMateriasPorCurso = 33;
constexpr int kMateriasCargadas = 11; // subjects of each unit that the planning gives a teacher
constexpr int kTramosPorMarco = 7;

const char* const kNombres[] = {"María", "José", "Lucía", "Manuel", "Ángela", "Rafael", "Carmen", "Peter", "Inés"};
const char* const kApellidos[] = {"García", "López", "Martín", "Sánchez", "Pérez", "Gómez",
                                  "Ruiz",   "Núñez", "Díaz",   "Ortega",  "Moreno"};
const char* const kMaterias[] = {"Lengua", "Matemáticas", "Historia", "Biología",   "Física",   "Química",
                                 "Inglés", "Música",      "Dibujo",   "Tecnología", "Filosofía"};

struct NivelCurso {
    const char* nivel;
    const char* curso;
    int nivelSeneca; // 1 ESO, 2 Bachillerato, 3 Formación Profesional
};
const std::vector<NivelCurso> kNiveles = {{"ESO", "1", 1}, {"ESO", "2", 1}, {"ESO", "3", 1}, {"ESO", "4", 1},
                                          {"BCT", "1", 2}, {"BCT", "2", 2}, {"BHC", "1", 2}, {"BHC", "2", 2},
                                          {"GAD", "1", 3}, {"GAD", "2", 3}, {"FPB", "1", 3}, {"FPB", "2", 3}};

// The Séneca keys of the school, and where its units belong.
struct Claves {
    static std::string oferta(int curso) { return std::to_string(6001 + curso); }
    static std::string unidad(int unidad) { return std::to_string(7001 + unidad); }
    static std::string aula(int unidad) { return std::to_string(8001 + unidad); } // each unit has its own room
    static std::string materia(int curso, int materia) { return std::to_string(10000 + 100 * curso + materia); }
    static int cursoDeUnidad(int unidad) { return unidad * kCursos / kUnidades; } // 3 or 4 units a course
};

// The subjects shared by courses of the same year come first; the rest are each course's own projects.
std::string NombreMateria(int curso, int materia)
{
    const std::string base = kMaterias[materia % std::size(kMaterias)];
    if (materia < kMateriasCargadas) return base + " " + std::to_string(curso % 4 + 1);
    return "Proyecto de " + base + " " + std::to_string(curso * kMateriasPorCurso + materia);
}

using Filas = std::vector<std::vector<std::string>>;

// The datos of one record or section: their names separated by blanks, one value for each.
std::string Datos(const std::string& nombres, const std::vector<std::string>& valores)
{
    std::istringstream lista(nombres);
    std::string texto, nombre;
    for (const std::string& valor : valores)
        if (lista >> nombre) texto += "<dato nombre_dato=\"" + nombre + "\">" + valor + "</dato>";
    return texto;
}

std::string Grupo(const std::string& seq, const std::string& contenido)
{
    return "<grupo_datos seq=\"" + seq + "\">" + contenido + "</grupo_datos>\n";
}

std::string Sobre(const std::string& modulo, const std::string& bloque)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<SERVICIO modulo=\"" + modulo +
           "\" tipo=\"E\" autor=\"SENECA\" fecha=\"01/09/2026 10:00:00\">\n<BLOQUE_DATOS>\n" + bloque +
           "</BLOQUE_DATOS>\n</SERVICIO>\n";
}

// Sections of the exchange files, counting the records written.
struct Secciones {
    long registros = 0;

    // The section's own datos first, then one record per row of values, named prefijo_1, prefijo_2, ...
    std::string operator()(const std::string& seq, const std::string& prefijo, const std::string& nombres,
                           const Filas& filas, const std::string& propios = "")
    {
        std::string cuerpo = propios + "\n";
        for (std::size_t i = 0; i < filas.size(); ++i)
            cuerpo += Grupo(prefijo + "_" + std::to_string(i + 1), Datos(nombres, filas[i]));
        registros += static_cast<long>(filas.size());
        return Grupo(seq, cuerpo);
    }
};

std::string XmlSeneca(Secciones& seccion)
{
    Filas tramos, cursos, materias, empleados, aulas, unidades, cursosNiveles, autorizaciones;
    for (int marco = 0; marco < 2; ++marco)
        for (int t = 0; t < kTramosPorMarco; ++t) {
            const int inicio = (marco == 0 ? 480 : 900) + 55 * t;
            tramos.push_back({std::to_string(100 * (marco + 1) + t + 1), std::to_string(t + 1) + "ª hora",
                              std::to_string(inicio), std::to_string(inicio + 55), marco == 0 ? "J1" : "J2"});
        }
    for (int c = 0; c < kCursos; ++c) {
        cursos.push_back({Claves::oferta(c), std::string(kNiveles[c].curso) + "º de " + kNiveles[c].nivel});
        cursosNiveles.push_back({Claves::oferta(c), std::to_string(kNiveles[c].nivelSeneca)});
        for (int m = 0; m < kMateriasPorCurso; ++m)
            materias.push_back({Claves::oferta(c), NombreMateria(c, m), Claves::materia(c, m)});
    }
    for (std::size_t p = 0; p < kProfesores; ++p)
        empleados.push_back({std::to_string(1001 + p), "01/09/2015", kMaterias[p % std::size(kMaterias)],
                             kNombres[p % std::size(kNombres)],
                             kApellidos[p / std::size(kNombres) % std::size(kApellidos)],
                             kApellidos[p * 7 % std::size(kApellidos)]});
    for (int u = 0; u < kUnidades; ++u) {
        const int c = Claves::cursoDeUnidad(u);
        aulas.push_back({Claves::aula(u), "Aula " + Claves::aula(u)});
        unidades.push_back({Claves::unidad(u), kNiveles[c].nivel + std::to_string(u), Claves::oferta(c)});
    }
    for (const char* nivel : {"1", "2", "3"})
        for (const char* actividad : {"1", "2"})
            autorizaciones.push_back({std::to_string(501 + autorizaciones.size()), actividad, "1", nivel});

    const std::string fechas[] = {"15/09/2026", "22/06/2027"};
    return Sobre(
        "HORARIOS",
        Grupo("ANNO_ACADEMICO", Datos("C_ANNO F_INICIO F_FIN", {"2026", fechas[0], fechas[1]})) +
            seccion("JORNADAS_ESCOLARES", "JORNADA", "X_JORNADA D_JORNADA F_INICIO F_FIN",
                    {{"J1", "Jornada de mañana", fechas[0], fechas[1]},
                     {"J2", "Jornada de tarde", fechas[0], fechas[1]}}) +
            seccion("TRAMOS_HORARIOS", "TRAMO", "X_TRAMO D_TRAMO N_INICIO N_FIN X_JORNADA", tramos) +
            seccion("CURSOS_DEL_CENTRO", "CURSO", "X_OFERTAMATRIG D_OFERTAMATRIG", cursos) +
            seccion("MATERIAS", "MATERIA", "X_OFERTAMATRIG D_MATERIAC X_MATERIAOMG", materias) +
            seccion("ACTIVIDADES", "ACTIVIDAD", "L_REGULAR X_ACTIVIDAD D_ACTIVIDAD",
                    {{"S", "1", "Docencia"},
                     {"S", "2", "Tutoría"},
                     {"N", "12", "Guardia"},
                     {"N", "15", "Reunión"},
                     {"N", "20", "Familias"}}) +
            seccion("EMPLEADOS", "EMPLEADO", "X_EMPLEADO F_TOMAPOS D_DEPARTAMENTO NOMBRE APELLIDO1 APELLIDO2",
                    empleados) +
            seccion("DEPENDENCIAS", "DEPENDENCIA", "X_DEPENDENCIA D_DEPENDENCIA", aulas) +
            seccion("UNIDADES", "UNIDAD", "X_UNIDAD T_NOMBRE X_OFERTAMATRIG", unidades) +
            seccion("ORIGENES", "ORIGEN", "X_CATORIHOR C_ORIHOR D_ORIHOR",
                    {{"1", "HL", "Horario lectivo"}, {"2", "CO", "Cargos y coordinaciones"}}) +
            seccion("NIVELES", "NIVEL", "X_NIVCONPAGLEG C_NIVCON D_NIVCON",
                    {{"1", "ESO", "Secundaria"}, {"2", "BACH", "Bachillerato"}, {"3", "FP", "F. Profesional"}}) +
            seccion("CURSOS_NIVELES", "CURSO_NIVEL", "X_OFERTAMATRIG X_NIVCONPAGLEG", cursosNiveles) +
            seccion("AUTORIZACIONES", "AUTORIZACION", "X_ORIHORACTETP X_ACTIVIDAD X_CATORIHOR X_NIVCONPAGLEG",
                    autorizaciones));
}

// Each unit: 11 subjects of 4 lessons and a tutoring hour; each teacher besides: 8 hours of tasks.
std::string XmlPlanificacion(Secciones& seccion)
{
    std::vector<Filas> cargas(kProfesores);
    const auto carga = [&](int profesor, const std::string& materia, const std::string& oferta,
                           const std::string& unidad, const std::string& nivel, const char* sesiones,
                           const char* origen, const char* actividad) {
        cargas[profesor].push_back({std::to_string(cargas[profesor].size() + 1), materia, oferta, "", unidad,
                                    nivel, "", sesiones, "", "N", origen, "", actividad});
    };
    for (int u = 0; u < kUnidades; ++u) {
        const int c = Claves::cursoDeUnidad(u);
        const std::string nivel = std::to_string(kNiveles[c].nivelSeneca);
        for (int m = 0; m < kMateriasCargadas; ++m)
            carga((u * kMateriasCargadas + m) % kProfesores, Claves::materia(c, m), Claves::oferta(c),
                  Claves::unidad(u), nivel, "1111", "HL", "1");
        carga(2 * u, "", Claves::oferta(c), Claves::unidad(u), nivel, "1", "HL", "2");
    }
    std::string bloque;
    for (int p = 0; p < kProfesores; ++p) {
        carga(p, "", "", "", "", "1111", "", "12");
        carga(p, "", "", "", "", "111", "CO", "15");
        carga(p, "", "", "", "", "1", "", "20");
        const std::string email = "profesor" + std::to_string(p + 1) + "@ies.es";
        bloque +=
            seccion("PROFESOR_" + std::to_string(p + 1), "CARGA",
                    "X_CARGA X_MATERIAOMG X_OFERTAMATRIG D_MATERIA X_UNIDAD X_NIVCONPAGLEG N_HORAS "
                    "C_SESIONES N_ALUMNOS L_DESDOBLE C_ORIHOR X_DEPENDENCIA X_ACTIVIDAD",
                    cargas[p], Datos("X_EMPLEADO NOMBRE DNI EMAIL", {std::to_string(1001 + p), "", "", email}));
    }
    return Sobre("PLANIFICACION", bloque);
}

// A working folder holding the school's two exchange files; removed with everything in it.
struct Centro {
    fs::path carpeta = fs::temp_directory_path() / ("tzp-bench-" + std::to_string(std::random_device{}()));
    fs::path seneca = carpeta / "seneca.xml";
    fs::path planificacion = carpeta / "planificacion.xml";
    long registros = 0; // records of both files

    Centro()
    {
        fs::create_directories(carpeta);
        Secciones seccion;
        std::ofstream(seneca, std::ios::binary) << XmlSeneca(seccion);
        std::ofstream(planificacion, std::ios::binary) << XmlPlanificacion(seccion);
        registros = seccion.registros;
    }
    ~Centro()
    {
        std::error_code ignorado;
        fs::remove_all(carpeta, ignorado);
    }
    Centro(const Centro&) = delete;
    Centro& operator=(const Centro&) = delete;
};

// The user answers as the command does: the two files, every course's level and number, the first frame.
class UsuarioCentro : public Interaccion {
public:
    explicit UsuarioCentro(const Centro& centro) : centro_(centro) {}

    void mensaje(const std::string&, TipoMensaje) override {}
    bool preguntar(const std::string&, const std::string&) override { return true; } // recover earlier levels
    std::optional<fs::path> elegirFichero(DialogoFichero dialogo) override
    {
        return dialogo == DialogoFichero::Seneca ? centro_.seneca : centro_.planificacion;
    }
    void mostrarCursos(ControlCursos& cursos) override
    {
        cursos.FormShow();
        // Refused once: the same answers would be refused again.
        if (cursosMostrados_++ > 0) return cursos.BitBtn2Click();
        for (std::size_t i = 0; i < cursos.numFilas(); ++i) {
            const NivelCurso& nc = kNiveles.at(std::stoi(cursos.fila(i).clave) - 6001);
            cursos.fijarNivel(i, nc.nivel);
            cursos.fijarCurso(i, nc.curso);
        }
        cursos.BitBtn1Click();
    }
    void mostrarMarcos(Plantillas& plantillas) override
    {
        if (marcosMostrados_++ > 0) throw Error("No se aceptó el primer Marco Horario.");
        plantillas.FormActivate();
        plantillas.FormClose({0});
    }
    void ocupado(bool) override {}

private:
    const Centro& centro_;
    int cursosMostrados_ = 0;
    int marcosMostrados_ = 0;
};

// The timetable product's answer: every lesson of ASIGT that has a teacher, one cell per hour in that
// teacher's next slot of frame "0". Groups and rooms may clash; the import does not look at that.
long EscribirSoluc(const fs::path& carpeta)
{
    Tabla asigt = Tabla::abrir(carpeta, "ASIGT", Acceso::Compartido);
    Tabla soluc =
        Tabla::crear(carpeta, "SOLUC",
                     {CampoCaracter("PROF", 10), CampoEntero("DIA"), CampoEntero("HORA"),
                      CampoCaracter("MARCO", 1), CampoCaracter("ASIG", 10), CampoCaracter("TAREA", 10),
                      CampoCaracter("CODGRUPO", 10), CampoCaracter("AULA", 10), CampoCaracter("CCONCIERTO", 20)});
    std::map<std::string, int> ocupados; // slots taken by each teacher
    long celdas = 0;
    for (asigt.primero(); !asigt.fin(); asigt.siguiente()) {
        const std::string profesor = asigt.texto("CPROF"), grupo = asigt.texto("CGRUP");
        if (profesor.empty()) continue;
        // A unit's room key is its own key with 8 in front instead of 7.
        const std::string aula = grupo.empty() ? "" : "8" + asigt.texto("CLAVEGRUPO").substr(1);
        for (const char leccion : asigt.texto("SESIONES"))
            for (int hora = 0; hora < leccion - '0'; ++hora, ++celdas) {
                const int hueco = ocupados[profesor]++ % (7 * kTramosPorMarco);
                soluc.agregar();
                soluc.fijar("PROF", profesor);
                soluc.fijar("DIA", std::to_string(hueco / kTramosPorMarco + 1));
                soluc.fijar("HORA", std::to_string(hueco % kTramosPorMarco + 1));
                soluc.fijar("MARCO", "0");
                soluc.fijar("ASIG", asigt.texto("CASIG"));
                soluc.fijar("TAREA", asigt.texto("CTAREA"));
                soluc.fijar("CODGRUPO", grupo);
                soluc.fijar("AULA", aula);
                soluc.fijar("CCONCIERTO", asigt.texto("CORIGEN"));
                soluc.grabar();
            }
    }
    soluc.cerrar();
    return celdas;
}

enum class Sentido { Exportar, Importar };

// Runs one direction with a fresh session; false, with the benchmark marked as failed, unless it completed.
bool Traspasar(benchmark::State& estado, const Centro& centro, Sentido sentido)
{
    try {
        SesionTraspaso sesion;
        UsuarioCentro usuario(centro);
        const FinTraspaso fin =
            sentido == Sentido::Exportar
                ? EjecutarExportacion(sesion, usuario, centro.carpeta, fs::path(DIR_BIN) / "SENEMATERIAS.DBF")
                : EjecutarImportacion(sesion, usuario, centro.carpeta);
        if (fin == FinTraspaso::Completado) return true;
        estado.SkipWithError("El traspaso no llegó a completarse.");
    } catch (const std::exception& e) {
        estado.SkipWithError(e.what());
    }
    return false;
}

// Items: the records of both exchange files.
void Exportacion(benchmark::State& estado)
{
    const Centro centro;
    for (auto _ : estado)
        if (!Traspasar(estado, centro, Sentido::Exportar)) break;
    estado.SetItemsProcessed(estado.iterations() * centro.registros);
}
BENCHMARK(Exportacion)->Unit(benchmark::kMillisecond);

// Items: the cells of the computed timetable.
void Importacion(benchmark::State& estado)
{
    const Centro centro;
    if (!Traspasar(estado, centro, Sentido::Exportar)) return;
    long celdas = 0;
    try {
        celdas = EscribirSoluc(centro.carpeta);
    } catch (const std::exception& e) {
        return estado.SkipWithError(e.what());
    }
    for (auto _ : estado)
        if (!Traspasar(estado, centro, Sentido::Importar)) break;
    estado.SetItemsProcessed(estado.iterations() * celdas);
}
BENCHMARK(Importacion)->Unit(benchmark::kMillisecond);

} // namespace
