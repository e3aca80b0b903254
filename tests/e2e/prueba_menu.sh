#!/usr/bin/env bash
# De la portada al menú principal y a las instrucciones en un terminal de verdad: qué teclas
# pasan de la portada, dónde queda la caja de la opción marcada al moverse con las flechas (que
# el menú quepa en 24 filas lo ve prueba_ventana_pequena.sh), y las dos páginas de
# INSTRUCCIONES.txt (el del directorio de trabajo), cada una desde la primera fila y con su
# pausa, las tildes intactas, y la vuelta al menú tras la segunda.
# Solo toca su propio servidor de tmux y su directorio temporal (los de comun.sh).
source "$(dirname "$0")/comun.sh"

[[ -f INSTRUCCIONES.txt ]] || fallar "se ejecuta desde la raíz del repositorio (falta INSTRUCCIONES.txt)"
PAUSA="Presione una tecla para continuar . . ."
# La pausa va al principio de su propia fila.
pausa_en_su_fila() { captura | grep -qxF "$PAUSA"; }

arrancar menu 80 50 "$BIN"
esperar_linea 16 "$(espacios 27)Pulsa INTRO para empezar"
# Solo Intro sale de la portada. Si una letra o una flecha la pasaran, el Intro siguiente ya
# elegiría una opción del menú y no se vería el menú con la primera opción marcada.
teclas x Up
esperar_que "la pantalla quieta" quieta
captura | grep -qF "Pulsa INTRO para empezar" || fallar "una letra o una flecha sacan de la portada"
teclas Enter
esperar_menu

teclas Down
esperar_caja 26 33 "vs ORDENADOR"
# La caja anterior no deja restos: la fila 24 queda vacía y la opción sin marcar.
esperar_linea 24 ""
esperar_linea 25 "$(espacios 35)2 JUGADORES"
teclas Up Up
esperar_caja 24 34 "2 JUGADORES"
esperar_linea 27 "$(espacios 34)vs ORDENADOR"

teclas Down Down
esperar_caja 28 33 "INSTRUCCIONES"
teclas Enter
esperar_linea 1 "  QUATRELO - CUATRO EN RAYA"
esperar_texto "  EL MENÚ PRINCIPAL" "libre más baja de su columna."
esperar_que "la pausa de la página 1 al principio de una fila" pausa_en_su_fila
captura | grep -qF "DURANTE LA PARTIDA" && fallar "la página 1 ya enseña el principio de la página 2"
teclas Space
esperar_linea 1 "  DURANTE LA PARTIDA"
esperar_texto "con * las del 0 y con + las de la X." "  UN CONSEJO"
esperar_que "la pausa de la página 2 al principio de una fila" pausa_en_su_fila
captura | grep -qF "QUATRELO - CUATRO EN RAYA" && fallar "la página 2 conserva restos de la página 1"
teclas Space
esperar_menu

echo "prueba_menu: bien"
