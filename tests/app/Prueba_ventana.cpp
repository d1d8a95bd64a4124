// The main window, the help and the integrated mode: parameters, embedding and the result code.
#include "Contestador.h"
#include "Fixtures.h"
#include "app/Ayuda.h"
#include "app/MainForm.h"
#include "data/Tabla.h"

#include <QApplication>
#include <QLabel>
#include <QMap>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTextBrowser>

namespace fs = std::filesystem;

namespace {

const QString kAviso = "Debe disponer de 2 ficheros XML. Uno procedente de SÉNECA, y otro de PLANIFICACIÓN.\n"
                       "Ambos ficheros deberán estar ubicados en una misma carpeta.";
const QString kSeneca = "Seleccione ahora el fichero XML procedente de SÉNECA";
const QString kSenecaImportar = "Seleccione ahora el fichero XML procedente de SÉNECA\n"
                                "que utilizó en su momento para la recogida de datos. ";

QPushButton* Boton(QWidget& ventana, const char* nombre)
{
    auto* boton = ventana.findChild<QPushButton*>(nombre);
    if (!boton) qFatal("falta el botón %s", nombre);
    return boton;
}

} // namespace

class PruebaVentana : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void ventanaPrincipal();
    void ayuda();
    void parametros_data();
    void parametros();
    void archivoIniConservaYReintenta();
    void importacionSinPeriodos();
    void cierreDeLaVentanaAnfitriona();
    void identificadorDeVentana();

private:
    FiltroAyuda filtroAyuda_;
};

void PruebaVentana::initTestCase()
{
    QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
    qApp->installEventFilter(&filtroAyuda_);
}

void PruebaVentana::ventanaPrincipal()
{
    Escenario escenario;
    IncrustacionFalsa incrustacion;
    TMForm ventana({}, escenario.carpetas(), incrustacion);
    ventana.show();
    QVERIFY(QTest::qWaitForWindowExposed(&ventana, Contestador::kEspera));

    QCOMPARE(ventana.windowTitle(), QString("Exportar e importar datos entre Quintara y Planificación (OTUR)"));
    QCOMPARE(ventana.size(), QSize(632, 266));
    QCOMPARE(ventana.minimumSize(), ventana.maximumSize());
    for (const char* nombre : {"BExportar", "BImportar"}) {
        QCOMPARE(Boton(ventana, nombre)->text(), QString("OK"));
        QVERIFY(!Boton(ventana, nombre)->icon().isNull());
        QCOMPARE(Boton(ventana, nombre)->geometry(), QRect(96, 120, 89, 25));
        QVERIFY(Boton(ventana, nombre)->isEnabled());
    }
    QCOMPARE(Boton(ventana, "BSalir")->text(), QString("&Salir"));
    QCOMPARE(Boton(ventana, "Button1")->text(), QString("F1 AYUDA"));
    QCOMPARE(Boton(ventana, "Button1")->geometry(), QRect(278, 67, 75, 19));
    auto* version = ventana.findChild<QLabel*>("LabelVersion");
    QCOMPARE(version->text(), QString("TransQuintaraPlanificación para QN17 V-1.2"));
    QVERIFY(version->font().bold());
    QCOMPARE(Boton(ventana, "BSalir")->geometry(), QRect(271, 32, 89, 25));
    QMap<QString, QRect> textos;
    for (auto* etiqueta : ventana.findChildren<QLabel*>())
        textos[etiqueta->text()] = etiqueta->geometry();
    QCOMPARE(textos.value("Transformar datos desde Planificación hacia Quintara "), QRect(24, 24, 265, 57));
    QCOMPARE(textos.value("Transformar datos desde Quintara hacia (Séneca) Planificación"), QRect(8, 24, 305, 57));

    // Interactive mode: closing writes nothing.
    QVERIFY(ventana.close());
    QVERIFY(!fs::exists(escenario.ini()));
}

void PruebaVentana::ayuda()
{
    Escenario escenario;
    IncrustacionFalsa incrustacion;
    TMForm ventana({}, escenario.carpetas(), incrustacion);
    ventana.show();
    QVERIFY(QTest::qWaitForWindowExposed(&ventana, Contestador::kEspera));

    QTest::keyClick(Boton(ventana, "BSalir"), Qt::Key_F1);
    QVERIFY(AyudaAbierta());
    QCOMPARE(AyudaAbierta()->pagina(), QUrl("qrc:/ayuda/exportar.html"));
    const QString texto = AyudaAbierta()->findChild<QTextBrowser*>()->toPlainText();
    QVERIFY2(texto.contains("Asignación de niveles y cursos") && texto.contains("ESO1A"), qPrintable(texto));

    Boton(ventana, "Button1")->click();
    QCOMPARE(AyudaAbierta()->pagina(), QUrl("qrc:/ayuda/indice.html"));
    QVERIFY(AyudaAbierta()->findChild<QTextBrowser*>()->toPlainText().contains("códigos de resultado"));
    AyudaAbierta()->close();
}

void PruebaVentana::parametros_data()
{
    QTest::addColumn<QStringList>("parametros");
    QTest::addColumn<bool>("error");        // the conversion error is shown at start
    QTest::addColumn<bool>("integrado");    // attached to window 1A2B
    QTest::addColumn<QString>("direccion"); // what runs by itself
    QTest::addColumn<QString>("codigo");    // "Transformado" after the run (or after Salir), "" = no file

    QTest::newRow("sin parámetros") << QStringList{} << false << false << ""
                                    << "";
    QTest::newRow("un parámetro") << QStringList{"exportar"} << false << false << ""
                                  << "";
    QTest::newRow("tres parámetros") << QStringList{"exportar", "1A2B", "x"} << false << false << ""
                                     << "";
    QTest::newRow("EXPORTAR 1A2B") << QStringList{"EXPORTAR", "1A2B"} << false << true << "exportar"
                                   << "-1";
    QTest::newRow("importar 1a2b") << QStringList{"importar", "1a2b"} << false << true << "importar"
                                   << "-1";
    QTest::newRow("listar 1A2B") << QStringList{"listar", "1A2B"} << false << true << ""
                                 << "0";
    QTest::newRow("prefijo 0x") << QStringList{"exportar", "0x1A2B"} << true << false << "exportar"
                                << "";
    QTest::newRow("prefijo $") << QStringList{"exportar", "$1A2B"} << true << false << "exportar"
                               << "";
    QTest::newRow("más de 32 bits") << QStringList{"exportar", "11A2B0000"} << true << false << "exportar"
                                    << "";
    QTest::newRow("vacío") << QStringList{"importar", ""} << true << false << "importar"
                           << "";
    QTest::newRow("ventana inexistente") << QStringList{"exportar", "BEEF"} << true << false << "exportar"
                                         << "";
}

void PruebaVentana::parametros()
{
    QFETCH(QStringList, parametros);
    QFETCH(bool, error);
    QFETCH(bool, integrado);
    QFETCH(QString, direccion);
    QFETCH(QString, codigo);

    Escenario escenario;
    IncrustacionFalsa incrustacion;
    Contestador contestador;
    if (error) contestador.luego(Contestador::aceptarError());
    if (direccion == "exportar")
        contestador.luego(Contestador::aceptarMensaje(kAviso)).luego(Contestador::aceptarMensaje(kSeneca));
    if (direccion == "importar") contestador.luego(Contestador::aceptarMensaje(kSenecaImportar));
    if (!direccion.isEmpty())
        contestador.luego(Contestador::cancelarFichero("Archivo XML de SÉNECA"))
            .luego(Contestador::aceptarMensaje("No existe archivo"));

    TMForm ventana(parametros, escenario.carpetas(), incrustacion);
    ventana.show();
    QVERIFY2(contestador.esperarFin(), qPrintable(contestador.informe()));
    QTest::qWait(50); // nothing more may show up
    QVERIFY2(contestador.fallos().isEmpty(), qPrintable(contestador.fallos().join("\n")));
    QCOMPARE(ventana.sesion().modoIntegrado, integrado ? 2 : 0);
    QCOMPARE(incrustacion.incrustadaEn.has_value(), integrado);
    if (error)
        QVERIFY(contestador.vistos().first().contains("'" + parametros.at(1) + "'") ||
                contestador.vistos().first().contains("identificador"));

    // A run that found no file closes the window in integrated mode only; otherwise Salir closes it.
    // No run completed: the buttons stay enabled.
    const bool cerradaSola = integrado && !direccion.isEmpty();
    QCOMPARE(ventana.isVisible(), !cerradaSola);
    QVERIFY(Boton(ventana, "BExportar")->isEnabled() && Boton(ventana, "BImportar")->isEnabled());
    if (!cerradaSola) Boton(ventana, "BSalir")->click();
    QVERIFY(!ventana.isVisible());
    if (codigo.isEmpty())
        QVERIFY(!fs::exists(escenario.ini()));
    else
        QCOMPARE(QString::fromStdString(LeerTexto(escenario.ini())),
                 "[Transformadores]\nTransformado=" + codigo + "\n");
}

void PruebaVentana::archivoIniConservaYReintenta()
{
    Escenario escenario;
    IncrustacionFalsa incrustacion;
    TMForm ventana({"listar", "1A2B"}, escenario.carpetas(), incrustacion);
    ventana.show();

    // Unwritable: the error is shown and the window stays.
    fs::create_directory(escenario.ini());
    {
        Contestador contestador;
        contestador.luego([](QWidget* w) {
            if (!static_cast<QMessageBox*>(w)->text().contains("Quintara.ini"))
                Contestador::fallar("el error no nombra el archivo");
            Contestador::aceptarError()(w);
        });
        Boton(ventana, "BSalir")->click();
        QVERIFY2(contestador.esperarFin(), qPrintable(contestador.informe()));
        QVERIFY2(contestador.fallos().isEmpty(), qPrintable(contestador.fallos().join("\n")));
        QVERIFY(ventana.isVisible());
    }

    // Once it can be written, closing again writes it, keeping the other lines.
    fs::remove(escenario.ini());
    EscribirTexto(escenario.ini(), "[Quintara]\nIdioma=ES\n[Transformadores]\nTransformado=1\nOtro=2\n");
    Boton(ventana, "BSalir")->click();
    QVERIFY(!ventana.isVisible());
    QCOMPARE(LeerTexto(escenario.ini()),
             std::string("[Quintara]\nIdioma=ES\n[Transformadores]\nTransformado=0\nOtro=2\n"));
}

void PruebaVentana::importacionSinPeriodos()
{
    // The working tables are there but PERIODOS is not: nothing is written, the window stays inside the
    // caller's and the code is 0.
    Escenario escenario;
    escenario.copiarCentro("centro-ejemplo");
    for (const char* tabla :
         {"SOLUC", "GRUPOST", "CURSOST", "PROFT", "AULAT", "ASIGNOMT", "ASIGNOMT2", "DIASHORAST", "ASIGT"})
        Tabla::crear(escenario.trabajo, tabla, {CampoCaracter("CLAVE", 10)}).cerrar();
    IncrustacionFalsa incrustacion;
    TMForm ventana({"importar", "1A2B"}, escenario.carpetas(), incrustacion);
    ventana.interaccion().fijarSiguienteFichero(fs::path(escenario.fichero("seneca.xml").toStdString()));
    Contestador contestador;
    contestador.luego(Contestador::aceptarMensaje(kSenecaImportar))
        .luego(Contestador::aceptarMensaje(
            "ATENCIÓN - PERIODOS.DBF No encontrado - Importe de nuevo XML de SÉNECA."));
    ventana.show();
    QVERIFY2(contestador.esperarFin(), qPrintable(contestador.informe()));
    QVERIFY(ventana.isVisible());
    QVERIFY(Boton(ventana, "BExportar")->isEnabled() && Boton(ventana, "BImportar")->isEnabled());
    QVERIFY(!QApplication::overrideCursor());
    QVERIFY(!fs::exists(escenario.seneca / "ResultadoZentarseneca.xml"));
    Boton(ventana, "BSalir")->click();
    QVERIFY(!ventana.isVisible());
    QCOMPARE(LeerTexto(escenario.ini()), std::string("[Transformadores]\nTransformado=0\n"));
}

void PruebaVentana::cierreDeLaVentanaAnfitriona()
{
    // While a run waits for the user, the caller's window goes away: the run ends without an error
    // box, the code is written and the program is told to end.
    Escenario escenario;
    IncrustacionFalsa incrustacion;
    Contestador contestador;
    contestador.luego([&](QWidget*) { incrustacion.cerrarAnfitrion(); });
    TMForm ventana({"exportar", "1A2B"}, escenario.carpetas(), incrustacion);
    QSignalSpy fin(&ventana, &TMForm::programaTerminado);
    ventana.show();
    QVERIFY(fin.wait(Contestador::kEspera));
    QCOMPARE(fin.first().first().toInt(), 0);
    QVERIFY2(contestador.esperarFin(), qPrintable(contestador.informe()));
    QTest::qWait(50);
    QVERIFY2(contestador.fallos().isEmpty(), qPrintable(contestador.fallos().join("\n")));
    QCOMPARE(contestador.vistos(), QStringList{"TransZentarPlanif | " + kAviso});
    QCOMPARE(LeerTexto(escenario.ini()), std::string("[Transformadores]\nTransformado=0\n"));
}

void PruebaVentana::identificadorDeVentana()
{
    QCOMPARE(LeerIdentificadorVentana("1A2B"), quint32(0x1A2B));
    QCOMPARE(LeerIdentificadorVentana("ffFFffFF"), quint32(0xFFFFFFFF));
    QCOMPARE(LeerIdentificadorVentana("0000000001"), quint32(1));
    for (const char* malo : {"", "0x1A2B", "$1A2B", "1A2G", " 1A2B", "-1", "100000000", "１２"})
        QVERIFY_THROWS_EXCEPTION(std::exception, LeerIdentificadorVentana(QString::fromUtf8(malo)));
}

QTEST_MAIN(PruebaVentana)
#include "Prueba_ventana.moc"
