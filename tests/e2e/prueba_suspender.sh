#!/usr/bin/env bash
# Ctrl+Z y fg desde un intérprete interactivo de verdad: al suspender vuelve el indicador del
# intérprete en la pantalla normal, con el cursor visible y los ajustes de stty de antes del
# juego; con fg el menú vuelve entero y responde a las flechas. El intérprete es dash y no bash:
# bash vuelve a poner por su cuenta los ajustes del terminal cuando un trabajo se detiene, y
# eso taparía un juego que no los restaurase.
# Solo toca su propio servidor de tmux, el intérprete que arranca en él y su directorio temporal.
source "$(dirname "$0")/comun.sh"

INDICADOR="concha> "
command -v dash >/dev/null || fallar "hace falta dash"

# orden_en_concha TEXTO: se termina con Ctrl+J y no con Intro: si el juego dejase el terminal
# en modo crudo, Intro no acabaría la línea y no se vería qué falla.
orden_en_concha() { teclas -l "$1" && teclas C-j; }
# El intérprete espera otra orden: su indicador es lo último en pantalla.
indicador_al_final() {
    [[ "$(captura | grep -v '^[[:space:]]*$' | tail -n 1)" == "${INDICADOR% }" ]]
}
# guardar_stty NOMBRE: el intérprete escribe `stty -g` en $D/stty.NOMBRE (de golpe, con mv).
guardar_stty() {
    orden_en_concha "stty -g > $D/$1.tmp && mv $D/$1.tmp $D/stty.$1"
    esperar_que "stty.$1 escrito" test -e "$D/stty.$1"
}

arrancar concha 80 50 "env PS1='$INDICADOR' dash -i"
esperar_que "el indicador del intérprete" indicador_al_final
guardar_stty antes
orden_en_concha "'$BIN'"
hasta_el_menu

teclas C-z
esperar_que "el indicador tras «Stopped»" indicador_al_final
captura | grep -q "Stopped" || fallar "el intérprete no dice que el juego se ha detenido"
pantalla_normal "suspendido"
guardar_stty durante
cmp -s "$D/stty.antes" "$D/stty.durante" ||
    fallar "suspendido, stty -g cambió: $(<"$D/stty.antes") -> $(<"$D/stty.durante")"

# Al volver, la pantalla alternativa está en blanco: todo lo que se vea lo ha repintado el juego.
orden_en_concha fg
esperar_menu
[[ "$(panel '#{alternate_on}')" == 1 ]] || fallar "tras fg no vuelve a la pantalla alternativa"
# Y vuelve a leer teclas sueltas, sin esperar a un Intro.
teclas Down
esperar_caja 26 33 "vs ORDENADOR"
teclas C-c
esperar_que "el indicador tras Ctrl+C" indicador_al_final

echo "prueba_suspender: bien"
