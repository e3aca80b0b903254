#!/usr/bin/env bash
# Una partida entera de dos jugadores en un terminal de 80x24, menor que las 80x50 de las
# pantallas: la ventana sigue al cursor, así que cada pregunta se ve entera (la de los nombres,
# con el cursor visible, justo en la fila del cursor), y también el anuncio del ganador y la
# pregunta de volver a jugar; el menú cabe entero a la vez, de las opciones a la dirección.
# Solo toca su propio servidor de tmux y su directorio temporal (los de comun.sh).
source "$(dirname "$0")/comun.sh"

arrancar pequena 80 24 "$BIN"
hasta_el_menu
teclas Enter
nombres_dos_jugadores Ana Luis
teclas Space
# Cuatro en vertical en la columna 0 para el que empieza.
jugar_columnas "$PRIMERO" "$SEGUNDO" 0101010
esperar_texto "Gana $PRIMERO" "Pulsa Una Tecla..."
teclas x
esperar_texto "$TEXTO_VOLVER"
teclas n
esperar_texto "2 JUGADORES" "vs ORDENADOR" "INSTRUCCIONES" "SALIR" "$DIRECCION"

echo "prueba_ventana_pequena: bien"
