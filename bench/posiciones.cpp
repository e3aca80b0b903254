// Medida: exactitud y tiempo de la búsqueda sin presupuesto (resolver) con los cuatro juegos de
// 1 000 posiciones públicas con su valor exacto (Test_L3_R1, Test_L2_R1, Test_L2_R2 y
// Test_L1_R1; cada línea, las columnas jugadas del 1 al 7 y la puntuación). Por cada juego, las
// posiciones cuyo valor coincide y el tiempo medio y el peor, cada una con la tabla de
// transposición del juego recién vacía.
//
//   posiciones DIRECTORIO_DE_LOS_JUEGOS
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "busqueda.h"
#include "reglas.h"

namespace {

// La puntuación (22 menos las fichas del ganador al hacer cuatro, desde el que mueve) en la
// escala de valor_de_victoria.
int valor_de_puntuacion(int puntuacion, int fichas) {
    if (puntuacion == 0) return 0;
    const int k = 22 - std::abs(puntuacion);
    const int empece = fichas % 2 == 0;
    return puntuacion > 0 ? valor_de_victoria(2 * k - empece)
                          : -valor_de_victoria(2 * k - 1 + empece);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "uso: posiciones DIRECTORIO_DE_LOS_JUEGOS\n");
        return 2;
    }
    for (const char* juego : {"Test_L3_R1", "Test_L2_R1", "Test_L2_R2", "Test_L1_R1"}) {
        std::ifstream f(std::string(argv[1]) + "/" + juego);
        if (!f) {
            std::fprintf(stderr, "no se puede leer %s/%s\n", argv[1], juego);
            return 1;
        }
        int n = 0;
        int iguales = 0;
        double total_ms = 0;
        double peor_ms = 0;
        std::string jugadas;
        int puntuacion;
        while (f >> jugadas >> puntuacion) {
            // La X es la que mueve.
            Tablero t;
            std::fill(&t[0][0], &t[0][0] + FILAS * COLUMNAS, VACIA);
            for (std::size_t k = 0; k < jugadas.size(); ++k) {
                const int c = jugadas[k] - '1';
                t[fila_de_caida(t, c)][c] = (jugadas.size() - k) % 2 == 0 ? FICHA_X : FICHA_0;
            }
            TablaDeTransposicion tabla;
            const auto inicio = std::chrono::steady_clock::now();
            const int valor = resolver(t, -2 * VICTORIA, 2 * VICTORIA, tabla);
            const double ms =
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - inicio)
                    .count();
            ++n;
            total_ms += ms;
            peor_ms = std::max(peor_ms, ms);
            const int esperado = valor_de_puntuacion(puntuacion, static_cast<int>(jugadas.size()));
            if (valor == esperado)
                ++iguales;
            else
                std::printf("  %s %d: da %d, debía %d\n", jugadas.c_str(), puntuacion, valor,
                            esperado);
        }
        std::printf("%-11s %4d de %4d con el valor exacto; tiempo medio %.3f ms, peor %.1f ms\n",
                    juego, iguales, n, total_ms / std::max(n, 1), peor_ms);
        std::fflush(stdout);
    }
    return 0;
}
