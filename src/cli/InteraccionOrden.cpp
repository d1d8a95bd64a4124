#include "cli/InteraccionOrden.h"

#include "comun/Error.h"
#include "export/Plantihoras.h"
#include "text/Texto.h"

#include <iostream>

void InteraccionOrden::mensaje(const std::string& texto, TipoMensaje tipo)
{
    switch (tipo) {
    case TipoMensaje::Indicacion:
        break; // the files come from the options: nothing to tell
    case TipoMensaje::Incidencia:
        std::cerr << texto << "\n";
        break;
    case TipoMensaje::Resultado:
        // "Proceso finalizado" is the command's own last line, printed once its outputs are named.
        if (texto != "Proceso finalizado") std::cerr << texto << "\n";
        break;
    }
}

bool InteraccionOrden::preguntar(const std::string&, const std::string&)
{
    return recuperar;
}

std::optional<std::filesystem::path> InteraccionOrden::elegirFichero(DialogoFichero dialogo)
{
    return dialogo == DialogoFichero::Seneca ? ficheroSeneca : ficheroPlanificacion;
}

void InteraccionOrden::mostrarCursos(ControlCursos& cursos)
{
    cursos.FormShow();
    if (cursosRechazados_) {
        // The answers were already given once and were not enough: give up as the forced exit does.
        cursos.BitBtn2Click();
        return;
    }
    for (std::size_t i = 0; i < cursos.numFilas(); ++i) {
        auto dato = niveles.find(cursos.fila(i).clave);
        if (dato == niveles.end()) continue;
        cursos.fijarNivel(i, dato->second.nivel);
        cursos.fijarCurso(i, dato->second.curso);
    }
    incompletos_ = cursos.filasIncompletas();
    cursos.BitBtn1Click();
    cursosRechazados_ = cursos.FaltanDatos();
}

void InteraccionOrden::mostrarMarcos(Plantillas& plantillas)
{
    // The answer was checked before the run; should it still be refused, asking again would never end.
    if (marcosRespondidos_) throw Error("Los Marcos Horarios indicados con --marcos no son válidos.");
    marcosRespondidos_ = true;
    plantillas.FormActivate();
    std::vector<std::size_t> lineas;
    for (std::size_t i = 0; i < plantillas.marcos().size(); ++i)
        for (const std::string& codigo : marcos)
            if (QuitaBlancos(plantillas.marcos()[i]) == codigo) lineas.push_back(i);
    plantillas.FormClose(lineas);
}
