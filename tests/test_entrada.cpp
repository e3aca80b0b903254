// Pruebas de la entrada por líneas: lo que leen "%s" y "%c", lo que queda pendiente, la
// edición con Retroceso y dónde cae el eco. Las teclas salen de una cola; solo se usa la
// pantalla en memoria.
#include <gtest/gtest.h>

#include <deque>
#include <stdexcept>
#include <string>

#include "consola/entrada.h"
#include "consola/pantalla.h"
#include "consola/teclado.h"

using consola::Celda;
using consola::Entrada;
using consola::Pantalla;
using consola::Tecla;

namespace {

Tecla letra(const std::string& s) {
    // El código de un carácter no ASCII no importa a la entrada por líneas: basta que sea
    // imprimible, como lo da el teclado para la ñ (164).
    const auto primero = static_cast<unsigned char>(s[0]);
    return Tecla{-1, primero < 0x80 ? primero : 164, s};
}
const Tecla INTRO{-1, consola::TECLA_INTRO, ""};
const Tecla RETROCESO{-1, consola::TECLA_RETROCESO, ""};
const Tecla ESCAPE{-1, consola::TECLA_ESCAPE, ""};

struct Banco {
    Pantalla pantalla;
    std::deque<Tecla> teclas;
    int pedidas = 0;
    Entrada entrada{pantalla, [this] {
                        // Pedir más teclas de las previstas es un fallo de la prueba, no una espera.
                        if (teclas.empty()) throw std::runtime_error("no quedan teclas");
                        ++pedidas;
                        Tecla t = teclas.front();
                        teclas.pop_front();
                        return t;
                    }};

    void teclear(const std::string& ascii) {
        for (char c : ascii) teclas.push_back(c == '\n' ? INTRO : letra(std::string(1, c)));
    }
};

} // namespace

TEST(Entrada, PalabrasYCaracteresDejanElRestoPendiente) {
    Banco b;
    b.teclear("  uno dos\n");
    EXPECT_EQ(b.entrada.leer_palabra(49), "uno");
    EXPECT_EQ(b.entrada.pendiente(), " dos\n");
    const int pedidas = b.pedidas;
    EXPECT_EQ(b.entrada.leer_palabra(49), "dos");
    EXPECT_EQ(b.pedidas, pedidas);  // no hizo falta otra línea
    EXPECT_EQ(b.entrada.pendiente(), "\n");
    EXPECT_EQ(b.entrada.leer_caracter(), "\n");
    EXPECT_EQ(b.entrada.pendiente(), "");

    // Sin nada pendiente, "%c" recoge una línea y da su primer carácter, aunque sea de 2 bytes.
    b.teclas = {letra("ñ"), letra("o"), INTRO};
    EXPECT_EQ(b.entrada.leer_caracter(), "ñ");
    EXPECT_EQ(b.entrada.pendiente(), "o\n");
    b.entrada.descartar();
    EXPECT_EQ(b.entrada.pendiente(), "");

    // Ctrl+J (10) también acaba la línea.
    b.teclas = {letra("a"), Tecla{-1, 10, ""}};
    EXPECT_EQ(b.entrada.leer_caracter(), "a");
    EXPECT_EQ(b.entrada.pendiente(), "\n");
    b.entrada.descartar();

    // Las líneas vacías se saltan hasta que llega una palabra.
    b.teclear("\n   \ntres\n");
    EXPECT_EQ(b.entrada.leer_palabra(49), "tres");
    EXPECT_EQ(b.entrada.pendiente(), "\n");
    EXPECT_TRUE(b.teclas.empty());
}

TEST(Entrada, PalabraLargaSeCortaEnFronteraDeCaracter) {
    Banco b;
    b.teclear(std::string(60, 'a') + " sigue\n");
    EXPECT_EQ(b.entrada.leer_palabra(49), std::string(49, 'a'));
    EXPECT_EQ(b.entrada.pendiente(), " sigue\n");  // el resto de la palabra se perdió

    // 48 letras y una ñ (2 bytes) no caben en 49: la ñ entera fuera, nunca medio carácter.
    b.entrada.descartar();
    b.teclear(std::string(48, 'b'));
    b.teclas.push_back(letra("ñ"));
    b.teclear("c\n");
    EXPECT_EQ(b.entrada.leer_palabra(49), std::string(48, 'b'));
    EXPECT_EQ(b.entrada.pendiente(), "\n");

    b.entrada.descartar();
    b.teclas = {letra("é"), letra("ñ"), INTRO};
    EXPECT_EQ(b.entrada.leer_palabra(4), "éñ");
}

TEST(Entrada, RetrocesoEditaLaLineaYBorraSuEco) {
    Banco b;
    b.pantalla.mover_cursor(10, 5);
    b.teclas = {RETROCESO, letra("a"), letra("b"), letra("X"), RETROCESO, letra("c"), INTRO};
    EXPECT_EQ(b.entrada.leer_palabra(49), "abc");
    EXPECT_EQ(b.pantalla.texto(10, 5, 4), "abc ");
    EXPECT_EQ(b.pantalla.cursor_x(), 0);  // Intro hizo eco de un salto de línea
    EXPECT_EQ(b.pantalla.cursor_y(), 6);

    // Borrar más de lo tecleado no toca lo que ya había en pantalla ni la línea anterior.
    b.entrada.descartar();
    b.pantalla.mover_cursor(0, 8);
    b.pantalla.escribir("Nombre: ");
    b.teclas = {letra("ñ"), RETROCESO, RETROCESO, RETROCESO, letra("z"), INTRO};
    EXPECT_EQ(b.entrada.leer_caracter(), "z");
    EXPECT_EQ(b.pantalla.texto(0, 8, 10), "Nombre: z ");

    // Una línea que pasó de la columna 80 se borra también en la fila de arriba.
    b.entrada.descartar();
    b.pantalla.mover_cursor(78, 10);
    b.teclas = {letra("1"), letra("2"), letra("3"), RETROCESO, RETROCESO};
    EXPECT_THROW(b.entrada.leer_caracter(), std::runtime_error);
    EXPECT_EQ(b.pantalla.texto(78, 10, 2), "1 ");
    EXPECT_EQ(b.pantalla.celda(0, 11).car, U' ');
    EXPECT_EQ(b.pantalla.cursor_x(), 79);
    EXPECT_EQ(b.pantalla.cursor_y(), 10);
}

TEST(Entrada, RetrocesoTrasSubirLaPantallaBorraLaCeldaQueSubio) {
    Banco b;
    // El eco en la última celda de la memoria sube todo una fila.
    b.pantalla.mover_cursor(79, 49);
    b.teclas = {letra("p"), letra("q"), RETROCESO, RETROCESO, letra("r"), INTRO};
    EXPECT_EQ(b.entrada.leer_palabra(49), "r");
    // Intro en la última fila vuelve a subirla: la r quedó dos filas por encima de la última.
    EXPECT_EQ(b.pantalla.texto(78, 47, 2), " r");
    EXPECT_EQ(b.pantalla.texto(0, 48, 2), "  ");
    EXPECT_EQ(b.pantalla.cursor_y(), 49);
    for (int y = 0; y < consola::ALTO; ++y) {
        const std::string fila = b.pantalla.fila(y);
        EXPECT_EQ(fila.find_first_of("pq"), std::string::npos) << "quedó eco borrado en la fila " << y;
    }
}

TEST(Entrada, TeclasQueNoEscribenSeIgnoranYElEcoUsaElColorActual) {
    Banco b;
    b.pantalla.mover_cursor(20, 3);
    b.pantalla.fijar_atributo(0x1E);
    b.teclas = {ESCAPE,
                Tecla{consola::PREFIJO_EXTENDIDA, consola::TECLA_ARRIBA, ""},
                Tecla{consola::PREFIJO_FUNCION, 59, ""},
                Tecla{-1, 9, ""},  // Tab
                Tecla{-1, 1, ""},  // Ctrl+A
                letra("s"),
                Tecla{consola::PREFIJO_EXTENDIDA, consola::TECLA_IZQUIERDA, ""},
                letra("í"),
                INTRO};
    EXPECT_EQ(b.entrada.leer_palabra(49), "sí");
    EXPECT_EQ(b.pantalla.celda(20, 3), (Celda{U's', 0x1E}));
    EXPECT_EQ(b.pantalla.celda(21, 3), (Celda{U'í', 0x1E}));
    EXPECT_EQ(b.pantalla.celda(22, 3), (Celda{U' ', 7}));
    EXPECT_EQ(b.pantalla.celda(19, 3), (Celda{U' ', 7}));
}

TEST(Entrada, LaLineaNoPasaDelMaximo) {
    Banco b;
    b.teclear(std::string(Entrada::MAX_LINEA + 5, 'x'));
    b.teclas.push_back(RETROCESO);
    b.teclear("y\n");
    EXPECT_EQ(b.entrada.leer_palabra(1000), std::string(Entrada::MAX_LINEA - 1, 'x') + "y");
}
