// Pruebas de la casilla que elige el ordenador: el orden de sus patrones, los bordes del
// tablero, cuándo sortea y una prueba de propiedades sobre miles de partidas sembradas. Solo
// usa reglas.h; no toca la consola ni el reloj.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <random>
#include <sstream>
#include <string>

#include "reglas.h"

namespace {

struct Posicion {
    Tablero celdas;
    std::array<int, COLUMNAS> vec_jug;
};

Posicion desde_filas(const std::array<std::string, FILAS>& filas,
                     const std::array<int, COLUMNAS>& vec_jug) {
    Posicion p{};
    for (int f = 0; f < FILAS; ++f) {
        for (int c = 0; c < COLUMNAS; ++c) {
            p.celdas[f][c] = filas[static_cast<size_t>(f)].at(static_cast<size_t>(c));
        }
    }
    p.vec_jug = vec_jug;
    return p;
}

// Columnas en orden de juego, la persona ('0') primero. Como en una partida, cada ficha de la
// persona baja su contador; la caída se calcula aquí para no depender del código probado.
Posicion desde_jugadas(const std::string& jugadas) {
    Posicion p = desde_filas({"       ", "       ", "       ", "       ", "       ", "       "},
                             {5, 5, 5, 5, 5, 5, 5});
    std::array<int, COLUMNAS> altura{};
    for (size_t k = 0; k < jugadas.size(); ++k) {
        const auto c = static_cast<size_t>(jugadas[k] - '0');
        const bool persona = k % 2 == 0;
        p.celdas[FILAS - 1 - altura[c]++][c] = persona ? FICHA_0 : FICHA_X;
        p.vec_jug[c] -= persona ? 1 : 0;
    }
    return p;
}

// Un azar de valor fijo que cuenta cuántas veces se le pide número.
struct AzarFijo {
    int valor = 0;
    int llamadas = 0;
    std::function<int()> funcion() {
        return [this] {
            ++llamadas;
            return valor;
        };
    }
};

struct Esperado {
    int fila;
    int columna;
    bool baja_vec_jug;
    int sorteos;
};

void comprobar(const char* nombre, const Posicion& p, Esperado esperado, int valor_azar = 0) {
    SCOPED_TRACE(nombre);
    AzarFijo azar{valor_azar};
    const CeldaElegida celda = elegir_celda_maquina(p.celdas, p.vec_jug.data(), azar.funcion());
    EXPECT_EQ(celda.fila, esperado.fila);
    EXPECT_EQ(celda.columna, esperado.columna);
    EXPECT_EQ(celda.baja_vec_jug, esperado.baja_vec_jug);
    EXPECT_EQ(azar.llamadas, esperado.sorteos);
}

const std::array<std::string, FILAS> VACIO{"       ", "       ", "       ",
                                           "       ", "       ", "       "};

}  // namespace

TEST(Maquina, AbreEnLaFilaDelFondoDeLaColumnaSorteada) {
    comprobar("azar 10", desde_filas(VACIO, {5, 5, 5, 5, 5, 5, 5}), {5, 3, false, 1}, 10);
    comprobar("azar 6", desde_filas(VACIO, {5, 5, 5, 5, 5, 5, 5}), {5, 6, false, 1}, 6);
    // Una ficha colgando sin nada debajo no cuenta: manda la fila del fondo.
    comprobar("fondo vacío", desde_filas({"       ", "       ", "       ", "       ", "   X   ", "       "},
                                         {5, 5, 5, 5, 5, 5, 5}),
              {5, 0, false, 1}, 14);
}

TEST(Maquina, TapaAntesQueGanarYNoVeLosTresVerticalesDeLasColumnas5Y6) {
    // Podría ganar en (5,3), pero antes tapa el tres vertical de la persona.
    comprobar("tapar antes que ganar", desde_jugadas("404142"), {2, 4, false, 0});
    // El tres de la columna 6 no se ve; nada antes del paso de la columna de la persona aplica
    // y este juega encima del tres, en la fila que dice vec_jug, y pide bajarla.
    comprobar("tres en la columna 6", desde_jugadas("646465"), {2, 6, true, 0});
    // El de la columna 5 tampoco: gana el paso junto a la cima de la columna 4.
    comprobar("tres en la columna 5", desde_jugadas("565654"), {5, 3, false, 0});
}

TEST(Maquina, LasPuntasDeUnTresHorizontalNoSeSalenDelTablero) {
    comprobar("tres en 0-2 con la punta derecha libre",
              desde_filas({"       ", "       ", "       ", "       ", "       ", "000    "},
                          {4, 4, 4, 5, 5, 5, 5}),
              {5, 3, false, 0});
    // La punta derecha no es jugable y la izquierda cae fuera: no se toma (3,6), que es lo que
    // sale si la columna -1 se lee como la última de la fila de arriba.
    comprobar("tres en 0-2 sin punta jugable",
              desde_filas({"       ", "       ", "       ", "       ", "000   X", "XXX   0"},
                          {4, 4, 4, 5, 5, 5, 4}),
              {5, 3, false, 0});
    comprobar("tres en 1-3 con las dos puntas libres: primero la derecha",
              desde_filas({"       ", "       ", "       ", "       ", "       ", " 000   "},
                          {5, 4, 4, 4, 5, 5, 5}),
              {5, 4, false, 0});
    comprobar("tres en 4-6 con la punta izquierda libre",
              desde_filas({"       ", "       ", "       ", "       ", "       ", "    000"},
                          {5, 5, 5, 5, 4, 4, 4}),
              {5, 3, false, 0});
    // La columna 7 no es la 0 de la fila de abajo: no se toma (5,0).
    comprobar("tres en 4-6 sin punta jugable",
              desde_filas({"       ", "       ", "       ", "       ", "    000", "    XXX"},
                          {5, 5, 5, 5, 4, 4, 4}),
              {5, 3, false, 0});
}

TEST(Maquina, TapaElTresPartidoDeLasFilasBajasSoloSiLaPersonaBajoEsaColumna) {
    comprobar("0 0 _ 0 en la fila 5", desde_jugadas("16264"), {5, 3, false, 0});
    const std::array<std::string, FILAS> fila5{"       ", "       ", "       ",
                                                "       ", "       ", "   00 0"};
    comprobar("0 0 _ 0 con vec_jug[3] = 4", desde_filas(fila5, {5, 5, 5, 4, 4, 5, 4}),
              {5, 5, false, 0});
    comprobar("0 0 _ 0 con vec_jug[3] = 5", desde_filas(fila5, {5, 5, 5, 5, 4, 5, 4}),
              {5, 2, false, 0});
    comprobar("0 _ 0 0 en la fila 4",
              desde_filas({"       ", "       ", "       ", "       ", "0 00   ", "XX0X   "},
                          {4, 5, 3, 4, 5, 5, 5}),
              {4, 1, false, 0});
}

TEST(Maquina, JuegaJuntoALaCimaDeUnaFichaSola) {
    comprobar("ficha en la columna 3", desde_jugadas("3"), {5, 2, false, 0});
    comprobar("ficha en la columna 0", desde_jugadas("0"), {5, 1, false, 0});
    comprobar("ficha en la columna 5", desde_jugadas("5"), {5, 4, false, 0});
    comprobar("ficha en la columna 6, sorteo 2", desde_jugadas("6"), {5, 2, false, 1}, 2);
    comprobar("ficha en la columna 6, sorteo 6", desde_jugadas("6"), {4, 6, false, 1}, 6);
}

TEST(Maquina, SobreLaColumnaDeLaPersonaSoloJuegaEnLasFilas1A3) {
    // vec_jug no se repone al repetir partida y puede no coincidir con la columna: con 0 no se
    // juega aunque la fila 0 esté libre y apoyada.
    comprobar("vec_jug[6] = 0",
              desde_filas({"       ", "      0", "      X", "      0", "      X", "      0"},
                          {5, 5, 5, 5, 5, 5, 0}),
              {5, 1, false, 1}, 1);
    comprobar("vec_jug[6] = 1",
              desde_filas({"       ", "       ", "      0", "      X", "      0", "      X"},
                          {5, 5, 5, 5, 5, 5, 1}),
              {1, 6, true, 0});
}

TEST(Maquina, AlargaLasParejasDelFondoSinPasarDeLaColumna6) {
    comprobar("X X _ llega a la columna 6",
              desde_filas({"       ", "       ", "       ", "       ", "       ", "0X00XX "},
                          {4, 5, 4, 4, 5, 5, 5}),
              {5, 6, false, 0});
    comprobar("_ X X hacia la izquierda",
              desde_filas({"       ", "       ", "       ", "       ", "    0  ", "    XX0"},
                          {5, 5, 5, 5, 4, 5, 4}),
              {5, 3, false, 0});
    // La pareja de las columnas 5 y 6 no se alarga: cae donde diga el sorteo.
    comprobar("pareja en 5-6",
              desde_filas({"       ", "       ", "       ", "       ", "     0 ", "     XX"},
                          {5, 5, 5, 5, 5, 4, 5}),
              {5, 0, false, 1}, 0);
}

TEST(Maquina, ElSorteoFinalSigueALaDerechaSiLaColumnaEstaLlena) {
    const Posicion llena6 = desde_filas(
        {"      X", "      0", "      X", "      0", "      X", "      0"}, {5, 5, 5, 5, 5, 5, 2});
    comprobar("columna 6 llena", llena6, {5, 0, false, 1}, 6);
    comprobar("el mismo sorteo da la misma columna", llena6, {5, 0, false, 1}, 13);
    comprobar("columnas 5 y 6 llenas",
              desde_filas({"     X0", "     0X", "     X0", "     0X", "     X0", "     0X"},
                          {5, 5, 5, 5, 5, 2, 2}),
              {5, 0, false, 1}, 5);
    comprobar("columna 3 llena, la 4 a medias",
              desde_filas({"   0   ", "   X   ", "   0   ", "   X   ", "   0X  ", "   X0  "},
                          {5, 5, 5, 2, 4, 5, 5}),
              {3, 4, false, 1}, 3);
}

// Partidas completas del ordenador contra un jugador al azar: en cada turno la casilla elegida
// está en el tablero, vacía y apoyada, y cuando pide bajar vec_jug es justo la fila que indicaba.
TEST(Maquina, EnMilesDePartidasSiempreEligeUnaCasillaJugable) {
    std::mt19937 generador(20240611u);
    int sorteos = 0;
    const std::function<int()> azar = [&] {
        ++sorteos;
        return static_cast<int>(generador() >> 1);
    };
    int turnos_del_ordenador = 0;
    for (int partida = 0; partida < 3000; ++partida) {
        Posicion p = desde_jugadas("");
        std::ostringstream jugadas;
        bool turno_persona = partida % 2 == 0;
        for (int puestas = 0; puestas < FILAS * COLUMNAS; ++puestas, turno_persona = !turno_persona) {
            if (turno_persona) {
                int columna;
                do {
                    columna = static_cast<int>(generador() % COLUMNAS);
                } while (fila_de_caida(p.celdas, columna) < 0);
                p.celdas[fila_de_caida(p.celdas, columna)][columna] = FICHA_0;
                --p.vec_jug[static_cast<size_t>(columna)];
                jugadas << columna;
            } else {
                sorteos = 0;
                const CeldaElegida celda = elegir_celda_maquina(p.celdas, p.vec_jug.data(), azar);
                ++turnos_del_ordenador;
                const int f = celda.fila;
                const int c = celda.columna;
                jugadas << '[' << f << ',' << c << ']';
                SCOPED_TRACE("partida " + std::to_string(partida) + ": " + jugadas.str());
                ASSERT_TRUE(f >= 0 && f < FILAS && c >= 0 && c < COLUMNAS);
                ASSERT_EQ(p.celdas[f][c], VACIA);
                ASSERT_TRUE(f == FILAS - 1 || p.celdas[f + 1][c] != VACIA);
                ASSERT_LE(sorteos, 1);
                if (celda.baja_vec_jug) {
                    ASSERT_EQ(p.vec_jug[static_cast<size_t>(c)], f);
                    --p.vec_jug[static_cast<size_t>(c)];
                }
                p.celdas[f][c] = FICHA_X;
            }
            Tablero copia;
            std::copy(&p.celdas[0][0], &p.celdas[0][0] + FILAS * COLUMNAS, &copia[0][0]);
            if (marcar_linea(copia) != SIN_LINEA) {
                break;
            }
        }
    }
    EXPECT_GT(turnos_del_ordenador, 3000 * 5);
}
