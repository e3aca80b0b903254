// Pruebas del volcado: un terminal de juguete recibe los cuadros y tiene que acabar enseñando lo
// mismo que la memoria de pantalla. Solo usa pantalla, texto y volcado; nada de E/S real.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "consola/pantalla.h"
#include "consola/texto.h"
#include "consola/volcado.h"

using namespace consola;

namespace {

// Lo que la paleta de Windows debe dar en ANSI, escrito a mano para no fiarse de la fórmula.
constexpr int TEXTO_ANSI[16] = {30, 34, 32, 36, 31, 35, 33, 37, 90, 94, 92, 96, 91, 95, 93, 97};
constexpr std::u32string_view CAJAS = U"─│┌┐└┘", LETRAS_DEC = U"qxlkmj";
constexpr Tamano NORMAL{80, 50};

struct Vista {
    char32_t car = U' ';
    int texto = 0, fondo = 0; // códigos SGR; 0 = los del terminal
};

// Un terminal que entiende solo lo que el volcado puede mandar y da la prueba por fallida con
// todo lo demás: una secuencia desconocida o un byte de control suelto no deben salir nunca.
// Empieza como lo deja otro programa o una suspensión: nada de lo que el volcado suponga vale.
struct Terminal {
    int columnas, filas;
    bool utf8 = true;
    std::vector<Vista> celdas =
        std::vector<Vista>(static_cast<std::size_t>(columnas * filas), {U'#', 31, 41});
    int cx = columnas / 2, cy = filas / 2, texto = 31, fondo = 41;
    bool pendiente = false; // escrita la última columna: el siguiente carácter saltaría
    bool cursor_visible = true, sincronizado = false, dec = false;

    Vista& celda(int x, int y) { return celdas[static_cast<std::size_t>(y * columnas + x)]; }
    std::string fila(int y) {
        std::string r;
        for (int x = 0; x < columnas; ++x)
            r += consola::utf8(celda(x, y).car);
        return r.erase(r.find_last_not_of(' ') + 1);
    }

    // Recibe un cuadro entero y devuelve cuántas campanas traía.
    int recibir(std::string_view b) {
        if (b.empty()) return 0;
        EXPECT_TRUE(b.starts_with("\x1b[?2026h") && b.ends_with("\x1b[?2026l")) << b;
        int campanas = 0;
        while (!b.empty() && !::testing::Test::HasFailure()) {
            std::size_t n = 1;
            if (b[0] == '\a')
                ++campanas;
            else if (b.starts_with("\x1b(0") || b.starts_with("\x1b(B"))
                dec = b[2] == '0', n = 3;
            else if (b.starts_with("\x1b["))
                n = 2 + orden(b.substr(2));
            else if (static_cast<unsigned char>(b[0]) < 0x20 || b[0] == 0x7F)
                ADD_FAILURE() << "byte de control crudo " << int(b[0]);
            else
                n = caracter(b);
            b.remove_prefix(std::min(n, b.size()));
        }
        EXPECT_FALSE(dec) << "el cuadro acaba con el juego DEC puesto";
        return campanas;
    }

    // Aplica una CSI (sin el "ESC [") y devuelve cuántos bytes ocupa.
    std::size_t orden(std::string_view b) {
        const bool privada = b.starts_with('?');
        std::size_t j = privada;
        std::vector<int> p{0};
        for (; j < b.size() && (b[j] == ';' || (b[j] >= '0' && b[j] <= '9')); ++j)
            b[j] == ';' ? p.push_back(0) : void(p.back() = p.back() * 10 + (b[j] - '0'));
        const char f = j < b.size() ? b[j] : '\0';
        const bool modo = privada && (f == 'h' || f == 'l') && p.size() == 1;
        if (!privada && f == 'H' && p.size() == 2 && p[0] >= 1 && p[0] <= filas && p[1] >= 1 &&
            p[1] <= columnas) {
            cy = p[0] - 1, cx = p[1] - 1, pendiente = false;
        } else if (!privada && f == 'm') {
            for (int v : p) {
                const int decena = v >= 90 ? v / 10 - 6 : v / 10; // 9x y 10x: los claros
                EXPECT_TRUE(v == 0 || (v % 10 < 8 && (decena == 3 || decena == 4))) << "SGR " << v;
                (decena == 4 ? fondo : texto) = v;
                if (v == 0) texto = fondo = 0;
            }
        } else if (!privada && f == 'J' && p == std::vector{2}) {
            celdas.assign(celdas.size(), {U' ', texto, fondo});
        } else if (modo && p[0] == 25) {
            cursor_visible = f == 'h';
        } else if (modo && p[0] == 2026 && sincronizado != (f == 'h')) {
            sincronizado = f == 'h';
        } else {
            ADD_FAILURE() << "secuencia desconocida o mal anidada: ESC[" << b.substr(0, j + 1);
        }
        return j + 1;
    }

    std::size_t caracter(std::string_view b) {
        // decodificar da un byte alto que no empieza UTF-8 válido por su carácter de la 437.
        const Decodificado d = decodificar(b, 0);
        const bool bien = static_cast<unsigned char>(b[0]) < 0x80 || (utf8 && d.bytes > 1);
        const std::size_t letra = dec ? LETRAS_DEC.find(d.car) : 0;
        if (!bien || (d.car >= 0x80 && d.car <= 0x9F) || letra == LETRAS_DEC.npos || pendiente ||
            !sincronizado) {
            ADD_FAILURE() << "carácter " << int(d.car) << " mal formado, C1, fuera de la salida "
                          << "sincronizada, tras la última columna o con el juego DEC";
            return b.size();
        }
        celda(cx, cy) = {dec ? CAJAS[letra] : d.car, texto, fondo};
        pendiente = cx + 1 == columnas;
        cx += !pendiente;
        return d.bytes;
    }
};

char32_t glifo_esperado(char32_t c, const Capacidades& cap) {
    if (c < 0x20 || c == 0x7F) c = cp437(static_cast<unsigned char>(c));
    if (c < 0x80) return c;
    if (c <= 0x9F || c == U'一') return U'?';
    if (CAJAS.find(c) == CAJAS.npos) return cap.utf8 ? c : U'?';
    if (cap.cajas != Cajas::ascii && cap.utf8) return c;
    return c == U'─' ? U'-' : c == U'│' ? U'|' : U'+';
}

// Compara todo el terminal con la ventana de la pantalla, y el cursor.
void comparar(Terminal& t, const Pantalla& p, const Capacidades& cap) {
    for (int i = 0; i < t.columnas * t.filas; ++i) {
        const int bx = p.ventana_x() + i % t.columnas, by = p.ventana_y() + i / t.columnas;
        const Celda c =
            bx < ANCHO && by < ALTO ? p.celda(bx, by) : Celda{U' ', p.atributo_ventana()};
        const Vista& v = t.celdas[static_cast<std::size_t>(i)];
        const int texto = cap.colores ? TEXTO_ANSI[c.atributo & 15] : 0;
        const int fondo = cap.colores ? TEXTO_ANSI[(c.atributo >> 4) & 15] + 10 : 0;
        if (v.car != glifo_esperado(c.car, cap) || v.texto != texto || v.fondo != fondo) {
            ADD_FAILURE() << "celda " << i % t.columnas << ',' << i / t.columnas << ": "
                          << int(v.car) << ' ' << v.texto << '/' << v.fondo << " por " << int(c.car)
                          << '/' << c.atributo;
            return;
        }
    }
    EXPECT_EQ(t.cursor_visible, p.cursor_visible());
    if (p.cursor_visible()) {
        EXPECT_EQ(std::tuple(t.cx, t.cy, t.pendiente),
                  std::tuple(p.cursor_x() - p.ventana_x(), p.cursor_y() - p.ventana_y(), false));
    }
}

// En un terminal demasiado pequeño solo se ve el aviso, en renglones partidos por palabras.
void comparar_aviso(Terminal& t) {
    std::string visto;
    for (int y = 0; y < t.filas; ++y)
        visto += t.fila(y).empty() ? "" : (visto.empty() ? "" : " ") + t.fila(y);
    EXPECT_EQ(visto, "Quatrelo necesita una ventana de al menos 40x12. Ahora tiene " +
                         std::to_string(t.columnas) + 'x' + std::to_string(t.filas) + '.');
    EXPECT_FALSE(t.cursor_visible);
    EXPECT_TRUE(std::ranges::all_of(t.celdas, [](Vista c) { return c.texto + c.fondo == 0; }))
        << "el aviso sale con los colores del terminal";
}

// Escribe s en (x, y) y devuelve el cuadro que pone al día el terminal.
std::string poner(Volcado& v, Pantalla& p, int x, int y, std::string_view s) {
    p.mover_cursor(x, y);
    p.escribir(s);
    return v.cuadro(p, NORMAL);
}

} // namespace

TEST(Volcado, CambiosAlAzarDejanElTerminalIgualQueLaPantalla) {
    const Capacidades modos[] = {{true, Cajas::unicode, 16},
                                 {true, Cajas::dec, 16},
                                 {false, Cajas::ascii, 16},
                                 {true, Cajas::unicode, 0},
                                 {false, Cajas::unicode, 16}};
    const char* piezas[] = {"a",    "Z",  "7",  " ",    "ñ",    "é",      "─",         "│",  "┌",
                            "┐",    "└",  "┘",  "\x1b", "\x01", "\x7f",   "\xc2\x9b",  "一", "\x9b",
                            "\xff", "\n", "\t", "\r",   "\a",   "qxlkmj", "0123456789"};
    const Tamano tamanos[] = {{80, 50}, {80, 24}, {100, 60}, {40, 12}, {120, 30},
                              {30, 10}, {28, 10}, {79, 49},  {81, 51}};

    for (const Capacidades& cap : modos) {
        std::mt19937 azar(1234);
        auto entre = [&](int a, int b) { return std::uniform_int_distribution<int>(a, b)(azar); };
        Pantalla p;
        Volcado v(cap);
        Tamano tam = NORMAL;
        Terminal t{tam.columnas, tam.filas, cap.utf8};
        int campanas = 0;
        for (int ronda = 0; ronda < 600 && !HasFailure(); ++ronda) {
            SCOPED_TRACE("modo " + std::to_string(&cap - modos) + ", ronda " +
                         std::to_string(ronda));
            for (int op = entre(0, 3); op > 0; --op) {
                const int que = entre(0, 99);
                if (que < 40) {
                    std::string s;
                    for (int n = entre(1, 30); n > 0; --n)
                        s += piezas[entre(0, std::size(piezas) - 1)];
                    campanas += static_cast<int>(std::ranges::count(s, '\a'));
                    p.escribir(s);
                } else if (que < 55) {
                    p.fijar_atributo(static_cast<std::uint16_t>(entre(0, 9) == 0 ? entre(0, 0xFFFF)
                                                                                 : entre(0, 255)));
                } else if (que < 70) {
                    p.mover_cursor(entre(-2, 81), entre(-2, 51));
                } else if (que < 75) {
                    p.limpiar();
                } else if (que < 78) {
                    p.color_ventana(static_cast<std::uint16_t>(entre(0, 255)));
                } else if (que < 85) {
                    p.cursor_visible(!p.cursor_visible());
                } else if (que < 90) {
                    tam = tamanos[entre(0, std::size(tamanos) - 1)];
                    p.tamano_ventana(tam.columnas, tam.filas);
                    if (tam.columnas != t.columnas || tam.filas != t.filas)
                        t = Terminal{tam.columnas, tam.filas, cap.utf8};
                } else if (que < 93) {
                    v.olvidar(); // y el terminal ya no enseña lo que el volcado cree
                    t = Terminal{tam.columnas, tam.filas, cap.utf8};
                }
            }
            EXPECT_EQ(t.recibir(v.cuadro(p, tam)), campanas > 0 ? 1 : 0);
            campanas = 0;
            if (tam.columnas >= MIN_COLUMNAS && tam.filas >= MIN_FILAS)
                comparar(t, p, cap);
            else
                comparar_aviso(t);
            EXPECT_EQ(v.cuadro(p, tam), "") << "otro cuadro sin cambios no manda nada";
        }
    }
}

TEST(Volcado, UnaCeldaCuestaPocoYJuntaTramosCercanos) {
    Pantalla p;
    Volcado v({});
    v.cuadro(p, NORMAL);
    const std::string uno = poner(v, p, 10, 5, "X");
    EXPECT_TRUE(uno.size() < 30 && uno.find('X') != std::string::npos) << uno;

    // Cuatro celdas sin cambios en medio se reescriben con una sola CUP; con cinco sale más a
    // cuenta saltar.
    p.cursor_visible(false);
    std::string cuadro = poner(v, p, 10, 8, "A    B");
    EXPECT_TRUE(std::ranges::count(cuadro, 'H') == 1 && cuadro.find("A    B") != cuadro.npos)
        << cuadro;
    cuadro = poner(v, p, 10, 9, "C     D");
    EXPECT_EQ(std::ranges::count(cuadro, 'H'), 2) << cuadro;

    // El cursor oculto se mueve sin mandar nada; los bits del atributo que no son color no se ven.
    p.fijar_atributo(0x1007);
    EXPECT_EQ(poner(v, p, 10, 9, "C"), "");
    p.fijar_atributo(12 + 16 * 15);
    EXPECT_NE(poner(v, p, 0, 0, "r").find("\x1b[91;107mr"), std::string::npos);
    // Sin colores, un cambio que solo es de color tampoco.
    Volcado gris({true, Cajas::unicode, 0});
    gris.cuadro(p, NORMAL);
    p.color_ventana(0x2A);
    EXPECT_EQ(gris.cuadro(p, NORMAL), "");
}

TEST(Volcado, NingunControlDelJuegoLlegaCrudoAlTerminal) {
    Pantalla p;
    Volcado v({});
    // Un ESC del juego se ve como ←; C1, ideogramas, marcas combinantes y emojis como '?'.
    p.escribir("a\x1b[2Jb\xc2\x9b"
               "c一d\u0301\U0001F600\x07\x01");
    Terminal t{80, 50}; // falla con cualquier ESC que no sea del volcado
    EXPECT_EQ(t.recibir(v.cuadro(p, NORMAL)), 1);
    EXPECT_EQ(t.fila(0), "a←[2Jb?c?d??☺");
}
