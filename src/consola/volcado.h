// El volcado: de la memoria de pantalla al terminal. Guarda el cuadro que el terminal enseña y
// manda solo las celdas que cambiaron, en un único bloque (envuelto en salida sincronizada si
// toca más de una fila), con las órdenes más baratas que el terminal entienda (borrados,
// repeticiones, movimientos cortos).
// No hace E/S: devuelve los bytes; quien lo usa los escribe de una vez.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "consola/dispositivo.h"
#include "consola/pantalla.h"

namespace consola {

// Por debajo de esto no se dibuja el juego, sino un aviso con el tamaño necesario.
inline constexpr int MIN_COLUMNAS = 40;
inline constexpr int MIN_FILAS = 12;

class Volcado {
  public:
    explicit Volcado(Capacidades capacidades) : capacidades_(capacidades) {}

    // Los bytes que llevan el terminal (de tamaño `terminal`) de lo que enseñaba a lo que hay en
    // la pantalla: celdas cambiadas, cursor, visibilidad del cursor, campana. Cadena vacía si no
    // hay nada que mandar. La ventana visible es la de la pantalla (ventana_x, ventana_y); lo
    // que el terminal tenga de más a la derecha o abajo se pinta con el atributo de ventana.
    std::string cuadro(Pantalla& pantalla, Tamano terminal);

    // El terminal ya no enseña lo que creemos (cambio de tamaño, vuelta de una suspensión):
    // el próximo cuadro lo repinta todo.
    void olvidar();

  private:
    // Lo que sabemos del terminal entre una orden y la siguiente. Cursor -1: no se sabe dónde
    // está (también tras escribir en la última columna, que cada terminal trata a su manera).
    struct Estado {
        int cx = -1, cy = -1;
        int sgr = -1;     // atributo vigente; -1 desconocido, -2 el del terminal ("\x1b[0m")
        bool dec = false; // juego de líneas DEC activo (solo dentro de un cuadro)
    };

    // Cómo se ve una celda en este terminal: el carácter que de verdad se manda (sustituciones
    // hechas) y el atributo que se nota (de un blanco, solo el fondo). Comparar lo visible evita
    // mandar lo que no se notaría.
    Celda visible(Celda celda) const;
    // Un blanco que una orden de borrado deja igual que si se escribiera.
    bool se_borra(const Celda& celda) const;
    int bytes_celda(const Celda& celda) const;

    // Todas las filas, desde lo que enseña `mostrado` hasta deseado_.
    std::string pintar(const Celda* mostrado, int columnas, int filas);
    void fila(std::string& salida, int y, const Celda* deseada, const Celda* mostrada,
              int columnas);
    // Las celdas cambiadas de [desde, hasta) de la fila y.
    void tramos(std::string& salida, int y, const Celda* deseada, const Celda* mostrada, int desde,
                int hasta, int columnas);
    // Las celdas [a, b) seguidas, con el cursor ya en a.
    void escribir_tramo(std::string& salida, int y, const Celda* deseada, int a, int b,
                        int columnas);
    bool mejor_reescribir(const Celda* deseada, int a, int b, int y) const;
    void escribir_celda(std::string& salida, const Celda& celda, int columnas);
    void poner_atributo(std::string& salida, const Celda& celda);
    // La forma más corta de llevar el cursor de (cx, cy) a (x, y).
    std::string movimiento(int cx, int cy, int x, int y) const;
    void mover(std::string& salida, int x, int y);
    std::string aviso(Tamano terminal, bool campana);

    // Los pasos de un cuadro.
    struct Recuento {
        std::array<int, 256> fondos{}; // blancos por atributo
        std::array<int, 256> textos{}; // no blancos por atributo
        std::size_t distintas = 0;     // celdas que cambian
        int filas_cambiadas = 0;
        bool borra_pantalla = false; // cambios() eligió borrarla entera y pintar lo demás
    };
    // Olvida lo que enseñaba el terminal (todo desconocido) y devuelve cómo empezar limpio.
    std::string empezar_de_cero(Tamano terminal);
    // deseado_: la ventana de la pantalla tal como se verá; cuenta lo que hay y lo que cambia.
    Recuento componer(const Pantalla& pantalla, Tamano terminal);
    // Las órdenes que llevan de mostrado_ a deseado_: solo lo que cambió o, si sale más corto,
    // borrar con el fondo que más abunda y pintar lo demás.
    std::string cambios(Recuento& recuento, bool entero);
    std::string borrar_y_pintar(const Recuento& recuento, Celda fondo);
    // Lleva el cursor del terminal al de la pantalla y lo enseña, o lo oculta si no se ve.
    void poner_cursor(std::string& salida, const Pantalla& pantalla, Tamano terminal);

    Capacidades capacidades_;
    std::vector<Celda> mostrado_; // lo que enseña el terminal, ya en forma visible
    std::vector<Celda> deseado_;  // lo que debe enseñar tras este cuadro
    std::vector<Celda> limpio_;   // la pantalla recién borrada, para comparar con ella
    Tamano tamano_mostrado_{0, 0};
    bool valido_ = false;
    bool aviso_ = false; // el terminal enseña el aviso de tamaño de tamano_mostrado_
    Estado e_;
    int cursor_visible_ = -1; // 0 oculto, 1 visible, -1 no se sabe
};

} // namespace consola
