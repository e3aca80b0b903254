// Los caracteres de caja de las pantallas, en UTF-8 (la consola los guarda como tales y el
// volcado decide cómo se ven en cada terminal). Solo datos y texto: no dibuja nada.
#pragma once

#include <string>

inline constexpr const char* CAJA_H = "─";
inline constexpr const char* CAJA_V = "│";
inline constexpr const char* CAJA_SI = "┌"; // esquina superior izquierda
inline constexpr const char* CAJA_SD = "┐";
inline constexpr const char* CAJA_II = "└";
inline constexpr const char* CAJA_ID = "┘";

// `antes`, una esquina, n trazos horizontales y la otra esquina.
inline std::string linea_caja(const char* izquierda, int n, const char* derecha,
                              const char* antes = "") {
    std::string linea = antes;
    linea += izquierda;
    for (int i = 0; i < n; ++i)
        linea += CAJA_H;
    return linea + derecha;
}
