// Lo que sabe hacer el terminal del proceso, preguntado a su descripción (terminfo) y al
// entorno. Solo existe en POSIX (la consola de Windows declara sus capacidades ella misma).
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>

#include "consola/dispositivo.h"

namespace consola {

// La descripción de un terminal tal como la da terminfo. Las cadenas con parámetros van ya
// aplicadas a unos valores de muestra, para compararlas con las secuencias que el volcado
// manda: "cup" a la fila 4 y columna 9 (desde 0), "ech", "cuu", "cud", "cuf" y "cub" a 7,
// "rep" a 'x' y 7, "setaf1"/"setab1" y "setaf9"/"setab9" a los colores 1 y 9. Las demás
// ("el", "ed", "clear", "cr", "cud1", "cub1", "smcup", "rmcup", "acsc", "smacs", "rmacs") van
// tal cual. Una capacidad que el terminal no tiene no está.
struct DescripcionTerminal {
    std::map<std::string, std::string, std::less<>> cadenas;
    int colores = -1; // max_colors; -1 si no lo dice
    bool bce = false; // back_color_erase
};

struct Entorno {
    bool utf8 = true;       // la localización es UTF-8
    bool sin_color = false; // NO_COLOR con algún valor
    bool ssh = false;       // SSH_CONNECTION o SSH_TTY: el Escape espera más
};

// Las capacidades de un terminal así descrito. Cada campo se activa solo si la cadena de
// terminfo es justo la secuencia que manda el volcado. Sin valor si no sabe colocar el cursor
// con CUP.
std::optional<Capacidades> decidir_capacidades(const DescripcionTerminal& descripcion,
                                               const Entorno& entorno);

// La descripción del terminal `nombre` en la base de datos de terminfo, sin las marcas de
// retardo ($<5>, $<2*/>...), que no son parte de ninguna secuencia. Uno de papel sale sin
// capacidades. Sin valor si no se conoce o no hay base de datos, y entonces `error` lo explica.
std::optional<DescripcionTerminal> describir_terminal(std::string nombre, std::string& error);

// Las capacidades del terminal de $TERM según terminfo, la localización (nl_langinfo) y el
// entorno (NO_COLOR, SSH). Sin valor si en ese terminal no se puede jugar (no sabe colocar el
// cursor, o no se conoce), y entonces `error` lo explica en una línea en castellano.
std::optional<Capacidades> capacidades_del_terminal(std::string& error);

} // namespace consola
