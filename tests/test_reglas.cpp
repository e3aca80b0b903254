// Pruebas de las reglas puras del tablero: la búsqueda y marca de la línea de cuatro y la caída
// de la ficha de una persona. Solo usa reglas.h y los tableros de tableros.h; no toca la consola.
#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

#include "reglas.h"
#include "tableros.h"

namespace {

// Cada caso da el tablero como debe quedar. El de partida es el mismo con las marcas vueltas a
// fichas; si no hay línea, el mismo tal cual (y así puede llevar marcas de antes).
struct CasoLinea {
    const char* nombre;
    const char* despues;
    int resultado;
};

void comprobar(std::initializer_list<CasoLinea> casos) {
    for (const CasoLinea& caso : casos) {
        SCOPED_TRACE(caso.nombre);
        std::string antes = caso.despues;
        for (char& celda : antes) {
            if (caso.resultado != SIN_LINEA && celda == MARCA_0) celda = FICHA_0;
            if (caso.resultado != SIN_LINEA && celda == MARCA_X) celda = FICHA_X;
        }
        Posicion p = desde_filas(antes);
        EXPECT_EQ(marcar_linea(p.celdas), caso.resultado);
        EXPECT_EQ(filas_de(p.celdas), filas_de(desde_filas(caso.despues).celdas));
    }
}

} // namespace

TEST(LineaDeCuatro, CadaDireccionSeEncuentraYSeMarcaConSuSigno) {
    comprobar({
        {"horizontal de 0 en la fila 5, columnas 3 a 6", "X      /XX     /XX ****", GANA_0},
        {"vertical de X en la columna 2, filas 2 a 5", "  +    /0 +    /0 +    /00+    ", GANA_X},
        {"hacia abajo a la derecha desde (2,0)", "*      /X*     /XX*    /XXX*   ", GANA_0},
        {"hacia abajo a la izquierda desde (2,3)", "   +   /  +0   / +00   /+000   ", GANA_X},
        {"hacia abajo a la izquierda desde (2,6)", "      +/     +0/    +00/   +000", GANA_X},
    });
}

TEST(LineaDeCuatro, SoloSeMarcaLaPrimeraEnElOrdenDeLosBarridos) {
    comprobar({
        {"horizontal antes que vertical", "      X/      X/      X/****  X", GANA_0},
        {"la fila de más arriba antes: X en la fila 4, 0 en la 5", "++++   /0000   ", GANA_X},
        {"vertical antes que diagonal", "0      /+0     /+X0    /+XX0   /+      /       ", GANA_X},
        {"hacia abajo a la derecha antes que hacia abajo a la izquierda",
         "      X/     X /*   X  / * X   /  *    /   *   ", GANA_0},
        {"vertical: la fila de arranque manda sobre la columna",
         "     + /     + / 0   + / 0   + / 0     / 0     ", GANA_X},
        {"hacia abajo a la izquierda: (0,6) antes que (1,3)",
         "      */   X * /  X *  / X *   /X      /       ", GANA_0},
    });
}

TEST(LineaDeCuatro, DeUnaFilaMasLargaSeMarcanLasCuatroPrimeras) {
    comprobar({
        {"cinco X en la fila 5", "00 0   /++++X00", GANA_X},
        {"seis 0 en la columna 6", "      */      */      */     X*/    XX0/   XXX0", GANA_0},
        {"cinco 0 en diagonal desde (0,0), antes que la de X que arranca en (1,0)",
         "*      /X*     /0X*    /X0X*   /0X0X0  /       ", GANA_0},
    });
}

TEST(LineaDeCuatro, SinLineaDevuelveMenosUnoYNoTocaNada) {
    comprobar({
        {"tablero vacío", "", SIN_LINEA},
        {"tablero lleno sin línea", "XX00XX0/00XX00X/XX00XX0/00XX00X/XX00XX0/00XX00X", SIN_LINEA},
        // También impide que una segunda llamada vuelva a encontrar la línea ya marcada.
        {"cuatro seguidos que pasan por una marca no son línea", "+      /X     */X    * /X0*00  ",
         SIN_LINEA},
    });
}

TEST(Caida, LaFichaBajaHastaElHuecoMasBajoYSeNiegaSinSitio) {
    // Columna 0 y 1: la fila 0 ocupada (por ficha o por marca) manda aunque debajo esté vacío.
    // Columna 3: llena. Columna 5: solo queda la fila 0, y basta para admitirla.
    const Posicion p = desde_filas("X+ 0   /   X 0 /   0 X /   X 0 /   X X /  00 0 ");
    const int esperado[COLUMNAS] = {-1, -1, 4, -1, 5, 0, 5};
    for (int c = 0; c < COLUMNAS; ++c)
        EXPECT_EQ(fila_de_caida(p.celdas, c), esperado[c]) << c;
    for (int fuera : {-1, 7, 49, -48})
        EXPECT_EQ(fila_de_caida(p.celdas, fuera), -1) << fuera;
}
