// Generador del libro de aperturas del nivel 3 cuando empieza (src/libro.cpp). Para cada
// posición en la que le toca con hasta ULTIMA fichas en el tablero, siguiendo el libro él y
// jugando el otro cualquier cosa, una jugada que gana con juego perfecto, comprobada con
// resolver() hasta el final de la partida. La primera, la columna del centro, no se resuelve
// aquí (el tablero vacío no se resuelve con esta búsqueda en un tiempo razonable): es la que se
// sabe ganadora desde que el juego se resolvió.
//
//   generar_libro [ULTIMA] > src/libro.cpp      (ULTIMA par; por defecto 10)
//
// El libro es un árbol en preorden: en cada posición del nivel 3, su jugada ('0' a '6'); luego,
// si aún hay libro por debajo y esa jugada no gana en el acto, el subárbol de cada respuesta
// del otro, de la columna 0 a la 6 ('-' si esa columna está llena). El progreso va a la salida
// de error. Resuelve unas 2800 posiciones: 11 minutos con una tabla de 64 MiB (TAMANO_TABLA =
// 8388593 en busqueda.cpp, compilado aparte); con la de 2 MiB del juego, más.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>

#include "busqueda.h"
#include "reglas.h"

namespace {

using Reloj = std::chrono::steady_clock;

int ultima = 10;
std::map<std::string, int> resueltas; // posición -> jugada ganadora (y su espejo, al revés)
double segundos = 0;
int posiciones = 0;

std::string clave(const Tablero& t, bool espejo) {
    std::string s;
    for (int f = 0; f < FILAS; ++f)
        for (int c = 0; c < COLUMNAS; ++c)
            s += t[f][espejo ? COLUMNAS - 1 - c : c];
    return s;
}

bool cuatro(const Tablero& t) {
    Tablero copia;
    std::copy(&t[0][0], &t[0][0] + FILAS * COLUMNAS, &copia[0][0]);
    return marcar_linea(copia) != SIN_LINEA;
}

// El tablero visto por el otro bando: resolver() siempre juega con la X.
void cambiar_bandos(Tablero& t) {
    for (auto& fila : t)
        for (char& c : fila)
            if (c != VACIA) c = c == FICHA_X ? FICHA_0 : FICHA_X;
}

// Una jugada de la X que gana con `t` (la X a mover); la primera desde el centro. Termina el
// programa si no la hay: el libro solo sigue posiciones ganadas.
int ganadora(Tablero& t, const std::string& camino) {
    if (const auto it = resueltas.find(clave(t, false)); it != resueltas.end()) return it->second;
    if (const auto it = resueltas.find(clave(t, true)); it != resueltas.end())
        return COLUMNAS - 1 - it->second;
    int jugada = -1;
    for (const int c : {3, 2, 4, 1, 5, 0, 6}) {
        const int f = fila_de_caida(t, c);
        if (f < 0) continue;
        t[f][c] = FICHA_X;
        bool gana = cuatro(t);
        if (!gana) {
            cambiar_bandos(t);
            const auto inicio = Reloj::now();
            gana = resolver(t, -1, 1) < 0;
            segundos += std::chrono::duration<double>(Reloj::now() - inicio).count();
            cambiar_bandos(t);
        }
        t[f][c] = VACIA;
        if (gana) {
            jugada = c;
            break;
        }
    }
    if (jugada < 0) {
        std::fprintf(stderr, "%s: sin jugada ganadora\n", camino.c_str());
        std::exit(1);
    }
    resueltas[clave(t, false)] = jugada;
    ++posiciones;
    std::fprintf(stderr, "%-10s -> %d  (%d resueltas, %.0f s)\n", camino.c_str(), jugada,
                 posiciones, segundos);
    return jugada;
}

// El subárbol de la posición `t`, con la X a mover y `fichas` fichas puestas.
std::string arbol(Tablero& t, int fichas, const std::string& camino) {
    const int jugada = fichas == 0 ? 3 : ganadora(t, camino);
    std::string s(1, static_cast<char>('0' + jugada));
    const int f = fila_de_caida(t, jugada);
    t[f][jugada] = FICHA_X;
    if (fichas + 2 <= ultima && !cuatro(t)) {
        for (int r = 0; r < COLUMNAS; ++r) {
            const int fr = fila_de_caida(t, r);
            if (fr < 0) {
                s += '-';
                continue;
            }
            t[fr][r] = FICHA_0;
            s += arbol(t, fichas + 2,
                       camino + static_cast<char>('0' + jugada) + static_cast<char>('0' + r));
            t[fr][r] = VACIA;
        }
    }
    t[f][jugada] = VACIA;
    return s;
}

} // namespace

int main(int argc, char** argv) {
    if (argc > 1) ultima = std::atoi(argv[1]);
    Tablero t;
    std::fill(&t[0][0], &t[0][0] + FILAS * COLUMNAS, VACIA);
    const std::string libro = arbol(t, 0, "");
    std::printf(
        "// Sala de las reglas: el libro de aperturas del nivel 3 cuando empieza, escrito por\n"
        "// bench/generar_libro.cpp (no se edita a mano). Solo datos; lo lee busqueda.cpp.\n"
        "extern const int ULTIMA_FICHA_DEL_LIBRO;\n"
        "extern const char* const LIBRO_DE_APERTURAS;\n\n"
        "const int ULTIMA_FICHA_DEL_LIBRO = %d;\n\n"
        "const char* const LIBRO_DE_APERTURAS =\n",
        ultima);
    for (std::size_t i = 0; i < libro.size(); i += 90)
        std::printf("    \"%s\"%s\n", libro.substr(i, 90).c_str(),
                    i + 90 >= libro.size() ? ";" : "");
    std::fprintf(stderr, "%zu posiciones en el libro, %d resueltas, %.0f s resolviendo\n",
                 libro.size(), posiciones, segundos);
    return 0;
}
