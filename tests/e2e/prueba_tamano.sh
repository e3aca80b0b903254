#!/usr/bin/env bash
# Cambios de tamaño del terminal en el menú: tras cada uno el juego lo repinta todo, así que la
# pantalla vuelve a ser exactamente el menú de 80x50, sin nada en lo que sobra a la derecha y
# abajo; por debajo de 40x12 sale el aviso, y al crecer otra vez vuelve el menú.
# Solo toca su propio servidor de tmux (también escribe en el terminal de su panel) y su
# directorio temporal.
source "$(dirname "$0")/comun.sh"

# redimensionar COLUMNAS FILAS [sucio]: con "sucio", antes deja escrito en el terminal lo que
# otro programa pudiera haber escrito: el juego no lo conoce, así que solo desaparece si el
# repintado es completo y no solo de lo que el juego cree que cambió.
redimensionar() {
    if [[ "${3:-}" == sucio ]]; then
        printf '\e[1;1HBASURA\e[25;40HBASURA\e[50;70HBASURA' > "$(panel '#{pane_tty}')"
        esperar_texto BASURA
    fi
    tm resize-window -t "$SESION" -x "$1" -y "$2" || fallar "no se cambia el tamaño a $1x$2"
    [[ "$(panel '#{pane_width}x#{pane_height}')" == "$1x$2" ]] || fallar "el panel no mide $1x$2"
}

# La captura es el menú de referencia y, debajo, solo filas vacías. Como cada fila es la del
# menú, tampoco hay nada más allá de la columna 80.
igual_al_menu() {
    local pantalla
    pantalla=$(captura)
    [[ "$(head -n 50 <<<"$pantalla")" == "$MENU" ]] &&
        ! tail -n +51 <<<"$pantalla" | grep -q '[^[:space:]]'
}

# El aviso parte sus líneas donde puede: se busca en el texto de la pantalla seguido, y es lo
# primero que hay (del título que ocupaba esa esquina no queda nada).
con_aviso() {
    local texto
    texto=$(captura | tr '\n' ' ' | tr -s ' ')
    [[ "$texto" == "Quatrelo necesita una ventana de al menos 40x12."* && "$texto" != *[_\|]* ]]
}

arrancar tamano 80 50 "$BIN"
tm set-option -g window-size manual
hasta_el_menu
esperar_que "la pantalla quieta" quieta
MENU=$PANTALLA

redimensionar 100 60 sucio
esperar_que "el menú entero a 100x60, sin restos" igual_al_menu
redimensionar 80 50 sucio
esperar_que "el menú entero de nuevo a 80x50" igual_al_menu
redimensionar 30 10
esperar_que "el aviso de tamaño a 30x10" con_aviso
redimensionar 80 50
esperar_que "el menú entero tras el aviso" igual_al_menu
# Y sigue respondiendo.
teclas Down
esperar_caja 26 33 "vs ORDENADOR"

echo "prueba_tamano: bien"
