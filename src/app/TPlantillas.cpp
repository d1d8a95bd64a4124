#include "app/TPlantillas.h"

#include "app/Apariencia.h"
#include "app/Ayuda.h"
#include "app/InteraccionQt.h"
#include "export/Plantihoras.h"
#include "text/Texto.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QString Utf8(const std::string& ansi)
{
    return QString::fromStdString(AnsiAUtf8(ansi));
}

QLabel* Etiqueta(const char* nombre, const QString& texto, QWidget* padre)
{
    auto* etiqueta = new QLabel(texto, padre);
    etiqueta->setObjectName(nombre);
    etiqueta->setWordWrap(true);
    return etiqueta;
}

} // namespace

TPlantillas::TPlantillas(Plantillas& plantillas, InteraccionQt& interaccion, QWidget* parent)
    : QDialog(parent), plantillas_(plantillas), interaccion_(interaccion)
{
    setObjectName("Plantillas");
    setWindowTitle(TextosPlantillas::kTitulo);
    setProperty("temaAyuda", TemaAyuda::Marcos);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFont(Fuente("MS Sans Serif", 11));
    resize(560, 430);

    auto* panel = new PanelDegradado(QColor(0xC2, 0xCD, 0xFE), Qt::white, QColor(0xCC, 0xD8, 0xE6), this);
    auto* capaDialogo = new QVBoxLayout(this);
    capaDialogo->setContentsMargins(0, 0, 0, 0);
    capaDialogo->addWidget(panel);

    QFont negrita = font();
    negrita.setBold(true);
    auto* instruccion = Etiqueta("LabelPlantillas", TextosPlantillas::kInstruccion, panel);
    instruccion->setFont(negrita);
    auto* comoSeleccionar = Etiqueta("LabelSelec", TextosPlantillas::kComoSeleccionar, panel);
    QFont negritaCursiva = negrita;
    negritaCursiva.setItalic(true);
    comoSeleccionar->setFont(negritaCursiva);
    comoSeleccionar->setStyleSheet("color: red;");

    listBox2_ = new QListWidget(panel);
    listBox2_->setObjectName("ListBox2");
    listBox2_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    labelNombre_ = Etiqueta("LabelNombre", "-", panel);
    QFont subrayada = negrita;
    subrayada.setUnderline(true);
    labelNombre_->setFont(subrayada);
    labelPlanFec1_ = Etiqueta("LabelPlanFec1", "-", panel);
    labelPlanFec1_->setFont(negrita);
    labelPlanFec2_ = Etiqueta("LabelPlanFec2", "-", panel);
    labelPlanFec2_->setFont(negrita);
    listBox1_ = new QListWidget(panel);
    listBox1_->setObjectName("ListBox1");
    listBox1_->setSelectionMode(QAbstractItemView::SingleSelection);

    bitBtnContinuar_ = new QPushButton(IconoVisto(), "Continuar", panel);
    bitBtnContinuar_->setObjectName("BitBtnContinuar");
    bitBtnContinuar_->setDefault(true);
    bitBtnContinuar_->setMinimumWidth(101);
    connect(bitBtnContinuar_, &QPushButton::clicked, this, &QDialog::accept);

    auto* izquierda = new QVBoxLayout;
    izquierda->addWidget(Etiqueta("LabelMarcos", "MARCOS", panel));
    izquierda->addWidget(listBox2_, 1);
    izquierda->addWidget(labelNombre_);
    izquierda->addWidget(labelPlanFec1_);
    izquierda->addWidget(labelPlanFec2_);
    auto* derecha = new QVBoxLayout;
    derecha->addWidget(Etiqueta("Label1", "HORAS", panel));
    derecha->addWidget(listBox1_, 1);
    auto* listas = new QHBoxLayout;
    listas->addLayout(izquierda, 1);
    listas->addLayout(derecha, 1);
    auto* abajo = new QHBoxLayout;
    abajo->addStretch();
    abajo->addWidget(bitBtnContinuar_);
    auto* capa = new QVBoxLayout(panel);
    capa->setContentsMargins(12, 12, 12, 12);
    capa->addWidget(instruccion);
    capa->addWidget(comoSeleccionar);
    capa->addLayout(listas, 1);
    capa->addLayout(abajo);

    connect(listBox2_, &QListWidget::clicked, this,
            [this](const QModelIndex& indice) { ListBox2Click(indice.row()); });
    connect(listBox2_, &QListWidget::currentRowChanged, this, [this](int linea) {
        if (!rellenando_ && linea >= 0) ListBox2Click(linea);
    });
}

TPlantillas::~TPlantillas() = default;

void TPlantillas::ejecutar()
{
    FormActivate();
    interaccion_.ejecutarModal(*this);
    if (error_) std::rethrow_exception(error_);
}

bool TPlantillas::event(QEvent* evento)
{
    // Every activation reloads the frames, which clears the selection made so far.
    if (evento->type() == QEvent::WindowActivate && !cerrado_) FormActivate();
    return QDialog::event(evento);
}

void TPlantillas::done(int resultado)
{
    if (!cerrado_) {
        cerrado_ = true;
        std::vector<std::size_t> seleccionadas;
        for (const QModelIndex& indice : listBox2_->selectionModel()->selectedIndexes())
            seleccionadas.push_back(static_cast<std::size_t>(indice.row()));
        protegido([&] { plantillas_.FormClose(seleccionadas); });
    }
    QDialog::done(resultado);
}

void TPlantillas::FormActivate()
{
    protegido([this] { plantillas_.FormActivate(); });
    rellenando_ = true;
    listBox2_->clear();
    for (const std::string& codigo : plantillas_.marcos())
        listBox2_->addItem(Utf8(codigo));
    rellenando_ = false;
    mostrarVista();
}

void TPlantillas::ListBox2Click(int linea)
{
    protegido([&] { plantillas_.ListBox2Click(static_cast<std::size_t>(linea)); });
    mostrarVista();
}

void TPlantillas::mostrarVista()
{
    labelNombre_->setText(Utf8(plantillas_.nombre()));
    labelPlanFec1_->setText(Utf8(plantillas_.fecha1()));
    labelPlanFec2_->setText(Utf8(plantillas_.fecha2()));
    listBox1_->clear();
    for (const std::string& hora : plantillas_.horas())
        listBox1_->addItem(Utf8(hora));
}

void TPlantillas::protegido(const std::function<void()>& accion)
{
    try {
        accion();
    } catch (...) {
        if (!error_) error_ = std::current_exception();
        if (!cerrado_) {
            cerrado_ = true;
            QDialog::done(QDialog::Rejected);
        }
    }
}
