#!/usr/bin/env bash
# Lo que solo se ve en un terminal de verdad, con el binario real dentro de tmux: Ctrl+Z y fg
# desde un intérprete; el entorno (terminfo, NO_COLOR, LANG=C); los cambios de tamaño. Las
# pantallas en sí las prueba test_pantallas.cpp, y cómo acaba el juego, prueba_bordes.sh.
# Uso: prueba_terminal.sh RUTA_DEL_BINARIO, desde la raíz del repositorio. Solo toca su propio
# servidor de tmux (socket propio) y su directorio temporal. Nada espera un tiempo fijo: cada
# comprobación sondea la pantalla (o un fichero) hasta que se cumple, con un plazo máximo que
# solo se agota si algo falla. Usa solo opciones POSIX de las órdenes.
set -u
[[ -x "${1:-}" ]] || { echo "uso: $0 RUTA_DEL_BINARIO" >&2; exit 2; }
BIN=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
SOCKET="quatrelo-e2e-$$"
SESION=""
PLAZO=${PLAZO:-20}
D=$(mktemp -d "${TMPDIR:-/tmp}/quatrelo-e2e.XXXXXX")
printf 'set -g status off\nset -g remain-on-exit on\n' >"$D/tmux.conf"
export LANG=C.UTF-8
unset LC_ALL LC_CTYPE NO_COLOR
trap 'tm kill-server >/dev/null 2>&1; rm -rf "$D" "${TMUX_TMPDIR:-/tmp}/tmux-$UID/$SOCKET"' EXIT

tm() { tmux -L "$SOCKET" -f "$D/tmux.conf" "$@"; }
captura() { tm capture-pane -p "$@" -t "$SESION" 2>/dev/null; }
panel() { tm display-message -p -t "$SESION" "$1"; }
teclas() { tm send-keys -t "$SESION" "$@"; }
espacios() { printf '%*s' "$1" ''; }
fallar() {
    echo "FALLO: $*" >&2
    [[ -z "$SESION" ]] || captura | awk '{ printf "%2d|%s|\n", NR, $0 }' >&2
    exit 1
}
# esperar DESCRIPCION ORDEN...: hasta que ORDEN acabe bien.
esperar() {
    local que=$1 limite=$((SECONDS + PLAZO))
    shift
    until "$@"; do
        ((SECONDS < limite)) || fallar "no se cumple en $PLAZO s: $que"
        sleep 0.05
    done
}
hay() { captura | grep -qF -- "$1"; }
es_linea() { [[ "$(captura | sed -n "${1}p" | sed 's/[[:space:]]*$//')" == "$2" ]]; }
esperar_texto() { esperar "en pantalla: $1" hay "$1"; }
esperar_linea() { esperar "la fila $1 es «$2»" es_linea "$1" "$2"; }
arrancar() { # NOMBRE COLUMNAS FILAS ORDEN
    tm new-session -d -s "$1" -x "$2" -y "$3" "$4" || fallar "no arranca tmux"
    SESION=$1
}
# Baja a "vs ORDENADOR" y espera su caja en el menú, como la dibuja cada terminal: E = esquinas,
# H = horizontal, V = vertical.
caja_ordenador() {
    local raya
    teclas Down
    raya=$(printf '%14s' '')
    raya=${raya// /$2}
    esperar_linea 26 "$(espacios 32)${1:0:1}$raya${1:1:1}"
    esperar_linea 27 "$(espacios 32)$3 vs ORDENADOR $3"
    esperar_linea 28 "$(espacios 32)${1:2:1}$raya${1:3:1}"
}
hasta_el_menu() {
    esperar_texto "Pulsa INTRO para empezar"
    teclas Enter
    esperar_linea 37 "$(espacios 30)https://quatrelo.example.org"
}

# --- Ctrl+Z y fg desde dash, que (al revés que bash) no arregla el terminal por su cuenta: al
# suspender vuelven los ajustes de antes; con fg, el menú entero y las teclas sueltas.
command -v dash >/dev/null || fallar "hace falta dash"
indicador() { [[ "$(captura | grep -v '^[[:space:]]*$' | tail -n 1)" == "concha>" ]]; }
orden() { teclas -l "$1" && teclas C-j; }  # C-j: con el terminal en crudo, Intro no bastaría
guardar_stty() { orden "stty -g > $D/$1.tmp && mv $D/$1.tmp $D/$1" && esperar "stty $1" test -e "$D/$1"; }
arrancar concha 80 50 "env PS1='concha> ' dash -i"
esperar "el indicador" indicador
guardar_stty stty.antes
orden "'$BIN'"
hasta_el_menu
[[ "$(panel '#{alternate_on}#{cursor_flag} #{pane_title}')" == "10 Quatrelo" ]] || fallar "sin pantalla alternativa, con el cursor a la vista o sin el título Quatrelo"
teclas C-z
esperar "el indicador tras Ctrl+Z" indicador
[[ "$(panel '#{pane_title}')" != Quatrelo ]] || fallar "suspendido, el título sigue siendo Quatrelo"
guardar_stty stty.durante
cmp -s "$D/stty.antes" "$D/stty.durante" || fallar "suspendido, stty -g cambió"
[[ "$(panel '#{alternate_on}#{cursor_flag}')" == 01 ]] || fallar "suspendido: pantalla alternativa o cursor oculto"
orden fg
esperar_linea 37 "$(espacios 30)https://quatrelo.example.org"
[[ "$(panel '#{alternate_on}#{cursor_flag} #{pane_title}')" == "10 Quatrelo" ]] || fallar "tras fg no vuelven la pantalla alternativa, el cursor oculto o el título"
caja_ordenador ┌┐└┘ ─ │
teclas C-c
esperar "el indicador tras Ctrl+C" indicador

# --- Entorno: lo que sabe hacer el terminal lo dice terminfo. Colores: los parámetros de las
# SGR de la pantalla capturada con -e.
colores() { captura -e | tr '\033' '\n' | sed -n 's/^\[\([0-9;]*\)m.*/\1/p' | tr ';' '\n' | grep -xE '1|3[0-7]|4[0-7]|9[0-7]|10[0-7]'; }
for sin in "NO_COLOR=1" "TERM=xterm-mono"; do
    arrancar "${sin%%=*}" 80 50 "env $sin $BIN"
    hasta_el_menu
    [[ -z "$(colores)" ]] || fallar "con $sin hay colores"
done
# Sin UTF-8: el terminal de tmux no cambia de juego de caracteres con ESC ( 0, así que las cajas
# van con + - |. Que sin UTF-8 lo que no es ASCII sale como '?' lo prueba test_volcado.cpp.
arrancar lang_c 80 50 "env LANG=C LC_ALL=C $BIN"
hasta_el_menu
caja_ordenador ++++ - "|"

# --- Tamaños (lo último: tras cambiar el tamaño a mano, tmux 3.3 se cae al abrir otra sesión),
# con el entorno de siempre, que sí tiene colores: por debajo de 40x12, el aviso; al crecer, el
# menú otra vez, repintado entero, sin lo que otro programa escribiera en el terminal.
arrancar con_color 80 50 "$BIN"
tm set-option -g window-size manual
hasta_el_menu
colores | grep -qx 91 || fallar "sin NO_COLOR no hay rojo claro: la comprobación no vería nada"
MENU=$(captura)
printf '\e[1;1HBASURA\e[25;40HBASURA' >"$(panel '#{pane_tty}')"
esperar_texto BASURA
tm resize-window -t "$SESION" -x 30 -y 10
esperar "el aviso a 30x10" eval '[[ "$(captura | tr "\n" " " | tr -s " ")" == "Quatrelo necesita una ventana de al menos 40x12. Ahora tiene 30x10."* ]]'
tm resize-window -t "$SESION" -x 80 -y 50
esperar "el menú entero tras el aviso, sin restos" eval '[[ "$(captura)" == "$MENU" ]]'
caja_ordenador ┌┐└┘ ─ │

echo "prueba_terminal: bien"
