#include "cli/InteraccionOrden.h"
#include "cli/Orden.h"

#include "import/Importacion.h"

#include <iostream>

int OrdenImportar(const std::vector<std::string>& args)
{
    const Opciones opciones = LeerOpciones(args, {"--seneca", "--dir"}, {});
    if (!opciones.argumentos.empty()) throw ErrorUso{"Argumento inesperado: " + opciones.argumentos.front() + "."};
    if (!opciones.tiene("--seneca")) throw ErrorUso{"importar necesita --seneca."};

    InteraccionOrden usuario;
    usuario.ficheroSeneca = *opciones.valor("--seneca");
    SesionTraspaso sesion;
    try {
        if (EjecutarImportacion(sesion, usuario, CarpetaDeTrabajo(opciones)) != FinTraspaso::Completado)
            return kSalidaError;
        std::cout << FicheroResultado(sesion.ficheroSeneca).string() << "\nProceso finalizado\n";
        return kSalidaBien;
    } catch (const std::exception& e) {
        std::cerr << e.what() << "\n";
        return kSalidaError;
    }
}
