#pragma once
#include <QDialog>
#include <QObject>
#include <QUrl>

class QTextBrowser;

// Help topics, as the windows' help contexts name them: 1 the main window and the level and course
// dialog, 3 the time-frame dialog; 0 is the contents page.
namespace TemaAyuda {
inline constexpr int Contenido = 0;
inline constexpr int Principal = 1;
inline constexpr int Marcos = 3;
} // namespace TemaAyuda

// The program's own help, bundled as resources and shown in a browser window.
class VentanaAyuda : public QDialog {
    Q_OBJECT
public:
    explicit VentanaAyuda(QWidget* parent = nullptr);
    void mostrarTema(int tema);
    QUrl pagina() const;

private:
    QTextBrowser* navegador_;
};

// Opens the help at a topic, above the window the user is working in (a modal one included).
void MostrarAyuda(int tema);
// The help window now open, if any.
VentanaAyuda* AyudaAbierta();

// F1 anywhere in the program opens the topic of the window in focus (the "temaAyuda" property
// of the window or of its owners; topic 1 when none has one).
class FiltroAyuda : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override;
};
