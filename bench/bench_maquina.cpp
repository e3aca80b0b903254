// Medida: cuánto tarda el ordenador en elegir casilla en unos cuantos tableros típicos (vacío,
// media partida, final y uno sin patrón que recorre todos los pasos). Solo usa reglas.h.
// Objetivo: 5 microsegundos o menos por elección.
#include <benchmark/benchmark.h>

#include <array>
#include <functional>
#include <string>

#include "reglas.h"

namespace {

struct Posicion {
    Tablero celdas;
    std::array<int, COLUMNAS> vec_jug;
};

Posicion posicion(const std::array<std::string, FILAS>& filas,
                  const std::array<int, COLUMNAS>& vec_jug) {
    Posicion p{};
    for (int f = 0; f < FILAS; ++f) {
        for (int c = 0; c < COLUMNAS; ++c) {
            p.celdas[f][c] = filas[static_cast<size_t>(f)][static_cast<size_t>(c)];
        }
    }
    p.vec_jug = vec_jug;
    return p;
}

void medir(benchmark::State& estado, const Posicion& p) {
    // Un azar barato que cambia en cada llamada, como lo haría rand().
    unsigned semilla = 12345u;
    const std::function<int()> azar = [&semilla] {
        semilla = semilla * 1103515245u + 12345u;
        return static_cast<int>((semilla >> 16) & 0x7fff);
    };
    for (auto _ : estado) {
        CeldaElegida celda = elegir_celda_maquina(p.celdas, p.vec_jug.data(), azar);
        benchmark::DoNotOptimize(celda);
    }
}

void BM_tablero_vacio(benchmark::State& estado) {
    medir(estado, posicion({"       ", "       ", "       ", "       ", "       ", "       "},
                           {5, 5, 5, 5, 5, 5, 5}));
}

void BM_media_partida(benchmark::State& estado) {
    medir(estado, posicion({"       ", "       ", "       ", "   0   ", "  0X0  ", " XX00X "},
                           {5, 5, 4, 3, 3, 5, 5}));
}

void BM_final_de_partida(benchmark::State& estado) {
    medir(estado, posicion({"       ", "00X   X", "XX00XX0", "00XX00X", "XX00XX0", "00XX00X"},
                           {2, 2, 3, 3, 3, 3, 3}));
}

// Una sola ficha en la columna 6: ningún patrón aplica y se llega al sorteo final.
void BM_sin_patron(benchmark::State& estado) {
    medir(estado, posicion({"       ", "       ", "       ", "       ", "       ", "      0"},
                           {5, 5, 5, 5, 5, 5, 4}));
}

} // namespace

BENCHMARK(BM_tablero_vacio);
BENCHMARK(BM_media_partida);
BENCHMARK(BM_final_de_partida);
BENCHMARK(BM_sin_patron);

BENCHMARK_MAIN();
