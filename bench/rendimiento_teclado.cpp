// Cuántos MB/s traga el analizador del teclado: un flujo de 10 MB (o los bytes de argv[1]) de
// texto ASCII, caracteres UTF-8 y secuencias de los terminales (flechas, ratón SGR, foco,
// respuestas a preguntas, títulos OSC, secuencias largas), hecho con una semilla fija, pasado
// entero por Teclado cinco veces; sale la mejor vuelta. No es una prueba: el número depende de la
// máquina. Solo usa la interfaz pública de teclado.h, así que se compila igual contra una versión
// anterior del analizador para comparar.
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>

#include "consola/teclado.h"

namespace {

// splitmix64: el mismo flujo en todas partes.
std::uint64_t estado = 0x5eed;
std::uint64_t siguiente() {
    std::uint64_t z = (estado += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}
std::size_t hasta(std::size_t n) {
    return static_cast<std::size_t>(siguiente() % n);
}

const char* const PIEZAS[] = {
    "hola ",
    "mundo ",
    "3",
    "\r",
    "señal ",
    "año ",
    "\xe2\x82\xac",
    "\xf0\x9f\x98\x80",
    "\x1b[A",
    "\x1b[1;5B",
    "\x1bOP",
    "\x1b[15~",
    "\x1b[<0;123;45M",
    "\x1b[<0;123;45m",
    "\x1b[I",
    "\x1b[O",
    "\x1b[?62;1;4;6;9;15;22c",
    "\x1b[12;40R",
    "\x1b]11;rgb:ffff/ffff/ffff\x07",
    "\x1b]0;un título bastante largo para la ventana\x1b\\",
    "\x1b[200~pegado\x1b[201~",
};

std::string flujo(std::size_t bytes) {
    std::string r;
    while (r.size() < bytes) {
        const std::size_t que = hasta(std::size(PIEZAS) + 1);
        if (que < std::size(PIEZAS)) {
            r += PIEZAS[que];
        } else {
            // Una secuencia larga: más parámetros de los que guarda el analizador.
            r += "\x1b[";
            for (std::size_t n = 40 + hasta(200); n > 0; --n)
                r += static_cast<char>('0' + hasta(10));
            r += 'm';
        }
    }
    return r;
}

} // namespace

int main(int argc, char** argv) {
    const std::size_t bytes = argc > 1 ? std::stoul(argv[1]) : 10u << 20;
    const std::string datos = flujo(bytes);
    double mejor = 1e9;
    std::size_t teclas = 0;
    for (int vuelta = 0; vuelta < 5; ++vuelta) {
        consola::Teclado teclado;
        teclas = 0;
        const auto inicio = std::chrono::steady_clock::now();
        for (const char c : datos) {
            teclado.recibir(static_cast<unsigned char>(c));
            while (teclado.sacar())
                ++teclas;
        }
        teclado.sin_datos();
        while (teclado.sacar())
            ++teclas;
        const std::chrono::duration<double> t = std::chrono::steady_clock::now() - inicio;
        if (t.count() < mejor) mejor = t.count();
    }
    const double mb = static_cast<double>(datos.size()) / (1024.0 * 1024.0);
    std::printf("%.1f MB en %.3f s: %.0f MB/s, %zu teclas\n", mb, mejor, mb / mejor, teclas);
    return 0;
}
