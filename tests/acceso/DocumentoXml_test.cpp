#include "apoyo/Apoyo.h"
#include "comun/Error.h"
#include "data/DocumentoXml.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using ::testing::StartsWith;

namespace {

const fs::path kDatos = DATOS_PRUEBA;

DocumentoXml CargarTexto(const CarpetaTemporal& carpeta, const std::string& contenido)
{
    const fs::path ruta = carpeta / "documento.xml";
    EscribirFichero(ruta, contenido);
    return DocumentoXml::cargar(ruta);
}

std::string MensajeAlCargar(const fs::path& ruta)
{
    try {
        DocumentoXml::cargar(ruta);
    } catch (const Error& error) {
        return error.what();
    }
    return "(cargado sin error)";
}

std::vector<std::string> Valores(const NodoXml& registro)
{
    std::vector<std::string> valores;
    for (std::size_t n = 1; n <= registro.numDatos(); ++n)
        valores.push_back(registro.valor(n));
    return valores;
}

std::vector<std::string> Ficheros(const fs::path& carpeta)
{
    std::vector<std::string> nombres;
    for (const auto& entrada : fs::directory_iterator(carpeta))
        nombres.push_back(entrada.path().filename());
    return nombres;
}

} // namespace

TEST(DocumentoXml, LeeUnFicheroIso88591EnWindows1252)
{
    const DocumentoXml doc = DocumentoXml::cargar(kDatos / "xml_latin1.xml");
    const auto cursos = doc.registros("CURSOS_DEL_CENTRO");
    ASSERT_EQ(cursos.size(), 2u);
    EXPECT_EQ(cursos[0].valor(1), "101");
    EXPECT_EQ(cursos[0].valorSinQuitar(1), "  101 ");
    EXPECT_EQ(cursos[0].valor(2), "1\xBA de Educaci\xF3n Secundaria");
    EXPECT_EQ(cursos[0].atributo("seq"), "ID_CURSO1");
    EXPECT_EQ(cursos[1].numDatos(), 1u);
    EXPECT_EQ(cursos[1].valor(2), "");
    EXPECT_EQ(cursos[1].valorSinQuitar(13), "");
    EXPECT_EQ(cursos[1].valor(0), "");
}

TEST(DocumentoXml, LeeUnFicheroUtf8YNoEncuentraOtraGrafia)
{
    const DocumentoXml doc = DocumentoXml::cargar(kDatos / "xml_utf8_sin_declaracion.xml");
    const auto espacios = doc.registros("DEPENDENCIAS");
    // Grupo_datos is not a record, and DATO is not a dato.
    ASSERT_EQ(espacios.size(), 2u);
    EXPECT_EQ(Valores(espacios[0]), (std::vector<std::string>{"Aula de M\xFAsica", "Gimnasio \x80 ?mega"}));
    EXPECT_EQ(espacios[0].valorSinQuitar(1), "  Aula de M\xFAsica  ");
    EXPECT_EQ(espacios[1].numDatos(), 0u);
    EXPECT_EQ(espacios[1].valor(1), "");
    EXPECT_TRUE(doc.registros("dependencias").empty());
}

TEST(DocumentoXml, SeccionRepetidaYRegistrosAnidados)
{
    const DocumentoXml doc = DocumentoXml::cargar(kDatos / "xml_latin1.xml");

    std::vector<std::string> seqs;
    for (const NodoXml& seccion : doc.secciones())
        seqs.push_back(seccion.atributo("seq"));
    EXPECT_EQ(seqs, (std::vector<std::string>{"ANNO_ACADEMICO", "CURSOS_DEL_CENTRO", "MATERIAS", "PROFESOR_1",
                                              "MATERIAS"}));

    const auto materias = doc.registros("MATERIAS");
    ASSERT_EQ(materias.size(), 2u);
    EXPECT_EQ(Valores(materias[0]), (std::vector<std::string>{"101", "Educaci\xF3n F\xEDsica", "501"}));
    EXPECT_EQ(Valores(materias[1]), (std::vector<std::string>{"102", "502", "M\xFAsica"}));

    const auto cargas = doc.registros("PROFESOR_1");
    ASSERT_EQ(cargas.size(), 1u);
    EXPECT_EQ(Valores(cargas[0]), (std::vector<std::string>{"501", "9"}));
    EXPECT_EQ(cargas[0].seleccionar("dato").size(), 2u);
    EXPECT_EQ(cargas[0].seleccionar("grupo_datos")[0].valor(1), "4");
    EXPECT_EQ(doc.secciones()[3].numDatos(), 1u);

    EXPECT_TRUE(doc.registros("NO_EXISTE").empty());
    EXPECT_TRUE(doc.seleccionar("/SERVICIO/BLOQUE_DATOS/Grupo_datos").empty());
}

TEST(DocumentoXml, PrimerHijoYTextoCompleto)
{
    const DocumentoXml doc = DocumentoXml::cargar(kDatos / "xml_latin1.xml");
    EXPECT_TRUE(doc.tieneBloqueDatos());
    const NodoXml anno = doc.seleccionarUno("/SERVICIO/BLOQUE_DATOS").primerHijo();
    EXPECT_EQ(anno.nombre(), "grupo_datos");
    EXPECT_EQ(anno.texto(), "202301/09/2023");
    EXPECT_EQ(anno.primerHijo().primerHijo().valido(), false);

    const NodoXml nada = doc.seleccionarUno("/SERVICIO/NADA");
    EXPECT_FALSE(nada.valido());
    EXPECT_EQ(nada.texto(), "");
    EXPECT_EQ(nada.valor(1), "");
    EXPECT_TRUE(nada.seleccionar("dato").empty());
}

TEST(DocumentoXml, UsosIndebidosSonErroresClaros)
{
    DocumentoXml doc = DocumentoXml::cargar(kDatos / "xml_latin1.xml");
    EXPECT_THROW(doc.seleccionar("/SERVICIO["), Error);
    NodoXml nada;
    EXPECT_THROW(nada.agregarDato("C_ANNO", "2023"), Error);
    EXPECT_THROW(doc.raiz().agregarElemento("dos palabras"), Error);
    EXPECT_THROW(doc.raiz().fijarAtributo("", "x"), Error);
}

TEST(DocumentoXml, PruebaDelPrefijoDeNombreDato)
{
    struct Caso {
        const char* dato;
        const char* prefijo;
        bool esperado;
    };
    const Caso casos[] = {
        {R"(<dato nombre_dato="D_MATERIAC">Lengua</dato>)", "D_MATERIAC", true},
        {R"(<dato nombre_dato="D_MATERIAC_LARGA">Lengua</dato>)", "D_MATERIAC", true},
        {R"(<dato nombre_dato="D_MATERIAC">Lengua</dato>)", "D_MATERIA", true},
        {R"(<dato nombre_dato="D_MATERIAC">Lengua</dato>)", "d_materiac", false},
        {R"(<dato nombre_dato="D_MATERIA">Lengua</dato>)", "D_MATERIAC", false},
        {R"(<dato nombre_dato='D_MATERIAC'>Lengua</dato>)", "D_MATERIAC", true},
        {R"(<dato   nombre_dato = "D_MATERIAC" >Lengua</dato>)", "D_MATERIAC", true},
        {R"(<dato nombre_dato="D_MATERIAC"/>)", "D_MATERIAC", true},
        {R"(<dato id="2" nombre_dato="D_MATERIAC">Lengua</dato>)", "D_MATERIAC", false},
        {R"(<dato>D_MATERIAC</dato>)", "D_MATERIAC", false},
        // The test is positional: whatever stands from the 20th character on.
        {R"(<dato>xxxxxxxxxxxxxD_MATERIAC</dato>)", "D_MATERIAC", true},
        {R"(<dato/>)", "D_MATERIAC", false},
    };
    CarpetaTemporal carpeta;
    for (const Caso& c : casos) {
        const DocumentoXml doc =
            CargarTexto(carpeta, std::string("<r><dato nombre_dato=\"X\">1</dato>") + c.dato + "</r>");
        EXPECT_EQ(doc.raiz().datoLlamado(2, c.prefijo), c.esperado) << c.dato << " / " << c.prefijo;
        EXPECT_FALSE(doc.raiz().datoLlamado(3, c.prefijo)) << c.dato;
    }
}

TEST(DocumentoXml, MarcadoConservaLosAcentos)
{
    CarpetaTemporal carpeta;
    const DocumentoXml doc =
        CargarTexto(carpeta, "<r><dato nombre_dato=\"D\">M\xC3\xBAsica &amp; m\xC3\xA1s</dato></r>");
    EXPECT_EQ(doc.raiz().datos()[0].marcado(), "<dato nombre_dato=\"D\">M\xFAsica &amp; m\xE1s</dato>");
}

TEST(DocumentoXml, FicheroMalFormadoSeNotificaConLineaYColumna)
{
    CarpetaTemporal carpeta;
    const fs::path ruta = carpeta / "roto.xml";
    EscribirFichero(ruta, "<SERVICIO>\n<BLOQUE_DATOS>\n<grupo_datos seq=\"A\">\n</BLOQUE_DATOS>\n</SERVICIO>\n");
    EXPECT_THAT(MensajeAlCargar(ruta),
                StartsWith("El fichero " + ruta.string() + " no es un XML válido (línea 4, columna 16): "));

    EscribirFichero(ruta, "");
    EXPECT_THAT(MensajeAlCargar(ruta),
                StartsWith("El fichero " + ruta.string() + " no es un XML válido (línea 1"));

    // "<SERVICIO/>" compressed with gzip is not inflated: a few megabytes could grow to gigabytes.
    EscribirFichero(ruta, std::string("\x1F\x8B\x08\x00\x00\x00\x00\x00\x02\x03\xB3\x09\x76\x0D\x0A\xF3\x74\xF6"
                                      "\xF4\xD7\xB7\x03\x00\xB3\xBA\x74\xA1\x0B\x00\x00\x00",
                                      31));
    EXPECT_THAT(MensajeAlCargar(ruta), StartsWith("El fichero " + ruta.string() + " no es un XML válido"));
}

TEST(DocumentoXml, FicheroInexistenteSeNombra)
{
    CarpetaTemporal carpeta;
    EXPECT_EQ(MensajeAlCargar(carpeta / "falta.xml"), "No existe el fichero " + (carpeta / "falta.xml").string());
    EXPECT_THAT(MensajeAlCargar(carpeta.ruta()), HasSubstr(carpeta.ruta().string()));
}

TEST(DocumentoXml, RechazaLosDocumentosQueDeclaranEntidades)
{
    CarpetaTemporal carpeta;
    EscribirFichero(carpeta / "secreto.txt", "SECRETO");
    std::string risas = "<!DOCTYPE SERVICIO [<!ENTITY lol0 \"lol\">";
    for (int i = 1; i < 10; ++i) {
        risas += "<!ENTITY lol" + std::to_string(i) + " \"";
        for (int j = 0; j < 10; ++j)
            risas += "&lol" + std::to_string(i - 1) + ";";
        risas += "\">";
    }
    risas += "]><SERVICIO a=\"&lol9;\">&lol9;</SERVICIO>";
    std::string plana = "<!DOCTYPE SERVICIO [<!ENTITY plana \"" + std::string(20000, 'x') + "\">]><SERVICIO>";
    for (int i = 0; i < 20000; ++i)
        plana += "&plana;";
    plana += "</SERVICIO>";

    struct Caso {
        std::string nombre;
        std::string contenido;
        std::string entidad;
    };
    const std::vector<Caso> casos = {
        {"xxe_fichero",
         "<!DOCTYPE SERVICIO [<!ENTITY xxe SYSTEM \"file://" + (carpeta / "secreto.txt").string() +
             "\">]><SERVICIO>&xxe;</SERVICIO>",
         "xxe"},
        {"xxe_red",
         "<!DOCTYPE SERVICIO [<!ENTITY red SYSTEM \"http://127.0.0.1:9/x\">]><SERVICIO>&red;</SERVICIO>", "red"},
        {"parametro", "<!DOCTYPE SERVICIO [<!ENTITY % p SYSTEM \"http://127.0.0.1:9/p.dtd\"> %p;]><SERVICIO/>",
         "p"},
        {"no_analizada",
         "<!DOCTYPE SERVICIO [<!NOTATION n SYSTEM \"n\"><!ENTITY img SYSTEM \"x.gif\" NDATA n>]><SERVICIO/>",
         "img"},
        {"risas", risas, "lol0"},
        {"plana", plana, "plana"},
    };
    for (const Caso& c : casos) {
        const fs::path ruta = carpeta / (c.nombre + ".xml");
        EscribirFichero(ruta, "<?xml version=\"1.0\"?>" + c.contenido);
        EXPECT_EQ(MensajeAlCargar(ruta), "El fichero " + ruta.string() + " declara la entidad \"" + c.entidad +
                                             "\"; un fichero de intercambio no usa entidades y no se carga")
            << c.nombre;
    }
}

TEST(DocumentoXml, GuardaConElPrologoYLaCodificacionDelOriginal)
{
    CarpetaTemporal carpeta;
    DocumentoXml doc = DocumentoXml::cargar(kDatos / "xml_latin1.xml");
    doc.quitarRaiz();
    NodoXml servicio = doc.crearRaiz(
        "SERVICIO",
        {{"modulo", "HORARIOS"}, {"tipo", "I"}, {"autor", "QUINTARA"}, {"fecha", "01/02/2024 9:05:00"}});
    NodoXml bloque = servicio.agregarElemento("BLOQUE_DATOS");
    NodoXml anno = bloque.agregarGrupo("ANNO_ACADEMICO");
    anno.agregarDato("C_ANNO", "2023");
    NodoXml regulares = bloque.agregarGrupo("HORARIOS_REGULARES");
    regulares.fijarAtributo("registros", "1");
    regulares.agregarGrupo("A & B").agregarDato("D_MATERIAC", " Lengua & <Literatura> Educaci\xF3n \x80 ");

    const fs::path destino = carpeta / "ResultadoZentarcentro.xml";
    EscribirFichero(destino, "contenido anterior");
    doc.guardar(destino);

    EXPECT_EQ(
        LeerFichero(destino),
        "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n"
        "<!-- Exportaci\xF3n de S\xE9neca -->\n"
        "<SERVICIO modulo=\"HORARIOS\" tipo=\"I\" autor=\"QUINTARA\" fecha=\"01/02/2024 9:05:00\">"
        "<BLOQUE_DATOS><grupo_datos seq=\"ANNO_ACADEMICO\"><dato nombre_dato=\"C_ANNO\">2023</dato>"
        "</grupo_datos><grupo_datos seq=\"HORARIOS_REGULARES\" registros=\"1\"><grupo_datos seq=\"A &amp; B\">"
        "<dato nombre_dato=\"D_MATERIAC\"> Lengua &amp; &lt;Literatura&gt; Educaci\xF3n &#8364; </dato>"
        "</grupo_datos></grupo_datos></BLOQUE_DATOS></SERVICIO>\n");
    EXPECT_EQ(Ficheros(carpeta.ruta()), std::vector<std::string>{"ResultadoZentarcentro.xml"});

    const DocumentoXml releido = DocumentoXml::cargar(destino);
    EXPECT_EQ(releido.registros("HORARIOS_REGULARES")[0].valorSinQuitar(1),
              " Lengua & <Literatura> Educaci\xF3n \x80 ");
    EXPECT_TRUE(releido.registros("HORARIOS_REGULARES")[0].datoLlamado(1, "D_MATERIAC"));
}

TEST(DocumentoXml, SinDeclaracionSeGuardaSinDeclaracionEnUtf8)
{
    CarpetaTemporal carpeta;
    DocumentoXml doc = DocumentoXml::cargar(kDatos / "xml_utf8_sin_declaracion.xml");
    doc.quitarRaiz();
    doc.crearRaiz("SERVICIO", {}).agregarElemento("BLOQUE_DATOS").agregarDato("D", "M\xFAsica\x01");
    doc.guardar(carpeta / "salida.xml");
    EXPECT_EQ(LeerFichero(carpeta / "salida.xml"),
              "<SERVICIO><BLOQUE_DATOS><dato nombre_dato=\"D\">M\xC3\xBAsica?</dato></BLOQUE_DATOS></SERVICIO>\n");
}

TEST(DocumentoXml, GuardarConservaLaDeclaracionTalCual)
{
    struct Caso {
        std::string entrada;
        std::string salida;
    };
    const std::vector<Caso> casos = {
        {"<?xml version=\"1.0\"?><r>M\xC3\xBAsica</r>", "<?xml version=\"1.0\"?>\n<r>M\xC3\xBAsica</r>\n"},
        {"<?xml version=\"1.0\" standalone=\"yes\"?><r/>", "<?xml version=\"1.0\" standalone=\"yes\"?>\n<r/>\n"},
        {"\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"UTF-8\"?><r>\xC3\xBA</r>",
         "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<r>\xC3\xBA</r>\n"},
        {"\xEF\xBB\xBF<r>\xC3\xBA</r>", "<r>\xC3\xBA</r>\n"},
        {"<?xml version=\"1.0\" encoding=\"windows-1252\"?><r>\x80</r>",
         "<?xml version=\"1.0\" encoding=\"windows-1252\"?>\n<r>\x80</r>\n"},
        {"<!DOCTYPE r SYSTEM \"r.dtd\">\n<?orden datos?>\n<r>\n  <a/>\n</r>",
         "<!DOCTYPE r SYSTEM \"r.dtd\">\n<?orden datos?>\n<r><a/></r>\n"},
    };
    CarpetaTemporal carpeta;
    for (const Caso& c : casos) {
        CargarTexto(carpeta, c.entrada).guardar(carpeta / "salida.xml");
        EXPECT_EQ(LeerFichero(carpeta / "salida.xml"), c.salida) << c.entrada;
    }
}

TEST(DocumentoXml, UnFalloAlGuardarNoDejaFicheroYSeNombra)
{
    CarpetaTemporal carpeta;
    const DocumentoXml doc = DocumentoXml::cargar(kDatos / "xml_utf8_sin_declaracion.xml");
    fs::create_directory(carpeta / "carpeta.xml");
    for (const fs::path& destino : {carpeta / "no_existe" / "salida.xml", carpeta / "carpeta.xml"}) {
        try {
            doc.guardar(destino);
            ADD_FAILURE() << "guardado sin error en " << destino;
        } catch (const Error& error) {
            EXPECT_THAT(error.what(), StartsWith("No se puede guardar el fichero " + destino.string()));
        }
        EXPECT_EQ(Ficheros(carpeta.ruta()), std::vector<std::string>{"carpeta.xml"});
    }
}
