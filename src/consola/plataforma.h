// Lo que cada plataforma da al programa: su terminal como dispositivo de la consola y dónde
// está el ejecutable. Hay una implementación por plataforma (terminal_posix.cpp,
// terminal_windows.cpp) y CMake compila solo la del destino; nada por encima de este fichero
// sabe en qué plataforma está.
#pragma once

#include <memory>
#include <string>

#include "consola/dispositivo.h"
#include "consola/mensajes.h"

namespace consola {

struct Apertura {
    std::unique_ptr<Dispositivo> dispositivo; // nulo si no se puede jugar aquí
    std::string error;                        // entonces, una línea en castellano que lo dice
};

// Toma el terminal del proceso para jugar: lo deja como estaba al destruir el dispositivo, y
// también si el proceso muere por una señal o una excepción. Sin terminal en la entrada o en la
// salida no hay dispositivo y nada se ha escrito ni tocado; la entrada, la salida o el error
// estándar cerrados cuentan como /dev/null.
Apertura abrir_terminal();

// Las salidas de los mensajes de fuera del juego (mensajes.h): la estándar y la de error.
Flujo& salida_estandar();
Flujo& error_estandar();

// El directorio del ejecutable que corre (sin la barra final), o "" si no se sabe.
std::string directorio_del_ejecutable(const char* argv0);

} // namespace consola
