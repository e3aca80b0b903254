// Las reglas del juego como funciones puras: caída de una ficha, búsqueda y marca de la línea de
// cuatro y la casilla que elige el ordenador en el nivel 1. Solo toca el tablero que recibe (y únicamente marcar_linea lo
// escribe); nada de consola, reloj, pausas ni estado global.
#include "reglas.h"

#include <array>
#include <optional>

namespace {

struct Casilla {
    int fila;
    int columna;
};

constexpr int FILA_FONDO = FILAS - 1;

bool en_tablero(int fila, int columna) {
    return fila >= 0 && fila < FILAS && columna >= 0 && columna < COLUMNAS;
}

// Fuera del tablero no hay nada: ni hueco ni ficha. Así los patrones que se asoman al borde
// fallan solos y nunca se sale del array ni se pasa a la fila vecina.
bool contiene(const char m[][COLUMNAS], int fila, int columna, char valor) {
    return en_tablero(fila, columna) && m[fila][columna] == valor;
}

bool vacia(const char m[][COLUMNAS], int fila, int columna) {
    return contiene(m, fila, columna, VACIA);
}

// La casilla de debajo de la fila del fondo cae fuera y cuenta como "no vacía", de modo que la
// fila 5 es jugable sin tratarla por separado.
bool jugable(const char m[][COLUMNAS], int fila, int columna) {
    return vacia(m, fila, columna) && !vacia(m, fila + 1, columna);
}

bool es_ficha(char valor) {
    return valor == FICHA_0 || valor == FICHA_X;
}

// ---------------------------------------------------------------- línea de cuatro

struct Barrido {
    int fila_desde, fila_hasta;
    int columna_desde, columna_hasta;
    int paso_fila, paso_columna;
};

// El orden de los barridos y de sus arranques decide qué línea se marca cuando hay varias: es
// regla del juego y no se puede reordenar.
constexpr std::array<Barrido, 4> BARRIDOS{{
    {0, FILAS - 1, 0, COLUMNAS - 4, 0, 1},  // horizontal
    {0, FILAS - 4, 0, COLUMNAS - 1, 1, 0},  // vertical
    {0, FILAS - 4, 0, COLUMNAS - 4, 1, 1},  // diagonal hacia abajo a la derecha
    {0, FILAS - 4, 3, COLUMNAS - 1, 1, -1}, // diagonal hacia abajo a la izquierda
}};

bool cuatro_de(const char m[][COLUMNAS], int fila, int columna, const Barrido& b, char ficha) {
    for (int k = 0; k < 4; ++k) {
        if (!contiene(m, fila + k * b.paso_fila, columna + k * b.paso_columna, ficha)) {
            return false;
        }
    }
    return true;
}

void marcar(char m[][COLUMNAS], int fila, int columna, const Barrido& b, char marca) {
    for (int k = 0; k < 4; ++k) {
        m[fila + k * b.paso_fila][columna + k * b.paso_columna] = marca;
    }
}

// ---------------------------------------------------------------- el ordenador

// Las tres celdas de una forma son el ancla y dos pasos más en su dirección; los destinos se
// cuentan en pasos desde el ancla: 3 es la punta que sigue al tres y -1 la que lo precede.
struct FormaDeTres {
    int paso_fila, paso_columna;
    std::array<int, 2> destinos;
    int num_destinos;
};

// El orden de la tabla y de los destinos decide entre varios tres, igual que el orden del
// recorrido de anclas.
constexpr std::array<FormaDeTres, 4> FORMAS_DE_TRES{{
    {1, 0, {-1, 0}, 1},   // vertical, con el ancla arriba: solo se tapa por encima
    {0, 1, {3, -1}, 2},   // horizontal: punta derecha, luego izquierda
    {-1, 1, {3, -1}, 2},  // sube a la derecha: punta alta, luego baja
    {-1, -1, {3, -1}, 2}, // sube a la izquierda: punta alta, luego baja
}};

std::optional<Casilla> buscar_tres(const char m[][COLUMNAS], char ficha) {
    for (int i = 0; i < FILAS; ++i) {
        // El ancla no pasa de la columna 4: así juega el ordenador, y por eso no ve los tres
        // verticales de las columnas 5 y 6.
        for (int j = 0; j <= 4; ++j) {
            for (const FormaDeTres& forma : FORMAS_DE_TRES) {
                bool tres = true;
                for (int k = 0; k < 3 && tres; ++k) {
                    tres = contiene(m, i + k * forma.paso_fila, j + k * forma.paso_columna, ficha);
                }
                for (int d = 0; tres && d < forma.num_destinos; ++d) {
                    const int pasos = forma.destinos[static_cast<size_t>(d)];
                    const int f = i + pasos * forma.paso_fila;
                    const int c = j + pasos * forma.paso_columna;
                    if (jugable(m, f, c)) {
                        return Casilla{f, c};
                    }
                }
            }
        }
    }
    return std::nullopt;
}

// Huecos en las dos filas de abajo: 0 0 _ 0 en la fila 5 y 0 _ 0 0 en la fila 4, solo donde la
// persona ya ha bajado esa columna.
std::optional<Casilla> buscar_tres_partido(const char m[][COLUMNAS], const int* vec_jug) {
    for (int i = 0; i < COLUMNAS - 1; ++i) {
        if (vec_jug[i] > 4) {
            continue;
        }
        if (contiene(m, 5, i, FICHA_0) && contiene(m, 5, i + 1, FICHA_0) &&
            contiene(m, 5, i + 3, FICHA_0) && vacia(m, 5, i + 2)) {
            return Casilla{5, i + 2};
        }
        if (contiene(m, 4, i, FICHA_0) && contiene(m, 4, i + 2, FICHA_0) &&
            contiene(m, 4, i + 3, FICHA_0) && jugable(m, 4, i + 1)) {
            return Casilla{4, i + 1};
        }
    }
    return std::nullopt;
}

std::optional<Casilla> junto_a_la_cima(const char m[][COLUMNAS]) {
    for (int i = 0; i < COLUMNAS - 1; ++i) {
        int h = 0;
        for (int f = 0; f < FILAS; ++f) {
            h += m[f][i] == VACIA ? 1 : 0;
        }
        if (i >= 3 && jugable(m, h, i - 1)) {
            return Casilla{h, i - 1};
        }
        if (i <= 3 && jugable(m, h, i + 1)) {
            return Casilla{h, i + 1};
        }
    }
    return std::nullopt;
}

std::optional<Casilla> sobre_columna_de_persona(const char m[][COLUMNAS], const int* vec_jug) {
    for (int i = 0; i < COLUMNAS; ++i) {
        const int v = vec_jug[i];
        if (v >= 1 && v <= 3 && jugable(m, v, i)) {
            return Casilla{v, i};
        }
    }
    return std::nullopt;
}

std::optional<Casilla> alargar_pareja_del_fondo(const char m[][COLUMNAS]) {
    const auto x = [&](int c) { return contiene(m, FILA_FONDO, c, FICHA_X); };
    const auto hueco = [&](int c) { return vacia(m, FILA_FONDO, c); };
    for (int i = 0; i < COLUMNAS - 1; ++i) {
        if (x(i) && x(i + 1) && hueco(i + 2)) {
            return Casilla{FILA_FONDO, i + 2};
        }
        if (x(i) && x(i - 1) && hueco(i - 2)) {
            return Casilla{FILA_FONDO, i - 2};
        }
        if (x(i) && x(i + 2) && hueco(i + 1)) {
            return Casilla{FILA_FONDO, i + 1};
        }
    }
    return std::nullopt;
}

int sortear_columna(const std::function<int()>& azar) {
    const int num = azar() % COLUMNAS;
    return num < 0 ? num + COLUMNAS : num;
}

// Si la columna sorteada está llena no se vuelve a sortear (con la semilla en segundos saldría
// la misma y el bucle no acabaría): se sigue hacia la derecha, dando la vuelta.
std::optional<Casilla> caer_al_azar(const char m[][COLUMNAS], int num) {
    for (int paso = 0; paso < COLUMNAS; ++paso) {
        const int c = (num + paso) % COLUMNAS;
        int f = FILA_FONDO;
        while (f >= 0 && es_ficha(m[f][c])) {
            --f;
        }
        // Llena (o cortada por una marca de línea, que en una partida no llega a verse aquí):
        // se prueba la siguiente.
        if (vacia(m, f, c)) {
            return Casilla{f, c};
        }
    }
    return std::nullopt;
}

CeldaElegida elegida(const Casilla& casilla, bool baja_vec_jug = false) {
    return CeldaElegida{casilla.fila, casilla.columna, baja_vec_jug};
}

} // namespace

int marcar_linea(char matriztab[][COLUMNAS]) {
    for (const Barrido& b : BARRIDOS) {
        for (int i = b.fila_desde; i <= b.fila_hasta; ++i) {
            for (int j = b.columna_desde; j <= b.columna_hasta; ++j) {
                // La X se prueba antes que el 0 en cada arranque: sin efecto visible, pero es
                // el orden del juego y se respeta.
                if (cuatro_de(matriztab, i, j, b, FICHA_X)) {
                    marcar(matriztab, i, j, b, MARCA_X);
                    return GANA_X;
                }
                if (cuatro_de(matriztab, i, j, b, FICHA_0)) {
                    marcar(matriztab, i, j, b, MARCA_0);
                    return GANA_0;
                }
            }
        }
    }
    return SIN_LINEA;
}

int fila_de_caida(const char matriztab[][COLUMNAS], int columna) {
    if (columna < 0 || columna >= COLUMNAS || matriztab[0][columna] != VACIA) {
        return -1;
    }
    int fila = FILA_FONDO;
    // La fila 0 está libre, así que la subida se detiene dentro del tablero.
    while (es_ficha(matriztab[fila][columna])) {
        --fila;
    }
    return fila;
}

CeldaElegida elegir_celda_maquina(const char matriztab[][COLUMNAS], const int* vec_jug,
                                  const std::function<int()>& azar) {
    const char(*m)[COLUMNAS] = matriztab;

    // Basta mirar la fila del fondo: en una partida no hay fichas encima si abajo no hay ninguna.
    bool fondo_ocupado = false;
    for (int c = 0; c < COLUMNAS; ++c) {
        fondo_ocupado = fondo_ocupado || m[FILA_FONDO][c] != VACIA;
    }
    if (!fondo_ocupado) {
        return CeldaElegida{FILA_FONDO, sortear_columna(azar), false};
    }

    // Tapar va antes que ganar: los tres de la persona se miran antes que los propios.
    if (auto c = buscar_tres(m, FICHA_0)) {
        return elegida(*c);
    }
    if (auto c = buscar_tres_partido(m, vec_jug)) {
        return elegida(*c);
    }
    if (auto c = buscar_tres(m, FICHA_X)) {
        return elegida(*c);
    }
    if (auto c = junto_a_la_cima(m)) {
        return elegida(*c);
    }
    if (auto c = sobre_columna_de_persona(m, vec_jug)) {
        return elegida(*c, true);
    }
    if (auto c = alargar_pareja_del_fondo(m)) {
        return elegida(*c);
    }
    if (auto c = caer_al_azar(m, sortear_columna(azar))) {
        return elegida(*c);
    }
    return CeldaElegida{};
}
