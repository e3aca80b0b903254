// Los mensajes de fuera del juego: a la vista y en la forma de cada flujo.
#include "consola/mensajes.h"

#include "consola/texto.h"

namespace consola {

std::string a_la_vista(std::string_view texto) {
    std::string r;
    constexpr char hex[] = "0123456789abcdef";
    const auto a_hex = [&](unsigned v) {
        r += "\\x";
        r += hex[v >> 4];
        r += hex[v & 0xF];
    };
    for (std::size_t pos = 0; pos < texto.size();) {
        const auto byte = static_cast<unsigned char>(texto[pos]);
        const Decodificado d = decodificar(texto, pos);
        pos += d.bytes;
        if (byte >= 0x80 && d.bytes == 1)
            a_hex(byte); // no es UTF-8
        else if (d.car == 0x1B)
            r += "\\e";
        else if (d.car < 0x20 || (d.car >= 0x7F && d.car < 0xA0))
            a_hex(static_cast<unsigned>(d.car));
        else
            r.append(texto.substr(pos - d.bytes, d.bytes));
    }
    return r;
}

bool FlujoC::bytes(std::string_view utf8) {
    return std::fwrite(utf8.data(), 1, utf8.size(), flujo_) == utf8.size() &&
           std::fflush(flujo_) == 0;
}

std::u16string utf16(std::string_view texto) {
    std::u16string r;
    for (std::size_t pos = 0; pos < texto.size();) {
        const Decodificado d = decodificar(texto, pos);
        pos += d.bytes;
        if (d.car < 0x10000) {
            r.push_back(static_cast<char16_t>(d.car));
        } else {
            r.push_back(static_cast<char16_t>(0xD800 + ((d.car - 0x10000) >> 10)));
            r.push_back(static_cast<char16_t>(0xDC00 + ((d.car - 0x10000) & 0x3FF)));
        }
    }
    return r;
}

bool escribir(Flujo& flujo, std::string_view texto) {
    return flujo.consola() ? flujo.utf16(utf16(texto)) : flujo.bytes(texto);
}

} // namespace consola
