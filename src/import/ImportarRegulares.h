#pragma once
#include "import/ContextoImportacion.h"

#include <string>

// Appends "HORARIOS_REGULARES": every teacher's lessons with the Séneca keys of day, slot, room,
// unit, offer, subject, dates, times, activity and, with catalogues, the origin of the hour.
void ImportarRegulares(ContextoImportacion& ctx);

// Minutes after midnight of a time "hh:mm" ("8:30" and "" are taken too: 510 and 0).
// Throws Error naming the text when its hours or minutes are not a whole number.
long long HoraAMinutos(std::string t);
