#pragma once
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

// Exit statuses of the command.
enum EstadoSalida : int {
    kSalidaBien = 0,
    kSalidaError = 1,
    kSalidaUso = 2,
    kSalidaFaltaRespuesta = 3,
};

// Bad usage: the message is shown with the usage text and the command ends with status 2.
struct ErrorUso {
    std::string mensaje;
};

// The command line, option by option (only those given are set).
struct Opciones {
    std::vector<std::string> argumentos; // what is not an option
    std::map<std::string, std::string> valores;
    bool tiene(const std::string& opcion) const { return valores.count(opcion) > 0; }
    std::optional<std::string> valor(const std::string& opcion) const;
};

// Reads "--name value" and "--flag" options; only those named in conValor/sinValor are accepted.
Opciones LeerOpciones(const std::vector<std::string>& args, const std::vector<std::string>& conValor,
                      const std::vector<std::string>& sinValor);

// The working folder: --dir, or the default one.
std::filesystem::path CarpetaDeTrabajo(const Opciones& opciones);
// The folder of the running executable.
std::filesystem::path CarpetaDelPrograma();

int OrdenExportar(const std::vector<std::string>& args);
int OrdenImportar(const std::vector<std::string>& args);
int OrdenVer(const std::vector<std::string>& args);
