// Lo que el juego dibuja y lee durante una partida: el tablero, las leyendas de fichas, el
// turno de una persona, el del ordenador y el anuncio del final. Las decisiones (dónde cae una
// ficha, si hay línea, qué juega el ordenador) son de reglas.h y busqueda.h; aquí solo se
// enseñan y se leen teclas, siempre a través de conio2.h.
#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "busqueda.h"
#include "cajas.h"
#include "conio2.h"
#include "lib_funciones.h"
#include "reglas.h"

namespace {

using consola::TECLA_ESCAPE;
constexpr int CAMPANA = 7;
// Lo que se deja ver "Turno del ordenador" antes de que juegue. Los niveles 2 y 3 piensan
// dentro de esa pausa (su presupuesto es de nodos: NODOS_NIVEL_3 cabe en ella aun en una
// máquina cuatro veces más lenta) y duermen lo que sobre.
constexpr int PAUSA_ORDENADOR_MS = 500;

// Global porque lo fija main (fijar_nivel) y lo lee mov_maquina, y entre los dos están vs_ord()
// y mov_maquina(matriztab, vec_jug, vec_ord), cuyas firmas son las del juego de siempre.
int nivel_ordenador = 1;

void dibujar_borde() {
    escribir("\t%s", CAJA_H);
    for (int j = 0; j < COLUMNAS; ++j)
        escribir("%s%s%s%s", CAJA_H, CAJA_H, CAJA_H, CAJA_H);
}

// La pregunta de abandonar la partida; true si el jugador dice que sí.
bool quiere_abandonar() {
    limpiar_pantalla();
    gotoxy(20, 14);
    escribir("DESEAS SALIR DE LA PARTIDA? (s/n): ");
    return minuscula(leer_caracter()) == 's';
}

// El turno de una persona: pide una columna hasta que llega una válida y deja caer la ficha.
int jugada_de_persona(char matriztab[][COLUMNAS], int* vec_jug, const char* jugador, int cont,
                      char ficha, bool puede_abandonar) {
    for (;;) {
        escribir("\n\n\n\tTurno de %s\n", jugador);
        escribir("\n\n   Introduce la columna en la que quieres colocar tu ficha (0-6): ");
        for (;;) {
            descartar_entrada();
            const int tecla = leer_tecla();
            if (tecla == TECLA_ESCAPE && puede_abandonar) {
                if (quiere_abandonar()) return PARTIDA_ABANDONADA;
                mostrartab(matriztab, cont);
                break; // el mismo jugador empieza su turno otra vez
            }
            const int columna = tecla - '0';
            const int fila = fila_de_caida(matriztab, columna);
            if (fila >= 0) {
                --vec_jug[columna];
                matriztab[fila][columna] = ficha;
                return JUGADA_HECHA;
            }
        }
    }
}

int generador_de_c(unsigned semilla) {
    std::srand(semilla);
    return std::rand();
}

// Los sorteos se piden desde dentro de pantallas y jugadas que no reciben más argumentos que
// los suyos (vs_ord, mov_maquina): el generador es estado del proceso, que las pruebas cambian.
Generador generador = generador_de_c;

} // namespace

Generador cambiar_generador(Generador nuevo) {
    const Generador anterior = generador;
    generador = nuevo;
    return anterior;
}

int sortear() {
    return generador(static_cast<unsigned>(segundos_reloj()));
}

int tablero(char matriztab[][COLUMNAS]) {
    for (int i = 0; i < FILAS; ++i) {
        for (int j = 0; j < COLUMNAS; ++j)
            matriztab[i][j] = VACIA;
        escribir("\n");
    }
    return 0;
}

int mostrartab(const char matriztab[][COLUMNAS], int cont) {
    limpiar_pantalla();
    escribir("\n\n\n\n\n");
    escribir("       ");
    escribir("\n\n\t\tQuatrelo\n\n");
    dibujar_borde();
    escribir("\t    FICHAS RESTANTES: %d \n", cont);
    for (int i = 0; i < FILAS; ++i) {
        escribir("  \t%s", CAJA_V);
        for (int j = 0; j < COLUMNAS; ++j)
            escribir(" %c %s", matriztab[i][j], CAJA_V);
        escribir(" ");
        escribir("\n  ");
        dibujar_borde();
        escribir("\n");
    }
    escribir("      \t  ");
    for (int j = 0; j < COLUMNAS; ++j)
        escribir("%d   ", j);
    escribir(" COLUMNAS");
    return 0;
}

int comprobar_fin(char matriztab[][COLUMNAS], int, int) {
    const int ganador = marcar_linea(matriztab);
    if (ganador == SIN_LINEA) return ganador;
    mostrartab(matriztab, 0);
    escribir(ganador == GANA_0 ? "\n\tEnhorabuena, ha ganado" : "\n\tLo siento, ha perdido");
    escribir("\n\n\t   Pulsa Una Tecla...");
    escribir("%c", CAMPANA);
    leer_tecla_eco();
    return ganador;
}

int comprobar_fin_USUARIO(char matriztab[][COLUMNAS], int, int, const char* j1, const char* j2) {
    const int ganador = marcar_linea(matriztab);
    if (ganador == SIN_LINEA) return ganador;
    mostrartab(matriztab, 0);
    escribir("%c", CAMPANA);
    escribir("\n\n\t\tGana %s", ganador == GANA_0 ? j1 : j2);
    escribir("\n\n\t\tPulsa Una Tecla...");
    leer_tecla_eco();
    return ganador;
}

int hacer_jugada_usuario(char matriztab[][COLUMNAS], int* vec_jug, int*, const char* jugador,
                         int cont) {
    return jugada_de_persona(matriztab, vec_jug, jugador, cont, FICHA_0, true);
}

int hacer_jugada_usuario_CONTRARIO(char matriztab[][COLUMNAS], int* vec_jug, int*,
                                   const char* jugador, int cont) {
    return jugada_de_persona(matriztab, vec_jug, jugador, cont, FICHA_X, false);
}

void fijar_nivel(int nivel) {
    nivel_ordenador = (nivel == 2 || nivel == 3) ? nivel : 1;
}

int mov_maquina(char matriztab[][COLUMNAS], int* vec_jug, int*) {
    escribir("\n\n\n\tTurno del ordenador");
    if (nivel_ordenador == 1) {
        esperar_ms(PAUSA_ORDENADOR_MS);
        const CeldaElegida celda = elegir_celda_maquina(matriztab, vec_jug, sortear);
        matriztab[celda.fila][celda.columna] = FICHA_X;
        if (celda.baja_vec_jug) --vec_jug[celda.columna];
        return 0;
    }
    // El turno se ve mientras piensa; después solo duerme lo que falte hasta el medio segundo.
    presentar();
    const std::int64_t inicio = milisegundos_reloj();
    const int columna = elegir_jugada(matriztab, nivel_ordenador, sortear).columna;
    const std::int64_t gastado = milisegundos_reloj() - inicio;
    esperar_ms(static_cast<int>(std::max<std::int64_t>(0, PAUSA_ORDENADOR_MS - gastado)));
    // Una partida nunca llega aquí con el tablero lleno; aun así no se escribe fuera.
    const int fila = fila_de_caida(matriztab, columna);
    if (fila >= 0) matriztab[fila][columna] = FICHA_X;
    return 0;
}

namespace {

void empezar_leyenda() {
    limpiar_pantalla();
    escribir("\n\n\n\n\n\n\n\n\n\n\n\n\n\n\n\n");
    textcolor(LIGHTRED);
    textbackground(WHITE);
    escribir("\n\n\n\t\t     0");
    textcolor(BLACK);
    textbackground(WHITE);
}

void ficha_x_de_leyenda() {
    textcolor(YELLOW);
    textbackground(WHITE);
    escribir("  X");
    textcolor(BLACK);
    textbackground(WHITE);
}

} // namespace

int menu(const char* usuario) {
    empezar_leyenda();
    escribir(" --> %s", usuario);
    ficha_x_de_leyenda();
    escribir("--> ORDENADOR");
    return 0;
}

int menu_US_CONTRARIO(const char* nom1, const char* nom2) {
    empezar_leyenda();
    escribir(" -->%s", nom1);
    ficha_x_de_leyenda();
    escribir("--> %s", nom2);
    return 0;
}
