// La pantalla de instrucciones (el fichero en dos páginas) y la confirmación de salida, con
// ficheros de prueba en un directorio temporal que hace de directorio actual.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "apoyo.h"
#include "lib_funciones.h"

namespace {

namespace fs = std::filesystem;

class Instrucciones : public ::testing::Test {
protected:
    void SetUp() override {
        anterior_ = fs::current_path();
        char plantilla[] = "/tmp/quatrelo-instrucciones-XXXXXX";
        ASSERT_NE(mkdtemp(plantilla), nullptr);
        dir_ = plantilla;
        fs::current_path(dir_);
    }
    void TearDown() override {
        fs::current_path(anterior_);
        fs::remove_all(dir_);
    }
    static void fichero(const std::string& contenido) {
        std::ofstream("INSTRUCCIONES.txt", std::ios::binary) << contenido;
    }
    // Las instrucciones con `pausas` teclas pulsadas.
    static std::unique_ptr<Escenario> ver(int pausas) {
        auto e = std::make_unique<Escenario>();
        e->dispositivo.guardar_salida = true;
        e->teclear(std::string(static_cast<std::size_t>(pausas), ' '));
        e->ejecutar(instrucciones);
        return e;
    }
    static int cuenta(const Escenario& e, const std::string& c) {
        const std::string todo = e.todo();
        int n = 0;
        for (std::size_t p = todo.find(c); p != std::string::npos; p = todo.find(c, p + 1)) ++n;
        return n;
    }

private:
    fs::path anterior_, dir_;
};

} // namespace

TEST_F(Instrucciones, FicheroVacioDaDosPaginasVaciasConSuPausa) {
    fichero("");
    for (int pausas : {0, 1}) {
        auto e = ver(pausas);
        EXPECT_EQ(e->columna_de(MENSAJE_PAUSA, 3), 1) << "página " << pausas + 1;
        EXPECT_EQ(e->fila(1), "");
        EXPECT_FALSE(e->volvio);
    }
    EXPECT_TRUE(ver(2)->volvio);
}

TEST_F(Instrucciones, LasPaginasCortanEn1803Y1732Caracteres) {
    // Letras que no salen en el aviso de la pausa.
    fichero(std::string(1803, 'x') + std::string(1732, 'k') + std::string(465, 'w'));
    auto p1 = ver(0);
    EXPECT_EQ(cuenta(*p1, "x"), 1803);
    EXPECT_EQ(cuenta(*p1, "k"), 0);
    // 1803 = 22 filas de 80 y 43 más; dos saltos de línea y la pausa.
    EXPECT_EQ(p1->columna_de(MENSAJE_PAUSA, 25), 1);
    auto p2 = ver(1);
    EXPECT_EQ(cuenta(*p2, "k"), 1732);
    EXPECT_EQ(cuenta(*p2, "x") + cuenta(*p2, "w"), 0) << "lo que pasa de 3535 no se ve nunca";

    fichero(std::string(1803, 'x'));
    EXPECT_EQ(cuenta(*ver(0), "x"), 1803);
    auto vacia = ver(1);
    EXPECT_EQ(vacia->columna_de(MENSAJE_PAUSA, 3), 1) << "la segunda página queda vacía";
}

TEST_F(Instrucciones, SeCuentanCaracteresNoBytes) {
    // "ñ" es el carácter 1803: entero en la primera página; "é" abre la segunda.
    fichero(std::string(1802, 'a') + "ñé" + "\r\nfin");
    auto p1 = ver(0);
    EXPECT_EQ(cuenta(*p1, "ñ"), 1);
    EXPECT_EQ(cuenta(*p1, "é"), 0);
    auto p2 = ver(1);
    EXPECT_EQ(p2->fila(1), "é");
    EXPECT_EQ(p2->fila(2), "fin") << "\\r\\n es un solo fin de línea";
}

TEST_F(Instrucciones, BytesDeControlSeVenComoGlifos) {
    fichero("\x1b[2J\x07hola\x01\xff\n");
    auto e = ver(0);
    EXPECT_EQ(e->fila(1).substr(0, 19), "←[2J•hola☺\u00a0");
    EXPECT_EQ(e->dispositivo.salida.find("\x1b[2J"), std::string::npos);
    EXPECT_EQ(e->dispositivo.salida.find('\a'), std::string::npos);
}

TEST_F(Instrucciones, SinFicheroUnErrorUnaPausaYElMenu) {
    auto e = ver(0);
    EXPECT_EQ(e->columna_de("ERROR AL ABRIR INSTRUCCIONES", 4), 9);
    EXPECT_EQ(e->columna_de(MENSAJE_PAUSA, 7), 1);
    EXPECT_TRUE(ver(1)->volvio);
}

namespace {

std::unique_ptr<Escenario> salida(std::string_view teclas) {
    auto e = std::make_unique<Escenario>();
    e->dispositivo.guardar_salida = true;
    e->consola.pantalla().color_ventana(0xF0);
    e->teclear(teclas);
    e->ejecutar(salir);
    return e;
}

} // namespace

TEST(Salir, RespuestasDeUnaLineaTecleada) {
    auto e = salida("");
    EXPECT_EQ(e->columna_de("DESEAS SALIR ? (s/n): ", 14), 26);

    // x + Intro: la x y el fin de línea pendiente son dos respuestas; la pregunta sigue.
    auto x = salida("x\r");
    EXPECT_FALSE(x->volvio);
    EXPECT_EQ(x->fila(14), "                         DESEAS SALIR ? (s/n):");
    EXPECT_TRUE(salida("x\rs\r")->volvio);
    EXPECT_TRUE(salida("xs\r")->volvio);

    auto n = std::make_unique<Escenario>();
    n->teclear("N\r");
    int resultado = -1;
    n->ejecutar([&] { resultado = salir(); });
    EXPECT_EQ(resultado, VOLVER_AL_MENU);
    EXPECT_EQ(n->fila(14), "") << "la pantalla se limpia al volver";

    auto s = std::make_unique<Escenario>();
    s->teclear("S\r");
    s->ejecutar([&] { resultado = salir(); });
    EXPECT_EQ(resultado, TERMINAR);
}

TEST(Salir, LaOPendienteDeUnNoEsElNombreDelJugador1) {
    auto e = std::make_unique<Escenario>();
    e->dispositivo.reloj_base = reloj_para_sorteo(0);
    e->teclear("no\rluis\r");
    e->ejecutar([] {
        salir();
        jug2();
    });
    EXPECT_EQ(e->en(23, 20, 5), " -->o");
    EXPECT_EQ(e->en(31, 20, 8), "--> luis");
}

TEST(Salir, PantallaDeDespedida) {
    auto e = salida("s\r");
    EXPECT_EQ(e->columna_de(DIRECCION_WEB, 25), 29);
    EXPECT_EQ(e->atributo(29, 25), LIGHTRED + 16 * WHITE);
    EXPECT_FALSE(e->consola.pantalla().cursor_visible());
    int filas_con_texto = 0;
    for (int fila = 1; fila <= 50; ++fila) filas_con_texto += !e->fila(fila).empty();
    EXPECT_EQ(filas_con_texto, 1);
    EXPECT_EQ(e->dispositivo.reloj_ms, 1500) << "se ve un segundo y medio, sin gastar CPU";
    EXPECT_NE(e->dispositivo.salida.find(DIRECCION_WEB), std::string::npos)
        << "la despedida llega al terminal antes de la espera";
}
