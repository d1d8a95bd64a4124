#pragma once
#include <QAbstractNativeEventFilter>
#include <QObject>
#include <QPointer>
#include <QString>

class QWidget;
class QWindow;

// Parameter 2 of the integrated mode: the caller's window id, hexadecimal digits only (no prefix,
// either case), at most 32 bits. Throws Error with the conversion's message otherwise.
quint32 LeerIdentificadorVentana(const QString& texto);

// Makes the main window a borderless child of a window of another program, and tells when that
// window goes away.
class Incrustacion : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    // Throws Error when no window has that id; the main window is left as it was then.
    virtual void incrustar(QWidget& ventana, quint32 id) = 0;

signals:
    // The caller's window has been destroyed.
    void anfitrionCerrado();
};

// On the X11 (xcb) platform: the window is reparented into the caller's window, fills it and follows
// its size; a click gives it the keyboard focus, which the window manager does not do for a window
// inside another program's window.
class IncrustacionX11 : public Incrustacion, public QAbstractNativeEventFilter {
    Q_OBJECT
public:
    using Incrustacion::Incrustacion;
    ~IncrustacionX11() override;
    void incrustar(QWidget& ventana, quint32 id) override;
    bool nativeEventFilter(const QByteArray& tipo, void* mensaje, qintptr* resultado) override;

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override;

private:
    QPointer<QWidget> ventana_;
    QWindow* anfitrion_ = nullptr;
    quint32 id_ = 0;
};

// Where there is no X11 display: integrated mode cannot attach the window.
class IncrustacionNoDisponible : public Incrustacion {
    Q_OBJECT
public:
    using Incrustacion::Incrustacion;
    void incrustar(QWidget& ventana, quint32 id) override;
};
