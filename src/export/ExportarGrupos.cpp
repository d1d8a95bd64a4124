#include "comun/Error.h"
#include "data/Tabla.h"
#include "export/Exportacion.h"
#include "export/TablasTrabajo.h"
#include "text/Texto.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

// The text with every small letter of Windows-1252 turned into its capital, accented ones included.
std::string SinCaso(std::string texto)
{
    for (char& c : texto) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte >= 'a' && byte <= 'z') || (byte >= 0xE0 && byte <= 0xFE && byte != 0xF7))
            c = static_cast<char>(byte - 0x20);
        else if (byte == 0x9A || byte == 0x9C || byte == 0x9E) // š œ ž
            c = static_cast<char>(byte - 0x10);
        else if (byte == 0xFF) // ÿ
            c = static_cast<char>(0x9F);
    }
    return texto;
}

// Abbreviations handed out in this run; a group abbreviation must not repeat, whatever its case.
class ListaAbreviaturas {
public:
    bool contiene(const std::string& abrev) const
    {
        const std::string buscada = SinCaso(abrev);
        return std::any_of(usadas_.begin(), usadas_.end(),
                           [&](const std::string& usada) { return SinCaso(usada) == buscada; });
    }
    void agregar(const std::string& abrev) { usadas_.push_back(abrev); }

private:
    std::vector<std::string> usadas_;
};

// The base itself when free; otherwise the base with its last letter moved on from A until free.
std::string AbreviaturaLibre(const std::string& base, const ListaAbreviaturas& lista)
{
    if (!lista.contiene(base)) return base;
    std::string abrev = base;
    for (int letra = 'A'; letra <= 0xFF; ++letra) {
        abrev.back() = static_cast<char>(letra);
        if (!lista.contiene(abrev)) return abrev;
    }
    throw Error("No quedan letras para un grupo más de la abreviatura «" + AnsiAUtf8(base) +
                "» en la tabla GRUPOST: hay demasiadas unidades del mismo nivel y curso.");
}

} // namespace

void ExportarGrupos(ContextoExportacion& ctx)
{
    Tabla::borrar(ctx.carpeta, "GRUPOST");
    Tabla cursos = Tabla::abrir(ctx.carpeta, "CURSOST");
    Tabla grupos = Tabla::crear(ctx.carpeta, "GRUPOST", CamposGrupost());
    ListaAbreviaturas abreviaturas;

    for (const NodoXml& registro : ctx.docSeneca.registros("UNIDADES")) {
        if (registro.numDatos() < 2) continue;
        const std::string unidad = registro.valor(1);
        // A record with two values has no course key; it is written as a unit of an unknown course.
        const std::string claveCurso = registro.valor(3);

        std::string nivel, curso, descripcion;
        if (!claveCurso.empty() && cursos.localizar("CLAVE", {claveCurso})) {
            nivel = cursos.texto("NIVEL");
            curso = cursos.texto("CURSO");
            descripcion = cursos.texto("ESTUD");
        }

        const std::string base = Izquierda(nivel, 5) + Izquierda(curso, 1) + "A";
        const std::string abrev = AbreviaturaLibre(base, abreviaturas);
        abreviaturas.agregar(abrev);

        grupos.agregar();
        grupos.fijar("ABREV", abrev);
        grupos.fijar("NIVEL", nivel.empty() ? "NIV" : nivel);
        grupos.fijar("CURSO", curso);
        grupos.fijar("GRUPO", abrev.substr(abrev.size() - 1));
        grupos.fijar("CLAVE", unidad);
        grupos.fijar("CLAVECURSO", claveCurso);
        grupos.fijar("DESCRIP", descripcion);
        grupos.fijar("MARCO", "0");
        grupos.grabar();
    }
    grupos.cerrar();
    cursos.cerrar();
}
