// El terminal POSIX manejado por un pseudoterminal: cómo lo toma y cómo lo devuelve (bytes
// escritos, lo tecleado y no leído, señales ignoradas) y el cambio de tamaño, que despierta a la
// lectura; que los ajustes vuelvan como estaban tras cada salida lo prueba prueba_bordes.sh. Nada
// espera un tiempo: cada lectura del otro extremo acaba en una marca que se manda detrás de lo
// que se quiere ver.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/select.h>
#include <termios.h>
#include <unistd.h>

#if __has_include(<pty.h>)
#include <pty.h> // Linux
#elif __has_include(<util.h>)
#include <util.h> // macOS, OpenBSD, NetBSD
#else
#include <libutil.h> // FreeBSD, DragonFly
#endif

#include <cerrno>
#include <string>

#include "consola/terminal_posix.h"

using namespace consola;

namespace {

// El esclavo es el terminal del juego; el maestro, el usuario que teclea y mira.
struct Pty {
    int maestro = -1, esclavo = -1;
    Pty() { EXPECT_EQ(::openpty(&maestro, &esclavo, nullptr, nullptr, nullptr), 0); }
    ~Pty() {
        if (maestro >= 0) ::close(maestro);
        ::close(esclavo);
    }
    void teclear(const std::string& bytes) {
        ASSERT_EQ(::write(maestro, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
        // Hasta que el esclavo lo tenga: si no, el juego podría salir antes de que llegue.
        fd_set listos;
        FD_ZERO(&listos);
        FD_SET(esclavo, &listos);
        ASSERT_EQ(::select(esclavo + 1, &listos, nullptr, nullptr, nullptr), 1);
    }
    // Lo escrito por el juego hasta ahora: todo lo que llega antes de una marca puesta detrás.
    std::string pantalla() {
        EXPECT_EQ(::write(esclavo, "#", 1), 1);
        std::string bytes;
        char c = 0;
        while (::read(maestro, &c, 1) == 1 && c != '#')
            bytes += c;
        return bytes;
    }
};

} // namespace

TEST(Terminal, LoTomaEnCrudoYLoDevuelveExactoSinLoTecleado) {
    const std::string al_salir = "\x18\x1b[0m\x1b(B\x1b[?2026l\x1b[?25h";
    // trap '' INT; exec quatrelo: quien lo lanzó no quiere que Ctrl+C lo mate, y atenderla lo
    // mataría igual. Lo mismo con las de tiempo real; donde no las hay (macOS), con nohup.
#ifdef SIGRTMIN
    const int ignoradas[] = {SIGINT, SIGRTMIN};
#else
    const int ignoradas[] = {SIGINT, SIGHUP};
#endif
    struct sigaction ignorar {};
    ignorar.sa_handler = SIG_IGN;
    struct sigaction antes_de_ignorar[2]{};
    for (int i = 0; i < 2; ++i)
        ::sigaction(ignoradas[i], &ignorar, &antes_de_ignorar[i]);
    for (const bool alternativa : {true, false}) {
        SCOPED_TRACE(alternativa ? "con pantalla alternativa" : "sin pantalla alternativa");
        Pty p;
        Capacidades capacidades;
        capacidades.pantalla_alternativa = alternativa;
        {
            Terminal t(p.esclavo, p.esclavo, capacidades);
            termios crudo{};
            EXPECT_EQ(::tcgetattr(p.esclavo, &crudo), 0);
            EXPECT_EQ(crudo.c_lflag & (ICANON | ECHO | IEXTEN | ISIG), tcflag_t{ISIG});
            EXPECT_EQ(crudo.c_iflag & (ICRNL | IXON | ISTRIP), 0u);
            EXPECT_EQ(crudo.c_oflag & OPOST, 0u);
            EXPECT_EQ(crudo.c_cc[VMIN], 1);
            EXPECT_EQ(crudo.c_cc[VTIME], 0);
            for (const int senal : ignoradas) {
                struct sigaction ahora {};
                ::sigaction(senal, nullptr, &ahora);
                EXPECT_EQ(ahora.sa_handler, SIG_IGN) << senal;
            }
            t.titulo("Quatrelo\x1b[2J\u009c");
            t.escribir("x"); // el título sale con lo primero que se escribe
            EXPECT_EQ(p.pantalla(), std::string("\x1b[22;0;0t") +
                                        (alternativa ? "\x1b[?1049h" : "") +
                                        "\x1b[?25l\x1b]0;Quatrelo[2J\ax");
            // Tecleado para el juego y sin leer: en el intérprete se ejecutaría.
            p.teclear("echo LEAK\r");
        }
        EXPECT_EQ(p.pantalla(),
                  al_salir + (alternativa ? "\x1b[?1049l" : "\x1b[999;1H\r\n") + "\x1b[23;0;0t");
        ::fcntl(p.esclavo, F_SETFL, O_NONBLOCK);
        char c = 0;
        EXPECT_EQ(::read(p.esclavo, &c, 1), -1) << "quedó «" << c << "» para el intérprete";
    }
    for (int i = 0; i < 2; ++i)
        ::sigaction(ignoradas[i], &antes_de_ignorar[i], nullptr);
}

TEST(Terminal, ElCambioDeTamanoDespiertaLaLectura) {
    Pty p;
    Terminal t(p.esclavo, p.esclavo, Capacidades{});
    winsize w{};
    w.ws_row = 40;
    w.ws_col = 100;
    ASSERT_EQ(::ioctl(p.maestro, TIOCSWINSZ, &w), 0);
    // Con una tecla ya esperando: si la señal no avisa a la lectura, saldría la z primero.
    p.teclear("z");
    ::raise(SIGWINCH);
    EXPECT_EQ(t.leer(-1).suceso, Suceso::cambio_tamano);
    EXPECT_EQ(t.tamano(), (Tamano{100, 40}));
    EXPECT_EQ(t.leer(-1).byte, 'z');
    // Un terminal que no sabe su tamaño dice 0x0: entonces, el de las pantallas.
    w.ws_row = w.ws_col = 0;
    ASSERT_EQ(::ioctl(p.maestro, TIOCSWINSZ, &w), 0);
    EXPECT_EQ(t.tamano(), (Tamano{80, 50}));
}
