#include "export/RegistroMateria.h"

RegistroMateria LeerRegistroMateria(const NodoXml& registro)
{
    RegistroMateria materia;
    if (registro.numDatos() >= 3) {
        if (registro.datoLlamado(3, "X_MATERIAOMG"))
            materia.clave = registro.valor(3);
        else
            materia.nombre = registro.valor(3);
    }
    if (registro.datoLlamado(2, "D_MATERIAC"))
        materia.nombre = registro.valor(2);
    else
        materia.clave = registro.valor(2);
    materia.oferta = registro.valor(1);
    return materia;
}
