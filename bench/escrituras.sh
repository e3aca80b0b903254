#!/bin/sh
# Cuántas llamadas a write(2) hace el juego al terminal antes del primer cuadro y al salir.
# Juega el binario en un tmux propio de 80x50 bajo strace: Intro en el título, SALIR en el menú y
# s e Intro. El primer cuadro es la primera escritura que limpia atributos ("ESC [0m ESC (B");
# la salida, las escrituras desde la que empieza con CAN (0x18), que devuelve el terminal.
# Uso: bench/escrituras.sh BINARIO      (necesita tmux y strace)
set -eu
binario=$(realpath "$1")
dir=$(mktemp -d)
socket="escrituras-$$"
trap 'tmux -L "$socket" kill-server 2>/dev/null || true; rm -rf "$dir"' EXIT
esperar() {  # esperar TEXTO: hasta que la pantalla lo enseña
    for _ in $(seq 100); do
        tmux -L "$socket" capture-pane -p | grep -q "$1" && return 0
        sleep 0.1
    done
    echo "no aparece: $1" >&2
    exit 1
}
tmux -L "$socket" new-session -d -x 80 -y 50 \
    "strace -o $dir/traza -e trace=write -e write=1 -xx $binario; touch $dir/fin"
esperar "Pulsa INTRO"
tmux -L "$socket" send-keys Enter
esperar "SALIR"
tmux -L "$socket" send-keys Down Down Down Enter
esperar "DESEAS SALIR"
tmux -L "$socket" send-keys s Enter
for _ in $(seq 100); do [ -e "$dir/fin" ] && break; sleep 0.1; done
grep '^write(1,' "$dir/traza" | awk '
    /\\x1b\\x5b\\x30\\x6d\\x1b\\x28\\x42/ && !cuadro { cuadro = NR }
    /^write\(1, "\\x18/ && !salida { salida = NR }
    END { printf "antes del primer cuadro: %d\nal salir: %d\n", cuadro - 1, NR - salida + 1 }'
