#include "apoyo/Apoyo.h"
#include "comun/Error.h"
#include "data/Tabla.h"
#include "text/Texto.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

std::string Ansi(const char* utf8)
{
    return Utf8AAnsi(utf8);
}

std::string Le(std::uint64_t valor, int bytes)
{
    std::string texto;
    for (int i = 0; i < bytes; ++i)
        texto += static_cast<char>((valor >> (8 * i)) & 0xFF);
    return texto;
}

std::string Be(std::uint64_t valor, int bytes)
{
    std::string texto;
    for (int i = bytes - 1; i >= 0; --i)
        texto += static_cast<char>((valor >> (8 * i)) & 0xFF);
    return texto;
}

unsigned Byte(const std::string& bytes, std::size_t i)
{
    return static_cast<unsigned char>(bytes.at(i));
}
unsigned Le16(const std::string& bytes, std::size_t i)
{
    return Byte(bytes, i) | (Byte(bytes, i + 1) << 8);
}

struct Descriptor {
    std::string nombre;
    char tipo;
    int ancho;
    int decimales = 0;
};

// The bytes of a table as another program would write them: 32-byte header and descriptors for
// dBase III/IV and FoxPro, 68 and 48 bytes for Level 7; extra bytes before the first record as
// Visual FoxPro leaves them.
std::string Dbf(unsigned char version, const std::vector<Descriptor>& campos,
                const std::vector<std::string>& registros, std::size_t extra = 0)
{
    const bool nivel7 = version == 0x04;
    const std::size_t inicio = nivel7 ? 68 : 32;
    const std::size_t tamano = nivel7 ? 48 : 32;
    std::size_t largoRegistro = 1;
    for (const auto& c : campos)
        largoRegistro += c.ancho;
    std::string bytes(inicio + tamano * campos.size() + 1 + extra, '\0');
    bytes[0] = static_cast<char>(version);
    bytes.replace(1, 3, "\x7C\x01\x1F");
    bytes.replace(4, 4, Le(registros.size(), 4));
    bytes.replace(8, 2, Le(bytes.size(), 2));
    bytes.replace(10, 2, Le(largoRegistro, 2));
    for (std::size_t i = 0; i < campos.size(); ++i) {
        const std::size_t d = inicio + tamano * i;
        bytes.replace(d, campos[i].nombre.size(), campos[i].nombre);
        const std::size_t tipo = nivel7 ? 32 : 11;
        const std::size_t ancho = nivel7 ? 33 : 16;
        bytes[d + tipo] = campos[i].tipo;
        bytes[d + ancho] = static_cast<char>(campos[i].ancho);
        bytes[d + ancho + 1] = static_cast<char>(campos[i].decimales);
    }
    bytes[inicio + tamano * campos.size()] = '\x0D';
    for (const auto& r : registros) {
        EXPECT_EQ(r.size(), largoRegistro);
        bytes += r;
    }
    return bytes + '\x1A';
}

std::string MensajeDe(const std::function<void()>& accion)
{
    try {
        accion();
    } catch (const Error& e) {
        return e.what();
    }
    return "(sin error)";
}

void Agregar(Tabla& tabla, const std::vector<std::pair<std::string, std::string>>& valores)
{
    tabla.agregar();
    for (const auto& [campo, valor] : valores)
        tabla.fijar(campo, valor);
    tabla.grabar();
}

TEST(Tabla, WritesDBaseLevel7FieldByField)
{
    CarpetaTemporal carpeta;
    {
        Tabla t = Tabla::crear(carpeta.ruta(), "Ofertas",
                               {CampoCaracter("OFERTAMATRI", 10), CampoLogico("ACTIVA"),
                                CampoEntero("X_NIVCONPAGLEG"), CampoFlotante("HORAS")});
        Agregar(t, {{"OFERTAMATRI", "ab"}, {"ACTIVA", "T"}, {"X_NIVCONPAGLEG", "-12"}, {"HORAS", "2,5"}});
        Agregar(t, {});
        Agregar(t, {{"OFERTAMATRI", Ansi("educación física")},
                    {"ACTIVA", "F"},
                    {"X_NIVCONPAGLEG", "300"},
                    {"HORAS", "-4"}});
        t.cerrar();
    }
    ASSERT_TRUE(fs::exists(carpeta / "OFERTAS.DBF"));
    const std::string b = LeerFichero(carpeta / "OFERTAS.DBF");
    const std::size_t cabecera = 68 + 48 * 4 + 1;
    const std::size_t registro = 1 + 10 + 1 + 4 + 20;
    ASSERT_EQ(b.size(), cabecera + 3 * registro + 1);

    const std::time_t ahora = std::time(nullptr);
    std::tm hoy{};
    localtime_r(&ahora, &hoy);
    EXPECT_EQ(Byte(b, 0), 0x04u);
    EXPECT_EQ(Byte(b, 1), static_cast<unsigned>(hoy.tm_year));
    EXPECT_EQ(Byte(b, 2), static_cast<unsigned>(hoy.tm_mon + 1));
    EXPECT_EQ(Byte(b, 3), static_cast<unsigned>(hoy.tm_mday));
    EXPECT_EQ(b.substr(4, 4), Le(3, 4));
    EXPECT_EQ(Le16(b, 8), cabecera);
    EXPECT_EQ(Le16(b, 10), registro);
    EXPECT_EQ(b.substr(12, 17), std::string(17, '\0'));
    EXPECT_EQ(Byte(b, 29), 0x57u);
    EXPECT_EQ(b.substr(30, 2), std::string(2, '\0'));
    EXPECT_EQ(b.substr(32, 32), "DBWINWE0" + std::string(24, '\0'));
    EXPECT_EQ(b.substr(64, 4), std::string(4, '\0'));

    const Descriptor esperados[] = {
        {"OFERTAMATRI", 'C', 10}, {"ACTIVA", 'L', 1}, {"X_NIVCONPAGLEG", 'I', 4}, {"HORAS", 'F', 20, 4}};
    for (std::size_t i = 0; i < 4; ++i) {
        const std::string d = b.substr(68 + 48 * i, 48);
        const Descriptor& e = esperados[i];
        EXPECT_EQ(d.substr(0, 32), e.nombre + std::string(32 - e.nombre.size(), '\0')) << e.nombre;
        EXPECT_EQ(d[32], e.tipo) << e.nombre;
        EXPECT_EQ(Byte(d, 33), static_cast<unsigned>(e.ancho)) << e.nombre;
        EXPECT_EQ(Byte(d, 34), static_cast<unsigned>(e.decimales)) << e.nombre;
        EXPECT_EQ(d.substr(35), std::string(13, '\0')) << e.nombre;
    }
    EXPECT_EQ(Byte(b, cabecera - 1), 0x0Du);

    const std::string filas = b.substr(cabecera, 3 * registro);
    EXPECT_EQ(filas.substr(0, registro),
              " ab        T" + std::string("\x7F\xFF\xFF\xF4", 4) + "              2.5000");
    EXPECT_EQ(filas.substr(registro, registro),
              std::string(12, ' ') + std::string(4, '\0') + std::string(20, ' '));
    EXPECT_EQ(filas.substr(2 * registro, registro),
              " " + Ansi("educación ") + "F" + std::string("\x80\x00\x01\x2C", 4) + "             -4.0000");
    EXPECT_EQ(Byte(b, b.size() - 1), 0x1Au);
}

TEST(Tabla, ReadsBackWhatItWrote)
{
    CarpetaTemporal carpeta;
    {
        Tabla t =
            Tabla::crear(carpeta.ruta(), "ASIGT",
                         {CampoCaracter("CASIG", 10), CampoLogico("L"), CampoEntero("N"), CampoFlotante("HORAS")});
        Agregar(t, {{"CASIG", "  MAT  "}, {"L", "S"}, {"N", "-12"}, {"HORAS", "4"}});
        Agregar(t, {});
        Agregar(t, {{"CASIG", "x"}, {"L", "false"}, {"N", "0"}, {"HORAS", "2.5"}});
    } // the destructor writes the table
    Tabla t = Tabla::abrir(carpeta.ruta(), "asigt", Acceso::Compartido);
    ASSERT_EQ(t.campos().size(), 4u);
    EXPECT_EQ(t.campos()[0].nombre, "CASIG");
    EXPECT_EQ(t.campos()[3].tipo, 'F');
    EXPECT_EQ(t.campos()[3].ancho, 20);
    EXPECT_EQ(t.numRegistros(), 3u);
    EXPECT_EQ(t.texto("CASIG"), "  MAT");
    EXPECT_TRUE(t.logico("L"));
    EXPECT_EQ(t.texto("N"), "-12");
    EXPECT_EQ(t.entero("N"), -12);
    EXPECT_EQ(t.texto("horas"), "4");
    t.siguiente();
    for (const char* campo : {"CASIG", "L", "N", "HORAS"}) {
        EXPECT_EQ(t.texto(campo), "") << campo;
        EXPECT_TRUE(t.vacio(campo)) << campo;
    }
    EXPECT_EQ(t.entero("N"), 0);
    EXPECT_EQ(t.entero("HORAS"), 0);
    t.siguiente();
    EXPECT_EQ(t.texto("L"), "F");
    EXPECT_EQ(t.texto("N"), "0");
    EXPECT_FALSE(t.vacio("N"));
    EXPECT_EQ(t.texto("HORAS"), "2.5");
    t.siguiente();
    EXPECT_TRUE(t.fin());
    EXPECT_EQ(t.texto("CASIG"), "");
}

TEST(Tabla, ReadsAHandMadeDBaseIIITable)
{
    CarpetaTemporal carpeta;
    const std::vector<Descriptor> campos = {
        {"COD", 'C', 6}, {"CANT", 'N', 6, 2}, {"FECHA", 'D', 8}, {"ACT", 'L', 1}, {"NOTAS", 'M', 10}};
    EscribirFichero(carpeta / "SENEMATERIAS.DBF",
                    Dbf(0x03, campos,
                        {" ABC     4.0020240131T        12", "*BORRA   1.00        F          ",
                         " " + Ansi("ñú    ") + " -0.50        ?          "}));
    Tabla t = Tabla::abrir(carpeta.ruta(), "SeneMaterias.dbf", Acceso::Compartido);
    EXPECT_EQ(t.nombre(), "SeneMaterias");
    EXPECT_EQ(t.numRegistros(), 2u);
    EXPECT_EQ(t.texto("COD"), "ABC");
    EXPECT_EQ(t.texto("CANT"), "4");
    EXPECT_EQ(t.entero("CANT"), 4);
    EXPECT_EQ(t.texto("FECHA"), "31/01/2024");
    EXPECT_TRUE(t.logico("ACT"));
    EXPECT_EQ(t.texto("NOTAS"), "12");
    t.siguiente(); // the deleted record is passed over
    EXPECT_EQ(t.texto("COD"), Ansi("ñú"));
    EXPECT_EQ(t.texto("CANT"), "-0.5");
    EXPECT_EQ(t.texto("FECHA"), "");
    EXPECT_EQ(t.texto("ACT"), "");
    EXPECT_TRUE(t.localizar("CANT", {"-0,5"}));
    EXPECT_FALSE(t.localizar("COD", {"BORRA"}));
    t.siguiente();
    EXPECT_TRUE(t.fin());
}

TEST(Tabla, ReadsFoxProAndLevel7BinaryFields)
{
    CarpetaTemporal carpeta;
    // 2024-01-31 is Julian day 2460341; 13:45:10 is 49510000 ms after midnight.
    const std::string fila = std::string(" ") + "AB" + Le(static_cast<std::uint32_t>(-5), 4) +
                             Le(0x4004000000000000ULL, 8) + Le(123450000, 8) + Le(2460341, 4) + Le(49510000, 4);
    EscribirFichero(
        carpeta / "SOLUC.DBF",
        Dbf(0x30, {{"PROF", 'C', 2}, {"DIA", 'I', 4}, {"B", 'B', 8}, {"Y", 'Y', 8}, {"T", 'T', 8}}, {fila}, 263));
    Tabla soluc = Tabla::abrir(carpeta.ruta(), "SOLUC");
    EXPECT_EQ(soluc.texto("PROF"), "AB");
    EXPECT_EQ(soluc.texto("DIA"), "-5");
    EXPECT_EQ(soluc.entero("DIA"), -5);
    EXPECT_TRUE(soluc.localizar("DIA", {"-5"}));
    EXPECT_EQ(soluc.texto("B"), "2.5");
    EXPECT_EQ(soluc.texto("Y"), "12345");
    EXPECT_EQ(soluc.texto("T"), "31/01/2024 13:45:10");

    // Level 7 doubles: positive values have the sign bit flipped, negative ones every bit.
    EscribirFichero(carpeta / "DOBLES.DBF", Dbf(0x04, {{"O", 'O', 8}, {"AUTO", '+', 4}},
                                                {" " + Be(0xC004000000000000ULL, 8) + Be(0x80000007, 4),
                                                 " " + Be(0x3FFBFFFFFFFFFFFFULL, 8) + Be(0x80000008, 4),
                                                 " " + std::string(8, '\0') + Be(0x80000009, 4)}));
    Tabla dobles = Tabla::abrir(carpeta.ruta(), "DOBLES");
    EXPECT_EQ(dobles.texto("O"), "2.5");
    EXPECT_EQ(dobles.texto("AUTO"), "7");
    dobles.siguiente();
    EXPECT_EQ(dobles.texto("O"), "-2.5");
    dobles.siguiente();
    EXPECT_TRUE(dobles.vacio("O"));
    EXPECT_TRUE(dobles.localizar("O", {"-2,5"}));
    EXPECT_EQ(dobles.texto("AUTO"), "8");
}

TEST(Tabla, ChangesToAForeignTableKeepItsFormat)
{
    CarpetaTemporal carpeta;
    EscribirFichero(carpeta / "soluc.dbf",
                    Dbf(0x30, {{"PROF", 'C', 3}, {"DIA", 'I', 4}}, {" AB " + Le(1, 4), "*XY " + Le(2, 4)}, 263));
    {
        Tabla t = Tabla::abrir(carpeta.ruta(), "SOLUC");
        Agregar(t, {{"PROF", "CD"}, {"DIA", "-3"}});
    }
    const std::string b = LeerFichero(carpeta / "soluc.dbf");
    EXPECT_EQ(Byte(b, 0), 0x30u);
    EXPECT_EQ(b.substr(4, 4), Le(3, 4));
    EXPECT_EQ(b.substr(b.size() - 9), " CD " + Le(static_cast<std::uint32_t>(-3), 4) + "\x1A");
    Tabla t = Tabla::abrir(carpeta.ruta(), "SOLUC", Acceso::Compartido);
    EXPECT_EQ(t.numRegistros(), 2u);
    t.siguiente();
    EXPECT_EQ(t.entero("DIA"), -3);
}

// Rows of the locate and filter cases.
Tabla TablaDeBusqueda(const fs::path& carpeta)
{
    Tabla t = Tabla::crear(carpeta, "BUSQUEDA",
                           {CampoCaracter("ID", 2), CampoCaracter("NOMBRE", 10), CampoCaracter("COD", 3),
                            CampoEntero("NUM"), CampoFlotante("HORAS")});
    Agregar(t, {{"ID", "r0"}, {"NOMBRE", Ansi("educación ")}, {"COD", "A"}, {"NUM", "1"}, {"HORAS", "4"}});
    Agregar(t, {{"ID", "r1"}, {"NOMBRE", Ansi("Educación")}, {"COD", "B"}, {"NUM", "2"}});
    Agregar(t, {{"ID", "r2"}, {"NOMBRE", Ansi("educación")}, {"COD", "B"}, {"HORAS", "2.5"}});
    Agregar(t, {{"ID", "r3"}, {"NOMBRE", "x'y"}, {"NUM", "-3"}, {"HORAS", "0"}});
    return t;
}

TEST(Tabla, LocateTakesTheFirstRowEqualToEveryValue)
{
    struct Caso {
        const char* campos;
        std::vector<std::string> valores;
        const char* fila; // nullptr: not found
    };
    const Caso casos[] = {
        {"NOMBRE", {Ansi("educación ")}, "r0"},
        {"NOMBRE", {Ansi("educación")}, "r0"},
        {"NOMBRE;COD", {Ansi("educación"), "B"}, "r2"},
        {"COD;NOMBRE", {"B", Ansi("educación   ")}, "r2"},
        {"NOMBRE", {Ansi("Educación")}, "r1"},
        {"NOMBRE", {Ansi("EDUCACIÓN")}, nullptr},
        {"NOMBRE", {Ansi(" educación")}, nullptr},
        {"NOMBRE", {Ansi("educación física")}, nullptr},
        {"NOMBRE", {"x'y"}, "r3"},
        {"COD", {""}, "r3"},
        {"COD", {"b"}, nullptr},
        {"NUM", {"2"}, "r1"},
        {"NUM", {"2,0"}, "r1"},
        {"NUM", {" -3 "}, "r3"},
        {"NUM", {""}, "r2"},
        {"NUM", {"7"}, nullptr},
        {"HORAS", {"4"}, "r0"},
        {"HORAS", {"2.5"}, "r2"},
        {"HORAS", {"2,50"}, "r2"},
        {"HORAS", {""}, "r1"},
        {"HORAS", {"0"}, "r3"},
        {"ID;NUM", {"r1", "2"}, "r1"},
        {"ID;NUM", {"r1", "1"}, nullptr},
        {"ID; HORAS", {"r3", "0"}, "r3"},
    };
    CarpetaTemporal carpeta;
    Tabla t = TablaDeBusqueda(carpeta.ruta());
    for (const Caso& c : casos) {
        ASSERT_TRUE(t.localizar("ID", {"r3"}));
        EXPECT_EQ(t.localizar(c.campos, c.valores), c.fila != nullptr) << c.campos << " = " << c.valores[0];
        EXPECT_EQ(t.texto("ID"), c.fila ? c.fila : "r3") << c.campos << " = " << c.valores[0];
    }
}

TEST(Tabla, LocateRefusesValuesItCannotCompare)
{
    CarpetaTemporal carpeta;
    Tabla t = TablaDeBusqueda(carpeta.ruta());
    EXPECT_EQ(MensajeDe([&] { t.localizar("NUM", {"12a"}); }),
              "'12a' no es un valor entero válido para el campo NUM de BUSQUEDA");
    EXPECT_EQ(MensajeDe([&] { t.localizar("HORAS", {"4 h"}); }),
              "'4 h' no es un valor numérico válido para el campo HORAS de BUSQUEDA");
    EXPECT_EQ(MensajeDe([&] { t.localizar("ID;OTRO", {"r1", "x"}); }), "La tabla BUSQUEDA no tiene el campo OTRO");
    EXPECT_THROW(t.localizar("ID;NUM", {"r1"}), Error);
}

TEST(Tabla, FilterKeepsOnlyEqualRowsUntilSwitchedOff)
{
    CarpetaTemporal carpeta;
    Tabla t = TablaDeBusqueda(carpeta.ruta());
    const auto visibles = [&t] {
        std::string ids;
        for (t.primero(); !t.fin(); t.siguiente())
            ids += t.texto("ID");
        return ids;
    };
    struct Caso {
        const char* campo;
        std::string valor;
        const char* filas;
    };
    const Caso casos[] = {
        {"COD", "B", "r1r2"},    {"NOMBRE", Ansi("educación "), "r0r2"},
        {"NOMBRE", "x'y", "r3"}, {"NUM", "", "r2"},
        {"HORAS", "2,5", "r2"},  {"NOMBRE", Ansi("educación física"), ""},
        {"COD", "", "r3"},
    };
    for (const Caso& c : casos) {
        t.filtrar(c.campo, c.valor);
        EXPECT_EQ(t.texto("ID"), std::string(c.filas).substr(0, 2)) << c.campo << " = " << c.valor;
        EXPECT_EQ(t.numRegistros(), std::string(c.filas).size() / 2) << c.campo << " = " << c.valor;
        EXPECT_EQ(visibles(), c.filas) << c.campo << " = " << c.valor;
    }
    t.filtrar("COD", "B");
    EXPECT_TRUE(t.localizar("NOMBRE", {Ansi("educación")}));
    EXPECT_EQ(t.texto("ID"), "r2");
    EXPECT_FALSE(t.localizar("ID", {"r0"}));
    t.quitarFiltro();
    EXPECT_EQ(t.numRegistros(), 4u);
    EXPECT_EQ(visibles(), "r0r1r2r3");
}

TEST(Tabla, WritesNumbersAndLogicalsFromText)
{
    struct Caso {
        const char* campo;
        std::string valor;
        const char* leido; // nullptr: refused
    };
    const Caso casos[] = {
        {"N", "4", "4"},
        {"N", "-12", "-12"},
        {"N", "1,00", "1"},
        {"N", " 7 ", "7"},
        {"N", "", ""},
        {"N", "+8", "8"},
        {"N", "2.5", nullptr},
        {"N", "12a", nullptr},
        {"N", "1e3", nullptr},
        {"N", "--1", nullptr},
        {"N", "1,0,0", nullptr},
        {"N", "99999999999", nullptr},
        {"F", "2.5", "2.5"},
        {"F", "1,00", "1"},
        {"F", "-0,25", "-0.25"},
        {"F", "", ""},
        {"F", "3.", "3"},
        {"F", ".5", "0.5"},
        {"F", "abc", nullptr},
        {"F", "1.2.3", nullptr},
        {"F", "12345678901234567", nullptr},
        {"L", "S", "T"},
        {"L", "n", "F"},
        {"L", "true", "T"},
        {"L", "Y", "T"},
        {"L", "", ""},
        {"L", "x", nullptr},
        {"C", "abcdefgh", "abcde"},
        {"C", "a  ", "a"},
    };
    CarpetaTemporal carpeta;
    Tabla t = Tabla::crear(carpeta.ruta(), "VALORES",
                           {CampoEntero("N"), CampoFlotante("F"), CampoLogico("L"), CampoCaracter("C", 5)});
    t.agregar();
    for (const Caso& c : casos) {
        if (c.leido) {
            t.fijar(c.campo, c.valor);
            EXPECT_EQ(t.texto(c.campo), c.leido) << c.campo << " = " << c.valor;
        } else {
            EXPECT_THROW(t.fijar(c.campo, c.valor), Error) << c.campo << " = " << c.valor;
        }
    }
    t.fijarLogico("L", false);
    EXPECT_FALSE(t.logico("L"));
}

// Puts LC_NUMERIC in a Spanish locale, with its decimal comma, as the desktop toolkit does on a Spanish
// system; the locale is compiled into the folder when none is installed.
class ComaDecimal {
public:
    explicit ComaDecimal(const fs::path& carpeta) : anterior_(std::setlocale(LC_NUMERIC, nullptr))
    {
        if (std::setlocale(LC_NUMERIC, "es_ES.UTF-8") || std::setlocale(LC_NUMERIC, "es_ES")) return;
        const std::string orden =
            "localedef -i es_ES -f ISO-8859-1 '" + (carpeta / "es_ES").string() + "' >/dev/null 2>&1";
        if (std::system(orden.c_str()) != 0) return;
        setenv("LOCPATH", carpeta.c_str(), 1);
        std::setlocale(LC_NUMERIC, "es_ES");
        unsetenv("LOCPATH");
    }
    ~ComaDecimal() { std::setlocale(LC_NUMERIC, anterior_.c_str()); }
    ComaDecimal(const ComaDecimal&) = delete;
    ComaDecimal& operator=(const ComaDecimal&) = delete;
    bool activa() const { return *std::localeconv()->decimal_point == ','; }

private:
    std::string anterior_;
};

TEST(Tabla, NumbersAreWrittenWithADecimalPointWhateverTheLocale)
{
    CarpetaTemporal carpeta;
    const ComaDecimal coma(carpeta.ruta());
    if (!coma.activa()) GTEST_SKIP() << "no hay configuración regional española en esta máquina";
    {
        Tabla t = Tabla::crear(carpeta.ruta(), "ASIGT", {CampoFlotante("HORAS")});
        Agregar(t, {{"HORAS", "2,5"}});
        EXPECT_EQ(t.texto("HORAS"), "2.5");
        EXPECT_TRUE(t.localizar("HORAS", {"2,5"}));
    }
    EXPECT_EQ(LeerFichero(carpeta / "ASIGT.DBF").substr(68 + 48 + 1, 21), "               2.5000");
}

TEST(Tabla, MessagesNameValueFieldAndTable)
{
    CarpetaTemporal carpeta;
    Tabla t =
        Tabla::crear(carpeta.ruta(), "ORIGENES_C", {CampoCaracter("C_ORIHOR", 5), CampoEntero("X_CATORIHOR")});
    EXPECT_EQ(
        MensajeDe([&] { t.fijar("X_CATORIHOR", "1"); }),
        "No se puede fijar el campo X_CATORIHOR de la tabla ORIGENES_C: la tabla no está en alta ni en edición");
    EXPECT_THROW(t.grabar(), Error);
    EXPECT_THROW(t.editar(), Error); // no current row
    t.agregar();
    EXPECT_EQ(MensajeDe([&] { t.fijar("X_CATORIHOR", "12a"); }),
              "'12a' no es un valor entero válido para el campo X_CATORIHOR de ORIGENES_C");
    EXPECT_EQ(MensajeDe([&] { t.fijar("NADA", "1"); }), "La tabla ORIGENES_C no tiene el campo NADA");
    EXPECT_EQ(MensajeDe([&] { (void)t.texto("NADA"); }), "La tabla ORIGENES_C no tiene el campo NADA");
    t.fijar("C_ORIHOR", " 12a ");
    EXPECT_EQ(MensajeDe([&] { (void)t.entero("C_ORIHOR"); }),
              "'12a' no es un valor entero válido para el campo C_ORIHOR de ORIGENES_C");
    t.fijar("C_ORIHOR", " 12 ");
    EXPECT_EQ(t.entero("C_ORIHOR"), 12);
    t.fijar("C_ORIHOR", "");
    EXPECT_THROW((void)t.entero("C_ORIHOR"), Error);
    t.cerrar();
    EXPECT_EQ(MensajeDe([&] { t.primero(); }), "La tabla ORIGENES_C está cerrada");
    EXPECT_EQ(MensajeDe([&] { Tabla::abrir(carpeta.ruta(), "NOHAY"); }),
              "No existe la tabla NOHAY en la carpeta " + carpeta.ruta().string());
}

TEST(Tabla, AppendEditAndCancelFollowTheRowBeingWritten)
{
    CarpetaTemporal carpeta;
    {
        Tabla t = Tabla::crear(carpeta.ruta(), "PROFT", {CampoCaracter("ABREV", 4)});
        t.agregar();
        t.fijar("ABREV", "A");
        t.agregar(); // posts A
        t.fijar("ABREV", "B");
        t.grabar();
        t.agregar();
        t.fijar("ABREV", "X");
        t.cancelar();
        EXPECT_EQ(t.texto("ABREV"), "B");
        ASSERT_TRUE(t.localizar("ABREV", {"A"}));
        t.editar();
        t.fijar("ABREV", "AA");
        t.siguiente(); // moving posts the edit
        EXPECT_EQ(t.texto("ABREV"), "B");
        t.agregar();
        t.fijar("ABREV", "C"); // closing posts it
        t.cerrar();
    }
    Tabla t = Tabla::abrir(carpeta.ruta(), "PROFT", Acceso::Compartido);
    std::string abrevs;
    for (; !t.fin(); t.siguiente())
        abrevs += t.texto("ABREV") + ",";
    EXPECT_EQ(abrevs, "AA,B,C,");
    EXPECT_EQ(MensajeDe([&] { t.agregar(); }),
              "La tabla PROFT está abierta solo para lectura; no se puede modificar");
    EXPECT_THROW(t.editar(), Error);
}

TEST(Tabla, NamesMatchFilesWithoutRegardToCase)
{
    CarpetaTemporal carpeta;
    Tabla::crear(carpeta.ruta(), "CursosT", {CampoCaracter("CLAVE", 10)}).cerrar();
    EXPECT_TRUE(fs::exists(carpeta / "CURSOST.DBF"));
    for (const char* nombre : {"CursosT", "cursost", "CURSOST.DBF", "cursost.dbf"}) {
        EXPECT_TRUE(Tabla::existe(carpeta.ruta(), nombre)) << nombre;
        EXPECT_EQ(Tabla::abrir(carpeta.ruta(), nombre).nombre(), std::string(nombre).substr(0, 7)) << nombre;
    }
    EXPECT_FALSE(Tabla::existe(carpeta.ruta(), "CURSOS"));
    fs::rename(carpeta / "CURSOST.DBF", carpeta / "cursost.dbf");
    EXPECT_NO_THROW(Tabla::abrir(carpeta.ruta(), "CURSOST"));
    EXPECT_THROW(Tabla::crear(carpeta.ruta(), "CURSOST", {CampoCaracter("CLAVE", 10)}), Error);
    EXPECT_THROW(Tabla::abrir(carpeta.ruta(), "../CURSOST"), Error);
}

TEST(Tabla, DeleteRemovesTableAndIndexInAnyCase)
{
    CarpetaTemporal carpeta;
    EscribirFichero(carpeta / "ASIGT.DBF", "x");
    EscribirFichero(carpeta / "asigt.mdx", "x");
    EscribirFichero(carpeta / "ASIGT2.DBF", "x");
    Tabla::borrar(carpeta.ruta(), "AsigT.dbf");
    EXPECT_FALSE(fs::exists(carpeta / "ASIGT.DBF"));
    EXPECT_FALSE(fs::exists(carpeta / "asigt.mdx"));
    EXPECT_TRUE(fs::exists(carpeta / "ASIGT2.DBF"));
    EXPECT_NO_THROW(Tabla::borrar(carpeta.ruta(), "ASIGT"));

    Tabla abierta = Tabla::crear(carpeta.ruta(), "ASIGT", {CampoCaracter("C", 1)});
    EXPECT_THROW(Tabla::borrar(carpeta.ruta(), "ASIGT"), Error);
    EXPECT_TRUE(fs::exists(carpeta / "ASIGT.DBF"));
}

TEST(Tabla, LocksKeepOtherHoldersOut)
{
    struct Caso {
        Acceso primero;
        Acceso segundo;
        bool admitido;
    };
    const Caso casos[] = {{Acceso::Compartido, Acceso::Compartido, true},
                          {Acceso::Compartido, Acceso::Exclusivo, false},
                          {Acceso::Exclusivo, Acceso::Compartido, false},
                          {Acceso::Exclusivo, Acceso::Exclusivo, false}};
    CarpetaTemporal carpeta;
    Tabla::crear(carpeta.ruta(), "AULAT", {CampoCaracter("C", 1)}).cerrar();
    for (const Caso& c : casos) {
        Tabla primera = Tabla::abrir(carpeta.ruta(), "AULAT", c.primero);
        if (c.admitido)
            EXPECT_NO_THROW(Tabla::abrir(carpeta.ruta(), "AULAT", c.segundo));
        else
            EXPECT_THROW(Tabla::abrir(carpeta.ruta(), "AULAT", c.segundo), Error);
    }
}

TEST(Tabla, ATableHeldByAnotherProcessGivesAClearError)
{
    CarpetaTemporal carpeta;
    Tabla::crear(carpeta.ruta(), "PROFT", {CampoCaracter("ABREV", 4)}).cerrar();
    int aPadre[2];
    int aHijo[2];
    ASSERT_EQ(pipe(aPadre), 0);
    ASSERT_EQ(pipe(aHijo), 0);
    const pid_t hijo = fork();
    ASSERT_GE(hijo, 0);
    if (hijo == 0) {
        char listo = '0';
        try {
            Tabla t = Tabla::abrir(carpeta.ruta(), "PROFT");
            listo = '1';
            (void)!write(aPadre[1], &listo, 1);
            (void)!read(aHijo[0], &listo, 1);
        } catch (...) {
            (void)!write(aPadre[1], &listo, 1);
        }
        _exit(0);
    }
    char listo = 0;
    ASSERT_EQ(read(aPadre[0], &listo, 1), 1);
    ASSERT_EQ(listo, '1');
    EXPECT_EQ(MensajeDe([&] { Tabla::abrir(carpeta.ruta(), "PROFT", Acceso::Compartido); }),
              "La tabla PROFT está en uso por otro programa (" + (carpeta / "PROFT.DBF").string() + ")");
    EXPECT_THROW(Tabla::borrar(carpeta.ruta(), "PROFT"), Error);
    ASSERT_EQ(write(aHijo[1], "x", 1), 1);
    int estado = 0;
    waitpid(hijo, &estado, 0);
    EXPECT_NO_THROW(Tabla::abrir(carpeta.ruta(), "PROFT"));
    for (int d : {aPadre[0], aPadre[1], aHijo[0], aHijo[1]})
        close(d);
}

// Opens the table and reads every field of every row; only Error may come out.
void LeerEntera(const fs::path& carpeta, const std::string& nombre)
{
    Tabla t = Tabla::abrir(carpeta, nombre, Acceso::Compartido);
    for (; !t.fin(); t.siguiente())
        for (const Campo& campo : t.campos()) {
            (void)t.texto(campo.nombre);
            (void)t.vacio(campo.nombre);
        }
}

TEST(Tabla, CorruptOrTruncatedHeadersAreReportedNeverRead)
{
    CarpetaTemporal carpeta;
    Tabla::crear(carpeta.ruta(), "BUENA", {CampoCaracter("C", 3), CampoEntero("N")}).cerrar();
    {
        Tabla t = Tabla::abrir(carpeta.ruta(), "BUENA");
        Agregar(t, {{"C", "abc"}, {"N", "1"}});
        Agregar(t, {{"C", "de"}, {"N", "2"}});
    }
    const std::string buena = LeerFichero(carpeta / "BUENA.DBF");
    const std::size_t cabecera = 68 + 2 * 48 + 1;
    struct Caso {
        const char* que;
        std::function<std::string(std::string)> cambio;
    };
    const auto poner = [](std::size_t i, std::string bytes) {
        return [i, bytes](std::string b) { return b.replace(i, bytes.size(), bytes); };
    };
    const Caso casos[] = {
        {"empty file", [](std::string) { return std::string(); }},
        {"10 bytes", [](std::string b) { return b.substr(0, 10); }},
        {"Level 7 header cut", [](std::string b) { return b.substr(0, 50); }},
        {"descriptors cut", [](std::string b) { return b.substr(0, 100); }},
        {"unknown version", poner(0, std::string(1, '\0'))},
        {"header length 0", poner(8, Le(0, 2))},
        {"header length past the end", poner(8, Le(0xFFFF, 2))},
        {"header length inside descriptors", poner(8, Le(100, 2))},
        {"no terminator", poner(cabecera - 1, "X")},
        {"record shorter than fields", poner(10, Le(5, 2))},
        {"record length 0", poner(10, Le(0, 2))},
        {"more records than data", poner(4, Le(3, 4))},
        {"huge record count", poner(4, Le(0xFFFFFFFF, 4))},
        {"last record cut", [](std::string b) { return b.substr(0, b.size() - 3); }},
        {"field without name", poner(68, std::string(1, '\0'))},
        {"field of width 0", poner(68 + 48 + 33, std::string(1, '\0'))},
    };
    for (const Caso& c : casos) {
        EscribirFichero(carpeta / "MALA.DBF", c.cambio(buena));
        const std::string mensaje = MensajeDe([&] { LeerEntera(carpeta.ruta(), "MALA"); });
        EXPECT_NE(mensaje.find("La tabla MALA"), std::string::npos) << c.que << ": " << mensaje;
    }
    // Any single damaged header byte gives an error or a table that reads safely.
    for (std::size_t i = 0; i < cabecera; ++i)
        for (char valor : {'\0', '\x0D', '\x7F', '\xFF'}) {
            std::string mala = buena;
            mala[i] = valor;
            EscribirFichero(carpeta / "MALA.DBF", mala);
            try {
                LeerEntera(carpeta.ruta(), "MALA");
            } catch (const Error&) {
            }
        }
}

} // namespace
