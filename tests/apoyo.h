// Apoyo de las pruebas de pantallas: una consola sobre un dispositivo con guion, la forma de
// ejecutar una pantalla hasta que se acaba el guion y lecturas de la memoria de pantalla con
// columnas y filas desde 1, como las cuentan las pantallas.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>

#include "conio2.h"
#include "consola/guion.h"

class Escenario {
public:
    explicit Escenario(consola::Tamano tamano = {}, consola::Capacidades capacidades = {})
        : dispositivo(tamano, capacidades), consola(dispositivo), activa(consola) {}

    // Ejecuta la pantalla hasta que vuelve (true) o hasta que el guion se acaba (false).
    template <typename F> bool ejecutar(F&& pantalla) {
        try {
            pantalla();
            volvio = true;
        } catch (const FinDeEntrada&) {
            volvio = false;
        }
        return volvio;
    }

    // Añade teclas al guion. Un ESC que no empieza una secuencia ("\x1b[" o "\x1bO") va
    // seguido de un silencio, para que llegue como la tecla Escape sola.
    Escenario& teclear(std::string_view bytes);

    // n celdas desde la columna `col` de la fila `fila` (desde 1).
    std::string en(int col, int fila, int n) const {
        return consola.pantalla().texto(col - 1, fila - 1, n);
    }
    // La fila entera sin los blancos del final.
    std::string fila(int fila) const {
        std::string texto = consola.pantalla().fila(fila - 1);
        texto.erase(texto.find_last_not_of(' ') + 1);
        return texto;
    }
    std::uint16_t atributo(int col, int fila) const {
        return consola.pantalla().celda(col - 1, fila - 1).atributo;
    }
    // Columna (desde 1) donde empieza `texto` en la fila, o 0.
    int columna_de(std::string_view texto, int fila) const;
    bool contiene(std::string_view texto) const;
    std::string todo() const;

    bool volvio = false;  // la última pantalla ejecutada volvió por sí misma
    consola::DispositivoGuion dispositivo;
    Consola consola;
    ConsolaActiva activa;
};

// Una pantalla entera con un guion: la partida de dos jugadores con los nombres ana y luis y el
// sorteo a favor de `quien` (0: ana, el jugador 1), la tecla de empezar y luego `teclas`.
std::unique_ptr<Escenario> partida_dos(int quien, std::string_view teclas,
                                       std::string_view nombres = "ana\rluis\r");

// Un reloj (segundos) con el que el sorteo de quién empieza da `quien` (0 o 1).
std::int64_t reloj_para_sorteo(int quien);
