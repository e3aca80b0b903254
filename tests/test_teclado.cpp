// Pruebas del analizador del teclado: bytes como los mandan los terminales de verdad (xterm,
// la consola de Linux, tmux) y las teclas que el juego debe recibir. Solo usa teclado.h.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "consola/teclado.h"

using consola::Tecla;
using consola::Teclado;

namespace {

// Pasa los bytes al teclado y recoge todas las teclas que salgan; con `pausa`, además, avisa de
// que no llegó nada más a tiempo.
std::vector<Tecla> teclas(Teclado& teclado, std::string_view bytes, bool pausa = false) {
    for (char c : bytes)
        teclado.recibir(static_cast<unsigned char>(c));
    if (pausa) teclado.sin_datos();
    std::vector<Tecla> salida;
    while (auto t = teclado.sacar())
        salida.push_back(*t);
    return salida;
}

std::vector<Tecla> teclas(std::string_view bytes, bool pausa = false) {
    Teclado teclado;
    return teclas(teclado, bytes, pausa);
}

Tecla ext(int codigo) {
    return Tecla{224, codigo, {}};
}
Tecla fun(int codigo) {
    return Tecla{0, codigo, {}};
}
Tecla simple(int codigo) {
    return Tecla{-1, codigo, {}};
}
Tecla letra(char c) {
    return Tecla{-1, static_cast<unsigned char>(c), std::string(1, c)};
}
const Tecla ESCAPE = simple(27);

using Teclas = std::vector<Tecla>;

} // namespace

// Para que un fallo diga qué tecla salió y no solo que no coincide. Interna a este fichero, por
// si otra prueba define la suya.
namespace consola {
[[maybe_unused]] static void PrintTo(const Tecla& t, std::ostream* os) {
    *os << "{" << t.prefijo << ", " << t.codigo << ", \"" << t.texto << "\"}";
}
} // namespace consola

TEST(Teclado, BytesSimplesComoLosDaGetch) {
    EXPECT_EQ(teclas("a Z~0"),
              (Teclas{letra('a'), letra(' '), letra('Z'), letra('~'), letra('0')}));
    // Intro del terminal en crudo es '\r'; '\n' llega de Ctrl+J o de una tubería.
    EXPECT_EQ(teclas("\r\n\t"), (Teclas{simple(13), simple(10), simple(9)}));
    // Retroceso llega como DEL en casi todos los terminales y como BS en otros.
    EXPECT_EQ(teclas(std::string_view("\x7f\x08", 2)), (Teclas{simple(8), simple(8)}));
    // Ctrl+A y Ctrl+Z sin texto; el NUL (Ctrl+Espacio) no es nada.
    EXPECT_EQ(teclas(std::string_view("\x01\x00\x1a", 3)), (Teclas{simple(1), simple(26)}));
    // Bytes altos que no empiezan ningún UTF-8 se pierden sin llevarse la tecla siguiente.
    EXPECT_EQ(teclas("\x80\xbf\xc0\xc1\xf5\xffq"), (Teclas{letra('q')}));
}

TEST(Teclado, FlechasEnSusDosFormasYConModificadores) {
    const Teclas esperadas{ext(72), ext(80), ext(77), ext(75)};
    EXPECT_EQ(teclas("\x1b[A\x1b[B\x1b[C\x1b[D"), esperadas);
    EXPECT_EQ(teclas("\x1bOA\x1bOB\x1bOC\x1bOD"), esperadas);
    // Ctrl+flecha y Mayús+flecha siguen siendo flechas para el juego.
    EXPECT_EQ(teclas("\x1b[1;5A\x1b[1;2B\x1b[1;3C\x1b[1;6D"), esperadas);

    Teclado teclado;
    // A medias no sale nada: la flecha no debe confundirse con Escape.
    EXPECT_TRUE(teclas(teclado, "\x1b[").empty());
    EXPECT_TRUE(teclado.esperando());
    EXPECT_EQ(teclas(teclado, "A"), (Teclas{ext(72)}));
    EXPECT_FALSE(teclado.esperando());
}

TEST(Teclado, EscapeSoloCuandoNoLlegaNadaMas) {
    Teclado teclado(100);
    EXPECT_EQ(teclado.espera_ms(), 100);
    EXPECT_TRUE(teclas(teclado, "\x1b").empty());
    EXPECT_TRUE(teclado.esperando());
    EXPECT_EQ(teclas(teclado, "", true), (Teclas{ESCAPE}));
    EXPECT_FALSE(teclado.esperando());
    // Sin nada pendiente, el aviso no inventa teclas.
    EXPECT_TRUE(teclas(teclado, "", true).empty());

    // ESC ESC: el primero es Escape en cuanto llega el segundo, que aún puede empezar algo.
    EXPECT_EQ(teclas(teclado, "\x1b\x1b"), (Teclas{ESCAPE}));
    EXPECT_TRUE(teclado.esperando());
    EXPECT_EQ(teclas(teclado, "", true), (Teclas{ESCAPE}));
    EXPECT_EQ(teclas("\x1b\x1b[A"), (Teclas{ESCAPE, ext(72)}));

    // Alt+x: Escape y luego la x, sin esperar.
    Teclado otro;
    EXPECT_EQ(teclas(otro, "\x1bx"), (Teclas{ESCAPE, letra('x')}));
    EXPECT_FALSE(otro.esperando());
    EXPECT_EQ(teclas("\x1b\r"), (Teclas{ESCAPE, simple(13)}));
}

TEST(Teclado, CaracteresUtf8) {
    // ñ es el 164 de la 437 y se escribe tal cual.
    EXPECT_EQ(teclas("\xc3\xb1"), (Teclas{Tecla{-1, 164, "\xc3\xb1"}}));
    EXPECT_EQ(teclas("\xc3\x91\xc3\xa1\xc2\xbf"),
              (Teclas{Tecla{-1, 165, "Ñ"}, Tecla{-1, 160, "á"}, Tecla{-1, 168, "¿"}}));
    // La 437 no tiene €: el código es '?', pero el texto conserva el carácter.
    EXPECT_EQ(teclas("\xe2\x82\xac"), (Teclas{Tecla{-1, '?', "€"}}));
    EXPECT_EQ(teclas("\xf0\x9f\x98\x80"), (Teclas{Tecla{-1, '?', "\xf0\x9f\x98\x80"}}));
    // Un carácter que la 437 pone en la zona de control no puede hacerse pasar por Intro.
    EXPECT_EQ(teclas("♪"), (Teclas{Tecla{-1, '?', "♪"}}));

    // Partido en dos lecturas sigue siendo un carácter.
    Teclado teclado;
    EXPECT_TRUE(teclas(teclado, "\xe2\x82").empty());
    EXPECT_TRUE(teclado.esperando());
    EXPECT_EQ(teclas(teclado, "\xac"), (Teclas{Tecla{-1, '?', "€"}}));

    // Cortado y sin más datos: se descarta, y lo siguiente llega bien.
    EXPECT_TRUE(teclas(teclado, "\xe2\x82", true).empty());
    EXPECT_FALSE(teclado.esperando());
    EXPECT_EQ(teclas(teclado, "\xac"
                              "b"),
              (Teclas{letra('b')}));

    // Interrumpido por otro byte: se pierde el carácter, no el byte que lo interrumpe.
    EXPECT_EQ(teclas("\xc3"
                     "a"),
              (Teclas{letra('a')}));
    EXPECT_EQ(teclas("\xe2\x82\x1b[B"), (Teclas{ext(80)}));
    // Formas largas, sustitutos y controles C1 no son caracteres que se puedan teclear.
    EXPECT_EQ(teclas("\xe0\x80\xafz\xed\xa0\x80y\xc2\x9bx"),
              (Teclas{letra('z'), letra('y'), letra('x')}));
}

TEST(Teclado, TeclasDeFuncionInicioFinYEdicion) {
    // F1 según el terminal: xterm (SS3), rxvt/VT220 (~) y la consola de Linux (ESC [ [).
    EXPECT_EQ(teclas("\x1bOP\x1b[11~\x1b[[A"), (Teclas{fun(59), fun(59), fun(59)}));
    EXPECT_EQ(teclas("\x1bOQ\x1bOR\x1bOS"), (Teclas{fun(60), fun(61), fun(62)}));
    EXPECT_EQ(teclas("\x1b[[B\x1b[[C\x1b[[D\x1b[[E"), (Teclas{fun(60), fun(61), fun(62), fun(63)}));
    EXPECT_EQ(teclas("\x1b[12~\x1b[13~\x1b[14~\x1b[15~"),
              (Teclas{fun(60), fun(61), fun(62), fun(63)}));
    EXPECT_EQ(teclas("\x1b[17~\x1b[18~\x1b[19~\x1b[20~\x1b[21~"),
              (Teclas{fun(64), fun(65), fun(66), fun(67), fun(68)}));
    EXPECT_EQ(teclas("\x1b[23~\x1b[24~\x1b[15;5~"), (Teclas{ext(133), ext(134), fun(63)}));

    // Inicio y Fin en todas sus formas.
    EXPECT_EQ(teclas("\x1b[H\x1bOH\x1b[1~\x1b[7~\x1b[1;5H"), (Teclas(5, ext(71))));
    EXPECT_EQ(teclas("\x1b[F\x1bOF\x1b[4~\x1b[8~"), (Teclas(4, ext(79))));
    EXPECT_EQ(teclas("\x1b[2~\x1b[3~\x1b[5~\x1b[6~"), (Teclas{ext(82), ext(83), ext(73), ext(81)}));
}

TEST(Teclado, SecuenciasDesconocidasSeTraganEnteras) {
    // Pegado entre corchetes: las marcas se van, el texto pegado llega.
    EXPECT_EQ(teclas("\x1b[200~hi\x1b[201~"), (Teclas{letra('h'), letra('i')}));
    // Ratón SGR y X10 (este con tres bytes crudos que parecen letras), foco, Mayús+Tab,
    // respuestas del terminal, teclas de tilde que no existen y SS3 desconocida.
    EXPECT_EQ(teclas("\x1b[<0;10;5M\x1b[<0;10;5m"
                     "a"),
              (Teclas{letra('a')}));
    EXPECT_EQ(teclas("\x1b[M !!b"), (Teclas{letra('b')}));
    EXPECT_EQ(teclas("\x1b[I\x1b[O\x1b[Z\x1b[?1;2c\x1b[>1A\x1b[99~\x1b[~\x1bOx"
                     "c"),
              (Teclas{letra('c')}));
    // Tras una desconocida, la flecha siguiente no se pierde.
    EXPECT_EQ(teclas("\x1b[1;5Q\x1b[A"), (Teclas{ext(72)}));
    EXPECT_EQ(teclas("\x1b[[Z\x1b[B"), (Teclas{ext(80)}));

    // Una secuencia rota por otro ESC: la nueva vale.
    EXPECT_EQ(teclas("\x1b[12\x1b[D"), (Teclas{ext(75)}));

    // Una CSI interminable se abandona en vez de crecer sin fin.
    Teclado teclado;
    teclas(teclado, "\x1b[" + std::string(40, '1'));
    EXPECT_FALSE(teclado.esperando());

    // Cualquier secuencia a medias, sin más datos, se descarta y no se come lo que sigue.
    for (std::string_view medias : {"\x1b[", "\x1b[1;", "\x1bO", "\x1b[[", "\x1b[M", "\x1b[M!"}) {
        Teclado t;
        EXPECT_TRUE(teclas(t, medias, true).empty()) << medias.substr(1);
        EXPECT_FALSE(t.esperando());
        EXPECT_EQ(teclas(t, "z"), (Teclas{letra('z')})) << medias.substr(1);
    }
}

// Bytes al azar (con muchos ESC, '[' y bytes altos para caer en todos los estados): nada se
// queda esperando tras el aviso, todo lo emitido es una tecla posible y la siguiente tecla
// limpia llega siempre.
TEST(Teclado, BasuraAlAzarNoLoAtasca) {
    std::mt19937 azar(20240611);
    const std::string favoritos = "\x1b\x1b\x1b[[[OOO~;1M\xc3\xe2\xf0\x82\xac\x80";
    Teclado teclado;
    for (int ronda = 0; ronda < 3000; ++ronda) {
        const int largo = std::uniform_int_distribution<int>(1, 40)(azar);
        for (int i = 0; i < largo; ++i) {
            unsigned char b;
            if (azar() % 3 == 0)
                b = static_cast<unsigned char>(favoritos[azar() % favoritos.size()]);
            else
                b = static_cast<unsigned char>(azar() % 256);
            teclado.recibir(b);
        }
        teclado.sin_datos();
        ASSERT_FALSE(teclado.esperando()) << "ronda " << ronda;
        while (auto t = teclado.sacar()) {
            ASSERT_TRUE(t->prefijo == -1 || t->prefijo == 0 || t->prefijo == 224);
            ASSERT_GE(t->codigo, 0);
            ASSERT_LE(t->codigo, 255);
            if (t->prefijo != -1) {
                ASSERT_TRUE(t->texto.empty());
            }
            ASSERT_LE(t->texto.size(), 4u);
        }
        ASSERT_EQ(teclas(teclado, "z"), (Teclas{letra('z')})) << "ronda " << ronda;
    }
}
