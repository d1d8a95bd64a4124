#pragma once
#include <QDialog>

#include <exception>
#include <functional>

class InteraccionQt;
class Plantillas;
class QLabel;
class QListWidget;
class QPushButton;

// "Planillas, Marcos o Jornadas Horarias": the user chooses one or two time frames, driven by the
// dialog's logic (Plantillas). One instance serves one showing; it never refuses to close.
class TPlantillas : public QDialog {
    Q_OBJECT
public:
    TPlantillas(Plantillas& plantillas, InteraccionQt& interaccion, QWidget* parent = nullptr);
    ~TPlantillas() override;

    // The modal showing; a failure of the logic inside the dialog closes it and is thrown again here.
    void ejecutar();
    // "Continuar" and the close box both end here: FormClose with the selected lines.
    void done(int resultado) override;

protected:
    bool event(QEvent* evento) override;

private:
    void FormActivate();
    void ListBox2Click(int linea);
    void mostrarVista();
    void protegido(const std::function<void()>& accion);

    Plantillas& plantillas_;
    InteraccionQt& interaccion_;
    QListWidget* listBox2_ = nullptr;
    QListWidget* listBox1_ = nullptr;
    QLabel* labelNombre_ = nullptr;
    QLabel* labelPlanFec1_ = nullptr;
    QLabel* labelPlanFec2_ = nullptr;
    QPushButton* bitBtnContinuar_ = nullptr;
    bool rellenando_ = false;
    bool cerrado_ = false;
    std::exception_ptr error_;
};
