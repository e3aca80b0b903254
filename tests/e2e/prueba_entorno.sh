#!/usr/bin/env bash
# El juego según el entorno: una localización que no es UTF-8 (las cajas con el juego de líneas
# del terminal, el resto de caracteres no ASCII como '?'), NO_COLOR (ni un color en pantalla) y
# TERM=linux (cajas con + - |).
# Solo toca su propio servidor de tmux y su directorio temporal (los de comun.sh).
source "$(dirname "$0")/comun.sh"

# colores: los parámetros de color (30-38, 40-48, 90-97, 100-107) de las secuencias SGR de la
# pantalla, uno por línea.
colores() {
    tm capture-pane -p -e -t "$SESION" | grep -o $'\e\\[[0-9;]*m' | tr -d $'\e[m' | tr ';' '\n' |
        grep -xE '3[0-8]|4[0-8]|9[0-7]|10[0-7]'
}

# --- LANG=C: cajas con el juego de líneas del terminal (o ASCII), nunca '?' ni bytes sueltos. ---
arrancar lang_c 80 50 "env LANG=C LC_ALL=C $BIN"
hasta_el_menu sin_caja
margen=$(espacios 33)
case "$(linea 24)" in
"${margen}┌─────────────┐" | "${margen}+-------------+") ;;
"${margen}lqqqqqqqqqqqqqk")
    # tmux guarda las líneas del terminal como las letras del juego DEC, marcadas con SO/SI
    # al capturar con -e: así se distinguen de unas letras l, q, k escritas de verdad.
    tm capture-pane -p -e -t "$SESION" | sed -n 24p | grep -qF $'\x0elqqqqqqqqqqqqqk\x0f' ||
        fallar "la caja sale con las letras l q k en vez de con líneas"
    ;;
*) fallar "la caja de arriba no es de líneas ni ASCII: «$(linea 24)»" ;;
esac
for n in 24 25 26; do
    # Solo ASCII o el dibujo de cajas: ni '?' ni letras de otra codificación.
    LC_ALL=C.UTF-8 grep -qP '[^\x20-\x3e\x40-\x7e─│┌┐└┘]' <<<"$(linea "$n")" &&
        fallar "la fila $n de la caja tiene caracteres raros: «$(linea "$n")»"
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
esperar_que "la pantalla quieta" quieta
[[ -n "$(colores)" ]] || fallar "sin NO_COLOR el menú no tiene colores: la comprobación no vería nada"

arrancar sin_color 80 50 "env NO_COLOR=1 $BIN"
hasta_el_menu
[[ -z "$(colores)" ]] || fallar "con NO_COLOR el menú usa colores: $(colores | tr '\n' ' ')"
teclas Enter
nombres_dos_jugadores Ana Luis
[[ -z "$(colores)" ]] || fallar "con NO_COLOR la leyenda usa colores: $(colores | tr '\n' ' ')"

# --- TERM=linux: cajas ASCII. ---
arrancar linux 80 50 "env TERM=linux $BIN"
hasta_el_menu ascii
teclas Down
esperar_caja 26 33 "vs ORDENADOR" ascii

echo "prueba_entorno: bien"
