// El volcado: de la memoria de pantalla al terminal. Guarda el cuadro que el terminal enseña y
// manda solo las celdas que cambiaron, en un único bloque envuelto en salida sincronizada.
// No hace E/S: devuelve los bytes; quien lo usa los escribe de una vez.
#pragma once

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
    Capacidades capacidades_;
    // ... estado del cuadro mostrado, a gusto de la implementación
    std::vector<Celda> mostrado_;
    Tamano tamano_mostrado_{0, 0};
    bool valido_ = false;
};

} // namespace consola
