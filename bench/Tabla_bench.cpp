#include "data/Tabla.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <random>
#include <string>

namespace fs = std::filesystem;

namespace {

// The import's typical lookup: two character fields of an assignment table of a few hundred rows,
// the wanted row near the end.
void LocalizarDosCampos(benchmark::State& estado)
{
    std::random_device azar;
    const fs::path carpeta = fs::temp_directory_path() / ("tzp-bench-" + std::to_string(azar()));
    fs::create_directories(carpeta);
    const auto filas = static_cast<int>(estado.range(0));
    {
        Tabla t = Tabla::crear(carpeta, "ASIGT",
                               {CampoCaracter("CASIG", 10), CampoCaracter("CPROF", 10), CampoCaracter("CGRUP", 10),
                                CampoFlotante("HORAS"), CampoEntero("X_NIVCONPAGLEG")});
        for (int i = 0; i < filas; ++i) {
            t.agregar();
            t.fijar("CASIG", "MAT" + std::to_string(i % 50));
            t.fijar("CGRUP", "1ESO" + std::to_string(i / 50));
            t.fijar("HORAS", "4");
            t.fijar("X_NIVCONPAGLEG", std::to_string(i));
            t.grabar();
        }
        const std::vector<std::string> valores = {"MAT" + std::to_string((filas - 1) % 50),
                                                  "1ESO" + std::to_string((filas - 1) / 50)};
        for (auto _ : estado)
            benchmark::DoNotOptimize(t.localizar("CASIG;CGRUP", valores));
    }
    fs::remove_all(carpeta);
}
BENCHMARK(LocalizarDosCampos)->Arg(300)->Arg(1000);

} // namespace
