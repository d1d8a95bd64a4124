#pragma once
#include "comun/Interaccion.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <deque>
#include <filesystem>
#include <optional>
#include <vector>

class QDialog;
class QWidget;

// The runs' user as the desktop program sees it: modal message boxes, file dialogs and the two
// dialog windows, the wait cursor while working and the normal cursor over every dialog.
// Tests may script the next answers; a scripted answer is taken instead of showing the box.
class InteraccionQt : public QObject, public Interaccion {
    Q_OBJECT
public:
    InteraccionQt(QWidget* ventana, std::filesystem::path carpetaTrabajo);
    ~InteraccionQt() override;

    void mensaje(const std::string& texto, TipoMensaje tipo) override;
    bool preguntar(const std::string& titulo, const std::string& texto) override;
    std::optional<std::filesystem::path> elegirFichero(DialogoFichero dialogo) override;
    void mostrarCursos(ControlCursos& cursos) override;
    void mostrarMarcos(Plantillas& plantillas) override;
    void ocupado(bool activo) override;

    // The caller's window has gone: the open dialogs close and every further request ends the run.
    void abandonar();

    // Test hooks: the next question is answered, the next file dialog confirms the file (or is
    // cancelled with nothing), without showing them.
    void fijarSiguienteRespuesta(bool aceptar);
    void fijarSiguienteFichero(std::optional<std::filesystem::path> fichero);
    // Every message shown, in order (UTF-8).
    const std::vector<QString>& mensajesMostrados() const { return mensajes_; }

    // Runs a modal dialog with the normal cursor, ending it early if the run is abandoned.
    int ejecutarModal(QDialog& dialogo);

signals:
    // A message is about to be shown (the level dialog shows its incident texts beside it).
    void mensajeAMostrar();

private:
    void comprobarAbandono() const;
    QWidget* encima() const;

    QWidget* ventana_;
    std::filesystem::path carpetaTrabajo_;
    int nivelOcupado_ = 0;
    bool abandonado_ = false;
    std::vector<QPointer<QDialog>> abiertos_;
    std::deque<bool> respuestas_;
    std::deque<std::optional<std::filesystem::path>> ficheros_;
    std::vector<QString> mensajes_;
};
