#pragma once
#include "app/InteraccionQt.h"
#include "comun/Sesion.h"

#include <QStringList>
#include <QWidget>

#include <functional>

class Incrustacion;
class QPushButton;

// The main window: the two direction buttons, the state the runs share, the two run modes and the
// result code left in Quintara.ini in integrated mode (two command-line parameters: the direction
// and the caller's window id in hexadecimal).
class TMForm : public QWidget {
    Q_OBJECT
public:
    // parametros: the command line without the program's name. carpetas.programa holds
    // SENEMATERIAS.DBF and Quintara.ini.
    TMForm(QStringList parametros, Carpetas carpetas, Incrustacion& incrustacion, QWidget* parent = nullptr);
    ~TMForm() override;

    const SesionTraspaso& sesion() const { return sesion_; }
    InteraccionQt& interaccion() { return interaccion_; }
    std::filesystem::path ficheroIni() const;

    void BExportarClick();
    void BImportarClick();
    void Button1Click();

signals:
    // The caller's window is gone; the result code has been written (estado 1 when it could not be).
    // The program is to end with that status.
    void programaTerminado(int estado);

protected:
    void showEvent(QShowEvent* evento) override;
    void closeEvent(QCloseEvent* evento) override;
    void resizeEvent(QResizeEvent* evento) override;

private:
    void construir();
    void FormCreate();
    void FormShow();
    void ejecutar(const std::function<FinTraspaso()>& traspaso);
    void escribirResultado() const;
    void anfitrionCerrado();
    void mostrarError(const QString& texto);

    QStringList parametros_;
    Carpetas carpetas_;
    Incrustacion& incrustacion_;
    SesionTraspaso sesion_;
    InteraccionQt interaccion_;
    QWidget* lienzo_ = nullptr;
    QPushButton* bExportar_ = nullptr;
    QPushButton* bImportar_ = nullptr;
    bool mostrado_ = false;
    bool terminado_ = false;
};
