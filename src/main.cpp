// La entrada del programa: toma el terminal, arranca la consola y deja el resto al arranque y
// al menú. Aquí acaba todo camino de salida: el terminal se devuelve siempre como estaba.
#include <cstdio>
#include <cstring>
#include <exception>

#include "conio2.h"
#include "consola/plataforma.h"
#include "lib_funciones.h"

namespace {

void ayuda() {
    std::puts("Uso: quatrelo\n"
              "\n"
              "Cuatro en raya para la terminal, en castellano: dos personas en un mismo teclado\n"
              "o una persona contra el ordenador. No necesita argumentos.\n"
              "\n"
              "Teclas: flechas arriba y abajo e Intro en el menú; 0 a 6 para soltar una ficha;\n"
              "Escape para abandonar la partida (la ficha 0).\n"
              "\n"
              "  --help      muestra esta ayuda\n"
              "  --version   muestra la versión");
}

} // namespace

int main(int argc, char** argv) {
    // El juego no toma argumentos; solo estos dos contestan y cualquier otro se ignora.
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0) {
            ayuda();
            return 0;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("quatrelo %s\n", QUATRELO_VERSION);
            return 0;
        }
    }
    try {
        consola::Apertura apertura = consola::abrir_terminal();
        if (!apertura.dispositivo) {
            std::fprintf(stderr, "quatrelo: %s\n", apertura.error.c_str());
            return 1;
        }
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
    }
    return 0;
}
