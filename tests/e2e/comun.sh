# Utilidades de las pruebas de extremo a extremo: el binario real dentro de tmux, teclas con
# send-keys y la pantalla con capture-pane. Se carga con `source` desde cada prueba_*.sh, que
# recibe la ruta del binario en $1. Solo toca su propio servidor de tmux (socket propio, que se
# cierra al salir) y un directorio temporal propio.
#
# Nada espera un tiempo fijo: todo sondea la pantalla (o un fichero) hasta que aparece lo
# esperado, con un plazo máximo.

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
cat > "$D/tmux.conf" <<'EOF'
set -g status off
set -g remain-on-exit on
set -g history-limit 0
EOF

# tmux decide si el panel habla UTF-8 por la localización de quien lo arranca.
export LANG=C.UTF-8
unset LC_ALL LC_CTYPE

tm() { tmux -L "$SOCKET" -f "$D/tmux.conf" "$@"; }

limpiar() {
    tm kill-server >/dev/null 2>&1
    rm -rf "$D"
}
trap limpiar EXIT

# Plazos en centésimas de segundo: el reloj solo acota cuánto se espera, nunca decide nada.
ahora_cs() { local t=${EPOCHREALTIME/[.,]/}; echo $((10#${t} / 10000)); }

captura() { tm capture-pane -p -t "$SESION" 2>/dev/null; }

fallar() {
    echo "FALLO en ${NOMBRE_PRUEBA}: $*" >&2
    if [[ -n "$SESION" ]]; then
        echo "--- última captura de '$SESION' ---" >&2
        captura | awk '{ printf "%2d|%s|\n", NR, $0 }' >&2
        echo "--- fin de la captura ---" >&2
    fi
    exit 1
}

# arrancar NOMBRE COLUMNAS FILAS ORDEN: una sesión nueva, que pasa a ser la actual.
arrancar() {
    local nombre=$1 columnas=$2 filas=$3 orden=$4
    tm new-session -d -s "$nombre" -x "$columnas" -y "$filas" \
        "env LANG=C.UTF-8 $orden" || fallar "no arranca tmux"
    SESION=$nombre
}

teclas() { tm send-keys -t "$SESION" "$@" || fallar "send-keys $*"; }

# esperar_texto TEXTO [SEGUNDOS]: hasta que TEXTO esté en la pantalla.
esperar_texto() {
    local texto=$1 limite=$(( $(ahora_cs) + ${2:-10} * 100 ))
    while (( $(ahora_cs) < limite )); do
        captura | grep -qF -- "$texto" && return 0
        sleep 0.05
    done
    fallar "no aparece «$texto» en ${2:-10} s"
}

# esperar_todos TEXTO...: hasta que una misma captura los contenga todos a la vez.
esperar_todos() {
    local limite=$(( $(ahora_cs) + 1000 )) pantalla t falta
    while (( $(ahora_cs) < limite )); do
        pantalla=$(captura)
        falta=""
        for t in "$@"; do
            grep -qF -- "$t" <<<"$pantalla" || { falta=$t; break; }
        done
        [[ -z "$falta" ]] && return 0
        sleep 0.05
    done
    fallar "no están a la vez en pantalla: $* (falta «$falta»)"
}

# linea N: la fila N de la pantalla (desde 1), tal cual, sin los blancos del final.
linea() { captura | sed -n "${1}p" | sed 's/[[:space:]]*$//'; }

# esperar_linea N TEXTO [SEGUNDOS]: hasta que la fila N sea exactamente TEXTO (sin los blancos
# del final); así se comprueba la columna, no solo que el texto esté.
esperar_linea() {
    local n=$1 texto=$2 limite=$(( $(ahora_cs) + ${3:-10} * 100 ))
    while (( $(ahora_cs) < limite )); do
        [[ "$(linea "$n")" == "$texto" ]] && return 0
        sleep 0.05
    done
    fallar "la fila $n no es «$texto» sino «$(linea "$n")»"
}

# esperar_estable [SEGUNDOS]: hasta que dos capturas seguidas sean idénticas.
esperar_estable() {
    local limite=$(( $(ahora_cs) + ${1:-10} * 100 )) antes ahora
    antes=$(captura)
    while (( $(ahora_cs) < limite )); do
        sleep 0.05
        ahora=$(captura)
        [[ "$ahora" == "$antes" ]] && return 0
        antes=$ahora
    done
    fallar "la pantalla no se queda quieta"
}

# esperar_fichero RUTA [SEGUNDOS]: hasta que exista (los envoltorios lo crean al final).
esperar_fichero() {
    local f=$1 limite=$(( $(ahora_cs) + ${2:-10} * 100 ))
    while (( $(ahora_cs) < limite )); do
        [[ -e "$f" ]] && return 0
        sleep 0.05
    done
    fallar "no aparece $f en ${2:-10} s"
}

# Lo que tmux sabe del panel: #{alternate_on}, #{cursor_flag}, #{pane_dead}...
panel() { tm display-message -p -t "$SESION" "$1"; }

# envoltorio NOMBRE [ENTRADA]: un guion que guarda `stty -g` antes y después del juego, su
# estado de salida, su pid y su stderr, en $D/NOMBRE.*. El estado se escribe el último (y de
# golpe), así que cuando existe lo demás ya está. `trap : INT` hace que el intérprete
# sobreviva al Ctrl+C que mata al juego y pueda anotar lo que pasó.
envoltorio() {
    local nombre=$1 entrada=${2:-}
    local g="$D/$nombre.sh"
    cat > "$g" <<EOF
trap : INT
stty -g > '$D/$nombre.antes'
echo 'ANTES DEL JUEGO'
sh -c 'echo \$\$ > "\$0"; exec "\$1" ${entrada:+< "$entrada"} 2> "\$2"' '$D/$nombre.pid' '$BIN' '$D/$nombre.error'
echo \$? > '$D/$nombre.estado.tmp'
stty -g > '$D/$nombre.despues'
mv '$D/$nombre.estado.tmp' '$D/$nombre.estado'
echo 'DESPUES DEL JUEGO'
exec sleep 1000
EOF
    echo "bash '$g'"
}

# comprobar_restaurado NOMBRE ESTADO: el juego terminó con ESTADO y dejó el terminal como estaba.
comprobar_restaurado() {
    local nombre=$1 esperado=$2
    esperar_fichero "$D/$nombre.estado"
    local estado
    estado=$(<"$D/$nombre.estado")
    [[ "$estado" == "$esperado" ]] || fallar "$nombre: estado de salida $estado, se esperaba $esperado"
    cmp -s "$D/$nombre.antes" "$D/$nombre.despues" ||
        fallar "$nombre: stty -g cambió: $(<"$D/$nombre.antes") -> $(<"$D/$nombre.despues")"
    esperar_texto "DESPUES DEL JUEGO"
    [[ "$(panel '#{alternate_on}')" == 0 ]] || fallar "$nombre: sigue en la pantalla alternativa"
    [[ "$(panel '#{cursor_flag}')" == 1 ]] || fallar "$nombre: el cursor sigue oculto"
    captura | grep -qF "ANTES DEL JUEGO" || fallar "$nombre: no vuelve la pantalla de antes"
    # Compilado con ASan/UBSan, un fallo de memoria al salir solo se ve en stderr.
    if grep -qE "Sanitizer|runtime error" "$D/$nombre.error"; then
        fallar "$nombre: el sanitizador se queja: $(head -c 2000 "$D/$nombre.error")"
    fi
}
