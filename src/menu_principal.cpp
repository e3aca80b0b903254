// Pantallas del arranque (título y "Pulsa INTRO") y del menú principal, el centro al que vuelve
// toda pantalla. Solo usan la API de conio2.h; nunca tocan el terminal.
#include <string>
#include <vector>

#include "cajas.h"
#include "conio2.h"
#include "lib_funciones.h"

namespace {

// Ocho líneas de letras grandes; cada una empieza con un tabulador (columna 9) y no pasa de 55
// caracteres tras él, así que el título acaba antes de la columna 64.
constexpr const char* TITULO[] = {
    "\t  ___                    _                   _",
    "\t / _ \\                  | |                 | |",
    "\t| | | |  _   _    __ _  | |_   _ __    ___  | |   ___",
    "\t| | | | | | | |  / _` | | __| | '__|  / _ \\ | |  / _ \\",
    "\t| |_| | | |_| | | (_| | | |_  | |    |  __/ | | | (_) |",
    "\t \\__\\_\\  \\__,_|  \\__,_|  \\__| |_|     \\___| |_|  \\___/",
    "\t=======================================================",
    "\t              c u a t r o   e n   r a y a",
};

using consola::TECLA_ABAJO;
using consola::TECLA_ARRIBA;
using consola::TECLA_INTRO;
constexpr int NUM_OPCIONES = 4;

const std::string BLANCOS(31, ' ');

struct LineaMarca {
    int fila;
    std::string texto;
};

// Lo que se escribe desde la columna 33 para marcar cada opción: primero se borran las cajas
// de las opciones vecinas (comparten filas 26, 28 y 30) reescribiendo su texto, luego la caja.
std::vector<LineaMarca> lineas_marca(int opcion) {
    const std::string v = CAJA_V;
    switch (opcion) {
    case 1:
        return {{26, BLANCOS},
                {27, "  vs ORDENADOR                 "},
                {28, BLANCOS},
                {24, linea_caja(CAJA_SI, 13, CAJA_SD, " ")},
                {25, std::string(" ") + v + " 2 JUGADORES " + v + "          "},
                {26, linea_caja(CAJA_II, 13, CAJA_ID, " ")}};
    case 2:
        return {{24, BLANCOS},
                {25, "   2 JUGADORES                 "},
                {26, BLANCOS},
                {28, BLANCOS},
                {29, "  INSTRUCCIONES                "},
                {30, BLANCOS},
                {26, linea_caja(CAJA_SI, 14, CAJA_SD)},
                {27, v + " vs ORDENADOR " + v + "         "},
                {28, linea_caja(CAJA_II, 14, CAJA_ID)}};
    case 3:
        return {{26, BLANCOS},
                {27, "  vs ORDENADOR                 "},
                {28, BLANCOS},
                {30, BLANCOS},
                {31, "      SALIR                    "},
                {32, BLANCOS},
                {28, linea_caja(CAJA_SI, 15, CAJA_SD)},
                {29, v + " INSTRUCCIONES " + v + "              "},
                {30, linea_caja(CAJA_II, 15, CAJA_ID)}};
    default:
        return {{28, BLANCOS},
                {29, "  INSTRUCCIONES                 "},
                {30, BLANCOS},
                {30, linea_caja(CAJA_SI, 7, CAJA_SD, "    ")},
                {31, std::string("    ") + v + " SALIR " + v + "                  "},
                {32, linea_caja(CAJA_II, 7, CAJA_ID, "    ")}};
    }
}

void dibujar_marca(int opcion) {
    for (const LineaMarca& linea : lineas_marca(opcion)) {
        gotoxy(33, linea.fila);
        escribir("%s", linea.texto.c_str());
    }
}

void dibujar_opciones() {
    escribir("\n\n\n\n\n\n\n\n\n\n\n\n\t\t\t\t %s", linea_caja(CAJA_SI, 13, CAJA_SD).c_str());
    escribir("\n\t\t\t\t %s 2 JUGADORES %s", CAJA_V, CAJA_V);
    escribir("\n\t\t\t\t %s", linea_caja(CAJA_II, 13, CAJA_ID).c_str());
    escribir("\n\t\t\t          vs ORDENADOR");
    escribir("\n\n\t\t\t\t  INSTRUCCIONES");
    escribir("\n\n\t\t\t\t      SALIR");
    escribir("\n\n\n\n\n\n\t\t\t      %s", DIRECCION_WEB);
}

int abrir_opcion(int opcion) {
    switch (opcion) {
    case 1:
        return jug2();
    case 2:
        return vs_ord();
    case 3:
        return instrucciones();
    default:
        return salir();
    }
}

} // namespace

void dibujar_titulo() {
    textcolor(LIGHTRED);
    textbackground(WHITE);
    escribir_linea("\n\n");
    for (const char* linea : TITULO)
        escribir_linea(linea);
    textcolor(BLACK);
    textbackground(WHITE);
}

int arranque() {
    color_ventana(0xF0);
    titulo_ventana("Quatrelo");
    tamano_buffer(80, 50);
    info_cursor(10, false);
    limpiar_pantalla();
    dibujar_titulo();
    escribir("\n\n\n\n\t\t\t   Pulsa INTRO para empezar");
    int n;
    do {
        descartar_entrada();
        n = leer_tecla();
    } while (n != TECLA_INTRO);
    return 0;
}

int menu_ppal() {
    // Cada vuelta es una aparición completa del menú; las pantallas vuelven aquí al acabar.
    for (;;) {
        limpiar_pantalla();
        int opcion = 1;
        dibujar_titulo();
        dibujar_opciones();
        dibujar_marca(opcion);
        int tecla;
        do {
            tecla = leer_tecla();
            if (tecla == TECLA_ABAJO.codigo && opcion < NUM_OPCIONES) ++opcion;
            if (tecla == TECLA_ARRIBA.codigo && opcion > 1) --opcion;
            dibujar_marca(opcion);
        } while (tecla != TECLA_INTRO);
        if (abrir_opcion(opcion) == TERMINAR) return 0;
    }
}
