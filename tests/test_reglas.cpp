// Pruebas de las reglas puras del tablero: la búsqueda y marca de la línea de cuatro y la caída
// de la ficha de una persona. Solo usa reglas.h; no toca la consola.
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "reglas.h"

namespace {

struct TableroPrueba {
    Tablero celdas;
};

// Seis filas de siete caracteres, la fila 0 arriba, tal como se ve el tablero.
TableroPrueba desde_filas(const std::array<std::string, FILAS>& filas) {
    TableroPrueba t{};
    for (int f = 0; f < FILAS; ++f) {
        for (int c = 0; c < COLUMNAS; ++c) {
            t.celdas[f][c] = filas[static_cast<size_t>(f)].at(static_cast<size_t>(c));
        }
    }
    return t;
}

// Columnas en orden de juego, alternando '0' y 'X'. Calcula la caída por su cuenta para no
// depender de la función que se prueba.
TableroPrueba desde_jugadas(const std::string& jugadas) {
    TableroPrueba t = desde_filas({"       ", "       ", "       ", "       ", "       ", "       "});
    std::array<int, COLUMNAS> altura{};
    for (size_t k = 0; k < jugadas.size(); ++k) {
        const int c = jugadas[k] - '0';
        t.celdas[FILAS - 1 - altura[static_cast<size_t>(c)]++][c] = k % 2 == 0 ? FICHA_0 : FICHA_X;
    }
    return t;
}

std::vector<std::string> filas_de(const TableroPrueba& t) {
    std::vector<std::string> filas;
    for (const auto& fila : t.celdas) {
        filas.emplace_back(fila, COLUMNAS);
    }
    return filas;
}

struct CasoLinea {
    const char* nombre;
    std::array<std::string, FILAS> antes;
    int resultado;
    std::array<std::string, FILAS> despues;
};

void comprobar(const CasoLinea& caso) {
    SCOPED_TRACE(caso.nombre);
    TableroPrueba t = desde_filas(caso.antes);
    EXPECT_EQ(marcar_linea(t.celdas), caso.resultado);
    EXPECT_EQ(filas_de(t), filas_de(desde_filas(caso.despues)));
}

}  // namespace

TEST(LineaDeCuatro, CadaDireccionSeEncuentraYSeMarcaConSuSigno) {
    const CasoLinea casos[] = {
        {"horizontal de 0 en la fila 5, columnas 3 a 6",
         {"       ", "       ", "       ", "X      ", "XX     ", "XX 0000"}, GANA_0,
         {"       ", "       ", "       ", "X      ", "XX     ", "XX ****"}},
        {"vertical de X en la columna 2, filas 2 a 5",
         {"       ", "       ", "  X    ", "0 X    ", "0 X    ", "00X    "}, GANA_X,
         {"       ", "       ", "  +    ", "0 +    ", "0 +    ", "00+    "}},
        {"diagonal hacia abajo a la derecha desde (2,0)",
         {"       ", "       ", "0      ", "X0     ", "XX0    ", "XXX0   "}, GANA_0,
         {"       ", "       ", "*      ", "X*     ", "XX*    ", "XXX*   "}},
        {"diagonal hacia abajo a la izquierda desde (2,3)",
         {"       ", "       ", "   X   ", "  X0   ", " X00   ", "X000   "}, GANA_X,
         {"       ", "       ", "   +   ", "  +0   ", " +00   ", "+000   "}},
        {"diagonal hacia abajo a la izquierda desde (2,6)",
         {"       ", "       ", "      X", "     X0", "    X00", "   X000"}, GANA_X,
         {"       ", "       ", "      +", "     +0", "    +00", "   +000"}},
    };
    for (const CasoLinea& caso : casos) {
        comprobar(caso);
    }
}

TEST(LineaDeCuatro, SoloSeMarcaLaPrimeraEnElOrdenDeLosBarridos) {
    const CasoLinea casos[] = {
        {"horizontal antes que vertical",
         {"       ", "       ", "      X", "      X", "      X", "0000  X"}, GANA_0,
         {"       ", "       ", "      X", "      X", "      X", "****  X"}},
        {"la fila de más arriba antes: X en la fila 4, 0 en la 5",
         {"       ", "       ", "       ", "       ", "XXXX   ", "0000   "}, GANA_X,
         {"       ", "       ", "       ", "       ", "++++   ", "0000   "}},
        {"vertical antes que diagonal",
         {"0      ", "X0     ", "XX0    ", "XXX0   ", "X      ", "       "}, GANA_X,
         {"0      ", "+0     ", "+X0    ", "+XX0   ", "+      ", "       "}},
        {"hacia abajo a la derecha antes que hacia abajo a la izquierda",
         {"      X", "     X ", "0   X  ", " 0 X   ", "  0    ", "   0   "}, GANA_0,
         {"      X", "     X ", "*   X  ", " * X   ", "  *    ", "   *   "}},
        {"vertical: la fila de arranque manda sobre la columna",
         {"     X ", "     X ", " 0   X ", " 0   X ", " 0     ", " 0     "}, GANA_X,
         {"     + ", "     + ", " 0   + ", " 0   + ", " 0     ", " 0     "}},
        {"hacia abajo a la izquierda: (0,6) antes que (1,3)",
         {"      0", "   X 0 ", "  X 0  ", " X 0   ", "X      ", "       "}, GANA_0,
         {"      *", "   X * ", "  X *  ", " X *   ", "X      ", "       "}},
    };
    for (const CasoLinea& caso : casos) {
        comprobar(caso);
    }
}

TEST(LineaDeCuatro, DeUnaFilaMasLargaSeMarcanLasCuatroPrimeras) {
    const CasoLinea casos[] = {
        {"cinco X en la fila 5",
         {"       ", "       ", "       ", "       ", "00 0   ", "XXXXX00"}, GANA_X,
         {"       ", "       ", "       ", "       ", "00 0   ", "++++X00"}},
        {"seis 0 en la columna 6",
         {"      0", "      0", "      0", "     X0", "    XX0", "   XXX0"}, GANA_0,
         {"      *", "      *", "      *", "     X*", "    XX0", "   XXX0"}},
        {"cinco 0 en diagonal desde (0,0), antes que la de X que arranca en (1,0)",
         {"0      ", "X0     ", "0X0    ", "X0X0   ", "0X0X0  ", "       "}, GANA_0,
         {"*      ", "X*     ", "0X*    ", "X0X*   ", "0X0X0  ", "       "}},
    };
    for (const CasoLinea& caso : casos) {
        comprobar(caso);
    }
}

TEST(LineaDeCuatro, SinLineaDevuelveMenosUnoYNoTocaNada) {
    const CasoLinea casos[] = {
        {"tablero vacío",
         {"       ", "       ", "       ", "       ", "       ", "       "}, SIN_LINEA,
         {"       ", "       ", "       ", "       ", "       ", "       "}},
        {"tablero lleno sin línea",
         {"XX00XX0", "00XX00X", "XX00XX0", "00XX00X", "XX00XX0", "00XX00X"}, SIN_LINEA,
         {"XX00XX0", "00XX00X", "XX00XX0", "00XX00X", "XX00XX0", "00XX00X"}},
        {"cuatro seguidos que pasan por una marca no son línea",
         {"       ", "       ", "+      ", "X     *", "X    * ", "X0*00  "}, SIN_LINEA,
         {"       ", "       ", "+      ", "X     *", "X    * ", "X0*00  "}},
    };
    for (const CasoLinea& caso : casos) {
        comprobar(caso);
    }
}

TEST(LineaDeCuatro, UnaSegundaLlamadaNoVuelveAEncontrarLaLineaMarcada) {
    TableroPrueba t = desde_jugadas("0415263");  // 0 en la fila 5, columnas 0 a 3
    ASSERT_EQ(marcar_linea(t.celdas), GANA_0);
    const std::vector<std::string> marcado = filas_de(t);
    EXPECT_EQ(marcado[5], "****XXX");
    EXPECT_EQ(marcar_linea(t.celdas), SIN_LINEA);
    EXPECT_EQ(filas_de(t), marcado);
}

TEST(Caida, LaFichaBajaHastaElHuecoMasBajoYSeNiegaSinSitio) {
    TableroPrueba t = desde_jugadas("33233336");  // columna 3 llena; 2 y 6 con una ficha
    EXPECT_EQ(filas_de(t)[0], "   0   ");
    EXPECT_EQ(fila_de_caida(t.celdas, 0), 5);
    EXPECT_EQ(fila_de_caida(t.celdas, 2), 4);
    EXPECT_EQ(fila_de_caida(t.celdas, 6), 4);
    EXPECT_EQ(fila_de_caida(t.celdas, 3), -1);
    for (int fuera : {-1, 7, 49, -48}) {
        EXPECT_EQ(fila_de_caida(t.celdas, fuera), -1) << "columna " << fuera;
    }

    // Columna con sitio solo arriba: la fila 0 libre basta para admitirla.
    TableroPrueba casi = desde_filas({"       ", "X      ", "0      ", "X      ", "0      ", "X      "});
    EXPECT_EQ(fila_de_caida(casi.celdas, 0), 0);
    EXPECT_EQ(filas_de(casi)[0], "       ");

    // Lo que decide si la columna admite ficha es la fila 0, no el fondo.
    TableroPrueba arriba = desde_filas({"X+     ", "       ", "       ", "       ", "       ", "       "});
    EXPECT_EQ(fila_de_caida(arriba.celdas, 0), -1);
    EXPECT_EQ(fila_de_caida(arriba.celdas, 1), -1);
    EXPECT_EQ(fila_de_caida(arriba.celdas, 2), 5);
}
