// Partidas enteras de dos jugadores conducidas con teclas de guion: nombres, leyenda, turnos,
// líneas de cuatro, empate, abandono y la pregunta de volver a jugar. Cada comprobación a mitad
// de partida es una partida aparte con el guion cortado en ese punto.
#include <gtest/gtest.h>

#include "apoyo.h"
#include "lib_funciones.h"

namespace {

constexpr std::uint16_t NEGRO_SOBRE_BLANCO = BLACK + 16 * WHITE;

// 42 jugadas sin ninguna línea de cuatro, y 42 en las que solo la última hace línea.
constexpr const char* EMPATE = "545062455041104565311226266362030334314210";
constexpr const char* GANA_LA_ULTIMA = "460265125234114035562430131501302624304665";
// El primero en mover hace cuatro en vertical en la columna 0 en la ronda 4.
constexpr const char* VERTICAL_EN_LA_RONDA_4 = "0101010";

std::string fichas_restantes(const Escenario& e) {
    const std::string fila = e.fila(10);
    const std::size_t pos = fila.find("FICHAS RESTANTES: ");
    return pos == std::string::npos ? "?" : fila.substr(pos + 18);
}

std::unique_ptr<Escenario> solo_nombres(int quien, std::string_view nombres) {
    auto e = std::make_unique<Escenario>();
    e->dispositivo.reloj_base = reloj_para_sorteo(quien);
    e->teclear(nombres);
    e->ejecutar(jug2);
    return e;
}

} // namespace

TEST(DosJugadores, NombresConCursorVisibleYNombreRepetido) {
    auto e = solo_nombres(0, "ana\r");
    EXPECT_EQ(e->columna_de("COMO TE LLAMAS JUGARDOR 1?:ana", 10), 10);
    EXPECT_EQ(e->columna_de("COMO TE LLAMAS JUGARDOR 2?:", 17), 10);
    EXPECT_EQ(e->en(37, 10, 3), "ana") << "el nombre pisa el último espacio del aviso";
    EXPECT_TRUE(e->consola.pantalla().cursor_visible());
    EXPECT_EQ(e->consola.pantalla().cursor_y() + 1, 17);

    auto r = solo_nombres(0, "ana\rana\r");
    EXPECT_EQ(r->columna_de(" YA EXISTE ESE NOMBRE", 18), 37);
    EXPECT_EQ(r->en(37, 17, 33), std::string(33, ' ')) << "el nombre rechazado se borra";

    // El que solo cambia en mayúsculas vale; el aviso sigue hasta la leyenda, que lo borra.
    auto m = solo_nombres(1, "ana\rana\rAna\r");
    EXPECT_FALSE(m->consola.pantalla().cursor_visible()) << "el cursor se oculta en la leyenda";
    EXPECT_FALSE(m->contiene("YA EXISTE"));
    EXPECT_EQ(m->en(33, 20, 7), "--> Ana");
}

TEST(DosJugadores, LeyendaConSusColoresYEspacios) {
    auto e = solo_nombres(0, "ana\rluis\r");
    EXPECT_EQ(e->en(22, 20, 1), "0");
    EXPECT_EQ(e->atributo(22, 20), LIGHTRED + 16 * WHITE);
    EXPECT_EQ(e->en(23, 20, 7), " -->ana");
    EXPECT_EQ(e->atributo(23, 20), NEGRO_SOBRE_BLANCO);
    EXPECT_EQ(e->en(30, 20, 3), "  X");
    EXPECT_EQ(e->atributo(32, 20), YELLOW + 16 * WHITE);
    EXPECT_EQ(e->en(33, 20, 8), "--> luis");
    EXPECT_EQ(e->columna_de("EMPIEZA ana", 24), 26);
    EXPECT_EQ(e->columna_de("Pulsa una tecla para empezar...", 28), 20);
    EXPECT_EQ(e->atributo(26, 24), NEGRO_SOBRE_BLANCO);

    // El sorteo depende solo del segundo: el otro segundo da el otro jugador.
    EXPECT_EQ(solo_nombres(1, "ana\rluis\r")->columna_de("EMPIEZA luis", 24), 26);
    // Dos palabras en el primer nombre: la segunda es el del jugador 2, sin esperar.
    auto d = solo_nombres(0, "ana luis\r");
    EXPECT_EQ(d->en(23, 20, 7), " -->ana");
    EXPECT_EQ(d->en(33, 20, 8), "--> luis");
}

TEST(DosJugadores, TableroTurnosYTeclasQueNoSonColumna) {
    auto e = partida_dos(0, "3");
    EXPECT_EQ(e->columna_de("Quatrelo", 8), 17);
    EXPECT_EQ(e->en(9, 10, 29), "─────────────────────────────");
    EXPECT_EQ(e->columna_de("FICHAS RESTANTES: 21 ", 10), 45);
    EXPECT_EQ(e->en(9, 11, 29), "│   │   │   │   │   │   │   │");
    EXPECT_EQ(e->en(9, 21, 29), "│   │   │   │ 0 │   │   │   │");
    EXPECT_EQ(e->en(9, 22, 29), "─────────────────────────────");
    EXPECT_EQ(e->fila(23), "          0   1   2   3   4   5   6    COLUMNAS");
    EXPECT_EQ(e->columna_de("Turno de luis", 26), 9);
    EXPECT_EQ(e->columna_de("Introduce la columna en la que quieres colocar tu ficha (0-6): ", 29), 4);
    EXPECT_EQ(e->atributo(9, 11), NEGRO_SOBRE_BLANCO);

    // 7, 9, letras, espacio, Intro, flechas y una columna llena no hacen nada.
    auto f = partida_dos(0, "79a \r\x1b[C\x1b[A" "000000" "0" "1");
    EXPECT_EQ(f->en(9, 11, 9), "│ X │   │");
    EXPECT_EQ(f->en(9, 21, 9), "│ 0 │ 0 │") << "tras la columna llena, el 1 lo juega ana";
    EXPECT_TRUE(f->contiene("Turno de luis"));
    EXPECT_EQ(fichas_restantes(*f), "18");
}

TEST(DosJugadores, LineaDelPrimeroDeLaRondaAcabaLaPartida) {
    auto e = partida_dos(0, VERTICAL_EN_LA_RONDA_4);
    EXPECT_EQ(e->columna_de("Gana ana", 25), 17);
    EXPECT_EQ(e->columna_de("Pulsa Una Tecla...", 27), 17);
    EXPECT_EQ(fichas_restantes(*e), "0");
    for (int fila : {15, 17, 19, 21}) EXPECT_EQ(e->en(11, fila, 1), "*") << fila;
    EXPECT_EQ(e->en(15, 21, 1), "X");
    EXPECT_EQ(e->en(15, 15, 1), " ") << "luis no mueve en la ronda de la línea";

    // Tras la tecla: el tablero final con la cifra de la ronda y la pregunta; sin más turnos.
    auto f = partida_dos(0, std::string(VERTICAL_EN_LA_RONDA_4) + "k");
    EXPECT_EQ(fichas_restantes(*f), "18") << "ronda 4: 22 - 4";
    EXPECT_EQ(f->columna_de("Desea volver a jugar?(s/n)", 25), 12);
    EXPECT_FALSE(f->contiene("EMPATE"));
    EXPECT_FALSE(f->contiene("Gana"));
    EXPECT_EQ(f->en(11, 15, 1), "*") << "la línea sigue marcada en el tablero final";

    // Una línea de X se anuncia con el nombre del jugador 2.
    auto x = partida_dos(1, VERTICAL_EN_LA_RONDA_4);
    EXPECT_EQ(x->columna_de("Gana luis", 25), 17);
    EXPECT_EQ(x->en(11, 21, 1), "+");
}

TEST(DosJugadores, EmpateYUltimaJugadaGanadora) {
    for (int quien : {0, 1}) {
        SCOPED_TRACE(quien);
        auto e = partida_dos(quien, EMPATE);
        EXPECT_EQ(fichas_restantes(*e), "0");
        EXPECT_EQ(e->fila(23), "          0   1   2   3   4   5   6    COLUMNAS   SIN FICHAS");
        EXPECT_EQ(e->fila(24), "   EMPATE");
        EXPECT_EQ(e->columna_de("Desea volver a jugar?(s/n)", 26), 12);
        EXPECT_FALSE(e->contiene("Turno de"));
    }
    auto g = partida_dos(0, GANA_LA_ULTIMA);
    EXPECT_EQ(g->columna_de("Gana luis", 25), 17);
    auto f = partida_dos(0, std::string(GANA_LA_ULTIMA) + " ");
    EXPECT_FALSE(f->contiene("EMPATE"));
    EXPECT_EQ(fichas_restantes(*f), "1");
}

TEST(DosJugadores, VolverAJugarTrasEmpezarElJugador1) {
    const std::string fin = std::string(VERTICAL_EN_LA_RONDA_4) + " ";
    // Con eco: las teclas rechazadas quedan escritas tras la pregunta.
    auto e = partida_dos(0, fin + "xy");
    EXPECT_EQ(e->columna_de("Desea volver a jugar?(s/n)xy", 25), 12);
    // La S mayúscula es un sí: la misma pareja, sin pedir nombres, y un tablero vacío.
    auto s = partida_dos(0, fin + "S ");
    EXPECT_FALSE(s->contiene("COMO TE LLAMAS"));
    EXPECT_EQ(fichas_restantes(*s), "21");
    EXPECT_FALSE(s->contiene("*"));
    EXPECT_TRUE(partida_dos(0, fin + "N")->volvio);
}

TEST(DosJugadores, VolverAJugarTrasEmpezarElJugador2) {
    const std::string fin = std::string(VERTICAL_EN_LA_RONDA_4) + " ";
    // Sin eco y sin mayúsculas: S y N no valen; s pide los dos nombres otra vez.
    auto e = partida_dos(1, fin + "xSN");
    EXPECT_FALSE(e->volvio);
    EXPECT_EQ(e->fila(25), "           Desea volver a jugar?(s/n)");
    auto s = partida_dos(1, fin + "s");
    EXPECT_TRUE(s->contiene("COMO TE LLAMAS JUGARDOR 1?: "));
    EXPECT_TRUE(s->consola.pantalla().cursor_visible());
    EXPECT_TRUE(partida_dos(1, fin + "n")->volvio);
}

TEST(DosJugadores, SoloElJugador1PuedeAbandonar) {
    auto e = partida_dos(1, "\x1b");
    EXPECT_TRUE(e->contiene("Turno de luis"));
    EXPECT_FALSE(e->contiene("DESEAS SALIR"));

    // ana pulsa Escape en su segundo turno: la pregunta en su sitio.
    const std::string antes = "34\x1b";
    auto p = partida_dos(0, antes);
    EXPECT_EQ(p->columna_de("DESEAS SALIR DE LA PARTIDA? (s/n): ", 14), 20);
    // "x" o una línea vacía: el tablero vuelve con la cifra de la ronda y es otra vez su turno.
    for (const char* respuesta : {"x\r", "\r", "n\r"}) {
        auto r = partida_dos(0, antes + respuesta);
        SCOPED_TRACE(respuesta);
        EXPECT_EQ(fichas_restantes(*r), "20");
        EXPECT_TRUE(r->contiene("Turno de ana"));
        EXPECT_FALSE(r->volvio);
    }
    // Tras negarse pone una sola ficha y mueve luis.
    auto u = partida_dos(0, antes + "x\r5");
    EXPECT_TRUE(u->contiene("Turno de luis"));
    EXPECT_EQ(u->en(9, 21, 29), "│   │   │   │ 0 │ X │ 0 │   │");
    // S abandona: la partida vuelve al menú.
    EXPECT_TRUE(partida_dos(0, antes + "S\r")->volvio);
    EXPECT_TRUE(partida_dos(0, antes + "s\r")->volvio);
}
