// Medidas del juego en un terminal de verdad: arranca el binario (ruta en argv[1]) en un
// pseudoterminal de 80x50 y cuenta cuánto tarda el primer cuadro, cuánta CPU gasta esperando en
// el menú, cuánta memoria llega a usar y cuánto tarda en responder a una flecha y a un ESC.
// No es una prueba: duerme de verdad y los números dependen de la máquina. Solo toca el proceso
// que arranca, y lo termina al acabar.
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "cpu_proceso.h"

namespace {

using Reloj = std::chrono::steady_clock;

double ms_entre(Reloj::time_point a, Reloj::time_point b) {
    return std::chrono::duration<double, std::milli>(b - a).count();
}

// El juego corriendo en su pseudoterminal. Lo que escribe se va guardando tal cual: los textos
// de las pantallas salen seguidos en los bytes, así que basta buscarlos ahí.
class Juego {
  public:
    explicit Juego(const char* ruta) {
        winsize ventana{};
        ventana.ws_col = 80;
        ventana.ws_row = 50;
        arranque_ = Reloj::now();
        pid_ = ::forkpty(&fd_, nullptr, nullptr, &ventana);
        if (pid_ < 0) {
            std::perror("forkpty");
            std::exit(1);
        }
        if (pid_ == 0) {
            ::setenv("TERM", "xterm-256color", 1);
            ::setenv("LANG", "C.UTF-8", 1);
            ::unsetenv("LC_ALL");
            ::unsetenv("LC_CTYPE");
            ::execl(ruta, ruta, static_cast<char*>(nullptr));
            std::perror(ruta);
            ::_exit(127);
        }
    }

    ~Juego() {
        ::kill(pid_, SIGTERM);
        ::waitpid(pid_, nullptr, 0);
        ::close(fd_);
    }

    Juego(const Juego&) = delete;
    Juego& operator=(const Juego&) = delete;

    Reloj::time_point arranque() const { return arranque_; }
    Reloj::time_point ultimo_byte() const { return ultimo_byte_; }

    // Lee lo que llegue durante como mucho `ms`; devuelve cuándo llegó el primer byte.
    std::optional<Reloj::time_point> esperar_bytes(int ms) {
        const auto limite = Reloj::now() + std::chrono::milliseconds(ms);
        while (Reloj::now() < limite) {
            if (leer_hasta(limite)) return ultimo_byte_;
        }
        return std::nullopt;
    }

    // Lee hasta que `texto` aparezca en lo escrito desde `desde` (o se acabe el plazo).
    bool esperar_texto(std::string_view texto, std::size_t desde, int ms) {
        const auto limite = Reloj::now() + std::chrono::milliseconds(ms);
        for (;;) {
            if (salida_.find(texto, std::min(desde, salida_.size())) != std::string::npos)
                return true;
            if (Reloj::now() >= limite || vivo_ == false) return false;
            leer_hasta(limite);
        }
    }

    // Lee hasta `silencio_ms` sin recibir nada, para empezar cada medida con la tubería vacía.
    void vaciar(int silencio_ms) {
        while (leer_hasta(Reloj::now() + std::chrono::milliseconds(silencio_ms))) {
        }
    }

    void escribir(std::string_view bytes) {
        while (!bytes.empty()) {
            const ssize_t n = ::write(fd_, bytes.data(), bytes.size());
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) return;
            bytes.remove_prefix(static_cast<std::size_t>(n));
        }
    }

    std::size_t marca() const { return salida_.size(); }

    // Si `texto` está en lo ya leído desde `desde`, sin esperar más.
    bool contiene(std::string_view texto, std::size_t desde) const {
        return salida_.find(texto, std::min(desde, salida_.size())) != std::string::npos;
    }

    double cpu_ms() const { return 1000.0 * cpu_segundos(pid_); }

    // El pico de memoria residente (VmHWM), en KiB.
    long pico_memoria_kib() const {
        std::ifstream f("/proc/" + std::to_string(pid_) + "/status");
        std::string linea;
        while (std::getline(f, linea)) {
            if (linea.rfind("VmHWM:", 0) == 0) return std::stol(linea.substr(6));
        }
        return -1;
    }

  private:
    // Una lectura como mucho hasta `limite`; true si llegó algo.
    bool leer_hasta(Reloj::time_point limite) {
        if (!vivo_) return false;
        const auto falta =
            std::chrono::duration_cast<std::chrono::milliseconds>(limite - Reloj::now());
        pollfd p{fd_, POLLIN, 0};
        const int r = ::poll(&p, 1, static_cast<int>(std::max<long long>(0, falta.count())));
        if (r <= 0) return false;
        char buffer[65536];
        const ssize_t n = ::read(fd_, buffer, sizeof(buffer));
        if (n <= 0) {
            vivo_ = false; // EIO: el juego cerró el terminal (terminó)
            return false;
        }
        ultimo_byte_ = Reloj::now();
        salida_.append(buffer, static_cast<std::size_t>(n));
        return true;
    }

    pid_t pid_ = -1;
    int fd_ = -1;
    bool vivo_ = true;
    Reloj::time_point arranque_;
    Reloj::time_point ultimo_byte_;
    std::string salida_;
};

std::string con_decimales(double v, const char* unidad) {
    char texto[64];
    std::snprintf(texto, sizeof(texto), "%.1f %s", v, unidad);
    return texto;
}

// Lo que tarda en llegar la respuesta a cada tecla (se van turnando), `veces` veces; vacío si
// alguna no tiene respuesta.
std::vector<double> latencias(Juego& juego, const std::vector<std::string>& teclas, int veces) {
    std::vector<double> medidas;
    for (int i = 0; i < veces; ++i) {
        juego.vaciar(30);
        const auto antes = Reloj::now();
        juego.escribir(teclas[static_cast<std::size_t>(i) % teclas.size()]);
        const auto llegada = juego.esperar_bytes(2000);
        if (!llegada) return {};
        medidas.push_back(ms_entre(antes, *llegada));
    }
    return medidas;
}

std::string resumen(std::vector<double> medidas) {
    if (medidas.empty()) return "sin respuesta en 2 s";
    if (medidas.size() == 1) return con_decimales(medidas[0], "ms");
    std::sort(medidas.begin(), medidas.end());
    char texto[96];
    std::snprintf(texto, sizeof(texto), "mediana %.2f ms, máx %.2f ms (%zu veces)",
                  medidas[medidas.size() / 2], medidas.back(), medidas.size());
    return texto;
}

// Alinea por caracteres y no por bytes: las tildes ocupan dos bytes y una sola columna.
void fila(std::string_view medida, const std::string& valor) {
    std::size_t columnas = 0;
    for (char c : medida)
        columnas += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    const std::string relleno(columnas < 42 ? 42 - columnas : 1, ' ');
    std::printf("  %.*s%s%s\n", static_cast<int>(medida.size()), medida.data(), relleno.c_str(),
                valor.c_str());
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "uso: %s RUTA_DE_QUATRELO\n", argv[0]);
        return 2;
    }
    Juego juego(argv[1]);

    const auto primero = juego.esperar_bytes(5000);
    if (!primero || !juego.esperar_texto("Pulsa INTRO", 0, 5000)) {
        std::fprintf(stderr, "el juego no enseña la portada en 5 s\n");
        return 1;
    }
    const double primer_byte = ms_entre(juego.arranque(), *primero);
    const double primer_cuadro = ms_entre(juego.arranque(), juego.ultimo_byte());

    std::size_t desde = juego.marca();
    juego.escribir("\r");
    if (!juego.esperar_texto("SALIR", desde, 5000)) {
        std::fprintf(stderr, "Intro no lleva al menú en 5 s\n");
        return 1;
    }
    juego.vaciar(100);

    // Esperando una tecla no debería gastar nada: cualquier sondeo se nota aquí.
    const double cpu_antes = juego.cpu_ms();
    std::this_thread::sleep_for(std::chrono::seconds(3));
    const double cpu_menu = juego.cpu_ms() - cpu_antes;

    // Abajo y Arriba alternados, para que la caja se mueva siempre y acabe en la primera opción.
    const auto flecha = latencias(juego, {"\x1b[B", "\x1b[A"}, 20);

    // La jugada del jugador 1 (el único que puede abandonar con ESC): Intro en "2 JUGADORES",
    // dos nombres, una tecla y, si el sorteo da la salida al jugador 2, una jugada suya antes.
    std::string escape = "no disponible";
    juego.vaciar(50);
    desde = juego.marca();
    juego.escribir("\r");
    if (juego.esperar_texto("COMO TE LLAMAS", desde, 2000)) {
        juego.vaciar(50);
        juego.escribir("Ana\r");
        juego.vaciar(100);
        desde = juego.marca();
        juego.escribir("Luis\r");
        bool en_turno_de_ana = false;
        bool empieza_luis = false;
        if (juego.esperar_texto("Pulsa una tecla", desde, 2000)) {
            // Anuncio y pregunta salen en el mismo cuadro, así que el nombre ya ha llegado.
            empieza_luis = juego.contiene("EMPIEZA Luis", desde);
            desde = juego.marca();
            juego.escribir(" ");
            en_turno_de_ana = juego.esperar_texto("Introduce la columna", desde, 2000);
            if (en_turno_de_ana && empieza_luis) {
                // Solo se mandan las celdas que cambian: "Turno de Luis" pasa a "Turno de Ana"
                // escribiendo "Ana" encima, sin el resto de la frase.
                juego.vaciar(50);
                desde = juego.marca();
                juego.escribir("3");
                en_turno_de_ana = juego.esperar_texto("Ana", desde, 2000);
            }
        }
        if (en_turno_de_ana) {
            // ESC solo: el juego debe esperar su plazo antes de darlo por tecla, así que esta
            // cifra incluye esos 50 ms a propósito.
            desde = juego.marca();
            escape = resumen(latencias(juego, {"\x1b"}, 1));
            if (!juego.esperar_texto("DESEAS SALIR DE LA PARTIDA", desde, 2000))
                escape += ", pero sin la pregunta de abandonar";
            escape += empieza_luis ? " (empezó el jugador 2: una jugada antes)"
                                   : " (empezó el jugador 1)";
        }
    }
    const long memoria = juego.pico_memoria_kib();

    std::printf("Quatrelo en un pseudoterminal de 80x50 (TERM=xterm-256color, LANG=C.UTF-8)\n");
    fila("primer byte desde el arranque", con_decimales(primer_byte, "ms"));
    fila("portada en pantalla desde el arranque", con_decimales(primer_cuadro, "ms"));
    fila("CPU en el menú esperando 3 s", con_decimales(cpu_menu, "ms"));
    fila("memoria residente máxima (VmHWM)",
         con_decimales(static_cast<double>(memoria) / 1024.0, "MiB"));
    fila("flecha abajo/arriba en el menú -> cuadro", resumen(flecha));
    fila("ESC en la jugada -> cuadro", escape);
    return 0;
}
