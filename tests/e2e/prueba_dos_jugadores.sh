#!/usr/bin/env bash
# Tres partidas de dos jugadores seguidas en un terminal de verdad: una hasta que alguien gana
# (dónde sale el ganador y cómo se marcan sus cuatro fichas), otra hasta llenar el tablero sin
# línea, y otra que el jugador 1 abandona con Escape. Cada una vuelve al menú. Quién empieza
# sale del reloj: la prueba lo lee de la pantalla y se adapta.
# Solo toca su propio servidor de tmux y su directorio temporal (los de comun.sh).
source "$(dirname "$0")/comun.sh"

UNO=Ana DOS=Luis
fichas_restantes() {
    esperar_linea 10 "$(espacios 8)─────────────────────────────       FICHAS RESTANTES: $1"
}

# empezar_partida: desde el menú hasta el tablero vacío, con las preguntas de los nombres y la
# leyenda en su sitio; deja en PRIMERO y SEGUNDO el orden de juego.
empezar_partida() {
    teclas Enter
    esperar_linea 10 "$(espacios 9)COMO TE LLAMAS JUGARDOR 1?:"
    esperar_linea 17 "$(espacios 9)COMO TE LLAMAS JUGARDOR 2?:"
    nombres_dos_jugadores "$UNO" "$DOS"
    esperar_linea 24 "$(espacios 25)EMPIEZA $PRIMERO"
    teclas Space
    esperar_linea 8 "$(espacios 16)Quatrelo"
    esperar_linea 23 "$(espacios 10)0   1   2   3   4   5   6    COLUMNAS"
}

arrancar dos 80 50 "$BIN"
hasta_el_menu

# --- Partida 1: el que sale primero hace cuatro en vertical en la columna 0. ---
empezar_partida
esperar_texto "Turno de $PRIMERO" "$TEXTO_COLUMNA"
fichas_restantes 21
esperar_linea 26 "$(espacios 8)Turno de $PRIMERO"
esperar_linea 29 "$(espacios 3)$TEXTO_COLUMNA"
jugar_columnas "$PRIMERO" "$SEGUNDO" 0101010
esperar_linea 25 "$(espacios 16)Gana $PRIMERO"
esperar_linea 27 "$(espacios 16)Pulsa Una Tecla..."
fichas_restantes 0
# La línea ganadora se marca con '*' si es del 0 (jugador 1) o '+' si es de la X (jugador 2);
# las fichas del que pierde, en la columna 1, se quedan como estaban.
if [[ "$PRIMERO" == "$UNO" ]]; then marca='*' otra=X; else marca='+' otra=0; fi
for n in 11 13; do esperar_linea "$n" "$(fila_tablero "       ")"; done
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
esperar_texto "$TEXTO_VOLVER" "EMPATE"
esperar_linea 23 "$(espacios 10)0   1   2   3   4   5   6    COLUMNAS   SIN FICHAS"
esperar_linea 24 "   EMPATE"
fichas_restantes 0
[[ "$(linea 11)" != *"│   │"* ]] || fallar "el tablero del empate no está lleno"
captura | grep -qF "Gana" && fallar "el empate anuncia un ganador"
teclas n
esperar_menu

# --- Partida 3: el jugador 1 abandona con Escape en su turno. ---
empezar_partida
# Escape solo vale en el turno del 0: si sale el jugador 2, juega antes una ficha.
[[ "$PRIMERO" == "$DOS" ]] && jugar_columnas "$DOS" "$UNO" 3
esperar_texto "Turno de $UNO" "$TEXTO_COLUMNA"
teclas Escape
esperar_linea 14 "$(espacios 19)DESEAS SALIR DE LA PARTIDA? (s/n):"
teclas s Enter
esperar_menu

echo "prueba_dos_jugadores: bien"
