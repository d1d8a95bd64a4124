#pragma once
#include <QAbstractTableModel>

#include <exception>
#include <functional>

class ControlCursos;

// The courses of CURSOST as the grid of the level and course dialog shows them, over the dialog's
// logic: CÓD.SÉNECA and ESTUDIOS read only, NIVEL and CURSO editable and stored at once.
class ModeloCursos : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Columna { Clave, Estudios, Nivel, Curso, NumColumnas };

    // alFallar receives a failure to store a value: it must not cross the event loop.
    ModeloCursos(ControlCursos& cursos, std::function<void(std::exception_ptr)> alFallar,
                 QObject* parent = nullptr);

    int rowCount(const QModelIndex& padre = {}) const override;
    int columnCount(const QModelIndex& padre = {}) const override;
    QVariant data(const QModelIndex& indice, int papel) const override;
    QVariant headerData(int seccion, Qt::Orientation orientacion, int papel = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& indice) const override;
    bool setData(const QModelIndex& indice, const QVariant& valor, int papel) override;

    // The rows are read again from the logic.
    void recargar();
    // Field width in characters, as the table holds it.
    static int ancho(int columna);
    // Display width in characters.
    static int anchoVisible(int columna);

private:
    ControlCursos& cursos_;
    std::function<void(std::exception_ptr)> alFallar_;
};
