// Las reglas puras: caída de fichas, búsqueda y marca de la línea de cuatro y la elección de
// casilla del ordenador. Sin consola ni reloj: solo el tablero y lo que se les pasa.
#pragma once

#include <functional>

#include "lib_funciones.h"

// Busca la primera línea de cuatro en el orden fijo del juego (horizontales, verticales,
// diagonales hacia abajo a la derecha, hacia abajo a la izquierda; por filas desde arriba y por
// columnas desde la izquierda), cambia sus cuatro celdas por la marca ('+' las X, '*' los 0) y
// devuelve GANA_X o GANA_0. Sin línea devuelve SIN_LINEA y no toca nada.
int marcar_linea(char matriztab[][COLUMNAS]);

// La fila donde cae una ficha de persona en `columna`: desde la fila 5 sube mientras la celda
// tenga '0' o 'X'. -1 si la columna no la admite (fuera de 0-6 o fila 0 ocupada).
int fila_de_caida(const char matriztab[][COLUMNAS], int columna);

struct CeldaElegida {
    int fila = -1;
    int columna = -1;
    bool baja_vec_jug = false; // la jugada sobre la columna de la persona baja vec_jug
};

// La casilla que juega el ordenador según su lista fija de patrones. `azar` se llama solo cuando
// hace falta sortear una columna y devuelve un número no negativo (como rand()) del que se toma
// el resto entre 7. Requiere al menos una celda vacía.
CeldaElegida elegir_celda_maquina(const char matriztab[][COLUMNAS], const int* vec_jug,
                                  const std::function<int()>& azar);
