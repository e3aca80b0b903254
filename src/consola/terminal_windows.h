// La consola de Windows real: salida como secuencias VT (Windows 10 y posteriores; donde la
// consola no las entiende, las interpreta consola_clasica.h y se hacen con las funciones
// clásicas de la consola), teclas de ReadConsoleInputW convertidas (también en
// consola_clasica.h) en los bytes que manda un xterm, y la consola devuelta tal como estaba
// (modos, páginas de códigos, título, cursor, colores) salga el programa como salga. Es el único
// fichero que toca la consola de Windows. No sabe nada del juego.
#pragma once

#include <cstdint>
#include <deque>
#include <string_view>

#include "consola/consola_clasica.h"
#include "consola/dispositivo.h"

namespace consola {

class ConsolaWindows final : public Dispositivo {
  public:
    // Toma la consola del proceso (abrir_terminal() ya comprobó que la entrada y la salida lo
    // son): guarda su estado, pone la salida en UTF-8 (VT si la consola lo entiende), la entrada
    // tecla a tecla (Ctrl+C sigue siendo una orden), pantalla alternativa y cursor oculto, e
    // instala el manejador de Ctrl+C, Ctrl+Break y cierre de la ventana, que restaura y termina
    // el proceso con 0xC000013A, como el del sistema.
    explicit ConsolaWindows(Capacidades capacidades);
    ~ConsolaWindows() override;
    ConsolaWindows(const ConsolaWindows&) = delete;
    ConsolaWindows& operator=(const ConsolaWindows&) = delete;

    Lectura leer(int espera_ms) override;
    void escribir(std::string_view bytes) override;
    Tamano tamano() override;
    Capacidades capacidades() const override { return capacidades_; }
    std::int64_t segundos() override;
    std::int64_t milisegundos() override;
    void dormir(int ms) override;
    void titulo(std::string_view texto) override;

    // Devuelve la consola a como estaba. Idempotente; sirve desde cualquier hilo.
    static void restaurar();

  private:
    // Un suceso de teclado de la consola, ya en bytes de xterm, a la cola de lecturas.
    void traducir(const void* suceso_tecla);

    Capacidades capacidades_;
    // Lo ya traducido y aún no entregado: leer() da un byte (o un suceso) por llamada.
    std::deque<Lectura> pendientes_;
    TeclasConsola teclas_;
    bool terminado_ = false;
};

} // namespace consola
