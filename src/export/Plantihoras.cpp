#include "export/Plantihoras.h"

#include "comun/Error.h"
#include "text/Texto.h"

#include <algorithm>
#include <utility>

namespace {

// What the dialog shows of one frame code; no slot list when the file holds fewer than two slots.
struct VistaMarco {
    std::string nombre = "-", fecha1 = "-", fecha2 = "-";
    std::optional<std::vector<std::string>> horas;
};

VistaMarco Vista(const DocumentoXml& doc, const std::string& codigo)
{
    VistaMarco vista;
    const std::vector<NodoXml> jornadas = doc.registros("JORNADAS_ESCOLARES");
    if (jornadas.size() > 1) {
        for (const NodoXml& jornada : jornadas) {
            if (jornada.valorSinQuitar(1) != codigo) continue;
            vista.nombre = jornada.valorSinQuitar(2);
            vista.fecha1 = jornada.valorSinQuitar(3);
            vista.fecha2 = jornada.valorSinQuitar(4);
        }
    }
    const std::vector<NodoXml> tramos = doc.registros("TRAMOS_HORARIOS");
    if (tramos.size() > 1) {
        vista.horas.emplace();
        for (const NodoXml& tramo : tramos)
            if (tramo.valorSinQuitar(5) == codigo) vista.horas->push_back(tramo.valorSinQuitar(2));
    }
    return vista;
}

} // namespace

std::vector<MarcoHorario> LeerMarcos(const DocumentoXml& doc)
{
    std::vector<MarcoHorario> marcos;
    for (const NodoXml& jornada : doc.registros("JORNADAS_ESCOLARES"))
        marcos.push_back({jornada.valorSinQuitar(1), jornada.valorSinQuitar(2), jornada.valorSinQuitar(3),
                          jornada.valorSinQuitar(4)});
    return marcos;
}

Plantillas::Plantillas(std::filesystem::path ficheroSeneca, const DocumentoXml& docCargado,
                       Interaccion& interaccion)
    : ficheroSeneca_(std::move(ficheroSeneca)), docCargado_(docCargado), interaccion_(interaccion)
{
}

void Plantillas::FormActivate()
{
    // The file may have vanished or changed since the run loaded it. Should it no longer offer a choice of
    // frames, no close could ever be valid: the frames are then those of the run's document.
    try {
        docMarcos_ = DocumentoXml::cargar(ficheroSeneca_);
        if (docMarcos_->registros("JORNADAS_ESCOLARES").size() < 2) docMarcos_.reset();
    } catch (const Error&) {
        docMarcos_.reset();
    }
    const DocumentoXml& doc = docMarcos_ ? *docMarcos_ : docCargado_;
    const std::vector<NodoXml> jornadas = doc.registros("JORNADAS_ESCOLARES");
    if (jornadas.size() > 1) {
        lineas_.clear();
        for (const NodoXml& jornada : jornadas)
            lineas_.push_back(jornada.valorSinQuitar(1));
    }
    ListBox2Click(0);
}

void Plantillas::ListBox2Click(std::size_t linea)
{
    if (linea >= lineas_.size() && !lineas_.empty()) return;
    const DocumentoXml& doc = docMarcos_ ? *docMarcos_ : docCargado_;
    // With an empty list the drop-down text is empty, and so is the code in view.
    VistaMarco vista = Vista(doc, linea < lineas_.size() ? lineas_[linea] : std::string());
    nombre_ = std::move(vista.nombre);
    fecha1_ = std::move(vista.fecha1);
    fecha2_ = std::move(vista.fecha2);
    if (vista.horas) horas_ = std::move(*vista.horas);
}

void Plantillas::FormClose(const std::vector<std::size_t>& lineasSeleccionadas)
{
    std::vector<std::size_t> lineas;
    for (std::size_t linea : lineasSeleccionadas)
        if (linea < lineas_.size()) lineas.push_back(linea);
    std::sort(lineas.begin(), lineas.end());
    lineas.erase(std::unique(lineas.begin(), lineas.end()), lineas.end());

    seleccionValida_ = true;
    marcosSeleccionados_.clear();
    if (lineas.size() > 2) {
        interaccion_.mensaje(TextosPlantillas::kDemasiados, TipoMensaje::Incidencia);
        seleccionValida_ = false;
    } else if (lineas.empty()) {
        interaccion_.mensaje(TextosPlantillas::kNinguno, TipoMensaje::Incidencia);
        seleccionValida_ = false;
    }
    for (std::size_t linea : lineas)
        marcosSeleccionados_ += Izquierda(lineas_[linea] + std::string(kAnchoCodigoMarco, ' '), kAnchoCodigoMarco);
}
