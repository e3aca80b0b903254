// Sala de las reglas: los niveles 2 y 3 del ordenador, que buscan la jugada en vez de seguir la
// lista fija de patrones del nivel 1 (reglas.h, que esto no toca). Puro: no escribe nada, no lee
// el reloj (el plazo llega como una función que lo consulta) y no pide memoria al jugar; solo
// lee el tablero que recibe y el libro de aperturas, y guarda lo aprendido en su tabla de
// transposición.
#pragma once

#include <cstdint>
#include <functional>
#include <limits>

#include "lib_funciones.h"

// Escala de valores, siempre desde el bando que mueve. 0 son tablas; una victoria vale más
// cuanto antes llega: valor_de_victoria(n) si la ficha ganadora es la n-ésima del tablero, y una
// derrota lo mismo en negativo. Lo que no está resuelto es una estimación de -VICTORIA a
// VICTORIA, de modo que cualquier victoria segura vale más que cualquier estimación.
inline constexpr int VICTORIA = 1000;
inline constexpr int TOTAL_FICHAS = FILAS * COLUMNAS;
constexpr int valor_de_victoria(int fichas) {
    return VICTORIA + TOTAL_FICHAS + 1 - fichas;
}

// Cuánto puede pensar el nivel 3. La búsqueda pregunta a `se_acabo` cada pocos cientos de nodos
// (una función vacía no corta nunca) y para también al llegar a `max_nodos`; entonces se queda
// con la última profundidad completa. El nivel 2 no mira el presupuesto: su profundidad es fija.
struct Presupuesto {
    std::function<bool()> se_acabo;
    std::uint64_t max_nodos = std::numeric_limits<std::uint64_t>::max();
};

struct Eleccion {
    int columna = -1;
    int valor = 0;         // en la escala de arriba, para la X
    int profundidad = 0;   // la última profundidad acabada (0: no hizo falta buscar)
    bool exacta = false;   // el valor es el de la partida jugada a la perfección hasta el final
    bool de_libro = false; // del libro de aperturas: gana, pero sin valor calculado
    std::uint64_t nodos = 0;
};

// La jugada de la X en el tablero del juego (fila 0 arriba; ' ', '0' o 'X'; las fichas apoyadas
// unas en otras), con la X a mover y al menos una columna libre.
// Nivel 3: gana en el acto si puede; si no, con la X empezando y pocas fichas puestas, juega la
// jugada del libro de aperturas; si no, tapa una victoria inmediata del 0, y si no busca con
// profundización iterativa y después hasta el final, mientras dure el presupuesto; si llega a
// resolver la posición, juega la jugada exacta (gana lo antes posible, pierde lo más tarde
// posible, y entre tablas la que mejor se estima).
// Nivel 2: lo mismo en la victoria y el tapón, y si no una búsqueda corta de profundidad fija
// que mira las estimaciones a grandes rasgos y sortea entre las que quedan igual con una
// llamada a `azar` (un número no negativo, como rand()), solo si hay más de una.
Eleccion elegir_jugada(const char matriztab[][COLUMNAS], int nivel,
                       const std::function<int()>& azar, const Presupuesto& presupuesto);

// Olvida lo aprendido en la tabla de transposición: las jugadas siguientes no dependen de las
// anteriores (para medir partidas independientes).
void vaciar_tabla();

// El valor exacto para la X a mover si cae dentro de (alfa, beta); si no, una cota de ese lado:
// con (-1, 1) basta para saber si gana, empata o pierde. Sin plazo: en una posición de las
// primeras jugadas puede tardar minutos. Es lo que usa el generador del libro de aperturas.
int resolver(const char matriztab[][COLUMNAS], int alfa, int beta);
