#!/usr/bin/env bash
# Los bordes de la entrada y la salida del juego, sin tmux: descriptores 0, 1 y 2 cerrados, la
# salida a un fichero y señales que matan el proceso. Cada caso corre en un pseudoterminal nuevo
# de `script`, entre dos `stty -g`; se mira el estado de salida, stderr, los ajustes de antes y
# después y lo que llegó al terminal. Nada espera un tiempo fijo: se sondean ficheros.
# Solo toca su directorio temporal y los procesos que arranca. Usa solo opciones POSIX de las
# órdenes, y el `script` que haya: el de util-linux (o busybox) o el de los BSD y macOS.
set -u
BIN=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
D=$(mktemp -d "${TMPDIR:-/tmp}/quatrelo-bordes.XXXXXX")
# Al salir, también si algo falla: se matan los juegos que quedaran vivos.
trap 'exec 3>&-; kill -s KILL $(cat "$D"/*.pid 2>/dev/null) 2>/dev/null; rm -rf "$D"' EXIT
cd "$D" || exit 2
ulimit -c 0
# La tubería con nombre abierta es la entrada de script: nunca le llega un fin de fichero.
mkfifo teclado && exec 3<>teclado
# Con ASan, un SIGSEGV lo atendería el sanitizer; aquí se quiere ver qué hace el juego.
export SHELL=/bin/sh TERM=xterm LANG=C.UTF-8 ASAN_OPTIONS=handle_segv=0:handle_sigbus=0
fallar() { echo "FALLO en prueba_bordes: $*" >&2; exit 1; }
# El script de util-linux (y el de busybox) toma la orden con -c; el de los BSD, tras el fichero.
en_pty() { script -qfc "$1" /dev/null; }
script -qfc true /dev/null </dev/null >/dev/null 2>&1 || en_pty() { script -q /dev/null sh -c "$1"; }
# Sin control de trabajos, uno en segundo plano empieza con SIGINT ignorada, y el juego la dejaría
# así: con él, cada uno va en su grupo de procesos y con las señales como estaban.
set -m
esperar() {
    local limite=$((SECONDS + 20))
    until eval "$1"; do ((SECONDS < limite)) || fallar "no se cumple en 20 s: $1"; sleep 0.05; done
}

# jugar CASO PREVIO [SEÑAL | teclas:BYTES]: el juego con PREVIO (redirecciones, variables o una
# orden con su ;) delante de su exec; cuando se ve la portada, le manda la señal o teclea los
# bytes (printf %b). Comprueba que los ajustes del terminal quedan como estaban.
jugar() {
    en_pty "trap : INT; stty -g > $1.antes; sh -c 'echo \$\$ > $1.pid; $2 exec \"\$0\"' '$BIN' 2> $1.error
        echo \$? > $1.tmp; stty -g > $1.despues; mv $1.tmp $1.estado" <&3 >"$1.pantalla" &
    if [[ -n "${3:-}" ]]; then
        esperar "grep -qs empezar $1.pantalla"  # «Pulsa INTRO para empezar», en la portada
        if [[ "$3" == teclas:* ]]; then printf '%b' "${3#teclas:}" >&3; else kill -s "$3" "$(<"$1.pid")"; fi
    fi
    esperar "test -e $1.estado"
    wait
    cmp -s "$1.antes" "$1.despues" || fallar "$1: stty -g cambió: $(<"$1.antes") -> $(<"$1.despues")"
    ESTADO=$(<"$1.estado")
}

# Sin terminal en la entrada o en la salida, con un terminal que no sabe colocar el cursor o con
# ninguno en TERM: estado 1, una línea que lo dice y nada escrito.
while IFS='|' read -r caso previo mensaje; do
    jugar "$caso" "$previo"
    [[ "$ESTADO" == 1 && ! -s "$caso.pantalla" && ! -s fichero ]] && grep -qx "quatrelo: $mensaje" "$caso.error" ||
        fallar "$caso: estado $ESTADO, «$(<"$caso.error")»"
done <<'FIN'
sin_0|<&-|la entrada estándar no es un terminal.*
sin_1|>&-|la salida estándar no es un terminal.*
a_fichero|>fichero|la salida estándar no es un terminal.*
dumb|TERM=dumb|el terminal «dumb» no sabe colocar el cursor.*
sin_term|unset TERM;|la variable TERM no está definida.*
FIN

# Cómo acaba el juego: SALIR con s e Intro (0), Ctrl+C (como SIGINT) y las señales que matan, con
# las que muere por esa señal: 128 más su número en este sistema (macOS no tiene RTMIN). En
# todos los casos devuelve el terminal (cursor a la vista, fuera de la pantalla alternativa). Con
# stderr cerrado se juega igual.
for caso in "salir 0 teclas:\\r\\e[B\\e[B\\e[B\\rs\\r" "ctrl_c INT teclas:\\x03" "USR1 USR1 USR1 2>&-" \
    "HUP HUP HUP" "TERM TERM TERM" "ALRM ALRM ALRM" "XCPU XCPU XCPU" "RTMIN RTMIN RTMIN" \
    "SEGV SEGV SEGV" "ABRT ABRT ABRT"; do
    set -- $caso
    kill -l "$2" >/dev/null 2>&1 || continue
    jugar "$1" "${4:-}" "$3"
    [[ $2 == 0 ]] || set -- "$1" $((128 + $(kill -l "$2")))
    [[ "$ESTADO" == "$2" ]] || fallar "$1: estado $ESTADO, no $2; $(<"$1.error")"
    resto=$(<"$1.pantalla")
    [[ "${resto##*$'\e[?1049h'}" == *$'\e[?25h'*$'\e[?1049l'* ]] || fallar "$1: no devuelve el terminal"
done
# La línea de órdenes la prueba test_ordenes.cpp; aquí, que el juego la usa: un nivel bueno
# arranca (fuera de un terminal, estado 1).
"$BIN" --nivel=3 </dev/null 2>/dev/null
[[ $? == 1 ]] || fallar "--nivel=3 no se acepta"
echo "prueba_bordes: bien"
