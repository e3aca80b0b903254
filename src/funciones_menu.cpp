// Las pantallas que abre el menú: la partida de dos jugadores, la partida contra el ordenador,
// las instrucciones y la confirmación de salida. Cada una es dueña de sus datos (tablero,
// contadores, nombres) mientras dura y vuelve al menú devolviendo su resultado. Todo lo que
// enseñan y leen pasa por conio2.h; aparte de eso solo leen el fichero de instrucciones.
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "conio2.h"
#include "consola/texto.h"
#include "lib_funciones.h"

namespace {

constexpr int PAUSA_DESPEDIDA_MS = 1500;
constexpr const char* FICHERO_INSTRUCCIONES = "INSTRUCCIONES.txt";
constexpr std::size_t CARACTERES_PAGINA_1 = 1803;
constexpr std::size_t CARACTERES_PAGINA_2 = 1732;

void contadores_a_cinco(int* vec_jug, int* vec_ord) {
    for (int j = 0; j < COLUMNAS; ++j)
        vec_jug[j] = vec_ord[j] = FILAS - 1;
}

int sortear_quien_empieza() {
    return sortear() % 2;
}

// Tras la leyenda: una tecla cualquiera, y el tablero vacío.
void empezar_partida(char matriztab[][COLUMNAS], int cont) {
    escribir("\n\n\n\n\t\t   Pulsa una tecla para empezar...");
    leer_tecla();
    tablero(matriztab);
    mostrartab(matriztab, cont);
}

// Lee la respuesta a "volver a jugar" hasta que sea s o n.
int leer_si_no(bool con_eco_y_mayusculas) {
    int volver;
    do {
        descartar_entrada();
        volver = con_eco_y_mayusculas ? minuscula(leer_tecla_eco()) : leer_tecla();
    } while (volver != 's' && volver != 'n');
    return volver;
}

void pedir_nombres(char* jugador1, char* jugador2) {
    limpiar_pantalla();
    info_cursor(10, true);
    gotoxy(10, 10);
    escribir("COMO TE LLAMAS JUGARDOR 1?: ");
    gotoxy(10, 17);
    escribir("COMO TE LLAMAS JUGARDOR 2?: ");
    gotoxy(37, 10);
    leer_palabra(jugador1, LONGITUD_NOMBRE);
    for (;;) {
        gotoxy(37, 17);
        leer_palabra(jugador2, LONGITUD_NOMBRE);
        if (std::strcmp(jugador1, jugador2) != 0) return;
        gotoxy(37, 18);
        escribir(" YA EXISTE ESE NOMBRE");
        gotoxy(37, 17);
        escribir("%33s", "");
    }
}

using Jugada = std::function<int()>;

// Rondas de dos jugadas hasta una línea de cuatro (fin queda a 1 en la jugada que la hace) o
// hasta que se acaban las fichas. Devuelve false si la partida se abandonó.
bool jugar_rondas(const char matriztab[][COLUMNAS], int& cont, int& fin, const Jugada& primera,
                  const Jugada& segunda, const Jugada& comprobar) {
    while (cont > 0) {
        for (const Jugada* jugada : {&primera, &segunda}) {
            if ((*jugada)() == PARTIDA_ABANDONADA) return false;
            if (comprobar() != SIN_LINEA) {
                fin = 1;
                return true;
            }
            mostrartab(matriztab, cont);
        }
        --cont;
    }
    return true;
}

// El tablero final, el empate si lo hubo y la pregunta de volver a jugar.
void dibujar_final(const char matriztab[][COLUMNAS], int cont, int fin, const char* empate) {
    mostrartab(matriztab, cont);
    if (fin == 0) {
        escribir("   SIN FICHAS");
        escribir("%s", empate);
    }
    escribir("\n\n\t   Desea volver a jugar?(s/n)");
}

} // namespace

int jug2() {
    Tablero matriztab;
    int vec_jug[COLUMNAS], vec_ord[COLUMNAS];
    char jugador1[LONGITUD_NOMBRE], jugador2[LONGITUD_NOMBRE];
    bool nombres_nuevos = true;
    for (;;) {
        if (nombres_nuevos) {
            contadores_a_cinco(vec_jug, vec_ord);
            pedir_nombres(jugador1, jugador2);
        }
        int cont = FICHAS_POR_BANDO;
        int fin = 0;
        const int num = sortear_quien_empieza();
        menu_US_CONTRARIO(jugador1, jugador2);
        info_cursor(10, false);
        escribir("\n\n\n\n\t\t\t EMPIEZA %s", num == 0 ? jugador1 : jugador2);
        empezar_partida(matriztab, cont);

        const Jugada juega_1 = [&] {
            return hacer_jugada_usuario(matriztab, vec_jug, vec_ord, jugador1, cont);
        };
        const Jugada juega_2 = [&] {
            return hacer_jugada_usuario_CONTRARIO(matriztab, vec_jug, vec_ord, jugador2, cont);
        };
        const Jugada comprobar = [&] {
            return comprobar_fin_USUARIO(matriztab, fin, cont, jugador1, jugador2);
        };
        const Jugada& primera = num == 0 ? juega_1 : juega_2;
        const Jugada& segunda = num == 0 ? juega_2 : juega_1;
        if (!jugar_rondas(matriztab, cont, fin, primera, segunda, comprobar)) return VOLVER_AL_MENU;
        dibujar_final(matriztab, cont, fin, "\n   EMPATE");
        // Tras empezar el jugador 1 se responde con eco y vale la mayúscula; tras empezar el 2,
        // sin eco y solo minúscula, y el sí vuelve a pedir los nombres.
        if (leer_si_no(num == 0) == 'n') return VOLVER_AL_MENU;
        limpiar_pantalla();
        nombres_nuevos = num == 1;
    }
}

int vs_ord() {
    Tablero matriztab;
    int vec_jug[COLUMNAS], vec_ord[COLUMNAS];
    char usuario[LONGITUD_NOMBRE];
    contadores_a_cinco(vec_jug, vec_ord);
    limpiar_pantalla();
    gotoxy(10, 10);
    escribir("COMO TE LLAMAS?: ");
    gotoxy(27, 10);
    leer_palabra(usuario, LONGITUD_NOMBRE);
    limpiar_pantalla();
    for (;;) {
        menu(usuario);
        int cont = FICHAS_POR_BANDO;
        int fin = 0;
        const int num = sortear_quien_empieza();
        if (num == 0)
            escribir("\n\n\n\n\t\t\t EMPIEZA %s", usuario);
        else
            escribir("\n\n\n\n\t\t\t EMPIEZA EL ORDENADOR");
        empezar_partida(matriztab, cont);

        const Jugada juega_persona = [&] {
            return hacer_jugada_usuario(matriztab, vec_jug, vec_ord, usuario, cont);
        };
        const Jugada juega_ordenador = [&] {
            mov_maquina(matriztab, vec_jug, vec_ord);
            return JUGADA_HECHA;
        };
        const Jugada comprobar = [&] { return comprobar_fin(matriztab, fin, cont); };
        const Jugada& primera = num == 0 ? juega_persona : juega_ordenador;
        const Jugada& segunda = num == 0 ? juega_ordenador : juega_persona;
        if (!jugar_rondas(matriztab, cont, fin, primera, segunda, comprobar)) return VOLVER_AL_MENU;
        // El empate lleva cuatro espacios si empezó la persona y tres si empezó el ordenador.
        dibujar_final(matriztab, cont, fin, num == 0 ? "\n    EMPATE" : "\n   EMPATE");
        if (leer_si_no(true) == 'n') return VOLVER_AL_MENU;
        limpiar_pantalla();
    }
}

namespace {

// Lo da el arranque una vez (buscar_instrucciones_en). Es estado del proceso y no un argumento
// porque instrucciones() se llama desde el menú sin argumentos, como las demás pantallas.
std::vector<std::string> directorios_extra;

// El fichero de instrucciones: primero en el directorio actual, luego en los directorios que dio
// el arranque. Se leen como mucho los bytes que caben en las dos páginas (4 por carácter).
bool leer_instrucciones(std::string& texto) {
    constexpr std::size_t MAXIMO = 4 * (CARACTERES_PAGINA_1 + CARACTERES_PAGINA_2);
    std::vector<std::filesystem::path> rutas{FICHERO_INSTRUCCIONES};
    for (const std::string& d : directorios_extra)
        rutas.push_back(std::filesystem::path(d) / FICHERO_INSTRUCCIONES);
    for (const std::filesystem::path& ruta : rutas) {
        // Una tubería sin escritor dejaría la lectura colgada para siempre, y un directorio o un
        // dispositivo no son un texto: todo eso cuenta como que el fichero no está.
        std::error_code error;
        if (!std::filesystem::is_regular_file(ruta, error)) continue;
        std::ifstream fichero(ruta, std::ios::binary);
        if (!fichero) continue;
        texto.assign(MAXIMO, '\0');
        fichero.read(texto.data(), static_cast<std::streamsize>(MAXIMO));
        texto.resize(static_cast<std::size_t>(fichero.gcount()));
        return !fichero.bad();
    }
    return false;
}

// Escribe hasta `limite` caracteres desde `pos` y la deja tras el último. Se cuenta por
// caracteres, no por bytes, para no partir nunca uno entre páginas; un fin de línea "\r\n" vale
// por uno, como al leer en modo texto.
void escribir_pagina(const std::string& texto, std::size_t& pos, std::size_t limite) {
    std::string pagina;
    for (std::size_t escritos = 0; escritos < limite && pos < texto.size(); ++escritos) {
        if (texto.compare(pos, 2, "\r\n") == 0) ++pos;
        const consola::Decodificado c = consola::decodificar(texto, pos);
        // Un carácter de control del fichero se ve como su glifo: ni suena ni mueve el cursor.
        const bool control = (c.car < 0x20 && c.car != '\n' && c.car != '\t') || c.car == 0x7F;
        if (control)
            pagina += consola::utf8(consola::cp437(static_cast<unsigned char>(c.car)));
        else
            pagina.append(texto, pos, c.bytes);
        pos += c.bytes;
    }
    escribir_texto(pagina);
}

void despedida() {
    limpiar_pantalla();
    info_cursor(10, false);
    textbackground(WHITE);
    textcolor(LIGHTRED);
    gotoxy(29, 25);
    escribir("%s\n", DIRECCION_WEB);
    esperar_ms(PAUSA_DESPEDIDA_MS);
}

} // namespace

void buscar_instrucciones_en(std::vector<std::string> directorios) {
    directorios_extra = std::move(directorios);
}

int instrucciones() {
    limpiar_pantalla();
    std::string texto;
    if (!leer_instrucciones(texto)) {
        escribir("\n\n\n\tERROR AL ABRIR INSTRUCCIONES\n\n");
        escribir("\n");
        pausa();
        return VOLVER_AL_MENU;
    }
    std::size_t pos = 0;
    escribir_pagina(texto, pos, CARACTERES_PAGINA_1);
    escribir("\n\n");
    pausa();
    limpiar_pantalla();
    escribir_pagina(texto, pos, CARACTERES_PAGINA_2);
    escribir("\n\n");
    pausa();
    limpiar_pantalla();
    return VOLVER_AL_MENU;
}

int salir() {
    for (;;) {
        limpiar_pantalla();
        gotoxy(26, 14);
        escribir("DESEAS SALIR ? (s/n): ");
        // Se lee un carácter de una línea tecleada: el resto de la línea queda pendiente.
        const int respuesta = minuscula(leer_caracter());
        if (respuesta == 's') {
            despedida();
            return TERMINAR;
        }
        if (respuesta == 'n') {
            limpiar_pantalla();
            return VOLVER_AL_MENU;
        }
    }
}
