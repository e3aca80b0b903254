// Medida: torneo entre el jugador al azar y los tres niveles del ordenador, sin las pausas del
// juego. Cada pareja juega partidas enteras alternando quién empieza y da una línea con
// ganadas, tablas y perdidas. Después, el tiempo por jugada del nivel 3 con su plazo (mediana y
// máximo) y un juego de posiciones tardías con el valor exacto calculado por una búsqueda lenta
// de referencia, que la búsqueda del nivel 3 sin plazo debe dar igual, y con una jugada que lo
// consigue. Todo el azar sale de generadores sembrados; lo único que varía de una ejecución a
// otra es hasta dónde llega el nivel 3 dentro de su plazo (con --nodos, ni eso).
//
//   torneo [--partidas N] [--partidas-nivel3 N] [--plazo MS | --nodos N] [--posiciones N]
//          [--semilla S]
#include <algorithm>
#include <array>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "busqueda.h"
#include "reglas.h"

namespace {

using Reloj = std::chrono::steady_clock;

enum class Jugador { azar, nivel1, nivel2, nivel3 };

const char* nombre(Jugador j) {
    switch (j) {
    case Jugador::azar:
        return "azar";
    case Jugador::nivel1:
        return "nivel 1";
    case Jugador::nivel2:
        return "nivel 2";
    case Jugador::nivel3:
        return "nivel 3";
    }
    return "?";
}

struct Opciones {
    int partidas = 1000;
    int partidas_nivel3 = 1000;
    int plazo_ms = 50;       // presupuesto por jugada del nivel 3
    std::uint64_t nodos = 0; // si no es 0, presupuesto en nodos en vez de tiempo: se repite igual
    int posiciones = 200;
    unsigned semilla = 20261206u;
};

// Un bando de una partida. Todos los ordenadores juegan con la X, como en el juego: al que lleva
// el '0' se le enseña el tablero con las fichas cambiadas. vec_jug es el del nivel 1, llevado
// como en una partida: baja con cada ficha del otro bando y con la jugada del nivel 1 que lo pide.
struct Lado {
    Jugador quien;
    char ficha;
    std::array<int, COLUMNAS> vec_jug;
};

struct Cuenta {
    int ganadas = 0, tablas = 0, perdidas = 0;
};

// Las jugadas del nivel 3. El tiempo es de reloj: en esta máquina virtual el de CPU también
// cuenta lo que el anfitrión la tiene parada, así que no mide mejor la búsqueda.
struct Tiempos {
    std::vector<double> todas;    // ms por jugada
    std::vector<double> buscando; // ms de las que no salen del libro ni ganan en el acto
    int de_libro = 0;
    int exactas = 0;
};

void vista_de(const Tablero& real, char ficha, Tablero& vista) {
    for (int f = 0; f < FILAS; ++f) {
        for (int c = 0; c < COLUMNAS; ++c) {
            const char v = real[f][c];
            vista[f][c] = ficha == FICHA_X || v == VACIA ? v : (v == FICHA_0 ? FICHA_X : FICHA_0);
        }
    }
}

[[noreturn]] void imposible(const char* quien, int columna) {
    std::fprintf(stderr, "%s eligió una columna imposible: %d\n", quien, columna);
    std::exit(1);
}

int mover(const Tablero& real, Lado& lado, std::mt19937& generador, const Opciones& op,
          Tiempos& tiempos) {
    // Como rand(): un número no negativo.
    const std::function<int()> azar = [&generador] { return static_cast<int>(generador() >> 1); };
    if (lado.quien == Jugador::azar) {
        int c;
        do
            c = static_cast<int>(generador() % COLUMNAS);
        while (fila_de_caida(real, c) < 0);
        return c;
    }
    Tablero vista;
    vista_de(real, lado.ficha, vista);
    if (lado.quien == Jugador::nivel1) {
        const CeldaElegida celda = elegir_celda_maquina(vista, lado.vec_jug.data(), azar);
        if (celda.columna < 0 || celda.fila != fila_de_caida(real, celda.columna))
            imposible("el nivel 1", celda.columna);
        if (celda.baja_vec_jug) --lado.vec_jug[static_cast<std::size_t>(celda.columna)];
        return celda.columna;
    }
    Presupuesto presupuesto;
    const auto inicio = Reloj::now();
    if (lado.quien == Jugador::nivel3 && op.nodos > 0) {
        presupuesto.max_nodos = op.nodos;
    } else if (lado.quien == Jugador::nivel3) {
        // La búsqueda se corta con margen para no pasarse del plazo al volver.
        const auto corte = inicio + std::chrono::microseconds(op.plazo_ms * 900);
        presupuesto.se_acabo = [corte] { return Reloj::now() >= corte; };
    }
    const Eleccion e =
        elegir_jugada(vista, lado.quien == Jugador::nivel3 ? 3 : 2, azar, presupuesto);
    if (lado.quien == Jugador::nivel3) {
        const double ms = std::chrono::duration<double, std::milli>(Reloj::now() - inicio).count();
        tiempos.todas.push_back(ms);
        if (!e.de_libro && e.profundidad > 0) tiempos.buscando.push_back(ms);
        tiempos.de_libro += e.de_libro ? 1 : 0;
        tiempos.exactas += e.exacta ? 1 : 0;
    }
    if (e.columna < 0 || fila_de_caida(real, e.columna) < 0)
        imposible(nombre(lado.quien), e.columna);
    return e.columna;
}

// Una partida entera; devuelve el índice del lado que gana, o -1 en tablas, y deja en `jugadas`
// las columnas en orden de juego.
int partida(std::array<Lado, 2>& lados, int empieza, std::mt19937& generador, const Opciones& op,
            Tiempos& tiempos, std::string& jugadas) {
    jugadas.clear();
    Tablero real;
    std::fill(&real[0][0], &real[0][0] + FILAS * COLUMNAS, VACIA);
    for (Lado& lado : lados)
        lado.vec_jug.fill(FILAS - 1);
    vaciar_tabla(); // cada partida empieza sin nada aprendido, como el juego recién abierto
    int turno = empieza;
    for (int puestas = 0; puestas < FILAS * COLUMNAS; ++puestas, turno = 1 - turno) {
        Lado& lado = lados[static_cast<std::size_t>(turno)];
        const int c = mover(real, lado, generador, op, tiempos);
        jugadas += static_cast<char>('0' + c);
        real[fila_de_caida(real, c)][c] = lado.ficha;
        --lados[static_cast<std::size_t>(1 - turno)].vec_jug[static_cast<std::size_t>(c)];
        Tablero copia;
        std::copy(&real[0][0], &real[0][0] + FILAS * COLUMNAS, &copia[0][0]);
        if (marcar_linea(copia) != SIN_LINEA) return turno;
    }
    return -1;
}

void anotar(Cuenta& c, int ganador, int yo) {
    if (ganador < 0)
        ++c.tablas;
    else if (ganador == yo)
        ++c.ganadas;
    else
        ++c.perdidas;
}

void pareja(Jugador a, Jugador b, int n, const Opciones& op, Tiempos& tiempos) {
    if (n == 0) return;
    Cuenta total, empieza_a, empieza_b;
    std::string jugadas;
    for (int i = 0; i < n; ++i) {
        // Una semilla por partida: cualquier partida se repite sola.
        std::mt19937 generador(op.semilla + 100000u * static_cast<unsigned>(a) +
                               10000000u * static_cast<unsigned>(b) + static_cast<unsigned>(i));
        std::array<Lado, 2> lados{{{a, FICHA_X, {}}, {b, FICHA_0, {}}}};
        // El nivel 1 lleva siempre la X, como en el juego.
        if (b == Jugador::nivel1) std::swap(lados[0].ficha, lados[1].ficha);
        const int empieza = i % 2;
        const int ganador = partida(lados, empieza, generador, op, tiempos, jugadas);
        anotar(total, ganador, 0);
        anotar(empieza == 0 ? empieza_a : empieza_b, ganador, 0);
        if (a == Jugador::nivel3 && ganador == 1)
            std::printf("  pierde el nivel 3 (partida %d, empieza %s): %s\n", i,
                        nombre(empieza == 0 ? a : b), jugadas.c_str());
    }
    const auto pct = [n](int k) { return 100.0 * k / n; };
    std::printf("%-8s contra %-8s %5d partidas: %5d ganadas (%5.1f %%) %4d tablas %4d perdidas"
                "  | empieza %s: %d/%d/%d | empieza %s: %d/%d/%d\n",
                nombre(a), nombre(b), n, total.ganadas, pct(total.ganadas), total.tablas,
                total.perdidas, nombre(a), empieza_a.ganadas, empieza_a.tablas, empieza_a.perdidas,
                nombre(b), empieza_b.ganadas, empieza_b.tablas, empieza_b.perdidas);
    std::fflush(stdout);
}

// ---------------------------------------------------------------- posiciones exactas

// Referencia lenta e independiente de la búsqueda: minimax puro sobre el tablero de caracteres,
// sin poda ni tabla. Valor para el bando `ficha` que mueve, en la misma escala.
bool cuatro_desde(const Tablero& t, int f, int c) {
    static constexpr int DIRECCIONES[4][2] = {{0, 1}, {1, 0}, {1, 1}, {1, -1}};
    for (const auto& d : DIRECCIONES) {
        int seguidas = 1;
        for (const int sentido : {1, -1}) {
            for (int k = 1; k < 4; ++k) {
                const int ff = f + sentido * k * d[0], cc = c + sentido * k * d[1];
                if (ff < 0 || ff >= FILAS || cc < 0 || cc >= COLUMNAS || t[ff][cc] != t[f][c])
                    break;
                ++seguidas;
            }
        }
        if (seguidas >= 4) return true;
    }
    return false;
}

int referencia(Tablero& t, char ficha, int fichas) {
    if (fichas == FILAS * COLUMNAS) return 0;
    int mejor = -2 * VICTORIA;
    for (int c = 0; c < COLUMNAS; ++c) {
        const int f = fila_de_caida(t, c);
        if (f < 0) continue;
        t[f][c] = ficha;
        const int v = cuatro_desde(t, f, c)
                          ? valor_de_victoria(fichas + 1)
                          : -referencia(t, ficha == FICHA_X ? FICHA_0 : FICHA_X, fichas + 1);
        t[f][c] = VACIA;
        mejor = std::max(mejor, v);
    }
    return mejor;
}

void posiciones_exactas(const Opciones& op) {
    std::mt19937 generador(op.semilla);
    int comprobadas = 0, valor_igual = 0, jugada_buena = 0;
    std::array<int, 3> clases{}; // la X gana, empata, pierde
    double ms_referencia = 0, ms_busqueda = 0;
    while (comprobadas < op.posiciones) {
        // Partidas al azar, el 0 primero, hasta dejar la X a mover con 11, 13 o 15 casillas
        // libres y sin cuatro en raya; se descartan las que acaban antes y las que la X gana en
        // el acto, que no piden buscar.
        const int puestas = 27 + 2 * static_cast<int>(generador() % 3);
        Tablero t;
        std::fill(&t[0][0], &t[0][0] + FILAS * COLUMNAS, VACIA);
        bool viva = true;
        for (int k = 0; k < puestas && viva; ++k) {
            int c;
            do
                c = static_cast<int>(generador() % COLUMNAS);
            while (fila_de_caida(t, c) < 0);
            const int f = fila_de_caida(t, c);
            t[f][c] = k % 2 == 0 ? FICHA_0 : FICHA_X;
            viva = !cuatro_desde(t, f, c);
        }
        if (!viva) continue;
        auto inicio = Reloj::now();
        const int esperado = referencia(t, FICHA_X, puestas);
        if (esperado == valor_de_victoria(puestas + 1)) continue;
        ms_referencia += std::chrono::duration<double, std::milli>(Reloj::now() - inicio).count();
        ++comprobadas;
        ++clases[esperado > 0 ? 0 : esperado == 0 ? 1 : 2];
        vaciar_tabla();
        inicio = Reloj::now();
        const Eleccion e = elegir_jugada(
            t, 3, [] { return 0; }, Presupuesto{});
        ms_busqueda += std::chrono::duration<double, std::milli>(Reloj::now() - inicio).count();
        valor_igual += e.exacta && e.valor == esperado ? 1 : 0;
        const int f = fila_de_caida(t, e.columna);
        t[f][e.columna] = FICHA_X;
        const int tras = cuatro_desde(t, f, e.columna) ? valor_de_victoria(puestas + 1)
                                                       : -referencia(t, FICHA_0, puestas + 1);
        jugada_buena += tras == esperado ? 1 : 0;
    }
    std::printf("posiciones exactas: %d (la X gana %d, empata %d, pierde %d); %d con el mismo "
                "valor, %d con una jugada que lo consigue (referencia %.1f ms, búsqueda %.2f ms "
                "por posición)\n",
                comprobadas, clases[0], clases[1], clases[2], valor_igual, jugada_buena,
                ms_referencia / comprobadas, ms_busqueda / comprobadas);
}

int numero(const char* texto) {
    char* fin = nullptr;
    const long v = std::strtol(texto, &fin, 10);
    if (fin == texto || *fin != '\0' || v < 0 || v > 100000000) {
        std::fprintf(stderr, "número no válido: %s\n", texto);
        std::exit(2);
    }
    return static_cast<int>(v);
}

} // namespace

int main(int argc, char** argv) {
    Opciones op;
    for (int i = 1; i + 1 < argc; i += 2) {
        const int v = numero(argv[i + 1]);
        if (std::strcmp(argv[i], "--partidas") == 0)
            op.partidas = v;
        else if (std::strcmp(argv[i], "--partidas-nivel3") == 0)
            op.partidas_nivel3 = v;
        else if (std::strcmp(argv[i], "--plazo") == 0)
            op.plazo_ms = v;
        else if (std::strcmp(argv[i], "--posiciones") == 0)
            op.posiciones = v;
        else if (std::strcmp(argv[i], "--semilla") == 0)
            op.semilla = static_cast<unsigned>(v);
        else if (std::strcmp(argv[i], "--nodos") == 0)
            op.nodos = static_cast<std::uint64_t>(v);
        else {
            std::fprintf(stderr, "opción desconocida: %s\n", argv[i]);
            return 2;
        }
    }
    if (op.nodos > 0)
        std::printf("presupuesto del nivel 3: %llu nodos por jugada\n",
                    static_cast<unsigned long long>(op.nodos));
    else
        std::printf("plazo del nivel 3: %d ms por jugada (la búsqueda se corta al 90 %%)\n",
                    op.plazo_ms);
    Tiempos tiempos;
    const std::array<Jugador, 4> todos{Jugador::azar, Jugador::nivel1, Jugador::nivel2,
                                       Jugador::nivel3};
    // Cada pareja se cuenta desde el más fuerte.
    for (std::size_t i = 0; i < todos.size(); ++i)
        for (std::size_t j = 0; j < i; ++j)
            pareja(todos[i], todos[j],
                   todos[i] == Jugador::nivel3 ? op.partidas_nivel3 : op.partidas, op, tiempos);

    if (!tiempos.todas.empty()) {
        const std::size_t n = tiempos.todas.size();
        std::printf("jugadas del nivel 3: %zu; %d del libro, %zu buscando, el resto ganando en el "
                    "acto; %.1f %% con el valor exacto\n",
                    n, tiempos.de_libro, tiempos.buscando.size(),
                    100.0 * tiempos.exactas / static_cast<double>(n));
        for (auto* v : {&tiempos.todas, &tiempos.buscando}) {
            if (v->empty()) continue;
            std::sort(v->begin(), v->end());
            const std::size_t k = v->size();
            const double mediana = k % 2 ? (*v)[k / 2] : ((*v)[k / 2 - 1] + (*v)[k / 2]) / 2;
            const long pasadas =
                std::count_if(v->begin(), v->end(), [&op](double t) { return t > op.plazo_ms; });
            std::printf("  tiempo por jugada (%s): mediana %.2f ms, máximo %.2f ms, %ld por "
                        "encima del plazo\n",
                        v == &tiempos.todas ? "todas" : "las que buscan", mediana, v->back(),
                        pasadas);
        }
    }
    if (op.posiciones > 0) posiciones_exactas(op);
    return 0;
}
