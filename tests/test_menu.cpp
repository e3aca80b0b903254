// El arranque y el menú principal, conducidos con teclas de guion y comprobados en la memoria
// de pantalla: filas, columnas y colores de cada elemento.
#include <gtest/gtest.h>

#include "apoyo.h"
#include "lib_funciones.h"

namespace {

constexpr std::uint16_t NEGRO_SOBRE_BLANCO = BLACK + 16 * WHITE;
constexpr std::uint16_t ROJO_SOBRE_BLANCO = LIGHTRED + 16 * WHITE;

// Las tres filas de la caja de cada opción: fila de arriba, columna de la esquina y anchura
// interior; y dónde queda el texto de la opción.
struct Caja {
    int fila, columna, trazos;
    const char* texto;
    int columna_texto;
};
constexpr Caja CAJAS[] = {{24, 34, 13, "2 JUGADORES", 36},
                          {26, 33, 14, "vs ORDENADOR", 35},
                          {28, 33, 15, "INSTRUCCIONES", 35},
                          {30, 37, 7, "SALIR", 39}};

std::string trazos(const char* izq, int n, const char* der) {
    std::string s = izq;
    for (int i = 0; i < n; ++i) s += "─";
    return s + der;
}

void comprobar_marca(const Escenario& e, int opcion) {
    const Caja& c = CAJAS[opcion - 1];
    SCOPED_TRACE("opción " + std::to_string(opcion));
    EXPECT_EQ(e.en(c.columna, c.fila, c.trazos + 2), trazos("┌", c.trazos, "┐"));
    EXPECT_EQ(e.en(c.columna, c.fila + 1, 1), "│");
    EXPECT_EQ(e.en(c.columna + c.trazos + 1, c.fila + 1, 1), "│");
    EXPECT_EQ(e.en(c.columna, c.fila + 2, c.trazos + 2), trazos("└", c.trazos, "┘"));
    // Los textos de las cuatro opciones siguen en su sitio y no queda otra caja.
    for (const Caja& otra : CAJAS) {
        EXPECT_EQ(e.columna_de(otra.texto, otra.fila + 1), otra.columna_texto) << otra.texto;
        if (&otra != &c) {
            EXPECT_EQ(e.columna_de("│", otra.fila + 1), 0) << otra.texto;
        }
    }
    int esquinas = 0;
    for (int fila = 20; fila <= 36; ++fila) esquinas += e.columna_de("┌", fila) != 0;
    EXPECT_EQ(esquinas, 1);
}

} // namespace

TEST(Arranque, TituloYAvisoEnSuSitioConSusColores) {
    Escenario e;
    e.teclear("x");
    EXPECT_FALSE(e.ejecutar(arranque));
    EXPECT_EQ(e.dispositivo.titulo_, "Quatrelo");
    for (int fila = 1; fila <= 3; ++fila) EXPECT_EQ(e.fila(fila), "") << fila;
    for (int fila = 4; fila <= 11; ++fila) {
        EXPECT_EQ(e.en(1, fila, 8), "        ") << fila;
        EXPECT_NE(e.fila(fila), "") << fila;
        EXPECT_LE(e.fila(fila).size(), 63u);
        EXPECT_EQ(e.atributo(9, fila), ROJO_SOBRE_BLANCO);
    }
    EXPECT_EQ(e.columna_de("Pulsa INTRO para empezar", 16), 28);
    EXPECT_EQ(e.atributo(28, 16), NEGRO_SOBRE_BLANCO);
    // La orden de color de ventana deja toda la pantalla en negro sobre blanco.
    EXPECT_EQ(e.atributo(80, 50), NEGRO_SOBRE_BLANCO);
    EXPECT_FALSE(e.consola.pantalla().cursor_visible());
    EXPECT_EQ(e.consola.pantalla().cursor_tamano(), 10);
}

TEST(Arranque, SoloIntroSaleDelTitulo) {
    // Letras, flechas (dos códigos), Escape y F1 no dejan eco ni cambian nada; Intro sí sale.
    // (Cada Escenario activa su consola: el de comparación vive y muere antes que el otro.)
    std::string sin_teclas;
    {
        Escenario quieto;
        quieto.ejecutar(arranque);
        sin_teclas = quieto.todo();
    }
    Escenario e;
    e.teclear("ab \x1b[A\x1b[B\x1bOP\x1b");
    EXPECT_FALSE(e.ejecutar(arranque));
    EXPECT_EQ(e.todo(), sin_teclas);
    e.teclear("\r");
    EXPECT_TRUE(e.ejecutar(arranque));
}

TEST(Menu, PrimeraAparicionYMarcaQueSigueALasTeclas) {
    Escenario e;
    EXPECT_FALSE(e.ejecutar(menu_ppal));
    comprobar_marca(e, 1);
    EXPECT_EQ(e.columna_de("vs ORDENADOR", 27), 35);
    EXPECT_EQ(e.columna_de(DIRECCION_WEB, 37), 31);
    EXPECT_EQ(e.atributo(36, 25), NEGRO_SOBRE_BLANCO);
    EXPECT_EQ(e.atributo(9, 4), ROJO_SOBRE_BLANCO);
    EXPECT_FALSE(e.contiene("Pulsa INTRO"));

    // Abajo hasta el final, una más (no da la vuelta) y arriba hasta el principio, una más.
    const char* teclas[] = {"\x1b[B", "\x1b[B", "\x1b[B", "\x1b[B", "\x1b[A", "\x1b[A", "\x1b[A", "\x1b[A"};
    const int marcas[] = {2, 3, 4, 4, 3, 2, 1, 1};
    std::string guion;
    for (int i = 0; i < 8; ++i) {
        guion += teclas[i];
        Escenario paso;
        paso.teclear(guion);
        paso.ejecutar(menu_ppal);
        comprobar_marca(paso, marcas[i]);
    }
}

TEST(Menu, LetrasHyPMuevenLaMarcaComoLasFlechas) {
    // Los códigos 80 y 72 son también las letras P y H; las minúsculas y las otras teclas no.
    struct Caso {
        const char* guion;
        int marca;
    } casos[] = {{"P", 2}, {"PP", 3}, {"PPH", 2}, {"pP", 2}, {"hPh", 2},
                 {"\x1b[C\x1b[D", 1}, {"P\x1b[C", 2}, {"PPPP\x1b[5~", 4}};
    for (const Caso& caso : casos) {
        Escenario e;
        e.teclear(caso.guion);
        e.ejecutar(menu_ppal);
        SCOPED_TRACE(caso.guion);
        comprobar_marca(e, caso.marca);
    }
}

TEST(Menu, VolverDeUnaPantallaEnseñaElMenuDesdeElPrincipio) {
    Escenario e;
    // SALIR, "n" y de vuelta en el menú: la marca está otra vez en la primera opción.
    e.teclear("PPP\r").teclear("n\r");
    EXPECT_FALSE(e.ejecutar(menu_ppal));
    comprobar_marca(e, 1);
    EXPECT_FALSE(e.contiene("DESEAS SALIR"));
    EXPECT_FALSE(e.contiene("Pulsa INTRO"));
    // Solo la salida confirmada termina el menú.
    e.teclear("PPP\r").teclear("s\r");
    EXPECT_TRUE(e.ejecutar(menu_ppal));
}
