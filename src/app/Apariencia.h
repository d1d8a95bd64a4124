#pragma once
#include <QColor>
#include <QIcon>
#include <QWidget>

// The caption of every plain message box and the program's title.
inline constexpr const char* kTituloAplicacion = "TransZentarPlanif";

// A panel filled with a three-colour gradient, top to bottom, on which the windows are drawn.
class PanelDegradado : public QWidget {
    Q_OBJECT
public:
    PanelDegradado(QColor inicio, QColor medio, QColor fin, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* evento) override;

private:
    QColor inicio_, medio_, fin_;
};

// The confirmation glyph of the "OK" buttons: a green tick.
QIcon IconoVisto();
// The owner for a dialog over the window: none when the window lives inside another program's
// window, since only a top-level window can own a dialog there.
QWidget* DuenoDeDialogo(QWidget* ventana);
// A font by family and pixel size, as the windows' texts are given.
QFont Fuente(const QString& familia, int pixeles, bool negrita = false);
