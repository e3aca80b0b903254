// La lógica de la consola de Windows sin Windows: capacidades, el intérprete VT para la consola
// clásica y la traducción de teclas. Solo toca su propio estado, la consola clásica que le dan
// y la cola de lecturas que le pasan; usa texto.h para el UTF-8.
#include "consola/consola_clasica.h"

#include <algorithm>
#include <vector>

#include "consola/pantalla.h"
#include "consola/texto.h"

namespace consola {

Capacidades capacidades_de_la_consola(bool con_color) {
    // Borra con el fondo actual (ED, EL, ECH), movimientos relativos, CR, LF y BS, pero no REP.
    Capacidades c;
    c.utf8 = true;
    c.cajas = Cajas::unicode;
    c.colores = con_color ? 16 : 0;
    c.bce = true;
    c.borrar_pantalla = true;
    c.borrar_linea = true;
    c.borrar_caracteres = true;
    c.repetir = false;
    c.mover_relativo = true;
    c.mover_basico = true;
    c.pantalla_alternativa = true;
    // Windows da las teclas enteras: un ESC solo llega seguido de "sin datos" (TeclasConsola).
    c.espera_escape_ms = 0;
    return c;
}

namespace {

// Los parámetros numéricos de una CSI ("?" de las privadas aparte); los que faltan valen 0.
std::vector<int> parametros(std::u16string_view secuencia) {
    std::vector<int> r(1, 0);
    for (std::size_t i = secuencia[0] == u'?' ? 1 : 0; i < secuencia.size(); ++i) {
        if (secuencia[i] == u';')
            r.push_back(0);
        else if (secuencia[i] >= u'0' && secuencia[i] <= u'9' && r.back() < 10000)
            r.back() = r.back() * 10 + (secuencia[i] - u'0');
    }
    return r;
}

std::uint16_t color_consola(int ansi) {
    return static_cast<std::uint16_t>(cambiar_rojo_y_azul(ansi));
}

} // namespace

void InterpreteVT::escribir(std::string_view bytes) {
    if (const std::optional<Tamano> v = consola_.ventana()) {
        ancho_ = v->columnas;
        alto_ = v->filas;
        x_ = std::min(x_, ancho_ - 1);
        y_ = std::min(y_, alto_ - 1);
    }
    for (std::size_t pos = 0; pos < bytes.size();) {
        const Decodificado d = decodificar(bytes, pos);
        pos += d.bytes;
        // La consola clásica guarda una mitad de UTF-16 por celda: un carácter de fuera del
        // plano básico ocuparía dos y correría el resto de la fila.
        caracter(d.car < 0x10000 ? static_cast<char16_t>(d.car) : u'?');
    }
    soltar();
    consola_.cursor(x_, y_);
}

void InterpreteVT::caracter(char16_t c) {
    switch (estado_) {
    case Estado::escape:
        estado_ = c == u'['                  ? Estado::csi
                  : c == u']'                ? Estado::osc
                  : (c == u'(' || c == u')') ? Estado::juego
                                             : Estado::texto;
        secuencia_.clear();
        return;
    case Estado::csi:
        if (c >= 0x20 && c <= 0x3F) {
            secuencia_.push_back(c);
        } else {
            if (c >= 0x40 && c <= 0x7E) orden(c);
            estado_ = Estado::texto;
        }
        return;
    case Estado::osc: // el título va aparte; una OSC se salta entera
        if (c == 0x07 || c == 0x1B) estado_ = c == 0x1B ? Estado::juego : Estado::texto;
        return;
    case Estado::juego: // ESC ( B y compañía: las cajas ya vienen en Unicode
        estado_ = Estado::texto;
        return;
    case Estado::texto:
        break;
    }
    if (c == 0x1B) {
        soltar();
        estado_ = Estado::escape;
    } else if (c == u'\r' || c == u'\n' || c == u'\b') {
        soltar();
        margen_ = false;
        if (c == u'\r') x_ = 0;
        if (c == u'\n') y_ = std::min(y_ + 1, alto_ - 1);
        if (c == u'\b') x_ = std::max(x_ - 1, 0);
    } else if (c == 0x07) {
        soltar();
        consola_.campana();
    } else if (c >= 0x20) {
        if (margen_) {
            soltar();
            x_ = 0;
            y_ = std::min(y_ + 1, alto_ - 1);
            margen_ = false;
        }
        if (tramo_.empty()) tramo_x_ = x_;
        tramo_.push_back(c);
        if (x_ == ancho_ - 1)
            margen_ = true;
        else
            ++x_;
    }
}

void InterpreteVT::orden(char16_t final) {
    if (secuencia_.empty()) secuencia_.push_back(u'0');
    const std::vector<int> p = parametros(secuencia_);
    const int n = std::max(p[0], 1);
    const bool privada = secuencia_[0] == u'?';
    // Como en xterm, los colores y los modos no anulan el salto de fila pendiente.
    if (final != u'm' && final != u'h' && final != u'l') margen_ = false;
    switch (final) {
    case u'H':
    case u'f':
        y_ = n - 1;
        x_ = p.size() > 1 ? std::max(p[1], 1) - 1 : 0;
        break;
    case u'A':
        y_ -= n;
        break;
    case u'B':
        y_ += n;
        break;
    case u'C':
        x_ += n;
        break;
    case u'D':
        x_ -= n;
        break;
    case u'G':
        x_ = n - 1;
        break;
    case u'd':
        y_ = n - 1;
        break;
    case u'J':
        if (p[0] == 0)
            borrar(x_, y_, (alto_ - y_) * ancho_ - x_);
        else if (p[0] == 1)
            borrar(0, 0, y_ * ancho_ + x_ + 1);
        else
            borrar(0, 0, alto_ * ancho_);
        break;
    case u'K':
        if (p[0] == 0)
            borrar(x_, y_, ancho_ - x_);
        else if (p[0] == 1)
            borrar(0, y_, x_ + 1);
        else
            borrar(0, y_, ancho_);
        break;
    case u'X':
        borrar(x_, y_, std::min(n, ancho_ - x_));
        break;
    case u'm':
        colores();
        break;
    case u'h':
    case u'l':
        if (privada && p[0] == 25) consola_.cursor_visible(final == u'h');
        break;
    default:
        break;
    }
    x_ = std::clamp(x_, 0, ancho_ - 1);
    y_ = std::clamp(y_, 0, alto_ - 1);
}

void InterpreteVT::colores() {
    const std::vector<int> p = parametros(secuencia_);
    std::uint16_t texto = atributo_ & 0x0F, fondo = atributo_ & 0xF0;
    for (std::size_t i = 0; i < p.size(); ++i) {
        const int v = p[i];
        if (v == 0) {
            texto = defecto_ & 0x0F;
            fondo = defecto_ & 0xF0;
        } else if (v >= 30 && v <= 37)
            texto = color_consola(v - 30);
        else if (v >= 90 && v <= 97)
            texto = color_consola(v - 90) | 8;
        else if (v == 39)
            texto = defecto_ & 0x0F;
        else if (v >= 40 && v <= 47)
            fondo = static_cast<std::uint16_t>(color_consola(v - 40) << 4);
        else if (v >= 100 && v <= 107)
            fondo = static_cast<std::uint16_t>((color_consola(v - 100) | 8) << 4);
        else if (v == 49)
            fondo = defecto_ & 0xF0;
        else if ((v == 38 || v == 48) && i + 1 < p.size())
            i += p[i + 1] == 5 ? 2 : 4;
    }
    atributo_ = texto | fondo;
}

void InterpreteVT::soltar() {
    if (tramo_.empty()) return;
    consola_.escribir(tramo_x_, y_, tramo_, atributo_);
    tramo_.clear();
}

// Borra como una consola con bce: blancos en el color actual.
void InterpreteVT::borrar(int x, int y, int n) {
    if (n > 0) consola_.rellenar(x, y, n, u' ', atributo_);
}

namespace {

// Las teclas sin carácter, como las manda un xterm. nullptr: no es una de ellas.
const char* secuencia(Virtual tecla) {
    switch (tecla) {
    case Virtual::arriba:
        return "\x1b[A";
    case Virtual::abajo:
        return "\x1b[B";
    case Virtual::derecha:
        return "\x1b[C";
    case Virtual::izquierda:
        return "\x1b[D";
    case Virtual::inicio:
        return "\x1b[H";
    case Virtual::fin:
        return "\x1b[F";
    case Virtual::insertar:
        return "\x1b[2~";
    case Virtual::suprimir:
        return "\x1b[3~";
    case Virtual::repag:
        return "\x1b[5~";
    case Virtual::avpag:
        return "\x1b[6~";
    case Virtual::f1:
        return "\x1bOP";
    case Virtual::f2:
        return "\x1bOQ";
    case Virtual::f3:
        return "\x1bOR";
    case Virtual::f4:
        return "\x1bOS";
    case Virtual::f5:
        return "\x1b[15~";
    case Virtual::f6:
        return "\x1b[17~";
    case Virtual::f7:
        return "\x1b[18~";
    case Virtual::f8:
        return "\x1b[19~";
    case Virtual::f9:
        return "\x1b[20~";
    case Virtual::f10:
        return "\x1b[21~";
    case Virtual::f11:
        return "\x1b[23~";
    case Virtual::f12:
        return "\x1b[24~";
    default:
        return nullptr;
    }
}

void poner(std::string_view bytes, std::deque<Lectura>& cola) {
    for (const char b : bytes)
        cola.push_back(Lectura{Suceso::byte, static_cast<unsigned char>(b)});
}

bool entre(Virtual tecla, Virtual desde, Virtual hasta) {
    return tecla >= desde && tecla <= hasta;
}

} // namespace

void TeclasConsola::caracter(char16_t c, std::deque<Lectura>& cola) {
    if (c >= 0xD800 && c <= 0xDBFF) {
        sustituto_alto_ = c;
        return;
    }
    char32_t codigo = c;
    if (c >= 0xDC00 && c <= 0xDFFF) {
        if (sustituto_alto_ == 0) return;
        codigo = 0x10000 + ((static_cast<char32_t>(sustituto_alto_) - 0xD800) << 10) + (c - 0xDC00);
    }
    sustituto_alto_ = 0;
    poner(utf8(codigo), cola);
}

void TeclasConsola::traducir(const SucesoTecla& s, std::deque<Lectura>& cola) {
    const char16_t c = s.caracter;
    if (!s.pulsada) {
        // Alt + cifras del teclado numérico: el carácter llega al soltar Alt.
        if (s.tecla == Virtual::alt && c != 0) caracter(c, cola);
        return;
    }
    // Las cifras de Alt + número no son teclas (con Bloq Num apagado serían flechas).
    if (s.alt && !s.ctrl && !s.extendida &&
        (entre(s.tecla, Virtual::numerico0, Virtual::numerico9) ||
         entre(s.tecla, Virtual::repag, Virtual::abajo) || s.tecla == Virtual::insertar ||
         s.tecla == Virtual::borrar_centro))
        return;
    for (int i = 0; i < std::max(1, s.repeticiones); ++i) {
        if (s.tecla == Virtual::escape || c == 0x1B) {
            poner("\x1b", cola);
            cola.push_back(Lectura{Suceso::sin_datos, 0});
        } else if (const char* b = secuencia(s.tecla)) {
            poner(b, cola);
        } else if (s.tecla == Virtual::intro) {
            // Intro es siempre \r, también con Ctrl (que daría \n) o el del teclado numérico:
            // wine, al arrancar, a veces la entrega así.
            poner("\r", cola);
        } else if (c != 0) {
            caracter(c, cola);
        }
    }
}

} // namespace consola
