#include "app/MainForm.h"

#include "app/Apariencia.h"
#include "app/Ayuda.h"
#include "app/Incrustacion.h"
#include "data/ArchivoIni.h"
#include "export/Exportacion.h"
#include "import/Importacion.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

#include <cstdio>

namespace {

constexpr int kAncho = 632;
constexpr int kAlto = 266;

QLabel* Texto(const QString& texto, QWidget* padre, QRect lugar)
{
    auto* etiqueta = new QLabel(texto, padre);
    etiqueta->setFont(Fuente("Arial", 16, true));
    etiqueta->setWordWrap(true);
    etiqueta->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    etiqueta->setGeometry(lugar);
    return etiqueta;
}

QPushButton* Boton(const QString& nombre, const QString& texto, QWidget* padre, QRect lugar)
{
    auto* boton = new QPushButton(texto, padre);
    boton->setObjectName(nombre);
    boton->setGeometry(lugar);
    return boton;
}

// The direction of parameter 1: only the letters A-Z are lowered.
QString Minusculas(const QString& texto)
{
    QString resultado = texto;
    for (QChar& c : resultado)
        if (c >= 'A' && c <= 'Z') c = QChar(c.unicode() - 'A' + 'a');
    return resultado;
}

} // namespace

TMForm::TMForm(QStringList parametros, Carpetas carpetas, Incrustacion& incrustacion, QWidget* parent)
    : QWidget(parent), parametros_(std::move(parametros)), carpetas_(std::move(carpetas)),
      incrustacion_(incrustacion), interaccion_(this, carpetas_.trabajo)
{
    construir();
    FormCreate();
}

TMForm::~TMForm() = default;

std::filesystem::path TMForm::ficheroIni() const
{
    return carpetas_.programa / "Quintara.ini";
}

void TMForm::construir()
{
    setObjectName("MForm");
    setWindowTitle("Exportar e importar datos entre Quintara y Planificación (OTUR)");
    setProperty("temaAyuda", TemaAyuda::Principal);
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(kAncho, kAlto);
    setFont(Fuente("MS Sans Serif", 11));
    QPalette fondo = palette();
    fondo.setColor(QPalette::Window, QColor(0xCC, 0xD8, 0xE6));
    setPalette(fondo);
    setAutoFillBackground(true);

    lienzo_ = new QWidget(this);
    lienzo_->setGeometry(0, 0, kAncho, kAlto);

    const QColor claro(0xFF, 0xEE, 0xDD), crema(0xF9, 0xD3, 0x7D);
    auto* exportar = new PanelDegradado(crema, Qt::white, claro, lienzo_);
    exportar->setGeometry(0, 0, 315, 169);
    Texto("Transformar datos desde Planificación hacia Quintara ", exportar, {24, 24, 265, 57});
    bExportar_ = Boton("BExportar", "OK", exportar, {96, 120, 89, 25});
    bExportar_->setIcon(IconoVisto());
    connect(bExportar_, &QPushButton::clicked, this, &TMForm::BExportarClick);

    auto* importar = new PanelDegradado(crema, Qt::white, claro, lienzo_);
    importar->setGeometry(316, 0, 317, 169);
    Texto("Transformar datos desde Quintara hacia (Séneca) Planificación", importar, {8, 24, 305, 57});
    bImportar_ = Boton("BImportar", "OK", importar, {96, 120, 89, 25});
    bImportar_->setIcon(IconoVisto());
    connect(bImportar_, &QPushButton::clicked, this, &TMForm::BImportarClick);

    auto* banda =
        new PanelDegradado(QColor(0xC2, 0xCD, 0xFE), QColor(0xCF, 0xF2, 0xFE), QColor(0xCC, 0xD8, 0xE6), lienzo_);
    banda->setGeometry(0, 168, 633, 97);
    auto* salir = Boton("BSalir", "&Salir", banda, {271, 32, 89, 25});
    connect(salir, &QPushButton::clicked, this, &QWidget::close);
    auto* ayuda = Boton("Button1", "F1 AYUDA", banda, {278, 67, 75, 19});
    connect(ayuda, &QPushButton::clicked, this, &TMForm::Button1Click);
    auto* version = new QLabel("TransQuintaraPlanificación para QN17 V-1.2", banda);
    version->setObjectName("LabelVersion");
    QFont negrita = font();
    negrita.setBold(true);
    version->setFont(negrita);
    version->setStyleSheet("color: red;");
    version->move(8, 72);
    version->adjustSize();
}

void TMForm::FormCreate()
{
    sesion_.resultadoTraspaso = 0;
    connect(&incrustacion_, &Incrustacion::anfitrionCerrado, this, &TMForm::anfitrionCerrado);
    if (parametros_.size() != 2) return;
    try {
        incrustacion_.incrustar(*this, LeerIdentificadorVentana(parametros_.at(1)));
        sesion_.modoIntegrado = static_cast<int>(parametros_.size());
    } catch (const std::exception& e) {
        // Not attached: the window keeps its border and no result code is written at close.
        mostrarError(QString::fromStdString(e.what()));
    }
}

void TMForm::showEvent(QShowEvent* evento)
{
    QWidget::showEvent(evento);
    if (mostrado_) return;
    mostrado_ = true;
    if (sesion_.modoIntegrado != 2) {
        if (QScreen* pantalla = screen()) {
            QRect marco = frameGeometry();
            marco.moveCenter(pantalla->availableGeometry().center());
            move(marco.topLeft());
        }
    }
    // The direction runs once the window is on screen; the count of parameters alone decides it.
    if (parametros_.size() == 2) QTimer::singleShot(0, this, &TMForm::FormShow);
}

void TMForm::FormShow()
{
    const QString direccion = Minusculas(parametros_.at(0));
    if (direccion == "importar") BImportarClick();
    if (direccion == "exportar") BExportarClick();
}

void TMForm::resizeEvent(QResizeEvent* evento)
{
    QWidget::resizeEvent(evento);
    lienzo_->move(std::max(0, (width() - kAncho) / 2), std::max(0, (height() - kAlto) / 2));
}

void TMForm::closeEvent(QCloseEvent* evento)
{
    if (sesion_.modoIntegrado == 2 && !terminado_) {
        try {
            escribirResultado();
        } catch (const std::exception& e) {
            // The caller must be able to read the code: the window stays until it can be written.
            mostrarError(QString::fromStdString(e.what()));
            evento->ignore();
            return;
        }
    }
    evento->accept();
}

void TMForm::BExportarClick()
{
    ejecutar([this] {
        return EjecutarExportacion(sesion_, interaccion_, carpetas_.trabajo,
                                   carpetas_.programa / "SENEMATERIAS.DBF");
    });
}

void TMForm::BImportarClick()
{
    ejecutar([this] { return EjecutarImportacion(sesion_, interaccion_, carpetas_.trabajo); });
}

void TMForm::Button1Click()
{
    MostrarAyuda(TemaAyuda::Contenido);
}

void TMForm::ejecutar(const std::function<FinTraspaso()>& traspaso)
{
    FinTraspaso fin;
    try {
        fin = traspaso();
    } catch (const std::exception& e) {
        if (!terminado_) mostrarError(QString::fromStdString(e.what()));
        return;
    }
    const bool integrado = sesion_.modoIntegrado == 2;
    switch (fin) {
    case FinTraspaso::Completado:
        bExportar_->setEnabled(false);
        bImportar_->setEnabled(false);
        if (integrado) close();
        break;
    case FinTraspaso::NoExisteArchivo:
        if (integrado) close();
        break;
    case FinTraspaso::SalidaForzada:
        close();
        break;
    case FinTraspaso::SinPeriodos:
        break;
    }
}

void TMForm::escribirResultado() const
{
    FijarClaveIni(ficheroIni(), "Transformadores", "Transformado", std::to_string(sesion_.resultadoTraspaso));
}

void TMForm::anfitrionCerrado()
{
    if (terminado_) return;
    terminado_ = true;
    int estado = 0;
    if (sesion_.modoIntegrado == 2) {
        try {
            escribirResultado();
        } catch (const std::exception& e) {
            // No window is left to show it in.
            std::fprintf(stderr, "%s\n", e.what());
            estado = 1;
        }
    }
    interaccion_.abandonar();
    emit programaTerminado(estado);
}

void TMForm::mostrarError(const QString& texto)
{
    QMessageBox caja(QMessageBox::Critical, kTituloAplicacion, texto, QMessageBox::Ok,
                     isVisible() ? DuenoDeDialogo(this) : nullptr);
    caja.setObjectName("CajaError");
    caja.setTextFormat(Qt::PlainText);
    caja.exec();
}
