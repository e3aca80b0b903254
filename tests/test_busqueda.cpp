// Pruebas de los niveles 2 y 3 del ordenador: la victoria inmediata y el tapón forzoso sin
// apenas presupuesto, posiciones tardías cuyo valor exacto calcula aquí un minimax lento sin
// poda (independiente de la búsqueda), y el turno del ordenador en pantalla con el nivel 3.
// Los presupuestos son de nodos: nada depende del reloj.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <tuple>
#include <utility>

#include "apoyo.h"
#include "busqueda.h"
#include "reglas.h"
#include "tableros.h"

namespace {

Eleccion elegir(const Tablero& t, int nivel, std::uint64_t max_nodos = ~std::uint64_t{0}) {
    return elegir_jugada(t, nivel, [] { return 0; }, {{}, max_nodos});
}

bool cuatro_desde(const Tablero& t, int f, int c) {
    static constexpr std::pair<int, int> DIRECCIONES[] = {{0, 1}, {1, 0}, {1, 1}, {1, -1}};
    const auto igual = [&](int ff, int cc) {
        return ff >= 0 && ff < FILAS && cc >= 0 && cc < COLUMNAS && t[ff][cc] == t[f][c];
    };
    for (const auto& [df, dc] : DIRECCIONES) {
        int n = 1;
        for (int s = -1; s <= 1; s += 2)
            for (int k = 1; k < 4 && igual(f + s * k * df, c + s * k * dc); ++k)
                ++n;
        if (n >= 4) return true;
    }
    return false;
}

// Minimax puro, sin poda ni tabla: el valor para `ficha`, que mueve, en la escala de
// valor_de_victoria (ganar antes o perder después vale más); con `solo`, el de jugar esa columna.
int referencia(Tablero& t, char ficha, int fichas, int solo = -1) {
    int mejor = fichas == TOTAL_FICHAS ? 0 : -2 * VICTORIA;
    for (int c = 0; c < COLUMNAS; ++c) {
        const int f = fila_de_caida(t, c);
        if (f < 0 || (solo >= 0 && c != solo)) continue;
        t[f][c] = ficha;
        const char otra = ficha == FICHA_X ? FICHA_0 : FICHA_X;
        mejor = std::max(mejor, cuatro_desde(t, f, c) ? valor_de_victoria(fichas + 1)
                                                      : -referencia(t, otra, fichas + 1));
        t[f][c] = VACIA;
    }
    return mejor;
}

} // namespace

TEST(Busqueda, GanaEnElActoYTapaLoForzosoSinPresupuesto) {
    const std::pair<const char*, int> casos[] = {
        {"404142", 3},    // gana aunque el 0 amenace por la columna 4 (el nivel 1 tapa antes)
        {"01010", 0},     // tapa el tres vertical
        {"011232233", 3}, // tapa el tres diagonal por arriba
    };
    for (const auto& [jugadas, columna] : casos)
        for (const int nivel : {2, 3})
            EXPECT_EQ(elegir(desde_jugadas(jugadas).celdas, nivel, 1).columna, columna)
                << jugadas << " nivel " << nivel;
    // Empezando la X, sus primeras jugadas salen del libro: ganadoras, y no siempre el centro.
    for (const auto& [filas, columna] : {std::pair{" 0 X   ", 1}, std::pair{"  0X   ", 5}})
        EXPECT_EQ(elegir(desde_filas(filas).celdas, 3, 1).columna, columna) << filas;
}

TEST(Busqueda, ElNivel3ResuelveComoUnMinimaxSinPoda) {
    std::uint32_t semilla = 12345; // generador propio: nada de rand()
    const auto azar = [&] { return (semilla = semilla * 1103515245u + 12345u) >> 16; };
    for (int hechas = 0; hechas < 40;) {
        Tablero t;
        std::fill(&t[0][0], &t[0][0] + TOTAL_FICHAS, VACIA);
        // La X a mover con 11 casillas libres: una más de las que estima antes de resolver.
        const int fichas = 31;
        bool viva = true;
        for (int k = 0; k < fichas && viva; ++k) {
            int c = static_cast<int>(azar() % COLUMNAS), f;
            while ((f = fila_de_caida(t, c)) < 0)
                c = (c + 1) % COLUMNAS;
            t[f][c] = k % 2 ? FICHA_X : FICHA_0;
            viva = !cuatro_desde(t, f, c);
        }
        const int valor = viva ? referencia(t, FICHA_X, fichas) : 0;
        if (!viva || valor == valor_de_victoria(fichas + 1)) continue; // sin nada que buscar
        ++hechas;
        const Eleccion e = elegir(t, 3);
        EXPECT_EQ(std::pair(e.exacta, e.valor), std::pair(true, valor)) << filas_de(t);
        // Y la jugada que elige lo consigue.
        EXPECT_EQ(referencia(t, FICHA_X, fichas, e.columna), valor) << filas_de(t);
    }
}

TEST(Busqueda, ResuelveAMitadDePartidaSinPasarseDeNodos) {
    // Con 18 fichas la X a mover: gana con la ficha 35, tablas, y pierde con la 40. Resolverlas
    // cuesta hoy 39 655, 95 545 y 26 229 nodos; un cuarto más ya es que la búsqueda se estropeó
    // (el orden, la tabla, la ventana nula), y en el juego eso es un nivel 3 más débil.
    const std::tuple<const char*, int, std::uint64_t> casos[] = {
        {"665520262612656150", valor_de_victoria(35), 39655},
        {"642105166643321132", 0, 95545},
        {"346250016446512443", -valor_de_victoria(40), 26229}};
    for (const auto& [jugadas, valor, nodos] : casos) {
        vaciar_tabla();
        const Eleccion e = elegir(desde_jugadas(jugadas).celdas, 3);
        EXPECT_EQ(std::tuple(e.exacta, e.valor), std::tuple(true, valor)) << jugadas;
        EXPECT_LE(e.nodos, nodos + nodos / 4) << jugadas;
    }
}

TEST(Busqueda, ElTurnoDelNivel3EnPantallaPoneLaXDondeGana) {
    Escenario e;
    Posicion p = desde_jugadas("404142");
    fijar_nivel(3);
    mov_maquina(p.celdas, p.vec_jug.data(), p.vec_jug.data());
    fijar_nivel(1);
    EXPECT_EQ(filas_de(p.celdas), "       /       /       /    0  /    0  /XXXX0  ");
    EXPECT_EQ(e.fila(4), "        Turno del ordenador");
    EXPECT_EQ(e.dispositivo.reloj_ms, 500) << "la pausa sigue siendo de medio segundo";
    EXPECT_EQ(p.vec_jug, desde_jugadas("404142").vec_jug) << "el nivel 3 no baja vec_jug";
}
