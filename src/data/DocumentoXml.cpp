#include "data/DocumentoXml.h"

#include "comun/Error.h"
#include "data/EscrituraSegura.h"
#include "text/Texto.h"

#include <libxml/parser.h>
#include <libxml/parserInternals.h>
#include <libxml/tree.h>
#include <libxml/xmlerror.h>
#include <libxml/xmlsave.h>
#include <libxml/xpath.h>

#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <limits>
#include <mutex>
#include <system_error>

namespace fs = std::filesystem;

namespace {

const xmlChar* Xml(const std::string& utf8)
{
    return reinterpret_cast<const xmlChar*>(utf8.c_str());
}

struct LiberarXml {
    void operator()(xmlChar* texto) const { xmlFree(texto); }
    void operator()(xmlDoc* doc) const { xmlFreeDoc(doc); }
    void operator()(xmlParserCtxt* contexto) const { xmlFreeParserCtxt(contexto); }
    void operator()(xmlXPathContext* contexto) const { xmlXPathFreeContext(contexto); }
    void operator()(xmlXPathObject* objeto) const { xmlXPathFreeObject(objeto); }
    void operator()(xmlOutputBuffer* salida) const { xmlOutputBufferClose(salida); }
};
template <typename T> using PunteroXml = std::unique_ptr<T, LiberarXml>;

void IniciarLibxml()
{
    static std::once_flag iniciado;
    std::call_once(iniciado, [] { xmlInitParser(); });
}

std::string Nombre(const fs::path& ruta)
{
    return ruta.string();
}

// Text owned by libxml2, as Windows-1252.
std::string TextoAnsi(xmlChar* utf8)
{
    const PunteroXml<xmlChar> texto(utf8);
    return texto ? Utf8AAnsi(reinterpret_cast<const char*>(texto.get())) : std::string();
}

std::string SinSaltoFinal(std::string mensaje)
{
    while (!mensaje.empty() && (mensaje.back() == '\n' || mensaje.back() == '\r' || mensaje.back() == ' '))
        mensaje.pop_back();
    return mensaje;
}

// Keeps libxml2's messages while it works, so that they reach the user in our error instead of stderr.
class CapturaErrores {
public:
    CapturaErrores()
        : estructuradoAnterior_(xmlStructuredError), contextoEstructuradoAnterior_(xmlStructuredErrorContext),
          genericoAnterior_(xmlGenericError), contextoGenericoAnterior_(xmlGenericErrorContext)
    {
        xmlSetStructuredErrorFunc(this, &CapturaErrores::alError);
        xmlSetGenericErrorFunc(this, &CapturaErrores::alMensaje);
    }
    ~CapturaErrores()
    {
        xmlSetStructuredErrorFunc(contextoEstructuradoAnterior_, estructuradoAnterior_);
        xmlSetGenericErrorFunc(contextoGenericoAnterior_, genericoAnterior_);
    }
    CapturaErrores(const CapturaErrores&) = delete;
    CapturaErrores& operator=(const CapturaErrores&) = delete;

    bool hayError() const { return hayError_; }
    int linea() const { return linea_; }
    int columna() const { return columna_; }
    // The first error's message, or whatever else libxml2 said.
    std::string mensaje() const { return SinSaltoFinal(hayError_ ? mensaje_ : otros_); }

private:
    static void alError(void* propio, xmlErrorPtr error)
    {
        auto* captura = static_cast<CapturaErrores*>(propio);
        if (error == nullptr || error->level < XML_ERR_ERROR || captura->hayError_) return;
        captura->hayError_ = true;
        captura->linea_ = error->line;
        captura->columna_ = error->int2;
        captura->mensaje_ = error->message != nullptr ? error->message : "error desconocido";
    }
    static void alMensaje(void* propio, const char* formato, ...)
    {
        auto* captura = static_cast<CapturaErrores*>(propio);
        char texto[512];
        va_list argumentos;
        va_start(argumentos, formato);
        std::vsnprintf(texto, sizeof texto, formato, argumentos);
        va_end(argumentos);
        captura->otros_ += texto;
    }

    xmlStructuredErrorFunc estructuradoAnterior_;
    void* contextoEstructuradoAnterior_;
    xmlGenericErrorFunc genericoAnterior_;
    void* contextoGenericoAnterior_;
    bool hayError_ = false;
    int linea_ = 0;
    int columna_ = 0;
    std::string mensaje_;
    std::string otros_;
};

// Exchange files never declare entities; refusing the first declaration stops the parser before any
// entity is fetched or expanded (external entities, "billion laughs").
struct EstadoCarga {
    std::string entidad;
};

void RechazarEntidad(void* contexto, const xmlChar* nombre)
{
    auto* parser = static_cast<xmlParserCtxt*>(contexto);
    auto* estado = static_cast<EstadoCarga*>(parser->_private);
    if (estado->entidad.empty()) estado->entidad = nombre != nullptr ? reinterpret_cast<const char*>(nombre) : "?";
    xmlStopParser(parser);
}

void AlDeclararEntidad(void* contexto, const xmlChar* nombre, int, const xmlChar*, const xmlChar*, xmlChar*)
{
    RechazarEntidad(contexto, nombre);
}

void AlDeclararEntidadNoAnalizada(void* contexto, const xmlChar* nombre, const xmlChar*, const xmlChar*,
                                  const xmlChar*)
{
    RechazarEntidad(contexto, nombre);
}

// Whether the bytes open with "<?xml" and a blank, after an optional byte order mark, in UTF-8 or UTF-16.
bool EmpiezaConDeclaracion(const std::string& inicio)
{
    std::string texto = inicio;
    auto quitarPrefijo = [&texto](std::string_view prefijo) {
        if (texto.compare(0, prefijo.size(), prefijo) != 0) return false;
        texto.erase(0, prefijo.size());
        return true;
    };
    const bool bomBe = quitarPrefijo("\xFE\xFF");
    const bool bomLe = !bomBe && quitarPrefijo("\xFF\xFE");
    if (!bomBe && !bomLe) quitarPrefijo("\xEF\xBB\xBF");
    const bool utf16Be = bomBe || (texto.size() > 1 && texto[0] == '\0' && texto[1] == '<');
    const bool utf16Le = bomLe || (texto.size() > 1 && texto[0] == '<' && texto[1] == '\0');
    if (utf16Be || utf16Le) {
        std::string estrecho;
        for (std::size_t i = 0; i + 1 < texto.size(); i += 2)
            estrecho += utf16Be ? texto[i + 1] : texto[i];
        texto = estrecho;
    }
    return texto.size() > 5 && texto.compare(0, 5, "<?xml") == 0 &&
           (texto[5] == ' ' || texto[5] == '\t' || texto[5] == '\r' || texto[5] == '\n');
}

// The whole file, read here rather than by libxml2, which would also fetch URLs and silently
// decompress gzip files (a few megabytes can expand to gigabytes).
std::string LeerContenido(const fs::path& ruta)
{
    std::error_code fallo;
    if (!fs::exists(ruta, fallo)) throw Error("No existe el fichero " + Nombre(ruta));
    if (fs::is_directory(ruta, fallo)) throw Error(Nombre(ruta) + " es una carpeta, no un fichero XML");
    const std::uintmax_t tamano = fs::file_size(ruta, fallo);
    if (fallo) throw Error("No se puede leer el fichero " + Nombre(ruta) + ": " + fallo.message());
    if (tamano > static_cast<std::uintmax_t>(std::numeric_limits<int>::max()))
        throw Error("El fichero " + Nombre(ruta) + " es demasiado grande para un fichero de intercambio");
    std::string contenido(static_cast<std::size_t>(tamano), '\0');
    std::ifstream entrada(ruta, std::ios::binary);
    if (!entrada || !entrada.read(contenido.data(), static_cast<std::streamsize>(contenido.size())))
        throw Error("No se puede leer el fichero " + Nombre(ruta));
    return contenido;
}

bool EsDato(const xmlNode* nodo)
{
    return nodo->type == XML_ELEMENT_NODE && nodo->ns == nullptr && xmlStrEqual(nodo->name, BAD_CAST "dato");
}

// The n-th own dato of an element, or nullptr.
xmlNode* Dato(xmlNode* elemento, std::size_t posicion)
{
    if (elemento == nullptr || posicion == 0) return nullptr;
    for (xmlNode* hijo = elemento->children; hijo != nullptr; hijo = hijo->next)
        if (EsDato(hijo) && --posicion == 0) return hijo;
    return nullptr;
}

// Markup of a node as UTF-8, characters kept as they are (not as numeric references).
std::string MarcadoUtf8(xmlNode* nodo)
{
    const PunteroXml<xmlOutputBuffer> salida(xmlAllocOutputBuffer(nullptr));
    if (!salida) throw Error("No queda memoria para serializar un elemento XML");
    xmlNodeDumpOutput(salida.get(), nodo->doc, nodo, 0, 0, "UTF-8");
    xmlOutputBufferFlush(salida.get());
    const auto* contenido = reinterpret_cast<const char*>(xmlOutputBufferGetContent(salida.get()));
    return contenido != nullptr ? std::string(contenido, xmlOutputBufferGetSize(salida.get())) : std::string();
}

std::vector<NodoXml> Seleccionar(xmlDoc* doc, xmlNode* desde, std::string_view expresion)
{
    std::vector<NodoXml> nodos;
    if (doc == nullptr) return nodos;
    const std::string utf8 = AnsiAUtf8(expresion);
    CapturaErrores captura;
    const PunteroXml<xmlXPathContext> contexto(xmlXPathNewContext(doc));
    if (!contexto) throw Error("No queda memoria para buscar en el documento XML");
    if (desde != nullptr) contexto->node = desde;
    const PunteroXml<xmlXPathObject> resultado(xmlXPathEval(Xml(utf8), contexto.get()));
    if (!resultado) throw Error("La expresión XPath \"" + utf8 + "\" no es válida: " + captura.mensaje());
    if (resultado->type != XPATH_NODESET || resultado->nodesetval == nullptr) return nodos;
    const xmlNodeSet* conjunto = resultado->nodesetval;
    for (int i = 0; i < conjunto->nodeNr; ++i)
        if (conjunto->nodeTab[i]->type == XML_ELEMENT_NODE) nodos.emplace_back(conjunto->nodeTab[i]);
    return nodos;
}

xmlNode* Escribible(xmlNode* nodo)
{
    if (nodo == nullptr) throw Error("No se puede escribir en un elemento XML inexistente");
    return nodo;
}

std::string NombreXml(std::string_view nombre)
{
    std::string utf8 = AnsiAUtf8(nombre);
    if (xmlValidateName(Xml(utf8), 0) != 0) throw Error("\"" + utf8 + "\" no es un nombre XML válido");
    return utf8;
}

// Values come from dBase text: control characters that XML 1.0 cannot hold become '?', as
// unrepresentable characters do when reading.
std::string TextoXml(std::string_view ansi)
{
    std::string utf8 = AnsiAUtf8(ansi);
    for (char& c : utf8)
        if (static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\n' && c != '\r') c = '?';
    return utf8;
}

template <typename T> T Comprobado(T creado)
{
    if (creado == nullptr) throw Error("No queda memoria para construir el documento XML");
    return creado;
}

} // namespace

// ---------------------------------------------------------------------------------------------- NodoXml

std::string NodoXml::nombre() const
{
    return nodo_ != nullptr ? Utf8AAnsi(reinterpret_cast<const char*>(nodo_->name)) : std::string();
}

std::string NodoXml::atributo(std::string_view nombre) const
{
    if (nodo_ == nullptr) return {};
    return TextoAnsi(xmlGetNoNsProp(nodo_, Xml(AnsiAUtf8(nombre))));
}

std::vector<NodoXml> NodoXml::datos() const
{
    std::vector<NodoXml> lista;
    for (xmlNode* hijo = nodo_ != nullptr ? nodo_->children : nullptr; hijo != nullptr; hijo = hijo->next)
        if (EsDato(hijo)) lista.emplace_back(hijo);
    return lista;
}

std::size_t NodoXml::numDatos() const
{
    return datos().size();
}

std::string NodoXml::valor(std::size_t posicion) const
{
    return QuitaBlancos(valorSinQuitar(posicion));
}

std::string NodoXml::valorSinQuitar(std::size_t posicion) const
{
    return NodoXml(Dato(nodo_, posicion)).texto();
}

bool NodoXml::datoLlamado(std::size_t posicion, std::string_view prefijo) const
{
    // The start tag reads <dato nombre_dato=" so the name begins at the 20th character.
    constexpr std::size_t kInicioNombre = 19;
    const NodoXml dato(Dato(nodo_, posicion));
    if (!dato.valido()) return false;
    const std::string marcado = QuitaBlancos(dato.marcado());
    return marcado.size() >= kInicioNombre + prefijo.size() &&
           std::string_view(marcado).substr(kInicioNombre, prefijo.size()) == prefijo;
}

std::string NodoXml::texto() const
{
    return nodo_ != nullptr ? TextoAnsi(xmlNodeGetContent(nodo_)) : std::string();
}

std::string NodoXml::marcado() const
{
    return nodo_ != nullptr ? Utf8AAnsi(MarcadoUtf8(nodo_)) : std::string();
}

NodoXml NodoXml::primerHijo() const
{
    return NodoXml(nodo_ != nullptr ? xmlFirstElementChild(nodo_) : nullptr);
}

std::vector<NodoXml> NodoXml::seleccionar(std::string_view expresion) const
{
    if (nodo_ == nullptr) return {};
    return Seleccionar(nodo_->doc, nodo_, expresion);
}

void NodoXml::fijarAtributo(std::string_view nombre, std::string_view valor)
{
    Comprobado(xmlSetProp(Escribible(nodo_), Xml(NombreXml(nombre)), Xml(TextoXml(valor))));
}

NodoXml NodoXml::agregarElemento(std::string_view nombre)
{
    return NodoXml(Comprobado(xmlNewChild(Escribible(nodo_), nullptr, Xml(NombreXml(nombre)), nullptr)));
}

NodoXml NodoXml::agregarGrupo(std::string_view seq)
{
    NodoXml grupo = agregarElemento("grupo_datos");
    grupo.fijarAtributo("seq", seq);
    return grupo;
}

void NodoXml::agregarDato(std::string_view nombreDato, std::string_view valor)
{
    // A text child, so that '&' and '<' in the value are escaped on saving.
    NodoXml dato(Comprobado(xmlNewTextChild(Escribible(nodo_), nullptr, BAD_CAST "dato", Xml(TextoXml(valor)))));
    dato.fijarAtributo("nombre_dato", nombreDato);
}

// ------------------------------------------------------------------------------------------ DocumentoXml

struct DocumentoXml::Impl {
    fs::path ruta;
    PunteroXml<xmlDoc> doc;
    bool conDeclaracion = true;
};

DocumentoXml::DocumentoXml(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
DocumentoXml::DocumentoXml(DocumentoXml&&) noexcept = default;
DocumentoXml& DocumentoXml::operator=(DocumentoXml&&) noexcept = default;
DocumentoXml::~DocumentoXml() = default;

DocumentoXml DocumentoXml::cargar(const fs::path& ruta)
{
    IniciarLibxml();
    const std::string contenido = LeerContenido(ruta);

    const PunteroXml<xmlParserCtxt> parser(xmlNewParserCtxt());
    if (!parser) throw Error("No queda memoria para leer el fichero " + Nombre(ruta));
    EstadoCarga estado;
    parser->_private = &estado;
    parser->sax->entityDecl = &AlDeclararEntidad;
    parser->sax->unparsedEntityDecl = &AlDeclararEntidadNoAnalizada;

    CapturaErrores captura;
    PunteroXml<xmlDoc> doc(xmlCtxtReadMemory(parser.get(), contenido.data(), static_cast<int>(contenido.size()),
                                             Nombre(ruta).c_str(), nullptr, XML_PARSE_NOBLANKS | XML_PARSE_NONET));
    if (!estado.entidad.empty())
        throw Error("El fichero " + Nombre(ruta) + " declara la entidad \"" + estado.entidad +
                    "\"; un fichero de intercambio no usa entidades y no se carga");
    if (!doc) {
        if (captura.hayError())
            throw Error("El fichero " + Nombre(ruta) + " no es un XML válido (línea " +
                        std::to_string(captura.linea()) + ", columna " + std::to_string(captura.columna()) +
                        "): " + captura.mensaje());
        throw Error("No se puede leer el fichero " + Nombre(ruta) + ": " + captura.mensaje());
    }

    auto impl = std::make_unique<Impl>();
    impl->ruta = ruta;
    impl->doc = std::move(doc);
    impl->conDeclaracion = EmpiezaConDeclaracion(contenido.substr(0, 16));
    return DocumentoXml(std::move(impl));
}

const fs::path& DocumentoXml::ruta() const
{
    return impl_->ruta;
}

std::vector<NodoXml> DocumentoXml::seleccionar(std::string_view expresion) const
{
    return Seleccionar(impl_->doc.get(), nullptr, expresion);
}

NodoXml DocumentoXml::seleccionarUno(std::string_view expresion) const
{
    const std::vector<NodoXml> nodos = seleccionar(expresion);
    return nodos.empty() ? NodoXml() : nodos.front();
}

std::vector<NodoXml> DocumentoXml::secciones() const
{
    return seleccionar("/SERVICIO/BLOQUE_DATOS/grupo_datos");
}

std::vector<NodoXml> DocumentoXml::registros(std::string_view seccion) const
{
    std::string expresion = "/SERVICIO/BLOQUE_DATOS/grupo_datos[@seq=\"";
    expresion.append(seccion);
    expresion += "\"]/grupo_datos";
    return seleccionar(expresion);
}

bool DocumentoXml::tieneBloqueDatos() const
{
    return seleccionarUno("/SERVICIO/BLOQUE_DATOS").valido();
}

NodoXml DocumentoXml::raiz() const
{
    return NodoXml(xmlDocGetRootElement(impl_->doc.get()));
}

void DocumentoXml::quitarRaiz()
{
    xmlNode* raiz = xmlDocGetRootElement(impl_->doc.get());
    if (raiz == nullptr) return;
    xmlUnlinkNode(raiz);
    xmlFreeNode(raiz);
}

NodoXml DocumentoXml::crearRaiz(std::string_view nombre,
                                const std::vector<std::pair<std::string, std::string>>& atributos)
{
    xmlNode* nueva = Comprobado(xmlNewDocNode(impl_->doc.get(), nullptr, Xml(NombreXml(nombre)), nullptr));
    // A root left in place is replaced, like one removed first.
    if (xmlNode* anterior = xmlDocSetRootElement(impl_->doc.get(), nueva)) xmlFreeNode(anterior);
    NodoXml raiz(nueva);
    for (const auto& [atributo, valor] : atributos)
        raiz.fijarAtributo(atributo, valor);
    return raiz;
}

namespace {

int EscribirEnTexto(void* texto, const char* bytes, int longitud)
{
    static_cast<std::string*>(texto)->append(bytes, static_cast<std::size_t>(longitud));
    return longitud;
}

int NoCerrar(void*)
{
    return 0;
}

// The declaration libxml2 writes for a document without a named encoding.
std::string DeclaracionSinCodificacion(const xmlDoc* doc)
{
    std::string declaracion = "<?xml version=\"";
    declaracion += doc->version != nullptr ? reinterpret_cast<const char*>(doc->version) : "1.0";
    declaracion += "\"";
    if (doc->standalone == 0) declaracion += " standalone=\"no\"";
    if (doc->standalone == 1) declaracion += " standalone=\"yes\"";
    return declaracion + "?>\n";
}

// The document's bytes as saved; throws Error naming the file when libxml2 cannot write them.
std::string Serializar(xmlDoc* doc, bool conDeclaracion, const fs::path& destino)
{
    CapturaErrores captura;
    // Without a named encoding libxml2 would write every non-ASCII character as a numeric reference;
    // UTF-8 is asked for explicitly, and the declaration, which would then name it, is written here.
    const bool codificacionNombrada = doc->encoding != nullptr;
    std::string texto = conDeclaracion && !codificacionNombrada ? DeclaracionSinCodificacion(doc) : "";
    const char* codificacion = codificacionNombrada ? reinterpret_cast<const char*>(doc->encoding) : "UTF-8";
    const int opciones = conDeclaracion && codificacionNombrada ? 0 : XML_SAVE_NO_DECL;
    xmlSaveCtxt* guardado = xmlSaveToIO(&EscribirEnTexto, &NoCerrar, &texto, codificacion, opciones);
    bool bien = guardado != nullptr && xmlSaveDoc(guardado, doc) >= 0;
    if (guardado != nullptr && xmlSaveClose(guardado) < 0) bien = false;
    if (!bien) {
        const std::string causa = captura.mensaje();
        throw Error("No se puede guardar el fichero " + Nombre(destino) + (causa.empty() ? "" : ": " + causa));
    }
    return texto;
}

} // namespace

void DocumentoXml::guardar(const fs::path& destino) const
{
    const std::string texto = Serializar(impl_->doc.get(), impl_->conDeclaracion, destino);
    if (const std::error_code error = ReemplazarFichero(destino, texto, 0644))
        throw Error("No se puede guardar el fichero " + Nombre(destino) + ": " + error.message());
}
