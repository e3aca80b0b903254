// La CPU que lleva gastada otro proceso, para los programas de medida que arrancan el juego.
// Lee /proc, así que solo vale en Linux; bench/ no se compila en otro sitio.
#pragma once

#include <sys/types.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <string>

// CPU de usuario más de sistema de `pid`, en segundos, según /proc/<pid>/stat.
inline double cpu_segundos(pid_t pid) {
    std::ifstream f("/proc/" + std::to_string(pid) + "/stat");
    std::string linea;
    std::getline(f, linea);
    // El nombre va entre paréntesis y puede tener blancos: se cuenta desde el último ')'.
    std::istringstream resto(linea.substr(linea.rfind(')') + 2));
    std::string campo;
    long utime = 0, stime = 0;
    for (int i = 3; i <= 15 && resto >> campo; ++i) {
        if (i == 14) utime = std::stol(campo);
        if (i == 15) stime = std::stol(campo);
    }
    return static_cast<double>(utime + stime) / static_cast<double>(::sysconf(_SC_CLK_TCK));
}
