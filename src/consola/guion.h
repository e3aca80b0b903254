// Un dispositivo con guion, para pruebas y medidas: entrega un guion de teclas preparado, lleva
// un reloj falso que solo avanza cuando se duerme, no espera de verdad y cuenta lo que se
// escribe. Una lectura sin espera (leer(0)) ve lo que ya "ha llegado": un byte o un cambio de
// tamaño; ante un silencio o el final del guion da sin_datos sin gastar nada. Cuando el guion
// se acaba, la lectura que espera da fin (y la consola lanza FinDeEntrada).
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>

#include "consola/dispositivo.h"

namespace consola {

class DispositivoGuion final : public Dispositivo {
  public:
    explicit DispositivoGuion(Tamano tamano = {}, Capacidades capacidades = {});

    // Añaden al guion: bytes tecleados; un silencio (pasa el tiempo de espera sin que llegue
    // nada, lo que convierte un ESC pendiente en la tecla Escape); un cambio de tamaño.
    DispositivoGuion& teclear(std::string_view bytes);
    DispositivoGuion& silencio();
    DispositivoGuion& escape() { return teclear("\x1b").silencio(); }
    DispositivoGuion& cambiar_tamano(Tamano nuevo);

    Lectura leer(int espera_ms) override;
    void escribir(std::string_view bytes) override;
    Tamano tamano() override { return tamano_; }
    Capacidades capacidades() const override { return capacidades_; }
    std::int64_t segundos() override { return reloj_base + reloj_ms / 1000; }
    std::int64_t milisegundos() override { return reloj_ms; }
    void dormir(int ms) override;
    void titulo(std::string_view texto) override { titulo_ = texto; }

    // Lo observado.
    std::int64_t reloj_base = 1'800'000'000; // segundos del reloj falso al empezar
    std::int64_t reloj_ms = 0;               // lo dormido hasta ahora
    std::uint64_t escrituras = 0;
    std::uint64_t bytes_escritos = 0;
    std::string ultima_escritura;
    bool guardar_salida = false; // si es true, `salida` acumula todo lo escrito
    std::string salida;
    std::string titulo_;

  private:
    struct Paso {
        enum class Tipo { byte, silencio, tamano } tipo;
        unsigned char byte = 0;
        Tamano tamano{};
    };
    std::deque<Paso> guion_;
    Tamano tamano_;
    Capacidades capacidades_;
};

} // namespace consola
