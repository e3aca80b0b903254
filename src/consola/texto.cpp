// Utilidades de texto de la consola: UTF-8 con bytes sueltos de la página de códigos 437, la
// tabla de la 437 y el ancho de cada carácter en el terminal (de la tabla generada de Unicode).
// Funciones puras: no tocan la pantalla, el teclado ni el terminal.
#include "consola/texto.h"

#include <algorithm>
#include <array>

#include "consola/anchos_unicode.h"

namespace consola {

namespace {

// Los ficheros y textos del juego vienen de una consola de Windows: los bytes de control se
// ven como sus glifos y la mitad alta es la de la 437. El NUL se enseña como un blanco.
// clang-format off
constexpr std::array<char32_t, 32> TABLA_BAJA = {
    U' ',      U'\u263A', U'\u263B', U'\u2665', U'\u2666', U'\u2663', U'\u2660', U'\u2022',
    U'\u25D8', U'\u25CB', U'\u25D9', U'\u2642', U'\u2640', U'\u266A', U'\u266B', U'\u263C',
    U'\u25BA', U'\u25C4', U'\u2195', U'\u203C', U'\u00B6', U'\u00A7', U'\u25AC', U'\u21A8',
    U'\u2191', U'\u2193', U'\u2192', U'\u2190', U'\u221F', U'\u2194', U'\u25B2', U'\u25BC',
};

constexpr std::array<char32_t, 128> TABLA_ALTA = {
    // 0x80
    U'\u00C7', U'\u00FC', U'\u00E9', U'\u00E2', U'\u00E4', U'\u00E0', U'\u00E5', U'\u00E7',
    U'\u00EA', U'\u00EB', U'\u00E8', U'\u00EF', U'\u00EE', U'\u00EC', U'\u00C4', U'\u00C5',
    // 0x90
    U'\u00C9', U'\u00E6', U'\u00C6', U'\u00F4', U'\u00F6', U'\u00F2', U'\u00FB', U'\u00F9',
    U'\u00FF', U'\u00D6', U'\u00DC', U'\u00A2', U'\u00A3', U'\u00A5', U'\u20A7', U'\u0192',
    // 0xA0
    U'\u00E1', U'\u00ED', U'\u00F3', U'\u00FA', U'\u00F1', U'\u00D1', U'\u00AA', U'\u00BA',
    U'\u00BF', U'\u2310', U'\u00AC', U'\u00BD', U'\u00BC', U'\u00A1', U'\u00AB', U'\u00BB',
    // 0xB0
    U'\u2591', U'\u2592', U'\u2593', U'\u2502', U'\u2524', U'\u2561', U'\u2562', U'\u2556',
    U'\u2555', U'\u2563', U'\u2551', U'\u2557', U'\u255D', U'\u255C', U'\u255B', U'\u2510',
    // 0xC0
    U'\u2514', U'\u2534', U'\u252C', U'\u251C', U'\u2500', U'\u253C', U'\u255E', U'\u255F',
    U'\u255A', U'\u2554', U'\u2569', U'\u2566', U'\u2560', U'\u2550', U'\u256C', U'\u2567',
    // 0xD0
    U'\u2568', U'\u2564', U'\u2565', U'\u2559', U'\u2558', U'\u2552', U'\u2553', U'\u256B',
    U'\u256A', U'\u2518', U'\u250C', U'\u2588', U'\u2584', U'\u258C', U'\u2590', U'\u2580',
    // 0xE0
    U'\u03B1', U'\u00DF', U'\u0393', U'\u03C0', U'\u03A3', U'\u03C3', U'\u00B5', U'\u03C4',
    U'\u03A6', U'\u0398', U'\u03A9', U'\u03B4', U'\u221E', U'\u03C6', U'\u03B5', U'\u2229',
    // 0xF0
    U'\u2261', U'\u00B1', U'\u2265', U'\u2264', U'\u2320', U'\u2321', U'\u00F7', U'\u2248',
    U'\u00B0', U'\u2219', U'\u00B7', U'\u221A', U'\u207F', U'\u00B2', U'\u25A0', U'\u00A0',
};
// clang-format on

bool entre(char32_t c, char32_t desde, char32_t hasta) {
    return c >= desde && c <= hasta;
}

} // namespace

Utf8 leer_utf8(std::string_view bytes) {
    if (bytes.empty()) return {Utf8::Estado::a_medias};
    const auto b0 = static_cast<unsigned char>(bytes[0]);
    if (b0 < 0x80) return {Utf8::Estado::entero, b0, 1};
    // C0 y C1 solo darían formas largas de ASCII; de F5 en adelante, más allá de U+10FFFF.
    const std::size_t n = b0 < 0xC2 ? 0 : b0 < 0xE0 ? 2 : b0 < 0xF0 ? 3 : b0 < 0xF5 ? 4 : 0;
    if (n == 0) return {Utf8::Estado::invalido};
    // El segundo byte tiene límites más estrechos tras estos primeros: así quedan fuera las
    // formas largas (E0, F0), los sustitutos (ED) y lo que pasa de U+10FFFF (F4).
    const unsigned char menor = b0 == 0xE0 ? 0xA0 : b0 == 0xF0 ? 0x90 : 0x80;
    const unsigned char mayor = b0 == 0xED ? 0x9F : b0 == 0xF4 ? 0x8F : 0xBF;
    char32_t c = b0 & (0x7F >> n);
    for (std::size_t i = 1; i < n; ++i) {
        if (i == bytes.size()) return {Utf8::Estado::a_medias};
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (b < (i == 1 ? menor : 0x80) || b > (i == 1 ? mayor : 0xBF))
            return {Utf8::Estado::invalido};
        c = (c << 6) | (b & 0x3F);
    }
    return {Utf8::Estado::entero, c, n};
}

Decodificado decodificar(std::string_view texto, std::size_t pos) {
    if (pos >= texto.size()) return {U'\0', 0};
    const Utf8 u = leer_utf8(texto.substr(pos));
    if (u.estado == Utf8::Estado::entero) return {u.car, u.bytes};
    return {cp437(static_cast<unsigned char>(texto[pos])), 1};
}

std::string utf8(char32_t c) {
    // Lo que no es un carácter no se puede escribir en UTF-8: sale el de sustitución.
    if (c > 0x10FFFF || entre(c, 0xD800, 0xDFFF)) c = U'\uFFFD';
    std::string r;
    if (c < 0x80) {
        r += static_cast<char>(c);
    } else if (c < 0x800) {
        r += static_cast<char>(0xC0 | (c >> 6));
        r += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        r += static_cast<char>(0xE0 | (c >> 12));
        r += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        r += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        r += static_cast<char>(0xF0 | ((c >> 18) & 0x07));
        r += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        r += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        r += static_cast<char>(0x80 | (c & 0x3F));
    }
    return r;
}

char32_t cp437(unsigned char b) {
    if (b < 0x20) return TABLA_BAJA[b];
    if (b == 0x7F) return U'\u2302';
    if (b < 0x80) return b;
    return TABLA_ALTA[b - 0x80];
}

int a_cp437(char32_t c) {
    // El blanco es el 32 y no el 0, aunque los dos se vean igual.
    if (c >= 0x20 && c <= 0x7E) return static_cast<int>(c);
    if (c == U'\u2302') return 0x7F;
    for (int b = 1; b < 0x20; ++b)
        if (TABLA_BAJA[b] == c) return b;
    for (int b = 0; b < 0x80; ++b)
        if (TABLA_ALTA[b] == c) return b + 0x80;
    return -1;
}

int ancho_celda(char32_t c) {
    // Búsqueda binaria del primer rango que acaba en c o más allá.
    const auto en = [c](const auto& lista) {
        const auto r = std::ranges::lower_bound(lista, c, {}, &RangoUnicode::hasta);
        return r != lista.end() && r->desde <= c;
    };
    return en(ANCHO_CERO) ? 0 : en(ANCHO_DOBLE) ? 2 : en(SIN_ASIGNAR) ? -1 : 1;
}

} // namespace consola
