// Fuzzing del analizador del teclado: bytes cualesquiera, con silencios intercalados (0xFF 0x00),
// y las reglas de recorrido_teclado en recorridos.h. Solo toca un Teclado propio.
#include <cstdio>
#include <cstdlib>

#include "recorridos.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* datos, std::size_t tamano) {
    const std::string fallo =
        recorridos::recorrido_teclado({reinterpret_cast<const char*>(datos), tamano});
    if (!fallo.empty()) {
        std::fprintf(stderr, "fuzz_teclado: %s\n", fallo.c_str());
        std::abort();
    }
    return 0;
}
