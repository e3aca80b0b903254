// Pruebas de la memoria de pantalla y de las utilidades de texto: que cada carácter caiga en la
// celda, el color y la fila en que lo pondría la consola original. Solo usa pantalla y texto.
#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <tuple>
#include <utility>

#include "consola/pantalla.h"
#include "consola/texto.h"

using consola::Celda;
using consola::Pantalla;

namespace {

// Columna y fila como las cuenta el juego (desde 1) para que las pruebas se lean como él.
void ir(Pantalla& p, int columna, int fila) {
    ASSERT_TRUE(p.mover_cursor(columna - 1, fila - 1));
}

std::pair<int, int> cursor(const Pantalla& p) {
    return {p.cursor_x(), p.cursor_y()};
}

} // namespace

TEST(Texto, Utf8YBytesSueltosDeLa437) {
    const std::tuple<std::string_view, char32_t, std::size_t> casos[] = {
        {"\u07FF", U'\u07FF', 2}, // las fronteras de cada longitud
        {"\u0800", U'\u0800', 3},
        {"\U00010000", U'\U00010000', 4},
        // Un byte que no empieza un UTF-8 válido y completo vale solo, por su carácter de la 437.
        {std::string_view("\xC4\xB3", 1), U'─', 1}, // cortado justo antes de la continuación
        {"\xC3\x41", U'├', 1},                      // continuación que no lo es
        {"\xC0\x80", U'└', 1},                      // forma larga de dos bytes
        {"\xE0\x80\x80", U'α', 1},                  // forma larga de tres
        {"\xF0\x80\x80\x80", U'≡', 1},              // forma larga de cuatro
        {"\xED\xA0\x80", U'φ', 1},                  // mitad de par sustituto
        {"\xF4\x90\x80\x80", U'⌠', 1},              // pasa de U+10FFFF
        {"\xF5\x80\x80\x80", U'⌡', 1},              // no empieza nada
        {"\x80", U'Ç', 1},                          // continuación sin cabeza
    };
    for (const auto& [texto, car, bytes] : casos) {
        const auto d = consola::decodificar(texto, 0);
        EXPECT_EQ(std::pair(d.car, d.bytes), std::pair(car, bytes))
            << "primer byte " << int(static_cast<unsigned char>(texto[0]));
        EXPECT_TRUE(bytes == 1 || consola::utf8(car) == texto) << "y de vuelta a UTF-8";
    }
    EXPECT_EQ(consola::longitud_utf8(0xF5), 0u); // quien lee byte a byte no espera más tras F5
    // Cada byte de la 437 vuelve a sí mismo (el 0 se ve como un blanco, que es el 32).
    for (int b = 1; b < 256; ++b)
        EXPECT_EQ(consola::a_cp437(consola::cp437(b)), b) << b;
    EXPECT_EQ(consola::a_cp437(U' '), 32);
    EXPECT_EQ(consola::a_cp437(U'€'), -1);
}

TEST(Pantalla, TabulacionesRetornoYCajasDeLa437) {
    // Desde cada columna, la parada (9, 17...); pasada la última, la fila siguiente.
    for (auto [desde, hasta] : {std::pair{1, 9}, {8, 9}, {9, 17}, {72, 73}, {73, 0}, {80, 0}}) {
        Pantalla p;
        ir(p, desde, 5);
        p.escribir("\t");
        EXPECT_EQ(cursor(p), hasta ? std::pair(hasta - 1, 4) : std::pair(0, 5)) << desde;
    }
    // Ni '\t' ni '\n' ni '\r' borran lo que pasan por encima.
    Pantalla p;
    p.escribir("abcdefghij\nXYZ");
    ir(p, 1, 1);
    p.escribir("\t\n12\r3");
    EXPECT_EQ(p.fila(0).substr(0, 11), "abcdefghij ");
    EXPECT_EQ(p.texto(0, 1, 3), "32Z");
    EXPECT_EQ(cursor(p), std::pair(1, 1));

    // Las cajas de las pantallas llegan byte a byte en la 437 (juntos, C4 B3 sería UTF-8).
    for (char b : {'\xC4', '\xB3', '\xDA', '\xBF', '\xC0', '\xD9'})
        p.escribir(std::string(1, b));
    EXPECT_EQ(p.texto(0, 1, 7), "3─│┌┐└┘");
}

TEST(Pantalla, AjusteEnLaColumna80YDesplazamientoEnLaFila50) {
    Pantalla p;
    ir(p, 1, 3);
    p.escribir(std::string(80, '=') + "abc");
    EXPECT_EQ(p.fila(2), std::string(80, '='));
    EXPECT_EQ(p.texto(0, 3, 4), "abc ");
    // Justo 80 caracteres dejan el cursor ya en la fila siguiente: un '\n' deja una en blanco.
    ir(p, 1, 10);
    p.escribir(std::string(80, '=') + "\nx");
    EXPECT_EQ(p.fila(10), std::string(80, ' '));
    EXPECT_EQ(p.texto(78, 11, 10), "  "); // se recorta al final de la fila

    // Pasar de la fila 50 sube todo; la fila nueva sale en blanco con el atributo actual.
    ir(p, 1, 50);
    p.escribir("ultima");
    p.fijar_atributo(0x1E);
    p.escribir("\nnueva");
    EXPECT_EQ(p.texto(0, 48, 6), "ultima");
    EXPECT_EQ(p.celda(0, 48).atributo, 7); // lo que sube conserva su color
    EXPECT_EQ(p.texto(0, 49, 6), "nueva ");
    EXPECT_EQ(p.celda(79, 49), (Celda{U' ', 0x1E}));
    // También al escribir en la última celda, en cuanto se escribe.
    ir(p, 80, 50);
    p.fijar_atributo(0x47);
    const auto version = p.version();
    p.escribir("A");
    EXPECT_EQ(p.texto(78, 48, 2), " A");
    EXPECT_EQ(p.celda(0, 49), (Celda{U' ', 0x47}));
    EXPECT_EQ(cursor(p), std::pair(0, 49));
    EXPECT_EQ(p.version(), version + 1);
}

TEST(Pantalla, ColorDeVentanaYLimpiar) {
    Pantalla p;
    p.fijar_atributo(0x0C);
    p.escribir("rojo");
    p.color_ventana(0xF0);
    p.escribir("!");
    EXPECT_EQ(p.celda(0, 0), (Celda{U'r', 0xF0}));
    EXPECT_EQ(p.celda(4, 0), (Celda{U'!', 0xF0}));
    EXPECT_EQ(p.celda(79, 49), (Celda{U' ', 0xF0}));
    EXPECT_EQ(p.atributo_ventana(), 0xF0);

    p.fijar_atributo(0x2F);
    p.limpiar();
    EXPECT_EQ(cursor(p), std::pair(0, 0));
    EXPECT_EQ(p.celda(0, 0), (Celda{U' ', 0x2F}));
    EXPECT_EQ(p.celda(79, 49), (Celda{U' ', 0x2F}));
}

TEST(Pantalla, CursorFueraYVentanaQueLoSigueLoJusto) {
    Pantalla p;
    ir(p, 11, 21);
    for (auto [x, y] : {std::pair{-1, 0}, {80, 0}, {0, -1}, {0, 50}}) {
        EXPECT_FALSE(p.mover_cursor(x, y)) << x << "," << y;
        EXPECT_EQ(cursor(p), std::pair(10, 20));
    }

    // El menú se escribe hasta la fila 37 y el cursor vuelve a la 24 para leer la opción.
    ir(p, 1, 1);
    p.tamano_ventana(80, 24);
    for (int i = 1; i < 37; ++i)
        p.escribir("linea\n");
    EXPECT_EQ(p.ventana_y(), 13);
    ir(p, 10, 24);
    EXPECT_EQ(p.ventana_y(), 13); // se ven las filas 14 a 37
    ir(p, 1, 5);
    EXPECT_EQ(p.ventana_y(), 4); // subir al cursor también es lo mínimo
    p.limpiar();
    EXPECT_EQ(p.ventana_y(), 0);

    // En horizontal igual; y el tamaño se ajusta a la memoria.
    p.tamano_ventana(40, 200);
    ir(p, 60, 50);
    EXPECT_EQ(std::pair(p.ventana_x(), p.ventana_y()), std::pair(20, 0));
    p.tamano_ventana(0, 0); // se queda en una celda
    ir(p, 80, 50);
    EXPECT_EQ(std::pair(p.ventana_x(), p.ventana_y()), std::pair(79, 49));
}
