#pragma once
#include "comun/Interaccion.h"
#include "data/DocumentoXml.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

// Texts of the time-frame dialog (UTF-8).
namespace TextosPlantillas {
inline constexpr const char* kTitulo = "Planillas, Marcos o Jornadas Horarias";
inline constexpr const char* kInstruccion =
    "Seleccione 1, o los 2 Marcos Horarios que quiere aplicar a su Horario en Quintara.";
inline constexpr const char* kComoSeleccionar =
    "Para seleccionar mas de un Marco Horario, mantenga (Ctrl) pulsado y seleccione cada marco con 1 "
    "click del botón izquierdo del ratón.";
inline constexpr const char* kDemasiados =
    "Demasiados Marcos Horarios seleccionados.\nComo máximo puede seleccionar 2 Marcos Horarios";
inline constexpr const char* kNinguno = "Debe al menos seleccionar 1 Marco Horario.";
} // namespace TextosPlantillas

// Frame codes are handed back blank-filled or cut to this width, so two chosen frames make 20 characters.
inline constexpr std::size_t kAnchoCodigoMarco = 10;

// One time frame of the Séneca file ("JORNADAS_ESCOLARES"), values as read (not stripped).
struct MarcoHorario {
    std::string codigo, nombre, fecha1, fecha2; // Windows-1252
};

// The frames of a Séneca document, in document order.
std::vector<MarcoHorario> LeerMarcos(const DocumentoXml& doc);

// The logic of the time-frame dialog (TPlantillas), without any window: one instance serves one
// showing. FormActivate() when it becomes active, ListBox2Click() on a click in the frame list,
// FormClose() with the selected lines when it closes (by "Continuar" or the close box).
class Plantillas {
public:
    // The dialog reloads the Séneca file on every activation; should that fail, or the file no longer hold
    // two frames, it uses the document the run loaded.
    Plantillas(std::filesystem::path ficheroSeneca, const DocumentoXml& docCargado, Interaccion& interaccion);

    // FormActivate: reload, refill the frame list (clearing the selection), show the first frame.
    void FormActivate();
    // The frame list: one line per frame code.
    const std::vector<std::string>& marcos() const { return lineas_; }
    // ListBox2Click / ComboBoxPlantillaChange: show the frame of that line.
    void ListBox2Click(std::size_t linea);

    // The frame in view: "-" until a frame record matches.
    const std::string& nombre() const { return nombre_; }
    const std::string& fecha1() const { return fecha1_; }
    const std::string& fecha2() const { return fecha2_; }
    const std::vector<std::string>& horas() const { return horas_; }

    // FormClose: checks the count (messages for more than 2 or fewer than 1) and builds the result
    // from the selected lines in list order, 10 characters each.
    void FormClose(const std::vector<std::size_t>& lineasSeleccionadas);
    bool SeleccionValida() const { return seleccionValida_; }
    const std::string& MarcosSeleccionados() const { return marcosSeleccionados_; }

private:
    std::filesystem::path ficheroSeneca_;
    const DocumentoXml& docCargado_;
    Interaccion& interaccion_;
    std::optional<DocumentoXml> docMarcos_;
    std::vector<std::string> lineas_;
    std::string nombre_ = "-", fecha1_ = "-", fecha2_ = "-";
    std::vector<std::string> horas_;
    bool seleccionValida_ = false;
    std::string marcosSeleccionados_;
};
