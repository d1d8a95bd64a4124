#pragma once
#include "data/Tabla.h"

#include <vector>

// The fields of each working table the export writes, in the order it writes them. Whatever prepares such
// a table (the tests, the benchmarks) takes the same list, so each layout is written down once.

// PERIODOS: the academic year and its first and last days.
const std::vector<Campo>& CamposPeriodos();
// CURSOST, and CURSOST2, which keeps the levels of earlier exports.
const std::vector<Campo>& CamposCursosT();
// ASIGNOMT: one row per subject short code.
const std::vector<Campo>& CamposAsignomt();
// ASIGNOMT2: the subjects with their Séneca subject and course offer.
const std::vector<Campo>& CamposAsignomt2();
// PROFT: the teachers.
const std::vector<Campo>& CamposProft();
// AULAT: the rooms.
const std::vector<Campo>& CamposAulat();
// GRUPOST: the groups of students.
const std::vector<Campo>& CamposGrupost();
// ASIGT: the lessons (subject, teacher, group and room).
const std::vector<Campo>& CamposAsigt();
// DIASHORAST: the slots of the chosen time frames.
const std::vector<Campo>& CamposDiashorast();
// ORIGENES_C: the catalogue of timetable origins.
const std::vector<Campo>& CamposOrigenesC();
// NIVELES_C: the catalogue of levels.
const std::vector<Campo>& CamposNivelesC();
// CUR_NIV_C: which level each course offer belongs to.
const std::vector<Campo>& CamposCurNivC();
// AUTORIZA_C: the activities each origin and level allows.
const std::vector<Campo>& CamposAutorizaC();
