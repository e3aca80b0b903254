// Las declaraciones del juego: tamaño del tablero, funciones del tablero, jugadas, fin de
// partida, el ordenador y las pantallas. El tablero es un char[FILAS][COLUMNAS] que cada partida
// guarda como variable local y pasa por puntero; no hay estado global del juego.
#pragma once

#include <string>
#include <vector>

inline constexpr int FILAS = 6;
inline constexpr int COLUMNAS = 7;
static_assert(FILAS * COLUMNAS == 42, "21 fichas por bando llenan el tablero");

inline constexpr int FICHAS_POR_BANDO = FILAS * COLUMNAS / 2;
inline constexpr int LONGITUD_NOMBRE = 50; // 49 bytes y el terminador

// Valores de celda.
inline constexpr char VACIA = ' ';
inline constexpr char FICHA_0 = '0'; // jugador 1, o la persona contra el ordenador
inline constexpr char FICHA_X = 'X'; // jugador 2, o el ordenador
inline constexpr char MARCA_0 = '*'; // un '0' de la línea ganadora
inline constexpr char MARCA_X = '+'; // una 'X' de la línea ganadora

// Resultado de la búsqueda de línea de cuatro.
inline constexpr int SIN_LINEA = -1;
inline constexpr int GANA_X = 0;
inline constexpr int GANA_0 = 1;

// Resultado de una jugada de persona.
inline constexpr int JUGADA_HECHA = 1;
inline constexpr int PARTIDA_ABANDONADA = 0;

// Resultado de una pantalla del menú.
inline constexpr int VOLVER_AL_MENU = 0;
inline constexpr int TERMINAR = 1;

using Tablero = char[FILAS][COLUMNAS];

// Las respuestas s/n se comparan en minúscula; solo se pliegan las letras ASCII (un código de
// tecla puede ser cualquier valor de la página 437).
inline int minuscula(int c) {
    return (c >= 'A' && c <= 'Z') ? c - 'A' + 'a' : c;
}

// --- Sorteos (funciones.cpp) ---
// Quién empieza y la columna al azar del ordenador salen de aquí: la hora en segundos es la
// semilla de cada sorteo, así que dos sorteos en el mismo segundo dan lo mismo. El generador es
// srand(semilla) y rand(); las pruebas ponen el suyo para no depender del de una biblioteca.
using Generador = int (*)(unsigned semilla);
Generador cambiar_generador(Generador nuevo); // devuelve el que había
int sortear();                                // un número no negativo

// --- Tablero (funciones.cpp) ---
// Vacía el tablero y escribe seis saltos de línea donde esté el cursor. Devuelve 0.
int tablero(char matriztab[][COLUMNAS]);
// Limpia la pantalla y dibuja el tablero con `cont` como fichas restantes. Devuelve 0.
int mostrartab(const char matriztab[][COLUMNAS], int cont);

// --- Fin de partida (funciones.cpp) ---
// Si hay línea de cuatro la marca, redibuja, anuncia, espera una tecla y devuelve GANA_0 o
// GANA_X; si no, SIN_LINEA sin escribir nada. fin y cont no se usan.
int comprobar_fin(char matriztab[][COLUMNAS], int fin, int cont);
int comprobar_fin_USUARIO(char matriztab[][COLUMNAS], int fin, int cont, const char* j1,
                          const char* j2);

// --- Jugadas de persona (funciones.cpp) ---
// Piden una columna y ponen la ficha. `cont` es la cifra de fichas que se enseña si el tablero
// se vuelve a dibujar tras negarse a abandonar. Devuelven JUGADA_HECHA, o PARTIDA_ABANDONADA si
// el jugador de '0' deja la partida.
int hacer_jugada_usuario(char matriztab[][COLUMNAS], int* vec_jug, int* vec_ord,
                         const char* jugador, int cont);
int hacer_jugada_usuario_CONTRARIO(char matriztab[][COLUMNAS], int* vec_jug, int* vec_ord,
                                   const char* jugador, int cont);

// --- El ordenador (funciones.cpp) ---
// El nivel del ordenador: 1 (el de siempre, por defecto), 2 o 3; cualquier otro valor es el 1.
void fijar_nivel(int nivel);
// Escribe su turno, espera un momento y pone una 'X'. Devuelve 0.
int mov_maquina(char matriztab[][COLUMNAS], int* vec_jug, int* vec_ord);

// --- Leyendas (funciones.cpp) ---
int menu(const char* usuario);
int menu_US_CONTRARIO(const char* nom1, const char* nom2);

// --- Pantallas (funciones_menu.cpp) ---
int jug2();
int vs_ord();
int instrucciones();
// Dónde más buscar INSTRUCCIONES.txt si no está en el directorio actual, en este orden.
void buscar_instrucciones_en(std::vector<std::string> directorios);
int salir(); // TERMINAR si el jugador confirma; VOLVER_AL_MENU si no

// --- Arranque y menú principal (menu_principal.cpp) ---
// Prepara la ventana, enseña el título y espera Intro.
int arranque();
// El menú principal: vuelve solo cuando la salida se ha confirmado.
int menu_ppal();
// El título en letras grandes (filas 4 a 11) y los colores que deja: negro sobre blanco.
void dibujar_titulo();

// La dirección web que enseñan el menú y la pantalla de despedida.
inline constexpr const char* DIRECCION_WEB = "https://quatrelo.example.org";
