// Del teclado a códigos de tecla, como los da una consola DOS: un analizador de bytes sin E/S.
// Se le dan los bytes que llegan y el aviso de que no llegó ninguno a tiempo; devuelve teclas.
#pragma once

#include <cstddef>
#include <deque>
#include <optional>
#include <string>

#include "consola/teclas.h"

namespace consola {

struct Tecla {
    // -1 para una tecla de un solo código; 0 o 224 para las que llegan en dos lecturas.
    int prefijo = -1;
    // El código (0-255): ASCII, 13 Intro, 27 Escape, 8 Retroceso, el valor de la 437 de un
    // carácter no ASCII ('?' si la 437 no lo tiene), o el segundo código de una de dos lecturas.
    int codigo = 0;
    // El carácter en UTF-8 si la tecla escribe uno (letra, cifra, espacio...); vacío si no.
    std::string texto;
    bool operator==(const Tecla&) const = default;
};

class Teclado {
  public:
    explicit Teclado(int espera_escape_ms = 50) : espera_escape_ms_(espera_escape_ms) {}

    void recibir(unsigned char byte);
    // No llegó ningún byte en espera_ms(): un ESC pendiente es la tecla Escape sola, y un ESC
    // con solo el primer byte de una secuencia detrás, Alt y esa tecla; lo demás a medias se
    // descarta.
    void sin_datos();
    // true mientras hay una secuencia a medias: la próxima lectura debe tener límite de tiempo.
    bool esperando() const;
    int espera_ms() const { return espera_escape_ms_; }

    std::optional<Tecla> sacar();

  private:
    enum class Estado {
        normal,
        escape,
        csi,
        ss3,
        linux_funcion,
        cadena,
        cadena_escape,
        utf8,
        raton
    };
    void normal(unsigned char byte);
    void control(unsigned char byte);
    void caracter(char32_t c, std::string bytes);
    void emitir(Tecla t);
    void empezar(Estado estado, unsigned char introductor);
    void terminar_csi(unsigned char final);
    void terminar_ss3(unsigned char final);
    void csi_u(int codigo, int modificadores);
    void doble(std::string_view xterm);
    void descartar_secuencia();

    int espera_escape_ms_;
    Estado estado_ = Estado::normal;
    unsigned char introductor_ = 0; // '[', 'O', ']', 'P'...: el byte tras el ESC
    std::string secuencia_;         // parámetros de la secuencia, o los bytes de un UTF-8 a medias
    std::size_t largo_ = 0;         // bytes de la secuencia tras el introductor, guardados o no
    bool no_es_tecla_ = false;      // intermedios, marcador privado, demasiado larga o rota
    bool alt_ = false;              // la tecla que sigue llegó tras un ESC: es Alt+tecla
    std::size_t raton_faltan_ = 0;  // bytes crudos que siguen a "ESC [ M" (ratón X10)
    std::deque<Tecla> listas_;
};

} // namespace consola
