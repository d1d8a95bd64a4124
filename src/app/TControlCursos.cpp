#include "app/TControlCursos.h"

#include "app/Apariencia.h"
#include "app/Ayuda.h"
#include "app/InteraccionQt.h"
#include "app/ModeloCursos.h"
#include "export/Cursos.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

// The grid: the Enter key moves to the next column, from the last column to the next row's level.
class RejillaCursos : public QTableView {
public:
    using QTableView::QTableView;

    void avanzarColumna()
    {
        const QModelIndex actual = currentIndex();
        if (!actual.isValid()) return;
        QModelIndex siguiente = actual.siblingAtColumn(actual.column() + 1);
        if (actual.column() + 1 >= ModeloCursos::NumColumnas)
            siguiente = actual.row() + 1 < model()->rowCount()
                            ? model()->index(actual.row() + 1, ModeloCursos::Nivel)
                            : QModelIndex();
        if (!siguiente.isValid()) return;
        setCurrentIndex(siguiente);
        if (siguiente.flags() & Qt::ItemIsEditable) edit(siguiente);
    }

protected:
    void keyPressEvent(QKeyEvent* evento) override
    {
        if (evento->key() == Qt::Key_Return || evento->key() == Qt::Key_Enter) {
            avanzarColumna();
            return;
        }
        QTableView::keyPressEvent(evento);
    }
};

// Editors as wide as the fields; Enter stores the value and moves on.
class DelegadoCursos : public QStyledItemDelegate {
public:
    explicit DelegadoCursos(RejillaCursos* rejilla) : QStyledItemDelegate(rejilla), rejilla_(rejilla) {}

    QWidget* createEditor(QWidget* padre, const QStyleOptionViewItem& opcion,
                          const QModelIndex& indice) const override
    {
        QWidget* editor = QStyledItemDelegate::createEditor(padre, opcion, indice);
        if (auto* linea = qobject_cast<QLineEdit*>(editor))
            linea->setMaxLength(ModeloCursos::ancho(indice.column()));
        return editor;
    }

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override
    {
        auto* editor = qobject_cast<QWidget*>(objeto);
        if (editor && evento->type() == QEvent::KeyPress) {
            const int tecla = static_cast<QKeyEvent*>(evento)->key();
            if (tecla == Qt::Key_Return || tecla == Qt::Key_Enter) {
                emit commitData(editor);
                emit closeEditor(editor, QAbstractItemDelegate::NoHint);
                rejilla_->avanzarColumna();
                return true;
            }
        }
        return QStyledItemDelegate::eventFilter(objeto, evento);
    }

private:
    RejillaCursos* rejilla_;
};

QLabel* Etiqueta(const QString& texto, QWidget* padre, const QString& estilo = {})
{
    auto* etiqueta = new QLabel(texto, padre);
    etiqueta->setWordWrap(true);
    if (!estilo.isEmpty()) etiqueta->setStyleSheet(estilo);
    return etiqueta;
}

} // namespace

TControlCursos::TControlCursos(ControlCursos& cursos, InteraccionQt& interaccion, QWidget* parent)
    : QDialog(parent), cursos_(cursos), interaccion_(interaccion)
{
    construir();
    // The incident texts belong beside "¡Atención! Falta algún Dato", while that message is up.
    connect(&interaccion_, &InteraccionQt::mensajeAMostrar, this, &TControlCursos::actualizarElementos);
}

TControlCursos::~TControlCursos() = default;

void TControlCursos::construir()
{
    setObjectName("ControlCursos");
    setWindowTitle(TextosCursos::kTitulo);
    setProperty("temaAyuda", TemaAyuda::Principal);
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(686, 499);
    setFont(Fuente("MS Sans Serif", 11));

    auto* panel = new PanelDegradado(QColor(0x00, 0x80, 0x00), Qt::white, QColor(0x00, 0x80, 0x00), this);
    panel->setGeometry(0, 0, 686, 499);

    auto* titulo = new QLabel("ASIGNACIÓN DE NIVELES Y CURSOS", panel);
    QFont fuenteTitulo = Fuente("Arial", 16, true);
    fuenteTitulo.setUnderline(true);
    titulo->setFont(fuenteTitulo);
    titulo->setStyleSheet("color: white;");
    titulo->move(86, 5);
    titulo->adjustSize();

    construirNavegador(panel);

    auto* rejilla = new RejillaCursos(panel);
    rejilla_ = rejilla;
    rejilla_->setObjectName("CursosTDBGrid");
    rejilla_->setGeometry(3, 56, 454, 433);
    modelo_ = new ModeloCursos(
        cursos_, [this](std::exception_ptr error) { fallo(error); }, this);
    rejilla_->setModel(modelo_);
    rejilla_->setItemDelegate(new DelegadoCursos(rejilla));
    rejilla_->setSelectionMode(QAbstractItemView::SingleSelection);
    rejilla_->setEditTriggers(QAbstractItemView::AnyKeyPressed | QAbstractItemView::DoubleClicked |
                              QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
    rejilla_->setAlternatingRowColors(true);
    QPalette colores = rejilla_->palette();
    colores.setColor(QPalette::Base, QColor(0xF0, 0xFB, 0xFF));
    colores.setColor(QPalette::AlternateBase, QColor(0xCF, 0xD9, 0xFE));
    rejilla_->setPalette(colores);
    rejilla_->verticalHeader()->setDefaultSectionSize(rejilla_->fontMetrics().height() + 6);
    rejilla_->verticalHeader()->setFixedWidth(14);
    QHeaderView* cabecera = rejilla_->horizontalHeader();
    QFont negrita = font();
    negrita.setBold(true);
    cabecera->setFont(negrita);
    cabecera->setStyleSheet("QHeaderView::section { background-color: #FEE4A9; font-weight: bold;"
                            " border: 1px solid #C0A060; padding: 2px; }");
    cabecera->setFixedHeight(2 * QFontMetrics(negrita).height() + 8);
    const int letra = rejilla_->fontMetrics().averageCharWidth();
    for (int columna = 0; columna < ModeloCursos::NumColumnas; ++columna) {
        const int titulo =
            QFontMetrics(negrita).horizontalAdvance(modelo_->headerData(columna, Qt::Horizontal).toString());
        rejilla_->setColumnWidth(columna, std::max(ModeloCursos::anchoVisible(columna) * letra, titulo) + 14);
    }
    // The studies take what the other columns leave, so the grid never scrolls sideways.
    cabecera->setSectionResizeMode(ModeloCursos::Estudios, QHeaderView::Stretch);
    connect(rejilla_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& actual, const QModelIndex& anterior) {
                if (anterior.isValid() && actual.column() != anterior.column()) {
                    cursos_.CursosTDBGridColEnter();
                    actualizarElementos();
                }
            });

    construirTextos(panel);

    bitBtn1_ = new QPushButton(IconoVisto(), "OK", panel);
    bitBtn1_->setObjectName("BitBtn1");
    bitBtn1_->setFont(negrita);
    bitBtn1_->setGeometry(519, 397, 101, 25);
    bitBtn1_->setAutoDefault(false);
    connect(bitBtn1_, &QPushButton::clicked, this, &TControlCursos::bitBtn1Click);

    bitBtn2_ = new QPushButton("Forzar Salida Sin Terminar Proceso ", panel);
    bitBtn2_->setObjectName("BitBtn2");
    bitBtn2_->setFont(negrita);
    bitBtn2_->setStyleSheet("color: red;");
    bitBtn2_->setGeometry(463, 424, 218, 24);
    bitBtn2_->setAutoDefault(false);
    connect(bitBtn2_, &QPushButton::clicked, this, &TControlCursos::bitBtn2Click);

    avisoSalida_ = Etiqueta("¡ Atención ! Si fuerza la Salida, los Datos recogidos serán INCOHERENTES.", panel,
                            "color: red; background-color: yellow; font-weight: bold;");
    avisoSalida_->setObjectName("AvisoSalida");
    avisoSalida_->setAlignment(Qt::AlignCenter);
    avisoSalida_->setGeometry(479, 450, 182, 39);

    actualizarElementos();
}

void TControlCursos::construirNavegador(QWidget* panel)
{
    auto* navegador = new QWidget(panel);
    navegador->setObjectName("Navegador");
    navegador->setGeometry(105, 29, 275, 24);
    auto* capa = new QHBoxLayout(navegador);
    capa->setContentsMargins(0, 0, 0, 0);
    capa->setSpacing(0);
    auto boton = [&](const char* nombre, const QString& glifo, const QString& ayuda, auto accion) {
        auto* b = new QToolButton(navegador);
        b->setObjectName(nombre);
        b->setText(glifo);
        b->setToolTip(ayuda);
        b->setFixedSize(27, 24);
        connect(b, &QToolButton::clicked, this, accion);
        capa->addWidget(b);
    };
    boton("NavPrimero", "|◀", "Primero", [this] { navegar(-1, true); });
    boton("NavPaginaAnterior", "◀◀", "Página anterior", [this] { navegar(-filasPorPagina(), false); });
    boton("NavAnterior", "◀", "Anterior", [this] { navegar(-1, false); });
    boton("NavSiguiente", "▶", "Siguiente", [this] { navegar(1, false); });
    boton("NavPaginaSiguiente", "▶▶", "Página siguiente", [this] { navegar(filasPorPagina(), false); });
    boton("NavUltimo", "▶|", "Último", [this] { navegar(1, true); });
    boton("NavEditar", "✎", "Editar", [this] {
        QModelIndex actual = rejilla_->currentIndex();
        if (!actual.isValid()) return;
        if (!(actual.flags() & Qt::ItemIsEditable)) actual = actual.siblingAtColumn(ModeloCursos::Nivel);
        rejilla_->setCurrentIndex(actual);
        rejilla_->edit(actual);
    });
    boton("NavGrabar", "✔", "Grabar", [this] { terminarEdicion(); });
    boton("NavCancelar", "✘", "Cancelar", [this] {
        // Escape in the open editor drops what was typed there.
        QWidget* foco = QApplication::focusWidget();
        if (foco && rejilla_->isAncestorOf(foco) && foco != rejilla_) {
            QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
            QApplication::sendEvent(foco, &escape);
        }
    });
    boton("NavRefrescar", "↻", "Refrescar", [this] {
        terminarEdicion();
        const QModelIndex actual = rejilla_->currentIndex();
        modelo_->recargar();
        rejilla_->setCurrentIndex(modelo_->index(std::max(actual.row(), 0), std::max(actual.column(), 0)));
    });
}

void TControlCursos::construirTextos(QWidget* panel)
{
    tituloIncidencia_ = new QLabel("INCIDENCIAS EN EL TRASPASO", panel);
    tituloIncidencia_->setObjectName("TituloIncidencia");
    QFont subrayada = font();
    subrayada.setBold(true);
    subrayada.setUnderline(true);
    tituloIncidencia_->setFont(subrayada);
    tituloIncidencia_->setStyleSheet("color: red; background-color: white;");
    tituloIncidencia_->setAlignment(Qt::AlignCenter);
    tituloIncidencia_->setGeometry(468, 56, 210, 15);

    textoIncidencia_ = Etiqueta("Se ha detectado que falta por indicar algún NIVEL  o CURSO. Complete el/los "
                                "datos que falten, para poder concluir el proceso, antes de Salir.",
                                panel, "color: red; background-color: yellow; font-weight: bold;");
    textoIncidencia_->setObjectName("TextoIncidencia");
    textoIncidencia_->setGeometry(473, 72, 180, 65);

    auto* explicacion = new QWidget(panel);
    explicacion->setGeometry(471, 140, 210, 255);
    auto* capa = new QVBoxLayout(explicacion);
    capa->setContentsMargins(0, 0, 0, 0);
    capa->setSpacing(3);
    QFont negrita = font();
    negrita.setBold(true);
    auto* importante = Etiqueta("¡ IMPORTANTE !", explicacion);
    importante->setFont(negrita);
    capa->addWidget(importante);
    for (const char* linea :
         {"Las Abreviaturas de sus Grupos (Unidades), se formarán, en función del NIVEL y CURSO, del siguiente "
          "modo: ",
          "Por ejemplo, NIVEL=ESO y CURSO=1 daría como resultado", "Abreviatura del Grupo = ESO1A",
          "y así secuencialmente para el resto de Grupos del mismo NIVEL y CURSO, ESO1B, ESO1C.",
          "Ejemplos de Niveles: BCT=Bach.C.T., BHC=Bach.Hum., BT=Bach.Tecnol., LS=Leng.Signos, "
          "GAD=Gest.Admin., EDSO=ESO Diversificación, etc...",
          "Luego es de vital IMPORTANCIA que para cada NIVEL sus 5 Primeros caracteres sean DISTINTOS."})
        capa->addWidget(Etiqueta(linea, explicacion));
    capa->addStretch();
}

void TControlCursos::ejecutar()
{
    cursos_.FormShow();
    cursos_.CursosTDBGridEnter();
    modelo_->recargar();
    if (modelo_->rowCount() > 0) rejilla_->setCurrentIndex(modelo_->index(0, ModeloCursos::Nivel));
    actualizarElementos();
    rejilla_->setFocus();
    interaccion_.ejecutarModal(*this);
    if (error_) std::rethrow_exception(error_);
}

void TControlCursos::reject()
{
    // The typed value is stored while CURSOST is still open, as leaving the grid stores it.
    terminarEdicion();
    if (!terminado_) {
        terminado_ = true;
        protegido([this] { cursos_.cerrarVentana(); });
    }
    QDialog::reject();
}

void TControlCursos::keyPressEvent(QKeyEvent* evento)
{
    // Escape drops what is being typed in a cell; one press too many must not end the dialog and
    // skip the check for missing levels, as closing it does.
    if (evento->key() == Qt::Key_Escape) return;
    QDialog::keyPressEvent(evento);
}

void TControlCursos::bitBtn1Click()
{
    terminarEdicion();
    if (terminado_) return;
    terminado_ = true;
    protegido([this] { cursos_.BitBtn1Click(); });
    if (error_) return;
    actualizarElementos();
    accept();
}

void TControlCursos::bitBtn2Click()
{
    terminarEdicion();
    if (terminado_) return;
    terminado_ = true;
    protegido([this] { cursos_.BitBtn2Click(); });
    if (error_) return;
    accept();
}

void TControlCursos::actualizarElementos()
{
    tituloIncidencia_->setVisible(cursos_.incidenciaVisible());
    textoIncidencia_->setVisible(cursos_.incidenciaVisible());
    bitBtn2_->setVisible(cursos_.salidaForzadaVisible());
    avisoSalida_->setVisible(cursos_.salidaForzadaVisible());
}

void TControlCursos::terminarEdicion()
{
    // Moving the focus off the open editor stores its value, as leaving the grid does.
    QWidget* foco = QApplication::focusWidget();
    if (foco && rejilla_->isAncestorOf(foco) && foco != rejilla_) rejilla_->setFocus();
}

void TControlCursos::navegar(int filas, bool hastaElExtremo)
{
    terminarEdicion();
    const int total = modelo_->rowCount();
    if (total == 0) return;
    const QModelIndex actual = rejilla_->currentIndex();
    const int fila = actual.isValid() ? actual.row() : 0;
    const int columna = actual.isValid() ? actual.column() : ModeloCursos::Nivel;
    int destino = hastaElExtremo ? (filas < 0 ? 0 : total - 1) : fila + filas;
    destino = std::clamp(destino, 0, total - 1);
    rejilla_->setCurrentIndex(modelo_->index(destino, columna));
    rejilla_->setFocus();
}

int TControlCursos::filasPorPagina() const
{
    return std::max(1, rejilla_->viewport()->height() /
                           std::max(1, rejilla_->verticalHeader()->defaultSectionSize()));
}

void TControlCursos::protegido(const std::function<void()>& accion)
{
    try {
        accion();
    } catch (...) {
        fallo(std::current_exception());
    }
}

void TControlCursos::fallo(std::exception_ptr error)
{
    if (!error_) error_ = error;
    terminado_ = true;
    QDialog::reject();
}
