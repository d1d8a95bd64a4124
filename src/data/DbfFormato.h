#pragma once
#include "data/Tabla.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// The bytes of a dBase file: header, field descriptors and the encoding of each kind of field.

// How a field's bytes hold its value.
enum class ClaseCampo {
    Caracter,    // C: text, blank-padded
    Logico,      // L: T/F, blank or '?' = empty
    EnteroBE,    // I and + of Level 7: 4 bytes big-endian, sign bit flipped; all zero = empty
    EnteroLE,    // I of FoxPro: 4 bytes little-endian, signed
    NumeroTexto, // N and F: numeric text, right-aligned; blanks = empty
    DobleBE,     // O of Level 7: 8 bytes big-endian, ordered like the numbers; all zero = empty
    DobleLE,     // B of Visual FoxPro: 8 bytes little-endian
    Moneda,      // Y of Visual FoxPro: 8 bytes little-endian, ten-thousandths
    Fecha,       // D: YYYYMMDD
    FechaHora,   // T of Visual FoxPro: Julian day and milliseconds, both little-endian
    Opaco        // memo pointers and whatever else: the bytes as text
};

struct CampoDbf {
    Campo campo;
    ClaseCampo clase = ClaseCampo::Caracter;
    std::size_t desplazamiento = 0; // from the start of the record, deletion byte included
};

struct EstructuraDbf {
    std::string cabecera; // every byte before the first record, kept to be written back
    std::vector<CampoDbf> campos;
    std::size_t longitudRegistro = 0;
    std::size_t numRegistros = 0; // deleted ones included
};

// The structure of a table file, checked against the file's size so that no read goes past its end.
// Throws Error naming the table and its file when the header is truncated or inconsistent.
EstructuraDbf LeerEstructura(std::string_view fichero, const std::string& tabla, const std::string& ruta);
// The structure of a new, empty dBase Level 7 table with these fields (types C, L, I, F).
EstructuraDbf EstructuraNivel7(const std::vector<Campo>& campos, const std::string& tabla);
// Sets the header's date of last change to today and its record count.
void ActualizarCabecera(std::string& cabecera, std::size_t numRegistros);

// Values of one field, given the field's bytes within a record.
std::string TextoCampo(const CampoDbf& campo, std::string_view bytes);
bool CampoVacio(const CampoDbf& campo, std::string_view bytes);
bool EsNumerico(ClaseCampo clase);
// The number held by a number field; false when the field is empty or holds no number.
bool NumeroCampo(const CampoDbf& campo, std::string_view bytes, double& valor);

// A number given as text: optional sign, digits with at most one decimal comma or point,
// blanks around; false for anything else (the empty text included).
bool LeerNumero(std::string_view texto, double& valor);
// "T" or "F" for a logical value given as text, ' ' for the empty text; false when it is none.
bool LeerLogico(std::string_view texto, char& valor);

// Throws the Error "'v' no es un valor <clase> válido para el campo F de T".
[[noreturn]] void ValorNoValido(const CampoDbf& campo, std::string_view valor, const char* clase,
                                const std::string& tabla);
// Makes the field's bytes hold the empty value.
void VaciarCampo(const CampoDbf& campo, char* bytes);
// Writes the value given as text into the field's bytes; throws Error naming the value, field and table.
void CodificarCampo(const CampoDbf& campo, std::string_view valor, char* bytes, const std::string& tabla);
