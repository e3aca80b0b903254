// La entrada por líneas (scanf y fflush sobre el terminal en modo crudo). Toca solo su texto
// pendiente y, para el eco, el cursor y las celdas de la pantalla; nunca el terminal: los
// cuadros los presenta quien da las teclas.
#include "consola/entrada.h"

#include <string_view>
#include <utility>

#include "consola/texto.h"

namespace consola {

namespace {

bool es_blanco(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

} // namespace

Entrada::Entrada(Pantalla& pantalla, std::function<Tecla()> siguiente_tecla)
    : pantalla_(pantalla), siguiente_tecla_(std::move(siguiente_tecla)) {}

void Entrada::recoger_linea() {
    // Por cada carácter de la línea: dónde estaba el cursor antes de su eco y cuántos bytes
    // ocupa, para que Retroceso borre justo esa celda aunque el eco haya saltado de fila.
    struct Eco {
        int x, y;
        std::size_t bytes;
    };
    std::vector<Eco> ecos;
    std::string linea;

    // Si el eco sube la pantalla (última fila), las celdas ya escritas suben con ella.
    auto escribir_siguiendo = [&](std::string_view texto) {
        const std::uint64_t antes = pantalla_.version();
        pantalla_.escribir(texto);
        const auto subidas = static_cast<int>(pantalla_.version() - antes);
        for (auto& e : ecos)
            e.y -= subidas;
        return subidas;
    };

    for (;;) {
        const Tecla t = siguiente_tecla_();
        if (t.prefijo != -1) continue; // flechas, F1..., Inicio...: no escriben

        if (t.codigo == TECLA_INTRO || t.codigo == '\n') {
            pendiente_ += linea;
            pendiente_ += '\n';
            pantalla_.escribir("\n");
            return;
        }
        if (t.codigo == TECLA_RETROCESO) {
            if (ecos.empty()) continue;
            Eco e = ecos.back();
            ecos.pop_back();
            linea.resize(linea.size() - e.bytes);
            // Una celda que ya subió por encima de la memoria no se puede borrar.
            if (e.y < 0) continue;
            pantalla_.mover_cursor(e.x, e.y);
            e.y -= escribir_siguiendo(" ");
            pantalla_.mover_cursor(e.x, e.y);
            continue;
        }
        if (t.texto.empty() || t.codigo < 32 || t.codigo == 127) continue;
        if (linea.size() + t.texto.size() > MAX_LINEA) continue;

        ecos.push_back({pantalla_.cursor_x(), pantalla_.cursor_y(), t.texto.size()});
        linea += t.texto;
        escribir_siguiendo(t.texto);
    }
}

std::string Entrada::leer_palabra(std::size_t max_bytes) {
    std::size_t inicio = 0;
    for (;;) {
        while (inicio < pendiente_.size() && es_blanco(pendiente_[inicio]))
            ++inicio;
        if (inicio < pendiente_.size()) break;
        pendiente_.clear();
        inicio = 0;
        recoger_linea();
    }
    std::size_t fin = inicio;
    while (fin < pendiente_.size() && !es_blanco(pendiente_[fin]))
        ++fin;

    // Los bytes de un carácter UTF-8 de varios bytes nunca son blancos ASCII, así que la
    // palabra ya acaba en frontera de carácter; el recorte también debe caer en una.
    std::size_t corte = inicio;
    while (corte < fin) {
        const std::size_t n = decodificar(std::string_view(pendiente_).substr(0, fin), corte).bytes;
        if (corte + n - inicio > max_bytes) break;
        corte += n;
    }
    std::string palabra = pendiente_.substr(inicio, corte - inicio);
    pendiente_.erase(0, fin);
    return palabra;
}

std::string Entrada::leer_caracter() {
    if (pendiente_.empty()) recoger_linea();
    const std::size_t n = decodificar(pendiente_, 0).bytes;
    std::string c = pendiente_.substr(0, n);
    pendiente_.erase(0, n);
    return c;
}

} // namespace consola
