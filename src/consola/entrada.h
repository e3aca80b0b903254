// La entrada estándar por líneas que esperan las pantallas (lo que serían scanf("%s"),
// scanf("%c") y fflush(stdin)), hecha sobre el terminal en modo crudo: una línea se recoge con
// eco en el cursor y los colores actuales; Retroceso borra el último carácter y su eco; Intro
// escribe un salto de línea. Las lecturas de tecla sueltas nunca toman de aquí.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "consola/pantalla.h"
#include "consola/teclado.h"

namespace consola {

class Entrada {
  public:
    // Una línea escrita no pasa de este número de bytes; lo que se teclee de más se ignora.
    static constexpr std::size_t MAX_LINEA = 256;

    // siguiente_tecla espera (y bloquea) hasta que haya una tecla; el eco va a la pantalla.
    Entrada(Pantalla& pantalla, std::function<Tecla()> siguiente_tecla);

    // "%s": salta blancos y saltos de línea (recogiendo líneas nuevas si hace falta) y toma una
    // palabra. Guarda como mucho max_bytes bytes, cortados en frontera de carácter; el resto de
    // esa palabra se consume y se pierde. Lo que sigue a la palabra queda pendiente.
    std::string leer_palabra(std::size_t max_bytes);
    // "%c": el siguiente carácter pendiente (en UTF-8), el salto de línea incluido; si no hay
    // nada pendiente, recoge una línea primero.
    std::string leer_caracter();
    // fflush(stdin): olvida lo pendiente.
    void descartar() { pendiente_.clear(); }
    const std::string& pendiente() const { return pendiente_; }

  private:
    void recoger_linea();

    Pantalla& pantalla_;
    std::function<Tecla()> siguiente_tecla_;
    std::string pendiente_;
};

} // namespace consola
