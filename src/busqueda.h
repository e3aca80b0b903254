// Los niveles 2 y 3 del ordenador: buscan la jugada en vez de seguir la lista fija de patrones
// del nivel 1 (reglas.h). Código puro: no escribe nada ni lee el reloj; el presupuesto se cuenta
// en nodos, así que la jugada es la misma en cualquier máquina y con cualquier carga. Solo lee
// el tablero que recibe y el libro de aperturas (libro.h), y escribe en la tabla de
// transposición de cada búsqueda.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

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

// Los nodos que mira el nivel 3 por jugada. En la máquina de desarrollo un millón son como mucho
// 0,1 s, y 0,4 s en una máquina cuatro veces más lenta, que aún caben en el medio segundo de
// pausa del juego (bench/README.md). El libro de aperturas depende de esta cifra: cambiarla
// pide volver a generar sus jugadas sueltas.
inline constexpr std::uint64_t NODOS_NIVEL_3 = 1'000'000;

struct Eleccion {
    int columna = -1;
    int valor = 0;         // en la escala de arriba, para la X
    int profundidad = 0;   // la última profundidad acabada (0: no hizo falta buscar)
    bool exacta = false;   // el valor es el de la partida jugada a la perfección hasta el final
    bool de_libro = false; // del libro de aperturas: gana, pero sin valor calculado
    bool ganadora = false; // se sabe que gana (del libro, o probado), aunque no cuánto
    std::uint64_t nodos = 0;
};

// La jugada de la X en el tablero del juego (fila 0 arriba; ' ', '0' o 'X'; las fichas apoyadas
// unas en otras), con la X a mover y al menos una columna libre.
// Nivel 3: gana en el acto si puede; si no, con la X empezando y pocas fichas puestas, juega la
// jugada del libro de aperturas; si no, tapa una victoria inmediata del 0, y si no estima con
// profundización iterativa, prueba hasta el final cuál de sus jugadas gana y, con lo que le
// quede de `max_nodos`, busca la victoria más corta o, si pierde con todas, la derrota más
// larga. Sin nodos para probar nada, juega la mejor estimada que no se sepa perdedora.
// Nivel 2: lo mismo en la victoria y el tapón, y si no una búsqueda corta de profundidad fija
// que mira las estimaciones a grandes rasgos y sortea entre las que quedan igual con una
// llamada a `azar` (un número no negativo, como rand()), solo si hay más de una; no mira
// `max_nodos`.
Eleccion elegir_jugada(const char matriztab[][COLUMNAS], int nivel,
                       const std::function<int()>& azar, std::uint64_t max_nodos = NODOS_NIVEL_3);

// El nivel 3 sin libro de aperturas: lo que hace cuando la posición no está en él. Con esto el
// generador del libro sabe qué posiciones necesitan una jugada en el libro.
Eleccion buscar_sin_libro(const char matriztab[][COLUMNAS],
                          std::uint64_t max_nodos = NODOS_NIVEL_3);

// La clave con la que el libro guarda una posición (la X a mover): distinta para cada una.
std::uint64_t clave_del_libro(const char matriztab[][COLUMNAS]);

// Lo ya calculado de cada posición, para no calcularlo otra vez. Cada jugada del nivel 3 empieza
// con una vacía: así la jugada depende solo de la posición, no de las partidas anteriores.
class TablaDeTransposicion {
  public:
    // 2 MiB: la del juego. El número de casillas es un primo: el resto de la clave da la casilla
    // y el cociente, que cabe en 32 bits con al menos 2^17 casillas, la completa sin confundir
    // nunca dos posiciones.
    static constexpr std::size_t DEL_JUEGO = 262139;
    static constexpr std::size_t GRANDE = 8388593; // 64 MiB, para el generador del libro

    enum Tipo : std::uint8_t { LIBRE, EXACTO, COTA_INFERIOR, COTA_SUPERIOR };
    struct Entrada {
        std::uint32_t cociente = 0;
        std::int16_t valor = 0;
        std::uint8_t profundidad = 0;
        std::uint8_t tipo : 2 = LIBRE;
        std::uint8_t columna : 3 = 0; // la mejor jugada encontrada, la primera que se prueba
    };

    explicit TablaDeTransposicion(std::size_t casillas = DEL_JUEGO);
    Entrada& casilla(std::uint64_t clave) { return casillas_[clave % casillas_.size()]; }
    std::uint32_t cociente(std::uint64_t clave) const {
        return static_cast<std::uint32_t>(clave / casillas_.size());
    }

  private:
    std::vector<Entrada> casillas_;
};

// El valor exacto para la X a mover si cae dentro de (alfa, beta); si no, una cota de ese lado:
// con (-1, 1) basta para saber si gana, empata o pierde. Sin presupuesto: en una posición de
// las primeras jugadas puede tardar minutos. Lo usan el generador del libro y las medidas.
int resolver(const char matriztab[][COLUMNAS], int alfa, int beta, TablaDeTransposicion& tabla);
