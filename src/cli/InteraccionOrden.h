#pragma once
#include "comun/Interaccion.h"
#include "export/Cursos.h"

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

// The user of the command: its answers come from the options, its messages go to the terminal.
class InteraccionOrden : public Interaccion {
public:
    struct NivelCurso {
        std::string nivel, curso; // Windows-1252
    };

    std::optional<std::filesystem::path> ficheroSeneca;
    std::optional<std::filesystem::path> ficheroPlanificacion;
    bool recuperar = true;
    std::map<std::string, NivelCurso> niveles; // by course key (Windows-1252)
    std::vector<std::string> marcos;           // chosen frame codes (Windows-1252)

    // The courses that still lacked a level or course number when the export was given up.
    const std::vector<ControlCursos::Fila>& cursosIncompletos() const { return incompletos_; }

    void mensaje(const std::string& texto, TipoMensaje tipo) override;
    bool preguntar(const std::string& titulo, const std::string& texto) override;
    std::optional<std::filesystem::path> elegirFichero(DialogoFichero dialogo) override;
    void mostrarCursos(ControlCursos& cursos) override;
    void mostrarMarcos(Plantillas& plantillas) override;
    void ocupado(bool) override {}

private:
    std::vector<ControlCursos::Fila> incompletos_;
    bool cursosRechazados_ = false;
    bool marcosRespondidos_ = false;
};
