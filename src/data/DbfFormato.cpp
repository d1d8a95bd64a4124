#include "data/DbfFormato.h"

#include "comun/Error.h"
#include "text/Texto.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <set>

namespace {

constexpr std::size_t kCabeceraNivel7 = 68;
constexpr std::size_t kDescriptorNivel7 = 48;
constexpr std::size_t kCabeceraClasica = 32;
constexpr std::size_t kDescriptorClasico = 32;
constexpr char kFinDescriptores = 0x0D;
constexpr unsigned char kVersionNivel7 = 0x04;
constexpr unsigned char kControladorAnsi1252 = 0x57;
constexpr char kNombreControlador[] = "DBWINWE0";
constexpr std::size_t kMaxNombreNivel7 = 31;
constexpr std::size_t kMaxAnchoCaracter = 254;
constexpr std::int64_t kMaxEntero = 2147483647; // the lowest 32-bit value would read back as empty

std::uint32_t Le16(const char* p)
{
    const auto* b = reinterpret_cast<const unsigned char*>(p);
    return b[0] | (b[1] << 8);
}

std::uint32_t Le32(const char* p)
{
    const auto* b = reinterpret_cast<const unsigned char*>(p);
    return b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<std::uint32_t>(b[3]) << 24);
}

std::uint32_t Be32(const char* p)
{
    const auto* b = reinterpret_cast<const unsigned char*>(p);
    return (static_cast<std::uint32_t>(b[0]) << 24) | (b[1] << 16) | (b[2] << 8) | b[3];
}

std::uint64_t Le64(const char* p)
{
    return Le32(p) | (static_cast<std::uint64_t>(Le32(p + 4)) << 32);
}
std::uint64_t Be64(const char* p)
{
    return (static_cast<std::uint64_t>(Be32(p)) << 32) | Be32(p + 4);
}

void PonerLe(char* p, std::uint64_t valor, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        p[i] = static_cast<char>((valor >> (8 * i)) & 0xFF);
}

void PonerBe(char* p, std::uint64_t valor, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        p[i] = static_cast<char>((valor >> (8 * (bytes - 1 - i))) & 0xFF);
}

bool TodoCeros(std::string_view bytes)
{
    for (char c : bytes)
        if (c != 0) return false;
    return true;
}

bool TodoBlancos(std::string_view bytes)
{
    for (char c : bytes)
        if (c != ' ') return false;
    return true;
}

std::string SinBlancos(std::string_view bytes)
{
    return QuitaBlancos(std::string(bytes));
}

// dBase III/IV/5, dBase Level 7, FoxBASE, FoxPro and Visual FoxPro, with or without memo.
constexpr std::array<unsigned char, 16> kVersiones = {0x02, 0x03, 0x04, 0x05, 0x30, 0x31, 0x32, 0x43,
                                                      0x63, 0x83, 0x8B, 0x8C, 0xCB, 0xE5, 0xF5, 0xFB};

bool VersionConocida(unsigned char version)
{
    return std::find(kVersiones.begin(), kVersiones.end(), version) != kVersiones.end();
}

bool EsNivel7(unsigned char version)
{
    return version == 0x04 || version == 0x8C;
}

ClaseCampo ClaseDe(char tipo, int ancho, bool nivel7)
{
    switch (tipo) {
    case 'C':
        return ClaseCampo::Caracter;
    case 'N':
    case 'F':
        return ClaseCampo::NumeroTexto;
    case 'L':
        return ancho == 1 ? ClaseCampo::Logico : ClaseCampo::Opaco;
    case 'I':
        if (ancho == 4) return nivel7 ? ClaseCampo::EnteroBE : ClaseCampo::EnteroLE;
        break;
    case '+':
        if (ancho == 4 && nivel7) return ClaseCampo::EnteroBE;
        break;
    case 'O':
        if (ancho == 8 && nivel7) return ClaseCampo::DobleBE;
        break;
    case 'B':
        if (ancho == 8 && !nivel7) return ClaseCampo::DobleLE;
        break; // dBase IV's B is a memo
    case 'Y':
        if (ancho == 8) return ClaseCampo::Moneda;
        break;
    case 'D':
        if (ancho == 8) return ClaseCampo::Fecha;
        break;
    case 'T':
        if (ancho == 8) return ClaseCampo::FechaHora;
        break;
    default:
        break;
    }
    return ClaseCampo::Opaco;
}

[[noreturn]] void Danada(const std::string& tabla, const std::string& detalle)
{
    throw Error("La tabla " + tabla + " está dañada: " + detalle);
}

std::string Decimal(double valor)
{
    if (valor == 0) return "0"; // also for -0
    char buffer[512];
    const auto r = std::to_chars(buffer, buffer + sizeof buffer, valor, std::chars_format::fixed);
    return std::string(buffer, r.ptr);
}

// Numeric text as written, without the trailing zero decimals ("4.0000" gives "4").
std::string SinCerosDecimales(std::string texto)
{
    if (texto.find('.') == std::string::npos) return texto;
    while (texto.back() == '0')
        texto.pop_back();
    if (texto.back() == '.') texto.pop_back();
    if (texto.empty() || texto == "-" || texto == "+" || texto == "-0" || texto == "+0") return "0";
    return texto;
}

bool LeerDoble(std::string_view texto, double& valor)
{
    if (!texto.empty() && texto.front() == '+') texto.remove_prefix(1);
    if (texto.empty()) return false;
    const auto r = std::from_chars(texto.data(), texto.data() + texto.size(), valor);
    return r.ec == std::errc() && r.ptr == texto.data() + texto.size() && std::isfinite(valor);
}

std::string Fecha(std::string_view bytes)
{
    for (char c : bytes)
        if (c < '0' || c > '9') return SinBlancos(bytes);
    if (bytes == "00000000") return "";
    return std::string(bytes.substr(6, 2)) + "/" + std::string(bytes.substr(4, 2)) + "/" +
           std::string(bytes.substr(0, 4));
}

std::string FechaHora(std::string_view bytes)
{
    const long long dia = static_cast<std::int32_t>(Le32(bytes.data()));
    const long long ms = Le32(bytes.data() + 4);
    if (dia == 0 && ms == 0) return "";
    // Julian day number to the Gregorian calendar.
    const long long a = dia + 32044;
    const long long b = (4 * a + 3) / 146097;
    const long long c = a - 146097 * b / 4;
    const long long d = (4 * c + 3) / 1461;
    const long long e = c - 1461 * d / 4;
    const long long m = (5 * e + 2) / 153;
    const long long segundos = ms / 1000;
    char texto[96];
    std::snprintf(texto, sizeof texto, "%02lld/%02lld/%04lld %02lld:%02lld:%02lld", e - (153 * m + 2) / 5 + 1,
                  m + 3 - 12 * (m / 10), 100 * b + d - 4800 + m / 10, segundos / 3600, segundos / 60 % 60,
                  segundos % 60);
    return texto;
}

std::string Moneda(std::string_view bytes)
{
    const auto valor = static_cast<std::int64_t>(Le64(bytes.data()));
    const std::uint64_t absoluto = valor < 0 ? 0 - static_cast<std::uint64_t>(valor) : valor;
    std::string texto = (valor < 0 ? "-" : "") + std::to_string(absoluto / 10000);
    if (const auto fraccion = absoluto % 10000; fraccion != 0) {
        char decimales[8];
        std::snprintf(decimales, sizeof decimales, ".%04u", static_cast<unsigned>(fraccion));
        texto = SinCerosDecimales(texto + decimales);
    }
    return texto;
}

double DobleBE(std::string_view bytes)
{
    constexpr std::uint64_t kSigno = 1ULL << 63;
    std::uint64_t bits = Be64(bytes.data());
    bits = (bits & kSigno) ? bits ^ kSigno : ~bits;
    return std::bit_cast<double>(bits);
}

void CodificarEntero(const CampoDbf& campo, std::string_view valor, char* bytes, const std::string& tabla)
{
    if (SinBlancos(valor).empty()) {
        std::memset(bytes, 0, 4);
        return;
    }
    double numero = 0;
    if (!LeerNumero(valor, numero) || numero != std::trunc(numero) || std::fabs(numero) > kMaxEntero)
        ValorNoValido(campo, valor, "entero", tabla);
    const auto entero = static_cast<std::uint32_t>(static_cast<std::int32_t>(numero));
    if (campo.clase == ClaseCampo::EnteroBE)
        PonerBe(bytes, entero ^ 0x80000000U, 4);
    else
        PonerLe(bytes, entero, 4);
}

void CodificarNumeroTexto(const CampoDbf& campo, std::string_view valor, char* bytes, const std::string& tabla)
{
    const auto ancho = static_cast<std::size_t>(campo.campo.ancho);
    std::memset(bytes, ' ', ancho);
    if (SinBlancos(valor).empty()) return;
    double numero = 0;
    if (!LeerNumero(valor, numero)) ValorNoValido(campo, valor, "numérico", tabla);
    // dBase always writes a decimal point; printf would follow the desktop's locale and write a comma.
    char texto[512];
    const auto r =
        std::to_chars(texto, texto + sizeof texto, numero, std::chars_format::fixed, campo.campo.decimales);
    const auto largo = static_cast<std::size_t>(r.ptr - texto);
    if (r.ec != std::errc() || largo > ancho)
        throw Error("'" + AnsiAUtf8(valor) + "' no cabe en el campo " + AnsiAUtf8(campo.campo.nombre) + " de " +
                    tabla);
    std::memcpy(bytes + ancho - largo, texto, largo);
}

} // namespace

void ValorNoValido(const CampoDbf& campo, std::string_view valor, const char* clase, const std::string& tabla)
{
    throw Error("'" + AnsiAUtf8(valor) + "' no es un valor " + clase + " válido para el campo " +
                AnsiAUtf8(campo.campo.nombre) + " de " + tabla);
}

void VaciarCampo(const CampoDbf& campo, char* bytes)
{
    switch (campo.clase) {
    case ClaseCampo::EnteroBE:
    case ClaseCampo::EnteroLE:
    case ClaseCampo::DobleBE:
    case ClaseCampo::DobleLE:
    case ClaseCampo::Moneda:
    case ClaseCampo::FechaHora:
        std::memset(bytes, 0, static_cast<std::size_t>(campo.campo.ancho));
        break;
    default:
        std::memset(bytes, ' ', static_cast<std::size_t>(campo.campo.ancho));
        break;
    }
}

EstructuraDbf LeerEstructura(std::string_view fichero, const std::string& tabla, const std::string& ruta)
{
    const std::string donde = tabla + " (" + ruta + ")";
    const std::size_t tamano = fichero.size();
    if (tamano < kCabeceraClasica)
        Danada(donde, "la cabecera está incompleta (el fichero mide " + std::to_string(tamano) + " bytes)");
    const auto version = static_cast<unsigned char>(fichero[0]);
    if (!VersionConocida(version)) {
        char codigo[8];
        std::snprintf(codigo, sizeof codigo, "0x%02X", version);
        Danada(donde, std::string("no es un fichero dBase conocido (tipo ") + codigo + ")");
    }
    const bool nivel7 = EsNivel7(version);
    const std::size_t inicio = nivel7 ? kCabeceraNivel7 : kCabeceraClasica;
    const std::size_t largoDescriptor = nivel7 ? kDescriptorNivel7 : kDescriptorClasico;
    if (tamano < inicio)
        Danada(donde, "la cabecera está incompleta (el fichero mide " + std::to_string(tamano) + " bytes)");

    EstructuraDbf estructura;
    estructura.numRegistros = Le32(fichero.data() + 4);
    const std::size_t largoCabecera = Le16(fichero.data() + 8);
    estructura.longitudRegistro = Le16(fichero.data() + 10);
    if (largoCabecera < inicio + 1 || largoCabecera > tamano)
        Danada(donde, "la longitud de cabecera " + std::to_string(largoCabecera) + " no es válida");

    std::size_t desplazamiento = 1; // the deletion byte comes first
    std::size_t pos = inicio;
    while (true) {
        if (pos >= largoCabecera || (fichero[pos] != kFinDescriptores && pos + largoDescriptor > largoCabecera))
            Danada(donde, "falta la marca de fin de la descripción de campos");
        if (fichero[pos] == kFinDescriptores) break;
        const char* d = fichero.data() + pos;
        const std::size_t largoNombre = nivel7 ? 32 : 11;
        CampoDbf campo;
        campo.campo.nombre = SinBlancos(std::string_view(d, strnlen(d, largoNombre)));
        campo.campo.tipo = d[nivel7 ? 32 : 11];
        campo.campo.ancho = static_cast<unsigned char>(d[nivel7 ? 33 : 16]);
        campo.campo.decimales = static_cast<unsigned char>(d[nivel7 ? 34 : 17]);
        const std::string numero = std::to_string(estructura.campos.size() + 1);
        if (campo.campo.nombre.empty()) Danada(donde, "el campo n.º " + numero + " no tiene nombre");
        if (campo.campo.ancho == 0) Danada(donde, "el campo " + AnsiAUtf8(campo.campo.nombre) + " tiene ancho 0");
        campo.clase = ClaseDe(campo.campo.tipo, campo.campo.ancho, nivel7);
        campo.desplazamiento = desplazamiento;
        desplazamiento += campo.campo.ancho;
        estructura.campos.push_back(std::move(campo));
        pos += largoDescriptor;
    }
    if (estructura.campos.empty()) Danada(donde, "no tiene ningún campo");
    if (estructura.longitudRegistro < desplazamiento)
        Danada(donde, "los registros miden " + std::to_string(estructura.longitudRegistro) +
                          " bytes y sus campos suman " + std::to_string(desplazamiento));
    const std::size_t completos = (tamano - largoCabecera) / estructura.longitudRegistro;
    if (estructura.numRegistros > completos)
        Danada(donde, "la cabecera dice " + std::to_string(estructura.numRegistros) +
                          " registros y el fichero solo tiene " + std::to_string(completos) + " completos");
    estructura.cabecera = std::string(fichero.substr(0, largoCabecera));
    return estructura;
}

EstructuraDbf EstructuraNivel7(const std::vector<Campo>& campos, const std::string& tabla)
{
    if (campos.empty()) throw Error("No se puede crear la tabla " + tabla + " sin campos");
    EstructuraDbf estructura;
    std::set<std::string> nombres;
    std::size_t desplazamiento = 1;
    for (Campo campo : campos) {
        const auto noValido = [&](const std::string& motivo) {
            throw Error("El campo " + AnsiAUtf8(campo.nombre) + " de la tabla " + tabla +
                        " no es válido: " + motivo);
        };
        if (campo.nombre.empty() || campo.nombre.size() > kMaxNombreNivel7 ||
            campo.nombre.find('\0') != std::string::npos)
            noValido("el nombre debe tener de 1 a 31 caracteres");
        if (!nombres.insert(Mayusculas(campo.nombre)).second) noValido("está repetido");
        switch (campo.tipo) {
        case 'C':
            if (campo.ancho < 1 || campo.ancho > static_cast<int>(kMaxAnchoCaracter))
                noValido("el ancho debe ir de 1 a 254");
            campo.decimales = 0;
            break;
        case 'L':
            campo.ancho = 1;
            campo.decimales = 0;
            break;
        case 'I':
            campo.ancho = 4;
            campo.decimales = 0;
            break;
        case 'F':
            campo.ancho = 20;
            campo.decimales = 4;
            break;
        default:
            noValido(std::string("el tipo '") + campo.tipo + "' no se puede crear");
        }
        CampoDbf dbf{campo, ClaseDe(campo.tipo, campo.ancho, true), desplazamiento};
        desplazamiento += campo.ancho;
        estructura.campos.push_back(std::move(dbf));
    }
    const std::size_t largoCabecera = kCabeceraNivel7 + kDescriptorNivel7 * campos.size() + 1;
    if (desplazamiento > 0xFFFF || largoCabecera > 0xFFFF)
        throw Error("La tabla " + tabla + " tiene demasiados campos para un fichero dBase");
    estructura.longitudRegistro = desplazamiento;

    std::string& cabecera = estructura.cabecera;
    cabecera.assign(largoCabecera, '\0');
    cabecera[0] = static_cast<char>(kVersionNivel7);
    PonerLe(&cabecera[8], largoCabecera, 2);
    PonerLe(&cabecera[10], estructura.longitudRegistro, 2);
    cabecera[29] = static_cast<char>(kControladorAnsi1252);
    std::memcpy(&cabecera[32], kNombreControlador, sizeof kNombreControlador - 1);
    char* d = &cabecera[kCabeceraNivel7];
    for (const CampoDbf& campo : estructura.campos) {
        std::memcpy(d, campo.campo.nombre.data(), campo.campo.nombre.size());
        d[32] = campo.campo.tipo;
        d[33] = static_cast<char>(campo.campo.ancho);
        d[34] = static_cast<char>(campo.campo.decimales);
        d += kDescriptorNivel7;
    }
    *d = kFinDescriptores;
    ActualizarCabecera(cabecera, 0);
    return estructura;
}

void ActualizarCabecera(std::string& cabecera, std::size_t numRegistros)
{
    const std::time_t ahora = std::time(nullptr);
    std::tm hoy{};
    localtime_r(&ahora, &hoy);
    cabecera[1] = static_cast<char>(hoy.tm_year); // years since 1900
    cabecera[2] = static_cast<char>(hoy.tm_mon + 1);
    cabecera[3] = static_cast<char>(hoy.tm_mday);
    PonerLe(&cabecera[4], numRegistros, 4);
}

bool EsNumerico(ClaseCampo clase)
{
    switch (clase) {
    case ClaseCampo::EnteroBE:
    case ClaseCampo::EnteroLE:
    case ClaseCampo::NumeroTexto:
    case ClaseCampo::DobleBE:
    case ClaseCampo::DobleLE:
    case ClaseCampo::Moneda:
        return true;
    default:
        return false;
    }
}

bool NumeroCampo(const CampoDbf& campo, std::string_view bytes, double& valor)
{
    switch (campo.clase) {
    case ClaseCampo::EnteroBE:
        if (TodoCeros(bytes)) return false;
        valor = static_cast<std::int32_t>(Be32(bytes.data()) ^ 0x80000000U);
        return true;
    case ClaseCampo::EnteroLE:
        valor = static_cast<std::int32_t>(Le32(bytes.data()));
        return true;
    case ClaseCampo::NumeroTexto:
        return LeerDoble(SinBlancos(bytes), valor);
    case ClaseCampo::DobleBE:
        if (TodoCeros(bytes)) return false;
        valor = DobleBE(bytes);
        return true;
    case ClaseCampo::DobleLE:
        valor = std::bit_cast<double>(Le64(bytes.data()));
        return true;
    case ClaseCampo::Moneda:
        valor = static_cast<double>(static_cast<std::int64_t>(Le64(bytes.data()))) / 10000;
        return true;
    default:
        return false;
    }
}

std::string TextoCampo(const CampoDbf& campo, std::string_view bytes)
{
    double numero = 0;
    switch (campo.clase) {
    case ClaseCampo::Caracter:
        return QuitaBlancosDer(std::string(bytes));
    case ClaseCampo::Logico:
        switch (bytes[0]) {
        case 'T':
        case 't':
        case 'Y':
        case 'y':
            return "T";
        case 'F':
        case 'f':
        case 'N':
        case 'n':
            return "F";
        default:
            return "";
        }
    case ClaseCampo::EnteroBE:
    case ClaseCampo::EnteroLE:
        return NumeroCampo(campo, bytes, numero) ? std::to_string(static_cast<long long>(numero)) : "";
    case ClaseCampo::NumeroTexto: {
        std::string texto = SinBlancos(bytes);
        return LeerDoble(texto, numero) ? SinCerosDecimales(std::move(texto)) : texto;
    }
    case ClaseCampo::DobleBE:
    case ClaseCampo::DobleLE:
        return NumeroCampo(campo, bytes, numero) ? Decimal(numero) : "";
    case ClaseCampo::Moneda:
        return Moneda(bytes);
    case ClaseCampo::Fecha:
        return Fecha(bytes);
    case ClaseCampo::FechaHora:
        return FechaHora(bytes);
    case ClaseCampo::Opaco:
        return SinBlancos(bytes);
    }
    return "";
}

bool CampoVacio(const CampoDbf& campo, std::string_view bytes)
{
    switch (campo.clase) {
    case ClaseCampo::Caracter:
    case ClaseCampo::NumeroTexto:
        return TodoBlancos(bytes);
    case ClaseCampo::EnteroBE:
    case ClaseCampo::DobleBE:
        return TodoCeros(bytes);
    default:
        return TextoCampo(campo, bytes).empty();
    }
}

bool LeerNumero(std::string_view texto, double& valor)
{
    const std::string limpio = SinBlancos(texto);
    std::string numero;
    std::size_t i = 0;
    if (i < limpio.size() && (limpio[i] == '+' || limpio[i] == '-')) {
        if (limpio[i] == '-') numero += '-';
        ++i;
    }
    bool cifras = false;
    bool separador = false;
    for (; i < limpio.size(); ++i) {
        const char c = limpio[i];
        if (c >= '0' && c <= '9') {
            cifras = true;
            numero += c;
        } else if ((c == '.' || c == ',') && !separador) {
            separador = true;
            numero += '.';
        } else {
            return false;
        }
    }
    return cifras && LeerDoble(numero, valor);
}

bool LeerLogico(std::string_view texto, char& valor)
{
    const std::string limpio = Mayusculas(SinBlancos(texto));
    if (limpio.empty())
        valor = ' ';
    else if (limpio == "T" || limpio == "S" || limpio == "Y" || limpio == "TRUE")
        valor = 'T';
    else if (limpio == "F" || limpio == "N" || limpio == "FALSE")
        valor = 'F';
    else
        return false;
    return true;
}

void CodificarCampo(const CampoDbf& campo, std::string_view valor, char* bytes, const std::string& tabla)
{
    switch (campo.clase) {
    case ClaseCampo::Caracter: {
        const auto ancho = static_cast<std::size_t>(campo.campo.ancho);
        const std::size_t largo = std::min(valor.size(), ancho);
        std::memcpy(bytes, valor.data(), largo);
        std::memset(bytes + largo, ' ', ancho - largo);
        return;
    }
    case ClaseCampo::Logico:
        if (!LeerLogico(valor, bytes[0])) ValorNoValido(campo, valor, "lógico", tabla);
        return;
    case ClaseCampo::EnteroBE:
    case ClaseCampo::EnteroLE:
        CodificarEntero(campo, valor, bytes, tabla);
        return;
    case ClaseCampo::NumeroTexto:
        CodificarNumeroTexto(campo, valor, bytes, tabla);
        return;
    case ClaseCampo::DobleBE: {
        double numero = 0;
        if (SinBlancos(valor).empty()) {
            std::memset(bytes, 0, 8);
            return;
        }
        if (!LeerNumero(valor, numero)) ValorNoValido(campo, valor, "numérico", tabla);
        constexpr std::uint64_t kSigno = 1ULL << 63;
        const auto bits = std::bit_cast<std::uint64_t>(numero == 0 ? 0.0 : numero);
        PonerBe(bytes, (bits & kSigno) ? ~bits : bits ^ kSigno, 8);
        return;
    }
    default:
        throw Error("No se puede escribir en el campo " + AnsiAUtf8(campo.campo.nombre) + " de la tabla " + tabla +
                    " (tipo '" + campo.campo.tipo + "')");
    }
}
