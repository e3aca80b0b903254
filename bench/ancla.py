#!/usr/bin/env python3
"""Las medidas del ancla de ncurses con un emulador que entiende todo lo que manda Quatrelo.

El emulador de los guiones del ancla (ptyrun.Screen) solo entiende CUP, SGR, ED 2, los modos
25/1049/2026, OSC, ESC ( 0 / ESC ( B, BEL, CR, LF y BS. Con los borrados, las repeticiones y los
movimientos relativos que ahora manda el volcado reconstruiría pantallas viejas: frames.py le
daría al ancla otras pantallas que las del juego y same_screen.py diría DIFFERENT. Este
envoltorio importa los guiones tal cual (sin copiarlos) y amplía Screen con esas secuencias y
nada más: EL (CSI K), ECH (CSI n X), ED 0 (CSI J), REP (CSI n b), CUU/CUD/CUF/CUB (CSI n A/B/C/D)
y la intensidad de SGR (1 y 22), con la que un terminal de 8 colores enseña los claros de texto.
Qué color de texto queda en un blanco borrado no se ve, pero las comparaciones lo cuentan:
- para frames.py, el fondo vigente y texto negro, que es como el juego tiene sus blancos (negro
  sobre blanco), para que el ancla reciba las pantallas del juego y no pague cambios de color
  que nadie vería;
- para same_screen.py, el fondo vigente y el color de texto del terminal, que es lo que hace
  tmux, el juez (también con ED 2, que antes solo se mandaba sin colores). Y como capture-pane
  de tmux no enseña el fondo de lo borrado más allá de la última celda escrita de la fila (ni
  -N lo saca), aquí esas celdas se ven igual: sin colores, hasta que se escribe más allá.

Uso (desde la raíz del repositorio; ANCLA es el directorio de los guiones del ancla de ncurses,
el que tiene frames.py, ptyrun.py y same_screen.py):
    python3 bench/ancla.py ANCLA frames BINARIO CHECKOUT [--terms ...] [--out DIR]
    python3 bench/ancla.py ANCLA same_screen DIR [--phases ...]
"""

import os
import re
import sys

sys.dont_write_bytecode = True
if (len(sys.argv) < 3 or sys.argv[2] not in ("frames", "same_screen")
        or not os.path.isfile(os.path.join(sys.argv[1], "frames.py"))):
    sys.exit(__doc__)
sys.path.insert(0, os.path.abspath(sys.argv.pop(1)))

import frames  # noqa: E402
import ptyrun  # noqa: E402
import same_screen  # noqa: E402

NUESTRAS = re.compile(r"\x1b\[([0-9;]*)([KXJbABCD])")


class PantallaAmpliada(ptyrun.Screen):
    def __init__(self, *args, **kwargs):
        super().__init__(*args, **kwargs)
        self.ultimo = None
        self.negrita = False
        self.usado = [0] * self.rows  # hasta dónde se ha escrito en cada fila (para tmux)
        self.borradas = {}            # (x, y) borradas más allá de lo escrito, con su fondo

    def attr(self):
        if self.negrita and self.fg is not None and self.fg < 8:
            return ((self.fg + 8) << 4) | (self.bg if self.bg is not None else 0)
        return super().attr()

    def sgr(self, params):
        resto = []
        for p in (params.split(";") if params else ["0"]):
            n = int(p) if p else 0
            if n in (0, 1, 22):
                self.negrita = n == 1
            if n not in (1, 22):
                resto.append(p)
        if resto:
            super().sgr(";".join(resto))

    def put(self, ch):
        super().put(ch)
        self.ultimo = ch
        if self.como_tmux:
            y, x = self.y, self.x - 1
            self.borradas.pop((x, y), None)
            # Lo borrado entre la última celda escrita y esta ya sale con su fondo.
            for k in range(self.usado[y], x):
                if (k, y) in self.borradas:
                    self.cells[y][k] = self.borradas.pop((k, y))
            self.usado[y] = max(self.usado[y], x + 1)

    como_tmux = False

    def blanco(self):
        if not self.como_tmux:
            return (" ", ptyrun.DEFAULT if self.bg is None else self.bg)
        return (" ", ptyrun.DEFAULT if self.bg is None else (7 << 4) | self.bg)

    def borrar(self, y, desde, hasta):
        for x in range(max(0, desde), min(self.cols, hasta)):
            self.cells[y][x] = self.blanco()
            if self.como_tmux and x >= self.usado[y]:
                self.borradas[(x, y)] = self.cells[y][x]
                self.cells[y][x] = (" ", ptyrun.DEFAULT)

    def orden(self, params, final):
        n = int(params) if params.isdigit() else 0
        x = min(self.x, self.cols - 1)
        if final == "K" and params in ("", "0"):
            self.borrar(self.y, x, self.cols)
        elif final == "X":
            self.borrar(self.y, x, x + max(1, n))
        elif final == "J" and params in ("", "0", "2"):
            # tmux vacía las filas enteras que borra: vuelven a estar sin escribir.
            for y in range(self.rows):
                if y > self.y or (params == "2" and y < self.y) or (y == self.y and (params == "2" or x == 0)):
                    self.usado[y] = 0
            self.borrar(self.y, 0 if params == "2" else x, self.cols)
            for y in range(self.rows):
                if y > self.y or (params == "2" and y < self.y):
                    self.borrar(y, 0, self.cols)
        elif final == "b" and self.ultimo is not None:
            for _ in range(max(1, n)):
                self.put(self.ultimo)
        elif final in "ABCD":
            n = max(1, n)
            if final == "A":
                self.y = max(0, self.y - n)
            elif final == "B":
                self.y = min(self.rows - 1, self.y + n)
            elif final == "C":
                self.x = min(self.cols - 1, x + n)
            else:
                self.x = max(0, x - n)
        else:
            self.unknown.append("CSI " + params + final)

    def feed(self, data):
        s = data.decode("utf-8", "replace") if isinstance(data, (bytes, bytearray)) else data
        pos = 0
        for m in NUESTRAS.finditer(s):
            super().feed(s[pos:m.start()])
            self.orden(m.group(1), m.group(2))
            pos = m.end()
        super().feed(s[pos:])


frames.Screen = PantallaAmpliada
same_screen.Screen = PantallaAmpliada

if __name__ == "__main__":
    guion = frames if sys.argv.pop(1) == "frames" else same_screen
    PantallaAmpliada.como_tmux = guion is same_screen
    guion.main()
