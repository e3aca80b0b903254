// El analizador del teclado: de los bytes que manda un terminal a las teclas que daría _getch en
// una consola DOS. Sin E/S ni reloj: quien lo usa le pasa bytes y le avisa cuando no llegó
// ninguno a tiempo. Solo toca su propio estado; usa texto.h para el UTF-8 y la página 437.
//
// Sigue la gramática de las secuencias de control, sean del largo que sean: CSI es "ESC [",
// parámetros 0x30-0x3F, intermedios 0x20-0x2F y un final 0x40-0x7E; SS3 es "ESC O" y un byte;
// OSC, DCS, SOS, PM y APC ("ESC ]", "ESC P", "ESC X", "ESC ^", "ESC _") llegan hasta ST
// ("ESC \") o BEL. Una secuencia se traga entera aunque no quepa lo que se guarda de ella, y una
// que no es ninguna tecla no da nada. Un byte de control dentro de una secuencia se trata como
// en xterm y los VT500: CAN y SUB la anulan, ESC la deja y empieza otra, DEL no cuenta, y los
// demás controles de C0 dentro de CSI o SS3 valen como si llegaran fuera (un Intro sigue siendo
// Intro) sin romper la secuencia; dentro de una cadena OSC o DCS son parte de ella.
#include "consola/teclado.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "consola/texto.h"

namespace consola {

namespace {

constexpr unsigned char BEL = 0x07;
constexpr unsigned char CAN = 0x18;
constexpr unsigned char SUB = 0x1A;
constexpr unsigned char ESC = 0x1B;
constexpr unsigned char DEL = 0x7F;
// Lo que se guarda de los parámetros de una secuencia: ninguna tecla trae tantos. Lo que pasa de
// aquí se sigue tragando hasta el final, pero la secuencia ya no puede ser una tecla.
constexpr std::size_t MAX_PARAMETROS = 32;

bool es_parametro(unsigned char b) {
    return b >= 0x30 && b <= 0x3F;
}
bool es_final(unsigned char b) {
    return b >= 0x40 && b <= 0x7E;
}

// Hasta tres parámetros numéricos con hasta tres subparámetros cada uno ("57;2:3" es {57},
// {2, 3}); los que faltan valen 0.
using Parametros = std::array<std::array<int, 3>, 3>;
Parametros leer_parametros(std::string_view s) {
    Parametros p{};
    std::size_t i = 0, j = 0;
    for (const char c : s) {
        if (c == ';') {
            ++i;
            j = 0;
        } else if (c == ':') {
            ++j;
        } else if (i < 3 && j < 3) {
            // Tope para no desbordar: un número así no es ninguna tecla.
            p[i][j] = std::min(p[i][j] * 10 + (c - '0'), 9'999'999);
        }
    }
    return p;
}

// Los códigos de kitty para el teclado numérico: 0-9 e Intro.
constexpr int KITTY_NUMERICO_0 = 57399;
constexpr int KITTY_NUMERICO_INTRO = 57414;
// Los bits de los modificadores de xterm y kitty (el parámetro menos 1).
constexpr int MOD_MAYUSCULAS = 1;
constexpr int MOD_ALT = 2;
constexpr int MOD_CTRL_Y_OTROS = 4 | 8 | 16 | 32; // Ctrl, Super, Hyper, Meta
constexpr int SUCESO_SOLTAR = 3;                  // kitty: la tecla se soltó

} // namespace

void Teclado::emitir(Tecla t) {
    if (alt_) {
        alt_ = false;
        // Alt + una tecla de carácter que tiene código de Alt en DOS; las demás no dan nada.
        if (t.texto.size() != 1) return;
        char c = t.texto[0];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        const FilaAlt* fila = nullptr;
        for (const FilaAlt& f : FILAS_ALT)
            if (f.teclas.find(c) != std::string_view::npos) fila = &f;
        if (fila == nullptr) return;
        t = Tecla{PREFIJO_FUNCION, fila->primero + static_cast<int>(fila->teclas.find(c)), {}};
    }
    listas_.push_back(std::move(t));
}

void Teclado::doble(std::string_view xterm) {
    for (const TeclaDoble& t : TECLAS_DOBLES)
        if (t.xterm == xterm) emitir(Tecla{t.prefijo, t.codigo, {}});
}

void Teclado::control(unsigned char byte) {
    if (byte == 0x00) return;
    if (byte == DEL || byte == TECLA_RETROCESO)
        emitir(Tecla{-1, TECLA_RETROCESO, {}});
    else if (byte == '\n')
        // Un Intro tecleado antes de pasar a modo crudo llega ya traducido a fin de línea.
        emitir(Tecla{-1, TECLA_INTRO, {}});
    else
        // Intro, tabulador y Ctrl+letra: su código y ningún texto.
        emitir(Tecla{-1, byte, {}});
}

void Teclado::caracter(char32_t c, std::string bytes) {
    if (c < 0x20 || c == DEL) {
        control(static_cast<unsigned char>(c));
        return;
    }
    if (c < 0x80) {
        emitir(Tecla{-1, static_cast<int>(c), std::move(bytes)});
        return;
    }
    // Los controles C1 no son teclas; un terminal de 8 bits los tomaría por órdenes.
    if (c < 0xA0) return;
    int codigo = a_cp437(c);
    // Un carácter que la 437 pone en la zona de control (♪ en el 13, ← en el 27) no debe
    // hacerse pasar por Intro o Escape.
    if (codigo < 0x80) codigo = '?';
    emitir(Tecla{-1, codigo, std::move(bytes)});
}

void Teclado::empezar(Estado estado, unsigned char introductor) {
    descartar_secuencia();
    estado_ = estado;
    introductor_ = introductor;
}

void Teclado::descartar_secuencia() {
    estado_ = Estado::normal;
    secuencia_.clear();
    largo_ = 0;
    no_es_tecla_ = false;
    raton_faltan_ = 0;
}

void Teclado::normal(unsigned char byte) {
    if (byte == ESC) {
        estado_ = Estado::escape;
    } else if (byte < 0x20 || byte == DEL) {
        control(byte);
    } else if (byte < 0x80) {
        emitir(Tecla{-1, byte, std::string(1, static_cast<char>(byte))});
    } else {
        const char primero = static_cast<char>(byte);
        if (leer_utf8(std::string_view(&primero, 1)).estado != Utf8::Estado::a_medias) return;
        estado_ = Estado::utf8;
        secuencia_.assign(1, primero);
    }
    // Un byte que no empieza ningún carácter se pierde.
}

void Teclado::recibir(unsigned char byte) {
    switch (estado_) {
    case Estado::normal:
        normal(byte);
        return;

    case Estado::escape:
        if (byte == '[') {
            empezar(Estado::csi, byte);
        } else if (byte == 'O') {
            empezar(Estado::ss3, byte);
        } else if (byte == ']' || byte == 'P' || byte == 'X' || byte == '^' || byte == '_') {
            empezar(Estado::cadena, byte);
        } else if (byte == ESC) {
            // El primero era un Escape de verdad; el segundo puede empezar una secuencia.
            emitir(Tecla{-1, TECLA_ESCAPE, {}});
        } else if (byte == CAN || byte == SUB) {
            descartar_secuencia();
        } else {
            // Alt+tecla llega como ESC y la tecla (Alt+Intro, ESC y un control, también).
            estado_ = Estado::normal;
            alt_ = true;
            normal(byte);
            if (estado_ != Estado::utf8) alt_ = false;
        }
        return;

    case Estado::utf8: {
        secuencia_.push_back(static_cast<char>(byte));
        const Utf8 u = leer_utf8(secuencia_);
        if (u.estado == Utf8::Estado::a_medias) return;
        std::string bytes = std::move(secuencia_);
        descartar_secuencia();
        if (u.estado == Utf8::Estado::entero) {
            caracter(u.car, std::move(bytes));
        } else {
            // Este byte rompió el carácter: el principio se pierde y el byte cuenta solo.
            alt_ = false;
            normal(byte);
        }
        return;
    }

    case Estado::raton:
        if (--raton_faltan_ == 0) descartar_secuencia();
        return;

    case Estado::cadena:
        if (byte == BEL || byte == CAN || byte == SUB)
            descartar_secuencia();
        else if (byte == ESC)
            estado_ = Estado::cadena_escape;
        else
            ++largo_;
        return;

    case Estado::cadena_escape:
        // "ESC \" es el final de la cadena; un ESC con otra cosa detrás la acaba y empieza otra
        // secuencia.
        descartar_secuencia();
        if (byte != '\\') {
            estado_ = Estado::escape;
            recibir(byte);
        }
        return;

    case Estado::csi:
    case Estado::ss3:
    case Estado::linux_funcion:
        break;
    }

    if (byte == ESC) {
        descartar_secuencia();
        estado_ = Estado::escape;
        return;
    }
    if (byte == CAN || byte == SUB) {
        descartar_secuencia();
        return;
    }
    if (byte < 0x20) {
        control(byte);
        return;
    }
    if (byte == DEL) return;
    ++largo_;

    if (estado_ == Estado::linux_funcion) {
        // La consola de Linux manda F1-F5 como "ESC [ [" y una letra de la A a la E.
        descartar_secuencia();
        static constexpr const TeclaDoble* LINUX[] = {&TECLA_F1, &TECLA_F2, &TECLA_F3, &TECLA_F4,
                                                      &TECLA_F5};
        if (byte >= 'A' && byte <= 'E')
            emitir(Tecla{LINUX[byte - 'A']->prefijo, LINUX[byte - 'A']->codigo, {}});
        else
            normal(byte);
        return;
    }
    if (estado_ == Estado::csi && largo_ == 1 && byte == '[') {
        estado_ = Estado::linux_funcion;
        return;
    }
    if (estado_ == Estado::csi && largo_ == 1 && byte == 'M') {
        // Ratón X10: tres bytes crudos que no son teclas aunque lo parezcan.
        estado_ = Estado::raton;
        raton_faltan_ = 3;
        return;
    }
    if (es_final(byte)) {
        if (!no_es_tecla_) estado_ == Estado::csi ? terminar_csi(byte) : terminar_ss3(byte);
        descartar_secuencia();
        return;
    }
    if (es_parametro(byte)) {
        // Un marcador privado ('<' del ratón SGR, '?' de las respuestas del terminal...) dice
        // que la secuencia no es una tecla, aunque acabe en una letra de flecha.
        if (byte >= 0x3C || secuencia_.size() == MAX_PARAMETROS) no_es_tecla_ = true;
        if (secuencia_.size() < MAX_PARAMETROS) secuencia_.push_back(static_cast<char>(byte));
        return;
    }
    // Un intermedio o un byte alto: ninguna tecla lleva eso. Tras "ESC O" acaba la secuencia.
    no_es_tecla_ = true;
    if (estado_ == Estado::ss3) descartar_secuencia();
}

void Teclado::terminar_csi(unsigned char final) {
    const Parametros p = leer_parametros(secuencia_);
    if (p[1][1] == SUCESO_SOLTAR) return;
    // El primer parámetro es 1 o falta en las teclas con modificador ("1;5A" es Ctrl+Arriba,
    // que para el juego es la misma flecha).
    const int n = p[0][0];
    switch (final) {
    case 'A':
    case 'B':
    case 'C':
    case 'D':
    case 'H':
    case 'F':
        if (n <= 1) doble(std::string("\x1b[") + static_cast<char>(final));
        return;
    case 'P':
    case 'Q':
    case 'R':
    case 'S':
        // F1-F4 con modificador; sin él ("1;1R", o dos números cualesquiera) es la respuesta a
        // la pregunta de dónde está el cursor.
        if (n == 1 && p[1][0] >= 2) doble(std::string("\x1bO") + static_cast<char>(final));
        return;
    case 'u': {
        // El protocolo de teclado de kitty y el de xterm con formatOtherKeys: "código;mod u",
        // y con Mayúsculas "código:con mayúsculas;mod u".
        const bool mayusculas = p[1][0] >= 2 && ((p[1][0] - 1) & MOD_MAYUSCULAS) != 0;
        csi_u(mayusculas && p[0][1] > 0 ? p[0][1] : n, p[1][0]);
        return;
    }
    case '~':
        break;
    default:
        return;
    }
    if (n == 27)
        csi_u(p[2][0], p[1][0]); // xterm con modifyOtherKeys: "27;mod;código ~"
    else if (n == 1)             // Linux, tmux y screen: Inicio y Fin
        doble(TECLA_INICIO.xterm);
    else if (n == 4)
        doble(TECLA_FIN.xterm);
    else if (n >= 11 && n <= 14) // F1-F4 de los VT220
        doble(std::string("\x1bO") + static_cast<char>('P' + n - 11));
    else
        doble("\x1b[" + std::to_string(n) + "~");
}

void Teclado::csi_u(int codigo, int modificadores) {
    const int m = modificadores >= 2 ? modificadores - 1 : 0;
    if (m & MOD_CTRL_Y_OTROS) return;
    if (codigo >= KITTY_NUMERICO_0 && codigo < KITTY_NUMERICO_0 + 10)
        codigo = '0' + (codigo - KITTY_NUMERICO_0);
    else if (codigo == KITTY_NUMERICO_INTRO)
        codigo = TECLA_INTRO;
    else if ((m & MOD_MAYUSCULAS) && codigo >= 'a' && codigo <= 'z')
        codigo += 'A' - 'a';
    if (codigo <= 0 || codigo > 0x10FFFF) return;
    alt_ = (m & MOD_ALT) != 0;
    caracter(static_cast<char32_t>(codigo), utf8(static_cast<char32_t>(codigo)));
    alt_ = false;
}

void Teclado::terminar_ss3(unsigned char final) {
    if ((final >= 'A' && final <= 'D') || final == 'H' || final == 'F')
        doble(std::string("\x1b[") + static_cast<char>(final));
    else if (final >= 'P' && final <= 'S')
        doble(std::string("\x1bO") + static_cast<char>(final));
    else if (final == 'M' || (final >= 'j' && final <= 'y'))
        // El teclado numérico en modo aplicación: Intro, * + , - . / y las cifras.
        caracter(static_cast<char32_t>(final - 0x40),
                 std::string(1, static_cast<char>(final - 0x40)));
}

void Teclado::sin_datos() {
    if (estado_ == Estado::escape) {
        emitir(Tecla{-1, TECLA_ESCAPE, {}});
    } else if (largo_ == 0 &&
               (estado_ == Estado::csi || estado_ == Estado::ss3 || estado_ == Estado::cadena)) {
        // Solo llegó "ESC [", "ESC O", "ESC P"...: era Alt y esa tecla.
        alt_ = true;
        caracter(introductor_, std::string(1, static_cast<char>(introductor_)));
    }
    alt_ = false;
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
