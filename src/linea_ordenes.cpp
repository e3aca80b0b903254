// La línea de órdenes: opciones cortas y largas como las lee getopt_long, sin depender de ella
// (Windows no la tiene).
#include "linea_ordenes.h"

#include <string>
#include <string_view>

namespace {

constexpr std::string_view USO =
    "Uso: quatrelo [-n N | --nivel=N] [-h | --help] [-V | --version]\n";

constexpr std::string_view AYUDA =
    "\n"
    "Cuatro en raya para la terminal, en castellano: dos personas en un mismo teclado\n"
    "o una persona contra el ordenador.\n"
    "\n"
    "  -n, --nivel=N  la fuerza del ordenador, que tiene que ser 1, 2 o 3: 1 (la de\n"
    "                 siempre, la que sale sin esta opción), 2 (un rival justo, que a\n"
    "                 veces pierde) o 3 (el más fuerte: busca la mejor jugada durante\n"
    "                 su medio segundo)\n"
    "  -h, --help     muestra esta ayuda\n"
    "  -V, --version  muestra la versión\n"
    "\n"
    "Teclas:\n"
    "  Título            Intro para empezar\n"
    "  Menú              flechas arriba y abajo; Intro entra en la opción recuadrada\n"
    "  Nombres           una palabra e Intro\n"
    "  Turno             0 a 6 sueltan la ficha en esa columna, sin Intro; la ficha 0\n"
    "                    abandona la partida con Escape (s e Intro para salir)\n"
    "  Fin de partida    una tecla para ver el tablero; s o n para volver a jugar\n"
    "  SALIR             s o n e Intro\n"
    "  Ctrl+C termina el juego en cualquier momento y deja el terminal como estaba.\n"
    "\n"
    "Entorno: NO_COLOR (con un valor no vacío) quita los colores; TERM dice qué sabe\n"
    "hacer el terminal. El juego busca INSTRUCCIONES.txt en el directorio actual y\n"
    "luego donde se instaló.\n";

Ordenes terminar(consola::Flujo& error, const std::string& motivo) {
    consola::escribir(error, "quatrelo: " + motivo + "\n" + std::string(USO));
    return {false, 0, 2};
}

} // namespace

Ordenes leer_ordenes(std::span<const char* const> argumentos, const char* version,
                     consola::Flujo& salida, consola::Flujo& error) {
    Ordenes r;
    for (std::size_t i = 0; i < argumentos.size(); ++i) {
        const std::string_view opcion = argumentos[i];
        std::string texto;
        if (opcion == "-h" || opcion == "--help")
            texto = std::string(USO) + std::string(AYUDA);
        else if (opcion == "-V" || opcion == "--version")
            texto = "quatrelo " + std::string(version) + "\n";
        if (!texto.empty()) {
            if (consola::escribir(salida, texto)) return {false, 0, 0};
            consola::escribir(error, "quatrelo: no se puede escribir en la salida estándar\n");
            return {false, 0, 1};
        }
        // El nivel va pegado (-n3, --nivel=3) o en el argumento siguiente (-n 3, --nivel 3).
        std::string_view nivel;
        if (opcion.starts_with("--nivel=")) {
            nivel = opcion.substr(8);
        } else if (opcion.starts_with("-n") && opcion.size() > 2) {
            nivel = opcion.substr(2);
        } else if (opcion == "-n" || opcion == "--nivel") {
            if (i + 1 == argumentos.size())
                return terminar(error, "falta el nivel tras «" + std::string(opcion) +
                                           "»: tiene que ser 1, 2 o 3");
            nivel = argumentos[++i];
        } else {
            return terminar(error, "no entiendo «" + consola::a_la_vista(opcion) + "»");
        }
        if (nivel != "1" && nivel != "2" && nivel != "3")
            return terminar(error, "el nivel tiene que ser 1, 2 o 3, no «" +
                                       consola::a_la_vista(nivel) + "»");
        r.nivel = nivel[0] - '0';
    }
    return r;
}
