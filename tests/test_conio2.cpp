// La API de consola de las pantallas: colores recordados, posiciones, lecturas de tecla con y
// sin eco, líneas tecleadas, pausa, y cuándo sale un cuadro al terminal.
#include <gtest/gtest.h>

#include "apoyo.h"

TEST(Conio2, ColoresRecordadosYOrdenDeVentana) {
    Escenario e;
    color_ventana(0xF0);
    EXPECT_EQ(e.atributo(1, 1), 0xF0);
    // El color de ventana no cambia el fondo recordado: sigue negro hasta textbackground.
    textcolor(LIGHTRED);
    escribir("a");
    EXPECT_EQ(e.atributo(1, 1), LIGHTRED);
    textbackground(WHITE);
    escribir("b");
    EXPECT_EQ(e.atributo(2, 1), LIGHTRED + 16 * WHITE);
    EXPECT_EQ(e.atributo(1, 1), LIGHTRED) << "lo ya escrito conserva su color";
    // Limpiar deja la pantalla en blanco con los colores actuales.
    limpiar_pantalla();
    EXPECT_EQ(e.atributo(80, 50), LIGHTRED + 16 * WHITE);
    EXPECT_EQ(e.consola.pantalla().cursor_x(), 0);
}

TEST(Conio2, PosicionesDesdeUnoYFueraDeLaPantalla) {
    Escenario e;
    gotoxy(33, 24);
    EXPECT_EQ(e.consola.pantalla().cursor_x(), 32);
    EXPECT_EQ(e.consola.pantalla().cursor_y(), 23);
    for (auto [x, y] : {std::pair{0, 5}, {81, 5}, {5, 0}, {5, 51}, {-3, -3}}) {
        gotoxy(x, y);
        EXPECT_EQ(e.consola.pantalla().cursor_x(), 32);
        EXPECT_EQ(e.consola.pantalla().cursor_y(), 23);
    }
    gotoxy(1, 1);
    escribir("\t\t\t   X");
    EXPECT_EQ(e.columna_de("X", 1), 28);
}

TEST(Conio2, TeclasComoLasDaLaConsola) {
    Escenario e;
    e.teclear("\x1b[A\x1bOB\x1b[[A\x1bOP\x1b[6~a\xc3\xb1\x7f\r");
    e.dispositivo.escape();
    const int esperados[] = {224, 72, 224, 80, 0, 59, 0, 59, 224, 81, 'a', 164, 8, 13, 27};
    for (int codigo : esperados) EXPECT_EQ(leer_tecla(), codigo);
    EXPECT_THROW(leer_tecla(), FinDeEntrada);
    EXPECT_EQ(e.todo(), Escenario().todo()) << "sin eco";

    // Con eco: el carácter queda en el cursor; una flecha no deja nada.
    Escenario c;
    c.teclear("ñ\x1b[Bz\r");
    EXPECT_EQ(leer_tecla_eco(), 164);
    EXPECT_EQ(leer_tecla_eco(), 224);
    EXPECT_EQ(leer_tecla_eco(), 80);
    EXPECT_EQ(leer_tecla_eco(), 'z');
    EXPECT_EQ(leer_tecla_eco(), 13);
    EXPECT_EQ(c.fila(1), "ñz");
}

TEST(Conio2, LoEscritoSaleAntesDeEsperarUnaTecla) {
    Escenario e;
    escribir("Pulsa una tecla: ");
    EXPECT_EQ(e.dispositivo.escrituras, 0u) << "nada sale a mitad de pantalla";
    EXPECT_THROW(leer_tecla(), FinDeEntrada);
    EXPECT_EQ(e.dispositivo.escrituras, 1u) << "un solo cuadro";
    EXPECT_NE(e.dispositivo.ultima_escritura.find("Pulsa una tecla: "), std::string::npos);
    EXPECT_THROW(leer_tecla(), FinDeEntrada);
    EXPECT_EQ(e.dispositivo.escrituras, 1u) << "sin cambios no se escribe nada";
}

TEST(Conio2, PalabrasConAcentosYNombresLargos) {
    Escenario e;
    e.teclear("  José Begoña\r").teclear(std::string(60, 'n') + "\r");
    char nombre[50];
    leer_palabra(nombre, sizeof nombre);
    EXPECT_STREQ(nombre, "José");
    leer_palabra(nombre, sizeof nombre);
    EXPECT_STREQ(nombre, "Begoña");
    EXPECT_EQ(e.fila(1), "  José Begoña") << "un carácter por celda";
    leer_palabra(nombre, sizeof nombre);
    EXPECT_EQ(std::string(nombre), std::string(49, 'n'));
    // El carácter y el fin de línea de "%c".
    e.teclear("sí\r");
    EXPECT_EQ(leer_caracter(), '\n') << "el fin de línea del nombre largo quedaba pendiente";
    EXPECT_EQ(leer_caracter(), 's');
    EXPECT_EQ(leer_caracter(), U'í');
    descartar_entrada();
    EXPECT_THROW(leer_caracter(), FinDeEntrada);
}

TEST(Conio2, PausaConsumeUnaTeclaEntera) {
    Escenario e;
    e.teclear("\x1b[Bx");
    pausa();
    EXPECT_EQ(e.columna_de("Presione una tecla para continuar . . .", 1), 1);
    EXPECT_EQ(e.consola.pantalla().cursor_y(), 1) << "tras la tecla, salto de línea";
    EXPECT_EQ(leer_tecla(), 'x') << "la flecha entera fue la tecla de la pausa";
}

TEST(Conio2, CambioDeTamañoYVentanaDemasiadoPequeña) {
    Escenario e;
    escribir("hola");
    // Con la ventana por debajo del mínimo las teclas no cuentan hasta que vuelve a crecer.
    e.dispositivo.cambiar_tamano({30, 10});
    e.teclear("a");
    e.dispositivo.cambiar_tamano({80, 50});
    e.teclear("b");
    EXPECT_EQ(leer_tecla(), 'b');
    EXPECT_NE(e.dispositivo.ultima_escritura.find("hola"), std::string::npos)
        << "tras crecer se repinta todo";
}
