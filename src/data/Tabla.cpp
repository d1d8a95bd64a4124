#include "data/Tabla.h"

#include "comun/Error.h"
#include "data/DbfFichero.h"
#include "data/DbfFormato.h"
#include "text/Texto.h"

#include <cerrno>
#include <cmath>
#include <cstring>
#include <optional>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

constexpr char kBorrado = '*';
constexpr char kVigente = ' ';
constexpr char kFinFichero = 0x1A;

// One field compared with one value, as localizar and filtrar compare them.
struct Criterio {
    const CampoDbf* campo = nullptr;
    std::string texto;      // character fields: the value without trailing blanks; others but numbers: its text
    double numero = 0;      // number fields
    bool vacio = false;     // number fields: the empty value, which matches empty fields only
    bool imposible = false; // a value longer than a character field can hold
};

bool Cumple(const Criterio& criterio, const char* registro)
{
    const CampoDbf& campo = *criterio.campo;
    const char* bytes = registro + campo.desplazamiento;
    const auto ancho = static_cast<std::size_t>(campo.campo.ancho);
    if (criterio.imposible) return false;
    if (campo.clase == ClaseCampo::Caracter) {
        const std::size_t largo = criterio.texto.size();
        if (std::memcmp(bytes, criterio.texto.data(), largo) != 0) return false;
        for (std::size_t i = largo; i < ancho; ++i)
            if (bytes[i] != ' ') return false;
        return true;
    }
    const std::string_view valor(bytes, ancho);
    if (EsNumerico(campo.clase)) {
        if (criterio.vacio) return CampoVacio(campo, valor);
        double numero = 0;
        return NumeroCampo(campo, valor, numero) && numero == criterio.numero;
    }
    return TextoCampo(campo, valor) == criterio.texto;
}

std::vector<std::string> Partes(std::string_view lista)
{
    std::vector<std::string> partes;
    std::size_t inicio = 0;
    while (true) {
        const std::size_t fin = lista.find(';', inicio);
        partes.push_back(QuitaBlancos(std::string(lista.substr(inicio, fin - inicio))));
        if (fin == std::string_view::npos) return partes;
        inicio = fin + 1;
    }
}

// The state of an open table; throws when the object was closed or moved from.
template <class Impl> Impl& Abierta(const std::unique_ptr<Impl>& impl)
{
    if (!impl) throw Error("La tabla no está abierta");
    if (!impl->abierta) throw Error("La tabla " + impl->nombre + " está cerrada");
    return *impl;
}

} // namespace

Campo CampoCaracter(std::string nombre, int ancho)
{
    return {std::move(nombre), 'C', ancho, 0};
}
Campo CampoLogico(std::string nombre)
{
    return {std::move(nombre), 'L', 1, 0};
}
Campo CampoEntero(std::string nombre)
{
    return {std::move(nombre), 'I', 4, 0};
}
Campo CampoFlotante(std::string nombre)
{
    return {std::move(nombre), 'F', 20, 4};
}

struct Tabla::Impl {
    enum class Modo { Navegar, Agregar, Editar };

    Impl(std::string nombreTabla, Acceso modoAcceso, FicheroBloqueado ficheroTabla, EstructuraDbf estructuraTabla)
        : nombre(std::move(nombreTabla)), acceso(modoAcceso), fichero(std::move(ficheroTabla)),
          estructura(std::move(estructuraTabla))
    {
        for (const CampoDbf& campo : estructura.campos)
            campos.push_back(campo.campo);
    }

    std::string nombre;
    Acceso acceso;
    FicheroBloqueado fichero; // holds the lock for as long as the table is open
    EstructuraDbf estructura;
    std::vector<Campo> campos;
    std::string filas; // every record, deleted ones included, back to back as in the file
    std::size_t numFilas = 0;
    std::size_t actual = 0; // numFilas at the end
    Modo modo = Modo::Navegar;
    std::string pendiente; // the record being appended or edited
    std::size_t antesDeAgregar = 0;
    std::optional<Criterio> filtro;
    mutable std::optional<std::size_t> visibles;
    bool modificada = false;
    bool abierta = true;

    const char* fila(std::size_t i) const { return filas.data() + i * estructura.longitudRegistro; }

    bool visible(std::size_t i) const
    {
        const char* registro = fila(i);
        return registro[0] != kBorrado && (!filtro || Cumple(*filtro, registro));
    }

    std::size_t siguienteVisible(std::size_t desde) const
    {
        while (desde < numFilas && !visible(desde))
            ++desde;
        return desde;
    }

    const char* registroActual() const
    {
        if (modo != Modo::Navegar) return pendiente.data();
        return actual < numFilas ? fila(actual) : nullptr;
    }

    const CampoDbf* buscarCampo(std::string_view campo) const
    {
        for (const CampoDbf& c : estructura.campos)
            if (IgualesSinMayusculas(c.campo.nombre, campo)) return &c;
        return nullptr;
    }

    const CampoDbf& campo(std::string_view campo) const
    {
        if (const CampoDbf* encontrado = buscarCampo(campo)) return *encontrado;
        throw Error("La tabla " + nombre + " no tiene el campo " + AnsiAUtf8(campo));
    }

    std::string_view bytes(const CampoDbf& campo, const char* registro) const
    {
        return {registro + campo.desplazamiento, static_cast<std::size_t>(campo.campo.ancho)};
    }

    Criterio criterio(std::string_view nombreCampo, std::string_view valor) const
    {
        Criterio criterio;
        criterio.campo = &campo(nombreCampo);
        const ClaseCampo clase = criterio.campo->clase;
        if (clase == ClaseCampo::Caracter) {
            criterio.texto = QuitaBlancosDer(std::string(valor));
            criterio.imposible = criterio.texto.size() > static_cast<std::size_t>(criterio.campo->campo.ancho);
        } else if (EsNumerico(clase)) {
            criterio.vacio = QuitaBlancos(std::string(valor)).empty();
            if (!criterio.vacio && !LeerNumero(valor, criterio.numero))
                ValorNoValido(*criterio.campo, valor,
                              clase == ClaseCampo::EnteroBE || clase == ClaseCampo::EnteroLE ? "entero"
                                                                                             : "numérico",
                              nombre);
        } else if (clase == ClaseCampo::Logico) {
            char logico = ' ';
            if (!LeerLogico(valor, logico)) ValorNoValido(*criterio.campo, valor, "lógico", nombre);
            criterio.texto = logico == ' ' ? "" : std::string(1, logico);
        } else {
            criterio.texto = QuitaBlancos(std::string(valor));
        }
        return criterio;
    }

    void comprobarEscritura() const
    {
        if (acceso == Acceso::Compartido)
            throw Error("La tabla " + nombre + " está abierta solo para lectura; no se puede modificar");
    }

    // Appending, editing, moving and closing all post the row being appended or edited first.
    void grabarPendiente()
    {
        if (modo == Modo::Navegar) return;
        if (modo == Modo::Agregar) {
            filas += pendiente;
            actual = numFilas++;
        } else {
            std::memcpy(filas.data() + actual * estructura.longitudRegistro, pendiente.data(), pendiente.size());
        }
        modo = Modo::Navegar;
        pendiente.clear();
        visibles.reset();
        modificada = true;
    }

    void guardar()
    {
        std::string contenido = estructura.cabecera;
        ActualizarCabecera(contenido, numFilas);
        contenido += filas;
        contenido += kFinFichero;
        fichero.reemplazar(contenido, nombre);
    }

    void liberar() noexcept
    {
        fichero.liberar();
        abierta = false;
        modo = Modo::Navegar;
        filas = std::string();
        numFilas = actual = 0;
        filtro.reset();
        visibles.reset();
    }
};

Tabla::Tabla(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}

Tabla::Tabla(Tabla&&) noexcept = default;

Tabla& Tabla::operator=(Tabla&& otra) noexcept
{
    if (this != &otra) {
        try {
            cerrar();
        } catch (...) { // the table being replaced cannot report here; cerrar() is there for that
        }
        impl_ = std::move(otra.impl_);
    }
    return *this;
}

Tabla::~Tabla()
{
    try {
        cerrar();
    } catch (...) { // a destructor must not throw; callers who need to know use cerrar()
    }
}

void Tabla::borrar(const fs::path& carpeta, std::string_view nombre)
{
    const std::string base = NombreTabla(nombre);
    for (const fs::path& ruta : FicherosLlamados(carpeta, base + ".DBF")) {
        // Held under our own exclusive lock while it goes, so a table in use elsewhere is not pulled away.
        const FicheroBloqueado fichero = FicheroBloqueado::abrir(ruta, true, base);
        if (::unlink(ruta.c_str()) != 0 && errno != ENOENT)
            throw Error("No se pudo borrar la tabla " + base + " (" + ruta.string() +
                        "): " + std::strerror(errno));
    }
    for (const fs::path& ruta : FicherosLlamados(carpeta, base + ".MDX"))
        if (::unlink(ruta.c_str()) != 0 && errno != ENOENT)
            throw Error("No se pudo borrar el índice de la tabla " + base + " (" + ruta.string() +
                        "): " + std::strerror(errno));
}

bool Tabla::existe(const fs::path& carpeta, std::string_view nombre)
{
    return !FicherosLlamados(carpeta, NombreTabla(nombre) + ".DBF").empty();
}

void Tabla::comprobarLibre(const fs::path& carpeta, std::string_view nombre)
{
    const std::string base = NombreTabla(nombre);
    for (const fs::path& ruta : FicherosLlamados(carpeta, base + ".DBF"))
        FicheroBloqueado::abrir(ruta, true, base);
}

Tabla Tabla::crear(const fs::path& carpeta, std::string_view nombre, const std::vector<Campo>& campos)
{
    const std::string base = NombreTabla(nombre);
    EstructuraDbf estructura = EstructuraNivel7(campos, base);
    if (!FicherosLlamados(carpeta, base + ".DBF").empty())
        throw Error("La tabla " + base + " ya existe en la carpeta " + carpeta.string());
    FicheroBloqueado fichero =
        FicheroBloqueado::crear(carpeta / (Mayusculas(base) + ".DBF"), estructura.cabecera + kFinFichero, base);
    return Tabla(std::make_unique<Impl>(base, Acceso::Exclusivo, std::move(fichero), std::move(estructura)));
}

Tabla Tabla::abrir(const fs::path& carpeta, std::string_view nombre, Acceso acceso)
{
    const std::string base = NombreTabla(nombre);
    const std::vector<fs::path> ficheros = FicherosLlamados(carpeta, base + ".DBF");
    if (ficheros.empty()) throw Error("No existe la tabla " + base + " en la carpeta " + carpeta.string());
    FicheroBloqueado fichero = FicheroBloqueado::abrir(ficheros.front(), acceso == Acceso::Exclusivo, base);
    const std::string contenido = fichero.leer(base);
    EstructuraDbf estructura = LeerEstructura(contenido, base, ficheros.front().string());
    auto impl = std::make_unique<Impl>(base, acceso, std::move(fichero), std::move(estructura));
    impl->numFilas = impl->estructura.numRegistros;
    impl->filas =
        contenido.substr(impl->estructura.cabecera.size(), impl->numFilas * impl->estructura.longitudRegistro);
    impl->actual = impl->siguienteVisible(0);
    return Tabla(std::move(impl));
}

const std::string& Tabla::nombre() const
{
    static const std::string ninguno;
    return impl_ ? impl_->nombre : ninguno;
}

const std::vector<Campo>& Tabla::campos() const
{
    static const std::vector<Campo> ninguno;
    return impl_ ? impl_->campos : ninguno;
}

bool Tabla::tieneCampo(std::string_view campo) const
{
    return impl_ && impl_->buscarCampo(campo);
}

void Tabla::primero()
{
    Impl& t = Abierta(impl_);
    t.grabarPendiente();
    t.actual = t.siguienteVisible(0);
}

void Tabla::siguiente()
{
    Impl& t = Abierta(impl_);
    t.grabarPendiente();
    if (t.actual < t.numFilas) t.actual = t.siguienteVisible(t.actual + 1);
}

bool Tabla::fin() const
{
    const Impl& t = Abierta(impl_);
    return t.modo != Impl::Modo::Agregar && t.actual >= t.numFilas;
}

std::size_t Tabla::numRegistros() const
{
    const Impl& t = Abierta(impl_);
    if (!t.visibles) {
        std::size_t cuenta = 0;
        for (std::size_t i = 0; i < t.numFilas; ++i)
            cuenta += t.visible(i) ? 1 : 0;
        t.visibles = cuenta;
    }
    return *t.visibles;
}

void Tabla::agregar()
{
    Impl& t = Abierta(impl_);
    t.comprobarEscritura();
    t.grabarPendiente();
    t.antesDeAgregar = t.actual;
    t.pendiente.assign(t.estructura.longitudRegistro, ' ');
    t.pendiente[0] = kVigente;
    for (const CampoDbf& campo : t.estructura.campos)
        VaciarCampo(campo, t.pendiente.data() + campo.desplazamiento);
    t.modo = Impl::Modo::Agregar;
}

void Tabla::editar()
{
    Impl& t = Abierta(impl_);
    t.comprobarEscritura();
    t.grabarPendiente();
    if (t.actual >= t.numFilas)
        throw Error("No se puede editar la tabla " + t.nombre + ": no hay registro actual");
    t.pendiente.assign(t.fila(t.actual), t.estructura.longitudRegistro);
    t.modo = Impl::Modo::Editar;
}

void Tabla::grabar()
{
    Impl& t = Abierta(impl_);
    if (t.modo == Impl::Modo::Navegar)
        throw Error("No se puede grabar en la tabla " + t.nombre +
                    ": no hay ningún registro en alta ni en edición");
    t.grabarPendiente();
}

void Tabla::cancelar()
{
    Impl& t = Abierta(impl_);
    if (t.modo == Impl::Modo::Agregar) t.actual = t.antesDeAgregar;
    t.modo = Impl::Modo::Navegar;
    t.pendiente.clear();
}

void Tabla::fijar(std::string_view campo, std::string_view valor)
{
    Impl& t = Abierta(impl_);
    const CampoDbf& c = t.campo(campo);
    if (t.modo == Impl::Modo::Navegar)
        throw Error("No se puede fijar el campo " + AnsiAUtf8(c.campo.nombre) + " de la tabla " + t.nombre +
                    ": la tabla no está en alta ni en edición");
    CodificarCampo(c, valor, t.pendiente.data() + c.desplazamiento, t.nombre);
}

void Tabla::fijarLogico(std::string_view campo, bool valor)
{
    fijar(campo, valor ? "T" : "F");
}

std::string Tabla::texto(std::string_view campo) const
{
    const Impl& t = Abierta(impl_);
    const CampoDbf& c = t.campo(campo);
    const char* registro = t.registroActual();
    return registro ? TextoCampo(c, t.bytes(c, registro)) : std::string();
}

long long Tabla::entero(std::string_view campo) const
{
    const Impl& t = Abierta(impl_);
    const CampoDbf& c = t.campo(campo);
    const char* registro = t.registroActual();
    if (EsNumerico(c.clase)) {
        if (!registro || CampoVacio(c, t.bytes(c, registro))) return 0;
        double numero = 0;
        if (!NumeroCampo(c, t.bytes(c, registro), numero) || std::fabs(numero) >= 9.2e18)
            ValorNoValido(c, TextoCampo(c, t.bytes(c, registro)), "entero", t.nombre);
        return std::llround(numero);
    }
    const std::string texto = registro ? QuitaBlancos(TextoCampo(c, t.bytes(c, registro))) : std::string();
    long long valor = 0;
    if (!LeerEnteroEstricto(texto, valor)) ValorNoValido(c, texto, "entero", t.nombre);
    return valor;
}

bool Tabla::logico(std::string_view campo) const
{
    return texto(campo) == "T";
}

bool Tabla::vacio(std::string_view campo) const
{
    const Impl& t = Abierta(impl_);
    const CampoDbf& c = t.campo(campo);
    const char* registro = t.registroActual();
    return !registro || CampoVacio(c, t.bytes(c, registro));
}

bool Tabla::localizar(std::string_view campos, const std::vector<std::string>& valores)
{
    Impl& t = Abierta(impl_);
    t.grabarPendiente();
    const std::vector<std::string> nombres = Partes(campos);
    if (nombres.size() != valores.size())
        throw Error("Para localizar en la tabla " + t.nombre + " por " + std::string(campos) + " hacen falta " +
                    std::to_string(nombres.size()) + " valores y se dieron " + std::to_string(valores.size()));
    std::vector<Criterio> criterios;
    for (std::size_t i = 0; i < nombres.size(); ++i) {
        criterios.push_back(t.criterio(nombres[i], valores[i]));
        if (criterios.back().imposible) return false;
    }
    for (std::size_t i = 0; i < t.numFilas; ++i) {
        if (!t.visible(i)) continue;
        const char* registro = t.fila(i);
        bool cumple = true;
        for (const Criterio& criterio : criterios) {
            if (!Cumple(criterio, registro)) {
                cumple = false;
                break;
            }
        }
        if (cumple) {
            t.actual = i;
            return true;
        }
    }
    return false;
}

void Tabla::filtrar(std::string_view campo, std::string_view valor)
{
    Impl& t = Abierta(impl_);
    t.grabarPendiente();
    t.filtro = t.criterio(campo, valor);
    t.visibles.reset();
    t.actual = t.siguienteVisible(0);
}

void Tabla::quitarFiltro()
{
    Impl& t = Abierta(impl_);
    t.grabarPendiente();
    t.filtro.reset();
    t.visibles.reset();
}

void Tabla::cerrar()
{
    if (!impl_ || !impl_->abierta) return;
    Impl& t = *impl_;
    try {
        t.grabarPendiente();
        if (t.modificada) t.guardar();
    } catch (...) {
        t.liberar(); // released even so: the file on disk is still the table as it was opened
        throw;
    }
    t.liberar();
}

bool Tabla::abierta() const
{
    return impl_ && impl_->abierta;
}
