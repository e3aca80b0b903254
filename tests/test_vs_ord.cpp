// Partidas enteras contra el ordenador conducidas con teclas de guion. El ordenador es
// determinista con el reloj falso, así que cada guion lleva siempre al mismo final.
#include <gtest/gtest.h>

#include "apoyo.h"
#include "lib_funciones.h"

namespace {

// Jugadas de la persona (tras "eva" y la tecla de empezar) que acaban como dice el nombre, con
// el sorteo a favor de la persona (0) o del ordenador (1).
constexpr const char* GANA_PERSONA[] = {"53524326", "4323601"};
constexpr const char* GANA_ORDENADOR[] = {"3100315", "605"};
constexpr const char* EMPATE[] = {"144032440220561605615", "633264021360105055445"};

std::unique_ptr<Escenario> contra_ordenador(int quien, std::string_view teclas) {
    auto e = std::make_unique<Escenario>();
    e->dispositivo.reloj_base = reloj_para_sorteo(quien);
    e->dispositivo.guardar_salida = true;
    e->teclear("eva\r ").teclear(teclas);
    e->ejecutar(vs_ord);
    return e;
}

int fichas(const Escenario& e, char ficha) {
    int n = 0;
    for (int fila = 11; fila <= 21; fila += 2)
        for (int col = 0; col < COLUMNAS; ++col) n += e.en(11 + 4 * col, fila, 1)[0] == ficha;
    return n;
}

} // namespace

TEST(ContraOrdenador, NombreLeyendaYQuienEmpieza) {
    auto e = std::make_unique<Escenario>();
    e->dispositivo.reloj_base = reloj_para_sorteo(0);
    e->consola.pantalla().cursor_visible(false);  // como lo deja el arranque
    e->teclear("eva");
    e->ejecutar(vs_ord);
    EXPECT_EQ(e->columna_de("COMO TE LLAMAS?: eva", 10), 10);
    EXPECT_FALSE(e->consola.pantalla().cursor_visible()) << "el cursor sigue oculto";

    auto l = std::make_unique<Escenario>();
    l->dispositivo.reloj_base = reloj_para_sorteo(0);
    l->teclear("eva\r");
    l->ejecutar(vs_ord);
    EXPECT_EQ(l->en(22, 20, 1), "0");
    EXPECT_EQ(l->atributo(22, 20), LIGHTRED + 16 * WHITE);
    EXPECT_EQ(l->en(23, 20, 8), " --> eva");
    EXPECT_EQ(l->en(31, 20, 3), "  X");
    EXPECT_EQ(l->atributo(33, 20), YELLOW + 16 * WHITE);
    EXPECT_EQ(l->en(34, 20, 13), "--> ORDENADOR");
    EXPECT_EQ(l->columna_de("EMPIEZA eva", 24), 26);
    EXPECT_EQ(l->columna_de("Pulsa una tecla para empezar...", 28), 20);

    auto o = std::make_unique<Escenario>();
    o->dispositivo.reloj_base = reloj_para_sorteo(1);
    o->teclear("eva\r");
    o->ejecutar(vs_ord);
    EXPECT_EQ(o->columna_de("EMPIEZA EL ORDENADOR", 24), 26);
}

TEST(ContraOrdenador, TurnosDeLaPersonaYDelOrdenador) {
    // Empieza la persona: tras su ficha juega el ordenador, y le vuelve a tocar. La cifra es
    // la de la ronda que acaba de terminar hasta que alguien mueve en la siguiente.
    auto e = contra_ordenador(0, "3");
    EXPECT_EQ(fichas(*e, '0'), 1);
    EXPECT_EQ(fichas(*e, 'X'), 1);
    EXPECT_EQ(e->en(19, 21, 1), "X") << "una ficha sola en la columna 3: el ordenador juega al lado";
    EXPECT_TRUE(e->contiene("FICHAS RESTANTES: 21 "));
    EXPECT_EQ(e->columna_de("Turno de eva", 26), 9);
    auto r2 = contra_ordenador(0, "33");
    EXPECT_TRUE(r2->contiene("FICHAS RESTANTES: 20 "));
    // El turno del ordenador llegó al terminal antes de la pausa (el cuadro solo lleva lo que
    // cambia respecto a "Turno de eva"), y la pausa durmió medio segundo.
    EXPECT_NE(e->dispositivo.salida.find("l ordenador"), std::string::npos);
    EXPECT_EQ(e->dispositivo.reloj_ms, 500);

    // Empieza el ordenador: su primera ficha cae al fondo de una columna.
    auto o = contra_ordenador(1, "");
    EXPECT_EQ(fichas(*o, 'X'), 1);
    EXPECT_EQ(o->columna_de("X", 21) % 4, 11 % 4);
    EXPECT_TRUE(o->contiene("FICHAS RESTANTES: 21 "));
}

TEST(ContraOrdenador, GanaLaPersonaOGanaElOrdenador) {
    for (int quien : {0, 1}) {
        SCOPED_TRACE(quien);
        auto g = contra_ordenador(quien, GANA_PERSONA[quien]);
        EXPECT_EQ(g->columna_de("Enhorabuena, ha ganado", 24), 9);
        EXPECT_EQ(g->columna_de("Pulsa Una Tecla...", 26), 12);
        EXPECT_TRUE(g->contiene("FICHAS RESTANTES: 0 "));
        EXPECT_EQ(fichas(*g, '*'), 4);

        auto p = contra_ordenador(quien, GANA_ORDENADOR[quien]);
        EXPECT_EQ(p->columna_de("Lo siento, ha perdido", 24), 9);
        EXPECT_EQ(fichas(*p, '+'), 4);
        EXPECT_NE(p->dispositivo.salida.find('\a'), std::string::npos) << "suena la campana";

        // Tras la tecla: el tablero final y la pregunta, sin más jugadas.
        auto f = contra_ordenador(quien, std::string(GANA_ORDENADOR[quien]) + " q");
        EXPECT_EQ(f->columna_de("Desea volver a jugar?(s/n)q", 25), 12);
        EXPECT_FALSE(f->contiene("Lo siento"));
    }
}

TEST(ContraOrdenador, EmpateConSusDosSangrias) {
    auto p = contra_ordenador(0, EMPATE[0]);
    EXPECT_TRUE(p->contiene("COLUMNAS   SIN FICHAS"));
    EXPECT_EQ(p->fila(24), "    EMPATE") << "empezó la persona: cuatro espacios";
    EXPECT_TRUE(p->contiene("FICHAS RESTANTES: 0 "));
    EXPECT_EQ(fichas(*p, ' '), 0);

    auto o = contra_ordenador(1, EMPATE[1]);
    EXPECT_EQ(o->fila(24), "   EMPATE") << "empezó el ordenador: tres espacios";
    EXPECT_EQ(o->columna_de("Desea volver a jugar?(s/n)", 26), 12);
}

TEST(ContraOrdenador, VolverAJugarYAbandonar) {
    const std::string fin = std::string(GANA_ORDENADOR[1]) + " ";
    // S y s valen después de cualquier orden; el nombre se conserva sin preguntarlo.
    for (const char* si : {"S", "s"}) {
        auto e = contra_ordenador(1, fin + "x" + si);
        EXPECT_FALSE(e->contiene("COMO TE LLAMAS"));
        EXPECT_EQ(e->en(23, 20, 8), " --> eva");
        EXPECT_FALSE(e->volvio);
    }
    EXPECT_TRUE(contra_ordenador(1, fin + "N")->volvio);
    EXPECT_TRUE(contra_ordenador(0, std::string(GANA_PERSONA[0]) + " n")->volvio);

    // Escape en el turno de la persona: "n" sigue la partida; "s" vuelve al menú.
    auto n = contra_ordenador(0, "3\x1bn\r");
    EXPECT_TRUE(n->contiene("FICHAS RESTANTES: 20 "));
    EXPECT_EQ(n->columna_de("Turno de eva", 26), 9);
    EXPECT_TRUE(contra_ordenador(0, "3\x1bs\r")->volvio);
}
