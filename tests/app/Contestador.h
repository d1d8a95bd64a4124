#pragma once
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <QWidget>

#include <deque>
#include <functional>
#include <vector>

class QMessageBox;

// Answers the modal windows of a run from the test, one after another: it watches
// QApplication::activeModalWidget() and hands every new one to the next queued action.
// Arm it before the click that opens the first window. A window nobody expected is recorded and
// closed, so that a test fails instead of hanging.
class Contestador : public QObject {
    Q_OBJECT
public:
    using Accion = std::function<void(QWidget*)>;

    Contestador();
    ~Contestador() override;

    // The next new modal window gets this action.
    Contestador& luego(Accion accion);

    // Ready-made actions.
    static Accion aceptarMensaje(const QString& texto); // plain box, caption TransZentarPlanif, OK
    static Accion responder(const QString& titulo, const QString& texto, bool aceptar); // OK/Cancel, warning icon
    static Accion aceptarError();                                                       // the error box
    static Accion elegirFichero(const QString& titulo, const QString& ruta); // non-native dialog, typed name
    static Accion cancelarFichero(const QString& titulo);

    // "caption | text" of every window seen, in order.
    const QStringList& vistos() const { return vistos_; }
    // Failures found while answering (a box with other text, a window nobody expected...).
    const QStringList& fallos() const { return fallos_; }
    bool terminado() const { return acciones_.empty(); }
    // Waits until every queued action has been taken (or the time runs out); true when done.
    bool esperarFin(int milisegundos = kEspera);
    // The windows seen and the failures, for a test's failure message.
    QString informe() const;

    // Generous: a loaded machine may be slow, and a window that never comes fails the test anyway.
    static constexpr int kEspera = 60000;

    static void fallar(const QString& texto);

private:
    void revisar();

    QTimer reloj_;
    std::deque<Accion> acciones_;
    std::vector<QPointer<QWidget>> atendidos_;
    QStringList vistos_;
    QStringList fallos_;
    static Contestador* actual_;
};
