// Complete runs through the main window, the user played by the test: file choice, levels typed
// into the grid, frames selected, the recovery question both ways, a refused confirmation and the
// forced exit, and a failing run followed by one that works.
#include "Contestador.h"
#include "Fixtures.h"
#include "app/Ayuda.h"
#include "app/MainForm.h"
#include "data/Tabla.h"
#include "export/Cursos.h"
#include "text/Texto.h"

#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QTableView>
#include <QTest>

namespace fs = std::filesystem;

namespace {

const QString kAviso = "Debe disponer de 2 ficheros XML. Uno procedente de SÉNECA, y otro de PLANIFICACIÓN.\n"
                       "Ambos ficheros deberán estar ubicados en una misma carpeta.";
const QString kSeneca = "Seleccione ahora el fichero XML procedente de SÉNECA";
const QString kPlanificacion = "Seleccione ahora el fichero XML procedente de PLANIFICACIÓN";
const QString kSenecaImportar = "Seleccione ahora el fichero XML procedente de SÉNECA\n"
                                "que utilizó en su momento para la recogida de datos. ";
const QString kRecuperacion = "Recuperación de Niveles y Cursos importados anteriormente";
const QString kPreguntaRecuperacion = "Existen Niveles y Cursos ya definidos de una Importación anterior.\n"
                                      "¿Quiere recuperar las codificaciones introducidas anteriormente?";

template <typename T> T* Hijo(QWidget* w, const char* nombre)
{
    T* hijo = w->findChild<T*>(nombre);
    if (!hijo) qFatal("falta %s", nombre);
    return hijo;
}

void Comprobar(bool condicion, const QString& fallo)
{
    if (!condicion) Contestador::fallar(fallo);
}

// Types into whatever has the keyboard focus, as the user does.
void Teclear(const QString& texto)
{
    for (QChar c : texto) {
        if (!QApplication::focusWidget()) return Contestador::fallar("nada tiene el foco para teclear " + texto);
        QTest::keyClick(QApplication::focusWidget(), c.toLatin1());
    }
}

void Intro()
{
    if (!QApplication::focusWidget()) return Contestador::fallar("nada tiene el foco para pulsar Intro");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
}

QString Celda(QTableView* rejilla, int fila, int columna)
{
    return rejilla->model()->index(fila, columna).data().toString();
}

bool Visible(QWidget* dialogo, const char* nombre)
{
    return Hijo<QWidget>(dialogo, nombre)->isVisible();
}

void EsperarActiva(QWidget* w)
{
    Comprobar(QTest::qWaitForWindowActive(w, Contestador::kEspera),
              "la ventana no llegó a activarse: " + w->windowTitle());
}

void EscribirCursosT2(const fs::path& carpeta, const std::vector<std::array<const char*, 3>>& filas)
{
    Tabla t = Tabla::crear(carpeta, "CURSOST2", CamposCursos());
    for (const auto& [clave, nivel, curso] : filas) {
        t.agregar();
        t.fijar("CLAVE", clave);
        t.fijar("NIVEL", nivel);
        t.fijar("CURSO", curso);
        t.grabar();
    }
    t.cerrar();
}

} // namespace

class PruebaTraspaso : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void exportarEImportar();
    void recuperacionYSalidaForzada();
    void errorYSegundaEjecucion();
    void cajasDeCierre();

private:
    FiltroAyuda filtroAyuda_;
};

void PruebaTraspaso::initTestCase()
{
    QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
    qApp->installEventFilter(&filtroAyuda_);
}

void PruebaTraspaso::exportarEImportar()
{
    Escenario escenario;
    escenario.copiarCentro("centro-dos-marcos");
    IncrustacionFalsa incrustacion;
    TMForm ventana({}, escenario.carpetas(), incrustacion);
    ventana.show();
    QVERIFY(QTest::qWaitForWindowExposed(&ventana, Contestador::kEspera));

    auto cursos = [](QWidget* dialogo) {
        EsperarActiva(dialogo);
        auto* rejilla = Hijo<QTableView>(dialogo, "CursosTDBGrid");
        Comprobar(dialogo->windowTitle() == "Asignación de Niveles y Cursos" && dialogo->size() == QSize(686, 499),
                  "título o tamaño de la ventana de cursos");
        Comprobar(rejilla->model()->rowCount() == 3 &&
                      rejilla->model()->headerData(0, Qt::Horizontal) == "CÓD.SÉNECA",
                  "filas o títulos de la rejilla");
        Comprobar(!Visible(dialogo, "BitBtn2") && !Visible(dialogo, "TextoIncidencia"),
                  "la primera vez no se ofrece la salida forzada");
        Comprobar(!(rejilla->model()->index(0, 0).flags() & Qt::ItemIsEditable), "CÓD.SÉNECA no se edita");
        const std::pair<const char*, QRect> lugares[] = {
            {"Navegador", {105, 29, 275, 24}},       {"CursosTDBGrid", {3, 56, 454, 433}},
            {"TextoIncidencia", {473, 72, 180, 65}}, {"BitBtn1", {519, 397, 101, 25}},
            {"BitBtn2", {463, 424, 218, 24}},        {"AvisoSalida", {479, 450, 182, 39}}};
        for (const auto& [nombre, lugar] : lugares)
            Comprobar(Hijo<QWidget>(dialogo, nombre)->geometry() == lugar, QString("lugar de ") + nombre);
        Comprobar(Hijo<QLabel>(dialogo, "TextoIncidencia")->text() ==
                      "Se ha detectado que falta por indicar algún NIVEL  o CURSO. Complete el/los datos que "
                      "falten, para poder concluir el proceso, antes de Salir.",
                  "texto de la incidencia");
        Comprobar(Hijo<QPushButton>(dialogo, "BitBtn2")->text() == "Forzar Salida Sin Terminar Proceso " &&
                      Hijo<QLabel>(dialogo, "AvisoSalida")->text() ==
                          "¡ Atención ! Si fuerza la Salida, los Datos recogidos serán INCOHERENTES.",
                  "textos de la salida forzada");
        rejilla->setFocus();
        // Enter moves to the next column; from CURSO to the level of the next row.
        for (const auto& [nivel, curso] : {std::pair{"ESO", "1"}, {"ESO", "2"}, {"BCT", "1"}}) {
            Teclear(nivel);
            Intro();
            Teclear(curso);
            Intro();
        }
        Comprobar(Celda(rejilla, 0, 2) == "ESO" && Celda(rejilla, 1, 3) == "2" && Celda(rejilla, 2, 2) == "BCT" &&
                      Celda(rejilla, 2, 3) == "1",
                  "lo tecleado no llegó a la rejilla: " + Celda(rejilla, 2, 2) + "/" + Celda(rejilla, 2, 3));
        // F1 here opens topic 1, as in the main window.
        QTest::keyClick(rejilla, Qt::Key_F1);
        Comprobar(AyudaAbierta() && AyudaAbierta()->pagina() == QUrl("qrc:/ayuda/exportar.html"),
                  "ayuda de cursos");
        if (AyudaAbierta()) AyudaAbierta()->close();
        Hijo<QPushButton>(dialogo, "BitBtn1")->click();
    };
    auto marcos = [](QWidget* dialogo) {
        EsperarActiva(dialogo);
        Comprobar(QApplication::overrideCursor() && QApplication::overrideCursor()->shape() == Qt::ArrowCursor,
                  "cursor normal sobre el diálogo");
        auto* lista = Hijo<QListWidget>(dialogo, "ListBox2");
        Comprobar(lista->count() == 2 && lista->item(0)->text() == "J1", "lista de marcos");
        Comprobar(Hijo<QPushButton>(dialogo, "BitBtnContinuar")->isDefault(), "Continuar es el botón por defecto");
        Comprobar(Hijo<QLabel>(dialogo, "LabelNombre")->text() == "Jornada ordinaria de mañana",
                  "el primer marco a la vista: " + Hijo<QLabel>(dialogo, "LabelNombre")->text());
        auto clic = [lista](int linea, Qt::KeyboardModifiers teclas = {}) {
            QTest::mouseClick(lista->viewport(), Qt::LeftButton, teclas,
                              lista->visualItemRect(lista->item(linea)).center());
        };
        clic(1);
        auto* horas = Hijo<QListWidget>(dialogo, "ListBox1");
        Comprobar(Hijo<QLabel>(dialogo, "LabelNombre")->text() == "Jornada de tarde (adultos)" &&
                      horas->count() == 4 && horas->item(0)->text() == "1ª hora tarde",
                  "el marco pulsado a la vista");
        // F1 here opens the frames topic, in a window that can be used beside the modal dialog.
        QTest::keyClick(lista, Qt::Key_F1);
        Comprobar(AyudaAbierta() && AyudaAbierta()->pagina() == QUrl("qrc:/ayuda/marcos.html"), "ayuda de marcos");
        if (AyudaAbierta()) AyudaAbierta()->close();
        // Coming back to the dialog reloads the frames (clearing any selection): choose after the pending
        // activations have been delivered.
        dialogo->activateWindow();
        QCoreApplication::processEvents();
        EsperarActiva(dialogo);
        clic(0);
        Hijo<QPushButton>(dialogo, "BitBtnContinuar")->click();
    };

    Contestador contestador;
    contestador.luego(Contestador::aceptarMensaje(kAviso))
        .luego(Contestador::aceptarMensaje(kSeneca))
        .luego(Contestador::elegirFichero("Archivo XML de SÉNECA", escenario.fichero("seneca.xml")))
        .luego(Contestador::aceptarMensaje(kPlanificacion))
        .luego(Contestador::elegirFichero("Archivo XML de PLANIFICACIÓN", escenario.fichero("planificacion.xml")))
        .luego(cursos)
        .luego(marcos)
        .luego(Contestador::aceptarMensaje("Proceso finalizado"));
    QTest::mouseClick(ventana.findChild<QPushButton*>("BExportar"), Qt::LeftButton);
    QVERIFY2(contestador.esperarFin(), qPrintable(contestador.informe()));
    QVERIFY2(contestador.fallos().isEmpty(), qPrintable(contestador.fallos().join("\n")));
    QVERIFY(!ventana.findChild<QPushButton*>("BExportar")->isEnabled());
    QVERIFY(!ventana.findChild<QPushButton*>("BImportar")->isEnabled());
    QVERIFY(!QApplication::overrideCursor());
    QCOMPARE(ventana.sesion().resultadoTraspaso, 1);
    QCOMPARE(Columna(escenario.trabajo, "CURSOST2", "NIVEL"), (QStringList{"ESO", "ESO", "BCT"}));
    QVERIFY2(Columna(escenario.trabajo, "GRUPOST", "ABREV").contains("ESO1A"),
             qPrintable(Columna(escenario.trabajo, "GRUPOST", "ABREV").join(",")));
    const QStringList marcosTramos = Columna(escenario.trabajo, "DIASHORAST", "MARCO");
    QVERIFY(!marcosTramos.isEmpty());
    QCOMPARE(marcosTramos.count("0"), marcosTramos.size());
    ventana.close();
    QVERIFY(!fs::exists(escenario.ini()));

    // The timetable product computes a timetable; a new program imports it.
    QCOMPARE(QProcess::execute(DIR_HERRAMIENTAS "/colocar", {QString::fromStdString(escenario.trabajo.string())}),
             0);
    TMForm importacion({}, escenario.carpetas(), incrustacion);
    importacion.show();
    Contestador otro;
    otro.luego(Contestador::aceptarMensaje(kSenecaImportar))
        .luego(Contestador::elegirFichero("Archivo XML de SÉNECA", escenario.fichero("seneca.xml")))
        .luego(Contestador::aceptarMensaje("Proceso finalizado"));
    QTest::mouseClick(importacion.findChild<QPushButton*>("BImportar"), Qt::LeftButton);
    QVERIFY2(otro.esperarFin(), qPrintable(otro.informe()));
    QVERIFY2(otro.fallos().isEmpty(), qPrintable(otro.fallos().join("\n")));
    QVERIFY(!importacion.findChild<QPushButton*>("BImportar")->isEnabled());
    const std::string resultado = LeerTexto(escenario.seneca / "ResultadoZentarseneca.xml");
    QVERIFY(resultado.find("HORARIOS_REGULARES") != std::string::npos);
    QVERIFY(resultado.find("HORARIO_REGULAR_PROFESOR_") != std::string::npos);
}

void PruebaTraspaso::recuperacionYSalidaForzada()
{
    Escenario escenario;
    escenario.copiarCentro("centro-ejemplo");
    EscribirCursosT2(escenario.trabajo, {{"6001", "ESO", "1"}, {"6002", "ESO", "2"}, {"9999", "OTR", "9"}});
    IncrustacionFalsa incrustacion;
    TMForm ventana({}, escenario.carpetas(), incrustacion);
    ventana.show();
    ventana.interaccion().fijarSiguienteFichero(fs::path(escenario.fichero("seneca.xml").toStdString()));
    ventana.interaccion().fijarSiguienteFichero(fs::path(escenario.fichero("planificacion.xml").toStdString()));

    // First showing, levels recovered: the course missing from CURSOST2 stays empty, so OK is refused.
    auto primera = [](QWidget* dialogo) {
        EsperarActiva(dialogo);
        auto* rejilla = Hijo<QTableView>(dialogo, "CursosTDBGrid");
        Comprobar(Celda(rejilla, 0, 2) == "ESO" && Celda(rejilla, 1, 3) == "2" && Celda(rejilla, 2, 2).isEmpty(),
                  "niveles recuperados");
        Hijo<QPushButton>(dialogo, "BitBtn1")->click();
    };
    auto faltaDato = [](QWidget* caja) {
        QWidget* cursos = caja->parentWidget();
        Comprobar(cursos && Visible(cursos, "TituloIncidencia") && Visible(cursos, "TextoIncidencia"),
                  "las incidencias se ven junto al mensaje");
        Contestador::aceptarMensaje("¡Atención! Falta algún Dato")(caja);
    };
    // Second showing: recovery declined (CURSOST2 goes at once), forced exit offered until another
    // column is entered; OK refused again.
    auto segunda = [&escenario](QWidget* dialogo) {
        EsperarActiva(dialogo);
        Comprobar(!Tabla::existe(escenario.trabajo, "CURSOST2"), "CURSOST2 borrada al cancelar");
        Comprobar(Visible(dialogo, "BitBtn2") && Visible(dialogo, "AvisoSalida") &&
                      !Visible(dialogo, "TextoIncidencia"),
                  "segunda vez: salida forzada a la vista, incidencias ocultas");
        auto* rejilla = Hijo<QTableView>(dialogo, "CursosTDBGrid");
        rejilla->setFocus();
        QTest::keyClick(rejilla, Qt::Key_Right);
        Comprobar(!Visible(dialogo, "BitBtn2") && !Visible(dialogo, "AvisoSalida"),
                  "otra columna oculta la salida");
        Hijo<QPushButton>(dialogo, "BitBtn1")->click();
    };
    auto tercera = [](QWidget* dialogo) {
        EsperarActiva(dialogo);
        Hijo<QPushButton>(dialogo, "BitBtn2")->click();
    };

    Contestador contestador;
    contestador.luego(Contestador::aceptarMensaje(kAviso))
        .luego(Contestador::aceptarMensaje(kSeneca))
        .luego(Contestador::aceptarMensaje(kPlanificacion))
        .luego(Contestador::responder(kRecuperacion, kPreguntaRecuperacion, true))
        .luego(primera)
        .luego(faltaDato)
        .luego(Contestador::responder(kRecuperacion, kPreguntaRecuperacion, false))
        .luego(segunda)
        .luego(faltaDato)
        .luego(tercera);
    ventana.findChild<QPushButton*>("BExportar")->click();
    QVERIFY2(contestador.esperarFin(), qPrintable(contestador.informe()));
    QTest::qWait(50);
    QVERIFY2(contestador.fallos().isEmpty(), qPrintable(contestador.fallos().join("\n")));
    // The forced exit ends the program: the window closed, nothing after the courses step written.
    QVERIFY(!ventana.isVisible());
    QCOMPARE(ventana.sesion().resultadoTraspaso, 0);
    QVERIFY(Tabla::existe(escenario.trabajo, "CURSOST"));
    QVERIFY(!Tabla::existe(escenario.trabajo, "CURSOST2"));
    QVERIFY(!Tabla::existe(escenario.trabajo, "GRUPOST"));
    QCOMPARE(Columna(escenario.trabajo, "CURSOST", "NIVEL"), (QStringList{"ESO", "ESO", ""}));
}

void PruebaTraspaso::errorYSegundaEjecucion()
{
    Escenario escenario;
    escenario.copiarCentro("centro-ejemplo");
    EscribirTexto(escenario.seneca / "roto.xml", "<SERVICIO><BLOQUE_DATOS>");
    EscribirCursosT2(escenario.trabajo, {{"6001", "ESO", "1"}, {"6002", "ESO", "2"}, {"6003", "BCT", "1"}});
    IncrustacionFalsa incrustacion;
    TMForm ventana({}, escenario.carpetas(), incrustacion);
    ventana.show();
    auto* exportar = ventana.findChild<QPushButton*>("BExportar");
    auto* importar = ventana.findChild<QPushButton*>("BImportar");

    ventana.interaccion().fijarSiguienteFichero(fs::path(escenario.fichero("roto.xml").toStdString()));
    ventana.interaccion().fijarSiguienteFichero(fs::path(escenario.fichero("planificacion.xml").toStdString()));
    Contestador contestador;
    contestador.luego(Contestador::aceptarMensaje(kAviso))
        .luego(Contestador::aceptarMensaje(kSeneca))
        .luego(Contestador::aceptarMensaje(kPlanificacion))
        .luego([](QWidget* caja) {
            auto* error = qobject_cast<QMessageBox*>(caja);
            Comprobar(error && error->text().contains("roto.xml"), "el error nombra el fichero");
            Contestador::aceptarError()(caja);
        });
    exportar->click();
    QVERIFY2(contestador.esperarFin(), qPrintable(contestador.informe()));
    QVERIFY2(contestador.fallos().isEmpty(), qPrintable(contestador.fallos().join("\n")));
    QVERIFY(exportar->isEnabled() && importar->isEnabled());
    QVERIFY(!QApplication::overrideCursor());

    // The second run works; the planning file cancelled keeps the one chosen before.
    ventana.interaccion().fijarSiguienteFichero(fs::path(escenario.fichero("seneca.xml").toStdString()));
    ventana.interaccion().fijarSiguienteFichero(std::nullopt);
    ventana.interaccion().fijarSiguienteRespuesta(true);
    Contestador segunda;
    segunda.luego(Contestador::aceptarMensaje(kAviso))
        .luego(Contestador::aceptarMensaje(kSeneca))
        .luego(Contestador::aceptarMensaje(kPlanificacion))
        .luego([](QWidget* dialogo) {
            EsperarActiva(dialogo);
            Hijo<QPushButton>(dialogo, "BitBtn1")->click();
        })
        .luego(Contestador::aceptarMensaje("Proceso finalizado"));
    exportar->click();
    QVERIFY2(segunda.esperarFin(), qPrintable(segunda.informe()));
    QVERIFY2(segunda.fallos().isEmpty(), qPrintable(segunda.fallos().join("\n")));
    QVERIFY(!exportar->isEnabled() && !importar->isEnabled());
    QCOMPARE(Columna(escenario.trabajo, "GRUPOST", "ABREV").first().left(3), QString("ESO"));
}

void PruebaTraspaso::cajasDeCierre()
{
    // The close box of the level dialog ends it without any check, keeping the value being typed; that
    // of the frame dialog is "Continuar".
    Escenario escenario;
    escenario.copiarCentro("centro-dos-marcos");
    IncrustacionFalsa incrustacion;
    TMForm ventana({}, escenario.carpetas(), incrustacion);
    ventana.show();
    ventana.interaccion().fijarSiguienteFichero(fs::path(escenario.fichero("seneca.xml").toStdString()));
    ventana.interaccion().fijarSiguienteFichero(fs::path(escenario.fichero("planificacion.xml").toStdString()));

    auto cursos = [](QWidget* dialogo) {
        EsperarActiva(dialogo);
        Hijo<QTableView>(dialogo, "CursosTDBGrid")->setFocus();
        // Escape drops what is being typed in the cell; pressed once more it does not end the dialog.
        Teclear("BCT");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        Comprobar(dialogo->isVisible(), "Escape no cierra la ventana de cursos");
        Teclear("ESO");
        dialogo->close();
    };
    auto marcosSinElegir = [](QWidget* dialogo) {
        EsperarActiva(dialogo);
        dialogo->close();
    };
    auto marcos = [](QWidget* dialogo) {
        EsperarActiva(dialogo);
        auto* lista = Hijo<QListWidget>(dialogo, "ListBox2");
        QTest::mouseClick(lista->viewport(), Qt::LeftButton, {}, lista->visualItemRect(lista->item(1)).center());
        dialogo->close();
    };
    Contestador contestador;
    contestador.luego(Contestador::aceptarMensaje(kAviso))
        .luego(Contestador::aceptarMensaje(kSeneca))
        .luego(Contestador::aceptarMensaje(kPlanificacion))
        .luego(cursos)
        .luego(marcosSinElegir)
        .luego(Contestador::aceptarMensaje("Debe al menos seleccionar 1 Marco Horario."))
        .luego(marcos)
        .luego(Contestador::aceptarMensaje("Proceso finalizado"));
    ventana.findChild<QPushButton*>("BExportar")->click();
    QVERIFY2(contestador.esperarFin(), qPrintable(contestador.informe()));
    QVERIFY2(contestador.fallos().isEmpty(), qPrintable(contestador.fallos().join("\n")));
    QCOMPARE(ventana.sesion().resultadoTraspaso, 1);
    QCOMPARE(Columna(escenario.trabajo, "CURSOST", "NIVEL"), (QStringList{"ESO", "", ""}));
    QVERIFY(!Tabla::existe(escenario.trabajo, "CURSOST2"));
    QCOMPARE(Columna(escenario.trabajo, "DIASHORAST", "CODDIHO").size() > 0, true);
}

QTEST_MAIN(PruebaTraspaso)
#include "Prueba_traspaso.moc"
