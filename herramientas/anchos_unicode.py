#!/usr/bin/env python3
"""Genera src/consola/anchos_unicode.h, la tabla de anchos de carácter de la consola, a partir de
los datos de Unicode (UnicodeData.txt y EastAsianWidth.txt; en Debian, el paquete unicode-data
los deja en /usr/share/unicode). Así el ancho es el mismo en todas las plataformas, sin depender
del wcwidth de cada biblioteca de C.

Las reglas son las de los terminales (las de wcwidth de Markus Kuhn, que siguen xterm y glibc):
- 0: marcas combinantes que no ocupan sitio (Mn, Me), formatos (Cf, salvo el guion blando
  U+00AD) y las vocales y finales del hangul antiguo U+1160-U+11FF;
- 2: anchos y de ancho completo en East Asian Width (W, F);
- -1: lo que esa versión de Unicode no tiene asignado (no se sabe cómo lo pintará el terminal);
- 1: todo lo demás (también los ambiguos, como en un terminal de fuera de Asia oriental).

Uso, desde cualquier directorio:
    herramientas/anchos_unicode.py [--comprobar] [DIRECTORIO_UCD]
escribe src/consola/anchos_unicode.h (DIRECTORIO_UCD, por omisión /usr/share/unicode); con
--comprobar no escribe nada y termina con 1 si la tabla del repositorio no es la que sale (lo
que hace CI).
"""

import io
import os
import re
import sys
from contextlib import redirect_stdout

MAXIMO = 0x10FFFF
TABLA = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "src", "consola",
                     "anchos_unicode.h")


def leer_unicodedata(ruta):
    categoria = {}
    primero = None
    with open(ruta, encoding="utf-8") as f:
        for linea in f:
            campos = linea.split(";")
            cp, nombre, cat = int(campos[0], 16), campos[1], campos[2]
            if nombre.endswith(", First>"):
                primero = cp
                continue
            if nombre.endswith(", Last>"):
                for c in range(primero, cp + 1):
                    categoria[c] = cat
                continue
            categoria[cp] = cat
    return categoria


def leer_anchos_asiaticos(ruta):
    anchos = {}
    version = None
    with open(ruta, encoding="utf-8") as f:
        for linea in f:
            m = re.match(r"#\s*EastAsianWidth-([\d.]+)\.txt", linea)
            if m:
                version = m.group(1)
            linea = linea.split("#")[0].strip()
            if not linea:
                continue
            rango, valor = [x.strip() for x in linea.split(";")]
            desde, _, hasta = rango.partition("..")
            for c in range(int(desde, 16), int(hasta or desde, 16) + 1):
                anchos[c] = valor
    return anchos, version


def ancho(c, categoria, asiaticos):
    cat = categoria.get(c)
    if cat is None:
        # Lo que East Asian Width da por ancho aunque no esté asignado (los planos de ideogramas).
        return 2 if asiaticos.get(c) in ("W", "F") else -1
    if cat in ("Mn", "Me") or (cat == "Cf" and c != 0x00AD) or 0x1160 <= c <= 0x11FF:
        return 0
    if asiaticos.get(c) in ("W", "F"):
        return 2
    return 1


def escribir_tabla(ucd):
    categoria = leer_unicodedata(os.path.join(ucd, "UnicodeData.txt"))
    asiaticos, version = leer_anchos_asiaticos(os.path.join(ucd, "EastAsianWidth.txt"))
    if version is None:
        sys.exit("EastAsianWidth.txt no dice su versión")
    # Por ancho, los rangos de lo que no mide 1: una lista por ancho, sin un número por rango.
    rangos = {0: [], 2: [], -1: []}
    for c in range(MAXIMO + 1):
        a = ancho(c, categoria, asiaticos)
        if a == 1:
            continue
        lista = rangos[a]
        if lista and lista[-1][1] == c - 1:
            lista[-1] = (lista[-1][0], c)
        else:
            lista.append((c, c))
    print(f"""// Anchos de carácter en el terminal según Unicode {version}: tabla generada por
// herramientas/anchos_unicode.py a partir de UnicodeData.txt y EastAsianWidth.txt. No se edita a
// mano: se vuelve a generar con esa misma orden. Solo la usa texto.cpp.
#pragma once

#include <array>

namespace consola {{

inline constexpr const char* VERSION_UNICODE = "{version}";

// Lo que no mide una celda, en tres listas de rangos ordenados y sin solapes; lo que no está en
// ninguna mide 1.
struct RangoUnicode {{
    char32_t desde, hasta;
}};""")
    for nombre, a, que in (("ANCHO_CERO", 0, "combinantes y formatos: no ocupan celda"),
                           ("ANCHO_DOBLE", 2, "anchos y de ancho completo: dos celdas"),
                           ("SIN_ASIGNAR", -1, "sin asignar en esta versión: no se sabe")):
        lista = rangos[a]
        print(f"""
// {que[0].upper() + que[1:]}.
inline constexpr std::array<RangoUnicode, {len(lista)}> {nombre} = {{{{""")
        for i in range(0, len(lista), 3):
            print("    " + " ".join("{0x%X, 0x%X}," % r for r in lista[i:i + 3]))
        print("}};")
    print("""
} // namespace consola""")


def main():
    argumentos = sys.argv[1:]
    comprobar = "--comprobar" in argumentos
    if comprobar:
        argumentos.remove("--comprobar")
    ucd = argumentos[0] if argumentos else "/usr/share/unicode"
    salida = io.StringIO()
    with redirect_stdout(salida):
        escribir_tabla(ucd)
    tabla = os.path.normpath(TABLA)
    if comprobar:
        with open(tabla, encoding="utf-8") as f:
            if f.read() != salida.getvalue():
                sys.exit(f"{tabla} no es la que sale de {ucd}: vuelve a generarla con "
                         "herramientas/anchos_unicode.py")
        return
    with open(tabla, "w", encoding="utf-8") as f:
        f.write(salida.getvalue())


if __name__ == "__main__":
    main()
