// Lo que sabe hacer el terminal del proceso, preguntado a su descripción y al entorno. Solo
// existe en POSIX (la consola de Windows declara sus capacidades ella misma).
#pragma once

#include <optional>
#include <string>

#include "consola/dispositivo.h"

namespace consola {

// Las capacidades del terminal de $TERM según terminfo, la localización (nl_langinfo) y el
// entorno (NO_COLOR, SSH). Sin valor si en ese terminal no se puede jugar (no sabe colocar el
// cursor, o no se conoce), y entonces `error` lo explica en una línea en castellano.
std::optional<Capacidades> capacidades_del_terminal(std::string& error);

} // namespace consola
