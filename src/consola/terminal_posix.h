// El terminal POSIX real: modo crudo, pantalla alternativa, título, cursor oculto, señales, y
// la restauración exacta del estado en que se encontró, salga el programa como salga.
// Es el único fichero que toca el tty. No sabe nada del juego.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "consola/dispositivo.h"

namespace consola {

class Terminal final : public Dispositivo {
  public:
    // Toma el terminal que hay tras `entrada` y `salida` (el programa le da 0 y 1; las pruebas,
    // un pseudoterminal), sin cerrarlos nunca: guarda los ajustes, pasa a modo crudo
    // (conservando ISIG para Ctrl+C y Ctrl+Z), pantalla alternativa si la hay, guarda el título
    // (lo pone titulo()), oculta el cursor e instala los manejadores de señales. Solo puede
    // haber uno vivo a la vez. Si la entrada no es un terminal sigue igual: leer() dará fin
    // cuando se acabe.
    Terminal(int entrada, int salida, Capacidades capacidades);
    ~Terminal() override;
    Terminal(const Terminal&) = delete;
    Terminal& operator=(const Terminal&) = delete;

    Lectura leer(int espera_ms) override;
    void escribir(std::string_view bytes) override;
    Tamano tamano() override;
    Capacidades capacidades() const override { return capacidades_; }
    std::int64_t segundos() override;
    std::int64_t milisegundos() override;
    void dormir(int ms) override;
    // OSC 0 terminada en BEL; los caracteres de control del texto no se mandan. Sale con la
    // siguiente escritura, no sola.
    void titulo(std::string_view texto) override;

    // Devuelve el terminal a como estaba y tira lo tecleado que el juego no leyó, para que no
    // acabe en el intérprete. Idempotente; solo usa write(2), tcsetattr y tcflush, así que
    // sirve dentro de un manejador de señal.
    static void restaurar();

  private:
    void vaciar_tubo();

    Capacidades capacidades_;
    // Lo leído de una vez y aún no entregado: leer() da un byte por llamada.
    unsigned char buffer_[256] = {};
    std::size_t pos_ = 0, len_ = 0;
    bool terminado_ = false; // la entrada se acabó: desde entonces, siempre fin
    bool titulo_pendiente_ = false;
};

} // namespace consola
