// Fuzzing de la entrada por líneas: órdenes (leer palabra con límite, leer carácter, descartar)
// y las teclas que piden, sobre una Pantalla propia; las reglas están en recorrido_entrada
// (recorridos.h). No toca nada fuera de ese objeto.
#include <cstdio>
#include <cstdlib>

#include "recorridos.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* datos, std::size_t tamano) {
    const std::string fallo =
        recorridos::recorrido_entrada({reinterpret_cast<const char*>(datos), tamano});
    if (!fallo.empty()) {
        std::fprintf(stderr, "fuzz_entrada: %s\n", fallo.c_str());
        std::abort();
    }
    return 0;
}
