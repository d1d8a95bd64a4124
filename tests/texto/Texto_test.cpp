#include "comun/Error.h"
#include "text/Texto.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

struct Caso {
    std::function<std::string(std::string)> funcion;
    std::string entrada;
    std::string esperado;
};

std::string Ansi(const char* utf8)
{
    return Utf8AAnsi(utf8);
}

TEST(Texto, HelpersFollowTheirRulesOnBytes)
{
    const auto izq = [](int n) { return [n](std::string t) { return Izquierda(t, n); }; };
    const auto der = [](int n) { return [n](std::string t) { return Derecha(t, n); }; };
    const Caso casos[] = {
        {QuitaBlancos, "", ""},
        {QuitaBlancos, "   ", ""},
        {QuitaBlancos, "  a  b  ", "a  b"},
        {QuitaBlancos, "a\t", "a\t"},
        {QuitaBlancos, "\xA0x\xA0", "\xA0x\xA0"},
        {QuitaBlancosDer, "  a  ", "  a"},
        {QuitaBlancosIzq, "  a  ", "a  "},
        {izq(3), "abc", "abc"},
        {izq(5), "abc", "abc"},
        {izq(2), "abc", "ab"},
        {izq(0), "abc", ""},
        {izq(-1), "abc", ""},
        {der(2), "ABCDE", "DE"},
        {der(5), "ABCDE", "ABCDE"},
        {der(9), "ABCDE", "ABCDE"},
        {der(0), "ABCDE", ""},
        {SoloMayusculas, Ansi("Educación Física 2º ESO"), "EFESO"},
        {SoloMayusculas, Ansi("ÑÉx"), ""},
        {Iniciales, "Lengua Castellana y Literatura", "CyL"},
        {Iniciales, "Palabra", ""},
        {Iniciales, "A  B", " B"},
        {Iniciales, "A ", ""},
        {SumaDigitos, "2017", "10"},
        {SumaDigitos, "", "0"},
        {SumaDigitos, "0007", "7"},
        {Mayusculas, Ansi("educación ñ"), Ansi("EDUCACIóN ñ")},
    };
    for (const auto& c : casos)
        EXPECT_EQ(c.funcion(c.entrada), c.esperado) << "entrada: " << c.entrada;
}

TEST(Texto, SumaDigitosNamesTheTextItCannotConvert)
{
    for (const char* malo : {"1 2", "-1", "1a", "+3"}) {
        try {
            SumaDigitos(malo);
            FAIL() << malo;
        } catch (const Error& e) {
            EXPECT_NE(std::string(e.what()).find(std::string("'") + malo + "'"), std::string::npos) << e.what();
        }
    }
}

TEST(Texto, Windows1252ConversionsKeepEveryByte)
{
    std::string todos;
    for (int b = 0; b < 256; ++b)
        todos += static_cast<char>(b);
    EXPECT_EQ(Utf8AAnsi(AnsiAUtf8(todos)), todos);

    EXPECT_EQ(AnsiAUtf8("\x80"), "\u20AC");
    EXPECT_EQ(AnsiAUtf8("\x81"), "\u0081");
    EXPECT_EQ(Utf8AAnsi("Ética €"), "\xC9tica \x80");
}

TEST(Texto, CharactersOutsideWindows1252BecomeOneQuestionMarkEach)
{
    const struct {
        std::string utf8, ansi;
    } casos[] = {
        {"a\u4E2Db", "a?b"},     // CJK
        {"\U0001F600", "?"},     // 4-byte sequence
        {"x\xC3", "x?"},         // truncated sequence
        {"\xC0\xAF", "??"},      // overlong form
        {"\xED\xA0\x80", "???"}, // surrogate
        {"\xFF", "?"},
    };
    for (const auto& c : casos)
        EXPECT_EQ(Utf8AAnsi(c.utf8), c.ansi);
}

TEST(Texto, StrictIntegerReading)
{
    long long v = 0;
    EXPECT_TRUE(LeerEnteroEstricto("-12", v));
    EXPECT_EQ(v, -12);
    for (const char* malo : {"", " 1", "1 ", "1,0", "+", "12a", "9999999999999999999"})
        EXPECT_FALSE(LeerEnteroEstricto(malo, v)) << malo;
}

TEST(Texto, NamesCompareWithoutRegardToCaseOfAToZOnly)
{
    EXPECT_TRUE(IgualesSinMayusculas("Transformadores", "TRANSFORMADORES"));
    EXPECT_TRUE(IgualesSinMayusculas("", ""));
    EXPECT_FALSE(IgualesSinMayusculas("ABREV", "ABREV2"));
    EXPECT_FALSE(IgualesSinMayusculas(Ansi("año"), Ansi("AÑO")));
}

} // namespace
