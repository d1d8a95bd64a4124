#pragma once
#include <filesystem>
#include <string_view>

// Sets one key of an INI file: "clave=valor" in section [seccion]. Section and key names match
// without regard to case; every other line of the file is kept byte for byte. The file is created
// when absent and replaced through a temporary file, so a failure never leaves it half-written.
// Throws Error naming the file when it cannot be read or written (a read-only file included).
void FijarClaveIni(const std::filesystem::path& fichero, std::string_view seccion, std::string_view clave,
                   std::string_view valor);
