#include "Contestador.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTest>

Contestador* Contestador::actual_ = nullptr;

namespace {

QString Descripcion(QWidget* w)
{
    if (auto* caja = qobject_cast<QMessageBox*>(w)) return caja->windowTitle() + " | " + caja->text();
    return w->windowTitle() + " | " + w->metaObject()->className();
}

} // namespace

Contestador::Contestador()
{
    // Only the newest one answers: an older one of the same test stops watching.
    if (actual_) actual_->reloj_.stop();
    actual_ = this;
    reloj_.setInterval(15);
    connect(&reloj_, &QTimer::timeout, this, &Contestador::revisar);
    reloj_.start();
}

Contestador::~Contestador()
{
    if (actual_ == this) actual_ = nullptr;
}

Contestador& Contestador::luego(Accion accion)
{
    acciones_.push_back(std::move(accion));
    return *this;
}

void Contestador::fallar(const QString& texto)
{
    if (actual_) actual_->fallos_ << texto;
}

void Contestador::revisar()
{
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal || !modal->isVisible()) return;
    for (const auto& atendido : atendidos_)
        if (atendido.data() == modal) return;
    atendidos_.emplace_back(modal);
    vistos_ << Descripcion(modal);
    if (acciones_.empty()) {
        fallos_ << "ventana inesperada: " + Descripcion(modal);
        QMetaObject::invokeMethod(modal, "reject", Qt::QueuedConnection);
        return;
    }
    Accion accion = std::move(acciones_.front());
    acciones_.pop_front();
    // The action may open further modal windows: it runs from the event loop, not from here.
    QPointer<QWidget> destino(modal);
    QTimer::singleShot(0, this, [accion, destino] {
        if (destino) accion(destino);
    });
}

bool Contestador::esperarFin(int milisegundos)
{
    return QTest::qWaitFor([this] { return acciones_.empty() && !QApplication::activeModalWidget(); },
                           milisegundos);
}

QString Contestador::informe() const
{
    return "vistas: " + vistos_.join(" / ") + (fallos_.isEmpty() ? "" : "\nfallos: " + fallos_.join("\n"));
}

Contestador::Accion Contestador::aceptarMensaje(const QString& texto)
{
    return [texto](QWidget* w) {
        auto* caja = qobject_cast<QMessageBox*>(w);
        if (!caja) {
            fallar("se esperaba el mensaje «" + texto + "» y llegó " + Descripcion(w));
        } else if (caja->windowTitle() != "TransZentarPlanif" || caja->text() != texto ||
                   caja->icon() != QMessageBox::NoIcon || caja->buttons().size() != 1) {
            fallar("mensaje distinto: «" + Descripcion(w) + "», se esperaba «" + texto + "»");
        }
        if (caja && !caja->buttons().isEmpty())
            caja->buttons().first()->click();
        else
            QMetaObject::invokeMethod(w, "reject", Qt::QueuedConnection);
    };
}

Contestador::Accion Contestador::responder(const QString& titulo, const QString& texto, bool aceptar)
{
    return [titulo, texto, aceptar](QWidget* w) {
        auto* caja = qobject_cast<QMessageBox*>(w);
        if (!caja || caja->windowTitle() != titulo || caja->text() != texto ||
            caja->icon() != QMessageBox::Warning || caja->buttons().size() != 2 ||
            !caja->button(QMessageBox::Ok) || !caja->button(QMessageBox::Cancel)) {
            fallar("se esperaba la pregunta «" + titulo + "» y llegó " + Descripcion(w));
            QMetaObject::invokeMethod(w, "reject", Qt::QueuedConnection);
            return;
        }
        caja->button(aceptar ? QMessageBox::Ok : QMessageBox::Cancel)->click();
    };
}

Contestador::Accion Contestador::aceptarError()
{
    return [](QWidget* w) {
        auto* caja = qobject_cast<QMessageBox*>(w);
        if (!caja || caja->icon() != QMessageBox::Critical || caja->windowTitle() != "TransZentarPlanif")
            fallar("se esperaba la caja de error y llegó " + Descripcion(w));
        QMetaObject::invokeMethod(w, "reject", Qt::QueuedConnection);
    };
}

Contestador::Accion Contestador::elegirFichero(const QString& titulo, const QString& ruta)
{
    return [titulo, ruta](QWidget* w) {
        auto* dialogo = qobject_cast<QFileDialog*>(w);
        auto* nombre = w->findChild<QLineEdit*>("fileNameEdit");
        if (!dialogo || dialogo->windowTitle() != titulo || !nombre) {
            fallar("se esperaba el diálogo «" + titulo + "» y llegó " + Descripcion(w));
            QMetaObject::invokeMethod(w, "reject", Qt::QueuedConnection);
            return;
        }
        if (dialogo->nameFilters() != QStringList{"*.xml"} || dialogo->defaultSuffix() != "xml")
            fallar("filtro o extensión del diálogo «" + titulo + "»");
        nombre->setText(ruta);
        QMetaObject::invokeMethod(dialogo, "accept");
    };
}

Contestador::Accion Contestador::cancelarFichero(const QString& titulo)
{
    return [titulo](QWidget* w) {
        if (!qobject_cast<QFileDialog*>(w) || w->windowTitle() != titulo)
            fallar("se esperaba el diálogo «" + titulo + "» y llegó " + Descripcion(w));
        QMetaObject::invokeMethod(w, "reject", Qt::QueuedConnection);
    };
}
