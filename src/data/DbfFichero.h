#pragma once
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

// Table file names without regard to case, and the locked file behind an open table.

// The table name without ".DBF"; throws Error when it could name a file outside the folder.
std::string NombreTabla(std::string_view nombre);
// The regular files of the folder named like nombreFichero without regard to case, the exact
// spelling first; none when the folder cannot be read.
std::vector<std::filesystem::path> FicherosLlamados(const std::filesystem::path& carpeta,
                                                    const std::string& nombreFichero);

// A table file held open under an operating-system lock (flock) until released. Other holders
// are refused at once rather than waited for.
class FicheroBloqueado {
public:
    // Opens the file under a shared or exclusive lock; throws Error when another holder keeps it.
    static FicheroBloqueado abrir(const std::filesystem::path& ruta, bool exclusivo, const std::string& tabla);
    // Creates the file, which must not exist yet, under an exclusive lock, holding contenido.
    static FicheroBloqueado crear(const std::filesystem::path& ruta, const std::string& contenido,
                                  const std::string& tabla);

    FicheroBloqueado(FicheroBloqueado&& otro) noexcept;
    FicheroBloqueado& operator=(FicheroBloqueado&& otro) noexcept;
    ~FicheroBloqueado();

    std::string leer(const std::string& tabla) const;
    // Writes contenido to a new file beside this one and renames it into place, so that readers
    // see either the old table or the new one, never a half-written file.
    void reemplazar(const std::string& contenido, const std::string& tabla) const;
    void liberar() noexcept;
    const std::filesystem::path& ruta() const { return ruta_; }

private:
    FicheroBloqueado(int descriptor, std::filesystem::path ruta);
    int descriptor_ = -1;
    std::filesystem::path ruta_;
};
