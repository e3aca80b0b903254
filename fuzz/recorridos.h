// Recorridos del fuzzing y de la prueba al azar: de unos bytes cualesquiera a una sesión del
// teclado, de la entrada por líneas o del juego entero, y lo que tiene que cumplirse por el
// camino y al final. Cada recorrido devuelve "" si todo cuadra o una frase que dice qué falló.
// Lo comparten fuzz/*.cpp (clang, libFuzzer) y tests/test_azar.cpp (g++, GoogleTest), por eso
// es solo cabecera. Usa la API pública de la consola y del juego; del sistema solo toca el
// directorio temporal de DirectorioDeInstrucciones.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "conio2.h"
#include "consola/entrada.h"
#include "consola/guion.h"
#include "consola/pantalla.h"
#include "consola/teclado.h"
#include "consola/texto.h"
#include "lib_funciones.h"

namespace recorridos {

// ------------------------------------------------------------------------------ utilidades

// UTF-8 estricto: sin formas largas, sin sustitutos, nada por encima de U+10FFFF. Se escribe
// aparte de texto.h a propósito: comprobar con el mismo decodificador que se prueba no
// encontraría sus fallos.
inline bool utf8_valido(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size()) {
        const auto b = static_cast<unsigned char>(s[i]);
        std::size_t n = 0;
        char32_t c = 0, minimo = 0;
        if (b < 0x80) {
            ++i;
            continue;
        } else if ((b & 0xE0) == 0xC0) {
            n = 1, c = b & 0x1F, minimo = 0x80;
        } else if ((b & 0xF0) == 0xE0) {
            n = 2, c = b & 0x0F, minimo = 0x800;
        } else if ((b & 0xF8) == 0xF0) {
            n = 3, c = b & 0x07, minimo = 0x10000;
        } else {
            return false;
        }
        if (i + n >= s.size()) return false;
        for (std::size_t k = 1; k <= n; ++k) {
            const auto sig = static_cast<unsigned char>(s[i + k]);
            if ((sig & 0xC0) != 0x80) return false;
            c = (c << 6) | (sig & 0x3F);
        }
        if (c < minimo || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return false;
        i += n + 1;
    }
    return true;
}

// Caracteres de un texto UTF-8 válido (los bytes que no son de continuación).
inline std::size_t caracteres(std::string_view s) {
    std::size_t n = 0;
    for (const char c : s)
        n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return n;
}

// Un texto con sus bytes de control y altos a la vista, para los mensajes de fallo.
inline std::string a_la_vista(std::string_view s) {
    static constexpr char HEX[] = "0123456789abcdef";
    std::string r;
    for (const char c : s) {
        const auto b = static_cast<unsigned char>(c);
        if (b >= 0x20 && b < 0x7F && b != '\\') {
            r += c;
        } else {
            r += "\\x";
            r += HEX[b >> 4];
            r += HEX[b & 0xF];
        }
    }
    return r;
}

inline std::string describir(const consola::Tecla& t) {
    return "{" + std::to_string(t.prefijo) + ", " + std::to_string(t.codigo) + ", \"" +
           a_la_vista(t.texto) + "\"}";
}

// Lee bytes de la entrada del fuzzer uno a uno; agotada, da ceros.
class Lector {
  public:
    explicit Lector(std::string_view datos) : datos_(datos) {}
    bool queda() const { return pos_ < datos_.size(); }
    unsigned char byte() { return queda() ? static_cast<unsigned char>(datos_[pos_++]) : 0; }

  private:
    std::string_view datos_;
    std::size_t pos_ = 0;
};

// ------------------------------------------------------------------------------ teclado

// Lo que toda tecla cumple, venga de los bytes que vengan.
inline std::string fallo_de_tecla(const consola::Tecla& t) {
    if (t.prefijo != -1 && t.prefijo != consola::PREFIJO_FUNCION &&
        t.prefijo != consola::PREFIJO_EXTENDIDA)
        return "prefijo imposible en " + describir(t);
    if (t.codigo < 0 || t.codigo > 255) return "código fuera de 0-255 en " + describir(t);
    if (t.prefijo != -1 && !t.texto.empty())
        return "una tecla extendida trae texto: " + describir(t);
    if (t.texto.empty()) {
        // Sin texto ni prefijo solo quedan los controles: un carácter que perdiera su texto no
        // llegaría nunca a una línea tecleada.
        if (t.prefijo == -1 && t.codigo >= 32) return "carácter sin texto: " + describir(t);
        return "";
    }
    if (!utf8_valido(t.texto)) return "texto que no es UTF-8: " + describir(t);
    if (caracteres(t.texto) != 1) return "el texto no es un solo carácter: " + describir(t);
    // Un carácter escrito nunca debe pasar por Intro, Escape o Retroceso.
    if (t.codigo < 32 || t.codigo == 127) return "carácter con código de control: " + describir(t);
    if (t.texto.size() == 1 && t.codigo != static_cast<unsigned char>(t.texto[0]))
        return "el código no es el carácter ASCII: " + describir(t);
    return "";
}

// La tecla que un byte da seguro cuando no hay ninguna secuencia a medias.
inline std::optional<consola::Tecla> tecla_de_byte_suelto(unsigned char b) {
    if (b >= 0x20 && b <= 0x7E) return consola::Tecla{-1, b, std::string(1, static_cast<char>(b))};
    if (b == 0x7F || b == 0x08) return consola::Tecla{-1, consola::TECLA_RETROCESO, {}};
    if (b == '\r') return consola::Tecla{-1, consola::TECLA_INTRO, {}};
    return std::nullopt;
}

// Los bytes llegan al teclado tal cual, salvo 0xFF 0x00, que es un silencio (pasó el tiempo de
// espera sin bytes), y 0xFF 0xFF, que es un 0xFF de verdad.
inline std::string recorrido_teclado(std::string_view datos) {
    consola::Teclado teclado;
    Lector lector(datos);
    std::size_t recibidos = 0, silencios = 0, teclas = 0;
    std::vector<consola::Tecla> nuevas;
    bool escape_suelto = false; // el último paso fue un ESC sin nada a medias

    auto sacar = [&]() -> std::string {
        nuevas.clear();
        while (auto t = teclado.sacar())
            nuevas.push_back(std::move(*t));
        teclas += nuevas.size();
        for (const auto& t : nuevas)
            if (std::string f = fallo_de_tecla(t); !f.empty()) return f;
        // Cada tecla sale de un byte o de un silencio: nunca se inventa ninguna.
        if (teclas > recibidos + silencios)
            return std::to_string(teclas) + " teclas de " + std::to_string(recibidos) +
                   " bytes y " + std::to_string(silencios) + " silencios";
        return "";
    };
    auto silencio = [&]() -> std::string {
        const bool antes = teclado.esperando();
        teclado.sin_datos();
        ++silencios;
        if (std::string f = sacar(); !f.empty()) return f;
        if (!antes && !nuevas.empty()) return "un silencio sin nada a medias dio una tecla";
        if (escape_suelto &&
            (nuevas.size() != 1 || !(nuevas[0] == consola::Tecla{-1, consola::TECLA_ESCAPE, {}})))
            return "ESC y un silencio no dieron la tecla Escape sola";
        if (teclado.esperando()) return "tras un silencio sigue esperando una secuencia";
        escape_suelto = false;
        return "";
    };

    while (lector.queda()) {
        unsigned char b = lector.byte();
        if (b == 0xFF && lector.queda()) {
            const unsigned char marca = lector.byte();
            if (marca == 0x00) {
                if (std::string f = silencio(); !f.empty()) return f;
                continue;
            }
            if (marca != 0xFF) {
                // 0xFF y otro byte: llegan los dos, el 0xFF primero.
                teclado.recibir(0xFF);
                ++recibidos;
                if (std::string f = sacar(); !f.empty()) return f;
                b = marca;
            }
        }
        const bool antes = teclado.esperando();
        teclado.recibir(b);
        ++recibidos;
        if (std::string f = sacar(); !f.empty()) return f;
        if (!antes) {
            if (const auto esperada = tecla_de_byte_suelto(b)) {
                if (nuevas.size() != 1 || !(nuevas[0] == *esperada))
                    return "el byte " + a_la_vista(std::string(1, static_cast<char>(b))) +
                           " sin nada a medias no dio " + describir(*esperada);
            }
        }
        escape_suelto = !antes && b == 0x1B;
    }
    if (std::string f = silencio(); !f.empty()) return f;
    if (teclado.sacar()) return "quedan teclas tras vaciar el teclado";
    return "";
}

// ------------------------------------------------------------------------------ entrada

struct SinTeclas {};

inline bool es_blanco(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// Una tecla hecha con bytes de la entrada: casi siempre como las da el teclado; a veces una
// tecla cualquiera, con texto que quizá no sea UTF-8 (entonces se anota en `texto_valido`).
inline consola::Tecla tecla_de(Lector& lector, bool& texto_valido) {
    const unsigned char b = lector.byte();
    if (b < 0x80) {
        if (b == 0x7F) return {-1, consola::TECLA_RETROCESO, {}};
        if (b < 0x20) return {-1, b, {}};
        return {-1, b, std::string(1, static_cast<char>(b))};
    }
    if (b < 0xC0) {
        // Un carácter no ASCII desde U+00A0, sin sustitutos.
        char32_t c =
            static_cast<char32_t>(((b & 0x3F) << 16) | (lector.byte() << 8) | lector.byte());
        c = 0xA0 + c % (0x110000 - 0xA0);
        if (c >= 0xD800 && c <= 0xDFFF) c -= 0x800;
        const int codigo = consola::a_cp437(c);
        return {-1, codigo >= 0x80 ? codigo : '?', consola::utf8(c)};
    }
    if (b < 0xE0) {
        return {(b & 1) ? consola::PREFIJO_EXTENDIDA : consola::PREFIJO_FUNCION, lector.byte(), {}};
    }
    if (b < 0xF0) {
        const int prefijos[] = {-1, consola::PREFIJO_FUNCION, consola::PREFIJO_EXTENDIDA};
        consola::Tecla t{prefijos[lector.byte() % 3], lector.byte(), {}};
        for (int n = b & 0x7; n > 0; --n)
            t.texto += static_cast<char>(lector.byte());
        if (!utf8_valido(t.texto)) texto_valido = false;
        return t;
    }
    if (b < 0xF8) return {-1, consola::TECLA_INTRO, {}};
    return {-1, consola::TECLA_RETROCESO, {}};
}

inline std::string fallo_de_cursor(const consola::Pantalla& p) {
    if (p.cursor_x() < 0 || p.cursor_x() >= consola::ANCHO || p.cursor_y() < 0 ||
        p.cursor_y() >= consola::ALTO)
        return "cursor fuera de la memoria: (" + std::to_string(p.cursor_x()) + ", " +
               std::to_string(p.cursor_y()) + ")";
    return "";
}

// Primero dos bytes con la posición del cursor; luego órdenes (leer una palabra con un límite,
// leer un carácter, descartar) entre las que van las teclas que esas órdenes piden.
inline std::string recorrido_entrada(std::string_view datos) {
    Lector lector(datos);
    consola::Pantalla pantalla;
    const int x = lector.byte() % consola::ANCHO;
    const int y = lector.byte() % consola::ALTO;
    pantalla.mover_cursor(x, y);
    bool texto_valido = true;
    std::string fallo;
    consola::Entrada entrada(pantalla, [&] {
        if (!lector.queda()) throw SinTeclas{};
        fallo = fallo_de_cursor(pantalla);
        if (!fallo.empty()) throw SinTeclas{};
        return tecla_de(lector, texto_valido);
    });

    try {
        while (lector.queda()) {
            const unsigned char orden = lector.byte();
            switch (orden % 4) {
            case 0:
            case 1: {
                // Límites pequeños (los que más cortan palabras), de 0 a 255 y hasta 300, que
                // pasa de una línea entera.
                const std::size_t l = lector.byte();
                const std::size_t limite = (orden & 0x80) == 0 ? l % 16
                                           : (orden & 0x40)    ? l + 45
                                                               : l;
                const std::string palabra = entrada.leer_palabra(limite);
                if (palabra.size() > limite)
                    return "palabra de " + std::to_string(palabra.size()) + " bytes con límite " +
                           std::to_string(limite);
                for (const char c : palabra)
                    if (es_blanco(c)) return "palabra con blancos: \"" + a_la_vista(palabra) + "\"";
                if (limite >= 4 && palabra.empty())
                    return "palabra vacía con límite " + std::to_string(limite);
                if (texto_valido && !utf8_valido(palabra))
                    return "palabra que no es UTF-8: \"" + a_la_vista(palabra) + "\"";
                break;
            }
            case 2: {
                const std::string c = entrada.leer_caracter();
                if (c.empty() || c.size() > 4)
                    return "carácter de " + std::to_string(c.size()) + " bytes";
                if (texto_valido && (!utf8_valido(c) || caracteres(c) != 1))
                    return "carácter que no es un carácter UTF-8: \"" + a_la_vista(c) + "\"";
                break;
            }
            default:
                entrada.descartar();
                break;
            }
            // Lo pendiente es, como mucho, una línea entera y su salto.
            if (entrada.pendiente().size() > consola::Entrada::MAX_LINEA + 1)
                return "pendientes " + std::to_string(entrada.pendiente().size()) + " bytes";
            if (std::string f = fallo_de_cursor(pantalla); !f.empty()) return f;
        }
    } catch (const SinTeclas&) {
    }
    if (!fallo.empty()) return fallo;
    return fallo_de_cursor(pantalla);
}

// ------------------------------------------------------------------------------ el juego

inline constexpr const char* AVISO_JUGADA =
    "   Introduce la columna en la que quieres colocar tu ficha (0-6): ";

// El aviso de jugada de verdad: al principio de la fila 29, con el tablero recién dibujado encima
// (el título en la fila 8, el contador en la 10) y nada de un final de partida. El aviso suelto
// no basta: un nombre o la respuesta a "volver a jugar" se escriben con eco y pueden traer ese
// texto. Imitar también lo demás exigiría subir la pantalla 25 filas a fuerza de eco.
inline bool aviso_de_jugada(const consola::Pantalla& p) {
    const std::string aviso = AVISO_JUGADA;
    if (p.fila(28).compare(0, aviso.size(), aviso) != 0) return false;
    if (p.texto(16, 7, 8) != "Quatrelo") return false;
    if (p.fila(9).find("FICHAS RESTANTES: ") == std::string::npos) return false;
    for (int y = 0; y < consola::ALTO; ++y) {
        const std::string fila = p.fila(y);
        if (fila.find("Desea volver a jugar") != std::string::npos ||
            fila.find("Pulsa Una Tecla") != std::string::npos)
            return false;
    }
    return true;
}

// Lo que la pantalla debe cumplir cuando el juego se para (el guion se acabó o volvió el menú).
// Con el aviso de jugada a la vista, el tablero de encima (filas 11 a 21, la columna j en la
// 11+4j) tiene hueco arriba, fichas sin huecos debajo, bandos igualados y las fichas que dice
// el contador. Si el menú volvió, se ve la despedida.
inline std::string fallo_en_pantalla(const consola::Pantalla& p, bool volvio) {
    if (std::string f = fallo_de_cursor(p); !f.empty()) return f;
    if (volvio) {
        const std::string web = DIRECCION_WEB;
        if (p.texto(28, 24, static_cast<int>(web.size())) != web)
            return "el menú volvió sin la despedida en la fila 25";
        return "";
    }
    if (!aviso_de_jugada(p)) return "";

    char celda[FILAS][COLUMNAS];
    int fichas_0 = 0, fichas_x = 0;
    for (int i = 0; i < FILAS; ++i) {
        for (int j = 0; j < COLUMNAS; ++j) {
            const char32_t c = p.celda(10 + 4 * j, 10 + 2 * i).car;
            if (c != U' ' && c != U'0' && c != U'X')
                return "celda del tablero (" + std::to_string(i) + ", " + std::to_string(j) +
                       ") con " + a_la_vista(consola::utf8(c));
            celda[i][j] = static_cast<char>(c);
            fichas_0 += c == U'0';
            fichas_x += c == U'X';
        }
    }
    bool hueco_arriba = false;
    for (int j = 0; j < COLUMNAS; ++j)
        hueco_arriba |= celda[0][j] == VACIA;
    if (!hueco_arriba) return "se pide columna con el tablero lleno";
    for (int i = 0; i + 1 < FILAS; ++i)
        for (int j = 0; j < COLUMNAS; ++j)
            if (celda[i][j] != VACIA && celda[i + 1][j] == VACIA)
                return "ficha en el aire en (" + std::to_string(i) + ", " + std::to_string(j) + ")";
    if (fichas_0 - fichas_x > 1 || fichas_x - fichas_0 > 1)
        return std::to_string(fichas_0) + " fichas 0 y " + std::to_string(fichas_x) + " X";

    // El contador baja tras cada ronda de dos jugadas y el tablero se dibuja tras cada una.
    const std::string fila_contador = p.fila(9);
    const std::string etiqueta = "FICHAS RESTANTES: ";
    const std::size_t pos = fila_contador.find(etiqueta);
    if (pos == std::string::npos) return "no se ve el contador de fichas en la fila 10";
    const int restantes = std::atoi(fila_contador.c_str() + pos + etiqueta.size());
    const int puestas = fichas_0 + fichas_x;
    const int tras_rondas = 2 * (FICHAS_POR_BANDO - restantes);
    if (puestas < tras_rondas || puestas > tras_rondas + 2)
        return std::to_string(puestas) + " fichas con el contador en " + std::to_string(restantes);
    return "";
}

// El guion de teclas de la entrada del fuzzer: el primer byte mueve el reloj falso (quién empieza
// y qué sortea el ordenador), el segundo elige las capacidades del terminal; luego bytes
// tecleados, salvo 0xFF 0x00 (un silencio), 0xFF 0x01 C F (la ventana pasa a C columnas y F
// filas) y 0xFF 0xFF (un 0xFF tecleado).
inline std::string recorrido_juego(std::string_view datos) {
    Lector lector(datos);
    const unsigned char reloj = lector.byte();
    const unsigned char caps = lector.byte();
    consola::Capacidades capacidades;
    capacidades.utf8 = (caps & 1) == 0;
    capacidades.cajas = static_cast<consola::Cajas>((caps >> 1) % 3);
    capacidades.colores = (caps & 8) == 0 ? 16 : 0;
    consola::DispositivoGuion dispositivo(consola::Tamano{}, capacidades);
    dispositivo.reloj_base += reloj;
    while (lector.queda()) {
        const unsigned char b = lector.byte();
        if (b != 0xFF || !lector.queda()) {
            dispositivo.teclear(std::string_view(reinterpret_cast<const char*>(&b), 1));
            continue;
        }
        const unsigned char marca = lector.byte();
        if (marca == 0x00) {
            dispositivo.silencio();
        } else if (marca == 0x01) {
            const int columnas = 1 + lector.byte() % 160;
            const int filas = 1 + lector.byte() % 70;
            dispositivo.cambiar_tamano({columnas, filas});
        } else {
            dispositivo.teclear("\xff");
            if (marca != 0xFF)
                dispositivo.teclear(std::string_view(reinterpret_cast<const char*>(&marca), 1));
        }
    }

    Consola consola(dispositivo);
    ConsolaActiva activa(consola);
    bool volvio = false;
    try {
        arranque();
        menu_ppal();
        volvio = true;
    } catch (const FinDeEntrada&) {
    }
    return fallo_en_pantalla(consola.pantalla(), volvio);
}

// Un directorio temporal con unas instrucciones pequeñas y fijas, para que la pantalla de
// instrucciones no dependa de dónde se ejecute. Pasan de una página (1803 caracteres) y traen
// acentos, "\r\n", tabuladores y un control. Se borra al morir.
class DirectorioDeInstrucciones {
  public:
    DirectorioDeInstrucciones() {
        char plantilla[] = "/tmp/quatrelo-azar-XXXXXX";
        if (mkdtemp(plantilla) == nullptr) throw std::runtime_error("mkdtemp");
        ruta_ = plantilla;
        std::string texto;
        for (int n = 0; caracteres(texto) < 2200; ++n)
            texto +=
                "Línea " + std::to_string(n) +
                ": suelta la ficha en una columna (0-6);\tgana quien hace cuatro en raya.\r\n" +
                (n % 7 == 3 ? "¡Atención! \x07 ñandú €\n" : "");
        std::ofstream(ruta_ / "INSTRUCCIONES.txt", std::ios::binary) << texto;
    }
    ~DirectorioDeInstrucciones() {
        std::error_code ec;
        std::filesystem::remove_all(ruta_, ec);
    }
    DirectorioDeInstrucciones(const DirectorioDeInstrucciones&) = delete;
    DirectorioDeInstrucciones& operator=(const DirectorioDeInstrucciones&) = delete;
    const std::filesystem::path& ruta() const { return ruta_; }

  private:
    std::filesystem::path ruta_;
};

// Hace de `ruta` el directorio actual mientras vive. Solo el rato de cada ejecución: fuera de
// él, las rutas relativas de quien llama (el corpus, los hallazgos) siguen valiendo.
class DirectorioActual {
  public:
    explicit DirectorioActual(const std::filesystem::path& ruta)
        : anterior_(std::filesystem::current_path()) {
        std::filesystem::current_path(ruta);
    }
    ~DirectorioActual() {
        std::error_code ec;
        std::filesystem::current_path(anterior_, ec);
    }
    DirectorioActual(const DirectorioActual&) = delete;
    DirectorioActual& operator=(const DirectorioActual&) = delete;

  private:
    std::filesystem::path anterior_;
};

} // namespace recorridos
