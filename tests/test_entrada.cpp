// Pruebas de la entrada por líneas: lo que leen "%s" y "%c", lo que queda pendiente, la
// edición con Retroceso y dónde cae el eco. Las teclas salen de una cola, hechas por el
// analizador del teclado; solo se usa la pantalla en memoria.
#include <gtest/gtest.h>

#include <deque>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>

#include "consola/entrada.h"
#include "consola/pantalla.h"
#include "consola/teclado.h"

using consola::Entrada;
using consola::Tecla;

namespace {

struct Banco {
    consola::Pantalla pantalla;
    std::deque<Tecla> teclas;
    // Pedir más teclas de las previstas es un fallo de la prueba, no una espera.
    Entrada entrada{pantalla, [this] {
                        if (teclas.empty()) throw std::runtime_error("no quedan teclas");
                        Tecla t = teclas.front();
                        teclas.pop_front();
                        return t;
                    }};

    // Las teclas que el teclado da por esos bytes: "\r" es Intro y "\b", Retroceso.
    void teclear(std::string_view bytes) {
        consola::Teclado teclado;
        for (char c : bytes)
            teclado.recibir(static_cast<unsigned char>(c));
        teclado.sin_datos();
        while (auto t = teclado.sacar())
            teclas.push_back(*t);
    }
};

} // namespace

TEST(Entrada, LoQueQuedaPendienteYTeclasQueNoEscriben) {
    // Escape, flecha arriba, F1, Tab, Ctrl+A y flecha izquierda no escriben ni mueven el eco.
    Banco b;
    b.teclear("\x1b\x1b[A\x1bOP\t\x01  uno\x1b[D dos\r");
    EXPECT_EQ(b.entrada.leer_palabra(49), "uno");
    EXPECT_EQ(b.pantalla.texto(0, 0, 10), "  uno dos ");
    EXPECT_EQ(b.entrada.pendiente(), " dos\n");
    EXPECT_EQ(b.entrada.leer_palabra(49), "dos"); // sin pedir otra línea: no quedan teclas
    EXPECT_EQ(b.entrada.leer_caracter(), "\n");

    // Sin nada pendiente "%c" recoge una línea (Ctrl+J también la acaba) y da su primer
    // carácter, aunque sea de 2 bytes; lo que sobra se descarta.
    b.teclear("ño\n");
    EXPECT_EQ(b.entrada.leer_caracter(), "ñ");
    EXPECT_EQ(b.entrada.pendiente(), "o\n");
    b.entrada.descartar();
    b.teclear("tres\r");
    EXPECT_EQ(b.entrada.leer_palabra(49), "tres");
}

TEST(Entrada, PalabraLargaSeCortaEnFronteraDeCaracter) {
    // 48 letras y una ñ (2 bytes) no caben en 49: la ñ entera fuera y el resto de la palabra
    // se pierde; lo que la sigue, no.
    Banco b;
    b.teclear(std::string(48, 'b') + "ñc sigue\r");
    EXPECT_EQ(b.entrada.leer_palabra(49), std::string(48, 'b'));
    EXPECT_EQ(b.entrada.pendiente(), " sigue\n");
    b.entrada.descartar();
    b.teclear("éñ\r");
    EXPECT_EQ(b.entrada.leer_palabra(4), "éñ");

    // Lo que se teclea de más en una línea se ignora, pero Retroceso sigue borrando.
    b.teclear(std::string(Entrada::MAX_LINEA + 5, 'x') + "\by\r");
    EXPECT_EQ(b.entrada.leer_palabra(1000), std::string(Entrada::MAX_LINEA - 1, 'x') + "y");
}

TEST(Entrada, RetrocesoEditaLaLineaYBorraSuEco) {
    Banco b;
    b.pantalla.escribir("Nombre: ");
    b.pantalla.fijar_atributo(0x1E);
    // Borrar de más no toca lo que ya había en la pantalla; una ñ se borra entera.
    b.teclear("\bañX\b\bc\r");
    EXPECT_EQ(b.entrada.leer_palabra(49), "ac");
    EXPECT_EQ(b.pantalla.texto(0, 0, 12), "Nombre: ac  ");
    EXPECT_EQ(b.pantalla.celda(9, 0).atributo, 0x1E) << "el eco sale en el color actual";
    EXPECT_EQ(b.pantalla.cursor_y(), 1) << "Intro hizo eco de un salto de línea";

    // Un eco que pasó de la columna 80 se borra también en la fila de arriba.
    b.pantalla.mover_cursor(78, 10);
    b.teclear("123\b\b");
    EXPECT_THROW(b.entrada.leer_palabra(49), std::runtime_error); // se mira a media línea
    EXPECT_EQ(b.pantalla.texto(78, 10, 2) + b.pantalla.texto(0, 11, 1), "1  ");
    EXPECT_EQ(std::pair(b.pantalla.cursor_x(), b.pantalla.cursor_y()), std::pair(79, 10));

    // El eco en la última celda sube la pantalla: Retroceso borra la celda donde quedó, y la r
    // acaba dos filas por encima de la última, tras subir otra vez con Intro.
    b.pantalla.mover_cursor(79, 49);
    b.teclear("pq\b\br\r");
    EXPECT_EQ(b.entrada.leer_palabra(49), "r");
    EXPECT_EQ(b.pantalla.texto(78, 47, 2), " r");
    for (int y = 0; y < consola::ALTO; ++y)
        EXPECT_EQ(b.pantalla.fila(y).find_first_of("pq"), std::string::npos) << "fila " << y;
}
