// capturas_app CARPETA: the three windows of the desktop program, drawn as a user sees them during an
// export of the sample school with two time frames, saved as PNG files in CARPETA (scripts/capturas
// runs it under Xvfb).
#include "Contestador.h"
#include "Fixtures.h"
#include "app/MainForm.h"

#include <QApplication>
#include <QListWidget>
#include <QPushButton>
#include <QTableView>
#include <QTest>

#include <iostream>

namespace fs = std::filesystem;

namespace {

bool Guardar(QWidget* ventana, const QString& carpeta, const char* nombre)
{
    QTest::qWait(200); // let the window be drawn
    const QString ruta = carpeta + "/" + nombre;
    const bool bien = ventana->grab().save(ruta);
    std::cout << (bien ? "" : "NO ") << "guardada " << ruta.toStdString() << "\n";
    return bien;
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication aplicacion(argc, argv);
    QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
    if (argc != 2) {
        std::cerr << "uso: capturas_app CARPETA\n";
        return 2;
    }
    const QString carpeta = QString::fromLocal8Bit(argv[1]);
    Escenario escenario;
    escenario.copiarCentro("centro-dos-marcos");
    IncrustacionFalsa incrustacion;
    TMForm ventana({}, escenario.carpetas(), incrustacion);
    ventana.show();
    if (!QTest::qWaitForWindowExposed(&ventana)) std::cerr << "la ventana principal no se mostró\n";
    bool bien = Guardar(&ventana, carpeta, "ventana-principal.png");

    ventana.interaccion().fijarSiguienteFichero(fs::path(escenario.fichero("seneca.xml").toStdString()));
    ventana.interaccion().fijarSiguienteFichero(fs::path(escenario.fichero("planificacion.xml").toStdString()));
    Contestador contestador;
    auto aceptar = [](QWidget* caja) { QMetaObject::invokeMethod(caja, "accept", Qt::QueuedConnection); };
    contestador.luego(aceptar).luego(aceptar).luego(aceptar);
    contestador.luego([&](QWidget* dialogo) {
        auto* rejilla = dialogo->findChild<QTableView*>("CursosTDBGrid");
        const char* valores[][2] = {{"ESO", "1"}, {"ESO", "2"}, {"BCT", "1"}};
        for (int fila = 0; fila < rejilla->model()->rowCount() && fila < 3; ++fila) {
            rejilla->model()->setData(rejilla->model()->index(fila, 2), valores[fila][0]);
            if (fila < 2) rejilla->model()->setData(rejilla->model()->index(fila, 3), valores[fila][1]);
        }
        rejilla->setCurrentIndex(rejilla->model()->index(2, 3));
        rejilla->setFocus();
        bien = Guardar(dialogo, carpeta, "niveles-y-cursos.png") && bien;
        rejilla->model()->setData(rejilla->model()->index(2, 3), "1");
        dialogo->findChild<QPushButton*>("BitBtn1")->click();
    });
    contestador.luego([&](QWidget* dialogo) {
        if (!QTest::qWaitForWindowActive(dialogo)) std::cerr << "los marcos no llegaron a activarse\n";
        auto* lista = dialogo->findChild<QListWidget*>("ListBox2");
        QTest::mouseClick(lista->viewport(), Qt::LeftButton, {}, lista->visualItemRect(lista->item(0)).center());
        bien = Guardar(dialogo, carpeta, "marcos-horarios.png") && bien;
        dialogo->findChild<QPushButton*>("BitBtnContinuar")->click();
    });
    contestador.luego(aceptar);
    ventana.findChild<QPushButton*>("BExportar")->click();
    contestador.esperarFin();
    for (const QString& fallo : contestador.fallos())
        std::cerr << fallo.toStdString() << "\n";
    return bien && contestador.fallos().isEmpty() && contestador.terminado() ? 0 : 1;
}
