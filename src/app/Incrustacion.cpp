#include "app/Incrustacion.h"

#include "comun/Error.h"

#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QWidget>
#include <QWindow>
#include <xcb/xcb.h>

#include <cstdlib>

namespace {

QString Hex(quint32 id)
{
    return QString::number(id, 16).toUpper();
}

xcb_connection_t* ConexionX11()
{
    auto* x11 = qApp ? qApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

} // namespace

quint32 LeerIdentificadorVentana(const QString& texto)
{
    bool valido = !texto.isEmpty();
    quint64 valor = 0;
    for (QChar c : texto) {
        const int cifra = c.isDigit() && c.unicode() < 128 ? c.unicode() - '0'
                          : (c >= 'A' && c <= 'F')         ? c.unicode() - 'A' + 10
                          : (c >= 'a' && c <= 'f')         ? c.unicode() - 'a' + 10
                                                           : -1;
        if (cifra < 0) valido = false;
        if (!valido) break;
        valor = valor * 16 + static_cast<quint64>(cifra);
        if (valor > 0xFFFFFFFFull) valido = false;
    }
    if (!valido)
        throw Error("'" + texto.toStdString() +
                    "' no es un identificador de ventana válido: se esperan cifras hexadecimales "
                    "(0-9, A-F), sin prefijo, de 32 bits como máximo.");
    return static_cast<quint32>(valor);
}

IncrustacionX11::~IncrustacionX11()
{
    if (id_) QCoreApplication::instance()->removeNativeEventFilter(this);
}

void IncrustacionX11::incrustar(QWidget& ventana, quint32 id)
{
    xcb_connection_t* conexion = ConexionX11();
    if (!conexion)
        throw Error("No se puede incrustar la ventana en la ventana " + Hex(id).toStdString() +
                    ": el programa no se ejecuta sobre un servidor X11.");

    // The id must name an existing window before anything is attached to it.
    xcb_generic_error_t* fallo = nullptr;
    xcb_get_geometry_reply_t* geometria = xcb_get_geometry_reply(conexion, xcb_get_geometry(conexion, id), &fallo);
    std::free(fallo);
    if (!geometria)
        throw Error("No existe ninguna ventana con el identificador " + Hex(id).toStdString() +
                    " (hexadecimal): la ventana no se incrusta.");
    const QSize tamano(geometria->width, geometria->height);
    std::free(geometria);

    // Our own interest in the caller's window: its resizes and its destruction.
    const uint32_t eventos = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
    xcb_change_window_attributes(conexion, id, XCB_CW_EVENT_MASK, &eventos);
    xcb_flush(conexion);

    // The caller's window stands for the rest of the process: our window lives inside it.
    anfitrion_ = QWindow::fromWinId(id);
    id_ = id;
    ventana_ = &ventana;
    ventana.setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    ventana.setMinimumSize(0, 0);
    ventana.setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    ventana.winId();
    ventana.windowHandle()->setParent(anfitrion_);
    ventana.windowHandle()->installEventFilter(this);
    ventana.setGeometry(0, 0, tamano.width(), tamano.height());
    QCoreApplication::instance()->installNativeEventFilter(this);
}

bool IncrustacionX11::nativeEventFilter(const QByteArray& tipo, void* mensaje, qintptr*)
{
    if (tipo != "xcb_generic_event_t" || !ventana_) return false;
    const auto* evento = static_cast<xcb_generic_event_t*>(mensaje);
    switch (evento->response_type & ~0x80) {
    case XCB_CONFIGURE_NOTIFY: {
        const auto* cambio = static_cast<const xcb_configure_notify_event_t*>(mensaje);
        if (cambio->window == id_ && cambio->event == id_) ventana_->resize(cambio->width, cambio->height);
        break;
    }
    case XCB_DESTROY_NOTIFY: {
        const auto* destruida = static_cast<const xcb_destroy_notify_event_t*>(mensaje);
        if (destruida->window == id_) {
            QCoreApplication::instance()->removeNativeEventFilter(this);
            emit anfitrionCerrado();
        }
        break;
    }
    default:
        break;
    }
    return false;
}

bool IncrustacionX11::eventFilter(QObject* objeto, QEvent* evento)
{
    if (evento->type() == QEvent::MouseButtonPress && ventana_ && objeto == ventana_->windowHandle()) {
        if (xcb_connection_t* conexion = ConexionX11()) {
            xcb_set_input_focus(conexion, XCB_INPUT_FOCUS_PARENT, static_cast<xcb_window_t>(ventana_->winId()),
                                XCB_CURRENT_TIME);
            xcb_flush(conexion);
        }
    }
    return Incrustacion::eventFilter(objeto, evento);
}

void IncrustacionNoDisponible::incrustar(QWidget&, quint32 id)
{
    throw Error("No se puede incrustar la ventana en la ventana " + Hex(id).toStdString() +
                ": el modo integrado necesita un servidor X11.");
}
