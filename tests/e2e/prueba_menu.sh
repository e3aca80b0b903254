#!/usr/bin/env bash
# De la portada al menú principal en un terminal de verdad: qué teclas pasan de la portada, dónde
# queda la caja de la opción marcada al moverse con las flechas, y que el menú se vea entero en
# una ventana de 24 filas. Uso: prueba_menu.sh RUTA_DEL_BINARIO
source "$(dirname "$0")/comun.sh"

# Una caja exacta alrededor de una opción: esquina en la columna col (desde 1), y el texto con
# un blanco a cada lado, así que la caja mide lo que el texto más cuatro.
comprobar_caja() {
    local fila=$1 col=$2 texto=$3
    local margen raya
    margen=$(printf '%*s' $((col - 1)) '')
    raya=$(printf '─%.0s' $(seq 1 $((${#texto} + 2))))
    esperar_linea "$fila" "${margen}┌${raya}┐"
    esperar_linea $((fila + 1)) "${margen}│ ${texto} │"
    esperar_linea $((fila + 2)) "${margen}└${raya}┘"
}

arrancar grande 80 50 "$BIN"
esperar_texto "Pulsa INTRO para empezar"
[[ "$(linea 16)" == "$(printf '%27s' '')Pulsa INTRO para empezar" ]] ||
    fallar "«Pulsa INTRO para empezar» no está en la fila 16, columna 28"

# Solo Intro sale de la portada. Si una letra o una flecha la pasaran, el Intro siguiente ya
# elegiría una opción del menú y no se vería el menú con la primera opción marcada.
teclas x Up
esperar_estable
captura | grep -qF "Pulsa INTRO para empezar" || fallar "una letra o una flecha sacan de la portada"
teclas Enter
esperar_todos "2 JUGADORES" "vs ORDENADOR" "INSTRUCCIONES" "SALIR"
comprobar_caja 24 34 "2 JUGADORES"

teclas Down
comprobar_caja 26 33 "vs ORDENADOR"
# La caja anterior no deja restos: la fila 24 queda vacía y la opción sin marcar.
esperar_linea 24 ""
esperar_linea 25 "$(printf '%35s' '')2 JUGADORES"

teclas Up Up
comprobar_caja 24 34 "2 JUGADORES"
esperar_linea 27 "$(printf '%34s' '')vs ORDENADOR"

# En una ventana de 24 filas el menú entero cabe a la vez.
arrancar pequena 80 24 "$BIN"
esperar_texto "Pulsa INTRO para empezar"
teclas Enter
esperar_todos "2 JUGADORES" "vs ORDENADOR" "INSTRUCCIONES" "SALIR"

echo "prueba_menu: bien"
