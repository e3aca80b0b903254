// El terminal POSIX real: el único sitio del programa que toca el tty (entrada 0, salida 1), los
// ajustes del terminal y los manejadores de señales. Todo lo que necesita un manejador vive en
// variables estáticas de este fichero, porque una señal no sabe de objetos.
#include "consola/terminal_posix.h"

#include "consola/plataforma.h"
#include "consola/terminfo.h"

#include <fcntl.h>
#include <langinfo.h>
#include <poll.h>
#include <signal.h>
#include <strings.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <clocale>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <iterator>
#include <memory>
#include <optional>
#include <string>

namespace consola {

namespace {

constexpr char ENTRAR[] = "\x1b[22;0;0t\x1b[?1049h\x1b[?25l";
// Tras un SIGSTOP no se restauró nada: guardar el título otra vez apilaría el nuestro encima
// del original, y al salir volvería el nuestro.
constexpr char VOLVER[] = "\x1b[?1049h\x1b[?25l";
constexpr char SALIR[] = "\x1b[0m\x1b(B\x1b[?2026l\x1b[?25h\x1b[?1049l\x1b[23;0;0t";

// Ajustes con que se encontró el terminal y los de juego, para volver a ellos tras Ctrl+Z.
termios ajustes_originales{};
termios ajustes_crudos{};
volatile sig_atomic_t hay_tty = 0;
// El terminal está en modo de juego (crudo, pantalla alternativa): restaurar() tiene trabajo.
volatile sig_atomic_t activo = 0;
// Se restauró por una suspensión y hay que volver a entrar al continuar.
volatile sig_atomic_t suspendido = 0;
// Hay que repintarlo todo: cambió el tamaño o se volvió de una suspensión.
volatile sig_atomic_t repintar = 0;
volatile sig_atomic_t tubo_lectura = -1;
volatile sig_atomic_t tubo_escritura = -1;
// La última orden de título, para volver a ponerla al continuar tras Ctrl+Z: la restauración
// devolvió el título original. Un manejador solo puede mandar bytes ya preparados.
char titulo_guardado[512];
volatile sig_atomic_t titulo_largo = 0;

constexpr int SENALES_FIN[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};
constexpr int SENALES_PROPIAS[] = {SIGINT,  SIGTERM, SIGHUP,   SIGQUIT,
                                   SIGTSTP, SIGCONT, SIGWINCH, SIGPIPE};
constexpr int NUM_SENALES = sizeof(SENALES_PROPIAS) / sizeof(SENALES_PROPIAS[0]);
struct sigaction anteriores[NUM_SENALES];
bool instaladas = false;

void escribir_todo(const char* datos, std::size_t n) {
    while (n > 0) {
        const ssize_t r = ::write(STDOUT_FILENO, datos, n);
        if (r > 0) {
            datos += r;
            n -= static_cast<std::size_t>(r);
        } else if (r < 0 && errno == EINTR) {
            continue;
        } else if (r < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            pollfd p{STDOUT_FILENO, POLLOUT, 0};
            if (::poll(&p, 1, -1) < 0 && errno != EINTR) return;
        } else {
            return; // EPIPE, EIO: ya no hay nadie que lea; no hay nada que hacer
        }
    }
}

void deshacer(int cuando) {
    if (!activo) return;
    activo = 0;
    escribir_todo(SALIR, sizeof(SALIR) - 1);
    if (hay_tty) ::tcsetattr(STDIN_FILENO, cuando, &ajustes_originales);
}

void avisar_bucle() {
    const int fd = tubo_escritura;
    if (fd < 0) return;
    const char b = 1;
    // Si la tubería está llena ya hay un aviso pendiente: perder este no importa.
    [[maybe_unused]] const ssize_t r = ::write(fd, &b, 1);
}

// Mientras el proceso no sea el del primer plano, tocar el terminal lo pararía con SIGTTOU;
// se espera a que el intérprete lo traiga al frente (y mande otro SIGCONT).
bool en_primer_plano() {
    return !hay_tty || ::tcgetpgrp(STDIN_FILENO) == ::getpgrp();
}

void manejar_parada(int);

void instalar(int senal, void (*manejador)(int)) {
    struct sigaction accion {};
    accion.sa_handler = manejador;
    // Ninguna otra señal corta a un manejador a medias (un SIGTERM en mitad de la restauración
    // la dejaría sin acabar), salvo SIGCONT, que debe poder despertar al que se suspendió.
    sigfillset(&accion.sa_mask);
    sigdelset(&accion.sa_mask, SIGCONT);
    accion.sa_flags = SA_RESTART;
    ::sigaction(senal, &accion, nullptr);
}

void por_defecto(int senal) {
    struct sigaction accion {};
    accion.sa_handler = SIG_DFL;
    sigemptyset(&accion.sa_mask);
    ::sigaction(senal, &accion, nullptr);
}

void desbloquear(int senal) {
    sigset_t conjunto;
    sigemptyset(&conjunto);
    sigaddset(&conjunto, senal);
    ::sigprocmask(SIG_UNBLOCK, &conjunto, nullptr);
}

// Tras una suspensión: otra vez modo crudo, pantalla alternativa y cursor oculto. Lo que hubo
// en pantalla mientras tanto no se sabe, así que el bucle lo repinta entero.
void reentrar() {
    if (!suspendido || !en_primer_plano()) return;
    suspendido = 0;
    if (hay_tty) ::tcsetattr(STDIN_FILENO, TCSANOW, &ajustes_crudos);
    escribir_todo(ENTRAR, sizeof(ENTRAR) - 1);
    const int largo = titulo_largo;
    if (largo > 0) escribir_todo(titulo_guardado, static_cast<std::size_t>(largo));
    activo = 1;
    repintar = 1;
    avisar_bucle();
}

void manejar_fin(int senal) {
    deshacer(TCSANOW);
    // Morir por la misma señal, para que quien espera vea la causa de verdad (130, 143...).
    por_defecto(senal);
    desbloquear(senal);
    ::raise(senal);
}

void manejar_parada(int) {
    const int error_guardado = errno;
    if (activo) {
        deshacer(TCSANOW);
        suspendido = 1;
    }
    por_defecto(SIGTSTP);
    desbloquear(SIGTSTP);
    ::raise(SIGTSTP);
    // Aquí se sigue al continuar. SIGCONT quizá ya hizo la vuelta; reentrar() no la repite.
    reentrar();
    instalar(SIGTSTP, manejar_parada);
    errno = error_guardado;
}

void manejar_continuacion(int) {
    const int error_guardado = errno;
    if (suspendido) {
        reentrar();
    } else if (activo && en_primer_plano()) {
        // Parado con SIGSTOP, sin aviso: el intérprete pudo tocar los ajustes y la pantalla.
        if (hay_tty) ::tcsetattr(STDIN_FILENO, TCSANOW, &ajustes_crudos);
        escribir_todo(VOLVER, sizeof(VOLVER) - 1);
        repintar = 1;
        avisar_bucle();
    }
    errno = error_guardado;
}

void manejar_tamano(int) {
    const int error_guardado = errno;
    repintar = 1;
    avisar_bucle();
    errno = error_guardado;
}

long long ahora_ms() {
    timespec t{};
    ::clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<long long>(t.tv_sec) * 1000 + t.tv_nsec / 1000000;
}

} // namespace

Terminal::Terminal(Capacidades capacidades) : capacidades_(capacidades) {
    int tubo[2];
    if (::pipe2(tubo, O_NONBLOCK | O_CLOEXEC) == 0) {
        tubo_lectura = tubo[0];
        tubo_escritura = tubo[1];
    }
    suspendido = 0;
    repintar = 0;
    titulo_largo = 0;

    // Los manejadores van antes de tocar nada: una señal en mitad del arranque también tiene
    // que dejar el terminal como estaba.
    for (int i = 0; i < NUM_SENALES; ++i)
        ::sigaction(SENALES_PROPIAS[i], nullptr, &anteriores[i]);
    instaladas = true;
    for (int i = 0; i < NUM_SENALES; ++i) {
        const int senal = SENALES_PROPIAS[i];
        // Quien nos arrancó con la señal ignorada (nohup, un trabajo en segundo plano, un
        // intérprete sin control de trabajos para Ctrl+Z) quiere que siga ignorada.
        if (anteriores[i].sa_handler == SIG_IGN) continue;
        if (senal == SIGTSTP)
            instalar(senal, manejar_parada);
        else if (std::find(std::begin(SENALES_FIN), std::end(SENALES_FIN), senal) !=
                 std::end(SENALES_FIN))
            instalar(senal, manejar_fin);
    }
    instalar(SIGCONT, manejar_continuacion);
    instalar(SIGWINCH, manejar_tamano);
    // Con la salida en una tubería cerrada, write dará EPIPE en vez de matar el programa.
    instalar(SIGPIPE, SIG_IGN);

    if (::isatty(STDIN_FILENO) && ::tcgetattr(STDIN_FILENO, &ajustes_originales) == 0) {
        ajustes_crudos = ajustes_originales;
        // Como cfmakeraw, pero con ISIG: Ctrl+C y Ctrl+Z tienen que seguir funcionando.
        ajustes_crudos.c_iflag &= ~static_cast<tcflag_t>(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR |
                                                         IGNCR | ICRNL | IXON);
        ajustes_crudos.c_oflag &= ~static_cast<tcflag_t>(OPOST);
        ajustes_crudos.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHONL | ICANON | IEXTEN);
        ajustes_crudos.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB);
        ajustes_crudos.c_cflag |= CS8;
        ajustes_crudos.c_cc[VMIN] = 1;
        ajustes_crudos.c_cc[VTIME] = 0;
        hay_tty = 1;
    }
    // Activo antes de cambiar nada: desde aquí, una señal restaura lo guardado.
    activo = 1;
    // TCSANOW y no TCSAFLUSH: lo tecleado antes de arrancar no se pierde.
    if (hay_tty) ::tcsetattr(STDIN_FILENO, TCSANOW, &ajustes_crudos);
    escribir_todo(ENTRAR, sizeof(ENTRAR) - 1);

    // Por si alguien termina con exit() sin pasar por el destructor.
    static const bool registrado = std::atexit(&Terminal::restaurar) == 0;
    (void)registrado;
}

Terminal::~Terminal() {
    restaurar();
    if (instaladas) {
        for (int i = 0; i < NUM_SENALES; ++i)
            ::sigaction(SENALES_PROPIAS[i], &anteriores[i], nullptr);
        instaladas = false;
    }
    suspendido = 0;
    const int lectura = tubo_lectura, escritura = tubo_escritura;
    tubo_lectura = -1;
    tubo_escritura = -1;
    if (lectura >= 0) ::close(lectura);
    if (escritura >= 0) ::close(escritura);
    hay_tty = 0;
}

void Terminal::restaurar() {
    deshacer(TCSADRAIN);
}

Lectura Terminal::leer(int espera_ms) {
    if (terminado_) return Lectura{Suceso::fin, 0};
    if (pos_ < len_) return Lectura{Suceso::byte, buffer_[pos_++]};

    const long long limite = espera_ms >= 0 ? ahora_ms() + espera_ms : -1;
    for (;;) {
        int espera = -1;
        if (limite >= 0) espera = static_cast<int>(std::max(0LL, limite - ahora_ms()));

        pollfd fds[2] = {{STDIN_FILENO, POLLIN, 0}, {tubo_lectura, POLLIN, 0}};
        const int nfds = tubo_lectura >= 0 ? 2 : 1;
        const int r = ::poll(fds, static_cast<nfds_t>(nfds), espera);
        if (r < 0) {
            if (errno == EINTR) {
                // La señal pudo llegar antes de entrar en poll: el aviso está en la tubería,
                // pero mirar la bandera ahora ahorra una vuelta.
                if (repintar) {
                    repintar = 0;
                    vaciar_tubo();
                    return Lectura{Suceso::cambio_tamano, 0};
                }
                continue;
            }
            terminado_ = true;
            return Lectura{Suceso::fin, 0};
        }
        if (r == 0) return Lectura{Suceso::sin_datos, 0};

        if (nfds == 2 && (fds[1].revents & POLLIN)) {
            vaciar_tubo();
            if (repintar) {
                repintar = 0;
                return Lectura{Suceso::cambio_tamano, 0};
            }
        }
        if (fds[0].revents & POLLNVAL) {
            terminado_ = true;
            return Lectura{Suceso::fin, 0};
        }
        if (fds[0].revents & (POLLIN | POLLHUP | POLLERR)) {
            const ssize_t n = ::read(STDIN_FILENO, buffer_, sizeof(buffer_));
            if (n > 0) {
                len_ = static_cast<std::size_t>(n);
                pos_ = 1;
                return Lectura{Suceso::byte, buffer_[0]};
            }
            if (n < 0 && (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK)) continue;
            // 0 es fin de fichero; EIO, el terminal que se cerró.
            terminado_ = true;
            return Lectura{Suceso::fin, 0};
        }
    }
}

void Terminal::vaciar_tubo() {
    char basura[64];
    while (tubo_lectura >= 0 && ::read(tubo_lectura, basura, sizeof(basura)) > 0) {
    }
}

void Terminal::escribir(std::string_view bytes) {
    escribir_todo(bytes.data(), bytes.size());
}

Tamano Terminal::tamano() {
    for (int fd : {STDOUT_FILENO, STDIN_FILENO}) {
        winsize w{};
        if (::ioctl(fd, TIOCGWINSZ, &w) == 0 && w.ws_col > 0 && w.ws_row > 0)
            return Tamano{w.ws_col, w.ws_row};
    }
    return Tamano{80, 50};
}

std::int64_t Terminal::milisegundos() { return ahora_ms(); }

std::int64_t Terminal::segundos() {
    return static_cast<std::int64_t>(::time(nullptr));
}

void Terminal::dormir(int ms) {
    if (ms <= 0) return;
    timespec falta{ms / 1000, static_cast<long>(ms % 1000) * 1000000L};
    while (::nanosleep(&falta, &falta) != 0 && errno == EINTR) {
    }
}

void Terminal::titulo(std::string_view texto) {
    std::string orden = "\x1b]0;";
    for (std::size_t i = 0; i < texto.size(); ++i) {
        const auto b = static_cast<unsigned char>(texto[i]);
        if (b < 0x20 || b == 0x7F) continue;
        // Los controles C1 en UTF-8 (U+0080-U+009F): U+009C cerraría la orden antes de tiempo.
        if (b == 0xC2 && i + 1 < texto.size() && static_cast<unsigned char>(texto[i + 1]) < 0xA0 &&
            static_cast<unsigned char>(texto[i + 1]) >= 0x80) {
            ++i;
            continue;
        }
        orden.push_back(static_cast<char>(b));
    }
    orden.push_back('\a');
    // Mientras se copia, un manejador no debe ver la mitad: largo 0 mientras tanto.
    titulo_largo = 0;
    if (orden.size() <= sizeof(titulo_guardado)) {
        std::memcpy(titulo_guardado, orden.data(), orden.size());
        titulo_largo = static_cast<sig_atomic_t>(orden.size());
    }
    escribir(orden);
}

Apertura abrir_terminal() {
    Apertura a;
    const std::optional<Capacidades> capacidades = capacidades_del_terminal(a.error);
    if (capacidades) a.dispositivo = std::make_unique<Terminal>(*capacidades);
    return a;
}

std::string directorio_del_ejecutable(const char* argv0) {
    // Sin /proc, que no es POSIX: la ruta con que se llamó, o la que da PATH si no lleva barra.
    if (argv0 == nullptr || argv0[0] == '\0') return "";
    std::string ruta = argv0;
    if (ruta.find('/') == std::string::npos) {
        const char* path = std::getenv("PATH");
        std::string resto = path != nullptr ? path : "";
        ruta.clear();
        for (std::size_t i = 0; i <= resto.size();) {
            std::size_t fin = resto.find(':', i);
            if (fin == std::string::npos) fin = resto.size();
            const std::string dir = fin > i ? resto.substr(i, fin - i) : ".";
            const std::string candidata = dir + "/" + argv0;
            if (::access(candidata.c_str(), X_OK) == 0) {
                ruta = candidata;
                break;
            }
            i = fin + 1;
        }
    }
    char real[PATH_MAX];
    if (ruta.empty() || ::realpath(ruta.c_str(), real) == nullptr) return "";
    std::string r = real;
    return r.substr(0, r.rfind('/'));
}

} // namespace consola
