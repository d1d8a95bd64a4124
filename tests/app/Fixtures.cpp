#include "Fixtures.h"

#include "comun/Error.h"
#include "data/Tabla.h"
#include "text/Texto.h"

#include <QWidget>

#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

Escenario::Escenario()
    : programa(fs::path(raiz.path().toStdString()) / "programa"),
      trabajo(fs::path(raiz.path().toStdString()) / "QTEMP"), seneca(trabajo / "seneca")
{
    fs::create_directories(programa);
    fs::create_directories(seneca);
    fs::copy_file(fs::path(DIR_BIN) / "SENEMATERIAS.DBF", programa / "SENEMATERIAS.DBF");
}

void Escenario::copiarCentro(const std::string& centro)
{
    for (const char* nombre : {"seneca.xml", "planificacion.xml"})
        fs::copy_file(fs::path(EJEMPLOS) / centro / nombre, seneca / nombre, fs::copy_options::overwrite_existing);
}

QString Escenario::fichero(const std::string& nombre) const
{
    return QString::fromStdString((seneca / nombre).string());
}

void IncrustacionFalsa::incrustar(QWidget& ventana, quint32 id)
{
    if (std::find(existentes.begin(), existentes.end(), id) == existentes.end())
        throw Error("No existe ninguna ventana con el identificador " + QString::number(id, 16).toStdString());
    incrustadaEn = id;
    ventana.setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
}

std::string LeerTexto(const fs::path& ruta)
{
    std::ifstream entrada(ruta, std::ios::binary);
    std::ostringstream texto;
    texto << entrada.rdbuf();
    return texto.str();
}

void EscribirTexto(const fs::path& ruta, const std::string& texto)
{
    std::ofstream salida(ruta, std::ios::binary);
    salida << texto;
}

QStringList Columna(const fs::path& carpeta, const std::string& tabla, const std::string& campo)
{
    QStringList valores;
    Tabla t = Tabla::abrir(carpeta, tabla, Acceso::Compartido);
    for (t.primero(); !t.fin(); t.siguiente())
        valores << QString::fromStdString(AnsiAUtf8(t.texto(campo)));
    return valores;
}
