#!/usr/bin/env bash
# Las instrucciones en un terminal de verdad: las dos páginas de INSTRUCCIONES.txt (el del
# directorio de trabajo, la raíz del repositorio), cada una desde la primera fila y con su pausa,
# las tildes intactas, y la vuelta al menú tras la segunda. Uso: prueba_instrucciones.sh BINARIO
# Solo toca su propio servidor de tmux y su directorio temporal (los de comun.sh).
source "$(dirname "$0")/comun.sh"

PAUSA="Presione una tecla para continuar . . ."
pausa_en_su_fila() { captura | grep -qxF "$PAUSA"; }

[[ -f INSTRUCCIONES.txt ]] || fallar "se ejecuta desde la raíz del repositorio (falta INSTRUCCIONES.txt)"

arrancar instrucciones 80 50 "$BIN"
hasta_el_menu
teclas Down Down
esperar_caja 28 33 "INSTRUCCIONES"
teclas Enter

esperar_linea 1 "  QUATRELO - CUATRO EN RAYA"
esperar_todos "  EL MENÚ PRINCIPAL" "libre más baja de su columna."
# La pausa va al principio de su propia fila.
esperar_que 15 "la pausa de la página 1 al principio de una fila" pausa_en_su_fila
captura | grep -qF "DURANTE LA PARTIDA" && fallar "la página 1 ya enseña el principio de la página 2"

teclas Space
esperar_linea 1 "  DURANTE LA PARTIDA"
esperar_todos "con * las del 0 y con + las de la X." "  UN CONSEJO"
esperar_que 15 "la pausa de la página 2 al principio de una fila" pausa_en_su_fila
captura | grep -qF "QUATRELO - CUATRO EN RAYA" && fallar "la página 2 conserva restos de la página 1"

teclas Space
esperar_menu

echo "prueba_instrucciones: bien"
