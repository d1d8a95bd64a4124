#pragma once
#include "comun/Interaccion.h"
#include "data/Tabla.h"
#include "export/Exportacion.h"

#include <deque>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A fresh folder under the system's temporary folder, removed with everything in it at the end.
class CarpetaTemporal {
public:
    CarpetaTemporal();
    ~CarpetaTemporal();
    CarpetaTemporal(const CarpetaTemporal&) = delete;
    CarpetaTemporal& operator=(const CarpetaTemporal&) = delete;
    const std::filesystem::path& ruta() const { return ruta_; }
    std::filesystem::path operator/(const std::string& nombre) const { return ruta_ / nombre; }

private:
    std::filesystem::path ruta_;
};

void EscribirFichero(const std::filesystem::path& ruta, const std::string& contenido);
std::string LeerFichero(const std::filesystem::path& ruta);

// A scripted user: answers come from queues and callbacks; everything shown is recorded.
class InteraccionFalsa : public Interaccion {
public:
    struct Mensaje {
        std::string texto;
        TipoMensaje tipo;
    };

    std::vector<Mensaje> mensajes;
    std::vector<std::string> preguntas;                        // titles of the questions asked
    std::deque<bool> respuestas;                               // OK (true) or Cancel; OK when empty
    std::deque<std::optional<std::filesystem::path>> ficheros; // nothing = cancelled
    std::function<void(ControlCursos&)> alMostrarCursos;       // default: FormShow + BitBtn1Click
    std::function<void(Plantillas&)> alMostrarMarcos;          // default: FormActivate + first line
    int vecesCursos = 0;
    int vecesMarcos = 0;
    int nivelOcupado = 0;

    void mensaje(const std::string& texto, TipoMensaje tipo) override;
    bool preguntar(const std::string& titulo, const std::string& texto) override;
    std::optional<std::filesystem::path> elegirFichero(DialogoFichero dialogo) override;
    void mostrarCursos(ControlCursos& cursos) override;
    void mostrarMarcos(Plantillas& plantillas) override;
    void ocupado(bool activo) override;

    bool mostro(const std::string& texto) const;
};

// The envelope of an exchange file around the given section groups.
std::string SobreSeneca(const std::string& secciones);
// Every row of a table in record order, every field read as text and given in UTF-8.
std::vector<std::vector<std::string>> FilasTabla(const std::filesystem::path& carpeta, std::string_view nombre);
// The fields of a table in order, as "NOMBRE C10" for text fields and "NOMBRE L" (type) for the others.
std::vector<std::string> CamposTabla(const std::filesystem::path& carpeta, std::string_view nombre);

// A working folder, a scripted user and a loaded Séneca document, for driving export steps.
struct EntornoExportacion {
    CarpetaTemporal carpeta;
    SesionTraspaso sesion;
    InteraccionFalsa interaccion;
    std::optional<DocumentoXml> seneca;
    std::filesystem::path senematerias;

    // Writes the section groups into an envelope and loads it as the Séneca document.
    void cargarSeneca(const std::string& secciones);
    // The step context; the Séneca document serves as the planning document too.
    ContextoExportacion contexto();
};

// Creates a table with the given rows, each a list of texts (UTF-8) in field order, and closes it.
void CrearTablaPrueba(const std::filesystem::path& carpeta, std::string_view nombre,
                      const std::vector<Campo>& campos, const std::vector<std::vector<std::string>>& filas);
// A record: one dato per value, named D1, D2, ... (values in UTF-8, written as given).
std::string RegistroXml(const std::vector<std::string>& valores);
// A section group named seq around the given records.
std::string SeccionXml(const std::string& seq, const std::vector<std::string>& registros);
