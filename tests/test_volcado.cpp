// Pruebas del volcado: un terminal de juguete recibe los cuadros y tiene que acabar enseñando lo
// mismo que la memoria de pantalla, con cada combinación de capacidades; los trucos de bytes;
// y los anchos de carácter, que el terminal no sabría medir.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <ranges>
#include <set>
#include <utility>

#include "apoyo.h"
#include "consola/texto.h"
#include "consola/volcado.h"

using namespace consola;

namespace {

// Lo que la paleta de Windows debe dar en ANSI, escrito a mano para no fiarse de la fórmula.
constexpr int ANSI[16] = {30, 34, 32, 36, 31, 35, 33, 37, 90, 94, 92, 96, 91, 95, 93, 97};
constexpr std::u32string_view CAJAS = U"─│┌┐└┘", LETRAS_DEC = U"qxlkmj";
constexpr Tamano NORMAL{80, 50};
// Como los describe terminfo: xterm (todo), tmux (sin bce, ECH ni REP), linux (8 colores, sin REP).
constexpr Capacidades TMUX{
    .borrar_pantalla = true, .borrar_linea = true, .mover_relativo = true, .mover_basico = true};
constexpr Capacidades XTERM = [] {
    Capacidades c = TMUX;
    c.bce = c.borrar_caracteres = c.repetir = true;
    return c;
}();
constexpr Capacidades LINUX = [] {
    Capacidades c = XTERM;
    c.colores = 8;
    c.repetir = false;
    return c;
}();

// Una celda del terminal: carácter y códigos SGR (un claro en negrita, como el claro; 0: los
// suyos).
using Vista = std::tuple<char32_t, int, int>;

// Un terminal que entiende solo lo que sus capacidades dicen y da la prueba por fallida con todo
// lo demás. Borra con el fondo vigente solo si tiene bce; un salto de línea solo vale tras un
// retorno de carro (así da igual si vuelve o no al principio). Empieza como lo deja otro
// programa o una suspensión: nada de lo que el volcado suponga vale.
struct Terminal {
    Capacidades cap;
    int columnas, filas, cx = 3, cy = 3, texto = 31, fondo = 41, campanas = 0;
    std::vector<Vista> celdas = std::vector<Vista>(columnas * filas, {U'#', 31, 41});
    bool negrita = false, pendiente = false, visible = true, sinc = false, dec = false;
    std::set<int> filas_tocadas{};
    char32_t ultimo = 0; // el carácter recién escrito, el que repite REP

    void borrar(int y, int a, int b) {
        filas_tocadas.insert(y);
        std::fill(&celdas[y * columnas + a], &celdas[y * columnas + std::min(b, columnas)],
                  Vista{U' ', 0, cap.bce ? fondo : 0});
    }
    // Recibe un cuadro entero y devuelve cuántas campanas traía. Un cuadro que toca más de una
    // fila va en salida sincronizada, para que no se vea a medias.
    int recibir(std::string_view b) {
        const bool envuelto = b.starts_with("\x1b[?2026h") && b.ends_with("\x1b[?2026l");
        filas_tocadas.clear();
        for (std::size_t n = 1; !b.empty() && !::testing::Test::HasFailure(); b.remove_prefix(n)) {
            const char32_t antes = std::exchange(ultimo, 0);
            const Decodificado d = decodificar(b, 0);
            n = 1;
            if (b[0] == '\a') {
                ++campanas;
            } else if (b[0] == '\r' && cap.mover_basico) {
                cx = 0;
                pendiente = false;
            } else if (b[0] == '\n' && cap.mover_basico && cx == 0 && cy + 1 < filas) {
                ++cy;
            } else if (b[0] == '\b' && cap.mover_basico && cx > 0 && !pendiente) {
                --cx;
            } else if (b.starts_with("\x1b(")) {
                dec = b[2] == '0';
                n = 3;
            } else if (b.starts_with("\x1b[")) {
                n = 3 + orden(b.substr(2), antes);
            } else if (d.car < 0x20 || d.car == 0x7F || (d.bytes == 1) == (d.car > 0x7F) ||
                       (!cap.utf8 && d.bytes > 1)) {
                ADD_FAILURE() << "byte de control crudo o carácter mal formado: " << int(b[0]);
            } else {
                poner(d.car);
                n = d.bytes;
            }
        }
        EXPECT_FALSE(dec) << "el cuadro acaba con el juego DEC puesto";
        EXPECT_TRUE(envuelto || filas_tocadas.size() < 2)
            << "varias filas fuera de la salida sincronizada";
        return std::exchange(campanas, 0);
    }
    // Aplica una CSI (sin el "ESC [") y devuelve dónde está su byte final.
    std::size_t orden(std::string_view b, char32_t antes) {
        const bool q = b.starts_with('?'), libre = !q && !pendiente;
        std::size_t j = q;
        std::vector<int> p{0};
        for (; j < b.size() && (b[j] == ';' || (b[j] >= '0' && b[j] <= '9')); ++j) {
            if (b[j] == ';')
                p.push_back(0);
            else
                p.back() = p.back() * 10 + (b[j] - '0');
        }
        const char f = j < b.size() ? b[j] : 0;
        const int n = std::max(1, p[0]), dx = (f == 'C') - (f == 'D'), dy = (f == 'B') - (f == 'A');
        if (f == 'H' && !q && p.size() <= 2 && n <= filas && p.back() <= columnas) {
            cy = n - 1;
            cx = p.size() > 1 ? std::max(1, p[1]) - 1 : 0;
            pendiente = false;
        } else if (f == 'm' && !q) {
            for (int v : p) {
                const int decena = v >= 90 ? v / 10 - 6 : v / 10; // 9x y 10x: los claros
                EXPECT_TRUE(
                    v == 0 || (cap.colores == 8 && (v == 1 || v == 22)) ||
                    (v % 10 < 8 && (decena == 3 || decena == 4) && (v < 90 || cap.colores == 16)))
                    << v;
                negrita = v == 1 || (negrita && v > 1 && v != 22);
                if (v == 0 || (v >= 30 && decena != 4)) texto = v;
                if (v == 0 || decena == 4) fondo = v;
            }
        } else if (f == 'J' && !q && p[0] == 2) {
            for (int y = 0; y < filas; ++y)
                borrar(y, 0, columnas);
        } else if (f == 'K' && libre && p[0] == 0 && cap.borrar_linea)
            borrar(cy, cx, columnas);
        else if (f == 'X' && libre && cap.borrar_caracteres)
            borrar(cy, cx, cx + n);
        else if (f == 'b' && libre && cap.repetir && antes && cx + n <= columnas)
            for (int k = 0; k < n; ++k)
                poner(antes);
        else if ((dx || dy) && libre && cap.mover_relativo && cx + dx * n >= 0 &&
                 cx + dx * n < columnas && cy + dy * n >= 0 && cy + dy * n < filas) {
            cx += dx * n;
            cy += dy * n;
        } else if (q && p[0] == 25 && (f == 'h' || f == 'l'))
            visible = f == 'h';
        else if (q && p[0] == 2026 && sinc != (f == 'h'))
            sinc = f == 'h';
        else
            ADD_FAILURE() << "secuencia desconocida, sin capacidad o mal anidada: ESC["
                          << b.substr(0, j + 1);
        return j;
    }
    void poner(char32_t c) {
        const bool mapa = dec && c >= 0x5F && c <= 0x7E;
        const std::size_t letra = mapa ? LETRAS_DEC.find(c) : 0;
        if ((c >= 0x80 && c <= 0x9F) || letra == LETRAS_DEC.npos || pendiente)
            return ADD_FAILURE() << "carácter " << int(c)
                                 << ": C1, letra con el juego DEC o tras la última columna";
        filas_tocadas.insert(cy);
        celdas[cy * columnas + cx] = {mapa ? CAJAS[letra] : c,
                                      negrita && texto < 38 ? texto + 60 : texto, fondo};
        ultimo = c;
        pendiente = cx + 1 == columnas;
        cx += pendiente ? 0 : 1;
    }
};

// Compara todo el terminal con la ventana de la pantalla, y el cursor. De un blanco solo se ve
// el fondo; con ocho colores, los fondos claros se ven como los oscuros. Lo que no mide una
// celda sale como '?', y las cajas como el terminal puede.
void comparar(Terminal& t, const Pantalla& p, const Capacidades& cap) {
    for (int i = 0; i < t.columnas * t.filas && !::testing::Test::HasFailure(); ++i) {
        const auto [car, atributo] = celda_visible(p, i % t.columnas, i / t.columnas, cap);
        const int fondo = cap.colores ? ANSI[atributo >> 4] + 10 : 0;
        const Vista& vista = t.celdas[i];
        const int texto = car == U' ' ? std::get<1>(vista) : cap.colores ? ANSI[atributo & 15] : 0;
        EXPECT_EQ(vista, std::tuple(car, texto, fondo))
            << "celda " << i % t.columnas << ',' << i / t.columnas;
    }
    EXPECT_EQ(t.visible, p.cursor_visible());
    if (p.cursor_visible()) {
        EXPECT_EQ(std::tuple(t.cx, t.cy, t.pendiente),
                  std::tuple(p.cursor_x() - p.ventana_x(), p.cursor_y() - p.ventana_y(), false));
    }
}

} // namespace

TEST(Volcado, CambiosAlAzarDejanElTerminalIgualQueLaPantalla) {
    Capacidades dec = XTERM;
    dec.utf8 = false;
    dec.cajas = Cajas::dec;
    Capacidades ascii = TMUX;
    ascii.utf8 = false;
    ascii.cajas = Cajas::ascii;
    Capacidades gris = TMUX;
    gris.colores = 0;
    const Tamano tamanos[] = {{80, 50},  {80, 24}, {100, 60}, {40, 12},
                              {120, 30}, {30, 10}, {81, 51}};
    std::mt19937 azar(1234);
    const Capacidades modos[] = {Capacidades{}, XTERM, TMUX, LINUX,
                                 dec,           ascii, gris, Capacidades{.utf8 = false}};
    for (const Capacidades& cap : modos) {
        Tamano tam = NORMAL;
        Pantalla p;
        Volcado v(cap);
        Terminal t{cap, tam.columnas, tam.filas};
        for (int ronda = 0; ronda < 300 && !HasFailure(); ++ronda) {
            SCOPED_TRACE(::testing::Message() << "modo " << &cap - modos << ", ronda " << ronda);
            int campanas = 0;
            for (int op = entre(azar, 0, 3); op > 0; --op) {
                const int que = entre(azar, 0, 99);
                campanas += cambio_al_azar(p, que, azar);
                if (que >= 85 && que < 90) {
                    tam = tamanos[entre(azar, 0, std::size(tamanos) - 1)];
                    p.tamano_ventana(tam.columnas, tam.filas);
                }
                if (que >= 90 && que < 93)
                    v.olvidar(); // y el terminal ya no enseña lo que el volcado cree
                if ((que >= 90 && que < 93) || tam.columnas != t.columnas || tam.filas != t.filas)
                    t = Terminal{cap, tam.columnas, tam.filas};
            }
            EXPECT_EQ(t.recibir(v.cuadro(p, tam)), campanas > 0 ? 1 : 0);
            // Por debajo del mínimo solo se ve el aviso (su texto lo prueban las pantallas y tmux):
            // de lo que había antes en el terminal no puede quedar nada.
            if (tam.columnas >= MIN_COLUMNAS && tam.filas >= MIN_FILAS)
                comparar(t, p, cap);
            else
                EXPECT_EQ(std::ranges::count(t.celdas | std::views::keys, U'#'), 0);
            EXPECT_EQ(v.cuadro(p, tam), "") << "otro cuadro sin cambios no manda nada";
        }
    }
}

TEST(Volcado, TrucosDeBytesSoloDondeElTerminalLosEntiende) {
    // Lo de antes y lo de después en la fila 6 desde la columna 11, blanco sobre azul; el cursor
    // oculto se queda tras lo último escrito (tras un repintado sin bce, al final de la pantalla).
    const std::tuple<Capacidades, const char*, std::string, const char*> casos[] = {
        {XTERM, "hola", "    ", "\b\b\b\b\x1b[K"},                   // cola en blanco: EL
        {TMUX, "hola", "    ", "\x1b[6;11H    "},                    // sin bce, espacios
        {LINUX, "a0123456789b", "a          b", "\x1b[11D\x1b[10X"}, // en medio: ECH
        {XTERM, "", "====================", "\x1b[6;11H=\x1b[19b"},  // repetición: REP
        {XTERM, "", "──", "\x1b[6;11H──"},                           // solo de ASCII
        {TMUX, "a     b", "c     d", "\x1b[6;11Hc\x1b[5Cd"},         // saltar: CUF
        // Puntos hebreos, marcas árabes, vocales tailandesas, el selector de emoji y la unión de
        // ancho cero no ocupan celda; ideogramas y emojis, dos; lo no asignado no se sabe: '?'.
        {TMUX, "", "ñ\u05B4\u064E\u0E31\uFE0F\u200D\u0301一\U0001F600\u0378",
         "\x1b[6;11Hñ?????????"},
        // REP hasta la última columna: dónde queda el cursor no se sabe, y se va con CUP.
        {XTERM, "", std::string(70, '=') + std::string(78, ' ') + "x",
         "\x1b[?2026h\x1b[6;11H=\x1b[69b\x1b[7;79Hx\x1b[?2026l"},
    };
    for (const auto& [cap, antes, despues, espera] : casos) {
        Pantalla p;
        Volcado v(cap);
        p.color_ventana(0x1F);
        p.cursor_visible(false);
        p.escribir("Quatrelo");
        p.mover_cursor(10, 5);
        p.escribir(antes);
        const std::string primero = v.cuadro(p, NORMAL);
        // Con bce, el primer cuadro borra con el fondo y escribe solo lo demás.
        if (&cap == &std::get<0>(casos[0])) {
            EXPECT_EQ(primero, "\x1b[?2026h\x1b[0m\x1b(B\x1b[97;44m\x1b[2J\x1b[HQuatrelo\x1b[6;"
                               "11Hhola\x1b[?25l\x1b[?2026l");
        }
        p.mover_cursor(10, 5);
        p.escribir(despues);
        // Una sola fila no lleva salida sincronizada (la última, dos filas, sí).
        EXPECT_EQ(v.cuadro(p, NORMAL), espera) << despues.substr(0, 20);
    }
}
