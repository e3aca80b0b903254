// Las capacidades del terminal según su descripción en terminfo (libtinfo de ncurses), la
// localización y el entorno. Solo lee la base de datos de terminfo, variables de entorno y la
// localización; no toca el terminal ni escribe nada en él.
#include "consola/terminfo.h"

#include <langinfo.h>
#include <strings.h>
#include <unistd.h>

#include <clocale>
#include <cstdlib>
#include <string_view>

// term.h define una macro por cada capacidad (cr, el, ed...): va la última y solo aquí.
#include <term.h>

namespace consola {

namespace {

bool es(const DescripcionTerminal& d, std::string_view nombre, std::string_view forma) {
    const auto i = d.cadenas.find(nombre);
    return i != d.cadenas.end() && i->second == forma;
}

bool contiene(const DescripcionTerminal& d, std::string_view nombre, std::string_view trozo) {
    const auto i = d.cadenas.find(nombre);
    return i != d.cadenas.end() && i->second.find(trozo) != std::string::npos;
}

// acsc empareja cada letra del juego VT100 con la que manda el terminal: las líneas de las cajas
// tienen que ser las propias letras (q, x, l, k, m, j).
bool lineas_vt100(const DescripcionTerminal& d) {
    const auto i = d.cadenas.find("acsc");
    if (i == d.cadenas.end()) return false;
    const std::string& acsc = i->second;
    for (const char letra : std::string_view("qxlkmj")) {
        bool esta = false;
        for (std::size_t k = 0; k + 1 < acsc.size(); k += 2)
            esta = esta || (acsc[k] == letra && acsc[k + 1] == letra);
        if (!esta) return false;
    }
    return true;
}

// Los nombres van a terminfo por una copia que se puede modificar: ncurses 6 los declara
// `const char *`, pero con la ABI 5 (la de macOS) son `char *`, y en C++ una cadena constante
// no se convierte en eso.
template <class Funcion> auto preguntar(Funcion funcion, const char* nombre) {
    std::string copia = nombre;
    return funcion(copia.data());
}

// Las marcas de retardo ($<5>, $<2*>, $<20/>, $<1.5*/>) piden a tputs que espere tras la
// secuencia (o que rellene con NUL); no son bytes para el terminal, y el volcado no las manda.
// En un pseudoterminal no hay nada que esperar. En una línea serie de verdad tampoco se espera:
// un terminal que procesa las secuencias a la velocidad de la línea no lo necesita, y uno que no
// (un VT100 a 19200 baudios) depende de XON/XOFF, que el modo crudo quita; ese no se soporta.
std::string sin_retardos(std::string s) {
    for (std::size_t i = s.find("$<"); i != std::string::npos; i = s.find("$<", i)) {
        const std::size_t fin = s.find_first_not_of("0123456789.*/", i + 2);
        if (fin != std::string::npos && s[fin] == '>')
            s.erase(i, fin + 1 - i);
        else
            i += 2;
    }
    return s;
}

// La cadena de una capacidad; vacía si el terminal no la tiene.
std::string cadena(const char* nombre) {
    const char* s = preguntar(::tigetstr, nombre);
    if (s == nullptr || s == reinterpret_cast<const char*>(-1)) return {};
    return s;
}

// La cadena de una capacidad con sus parámetros aplicados (tparm con los nueve de X/Open).
void con_parametros(DescripcionTerminal& d, const char* nombre, const std::string& clave, long p1,
                    long p2 = 0) {
    std::string forma = cadena(nombre);
    if (forma.empty()) return;
    const char* r = ::tparm(forma.data(), p1, p2, 0L, 0L, 0L, 0L, 0L, 0L, 0L);
    if (r != nullptr) d.cadenas[clave] = sin_retardos(r);
}

} // namespace

std::optional<Capacidades> decidir_capacidades(const DescripcionTerminal& d, const Entorno& e) {
    if (!es(d, "cup", "\x1b[5;10H")) return std::nullopt;
    Capacidades c;
    c.utf8 = e.utf8;
    // Con UTF-8 las líneas Unicode; sin él, el juego DEC si el terminal lo tiene con ESC ( 0.
    if (e.utf8)
        c.cajas = Cajas::unicode;
    else if (lineas_vt100(d) && es(d, "smacs", "\x1b(0") && es(d, "rmacs", "\x1b(B"))
        c.cajas = Cajas::dec;
    else
        c.cajas = Cajas::ascii;
    const bool ocho = d.colores >= 8 && es(d, "setaf1", "\x1b[31m") && es(d, "setab1", "\x1b[41m");
    const bool dieciseis =
        d.colores >= 16 && es(d, "setaf9", "\x1b[91m") && es(d, "setab9", "\x1b[101m");
    c.colores = e.sin_color || !ocho ? 0 : dieciseis ? 16 : 8;
    c.bce = d.bce;
    c.borrar_pantalla = contiene(d, "clear", "\x1b[2J") || es(d, "ed", "\x1b[J");
    c.borrar_linea = es(d, "el", "\x1b[K");
    c.borrar_caracteres = es(d, "ech", "\x1b[7X");
    c.repetir = es(d, "rep", "x\x1b[6b");
    c.mover_relativo = es(d, "cuu", "\x1b[7A") && es(d, "cud", "\x1b[7B") &&
                       es(d, "cuf", "\x1b[7C") && es(d, "cub", "\x1b[7D");
    c.mover_basico = es(d, "cr", "\r") && es(d, "cud1", "\n") && es(d, "cub1", "\b");
    c.pantalla_alternativa =
        contiene(d, "smcup", "\x1b[?1049h") && contiene(d, "rmcup", "\x1b[?1049l");
    c.espera_escape_ms = e.ssh ? 100 : 50;
    return c;
}

std::optional<DescripcionTerminal> describir_terminal(std::string nombre, std::string& error) {
    int resultado = 0;
    DescripcionTerminal d;
    if (::setupterm(nombre.data(), STDOUT_FILENO, &resultado) != 0) {
        // 1: uno de papel, que se conoce pero no tiene pantalla ni cursor que colocar. ncurses
        // lo deja cargado aunque diga que no.
        if (cur_term != nullptr) ::del_curterm(cur_term);
        if (resultado == 1) return d;
        error = resultado == -1 ? "no se encuentra la base de datos de terminales (terminfo)."
                                : "no se conoce el terminal «" + nombre + "» (TERM).";
        return std::nullopt;
    }
    d.colores = preguntar(::tigetnum, "colors");
    d.bce = preguntar(::tigetflag, "bce") > 0;
    for (const char* nombre_cadena :
         {"el", "ed", "clear", "cr", "cud1", "cub1", "smcup", "rmcup", "acsc", "smacs", "rmacs"}) {
        std::string s = sin_retardos(cadena(nombre_cadena));
        if (!s.empty()) d.cadenas[nombre_cadena] = std::move(s);
    }
    con_parametros(d, "cup", "cup", 4, 9);
    for (const char* n : {"ech", "cuu", "cud", "cuf", "cub"})
        con_parametros(d, n, n, 7);
    con_parametros(d, "rep", "rep", 'x', 7);
    con_parametros(d, "setaf", "setaf1", 1);
    con_parametros(d, "setab", "setab1", 1);
    con_parametros(d, "setaf", "setaf9", 9);
    con_parametros(d, "setab", "setab9", 9);
    ::del_curterm(cur_term);
    return d;
}

std::optional<Capacidades> capacidades_del_terminal(std::string& error) {
    Entorno e;
    std::setlocale(LC_CTYPE, "");
    const char* juego = ::nl_langinfo(CODESET);
    e.utf8 =
        juego != nullptr && (::strcasecmp(juego, "UTF-8") == 0 || ::strcasecmp(juego, "UTF8") == 0);
    const char* sin_color = std::getenv("NO_COLOR");
    e.sin_color = sin_color != nullptr && sin_color[0] != '\0';
    e.ssh = std::getenv("SSH_CONNECTION") != nullptr || std::getenv("SSH_TTY") != nullptr;

    const char* term = std::getenv("TERM");
    if (term == nullptr || term[0] == '\0') {
        error = "la variable TERM no está definida: no se sabe qué terminal es.";
        return std::nullopt;
    }
    const std::string nombre = term;
    const std::optional<DescripcionTerminal> d = describir_terminal(nombre, error);
    if (!d) return std::nullopt;
    std::optional<Capacidades> c = decidir_capacidades(*d, e);
    if (!c)
        error = "el terminal «" + nombre +
                "» no sabe colocar el cursor, y el juego lo necesita; pruebe con otro terminal "
                "(por ejemplo TERM=xterm-256color).";
    return c;
}

} // namespace consola
