#!/usr/bin/env bash
# Quatrelo para Windows bajo wine (hacen falta wine64 y tmux; .ci/run los instala): ejecuta las
# pruebas unitarias compiladas para Windows (entre ellas las pantallas de la partida y el
# intérprete VT) y recorre quatrelo.exe dentro de tmux (título, menú, SALIR) al lado del binario
# de Linux, con las mismas teclas: cada pantalla, con sus colores, tiene que ser la misma en los
# dos. Después de SALIR, de Ctrl+C y de un fallo de memoria dentro de una escritura
# (quatrelo_fallo.exe), la consola tiene que quedar como estaba. Nada espera un tiempo fijo: se
# sondea la pantalla hasta que se cumple.
# Uso: tests/windows/probar_con_wine.sh [BINARIO_DE_LINUX]   (sin él, compila el preset normal)
set -euo pipefail
LINUX=${1:+$(realpath "$1")}
cd "$(dirname "$0")/../.."
LINUX=${LINUX:-$PWD/build/normal/quatrelo}
cmake --preset windows >/dev/null && cmake --build --preset windows
(($#)) || { cmake --preset normal >/dev/null && cmake --build --preset normal; }
WINE=/usr/lib/wine/wine64
export WINEPREFIX=$PWD/build/windows/wine WINEDEBUG=-all LANG=C.UTF-8
D=$(mktemp -d) S="quatrelo-wine$$" resultado=0
tm() { tmux -L "$S" -f "$D/conf" "$@"; }
trap 'tm kill-server 2>/dev/null; rm -rf "$D" "/tmp/tmux-$UID/$S"; /usr/lib/wine/wineserver64 -k || :' EXIT
printf 'set -g status off\nset -g remain-on-exit on\nset -g default-shell /bin/bash\n' >"$D/conf"

# Las pruebas unitarias: de cuántas, cuántas pasan y cuáles fallan.
echo "Pruebas unitarias bajo wine:"
"$WINE" build/windows/pruebas.exe --gtest_brief=1 2>&1 | grep -aE '^\[(=|  (PASS|FAIL)ED)' || resultado=1

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
# Cada juego arranca bajo una línea «antes», que tiene que seguir ahí cuando acaba.
arrancar() { tm new-session -d -s "$1" -x 80 -y 50 "echo antes; $2; echo \$? >$D/$1.estado; read"; }
# acaba SESIÓN ESTADO CÓMO: el estado, y la consola como estaba: la línea de antes, sin colores,
# fuera de la pantalla alternativa, el cursor a la vista y justo debajo de lo escrito (tras un
# fallo, wine escribe dos líneas).
acaba() {
    esperar "$1 no acaba con $2 ($3)" termino "$1" "$2"
    local estado
    estado=$(cap "$1" | head -1; tm display -p -t "$1" '#{alternate_on} #{cursor_flag} #{cursor_y}')
    [[ $estado == "antes"$'\n'"0 1 $(tm capture-pane -p -t "$1" | grep -c .)" ]] ||
        fallar "$3: la consola no queda como estaba: $estado"
    echo "$1 acaba con $2 y devuelve la consola: $3"
}
# paso TEXTO [TECLAS...]: las teclas a los dos; TEXTO en los dos y las dos pantallas iguales.
paso() {
    local t=$1; shift
    (($# == 0)) || { tm send-keys -t w "$@" && tm send-keys -t l "$@"; }
    esperar "wine no enseña '$t'" ve w "$t"
    esperar "Linux no enseña '$t'" ve l "$t"
    esperar "pantallas distintas con '$t'" iguales
    echo "Igual en wine y en Linux: $t"
}
# Fuera del juego, la ayuda en la consola (UTF-16) y en un fichero (UTF-8) se lee igual.
arrancar a "$WINE build/windows/quatrelo.exe --help; $WINE build/windows/quatrelo.exe -n4"
esperar "la ayuda en la consola" termino a 2
"$WINE" build/windows/quatrelo.exe --help | tr -d '\r' >"$D/ayuda"
grep -qF "(con un valor no vacío)" "$D/ayuda" && ve a "(con un valor no vacío)" &&
    ve a "el nivel tiene que ser 1, 2 o 3, no «4»" || fallar "la ayuda o el nivel malo, mal escritos"
echo "La ayuda y el error se leen bien en la consola (UTF-16) y en un fichero (UTF-8)"

arrancar w "$WINE build/windows/quatrelo.exe" && arrancar l "$LINUX"
paso "Pulsa INTRO para empezar"
[[ $(tm display -p -t w '#{pane_title}') == Quatrelo ]] || fallar "el título no es Quatrelo"
paso "2 JUGADORES" Enter
paso "│ SALIR │" Down Down Down
paso "DESEAS SALIR ? (s/n):" Enter
tm send-keys -t w s Enter && tm send-keys -t l s Enter
acaba w 0 SALIR && acaba l 0 "SALIR en Linux"
# Ctrl+C termina con 0xC000013A, como el manejador del sistema, y un fallo de memoria con
# 0xC0000005 (wine da el byte bajo: 58 y 5), sin esperar al cerrojo que tiene la escritura.
arrancar c "$WINE build/windows/quatrelo.exe" && esperar "wine no arranca" ve c "Pulsa INTRO"
tm send-keys -t c C-c && acaba c 58 Ctrl+C
arrancar f "WINEDLLOVERRIDES=winedbg.exe=d $WINE build/windows/quatrelo_fallo.exe"
acaba f 5 "un fallo dentro de una escritura"
exit "$resultado"
