#include "app/ModeloCursos.h"

#include "export/Cursos.h"
#include "text/Texto.h"

ModeloCursos::ModeloCursos(ControlCursos& cursos, std::function<void(std::exception_ptr)> alFallar,
                           QObject* parent)
    : QAbstractTableModel(parent), cursos_(cursos), alFallar_(std::move(alFallar))
{
}

int ModeloCursos::rowCount(const QModelIndex& padre) const
{
    return padre.isValid() ? 0 : static_cast<int>(cursos_.numFilas());
}

int ModeloCursos::columnCount(const QModelIndex& padre) const
{
    return padre.isValid() ? 0 : NumColumnas;
}

QVariant ModeloCursos::data(const QModelIndex& indice, int papel) const
{
    if (!indice.isValid() || (papel != Qt::DisplayRole && papel != Qt::EditRole)) return {};
    const ControlCursos::Fila& fila = cursos_.fila(static_cast<std::size_t>(indice.row()));
    const std::string* campo = nullptr;
    switch (indice.column()) {
    case Clave:
        campo = &fila.clave;
        break;
    case Estudios:
        campo = &fila.estud;
        break;
    case Nivel:
        campo = &fila.nivel;
        break;
    default:
        campo = &fila.curso;
        break;
    }
    return QString::fromStdString(AnsiAUtf8(*campo));
}

QVariant ModeloCursos::headerData(int seccion, Qt::Orientation orientacion, int papel) const
{
    if (orientacion != Qt::Horizontal || papel != Qt::DisplayRole) return {};
    static const char* const titulos[NumColumnas] = {"CÓD.SÉNECA", "ESTUDIOS", "NIVEL", "CURSO"};
    return seccion >= 0 && seccion < NumColumnas ? QString(titulos[seccion]) : QVariant();
}

Qt::ItemFlags ModeloCursos::flags(const QModelIndex& indice) const
{
    Qt::ItemFlags banderas = QAbstractTableModel::flags(indice);
    if (indice.column() == Nivel || indice.column() == Curso) banderas |= Qt::ItemIsEditable;
    return banderas;
}

bool ModeloCursos::setData(const QModelIndex& indice, const QVariant& valor, int papel)
{
    if (!indice.isValid() || papel != Qt::EditRole || !(flags(indice) & Qt::ItemIsEditable)) return false;
    const std::string texto = Utf8AAnsi(valor.toString().toStdString());
    try {
        if (indice.column() == Nivel)
            cursos_.fijarNivel(static_cast<std::size_t>(indice.row()), texto);
        else
            cursos_.fijarCurso(static_cast<std::size_t>(indice.row()), texto);
    } catch (...) {
        alFallar_(std::current_exception());
        return false;
    }
    emit dataChanged(indice, indice);
    return true;
}

void ModeloCursos::recargar()
{
    beginResetModel();
    endResetModel();
}

int ModeloCursos::ancho(int columna)
{
    static const int anchos[NumColumnas] = {10, 80, 5, 3};
    return anchos[columna];
}

int ModeloCursos::anchoVisible(int columna)
{
    static const int anchos[NumColumnas] = {10, 40, 5, 3};
    return anchos[columna];
}
