// El libro de aperturas del nivel 3 cuando empieza: lo escribe herramientas/generar_libro.cpp
// en libro.cpp y lo lee busqueda.cpp. Un árbol en preorden: en cada posición en la que le toca
// con hasta ULTIMA_FICHA_DEL_LIBRO fichas puestas, su jugada ganadora ('0' a '6'); luego, si
// aún hay libro por debajo y esa jugada no gana en el acto, el subárbol de cada respuesta del
// otro, de la columna 0 a la 6 ('-' si esa columna está llena).
// Más allá, las jugadas sueltas: las posiciones a las que llega con ULTIMA_FICHA_DEL_LIBRO + 2
// y + 4 fichas en las que la búsqueda con NODOS_NIVEL_3, o con un cuarto de margen, no prueba
// una victoria, con la suya.
// Cada una es su clave (clave_del_libro) por 8 más la columna, en orden creciente.
#pragma once

#include <cstddef>
#include <cstdint>

extern const int ULTIMA_FICHA_DEL_LIBRO;
extern const char* const LIBRO_DE_APERTURAS;
extern const std::size_t NUM_LIBRO_SUELTAS;
extern const std::uint64_t LIBRO_SUELTAS[];
