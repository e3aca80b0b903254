// La entrada del programa: lee la línea de órdenes, toma el terminal, arranca la consola y deja
// el resto al arranque y al menú. Aquí acaba todo camino de salida: el terminal se devuelve
// siempre como estaba.
#include <cstdio>
#include <exception>
#include <string>
#include <string_view>
#include <vector>

#include "conio2.h"
#include "consola/plataforma.h"
#include "lib_funciones.h"

namespace {

constexpr const char* USO = "Uso: quatrelo [-n N | --nivel N] [-h | --help] [-V | --version]\n";

void ayuda() {
    std::fputs(USO, stdout);
    std::puts("\n"
              "Cuatro en raya para la terminal, en castellano: dos personas en un mismo teclado\n"
              "o una persona contra el ordenador.\n"
              "\n"
              "  -n, --nivel N  la fuerza del ordenador: 1 (la de siempre, la que sale sin esta\n"
              "                 opción), 2 (un rival justo, que a veces pierde) o 3 (el más\n"
              "                 fuerte: busca la mejor jugada durante su medio segundo)\n"
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
              "Entorno: NO_COLOR (con cualquier valor) quita los colores; TERM dice qué sabe\n"
              "hacer el terminal. El juego busca INSTRUCCIONES.txt en el directorio actual y\n"
              "luego donde se instaló.");
}

// N de "--nivel N": 1, 2 o 3, o 0 si no es un nivel.
int nivel_de(std::string_view texto) {
    return texto.size() == 1 && texto[0] >= '1' && texto[0] <= '3' ? texto[0] - '0' : 0;
}

// Después del directorio actual, las instrucciones se buscan donde las deja la instalación:
// junto al ejecutable, relativo a él (una instalación con otro prefijo) y en la ruta compilada.
std::vector<std::string> directorios_de_instrucciones(const char* argv0) {
    std::vector<std::string> directorios;
    const std::string ejecutable = consola::directorio_del_ejecutable(argv0);
    if (!ejecutable.empty()) {
        directorios.push_back(ejecutable + "/" + QUATRELO_DATADIR_RELATIVO);
        directorios.push_back(ejecutable);
    }
    directorios.emplace_back(QUATRELO_DATADIR);
    return directorios;
}

} // namespace

int main(int argc, char** argv) {
    int nivel = 1;
    for (int i = 1; i < argc; ++i) {
        const std::string_view opcion = argv[i];
        if (opcion == "-h" || opcion == "--help") {
            ayuda();
            return 0;
        }
        if (opcion == "-V" || opcion == "--version") {
            std::printf("quatrelo %s\n", QUATRELO_VERSION);
            return 0;
        }
        if ((opcion == "-n" || opcion == "--nivel") && i + 1 < argc && nivel_de(argv[i + 1]) > 0) {
            nivel = nivel_de(argv[++i]);
            continue;
        }
        std::fprintf(stderr, "quatrelo: no entiendo «%s»\n%s", argv[i], USO);
        return 2;
    }
    fijar_nivel(nivel);
    try {
        consola::Apertura apertura = consola::abrir_terminal();
        if (!apertura.dispositivo) {
            std::fprintf(stderr, "quatrelo: %s\n", apertura.error.c_str());
            return 1;
        }
        buscar_instrucciones_en(directorios_de_instrucciones(argc > 0 ? argv[0] : nullptr));
        Consola consola(*apertura.dispositivo);
        ConsolaActiva activa(consola);
        arranque();
        menu_ppal();
        presentar();
    } catch (const FinDeEntrada&) {
        // El destructor del terminal ya lo ha devuelto a su estado cuando llegamos aquí.
        std::fputs("quatrelo: se ha cerrado la entrada del teclado; el juego termina.\n", stderr);
        return 1;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "quatrelo: error inesperado: %s\n", e.what());
        return 1;
    } catch (...) {
        std::fputs("quatrelo: error inesperado\n", stderr);
        return 1;
    }
    return 0;
}
