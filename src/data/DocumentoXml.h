#pragma once
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

struct _xmlNode;
struct _xmlDoc;

// A view of one element of a DocumentoXml; valid while the document lives and the element is in it.
// A missing element is an empty view, never a trap: its reads give empty texts and empty lists.
class NodoXml {
public:
    NodoXml() = default;
    explicit NodoXml(_xmlNode* nodo) : nodo_(nodo) {}

    bool valido() const { return nodo_ != nullptr; }
    std::string nombre() const;
    std::string atributo(std::string_view nombre) const; // Windows-1252; "" when absent

    // The element's own `dato` children, in document order (deeper ones do not count).
    std::vector<NodoXml> datos() const;
    std::size_t numDatos() const;
    // The text of the n-th own `dato` (n from 1), in Windows-1252, passed through QuitaBlancos;
    // "" when there is no such `dato`.
    std::string valor(std::size_t posicion) const;
    // As valor(), without stripping blanks.
    std::string valorSinQuitar(std::size_t posicion) const;
    // Whether the n-th own `dato` is named `prefijo`: the element's markup, serialised as
    // <dato nombre_dato="...">, compared from its 20th character on with the prefix.
    bool datoLlamado(std::size_t posicion, std::string_view prefijo) const;

    // All text beneath the element, in document order, in Windows-1252.
    std::string texto() const;
    // The element serialised as markup, in Windows-1252.
    std::string marcado() const;
    NodoXml primerHijo() const; // first child element, or an empty view
    // Child steps relative to this element, e.g. "dato" or "grupo_datos"; document order.
    std::vector<NodoXml> seleccionar(std::string_view expresion) const;

    // Writing. Texts are Windows-1252 and are escaped as needed.
    void fijarAtributo(std::string_view nombre, std::string_view valor);
    NodoXml agregarElemento(std::string_view nombre);
    // Appends <grupo_datos seq="...">.
    NodoXml agregarGrupo(std::string_view seq);
    // Appends <dato nombre_dato="...">valor</dato>; the value is written as given.
    void agregarDato(std::string_view nombreDato, std::string_view valor);

    _xmlNode* nativo() const { return nodo_; }

private:
    _xmlNode* nodo_ = nullptr;
};

// An exchange XML document, owned for the life of the object.
class DocumentoXml {
public:
    // Loads a file: white space between elements dropped, no network, no DTD loading, no entity
    // substitution. Throws Error naming the file (and line, column and parser message) when the
    // file cannot be read, is not well-formed, or declares entities.
    static DocumentoXml cargar(const std::filesystem::path& ruta);

    DocumentoXml(DocumentoXml&&) noexcept;
    DocumentoXml& operator=(DocumentoXml&&) noexcept;
    ~DocumentoXml();

    const std::filesystem::path& ruta() const;

    // XPath location path from the document; nodes in document order (empty list when none).
    std::vector<NodoXml> seleccionar(std::string_view expresion) const;
    NodoXml seleccionarUno(std::string_view expresion) const;
    // "/SERVICIO/BLOQUE_DATOS/grupo_datos": all section groups.
    std::vector<NodoXml> secciones() const;
    // "/SERVICIO/BLOQUE_DATOS/grupo_datos[@seq="<seccion>"]/grupo_datos": the section's records.
    std::vector<NodoXml> registros(std::string_view seccion) const;
    // Whether /SERVICIO/BLOQUE_DATOS is present.
    bool tieneBloqueDatos() const;

    NodoXml raiz() const;
    // Removes the root element with everything under it; what stands beside it stays.
    void quitarRaiz();
    // Creates a new root element with the attributes set in the given order.
    NodoXml crearRaiz(std::string_view nombre,
                      const std::vector<std::pair<std::string, std::string>>& atributos);

    // Saves with the loaded file's prolog and XML declaration, in the encoding that declaration
    // names (UTF-8 when there is none), without added white space. Written to a temporary file
    // beside the target and renamed over it, so a failure never leaves a half-written document.
    void guardar(const std::filesystem::path& destino) const;

private:
    struct Impl;
    explicit DocumentoXml(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> impl_;
};
