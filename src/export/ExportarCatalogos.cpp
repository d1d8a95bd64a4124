#include "comun/Error.h"
#include "data/Tabla.h"
#include "export/Exportacion.h"
#include "export/TablasTrabajo.h"
#include "text/Texto.h"

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

namespace {

struct Catalogo {
    const char* tabla;
    const char* seccion;
    const std::vector<Campo>& campos; // filled from the record's values, first value first
};

const std::vector<Catalogo> catalogos = {
    {"ORIGENES_C", "ORIGENES", CamposOrigenesC()},
    {"NIVELES_C", "NIVELES", CamposNivelesC()},
    {"CUR_NIV_C", "CURSOS_NIVELES", CamposCurNivC()},
    {"AUTORIZA_C", "AUTORIZACIONES", CamposAutorizaC()},
};

// The value for one field of the table. A value the record lacks leaves the field empty; a value it
// holds must fit the field.
std::string ValorCampo(const NodoXml& registro, std::size_t posicion, const Campo& campo, const Catalogo& catalogo,
                       std::size_t numRegistro, const DocumentoXml& doc)
{
    const std::string valor = registro.valor(posicion);
    if (campo.tipo != 'I' || posicion > registro.numDatos()) return valor;
    long long numero = 0;
    if (!LeerEnteroEstricto(valor, numero) || numero < std::numeric_limits<std::int32_t>::min() ||
        numero > std::numeric_limits<std::int32_t>::max())
        throw Error("El registro nº " + std::to_string(numRegistro) + " de la sección " + catalogo.seccion +
                    " del fichero «" + doc.ruta().string() + "» tiene en el campo " + campo.nombre +
                    " de la tabla " + catalogo.tabla + " un valor que no es un número entero: «" +
                    AnsiAUtf8(valor) + "».");
    return std::to_string(numero);
}

void EscribirCatalogo(const ContextoExportacion& ctx, const Catalogo& catalogo)
{
    Tabla::borrar(ctx.carpeta, catalogo.tabla);
    Tabla tabla = Tabla::crear(ctx.carpeta, catalogo.tabla, catalogo.campos);
    std::size_t numRegistro = 0;
    for (const NodoXml& registro : ctx.docSeneca.registros(catalogo.seccion)) {
        ++numRegistro;
        if (registro.numDatos() < 2) continue;
        std::vector<std::string> valores;
        for (std::size_t i = 0; i < catalogo.campos.size(); ++i)
            valores.push_back(
                ValorCampo(registro, i + 1, catalogo.campos[i], catalogo, numRegistro, ctx.docSeneca));
        tabla.agregar();
        for (std::size_t i = 0; i < catalogo.campos.size(); ++i)
            tabla.fijar(catalogo.campos[i].nombre, valores[i]);
        tabla.grabar();
    }
    tabla.cerrar();
}

} // namespace

void ExportarCatalogos(ContextoExportacion& ctx)
{
    Tabla::borrar(ctx.carpeta, "ORIGENES_C");
    // Without origins there are no catalogues; the other three stay as an earlier run left them.
    if (ctx.docSeneca.registros("ORIGENES").empty()) return;
    for (const Catalogo& catalogo : catalogos)
        EscribirCatalogo(ctx, catalogo);
}
