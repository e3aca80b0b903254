// La consola por debajo de las pantallas: el teclado (bytes de los terminales a códigos de
// tecla), las líneas tecleadas, la memoria de pantalla y la API de conio2. Solo usa la consola
// en memoria; nada de E/S real.
#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <utility>

#include "apoyo.h"
#include "consola/texto.h"

using namespace consola;

namespace {

// Las teclas que da el teclado por esos bytes, con un silencio al final, escritas como E72 (224
// y 72), F59 (0 y 59), #27 (un código sin texto) o el texto, con =código si no es su ASCII.
std::string teclas(std::string_view bytes) {
    Teclado teclado;
    for (char c : bytes)
        teclado.recibir(static_cast<unsigned char>(c));
    teclado.sin_datos();
    std::string r;
    while (const std::optional<Tecla> t = teclado.sacar()) {
        const std::string codigo = std::to_string(t->codigo);
        r += r.empty() ? "" : " ";
        if (t->prefijo != -1)
            r += (t->prefijo == PREFIJO_EXTENDIDA ? "E" : "F") + codigo;
        else if (t->texto.empty())
            r += "#" + codigo;
        else
            r += t->texto + (t->texto == std::string(1, char(t->codigo)) ? "" : "=" + codigo);
    }
    return r;
}

} // namespace

// Lo que mandan los terminales de verdad, una secuencia por fila con su origen; un % vale por
// cada modificador (2 a 256: Mayúsculas, Alt, Ctrl, Super... y los bloqueos de kitty). Ninguna da
// una cifra, un Intro, una s o una n si no es esa tecla.
TEST(Teclado, LoQueMandanLosTerminales) {
    const std::pair<std::string_view, std::string_view> filas[] = {
        {"\x1b[1;%D", "E75"},               // xterm, VTE, kitty, WT, mintty, tmux, screen
        {"\x1bOA", "E72"},                  // todos, con las flechas en modo aplicación
        {"\x1b[1;%H", "E71"},               // xterm, VTE, kitty, WT, mintty: Inicio
        {"\x1bOF", "E79"},                  // xterm, VTE, en modo aplicación: Fin
        {"\x1b[1~", "E71"},                 // Linux, tmux, screen: Inicio
        {"\x1b[4~", "E79"},                 // Linux, tmux, screen: Fin
        {"\x1b[3;%~", "E83"},               // todos; el modificador, xterm y los suyos
        {"\x1b[1;%S", "F62"},               // xterm, VTE, kitty, WT, mintty: F4
        {"\x1bO2Q", "F60"},                 // xterm antiguo, Konsole: Mayúsculas+F2
        {"\x1b[11~", "F59"},                // PuTTY: F1
        {"\x1b[[E", "F63"},                 // Linux: F5
        {"\x1b[24;%~", "E134"},             // xterm, VTE, kitty, WT, mintty, tmux: F12
        {"\x1bOs", "3"},                    // xterm, VTE, screen: numérico en modo aplicación
        {"\x1bOM", "#13"},                  // ídem: su Intro
        {"\x1b[27u", "#27"},                // kitty: Escape
        {"\x1b[115;1:1u", "s"},             // kitty, todas las teclas y sucesos: pulsar la s
        {"\x1b[1;1:3A", ""},                // kitty, con sucesos: soltar la flecha
        {"\x1b[51:35;2u", "#"},             // kitty: Mayúsculas+3
        {"\x1b[51;3u", "F122"},             // kitty: Alt+3
        {"\x1b[110;5u", ""},                // kitty: Ctrl+n
        {"\x1b[57399u", "0"},               // kitty: el 0 del numérico
        {"\x1b[27;3;51~", "F122"},          // xterm con modifyOtherKeys: Alt+3
        {"\x1b\x33", "F122"},               // Alt+3: xterm, VTE, WT, mintty, tmux, screen
        {"\x1bN", ""},                      // ídem: Alt+Mayúsculas+n (en DOS, 0 y '1')
        {"\x1b]", ""},                      // ídem: Alt+] (en DOS, 0 y 27, Escape)
        {"\x1bO", "F24"},                   // ídem: Alt+Mayúsculas+o
        {"\x1b", "#27"},                    // todos: Escape sola, tras el silencio
        {"\x7f\b", "#8 #8"},                // todos: Retroceso (DEL, o Ctrl+H)
        {"\x1b\x1b[B", "#27 E80"},          // rxvt: Alt+Abajo
        {"\x1b[I", ""},                     // todos: foco dentro
        {"\x1b[<0;2345;1234m", ""},         // ratón SGR
        {"\x1b[M 33", ""},                  // ratón X10
        {"\x1b[?62;1;4;6;9;15;22;28c", ""}, // xterm: atributos del dispositivo
        {"\x1b[1;1R", ""},                  // todos: posición del cursor
        {"\x1b[0000000000000000000000000000000000002;3;4~", ""},  // demasiados parámetros
        {"\x1b[3;1;1;1;1;1~", "E83"},                            // y demasiados grupos
        {"\x1b[1;5\x18\x33\x1b]0;\x1a\x34\x1b\x18\x35", "3 4 5"}, // CAN y SUB anulan la secuencia
        {"\x1b]0;\x1b[A", "E72"},                           // un ESC en una cadena empieza otra
        {"ñÇ€😀♪\u0800", "ñ=164 Ç=128 €=63 😀=63 ♪=63 ࠀ=63"}, // su código de la 437, o '?'
        {"\x1b\xc3\x61\xe0\x80\xafz\xed\xa0\x80y\xc2\x9bx", "a z y x"}, // UTF-8 roto y C1: nada
    };
    for (const auto& [bytes, esperadas] : filas) {
        const std::size_t i = bytes.find('%');
        for (int m = 2; m <= (i == bytes.npos ? 2 : 256); ++m) {
            std::string b(bytes);
            if (i != bytes.npos) b.replace(i, 1, std::to_string(m));
            EXPECT_EQ(teclas(b), esperadas) << ::testing::PrintToString(b);
        }
    }
}

// Flujos al azar (siempre los mismos: splitmix64 y un módulo propio) de texto, UTF-8 y
// secuencias bien formadas de cualquier largo dan las mismas teclas que su texto solo.
TEST(Teclado, LasSecuenciasNoDejanTeclasEnElTexto) {
    std::uint64_t estado = 18;
    const auto azar = [&estado](std::size_t n) {
        std::uint64_t z = estado += 0x9E3779B97F4A7C15;
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EB;
        return static_cast<std::size_t>((z ^ (z >> 31)) % n);
    };
    const auto de = [&azar](std::string_view bytes, std::size_t n) {
        std::string r;
        for (; n > 0; --n)
            r += bytes[azar(bytes.size())];
        return r;
    };
    const std::string_view texto[] = {"a",      "0",          "s",         "n",      "~",
                                      "\r",     "ñ",          "\u07FF",    "\u0800", "\u083F",
                                      "\uFFFD", "\U00010000", "\U0010FFFF"};
    // Finales que no son ninguna tecla, ni tras "ESC [" ni tras "ESC O".
    const std::string_view finales = "@EGIJKLNOTUVWXYZ\\]^_`abcdefghiz{|}";
    for (int flujo = 0; flujo < 3000 && !HasFailure(); ++flujo) {
        std::string con, sin;
        for (std::size_t pieza = azar(40); pieza > 0; --pieza) {
            const std::size_t largo = azar(azar(8) == 0 ? 5000 : 6);
            const std::string_view t = texto[azar(std::size(texto))];
            // Cada sorteo en su sentencia: el orden de los operandos de + no está fijado.
            const std::string control = de("\r\n\t\b\x01", azar(2));
            const std::string parametros = de("0123456789:;<=>?", largo);
            const std::string intermedios = de("!\"#$%&'()*+,-./", azar(3));
            const std::string final = de(finales, 1);
            std::string cadena = de("]PX^_", 1);
            cadena += de("a;:/ ?\r\n\t\x01\xc3\xb1\xff\x9b", largo);
            cadena += azar(2) ? "\x07" : "\x1b\\";
            // Un control dentro de CSI cuenta como tecla; DEL no cuenta. OSC, DCS, SOS, PM y APC
            // acaban en BEL o ST. El ratón X10 lleva tres bytes crudos cualesquiera.
            const std::string secuencias[] = {
                "\x1b[" + parametros + control + "\x7f" + intermedios + final,
                "\x1bO" + final,
                "\x1b" + cadena,
                "\x1b[M" + de("\x1b\x18\x7f\x9b\xc3!09sn\r[", 3),
            };
            const std::size_t que = azar(std::size(secuencias) + 1);
            con += que < std::size(secuencias) ? secuencias[que] : t;
            sin += que == 0 ? control : que < std::size(secuencias) ? "" : std::string(t);
        }
        EXPECT_EQ(teclas(con), teclas(sin)) << flujo << ": " << ::testing::PrintToString(con);
    }
}

TEST(Entrada, PalabrasCaracteresYLoQueQuedaPendiente) {
    // Pedir una tecla que no se tecleó acaba la entrada: FinDeEntrada hace fallar la prueba.
    Escenario e;
    e.consola.pantalla().escribir("Nombre: ");
    e.consola.pantalla().fijar_atributo(0x1E);
    // Teclas que no escriben, Retroceso de más (no borra el aviso) y una ñ borrada entera.
    e.teclear("\x1b\x1b[A\t\x01\b añX\b\bc dos\r");
    EXPECT_EQ(e.consola.entrada().leer_palabra(49), "ac");
    EXPECT_EQ(e.fila(1), "Nombre:  ac dos");
    EXPECT_EQ(e.atributo(10, 1), 0x1E) << "el eco, en el color actual";
    EXPECT_EQ(e.consola.entrada().pendiente(), " dos\n");
    EXPECT_EQ(e.consola.entrada().leer_palabra(49), "dos");
    EXPECT_EQ(e.consola.entrada().leer_caracter(), "\n");
    // Sin nada pendiente "%c" recoge una línea y da su primer carácter, aunque sea de 2 bytes.
    e.teclear("ño\r");
    EXPECT_EQ(e.consola.entrada().leer_caracter(), "ñ");
    e.consola.entrada().descartar();
    // 48 letras y una ñ no caben en 49 bytes: fuera la ñ entera y el resto de la palabra.
    e.teclear(std::string(48, 'b') + "ñc sigue\r");
    EXPECT_EQ(e.consola.entrada().leer_palabra(49), std::string(48, 'b'));
    EXPECT_EQ(e.consola.entrada().pendiente(), " sigue\n");
    e.consola.entrada().descartar();
    // Una línea no pasa de MAX_LINEA bytes, pero Retroceso sigue borrando.
    e.teclear(std::string(Entrada::MAX_LINEA + 5, 'x') + "\by\r");
    EXPECT_EQ(e.consola.entrada().leer_palabra(1000),
              std::string(Entrada::MAX_LINEA - 1, 'x') + "y");
    // El eco en la última celda sube la pantalla: Retroceso borra la celda donde quedó.
    e.consola.pantalla().mover_cursor(79, 49);
    e.teclear("pq\b\br\r");
    EXPECT_EQ(e.consola.entrada().leer_palabra(49), "r");
    EXPECT_EQ(e.consola.pantalla().texto(78, 47, 2), " r");
    for (int y = 0; y < ALTO; ++y)
        EXPECT_EQ(e.consola.pantalla().fila(y).find_first_of("pq"), std::string::npos);
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
    for (auto [x, y] : {std::pair{80, 0}, {0, 50}, {-1, 0}})
        EXPECT_FALSE(p.mover_cursor(x, y)) << x << ',' << y;
    // La orden de color de ventana pinta todo, también lo que un terminal mayor que 80x50
    // enseña fuera; limpiar usa el atributo actual.
    p.color_ventana(0xF0);
    EXPECT_EQ(p.celda(79, 48), (Celda{U'A', 0xF0}));
    EXPECT_EQ(p.atributo_ventana(), 0xF0);
    p.fijar_atributo(0x2F);
    p.limpiar();
    EXPECT_EQ(p.celda(79, 49), (Celda{U' ', 0x2F}));
}

TEST(Texto, Utf8YBytesSueltosDeLa437) {
    // Lo que no es un carácter entero y válido va byte a byte, cada uno con su glifo de la 437: un
    // byte que no sigue, formas largas, un sustituto, más de U+10FFFF, F8 y un carácter cortado.
    const std::string_view texto =
        "\u07FF\u0800\U00010000\U0010FFFF\xC3\x41\xE0\x80\x80\xF0\x80\x80\x80"
        "\xED\xA0\x80\xF4\x90\x80\x80\xF8\xC4";
    std::u32string r;
    for (std::size_t pos = 0; pos < texto.size(); pos += decodificar(texto, pos).bytes)
        r += decodificar(texto, pos).car;
    EXPECT_EQ(r, U"\u07FF\u0800\U00010000\U0010FFFF├AαÇÇ≡ÇÇÇφáÇ⌠ÉÇÇ°─");
    EXPECT_EQ(utf8(U'\u07FF') + utf8(U'\u0800') + utf8(U'\U00010000') + utf8(U'\U0010FFFF'),
              texto.substr(0, 13));
    for (int b = 1; b < 256; ++b)
        EXPECT_EQ(a_cp437(cp437(static_cast<unsigned char>(b))), b);
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
