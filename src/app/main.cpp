#include "app/Apariencia.h"
#include "app/Ayuda.h"
#include "app/Incrustacion.h"
#include "app/MainForm.h"

#include <QApplication>
#include <QFile>

#include <memory>

int main(int argc, char* argv[])
{
    QApplication aplicacion(argc, argv);
    QApplication::setApplicationName(kTituloAplicacion);
    FiltroAyuda ayuda;
    aplicacion.installEventFilter(&ayuda);

    std::unique_ptr<Incrustacion> incrustacion;
    if (QGuiApplication::platformName() == "xcb")
        incrustacion = std::make_unique<IncrustacionX11>();
    else
        incrustacion = std::make_unique<IncrustacionNoDisponible>();
    const std::filesystem::path programa = QFile::encodeName(QCoreApplication::applicationDirPath()).toStdString();

    TMForm ventana(QApplication::arguments().mid(1), {CarpetaTrabajoPorDefecto(), programa}, *incrustacion);
    QObject::connect(&ventana, &TMForm::programaTerminado, &aplicacion, &QCoreApplication::exit);
    ventana.show();
    return QApplication::exec();
}
