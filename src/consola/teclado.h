// Del teclado a códigos de tecla, como los da una consola DOS: un analizador de bytes sin E/S.
// Se le dan los bytes que llegan y el aviso de que no llegó ninguno a tiempo; devuelve teclas.
#pragma once

#include <deque>
#include <optional>
#include <string>

namespace consola {

inline constexpr int TECLA_INTRO = 13;
inline constexpr int TECLA_ESCAPE = 27;
inline constexpr int TECLA_RETROCESO = 8;
inline constexpr int PREFIJO_EXTENDIDA = 224; // flechas, Inicio, Fin, RePág, AvPág, Ins, Supr
inline constexpr int PREFIJO_FUNCION = 0;     // F1-F10
inline constexpr int TECLA_ARRIBA = 72;
inline constexpr int TECLA_ABAJO = 80;
inline constexpr int TECLA_IZQUIERDA = 75;
inline constexpr int TECLA_DERECHA = 77;

struct Tecla {
    // -1 para una tecla de un solo código; 0 o 224 para las que llegan en dos lecturas.
    int prefijo = -1;
    // El código (0-255): ASCII, 13 Intro, 27 Escape, 8 Retroceso, el valor de la 437 de un
    // carácter no ASCII ('?' si la 437 no lo tiene), o el segundo código de una extendida.
    int codigo = 0;
    // El carácter en UTF-8 si la tecla escribe uno (letra, cifra, espacio...); vacío si no.
    std::string texto;
    bool operator==(const Tecla&) const = default;
};

class Teclado {
  public:
    explicit Teclado(int espera_escape_ms = 50) : espera_escape_ms_(espera_escape_ms) {}

    void recibir(unsigned char byte);
    // No llegó ningún byte en espera_ms(): un ESC pendiente es la tecla Escape sola; una
    // secuencia a medias se descarta.
    void sin_datos();
    // true mientras hay una secuencia a medias: la próxima lectura debe tener límite de tiempo.
    bool esperando() const;
    int espera_ms() const { return espera_escape_ms_; }

    std::optional<Tecla> sacar();

  private:
    enum class Estado { normal, escape, csi, ss3, linux_funcion, utf8, raton };
    void emitir(Tecla t) { listas_.push_back(std::move(t)); }
    void secuencia_csi(unsigned char final);
    void normal(unsigned char byte);
    void secuencia_ss3(unsigned char final);
    void fin_utf8();
    void descartar_secuencia();

    int espera_escape_ms_;
    Estado estado_ = Estado::normal;
    std::string secuencia_; // parámetros de CSI o bytes de un UTF-8 a medias
    std::size_t utf8_faltan_ = 0;
    std::size_t raton_faltan_ = 0; // bytes crudos que siguen a "ESC [ M" (ratón X10)
    std::deque<Tecla> listas_;
};

} // namespace consola
