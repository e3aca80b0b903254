// La pantalla de instrucciones: el fichero en dos páginas de 1803 y 1732 caracteres, con su
// pausa cada una, o el error si no hay un fichero que leer. Cada prueba trabaja en un
// directorio temporal propio que hace de directorio actual.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "apoyo.h"

namespace fs = std::filesystem;

namespace {

class Instrucciones : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("quatrelo-" + std::to_string(std::random_device{}()));
        fs::create_directories(dir_);
        fs::current_path(dir_);
        buscar_instrucciones_en({});
    }
    void TearDown() override {
        fs::current_path(anterior_);
        fs::remove_all(dir_);
    }
    static void fichero(const std::string& contenido) {
        std::ofstream("INSTRUCCIONES.txt", std::ios::binary) << contenido;
    }
    // Las instrucciones con `teclas` pulsaciones: lo que se ve y si volvieron al menú.
    static std::unique_ptr<Escenario> ver(int teclas, consola::Tamano tamano = {}) {
        auto e = std::make_unique<Escenario>(tamano);
        e->dispositivo.guardar_salida = true;
        e->teclear(std::string(static_cast<std::size_t>(teclas), ' '));
        e->ejecutar(instrucciones);
        return e;
    }

  private:
    fs::path anterior_ = fs::current_path(), dir_;
};

const std::string PAUSA = "Presione una tecla para continuar . . .";

} // namespace

TEST_F(Instrucciones, PaginasDe1803Y1732CaracteresConGlifos) {
    // 1803 = 22 filas de 80 y 43 más, y luego dos fines de línea y la pausa.
    fichero(std::string(1803, 'x') + std::string(1732, 'k') + std::string(465, 'w'));
    auto p1 = ver(0);
    for (int n = 1; n <= 22; ++n)
        EXPECT_EQ(p1->fila(n), std::string(80, 'x'));
    EXPECT_EQ(p1->fila(23), std::string(43, 'x'));
    EXPECT_EQ(p1->fila(25), PAUSA);
    auto p2 = ver(1);
    EXPECT_EQ(p2->fila(22), std::string(52, 'k')) << "lo que pasa de 3535 no se ve nunca";
    EXPECT_EQ(p2->fila(24), PAUSA);
    EXPECT_FALSE(p2->volvio);
    EXPECT_TRUE(ver(2)->volvio);
    // Se cuentan caracteres, no bytes: la ñ es el 1803 y entra entera; \r\n es un fin de línea.
    fichero(std::string(1802, 'a') + "ñé\r\nfin");
    EXPECT_EQ(ver(0)->fila(23), std::string(42, 'a') + "ñ");
    auto e = ver(1);
    EXPECT_EQ(e->fila(1) + e->fila(2) + e->fila(4), "éfin" + PAUSA);
    fichero("");
    EXPECT_EQ(ver(1)->fila(3), PAUSA) << "la segunda página también, vacía";
    // Un byte de control del fichero se ve como su glifo: ni suena ni borra. Que ningún glifo
    // llegue crudo al terminal lo prueba el volcado.
    fichero("\x1b[2J\x07hola\x01\xff\n");
    EXPECT_EQ(ver(0)->fila(1), "←[2J•hola☺\u00a0");
}

TEST_F(Instrucciones, LasDelJuegoSeLeenEnterasEn80x24) {
    // La ventana sigue al cursor: con la pausa a la vista, cada página tiene que caber encima.
    buscar_instrucciones_en({QUATRELO_FUENTES});
    for (int pagina : {0, 1}) {
        auto e = ver(pagina, {80, 24});
        const int arriba = e->consola.pantalla().ventana_y();
        for (int n = 1; n <= consola::ALTO; ++n)
            EXPECT_TRUE(e->fila(n).empty() || (n > arriba && n <= arriba + 24))
                << "página " << pagina + 1 << ", fila " << n;
        if (pagina == 1) {
            EXPECT_EQ(e->fila(1), "  DURANTE LA PARTIDA") << "la página 1 tiene 1803 caracteres";
        }
    }
}

TEST_F(Instrucciones, SinFicheroQueLeerUnErrorYUnaPausa) {
#ifndef _WIN32
    ASSERT_EQ(mkfifo("INSTRUCCIONES.txt", 0600), 0); // sin nadie que escriba: no debe colgarse
#else
    fs::create_directory("INSTRUCCIONES.txt");
#endif
    auto e = ver(1);
    EXPECT_EQ(e->fila(4), "        ERROR AL ABRIR INSTRUCCIONES");
    EXPECT_EQ(e->fila(7), PAUSA);
    EXPECT_TRUE(e->volvio);
    // Donde dice el arranque, si no está en el directorio actual.
    fs::create_directory("datos");
    std::ofstream("datos/INSTRUCCIONES.txt") << "hola";
    buscar_instrucciones_en({"no-existe", (fs::current_path() / "datos").string()});
    EXPECT_EQ(ver(0)->fila(1), "hola");
}
