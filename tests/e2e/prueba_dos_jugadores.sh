#!/usr/bin/env bash
# Tres partidas de dos jugadores seguidas en un terminal de verdad: una hasta que alguien gana
# (dónde sale el ganador y cómo se marcan sus cuatro fichas), otra hasta llenar el tablero sin
# línea, y otra que el jugador 1 abandona con Escape. Cada una vuelve al menú. Quién empieza
# sale del reloj: la prueba lo lee de la pantalla y se adapta.
# Uso: prueba_dos_jugadores.sh RUTA_DEL_BINARIO
# Solo toca su propio servidor de tmux y su directorio temporal (los de comun.sh).
source "$(dirname "$0")/comun.sh"

UNO=Ana
DOS=Luis
FILA_VACIA=$(fila_tablero "       ")

# empezar_partida: desde el menú recién abierto, a la partida de dos jugadores; deja en
# PRIMERO y SEGUNDO el orden de juego.
empezar_partida() {
    teclas Enter
    nombres_dos_jugadores "$UNO" "$DOS"
    PRIMERO=$EMPIEZA
    if [[ "$PRIMERO" == "$UNO" ]]; then SEGUNDO=$DOS
    elif [[ "$PRIMERO" == "$DOS" ]]; then SEGUNDO=$UNO
    else fallar "empieza «$PRIMERO», que no es ninguno de los dos"; fi
    teclas Space
    esperar_linea 8 "$(espacios 16)Quatrelo"
    esperar_linea 23 "$(espacios 10)0   1   2   3   4   5   6    COLUMNAS"
}

arrancar dos 80 50 "$BIN"
hasta_el_menu
esperar_menu

# --- Partida 1: el que sale primero hace cuatro en vertical en la columna 0. ---
empezar_partida
# La pregunta de la columna deja el cursor visible justo detrás, en la fila 29.
esperar_todos "Turno de $PRIMERO" "$TEXTO_COLUMNA"
esperar_linea 10 "$(espacios 8)─────────────────────────────       FICHAS RESTANTES: 21"
esperar_linea 26 "$(espacios 8)Turno de $PRIMERO"
esperar_linea 29 "$(espacios 3)$TEXTO_COLUMNA"
jugar_columnas "$PRIMERO" "$SEGUNDO" 0101010

esperar_linea 25 "$(espacios 16)Gana $PRIMERO"
esperar_linea 27 "$(espacios 16)Pulsa Una Tecla..."
# La línea ganadora se marca con '*' si es del 0 (jugador 1) o '+' si es de la X (jugador 2);
# las fichas del que pierde, en la columna 1, se quedan como estaban.
if [[ "$PRIMERO" == "$UNO" ]]; then marca='*' otra=X; else marca='+' otra=0; fi
esperar_linea 10 "$(espacios 8)─────────────────────────────       FICHAS RESTANTES: 0"
esperar_linea 11 "$FILA_VACIA"
esperar_linea 13 "$FILA_VACIA"
esperar_linea 15 "$(fila_tablero "$marca      ")"
for n in 17 19 21; do esperar_linea "$n" "$(fila_tablero "$marca$otra     ")"; done

# Una tecla: el tablero final, con las marcas, y la pregunta de volver a jugar.
teclas x
esperar_linea 25 "$(espacios 11)$TEXTO_VOLVER"
esperar_linea 21 "$(fila_tablero "$marca$otra     ")"
teclas n
esperar_menu

# --- Partida 2: 42 jugadas sin línea, empiece quien empiece. ---
empezar_partida
jugar_columnas "$PRIMERO" "$SEGUNDO" 545062455041104565311226266362030334314210
esperar_todos "$TEXTO_VOLVER" "EMPATE"
esperar_linea 23 "$(espacios 10)0   1   2   3   4   5   6    COLUMNAS   SIN FICHAS"
esperar_linea 24 "   EMPATE"
esperar_linea 10 "$(espacios 8)─────────────────────────────       FICHAS RESTANTES: 0"
[[ "$(linea 11)" != *"│   │"* ]] || fallar "el tablero del empate no está lleno: «$(linea 11)»"
captura | grep -qF "Gana" && fallar "el empate anuncia un ganador"
teclas n
esperar_menu

# --- Partida 3: el jugador 1 abandona con Escape en su turno. ---
empezar_partida
# Escape solo vale en el turno del 0: si sale el jugador 2, juega antes una ficha.
[[ "$PRIMERO" == "$DOS" ]] && jugar_turno "$DOS" 3
esperar_todos "Turno de $UNO" "$TEXTO_COLUMNA"
teclas Escape
esperar_linea 14 "$(espacios 19)DESEAS SALIR DE LA PARTIDA? (s/n):"
teclas s Enter
esperar_menu

echo "prueba_dos_jugadores: bien"
