# Utilidades de las pruebas de extremo a extremo: el binario real dentro de tmux, teclas con
# send-keys y la pantalla con capture-pane. Cada prueba_*.sh la carga con `source`; se ejecuta
# desde la raíz del repositorio con la ruta del binario en $1. Solo toca su propio servidor de
# tmux (socket propio, que se cierra al salir) y un directorio temporal propio. Nada espera un
# tiempo fijo: todo sondea la pantalla (o un fichero) hasta que se cumple, con un plazo máximo.

set -u

if [[ $# -lt 1 || ! -x "$1" ]]; then
    echo "uso: $0 RUTA_DEL_BINARIO (no se encuentra o no es ejecutable: '${1:-}')" >&2
    exit 2
fi
BIN=$(realpath "$1")
NOMBRE_PRUEBA=$(basename "$0" .sh)
SOCKET="q$$-${NOMBRE_PRUEBA}"
SESION=""
D=$(mktemp -d "${TMPDIR:-/tmp}/quatrelo-e2e.XXXXXX")

# Sin barra de estado (se comería una fila) y con el panel vivo al morir el programa, para
# poder enseñar la última pantalla si algo falla.
printf 'set -g status off\nset -g remain-on-exit on\nset -g history-limit 0\n' > "$D/tmux.conf"

# tmux decide si el panel habla UTF-8 por la localización de quien lo arranca.
export LANG=C.UTF-8
unset LC_ALL LC_CTYPE

tm() { tmux -L "$SOCKET" -f "$D/tmux.conf" "$@"; }
# tmux no borra el socket al cerrar el servidor: sin esto quedaría uno por prueba.
trap 'tm kill-server >/dev/null 2>&1; rm -rf "$D" "${TMUX_TMPDIR:-/tmp}/tmux-$UID/$SOCKET"' EXIT

captura() { tm capture-pane -p -t "$SESION" 2>/dev/null; }
# linea N: la fila N de la pantalla (desde 1), sin los blancos del final.
linea() { captura | sed -n "${1}p" | sed 's/[[:space:]]*$//'; }
# Lo que tmux sabe del panel: #{alternate_on}, #{cursor_flag}, #{pane_tty}...
panel() { tm display-message -p -t "$SESION" "$1"; }
# pantalla_normal QUIEN: fuera del juego, la pantalla normal y el cursor a la vista.
pantalla_normal() {
    [[ "$(panel '#{alternate_on}')" == 0 ]] || fallar "$1: sigue en la pantalla alternativa"
    [[ "$(panel '#{cursor_flag}')" == 1 ]] || fallar "$1: el cursor sigue oculto"
}
# espacios N: N blancos, para escribir columnas exactas (la columna C empieza tras C-1 blancos).
espacios() { printf '%*s' "$1" ''; }

# fallar MENSAJE: acaba la prueba enseñando la última pantalla con las filas numeradas.
fallar() {
    echo "FALLO en ${NOMBRE_PRUEBA}: $*" >&2
    [[ -z "$SESION" ]] || captura | awk '{ printf "%2d|%s|\n", NR, $0 }' >&2
    exit 1
}

# arrancar NOMBRE COLUMNAS FILAS ORDEN: una sesión nueva, que pasa a ser la actual.
arrancar() {
    tm new-session -d -s "$1" -x "$2" -y "$3" "env LANG=C.UTF-8 $4" || fallar "no arranca tmux"
    SESION=$1
}

teclas() { tm send-keys -t "$SESION" "$@" || fallar "send-keys $*"; }

# PLAZO (en segundos) acota cada espera; es largo para aguantar una máquina cargada y solo se
# agota si algo falla de verdad. El reloj nunca decide nada.
PLAZO=${PLAZO:-15}

# esperar_que DESCRIPCION ORDEN...: hasta que ORDEN acabe bien.
esperar_que() {
    local descripcion=$1 limite=$((SECONDS + PLAZO))
    shift
    until "$@"; do
        ((SECONDS < limite)) || fallar "no se cumple en $PLAZO s: $descripcion"
        sleep 0.05
    done
}

# Condiciones para esperar_que. Cada una mira una sola captura, así que lo que comprueba se ve
# a la vez en pantalla.
hay_textos() {
    local pantalla t
    pantalla=$(captura)
    for t in "$@"; do grep -qF -- "$t" <<<"$pantalla" || return 1; done
}
es_linea() { [[ "$(linea "$1")" == "$2" ]]; }
# quieta: dos capturas seguidas iguales; deja la última en PANTALLA.
quieta() {
    local antes
    antes=$(captura)
    sleep 0.05
    PANTALLA=$(captura)
    [[ "$PANTALLA" == "$antes" ]]
}
# pregunta_en_el_cursor TEXTO: el cursor se ve y TEXTO está en su fila. Con el cursor oculto el
# terminal no lo lleva a ningún sitio, así que su posición solo cuenta cuando se ve.
pregunta_en_el_cursor() {
    [[ "$(panel '#{cursor_flag}')" == 1 ]] &&
        captura | sed -n "$(($(panel '#{cursor_y}') + 1))p" | grep -qF -- "$1"
}

# esperar_texto TEXTO...: hasta que una misma captura los contenga todos.
esperar_texto() { esperar_que "a la vez en pantalla: $*" hay_textos "$@"; }
# esperar_linea N TEXTO: hasta que la fila N sea exactamente TEXTO; así se comprueba también la
# columna, no solo que el texto esté.
esperar_linea() { esperar_que "la fila $1 es «$2»" es_linea "$1" "$2"; }

# ---------------------------------------------------------------------------------------------
# Pantallas y partidas enteras.

TEXTO_COLUMNA="Introduce la columna en la que quieres colocar tu ficha (0-6):"
TEXTO_VOLVER="Desea volver a jugar?(s/n)"
DIRECCION="https://quatrelo.example.org"

# esperar_caja FILA COL TEXTO [ascii]: la caja del menú alrededor de TEXTO, con la esquina de
# arriba a la izquierda en la columna COL (desde 1); el texto lleva un blanco a cada lado.
esperar_caja() {
    local e=(┌ ─ ┐ │ └ ┘) margen raya
    [[ "${4:-}" == ascii ]] && e=(+ - + "|" + +)
    margen=$(espacios $(($2 - 1)))
    raya=$(printf -- "${e[1]}%.0s" $(seq 1 $((${#3} + 2))))
    esperar_linea "$1" "${margen}${e[0]}${raya}${e[2]}"
    esperar_linea $(($1 + 1)) "${margen}${e[3]} $3 ${e[3]}"
    esperar_linea $(($1 + 2)) "${margen}${e[4]}${raya}${e[5]}"
}

# esperar_menu [ascii|sin_caja]: el menú principal entero en 80x50, recién abierto: título,
# opciones y dirección en su sitio y la caja en "2 JUGADORES" (o sin mirar la caja).
# shellcheck disable=SC2120
esperar_menu() {
    esperar_linea 4 "$(espacios 10)___                    _                   _"
    esperar_linea 9 "$(espacios 9)\\__\\_\\  \\__,_|  \\__,_|  \\__| |_|     \\___| |_|  \\___/"
    esperar_linea 10 "$(espacios 8)======================================================="
    esperar_linea 11 "$(espacios 22)c u a t r o   e n   r a y a"
    esperar_linea 27 "$(espacios 34)vs ORDENADOR"
    esperar_linea 29 "$(espacios 34)INSTRUCCIONES"
    esperar_linea 31 "$(espacios 38)SALIR"
    esperar_linea 37 "$(espacios 30)$DIRECCION"
    [[ "${1:-}" == sin_caja ]] || esperar_caja 24 34 "2 JUGADORES" "${1:-}"
}

# hasta_el_menu [ascii|sin_caja]: de la portada recién arrancada al menú, entero y en su sitio
# en 80x50; en una ventana más baja, que sigue al cursor, basta con ver a la vez las cuatro
# opciones y la dirección.
# shellcheck disable=SC2120
hasta_el_menu() {
    esperar_texto "Pulsa INTRO para empezar"
    teclas Enter
    if [[ "$(panel '#{pane_width}x#{pane_height}')" == 80x50 ]]; then esperar_menu "$@"
    else esperar_texto "2 JUGADORES" "vs ORDENADOR" "INSTRUCCIONES" "SALIR" "$DIRECCION"; fi
}

# leer_quien_empieza: deja en EMPIEZA el nombre que anuncia la leyenda ("EMPIEZA nombre"). El
# sorteo sale del reloj, así que la prueba se adapta a lo que salga.
leer_quien_empieza() {
    esperar_texto "EMPIEZA " "Pulsa una tecla para empezar..."
    EMPIEZA=$(captura | sed -n 's/^ *EMPIEZA \(.*[^ ]\) *$/\1/p' | head -n 1)
    [[ -n "$EMPIEZA" ]] || fallar "no se lee quién empieza"
}

# nombres_dos_jugadores UNO DOS: teclea cada nombre cuando su pregunta está en la fila del
# cursor, donde el eco debe seguirla sin blanco (pisa el último de la pregunta), y deja en
# PRIMERO y SEGUNDO el orden de juego que anuncia la leyenda.
nombres_dos_jugadores() {
    local n pregunta
    for n in 1 2; do
        pregunta="COMO TE LLAMAS JUGARDOR $n?:"
        esperar_que "«$pregunta» en la fila del cursor" pregunta_en_el_cursor "$pregunta"
        teclas -l "${!n}"
        esperar_que "el eco de ${!n} tras su pregunta" pregunta_en_el_cursor "$pregunta${!n}"
        teclas Enter
    done
    leer_quien_empieza
    PRIMERO=$EMPIEZA
    case "$PRIMERO" in
    "$1") SEGUNDO=$2 ;;
    "$2") SEGUNDO=$1 ;;
    *) fallar "empieza «$PRIMERO», que no es ninguno de los dos" ;;
    esac
}

# jugar_columnas PRIMERO SEGUNDO CIFRAS: una jugada por cifra, alternando desde PRIMERO; cada
# una espera el turno de su jugador con la pregunta a la vista. Los turnos se alternan, así que
# el siguiente ya no dice el mismo nombre y no se juega sobre una pantalla vieja.
jugar_columnas() {
    local jugadores=("$1" "$2") i
    for ((i = 0; i < ${#3}; ++i)); do
        esperar_texto "Turno de ${jugadores[i % 2]}" "$TEXTO_COLUMNA"
        teclas "${3:i:1}"
    done
}

# fila_tablero CELDAS: la fila de pantalla de un tablero con esas siete celdas, tal como se
# captura ("        │ 0 │ X │   │ ...").
fila_tablero() {
    local fila="        │" j
    for ((j = 0; j < 7; ++j)); do fila+=" ${1:j:1} │"; done
    echo "$fila"
}

# celdas_tablero PANTALLA: las 42 celdas de arriba abajo, 7 por fila, leídas de una captura (la
# celda de la columna j está en la columna 11 + 4j de las filas 11, 13, ... 21).
celdas_tablero() {
    local n j fila celdas=""
    for n in 11 13 15 17 19 21; do
        fila="$(sed -n "${n}p" <<<"$1")$(espacios 40)"  # la captura quita los blancos del final
        for ((j = 0; j < 7; ++j)); do celdas+=${fila:10+4*j:1}; done
    done
    echo "$celdas"
}
