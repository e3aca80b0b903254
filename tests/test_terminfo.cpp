// Cada terminal de la base de datos de terminfo del sistema pasa por la decisión de capacidades.
// Los que no sirven se listan con su motivo (en la salida de la prueba). Falla si a una cadena
// le queda una marca de retardo: con ella, un terminal que sabe colocar el cursor (vt100) se
// rechazaría, o perdería una capacidad, por algo que no es parte de la secuencia.
#ifndef _WIN32 // terminfo solo existe en POSIX
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <map>
#include <regex>
#include <set>

#include "consola/terminfo.h"

using namespace consola;

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
#endif
