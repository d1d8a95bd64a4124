#include "comun/Sesion.h"

#include <cstdlib>

std::filesystem::path CarpetaTrabajoPorDefecto()
{
#ifdef _WIN32
    return "C:\\QTEMP";
#else
    if (const char* qtemp = std::getenv("QTEMP"); qtemp && *qtemp) return qtemp;
    const char* home = std::getenv("HOME");
    return std::filesystem::path(home && *home ? home : ".") / "QTEMP";
#endif
}

std::filesystem::path CarpetaDialogos(const std::filesystem::path& trabajo)
{
    return trabajo / "seneca";
}
