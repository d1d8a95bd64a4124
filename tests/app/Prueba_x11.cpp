// Under an X server (xvfb-run): the program started as the timetable product starts it, with a
// direction and the id of a window of another process, lives inside that window, follows its size,
// takes the focus when clicked, and leaves the result code in Quintara.ini.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>
#include <set>

namespace {

template <typename T> using Respuesta = std::unique_ptr<T, decltype(&std::free)>;

class ServidorX {
public:
    ServidorX() : conexion_(xcb_connect(nullptr, nullptr)) {}
    ~ServidorX() { xcb_disconnect(conexion_); }
    bool valido() const { return !xcb_connection_has_error(conexion_); }

    std::vector<xcb_window_t> hijos(xcb_window_t ventana) const
    {
        Respuesta<xcb_query_tree_reply_t> arbol(
            xcb_query_tree_reply(conexion_, xcb_query_tree(conexion_, ventana), nullptr), &std::free);
        if (!arbol) return {};
        const xcb_window_t* lista = xcb_query_tree_children(arbol.get());
        return {lista, lista + xcb_query_tree_children_length(arbol.get())};
    }

    QSize tamano(xcb_window_t ventana) const
    {
        Respuesta<xcb_get_geometry_reply_t> g(
            xcb_get_geometry_reply(conexion_, xcb_get_geometry(conexion_, ventana), nullptr), &std::free);
        return g ? QSize(g->width, g->height) : QSize();
    }

    bool visible(xcb_window_t ventana) const
    {
        Respuesta<xcb_get_window_attributes_reply_t> a(
            xcb_get_window_attributes_reply(conexion_, xcb_get_window_attributes(conexion_, ventana), nullptr),
            &std::free);
        return a && a->map_state == XCB_MAP_STATE_VIEWABLE;
    }

    QString titulo(xcb_window_t ventana) const
    {
        const xcb_atom_t nombre = atomo("_NET_WM_NAME"), utf8 = atomo("UTF8_STRING");
        Respuesta<xcb_get_property_reply_t> p(
            xcb_get_property_reply(conexion_, xcb_get_property(conexion_, 0, ventana, nombre, utf8, 0, 256),
                                   nullptr),
            &std::free);
        if (!p) return {};
        return QString::fromUtf8(static_cast<const char*>(xcb_get_property_value(p.get())),
                                 xcb_get_property_value_length(p.get()));
    }

    // A visible top-level window with that title that was not handled before.
    xcb_window_t buscar(const QString& buscado, std::set<xcb_window_t>& atendidas) const
    {
        for (xcb_window_t v : hijos(raiz()))
            if (!atendidas.count(v) && visible(v) && titulo(v) == buscado) {
                atendidas.insert(v);
                return v;
            }
        return XCB_NONE;
    }

    // A key as the window would get it from the keyboard (keysym: Return 0xff0d, Escape 0xff1b).
    void tecla(xcb_window_t ventana, uint32_t keysym) const
    {
        for (uint8_t tipo : {uint8_t(XCB_KEY_PRESS), uint8_t(XCB_KEY_RELEASE)}) {
            xcb_key_press_event_t evento{};
            evento.response_type = tipo;
            evento.detail = codigoTecla(keysym);
            evento.root = raiz();
            evento.event = ventana;
            evento.child = XCB_NONE;
            evento.same_screen = 1;
            xcb_send_event(conexion_, 0, ventana, XCB_EVENT_MASK_KEY_PRESS | XCB_EVENT_MASK_KEY_RELEASE,
                           reinterpret_cast<const char*>(&evento));
        }
        xcb_flush(conexion_);
    }

    void clic(xcb_window_t ventana, int x, int y) const
    {
        for (uint8_t tipo : {uint8_t(XCB_BUTTON_PRESS), uint8_t(XCB_BUTTON_RELEASE)}) {
            xcb_button_press_event_t evento{};
            evento.response_type = tipo;
            evento.detail = 1;
            evento.root = raiz();
            evento.event = ventana;
            evento.event_x = static_cast<int16_t>(x);
            evento.event_y = static_cast<int16_t>(y);
            evento.same_screen = 1;
            xcb_send_event(conexion_, 0, ventana, XCB_EVENT_MASK_BUTTON_PRESS | XCB_EVENT_MASK_BUTTON_RELEASE,
                           reinterpret_cast<const char*>(&evento));
        }
        xcb_flush(conexion_);
    }

    void enfocar(xcb_window_t ventana) const
    {
        xcb_set_input_focus(conexion_, XCB_INPUT_FOCUS_POINTER_ROOT, ventana, XCB_CURRENT_TIME);
        xcb_flush(conexion_);
    }

    xcb_window_t foco() const
    {
        Respuesta<xcb_get_input_focus_reply_t> f(
            xcb_get_input_focus_reply(conexion_, xcb_get_input_focus(conexion_), nullptr), &std::free);
        return f ? f->focus : XCB_NONE;
    }

private:
    xcb_window_t raiz() const { return xcb_setup_roots_iterator(xcb_get_setup(conexion_)).data->root; }

    xcb_atom_t atomo(const char* nombre) const
    {
        Respuesta<xcb_intern_atom_reply_t> a(
            xcb_intern_atom_reply(conexion_, xcb_intern_atom(conexion_, 0, uint16_t(strlen(nombre)), nombre),
                                  nullptr),
            &std::free);
        return a ? a->atom : XCB_NONE;
    }

    uint8_t codigoTecla(uint32_t keysym) const
    {
        const xcb_setup_t* setup = xcb_get_setup(conexion_);
        const int cuantas = setup->max_keycode - setup->min_keycode + 1;
        Respuesta<xcb_get_keyboard_mapping_reply_t> mapa(
            xcb_get_keyboard_mapping_reply(
                conexion_, xcb_get_keyboard_mapping(conexion_, setup->min_keycode, uint8_t(cuantas)), nullptr),
            &std::free);
        if (!mapa) return 0;
        const xcb_keysym_t* simbolos = xcb_get_keyboard_mapping_keysyms(mapa.get());
        for (int i = 0; i < cuantas * mapa->keysyms_per_keycode; ++i)
            if (simbolos[i] == keysym) return uint8_t(setup->min_keycode + i / mapa->keysyms_per_keycode);
        return 0;
    }

    xcb_connection_t* conexion_;
};

// Generous: a loaded machine may be slow to start the program and show its windows.
constexpr int kEspera = 60000;
constexpr uint32_t kReturn = 0xff0d;
constexpr uint32_t kEscape = 0xff1b;

} // namespace

class PruebaX11 : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void exportarIncrustadoSinFichero();
    void cierreDeLaVentanaDelLlamador();

private:
    xcb_window_t arrancar(const QString& direccion);
    xcb_window_t hijoUnico() const;
    QString transformado() const;

    std::unique_ptr<ServidorX> x_;
    std::unique_ptr<QTemporaryDir> carpeta_;
    QProcess padre_, programa_;
    xcb_window_t idPadre_ = XCB_NONE;
};

void PruebaX11::initTestCase()
{
    if (qEnvironmentVariableIsEmpty("DISPLAY")) QSKIP("Sin servidor X (hace falta xvfb-run): prueba omitida.");
    x_ = std::make_unique<ServidorX>();
    if (!x_->valido()) QSKIP("No se puede abrir la pantalla X: prueba omitida.");
}

void PruebaX11::init()
{
    // The program is copied so that its Quintara.ini lands in a folder of this test.
    carpeta_ = std::make_unique<QTemporaryDir>();
    QVERIFY(QFile::copy(PROGRAMA, carpeta_->filePath("transzentarplanif")));
    QVERIFY(QDir(carpeta_->path()).mkpath("QTEMP/seneca"));
}

void PruebaX11::cleanup()
{
    for (QProcess* proceso : {&programa_, &padre_})
        if (proceso->state() != QProcess::NotRunning) {
            proceso->kill();
            proceso->waitForFinished();
        }
}

xcb_window_t PruebaX11::arrancar(const QString& direccion)
{
    padre_.start(VENTANA_PADRE, {});
    if (!padre_.waitForReadyRead(kEspera)) return XCB_NONE;
    const QString id = QString::fromLatin1(padre_.readLine()).trimmed();
    idPadre_ = id.toUInt(nullptr, 16);

    QProcessEnvironment entorno = QProcessEnvironment::systemEnvironment();
    entorno.insert("QTEMP", carpeta_->filePath("QTEMP"));
    entorno.insert("QT_QPA_PLATFORM", "xcb");
    programa_.setProcessEnvironment(entorno);
    programa_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    programa_.start(carpeta_->filePath("transzentarplanif"), {direccion, id});
    return idPadre_;
}

xcb_window_t PruebaX11::hijoUnico() const
{
    const auto hijos = x_->hijos(idPadre_);
    return hijos.size() == 1 && x_->visible(hijos.front()) ? hijos.front() : XCB_NONE;
}

QString PruebaX11::transformado() const
{
    QFile ini(carpeta_->filePath("Quintara.ini"));
    if (!ini.open(QIODevice::ReadOnly)) return "(sin Quintara.ini)";
    return QString::fromUtf8(ini.readAll());
}

void PruebaX11::exportarIncrustadoSinFichero()
{
    QVERIFY(arrancar("exportar"));
    QVERIFY2(QTest::qWaitFor([&] { return hijoUnico() != XCB_NONE; }, kEspera), "la ventana no se incrustó");
    const xcb_window_t hijo = hijoUnico();
    QCOMPARE(x_->tamano(hijo), QSize(700, 320));

    padre_.write("tamano 500 240\n");
    QVERIFY(padre_.waitForBytesWritten(kEspera));
    QVERIFY(QTest::qWaitFor([&] { return x_->tamano(hijo) == QSize(500, 240); }, kEspera));

    // The run answered as a user would: two messages, the Séneca dialog cancelled, "No existe archivo".
    std::set<xcb_window_t> atendidas;
    const std::pair<QString, uint32_t> pasos[] = {{"TransZentarPlanif", kReturn},
                                                  {"TransZentarPlanif", kReturn},
                                                  {"Archivo XML de SÉNECA", kEscape},
                                                  {"TransZentarPlanif", kReturn}};
    for (const auto& [titulo, tecla] : pasos) {
        xcb_window_t caja = XCB_NONE;
        QVERIFY2(QTest::qWaitFor([&] { return (caja = x_->buscar(titulo, atendidas)) != XCB_NONE; }, kEspera),
                 qPrintable("no apareció " + titulo));
        // The key goes where the program has put the focus: wait until that is the new window.
        QVERIFY2(QTest::qWaitFor([&] { return x_->foco() == caja; }, kEspera),
                 qPrintable("no recibió el foco " + titulo));
        x_->tecla(caja, tecla);
    }
    QVERIFY(programa_.waitForFinished(kEspera));
    QCOMPARE(programa_.exitCode(), 0);
    QCOMPARE(transformado(), QString("[Transformadores]\nTransformado=-1\n"));
}

void PruebaX11::cierreDeLaVentanaDelLlamador()
{
    QVERIFY(arrancar("listar"));
    QVERIFY2(QTest::qWaitFor([&] { return hijoUnico() != XCB_NONE; }, kEspera), "la ventana no se incrustó");
    const xcb_window_t hijo = hijoUnico();

    // A click gives it the keyboard focus, which no window manager does inside another program's window.
    // The program does not take the focus by itself: it starts elsewhere, on the caller's window.
    x_->enfocar(idPadre_);
    QVERIFY(QTest::qWaitFor([&] { return x_->foco() == idPadre_; }, kEspera));
    x_->clic(hijo, 5, 5);
    QVERIFY(QTest::qWaitFor([&] { return x_->foco() == hijo; }, kEspera));

    padre_.write("cerrar\n");
    QVERIFY(padre_.waitForBytesWritten(kEspera));
    QVERIFY(programa_.waitForFinished(kEspera));
    QCOMPARE(programa_.exitCode(), 0);
    QCOMPARE(transformado(), QString("[Transformadores]\nTransformado=0\n"));
}

QTEST_GUILESS_MAIN(PruebaX11)
#include "Prueba_x11.moc"
