#!/usr/bin/env bash
# El terminal queda exactamente como estaba (ajustes de stty, pantalla normal, cursor visible)
# termine el juego como termine: Ctrl+C, SIGTERM, SIGHUP o fin de la entrada. El estado de
# salida dice la causa, como lo vería el intérprete. Uso: prueba_restaurar.sh RUTA_DEL_BINARIO
source "$(dirname "$0")/comun.sh"

# Ctrl+C en el menú: muere por SIGINT (128 + 2).
arrancar ctrl_c 80 50 "$(envoltorio ctrl_c)"
esperar_texto "Pulsa INTRO para empezar"
[[ "$(panel '#{alternate_on}')" == 1 ]] || fallar "el juego no usa la pantalla alternativa"
teclas Enter
esperar_todos "2 JUGADORES" "SALIR"
teclas C-c
comprobar_restaurado ctrl_c 130

# SIGTERM en la portada: muere por SIGTERM (128 + 15).
arrancar term 80 50 "$(envoltorio term)"
esperar_texto "Pulsa INTRO para empezar"
esperar_fichero "$D/term.pid"
kill -TERM "$(<"$D/term.pid")"
comprobar_restaurado term 143

# SIGHUP (se cuelga el terminal) a mitad de una partida, con el cursor visible en los nombres:
# muere por SIGHUP (128 + 1).
arrancar hup 80 50 "$(envoltorio hup)"
esperar_texto "Pulsa INTRO para empezar"
teclas Enter
esperar_todos "2 JUGADORES" "SALIR"
teclas Enter
esperar_texto "COMO TE LLAMAS JUGARDOR 1?:"
esperar_fichero "$D/hup.pid"
kill -HUP "$(<"$D/hup.pid")"
comprobar_restaurado hup 129

# Sin entrada (< /dev/null): termina con 1 y lo explica en castellano por stderr.
arrancar fin 80 50 "$(envoltorio fin /dev/null)"
comprobar_restaurado fin 1
grep -qi "entrada" "$D/fin.error" || fallar "el mensaje de fin de entrada no habla de la entrada: «$(<"$D/fin.error")»"

echo "prueba_restaurar: bien"
