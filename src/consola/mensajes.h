// Las líneas que el programa escribe fuera del juego (ayuda, versión, uso, errores). Lo que
// venga de fuera (un argumento, TERM) se pone a la vista, para que nada de eso llegue al
// terminal como una orden; y cada flujo recibe el texto como lo lee bien quien está al otro lado:
// una consola de Windows, en UTF-16 (sea cual sea su página de códigos), y un fichero, una tubería
// o un terminal POSIX, en UTF-8. No sabe nada del juego.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace consola {

// Texto de fuera (UTF-8 o no) con sus controles a la vista: ESC como \e, los demás C0, DEL y
// los C1 como \xHH, y cada byte que no forma UTF-8 válido, también como \xHH.
std::string a_la_vista(std::string_view texto);

// Una salida de mensajes: la salida o el error estándar.
class Flujo {
  public:
    virtual ~Flujo() = default;
    // ¿Es una consola de Windows? Entonces recibe UTF-16.
    virtual bool consola() = 0;
    // Cada una devuelve falso si no pudo escribirlo todo.
    virtual bool bytes(std::string_view utf8) = 0;
    virtual bool utf16(std::u16string_view texto) = 0;
};

// Un flujo de la biblioteca de C, que no es una consola de Windows.
class FlujoC : public Flujo {
  public:
    explicit FlujoC(std::FILE* flujo) : flujo_(flujo) {}
    bool consola() override { return false; }
    bool bytes(std::string_view utf8) override;
    bool utf16(std::u16string_view) override { return false; }

  private:
    std::FILE* flujo_;
};

// Escribe `texto` (UTF-8) en el flujo. Falso si no llegó entero.
bool escribir(Flujo& flujo, std::string_view texto);

// El texto UTF-8 en UTF-16; lo que no es UTF-8 válido sale como su carácter de la página de
// códigos 437, como lo enseña la pantalla.
std::u16string utf16(std::string_view texto);

} // namespace consola
