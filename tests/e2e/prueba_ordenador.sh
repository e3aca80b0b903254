#!/usr/bin/env bash
# Una partida entera contra el ordenador en un terminal de verdad, hasta su final (gane quien
# gane o sin fichas), la pregunta de volver a jugar y la vuelta al menú. La persona juega
# siempre en la primera columna que no está llena, leída del tablero en pantalla.
# Solo toca su propio servidor de tmux y su directorio temporal (los de comun.sh).
source "$(dirname "$0")/comun.sh"

NOMBRE=Eva

# mirar_partida MINIMO: en una pantalla quieta, el final de la partida ("ganar" o "empate"), o
# el turno de la persona ("turno") con al menos MINIMO fichas en el tablero, es decir, con la
# respuesta del ordenador a la jugada anterior ya puesta. Deja en ESTADO el resultado, en
# CELDAS el tablero y en FICHAS cuántas tiene.
mirar_partida() {
    quieta || return 1
    CELDAS=$(celdas_tablero "$PANTALLA")
    FICHAS=${CELDAS// /}
    FICHAS=${#FICHAS}
    if grep -qF "Pulsa Una Tecla..." <<<"$PANTALLA"; then ESTADO=ganar
    elif grep -qF "$TEXTO_VOLVER" <<<"$PANTALLA"; then ESTADO=empate
    elif grep -qF "Turno de $NOMBRE" <<<"$PANTALLA" && grep -qF "$TEXTO_COLUMNA" <<<"$PANTALLA" &&
        ((FICHAS >= $1)); then ESTADO=turno
    else return 1; fi
}

arrancar ordenador 80 50 "$BIN"
hasta_el_menu
teclas Down Enter
esperar_linea 10 "$(espacios 9)COMO TE LLAMAS?:"
teclas -l "$NOMBRE"
teclas Enter
leer_quien_empieza
[[ "$EMPIEZA" == "$NOMBRE" || "$EMPIEZA" == "EL ORDENADOR" ]] ||
    fallar "empieza «$EMPIEZA»: ni la persona ni el ordenador"
esperar_linea 20 "$(espacios 21)0 --> $NOMBRE  X--> ORDENADOR"
teclas Space

# Cada vuelta, una jugada de la persona; el ordenador contesta solo. La siguiente jugada espera
# a ver en el tablero la propia y la del ordenador.
minimo=0
for ((vuelta = 0; vuelta <= 21; ++vuelta)); do
    esperar_que "ni el turno de $NOMBRE con $minimo fichas ni el final" mirar_partida "$minimo"
    [[ "$ESTADO" == turno ]] || break
    libre=${CELDAS%%" "*}
    ((${#libre} < 7)) || fallar "es el turno de $NOMBRE con la fila de arriba llena"
    minimo=$((FICHAS + 2))
    teclas "${#libre}"
done
[[ "$ESTADO" != turno ]] || fallar "la partida no acaba tras 21 jugadas de la persona"

marcas_0=${CELDAS//[^*]/}
marcas_x=${CELDAS//[^+]/}
if [[ "$ESTADO" == ganar ]]; then
    # Gane quien gane, sus fichas de la línea se marcan y las del otro no.
    case "$(linea 24)" in
    "$(espacios 8)Enhorabuena, ha ganado") ((${#marcas_0} >= 4 && ${#marcas_x} == 0)) ;;
    "$(espacios 8)Lo siento, ha perdido") ((${#marcas_x} >= 4 && ${#marcas_0} == 0)) ;;
    *) fallar "la fila 24 no anuncia el final en la columna 9: «$(linea 24)»" ;;
    esac || fallar "$(linea 24) y las marcas son «$CELDAS»"
    esperar_linea 26 "$(espacios 11)Pulsa Una Tecla..."
    # Una tecla: el tablero final, con las mismas marcas, y la pregunta.
    teclas x
    esperar_linea 25 "$(espacios 11)$TEXTO_VOLVER"
    [[ "$(celdas_tablero "$(captura)")" == "$CELDAS" ]] || fallar "el tablero final no es el de la línea"
else
    # Sin fichas: el empate lleva cuatro blancos si empezó la persona y tres si el ordenador.
    [[ "$EMPIEZA" == "$NOMBRE" ]] && empate="    EMPATE" || empate="   EMPATE"
    esperar_linea 23 "$(espacios 10)0   1   2   3   4   5   6    COLUMNAS   SIN FICHAS"
    esperar_linea 24 "$empate"
    [[ "$CELDAS" != *" "* ]] || fallar "empate con el tablero sin llenar: «$CELDAS»"
    esperar_linea 26 "$(espacios 11)$TEXTO_VOLVER"
fi
teclas n
esperar_menu

echo "prueba_ordenador: bien ($ESTADO)"
