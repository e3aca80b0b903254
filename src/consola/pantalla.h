// La memoria de pantalla: 80x50 celdas con carácter y atributo, el cursor y la ventana visible.
// Se comporta como la consola para la que se escribieron las pantallas del juego, para que
// cada posición en que confían salga bien. No escribe en el terminal (eso es volcado.h) ni
// sabe nada del juego.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace consola {

inline constexpr int ANCHO = 80;
inline constexpr int ALTO = 50;
static_assert(ANCHO % 8 == 0, "las tabulaciones caen cada 8 columnas");

// Atributo = color de texto + 16 x color de fondo, con los números de la paleta de Windows.
// Esa paleta tiene el rojo (4) y el azul (1) al revés que la ANSI: el mismo cambio lleva de una
// a otra en los dos sentidos (los tres bits bajos; la intensidad, 8, no la toca).
constexpr int cambiar_rojo_y_azul(int color) {
    return ((color & 1) << 2) | (color & 2) | ((color & 4) >> 2);
}

struct Celda {
    char32_t car = U' ';
    std::uint16_t atributo = 7;
    bool operator==(const Celda&) const = default;
};

class Pantalla {
  public:
    Pantalla();

    // Escribe texto UTF-8 en el cursor con el atributo actual. Un byte que no forma parte de
    // UTF-8 válido se toma como carácter de la página de códigos 437. '\n' lleva a la columna 1
    // de la fila siguiente sin borrar; '\r' a la columna 1; '\t' a la siguiente parada (9, 17...);
    // '\a' no ocupa celda y hace sonar la campana en el próximo cuadro. Los demás caracteres de
    // control se guardan tal cual (el volcado los enseña como su glifo). Al llegar a la columna 80
    // se sigue en la fila siguiente; pasar de la fila 50 sube todo una fila.
    void escribir(std::string_view texto);

    // Posiciones desde 0. Fuera de la memoria no se mueve y devuelve false.
    bool mover_cursor(int x, int y);
    int cursor_x() const { return cx_; }
    int cursor_y() const { return cy_; }

    // Todas las celdas en blanco con el atributo actual; cursor a (0,0); ventana arriba.
    void limpiar();
    // La orden "color F0": todas las celdas y el atributo actual pasan a ese valor.
    void color_ventana(std::uint16_t atributo);
    std::uint16_t atributo_ventana() const { return atributo_ventana_; }

    void fijar_atributo(std::uint16_t atributo) { atributo_ = atributo; }
    std::uint16_t atributo() const { return atributo_; }

    void cursor_visible(bool visible) { cursor_visible_ = visible; }
    bool cursor_visible() const { return cursor_visible_; }

    const Celda& celda(int x, int y) const { return celdas_[y][x]; }
    // La fila y (desde 0) como texto UTF-8, sin recortar blancos.
    std::string fila(int y) const;
    // n celdas desde (x, y), en UTF-8.
    std::string texto(int x, int y, int n) const;

    // Campanas escritas desde la última vez que se preguntó.
    int tomar_campanas();

    // La ventana visible del terminal sobre la memoria, como la de una consola más pequeña que
    // su memoria: sigue al cursor con el menor desplazamiento posible y vuelve arriba al limpiar.
    void tamano_ventana(int columnas, int filas);
    int ventana_x() const { return vx_; }
    int ventana_y() const { return vy_; }
    // Justo antes de cada cuadro: tras limpiar, la ventana no vuelve arriba si no hace falta.
    void asentar_ventana();

    // Cuenta los cambios que obligan a repintar entero (limpiar, desplazar): el volcado la usa
    // para saber si le conviene comparar o no. Solo crece.
    std::uint64_t version() const { return version_; }

  private:
    void poner(char32_t c);
    void salto_de_linea();
    void desplazar();
    void seguir_cursor();

    Celda celdas_[ALTO][ANCHO];
    int cx_ = 0, cy_ = 0;
    std::uint16_t atributo_ = 7;
    std::uint16_t atributo_ventana_ = 7;
    bool cursor_visible_ = true;
    int campanas_ = 0;
    int ventana_ancho_ = ANCHO, ventana_alto_ = ALTO;
    int vx_ = 0, vy_ = 0;
    int vy_cuadro_ = 0;     // la fila de arriba de la ventana en el último cuadro
    bool limpiada_ = false; // desde el último cuadro
    std::uint64_t version_ = 0;
};

} // namespace consola
