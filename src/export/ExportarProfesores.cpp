#include "data/Tabla.h"
#include "export/Exportacion.h"
#include "export/TablasTrabajo.h"

#include <string>
#include <vector>

namespace {

// Windows-1252 letter folded to its capital: a-z, the accented small letters, š, œ, ž and ÿ.
char Capital(char c)
{
    const auto b = static_cast<unsigned char>(c);
    if (b >= 'a' && b <= 'z') return static_cast<char>(b - 32);
    if (b >= 0xE0 && b <= 0xFE && b != 0xF7) return static_cast<char>(b - 32);
    switch (b) {
    case 0x9A:
        return static_cast<char>(0x8A);
    case 0x9C:
        return static_cast<char>(0x8C);
    case 0x9E:
        return static_cast<char>(0x8E);
    case 0xFF:
        return static_cast<char>(0x9F);
    default:
        return c;
    }
}

std::string EnCapitales(std::string texto)
{
    for (char& c : texto)
        c = Capital(c);
    return texto;
}

// Abbreviations in use, compared without regard to case (gla and GLA are the same teacher code).
class Abreviaturas {
public:
    bool contiene(const std::string& abreviatura) const
    {
        const std::string buscada = EnCapitales(abreviatura);
        for (const std::string& enUso : enUso_)
            if (enUso == buscada) return true;
        return false;
    }
    void anotar(const std::string& abreviatura) { enUso_.push_back(EnCapitales(abreviatura)); }

private:
    std::vector<std::string> enUso_;
};

std::string Inicial(const std::string& parte)
{
    return parte.substr(0, 1);
}

} // namespace

void ExportarProfesores(ContextoExportacion& ctx)
{
    Tabla::borrar(ctx.carpeta, "PROFT");
    Tabla proft = Tabla::crear(ctx.carpeta, "PROFT", CamposProft());
    Abreviaturas abreviaturas;
    for (const NodoXml& registro : ctx.docSeneca.registros("EMPLEADOS")) {
        if (registro.numDatos() < 2) continue;
        const std::string nombre1 = registro.valor(4), nombre2 = registro.valor(5), nombre3 = registro.valor(6);

        const std::string base = Inicial(nombre1) + Inicial(nombre2) + Inicial(nombre3);
        std::string abreviatura = base;
        for (int n = 1; abreviaturas.contiene(abreviatura); ++n)
            abreviatura = base + std::to_string(n);
        abreviaturas.anotar(abreviatura);

        proft.agregar();
        proft.fijar("ABREV", abreviatura);
        proft.fijar("NOMBRE", nombre1 + " " + nombre2 + " " + nombre3);
        proft.fijar("X_EMPLEADO", registro.valor(1));
        proft.fijar("F_TOMAPOS", registro.valor(2));
        proft.fijar("DEPART", registro.valor(3));
        proft.grabar();
    }
    proft.cerrar();
}
