#include "export/Cursos.h"

#include "comun/Error.h"
#include "export/TablasTrabajo.h"
#include "text/Texto.h"

namespace {

constexpr const char* kCursosT = "CURSOST";
constexpr const char* kCursosT2 = "CURSOST2";
// Typed levels and course numbers are cut to the widths of NIVEL and CURSO in CamposCursosT().
constexpr int kAnchoNivel = 5;
constexpr int kAnchoCurso = 3;

// Blanks and control characters around a level or course number do not count as a value.
std::string QuitaControles(const std::string& texto)
{
    std::size_t inicio = 0, fin = texto.size();
    while (inicio < fin && static_cast<unsigned char>(texto[inicio]) <= 32)
        ++inicio;
    while (fin > inicio && static_cast<unsigned char>(texto[fin - 1]) <= 32)
        --fin;
    return texto.substr(inicio, fin - inicio);
}

bool Incompleta(const ControlCursos::Fila& fila)
{
    return QuitaControles(fila.nivel).empty() || QuitaControles(fila.curso).empty();
}

// The dialog works on CURSOST only between FormShow() and the button or close box that ends it.
Tabla& Abierta(std::optional<Tabla>& cursosT)
{
    if (!cursosT) throw Error("La tabla CURSOST no está abierta: el diálogo de niveles y cursos ya se cerró.");
    return *cursosT;
}

void Cerrar(std::optional<Tabla>& tabla)
{
    if (!tabla) return;
    Tabla cerrada = std::move(*tabla);
    tabla.reset();
    cerrada.cerrar();
}

// CURSOST2 may come from an earlier version or another program: every field the save writes must be
// there as text, or a failure halfway would leave the user's levels half-updated.
void ComprobarCampos(const Tabla& tabla)
{
    for (const Campo& esperado : CamposCursos()) {
        bool hallado = false;
        for (const Campo& campo : tabla.campos())
            if (campo.nombre == esperado.nombre && campo.tipo == 'C') hallado = true;
        if (!hallado)
            throw Error("La tabla " + tabla.nombre() + " no tiene el campo de texto " + esperado.nombre +
                        "; no se guardan en ella los niveles y cursos.");
    }
}

} // namespace

std::vector<Campo> CamposCursos()
{
    return CamposCursosT();
}

ControlCursos::ControlCursos(std::filesystem::path carpeta, Interaccion& interaccion, bool dialogoRepetido)
    : carpeta_(std::move(carpeta)), interaccion_(interaccion), dialogoRepetido_(dialogoRepetido)
{
}

void ControlCursos::FormShow()
{
    cursosT_ = Tabla::abrir(carpeta_, kCursosT, Acceso::Exclusivo);
    filas_.clear();
    for (cursosT_->primero(); !cursosT_->fin(); cursosT_->siguiente())
        filas_.push_back({cursosT_->texto("CLAVE"), cursosT_->texto("ESTUD"), cursosT_->texto("NIVEL"),
                          cursosT_->texto("CURSO")});

    if (Tabla::existe(carpeta_, kCursosT2)) {
        if (interaccion_.preguntar(TextosCursos::kTituloRecuperacion, TextosCursos::kTextoRecuperacion)) {
            Tabla cursosT2 = Tabla::abrir(carpeta_, kCursosT2, Acceso::Compartido);
            for (std::size_t i = 0; i < filas_.size(); ++i) {
                if (!cursosT2.localizar("CLAVE", {filas_[i].clave})) continue;
                filas_[i].nivel = cursosT2.texto("NIVEL");
                filas_[i].curso = cursosT2.texto("CURSO");
                guardarEnCursos(i);
            }
            cursosT2.cerrar();
        } else {
            Tabla::borrar(carpeta_, kCursosT2);
        }
    }
    salidaForzadaVisible_ = dialogoRepetido_;
}

void ControlCursos::CursosTDBGridEnter()
{
    // Entering the grid of an empty table starts a new, blank row, as the data grid does.
    if (!cursosT_ || !filas_.empty()) return;
    cursosT_->agregar();
    cursosT_->grabar();
    filas_.push_back({});
}

void ControlCursos::CursosTDBGridColEnter()
{
    salidaForzadaVisible_ = false;
}

std::size_t ControlCursos::numFilas() const
{
    return filas_.size();
}

const ControlCursos::Fila& ControlCursos::fila(std::size_t indice) const
{
    return filas_.at(indice);
}

void ControlCursos::fijarNivel(std::size_t indice, std::string_view nivel)
{
    filas_.at(indice).nivel = Izquierda(std::string(nivel), kAnchoNivel);
    guardarEnCursos(indice);
}

void ControlCursos::fijarCurso(std::size_t indice, std::string_view curso)
{
    filas_.at(indice).curso = Izquierda(std::string(curso), kAnchoCurso);
    guardarEnCursos(indice);
}

void ControlCursos::BitBtn1Click()
{
    Abierta(cursosT_);
    faltanDatos_ = false;
    for (std::size_t i = 0; i < filas_.size(); ++i) {
        Fila& fila = filas_[i];
        const std::string nivel = QuitaControles(fila.nivel);
        const std::string curso = QuitaControles(fila.curso);
        if (nivel != fila.nivel || curso != fila.curso) {
            fila.nivel = nivel;
            fila.curso = curso;
            guardarEnCursos(i);
        }
        if (nivel.empty() || curso.empty()) {
            faltanDatos_ = true;
            break;
        }
    }
    if (faltanDatos_) {
        incidenciaVisible_ = true;
        interaccion_.mensaje(TextosCursos::kFaltaDato, TipoMensaje::Incidencia);
        salidaForzadaVisible_ = true;
    } else {
        guardarCursosT2();
    }
    Cerrar(cursosT_);
}

void ControlCursos::BitBtn2Click()
{
    Cerrar(cursosT_);
    faltanDatos_ = false;
    marcaSalida_ = "fuera";
}

void ControlCursos::cerrarVentana()
{
    Cerrar(cursosT_);
}

std::vector<ControlCursos::Fila> ControlCursos::filasIncompletas() const
{
    std::vector<Fila> incompletas;
    for (const Fila& fila : filas_)
        if (Incompleta(fila)) incompletas.push_back(fila);
    return incompletas;
}

void ControlCursos::guardarEnCursos(std::size_t indice)
{
    Tabla& cursosT = Abierta(cursosT_);
    cursosT.primero();
    for (std::size_t i = 0; i < indice && !cursosT.fin(); ++i)
        cursosT.siguiente();
    if (cursosT.fin())
        throw Error("La tabla CURSOST no tiene la fila " + std::to_string(indice + 1) +
                    ": no se puede guardar el nivel y el curso.");
    cursosT.editar();
    cursosT.fijar("NIVEL", filas_[indice].nivel);
    cursosT.fijar("CURSO", filas_[indice].curso);
    cursosT.grabar();
    filas_[indice].nivel = cursosT.texto("NIVEL");
    filas_[indice].curso = cursosT.texto("CURSO");
}

void ControlCursos::guardarCursosT2()
{
    // All edits happen in memory and reach the disk in one replacement at cerrar(), so the user's
    // earlier levels are never left half-updated.
    Tabla cursosT2 = Tabla::existe(carpeta_, kCursosT2) ? Tabla::abrir(carpeta_, kCursosT2, Acceso::Exclusivo)
                                                        : Tabla::crear(carpeta_, kCursosT2, CamposCursos());
    ComprobarCampos(cursosT2);
    Tabla& cursosT = Abierta(cursosT_);
    for (cursosT.primero(); !cursosT.fin(); cursosT.siguiente()) {
        if (cursosT2.localizar("CLAVE", {cursosT.texto("CLAVE")})) {
            cursosT2.editar();
            cursosT2.fijar("NIVEL", cursosT.texto("NIVEL"));
            cursosT2.fijar("CURSO", cursosT.texto("CURSO"));
        } else {
            cursosT2.agregar();
            for (const Campo& campo : CamposCursos())
                cursosT2.fijar(campo.nombre, cursosT.texto(campo.nombre));
        }
        cursosT2.grabar();
    }
    cursosT2.cerrar();
}
