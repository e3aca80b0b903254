// El analizador del teclado: de los bytes que manda un terminal a las teclas que daría _getch en
// una consola DOS. Sin E/S ni reloj: quien lo usa le pasa bytes y le avisa cuando no llegó
// ninguno a tiempo. Solo toca su propio estado; usa texto.h para la página de códigos 437.
#include "consola/teclado.h"

#include "consola/texto.h"

namespace consola {

namespace {

constexpr unsigned char ESC = 0x1B;
// Una secuencia de control más larga no la manda ningún terminal por una tecla: es basura y no
// se deja crecer sin fin.
constexpr std::size_t MAX_SECUENCIA = 32;

Tecla extendida(int codigo) {
    return Tecla{PREFIJO_EXTENDIDA, codigo, {}};
}
Tecla funcion(int codigo) {
    return Tecla{PREFIJO_FUNCION, codigo, {}};
}

// Las finales comunes a CSI y SS3: flechas, Inicio y Fin.
std::optional<Tecla> flecha_o_extremo(unsigned char final) {
    switch (final) {
    case 'A':
        return extendida(TECLA_ARRIBA);
    case 'B':
        return extendida(TECLA_ABAJO);
    case 'C':
        return extendida(TECLA_DERECHA);
    case 'D':
        return extendida(TECLA_IZQUIERDA);
    case 'H':
        return extendida(71);
    case 'F':
        return extendida(79);
    default:
        return std::nullopt;
    }
}

bool es_parametro(unsigned char b) {
    return b >= 0x20 && b <= 0x3F;
}
bool es_final(unsigned char b) {
    return b >= 0x40 && b <= 0x7E;
}
bool es_continuacion(unsigned char b) {
    return (b & 0xC0) == 0x80;
}

// Un marcador privado ('<' del ratón SGR, '?' de las respuestas del terminal...) dice que la
// secuencia no es una tecla, aunque acabe en una letra de flecha.
bool es_privada(const std::string& parametros) {
    return !parametros.empty() && parametros[0] >= 0x3C && parametros[0] <= 0x3F;
}

// El primer parámetro numérico; 0 si no hay o no es un número.
int primer_parametro(const std::string& parametros) {
    int n = 0;
    for (char c : parametros) {
        if (c < '0' || c > '9') break;
        n = n * 10 + (c - '0');
        if (n > 9999) return 0; // nadie manda números así por una tecla
    }
    return n;
}

std::optional<Tecla> tecla_con_tilde(int n) {
    switch (n) {
    case 1:
    case 7:
        return extendida(71);
    case 2:
        return extendida(82);
    case 3:
        return extendida(83);
    case 4:
    case 8:
        return extendida(79);
    case 5:
        return extendida(73);
    case 6:
        return extendida(81);
    case 23:
        return extendida(133);
    case 24:
        return extendida(134);
    default:
        break;
    }
    if (n >= 11 && n <= 15) return funcion(59 + (n - 11));
    if (n >= 17 && n <= 21) return funcion(64 + (n - 17));
    return std::nullopt;
}

} // namespace

void Teclado::descartar_secuencia() {
    estado_ = Estado::normal;
    secuencia_.clear();
    utf8_faltan_ = 0;
    raton_faltan_ = 0;
}

void Teclado::recibir(unsigned char byte) {
    switch (estado_) {
    case Estado::normal:
        normal(byte);
        return;

    case Estado::escape:
        if (byte == '[') {
            estado_ = Estado::csi;
            secuencia_.clear();
        } else if (byte == 'O') {
            estado_ = Estado::ss3;
            secuencia_.clear();
        } else if (byte == ESC) {
            // El primero era un Escape de verdad; el segundo puede empezar una secuencia.
            emitir(Tecla{-1, TECLA_ESCAPE, {}});
        } else {
            // Alt+tecla llega como ESC y la tecla: se entrega como Escape y luego la tecla.
            emitir(Tecla{-1, TECLA_ESCAPE, {}});
            estado_ = Estado::normal;
            normal(byte);
        }
        return;

    case Estado::csi:
        if (secuencia_.empty() && byte == '[') {
            estado_ = Estado::linux_funcion;
        } else if (es_parametro(byte)) {
            secuencia_.push_back(static_cast<char>(byte));
            if (secuencia_.size() > MAX_SECUENCIA) descartar_secuencia();
        } else if (es_final(byte)) {
            if (byte == 'M' && secuencia_.empty()) {
                // Ratón X10: tres bytes crudos que no son teclas aunque lo parezcan.
                estado_ = Estado::raton;
                raton_faltan_ = 3;
                return;
            }
            secuencia_csi(byte);
            descartar_secuencia();
        } else {
            // Un control o un byte alto en medio: la secuencia estaba rota; el byte cuenta solo.
            descartar_secuencia();
            normal(byte);
        }
        return;

    case Estado::ss3:
        if (es_parametro(byte)) {
            // Algunos terminales viejos ponen el modificador aquí ("ESC O 5 P").
            secuencia_.push_back(static_cast<char>(byte));
            if (secuencia_.size() > MAX_SECUENCIA) descartar_secuencia();
        } else if (es_final(byte)) {
            secuencia_ss3(byte);
            descartar_secuencia();
        } else {
            descartar_secuencia();
            normal(byte);
        }
        return;

    case Estado::linux_funcion:
        descartar_secuencia();
        if (byte >= 'A' && byte <= 'E') {
            emitir(funcion(59 + (byte - 'A')));
        } else if (!es_final(byte) && !es_parametro(byte)) {
            normal(byte);
        }
        return;

    case Estado::utf8:
        if (!es_continuacion(byte)) {
            descartar_secuencia();
            normal(byte);
            return;
        }
        // El segundo byte tiene límites más estrechos: sin formas largas, sin sustitutos,
        // nada por encima de U+10FFFF.
        if (secuencia_.size() == 1) {
            const auto primero = static_cast<unsigned char>(secuencia_[0]);
            const bool valido = (primero == 0xE0)   ? byte >= 0xA0
                                : (primero == 0xED) ? byte <= 0x9F
                                : (primero == 0xF0) ? byte >= 0x90
                                : (primero == 0xF4) ? byte <= 0x8F
                                                    : true;
            if (!valido) {
                // Un byte de continuación suelto no empieza nada: se pierde con la secuencia.
                descartar_secuencia();
                return;
            }
        }
        secuencia_.push_back(static_cast<char>(byte));
        if (--utf8_faltan_ == 0) fin_utf8();
        return;

    case Estado::raton:
        if (--raton_faltan_ == 0) descartar_secuencia();
        return;
    }
}

void Teclado::normal(unsigned char byte) {
    if (byte == 0x00) return;
    if (byte == ESC) {
        estado_ = Estado::escape;
        return;
    }
    if (byte == 0x7F || byte == 0x08) {
        emitir(Tecla{-1, TECLA_RETROCESO, {}});
        return;
    }
    if (byte == '\n') {
        // Un Intro tecleado antes de pasar a modo crudo llega ya traducido a fin de línea.
        emitir(Tecla{-1, TECLA_INTRO, {}});
        return;
    }
    if (byte < 0x20) {
        // Intro, tabulador y Ctrl+letra: su código y ningún texto.
        emitir(Tecla{-1, byte, {}});
        return;
    }
    if (byte < 0x7F) {
        emitir(Tecla{-1, byte, std::string(1, static_cast<char>(byte))});
        return;
    }
    std::size_t faltan = 0;
    if (byte >= 0xC2 && byte <= 0xDF)
        faltan = 1;
    else if (byte >= 0xE0 && byte <= 0xEF)
        faltan = 2;
    else if (byte >= 0xF0 && byte <= 0xF4)
        faltan = 3;
    if (faltan == 0) return; // no empieza ningún carácter: se pierde
    estado_ = Estado::utf8;
    secuencia_.assign(1, static_cast<char>(byte));
    utf8_faltan_ = faltan;
}

void Teclado::fin_utf8() {
    const std::string bytes = secuencia_;
    descartar_secuencia();
    const auto b0 = static_cast<unsigned char>(bytes[0]);
    char32_t c = 0;
    if (bytes.size() == 2)
        c = b0 & 0x1F;
    else if (bytes.size() == 3)
        c = b0 & 0x0F;
    else
        c = b0 & 0x07;
    for (std::size_t i = 1; i < bytes.size(); ++i)
        c = (c << 6) | (static_cast<unsigned char>(bytes[i]) & 0x3F);
    // Los controles C1 no son teclas; un terminal de 8 bits los tomaría por órdenes.
    if (c < 0xA0) return;
    int codigo = a_cp437(c);
    // Un carácter que la 437 pone en la zona de control (♪ en el 13, ← en el 27) no debe
    // hacerse pasar por Intro o Escape.
    if (codigo < 0x80) codigo = '?';
    emitir(Tecla{-1, codigo, bytes});
}

void Teclado::secuencia_csi(unsigned char final) {
    if (es_privada(secuencia_)) return;
    if (final == '~') {
        if (auto t = tecla_con_tilde(primer_parametro(secuencia_))) emitir(*t);
        return;
    }
    // Con parámetros ("1;5A" es Ctrl+Arriba) sigue siendo la misma tecla para el juego.
    if (auto t = flecha_o_extremo(final)) emitir(*t);
}

void Teclado::secuencia_ss3(unsigned char final) {
    if (final >= 'P' && final <= 'S') {
        emitir(funcion(59 + (final - 'P')));
        return;
    }
    if (auto t = flecha_o_extremo(final)) emitir(*t);
}

void Teclado::sin_datos() {
    if (estado_ == Estado::escape) emitir(Tecla{-1, TECLA_ESCAPE, {}});
    descartar_secuencia();
}

bool Teclado::esperando() const {
    return estado_ != Estado::normal;
}

std::optional<Tecla> Teclado::sacar() {
    if (listas_.empty()) return std::nullopt;
    Tecla t = std::move(listas_.front());
    listas_.pop_front();
    return t;
}

} // namespace consola
