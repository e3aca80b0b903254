// Utilidades de texto de la consola: decodificar UTF-8 tolerando bytes sueltos de la página de
// códigos 437, codificar a UTF-8, el glifo de cada byte de la 437 y el ancho en celdas.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace consola {

// El único decodificador de UTF-8, para quien tiene el texto entero y para quien lo recibe byte a
// byte (el teclado): lo que hay al principio de `bytes` es un carácter entero (su código y cuántos
// bytes ocupa), el principio válido de uno al que aún le faltan bytes, o nada válido. Sin formas
// largas, sin mitades de par sustituto, nada por encima de U+10FFFF.
struct Utf8 {
    enum class Estado { entero, a_medias, invalido };
    Estado estado;
    char32_t car = 0;
    std::size_t bytes = 0;
};
Utf8 leer_utf8(std::string_view bytes);

// Decodifica un carácter desde texto[pos]. Devuelve el carácter y cuántos bytes ocupa. Un byte
// que no empieza una secuencia UTF-8 válida y completa vale por su carácter de la 437 (1 byte).
struct Decodificado {
    char32_t car;
    std::size_t bytes;
};
Decodificado decodificar(std::string_view texto, std::size_t pos);

std::string utf8(char32_t c);

// El carácter Unicode que la página de códigos 437 pone en el byte b (0-255), glifos de
// control incluidos (1 -> ☺, 27 -> ←).
char32_t cp437(unsigned char b);
// El byte de la 437 para un carácter, o -1 si la 437 no lo tiene.
int a_cp437(char32_t c);

// Ancho en celdas de un carácter en un terminal, según la tabla generada de los datos de
// Unicode (la misma en todas las plataformas): 1 casi siempre, 0 para marcas combinantes y
// formatos, 2 para ideogramas y emojis, -1 para lo que esa versión de Unicode no tiene
// asignado. El volcado sustituye lo que no mida 1.
int ancho_celda(char32_t c);

} // namespace consola
