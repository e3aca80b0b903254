#!/usr/bin/env bash
# El terminal queda exactamente como estaba (ajustes de stty, pantalla normal, cursor visible)
# termine el juego como termine: por SALIR, Ctrl+C, SIGTERM, SIGHUP o fin de la entrada. El
# estado de salida dice la causa, como lo vería el intérprete. En SALIR, además, una respuesta
# que no es s ni n vuelve a preguntar, y "s" e Intro enseñan la despedida (la dirección sola en
# la fila 25).
# Solo toca su propio servidor de tmux, el juego que arranca en él y su directorio temporal.
source "$(dirname "$0")/comun.sh"

# envoltorio NOMBRE [ENTRADA]: un guion que guarda `stty -g` antes y después del juego, su
# estado de salida, su pid y su stderr, en $D/NOMBRE.*. El estado se escribe el último (y de
# golpe), así que cuando existe lo demás ya está. `trap : INT` hace que el intérprete
# sobreviva al Ctrl+C que mata al juego y pueda anotar lo que pasó.
envoltorio() {
    local n="$D/$1" entrada=${2:-}
    cat > "$n.sh" <<FIN
trap : INT
stty -g > '$n.antes'
echo 'ANTES DEL JUEGO'
sh -c 'echo \$\$ > "\$0"; exec "\$1" ${entrada:+< "$entrada"} 2> "\$2"' '$n.pid' '$BIN' '$n.error'
echo \$? > '$n.estado.tmp'
stty -g > '$n.despues'
mv '$n.estado.tmp' '$n.estado'
echo 'DESPUES DEL JUEGO'
exec sleep 1000
FIN
    echo "bash '$n.sh'"
}

# comprobar_restaurado NOMBRE ESTADO: el juego terminó con ESTADO y dejó el terminal como estaba.
comprobar_restaurado() {
    local n="$D/$1" estado
    esperar_que "$1 no termina" test -e "$n.estado"
    estado=$(<"$n.estado")
    [[ "$estado" == "$2" ]] || fallar "$1: estado de salida $estado, se esperaba $2"
    cmp -s "$n.antes" "$n.despues" || fallar "$1: stty -g cambió: $(<"$n.antes") -> $(<"$n.despues")"
    esperar_texto "DESPUES DEL JUEGO"
    pantalla_normal "$1"
    captura | grep -qF "ANTES DEL JUEGO" || fallar "$1: no vuelve la pantalla de antes"
    # Compilado con ASan/UBSan, un fallo de memoria al salir solo se ve en stderr.
    ! grep -qE "Sanitizer|runtime error" "$n.error" || fallar "$1: $(head -c 2000 "$n.error")"
}

# senal NOMBRE SEÑAL: la manda al juego arrancado con el envoltorio NOMBRE.
senal() {
    esperar_que "el pid de $1" test -e "$D/$1.pid"
    kill "-$2" "$(<"$D/$1.pid")"
}

# La despedida en la fila 25 y nada más en toda la pantalla. Dura un momento, así que se
# comprueba todo en la misma captura.
solo_la_despedida() {
    local p
    p=$(captura)
    [[ "$(sed -n 25p <<<"$p")" == "$(espacios 28)$DIRECCION" &&
        "$(grep -c '[^[:space:]]' <<<"$p")" == 1 ]]
}

# SALIR: termina con 0. La pregunta se contesta con una línea: se ve el eco, y con Intro se
# pregunta otra vez.
PREGUNTA="$(espacios 25)DESEAS SALIR ? (s/n):"
arrancar salir 80 50 "$(envoltorio salir)"
hasta_el_menu
teclas Down Down Down
esperar_caja 30 37 "SALIR"
teclas Enter
esperar_linea 14 "$PREGUNTA"
teclas x
esperar_linea 14 "${PREGUNTA} x"
teclas Enter
esperar_linea 14 "$PREGUNTA"
[[ ! -e "$D/salir.estado" ]] || fallar "una respuesta que no es s ni n termina el juego"
teclas s Enter
esperar_que "la despedida sola en la fila 25, columna 29" solo_la_despedida
comprobar_restaurado salir 0

# Ctrl+C en el menú: muere por SIGINT (128 + 2).
arrancar ctrl_c 80 50 "$(envoltorio ctrl_c)"
esperar_texto "Pulsa INTRO para empezar"
[[ "$(panel '#{alternate_on}')" == 1 ]] || fallar "el juego no usa la pantalla alternativa"
hasta_el_menu
teclas C-c
comprobar_restaurado ctrl_c 130

# SIGTERM en la portada: muere por SIGTERM (128 + 15).
arrancar term 80 50 "$(envoltorio term)"
esperar_texto "Pulsa INTRO para empezar"
senal term TERM
comprobar_restaurado term 143

# SIGHUP (se cuelga el terminal) a mitad de una partida, con el cursor visible en los nombres:
# muere por SIGHUP (128 + 1).
arrancar hup 80 50 "$(envoltorio hup)"
hasta_el_menu
teclas Enter
esperar_que "la pregunta del nombre" pregunta_en_el_cursor "COMO TE LLAMAS JUGARDOR 1?:"
senal hup HUP
comprobar_restaurado hup 129

# Sin entrada (< /dev/null): termina con 1 y lo explica en castellano por stderr.
arrancar fin 80 50 "$(envoltorio fin /dev/null)"
comprobar_restaurado fin 1
grep -qi "entrada" "$D/fin.error" || fallar "el mensaje de fin de entrada no habla de la entrada: «$(<"$D/fin.error")»"

echo "prueba_restaurar: bien"
