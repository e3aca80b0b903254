// Pruebas de la memoria de pantalla y de las utilidades de texto: que cada carácter caiga en la
// celda, el color y la fila en que lo pondría la consola original. Solo usa pantalla y texto.
#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "consola/pantalla.h"
#include "consola/texto.h"

using consola::ALTO;
using consola::ANCHO;
using consola::Celda;
using consola::Pantalla;

namespace {

// Columna y fila como las cuenta el juego (desde 1) para que las pruebas se lean como él.
void ir(Pantalla& p, int columna, int fila) { ASSERT_TRUE(p.mover_cursor(columna - 1, fila - 1)); }

std::string bytes(std::initializer_list<unsigned char> bs) { return std::string(bs.begin(), bs.end()); }

} // namespace

TEST(Texto, DecodificaUtf8YTomaLoInvalidoComo437) {
    using consola::decodificar;
    EXPECT_EQ(decodificar("\xC3\xB1", 0).car, U'ñ');
    EXPECT_EQ(decodificar("\xC3\xB1", 0).bytes, 2u);
    EXPECT_EQ(decodificar("\xE2\x94\x80", 0).car, U'─');
    EXPECT_EQ(decodificar("\xE2\x94\x80", 0).bytes, 3u);
    EXPECT_EQ(decodificar("\xF0\x9F\x98\x80", 0).car, U'\U0001F600');
    EXPECT_EQ(decodificar("\xF0\x9F\x98\x80", 0).bytes, 4u);
    EXPECT_EQ(decodificar("\x1B", 0).car, U'\x1B');

    // Cada caso: un byte que no empieza UTF-8 válido y completo se queda solo, como su 437.
    const struct {
        std::string texto;
        char32_t esperado;
    } sueltos[] = {
        {bytes({0xC4}), U'─'},                    // truncado al final
        {bytes({0xC3, 0x41}), U'├'},              // continuación que no lo es
        {bytes({0xC0, 0x80}), U'└'},              // forma larga de dos bytes
        {bytes({0xE0, 0x80, 0x80}), U'α'},        // forma larga de tres
        {bytes({0xF0, 0x80, 0x80, 0x80}), U'≡'},  // forma larga de cuatro
        {bytes({0xED, 0xA0, 0x80}), U'φ'},        // mitad de par sustituto
        {bytes({0xF4, 0x90, 0x80, 0x80}), U'⌠'},  // pasa de U+10FFFF
        {bytes({0xE2, 0x94}), U'Γ'},              // tres bytes a medias
        {bytes({0x80}), U'Ç'},                    // continuación sin cabeza
    };
    for (const auto& s : sueltos) {
        const auto d = decodificar(s.texto, 0);
        EXPECT_EQ(d.car, s.esperado) << "primer byte " << int(static_cast<unsigned char>(s.texto[0]));
        EXPECT_EQ(d.bytes, 1u);
    }
    EXPECT_EQ(consola::longitud_utf8(0x41), 1u);
    EXPECT_EQ(consola::longitud_utf8(0xC1), 0u);
    EXPECT_EQ(consola::longitud_utf8(0xDF), 2u);
    EXPECT_EQ(consola::longitud_utf8(0xEF), 3u);
    EXPECT_EQ(consola::longitud_utf8(0xF4), 4u);
    EXPECT_EQ(consola::longitud_utf8(0xF5), 0u);
    EXPECT_EQ(consola::longitud_utf8(0x80), 0u);
}

TEST(Texto, TablaDe437IdaYVueltaYCodificacion) {
    using consola::a_cp437;
    using consola::cp437;
    EXPECT_EQ(cp437(0x01), U'☺');
    EXPECT_EQ(cp437(0x1B), U'←');
    EXPECT_EQ(cp437(0x7F), U'⌂');
    EXPECT_EQ(cp437('A'), U'A');
    EXPECT_EQ(cp437(0x80), U'Ç');
    EXPECT_EQ(cp437(0xA4), U'ñ');
    EXPECT_EQ(cp437(0xFF), U'\u00A0');
    // Cada byte de la 437 vuelve a sí mismo (el 0 se ve como un blanco, que es el 32).
    for (int b = 1; b < 256; ++b) EXPECT_EQ(a_cp437(cp437(static_cast<unsigned char>(b))), b) << b;
    EXPECT_EQ(a_cp437(U' '), 32);
    EXPECT_EQ(a_cp437(U'Ñ'), 165);
    EXPECT_EQ(a_cp437(U'€'), -1);

    for (char32_t c : {U'a', U'ñ', U'─', U'\U0001F600', U'\u07FF', U'\u0800', U'\uFFFF', U'\U00010000'}) {
        const std::string s = consola::utf8(c);
        EXPECT_EQ(consola::decodificar(s, 0).car, c);
        EXPECT_EQ(consola::decodificar(s, 0).bytes, s.size());
    }
    EXPECT_EQ(consola::utf8(U'ñ'), "\xC3\xB1");

    EXPECT_EQ(consola::ancho_celda(U'a'), 1);
    EXPECT_EQ(consola::ancho_celda(U'─'), 1);
    EXPECT_EQ(consola::ancho_celda(U'\u0301'), 0);
    EXPECT_EQ(consola::ancho_celda(U'\u200B'), 0);
    EXPECT_EQ(consola::ancho_celda(U'\uFEFF'), 0);
    EXPECT_EQ(consola::ancho_celda(U'漢'), 2);
    EXPECT_EQ(consola::ancho_celda(U'\U0001F600'), 2);
    EXPECT_EQ(consola::ancho_celda(U'\uFF21'), 2);
}

TEST(Pantalla, TabulacionesSaltosDeLineaYRetorno) {
    // Desde la columna de la izquierda, la parada en que debe quedar el cursor.
    const struct {
        int desde, hasta;
    } paradas[] = {{1, 9}, {2, 9}, {8, 9}, {9, 17}, {16, 17}, {17, 25}, {65, 73}, {72, 73}};
    for (const auto& t : paradas) {
        Pantalla p;
        ir(p, t.desde, 5);
        p.escribir("\t");
        EXPECT_EQ(p.cursor_x(), t.hasta - 1) << "desde la columna " << t.desde;
        EXPECT_EQ(p.cursor_y(), 4);
    }
    // Pasada la última parada, la tabulación es un fin de línea.
    for (int desde = 73; desde <= 80; ++desde) {
        Pantalla p;
        ir(p, desde, 5);
        p.escribir("\t");
        EXPECT_EQ(p.cursor_x(), 0) << "desde la columna " << desde;
        EXPECT_EQ(p.cursor_y(), 5) << "desde la columna " << desde;
    }

    // Ni '\t' ni '\n' ni '\r' borran lo que pasan por encima.
    Pantalla p;
    p.escribir("abcdefghij\nXYZ");
    ir(p, 1, 1);
    p.escribir("\t\n");
    EXPECT_EQ(p.texto(0, 0, 10), "abcdefghij");
    EXPECT_EQ(p.texto(0, 1, 3), "XYZ");
    EXPECT_EQ(p.cursor_x(), 0);
    EXPECT_EQ(p.cursor_y(), 1);
    p.escribir("12\r3");
    EXPECT_EQ(p.texto(0, 1, 3), "32Z");
    EXPECT_EQ(p.cursor_x(), 1);
}

TEST(Pantalla, AjusteDeLineaEnLaColumna80) {
    Pantalla p;
    ir(p, 1, 3);
    std::string largo;
    for (int i = 0; i < 85; ++i) largo += static_cast<char>('a' + i % 26);
    p.escribir(largo);
    EXPECT_EQ(p.fila(2), largo.substr(0, 80));
    EXPECT_EQ(p.texto(0, 3, 5), largo.substr(80));
    EXPECT_EQ(p.cursor_x(), 5);
    EXPECT_EQ(p.cursor_y(), 3);

    // Justo 80 caracteres dejan el cursor ya en la fila siguiente: un '\n' después deja una
    // fila en blanco, como en la consola original.
    Pantalla q;
    q.escribir(std::string(80, '=') + "\nx");
    EXPECT_EQ(q.fila(1), std::string(80, ' '));
    EXPECT_EQ(q.texto(0, 2, 1), "x");
}

TEST(Pantalla, DesplazamientoEnLaUltimaFilaConElAtributoActual) {
    // Por fin de línea.
    Pantalla p;
    p.escribir("primera");
    ir(p, 1, 50);
    p.escribir("ultima");
    p.fijar_atributo(0x1E);
    const auto version = p.version();
    p.escribir("\nnueva");
    EXPECT_EQ(p.texto(0, 48, 6), "ultima");
    EXPECT_EQ(p.texto(0, 49, 5), "nueva");
    EXPECT_EQ(p.celda(5, 49), (Celda{U' ', 0x1E}));  // blanco de la fila nueva, color actual
    EXPECT_EQ(p.celda(79, 49).atributo, 0x1E);
    EXPECT_EQ(p.celda(10, 48).atributo, 7);          // lo que subió conserva su color
    EXPECT_EQ(p.texto(0, 0, 7), std::string(7, ' ')); // la primera fila se perdió
    EXPECT_EQ(p.cursor_y(), 49);
    EXPECT_EQ(p.cursor_x(), 5);
    EXPECT_EQ(p.version(), version + 1);

    // Por ajuste: la última celda de la última fila sube la pantalla en cuanto se escribe.
    Pantalla q;
    ir(q, 79, 50);
    q.fijar_atributo(0x47);
    q.escribir("AB");
    EXPECT_EQ(q.texto(78, 48, 2), "AB");
    EXPECT_EQ(q.celda(0, 49), (Celda{U' ', 0x47}));
    EXPECT_EQ(q.cursor_x(), 0);
    EXPECT_EQ(q.cursor_y(), 49);
    EXPECT_EQ(q.version(), 1u);
}

TEST(Pantalla, LimpiarYColorDeVentana) {
    Pantalla p;
    p.escribir("hola");
    p.fijar_atributo(0x2F);
    const auto version = p.version();
    p.limpiar();
    EXPECT_GT(p.version(), version);
    EXPECT_EQ(p.cursor_x(), 0);
    EXPECT_EQ(p.cursor_y(), 0);
    for (int y : {0, 25, 49})
        for (int x : {0, 3, 79}) EXPECT_EQ(p.celda(x, y), (Celda{U' ', 0x2F}));

    Pantalla q;
    q.fijar_atributo(0x0C);
    q.escribir("rojo");
    q.color_ventana(0xF0);
    EXPECT_EQ(q.celda(0, 0), (Celda{U'r', 0xF0}));
    EXPECT_EQ(q.celda(79, 49), (Celda{U' ', 0xF0}));
    EXPECT_EQ(q.atributo(), 0xF0);
    EXPECT_EQ(q.atributo_ventana(), 0xF0);
    EXPECT_EQ(q.cursor_x(), 4);
    q.escribir("!");
    EXPECT_EQ(q.celda(4, 0), (Celda{U'!', 0xF0}));
}

TEST(Pantalla, CursorFueraDeLaMemoriaSeRechaza) {
    Pantalla p;
    ASSERT_TRUE(p.mover_cursor(10, 20));
    const std::pair<int, int> fuera[] = {{-1, 0}, {80, 0}, {0, -1}, {0, 50}, {80, 50}};
    for (auto [x, y] : fuera) {
        EXPECT_FALSE(p.mover_cursor(x, y)) << x << "," << y;
        EXPECT_EQ(p.cursor_x(), 10);
        EXPECT_EQ(p.cursor_y(), 20);
    }
    EXPECT_TRUE(p.mover_cursor(79, 49));
}

TEST(Pantalla, CaracteresUtf8Bytes437ControlYCampana) {
    Pantalla p;
    p.fijar_atributo(0x1F);
    p.escribir("ñá|");
    EXPECT_EQ(p.celda(0, 0), (Celda{U'ñ', 0x1F}));
    EXPECT_EQ(p.celda(1, 0), (Celda{U'á', 0x1F}));
    EXPECT_EQ(p.celda(2, 0).car, U'|');
    EXPECT_EQ(p.texto(0, 0, 3), "ñá|");

    // Las cajas de las pantallas llegan byte a byte en la 437 (juntos, C4 B3 sería UTF-8).
    ir(p, 1, 2);
    for (unsigned char b : {196, 179, 218, 191, 192, 217}) p.escribir(bytes({b}));
    EXPECT_EQ(p.texto(0, 1, 6), "─│┌┐└┘");
    EXPECT_EQ(p.cursor_x(), 6);

    // Un byte de control se guarda tal cual y ocupa su celda.
    ir(p, 1, 3);
    p.escribir("\x1B" "A");
    EXPECT_EQ(p.celda(0, 2).car, U'\x1B');
    EXPECT_EQ(p.celda(1, 2).car, U'A');

    // La campana no ocupa celda ni mueve el cursor; se cuenta hasta que se pregunta.
    ir(p, 1, 4);
    p.escribir("x\a\ay");
    EXPECT_EQ(p.texto(0, 3, 3), "xy ");
    EXPECT_EQ(p.cursor_x(), 2);
    EXPECT_EQ(p.tomar_campanas(), 2);
    EXPECT_EQ(p.tomar_campanas(), 0);

    // texto() se recorta al final de la fila.
    EXPECT_EQ(p.texto(78, 3, 10), "  ");
}

TEST(Pantalla, LaVentanaSigueAlCursorLoJusto) {
    Pantalla p;
    p.tamano_ventana(80, 24);
    EXPECT_EQ(p.ventana_y(), 0);
    // El menú se escribe hasta la fila 37 y el cursor vuelve a la 24 para leer la opción.
    for (int i = 1; i < 37; ++i) p.escribir("linea\n");
    p.escribir("Elige una opcion:");
    EXPECT_EQ(p.cursor_y(), 36);
    EXPECT_EQ(p.ventana_y(), 13);
    ir(p, 10, 24);
    EXPECT_EQ(p.ventana_y(), 13);  // se ven las filas 14 a 37
    ir(p, 1, 5);
    EXPECT_EQ(p.ventana_y(), 4);   // subir al cursor también es lo mínimo
    ir(p, 1, 50);
    EXPECT_EQ(p.ventana_y(), ALTO - 24);
    p.limpiar();
    EXPECT_EQ(p.ventana_y(), 0);

    // En horizontal igual; y el tamaño se ajusta a la memoria.
    p.tamano_ventana(40, 200);
    EXPECT_EQ(p.ventana_y(), 0);
    ir(p, 60, 1);
    EXPECT_EQ(p.ventana_x(), 60 - 40);
    ir(p, 80, 1);
    EXPECT_EQ(p.ventana_x(), 40);
    p.tamano_ventana(80, 50);
    EXPECT_EQ(p.ventana_x(), 0);
    p.tamano_ventana(0, 0);  // se queda en una celda
    ir(p, 80, 50);
    EXPECT_EQ(p.ventana_x(), 79);
    EXPECT_EQ(p.ventana_y(), 49);
}
