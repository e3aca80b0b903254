#!/usr/bin/env bash
# Una partida entera contra el ordenador en un terminal de verdad, hasta su final (gane quien
# gane o sin fichas), la pregunta de volver a jugar y la vuelta al menú. La persona juega
# siempre en la primera columna que no está llena, leída del tablero en pantalla.
# Uso: prueba_ordenador.sh RUTA_DEL_BINARIO
# Solo toca su propio servidor de tmux y su directorio temporal (los de comun.sh).
source "$(dirname "$0")/comun.sh"

NOMBRE=Eva

# fichas_en CELDAS: cuántas celdas no están vacías.
fichas_en() { local f=${1// /}; echo "${#f}"; }

# Lo que ve la persona en una captura quieta: el final de la partida ("ganar" o "empate"), o su
# turno ("turno") con al menos MINIMO fichas ya en el tablero, es decir, con la respuesta del
# ordenador a la jugada anterior ya puesta. Deja el resultado en ESTADO y la captura en PANTALLA.
ESTADO="" PANTALLA=""
mirar_partida() {
    local minimo=$1 antes
    antes=$(captura)
    sleep 0.05
    PANTALLA=$(captura)
    [[ "$PANTALLA" == "$antes" ]] || return 1
    if grep -qF "Pulsa Una Tecla..." <<<"$PANTALLA"; then ESTADO=ganar
    elif grep -qF "$TEXTO_VOLVER" <<<"$PANTALLA"; then ESTADO=empate
    elif grep -qF "Turno de $NOMBRE" <<<"$PANTALLA" && grep -qF "$TEXTO_COLUMNA" <<<"$PANTALLA" &&
        (( $(fichas_en "$(celdas_tablero "$PANTALLA")") >= minimo )); then ESTADO=turno
    else return 1; fi
}

arrancar ordenador 80 50 "$BIN"
hasta_el_menu
esperar_menu
teclas Down
esperar_caja 26 33 "vs ORDENADOR"
teclas Enter
esperar_linea 10 "$(espacios 9)COMO TE LLAMAS?:"
teclas -l "$NOMBRE"
teclas Enter
leer_quien_empieza
case "$EMPIEZA" in
"$NOMBRE" | "EL ORDENADOR") ;;
*) fallar "empieza «$EMPIEZA»: ni la persona ni el ordenador" ;;
esac
esperar_linea 20 "$(espacios 21)0 --> $NOMBRE  X--> ORDENADOR"
teclas Space

# Cada vuelta, una jugada de la persona; el ordenador contesta solo. Nunca se juega sobre una
# pantalla vieja: la siguiente jugada espera a ver en el tablero la propia y la del ordenador.
minimo=0
for ((vuelta = 0; vuelta <= 21; ++vuelta)); do
    esperar_que 20 "ni el turno de $NOMBRE con $minimo fichas ni el final" mirar_partida "$minimo"
    [[ "$ESTADO" == turno ]] || break
    celdas=$(celdas_tablero "$PANTALLA")
    columna=""
    for ((j = 0; j < 7; ++j)); do
        [[ "${celdas:j:1}" == " " ]] && { columna=$j; break; }
    done
    [[ -n "$columna" ]] || fallar "es el turno de $NOMBRE con el tablero lleno"
    minimo=$(( $(fichas_en "$celdas") + 2 ))
    teclas "$columna"
done
[[ "$ESTADO" != turno ]] || fallar "la partida no acaba tras 21 jugadas de la persona"

celdas=$(celdas_tablero "$PANTALLA")
marcas_0=${celdas//[^*]/}
marcas_x=${celdas//[^+]/}
if [[ "$ESTADO" == ganar ]]; then
    # Gane quien gane, sus fichas de la línea se marcan y las del otro no.
    if [[ "$(linea 24)" == "$(espacios 8)Enhorabuena, ha ganado" ]]; then
        (( ${#marcas_0} >= 4 && ${#marcas_x} == 0 )) || fallar "gana la persona y las marcas son «$celdas»"
    elif [[ "$(linea 24)" == "$(espacios 8)Lo siento, ha perdido" ]]; then
        (( ${#marcas_x} >= 4 && ${#marcas_0} == 0 )) || fallar "gana el ordenador y las marcas son «$celdas»"
    else
        fallar "la fila 24 no anuncia el final en la columna 9: «$(linea 24)»"
    fi
    esperar_linea 26 "$(espacios 11)Pulsa Una Tecla..."
    # Una tecla: el tablero final, con las mismas marcas, y la pregunta.
    teclas x
    esperar_linea 25 "$(espacios 11)$TEXTO_VOLVER"
    [[ "$(celdas_tablero "$(captura)")" == "$celdas" ]] || fallar "el tablero final no es el de la línea"
else
    # Sin fichas: el empate lleva cuatro blancos si empezó la persona y tres si el ordenador.
    [[ "$EMPIEZA" == "$NOMBRE" ]] && empate="    EMPATE" || empate="   EMPATE"
    esperar_linea 23 "$(espacios 10)0   1   2   3   4   5   6    COLUMNAS   SIN FICHAS"
    esperar_linea 24 "$empate"
    [[ "$celdas" != *" "* ]] || fallar "empate con el tablero sin llenar: «$celdas»"
    esperar_linea 26 "$(espacios 11)$TEXTO_VOLVER"
fi
teclas n
esperar_menu

echo "prueba_ordenador: bien ($ESTADO)"
