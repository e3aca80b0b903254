// La lógica de la consola de Windows que no necesita Windows, para que se compile y se pruebe
// en todas partes: lo que declara saber hacer la consola, el intérprete de la secuencia VT del
// volcado para las consolas que no la entienden (que pinta a través de la interfaz
// ConsolaClasica) y la traducción de las teclas de la consola a los bytes de un xterm. No toca
// ninguna consola ni sabe nada del juego; terminal_windows.cpp pone las llamadas de Win32.
#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>

#include "consola/dispositivo.h"

namespace consola {

// Lo que entiende la consola de Windows 10 con VT (y Windows Terminal), y lo que interpreta
// InterpreteVT donde no hay VT. `con_color` es falso cuando el usuario pidió NO_COLOR.
Capacidades capacidades_de_la_consola(bool con_color);

// La consola clásica, sin VT (Windows 7 y 8, Windows 10 antiguo, wine): lo poco que el
// intérprete le pide. Coordenadas desde 0, relativas a la ventana visible; cada carácter
// UTF-16 ocupa una celda, como en esa consola.
class ConsolaClasica {
  public:
    virtual ~ConsolaClasica() = default;
    // El tamaño de la ventana visible; nada si no se puede saber (se sigue con el de antes).
    virtual std::optional<Tamano> ventana() = 0;
    // Los caracteres en la fila y desde la columna x, todos con el atributo dado.
    virtual void escribir(int x, int y, std::u16string_view texto, std::uint16_t atributo) = 0;
    // n celdas desde (x, y), siguiendo por las filas de debajo, con ese carácter y atributo.
    virtual void rellenar(int x, int y, int n, char16_t c, std::uint16_t atributo) = 0;
    virtual void cursor(int x, int y) = 0;
    virtual void cursor_visible(bool visible) = 0;
    virtual void campana() = 0;
};

// Aplica a una consola clásica la secuencia VT que manda el volcado: colocar y mover el cursor,
// CR, LF y BS, colores, borrados (con el fondo actual, como una consola con bce), cursor
// visible y campana. Lo demás (salida sincronizada, pantalla alternativa, juegos de caracteres,
// OSC) se salta entero.
class InterpreteVT {
  public:
    // `defecto`: el atributo que dan SGR 0, 39 y 49, el de la consola del usuario.
    InterpreteVT(ConsolaClasica& consola, std::uint16_t defecto)
        : consola_(consola), defecto_(defecto), atributo_(defecto) {}

    // Bytes en UTF-8; al acabar, el cursor de la consola queda donde lo dejó la secuencia.
    void escribir(std::string_view bytes);

  private:
    enum class Estado { texto, escape, csi, osc, juego };
    void caracter(char16_t c);
    void orden(char16_t final);
    void colores();
    void soltar();
    void borrar(int x, int y, int n);

    ConsolaClasica& consola_;
    std::uint16_t defecto_, atributo_;
    int ancho_ = 80, alto_ = 50, x_ = 0, y_ = 0;
    bool margen_ = false; // se escribió en la última columna: el siguiente carácter salta de fila
    Estado estado_ = Estado::texto;
    std::u16string secuencia_;
    std::u16string tramo_; // caracteres seguidos de una fila, aún sin escribir
    int tramo_x_ = 0;
};

// Las teclas virtuales de Windows que importan aquí, con los valores de sus VK_*.
enum class Virtual : std::uint16_t {
    retroceso = 0x08,
    borrar_centro = 0x0C, // el 5 del teclado numérico sin Bloq Num
    intro = 0x0D,
    alt = 0x12,
    escape = 0x1B,
    repag = 0x21,
    avpag = 0x22,
    fin = 0x23,
    inicio = 0x24,
    izquierda = 0x25,
    arriba = 0x26,
    derecha = 0x27,
    abajo = 0x28,
    insertar = 0x2D,
    suprimir = 0x2E,
    numerico0 = 0x60,
    numerico9 = 0x69,
    f1 = 0x70,
    f2,
    f3,
    f4,
    f5,
    f6,
    f7,
    f8,
    f9,
    f10,
    f11,
    f12,
};

// Un suceso de tecla de la consola, lo que de él importa.
struct SucesoTecla {
    Virtual tecla{};
    char16_t caracter = 0; // UTF-16: un carácter fuera del plano básico llega en dos sucesos
    bool pulsada = true;   // falso: se soltó
    bool alt = false, ctrl = false;
    bool extendida = false; // del bloque de flechas, no del teclado numérico
    int repeticiones = 1;
};

// De sucesos de tecla a lo que leería el teclado en un xterm (Alt+tecla como ESC y la tecla).
// Guarda la primera mitad de un carácter que llega en dos sucesos hasta que llega la segunda.
class TeclasConsola {
  public:
    // Añade a `cola` los bytes de la tecla; tras una tecla Escape, un "sin datos", para que el
    // teclado no espere una secuencia aunque otra tecla esté ya en la cola.
    void traducir(const SucesoTecla& suceso, std::deque<Lectura>& cola);

  private:
    // El carácter en UTF-8; vacío si es la primera mitad de un par, que se guarda.
    std::string caracter(char16_t c);
    char16_t sustituto_alto_ = 0;
};

} // namespace consola
