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
# PLAZO (en segundos) es la espera por omisión; es larga para aguantar una máquina cargada, y
# solo se agota si algo falla de verdad.
PLAZO=${PLAZO:-15}
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
    local texto=$1 limite=$(( $(ahora_cs) + ${2:-$PLAZO} * 100 ))
    while (( $(ahora_cs) < limite )); do
        captura | grep -qF -- "$texto" && return 0
        sleep 0.05
    done
    fallar "no aparece «$texto» en ${2:-$PLAZO} s"
}

# esperar_todos TEXTO...: hasta que una misma captura los contenga todos a la vez.
esperar_todos() {
    local limite=$(( $(ahora_cs) + PLAZO * 100 )) pantalla t falta
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
    local n=$1 texto=$2 limite=$(( $(ahora_cs) + ${3:-$PLAZO} * 100 ))
    while (( $(ahora_cs) < limite )); do
        [[ "$(linea "$n")" == "$texto" ]] && return 0
        sleep 0.05
    done
    fallar "la fila $n no es «$texto» sino «$(linea "$n")»"
}

# esperar_estable [SEGUNDOS]: hasta que dos capturas seguidas sean idénticas.
esperar_estable() {
    local limite=$(( $(ahora_cs) + ${1:-$PLAZO} * 100 )) antes ahora
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
    local f=$1 limite=$(( $(ahora_cs) + ${2:-$PLAZO} * 100 ))
    while (( $(ahora_cs) < limite )); do
        [[ -e "$f" ]] && return 0
        sleep 0.05
    done
    fallar "no aparece $f en ${2:-$PLAZO} s"
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

# ---------------------------------------------------------------------------------------------
# Ayudas para recorrer pantallas y partidas enteras.

# Los textos que se esperan tal cual en varias pruebas.
TEXTO_COLUMNA="Introduce la columna en la que quieres colocar tu ficha (0-6):"
TEXTO_VOLVER="Desea volver a jugar?(s/n)"

# espacios N: N blancos, para escribir columnas exactas (la columna C empieza tras C-1 blancos).
espacios() { printf '%*s' "$1" ''; }

# esperar_que SEGUNDOS DESCRIPCION ORDEN...: hasta que ORDEN acabe bien. ORDEN suele mirar una
# sola captura, así que todo lo que comprueba se ve a la vez.
esperar_que() {
    local segundos=$1 descripcion=$2
    shift 2
    local limite=$(( $(ahora_cs) + segundos * 100 ))
    while (( $(ahora_cs) < limite )); do
        "$@" && return 0
        sleep 0.05
    done
    fallar "no se cumple en $segundos s: $descripcion"
}

# esperar_caja FILA COL TEXTO: la caja del menú alrededor de TEXTO, con la esquina de arriba a la
# izquierda en la columna COL (desde 1); el texto lleva un blanco a cada lado.
esperar_caja() {
    local fila=$1 col=$2 texto=$3 margen raya
    margen=$(espacios $((col - 1)))
    raya=$(printf '─%.0s' $(seq 1 $((${#texto} + 2))))
    esperar_linea "$fila" "${margen}┌${raya}┐"
    esperar_linea $((fila + 1)) "${margen}│ ${texto} │"
    esperar_linea $((fila + 2)) "${margen}└${raya}┘"
}

# esperar_menu: el menú principal entero en 80x50, recién abierto (caja en "2 JUGADORES").
esperar_menu() {
    esperar_todos "c u a t r o   e n   r a y a" "vs ORDENADOR" "INSTRUCCIONES" "SALIR" \
        "https://quatrelo.example.org"
    esperar_caja 24 34 "2 JUGADORES"
    esperar_linea 27 "$(espacios 34)vs ORDENADOR"
    esperar_linea 29 "$(espacios 34)INSTRUCCIONES"
    esperar_linea 31 "$(espacios 38)SALIR"
}

# hasta_el_menu: de la portada recién arrancada al menú.
hasta_el_menu() {
    esperar_texto "Pulsa INTRO para empezar"
    teclas Enter
    esperar_todos "2 JUGADORES" "vs ORDENADOR" "INSTRUCCIONES" "SALIR"
}

# leer_quien_empieza: deja en EMPIEZA el nombre que anuncia la leyenda ("EMPIEZA nombre"), ya
# con "Pulsa una tecla para empezar..." en pantalla. El sorteo sale del reloj, así que la prueba
# se adapta a lo que salga.
EMPIEZA=""
leer_quien_empieza() {
    esperar_todos "EMPIEZA " "Pulsa una tecla para empezar..."
    EMPIEZA=$(captura | sed -n 's/^ *EMPIEZA \(.*[^ ]\) *$/\1/p' | head -n 1)
    [[ -n "$EMPIEZA" ]] || fallar "no se lee quién empieza"
}

# nombres_dos_jugadores UNO DOS: teclea los dos nombres (el eco de cada uno pisa el último blanco
# de su pregunta, en la columna 37) y deja en EMPIEZA quién sale.
nombres_dos_jugadores() {
    esperar_linea 10 "$(espacios 9)COMO TE LLAMAS JUGARDOR 1?:"
    esperar_linea 17 "$(espacios 9)COMO TE LLAMAS JUGARDOR 2?:"
    teclas -l "$1"
    teclas Enter
    esperar_linea 10 "$(espacios 9)COMO TE LLAMAS JUGARDOR 1?:$1"
    teclas -l "$2"
    teclas Enter
    leer_quien_empieza
    esperar_linea 24 "$(espacios 25)EMPIEZA $EMPIEZA"
}

# jugar_turno NOMBRE COLUMNA: espera el turno de NOMBRE con su pregunta y suelta la ficha. Los
# turnos se alternan, así que el turno siguiente ya no dice NOMBRE y no hay confusión posible.
jugar_turno() {
    esperar_todos "Turno de $1" "$TEXTO_COLUMNA"
    teclas "$2"
}

# jugar_columnas PRIMERO SEGUNDO CIFRAS: una jugada por cifra, alternando desde PRIMERO.
jugar_columnas() {
    local primero=$1 segundo=$2 cifras=$3 i
    for ((i = 0; i < ${#cifras}; ++i)); do
        if ((i % 2 == 0)); then jugar_turno "$primero" "${cifras:i:1}"
        else jugar_turno "$segundo" "${cifras:i:1}"; fi
    done
}

# fila_tablero CELDAS: la fila de pantalla de un tablero con esas siete celdas, tal como se
# captura ("        │ 0 │ X │   │ ...").
fila_tablero() {
    local celdas=$1 fila="        │" j
    for ((j = 0; j < 7; ++j)); do fila+=" ${celdas:j:1} │"; done
    echo "$fila"
}

# celdas_tablero PANTALLA: las 42 celdas de arriba abajo, 7 por fila, leídas de una captura (la
# celda de la columna j está en la columna 11 + 4j de las filas 11, 13, ... 21).
celdas_tablero() {
    local pantalla=$1 fila n j celdas=""
    for n in 11 13 15 17 19 21; do
        fila=$(sed -n "${n}p" <<<"$pantalla")
        for ((j = 0; j < 7; ++j)); do
            local c=${fila:10+4*j:1}
            celdas+=${c:- }
        done
    done
    echo "$celdas"
}

# colores_sgr PANTALLA_CON_ESCAPES: los parámetros de color (30-38, 40-48, 90-97, 100-107) de
# todas las secuencias SGR, uno por línea.
colores_sgr() {
    grep -o $'\e\\[[0-9;]*m' <<<"$1" | tr -d $'\e[m' | tr ';' '\n' | grep -xE '3[0-8]|4[0-8]|9[0-7]|10[0-7]'
}
