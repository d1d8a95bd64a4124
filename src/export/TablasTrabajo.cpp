#include "export/TablasTrabajo.h"

const std::vector<Campo>& CamposPeriodos()
{
    static const std::vector<Campo> campos = {
        CampoCaracter("CURSOANNO", 4),
        CampoCaracter("F_INICIO", 10),
        CampoCaracter("F_FIN", 10),
    };
    return campos;
}

const std::vector<Campo>& CamposCursosT()
{
    static const std::vector<Campo> campos = {
        CampoCaracter("ABREV", 3), CampoCaracter("TURNO", 1),  CampoCaracter("NIVEL", 5),
        CampoCaracter("CURSO", 3), CampoCaracter("CLAVE", 10), CampoCaracter("ESTUD", 80),
    };
    return campos;
}

const std::vector<Campo>& CamposAsignomt()
{
    static const std::vector<Campo> campos = {
        CampoCaracter("COD", 10),      CampoCaracter("CODLARGO", 10), CampoCaracter("NOMBRE", 80),
        CampoCaracter("CODTAREA", 10), CampoLogico("ESTAREA"),
    };
    return campos;
}

const std::vector<Campo>& CamposAsignomt2()
{
    static const std::vector<Campo> campos = {
        CampoCaracter("COD", 10),     CampoCaracter("CODLARGO", 10),    CampoCaracter("NOMBRE", 80),
        CampoCaracter("MATERIA", 20), CampoCaracter("OFERTAMATRI", 20), CampoCaracter("CODTAREA", 10),
        CampoLogico("ESTAREA"),
    };
    return campos;
}

const std::vector<Campo>& CamposProft()
{
    static const std::vector<Campo> campos = {
        CampoCaracter("ABREV", 10),  CampoCaracter("NOMBRE", 80),     CampoCaracter("DEPART", 40),
        CampoEntero("DNI"),          CampoCaracter("X_EMPLEADO", 10), CampoCaracter("F_TOMAPOS", 10),
        CampoCaracter("EMAIL", 100),
    };
    return campos;
}

const std::vector<Campo>& CamposAulat()
{
    static const std::vector<Campo> campos = {
        CampoCaracter("ABREV", 10), CampoCaracter("NOMBRE", 80),    CampoCaracter("EDIFICIO", 1),
        CampoEntero("MAXALUM"),     CampoCaracter("DEPCENTRO", 10),
    };
    return campos;
}

const std::vector<Campo>& CamposGrupost()
{
    static const std::vector<Campo> campos = {
        CampoCaracter("ABREV", 10),      CampoCaracter("TURNO", 1),    CampoCaracter("NIVEL", 5),
        CampoCaracter("CURSO", 3),       CampoCaracter("GRUPO", 2),    CampoCaracter("CLAVE", 10),
        CampoCaracter("CLAVECURSO", 10), CampoCaracter("DESCRIP", 80), CampoCaracter("MARCO", 1)};
    return campos;
}

const std::vector<Campo>& CamposAsigt()
{
    static const std::vector<Campo> campos = {
        CampoCaracter("CASIG", 10),      CampoCaracter("CPROF", 10),      CampoCaracter("CGRUP", 10),
        CampoCaracter("CAULA", 10),      CampoCaracter("TURNO", 1),       CampoCaracter("NIVEL", 5),
        CampoCaracter("CURSO", 3),       CampoCaracter("GRUPO", 2),       CampoFlotante("HORAS"),
        CampoCaracter("SESIONES", 20),   CampoCaracter("NCONEX", 4),      CampoCaracter("CLAVE", 10),
        CampoCaracter("CLAVECURSO", 10), CampoCaracter("CLAVEGRUPO", 10), CampoCaracter("CTAREA", 10),
        CampoCaracter("CORIGEN", 20),    CampoEntero("X_NIVCONPAGLEG")};
    return campos;
}

const std::vector<Campo>& CamposDiashorast()
{
    static const std::vector<Campo> campos = {
        CampoCaracter("DIHO", 10),     CampoCaracter("CODDIHO", 10),  CampoCaracter("DIA", 20),
        CampoCaracter("TEXTODIA", 20), CampoCaracter("HORA", 8),      CampoCaracter("TEXTOHOR", 15),
        CampoCaracter("HORADESDE", 8), CampoCaracter("HORAHASTA", 8), CampoCaracter("MINUTOS", 8),
        CampoCaracter("MARCO", 1),     CampoCaracter("MARCOXML", 10)};
    return campos;
}

const std::vector<Campo>& CamposOrigenesC()
{
    static const std::vector<Campo> campos = {CampoEntero("X_CATORIHOR"), CampoCaracter("C_ORIHOR", 20),
                                              CampoCaracter("D_ORIHOR", 50)};
    return campos;
}

const std::vector<Campo>& CamposNivelesC()
{
    static const std::vector<Campo> campos = {CampoEntero("X_NIVCONPAGLEG"), CampoCaracter("C_NIVCON", 30),
                                              CampoCaracter("D_NIVCON", 55)};
    return campos;
}

const std::vector<Campo>& CamposCurNivC()
{
    static const std::vector<Campo> campos = {CampoEntero("X_OFERTAMATRIG"), CampoEntero("X_NIVCONPAGLEG")};
    return campos;
}

const std::vector<Campo>& CamposAutorizaC()
{
    static const std::vector<Campo> campos = {CampoEntero("X_ORIHORACTETP"), CampoEntero("X_ACTIVIDAD"),
                                              CampoEntero("X_CATORIHOR"), CampoEntero("X_NIVCONPAGLEG")};
    return campos;
}
