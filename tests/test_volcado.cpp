// Pruebas del volcado: un terminal de juguete recibe los cuadros y tiene que acabar enseñando lo
// mismo que la memoria de pantalla. Solo usa pantalla, texto y volcado; nada de E/S real.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "consola/pantalla.h"
#include "consola/texto.h"
#include "consola/volcado.h"

using namespace consola;

namespace {

// Lo que la paleta de Windows debe dar en ANSI, escrito a mano para no fiarse de la fórmula.
constexpr int TEXTO_ANSI[16] = {30, 34, 32, 36, 31, 35, 33, 37, 90, 94, 92, 96, 91, 95, 93, 97};

struct CeldaVista {
    char32_t car = U' ';
    int texto = 0; // código SGR; 0 = el del terminal
    int fondo = 0;
};

// Un terminal mínimo que entiende lo que el volcado puede mandar y suspende con todo lo demás:
// una secuencia desconocida o un byte de control suelto es justo lo que no debe salir nunca.
class TerminalDePrueba {
  public:
    TerminalDePrueba(int ancho, int alto, bool utf8 = true)
        : columnas(ancho), filas(alto), utf8_(utf8),
          celdas_(static_cast<std::size_t>(ancho * alto)) {}

    // Lo que enseñe un terminal del que no sabemos nada (tras una suspensión, otro programa...).
    void ensuciar() {
        for (auto& c : celdas_)
            c = CeldaVista{U'#', 31, 41};
        texto = 31;
        fondo = 41;
        cx = columnas / 2;
        cy = filas / 2;
    }

    const CeldaVista& celda(int x, int y) const {
        return celdas_[static_cast<std::size_t>(y * columnas + x)];
    }

    std::string fila(int y) const {
        std::string r;
        for (int x = 0; x < columnas; ++x)
            r += utf8(celda(x, y).car);
        return r;
    }

    void recibir(std::string_view b) {
        std::size_t i = 0;
        while (i < b.size() && !::testing::Test::HasFailure()) {
            const auto c = static_cast<unsigned char>(b[i]);
            if (c == 0x1B) {
                i = escape(b, i);
            } else if (c == '\a') {
                ++campanas;
                ++i;
            } else if (c < 0x20 || c == 0x7F) {
                ADD_FAILURE() << "byte de control crudo " << int(c) << " en " << i;
                ++i;
            } else {
                i = caracter(b, i);
            }
        }
    }

    int columnas, filas;
    int cx = 0, cy = 0;     // el cursor
    bool pendiente = false; // escrita la última columna: el siguiente carácter saltaría
    bool cursor_visible = true, sincronizado = false, dec = false;
    int texto = 0, fondo = 0, campanas = 0;

  private:
    std::size_t escape(std::string_view b, std::size_t i) {
        if (i + 2 < b.size() && b[i + 1] == '(' && (b[i + 2] == '0' || b[i + 2] == 'B')) {
            dec = b[i + 2] == '0';
            return i + 3;
        }
        if (i + 1 >= b.size() || b[i + 1] != '[') {
            ADD_FAILURE() << "ESC suelto o desconocido en " << i;
            return i + 1;
        }
        std::size_t j = i + 2;
        const bool privado = j < b.size() && b[j] == '?';
        if (privado) ++j;
        std::vector<int> p{0};
        for (; j < b.size() && ((b[j] >= '0' && b[j] <= '9') || b[j] == ';'); ++j) {
            if (b[j] == ';')
                p.push_back(0);
            else
                p.back() = p.back() * 10 + (b[j] - '0');
        }
        if (j >= b.size()) {
            ADD_FAILURE() << "secuencia cortada en " << i;
            return j;
        }
        orden(b[j], privado, p, i);
        return j + 1;
    }

    void orden(char final, bool privado, const std::vector<int>& p, std::size_t donde) {
        if (!privado && final == 'H' && p.size() == 2) {
            if (p[0] < 1 || p[0] > filas || p[1] < 1 || p[1] > columnas)
                ADD_FAILURE() << "CUP fuera del terminal: " << p[0] << ';' << p[1];
            cy = p[0] - 1;
            cx = p[1] - 1;
            pendiente = false;
        } else if (!privado && final == 'm') {
            for (int v : p) {
                if (v == 0)
                    texto = fondo = 0;
                else if ((v >= 30 && v <= 37) || (v >= 90 && v <= 97))
                    texto = v;
                else if ((v >= 40 && v <= 47) || (v >= 100 && v <= 107))
                    fondo = v;
                else
                    ADD_FAILURE() << "SGR desconocido " << v;
            }
        } else if (!privado && final == 'J' && p == std::vector<int>{2}) {
            for (auto& c : celdas_)
                c = CeldaVista{U' ', texto, fondo};
        } else if (privado && (final == 'h' || final == 'l') && p.size() == 1 && p[0] == 25) {
            cursor_visible = final == 'h';
        } else if (privado && (final == 'h' || final == 'l') && p.size() == 1 && p[0] == 2026) {
            if (sincronizado == (final == 'h')) ADD_FAILURE() << "salida sincronizada mal anidada";
            sincronizado = final == 'h';
        } else {
            ADD_FAILURE() << "secuencia desconocida terminada en '" << final << "' en " << donde;
        }
    }

    std::size_t caracter(std::string_view b, std::size_t i) {
        const auto c0 = static_cast<unsigned char>(b[i]);
        const std::size_t n = c0 < 0x80             ? 1
                              : (c0 & 0xE0) == 0xC0 ? 2
                              : (c0 & 0xF0) == 0xE0 ? 3
                              : (c0 & 0xF8) == 0xF0 ? 4
                                                    : 0;
        if (n == 0 || i + n > b.size() || (!utf8_ && n > 1)) {
            ADD_FAILURE() << "byte " << int(c0) << " no válido aquí, en " << i;
            return i + 1;
        }
        char32_t c = n == 1 ? c0 : c0 & (0x7F >> n);
        for (std::size_t k = 1; k < n; ++k) {
            const auto ck = static_cast<unsigned char>(b[i + k]);
            if ((ck & 0xC0) != 0x80) ADD_FAILURE() << "UTF-8 roto en " << i;
            c = (c << 6) | (ck & 0x3F);
        }
        if (c >= 0x80 && c <= 0x9F) ADD_FAILURE() << "carácter C1 " << int(c) << " en " << i;
        if (pendiente) ADD_FAILURE() << "escribe tras la última columna sin recolocar el cursor";
        if (!sincronizado) ADD_FAILURE() << "texto fuera de la salida sincronizada";
        if (dec) {
            const std::u32string_view letras = U"qxlkmj", cajas = U"─│┌┐└┘";
            const std::size_t k = letras.find(c);
            if (k == std::u32string_view::npos)
                ADD_FAILURE() << "carácter " << int(c) << " con el juego DEC";
            else
                c = cajas[k];
        }
        celdas_[static_cast<std::size_t>(cy * columnas + cx)] = CeldaVista{c, texto, fondo};
        if (cx + 1 < columnas)
            ++cx;
        else
            pendiente = true;
        return i + n;
    }

    bool utf8_;
    std::vector<CeldaVista> celdas_;
};

// Pasa un cuadro al terminal comprobando el envoltorio; devuelve las campanas que traía.
int reproducir(TerminalDePrueba& t, const std::string& cuadro) {
    if (cuadro.empty()) return 0;
    EXPECT_TRUE(cuadro.starts_with("\x1b[?2026h")) << "no empieza con la salida sincronizada";
    EXPECT_TRUE(cuadro.ends_with("\x1b[?2026l")) << "no acaba con la salida sincronizada";
    const int antes = t.campanas;
    t.recibir(cuadro);
    EXPECT_FALSE(t.dec) << "el cuadro acaba con el juego DEC puesto";
    return t.campanas - antes;
}

char32_t glifo_esperado(char32_t c, const Capacidades& cap) {
    if (c < 0x20 || c == 0x7F) c = cp437(static_cast<unsigned char>(c));
    if (c < 0x80) return c;
    if (c <= 0x9F || c == U'一') return U'?';
    const std::u32string_view cajas = U"─│┌┐└┘";
    if (cajas.find(c) != std::u32string_view::npos) {
        if (cap.cajas == Cajas::ascii || !cap.utf8)
            return c == U'─' ? U'-' : c == U'│' ? U'|' : U'+';
        return c;
    }
    return cap.utf8 ? c : U'?';
}

// Compara todo el terminal con la ventana de la pantalla, y el cursor.
void comparar(const TerminalDePrueba& t, const Pantalla& p, const Capacidades& cap) {
    for (int ty = 0; ty < t.filas; ++ty) {
        for (int tx = 0; tx < t.columnas; ++tx) {
            const int bx = p.ventana_x() + tx, by = p.ventana_y() + ty;
            const Celda c =
                bx < ANCHO && by < ALTO ? p.celda(bx, by) : Celda{U' ', p.atributo_ventana()};
            const CeldaVista& v = t.celda(tx, ty);
            const int texto = cap.color ? TEXTO_ANSI[c.atributo & 15] : 0;
            const int fondo = cap.color ? TEXTO_ANSI[(c.atributo >> 4) & 15] + 10 : 0;
            if (v.car != glifo_esperado(c.car, cap) || v.texto != texto || v.fondo != fondo) {
                ADD_FAILURE() << "celda " << tx << ',' << ty << ": terminal " << int(v.car) << ' '
                              << v.texto << '/' << v.fondo << ", pantalla " << int(c.car)
                              << " atributo " << c.atributo;
                return;
            }
        }
    }
    EXPECT_EQ(t.cursor_visible, p.cursor_visible());
    if (p.cursor_visible()) {
        EXPECT_FALSE(t.pendiente);
        EXPECT_EQ(t.cx, p.cursor_x() - p.ventana_x());
        EXPECT_EQ(t.cy, p.cursor_y() - p.ventana_y());
    }
}

// Las secuencias CSI de un cuadro, sin el ESC[ inicial.
std::vector<std::string> secuencias(const std::string& cuadro) {
    std::vector<std::string> r;
    for (std::size_t i = cuadro.find("\x1b["); i != std::string::npos;
         i = cuadro.find("\x1b[", i + 1)) {
        std::size_t j = i + 2;
        while (j < cuadro.size() &&
               (cuadro[j] == '?' || cuadro[j] == ';' || (cuadro[j] >= '0' && cuadro[j] <= '9')))
            ++j;
        r.push_back(cuadro.substr(i + 2, j + 1 - (i + 2)));
    }
    return r;
}

int contar(const std::string& s, std::string_view que) {
    int n = 0;
    for (std::size_t i = s.find(que); i != std::string::npos; i = s.find(que, i + 1))
        ++n;
    return n;
}

} // namespace

TEST(Volcado, CambiosAlAzarDejanElTerminalIgualQueLaPantalla) {
    const Capacidades modos[] = {
        {true, Cajas::unicode, true, 50},  {true, Cajas::dec, true, 50},
        {false, Cajas::ascii, true, 50},   {true, Cajas::unicode, false, 50},
        {false, Cajas::unicode, true, 50},
    };
    const char* piezas[] = {"a",    "Z",  "7",  " ",    "ñ",    "é",      "─",         "│",  "┌",
                            "┐",    "└",  "┘",  "\x1b", "\x01", "\x7f",   "\xc2\x9b",  "一", "\x9b",
                            "\xff", "\n", "\t", "\r",   "\a",   "qxlkmj", "0123456789"};
    const Tamano tamanos[] = {{80, 50},  {80, 24}, {100, 60}, {40, 12},
                              {120, 30}, {30, 10}, {79, 49},  {81, 51}};

    for (const Capacidades& cap : modos) {
        SCOPED_TRACE("utf8=" + std::to_string(cap.utf8) + " cajas=" +
                     std::to_string(int(cap.cajas)) + " color=" + std::to_string(cap.color));
        std::mt19937 azar(1234);
        auto entre = [&](int a, int b) { return std::uniform_int_distribution<int>(a, b)(azar); };
        Pantalla p;
        Volcado v(cap);
        Tamano tam{80, 50};
        TerminalDePrueba t(tam.columnas, tam.filas, cap.utf8);
        t.ensuciar();
        int campanas = 0;
        for (int ronda = 0; ronda < 600 && !HasFailure(); ++ronda) {
            SCOPED_TRACE("ronda " + std::to_string(ronda));
            for (int op = entre(0, 3); op > 0; --op) {
                const int que = entre(0, 99);
                if (que < 40) {
                    std::string s;
                    for (int n = entre(1, 30); n > 0; --n)
                        s += piezas[entre(0, std::size(piezas) - 1)];
                    campanas += contar(s, "\a");
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
                    if (tam.columnas != t.columnas || tam.filas != t.filas) {
                        t = TerminalDePrueba(tam.columnas, tam.filas, cap.utf8);
                        t.ensuciar();
                    }
                } else if (que < 93) {
                    v.olvidar();
                    t.ensuciar();
                }
            }
            const std::string cuadro = v.cuadro(p, tam);
            EXPECT_EQ(reproducir(t, cuadro), campanas > 0 ? 1 : 0);
            campanas = 0;
            if (tam.columnas >= MIN_COLUMNAS && tam.filas >= MIN_FILAS) comparar(t, p, cap);
            // Otro cuadro sin cambios no manda nada.
            EXPECT_EQ(v.cuadro(p, tam), "");
        }
    }
}

TEST(Volcado, UnaCeldaCuestaPocoYJuntaTramosCercanos) {
    Pantalla p;
    Volcado v({});
    EXPECT_NE(v.cuadro(p, {80, 50}), "");
    EXPECT_EQ(v.cuadro(p, {80, 50}), "");

    p.mover_cursor(10, 5);
    p.escribir("X");
    const std::string uno = v.cuadro(p, {80, 50});
    EXPECT_LT(uno.size(), 30u) << uno;
    EXPECT_NE(uno.find('X'), std::string::npos);

    // Cuatro celdas sin cambios en medio: se reescriben y basta una sola CUP.
    p.mover_cursor(10, 8);
    p.escribir("A");
    p.mover_cursor(15, 8);
    p.escribir("B");
    p.cursor_visible(false);
    std::string cuadro = v.cuadro(p, {80, 50});
    EXPECT_EQ(contar(cuadro, "H"), 1) << cuadro;
    EXPECT_NE(cuadro.find("A    B"), std::string::npos) << cuadro;
    // Con cinco ya sale a cuenta saltar: dos tramos.
    p.mover_cursor(10, 9);
    p.escribir("C");
    p.mover_cursor(16, 9);
    p.escribir("D");
    cuadro = v.cuadro(p, {80, 50});
    EXPECT_EQ(contar(cuadro, "H"), 2) << cuadro;
    // El cursor oculto puede moverse sin que haga falta mandar nada; los bits del atributo que
    // no son color tampoco se ven.
    p.mover_cursor(10, 9);
    p.fijar_atributo(0x1007);
    p.escribir("C");
    EXPECT_EQ(v.cuadro(p, {80, 50}), "");
}

TEST(Volcado, ColoresDeWindowsAAnsiYSinColor) {
    Pantalla p;
    Volcado v({});
    v.cuadro(p, {80, 50});
    p.fijar_atributo(12 + 16 * 15);
    p.escribir("r");
    EXPECT_NE(v.cuadro(p, {80, 50}).find("\x1b[91;107m"), std::string::npos);
    p.fijar_atributo(14 + 16 * 15);
    p.escribir("a");
    EXPECT_NE(v.cuadro(p, {80, 50}).find("\x1b[93;107m"), std::string::npos);

    Capacidades sin_color;
    sin_color.color = false;
    Volcado gris(sin_color);
    Pantalla q;
    q.color_ventana(0x4E);
    q.fijar_atributo(0x9C);
    q.escribir("hola");
    std::string todo = gris.cuadro(q, {80, 50});
    q.color_ventana(0x1F);
    q.escribir("adiós");
    todo += gris.cuadro(q, {80, 50});
    // Un cambio que solo es de color no se nota: no hay nada que mandar.
    q.color_ventana(0x2A);
    EXPECT_EQ(gris.cuadro(q, {80, 50}), "");
    for (const std::string& s : secuencias(todo)) {
        if (s.ends_with("m")) {
            EXPECT_EQ(s, "0m");
        }
    }
    TerminalDePrueba t(80, 50);
    reproducir(t, todo);
    comparar(t, q, sin_color);
}

TEST(Volcado, NingunControlDelJuegoLlegaCrudoAlTerminal) {
    Pantalla p;
    Volcado v({});
    p.escribir("a\x1b[2Jb\xc2\x9b"
               "c一d\x07\x01");
    const std::string cuadro = v.cuadro(p, {80, 50});
    EXPECT_EQ(cuadro.find('\x9b'), std::string::npos);
    EXPECT_EQ(cuadro.find("一"), std::string::npos);
    EXPECT_EQ(cuadro.find("\x1b[2J"), std::string::npos);
    TerminalDePrueba t(80, 50); // suspende con cualquier ESC que no sea nuestro
    EXPECT_EQ(reproducir(t, cuadro), 1);
    EXPECT_TRUE(t.fila(0).starts_with("a←[2Jb?c?d☺ ")) << t.fila(0);
}

TEST(Volcado, CajasDecAsciiYSinUtf8) {
    auto dibujar = [](Pantalla& p) {
        p.escribir("a┌─┐b\n");
        p.escribir("q│ñ│x\n");
        p.escribir(" └─┘");
    };
    Capacidades dec;
    dec.cajas = Cajas::dec;
    Pantalla p;
    Volcado v(dec);
    dibujar(p);
    std::string cuadro = v.cuadro(p, {80, 50});
    EXPECT_NE(cuadro.find("a\x1b(0lqk\x1b(Bb"), std::string::npos) << cuadro;
    EXPECT_NE(cuadro.find("q\x1b(0x\x1b(Bñ\x1b(0x\x1b(Bx"), std::string::npos) << cuadro;
    TerminalDePrueba t(80, 50);
    reproducir(t, cuadro);
    EXPECT_TRUE(t.fila(1).starts_with("q│ñ│x ")) << t.fila(1);

    Capacidades ascii;
    ascii.cajas = Cajas::ascii;
    Volcado va(ascii);
    TerminalDePrueba ta(80, 50);
    reproducir(ta, va.cuadro(p, {80, 50}));
    EXPECT_TRUE(ta.fila(0).starts_with("a+-+b ")) << ta.fila(0);
    EXPECT_TRUE(ta.fila(1).starts_with("q|ñ|x ")) << ta.fila(1);
    EXPECT_TRUE(ta.fila(2).starts_with(" +-+ ")) << ta.fila(2);

    ascii.utf8 = false;
    Volcado vs(ascii);
    cuadro = vs.cuadro(p, {80, 50});
    for (char c : cuadro)
        EXPECT_LT(static_cast<unsigned char>(c), 0x80);
    TerminalDePrueba ts(80, 50, false);
    reproducir(ts, cuadro);
    EXPECT_TRUE(ts.fila(1).starts_with("q|?|x ")) << ts.fila(1);
}

TEST(Volcado, TerminalMayorMenorYDemasiadoPequeno) {
    const Capacidades cap{};
    Pantalla p;
    Volcado v(cap);
    p.color_ventana(0x1E);
    p.tamano_ventana(100, 60);
    TerminalDePrueba grande(100, 60);
    grande.ensuciar();
    reproducir(grande, v.cuadro(p, {100, 60}));
    comparar(grande, p, cap);
    for (auto [x, y] : {std::pair{85, 5}, {5, 55}, {99, 59}}) {
        EXPECT_EQ(grande.celda(x, y).car, U' ');
        EXPECT_EQ(grande.celda(x, y).texto, 93);
        EXPECT_EQ(grande.celda(x, y).fondo, 44);
    }

    p.tamano_ventana(80, 24);
    p.mover_cursor(3, 40);
    p.escribir("fila cuarenta");
    ASSERT_GT(p.ventana_y(), 0);
    TerminalDePrueba chica(80, 24);
    reproducir(chica, v.cuadro(p, {80, 24}));
    comparar(chica, p, cap);
    EXPECT_EQ(chica.fila(40 - p.ventana_y()).substr(3, 13), "fila cuarenta");

    TerminalDePrueba mini(30, 10);
    mini.ensuciar();
    const std::string aviso = v.cuadro(p, {30, 10});
    reproducir(mini, aviso);
    std::string visto;
    for (int y = 0; y < mini.filas; ++y) {
        std::string f = mini.fila(y);
        f.erase(f.find_last_not_of(' ') + 1);
        if (!f.empty()) visto += (visto.empty() ? "" : " ") + f;
    }
    EXPECT_EQ(visto, "Quatrelo necesita una ventana de al menos 40x12. Ahora tiene 30x10.");
    EXPECT_FALSE(mini.cursor_visible);
    for (auto [x, y] : {std::pair{0, 0}, {29, 9}}) {
        EXPECT_EQ(mini.celda(x, y).texto, 0);
        EXPECT_EQ(mini.celda(x, y).fondo, 0);
    }
    EXPECT_EQ(v.cuadro(p, {30, 10}), "");
    p.escribir("\a");
    EXPECT_EQ(v.cuadro(p, {30, 10}), "\x1b[?2026h\a\x1b[?2026l");
    EXPECT_NE(v.cuadro(p, {35, 11}).find("Ahora tiene 35x11."), std::string::npos);

    // De vuelta a un tamaño válido (el mismo de antes): se repinta entero.
    chica.ensuciar();
    reproducir(chica, v.cuadro(p, {80, 24}));
    comparar(chica, p, cap);
    // Y el aviso vuelve si se vuelve a encoger igual.
    EXPECT_NE(v.cuadro(p, {30, 10}).find("Ahora tiene 30x10."), std::string::npos);
}

TEST(Volcado, CampanaYCursor) {
    Pantalla p;
    Volcado v({});
    TerminalDePrueba t(80, 50);
    reproducir(t, v.cuadro(p, {80, 50}));
    EXPECT_TRUE(t.cursor_visible);

    p.escribir("\a\a");
    EXPECT_EQ(reproducir(t, v.cuadro(p, {80, 50})), 1);
    EXPECT_EQ(v.cuadro(p, {80, 50}), "");

    p.cursor_visible(false);
    std::string cuadro = v.cuadro(p, {80, 50});
    EXPECT_NE(cuadro.find("\x1b[?25l"), std::string::npos);
    reproducir(t, cuadro);
    comparar(t, p, {});

    p.mover_cursor(20, 7);
    EXPECT_EQ(v.cuadro(p, {80, 50}), "");
    p.cursor_visible(true);
    cuadro = v.cuadro(p, {80, 50});
    EXPECT_NE(cuadro.find("\x1b[8;21H"), std::string::npos);
    EXPECT_NE(cuadro.find("\x1b[?25h"), std::string::npos);
    reproducir(t, cuadro);
    comparar(t, p, {});

    // Tras olvidar se repinta todo y se vuelve a decir que el cursor se ve.
    v.olvidar();
    t.ensuciar();
    cuadro = v.cuadro(p, {80, 50});
    EXPECT_NE(cuadro.find("\x1b[?25h"), std::string::npos);
    reproducir(t, cuadro);
    comparar(t, p, {});
}
