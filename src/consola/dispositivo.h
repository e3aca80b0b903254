// Lo que la consola necesita del mundo exterior: leer bytes del teclado con un límite de
// tiempo, escribir bytes, conocer el tamaño de la ventana, el reloj y dormir. El programa usa
// el terminal de la plataforma (plataforma.h); las pruebas, un dispositivo con guion, reloj falso y
// sin esperas. Este fichero no sabe nada del juego.
#pragma once

#include <cstdint>
#include <string_view>

namespace consola {

struct Tamano {
    int columnas = 80;
    int filas = 50;
    bool operator==(const Tamano&) const = default;
};

// Cómo dibujar las cajas: caracteres Unicode, el juego de líneas DEC o ASCII puro (+ - |).
enum class Cajas { unicode, dec, ascii };

// Lo que sabe hacer el terminal. Las secuencias son siempre las de ECMA-48 / xterm; cada campo
// dice si este terminal entiende la suya (en POSIX lo dice terminfo; la consola de Windows
// declara las suyas). Lo que falte se suple con espacios y CUP, que entiende cualquiera.
struct Capacidades {
    bool utf8 = true;             // entiende UTF-8; si no, lo no ASCII sale como '?'
    Cajas cajas = Cajas::unicode; // cómo se dibujan las líneas de las cajas
    int colores = 16;             // 0: sin color (NO_COLOR, o no tiene); 8 (claros en negrita); 16
    bool bce = false;             // borrar pinta con el fondo actual (back_color_erase)
    bool borrar_pantalla = false; // ED: CSI 2 J
    bool borrar_linea = false;    // EL: CSI K
    bool borrar_caracteres = false;   // ECH: CSI n X
    bool repetir = false;             // REP: CSI n b (repite el carácter anterior)
    bool mover_relativo = false;      // CSI n A/B/C/D
    bool mover_basico = false;        // CR, LF (sin volver al principio: la salida va en crudo), BS
    bool pantalla_alternativa = true; // CSI ? 1049 h / l
    int espera_escape_ms = 50;        // cuánto esperar tras un ESC antes de darlo por tecla sola
};

enum class Suceso {
    byte,          // llegó un byte (en Lectura::byte)
    sin_datos,     // pasó el tiempo de espera sin ningún byte
    cambio_tamano, // el terminal cambió de tamaño o volvió de una suspensión: repintar todo
    fin            // no habrá más entrada (fin de fichero, terminal cerrado)
};

struct Lectura {
    Suceso suceso = Suceso::fin;
    unsigned char byte = 0;
};

class Dispositivo {
  public:
    virtual ~Dispositivo() = default;

    // Espera un byte como mucho espera_ms milisegundos; negativo: sin límite.
    virtual Lectura leer(int espera_ms) = 0;
    // Escribe todos los bytes (una sola llamada al sistema siempre que se pueda).
    virtual void escribir(std::string_view bytes) = 0;
    virtual Tamano tamano() = 0;
    virtual Capacidades capacidades() const = 0;
    // Reloj de pared en segundos enteros (lo que daría time()).
    virtual std::int64_t segundos() = 0;
    // Reloj monótono en milisegundos, para medir plazos (no tiene que ver con la hora).
    virtual std::int64_t milisegundos() = 0;
    // Espera sin gastar CPU. Un cambio de tamaño durante la espera no la corta.
    virtual void dormir(int ms) = 0;
    // El título de la ventana, donde el dispositivo tenga una.
    virtual void titulo(std::string_view) {}
};

} // namespace consola
