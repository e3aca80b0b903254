// La búsqueda de los niveles 2 y 3 (busqueda.h): tablero de bits, negamax con poda alfa-beta y
// ventana nula, tabla de transposición, profundización iterativa y el libro de aperturas. Solo
// lee el tablero que recibe y el libro (libro.h) y escribe en la tabla que le dan; nada de
// consola ni de reloj.
#include "busqueda.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <optional>
#include <stdexcept>

#include "libro.h"

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

// ---------------------------------------------------------------- búsqueda

using Tabla = TablaDeTransposicion;
static_assert(sizeof(Tabla::Entrada) == 8, "2 MiB de tabla son 262 139 entradas");

class Buscador {
  public:
    // Sin tabla, el nivel 2; `max_nodos` corta la búsqueda al llegar a esa cuenta.
    Buscador(Tabla* tabla, std::uint64_t max_nodos) : tabla_(tabla), max_nodos_(max_nodos) {}

    // Valor de la posición para el bando que mueve mirando `profundidad` jugadas; con la
    // profundidad de todas las casillas libres, el valor exacto. Tras cortarse vale 0 y no sirve.
    int negamax(const Posicion& p, int alfa, int beta, int profundidad);

    bool cortada = false;
    std::uint64_t nodos = 0;

  private:
    struct Mejor {
        int valor;
        int columna;
    };
    Mejor probar_jugadas(const Posicion& p, Bits posibles, int columna_tabla, int alfa, int beta,
                         int profundidad);

    Tabla* tabla_;
    std::uint64_t max_nodos_;
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

// Lo que una posición deja jugar sin perder en el acto: la victoria inmediata (y entonces ya
// tiene valor), el tapón forzoso, y nunca debajo de una amenaza del otro.
struct Jugables {
    Bits posibles = 0;
    Bits mis_amenazas = 0;
    Bits sus_amenazas = 0;
    std::optional<int> valor; // la posición ya está decidida
};

Jugables jugables_sin_perder(const Posicion& p) {
    Jugables j;
    const Bits libres = jugables(p.mascara);
    j.mis_amenazas = amenazas(p.propias, p.mascara);
    if (j.mis_amenazas & libres) {
        j.valor = valor_de_victoria(p.fichas + 1);
        return j;
    }
    j.sus_amenazas = amenazas(p.propias ^ p.mascara, p.mascara);
    j.posibles = libres;
    if (const Bits forzadas = j.sus_amenazas & libres) {
        if (forzadas & (forzadas - 1)) j.valor = -valor_de_victoria(p.fichas + 2);
        j.posibles = forzadas;
    }
    j.posibles &= ~(j.sus_amenazas >> 1); // debajo de una amenaza suya se la dejaría servida
    if (j.posibles == 0) j.valor = -valor_de_victoria(p.fichas + 2);
    // Con dos casillas libres y ninguna victoria inmediata de nadie, son tablas.
    if (!j.valor && p.fichas >= TOTAL_FICHAS - 2) j.valor = 0;
    return j;
}

// Lo que dice la tabla de la posición: su valor si basta para la ventana, y la mejor jugada
// que se encontró, para probarla la primera.
std::optional<int> consultar(const Tabla::Entrada& e, std::uint32_t cociente, int alfa, int beta,
                             int profundidad, int& columna) {
    if (e.tipo == Tabla::LIBRE || e.cociente != cociente) return std::nullopt;
    columna = e.columna;
    if (e.profundidad < profundidad) return std::nullopt;
    const int v = e.valor;
    const bool basta = e.tipo == Tabla::EXACTO || (e.tipo == Tabla::COTA_INFERIOR && v >= beta) ||
                       (e.tipo == Tabla::COTA_SUPERIOR && v <= alfa);
    return basta ? std::optional(v) : std::nullopt;
}

// Las jugadas en orden, cada una tras la primera con ventana nula (basta saber si mejora; solo
// si mejora se busca su valor), hasta que una pasa de `beta`.
Buscador::Mejor Buscador::probar_jugadas(const Posicion& p, Bits posibles, int columna_tabla,
                                         int alfa, int beta, int profundidad) {
    std::array<int, COLUMNAS> orden{};
    const int n = ordenar(p, posibles, columna_tabla, orden);
    Mejor mejor{-INFINITO, orden[0]};
    for (int i = 0; i < n && !cortada; ++i) {
        const int c = orden[static_cast<std::size_t>(i)];
        const Posicion hijo = p.tras(posibles & columna_entera(c));
        int v;
        if (i == 0) {
            v = -negamax(hijo, -beta, -alfa, profundidad - 1);
        } else {
            v = -negamax(hijo, -alfa - 1, -alfa, profundidad - 1);
            if (v > alfa && v < beta && !cortada) v = -negamax(hijo, -beta, -alfa, profundidad - 1);
        }
        if (v > mejor.valor) mejor = {v, c};
        alfa = std::max(alfa, v);
        if (alfa >= beta) break;
    }
    return mejor;
}

int Buscador::negamax(const Posicion& p, int alfa, int beta, int profundidad) {
    cortada = cortada || nodos >= max_nodos_;
    if (cortada || p.fichas == TOTAL_FICHAS) return 0;
    ++nodos;
    const Jugables j = jugables_sin_perder(p);
    if (j.valor) return *j.valor;
    profundidad = std::min(profundidad, TOTAL_FICHAS - p.fichas);
    if (profundidad <= 0) return estimar(p, j.mis_amenazas, j.sus_amenazas);

    // Lo mejor posible es ganar con la ficha de después de la siguiente; lo peor, perder dos
    // fichas más tarde, porque ninguna jugada de `posibles` pierde en el acto.
    beta = std::min(beta, valor_de_victoria(p.fichas + 3));
    alfa = std::max(alfa, -valor_de_victoria(p.fichas + 4));
    if (alfa >= beta) return alfa;

    Tabla::Entrada* e = tabla_ != nullptr ? &tabla_->casilla(p.clave()) : nullptr;
    const std::uint32_t cociente = tabla_ != nullptr ? tabla_->cociente(p.clave()) : 0;
    int columna_tabla = -1;
    if (e != nullptr) {
        if (const auto v = consultar(*e, cociente, alfa, beta, profundidad, columna_tabla))
            return *v;
    }

    const Mejor m = probar_jugadas(p, j.posibles, columna_tabla, alfa, beta, profundidad);
    if (cortada) return 0;
    if (e != nullptr) {
        const Tabla::Tipo tipo = m.valor <= alfa   ? Tabla::COTA_SUPERIOR
                                 : m.valor >= beta ? Tabla::COTA_INFERIOR
                                                   : Tabla::EXACTO;
        *e = {cociente, static_cast<std::int16_t>(m.valor), static_cast<std::uint8_t>(profundidad),
              tipo, static_cast<std::uint8_t>(m.columna & 7)};
    }
    return m.valor;
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
    if (p.fichas % 2 != 0) return -1;
    if (p.fichas <= ULTIMA_FICHA_DEL_LIBRO) {
        const char* cursor = LIBRO_DE_APERTURAS;
        return recorrer_libro(cursor, Posicion{}, p);
    }
    // Las sueltas van ordenadas: la clave por 8 más la jugada.
    const std::uint64_t* const fin = LIBRO_SUELTAS + NUM_LIBRO_SUELTAS;
    const std::uint64_t* const i = std::lower_bound(LIBRO_SUELTAS, fin, p.clave() * 8);
    return i != fin && *i / 8 == p.clave() ? static_cast<int>(*i % 8) : -1;
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
// estimación ordena las jugadas y tiene una por si no le llega el presupuesto para resolver.
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

// Lo que se sabe de cada candidata del nivel 3 a medida que se prueba.
enum class Clase { desconocida, gana, no_gana, empata, pierde };

class Nivel3 {
  public:
    Nivel3(Raiz& r, std::uint64_t max_nodos) : r_(r), b_(&tabla_, max_nodos) {}

    Eleccion elegir() {
        if (!estimar()) return anotar(mejor_sin_perder(), false);
        if (e_.exacta) return anotar(0, true);
        const int ganadora = probar_victorias();
        if (b_.cortada) return anotar(mejor_sin_perder(), false);
        if (ganadora >= 0) return afinar(ganadora);
        const int tablas = buscar_tablas();
        if (b_.cortada) return anotar(mejor_sin_perder(), false);
        if (tablas >= 0) {
            e_.valor = 0;
            return anotar(tablas, true);
        }
        return afinar(0); // pierde con todas: la derrota más larga
    }

  private:
    // 1. Estimación por profundidades crecientes, que ordena las candidatas (la mejor delante).
    // Una victoria o una derrota segura ya es la más corta o la más larga: otra más rápida
    // cabría en esta misma profundidad y se habría visto. false si se acabó el presupuesto.
    bool estimar() {
        const int libres = TOTAL_FICHAS - r_.p.fichas;
        for (int d = 1; d <= std::min(libres, PROFUNDIDAD_ESTIMADA); ++d) {
            const std::optional<Mejor> m = vuelta(b_, r_, d);
            if (!m) return false;
            r_.al_frente(m->indice);
            e_.valor = m->valor;
            e_.profundidad = d;
            e_.exacta = d == libres || resuelto(m->valor);
            if (e_.exacta) return true;
        }
        return true;
    }

    // 2. Hasta el final con la ventana nula de la victoria: en el orden de la estimación, la
    // primera candidata que gana, o -1.
    int probar_victorias() {
        for (int i = 0; i < r_.n; ++i) {
            const int v = -b_.negamax(r_.hijo(i), -1, 0, TOTAL_FICHAS);
            if (b_.cortada) return -1;
            clase_[static_cast<std::size_t>(i)] = v > 0 ? Clase::gana : Clase::no_gana;
            if (v > 0) return i;
        }
        return -1;
    }

    // 3. Ninguna gana: la primera que empata (la mejor estimada de las que empatan, que da más
    // ocasiones al otro de equivocarse), o -1 si pierden todas.
    int buscar_tablas() {
        for (int i = 0; i < r_.n; ++i) {
            const int v = -b_.negamax(r_.hijo(i), 0, 1, TOTAL_FICHAS);
            if (b_.cortada) return -1;
            clase_[static_cast<std::size_t>(i)] = v >= 0 ? Clase::empata : Clase::pierde;
            if (v >= 0) return i;
        }
        return -1;
    }

    // 4. El valor exacto con `segura` delante: la victoria más corta o la derrota más larga. Sin
    // presupuesto para acabar, `segura`, que ya se sabe que gana (o todas pierden).
    Eleccion afinar(int segura) {
        r_.al_frente(segura);
        std::rotate(clase_.begin(), clase_.begin() + segura, clase_.begin() + segura + 1);
        const std::optional<Mejor> m = vuelta(b_, r_, TOTAL_FICHAS - r_.p.fichas);
        e_.ganadora = clase_[0] == Clase::gana;
        if (!m) return anotar(0, false);
        e_.valor = m->valor;
        e_.profundidad = TOTAL_FICHAS - r_.p.fichas;
        return anotar(m->indice, true);
    }

    // Sin presupuesto para saberlo todo: la que gana, si ya se sabe; si no, la mejor estimada de
    // las que no se han probado (que pueden ganar), y si no de las que no se sabe que pierden.
    // Las candidatas siguen en el orden de la estimación.
    int mejor_sin_perder() const {
        for (const Clase buscada :
             {Clase::gana, Clase::desconocida, Clase::no_gana, Clase::empata}) {
            for (int i = 0; i < r_.n; ++i)
                if (clase_[static_cast<std::size_t>(i)] == buscada) return i;
        }
        return 0;
    }

    Eleccion anotar(int indice, bool exacta) {
        e_.columna = r_.columna(indice);
        e_.exacta = exacta;
        e_.ganadora = e_.ganadora || (exacta && e_.valor > VICTORIA);
        e_.nodos = b_.nodos;
        return e_;
    }

    Raiz& r_;
    Tabla tabla_;
    Buscador b_;
    Eleccion e_;
    std::array<Clase, COLUMNAS> clase_{};
};

Eleccion nivel_2(const Raiz& r, const std::function<int()>& azar) {
    Buscador b(nullptr, std::numeric_limits<std::uint64_t>::max());
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

Raiz raiz_de(const char matriztab[][COLUMNAS]) {
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
    return r;
}

// La victoria inmediata, si la hay.
std::optional<Eleccion> gana_en_el_acto(const Raiz& r) {
    if (r.n == 0 || !(amenazas(r.p.propias, r.p.mascara) & r.candidatas)) return std::nullopt;
    Eleccion e;
    e.columna = r.columna(0);
    e.valor = valor_de_victoria(r.p.fichas + 1);
    e.exacta = true;
    e.ganadora = true;
    return e;
}

} // namespace

Eleccion elegir_jugada(const char matriztab[][COLUMNAS], int nivel,
                       const std::function<int()>& azar, std::uint64_t max_nodos) {
    Raiz r = raiz_de(matriztab);
    if (r.n == 0) return {};
    if (const auto e = gana_en_el_acto(r)) return *e;
    if (nivel != 3) return nivel_2(r, azar);
    // Empezando, las primeras jugadas del libro: ahí la búsqueda no llega a ver lo que hace
    // falta para no dejar escapar la victoria.
    if (const int c = jugada_de_libro(r.p); c >= 0 && (r.candidatas & columna_entera(c))) {
        Eleccion e;
        e.columna = c;
        e.de_libro = true;
        e.ganadora = true;
        return e;
    }
    return Nivel3(r, max_nodos).elegir();
}

Eleccion buscar_sin_libro(const char matriztab[][COLUMNAS], std::uint64_t max_nodos) {
    Raiz r = raiz_de(matriztab);
    if (r.n == 0) return {};
    if (const auto e = gana_en_el_acto(r)) return *e;
    return Nivel3(r, max_nodos).elegir();
}

std::uint64_t clave_del_libro(const char matriztab[][COLUMNAS]) {
    return leer_tablero(matriztab).clave();
}

TablaDeTransposicion::TablaDeTransposicion(std::size_t casillas) : casillas_(casillas) {
    constexpr std::uint64_t MAYOR_CLAVE = std::uint64_t{1} << (COLUMNAS * ALTO);
    if (casillas == 0 || MAYOR_CLAVE / casillas > UINT32_MAX)
        throw std::invalid_argument("tabla de transposición demasiado pequeña");
}

int resolver(const char matriztab[][COLUMNAS], int alfa, int beta, TablaDeTransposicion& tabla) {
    const Posicion p = leer_tablero(matriztab);
    Buscador b(&tabla, std::numeric_limits<std::uint64_t>::max());
    return b.negamax(p, alfa, beta, TOTAL_FICHAS - p.fichas);
}
