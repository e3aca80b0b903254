// La consola por debajo de las pantallas: el teclado (bytes de los terminales a códigos de
// tecla), las líneas tecleadas, la memoria de pantalla y la API de conio2. Solo usa la consola
// en memoria; nada de E/S real.
#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <iterator>
#include <stdexcept>
#include <utility>

#include "apoyo.h"
#include "consola/texto.h"

using namespace consola;

namespace {

// Las teclas que da el teclado por esos bytes, con un silencio al final.
std::deque<Tecla> teclas_de(std::string_view bytes) {
    Teclado teclado;
    for (char c : bytes)
        teclado.recibir(static_cast<unsigned char>(c));
    teclado.sin_datos();
    std::deque<Tecla> r;
    while (auto t = teclado.sacar())
        r.push_back(*t);
    return r;
}

// Esas teclas escritas como E72 (224 y 72), F59 (0 y 59), #27 (un código sin texto) o el texto,
// con =código si no es su ASCII.
std::string teclas(std::string_view bytes) {
    std::string r;
    for (const Tecla& t : teclas_de(bytes)) {
        const std::string codigo = std::to_string(t.codigo);
        r += r.empty() ? "" : " ";
        if (t.prefijo != -1)
            r += (t.prefijo == 224 ? "E" : "F") + codigo;
        else if (t.texto.empty())
            r += "#" + codigo;
        else
            r += t.texto + (t.texto == std::string(1, char(t.codigo)) ? "" : "=" + codigo);
    }
    return r;
}

// Una entrada por líneas sobre una pantalla; pedir una tecla que no se tecleó es un fallo.
struct Banco {
    Pantalla pantalla;
    std::deque<Tecla> cola;
    Entrada entrada{pantalla, [this] {
                        if (cola.empty()) throw std::runtime_error("no quedan teclas");
                        Tecla t = cola.front();
                        cola.pop_front();
                        return t;
                    }};
    void teclear(std::string_view bytes) {
        std::ranges::copy(teclas_de(bytes), std::back_inserter(cola));
    }
};

} // namespace

TEST(Teclado, LoQueMandaCadaTerminal) {
    const std::pair<std::string_view, std::string_view> casos[] = {
        {"\x1b[A\x1b[B\x1b[C\x1b[D\x1bOA\x1bOB\x1b[1;5A\x1b[1;2B",
         "E72 E80 E77 E75 E72 E80 E72 E80"},
        // F1 de xterm, VT220 y la consola de Linux; F2 a F12 y las teclas de tilde.
        {"\x1bOP\x1b[11~\x1b[[A\x1bOS\x1b[[E\x1b[15;5~\x1b[21~\x1b[24~",
         "F59 F59 F59 F62 F63 F63 F68 E134"},
        {"\x1b[H\x1bOH\x1b[1~\x1b[7~\x1b[F\x1b[4~\x1b[8~", "E71 E71 E71 E71 E79 E79 E79"},
        {"\x1b[2~\x1b[3~\x1b[5~\x1b[6~", "E82 E83 E73 E81"},
        // ESC ESC, Alt+x, Escape sola tras un silencio; Intro como \r o como \n; Retroceso.
        {"\x1b\x1b[A\x1bx\r\n\x7f\x08\x1b", "#27 E72 #27 x #13 #13 #8 #8 #27"},
        // Caracteres: su código de la 437 ('?' si no tiene, o si cae en la zona de control).
        {"ñÑ¿€😀♪ж耀", "ñ=164 Ñ=165 ¿=168 €=63 😀=63 ♪=63 ж=63 耀=63"},
        // UTF-8 cortado, formas largas, sustitutos y C1 no son teclas; lo que los corta, sí.
        {"\xc3\x61\xe2\x82\x1b[B\xe0\x80\xafz\xed\xa0\x80y\xc2\x9bx", "a E80 z y x"},
        // Pegado entre corchetes, ratón SGR y X10, foco, respuestas, secuencias raras o rotas.
        {"\x1b[200~hi\x1b[201~\x1b[<0;10;5M\x1b[M !!b\x1b[I\x1b[?1;2c\x1b[99~\x1bOx\x1b[12\x1b[Dc"
         "\x1b[1\rq",
         "h i b E75 c #13 q"},
    };
    for (const auto& [bytes, esperadas] : casos)
        EXPECT_EQ(teclas(bytes), esperadas) << ::testing::PrintToString(std::string(bytes));
    Teclado t;
    t.recibir(0x1b);
    EXPECT_FALSE(t.sacar()) << "un ESC solo espera a ver si empieza una secuencia";
    for (int i = 0; i < 40; ++i)
        t.recibir('1');
    EXPECT_FALSE(t.esperando()) << "una secuencia sin fin se abandona";
}

TEST(Entrada, PalabrasCaracteresYLoQueQuedaPendiente) {
    Banco b;
    b.pantalla.escribir("Nombre: ");
    b.pantalla.fijar_atributo(0x1E);
    // Teclas que no escriben, Retroceso de más (no borra el aviso) y una ñ borrada entera.
    b.teclear("\x1b\x1b[A\t\x01\b añX\b\bc dos\r");
    EXPECT_EQ(b.entrada.leer_palabra(49), "ac");
    EXPECT_EQ(b.pantalla.texto(0, 0, 16), "Nombre:  ac dos ");
    EXPECT_EQ(b.pantalla.celda(9, 0).atributo, 0x1E) << "el eco, en el color actual";
    EXPECT_EQ(b.entrada.pendiente(), " dos\n");
    EXPECT_EQ(b.entrada.leer_palabra(49), "dos");
    EXPECT_EQ(b.entrada.leer_caracter(), "\n");
    // Sin nada pendiente "%c" recoge una línea y da su primer carácter, aunque sea de 2 bytes.
    b.teclear("ño\r");
    EXPECT_EQ(b.entrada.leer_caracter(), "ñ");
    b.entrada.descartar();
    // 48 letras y una ñ no caben en 49 bytes: fuera la ñ entera y el resto de la palabra.
    b.teclear(std::string(48, 'b') + "ñc sigue\r");
    EXPECT_EQ(b.entrada.leer_palabra(49), std::string(48, 'b'));
    EXPECT_EQ(b.entrada.pendiente(), " sigue\n");
    b.entrada.descartar();
    // Una línea no pasa de MAX_LINEA bytes, pero Retroceso sigue borrando.
    b.teclear(std::string(Entrada::MAX_LINEA + 5, 'x') + "\by\r");
    EXPECT_EQ(b.entrada.leer_palabra(1000), std::string(Entrada::MAX_LINEA - 1, 'x') + "y");
    // El eco en la última celda sube la pantalla: Retroceso borra la celda donde quedó.
    b.pantalla.mover_cursor(79, 49);
    b.teclear("pq\b\br\r");
    EXPECT_EQ(b.entrada.leer_palabra(49), "r");
    EXPECT_EQ(b.pantalla.texto(78, 47, 2), " r");
    for (int y = 0; y < ALTO; ++y)
        EXPECT_EQ(b.pantalla.fila(y).find_first_of("pq"), std::string::npos);
}

TEST(Pantalla, EscrituraTabulacionesAjusteYDesplazamiento) {
    Pantalla p;
    // Cada parada de tabulación; pasada la última, la fila siguiente.
    for (auto [desde, hasta] : {std::pair{0, 8}, {7, 8}, {8, 16}, {71, 72}, {72, -1}, {79, -1}}) {
        p.mover_cursor(desde, 4);
        p.escribir("\t");
        EXPECT_EQ(std::pair(p.cursor_x(), p.cursor_y()),
                  hasta < 0 ? std::pair(0, 5) : std::pair(hasta, 4));
    }
    // Ni \t ni \n ni \r borran; los bytes sueltos de la 437 son sus cajas.
    p.mover_cursor(0, 0);
    p.escribir("abcdefghij\nXYZ");
    p.mover_cursor(0, 0);
    p.escribir("\t\n12\r3");
    EXPECT_EQ(p.fila(0).substr(0, 11) + p.texto(0, 1, 3), "abcdefghij 32Z");
    p.escribir("\xC4");
    p.escribir("\xB3"); // juntos serían la ĳ de UTF-8
    EXPECT_EQ(p.texto(0, 1, 3), "3─│");
    // Justo 80 caracteres ya pasan de fila: un \n tras ellos deja una fila en blanco.
    p.mover_cursor(0, 9);
    p.escribir(std::string(80, '=') + "\nx");
    EXPECT_EQ(p.texto(0, 10, 1) + p.texto(0, 11, 1), " x");
    // Pasar de la fila 50 sube todo; la fila nueva, en blanco con el atributo actual.
    p.mover_cursor(79, 49);
    p.fijar_atributo(0x47);
    p.escribir("A");
    EXPECT_EQ(p.texto(79, 48, 1), "A");
    EXPECT_EQ(p.celda(0, 49), (Celda{U' ', 0x47}));
    EXPECT_EQ(std::pair(p.cursor_x(), p.cursor_y()), std::pair(0, 49));
    EXPECT_FALSE(p.mover_cursor(80, 0) || p.mover_cursor(0, 50) || p.mover_cursor(-1, 0));
    // La orden de color de ventana pinta todo; limpiar usa el atributo actual.
    p.color_ventana(0xF0);
    EXPECT_EQ(p.celda(79, 48), (Celda{U'A', 0xF0}));
    p.fijar_atributo(0x2F);
    p.limpiar();
    EXPECT_EQ(p.celda(79, 49), (Celda{U' ', 0x2F}));
}

TEST(Texto, Utf8YBytesSueltosDeLa437) {
    const std::tuple<std::string_view, char32_t, std::size_t> casos[] = {
        {"\u07FF", U'\u07FF', 2},
        {"\u0800", U'\u0800', 3},
        {"\U00010000", U'\U00010000', 4},
        {std::string_view("\xC4\xB3", 1), U'─', 1},
        {"\xC3\x41", U'├', 1},
        {"\xE0\x80\x80", U'α', 1},
        {"\xF0\x80\x80\x80", U'≡', 1},
        {"\xED\xA0\x80", U'φ', 1},
        {"\xF4\x90\x80\x80", U'⌠', 1},
        {"\xF8\x90\x80\x80", U'°', 1},
        {"\x80", U'Ç', 1},
    };
    for (const auto& [texto, car, bytes] : casos) {
        EXPECT_EQ(std::pair(decodificar(texto, 0).car, decodificar(texto, 0).bytes),
                  std::pair(car, bytes));
        EXPECT_TRUE(bytes == 1 || utf8(car) == texto) << "y de vuelta a UTF-8";
    }
    for (int b = 1; b < 256; ++b)
        EXPECT_EQ(a_cp437(cp437(static_cast<unsigned char>(b))), b);
    EXPECT_EQ(a_cp437(U'€'), -1);
}

TEST(Conio2, ColoresPosicionesYTeclas) {
    Escenario e;
    color_ventana(0xF0);
    // El color de ventana no cambia el fondo recordado: sigue negro hasta textbackground.
    textcolor(LIGHTRED);
    escribir("a");
    textbackground(WHITE);
    escribir("b");
    EXPECT_EQ(e.atributo(1, 1), LIGHTRED);
    EXPECT_EQ(e.atributo(2, 1), 0xFC);
    gotoxy(33, 24);
    gotoxy(81, 5);
    gotoxy(5, 0);
    escribir("\t\t\t   X"); // desde la columna 33: paradas en 41, 49 y 57
    // Sin eco, las extendidas en dos lecturas; con eco, solo lo que escribe deja algo.
    e.teclear("\x1b[A\x1bOP\x1b[6~a\xc3\xb1\r\x1b");
    for (int codigo : {224, 72, 0, 59, 224, 81, int{'a'}})
        EXPECT_EQ(leer_tecla(), codigo);
    for (int codigo : {164, 13, 27})
        EXPECT_EQ(leer_tecla_eco(), codigo);
    EXPECT_EQ(e.fila(24), std::string(59, ' ') + "Xñ");
    EXPECT_THROW(leer_tecla(), FinDeEntrada);
}

TEST(Conio2, PrimeroLaEntradaLuegoUnCuadroYLaPausaTomaUnaTeclaEntera) {
    Escenario e;
    escribir("Pulsa: ");
    e.dispositivo.teclear("ab\x1b").silencio().teclear("\x1b[Bx");
    EXPECT_EQ(e.dispositivo.escrituras, 0u) << "nada sale a mitad de pantalla";
    for (int tecla : {'a', 'b'})
        EXPECT_EQ(leer_tecla(), tecla);
    EXPECT_EQ(e.dispositivo.escrituras, 0u) << "con teclas esperando no se compone ningún cuadro";
    EXPECT_EQ(leer_tecla(), 27) << "el ESC solo es Escape tras el plazo entero";
    EXPECT_EQ(e.dispositivo.escrituras, 1u) << "y el cuadro sale antes de esperarlo";
    EXPECT_NE(e.dispositivo.ultima_escritura.find("Pulsa: "), std::string::npos);
    EXPECT_EQ(leer_tecla(), 224);
    pausa(); // se lleva el 80 que quedaba de la flecha
    EXPECT_EQ(e.fila(1), "Pulsa: Presione una tecla para continuar . . .");
    EXPECT_EQ(leer_tecla(), 'x');
    EXPECT_EQ(e.dispositivo.reloj_ms, 50) << "solo el silencio hizo esperar";
    // Por debajo del tamaño mínimo solo se ve el aviso, partido por palabras (la primera línea
    // llena las 29 columnas), y las teclas no cuentan; al crecer se repinta todo.
    e.dispositivo.guardar_salida = true;
    e.dispositivo.cambiar_tamano({29, 10}).silencio().cambiar_tamano({29, 10}).silencio();
    e.teclear("a");
    e.dispositivo.cambiar_tamano({80, 50}).silencio();
    e.teclear("b");
    EXPECT_EQ(leer_tecla(), 'b');
    // El aviso, y otra vez tras el repintado de una vuelta de Ctrl+Z al mismo tamaño.
    const std::string aviso = "Quatrelo necesita una ventana\x1b[2Hde al menos 40x12.";
    const std::string& s = e.dispositivo.salida;
    EXPECT_NE(s.find(aviso, s.find(aviso) + 1), std::string::npos);
    EXPECT_NE(e.dispositivo.ultima_escritura.find("Pulsa"), std::string::npos);
}
