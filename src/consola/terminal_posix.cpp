// El terminal POSIX real: el único sitio del programa que toca el tty, los ajustes del terminal
// y los manejadores de señales. Todo lo que necesita un manejador (los descriptores incluidos)
// vive en variables estáticas de este fichero, porque una señal no sabe de objetos. Solo
// llamadas POSIX: nada de pipe2, /proc ni extensiones de glibc.
#include "consola/terminal_posix.h"

#include "consola/plataforma.h"
#include "consola/terminfo.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/select.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>
#include <optional>
#include <string>

namespace consola {

namespace {

constexpr char GUARDAR_TITULO[] = "\x1b[22;0;0t";
constexpr char ALTERNATIVA[] = "\x1b[?1049h";
constexpr char OCULTAR_CURSOR[] = "\x1b[?25l";
// CAN primero: una señal puede llegar con una secuencia a medio mandar (un título, un color), y
// sin cancelarla el terminal se tragaría lo que sigue como parte de ella.
constexpr char SALIR[] = "\x18\x1b[0m\x1b(B\x1b[?2026l\x1b[?25h";
constexpr char DEJAR_ALTERNATIVA[] = "\x1b[?1049l";
// Sin pantalla alternativa el dibujo del juego se queda en la pantalla: el intérprete sigue
// debajo, en la última fila, y no encima del tablero.
constexpr char IR_ABAJO[] = "\x1b[999;1H\r\n";
constexpr char DEVOLVER_TITULO[] = "\x1b[23;0;0t";

volatile sig_atomic_t fd_entrada = -1;
volatile sig_atomic_t fd_salida = -1;
volatile sig_atomic_t con_alternativa = 1;
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

// Las señales cuya acción por defecto acaba con el proceso (menos SIGKILL, que no se puede
// atender). Las de los fallos van al final: con ellas el proceso puede estar roto, pero
// restaurar solo usa llamadas seguras en un manejador y merece la pena intentarlo.
constexpr int SENALES_MORTALES[] = {SIGINT,    SIGTERM, SIGHUP,  SIGQUIT, SIGUSR1, SIGUSR2, SIGALRM,
                                    SIGVTALRM, SIGPROF, SIGXCPU, SIGXFSZ, SIGPIPE, SIGTRAP, SIGSYS,
#ifdef SIGPOLL
                                    SIGPOLL,
#endif
#ifdef SIGSTKFLT
                                    SIGSTKFLT,
#endif
#ifdef SIGPWR
                                    SIGPWR,
#endif
#ifdef SIGLOST
                                    SIGLOST,
#endif
#ifdef SIGEMT
                                    SIGEMT,
#endif
                                    SIGSEGV,   SIGBUS,  SIGFPE,  SIGILL,  SIGABRT};

// Cada señal atendida con lo que había antes, para devolverlo al acabar y para morir como se
// habría muerto sin nosotros (lo normal, la acción por defecto; con un sanitizer, el suyo).
struct Atendida {
    int senal;
    struct sigaction anterior;
};
constexpr int MAX_ATENDIDAS = 128;
Atendida atendidas[MAX_ATENDIDAS];
volatile sig_atomic_t num_atendidas = 0;

void escribir_todo(const char* datos, std::size_t n) {
    const int fd = fd_salida;
    while (n > 0) {
        const ssize_t r = ::write(fd, datos, n);
        if (r > 0) {
            datos += r;
            n -= static_cast<std::size_t>(r);
        } else if (r < 0 && errno == EINTR) {
            continue;
        } else if (r < 0 && (errno == EAGAIN || errno == EWOULDBLOCK) && fd < FD_SETSIZE) {
            // Alguien dejó el terminal sin bloqueo: se espera a que admita más.
            fd_set admite;
            FD_ZERO(&admite);
            FD_SET(fd, &admite);
            if (::select(fd + 1, nullptr, &admite, nullptr, nullptr) < 0 && errno != EINTR) return;
        } else {
            return; // EPIPE, EIO: ya no hay nadie que lea; no hay nada que hacer
        }
    }
}

// Varias órdenes que salen en un solo write: cada trozo por separado sería una llamada más y un
// terminal podría pintar entre uno y otro. Sin memoria dinámica: sirve en un manejador.
struct Tanda {
    char bytes[64 + sizeof(titulo_guardado)];
    std::size_t largo = 0;

    void poner(const char* datos, std::size_t n) {
        n = std::min(n, sizeof(bytes) - largo);
        std::memcpy(bytes + largo, datos, n);
        largo += n;
    }
    template <std::size_t N> void poner(const char (&texto)[N]) { poner(texto, N - 1); }
    void mandar() const { escribir_todo(bytes, largo); }
};

// Pantalla alternativa (si la hay) y cursor oculto; al arrancar o al volver de una suspensión,
// guardando antes el título del usuario y poniendo después el nuestro si ya lo hay.
void entrar(bool guardar_titulo) {
    Tanda tanda;
    if (guardar_titulo) tanda.poner(GUARDAR_TITULO);
    if (con_alternativa) tanda.poner(ALTERNATIVA);
    tanda.poner(OCULTAR_CURSOR);
    const int largo = titulo_largo;
    if (guardar_titulo && largo > 0) tanda.poner(titulo_guardado, static_cast<std::size_t>(largo));
    tanda.mandar();
}

// Deja el terminal como se encontró. Dentro de un manejador no se espera a que salga lo escrito
// (un terminal atascado colgaría la muerte del proceso); fuera, sí. En los dos casos se tira lo
// tecleado y no leído: era para el juego, y en el intérprete se ejecutaría.
void deshacer(bool en_manejador) {
    if (!activo) return;
    activo = 0;
    Tanda tanda;
    tanda.poner(SALIR);
    if (con_alternativa)
        tanda.poner(DEJAR_ALTERNATIVA);
    else
        tanda.poner(IR_ABAJO);
    tanda.poner(DEVOLVER_TITULO);
    tanda.mandar();
    if (!hay_tty) return;
    if (en_manejador) {
        ::tcsetattr(fd_entrada, TCSANOW, &ajustes_originales);
        ::tcflush(fd_entrada, TCIFLUSH);
    } else {
        ::tcsetattr(fd_entrada, TCSAFLUSH, &ajustes_originales);
    }
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
    return !hay_tty || ::tcgetpgrp(fd_entrada) == ::getpgrp();
}

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

// Apunta la señal con lo que tenía antes; falso si ya estaba apuntada (en algunos sistemas dos
// nombres son la misma señal, y la segunda lectura daría nuestro propio manejador).
bool apuntar(int senal) {
    const int n = num_atendidas;
    for (int i = 0; i < n; ++i)
        if (atendidas[i].senal == senal) return false;
    if (n == MAX_ATENDIDAS) return false;
    atendidas[n].senal = senal;
    if (::sigaction(senal, nullptr, &atendidas[n].anterior) != 0) return false;
    num_atendidas = n + 1;
    return true;
}

const struct sigaction* anterior_de(int senal) {
    const int n = num_atendidas;
    for (int i = 0; i < n; ++i)
        if (atendidas[i].senal == senal) return &atendidas[i].anterior;
    return nullptr;
}

bool heredada_ignorada(int senal) {
    const struct sigaction* anterior = anterior_de(senal);
    return anterior != nullptr && !(anterior->sa_flags & SA_SIGINFO) &&
           anterior->sa_handler == SIG_IGN;
}

// Tras una suspensión: otra vez modo crudo, pantalla alternativa y cursor oculto. Lo que hubo
// en pantalla mientras tanto no se sabe, así que el bucle lo repinta entero. Sin TCSAFLUSH: lo
// tecleado tras el fg ya es para el juego.
void reentrar() {
    if (!suspendido || !en_primer_plano()) return;
    suspendido = 0;
    if (hay_tty) ::tcsetattr(fd_entrada, TCSANOW, &ajustes_crudos);
    entrar(true);
    activo = 1;
    repintar = 1;
    avisar_bucle();
}

void manejar_mortal(int senal) {
    const int error_guardado = errno;
    deshacer(true);
    // Morir por la misma señal, para que quien espera vea la causa de verdad (130, 143...).
    const struct sigaction* anterior = anterior_de(senal);
    if (anterior != nullptr)
        ::sigaction(senal, anterior, nullptr);
    else
        por_defecto(senal);
    desbloquear(senal);
    ::raise(senal);
    // Solo se llega aquí si lo anterior era un manejador que deja seguir.
    errno = error_guardado;
}

void manejar_parada(int) {
    const int error_guardado = errno;
    if (activo) {
        deshacer(true);
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
        // Guardar el título otra vez apilaría el nuestro sobre el original, que nunca volvería.
        if (hay_tty) ::tcsetattr(fd_entrada, TCSANOW, &ajustes_crudos);
        entrar(false);
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

Terminal::Terminal(int entrada, int salida, Capacidades capacidades) : capacidades_(capacidades) {
    fd_entrada = entrada;
    fd_salida = salida;
    con_alternativa = capacidades.pantalla_alternativa ? 1 : 0;
    int tubo[2];
    if (::pipe(tubo) == 0) {
        // Que un aviso nunca bloquee al manejador y que un programa lanzado no herede el tubo.
        for (const int fd : tubo) {
            ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
            ::fcntl(fd, F_SETFD, ::fcntl(fd, F_GETFD) | FD_CLOEXEC);
        }
        tubo_lectura = tubo[0];
        tubo_escritura = tubo[1];
    }
    suspendido = 0;
    repintar = 0;
    titulo_largo = 0;

    // Los manejadores van antes de tocar nada: una señal en mitad del arranque también tiene
    // que dejar el terminal como estaba. Quien nos arrancó con una señal ignorada (nohup, un
    // trabajo en segundo plano, un intérprete sin control de trabajos para Ctrl+Z) quiere que
    // siga ignorada.
    num_atendidas = 0;
    for (const int senal : SENALES_MORTALES)
        if (apuntar(senal) && !heredada_ignorada(senal)) instalar(senal, manejar_mortal);
#if defined(SIGRTMIN) && defined(SIGRTMAX)
    for (int senal = SIGRTMIN; senal <= SIGRTMAX; ++senal)
        if (apuntar(senal) && !heredada_ignorada(senal)) instalar(senal, manejar_mortal);
#endif
    if (apuntar(SIGTSTP) && !heredada_ignorada(SIGTSTP)) instalar(SIGTSTP, manejar_parada);
    if (apuntar(SIGCONT)) instalar(SIGCONT, manejar_continuacion);
    if (apuntar(SIGWINCH)) instalar(SIGWINCH, manejar_tamano);

    if (::isatty(entrada) && ::tcgetattr(entrada, &ajustes_originales) == 0) {
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
    if (hay_tty) ::tcsetattr(entrada, TCSANOW, &ajustes_crudos);
    entrar(true);

    // Por si alguien termina con exit() sin pasar por el destructor.
    static const bool registrado = std::atexit(&Terminal::restaurar) == 0;
    (void)registrado;
}

Terminal::~Terminal() {
    restaurar();
    for (int i = num_atendidas - 1; i >= 0; --i)
        ::sigaction(atendidas[i].senal, &atendidas[i].anterior, nullptr);
    num_atendidas = 0;
    suspendido = 0;
    const int lectura = tubo_lectura, escritura = tubo_escritura;
    tubo_lectura = -1;
    tubo_escritura = -1;
    if (lectura >= 0) ::close(lectura);
    if (escritura >= 0) ::close(escritura);
    hay_tty = 0;
}

void Terminal::restaurar() {
    // Con las señales bloqueadas: una que llegara a medias vería `activo` ya a 0, no restauraría
    // nada y mataría el proceso con el terminal sin devolver.
    sigset_t todas, antes;
    sigfillset(&todas);
    ::sigprocmask(SIG_BLOCK, &todas, &antes);
    deshacer(false);
    ::sigprocmask(SIG_SETMASK, &antes, nullptr);
}

Lectura Terminal::leer(int espera_ms) {
    if (terminado_) return Lectura{Suceso::fin, 0};
    if (pos_ < len_) return Lectura{Suceso::byte, buffer_[pos_++]};

    const long long limite = espera_ms >= 0 ? ahora_ms() + espera_ms : -1;
    for (;;) {
        // select y no poll: en macOS poll no sirve para terminales (da POLLNVAL).
        const int entrada = fd_entrada, tubo = tubo_lectura;
        fd_set listos;
        FD_ZERO(&listos);
        if (entrada < 0 || entrada >= FD_SETSIZE) {
            terminado_ = true;
            return Lectura{Suceso::fin, 0};
        }
        FD_SET(entrada, &listos);
        if (tubo >= 0 && tubo < FD_SETSIZE) FD_SET(tubo, &listos);
        timeval plazo{};
        if (limite >= 0) {
            const long long falta = std::max(0LL, limite - ahora_ms());
            plazo.tv_sec = static_cast<time_t>(falta / 1000);
            plazo.tv_usec = static_cast<suseconds_t>(falta % 1000 * 1000);
        }
        const int r = ::select(std::max(entrada, tubo) + 1, &listos, nullptr, nullptr,
                               limite >= 0 ? &plazo : nullptr);
        if (r < 0) {
            if (errno == EINTR) {
                // La señal pudo llegar antes de entrar en select: el aviso está en la tubería,
                // pero mirar la bandera ahora ahorra una vuelta.
                if (repintar) {
                    repintar = 0;
                    vaciar_tubo();
                    return Lectura{Suceso::cambio_tamano, 0};
                }
                continue;
            }
            // EBADF: la entrada está cerrada.
            terminado_ = true;
            return Lectura{Suceso::fin, 0};
        }
        if (r == 0) return Lectura{Suceso::sin_datos, 0};

        if (tubo >= 0 && FD_ISSET(tubo, &listos)) {
            vaciar_tubo();
            if (repintar) {
                repintar = 0;
                return Lectura{Suceso::cambio_tamano, 0};
            }
        }
        if (FD_ISSET(entrada, &listos)) {
            const ssize_t n = ::read(entrada, buffer_, sizeof(buffer_));
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
    if (titulo_pendiente_) {
        // El título sale con el primer cuadro: al arrancar solo hay una escritura antes.
        titulo_pendiente_ = false;
        std::string todo(titulo_guardado, static_cast<std::size_t>(titulo_largo));
        todo += bytes;
        escribir_todo(todo.data(), todo.size());
        return;
    }
    escribir_todo(bytes.data(), bytes.size());
}

Tamano Terminal::tamano() {
    for (const int fd : {static_cast<int>(fd_salida), static_cast<int>(fd_entrada)}) {
        winsize w{};
        if (::ioctl(fd, TIOCGWINSZ, &w) == 0 && w.ws_col > 0 && w.ws_row > 0)
            return Tamano{w.ws_col, w.ws_row};
    }
    return Tamano{80, 50};
}

std::int64_t Terminal::milisegundos() {
    return ahora_ms();
}

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
        titulo_pendiente_ = true;
    }
}

Apertura abrir_terminal() {
    // Lo primero de todo: un 0, 1 o 2 cerrado se abre sobre /dev/null. Si no, el primer fichero
    // o tubería que se abriese tomaría su número y se leería como el teclado o se dibujaría en él.
    for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
        if (::fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
        const int nulo = ::open("/dev/null", O_RDWR);
        if (nulo >= 0 && nulo != fd) {
            ::dup2(nulo, fd);
            ::close(nulo);
        }
    }
    Apertura a;
    // Un juego de pantalla completa fuera de un terminal jugaría a ciegas o llenaría un fichero
    // de secuencias: se dice y no se toca nada.
    if (!::isatty(STDIN_FILENO)) {
        a.error =
            "la entrada estándar no es un terminal; Quatrelo se juega en un terminal de texto";
        return a;
    }
    if (!::isatty(STDOUT_FILENO)) {
        a.error = "la salida estándar no es un terminal; Quatrelo se juega en un terminal de texto";
        return a;
    }
    const std::optional<Capacidades> capacidades = capacidades_del_terminal(a.error);
    if (capacidades)
        a.dispositivo = std::make_unique<Terminal>(STDIN_FILENO, STDOUT_FILENO, *capacidades);
    return a;
}

std::string directorio_del_ejecutable(const char* argv0) {
    // Sin /proc, que no es POSIX: la ruta con que se llamó o, si no lleva barra, la primera de
    // PATH donde hay un fichero ejecutable con ese nombre, como la buscó el intérprete.
    if (argv0 == nullptr || argv0[0] == '\0') return "";
    const auto ejecutable = [](const std::string& ruta) {
        struct stat datos {};
        return ::stat(ruta.c_str(), &datos) == 0 && S_ISREG(datos.st_mode) &&
               ::access(ruta.c_str(), X_OK) == 0;
    };
    std::string ruta = argv0;
    if (ruta.find('/') == std::string::npos) {
        const char* path = std::getenv("PATH");
        const std::string resto = path != nullptr ? path : "";
        ruta.clear();
        for (std::size_t i = 0; i <= resto.size();) {
            std::size_t fin = resto.find(':', i);
            if (fin == std::string::npos) fin = resto.size();
            // Un elemento vacío de PATH es el directorio actual.
            const std::string candidata = (fin > i ? resto.substr(i, fin - i) : ".") + "/" + argv0;
            if (ejecutable(candidata)) {
                ruta = candidata;
                break;
            }
            i = fin + 1;
        }
    }
    if (ruta.empty()) return "";
    // realpath con nulo reserva el resultado: PATH_MAX no existe en todos los sistemas.
    char* real = ::realpath(ruta.c_str(), nullptr);
    if (real == nullptr) return "";
    std::string r = real;
    std::free(real);
    const std::size_t barra = r.rfind('/');
    return barra == 0 ? "/" : r.substr(0, barra);
}

Flujo& salida_estandar() {
    static FlujoC flujo(stdout);
    return flujo;
}

Flujo& error_estandar() {
    static FlujoC flujo(stderr);
    return flujo;
}

} // namespace consola
