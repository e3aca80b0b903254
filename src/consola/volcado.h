// El volcado: de la memoria de pantalla al terminal. Guarda el cuadro que el terminal enseña y
// manda solo las celdas que cambiaron, en un único bloque envuelto en salida sincronizada.
// No hace E/S: devuelve los bytes; quien lo usa los escribe de una vez.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "consola/dispositivo.h"
#include "consola/pantalla.h"

namespace consola {

// Por debajo de esto no se dibuja el juego, sino un aviso con el tamaño necesario.
inline constexpr int MIN_COLUMNAS = 40;
inline constexpr int MIN_FILAS = 12;

class Volcado {
public:
    explicit Volcado(Capacidades capacidades) : capacidades_(capacidades) {}

    // Los bytes que llevan el terminal (de tamaño `terminal`) de lo que enseñaba a lo que hay en
    // la pantalla: celdas cambiadas, cursor, visibilidad del cursor, campana. Cadena vacía si no
    // hay nada que mandar. La ventana visible es la de la pantalla (ventana_x, ventana_y); lo
    // que el terminal tenga de más a la derecha o abajo se pinta con el atributo de ventana.
    std::string cuadro(Pantalla& pantalla, Tamano terminal);

    // El terminal ya no enseña lo que creemos (cambio de tamaño, vuelta de una suspensión):
    // el próximo cuadro lo repinta todo.
    void olvidar();

private:
    // Cómo se ve una celda en este terminal: el carácter que de verdad se manda (sustituciones
    // hechas) y el atributo que importa. Comparar lo visible evita mandar lo que no se notaría.
    Celda visible(Celda celda) const;
    void escribir_celda(std::string& salida, const Celda& celda, int columnas);
    void poner_atributo(std::string& salida, std::uint16_t atributo);
    void mover(std::string& salida, int x, int y);
    std::string aviso(Tamano terminal, bool campana);

    Capacidades capacidades_;
    // Lo que enseña el terminal, para mandar solo la diferencia.
    std::vector<Celda> mostrado_;   // lo que enseña el terminal, ya en forma visible
    std::vector<Celda> deseada_;    // una fila de lo que debe enseñar (se reutiliza)
    Tamano tamano_mostrado_{0, 0};
    bool valido_ = false;
    bool aviso_ = false;            // el terminal enseña el aviso de tamaño de tamano_mostrado_

    // Lo que sabemos del terminal entre cuadros. -1: desconocido.
    int cursor_x_ = -1, cursor_y_ = -1;
    int sgr_ = -1;                  // atributo vigente; -2 tras "\x1b[0m"
    int cursor_visible_ = -1;       // 0 oculto, 1 visible
    bool dec_ = false;              // juego de líneas DEC activo (solo dentro de un cuadro)
};

} // namespace consola
