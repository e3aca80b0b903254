// La prueba al azar: cientos de guiones de teclas sembrados (std::mt19937 con semillas fijas, sin
// reloj) que juegan desde el arranque partidas enteras, y miles de cadenas de bytes para el
// teclado y la entrada por líneas. Lo que debe cumplirse es lo mismo que vigila el fuzzing, en
// fuzz/recorridos.h. Toca la consola de cada Escenario y un directorio temporal propio.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <string_view>

#include "../fuzz/recorridos.h"
#include "apoyo.h"
#include "lib_funciones.h"

namespace {

class Azar {
  public:
    explicit Azar(unsigned semilla) : gen_(semilla) {}
    int hasta(int n) { return std::uniform_int_distribution<int>(0, n - 1)(gen_); }
    template <typename T, std::size_t N> const T& uno_de(const T (&lista)[N]) {
        return lista[static_cast<std::size_t>(hasta(static_cast<int>(N)))];
    }
    char byte() { return static_cast<char>(hasta(256)); }

  private:
    std::mt19937 gen_;
};

// Un nombre repetido (ana) para el aviso de nombre existente y uno de más de 49 bytes.
const std::string NOMBRES[] = {"ana", "luis", "eva", "ñandú", "x", "ana", std::string(58, 'z')};
constexpr const char* NO_ASCII[] = {"ñ", "é", "€", "¡", "𝄞", "Ç"};
constexpr const char* RARAS[] = {"\x1b[15~", "\x1bOP", "\x1b[H", "\x1b[3~",     "\x1bOB",
                                 "\t",       "\x03",   "\n",     "\x1b[<0;3;4M"};
constexpr consola::Tamano TAMANOS[] = {{80, 50}, {80, 50}, {100, 60}, {80, 24}, {30, 10}};

// Un guion con peso en las teclas que hacen avanzar el juego: Intro, cifras de columna, flechas
// del menú, s y n. `visto` lo cuenta legible, para el mensaje de un fallo.
void guion_al_azar(Azar& azar, Escenario& e, std::string& visto) {
    auto tecla = [&](std::string_view bytes) {
        e.teclear(bytes);
        visto += recorridos::a_la_vista(bytes);
    };
    const int inicio = azar.hasta(8);
    if (inicio == 0) {
        // Al azar casi nunca se llena el tablero: a veces se empieza con unas tablas conocidas
        // entre dos jugadores (valen empiece quien empiece).
        tecla("\r\rana\rluis\r ");
        tecla("545062455041104565311226266362030334314210");
    } else if (inicio < 4) {
        // Derecho a una opción del menú, para que todas salgan a menudo.
        tecla("\r");
        for (int k = azar.hasta(4); k > 0; --k)
            tecla("\x1b[B");
        tecla("\r");
    }
    for (int i = 30 + azar.hasta(200); i > 0; --i) {
        const int r = azar.hasta(100);
        if (r < 14) {
            tecla("\r");
        } else if (r < 50) {
            tecla(std::string(1, static_cast<char>('0' + azar.hasta(7))));
        } else if (r < 60) {
            tecla(azar.hasta(2) ? "\x1b[B" : "\x1b[A");
        } else if (r < 68) {
            tecla(std::string(1, "snSN"[azar.hasta(4)]));
        } else if (r < 72) {
            e.teclear("\x1b"); // Escenario pone detrás el silencio que la hace Escape sola
            visto += "<Escape>";
        } else if (r < 78) {
            tecla(std::string(1, static_cast<char>('a' + azar.hasta(26))));
        } else if (r < 83) {
            tecla(azar.uno_de(NOMBRES) + "\r");
        } else if (r < 86) {
            tecla(" ");
        } else if (r < 88) {
            tecla("\x7f");
        } else if (r < 90) {
            tecla(std::string(1, static_cast<char>('7' + azar.hasta(3))));
        } else if (r < 93) {
            tecla(azar.uno_de(NO_ASCII));
        } else if (r < 96) {
            tecla(azar.uno_de(RARAS));
        } else if (r < 99) {
            tecla(std::string(1, azar.byte()));
        } else {
            const consola::Tamano t = azar.uno_de(TAMANOS);
            e.dispositivo.cambiar_tamano(t);
            visto += "<" + std::to_string(t.columnas) + "x" + std::to_string(t.filas) + ">";
        }
    }
}

// Bytes para el teclado: sobre todo piezas de secuencias (ESC, [, O, parámetros, finales),
// principios y continuaciones de UTF-8, controles y silencios (0xFF 0x00).
std::string bytes_de_teclado(Azar& azar) {
    constexpr const char* PIEZAS[] = {
        "\x1b", "\x1b", "[",    "O",    ";",    "1",    "5",    "~",    "A",    "D",    "H",
        "P",    "M",    "<",    "?",    "a",    "Z",    " ",    "\r",   "\x7f", "\x08", "\xc3",
        "\xe2", "\xf0", "\xf4", "\xed", "\xe0", "\xc0", "\x80", "\xa9", "\xbf", "\x9f", "\xff\xff"};
    std::string bytes;
    for (int n = 1 + azar.hasta(48); n > 0; --n) {
        const int r = azar.hasta(10);
        if (r == 0)
            bytes += std::string("\xff\x00", 2);
        else if (r == 1)
            bytes += azar.byte();
        else
            bytes += azar.uno_de(PIEZAS);
    }
    return bytes;
}

// Bytes para la entrada por líneas (ver recorrido_entrada): la mitad de los bytes al azar y la
// otra mitad letras, espacios, Intro (0xF0) y Retroceso (0xF8), para que haya palabras.
std::string bytes_de_entrada(Azar& azar) {
    constexpr char COMUNES[] = {' ', 'a', 'b', 'z', '\t', '\xf0', '\xf0', '\xf8', '\x02', '\x00'};
    std::string bytes;
    for (int n = 2 + azar.hasta(120); n > 0; --n)
        bytes += azar.hasta(2) ? azar.byte() : azar.uno_de(COMUNES);
    return bytes;
}

} // namespace

TEST(Azar, PartidasEnterasConGuionesAlAzar) {
    const recorridos::DirectorioDeInstrucciones instrucciones;
    const recorridos::DirectorioActual aqui(instrucciones.ruta());
    constexpr unsigned GUIONES = 200;
    int con_tablero = 0, acabadas = 0, volvieron = 0;
    for (unsigned semilla = 1; semilla <= GUIONES; ++semilla) {
        Azar azar(semilla);
        consola::Capacidades capacidades;
        capacidades.utf8 = azar.hasta(4) != 0;
        capacidades.cajas = static_cast<consola::Cajas>(azar.hasta(3));
        capacidades.colores = azar.hasta(4) != 0 ? 16 : 0;
        Escenario e({}, capacidades);
        e.dispositivo.reloj_base += azar.hasta(64); // quién empieza y qué sortea el ordenador
        std::string visto;
        guion_al_azar(azar, e, visto);
        e.ejecutar([] {
            arranque();
            menu_ppal();
        });
        ASSERT_EQ(recorridos::fallo_en_pantalla(e.consola.pantalla(), e.volvio), "")
            << "semilla " << semilla << ", guion: " << visto << "\n"
            << e.todo();
        con_tablero += recorridos::aviso_de_jugada(e.consola.pantalla());
        acabadas += e.contiene("Desea volver a jugar");
        volvieron += e.volvio;
    }
    // Si los guiones dejaran de llegar a las partidas, la prueba no vigilaría nada.
    EXPECT_GT(con_tablero, static_cast<int>(GUIONES) / 5);
    EXPECT_GT(acabadas, 5);
    EXPECT_GT(volvieron, 2);
}

TEST(Azar, TecladoConBytesAlAzar) {
    for (unsigned semilla = 1; semilla <= 4000; ++semilla) {
        Azar azar(semilla);
        const std::string bytes = bytes_de_teclado(azar);
        ASSERT_EQ(recorridos::recorrido_teclado(bytes), "")
            << "semilla " << semilla << ", bytes: " << recorridos::a_la_vista(bytes);
    }
}

TEST(Azar, EntradaConBytesAlAzar) {
    for (unsigned semilla = 1; semilla <= 4000; ++semilla) {
        Azar azar(semilla);
        const std::string bytes = bytes_de_entrada(azar);
        ASSERT_EQ(recorridos::recorrido_entrada(bytes), "")
            << "semilla " << semilla << ", bytes: " << recorridos::a_la_vista(bytes);
    }
}
