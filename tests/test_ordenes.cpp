// La línea de órdenes y sus mensajes: lo que llega a cada flujo (a un fichero, los bytes UTF-8;
// a una consola de Windows, UTF-16), con lo que viene de fuera a la vista, y el estado.
#include <gtest/gtest.h>

#include <vector>

#include "linea_ordenes.h"

namespace {

// Un flujo en memoria: los bytes y el UTF-16 que le llegan; lleno, no acepta nada.
struct Memoria final : consola::Flujo {
    bool es_consola = false, lleno = false;
    std::string bytes_;
    std::u16string utf16_;
    bool consola() override { return es_consola; }
    bool bytes(std::string_view b) override {
        bytes_ += b;
        return !lleno;
    }
    bool utf16(std::u16string_view t) override {
        utf16_ += t;
        return !lleno;
    }
};

constexpr char USO[] = "Uso: quatrelo [-n N | --nivel=N] [-h | --help] [-V | --version]\n";

} // namespace

TEST(Ordenes, CadaFormaDelNivelYCadaErrorConLoDeFueraALaVista) {
    const struct {
        std::vector<const char*> argumentos;
        int nivel; // 0: no se juega, estado 2 y `error` con el uso
        std::string error;
    } casos[] = {
        {{}, 1, ""},
        {{"--nivel", "2"}, 2, ""},
        {{"--nivel=3"}, 3, ""},
        {{"-n", "3"}, 3, ""},
        {{"-n3", "-n2"}, 2, ""},
        {{"--nivel", "4"}, 0, "el nivel tiene que ser 1, 2 o 3, no «4»"},
        {{"-n0"}, 0, "el nivel tiene que ser 1, 2 o 3, no «0»"},
        {{"--nivel="}, 0, "el nivel tiene que ser 1, 2 o 3, no «»"},
        {{"-n", "dos"}, 0, "el nivel tiene que ser 1, 2 o 3, no «dos»"},
        {{"-n", "3", "--nivel"}, 0, "falta el nivel tras «--nivel»: tiene que ser 1, 2 o 3"},
        {{"--nivelx"}, 0, "no entiendo «--nivelx»"},
        {{"\x1b]0;PWNED\a\x1b[?1049h"}, 0, "no entiendo «\\e]0;PWNED\\x07\\e[?1049h»"},
        {{"-n\xc2\x9b"
          "31m\xff\x7f\n\xc3\xb1\xe2\x82"},
         0,
         "el nivel tiene que ser 1, 2 o 3, no «\\x9b31m\\xff\\x7f\\x0añ\\xe2\\x82»"},
    };
    for (const auto& c : casos) {
        Memoria salida, error;
        const Ordenes o = leer_ordenes(c.argumentos, "9.9", salida, error);
        const std::string esperado = c.error.empty() ? "" : "quatrelo: " + c.error + "\n" + USO;
        EXPECT_EQ(std::tuple(o.jugar, o.nivel, o.estado, salida.bytes_, error.bytes_),
                  std::tuple(c.nivel > 0, c.nivel, c.nivel > 0 ? 0 : 2, "", esperado))
            << c.error;
    }
}

TEST(Ordenes, AyudaYVersionEnUTF16AUnaConsolaEnBytesAUnFicheroYUnFalloDaUno) {
    Memoria consola, fichero, error;
    consola.es_consola = true;
    EXPECT_EQ(leer_ordenes(std::vector{"-n", "2", "--help"}, "9.9", consola, error).estado, 0);
    EXPECT_EQ(leer_ordenes(std::vector{"--version"}, "9.9", fichero, error).estado, 0);
    EXPECT_EQ(std::tuple(fichero.bytes_, consola.bytes_, error.bytes_),
              std::tuple("quatrelo 9.9\n", "", ""));
    // La ayuda entera pasa por UTF-16: acentos de un carácter, y dice qué niveles hay.
    for (const std::u16string_view texto :
         {u"[-V | --version]\n\nCuatro", u"que tiene que ser 1, 2 o 3",
          u"NO_COLOR (con un valor no vacío)", u"la versión\n"})
        EXPECT_NE(consola.utf16_.find(texto), std::u16string::npos) << "falta un texto";
    // Un carácter de fuera del plano básico, en dos mitades.
    EXPECT_EQ(consola::utf16("\xf0\x9f\x98\x80\xc3"), u"\xD83D\xDE00\u251C");
    // La salida llena (/dev/full): estado 1 y el motivo en el error.
    for (const char* opcion : {"-h", "-V"}) {
        Memoria llena, e;
        llena.lleno = true;
        EXPECT_EQ(leer_ordenes(std::vector{opcion}, "9.9", llena, e).estado, 1);
        EXPECT_EQ(e.bytes_, "quatrelo: no se puede escribir en la salida estándar\n");
    }
}
