#pragma once
#include "app/Incrustacion.h"
#include "comun/Sesion.h"

#include <QStringList>
#include <QTemporaryDir>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

// A fresh program folder (SENEMATERIAS.DBF, Quintara.ini) and working folder with its "seneca"
// subfolder, removed at the end.
class Escenario {
public:
    Escenario();
    Carpetas carpetas() const { return {trabajo, programa}; }
    // Copies seneca.xml and planificacion.xml of a sample school into the "seneca" subfolder.
    void copiarCentro(const std::string& centro);
    QString fichero(const std::string& nombre) const; // a file of the "seneca" subfolder
    std::filesystem::path ini() const { return programa / "Quintara.ini"; }

    QTemporaryDir raiz;
    std::filesystem::path programa, trabajo, seneca;
};

// Stands in for the caller's X window: the ids given exist; the test can destroy "the" window.
class IncrustacionFalsa : public Incrustacion {
    Q_OBJECT
public:
    std::vector<quint32> existentes{0x1A2B};
    std::optional<quint32> incrustadaEn;

    void incrustar(QWidget& ventana, quint32 id) override;
    void cerrarAnfitrion() { emit anfitrionCerrado(); }
};

std::string LeerTexto(const std::filesystem::path& ruta);
void EscribirTexto(const std::filesystem::path& ruta, const std::string& texto);
// One field of every row of a working table, as text (UTF-8).
QStringList Columna(const std::filesystem::path& carpeta, const std::string& tabla, const std::string& campo);
