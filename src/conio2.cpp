// La API de consola de las pantallas sobre la consola activa. Aquí se decide cuándo sale un
// cuadro al terminal: antes de cada espera de verdad (una tecla que aún no ha llegado, una
// pausa) y al final, nunca a media pantalla ni con teclas ya llegadas sin atender. Toca la
// pantalla, el teclado, la entrada y el volcado de la consola activa, y el terminal solo a
// través de su dispositivo; no sabe nada del juego.
#include "conio2.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <vector>

#include "consola/texto.h"

namespace {

// gotoxy, textcolor y las demás son funciones libres, sin una consola como argumento: trabajan
// sobre esta, la que hace activa ConsolaActiva (el programa, una; cada prueba, la suya).
Consola* activa = nullptr;

std::uint16_t atributo(int texto, int fondo) {
    // Sin máscara, como la consola: texto + 16 x fondo.
    return static_cast<std::uint16_t>(texto + 16 * fondo);
}

} // namespace

Consola::Consola(consola::Dispositivo& dispositivo)
    : dispositivo_(dispositivo), teclado_(dispositivo.capacidades().espera_escape_ms),
      volcado_(dispositivo.capacidades()),
      entrada_(pantalla_, [this] { return siguiente_tecla(); }) {
    ajustar_tamano();
}

void Consola::ajustar_tamano() {
    tamano_ = dispositivo_.tamano();
    pantalla_.tamano_ventana(tamano_.columnas, tamano_.filas);
}

void Consola::presentar() {
    pantalla_.asentar_ventana();
    const std::string bytes = volcado_.cuadro(pantalla_, tamano_);
    if (!bytes.empty()) dispositivo_.escribir(bytes);
}

void Consola::atender(consola::Lectura lectura) {
    switch (lectura.suceso) {
    case consola::Suceso::byte:
        teclado_.recibir(lectura.byte);
        break;
    case consola::Suceso::sin_datos:
        teclado_.sin_datos();
        break;
    case consola::Suceso::cambio_tamano:
        // El repintado sale con el próximo cuadro, cuando no quede entrada por atender.
        ajustar_tamano();
        volcado_.olvidar();
        break;
    case consola::Suceso::fin:
        throw FinDeEntrada();
    }
}

consola::Tecla Consola::siguiente_tecla() {
    for (;;) {
        if (auto tecla = teclado_.sacar()) {
            // Con la ventana por debajo del mínimo solo se ve el aviso: no se juega a ciegas.
            if (tamano_.columnas < consola::MIN_COLUMNAS || tamano_.filas < consola::MIN_FILAS)
                continue;
            return *tecla;
        }
        // Primero la entrada que ya está esperando (un pegado, alguien que teclea deprisa): el
        // cuadro solo se compone cuando de verdad habría que esperar. Ese "nada aún" no cuenta
        // como silencio para el teclado: un ESC pendiente solo es Escape tras el plazo entero.
        consola::Lectura lectura = dispositivo_.leer(0);
        if (lectura.suceso == consola::Suceso::sin_datos) {
            presentar();
            lectura = dispositivo_.leer(teclado_.esperando() ? teclado_.espera_ms() : -1);
        }
        atender(lectura);
    }
}

int Consola::siguiente_codigo(bool eco) {
    if (!codigos_.empty()) {
        const int codigo = codigos_.front();
        codigos_.pop_front();
        return codigo;
    }
    const consola::Tecla tecla = siguiente_tecla();
    if (tecla.prefijo >= 0) {
        codigos_.push_back(tecla.codigo);
        return tecla.prefijo;
    }
    // Solo deja eco lo que se escribe: Intro, Escape o Retroceso no mueven el cursor.
    if (eco && !tecla.texto.empty()) pantalla_.escribir(tecla.texto);
    return tecla.codigo;
}

void Consola::esperar_tecla() {
    // Una tecla extendida a medio leer ya es una tecla pulsada: la pausa la consume entera.
    if (!codigos_.empty()) {
        codigos_.clear();
        return;
    }
    siguiente_tecla();
}

ConsolaActiva::ConsolaActiva(Consola& consola) : anterior_(activa) {
    activa = &consola;
}
ConsolaActiva::~ConsolaActiva() {
    activa = anterior_;
}

Consola& consola_activa() {
    if (activa == nullptr) throw std::logic_error("no hay consola activa");
    return *activa;
}

void gotoxy(int x, int y) {
    consola_activa().pantalla().mover_cursor(x - 1, y - 1);
}

void textcolor(int color) {
    Consola& c = consola_activa();
    c.primer_plano = color;
    c.pantalla().fijar_atributo(atributo(color, c.fondo));
}

void textbackground(int color) {
    Consola& c = consola_activa();
    c.fondo = color;
    c.pantalla().fijar_atributo(atributo(c.primer_plano, color));
}

void limpiar_pantalla() {
    consola_activa().pantalla().limpiar();
}

void color_ventana(int valor) {
    consola_activa().pantalla().color_ventana(static_cast<std::uint16_t>(valor));
}

void titulo_ventana(const char* titulo) {
    consola_activa().dispositivo().titulo(titulo);
}

void tamano_buffer(int, int) {
    // La memoria de pantalla mide siempre 80x50; un terminal de otro tamaño ve una ventana sobre
    // ella, como una consola cuya ventana no coincide con su memoria.
}

void info_cursor(int, bool visible) {
    // Un terminal no deja elegir el tamaño del cursor: solo si se ve.
    consola_activa().pantalla().cursor_visible(visible);
}

void pausa() {
    escribir("%s", MENSAJE_PAUSA);
    consola_activa().esperar_tecla();
    escribir("\n");
}

int leer_tecla() {
    return consola_activa().siguiente_codigo(false);
}

int leer_tecla_eco() {
    return consola_activa().siguiente_codigo(true);
}

void descartar_entrada() {
    consola_activa().entrada().descartar();
}

void leer_palabra(char* destino, std::size_t capacidad) {
    if (capacidad == 0) return;
    const std::string palabra = consola_activa().entrada().leer_palabra(capacidad - 1);
    std::memcpy(destino, palabra.data(), palabra.size());
    destino[palabra.size()] = '\0';
}

int leer_caracter() {
    const std::string c = consola_activa().entrada().leer_caracter();
    return static_cast<int>(consola::decodificar(c, 0).car);
}

void escribir(const char* formato, ...) {
    char corto[512];
    std::va_list args;
    va_start(args, formato);
    std::va_list copia;
    va_copy(copia, args);
    const int n = std::vsnprintf(corto, sizeof corto, formato, args);
    va_end(args);
    if (n < 0) {
        va_end(copia);
        return;
    }
    if (static_cast<std::size_t>(n) < sizeof corto) {
        consola_activa().pantalla().escribir(std::string_view(corto, static_cast<std::size_t>(n)));
    } else {
        std::vector<char> largo(static_cast<std::size_t>(n) + 1);
        std::vsnprintf(largo.data(), largo.size(), formato, copia);
        consola_activa().pantalla().escribir(std::string_view(largo.data(), largo.size() - 1));
    }
    va_end(copia);
}

void escribir_linea(const char* texto) {
    consola::Pantalla& p = consola_activa().pantalla();
    p.escribir(texto);
    p.escribir("\n");
}

void escribir_texto(std::string_view texto) {
    consola_activa().pantalla().escribir(texto);
}

void esperar_ms(int ms) {
    Consola& c = consola_activa();
    c.presentar();
    c.dispositivo().dormir(ms);
}

std::int64_t segundos_reloj() {
    return consola_activa().dispositivo().segundos();
}

std::int64_t milisegundos_reloj() {
    return consola_activa().dispositivo().milisegundos();
}

void presentar() {
    consola_activa().presentar();
}
