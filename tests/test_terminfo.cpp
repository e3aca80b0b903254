// Cada terminal de la base de datos de terminfo del sistema pasa por la decisión de capacidades.
// Los que no sirven se listan con su motivo (se ven con --gtest_brief=0 o ctest -V); la prueba
// falla si se rechaza uno cuyo cup, quitados los retardos, es el que manda el volcado.
#ifndef _WIN32 // terminfo solo existe en POSIX
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <map>
#include <regex>
#include <set>

#include "consola/terminfo.h"

// Va la última: define una macro por cada capacidad.
#include <term.h>

using namespace consola;

namespace {

// Los nombres de la base de datos: un fichero por terminal, en un directorio por inicial (o por
// su código en hexadecimal, en macOS). Si es un único fichero hash (algunos BSD), ninguno.
std::set<std::string> terminales() {
    std::vector<std::string> directorios = {"/etc/terminfo",           "/lib/terminfo",
                                            "/usr/share/terminfo",     "/usr/lib/terminfo",
                                            "/usr/share/lib/terminfo", "/usr/local/share/terminfo"};
    if (const char* propio = std::getenv("TERMINFO")) directorios.push_back(propio);
    std::set<std::string> nombres;
    std::error_code error;
    for (const std::string& directorio : directorios)
        for (const auto& inicial : std::filesystem::directory_iterator(directorio, error))
            for (const auto& entrada : std::filesystem::directory_iterator(inicial.path(), error))
                nombres.insert(entrada.path().filename());
    return nombres;
}

// El cup a la fila 4 y columna 9 (desde 0) tal como lo da terminfo, retardos incluidos; los
// nombres van por copias modificables, que con la ABI 5 de ncurses no son `const char *`.
std::string cup_de(std::string nombre) {
    int resultado = 0;
    std::string capacidad = "cup";
    std::string cup;
    const bool cargado = setupterm(nombre.data(), 1, &resultado) == 0;
    char* forma = cargado ? tigetstr(capacidad.data()) : nullptr;
    if (forma != nullptr && forma != reinterpret_cast<char*>(-1))
        cup = tparm(forma, 4L, 9L, 0L, 0L, 0L, 0L, 0L, 0L, 0L);
    if (cur_term != nullptr) del_curterm(cur_term); // también si falla: uno de papel queda cargado
    return cup;
}

std::string legible(const std::string& s) {
    std::string r;
    for (const unsigned char c : s) {
        char hex[8];
        std::snprintf(hex, sizeof hex, "\\x%02x", c);
        r += c >= ' ' && c < 0x7f ? std::string(1, static_cast<char>(c)) : std::string(hex);
    }
    return r;
}

} // namespace

TEST(Terminfo, CadaTerminalDeLaBaseDeDatos) {
    const std::set<std::string> nombres = terminales();
    if (nombres.empty()) GTEST_SKIP() << "no hay una base de datos de terminfo en directorios";
    const std::regex retardo(R"(\$<[0-9.]*[*/]*>)");
    std::map<std::string, std::string> rechazados; // motivo -> terminales
    for (const std::string& nombre : nombres) {
        std::string motivo;
        const std::optional<DescripcionTerminal> d = describir_terminal(nombre, motivo);
        if (d) {
            for (const auto& [capacidad, cadena] : d->cadenas)
                EXPECT_FALSE(std::regex_search(cadena, retardo)) << nombre << " " << capacidad;
            if (decidir_capacidades(*d, {})) continue;
            motivo =
                d->cadenas.contains("cup") ? "cup " + legible(d->cadenas.at("cup")) : "sin cup";
        }
        rechazados[motivo] += " " + nombre;
        EXPECT_NE(std::regex_replace(cup_de(nombre), retardo, ""), "\x1b[5;10H") << nombre;
    }
    std::cout << nombres.size() << " terminales; no sirven:\n";
    for (const auto& [motivo, cuales] : rechazados)
        std::cout << "  " << motivo << ":" << cuales << "\n";
}
#endif
