#pragma once
#include <filesystem>
#include <string_view>
#include <sys/types.h>
#include <system_error>

// Writing files so that a failure or a crash never leaves one half-written.

// Writes every byte to the descriptor, resuming short writes; false, with errno set, when it cannot.
bool EscribirTodo(int descriptor, std::string_view contenido);

// Writes contenido to a new file beside ruta, with the given permission bits, and renames it over ruta
// once it is on disk: readers see the old file or the new one, never a mixture. Returns the system's
// reason when it fails; nothing is then left beside ruta and ruta is as it was.
[[nodiscard]] std::error_code ReemplazarFichero(const std::filesystem::path& ruta, std::string_view contenido,
                                                mode_t permisos);
