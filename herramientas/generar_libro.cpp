// Generador del libro de aperturas del nivel 3 cuando empieza (src/libro.cpp; el formato, en
// src/libro.h). Desde la raíz del repositorio, sin tocar nada a mano:
//
//   cmake --preset bench && cmake --build --preset bench --target generar_libro &&
//   nice build/bench/bench/generar_libro > src/libro.cpp.nuevo && mv src/libro.cpp.nuevo
//   src/libro.cpp
//
// Con un número, la última ficha del árbol (par; por defecto 10). Con --solo-sueltas, el árbol
// es el del libro compilado, sin resolver nada: sus jugadas (la primera ganadora desde el
// centro) no dependen de cómo se busque, y las sueltas sí; así, tras cambiar la búsqueda, basta
// con la segunda pasada. El progreso va a la salida de error. Dos pasadas:
// 1. El árbol: para cada posición en la que le toca con hasta ULTIMA fichas, siguiendo el libro
//    él y jugando el otro cualquier cosa, una jugada que gana con juego perfecto, comprobada
//    hasta el final. La primera, el centro, no se resuelve (el tablero vacío no se resuelve con
//    esta búsqueda en un tiempo razonable): es la que se sabe ganadora desde que el juego se
//    resolvió.
// 2. Las sueltas: de las posiciones a las que llega con ULTIMA + 2 y ULTIMA + 4 fichas, las que
//    la búsqueda del juego (buscar_sin_libro con NODOS_NIVEL_3) no gana seguro, con una jugada
//    ganadora. Se reparten entre dos hilos. Si la búsqueda cambia, se generan otra vez.
//    Se hace también con un cuarto de NODOS_NIVEL_3, de margen: la búsqueda es la misma hasta
//    donde se corta, así que lo que se gana seguro con menos nodos se gana con más, y el libro
//    junta las dos pasadas.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "busqueda.h"
#include "libro.h"
#include "reglas.h"

namespace {

using Reloj = std::chrono::steady_clock;

struct Tablero42 {
    Tablero t;
};

double segundos_desde(Reloj::time_point inicio) {
    return std::chrono::duration<double>(Reloj::now() - inicio).count();
}

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

// Una jugada de la X que gana con `t` (la X a mover); la primera desde el centro, o -1.
int jugada_ganadora(Tablero& t, TablaDeTransposicion& tabla) {
    for (const int c : {3, 2, 4, 1, 5, 0, 6}) {
        const int f = fila_de_caida(t, c);
        if (f < 0) continue;
        t[f][c] = FICHA_X;
        bool gana = cuatro(t);
        if (!gana) {
            // El otro a mover pierde: su valor no llega a 0.
            cambiar_bandos(t);
            gana = resolver(t, -1, 0, tabla) < 0;
            cambiar_bandos(t);
        }
        t[f][c] = VACIA;
        if (gana) return c;
    }
    return -1;
}

[[noreturn]] void sin_ganadora(const std::string& camino) {
    std::fprintf(stderr, "%s: sin jugada ganadora\n", camino.c_str());
    std::exit(1);
}

class Arbol {
  public:
    Arbol(int ultima, bool del_libro)
        : ultima_(ultima), del_libro_(del_libro), tabla_(TablaDeTransposicion::GRANDE) {}

    // El subárbol de la posición `t`, con la X a mover y `fichas` fichas puestas.
    std::string de(Tablero& t, int fichas, const std::string& camino) {
        const int jugada = fichas == 0 ? 3 : ganadora(t, camino);
        std::string s(1, static_cast<char>('0' + jugada));
        const int f = fila_de_caida(t, jugada);
        t[f][jugada] = FICHA_X;
        if (!cuatro(t)) {
            for (int r = 0; r < COLUMNAS; ++r) {
                const int fr = fila_de_caida(t, r);
                if (fr < 0) {
                    if (fichas + 2 <= ultima_) s += '-';
                    continue;
                }
                t[fr][r] = FICHA_0;
                const std::string sigue =
                    camino + static_cast<char>('0' + jugada) + static_cast<char>('0' + r);
                if (fichas + 2 <= ultima_)
                    s += de(t, fichas + 2, sigue);
                else
                    apuntar_despues(t);
                t[fr][r] = VACIA;
            }
        }
        t[f][jugada] = VACIA;
        return s;
    }

    std::vector<Tablero42> despues; // las posiciones con ultima + 2 fichas, la X a mover
    int resueltas = 0;
    double segundos = 0;

  private:
    // Las que llegan por dos caminos se miran una vez.
    void apuntar_despues(const Tablero& t) {
        if (!vistas_.insert(clave_del_libro(t)).second) return;
        despues.emplace_back();
        std::copy(&t[0][0], &t[0][0] + FILAS * COLUMNAS, &despues.back().t[0][0]);
    }

    int ganadora(Tablero& t, const std::string& camino) {
        if (del_libro_) return elegir_jugada(t, 3, {}, 0).columna;
        if (const auto it = ya_.find(clave(t, false)); it != ya_.end()) return it->second;
        if (const auto it = ya_.find(clave(t, true)); it != ya_.end())
            return COLUMNAS - 1 - it->second;
        const auto inicio = Reloj::now();
        const int jugada = jugada_ganadora(t, tabla_);
        segundos += segundos_desde(inicio);
        if (jugada < 0) sin_ganadora(camino);
        ya_[clave(t, false)] = jugada;
        ++resueltas;
        std::fprintf(stderr, "%-10s -> %d  (%d resueltas, %.0f s)\n", camino.c_str(), jugada,
                     resueltas, segundos);
        return jugada;
    }

    int ultima_;
    bool del_libro_;
    TablaDeTransposicion tabla_;
    std::map<std::string, int> ya_; // posición -> jugada ganadora (y su espejo, al revés)
    std::set<std::uint64_t> vistas_;
};

// Las jugadas sueltas de las posiciones de `todas` que la búsqueda del juego no gana seguro; en
// `despues`, las posiciones que siguen a la jugada del juego (la suelta o la de la búsqueda) y a
// cada respuesta, una vez cada una.
std::vector<std::uint64_t> sueltas(const std::vector<Tablero42>& todas,
                                   std::vector<Tablero42>& despues, std::uint64_t nodos) {
    std::vector<std::uint64_t> r;
    std::set<std::uint64_t> vistas;
    std::mutex cerrojo;
    std::atomic<std::size_t> siguiente{0};
    const auto trabajar = [&] {
        TablaDeTransposicion tabla(TablaDeTransposicion::GRANDE);
        for (std::size_t i; (i = siguiente++) < todas.size();) {
            Tablero t;
            std::copy(&todas[i].t[0][0], &todas[i].t[0][0] + FILAS * COLUMNAS, &t[0][0]);
            const Eleccion e = buscar_sin_libro(t, nodos);
            const int jugada = e.ganadora ? e.columna : jugada_ganadora(t, tabla);
            if (jugada < 0) sin_ganadora(clave(t, false));
            const std::lock_guard<std::mutex> cierre(cerrojo);
            if (!e.ganadora) {
                r.push_back(clave_del_libro(t) * 8 + static_cast<std::uint64_t>(jugada));
                std::fprintf(stderr, "suelta %zu de %zu: %zu sin ganar seguro\n", i, todas.size(),
                             r.size());
            }
            t[fila_de_caida(t, jugada)][jugada] = FICHA_X;
            for (int c = 0; c < COLUMNAS && !cuatro(t); ++c) {
                const int f = fila_de_caida(t, c);
                if (f < 0) continue;
                t[f][c] = FICHA_0;
                if (!cuatro(t) && vistas.insert(clave_del_libro(t)).second) {
                    despues.emplace_back();
                    std::copy(&t[0][0], &t[0][0] + FILAS * COLUMNAS, &despues.back().t[0][0]);
                }
                t[f][c] = VACIA;
            }
        }
    };
    std::thread otro(trabajar);
    trabajar();
    otro.join();
    return r;
}

} // namespace

int main(int argc, char** argv) {
    const bool del_libro = argc > 1 && std::strcmp(argv[1], "--solo-sueltas") == 0;
    const int ultima = del_libro ? ULTIMA_FICHA_DEL_LIBRO : argc > 1 ? std::atoi(argv[1]) : 10;
    if (ultima < 0 || ultima % 2 != 0 || ultima > TOTAL_FICHAS - 2) {
        std::fprintf(stderr, "uso: generar_libro [ULTIMA, par | --solo-sueltas]\n");
        return 2;
    }
    const auto inicio = Reloj::now();
    Tablero t;
    std::fill(&t[0][0], &t[0][0] + FILAS * COLUMNAS, VACIA);
    Arbol arbol(ultima, del_libro);
    std::string libro = arbol.de(t, 0, "");
    if (del_libro) libro = LIBRO_DE_APERTURAS; // en las victorias en el acto puede diferir
    std::fprintf(stderr, "árbol: %zu jugadas, %d resueltas, %.0f s\n", libro.size(),
                 arbol.resueltas, segundos_desde(inicio));
    // Las sueltas cubren dos jugadas más del nivel 3: con ULTIMA + 2 y ULTIMA + 4 fichas.
    std::vector<std::uint64_t> s;
    for (const std::uint64_t nodos : {NODOS_NIVEL_3, NODOS_NIVEL_3 / 4}) {
        std::vector<Tablero42> posiciones = arbol.despues;
        for (int pasada = 0; pasada < 2; ++pasada) {
            std::vector<Tablero42> despues;
            const std::vector<std::uint64_t> nuevas = sueltas(posiciones, despues, nodos);
            std::fprintf(stderr,
                         "sueltas con %d fichas y %llu nodos: %zu de %zu posiciones; en total "
                         "%.0f s\n",
                         ultima + 2 + 2 * pasada, static_cast<unsigned long long>(nodos),
                         nuevas.size(), posiciones.size(), segundos_desde(inicio));
            s.insert(s.end(), nuevas.begin(), nuevas.end());
            posiciones = std::move(despues);
        }
    }
    std::sort(s.begin(), s.end());
    s.erase(std::unique(s.begin(), s.end()), s.end());

    std::printf("// Generado por herramientas/generar_libro.cpp; no se edita a mano (se vuelve a "
                "generar con la\n// orden de bench/README.md, «El libro de aperturas»). El libro "
                "de aperturas del nivel 3 cuando\n// empieza, en el formato que explica libro.h."
                "\n#include \"libro.h\"\n\nconst int ULTIMA_FICHA_DEL_LIBRO = %d;\n\n"
                "const char* const LIBRO_DE_APERTURAS =\n",
                ultima);
    for (std::size_t i = 0; i < libro.size(); i += 90)
        std::printf("    \"%s\"%s\n", libro.substr(i, 90).c_str(),
                    i + 90 >= libro.size() ? ";" : "");
    std::printf("\nconst std::size_t NUM_LIBRO_SUELTAS = %zu;\n\n"
                "const std::uint64_t LIBRO_SUELTAS[] = {",
                s.size());
    for (std::size_t i = 0; i < s.size(); ++i)
        std::printf("%s0x%llx%s", i % 5 == 0 ? "\n    " : " ",
                    static_cast<unsigned long long>(s[i]), i + 1 < s.size() ? "," : "");
    std::printf("%s};\n", s.empty() ? "0" : "\n");
    return 0;
}
