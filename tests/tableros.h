// Apoyo de las pruebas de reglas: tableros escritos como se ven y tableros jugados por columnas.
// Solo arma tableros de prueba; no llama a nada de reglas.h, para no depender de lo que se prueba.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>

#include "lib_funciones.h"

// Se arma con desde_filas o desde_jugadas, que llenan todas las celdas.
struct Posicion {
    Tablero celdas{};
    std::array<int, COLUMNAS> vec_jug{5, 5, 5, 5, 5, 5, 5};
};

// Filas de siete caracteres separadas por '/', la última la del fondo; las que faltan arriba
// están vacías, y así un tablero casi vacío cabe en una línea. vec_jug va como siete cifras.
inline Posicion desde_filas(std::string_view filas, std::string_view vec_jug = "5555555") {
    if (filas.empty()) filas = "       ";
    std::string todas;
    for (auto n = std::count(filas.begin(), filas.end(), '/') + 1; n < FILAS; ++n)
        todas += "       /";
    todas += filas;
    // Un tablero mal escrito en una prueba es un fallo de la prueba, no del juego.
    if (todas.size() != FILAS * (COLUMNAS + 1) - 1) throw std::invalid_argument(std::string(filas));
    Posicion p;
    for (int f = 0; f < FILAS; ++f)
        todas.copy(p.celdas[f], COLUMNAS, f * (COLUMNAS + 1));
    for (std::size_t c = 0; c < COLUMNAS; ++c)
        p.vec_jug[c] = vec_jug.at(c) - '0';
    return p;
}

// Columnas en orden de juego, la persona ('0') primero. Como en una partida, cada ficha de la
// persona baja su contador de vec_jug.
inline Posicion desde_jugadas(std::string_view jugadas) {
    Posicion p = desde_filas("");
    std::array<int, COLUMNAS> altura{};
    for (std::size_t k = 0; k < jugadas.size(); ++k) {
        const auto c = static_cast<std::size_t>(jugadas[k] - '0');
        const bool persona = k % 2 == 0;
        p.celdas[FILAS - 1 - altura.at(c)++][c] = persona ? FICHA_0 : FICHA_X;
        p.vec_jug[c] -= persona ? 1 : 0;
    }
    return p;
}

// El tablero escrito como lo lee desde_filas, con las seis filas.
inline std::string filas_de(const Tablero& t) {
    std::string filas;
    for (int f = 0; f < FILAS; ++f)
        filas += std::string(t[f], COLUMNAS) + "/";
    return filas.substr(0, filas.size() - 1);
}
