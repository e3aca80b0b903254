// Medida: las posiciones a las que llega el nivel 3 cuando empieza, más allá del libro de
// aperturas. Partidas al azar (generador sembrado) en las que él juega como en el juego, con su
// presupuesto de nodos, y el otro cualquier columna, paradas con él a mover y 12 o 14 fichas (el
// final del libro, 10, más dos y más cuatro), sin repetir posiciones. En cada una: si su jugada
// gana seguro (del libro o probado dentro del presupuesto), y si no, si gana de todos modos,
// según la búsqueda sin presupuesto; los nodos que gasta (el peor caso) y su tiempo de CPU aquí
// (el de reloj, en una máquina compartida, cuenta también lo que esperó a los demás).
//
//   alcance [--muestras N] [--nodos N] [--semilla S]      (N por cada número de fichas)
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <random>
#include <set>

#include "busqueda.h"
#include "reglas.h"

namespace {

bool cuatro(const Tablero& t) {
    Tablero copia;
    std::copy(&t[0][0], &t[0][0] + FILAS * COLUMNAS, &copia[0][0]);
    return marcar_linea(copia) != SIN_LINEA;
}

// Si la jugada de la X en `columna` gana, con el 0 a mover después y juego perfecto.
bool gana(Tablero& t, int columna, TablaDeTransposicion& tabla) {
    const int f = fila_de_caida(t, columna);
    t[f][columna] = FICHA_X;
    bool r = cuatro(t);
    if (!r) {
        for (auto& fila : t)
            for (char& c : fila)
                if (c != VACIA) c = c == FICHA_X ? FICHA_0 : FICHA_X;
        r = resolver(t, -1, 0, tabla) < 0;
        for (auto& fila : t)
            for (char& c : fila)
                if (c != VACIA) c = c == FICHA_X ? FICHA_0 : FICHA_X;
    }
    t[f][columna] = VACIA;
    return r;
}

} // namespace

int main(int argc, char** argv) {
    int muestras = 1000;
    std::uint64_t nodos = NODOS_NIVEL_3;
    unsigned semilla = 20261207u;
    for (int i = 1; i + 1 < argc; i += 2) {
        const unsigned long long v = std::strtoull(argv[i + 1], nullptr, 10);
        if (std::strcmp(argv[i], "--muestras") == 0)
            muestras = static_cast<int>(v);
        else if (std::strcmp(argv[i], "--nodos") == 0)
            nodos = v;
        else if (std::strcmp(argv[i], "--semilla") == 0)
            semilla = static_cast<unsigned>(v);
        else {
            std::fprintf(stderr, "opción desconocida: %s\n", argv[i]);
            return 2;
        }
    }
    std::printf("presupuesto: %llu nodos por jugada\n", static_cast<unsigned long long>(nodos));
    std::mt19937 generador(semilla);
    TablaDeTransposicion tabla(TablaDeTransposicion::GRANDE);
    for (const int fichas : {12, 14}) {
        std::set<std::uint64_t> vistas;
        int seguras = 0;
        int ganadoras = 0;
        std::uint64_t peor_nodos = 0;
        double peor_ms = 0;
        while (static_cast<int>(vistas.size()) < muestras) {
            Tablero t;
            std::fill(&t[0][0], &t[0][0] + FILAS * COLUMNAS, VACIA);
            bool viva = true;
            for (int puestas = 0; puestas < fichas && viva; puestas += 2) {
                const int c = elegir_jugada(
                                  t, 3, [] { return 0; }, nodos)
                                  .columna;
                t[fila_de_caida(t, c)][c] = FICHA_X;
                int r;
                do
                    r = static_cast<int>(generador() % COLUMNAS);
                while (fila_de_caida(t, r) < 0);
                t[fila_de_caida(t, r)][r] = FICHA_0;
                viva = !cuatro(t);
            }
            if (!viva || !vistas.insert(clave_del_libro(t)).second) continue;
            const std::clock_t inicio = std::clock();
            const Eleccion e = elegir_jugada(
                t, 3, [] { return 0; }, nodos);
            peor_ms = std::max(peor_ms, 1000.0 * static_cast<double>(std::clock() - inicio) /
                                            CLOCKS_PER_SEC);
            peor_nodos = std::max(peor_nodos, e.nodos);
            seguras += e.ganadora ? 1 : 0;
            const bool buena = e.ganadora || gana(t, e.columna, tabla);
            ganadoras += buena ? 1 : 0;
            if (!e.ganadora)
                std::printf("  sin probar (%s): %s\n", buena ? "gana" : "NO GANA",
                            std::string(&t[0][0], FILAS * COLUMNAS).c_str());
        }
        std::printf("%d fichas: %zu posiciones; gana seguro en %d (%.2f %%), juega una ganadora "
                    "en %d (%.2f %%); peor caso %llu nodos, %.1f ms de CPU aquí\n",
                    fichas, vistas.size(), seguras, 100.0 * seguras / muestras, ganadoras,
                    100.0 * ganadoras / muestras, static_cast<unsigned long long>(peor_nodos),
                    peor_ms);
        std::fflush(stdout);
    }
    return 0;
}
