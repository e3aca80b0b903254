// Los códigos de tecla como los da _getch en una consola DOS, cada uno nombrado una sola vez: de
// aquí los toman las pantallas, el analizador del teclado, la traducción de las teclas de Windows
// y las pruebas.
#pragma once

#include <string_view>

namespace consola {

// Las teclas con un solo código.
inline constexpr int TECLA_RETROCESO = 8;
inline constexpr int TECLA_TABULADOR = 9;
inline constexpr int TECLA_INTRO = 13;
inline constexpr int TECLA_ESCAPE = 27;

// Las teclas sin carácter llegan en dos lecturas: un prefijo y su código.
inline constexpr int PREFIJO_FUNCION = 0;     // F1-F10 y Alt+tecla
inline constexpr int PREFIJO_EXTENDIDA = 224; // flechas, bloque de edición, F11 y F12

// Una tecla de dos lecturas y lo que manda un xterm por ella sin modificadores: el teclado
// reconoce las demás formas de cada terminal reduciéndolas a esta, y la consola de Windows la
// manda así.
struct TeclaDoble {
    int prefijo;
    int codigo;
    std::string_view xterm;
};

inline constexpr TeclaDoble TECLA_ARRIBA{PREFIJO_EXTENDIDA, 72, "\x1b[A"};
inline constexpr TeclaDoble TECLA_ABAJO{PREFIJO_EXTENDIDA, 80, "\x1b[B"};
inline constexpr TeclaDoble TECLA_DERECHA{PREFIJO_EXTENDIDA, 77, "\x1b[C"};
inline constexpr TeclaDoble TECLA_IZQUIERDA{PREFIJO_EXTENDIDA, 75, "\x1b[D"};
inline constexpr TeclaDoble TECLA_INICIO{PREFIJO_EXTENDIDA, 71, "\x1b[H"};
inline constexpr TeclaDoble TECLA_FIN{PREFIJO_EXTENDIDA, 79, "\x1b[F"};
inline constexpr TeclaDoble TECLA_INSERTAR{PREFIJO_EXTENDIDA, 82, "\x1b[2~"};
inline constexpr TeclaDoble TECLA_SUPRIMIR{PREFIJO_EXTENDIDA, 83, "\x1b[3~"};
inline constexpr TeclaDoble TECLA_REPAG{PREFIJO_EXTENDIDA, 73, "\x1b[5~"};
inline constexpr TeclaDoble TECLA_AVPAG{PREFIJO_EXTENDIDA, 81, "\x1b[6~"};
inline constexpr TeclaDoble TECLA_F1{PREFIJO_FUNCION, 59, "\x1bOP"};
inline constexpr TeclaDoble TECLA_F2{PREFIJO_FUNCION, 60, "\x1bOQ"};
inline constexpr TeclaDoble TECLA_F3{PREFIJO_FUNCION, 61, "\x1bOR"};
inline constexpr TeclaDoble TECLA_F4{PREFIJO_FUNCION, 62, "\x1bOS"};
inline constexpr TeclaDoble TECLA_F5{PREFIJO_FUNCION, 63, "\x1b[15~"};
inline constexpr TeclaDoble TECLA_F6{PREFIJO_FUNCION, 64, "\x1b[17~"};
inline constexpr TeclaDoble TECLA_F7{PREFIJO_FUNCION, 65, "\x1b[18~"};
inline constexpr TeclaDoble TECLA_F8{PREFIJO_FUNCION, 66, "\x1b[19~"};
inline constexpr TeclaDoble TECLA_F9{PREFIJO_FUNCION, 67, "\x1b[20~"};
inline constexpr TeclaDoble TECLA_F10{PREFIJO_FUNCION, 68, "\x1b[21~"};
inline constexpr TeclaDoble TECLA_F11{PREFIJO_EXTENDIDA, 133, "\x1b[23~"};
inline constexpr TeclaDoble TECLA_F12{PREFIJO_EXTENDIDA, 134, "\x1b[24~"};

inline constexpr TeclaDoble TECLAS_DOBLES[] = {
    TECLA_ARRIBA,   TECLA_ABAJO,    TECLA_DERECHA, TECLA_IZQUIERDA, TECLA_INICIO, TECLA_FIN,
    TECLA_INSERTAR, TECLA_SUPRIMIR, TECLA_REPAG,   TECLA_AVPAG,     TECLA_F1,     TECLA_F2,
    TECLA_F3,       TECLA_F4,       TECLA_F5,      TECLA_F6,        TECLA_F7,     TECLA_F8,
    TECLA_F9,       TECLA_F10,      TECLA_F11,     TECLA_F12,
};

// Alt + una tecla de carácter da PREFIJO_FUNCION y el código de esa tecla en el teclado, como en
// DOS: cada fila, de izquierda a derecha, desde el código de su primera tecla (Alt+1 es 120).
// Las pantallas leen el segundo código como cualquier otro: Alt+B, N, M, la coma, el punto y la
// barra, que darían 48 a 53 ('0' a '5', una jugada), y Alt+], que daría 27 (Escape), no dan
// ninguna tecla.
struct FilaAlt {
    int primero;
    std::string_view teclas;
};
inline constexpr FilaAlt FILAS_ALT[] = {
    {120, "1234567890-="},
    {16, "qwertyuiop["},
    {30, "asdfghjkl;'`"},
    {43, "\\zxcv"},
};

} // namespace consola
