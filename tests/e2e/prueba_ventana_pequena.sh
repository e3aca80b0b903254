#!/usr/bin/env bash
# Una partida entera de dos jugadores en un terminal de 80x24, menor que las 80x50 de las
# pantallas: la ventana sigue al cursor, así que cada pregunta se ve entera (la de los nombres,
# con el cursor visible, justo en la fila del cursor), y también el anuncio del ganador y la
# pregunta de volver a jugar.
# Uso: prueba_ventana_pequena.sh RUTA_DEL_BINARIO
# Solo toca su propio servidor de tmux y su directorio temporal (los de comun.sh).
source "$(dirname "$0")/comun.sh"

UNO=Ana
DOS=Luis

# pregunta_en_el_cursor TEXTO: el cursor se ve y TEXTO está en su fila. Con el cursor oculto el
# terminal no lo lleva a ningún sitio, así que su posición solo cuenta cuando se ve.
pregunta_en_el_cursor() {
    local y
    [[ "$(panel '#{cursor_flag}')" == 1 ]] || return 1
    y=$(panel '#{cursor_y}')
    captura | sed -n "$((y + 1))p" | grep -qF -- "$1"
}

# esperar_nombre TEXTO
esperar_nombre() {
    esperar_que 15 "«$1» en la fila del cursor" pregunta_en_el_cursor "$1"
}

arrancar pequena 80 24 "$BIN"
hasta_el_menu
teclas Enter
esperar_nombre "COMO TE LLAMAS JUGARDOR 1?:"
teclas -l "$UNO"
teclas Enter
esperar_nombre "COMO TE LLAMAS JUGARDOR 2?:"
teclas -l "$DOS"
teclas Enter
leer_quien_empieza
PRIMERO=$EMPIEZA
if [[ "$PRIMERO" == "$UNO" ]]; then SEGUNDO=$DOS; else SEGUNDO=$UNO; fi
teclas Space

# Cuatro en vertical en la columna 0 para el que empieza; cada jugada espera su turno y su
# pregunta a la vista.
cifras=0101010
for ((i = 0; i < ${#cifras}; ++i)); do
    ((i % 2 == 0)) && jugador=$PRIMERO || jugador=$SEGUNDO
    esperar_todos "Turno de $jugador" "$TEXTO_COLUMNA"
    teclas "${cifras:i:1}"
done

esperar_todos "Gana $PRIMERO" "Pulsa Una Tecla..."
teclas x
esperar_texto "$TEXTO_VOLVER"
teclas n
esperar_todos "2 JUGADORES" "vs ORDENADOR" "INSTRUCCIONES" "SALIR"

echo "prueba_ventana_pequena: bien"
