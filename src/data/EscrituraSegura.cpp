#include "data/EscrituraSegura.h"

#include <cerrno>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

bool EscribirTodo(int descriptor, std::string_view contenido)
{
    std::size_t hecho = 0;
    while (hecho < contenido.size()) {
        const ssize_t n = ::write(descriptor, contenido.data() + hecho, contenido.size() - hecho);
        if (n < 0 && errno == EINTR) continue;
        if (n == 0) errno = EIO;
        if (n <= 0) return false;
        hecho += static_cast<std::size_t>(n);
    }
    return true;
}

std::error_code ReemplazarFichero(const fs::path& ruta, std::string_view contenido, mode_t permisos)
{
    std::string temporal = ruta.string() + ".XXXXXX";
    const int descriptor = ::mkostemp(temporal.data(), O_CLOEXEC);
    if (descriptor < 0) return {errno, std::generic_category()};
    bool bien =
        EscribirTodo(descriptor, contenido) && ::fchmod(descriptor, permisos) == 0 && ::fsync(descriptor) == 0;
    int causa = errno;
    if (::close(descriptor) != 0 && bien) {
        bien = false;
        causa = errno;
    }
    if (bien && ::rename(temporal.c_str(), ruta.c_str()) != 0) {
        bien = false;
        causa = errno;
    }
    if (!bien) {
        ::unlink(temporal.c_str());
        return {causa, std::generic_category()};
    }
    // The rename itself must reach the disk too.
    const fs::path carpeta = ruta.has_parent_path() ? ruta.parent_path() : fs::path(".");
    const int descriptorCarpeta = ::open(carpeta.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptorCarpeta >= 0) {
        ::fsync(descriptorCarpeta);
        ::close(descriptorCarpeta);
    }
    return {};
}
