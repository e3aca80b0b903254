#!/usr/bin/env bash
# Quatrelo para Windows bajo wine: compila el preset windows, ejecuta con wine las pruebas
# unitarias compiladas para Windows y juega quatrelo.exe dentro de tmux (título, menú, una
# partida de dos jugadores con un Escape, SALIR con estado 0) al lado del binario de Linux, con
# las mismas teclas: cada pantalla, con sus colores, tiene que ser la misma en los dos. Nada
# espera un tiempo fijo: se sondea la pantalla hasta que se cumple, con un plazo por si falla.
# Uso: tests/windows/probar_con_wine.sh   (instala wine64 y tmux si faltan; hace falta root)
set -euo pipefail
cd "$(dirname "$0")/../.."
WINE=/usr/lib/wine/wine64
[[ -x $WINE ]] && command -v tmux >/dev/null || {
    apt-get update -q
    DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends wine64 tmux
}
cmake --preset windows >/dev/null && cmake --build --preset windows
cmake --preset normal >/dev/null && cmake --build --preset normal
export WINEPREFIX=$PWD/build/windows/wine WINEDEBUG=-all LANG=C.UTF-8
D=$(mktemp -d) S="quatrelo-wine$$" resultado=0
tm() { tmux -L "$S" -f "$D/conf" "$@"; }
trap 'tm kill-server 2>/dev/null; rm -rf "$D" "/tmp/tmux-$UID/$S"; /usr/lib/wine/wineserver64 -k || :' EXIT
printf 'set -g status off\nset -g remain-on-exit on\nset -g default-shell /bin/bash\n' >"$D/conf"

# Las pruebas unitarias: cuántas pasan de cuántas, y cuáles fallan.
"$WINE" build/windows/pruebas.exe --gtest_brief=1 2>&1 | tr -d '\r' >"$D/pruebas" || resultado=1
total=$(sed -n 's/^\[==========\] \([0-9]*\) tests\{0,1\} from .* ran.*/\1/p' "$D/pruebas")
pasan=$(sed -n 's/^\[  PASSED  \] \([0-9]*\) tests\{0,1\}\./\1/p' "$D/pruebas")
echo "Pruebas unitarias bajo wine: ${pasan:-0}/${total:-?} pasan"
grep '^\[  FAILED  \] .*ms)$' "$D/pruebas" || :

cap() { tm capture-pane -p -e -t "$1"; }
fallar() { echo "FALLO: $*" >&2; diff <(cap w) <(cap l) | cat -v >&2; exit 1; }
esperar() { # esperar DESCRIPCIÓN ORDEN...: hasta que ORDEN se cumpla (60 s como mucho)
    local d=$1 fin=$((SECONDS + 60)); shift
    until "$@"; do ((SECONDS < fin)) || fallar "$d"; sleep 0.05; done
}
ve() { tm capture-pane -p -t "$1" | grep -qF -- "$2"; }
# Lo que se ve, celda a celda: carácter, color de texto y fondo. El color de texto de un blanco
# no se ve (y un borrado de la consola de Windows lo deja distinto que los espacios), así que no
# cuenta; tampoco los blancos del final de una fila.
visible() {
    cap "$1" | perl -ne 'BEGIN { ($t, $f) = ("", "") }
        while (/\G(?:\e\[([\d;]*)m|(.))/gcs) {
            if (defined $1) { for (split /;/, $1 || "0") {
                ($t, $f) = ("", "") if $_ == 0; $t = $_ if /^(3|9)[0-9]$/; $f = $_ if /^(4|10)[0-9]$/ } }
            else { print $2 eq "\n" ? "\n" : $2 eq " " ? " /$f" : "$2$t/$f" } }' |
        sed -E 's|( /[0-9]*)+$||'
}
iguales() { [[ "$(visible w)" == "$(visible l)" ]]; }
# El estado lo escribe bash, que lo recoge: tmux, con la máquina cargada, tarda en hacerlo.
termino() { [[ $(cat "$D/$1.estado" 2>/dev/null) == "$2" ]]; }
arrancar() { tm new-session -d -s "$1" -x 80 -y 50 "$2; echo \$? >$D/$1.estado"; }
# paso TEXTO [TECLAS...]: las teclas a los dos; TEXTO en los dos y las dos pantallas iguales.
paso() {
    local t=$1; shift
    (($# == 0)) || { tm send-keys -t w "$@" && tm send-keys -t l "$@"; }
    esperar "wine no enseña '$t'" ve w "$t"
    esperar "Linux no enseña '$t'" ve l "$t"
    esperar "pantallas distintas con '$t'" iguales
    echo "Igual en wine y en Linux: $t"
}
linux() { arrancar l build/normal/quatrelo; }
arrancar w "$WINE build/windows/quatrelo.exe" && linux
paso "Pulsa INTRO para empezar"
[[ $(tm display -p -t w '#{pane_title}') == Quatrelo ]] || fallar "el título no es Quatrelo"
paso "2 JUGADORES" Enter
paso "│ INSTRUCCIONES │" Down Down
paso "│ vs ORDENADOR │" Up
paso "│ 2 JUGADORES │" Up
paso "COMO TE LLAMAS JUGARDOR 1?:" Enter
# Quién empieza sale de la hora en segundos y del rand() de cada biblioteca de C: Linux vuelve
# a empezar hasta que le toca al mismo que a Windows.
tm send-keys -t w ana Enter luis Enter && tm send-keys -t l ana Enter luis Enter
esperar "wine no sortea" ve w EMPIEZA
empieza=$(cap w | grep -o 'EMPIEZA [a-z]*') limite=$((SECONDS + 60))
until esperar "Linux no sortea" ve l EMPIEZA && ve l "$empieza"; do
    ((SECONDS < limite)) || fallar "Linux nunca sortea como Windows"
    tm kill-session -t l && linux && esperar "Linux no arranca" ve l "Pulsa INTRO"
    tm send-keys -t l Enter Enter ana Enter luis Enter
done
paso "$empieza"
paso "FICHAS RESTANTES: 21" Space
[[ $empieza == *ana ]] || paso "Turno de ana" 6
paso "DESEAS SALIR DE LA PARTIDA? (s/n):" Escape
paso "Turno de ana" n Enter
paso "Gana ana" 0 1 0 1 0 1 0
paso "Desea volver a jugar?(s/n)" Space
paso "│ SALIR │" n Down Down Down
paso "DESEAS SALIR ? (s/n):" Enter
tm send-keys -t w s Enter && tm send-keys -t l s Enter
esperar "wine no acaba con estado 0" termino w 0
esperar "Linux no acaba con estado 0" termino l 0
# Ctrl+C: restaura la consola y termina con 0xC000013A, como el manejador del sistema (wine da
# el byte bajo, 58).
arrancar c "$WINE build/windows/quatrelo.exe" && esperar "wine no arranca" ve c "Pulsa INTRO"
tm send-keys -t c C-c && esperar "Ctrl+C no acaba con 0xC000013A" termino c 58
echo "quatrelo.exe bajo wine: SALIR acaba con estado 0, como en Linux, y Ctrl+C con 0xC000013A"
exit "$resultado"
