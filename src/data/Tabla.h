#pragma once
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// One field of a dBase table. Types: 'C' character (ancho 1..254), 'L' logical, 'I' integer,
// 'F' floating point as numeric text (ancho 20, 4 decimals); when reading, also 'N', 'D', 'O',
// 'B', 'Y', 'T' and others of dBase III/IV and FoxPro.
struct Campo {
    std::string nombre;
    char tipo = 'C';
    int ancho = 0;
    int decimales = 0;
};

Campo CampoCaracter(std::string nombre, int ancho);
Campo CampoLogico(std::string nombre);
Campo CampoEntero(std::string nombre);
Campo CampoFlotante(std::string nombre);

enum class Acceso {
    Compartido, // read only; other readers may hold the table at the same time
    Exclusivo   // read and write; nobody else may hold the table
};

// A dBase table file NAME.DBF in a folder, open for the life of the object. The rows live in memory
// while the table is open; changes reach the disk when it is closed (written beside it and renamed
// into place, so a failure never leaves a half-written table). Tables are written as dBase Level 7
// with the Windows-1252 language driver; dBase III/IV and FoxPro tables can be read too.
// An operating-system lock (shared or exclusive) keeps other holders out while the table is open.
// Every failure throws Error with a Spanish message naming the table, field and value.
class Tabla {
public:
    // Removes NAME.DBF and NAME.MDX from the folder where present (names without regard to case).
    static void borrar(const std::filesystem::path& carpeta, std::string_view nombre);
    // Whether NAME.DBF exists in the folder (name with or without ".DBF", without regard to case).
    static bool existe(const std::filesystem::path& carpeta, std::string_view nombre);
    // Throws Error when NAME.DBF exists and another holder keeps it; a missing table is free.
    static void comprobarLibre(const std::filesystem::path& carpeta, std::string_view nombre);
    // Creates a new, empty NAME.DBF (upper-case file name) and returns it open for exclusive use.
    static Tabla crear(const std::filesystem::path& carpeta, std::string_view nombre,
                       const std::vector<Campo>& campos);
    // Opens an existing table, standing on its first row.
    static Tabla abrir(const std::filesystem::path& carpeta, std::string_view nombre,
                       Acceso acceso = Acceso::Exclusivo);

    Tabla(Tabla&&) noexcept;
    Tabla& operator=(Tabla&&) noexcept;
    ~Tabla(); // closes, writing what is pending; never throws (use cerrar() to see failures)

    const std::string& nombre() const; // as given when opened, without ".DBF"
    const std::vector<Campo>& campos() const;
    bool tieneCampo(std::string_view campo) const;

    // Walking in record order; deleted rows and rows outside the filter are passed over.
    void primero();
    void siguiente();
    bool fin() const;
    std::size_t numRegistros() const; // rows that the walk visits

    // Append a new last row, or edit the current one; then set fields and post with grabar().
    // Appending or closing while a row is being appended or edited posts that row first.
    void agregar();
    void editar();
    void grabar();
    void cancelar();

    // Writes a value given as text: character fields are cut to their width; number fields take
    // the empty text as an empty value and convert any other text ("4", "-12", "1,00", "2.5");
    // logical fields take "T"/"F" (also "S"/"N", "Y", "true", "false"), the empty text as empty.
    void fijar(std::string_view campo, std::string_view valor);
    void fijarLogico(std::string_view campo, bool valor);

    // The value of the current row as text: character fields without their trailing blanks,
    // numbers in decimal with '.' ("4", "2.5"), logical "T"/"F", dates as dd/mm/aaaa; an empty
    // value (or no current row) gives the empty text.
    std::string texto(std::string_view campo) const;
    // Number fields: their whole value, 0 when empty. Character fields: their text, without
    // surrounding blanks, converted; the empty text or any other non-number throws Error.
    long long entero(std::string_view campo) const;
    bool logico(std::string_view campo) const;
    bool vacio(std::string_view campo) const;

    // Moves to the first row (in record order, within the filter) whose fields equal the values.
    // campos: one name or several joined by ';', one value for each. Character fields compare as
    // stored (blank-padded to the width, so trailing blanks never count), exact and case-sensitive;
    // number fields compare converted numbers; the empty value matches the empty field only.
    // Returns false, and leaves the position unchanged, when no row matches.
    bool localizar(std::string_view campos, const std::vector<std::string>& valores);

    // Only rows whose field equals the value (compared as localizar does) remain visible until
    // quitarFiltro(); the table then stands on the first of them.
    void filtrar(std::string_view campo, std::string_view valor);
    void quitarFiltro();

    // Writes pending changes and releases the table; throws when the file cannot be written.
    void cerrar();
    bool abierta() const;

private:
    struct Impl;
    explicit Tabla(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> impl_;
};
