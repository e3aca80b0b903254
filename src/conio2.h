// La API de consola que usan las pantallas: gotoxy, textcolor y textbackground con su estado
// recordado, y cada operación de consola que el juego pide (limpiar, color de ventana, título,
// cursor, pausa, lectura de teclas con y sin eco, líneas tecleadas, descartar la entrada).
// Todo se escribe en la memoria de pantalla; nada llega al terminal hasta que el juego va a
// esperar (una tecla, una pausa, el final), y entonces sale un solo cuadro.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <stdexcept>
#include <string>
#include <string_view>

#include "consola/dispositivo.h"
#include "consola/entrada.h"
#include "consola/pantalla.h"
#include "consola/teclado.h"
#include "consola/volcado.h"

enum COLORS {
    BLACK,
    BLUE,
    GREEN,
    CYAN,
    RED,
    MAGENTA,
    BROWN,
    LIGHTGRAY,
    DARKGRAY,
    LIGHTBLUE,
    LIGHTGREEN,
    LIGHTCYAN,
    LIGHTRED,
    LIGHTMAGENTA,
    YELLOW,
    WHITE
};

// La entrada se acabó (fin de fichero, terminal cerrado): sube hasta main, que restaura el
// terminal y termina con estado 1.
class FinDeEntrada : public std::runtime_error {
  public:
    FinDeEntrada() : std::runtime_error("fin de la entrada") {}
};

// El estado de la consola de un programa: la pantalla, el teclado, la entrada por líneas, el
// volcado y los colores recordados. Las funciones de abajo trabajan sobre la consola activa.
class Consola {
  public:
    explicit Consola(consola::Dispositivo& dispositivo);

    consola::Pantalla& pantalla() { return pantalla_; }
    const consola::Pantalla& pantalla() const { return pantalla_; }
    consola::Entrada& entrada() { return entrada_; }
    consola::Dispositivo& dispositivo() { return dispositivo_; }

    // Manda al terminal lo que cambió desde el último cuadro (nada si no cambió nada).
    void presentar();
    // La siguiente tecla completa. Si no ha llegado aún, presenta antes de esperarla. Lanza
    // FinDeEntrada.
    consola::Tecla siguiente_tecla();
    // El siguiente código como lo daría _getch (las teclas extendidas en dos lecturas); con eco,
    // una tecla que escribe un carácter lo deja en el cursor, como _getche.
    int siguiente_codigo(bool eco);
    // Una pulsación cualquiera, entera aunque sea de dos códigos (lo que espera "pause").
    void esperar_tecla();

    int primer_plano = LIGHTGRAY; // color de texto recordado
    int fondo = BLACK;            // color de fondo recordado

  private:
    void atender(consola::Lectura lectura);
    void ajustar_tamano();

    consola::Dispositivo& dispositivo_;
    consola::Pantalla pantalla_;
    consola::Teclado teclado_;
    consola::Volcado volcado_;
    consola::Entrada entrada_;
    consola::Tamano tamano_;
    std::deque<int> codigos_; // segundo código de una tecla extendida, aún por leer
};

// Hace activa una consola mientras vive (y devuelve la anterior al morir).
class ConsolaActiva {
  public:
    explicit ConsolaActiva(Consola& consola);
    ~ConsolaActiva();
    ConsolaActiva(const ConsolaActiva&) = delete;
    ConsolaActiva& operator=(const ConsolaActiva&) = delete;

  private:
    Consola* anterior_;
};

Consola& consola_activa();

// --- Las tres rutinas de conio2 ---
void gotoxy(int x, int y); // columna y fila desde 1; fuera de la pantalla no se mueve
void textcolor(int color);
void textbackground(int color);

// --- Operaciones de consola ---
void limpiar_pantalla();                     // "cls"
void color_ventana(int atributo);            // "color F0" es color_ventana(0xF0)
void titulo_ventana(const char* titulo);     // el terminal pone el título al arrancar
void tamano_buffer(int columnas, int filas); // la memoria es siempre 80x50
void info_cursor(int tamano, bool visible);
void pausa();             // "pause": aviso y una tecla cualquiera
int leer_tecla();         // _getch
int leer_tecla_eco();     // _getche
void descartar_entrada(); // fflush(stdin)
// scanf("%s") en un destino de `capacidad` bytes: guarda como mucho capacidad-1 bytes, cortados
// en frontera de carácter, y el terminador.
void leer_palabra(char* destino, std::size_t capacidad);
// scanf("%c"): el siguiente carácter pendiente como código Unicode ('\n' incluido).
int leer_caracter();

// printf y puts sobre la pantalla.
void escribir(const char* formato, ...) __attribute__((format(printf, 1, 2)));
void escribir_linea(const char* texto);
// Texto tal cual, sin formato (puede traer cualquier byte, también '%' o un nulo).
void escribir_texto(std::string_view texto);

// Espera sin gastar CPU, con la pantalla ya presentada.
void esperar_ms(int ms);
// La hora en segundos enteros, como time(): de ella se siembran los sorteos.
std::int64_t segundos_reloj();
// Un reloj monótono en milisegundos, para medir plazos.
std::int64_t milisegundos_reloj();
void presentar();

inline constexpr const char* MENSAJE_PAUSA = "Presione una tecla para continuar . . . ";
