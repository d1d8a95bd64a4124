#include "comun/Error.h"
#include "data/Tabla.h"
#include "export/Exportacion.h"
#include "export/RegistroMateria.h"
#include "export/TablasTrabajo.h"
#include "text/Texto.h"

#include <set>
#include <string>

namespace {

constexpr int kAnchoCodigo = 10;
constexpr int kAnchoNombre = 80;

// The subjects met in one export; they live only while the step runs, so every run starts afresh.
struct ListasMaterias {
    std::set<std::string> ListaCodigosCortos;
    std::set<std::string> ListaCodigosLargos;
    std::set<std::string> ListaNombres;           // in capitals
    std::set<std::string> ListaCodigoLargoNombre; // long code immediately followed by the name

    bool conocida(const std::string& nombre, const std::string& codLargo) const
    {
        return ListaNombres.count(Mayusculas(nombre)) && ListaCodigosLargos.count(codLargo) &&
               ListaCodigoLargoNombre.count(codLargo + nombre);
    }
    void anotar(const std::string& nombre, const std::string& codLargo)
    {
        ListaNombres.insert(Mayusculas(nombre));
        ListaCodigosLargos.insert(codLargo);
        ListaCodigoLargoNombre.insert(codLargo + nombre);
    }
};

Tabla AbrirSenematerias(const std::filesystem::path& ruta)
{
    const std::filesystem::path carpeta = ruta.parent_path().empty() ? "." : ruta.parent_path();
    const std::string nombre = ruta.filename().string();
    if (!Tabla::existe(carpeta, nombre))
        throw Error("No existe la tabla de referencia de materias " + ruta.string() +
                    ": sin ella no se pueden dar códigos a las materias.");
    Tabla tabla = Tabla::abrir(carpeta, nombre, Acceso::Compartido);
    for (const char* campo : {"NOMBRE", "COD", "CODLARGO"})
        if (!tabla.tieneCampo(campo))
            throw Error("La tabla de referencia de materias " + ruta.string() + " no tiene el campo " + campo +
                        ".");
    return tabla;
}

// The short code made from a name that is not empty: its first character when that is not a capital
// A-Z, then its capitals; a lone character becomes the initials of the words, or the name's first six
// characters when it is one word.
std::string CodigoDesdeNombre(const std::string& nombre)
{
    std::string codigo;
    if (nombre.front() < 'A' || nombre.front() > 'Z') codigo = nombre.front();
    codigo += SoloMayusculas(nombre);
    if (codigo.size() == 1) {
        if (nombre.find(' ') != std::string::npos)
            codigo = nombre.front() + Iniciales(nombre);
        else
            codigo = Izquierda(nombre, 6);
    }
    return codigo;
}

// A numbered code too long for its field keeps the number whole at its end.
std::string Acortar(const std::string& raiz, const std::string& numero)
{
    const std::string codigo = raiz + numero;
    if (codigo.size() <= static_cast<std::size_t>(kAnchoCodigo)) return codigo;
    return Izquierda(raiz, kAnchoCodigo - static_cast<int>(numero.size())) + numero;
}

// Subject codes must stay unique: a code in use gets its last character replaced by 1, 2, 3...
// until the code, as it will be stored, is free.
std::string CodigoLibre(const std::string& codigo, const std::set<std::string>& enUso)
{
    if (!enUso.count(codigo)) return codigo;
    const std::string raiz = codigo.substr(0, codigo.size() - 1);
    for (unsigned long long n = 1;; ++n) {
        std::string candidato = Acortar(raiz, std::to_string(n));
        if (!enUso.count(candidato)) return candidato;
    }
}

// Appends a subject row and sets the fields both subject tables share; the caller posts it.
void AgregarMateria(Tabla& tabla, const std::string& cod, const std::string& codLargo, const std::string& nombre)
{
    tabla.agregar();
    tabla.fijar("COD", cod);
    tabla.fijar("CODLARGO", codLargo);
    tabla.fijar("NOMBRE", nombre);
    tabla.fijarLogico("ESTAREA", false);
}

// One (subject key, course offer) pair of ASIGNOMT2 under the subject's short code.
void AgregarPareja(Tabla& asignomt2, const std::string& cod, const std::string& codLargo,
                   const RegistroMateria& materia)
{
    AgregarMateria(asignomt2, cod, codLargo, materia.nombre);
    asignomt2.fijar("MATERIA", materia.clave);
    asignomt2.fijar("OFERTAMATRI", materia.oferta);
    asignomt2.grabar();
}

} // namespace

void ExportarMaterias(ContextoExportacion& ctx)
{
    Tabla::borrar(ctx.carpeta, "ASIGNOMT");
    Tabla asignomt = Tabla::crear(ctx.carpeta, "ASIGNOMT", CamposAsignomt());
    Tabla::borrar(ctx.carpeta, "ASIGNOMT2");
    Tabla asignomt2 = Tabla::crear(ctx.carpeta, "ASIGNOMT2", CamposAsignomt2());
    Tabla senematerias = AbrirSenematerias(ctx.senematerias);

    ListasMaterias listas;
    for (const NodoXml& registro : ctx.docSeneca.registros("MATERIAS")) {
        if (registro.numDatos() < 2) continue;
        const RegistroMateria materia = LeerRegistroMateria(registro);

        std::string cod, codLargo;
        if (senematerias.localizar("NOMBRE", {materia.nombre})) {
            cod = senematerias.texto("COD");
            codLargo = senematerias.texto("CODLARGO");
        }
        if (QuitaBlancos(cod).empty()) {
            // Without a name nor a reference code there is nothing to build a code from.
            if (materia.nombre.empty()) continue;
            cod = CodigoDesdeNombre(materia.nombre);
        }
        if (QuitaBlancos(codLargo).empty())
            codLargo = cod.size() > 4 ? cod : Izquierda(materia.nombre, kAnchoCodigo);
        cod = Izquierda(cod, kAnchoCodigo);

        if (!listas.conocida(materia.nombre, codLargo)) {
            listas.anotar(materia.nombre, codLargo);
            cod = CodigoLibre(cod, listas.ListaCodigosCortos);
            listas.ListaCodigosCortos.insert(cod);
            AgregarMateria(asignomt, cod, codLargo, materia.nombre);
            asignomt.grabar();
            AgregarPareja(asignomt2, cod, codLargo, materia);
            continue;
        }

        // A subject met before only adds its (key, offer) pair, under the code it already has.
        if (asignomt2.localizar("MATERIA;OFERTAMATRI", {materia.clave, materia.oferta})) continue;
        if (asignomt.localizar("CODLARGO;NOMBRE",
                               {Izquierda(codLargo, kAnchoCodigo), Izquierda(materia.nombre, kAnchoNombre)}))
            AgregarPareja(asignomt2, asignomt.texto("COD"), codLargo, materia);
    }
    senematerias.cerrar();
    asignomt2.cerrar();
    asignomt.cerrar();
}
