// El volcado: convierte la memoria de pantalla en los bytes que pone al día el terminal.
// Solo toca su propio estado (lo que cree que enseña el terminal) y la cadena que devuelve;
// no escribe en ningún sitio ni cambia la pantalla, salvo recoger sus campanas.
#include "consola/volcado.h"

#include <string_view>

#include "consola/texto.h"

namespace consola {

namespace {

constexpr int SGR_DESCONOCIDO = -1;
constexpr int SGR_NORMAL = -2;

// Celdas sin cambios entre dos tramos que sale más barato reescribir que saltar con una CUP.
constexpr int HUECO_MAXIMO = 4;

constexpr char32_t LINEA_H = U'\u2500';
constexpr char32_t LINEA_V = U'\u2502';
constexpr char32_t ESQ_SI = U'\u250C';
constexpr char32_t ESQ_SD = U'\u2510';
constexpr char32_t ESQ_II = U'\u2514';
constexpr char32_t ESQ_ID = U'\u2518';

// La letra que dibuja cada línea en el juego de gráficos DEC; 0 si no es de caja.
char letra_dec(char32_t c) {
    switch (c) {
    case LINEA_H:
        return 'q';
    case LINEA_V:
        return 'x';
    case ESQ_SI:
        return 'l';
    case ESQ_SD:
        return 'k';
    case ESQ_II:
        return 'm';
    case ESQ_ID:
        return 'j';
    default:
        return 0;
    }
}

bool es_caja(char32_t c) {
    return letra_dec(c) != 0;
}

char caja_ascii(char32_t c) {
    if (c == LINEA_H) return '-';
    if (c == LINEA_V) return '|';
    return '+';
}

// Un carácter que un terminal tomaría como orden en vez de como letra.
bool es_control(char32_t c) {
    return c < 0x20 || (c >= 0x7F && c <= 0x9F);
}

// La paleta de Windows tiene el rojo y el azul al revés que la ANSI.
int indice_ansi(int w) {
    return ((w & 1) << 2) | (w & 2) | ((w & 4) >> 2);
}
int sgr_texto(int w) {
    return ((w & 8) ? 90 : 30) + indice_ansi(w);
}
int sgr_fondo(int w) {
    return ((w & 8) ? 100 : 40) + indice_ansi(w);
}

void cup(std::string& salida, int x, int y) {
    salida += "\x1b[";
    salida += std::to_string(y + 1);
    salida += ';';
    salida += std::to_string(x + 1);
    salida += 'H';
}

// Reparte el texto en renglones de como mucho `ancho` caracteres (solo ASCII), cortando por los
// espacios y, si una palabra no cabe entera, por donde haga falta.
std::vector<std::string> renglones(std::string_view texto, int ancho) {
    std::vector<std::string> lineas;
    if (ancho < 1) return lineas;
    const auto limite = static_cast<std::size_t>(ancho);
    std::string actual;
    std::size_t pos = 0;
    while (pos < texto.size()) {
        std::size_t fin = texto.find(' ', pos);
        if (fin == std::string_view::npos) fin = texto.size();
        std::string_view palabra = texto.substr(pos, fin - pos);
        pos = fin + 1;
        if (palabra.empty()) continue;
        if (!actual.empty() && actual.size() + 1 + palabra.size() <= limite) {
            actual += ' ';
            actual += palabra;
            continue;
        }
        if (!actual.empty()) lineas.push_back(std::move(actual));
        actual.clear();
        while (palabra.size() > limite) {
            lineas.emplace_back(palabra.substr(0, limite));
            palabra.remove_prefix(limite);
        }
        actual = palabra;
    }
    if (!actual.empty()) lineas.push_back(std::move(actual));
    return lineas;
}

} // namespace

Celda Volcado::visible(Celda celda) const {
    Celda r;
    // Sin color da igual el atributo: todas las celdas se ven con el del terminal.
    r.atributo = capacidades_.colores > 0 ? static_cast<std::uint16_t>(celda.atributo & 0xFF) : 0;
    char32_t c = celda.car;
    if (c < 0x20 || c == 0x7F) {
        // Los bytes de control que el juego escribe se ven como su glifo de la 437, nunca se
        // mandan crudos: el terminal los obedecería.
        const char32_t glifo = cp437(static_cast<unsigned char>(c));
        c = es_control(glifo) ? U' ' : glifo;
    }
    if (c < 0x80) {
        r.car = c;
    } else if (es_control(c) || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
        // C1 (0x9B es CSI para muchos terminales) y lo que no tiene UTF-8 válido.
        r.car = U'?';
    } else if (es_caja(c)) {
        // Un terminal sin UTF-8 leería bytes C1 dentro de la codificación de las líneas.
        const bool ascii = capacidades_.cajas == Cajas::ascii ||
                           (capacidades_.cajas == Cajas::unicode && !capacidades_.utf8);
        r.car = ascii ? static_cast<char32_t>(caja_ascii(c)) : c;
    } else {
        // Lo que no ocupe justo una celda descuadraría el resto de la fila.
        r.car = capacidades_.utf8 && ancho_celda(c) == 1 ? c : U'?';
    }
    return r;
}

void Volcado::poner_atributo(std::string& salida, std::uint16_t atributo) {
    if (capacidades_.colores == 0) {
        if (sgr_ != SGR_NORMAL) {
            salida += "\x1b[0m";
            sgr_ = SGR_NORMAL;
        }
        return;
    }
    if (sgr_ == atributo) return;
    salida += "\x1b[";
    salida += std::to_string(sgr_texto(atributo & 15));
    salida += ';';
    salida += std::to_string(sgr_fondo((atributo >> 4) & 15));
    salida += 'm';
    sgr_ = atributo;
}

void Volcado::mover(std::string& salida, int x, int y) {
    if (x == cursor_x_ && y == cursor_y_) return;
    cup(salida, x, y);
    cursor_x_ = x;
    cursor_y_ = y;
}

void Volcado::escribir_celda(std::string& salida, const Celda& celda, int columnas) {
    poner_atributo(salida, celda.atributo);
    const char letra = capacidades_.cajas == Cajas::dec ? letra_dec(celda.car) : 0;
    if (letra != 0) {
        if (!dec_) {
            salida += "\x1b(0";
            dec_ = true;
        }
        salida += letra;
    } else {
        // Con el juego DEC activo las letras minúsculas saldrían como líneas.
        if (dec_) {
            salida += "\x1b(B";
            dec_ = false;
        }
        if (celda.car < 0x80)
            salida += static_cast<char>(celda.car);
        else
            salida += utf8(celda.car);
    }
    // Tras la última columna el cursor queda pendiente de saltar, y cada terminal lo trata a su
    // manera: mejor no fiarse y volver a colocarlo.
    if (++cursor_x_ >= columnas) cursor_x_ = cursor_y_ = -1;
}

std::string Volcado::cuadro(Pantalla& pantalla, Tamano terminal) {
    const bool campana = pantalla.tomar_campanas() > 0;
    if (terminal.columnas < MIN_COLUMNAS || terminal.filas < MIN_FILAS)
        return aviso(terminal, campana);

    const int columnas = terminal.columnas;
    const int filas = terminal.filas;
    std::string salida;
    const bool entero = !valido_ || terminal != tamano_mostrado_;
    if (entero) {
        mostrado_.assign(static_cast<std::size_t>(columnas) * static_cast<std::size_t>(filas),
                         Celda{});
        tamano_mostrado_ = terminal;
        valido_ = true;
        aviso_ = false;
        cursor_x_ = cursor_y_ = -1;
        cursor_visible_ = -1;
        dec_ = false;
        // Atributos y juego de caracteres limpios por si otro programa los dejó cambiados.
        salida += "\x1b[0m\x1b(B";
        sgr_ = SGR_NORMAL;
    }

    deseada_.resize(static_cast<std::size_t>(columnas));
    const int vx = pantalla.ventana_x();
    const int vy = pantalla.ventana_y();
    // Lo que cae fuera de la memoria se pinta con espacios de verdad: tmux y screen no pintan
    // el fondo al borrar, así que no sirven las órdenes de borrado para dar color.
    const Celda fuera = visible(Celda{U' ', pantalla.atributo_ventana()});
    for (int ty = 0; ty < filas; ++ty) {
        const int by = vy + ty;
        for (int tx = 0; tx < columnas; ++tx) {
            const int bx = vx + tx;
            const bool dentro = bx >= 0 && bx < ANCHO && by >= 0 && by < ALTO;
            deseada_[static_cast<std::size_t>(tx)] =
                dentro ? visible(pantalla.celda(bx, by)) : fuera;
        }
        Celda* mostrada =
            &mostrado_[static_cast<std::size_t>(ty) * static_cast<std::size_t>(columnas)];
        auto cambia = [&](int x) {
            return entero || !(deseada_[static_cast<std::size_t>(x)] == mostrada[x]);
        };
        int x = 0;
        while (x < columnas) {
            if (!cambia(x)) {
                ++x;
                continue;
            }
            int fin = x + 1; // una más allá de la última celda cambiada del tramo
            for (int k = fin; k < columnas && k - fin <= HUECO_MAXIMO; ++k)
                if (cambia(k)) fin = k + 1;
            mover(salida, x, ty);
            for (; x < fin; ++x) {
                escribir_celda(salida, deseada_[static_cast<std::size_t>(x)], columnas);
                mostrada[x] = deseada_[static_cast<std::size_t>(x)];
            }
        }
    }
    if (dec_) {
        salida += "\x1b(B";
        dec_ = false;
    }

    const int cx = pantalla.cursor_x() - vx;
    const int cy = pantalla.cursor_y() - vy;
    if (pantalla.cursor_visible() && cx >= 0 && cy >= 0 && cx < columnas && cy < filas) {
        mover(salida, cx, cy);
        if (cursor_visible_ != 1) {
            salida += "\x1b[?25h";
            cursor_visible_ = 1;
        }
    } else if (cursor_visible_ != 0) {
        salida += "\x1b[?25l";
        cursor_visible_ = 0;
    }
    if (campana) salida += '\a';

    if (salida.empty()) return salida;
    return "\x1b[?2026h" + salida + "\x1b[?2026l";
}

std::string Volcado::aviso(Tamano terminal, bool campana) {
    std::string salida;
    if (!aviso_ || terminal != tamano_mostrado_) {
        salida += "\x1b[0m\x1b[2J";
        sgr_ = SGR_NORMAL;
        cursor_x_ = cursor_y_ = -1;
        const std::string texto = "Quatrelo necesita una ventana de al menos " +
                                  std::to_string(MIN_COLUMNAS) + 'x' + std::to_string(MIN_FILAS) +
                                  '.';
        const std::string tiene = "Ahora tiene " + std::to_string(terminal.columnas) + 'x' +
                                  std::to_string(terminal.filas) + '.';
        // En ventanas estrechas se parte por palabras: una línea que saltara sola pisaría la
        // siguiente.
        std::vector<std::string> lineas = renglones(texto, terminal.columnas);
        for (std::string& l : renglones(tiene, terminal.columnas))
            lineas.push_back(std::move(l));
        for (int i = 0; i < static_cast<int>(lineas.size()) && i < terminal.filas; ++i) {
            cup(salida, 0, i);
            salida += lineas[static_cast<std::size_t>(i)];
        }
        salida += "\x1b[?25l";
        cursor_visible_ = 0;
        // Lo que hubiera en el terminal se ha borrado: el próximo cuadro normal lo pinta todo.
        valido_ = false;
        aviso_ = true;
        tamano_mostrado_ = terminal;
    }
    if (campana) salida += '\a';
    if (salida.empty()) return salida;
    return "\x1b[?2026h" + salida + "\x1b[?2026l";
}

void Volcado::olvidar() {
    valido_ = false;
    aviso_ = false;
    cursor_x_ = cursor_y_ = -1;
    sgr_ = SGR_DESCONOCIDO;
    cursor_visible_ = -1;
}

} // namespace consola
