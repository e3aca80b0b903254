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
        {{"-n", "3", "--nivel"}, 0, "falta el nivel tras «--nivel»: tiene que ser 1, 2 o 3"},
        {{"--nivelx"}, 0, "no entiendo «--nivelx»"},
        {{"\x1b]0;PWNED\a\x1b[?1049h"}, 0, "no entiendo «\\e]0;PWNED\\x07\\e[?1049h»"},
        {{"-n\xc2\x9b\xff\x7f\n\xc3\xb1\\e\xe2\x82"},
         0,
         "el nivel tiene que ser 1, 2 o 3, no «\\x9b\\xff\\x7f\\x0añ\\\\e\\xe2\\x82»"},
    };
    for (const auto& c : casos) {
        Memoria salida, error;
        const Ordenes o = leer_ordenes(c.argumentos, "9.9", salida, error);
        const std::string esperado =
            c.error.empty()
                ? ""
                : "quatrelo: " + c.error +
                      "\nUso: quatrelo [-n N | --nivel=N] [-h | --help] [-V | --version]\n";
        EXPECT_EQ(std::tuple(o.jugar, o.nivel, o.estado, salida.bytes_, error.bytes_),
                  std::tuple(c.nivel > 0, c.nivel, c.nivel > 0 ? 0 : 2, "", esperado))
            << c.error;
    }
}

// Lo que se lee en la consola y en un fichero lo comprueba tests/windows/probar_con_wine.sh.
TEST(Ordenes, UTF16AUnaConsolaBytesAUnFicheroYUnaSalidaLlenaDaUno) {
    Memoria consola, fichero, llena, error;
    consola.es_consola = true;
    llena.lleno = true;
    for (Memoria* m : {&consola, &fichero})
        EXPECT_EQ(leer_ordenes(std::vector{"-nV", "-V"}, "9.9", *m, *m).estado, 2);
    EXPECT_EQ(leer_ordenes(std::vector{"-n2", "--help"}, "9.9", llena, error).estado, 1);
    EXPECT_EQ(leer_ordenes(std::vector{"--version"}, "ñ😀", consola, error).estado, 0);
    EXPECT_EQ(consola.utf16_.substr(consola.utf16_.size() - 13), u"quatrelo ñ\xD83D\xDE00\n");
    EXPECT_TRUE(fichero.bytes_.starts_with("quatrelo: el nivel tiene que ser 1, 2 o 3, no «V»\n"));
    EXPECT_EQ(consola.bytes_, "");
    EXPECT_EQ(fichero.utf16_, u"");
    EXPECT_EQ(error.bytes_, "quatrelo: no se puede escribir en la salida estándar\n");
}
