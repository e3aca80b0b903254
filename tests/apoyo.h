// Apoyo de las pruebas de la consola y las pantallas: una consola sobre un dispositivo con
// guion (teclas preparadas, reloj falso, sin esperas) y un generador de sorteos que da la hora
// tal cual, así que quién empieza y la columna al azar del ordenador los decide el reloj falso.
#pragma once

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <string_view>
#include <utility>

#include "conio2.h"
#include "consola/guion.h"
#include "consola/texto.h"
#include "lib_funciones.h"

inline int entre(std::mt19937& azar, int a, int b) {
    return std::uniform_int_distribution<int>(a, b)(azar);
}

// Un cambio al azar en la memoria de pantalla, según `que` (0-99): por debajo de 40, texto con
// todo lo que el volcado tiene que saber enseñar; hasta 85, atributo, cursor, borrado, color de
// ventana o cursor visible; de ahí arriba, nada (lo que quiera la prueba). Devuelve cuántas
// campanas escribió.
inline int cambio_al_azar(consola::Pantalla& p, int que, std::mt19937& azar) {
    static const char* const piezas[] = {
        "a",    "\xc2\x80", " ",       "ñ",          "─",          "│",
        "┌",    "┐",        "└",       "┘",          "\x1b",       "\x01",
        "\x7f", "\xc2\x9b", "\xff",    "一",         "\n",         "\t",
        "\r",   "\a",       "_qxlkmj", "          ", "──────────", "\u05b4\u0e31\ufe0f",
        "𝐀"};
    std::string s;
    for (int n = que < 40 ? entre(azar, 1, 30) : 0; n > 0; --n)
        s += piezas[entre(azar, 0, std::size(piezas) - 1)];
    p.escribir(s);
    if (que >= 40 && que < 55)
        p.fijar_atributo(static_cast<std::uint16_t>(entre(azar, 0, 9) ? entre(azar, 0, 255)
                                                                      : entre(azar, 0, 0xFFFF)));
    if (que >= 55 && que < 70) p.mover_cursor(entre(azar, -2, 81), entre(azar, -2, 51));
    if (que >= 70 && que < 76) p.limpiar();
    if (que >= 76 && que < 79) p.color_ventana(static_cast<std::uint16_t>(entre(azar, 0, 255)));
    if (que >= 79 && que < 85) p.cursor_visible(!p.cursor_visible());
    return static_cast<int>(std::ranges::count(s, '\a'));
}

// Cómo se ve en un terminal con esas capacidades la celda (x, y) de la ventana de la memoria
// (fuera de la memoria, un blanco del color de la ventana): el carácter (los de control, con su
// glifo de la 437; las cajas, como puede; lo que no mide justo una celda, '?') y el atributo que
// se nota (de un blanco, solo el fondo; con ocho colores, los fondos claros como los oscuros; sin
// color, 0).
inline std::pair<char32_t, int> celda_visible(const consola::Pantalla& p, int x, int y,
                                              const consola::Capacidades& cap) {
    using namespace consola;
    constexpr std::u32string_view cajas = U"─│┌┐└┘";
    x += p.ventana_x();
    y += p.ventana_y();
    const Celda celda = x < ANCHO && y < ALTO ? p.celda(x, y) : Celda{U' ', p.atributo_ventana()};
    char32_t c = celda.car < 0x20 || celda.car == 0x7F ? cp437(celda.car & 0xFF) : celda.car;
    const bool caja = cajas.find(c) != cajas.npos;
    if (caja && cap.cajas != Cajas::dec && (cap.cajas == Cajas::ascii || !cap.utf8))
        c = c == U'─' ? U'-' : c == U'│' ? U'|' : U'+';
    else if (c > 0x7F && !caja && !(cap.utf8 && c > 0x9F && ancho_celda(c) == 1))
        c = U'?';
    const int atributo = cap.colores ? celda.atributo & (cap.colores == 8 ? 0x7F : 0xFF) : 0;
    return {c, c == U' ' ? atributo & 0xF0 : atributo};
}

class Escenario {
  public:
    explicit Escenario(consola::Tamano tamano = {}, consola::Capacidades capacidades = {})
        : dispositivo(tamano, capacidades), consola(dispositivo), activa(consola),
          generador_(
              cambiar_generador([](unsigned s) { return static_cast<int>(s & 0x7FFFFFFF); })) {}
    ~Escenario() { cambiar_generador(generador_); }
    Escenario(const Escenario&) = delete;
    Escenario& operator=(const Escenario&) = delete;

    // Con la hora par empieza el jugador 1 (o la persona); impar, el otro.
    void sorteo(int quien) { dispositivo.reloj_base = 1'800'000'000 + quien; }

    // Añade teclas al guion; un ESC que no abre una secuencia ("\x1b[" o "\x1bO") va seguido de
    // un silencio, para que llegue como la tecla Escape sola.
    Escenario& teclear(std::string_view bytes) {
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            dispositivo.teclear(bytes.substr(i, 1));
            const bool sigue = i + 1 < bytes.size() && (bytes[i + 1] == '[' || bytes[i + 1] == 'O');
            if (bytes[i] == '\x1b' && !sigue) dispositivo.silencio();
        }
        return *this;
    }

    // Ejecuta la pantalla hasta que vuelve (true) o hasta que el guion se acaba (false).
    template <typename F> bool ejecutar(F&& pantalla) {
        try {
            pantalla();
            volvio = true;
        } catch (const FinDeEntrada&) {
            volvio = false;
        }
        return volvio;
    }

    // La fila (desde 1) sin los blancos del final.
    std::string fila(int n) const {
        std::string texto = consola.pantalla().fila(n - 1);
        return texto.erase(texto.find_last_not_of(' ') + 1);
    }
    std::uint16_t atributo(int col, int fila) const {
        return consola.pantalla().celda(col - 1, fila - 1).atributo;
    }

    bool volvio = false;
    consola::DispositivoGuion dispositivo;
    Consola consola;
    ConsolaActiva activa;

  private:
    Generador generador_;
};
