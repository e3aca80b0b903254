// El terminal POSIX manejado por un pseudoterminal: cómo lo toma y cómo lo devuelve (bytes
// escritos, lo tecleado y no leído, señales ignoradas) y el cambio de tamaño, que despierta a la
// lectura; que los ajustes vuelvan como estaban tras cada salida lo prueba prueba_bordes.sh. Nada
// espera un tiempo: cada lectura del otro extremo acaba en una marca que se manda detrás de lo
// que se quiere ver. Y lo que se decide de terminfo, que solo existe en POSIX.
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

#include <filesystem>
#include <iostream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>

#include "consola/terminal_posix.h"
#include "consola/terminfo.h"

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

TEST(Terminal, LoTomaEnCrudoDespiertaConElTamanoYLoDevuelveExacto) {
    const std::string al_salir = "\x18\x1b[0m\x1b(B\x1b[?2026l\x1b[?25h";
    // trap '' INT; exec quatrelo: quien lo lanzó no quiere que Ctrl+C lo mate, y atenderla lo
    // mataría igual. Lo mismo con las de tiempo real; donde no las hay (macOS), con nohup.
#ifdef SIGRTMIN
    const int ignoradas[] = {SIGINT, SIGRTMIN};
#else
    const int ignoradas[] = {SIGINT, SIGHUP};
#endif
    void (*antes_de_ignorar[2])(int){};
    for (int i = 0; i < 2; ++i)
        antes_de_ignorar[i] = ::signal(ignoradas[i], SIG_IGN);
    for (const bool alternativa : {true, false}) {
        SCOPED_TRACE(alternativa ? "con pantalla alternativa" : "sin pantalla alternativa");
        Pty p;
        {
            Terminal t(p.esclavo, p.esclavo, Capacidades{.pantalla_alternativa = alternativa});
            termios crudo{};
            EXPECT_EQ(::tcgetattr(p.esclavo, &crudo), 0);
            EXPECT_EQ(std::tuple(crudo.c_lflag & (ICANON | ECHO | IEXTEN | ISIG),
                                 crudo.c_iflag & (ICRNL | IXON | ISTRIP), crudo.c_oflag & OPOST,
                                 crudo.c_cc[VMIN], crudo.c_cc[VTIME]),
                      std::tuple(tcflag_t{ISIG}, tcflag_t{0}, tcflag_t{0}, cc_t{1}, cc_t{0}));
            // signal() devuelve el que había y pone SIG_IGN: si ya estaba, no cambia nada.
            for (const int senal : ignoradas)
                EXPECT_EQ(::signal(senal, SIG_IGN), SIG_IGN) << senal;
            t.titulo("Quatrelo\x1b[2J\u009c");
            t.escribir("x"); // el título sale con lo primero que se escribe
            EXPECT_EQ(p.pantalla(), std::string("\x1b[22;0;0t") +
                                        (alternativa ? "\x1b[?1049h" : "") +
                                        "\x1b[?25l\x1b]0;Quatrelo[2J\ax");
            // El cambio de tamaño despierta a la lectura. Con una tecla ya esperando: si la señal
            // no avisa a la lectura, saldría la z primero.
            winsize w{40, 100, 0, 0}; // filas, columnas y píxeles
            ASSERT_EQ(::ioctl(p.maestro, TIOCSWINSZ, &w), 0);
            p.teclear("z");
            ::raise(SIGWINCH);
            EXPECT_EQ(t.leer(-1).suceso, Suceso::cambio_tamano);
            EXPECT_EQ(t.tamano(), (Tamano{100, 40}));
            EXPECT_EQ(t.leer(-1).byte, 'z');
            // Un terminal que no sabe su tamaño dice 0x0: entonces, el de las pantallas.
            w = winsize{};
            ASSERT_EQ(::ioctl(p.maestro, TIOCSWINSZ, &w), 0);
            EXPECT_EQ(t.tamano(), (Tamano{80, 50}));
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
        ::signal(ignoradas[i], antes_de_ignorar[i]);
}

TEST(Terminfo, CapacidadesSegunLaDescripcion) {
    // Las cadenas de xterm-256color, como las da terminfo con unos valores de muestra.
    DescripcionTerminal xterm{{}, 256, true};
    std::istringstream pares(
        "cup=\x1b[5;10H el=\x1b[K ed=\x1b[J ech=\x1b[7X rep=x\x1b[6b cuu=\x1b[7A cud=\x1b[7B "
        "cuf=\x1b[7C cub=\x1b[7D cr=\r cud1=\n cub1=\b smcup=\x1b[?1049h rmcup=\x1b[?1049l "
        "acsc=``qqxxllkkmmjj smacs=\x1b(0 rmacs=\x1b(B setaf1=\x1b[31m setab1=\x1b[41m "
        "setaf9=\x1b[91m setab9=\x1b[101m");
    for (std::string par; std::getline(pares, par, ' ');)
        xterm.cadenas[par.substr(0, par.find('='))] = par.substr(par.find('=') + 1);
    auto tupla = [](std::optional<Capacidades> c) {
        return std::tuple(c->colores, c->bce, c->borrar_pantalla, c->borrar_linea,
                          c->borrar_caracteres, c->repetir, c->mover_relativo, c->mover_basico,
                          c->pantalla_alternativa);
    };
    EXPECT_EQ(tupla(decidir_capacidades(xterm, {})),
              std::tuple(16, true, true, true, true, true, true, true, true));
    // Sin ECH, CUF ni pantalla alternativa; REP y smacs de otra forma; 8 colores.
    DescripcionTerminal otro = xterm;
    for (const char* n : {"ech", "cuf", "smcup", "setaf9"})
        otro.cadenas.erase(n);
    otro.cadenas["rep"] = "xxxxxxx";
    otro.cadenas["smacs"] = "\x0e";
    otro.bce = false;
    EXPECT_EQ(tupla(decidir_capacidades(otro, {})),
              std::tuple(8, false, true, true, false, false, false, true, false));
    EXPECT_EQ(std::tuple(decidir_capacidades(xterm, {.utf8 = false})->cajas,
                         decidir_capacidades(otro, {.utf8 = false})->cajas,
                         decidir_capacidades(xterm, {.sin_color = true})->colores,
                         decidir_capacidades(xterm, {.ssh = true})->espera_escape_ms),
              std::tuple(Cajas::dec, Cajas::ascii, 0, 100));
    // Ocho colores que no se piden como en ANSI: mejor sin colores que con secuencias ajenas.
    DescripcionTerminal sin_ansi = otro;
    sin_ansi.cadenas["setaf1"] = "\x1b" "G1";
    EXPECT_EQ(decidir_capacidades(sin_ansi, {})->colores, 0);
    otro.colores = 2;
    otro.cadenas["cup"] = "\x1bY$)"; // el CUP de un VT52, que no es el nuestro
    EXPECT_FALSE(decidir_capacidades(otro, {}));
}

// Cada terminal de la base de datos de terminfo del sistema pasa por la decisión de capacidades.
// Los que no sirven se listan con su motivo (en la salida de la prueba). Falla si a una cadena
// le queda una marca de retardo: con ella, un terminal que sabe colocar el cursor (vt100) se
// rechazaría, o perdería una capacidad, por algo que no es parte de la secuencia.
TEST(Terminfo, CadaTerminalDeLaBaseDeDatos) {
    // Un fichero por terminal, en un directorio por inicial (en macOS, por su código en
    // hexadecimal). Donde la base de datos es un único fichero hash (algunos BSD), ninguno.
    std::set<std::string> nombres;
    std::error_code error;
    for (const char* directorio : {"/etc/terminfo", "/lib/terminfo", "/usr/share/terminfo",
                                   "/usr/lib/terminfo", "/usr/local/share/terminfo"})
        for (const auto& inicial : std::filesystem::directory_iterator(directorio, error))
            for (const auto& entrada : std::filesystem::directory_iterator(inicial.path(), error))
                nombres.insert(entrada.path().filename());
    if (nombres.empty()) GTEST_SKIP() << "no hay una base de datos de terminfo en directorios";
    const std::regex retardo(R"(\$<[0-9.]*[*/]*>)");
    std::map<std::string, std::string> rechazados; // motivo -> terminales
    for (const std::string& nombre : nombres) {
        std::string motivo;
        const std::optional<DescripcionTerminal> d = describir_terminal(nombre, motivo);
        for (const auto& [capacidad, cadena] : d ? d->cadenas : DescripcionTerminal{}.cadenas)
            EXPECT_FALSE(std::regex_search(cadena, retardo)) << nombre << " " << capacidad;
        if (d && decidir_capacidades(*d, {})) continue;
        if (d)
            motivo = d->cadenas.contains("cup")
                         ? "su cup es " + ::testing::PrintToString(d->cadenas.at("cup"))
                         : "no tiene cup";
        rechazados[motivo] += " " + nombre;
    }
    std::cout << nombres.size() << " terminales; no sirven:\n";
    for (const auto& [motivo, cuales] : rechazados)
        std::cout << "  " << motivo << ":" << cuales << "\n";
}
