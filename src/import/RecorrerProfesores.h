#pragma once
#include "import/ContextoImportacion.h"

#include <functional>
#include <string_view>

// The cells of SOLUC a section holds; records with DIA 0 are placed on no day and belong to neither.
enum class TipoCelda {
    NoRegular, // ASIG begins with "#": a task
    Regular    // any other ASIG, the empty one included
};

// Fills one "ACTIVIDAD_" group from the current SOLUC record; moves neither SOLUC nor PROFT.
using EscritorCelda = std::function<void(NodoXml celda)>;

// Appends to the section one group per PROFT record, in record order, numbered from 1 after the prefix,
// each with "registros", X_EMPLEADO, F_TOMAPOS and one "ACTIVIDAD_" group per cell of the kind, in the
// record order of SOLUC. Leaves SOLUC filtered on the last teacher.
void RecorrerProfesores(ContextoImportacion& ctx, NodoXml seccion, std::string_view prefijo, TipoCelda tipo,
                        const EscritorCelda& escribirCelda);

// Stands DIASHORAST on the slot of the current SOLUC cell (day and slot number, frame by the first
// character of MARCO); false when the table has no such slot.
bool BuscarTramo(ContextoImportacion& ctx);
