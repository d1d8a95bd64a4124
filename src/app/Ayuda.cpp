#include "app/Ayuda.h"

#include "app/Apariencia.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPointer>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace {

QPointer<VentanaAyuda> ventanaAbierta;

QUrl PaginaDeTema(int tema)
{
    switch (tema) {
    case TemaAyuda::Principal:
        return QUrl("qrc:/ayuda/exportar.html");
    case TemaAyuda::Marcos:
        return QUrl("qrc:/ayuda/marcos.html");
    default:
        return QUrl("qrc:/ayuda/indice.html");
    }
}

int TemaDeVentana(QWidget* ventana)
{
    for (QWidget* w = ventana; w; w = w->parentWidget()) {
        const QVariant tema = w->property("temaAyuda");
        if (tema.isValid()) return tema.toInt();
    }
    return TemaAyuda::Principal;
}

} // namespace

VentanaAyuda::VentanaAyuda(QWidget* parent) : QDialog(parent), navegador_(new QTextBrowser(this))
{
    // The pages live in a static library, whose resources are not registered by themselves.
    Q_INIT_RESOURCE(ayuda);
    setObjectName("VentanaAyuda");
    setWindowTitle("Ayuda de TransZentarPlanif");
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    resize(640, 520);

    auto* contenido = new QPushButton("&Contenido", this);
    auto* atras = new QPushButton("&Atrás", this);
    auto* cerrar = new QPushButton("C&errar", this);
    connect(contenido, &QPushButton::clicked, this, [this] { mostrarTema(TemaAyuda::Contenido); });
    connect(atras, &QPushButton::clicked, navegador_, &QTextBrowser::backward);
    connect(navegador_, &QTextBrowser::backwardAvailable, atras, &QPushButton::setEnabled);
    connect(cerrar, &QPushButton::clicked, this, &QDialog::close);
    atras->setEnabled(false);

    auto* botones = new QHBoxLayout;
    botones->addWidget(contenido);
    botones->addWidget(atras);
    botones->addStretch();
    botones->addWidget(cerrar);
    auto* capa = new QVBoxLayout(this);
    capa->addWidget(navegador_);
    capa->addLayout(botones);
}

void VentanaAyuda::mostrarTema(int tema)
{
    navegador_->setSource(PaginaDeTema(tema));
}

QUrl VentanaAyuda::pagina() const
{
    return navegador_->source();
}

void MostrarAyuda(int tema)
{
    // A window opened while a modal dialog runs must belong to that dialog, or it could not be used.
    QWidget* encima = QApplication::activeModalWidget();
    if (!encima) encima = QApplication::activeWindow();
    if (encima && encima == ventanaAbierta) encima = encima->parentWidget();
    encima = DuenoDeDialogo(encima);
    if (ventanaAbierta && ventanaAbierta->parentWidget() != encima) delete ventanaAbierta.data();
    if (!ventanaAbierta) ventanaAbierta = new VentanaAyuda(encima);
    ventanaAbierta->setWindowFlag(Qt::Window);
    ventanaAbierta->mostrarTema(tema);
    ventanaAbierta->show();
    ventanaAbierta->raise();
    ventanaAbierta->activateWindow();
}

VentanaAyuda* AyudaAbierta()
{
    return ventanaAbierta;
}

bool FiltroAyuda::eventFilter(QObject* objeto, QEvent* evento)
{
    if (evento->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(evento)->key() == Qt::Key_F1 &&
        objeto->isWidgetType()) {
        QWidget* ventana = static_cast<QWidget*>(objeto)->window();
        if (ventana == ventanaAbierta) return false;
        MostrarAyuda(TemaDeVentana(ventana));
        return true;
    }
    return QObject::eventFilter(objeto, evento);
}
