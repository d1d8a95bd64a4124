#pragma once
#include <QDialog>

#include <exception>
#include <functional>

class ControlCursos;
class InteraccionQt;
class ModeloCursos;
class QKeyEvent;
class QLabel;
class QPushButton;
class QTableView;
class QWidget;

// "Asignación de Niveles y Cursos": the grid over CURSOST where the user gives every course a level
// and a course number, driven by the dialog's logic (ControlCursos). One instance serves one showing.
class TControlCursos : public QDialog {
    Q_OBJECT
public:
    TControlCursos(ControlCursos& cursos, InteraccionQt& interaccion, QWidget* parent = nullptr);
    ~TControlCursos() override;

    // FormShow and the grid's entry, then the modal showing. A failure of the logic inside the
    // dialog closes it and is thrown again here.
    void ejecutar();
    // The close box: the dialog ends without any check, keeping the value being typed.
    void reject() override;

protected:
    void keyPressEvent(QKeyEvent* evento) override;

private:
    void construir();
    void construirNavegador(QWidget* panel);
    void construirTextos(QWidget* panel);
    void bitBtn1Click();
    void bitBtn2Click();
    void actualizarElementos();
    void terminarEdicion();
    void navegar(int filas, bool hastaElExtremo);
    int filasPorPagina() const;
    void protegido(const std::function<void()>& accion);
    void fallo(std::exception_ptr error);

    ControlCursos& cursos_;
    InteraccionQt& interaccion_;
    ModeloCursos* modelo_ = nullptr;
    QTableView* rejilla_ = nullptr;
    QLabel* tituloIncidencia_ = nullptr;
    QLabel* textoIncidencia_ = nullptr;
    QPushButton* bitBtn1_ = nullptr;
    QPushButton* bitBtn2_ = nullptr;
    QLabel* avisoSalida_ = nullptr;
    bool terminado_ = false;
    std::exception_ptr error_;
};
