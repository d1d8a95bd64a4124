#pragma once
#include "data/DocumentoXml.h"

#include <string>

// One MATERIAS record: a subject paired with one course offer. The subject's name and key may come
// second and third in either order; their nombre_dato tells them apart.
struct RegistroMateria {
    std::string oferta; // course-offer key (first value)
    std::string nombre; // subject name ("D_MATERIAC...")
    std::string clave;  // Séneca subject key ("X_MATERIAOMG...")
};

// Reads the third value first, then the second, then the first; when the second and third land in the
// same place the second wins and the other place stays empty. A record with only two values has no
// third to place.
RegistroMateria LeerRegistroMateria(const NodoXml& registro);
