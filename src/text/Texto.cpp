#include "text/Texto.h"

#include "comun/Error.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace {

constexpr char kBlanco = ' ';

// Unicode code points of the bytes 0x80..0x9F; the five bytes Windows-1252 leaves undefined map to
// the C1 control of the same value so that every byte survives a round trip.
constexpr std::array<std::uint16_t, 32> kZona80 = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                                   0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                                   0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                                   0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

std::uint32_t PuntoDeCodigo(unsigned char byte)
{
    return (byte >= 0x80 && byte <= 0x9F) ? kZona80[byte - 0x80] : byte;
}

int ByteAnsi(std::uint32_t punto)
{
    if (punto < 0x80 || (punto >= 0xA0 && punto <= 0xFF)) return static_cast<int>(punto);
    for (std::size_t i = 0; i < kZona80.size(); ++i)
        if (kZona80[i] == punto) return static_cast<int>(0x80 + i);
    return -1;
}

void AnadirUtf8(std::string& salida, std::uint32_t punto)
{
    if (punto < 0x80) {
        salida += static_cast<char>(punto);
    } else if (punto < 0x800) {
        salida += static_cast<char>(0xC0 | (punto >> 6));
        salida += static_cast<char>(0x80 | (punto & 0x3F));
    } else {
        salida += static_cast<char>(0xE0 | (punto >> 12));
        salida += static_cast<char>(0x80 | ((punto >> 6) & 0x3F));
        salida += static_cast<char>(0x80 | (punto & 0x3F));
    }
}

} // namespace

std::string QuitaBlancosDer(std::string texto)
{
    while (!texto.empty() && texto.back() == kBlanco)
        texto.pop_back();
    return texto;
}

std::string QuitaBlancosIzq(std::string texto)
{
    std::size_t inicio = 0;
    while (inicio < texto.size() && texto[inicio] == kBlanco)
        ++inicio;
    return texto.substr(inicio);
}

std::string QuitaBlancos(std::string texto)
{
    return QuitaBlancosIzq(QuitaBlancosDer(std::move(texto)));
}

std::string Izquierda(std::string texto, int n)
{
    if (n < 0) n = 0;
    if (static_cast<std::size_t>(n) < texto.size()) texto.resize(static_cast<std::size_t>(n));
    return texto;
}

std::string Derecha(std::string texto, int n)
{
    if (n < 0) n = 0;
    if (static_cast<std::size_t>(n) < texto.size())
        return texto.substr(texto.size() - static_cast<std::size_t>(n));
    return texto;
}

std::string SoloMayusculas(std::string texto)
{
    std::string resultado;
    for (char c : texto)
        if (c >= 'A' && c <= 'Z') resultado += c;
    return resultado;
}

std::string Iniciales(std::string texto)
{
    std::string resultado;
    for (std::size_t p = 0; p + 1 < texto.size(); ++p)
        if (texto[p] == kBlanco) resultado += texto[p + 1];
    return resultado;
}

std::string SumaDigitos(std::string texto)
{
    long long suma = 0;
    for (char c : texto) {
        if (c < '0' || c > '9')
            throw Error("'" + AnsiAUtf8(texto) + "' no es un valor entero válido: el carácter '" +
                        AnsiAUtf8(std::string(1, c)) + "' no es una cifra");
        suma += c - '0';
    }
    return std::to_string(suma);
}

std::string Mayusculas(std::string texto)
{
    for (char& c : texto)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return texto;
}

bool IgualesSinMayusculas(std::string_view a, std::string_view b)
{
    const auto mayuscula = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; };
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [&](char x, char y) { return mayuscula(x) == mayuscula(y); });
}

bool LeerEnteroEstricto(std::string_view texto, long long& valor)
{
    std::size_t i = 0;
    bool negativo = false;
    if (i < texto.size() && (texto[i] == '-' || texto[i] == '+')) negativo = texto[i++] == '-';
    if (i == texto.size() || texto.size() - i > 18) return false;
    long long total = 0;
    for (; i < texto.size(); ++i) {
        if (texto[i] < '0' || texto[i] > '9') return false;
        total = total * 10 + (texto[i] - '0');
    }
    valor = negativo ? -total : total;
    return true;
}

std::string Utf8AAnsi(std::string_view utf8)
{
    std::string salida;
    salida.reserve(utf8.size());
    std::size_t i = 0;
    while (i < utf8.size()) {
        const auto b0 = static_cast<unsigned char>(utf8[i]);
        std::size_t largo = b0 < 0x80           ? 1
                            : (b0 >> 5) == 0x6  ? 2
                            : (b0 >> 4) == 0xE  ? 3
                            : (b0 >> 3) == 0x1E ? 4
                                                : 0;
        if (largo == 0 || i + largo > utf8.size()) {
            salida += '?';
            ++i;
            continue;
        }
        std::uint32_t punto = largo == 1 ? b0 : (b0 & (0x7F >> largo));
        bool bien = true;
        for (std::size_t k = 1; k < largo; ++k) {
            const auto b = static_cast<unsigned char>(utf8[i + k]);
            if ((b & 0xC0) != 0x80) {
                bien = false;
                break;
            }
            punto = (punto << 6) | (b & 0x3F);
        }
        // Overlong forms and surrogates are malformed too.
        static constexpr std::uint32_t kMinimo[] = {0, 0, 0x80, 0x800, 0x10000};
        if (!bien || punto < kMinimo[largo] || (punto >= 0xD800 && punto <= 0xDFFF) || punto > 0x10FFFF) {
            salida += '?';
            ++i;
            continue;
        }
        const int byte = ByteAnsi(punto);
        salida += byte < 0 ? '?' : static_cast<char>(byte);
        i += largo;
    }
    return salida;
}

std::string AnsiAUtf8(std::string_view ansi)
{
    std::string salida;
    salida.reserve(ansi.size() + ansi.size() / 4);
    for (char c : ansi)
        AnadirUtf8(salida, PuntoDeCodigo(static_cast<unsigned char>(c)));
    return salida;
}
