#pragma once
#include "import/ContextoImportacion.h"

// Appends "HORARIOS_NO_REGULARES": every teacher's tasks, each with its activity and its minutes.
void ImportarNoRegulares(ContextoImportacion& ctx);
