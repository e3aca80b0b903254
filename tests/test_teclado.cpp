// Pruebas del analizador del teclado: bytes como los mandan los terminales de verdad (xterm,
// la consola de Linux, tmux) y las teclas que el juego debe recibir. Solo usa teclado.h.
#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <utility>

#include "consola/teclado.h"

using consola::Teclado;

namespace {

// Pasa los bytes al teclado (con `pausa`, avisa después de que no llegó nada más a tiempo) y
// cuenta las teclas que salen: E72 es la extendida 224+72, F59 la de función 0+59, #27 un código
// sin texto, y una tecla que escribe, su texto (con =código si no es el del carácter ASCII).
std::string teclas(Teclado& teclado, std::string_view bytes, bool pausa = false) {
    for (char c : bytes)
        teclado.recibir(static_cast<unsigned char>(c));
    if (pausa) teclado.sin_datos();
    std::string r;
    while (auto t = teclado.sacar()) {
        const std::string codigo = std::to_string(t->codigo);
        r += r.empty() ? "" : " ";
        if (t->prefijo != -1)
            r += (t->prefijo == 224 ? "E" : t->prefijo == 0 ? "F" : "?") + codigo + t->texto;
        else if (t->texto.empty())
            r += "#" + codigo;
        else
            r += t->texto + (t->texto == std::string(1, char(t->codigo)) ? "" : "=" + codigo);
    }
    return r;
}

} // namespace

TEST(Teclado, LoQueMandaCadaTerminal) {
    const std::pair<std::string_view, std::string_view> casos[] = {
        // Flechas en modo normal y de aplicación; con Ctrl o Mayús siguen siendo flechas.
        {"\x1b[A\x1b[B\x1b[C\x1b[D", "E72 E80 E77 E75"},
        {"\x1bOA\x1bOB\x1bOC\x1bOD", "E72 E80 E77 E75"},
        {"\x1b[1;5A\x1b[1;2B\x1b[1;3C\x1b[1;6D", "E72 E80 E77 E75"},
        // F1 de xterm (SS3), rxvt/VT220 (~) y la consola de Linux (ESC [ [); luego F2 a F12.
        {"\x1bOP\x1b[11~\x1b[[A", "F59 F59 F59"},
        {"\x1bOQ\x1bOS\x1b[[B\x1b[[E\x1b[12~\x1b[15;5~\x1b[17~\x1b[21~\x1b[23~\x1b[24~",
         "F60 F62 F60 F63 F60 F63 F64 F68 E133 E134"},
        // Inicio y Fin en todas sus formas; Insertar, Suprimir, RePág, AvPág.
        {"\x1b[H\x1bOH\x1b[1~\x1b[7~\x1b[1;5H\x1b[F\x1bOF\x1b[4~\x1b[8~",
         "E71 E71 E71 E71 E71 E79 E79 E79 E79"},
        {"\x1b[2~\x1b[3~\x1b[5~\x1b[6~", "E82 E83 E73 E81"},
        // ESC ESC: el primero es Escape en cuanto llega el segundo, que aún puede empezar algo.
        // Alt+x llega como ESC x: Escape y la x, sin esperar.
        {"\x1b\x1b[A\x1bx\x1b\r", "#27 E72 #27 x #27 #13"},
        // Un carácter trae su código de la 437 ('?' si no lo tiene, o si la 437 lo pone en la
        // zona de control, como ♪ en el 13) y su texto.
        {"ñÑ¿€😀♪", "ñ=164 Ñ=165 ¿=168 €=63 😀=63 ♪=63"},
        // Interrumpido se pierde el carácter, no lo que lo interrumpe; formas largas, sustitutos
        // y controles C1 no se pueden teclear.
        {"\xc3\x61\xe2\x82\x1b[B\xe0\x80\xafz\xed\xa0\x80y\xc2\x9bx", "a E80 z y x"},
        // Lo que no es una tecla se traga entero: pegado entre corchetes (el texto sí llega),
        // ratón SGR y X10 (tres bytes crudos que parecen letras), foco, Mayús+Tab, respuestas
        // del terminal, teclas de tilde o SS3 que no existen, y una CSI rota por otro ESC.
        {"\x1b[200~hi\x1b[201~\x1b[<0;10;5M\x1b[<0;10;5m\x1b[M !!b", "h i b"},
        {"\x1b[I\x1b[O\x1b[Z\x1b[?1;2c\x1b[>1A\x1b[99~\x1b[~\x1bOx\x1b[1;5Q\x1b[[Z\x1b[12\x1b[Dc",
         "E75 c"},
    };
    for (const auto& [bytes, esperadas] : casos) {
        Teclado teclado;
        EXPECT_EQ(teclas(teclado, bytes), esperadas)
            << ::testing::PrintToString(std::string(bytes));
    }
}

TEST(Teclado, EscapeSoloTrasUnSilencio) {
    // Un ESC puede empezar una flecha: es Escape cuando pasa el tiempo sin nada más.
    Teclado t;
    EXPECT_EQ(teclas(t, "\x1b"), "");
    EXPECT_EQ(teclas(t, "", true), "#27");
    EXPECT_EQ(teclas(t, "\x1b\x1b", true), "#27 #27");
    EXPECT_EQ(teclas(t, "", true), "") << "sin nada pendiente no se inventan teclas";
    // Una CSI interminable se abandona en vez de crecer sin fin.
    teclas(t, "\x1b[" + std::string(40, '1'));
    EXPECT_FALSE(t.esperando());
}
