// La entrada del programa: lee la línea de órdenes, toma el terminal, arranca la consola y deja
// el resto al arranque y al menú. Aquí acaba todo camino de salida: el terminal se devuelve
// siempre como estaba.
#include <exception>
#include <span>
#include <string>
#include <vector>

#include "conio2.h"
#include "consola/plataforma.h"
#include "lib_funciones.h"
#include "linea_ordenes.h"

namespace {

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

// Una línea de error, pasado ya el juego o sin él.
int fallo(const std::string& texto) {
    consola::escribir(consola::error_estandar(), "quatrelo: " + texto + "\n");
    return 1;
}

} // namespace

int main(int argc, char** argv) {
    const std::span<const char* const> argumentos(
        argv + (argc > 0 ? 1 : 0), argc > 0 ? static_cast<std::size_t>(argc - 1) : 0);
    const Ordenes ordenes = leer_ordenes(argumentos, QUATRELO_VERSION, consola::salida_estandar(),
                                         consola::error_estandar());
    if (!ordenes.jugar) return ordenes.estado;
    fijar_nivel(ordenes.nivel);
    try {
        consola::Apertura apertura = consola::abrir_terminal();
        // El error puede citar TERM, que viene de fuera.
        if (!apertura.dispositivo) return fallo(consola::a_la_vista(apertura.error));
        buscar_instrucciones_en(directorios_de_instrucciones(argc > 0 ? argv[0] : nullptr));
        Consola consola(*apertura.dispositivo);
        ConsolaActiva activa(consola);
        arranque();
        menu_ppal();
        presentar();
    } catch (const FinDeEntrada&) {
        // El destructor del terminal ya lo ha devuelto a su estado cuando llegamos aquí.
        return fallo("se ha cerrado la entrada del teclado; el juego termina.");
    } catch (const std::exception& e) {
        return fallo("error inesperado: " + consola::a_la_vista(e.what()));
    } catch (...) {
        return fallo("error inesperado");
    }
    return 0;
}
