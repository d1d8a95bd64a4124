#include "data/DbfFichero.h"

#include "comun/Error.h"
#include "data/EscrituraSegura.h"
#include "text/Texto.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace fs = std::filesystem;

namespace {

constexpr int kIntentosApertura = 5;

std::string Sistema()
{
    return std::strerror(errno);
}

[[noreturn]] void FalloFichero(const std::string& accion, const std::string& tabla, const fs::path& ruta)
{
    throw Error("No se pudo " + accion + " la tabla " + tabla + " (" + ruta.string() + "): " + Sistema());
}

// A new file beside a table; its temporary name goes with the object, whatever other name it was given.
struct Temporal {
    explicit Temporal(const fs::path& junto) : ruta(junto.string() + ".XXXXXX")
    {
        descriptor = ::mkostemp(ruta.data(), O_CLOEXEC);
        if (descriptor < 0) ruta.clear();
    }
    Temporal(const Temporal&) = delete;
    Temporal& operator=(const Temporal&) = delete;
    ~Temporal()
    {
        if (descriptor >= 0) ::close(descriptor);
        if (!ruta.empty()) ::unlink(ruta.c_str());
    }
    std::string ruta;
    int descriptor = -1;
};

} // namespace

std::string NombreTabla(std::string_view nombre)
{
    std::string base(nombre);
    if (base.size() >= 4 && Mayusculas(base.substr(base.size() - 4)) == ".DBF") base.resize(base.size() - 4);
    if (base.empty() || base == "." || base == ".." ||
        base.find_first_of(std::string("/\\\0", 3)) != std::string::npos)
        throw Error("El nombre de tabla '" + AnsiAUtf8(nombre) + "' no es válido");
    return base;
}

std::vector<fs::path> FicherosLlamados(const fs::path& carpeta, const std::string& nombreFichero)
{
    std::vector<fs::path> encontrados;
    std::error_code error;
    fs::directory_iterator entrada(carpeta, error);
    if (error) return encontrados;
    const std::string buscado = Mayusculas(nombreFichero);
    for (; entrada != fs::directory_iterator(); entrada.increment(error)) {
        if (error) break;
        const std::string nombre = entrada->path().filename().string();
        std::error_code tipo;
        if (Mayusculas(nombre) == buscado && entrada->is_regular_file(tipo))
            encontrados.push_back(entrada->path());
    }
    std::sort(encontrados.begin(), encontrados.end(), [&](const fs::path& a, const fs::path& b) {
        const bool exactaA = a.filename() == nombreFichero;
        const bool exactaB = b.filename() == nombreFichero;
        return exactaA != exactaB ? exactaA : a < b;
    });
    return encontrados;
}

FicheroBloqueado::FicheroBloqueado(int descriptor, fs::path ruta) : descriptor_(descriptor), ruta_(std::move(ruta))
{
}

FicheroBloqueado FicheroBloqueado::abrir(const fs::path& ruta, bool exclusivo, const std::string& tabla)
{
    for (int intento = 0; intento < kIntentosApertura; ++intento) {
        const int descriptor = ::open(ruta.c_str(), O_RDONLY | O_CLOEXEC);
        if (descriptor < 0) {
            if (errno == ENOENT)
                throw Error("No existe la tabla " + tabla + " en la carpeta " + ruta.parent_path().string());
            FalloFichero("abrir", tabla, ruta);
        }
        FicheroBloqueado fichero(descriptor, ruta);
        if (::flock(descriptor, (exclusivo ? LOCK_EX : LOCK_SH) | LOCK_NB) != 0) {
            if (errno == EWOULDBLOCK)
                throw Error("La tabla " + tabla + " está en uso por otro programa (" + ruta.string() + ")");
            FalloFichero("bloquear", tabla, ruta);
        }
        struct stat abierto {};
        struct stat actual {};
        if (::fstat(descriptor, &abierto) != 0) FalloFichero("abrir", tabla, ruta);
        if (!S_ISREG(abierto.st_mode))
            throw Error("La tabla " + tabla + " no es un fichero (" + ruta.string() + ")");
        // The previous holder may have renamed a new version into place while we were opening.
        if (::stat(ruta.c_str(), &actual) == 0 && actual.st_dev == abierto.st_dev &&
            actual.st_ino == abierto.st_ino)
            return fichero;
    }
    throw Error("La tabla " + tabla + " está en uso por otro programa (" + ruta.string() + ")");
}

FicheroBloqueado FicheroBloqueado::crear(const fs::path& ruta, const std::string& contenido,
                                         const std::string& tabla)
{
    // Written and locked under a temporary name first, then linked into place: nobody ever sees the
    // new table unlocked or half-written, and an existing table is never overwritten.
    Temporal temporal(ruta);
    if (temporal.descriptor < 0) FalloFichero("crear", tabla, ruta);
    if (::flock(temporal.descriptor, LOCK_EX | LOCK_NB) != 0 || ::fchmod(temporal.descriptor, 0644) != 0 ||
        !EscribirTodo(temporal.descriptor, contenido))
        FalloFichero("crear", tabla, ruta);
    if (::link(temporal.ruta.c_str(), ruta.c_str()) != 0) {
        if (errno == EEXIST)
            throw Error("La tabla " + tabla + " ya existe en la carpeta " + ruta.parent_path().string());
        FalloFichero("crear", tabla, ruta);
    }
    return FicheroBloqueado(std::exchange(temporal.descriptor, -1), ruta);
}

FicheroBloqueado::FicheroBloqueado(FicheroBloqueado&& otro) noexcept
    : descriptor_(std::exchange(otro.descriptor_, -1)), ruta_(std::move(otro.ruta_))
{
}

FicheroBloqueado& FicheroBloqueado::operator=(FicheroBloqueado&& otro) noexcept
{
    if (this != &otro) {
        liberar();
        descriptor_ = std::exchange(otro.descriptor_, -1);
        ruta_ = std::move(otro.ruta_);
    }
    return *this;
}

FicheroBloqueado::~FicheroBloqueado()
{
    liberar();
}

void FicheroBloqueado::liberar() noexcept
{
    if (descriptor_ >= 0) ::close(descriptor_); // closing the last descriptor drops the lock
    descriptor_ = -1;
}

std::string FicheroBloqueado::leer(const std::string& tabla) const
{
    struct stat datos {};
    if (::fstat(descriptor_, &datos) != 0) FalloFichero("leer", tabla, ruta_);
    std::string contenido(static_cast<std::size_t>(datos.st_size), '\0');
    std::size_t leido = 0;
    while (leido < contenido.size()) {
        const ssize_t n =
            ::pread(descriptor_, contenido.data() + leido, contenido.size() - leido, static_cast<off_t>(leido));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) FalloFichero("leer", tabla, ruta_);
        if (n == 0) break;
        leido += static_cast<std::size_t>(n);
    }
    contenido.resize(leido);
    return contenido;
}

void FicheroBloqueado::reemplazar(const std::string& contenido, const std::string& tabla) const
{
    struct stat original {};
    if (::fstat(descriptor_, &original) != 0) FalloFichero("guardar", tabla, ruta_);
    if (const std::error_code error = ReemplazarFichero(ruta_, contenido, original.st_mode & 07777))
        throw Error("No se pudo guardar la tabla " + tabla + " (" + ruta_.string() + "): " + error.message());
}
