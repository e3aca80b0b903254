// Cuánta CPU cuesta pegar texto en la pregunta del nombre: arranca el binario (ruta en argv[1])
// en un pseudoterminal de 80x50 (TERM=xterm-256color, LANG=C.UTF-8), llega a la pregunta del
// jugador 1, pega `bytes` letras sin blancos (argv[2], por omisión 1 MB), un Intro, "Eva" e
// Intro, y mide la CPU del juego (de /proc/<pid>/stat) desde antes de pegar hasta que sale la
// leyenda, donde comprueba que el nombre es el de lo pegado cortado a 49 bytes.
// No es una prueba: los números dependen de la máquina. Solo toca el proceso que arranca.
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "cpu_proceso.h"

namespace {

std::string salida; // todo lo que el juego escribió

// Manda `entrada` mientras lee lo que escribe el juego (si no, el juego se atascaría
// escribiendo), y sigue leyendo hasta que aparece `texto` después de `desde`.
bool conversar(int fd, std::string entrada, const std::string& texto, std::size_t desde) {
    const auto limite = std::chrono::steady_clock::now() + std::chrono::minutes(10);
    while (std::chrono::steady_clock::now() < limite) {
        if (entrada.empty() && salida.find(texto, desde) != std::string::npos) return true;
        pollfd p{fd, static_cast<short>(POLLIN | (entrada.empty() ? 0 : POLLOUT)), 0};
        if (::poll(&p, 1, 1000) < 0 && errno != EINTR) return false;
        if (p.revents & POLLIN) {
            char b[65536];
            const ssize_t n = ::read(fd, b, sizeof b);
            if (n <= 0) return false;
            salida.append(b, static_cast<std::size_t>(n));
        }
        if (p.revents & POLLOUT) {
            const ssize_t n =
                ::write(fd, entrada.data(), std::min<std::size_t>(entrada.size(), 4096));
            if (n > 0) entrada.erase(0, static_cast<std::size_t>(n));
        }
    }
    return false;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "uso: %s BINARIO [BYTES]\n", argv[0]);
        return 2;
    }
    const std::size_t bytes = argc > 2 ? std::stoul(argv[2]) : 1u << 20;
    winsize ventana{};
    ventana.ws_col = 80;
    ventana.ws_row = 50;
    int fd = -1;
    const pid_t pid = ::forkpty(&fd, nullptr, nullptr, &ventana);
    if (pid == 0) {
        ::setenv("TERM", "xterm-256color", 1);
        ::setenv("LANG", "C.UTF-8", 1);
        ::execl(argv[1], argv[1], static_cast<char*>(nullptr));
        ::_exit(127);
    }
    std::string pegado;
    for (std::size_t i = 0; i < bytes; ++i)
        pegado += static_cast<char>('a' + i % 26);
    bool bien = conversar(fd, "", "INTRO", 0) && conversar(fd, "\r", "INSTRUCCIONES", 0) &&
                conversar(fd, "\r", "JUGARDOR 1", 0);
    const double antes = cpu_segundos(pid);
    const auto reloj = std::chrono::steady_clock::now();
    const std::size_t marca = salida.size();
    bien = bien && conversar(fd, pegado + "\rEva\r", "Pulsa una tecla", marca);
    const double cpu = cpu_segundos(pid) - antes;
    const double pared =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - reloj).count();
    // En el eco lo pegado sigue tras los 49 primeros bytes; en la leyenda, no.
    bool cortado = false;
    const std::string nombre = pegado.substr(0, 49);
    for (std::size_t i = salida.find(nombre, marca); i != std::string::npos && !cortado;
         i = salida.find(nombre, i + 1))
        cortado = i + 49 < salida.size() && salida[i + 49] != pegado[49];
    ::kill(pid, SIGTERM);
    ::waitpid(pid, nullptr, 0);
    if (!bien) {
        std::fprintf(stderr, "el juego no llegó a donde se esperaba\n");
        return 1;
    }
    std::printf("pegados %zu bytes: %.3f s de CPU (%.3f us por byte), %.2f s de reloj; "
                "nombre cortado a 49 bytes: %s\n",
                bytes, cpu, cpu * 1e6 / static_cast<double>(bytes), pared, cortado ? "sí" : "NO");
    return cortado ? 0 : 1;
}
