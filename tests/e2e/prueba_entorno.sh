#!/usr/bin/env bash
# El juego según el entorno: una localización que no es UTF-8 (las cajas con el juego de líneas
# del terminal, el resto de caracteres no ASCII como '?'), NO_COLOR (ni un color en pantalla) y
# TERM=linux (cajas con + - |). Uso: prueba_entorno.sh RUTA_DEL_BINARIO
# Solo toca su propio servidor de tmux y su directorio temporal (los de comun.sh).
source "$(dirname "$0")/comun.sh"

# Las filas del título y de las opciones del menú de 80x50, que no cambian con el entorno.
comprobar_titulo_y_opciones() {
    esperar_linea 4 "$(espacios 10)___                    _                   _"
    esperar_linea 9 "$(espacios 9)\\__\\_\\  \\__,_|  \\__,_|  \\__| |_|     \\___| |_|  \\___/"
    esperar_linea 10 "$(espacios 8)======================================================="
    esperar_linea 11 "$(espacios 22)c u a t r o   e n   r a y a"
    esperar_linea 27 "$(espacios 34)vs ORDENADOR"
    esperar_linea 29 "$(espacios 34)INSTRUCCIONES"
    esperar_linea 31 "$(espacios 38)SALIR"
    esperar_linea 37 "$(espacios 30)https://quatrelo.example.org"
}

# --- LANG=C: cajas con el juego de líneas del terminal (o ASCII), nunca '?' ni bytes sueltos. ---
arrancar lang_c 80 50 "env LANG=C LC_ALL=C $BIN"
hasta_el_menu
comprobar_titulo_y_opciones
margen=$(espacios 33)
linea_24=$(linea 24)
case "$linea_24" in
"${margen}┌─────────────┐" | "${margen}+-------------+") ;;
"${margen}lqqqqqqqqqqqqqk")
    # tmux guarda las líneas del terminal como las letras del juego DEC, marcadas con SO/SI
    # al capturar con -e: así se distinguen de unas letras l, q, k escritas de verdad.
    tm capture-pane -p -e -t "$SESION" | sed -n 24p | grep -qF $'\x0elqqqqqqqqqqqqqk\x0f' ||
        fallar "la caja sale con las letras l q k en vez de con líneas"
    ;;
*) fallar "la caja de arriba no es de líneas ni ASCII: «$linea_24»" ;;
esac
for n in 24 25 26; do
    [[ "$(linea "$n")" != *"?"* ]] || fallar "la fila $n de la caja tiene '?': «$(linea "$n")»"
    # Solo ASCII o el dibujo de cajas: nada de letras de otra codificación.
    LC_ALL=C.UTF-8 grep -qP '[^\x20-\x7e─│┌┐└┘]' <<<"$(linea "$n")" &&
        fallar "la fila $n tiene caracteres raros: «$(linea "$n")»"
done
[[ "$(linea 25)" =~ ^"${margen}"(│|\||x)" 2 JUGADORES "(│|\||x)$ ]] ||
    fallar "la fila 25 no es la opción en su caja: «$(linea 25)»"
# Fuera de las cajas, lo que no es ASCII sale como '?': en las instrucciones, «MENÚ».
teclas Down Down Enter
esperar_linea 14 "  EL MEN? PRINCIPAL"

# --- Colores: con el entorno normal hay colores (así se sabe que se ven en la captura con -e);
# con NO_COLOR no hay ninguno, ni en el menú ni en la leyenda de colores de una partida. ---
arrancar con_color 80 50 "$BIN"
hasta_el_menu
esperar_estable
[[ -n "$(colores_sgr "$(tm capture-pane -p -e -t "$SESION")")" ]] ||
    fallar "sin NO_COLOR el menú no tiene colores: la comprobación no vería nada"

arrancar sin_color 80 50 "env NO_COLOR=1 $BIN"
hasta_el_menu
comprobar_titulo_y_opciones
esperar_caja 24 34 "2 JUGADORES"
colores=$(colores_sgr "$(tm capture-pane -p -e -t "$SESION")")
[[ -z "$colores" ]] || fallar "con NO_COLOR el menú usa colores: ${colores//$'\n'/ }"
teclas Enter
nombres_dos_jugadores Ana Luis
colores=$(colores_sgr "$(tm capture-pane -p -e -t "$SESION")")
[[ -z "$colores" ]] || fallar "con NO_COLOR la leyenda usa colores: ${colores//$'\n'/ }"

# --- TERM=linux: cajas ASCII. ---
arrancar linux 80 50 "env TERM=linux $BIN"
hasta_el_menu
comprobar_titulo_y_opciones
esperar_linea 24 "$(espacios 33)+-------------+"
esperar_linea 25 "$(espacios 33)| 2 JUGADORES |"
esperar_linea 26 "$(espacios 33)+-------------+"
teclas Down
esperar_linea 26 "$(espacios 32)+--------------+"
esperar_linea 27 "$(espacios 32)| vs ORDENADOR |"
esperar_linea 28 "$(espacios 32)+--------------+"

echo "prueba_entorno: bien"
