// La memoria de pantalla de 80x50 con su cursor y su ventana visible. Solo toca sus propias
// celdas: no escribe en el terminal (eso lo hace el volcado) ni sabe nada del juego.
#include "consola/pantalla.h"

#include <algorithm>

#include "consola/texto.h"

namespace consola {

Pantalla::Pantalla() = default;

void Pantalla::escribir(std::string_view texto) {
    std::size_t pos = 0;
    while (pos < texto.size()) {
        const Decodificado d = decodificar(texto, pos);
        pos += d.bytes;
        switch (d.car) {
        case U'\n':
            salto_de_linea();
            break;
        case U'\r':
            cx_ = 0;
            break;
        case U'\t': {
            // Una tabulación solo mueve el cursor: lo que hubiera debajo se sigue viendo.
            const int siguiente = (cx_ / 8 + 1) * 8;
            if (siguiente >= ANCHO)
                salto_de_linea();
            else
                cx_ = siguiente;
            break;
        }
        case U'\a':
            ++campanas_;
            break;
        default:
            poner(d.car);
        }
    }
    seguir_cursor();
}

void Pantalla::poner(char32_t c) {
    celdas_[cy_][cx_] = Celda{c, atributo_};
    // La consola salta de fila en cuanto escribe en la última columna, no al escribir la
    // siguiente: las pantallas que llenan 80 columnas y luego mandan '\n' cuentan con ello.
    if (++cx_ >= ANCHO) salto_de_linea();
}

void Pantalla::salto_de_linea() {
    cx_ = 0;
    if (cy_ + 1 >= ALTO)
        desplazar();
    else
        ++cy_;
}

void Pantalla::desplazar() {
    for (int y = 0; y + 1 < ALTO; ++y)
        std::copy(std::begin(celdas_[y + 1]), std::end(celdas_[y + 1]), std::begin(celdas_[y]));
    std::fill(std::begin(celdas_[ALTO - 1]), std::end(celdas_[ALTO - 1]), Celda{U' ', atributo_});
    ++version_;
}

bool Pantalla::mover_cursor(int x, int y) {
    if (x < 0 || x >= ANCHO || y < 0 || y >= ALTO) return false;
    cx_ = x;
    cy_ = y;
    seguir_cursor();
    return true;
}

void Pantalla::limpiar() {
    for (auto& fila_celdas : celdas_)
        std::fill(std::begin(fila_celdas), std::end(fila_celdas), Celda{U' ', atributo_});
    cx_ = 0;
    cy_ = 0;
    vx_ = 0;
    vy_ = 0;
    limpiada_ = true;
    ++version_;
}

void Pantalla::color_ventana(std::uint16_t atributo) {
    for (auto& fila_celdas : celdas_)
        for (auto& c : fila_celdas)
            c.atributo = atributo;
    atributo_ = atributo;
    atributo_ventana_ = atributo;
    // Cambian todas las celdas: al volcado no le sale a cuenta comparar.
    ++version_;
}

std::string Pantalla::fila(int y) const {
    return texto(0, y, ANCHO);
}

std::string Pantalla::texto(int x, int y, int n) const {
    std::string r;
    if (y < 0 || y >= ALTO || x < 0 || x >= ANCHO || n <= 0) return r;
    const int fin = std::min(ANCHO, x + n);
    for (int i = x; i < fin; ++i)
        r += utf8(celdas_[y][i].car);
    return r;
}

int Pantalla::tomar_campanas() {
    const int n = campanas_;
    campanas_ = 0;
    return n;
}

void Pantalla::tamano_ventana(int columnas, int filas) {
    ventana_ancho_ = std::clamp(columnas, 1, ANCHO);
    ventana_alto_ = std::clamp(filas, 1, ALTO);
    seguir_cursor();
}

void Pantalla::asentar_ventana() {
    // Una pantalla que se vuelve a dibujar de arriba abajo (el tablero entre el turno de la
    // persona y el del ordenador) no debe saltar: la ventana se queda donde estaba si desde ahí
    // se ve el cursor y no queda por encima nada escrito desde que se limpió.
    if (limpiada_) {
        limpiada_ = false;
        int primera = cy_;
        for (int y = 0; y < cy_ && primera == cy_; ++y)
            if (std::ranges::any_of(celdas_[y], [](const Celda& c) { return c.car != U' '; }))
                primera = y;
        vy_ = std::clamp(std::max(vy_, std::min(vy_cuadro_, primera)), 0, ALTO - ventana_alto_);
    }
    vy_cuadro_ = vy_;
}

void Pantalla::seguir_cursor() {
    // Como la ventana de una consola: se mueve lo justo para que el cursor quede dentro, así
    // lo escrito encima del cursor sigue a la vista mientras quepa.
    if (cx_ < vx_) vx_ = cx_;
    if (cx_ >= vx_ + ventana_ancho_) vx_ = cx_ - ventana_ancho_ + 1;
    if (cy_ < vy_) vy_ = cy_;
    if (cy_ >= vy_ + ventana_alto_) vy_ = cy_ - ventana_alto_ + 1;
    vx_ = std::clamp(vx_, 0, ANCHO - ventana_ancho_);
    vy_ = std::clamp(vy_, 0, ALTO - ventana_alto_);
}

} // namespace consola
