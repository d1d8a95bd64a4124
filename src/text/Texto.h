#pragma once
#include <string>
#include <string_view>

// Helpers on 8-bit Windows-1252 text. "Blank" is the space character (byte 32) only.
// Positions count from 1, as in the rules that use them.

// The text without its trailing blanks.
std::string QuitaBlancosDer(std::string texto);
// The text without its leading blanks.
std::string QuitaBlancosIzq(std::string texto);
// Trailing blanks first, then leading blanks; inner blanks stay.
std::string QuitaBlancos(std::string texto);
// The first n characters (none when n <= 0; the whole text when n >= its length).
std::string Izquierda(std::string texto, int n);
// The last n characters (none when n <= 0; the whole text when n >= its length).
std::string Derecha(std::string texto, int n);
// Only the bytes 'A'..'Z' of the text, in order.
std::string SoloMayusculas(std::string texto);
// Every character that directly follows a blank, in order (never the first character).
std::string Iniciales(std::string texto);
// The sum of the decimal digits of the text, as decimal text ("" gives "0").
// Throws Error naming the text when a character is not a decimal digit.
std::string SumaDigitos(std::string texto);

// Only 'a'..'z' turned into 'A'..'Z'; accented letters stay as they are.
std::string Mayusculas(std::string texto);
// Whether the texts are equal once 'a'..'z' are taken as 'A'..'Z' (names of files, fields, sections).
bool IgualesSinMayusculas(std::string_view a, std::string_view b);
// Whole decimal number with an optional sign, nothing else; false when the text is not one.
bool LeerEnteroEstricto(std::string_view texto, long long& valor);

// UTF-8 to Windows-1252: a character that code page cannot hold becomes one '?', malformed
// UTF-8 likewise. U+0081, U+008D, U+008F, U+0090 and U+009D map to the five undefined bytes.
std::string Utf8AAnsi(std::string_view utf8);
// Windows-1252 to UTF-8; every byte has an image, so Utf8AAnsi(AnsiAUtf8(x)) == x.
std::string AnsiAUtf8(std::string_view ansi);
