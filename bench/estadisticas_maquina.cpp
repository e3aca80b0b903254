// Medida: cómo juega el ordenador. Diez mil partidas contra un jugador que elige columna al azar
// (empezando cada uno la mitad de las veces) y diez mil del ordenador contra sí mismo, con una
// tabla de ganadas, tablas y perdidas. Solo usa reglas.h; todo el azar sale de generadores
// sembrados, así que dos ejecuciones dan la misma tabla.
#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <random>

#include "reglas.h"

namespace {

constexpr int PARTIDAS = 10000;

// Cada lado juega con su ficha en el tablero real. Un lado ordenador mira el tablero como si sus
// fichas fueran 'X' (el ordenador del juego solo sabe jugar con 'X'): al que juega con '0' se le
// enseña una copia con '0' y 'X' cambiados. Su vec_jug es, como en el juego, el de su
// contrincante: baja con cada ficha del otro lado y con las jugadas que el propio ordenador
// pide bajar. Así cada ordenador tiene su tablero visto y sus contadores, sin compartir nada.
struct Lado {
    char ficha;
    bool es_ordenador;
    std::array<int, COLUMNAS> vec_jug;
};

struct Cuenta {
    int ganadas = 0;
    int tablas = 0;
    int perdidas = 0;
    long fichas = 0; // fichas puestas entre los dos lados, para la media de la partida
};

int sorteo(std::mt19937& generador) {
    // Como rand(): un número no negativo.
    return static_cast<int>(generador() >> 1);
}

void vista_del_ordenador(const Tablero& real, char ficha, Tablero& vista) {
    for (int f = 0; f < FILAS; ++f) {
        for (int c = 0; c < COLUMNAS; ++c) {
            char valor = real[f][c];
            if (ficha == FICHA_0 && (valor == FICHA_0 || valor == FICHA_X)) {
                valor = valor == FICHA_0 ? FICHA_X : FICHA_0;
            }
            vista[f][c] = valor;
        }
    }
}

// Devuelve la columna jugada. Una elección fuera del tablero o sobre una celda ocupada rompe la
// medida: se avisa y se sale, porque las cifras ya no valdrían.
int mover(Tablero& real, Lado& lado, std::mt19937& generador) {
    if (!lado.es_ordenador) {
        int columna;
        do {
            columna = static_cast<int>(generador() % COLUMNAS);
        } while (fila_de_caida(real, columna) < 0);
        real[fila_de_caida(real, columna)][columna] = lado.ficha;
        return columna;
    }
    Tablero vista;
    vista_del_ordenador(real, lado.ficha, vista);
    const std::function<int()> azar = [&generador] { return sorteo(generador); };
    const CeldaElegida celda = elegir_celda_maquina(vista, lado.vec_jug.data(), azar);
    const int f = celda.fila;
    const int c = celda.columna;
    if (f < 0 || f >= FILAS || c < 0 || c >= COLUMNAS || real[f][c] != VACIA) {
        std::fprintf(stderr, "elección imposible: fila %d, columna %d\n", f, c);
        std::exit(1);
    }
    if (celda.baja_vec_jug) {
        --lado.vec_jug[static_cast<size_t>(c)];
    }
    real[f][c] = lado.ficha;
    return c;
}

// Juega una partida entera; devuelve el índice del lado que gana, o -1 en tablas.
int jugar(std::array<Lado, 2>& lados, int empieza, std::mt19937& generador, long& fichas) {
    Tablero real;
    std::fill(&real[0][0], &real[0][0] + FILAS * COLUMNAS, VACIA);
    for (Lado& lado : lados) {
        lado.vec_jug.fill(FILAS - 1);
    }
    int turno = empieza;
    for (int puestas = 1; puestas <= FILAS * COLUMNAS; ++puestas, turno = 1 - turno) {
        const int columna = mover(real, lados[static_cast<size_t>(turno)], generador);
        --lados[static_cast<size_t>(1 - turno)].vec_jug[static_cast<size_t>(columna)];
        Tablero copia;
        std::copy(&real[0][0], &real[0][0] + FILAS * COLUMNAS, &copia[0][0]);
        const int linea = marcar_linea(copia);
        if (linea != SIN_LINEA) {
            fichas += puestas;
            const char ganadora = linea == GANA_X ? FICHA_X : FICHA_0;
            return lados[0].ficha == ganadora ? 0 : 1;
        }
    }
    fichas += FILAS * COLUMNAS;
    return -1;
}

void anotar(Cuenta& cuenta, int ganador, int yo) {
    if (ganador < 0) {
        ++cuenta.tablas;
    } else if (ganador == yo) {
        ++cuenta.ganadas;
    } else {
        ++cuenta.perdidas;
    }
}

// printf rellena por bytes y los títulos llevan tildes: se rellena contando caracteres.
void titulo_alineado(const char* titulo, int ancho) {
    int caracteres = 0;
    for (const char* p = titulo; *p != '\0'; ++p) {
        caracteres += (static_cast<unsigned char>(*p) & 0xC0) != 0x80 ? 1 : 0;
    }
    std::printf("%s%*s", titulo, std::max(0, ancho - caracteres), "");
}

void fila_de_tabla(const char* titulo, const Cuenta& c) {
    const int total = c.ganadas + c.tablas + c.perdidas;
    const auto pct = [total](int n) { return total > 0 ? 100.0 * n / total : 0.0; };
    titulo_alineado(titulo, 34);
    std::printf(" %6d %6.1f%% %6d %6.1f%% %6d %6.1f%% %7.1f\n", c.ganadas, pct(c.ganadas), c.tablas,
                pct(c.tablas), c.perdidas, pct(c.perdidas),
                total > 0 ? static_cast<double>(c.fichas) / total : 0.0);
}

} // namespace

int main() {
    // Contra el azar: el ordenador lleva 'X' y el jugador al azar '0', como en el juego.
    Cuenta empieza_ordenador;
    Cuenta empieza_azar;
    {
        std::mt19937 generador(20240611u);
        std::array<Lado, 2> lados{{{FICHA_X, true, {}}, {FICHA_0, false, {}}}};
        for (int partida = 0; partida < PARTIDAS; ++partida) {
            const int empieza = partida % 2;
            Cuenta& cuenta = empieza == 0 ? empieza_ordenador : empieza_azar;
            anotar(cuenta, jugar(lados, empieza, generador, cuenta.fichas), 0);
        }
    }

    // Contra sí mismo: sin azar de por medio las partidas serían casi todas iguales, así que
    // cada una lleva su propia semilla. Se cuenta desde el lado que empieza.
    Cuenta propia;
    {
        std::array<Lado, 2> lados{{{FICHA_X, true, {}}, {FICHA_0, true, {}}}};
        for (int partida = 0; partida < PARTIDAS; ++partida) {
            std::mt19937 generador(1000u + static_cast<unsigned>(partida));
            const int empieza = partida % 2;
            anotar(propia, jugar(lados, empieza, generador, propia.fichas), empieza);
        }
    }

    titulo_alineado("Partidas del ordenador", 34);
    std::printf(" %14s %14s %14s %7s\n", "Ganadas", "Tablas", "Perdidas", "Fichas");
    fila_de_tabla("contra el azar, empieza él", empieza_ordenador);
    fila_de_tabla("contra el azar, empieza el azar", empieza_azar);
    Cuenta contra_azar = empieza_ordenador;
    contra_azar.ganadas += empieza_azar.ganadas;
    contra_azar.tablas += empieza_azar.tablas;
    contra_azar.perdidas += empieza_azar.perdidas;
    contra_azar.fichas += empieza_azar.fichas;
    fila_de_tabla("contra el azar, en total", contra_azar);
    fila_de_tabla("contra sí mismo, el que empieza", propia);
    return 0;
}
