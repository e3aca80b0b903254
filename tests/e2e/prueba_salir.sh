#!/usr/bin/env bash
# SALIR en un terminal de verdad: una respuesta que no es s ni n vuelve a preguntar; "s" e Intro
# enseña la despedida (la dirección sola en la fila 25) y el juego termina con estado 0, dejando
# el terminal como estaba. Uso: prueba_salir.sh RUTA_DEL_BINARIO
# Solo toca su propio servidor de tmux y su directorio temporal (los de comun.sh).
source "$(dirname "$0")/comun.sh"

PREGUNTA="$(espacios 25)DESEAS SALIR ? (s/n):"
DESPEDIDA="$(espacios 28)https://quatrelo.example.org"

# Una captura con la despedida en la fila 25 y nada más en toda la pantalla. Dura un momento,
# así que se comprueba todo en la misma captura.
solo_la_despedida() {
    local pantalla
    pantalla=$(captura)
    [[ "$(sed -n 25p <<<"$pantalla")" == "$DESPEDIDA" ]] &&
        [[ "$(grep -c '[^[:space:]]' <<<"$pantalla")" == 1 ]]
}

arrancar salir 80 50 "$(envoltorio salir)"
hasta_el_menu
teclas Down Down Down
esperar_caja 30 37 "SALIR"
teclas Enter
esperar_linea 14 "$PREGUNTA"

# La pregunta se contesta con una línea: se ve el eco, y con Intro se pregunta otra vez.
teclas x
esperar_linea 14 "${PREGUNTA} x"
teclas Enter
esperar_linea 14 "$PREGUNTA"
[[ ! -e "$D/salir.estado" ]] || fallar "una respuesta que no es s ni n termina el juego"

teclas s Enter
esperar_que 15 "la despedida sola en la fila 25, columna 29" solo_la_despedida
comprobar_restaurado salir 0

echo "prueba_salir: bien"
