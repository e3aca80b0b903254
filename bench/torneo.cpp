// Medida: torneo entre el jugador al azar y los tres niveles del ordenador, sin las pausas del
// juego. Cada pareja juega partidas enteras alternando quién empieza y da una línea con
// ganadas, tablas y perdidas. Después, el nivel 3 contra sí mismo: 49 partidas, una por cada
// par de primeras respuestas del segundo (el resto lo juega él), en las que el que empieza debe
// ganar siempre; y el tiempo por jugada del nivel 3 (mediana y máximo). Todo el azar sale de
// generadores sembrados y el presupuesto del nivel 3 es de nodos: cada ejecución da lo mismo.
//
//   torneo [--partidas N] [--partidas-nivel3 N] [--nodos N] [--semilla S]
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
    std::uint64_t nodos = NODOS_NIVEL_3; // presupuesto por jugada del nivel 3
    unsigned semilla = 20261206u;
};

// Un bando de una partida: `forzadas` son sus primeras columnas, si las hay. Todos los ordenadores
// juegan con la X, como en el juego: al que lleva el '0' se le enseña el tablero con las fichas
// cambiadas. vec_jug es el del nivel 1, llevado como en una partida: baja con cada ficha del otro
// bando y con la jugada del nivel 1 que lo pide.
struct Lado {
    Jugador quien;
    char ficha;
    std::array<int, COLUMNAS> vec_jug;
    std::string forzadas;
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
    const auto inicio = Reloj::now();
    const Eleccion e = elegir_jugada(vista, lado.quien == Jugador::nivel3 ? 3 : 2, azar, op.nodos);
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
    int turno = empieza;
    std::array<std::size_t, 2> hechas{};
    for (int puestas = 0; puestas < FILAS * COLUMNAS; ++puestas, turno = 1 - turno) {
        Lado& lado = lados[static_cast<std::size_t>(turno)];
        std::size_t& n = hechas[static_cast<std::size_t>(turno)];
        const int c = n < lado.forzadas.size() ? lado.forzadas[n] - '0'
                                               : mover(real, lado, generador, op, tiempos);
        ++n;
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
        std::array<Lado, 2> lados{{{a, FICHA_X, {}, ""}, {b, FICHA_0, {}, ""}}};
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

// El nivel 3 contra sí mismo, el segundo con sus dos primeras respuestas fijas.
void contra_si_mismo(const Opciones& op, Tiempos& tiempos) {
    Cuenta cuenta;
    std::string jugadas;
    for (int apertura = 0; apertura < COLUMNAS * COLUMNAS; ++apertura) {
        std::mt19937 generador(op.semilla);
        const std::string forzadas{static_cast<char>('0' + apertura / COLUMNAS),
                                   static_cast<char>('0' + apertura % COLUMNAS)};
        std::array<Lado, 2> lados{
            {{Jugador::nivel3, FICHA_X, {}, ""}, {Jugador::nivel3, FICHA_0, {}, forzadas}}};
        const int ganador = partida(lados, 0, generador, op, tiempos, jugadas);
        anotar(cuenta, ganador, 0);
        if (ganador != 0) std::printf("  no gana el que empieza: %s\n", jugadas.c_str());
    }
    std::printf(
        "nivel 3 contra sí mismo, %d partidas: el que empieza gana %d, tablas %d, pierde %d\n",
        COLUMNAS * COLUMNAS, cuenta.ganadas, cuenta.tablas, cuenta.perdidas);
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
        else if (std::strcmp(argv[i], "--semilla") == 0)
            op.semilla = static_cast<unsigned>(v);
        else if (std::strcmp(argv[i], "--nodos") == 0)
            op.nodos = static_cast<std::uint64_t>(v);
        else {
            std::fprintf(stderr, "opción desconocida: %s\n", argv[i]);
            return 2;
        }
    }
    std::printf("presupuesto del nivel 3: %llu nodos por jugada\n",
                static_cast<unsigned long long>(op.nodos));
    Tiempos tiempos;
    const std::array<Jugador, 4> todos{Jugador::azar, Jugador::nivel1, Jugador::nivel2,
                                       Jugador::nivel3};
    // Cada pareja se cuenta desde el más fuerte.
    for (std::size_t i = 0; i < todos.size(); ++i)
        for (std::size_t j = 0; j < i; ++j)
            pareja(todos[i], todos[j],
                   todos[i] == Jugador::nivel3 ? op.partidas_nivel3 : op.partidas, op, tiempos);
    contra_si_mismo(op, tiempos);

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
            std::printf("  tiempo por jugada (%s): mediana %.2f ms, máximo %.2f ms\n",
                        v == &tiempos.todas ? "todas" : "las que buscan", mediana, v->back());
        }
    }
    return 0;
}
