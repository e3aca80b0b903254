// Las capacidades del terminal según el entorno y la localización. Solo lee variables de
// entorno y la localización; no toca el terminal.
#include "consola/terminfo.h"

#include <langinfo.h>
#include <strings.h>

#include <clocale>
#include <cstdlib>
#include <cstring>

namespace consola {

std::optional<Capacidades> capacidades_del_terminal(std::string&) {
    Capacidades c;
    std::setlocale(LC_CTYPE, "");
    const char* juego = ::nl_langinfo(CODESET);
    c.utf8 =
        juego != nullptr && (::strcasecmp(juego, "UTF-8") == 0 || ::strcasecmp(juego, "UTF8") == 0);
    const char* term = std::getenv("TERM");
    if (term != nullptr && std::strcmp(term, "linux") == 0)
        c.cajas = Cajas::ascii;
    else
        c.cajas = c.utf8 ? Cajas::unicode : Cajas::dec;
    const char* sin_color = std::getenv("NO_COLOR");
    c.colores = sin_color == nullptr || sin_color[0] == '\0' ? 16 : 0;
    const bool ssh = std::getenv("SSH_CONNECTION") != nullptr || std::getenv("SSH_TTY") != nullptr;
    c.espera_escape_ms = ssh ? 100 : 50;
    return c;
}

} // namespace consola
