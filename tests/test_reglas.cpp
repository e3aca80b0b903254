// Las reglas puras: la búsqueda y marca de la línea de cuatro y la casilla que elige el
// ordenador (el orden de sus patrones, los bordes del tablero, cuándo sortea). La caída de una
// ficha la prueban las pantallas. Solo usa reglas.h y los tableros de tableros.h.
#include <gtest/gtest.h>

#include <algorithm>
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

void comprobar_lineas(std::initializer_list<CasoLinea> casos) {
    for (const CasoLinea& caso : casos) {
        SCOPED_TRACE(caso.nombre);
        std::string antes = caso.despues;
        if (caso.resultado != SIN_LINEA) std::ranges::replace(antes, MARCA_0, FICHA_0);
        if (caso.resultado != SIN_LINEA) std::ranges::replace(antes, MARCA_X, FICHA_X);
        Posicion p = desde_filas(antes);
        EXPECT_EQ(marcar_linea(p.celdas), caso.resultado);
        EXPECT_EQ(filas_de(p.celdas), filas_de(desde_filas(caso.despues).celdas));
    }
}

struct CasoMaquina {
    const char* nombre;
    Posicion posicion;
    int fila, columna;
    bool baja_vec_jug;
    int sorteos;  // cuántas veces se pide número al azar
    int azar = 0; // el número que sale siempre
};

void comprobar(std::initializer_list<CasoMaquina> casos) {
    for (const CasoMaquina& caso : casos) {
        SCOPED_TRACE(caso.nombre);
        int sorteos = 0;
        const CeldaElegida celda =
            elegir_celda_maquina(caso.posicion.celdas, caso.posicion.vec_jug.data(), [&] {
                ++sorteos;
                return caso.azar;
            });
        EXPECT_EQ(std::tuple(celda.fila, celda.columna, celda.baja_vec_jug, sorteos),
                  std::tuple(caso.fila, caso.columna, caso.baja_vec_jug, caso.sorteos));
    }
}

} // namespace

TEST(LineaDeCuatro, CadaDireccionEnElOrdenDeLosBarridos) {
    comprobar_lineas({
        // Cada dirección se encuentra y se marca con su signo.
        {"horizontal de 0 en la fila 5, columnas 3 a 6", "X      /XX     /XX ****", GANA_0},
        {"vertical de X en la columna 2, filas 2 a 5", "  +    /0 +    /0 +    /00+    ", GANA_X},
        {"hacia abajo a la derecha desde (2,0)", "*      /X*     /XX*    /XXX*   ", GANA_0},
        {"hacia abajo a la izquierda desde (2,3)", "   +   /  +0   / +00   /+000   ", GANA_X},
        // Solo se marca la primera, en el orden de los barridos.
        {"horizontal antes que vertical", "      X/      X/      X/****  X", GANA_0},
        {"la fila de más arriba antes: X en la fila 4, 0 en la 5", "++++   /0000   ", GANA_X},
        {"vertical antes que diagonal", "0      /+0     /+X0    /+XX0   /+      /       ", GANA_X},
        {"hacia abajo a la derecha antes que hacia abajo a la izquierda",
         "      X/     X /*   X  / * X   /  *    /   *   ", GANA_0},
        {"vertical: la fila de arranque manda sobre la columna",
         "     + /     + / 0   + / 0   + / 0     / 0     ", GANA_X},
        {"hacia abajo a la izquierda: (0,6) antes que (1,3)",
         "      */   X * /  X *  / X *   /X      /       ", GANA_0},
        // De una fila más larga se marcan las cuatro primeras.
        {"seis 0 en la columna 6", "      */      */      */     X*/    XX0/   XXX0", GANA_0},
        {"cinco 0 en diagonal desde (0,0), antes que la de X que arranca en (1,0)",
         "*      /X*     /0X*    /X0X*   /0X0X0  /       ", GANA_0},
        // Sin línea devuelve -1 y no toca nada.
        {"tablero lleno sin línea", "XX00XX0/00XX00X/XX00XX0/00XX00X/XX00XX0/00XX00X", SIN_LINEA},
        // También impide que una segunda llamada vuelva a encontrar la línea ya marcada.
        {"cuatro seguidos que pasan por una marca no son línea", "+      /X     */X    * /X0*00  ",
         SIN_LINEA},
    });
}

TEST(Maquina, CadaPatronEnSuOrden) {
    comprobar({
        // Abre en la fila del fondo de la columna sorteada.
        {"azar 10", desde_filas(""), 5, 3, false, 1, 10},
        // Una ficha colgando sin nada debajo no cuenta: manda la fila del fondo.
        {"fondo vacío", desde_filas("   X   /       "), 5, 0, false, 1, 14},
        // Tapa antes que ganar, y no ve los tres verticales de las columnas 5 y 6.
        // Podría ganar en (5,3), pero antes tapa el tres vertical de la persona.
        {"tapar antes que ganar", desde_jugadas("404142"), 2, 4, false, 0},
        // El tres de la columna 6 no se ve: juega encima por la fila que dice vec_jug y la baja.
        {"tres en la columna 6", desde_jugadas("646465"), 2, 6, true, 0},
        // El de la columna 5 tampoco: gana el paso junto a la cima de la columna 4.
        {"tres en la columna 5", desde_jugadas("565654"), 5, 3, false, 0},
        // Las puntas de un tres horizontal no se salen del tablero.
        {"0-2, punta derecha libre", desde_filas("000    ", "4445555"), 5, 3, false, 0},
        // La columna -1 leída como la última de la fila de arriba daría (3,6).
        {"0-2, sin punta jugable", desde_filas("000   X/XXX   0", "4445554"), 5, 3, false, 0},
        {"1-3, las dos libres: la derecha", desde_filas(" 000   ", "5444555"), 5, 4, false, 0},
        // La X encima de la columna 4 quita el paso junto a la cima, que también daría (5,3).
        {"4-6, punta izquierda libre", desde_filas("    X  /    000", "5555444"), 5, 3, false, 0},
        // La columna 7 leída como la 0 de la fila de abajo daría (5,0).
        {"4-6, sin punta jugable", desde_filas("    000/    XXX", "5555444"), 5, 3, false, 0},
        // Tapa el tres partido de las filas bajas solo si la persona bajó esa columna.
        {"0 0 _ 0 en la fila 5", desde_jugadas("16264"), 5, 3, false, 0},
        {"vec_jug[3] = 4", desde_filas("   00 0", "5554454"), 5, 5, false, 0},
        {"vec_jug[3] = 5", desde_filas("   00 0", "5555454"), 5, 2, false, 0},
        // Con tres fichas en las columnas 0 y 2 el paso junto a la cima no da también (4,1).
        {"0 _ 0 0 en la fila 4", desde_filas("X X0   /0 00   /XX0X   ", "4535555"), 4, 1, false, 0},
        // Con una X donde iba el segundo 0 no hay tres que tapar: nada encaja y sortea.
        {"0 _ X 0 en la fila 4", desde_filas("X X0   /0 X0   /XX0X   ", "4535555"), 2, 0, false, 1},
        // Juega junto a la cima de una ficha sola.
        {"columna 3", desde_jugadas("3"), 5, 2, false, 0},
        {"columna 3, la 2 ocupada", desde_filas("  X0   ", "5554555"), 5, 4, false, 0},
        {"columna 0", desde_jugadas("0"), 5, 1, false, 0},
        {"columna 5", desde_jugadas("5"), 5, 4, false, 0},
        {"columna 6, sorteo 2", desde_jugadas("6"), 5, 2, false, 1, 2},
        {"columna 6, sorteo 6", desde_jugadas("6"), 4, 6, false, 1, 6},
        // Sobre la columna de la persona solo juega en las filas 1 a 3: vec_jug no se repone al
        // repetir partida y puede no cuadrar con la columna; con 0 no se juega aunque la fila 0
        // esté libre y apoyada.
        {"vec_jug[6] = 0", desde_filas("      0/      X/      0/      X/      0", "5555550"), 5, 1,
         false, 1, 1},
        {"vec_jug[6] = 1", desde_filas("      0/      X/      0/      X", "5555551"), 1, 6, true,
         0},
        {"vec_jug[6] = 3", desde_filas("      X/      0", "5555553"), 3, 6, true, 0},
        // Alarga las parejas del fondo sin pasar de la columna 6.
        {"X X _ llega a la 6", desde_filas("0X00XX ", "4544555"), 5, 6, false, 0},
        {"_ X X a la izquierda", desde_filas("    0  /    XX0", "5555454"), 5, 3, false, 0},
        // La pareja de las columnas 5 y 6 no se alarga: cae donde diga el sorteo.
        {"pareja en 5-6", desde_filas("     0 /     XX", "5555545"), 5, 0, false, 1},
        // El sorteo final sigue a la derecha si la columna está llena. Las fichas de la columna 0
        // distinguen la vuelta a la izquierda del último recurso, que tomaría el primer hueco de
        // la fila del fondo, (5,1).
        {"columna 6 llena",
         desde_filas("      X/      0/      X/      0/X     X/0     0", "4555552"), 3, 0, false, 1,
         6},
        {"columnas 5 y 6 llenas",
         desde_filas("     X0/     0X/     X0/     0X/X    X0/0    0X", "4555522"), 3, 0, false, 1,
         5},
        {"columna 3 llena, la 4 a medias",
         desde_filas("   0   /   X   /   0   /   X   /   0X  /   X0  ", "5552455"), 3, 4, false, 1,
         3},
    });
}
