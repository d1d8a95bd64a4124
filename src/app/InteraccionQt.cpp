#include "app/InteraccionQt.h"

#include "app/Apariencia.h"
#include "app/TControlCursos.h"
#include "app/TPlantillas.h"
#include "comun/Error.h"
#include "comun/Sesion.h"

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>

namespace fs = std::filesystem;

namespace {

QString Texto(const std::string& utf8)
{
    // "\n\r" and "\r\n" both mean one line break in the messages.
    return QString::fromStdString(utf8).remove('\r');
}

QString Carpeta(const fs::path& carpeta)
{
    return QFile::decodeName(QByteArray::fromStdString(carpeta.string()));
}

} // namespace

InteraccionQt::InteraccionQt(QWidget* ventana, fs::path carpetaTrabajo)
    : ventana_(ventana), carpetaTrabajo_(std::move(carpetaTrabajo))
{
}

InteraccionQt::~InteraccionQt()
{
    for (; nivelOcupado_ > 0; --nivelOcupado_)
        QApplication::restoreOverrideCursor();
}

void InteraccionQt::mensaje(const std::string& texto, TipoMensaje)
{
    comprobarAbandono();
    mensajes_.push_back(QString::fromStdString(texto));
    emit mensajeAMostrar();
    QMessageBox caja(QMessageBox::NoIcon, kTituloAplicacion, Texto(texto), QMessageBox::Ok, encima());
    caja.setTextFormat(Qt::PlainText);
    ejecutarModal(caja);
}

bool InteraccionQt::preguntar(const std::string& titulo, const std::string& texto)
{
    comprobarAbandono();
    if (!respuestas_.empty()) {
        const bool respuesta = respuestas_.front();
        respuestas_.pop_front();
        return respuesta;
    }
    QMessageBox caja(QMessageBox::Warning, Texto(titulo), Texto(texto), QMessageBox::Ok | QMessageBox::Cancel,
                     encima());
    caja.setTextFormat(Qt::PlainText);
    caja.setDefaultButton(QMessageBox::Ok);
    caja.setEscapeButton(QMessageBox::Cancel);
    ejecutarModal(caja);
    return caja.clickedButton() == caja.button(QMessageBox::Ok);
}

std::optional<fs::path> InteraccionQt::elegirFichero(DialogoFichero dialogo)
{
    comprobarAbandono();
    if (!ficheros_.empty()) {
        auto fichero = ficheros_.front();
        ficheros_.pop_front();
        return fichero;
    }
    const QString titulo =
        dialogo == DialogoFichero::Seneca ? "Archivo XML de SÉNECA" : "Archivo XML de PLANIFICACIÓN";
    QFileDialog selector(encima(), titulo);
    selector.setObjectName(dialogo == DialogoFichero::Seneca ? "OpenDialogXML" : "OpenDialogXML2");
    selector.setAcceptMode(QFileDialog::AcceptOpen);
    // A typed name that does not exist is accepted: the run answers it with "No existe archivo".
    selector.setFileMode(QFileDialog::AnyFile);
    selector.setNameFilter("*.xml");
    selector.setDefaultSuffix("xml");
    std::error_code ignorado;
    const fs::path inicial = CarpetaDialogos(carpetaTrabajo_);
    if (fs::is_directory(inicial, ignorado))
        selector.setDirectory(Carpeta(inicial));
    else if (fs::is_directory(carpetaTrabajo_, ignorado))
        selector.setDirectory(Carpeta(carpetaTrabajo_));
    if (ejecutarModal(selector) != QDialog::Accepted || selector.selectedFiles().isEmpty()) return std::nullopt;
    return fs::path(QFile::encodeName(selector.selectedFiles().first()).toStdString());
}

void InteraccionQt::mostrarCursos(ControlCursos& cursos)
{
    comprobarAbandono();
    TControlCursos dialogo(cursos, *this, encima());
    dialogo.ejecutar();
}

void InteraccionQt::mostrarMarcos(Plantillas& plantillas)
{
    comprobarAbandono();
    TPlantillas dialogo(plantillas, *this, encima());
    dialogo.ejecutar();
}

void InteraccionQt::ocupado(bool activo)
{
    if (activo) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        ++nivelOcupado_;
    } else if (nivelOcupado_ > 0) {
        QApplication::restoreOverrideCursor();
        --nivelOcupado_;
    }
}

void InteraccionQt::abandonar()
{
    abandonado_ = true;
    for (auto it = abiertos_.rbegin(); it != abiertos_.rend(); ++it)
        if (*it) (*it)->reject();
}

void InteraccionQt::fijarSiguienteRespuesta(bool aceptar)
{
    respuestas_.push_back(aceptar);
}

void InteraccionQt::fijarSiguienteFichero(std::optional<fs::path> fichero)
{
    ficheros_.push_back(std::move(fichero));
}

int InteraccionQt::ejecutarModal(QDialog& dialogo)
{
    comprobarAbandono();
    // The wait cursor gives way to the normal one while the user is asked something.
    const bool ocupado = nivelOcupado_ > 0;
    if (ocupado) QApplication::setOverrideCursor(Qt::ArrowCursor);
    abiertos_.push_back(&dialogo);
    const int resultado = dialogo.exec();
    abiertos_.pop_back();
    if (ocupado) QApplication::restoreOverrideCursor();
    comprobarAbandono();
    return resultado;
}

void InteraccionQt::comprobarAbandono() const
{
    if (abandonado_)
        throw Error("La ventana del programa que inició TransZentarPlanif se ha cerrado: el traspaso se "
                    "interrumpe.");
}

QWidget* InteraccionQt::encima() const
{
    if (QWidget* modal = QApplication::activeModalWidget()) return DuenoDeDialogo(modal);
    return DuenoDeDialogo(ventana_);
}
