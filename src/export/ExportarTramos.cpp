#include "comun/Error.h"
#include "data/Tabla.h"
#include "export/Exportacion.h"
#include "export/Plantihoras.h"
#include "export/TablasTrabajo.h"
#include "text/Texto.h"

#include <string>
#include <vector>

namespace {

constexpr int kDias = 7;
// A frame without slots starts at midnight when chosen first and at the end of the day when second.
constexpr long long kSinInicioPrimero = 0;
constexpr long long kSinInicioSegundo = 1440;

// Frame codes are compared on their first ten characters, without outer blanks.
std::string CodigoMarco(const std::string& leido)
{
    return Izquierda(QuitaBlancos(leido), kAnchoCodigoMarco);
}

// One or two frame codes; the second is empty when only one frame was chosen.
struct MarcosElegidos {
    std::string primero, segundo;
};

MarcosElegidos ElegirMarcos(ContextoExportacion& ctx, const std::vector<NodoXml>& jornadas)
{
    if (jornadas.size() < 2) return {CodigoMarco(jornadas.front().valor(1)), ""};
    for (;;) {
        Plantillas dialogo(ctx.sesion.ficheroSeneca, ctx.docSeneca, ctx.interaccion);
        ctx.interaccion.mostrarMarcos(dialogo);
        if (!dialogo.SeleccionValida()) {
            ctx.sesion.dialogoRepetido = true;
            continue;
        }
        const std::string& elegidos = dialogo.MarcosSeleccionados();
        if (elegidos.size() == 2 * kAnchoCodigoMarco)
            return {QuitaBlancos(elegidos.substr(0, kAnchoCodigoMarco)),
                    QuitaBlancos(elegidos.substr(kAnchoCodigoMarco))};
        return {QuitaBlancos(elegidos.substr(0, kAnchoCodigoMarco)), ""};
    }
}

// One slot of a chosen frame, the same on every day.
struct Tramo {
    std::string codigo, nombre, marcoXml;
    long long inicio = 0, fin = 0;
    bool delPrimerMarco = true;
    int numero = 0; // position within its frame's day, from 1
};

long long Minutos(const NodoXml& registro, std::size_t posicion, const char* campo, std::size_t numRegistro,
                  const DocumentoXml& doc)
{
    const std::string texto = registro.valor(posicion);
    if (texto.empty()) return 0;
    long long minutos = 0;
    if (!LeerEnteroEstricto(texto, minutos))
        throw Error("El registro nº " + std::to_string(numRegistro) +
                    " de la sección TRAMOS_HORARIOS del fichero «" + doc.ruta().string() + "» tiene en el campo " +
                    campo + " un valor que no es un número entero de minutos: «" + AnsiAUtf8(texto) + "».");
    return minutos;
}

// The slots of the chosen frames in file order, numbered within each frame. An empty frame code (also a
// record too short to have one) belongs to no frame. All are read before the first row is written, so a bad
// minute count leaves the table empty rather than half-written.
std::vector<Tramo> LeerTramos(const DocumentoXml& doc, const MarcosElegidos& marcos)
{
    std::vector<Tramo> tramos;
    int contadorPrimero = 0, contadorSegundo = 0;
    std::size_t numRegistro = 0;
    for (const NodoXml& registro : doc.registros("TRAMOS_HORARIOS")) {
        ++numRegistro;
        const std::string marco = CodigoMarco(registro.valor(5));
        if (marco.empty()) continue;
        const bool primero = marco == marcos.primero;
        if (!primero && marco != marcos.segundo) continue;

        Tramo tramo;
        tramo.codigo = registro.valor(1);
        tramo.nombre = registro.valor(2);
        tramo.inicio = Minutos(registro, 3, "HORADESDE", numRegistro, doc);
        tramo.fin = Minutos(registro, 4, "HORAHASTA", numRegistro, doc);
        tramo.marcoXml = marco;
        tramo.delPrimerMarco = primero;
        tramo.numero = primero ? ++contadorPrimero : ++contadorSegundo;
        tramos.push_back(tramo);
    }
    return tramos;
}

std::string DosCifras(long long n)
{
    return (n >= 0 && n < 10 ? "0" : "") + std::to_string(n);
}

// hh:mm of a minute count (1500 gives 25:00).
std::string Hora(long long minutos)
{
    long long horas = minutos / 60, resto = minutos % 60;
    if (resto < 0) {
        resto += 60;
        --horas;
    }
    return DosCifras(horas) + ":" + DosCifras(resto);
}

// The frame that starts its first day earlier is number 0; on equal starts the first chosen frame. When the
// table holds one frame only, that frame is 0 whatever its start, as every group of GRUPOST is.
bool PrimerMarcoEsCero(const std::vector<Tramo>& tramos)
{
    long long inicioPrimero = kSinInicioPrimero, inicioSegundo = kSinInicioSegundo;
    bool vistoPrimero = false, vistoSegundo = false;
    for (const Tramo& tramo : tramos) {
        if (tramo.delPrimerMarco && !vistoPrimero) {
            inicioPrimero = tramo.inicio;
            vistoPrimero = true;
        } else if (!tramo.delPrimerMarco && !vistoSegundo) {
            inicioSegundo = tramo.inicio;
            vistoSegundo = true;
        }
    }
    return !vistoSegundo || inicioPrimero <= inicioSegundo;
}

} // namespace

void ExportarTramos(ContextoExportacion& ctx)
{
    const std::vector<NodoXml> jornadas = ctx.docSeneca.registros("JORNADAS_ESCOLARES");
    if (jornadas.empty())
        throw Error("El fichero de SÉNECA «" + ctx.docSeneca.ruta().string() +
                    "» no tiene ningún Marco Horario (sección JORNADAS_ESCOLARES): no se pueden escribir los "
                    "tramos horarios en DIASHORAST.");

    Tabla::borrar(ctx.carpeta, "DIASHORAST");
    Tabla diasHoras = Tabla::crear(ctx.carpeta, "DIASHORAST", CamposDiashorast());

    const MarcosElegidos marcos = ElegirMarcos(ctx, jornadas);
    const std::vector<Tramo> tramos = LeerTramos(ctx.docSeneca, marcos);
    const bool primeroEsCero = PrimerMarcoEsCero(tramos);

    for (int dia = 1; dia <= kDias; ++dia) {
        for (const Tramo& tramo : tramos) {
            diasHoras.agregar();
            diasHoras.fijar("DIHO", std::to_string(dia) + std::to_string(tramo.numero));
            diasHoras.fijar("CODDIHO", tramo.codigo);
            diasHoras.fijar("DIA", std::to_string(dia));
            diasHoras.fijar("HORA", std::to_string(tramo.numero));
            diasHoras.fijar("TEXTOHOR", tramo.nombre);
            diasHoras.fijar("HORADESDE", Hora(tramo.inicio));
            diasHoras.fijar("HORAHASTA", Hora(tramo.fin));
            diasHoras.fijar("MINUTOS", std::to_string(tramo.fin - tramo.inicio));
            diasHoras.fijar("MARCO", tramo.delPrimerMarco == primeroEsCero ? "0" : "1");
            diasHoras.fijar("MARCOXML", tramo.marcoXml);
            diasHoras.grabar();
        }
    }
    diasHoras.cerrar();
}
