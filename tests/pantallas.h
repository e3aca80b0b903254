// Los casos de test_pantallas.cpp, como se ven. Cada caso empieza con "== nombre", y el nombre
// hasta la primera coma es la pantalla que se arranca: menú (el título y luego el menú), jug2,
// vs_ord o salir (y el menú si vuelve). Luego:
//   teclas:   lo tecleado; <intro>, <esc>, <arriba>, <abajo>, <izquierda>, <derecha>, <f1>,
//             <espacio>, <lf> son teclas con nombre
//   sorteo:   0 empieza el jugador 1 o la persona (es lo que vale si no se dice); 1, el otro
//   base:     un caso anterior: sus filas esperadas son el punto de partida de este
//   color:    columna fila atributo (hexadecimal: fondo y texto; F0 negro sobre blanco, FC rojo
//             claro, FE amarillo), varios en una línea
//   cursor:   visible u oculto;  vuelve: si, cuando la pantalla acaba y vuelve al menú;
//   campana:  si, cuando sonó
//   tablero:  las casillas de las filas del tablero, siete por fila y '.' la vacía, separadas por
//             '/' y la última la del fondo; las de más arriba que no salen son las de la base
//   NN|texto: la fila NN entera, sin los blancos del final. Las filas que no salen están vacías
//             (o son las de la base).
#pragma once

inline constexpr const char* PANTALLAS = R"(
== menú, antes el título
teclas: ab <arriba><f1><esc>
cursor: oculto
color: 11 4 FC  28 16 F0  80 50 F0
 4|          ___                    _                   _
 5|         / _ \                  | |                 | |
 6|        | | | |  _   _    __ _  | |_   _ __    ___  | |   ___
 7|        | | | | | | | |  / _` | | __| | '__|  / _ \ | |  / _ \
 8|        | |_| | | |_| | | (_| | | |_  | |    |  __/ | | | (_) |
 9|         \__\_\  \__,_|  \__,_|  \__| |_|     \___| |_|  \___/
10|        =======================================================
11|                      c u a t r o   e n   r a y a
16|                           Pulsa INTRO para empezar
== menú, tras un Intro que llegó como fin de línea
teclas: <lf>
base: menú, antes el título
cursor: oculto
color: 11 4 FC  36 25 F0  34 24 F0  1 1 F0
16|
24|                                 ┌─────────────┐
25|                                 │ 2 JUGADORES │
26|                                 └─────────────┘
27|                                  vs ORDENADOR
29|                                  INSTRUCCIONES
31|                                      SALIR
37|                              https://quatrelo.example.org
== menú, abajo
teclas: <intro><abajo>
base: menú, tras un Intro que llegó como fin de línea
24|
25|                                   2 JUGADORES
26|                                ┌──────────────┐
27|                                │ vs ORDENADOR │
28|                                └──────────────┘
== menú, abajo cuatro veces: SALIR, sin dar la vuelta
teclas: <intro><abajo><abajo><abajo><abajo>
base: menú, tras un Intro que llegó como fin de línea
24|
25|                                   2 JUGADORES
26|
30|                                    ┌───────┐
31|                                    │ SALIR │
32|                                    └───────┘
== menú, P y H son abajo y arriba; p, h, las otras flechas y F1 no
teclas: <intro>PPHph<izquierda><derecha><f1>
base: menú, abajo
== menú, vuelta de SALIR con n: desde el principio
teclas: <intro><abajo><abajo><abajo><intro>n<intro>
base: menú, tras un Intro que llegó como fin de línea
== salir, x e Intro: la pregunta dos veces
teclas: x<intro>
14|                         DESEAS SALIR ? (s/n):
== salir, despedida
teclas: xs<intro>
cursor: oculto
vuelve: si
color: 29 25 FC
25|                            https://quatrelo.example.org
== salir, la o que deja un no es el nombre del jugador 1
teclas: no<intro><intro>luis<intro>
20|                     0 -->o  X--> luis
24|                         EMPIEZA o
28|                   Pulsa una tecla para empezar...
== jug2, nombre repetido
teclas: ana<intro>ana<intro>
cursor: visible
10|         COMO TE LLAMAS JUGARDOR 1?:ana
17|         COMO TE LLAMAS JUGARDOR 2?:
18|                                     YA EXISTE ESE NOMBRE
== jug2, leyenda: dos palabras son los dos nombres
teclas: ana luis<intro>
cursor: oculto
color: 22 20 FC  23 20 F0  32 20 FE  33 20 F0  26 24 F0
20|                     0 -->ana  X--> luis
24|                         EMPIEZA ana
28|                   Pulsa una tecla para empezar...
== jug2, leyenda: empieza luis
sorteo: 1
teclas: ana<intro>Ana<intro>
20|                     0 -->ana  X--> Ana
24|                         EMPIEZA Ana
28|                   Pulsa una tecla para empezar...
== jug2, tablero: teclas que no son columna y una columna llena
teclas: ana<intro>luis<intro><espacio>79a <intro><derecha><arriba>0000001
color: 9 11 F0  11 21 F0
 8|                Quatrelo
10|        ─────────────────────────────       FICHAS RESTANTES: 18
tablero: X....../0....../X....../0....../X....../00.....
12|        ─────────────────────────────
14|        ─────────────────────────────
16|        ─────────────────────────────
18|        ─────────────────────────────
20|        ─────────────────────────────
22|        ─────────────────────────────
23|          0   1   2   3   4   5   6    COLUMNAS
26|        Turno de luis
29|   Introduce la columna en la que quieres colocar tu ficha (0-6):
== jug2, victoria de ana en la ronda 4
teclas: ana<intro>luis<intro><espacio>0101010
base: jug2, tablero: teclas que no son columna y una columna llena
campana: si
10|        ─────────────────────────────       FICHAS RESTANTES: 0
tablero: ......./......./*....../*X...../*X...../*X.....
25|                Gana ana
26|
27|                Pulsa Una Tecla...
29|
== jug2, tablero final y volver a jugar con eco; N es no
teclas: ana<intro>luis<intro><espacio>0101010<espacio>xyN
base: jug2, victoria de ana en la ronda 4
vuelve: si
10|        ─────────────────────────────       FICHAS RESTANTES: 18
25|           Desea volver a jugar?(s/n)xyN
27|
== jug2, S tras empezar ana: la misma pareja
teclas: ana<intro>luis<intro><espacio>0101010<espacio>S
base: jug2, leyenda: dos palabras son los dos nombres
== jug2, victoria de luis, a quien Escape no le hace nada
sorteo: 1
teclas: ana<intro>luis<intro><espacio><esc>0101010
base: jug2, victoria de ana en la ronda 4
tablero: +....../+0...../+0...../+0.....
25|                Gana luis
== jug2, tras empezar luis: S y N no valen, sin eco
sorteo: 1
teclas: ana<intro>luis<intro><espacio>0101010<espacio>xSN
base: jug2, victoria de luis, a quien Escape no le hace nada
10|        ─────────────────────────────       FICHAS RESTANTES: 18
25|           Desea volver a jugar?(s/n)
27|
== jug2, tras empezar luis: s pide los nombres otra vez
sorteo: 1
teclas: ana<intro>luis<intro><espacio>0101010<espacio>s
cursor: visible
10|         COMO TE LLAMAS JUGARDOR 1?:
17|         COMO TE LLAMAS JUGARDOR 2?:
== jug2, empate
teclas: ana<intro>luis<intro><espacio>545062455041104565311226266362030334314210
base: jug2, tablero: teclas que no son columna y una columna llena
10|        ─────────────────────────────       FICHAS RESTANTES: 0
tablero: X0X00X0/0XX0XX0/000X00X/XX0X0XX/X0XX000/XXX0X00
23|          0   1   2   3   4   5   6    COLUMNAS   SIN FICHAS
24|   EMPATE
26|           Desea volver a jugar?(s/n)
29|
== jug2, ana no abandona: su turno otra vez
teclas: ana<intro>luis<intro><espacio>34<esc>x<intro>
base: jug2, tablero: teclas que no son columna y una columna llena
10|        ─────────────────────────────       FICHAS RESTANTES: 20
tablero: ......./......./......./......./......./...0X..
26|        Turno de ana
== jug2, y pone una sola ficha
teclas: ana<intro>luis<intro><espacio>34<esc>x<intro>5
base: jug2, ana no abandona: su turno otra vez
tablero: ...0X0.
26|        Turno de luis
== jug2, ana abandona
teclas: ana<intro>luis<intro><espacio>34<esc>S<intro>
vuelve: si
14|                   DESEAS SALIR DE LA PARTIDA? (s/n): S
== menú, vs ORDENADOR: leyenda, el cursor sigue oculto
teclas: <intro><abajo><intro>eva<intro>
cursor: oculto
color: 22 20 FC  23 20 F0  33 20 FE  34 20 F0
20|                     0 --> eva  X--> ORDENADOR
24|                         EMPIEZA eva
28|                   Pulsa una tecla para empezar...
== vs_ord, el nombre se escribe tras la pregunta
teclas: eva
10|         COMO TE LLAMAS?: eva
== vs_ord, turnos
teclas: eva<intro><espacio>3
base: jug2, ana no abandona: su turno otra vez
10|        ─────────────────────────────       FICHAS RESTANTES: 21
tablero: ..X0...
26|        Turno de eva
== vs_ord, gana la persona
teclas: eva<intro><espacio>354532
base: jug2, victoria de ana en la ronda 4
tablero: ..*..../..X*.../..XX*0./..X0X*.
24|        Enhorabuena, ha ganado
25|
26|           Pulsa Una Tecla...
27|
== vs_ord, pierde la persona
sorteo: 1
teclas: eva<intro><espacio>506
base: jug2, ana no abandona: su turno otra vez
campana: si
10|        ─────────────────────────────       FICHAS RESTANTES: 0
tablero: 0++++00
24|        Lo siento, ha perdido
26|           Pulsa Una Tecla...
29|
== vs_ord, empate empezando la persona
teclas: eva<intro><espacio>103253230415540146666
base: jug2, empate
tablero: 0XX0XXX/X00X0X0/XXX00X0/X00XX00/0XX000X/00XXX00
24|    EMPATE
== vs_ord, empate empezando el ordenador
sorteo: 1
teclas: eva<intro><espacio>322400063422046556611
base: jug2, empate
tablero: 000X0X0/XX0XXX0/X0X000X/0X0XX00/0X0X0XX/0XX0XX0
== vs_ord, S: otra partida con el mismo nombre
sorteo: 1
teclas: eva<intro><espacio>506<espacio>S
base: menú, vs ORDENADOR: leyenda, el cursor sigue oculto
24|                         EMPIEZA EL ORDENADOR
)";
