// Las pantallas del juego, enteras: cada caso de pantallas.h arranca una pantalla con un guion
// de teclas y compara las 50 filas, algunos colores, el cursor, la campana y si la pantalla
// volvió al menú. Solo usa la consola en memoria de apoyo.h.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <functional>
#include <map>
#include <sstream>
#include <vector>

#include "apoyo.h"
#include "pantallas.h"

namespace {

using Filas = std::array<std::string, consola::ALTO + 1>; // desde 1

struct Caso {
    std::string nombre;
    std::map<std::string, std::string> dice; // teclas, sorteo, base, color...
    std::map<int, std::string> filas;
    std::string operator[](const std::string& clave) const {
        const auto i = dice.find(clave);
        return i == dice.end() ? "" : i->second;
    }
};

// "<intro>", "<abajo>"...: las teclas con nombre; lo demás va tal cual.
std::string teclas_de(const std::string& t) {
    static const std::map<std::string, std::string> nombres = {
        {"intro", "\r"},     {"esc", "\x1b"},       {"arriba", "\x1b[A"},
        {"abajo", "\x1b[B"}, {"derecha", "\x1b[C"}, {"izquierda", "\x1b[D"},
        {"f1", "\x1bOP"},    {"espacio", " "},      {"lf", "\n"}};
    std::string r;
    for (std::size_t i = 0; i < t.size(); ++i) {
        const std::size_t fin = t.find('>', i);
        if (t[i] == '<' && fin != std::string::npos) {
            r += nombres.at(t.substr(i + 1, fin - i - 1));
            i = fin;
        } else {
            r += t[i];
        }
    }
    return r;
}

std::vector<Caso> casos() {
    std::vector<Caso> r;
    std::istringstream datos(PANTALLAS);
    for (std::string linea; std::getline(datos, linea);) {
        const std::size_t dos = linea.find(": "), barra = linea.find('|');
        if (linea.starts_with("== "))
            r.push_back({linea.substr(3), {}, {}});
        else if (barra != std::string::npos && barra <= 2)
            r.back().filas[std::stoi(linea.substr(0, barra))] = linea.substr(barra + 1);
        else if (dos != std::string::npos)
            r.back().dice[linea.substr(0, dos)] = linea.substr(dos + 2);
    }
    return r;
}

// Las filas del tablero que da "tablero:", dibujadas como las dibuja el juego.
void poner_tablero(Filas& filas, const std::string& tablero) {
    auto n = 23 - 2 * static_cast<std::size_t>(std::ranges::count(tablero, '/') + 1);
    for (std::size_t i = 0; i < tablero.size(); i += 8) {
        std::string fila = "        │";
        for (const char c : tablero.substr(i, 7))
            fila += std::string(" ") + (c == '.' ? ' ' : c) + " │";
        filas.at(n) = fila;
        n += 2;
    }
}

const std::map<std::string, std::function<void()>> PANTALLA = {
    {"menú",
     [] {
         arranque();
         menu_ppal();
     }},
    {"jug2", [] { jug2(); }},
    {"vs_ord", [] { vs_ord(); }},
    {"salir",
     [] {
         if (salir() == VOLVER_AL_MENU) menu_ppal();
     }},
};

} // namespace

TEST(Pantallas, CadaCasoEnteroFilaAFila) {
    std::map<std::string, Filas> esperadas;
    for (const Caso& c : casos()) {
        SCOPED_TRACE(c.nombre);
        Escenario e;
        e.sorteo(c["sorteo"] == "1");
        e.dispositivo.guardar_salida = true;
        e.teclear(teclas_de(c["teclas"]));
        e.ejecutar(PANTALLA.at(c.nombre.substr(0, c.nombre.find(','))));
        Filas& esperada = esperadas[c.nombre];
        if (!c["base"].empty()) esperada = esperadas.at(c["base"]);
        poner_tablero(esperada, c["tablero"]);
        for (const auto& [n, texto] : c.filas)
            esperada.at(static_cast<std::size_t>(n)) = texto;
        std::string vista, filas_distintas;
        for (int n = 1; n <= consola::ALTO; ++n) {
            if (e.fila(n) != esperada[static_cast<std::size_t>(n)])
                filas_distintas += ' ' + std::to_string(n);
            if (!e.fila(n).empty())
                vista += (n < 10 ? " " : "") + std::to_string(n) + "|" + e.fila(n) + "\n";
        }
        EXPECT_EQ(filas_distintas, "") << "la pantalla es:\n" << vista;
        std::istringstream colores(c["color"]);
        for (int x, y, a; colores >> x >> y >> std::hex >> a >> std::dec;)
            EXPECT_EQ(e.atributo(x, y), a) << x << ',' << y;
        const std::string cursor = e.consola.pantalla().cursor_visible() ? "visible" : "oculto";
        EXPECT_EQ(c["cursor"].empty() ? "" : cursor, c["cursor"]);
        EXPECT_EQ(e.volvio ? "si" : "no", c["vuelve"].empty() ? "no" : c["vuelve"]);
        const bool campana = e.dispositivo.salida.find('\a') != std::string::npos;
        EXPECT_EQ(c["campana"].empty() ? "" : campana ? "si" : "no", c["campana"]);
    }
}
