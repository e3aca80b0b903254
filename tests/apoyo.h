// Apoyo de las pruebas de la consola y las pantallas: una consola sobre un dispositivo con
// guion (teclas preparadas, reloj falso, sin esperas) y un generador de sorteos que da la hora
// tal cual, así que quién empieza y la columna al azar del ordenador los decide el reloj falso.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "conio2.h"
#include "consola/guion.h"
#include "lib_funciones.h"

class Escenario {
  public:
    explicit Escenario(consola::Tamano tamano = {}, consola::Capacidades capacidades = {})
        : dispositivo(tamano, capacidades), consola(dispositivo), activa(consola),
          generador_(
              cambiar_generador([](unsigned s) { return static_cast<int>(s & 0x7FFFFFFF); })) {}
    ~Escenario() { cambiar_generador(generador_); }
    Escenario(const Escenario&) = delete;
    Escenario& operator=(const Escenario&) = delete;

    // Con la hora par empieza el jugador 1 (o la persona); impar, el otro.
    void sorteo(int quien) { dispositivo.reloj_base = 1'800'000'000 + quien; }

    // Añade teclas al guion; un ESC que no abre una secuencia ("\x1b[" o "\x1bO") va seguido de
    // un silencio, para que llegue como la tecla Escape sola.
    Escenario& teclear(std::string_view bytes) {
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            dispositivo.teclear(bytes.substr(i, 1));
            const bool sigue = i + 1 < bytes.size() && (bytes[i + 1] == '[' || bytes[i + 1] == 'O');
            if (bytes[i] == '\x1b' && !sigue) dispositivo.silencio();
        }
        return *this;
    }

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

    // La fila (desde 1) sin los blancos del final.
    std::string fila(int n) const {
        std::string texto = consola.pantalla().fila(n - 1);
        return texto.erase(texto.find_last_not_of(' ') + 1);
    }
    std::uint16_t atributo(int col, int fila) const {
        return consola.pantalla().celda(col - 1, fila - 1).atributo;
    }

    bool volvio = false;
    consola::DispositivoGuion dispositivo;
    Consola consola;
    ConsolaActiva activa;

  private:
    Generador generador_;
};
