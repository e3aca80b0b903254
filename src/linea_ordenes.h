// La línea de órdenes del juego: el nivel del ordenador, o la ayuda, la versión o un error, que
// se escriben aquí mismo. No toca el terminal: escribe en los flujos que le dan.
#pragma once

#include <span>

#include "consola/mensajes.h"

// Lo que queda tras leer la línea de órdenes: jugar con ese nivel, o terminar ya con `estado`.
struct Ordenes {
    bool jugar = true;
    int nivel = 1;
    int estado = 0;
};

// Lee los argumentos (sin el nombre del programa) con las convenciones de siempre: -n N, -nN,
// --nivel N, --nivel=N, -h, --help, -V y --version. La ayuda y la versión van a `salida`
// (estado 0, o 1 y una línea en `error` si no se pudieron escribir); un argumento que no se
// entiende o un nivel que no es 1, 2 o 3, a `error` con el uso (estado 2).
Ordenes leer_ordenes(std::span<const char* const> argumentos, const char* version,
                     consola::Flujo& salida, consola::Flujo& error);
