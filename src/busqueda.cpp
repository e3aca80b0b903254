// Sala de las reglas: la búsqueda de los niveles 2 y 3 del ordenador. Tablero de bits, negamax
// con poda alfa-beta y ventana nula, tabla de transposición, profundización iterativa y el libro
// de aperturas. Solo lee el tablero que recibe y el libro (libro.cpp) y escribe en su propia
// tabla; nada de consola ni de reloj (el plazo llega en el presupuesto).
#include "busqueda.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>

// El libro de aperturas del nivel 3 cuando empieza (libro.cpp, escrito por
// bench/generar_libro.cpp): un árbol en preorden con la jugada ganadora de cada posición en la
// que le toca con hasta ULTIMA_FICHA_DEL_LIBRO fichas puestas.
extern const int ULTIMA_FICHA_DEL_LIBRO;
extern const char* const LIBRO_DE_APERTURAS;

namespace {

using Bits = std::uint64_t;

// Cada columna ocupa ALTO bits desde su fila de abajo; el bit de más queda siempre a cero y
// corta las líneas que, al desplazar, saltarían de una columna a la siguiente.
constexpr int ALTO = FILAS + 1;
static_assert(COLUMNAS * ALTO <= 64, "el tablero cabe en una palabra");

constexpr Bits bit(int columna, int fila_desde_abajo) {
    return Bits{1} << (columna * ALTO + fila_desde_abajo);
}

constexpr Bits columna_entera(int c) {
    return ((Bits{1} << FILAS) - 1) << (c * ALTO);
}

constexpr Bits filas_que(bool (*cumple)(int)) {
    Bits b = 0;
    for (int c = 0; c < COLUMNAS; ++c)
        for (int f = 0; f < FILAS; ++f)
            if (cumple(f)) b |= bit(c, f);
    return b;
}

constexpr Bits ABAJO = filas_que([](int f) { return f == 0; });
constexpr Bits TODAS = filas_que([](int) { return true; });
// Filas 1, 3 y 5 contando desde abajo: la amenaza que sirve al que empezó está en una de ellas,
// la del otro en una par, porque al llenarse el tablero es a cada uno al que le toca ahí.
constexpr Bits IMPARES = filas_que([](int f) { return f % 2 == 0; });

constexpr std::array<int, COLUMNAS> DESDE_EL_CENTRO{3, 2, 4, 1, 5, 0, 6};

// Las casillas libres donde `propias` haría cuatro en línea.
Bits amenazas(Bits propias, Bits mascara) {
    Bits r = (propias << 1) & (propias << 2) & (propias << 3); // vertical
    for (const int d : {ALTO, ALTO - 1, ALTO + 1}) {           // horizontal y las dos diagonales
        Bits pareja = (propias << d) & (propias << 2 * d);
        r |= pareja & (propias << 3 * d);
        r |= pareja & (propias >> d);
        pareja = (propias >> d) & (propias >> 2 * d);
        r |= pareja & (propias << d);
        r |= pareja & (propias >> 3 * d);
    }
    return r & (TODAS ^ mascara);
}

Bits jugables(Bits mascara) {
    return (mascara + ABAJO) & TODAS;
}

int cuenta(Bits b) {
    return std::popcount(b);
}

// `propias` son las fichas del bando que mueve; al jugar, las del otro pasan a serlo.
struct Posicion {
    Bits propias = 0;
    Bits mascara = 0;
    int fichas = 0;

    Posicion tras(Bits jugada) const { return {propias ^ mascara, mascara | jugada, fichas + 1}; }
    Bits clave() const { return propias + mascara; } // única: cada columna cabe en sus bits
};

constexpr int INFINITO = 2 * VICTORIA;

// La estimación de una posición sin resolver, desde el bando que mueve: sus amenazas menos las
// del otro, y otra vez las que caen en las filas que al llenarse el tablero le tocarán a cada
// uno, que son las que deciden los finales. Sin pesos por casilla: preferir el centro por sí
// mismo llevaba a apilar fichas en él y a perder partidas ganadas.
int estimar(const Posicion& p, Bits mis_amenazas, Bits sus_amenazas) {
    const bool empece = p.fichas % 2 == 0;
    const Bits mis_filas = empece ? IMPARES : TODAS ^ IMPARES;
    const int v = cuenta(mis_amenazas) + cuenta(mis_amenazas & mis_filas) - cuenta(sus_amenazas) -
                  cuenta(sus_amenazas & (TODAS ^ mis_filas));
    return std::clamp(16 * v, -VICTORIA + 1, VICTORIA - 1);
}

// ---------------------------------------------------------------- tabla de transposición

enum Tipo : std::uint8_t { LIBRE, EXACTO, COTA_INFERIOR, COTA_SUPERIOR };

// Un primo: el resto de la clave da la casilla y el cociente, que cabe en 32 bits, la completa.
// Así cada entrada ocupa 8 bytes y la tabla 2 MiB, sin confundir nunca dos posiciones.
constexpr Bits TAMANO_TABLA = 262139;
static_assert((Bits{1} << (COLUMNAS * ALTO)) / TAMANO_TABLA <= UINT32_MAX);

struct Entrada {
    std::uint32_t cociente = 0;
    std::int16_t valor = 0;
    std::uint8_t profundidad = 0;
    std::uint8_t tipo : 2 = LIBRE;
    std::uint8_t columna : 3 = 0; // la mejor jugada encontrada, la primera que se prueba
};
static_assert(sizeof(Entrada) == 8);

// Estática (a cero, no ocupa memoria real hasta que se usa) y compartida entre jugadas: los
// valores solo dependen de la posición y de la profundidad, así que siguen valiendo.
std::array<Entrada, TAMANO_TABLA> tabla;

// ---------------------------------------------------------------- búsqueda

class Buscador {
  public:
    Buscador(const Presupuesto* presupuesto, bool con_tabla)
        : presupuesto_(presupuesto), con_tabla_(con_tabla) {}

    // Valor de la posición para el bando que mueve mirando `profundidad` jugadas; con la
    // profundidad de todas las casillas libres, el valor exacto. Tras cortarse vale 0 y no sirve.
    int negamax(const Posicion& p, int alfa, int beta, int profundidad);

    bool cortada = false;
    std::uint64_t nodos = 0;

  private:
    void mirar_presupuesto() {
        // El plazo se consulta cada 256 nodos: unas decenas de microsegundos, o algo más si la
        // tabla aún no está en memoria.
        if (presupuesto_ == nullptr || (nodos & 255) != 0) return;
        cortada = nodos >= presupuesto_->max_nodos ||
                  (presupuesto_->se_acabo && presupuesto_->se_acabo());
    }

    const Presupuesto* presupuesto_;
    bool con_tabla_;
};

// Las jugadas de `posibles` por orden de interés: la de la tabla, después las que dejan más
// amenazas propias y, a igualdad, las más centradas.
int ordenar(const Posicion& p, Bits posibles, int columna_tabla, std::array<int, COLUMNAS>& orden) {
    std::array<int, COLUMNAS> puntos{};
    int n = 0;
    for (const int c : DESDE_EL_CENTRO) {
        const Bits jugada = posibles & columna_entera(c);
        if (jugada == 0) continue;
        const int pts = c == columna_tabla
                            ? INFINITO
                            : cuenta(amenazas(p.propias | jugada, p.mascara | jugada));
        int k = n++;
        for (; k > 0 && puntos[static_cast<std::size_t>(k - 1)] < pts; --k) {
            puntos[static_cast<std::size_t>(k)] = puntos[static_cast<std::size_t>(k - 1)];
            orden[static_cast<std::size_t>(k)] = orden[static_cast<std::size_t>(k - 1)];
        }
        puntos[static_cast<std::size_t>(k)] = pts;
        orden[static_cast<std::size_t>(k)] = c;
    }
    return n;
}

int Buscador::negamax(const Posicion& p, int alfa, int beta, int profundidad) {
    ++nodos;
    mirar_presupuesto();
    if (cortada || p.fichas == TOTAL_FICHAS) return 0;

    const Bits libres = jugables(p.mascara);
    const Bits mis_amenazas = amenazas(p.propias, p.mascara);
    if (mis_amenazas & libres) return valor_de_victoria(p.fichas + 1);
    const Bits sus_amenazas = amenazas(p.propias ^ p.mascara, p.mascara);
    Bits posibles = libres;
    if (const Bits forzadas = sus_amenazas & libres) {
        if (forzadas & (forzadas - 1)) return -valor_de_victoria(p.fichas + 2);
        posibles = forzadas;
    }
    posibles &= ~(sus_amenazas >> 1); // debajo de una amenaza suya se la dejaría servida
    if (posibles == 0) return -valor_de_victoria(p.fichas + 2);
    // Con dos casillas libres y ninguna victoria inmediata de nadie, son tablas.
    if (p.fichas >= TOTAL_FICHAS - 2) return 0;

    profundidad = std::min(profundidad, TOTAL_FICHAS - p.fichas);
    if (profundidad <= 0) return estimar(p, mis_amenazas, sus_amenazas);

    // Lo mejor posible es ganar con la ficha de después de la siguiente; lo peor, perder dos
    // fichas más tarde, porque ninguna jugada de `posibles` pierde en el acto.
    beta = std::min(beta, valor_de_victoria(p.fichas + 3));
    alfa = std::max(alfa, -valor_de_victoria(p.fichas + 4));
    if (alfa >= beta) return alfa;

    Entrada* e = nullptr;
    int columna_tabla = -1;
    const std::uint32_t cociente = static_cast<std::uint32_t>(p.clave() / TAMANO_TABLA);
    if (con_tabla_) {
        e = &tabla[p.clave() % TAMANO_TABLA];
        if (e->tipo != LIBRE && e->cociente == cociente) {
            columna_tabla = e->columna;
            if (e->profundidad >= profundidad) {
                const int v = e->valor;
                if (e->tipo == EXACTO || (e->tipo == COTA_INFERIOR && v >= beta) ||
                    (e->tipo == COTA_SUPERIOR && v <= alfa)) {
                    return v;
                }
            }
        }
    }

    std::array<int, COLUMNAS> orden{};
    const int n = ordenar(p, posibles, columna_tabla, orden);
    const int alfa_inicial = alfa;
    int mejor = -INFINITO;
    int mejor_columna = orden[0];
    for (int i = 0; i < n; ++i) {
        const int c = orden[static_cast<std::size_t>(i)];
        const Posicion hijo = p.tras(posibles & columna_entera(c));
        int v;
        if (i == 0) {
            v = -negamax(hijo, -beta, -alfa, profundidad - 1);
        } else {
            // Ventana nula: basta saber si mejora; solo si mejora se busca su valor.
            v = -negamax(hijo, -alfa - 1, -alfa, profundidad - 1);
            if (v > alfa && v < beta && !cortada) v = -negamax(hijo, -beta, -alfa, profundidad - 1);
        }
        if (cortada) return 0;
        if (v > mejor) {
            mejor = v;
            mejor_columna = c;
        }
        alfa = std::max(alfa, v);
        if (alfa >= beta) break;
    }

    if (e != nullptr) {
        e->cociente = cociente;
        e->valor = static_cast<std::int16_t>(mejor);
        e->profundidad = static_cast<std::uint8_t>(profundidad);
        e->tipo = mejor <= alfa_inicial ? COTA_SUPERIOR : mejor >= beta ? COTA_INFERIOR : EXACTO;
        e->columna = static_cast<std::uint8_t>(mejor_columna) & 7;
    }
    return mejor;
}

Posicion leer_tablero(const char m[][COLUMNAS]) {
    Posicion p;
    for (int c = 0; c < COLUMNAS; ++c) {
        for (int f = 0; f < FILAS; ++f) {
            const char valor = m[FILAS - 1 - f][c];
            if (valor != FICHA_0 && valor != FICHA_X) break;
            p.mascara |= bit(c, f);
            if (valor == FICHA_X) p.propias |= bit(c, f);
            ++p.fichas;
        }
    }
    return p;
}

// Recorre el subárbol del libro que empieza en `cursor` (la posición `p`, con el nivel 3 a
// mover) y lo deja atrás; devuelve la jugada del libro para `buscada`, o -1 si no está en él.
int recorrer_libro(const char*& cursor, const Posicion& p, const Posicion& buscada) {
    const int c = *cursor++ - '0';
    const Bits jugada = jugables(p.mascara) & columna_entera(c);
    int encontrada = p.propias == buscada.propias && p.mascara == buscada.mascara ? c : -1;
    const bool gana = (amenazas(p.propias, p.mascara) & jugada) != 0;
    if (p.fichas + 2 <= ULTIMA_FICHA_DEL_LIBRO && !gana) {
        const Posicion tras = p.tras(jugada);
        for (int r = 0; r < COLUMNAS; ++r) {
            if (*cursor == '-') {
                ++cursor; // columna llena: el otro no puede jugar ahí
                continue;
            }
            const Posicion hijo = tras.tras(jugables(tras.mascara) & columna_entera(r));
            const int m = recorrer_libro(cursor, hijo, buscada);
            if (encontrada < 0) encontrada = m;
        }
    }
    return encontrada;
}

// La jugada del libro para la posición (la X a mover), o -1. Solo hay libro si la X empezó: con
// tantas fichas suyas como del otro.
int jugada_de_libro(const Posicion& p) {
    if (p.fichas % 2 != 0 || p.fichas > ULTIMA_FICHA_DEL_LIBRO) return -1;
    const char* cursor = LIBRO_DE_APERTURAS;
    return recorrer_libro(cursor, Posicion{}, p);
}

// Profundidad del nivel 2: ve sus cuatro en raya y los del rival a dos jugadas de cada uno, pero
// no las celadas más largas que cualquier jugador con algo de práctica le puede tender.
constexpr int PROFUNDIDAD_NIVEL_2 = 4;

// El nivel 2 no distingue estimaciones parecidas: las da por iguales y sortea entre ellas, y así
// no juega siempre la misma partida. Lo resuelto (victorias, derrotas) lo distingue siempre.
int a_ojo(int valor) {
    return std::abs(valor) > VICTORIA ? valor : valor / 16;
}

// Hasta dónde estima el nivel 3 antes de intentar resolver la posición hasta el final: con la
// estimación ordena las jugadas y tiene una por si no le da tiempo a resolver.
constexpr int PROFUNDIDAD_ESTIMADA = 10;

// La raíz de la búsqueda: la posición y sus jugadas candidatas, en el orden en que se prueban.
struct Raiz {
    Posicion p;
    Bits candidatas = 0;
    std::array<int, COLUMNAS> orden{};
    int n = 0;

    Posicion hijo(int i) const {
        return p.tras(candidatas & columna_entera(orden[static_cast<std::size_t>(i)]));
    }
    int columna(int i) const { return orden[static_cast<std::size_t>(i)]; }
    void al_frente(int i) { std::rotate(orden.begin(), orden.begin() + i, orden.begin() + i + 1); }
};

struct Mejor {
    int indice;
    int valor;
};

// Todas las candidatas a `profundidad`: la mejor y su valor, o nada si se acabó el presupuesto.
// Con la profundidad de todas las casillas libres, el valor exacto.
std::optional<Mejor> vuelta(Buscador& b, const Raiz& r, int profundidad) {
    Mejor mejor{0, -INFINITO};
    for (int i = 0; i < r.n; ++i) {
        int v;
        if (i == 0) {
            v = -b.negamax(r.hijo(i), -INFINITO, INFINITO, profundidad - 1);
        } else {
            // Ventana nula: basta saber si mejora; solo si mejora se busca su valor.
            v = -b.negamax(r.hijo(i), -mejor.valor - 1, -mejor.valor, profundidad - 1);
            if (v > mejor.valor && !b.cortada)
                v = -b.negamax(r.hijo(i), -INFINITO, -mejor.valor, profundidad - 1);
        }
        if (b.cortada) return std::nullopt;
        if (v > mejor.valor) mejor = {i, v};
    }
    return mejor;
}

bool resuelto(int valor) {
    return valor > VICTORIA || valor < -VICTORIA;
}

Eleccion nivel_3(Raiz& r, const Presupuesto& presupuesto) {
    Buscador b(&presupuesto, true);
    const int libres = TOTAL_FICHAS - r.p.fichas;
    Eleccion e; // toda salida pasa por anotar(), que pone la columna
    const auto anotar = [&](int indice, int valor, int profundidad, bool exacta) {
        e.columna = r.columna(indice);
        e.valor = valor;
        e.profundidad = profundidad;
        e.exacta = exacta;
        e.nodos = b.nodos;
        return e;
    };

    // 1. Estimación por profundidades crecientes. Una victoria o una derrota segura ya es la
    // más corta o la más larga: otra más rápida cabría en esta misma profundidad y se habría
    // visto.
    for (int d = 1; d <= std::min(libres, PROFUNDIDAD_ESTIMADA); ++d) {
        const std::optional<Mejor> m = vuelta(b, r, d);
        if (!m) return anotar(0, e.valor, e.profundidad, false);
        r.al_frente(m->indice); // la mejor se mira la primera en la siguiente vuelta
        if (d == libres || resuelto(m->valor)) return anotar(0, m->valor, d, true);
        e.valor = m->valor;
        e.profundidad = d;
    }

    // 2. Hasta el final con la ventana más estrecha: de cada candidata, si gana, empata o
    // pierde, en el orden de la estimación y hasta la primera que gane.
    constexpr int DESCONOCIDO = 2;
    std::array<int, COLUMNAS> clase;
    clase.fill(DESCONOCIDO);
    int ganadora = -1;
    for (int i = 0; i < r.n && ganadora < 0 && !b.cortada; ++i) {
        const int v = -b.negamax(r.hijo(i), -1, 1, libres - 1);
        if (!b.cortada) clase[static_cast<std::size_t>(i)] = (v > 0) - (v < 0);
        if (!b.cortada && v > 0) ganadora = i;
    }
    if (b.cortada) {
        // Sin tiempo para todas: la mejor estimada que no se sepa perdedora.
        int i = 0;
        while (i + 1 < r.n && clase[static_cast<std::size_t>(i)] == -1)
            ++i;
        return anotar(i, e.valor, e.profundidad, false);
    }
    if (ganadora < 0) {
        // Las tablas valen todas lo mismo: la mejor estimada de ellas, que da más ocasiones al
        // otro de equivocarse.
        for (int i = 0; i < r.n; ++i)
            if (clase[static_cast<std::size_t>(i)] == 0) return anotar(i, 0, libres, true);
    }

    // 3. Gana (lo antes posible) o pierde con todas (lo más tarde posible): el valor exacto.
    const int segura = std::max(ganadora, 0);
    r.al_frente(segura);
    const std::optional<Mejor> m = vuelta(b, r, libres);
    if (!m) return anotar(0, e.valor, e.profundidad, false);
    return anotar(m->indice, m->valor, libres, true);
}

Eleccion nivel_2(const Raiz& r, const std::function<int()>& azar) {
    Buscador b(nullptr, false);
    std::array<int, COLUMNAS> valores{};
    int mejor = -INFINITO;
    for (int i = 0; i < r.n; ++i) {
        valores[static_cast<std::size_t>(i)] =
            -b.negamax(r.hijo(i), -INFINITO, INFINITO, PROFUNDIDAD_NIVEL_2 - 1);
        mejor = std::max(mejor, a_ojo(valores[static_cast<std::size_t>(i)]));
    }
    std::array<int, COLUMNAS> empatadas{};
    int m = 0;
    for (int i = 0; i < r.n; ++i)
        if (a_ojo(valores[static_cast<std::size_t>(i)]) == mejor)
            empatadas[static_cast<std::size_t>(m++)] = i;
    const int k = empatadas[static_cast<std::size_t>(m > 1 ? azar() % m : 0)];
    Eleccion e;
    e.columna = r.columna(k);
    e.valor = valores[static_cast<std::size_t>(k)];
    e.profundidad = PROFUNDIDAD_NIVEL_2;
    e.exacta = PROFUNDIDAD_NIVEL_2 >= TOTAL_FICHAS - r.p.fichas || resuelto(e.valor);
    e.nodos = b.nodos;
    return e;
}

} // namespace

Eleccion elegir_jugada(const char matriztab[][COLUMNAS], int nivel,
                       const std::function<int()>& azar, const Presupuesto& presupuesto) {
    Raiz r;
    r.p = leer_tablero(matriztab);
    const Bits libres = jugables(r.p.mascara);
    const Bits mias = amenazas(r.p.propias, r.p.mascara) & libres;
    const Bits sus_amenazas = amenazas(r.p.propias ^ r.p.mascara, r.p.mascara);
    const Bits no_regalan = libres & ~(sus_amenazas >> 1);

    // Candidatas: la victoria inmediata; si no, el tapón forzoso; si no, las que no dejan ganar
    // al otro en el acto (y si todas lo dejan, todas).
    r.candidatas = mias                    ? mias
                   : sus_amenazas & libres ? sus_amenazas & libres
                   : no_regalan            ? no_regalan
                                           : libres;
    for (const int c : DESDE_EL_CENTRO)
        if (r.candidatas & columna_entera(c)) r.orden[static_cast<std::size_t>(r.n++)] = c;

    Eleccion e;
    if (r.n == 0) return e;
    if (mias) {
        e.columna = r.columna(0);
        e.valor = valor_de_victoria(r.p.fichas + 1);
        e.exacta = true;
        return e;
    }
    if (nivel != 3) return nivel_2(r, azar);
    // Empezando, las primeras jugadas del libro: ahí la búsqueda no llega a ver lo que hace
    // falta para no dejar escapar la victoria.
    if (const int c = jugada_de_libro(r.p); c >= 0 && (r.candidatas & columna_entera(c))) {
        e.columna = c;
        e.de_libro = true;
        return e;
    }
    return nivel_3(r, presupuesto);
}

void vaciar_tabla() {
    tabla.fill(Entrada{});
}

int resolver(const char matriztab[][COLUMNAS], int alfa, int beta) {
    const Posicion p = leer_tablero(matriztab);
    Buscador b(nullptr, true);
    return b.negamax(p, alfa, beta, TOTAL_FICHAS - p.fichas);
}
