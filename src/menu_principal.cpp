// Pantallas del arranque (título y "Pulsa INTRO") y del menú principal, el centro al que vuelve
// toda pantalla. Solo usan la API de conio2.h; nunca tocan el terminal.
#include <string>
#include <string_view>

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

constexpr int INTRO = 13;
constexpr int ARRIBA = 72;
constexpr int ABAJO = 80;
constexpr int NUM_OPCIONES = 4;

// Las opciones del menú: la fila y la columna de su texto, tal como las deja dibujar_opciones.
struct Opcion {
    int fila;
    int columna;
    std::string_view texto;
};
constexpr Opcion OPCIONES[NUM_OPCIONES] = {{25, 36, "2 JUGADORES"},
                                           {27, 35, "vs ORDENADOR"},
                                           {29, 35, "INSTRUCCIONES"},
                                           {31, 39, "SALIR"}};
// Las cajas de dos opciones vecinas comparten una fila; todas caben en estas columnas.
constexpr int MARGEN = 33;
constexpr int ANCHO_MARCAS = 31;

void escribir_en(int x, int y, const std::string& texto) {
    gotoxy(x, y);
    escribir("%s", texto.c_str());
}

// Deja la opción sin caja: sus tres filas en blanco y su texto otra vez en su sitio.
void quitar_caja(const Opcion& o) {
    std::string texto(static_cast<std::size_t>(o.columna - MARGEN), ' ');
    texto += o.texto;
    texto.resize(ANCHO_MARCAS, ' ');
    const std::string blancos(ANCHO_MARCAS, ' ');
    escribir_en(MARGEN, o.fila - 1, blancos);
    escribir_en(MARGEN, o.fila, texto);
    escribir_en(MARGEN, o.fila + 1, blancos);
}

void poner_caja(const Opcion& o) {
    const int ancho = static_cast<int>(o.texto.size()) + 2;
    const std::string v = CAJA_V;
    escribir_en(o.columna - 2, o.fila - 1, linea_caja(CAJA_SI, ancho, CAJA_SD));
    escribir_en(o.columna - 2, o.fila, v + " " + std::string(o.texto) + " " + v);
    escribir_en(o.columna - 2, o.fila + 1, linea_caja(CAJA_II, ancho, CAJA_ID));
}

// Marca la opción (desde 1): primero se borran las cajas de las vecinas, que comparten fila con
// la suya, y luego se dibuja la de ella.
void dibujar_marca(int opcion) {
    const int i = opcion - 1;
    if (i > 0) quitar_caja(OPCIONES[i - 1]);
    if (i + 1 < NUM_OPCIONES) quitar_caja(OPCIONES[i + 1]);
    poner_caja(OPCIONES[i]);
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
    } while (n != INTRO);
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
            if (tecla == ABAJO && opcion < NUM_OPCIONES) ++opcion;
            if (tecla == ARRIBA && opcion > 1) --opcion;
            dibujar_marca(opcion);
        } while (tecla != INTRO);
        if (abrir_opcion(opcion) == TERMINAR) return 0;
    }
}
