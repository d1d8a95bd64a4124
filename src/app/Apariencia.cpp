#include "app/Apariencia.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QWindow>

PanelDegradado::PanelDegradado(QColor inicio, QColor medio, QColor fin, QWidget* parent)
    : QWidget(parent), inicio_(inicio), medio_(medio), fin_(fin)
{
}

void PanelDegradado::paintEvent(QPaintEvent*)
{
    QLinearGradient degradado(0, 0, 0, height());
    degradado.setColorAt(0.0, inicio_);
    degradado.setColorAt(0.5, medio_);
    degradado.setColorAt(1.0, fin_);
    QPainter pintor(this);
    pintor.fillRect(rect(), degradado);
}

QIcon IconoVisto()
{
    QIcon icono;
    for (int lado : {16, 32}) {
        QPixmap dibujo(lado, lado);
        dibujo.fill(Qt::transparent);
        QPainter pintor(&dibujo);
        pintor.setRenderHint(QPainter::Antialiasing);
        pintor.scale(lado / 16.0, lado / 16.0);
        QPainterPath trazo;
        trazo.moveTo(2.5, 8.5);
        trazo.lineTo(6.5, 12.5);
        trazo.lineTo(13.5, 3.5);
        pintor.setPen(QPen(QColor(0x00, 0x80, 0x00), 2.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        pintor.drawPath(trazo);
        icono.addPixmap(dibujo);
    }
    return icono;
}

QWidget* DuenoDeDialogo(QWidget* ventana)
{
    if (!ventana) return nullptr;
    QWidget* propia = ventana->window();
    const QWindow* nativa = propia->windowHandle();
    return nativa && !nativa->isTopLevel() ? nullptr : ventana;
}

QFont Fuente(const QString& familia, int pixeles, bool negrita)
{
    // Arial's metrics (Liberation Sans elsewhere) keep the texts within the places given for them.
    QFont fuente;
    fuente.setFamilies({familia, "Arial", "Liberation Sans"});
    fuente.setPixelSize(pixeles);
    fuente.setBold(negrita);
    return fuente;
}
