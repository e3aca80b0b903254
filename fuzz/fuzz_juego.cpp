// Fuzzing del juego entero: la entrada es un guion de teclas (con silencios y cambios de
// tamaño) para arranque() y menu_ppal() sobre un dispositivo con guion; las reglas están en
// recorrido_juego (recorridos.h). Toca la consola activa y un directorio temporal con unas
// instrucciones fijas, que es el directorio actual solo mientras dura cada ejecución.
#include <cstdio>
#include <cstdlib>

#include "recorridos.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* datos, std::size_t tamano) {
    // Uno por proceso: crearlo en cada ejecución costaría más que la partida.
    static const recorridos::DirectorioDeInstrucciones instrucciones;
    std::string fallo;
    {
        const recorridos::DirectorioActual aqui(instrucciones.ruta());
        fallo = recorridos::recorrido_juego({reinterpret_cast<const char*>(datos), tamano});
    }
    if (!fallo.empty()) {
        std::fprintf(stderr, "fuzz_juego: %s\n", fallo.c_str());
        std::abort();
    }
    return 0;
}
