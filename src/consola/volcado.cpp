// El volcado: convierte la memoria de pantalla en los bytes que pone al día el terminal.
// Solo toca su propio estado (lo que cree que enseña el terminal) y la cadena que devuelve;
// no escribe en ningún sitio ni cambia la pantalla, salvo recoger sus campanas.
#include "consola/volcado.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "consola/texto.h"

namespace consola {

namespace {

constexpr int SGR_DESCONOCIDO = -1;
constexpr int SGR_NORMAL = -2;
// Una celda que el terminal no enseña nunca: lo que haya ahí, se desconoce.
constexpr Celda DESCONOCIDA{static_cast<char32_t>(0xFFFFFFFF), 0};

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

int sgr_texto(int w) {
    return ((w & 8) ? 90 : 30) + cambiar_rojo_y_azul(w);
}
int sgr_fondo(int w) {
    return ((w & 8) ? 100 : 40) + cambiar_rojo_y_azul(w);
}

int cifras(int n) {
    return n < 10 ? 1 : n < 100 ? 2 : n < 1000 ? 3 : 4;
}

// Una orden con un número, que se calla cuando es 1 (el valor por omisión).
std::string csi(int n, char final) {
    return n == 1 ? std::string("\x1b[") + final : "\x1b[" + std::to_string(n) + final;
}

int largo_csi(int n) {
    return n == 1 ? 3 : 3 + cifras(n);
}

std::string cup(int x, int y) {
    if (x == 0) return y == 0 ? "\x1b[H" : csi(y + 1, 'H');
    return "\x1b[" + std::to_string(y + 1) + ';' + std::to_string(x + 1) + 'H';
}

const std::string& mas_corto(const std::string& a, const std::string& b) {
    return b.size() < a.size() ? b : a;
}

// El movimiento horizontal desde cx hasta x en la misma fila; si no hay, marca `imposible`.
std::string horizontal(int cx, int x, const Capacidades& cap, bool& imposible) {
    const int dx = x - cx;
    if (dx == 0) return {};
    if (dx < 0 && cap.mover_basico && (-dx <= 4 || !cap.mover_relativo))
        return std::string(static_cast<std::size_t>(-dx), '\b');
    if (cap.mover_relativo) return csi(dx > 0 ? dx : -dx, dx > 0 ? 'C' : 'D');
    imposible = true;
    return {};
}

// Los parámetros SGR de un atributo: intensidad (0 si no se usa), texto y fondo.
std::array<int, 3> partes_sgr(int atributo, int colores) {
    if (colores == 8)
        return {(atributo & 8) ? 1 : 22, 30 + cambiar_rojo_y_azul(atributo & 7),
                40 + cambiar_rojo_y_azul((atributo >> 4) & 7)};
    return {0, sgr_texto(atributo & 15), sgr_fondo((atributo >> 4) & 15)};
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

std::size_t celdas(Tamano t) {
    return static_cast<std::size_t>(t.columnas) * static_cast<std::size_t>(t.filas);
}

} // namespace

Celda Volcado::visible(Celda celda) const {
    Celda r;
    // Sin color da igual el atributo: todas las celdas se ven con el del terminal. Con ocho, los
    // fondos claros se ven como los oscuros.
    const int colores = capacidades_.colores;
    r.atributo = static_cast<std::uint16_t>(
        colores == 0 ? 0 : celda.atributo & (colores == 8 ? 0x7F : 0xFF));
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
    // De un blanco solo se ve el fondo.
    if (r.car == U' ') r.atributo &= 0xF0;
    return r;
}

bool Volcado::se_borra(const Celda& celda) const {
    return celda.car == U' ' && (capacidades_.bce || capacidades_.colores == 0);
}

int Volcado::bytes_celda(const Celda& celda) const {
    if (celda.car < 0x80 || (capacidades_.cajas == Cajas::dec && es_caja(celda.car))) return 1;
    return celda.car < 0x800 ? 2 : celda.car < 0x10000 ? 3 : 4;
}

void Volcado::poner_atributo(std::string& salida, const Celda& celda) {
    const int colores = capacidades_.colores;
    if (colores == 0) {
        if (e_.sgr != SGR_NORMAL) {
            salida += "\x1b[0m";
            e_.sgr = SGR_NORMAL;
        }
        return;
    }
    int objetivo = celda.atributo;
    if (celda.car == U' ' && e_.sgr >= 0) {
        // El color de texto de un blanco no se ve: se queda el que hay.
        if (((e_.sgr ^ objetivo) & 0xF0) == 0) return;
        objetivo = (e_.sgr & 0x0F) | (objetivo & 0xF0);
    }
    if (e_.sgr == objetivo) return;
    // Solo lo que cambia: intensidad, texto, fondo.
    const std::array<int, 3> nuevo = partes_sgr(objetivo, colores);
    std::array<int, 3> viejo{colores == 8 ? 22 : 0, 39, 49};
    if (e_.sgr >= 0) viejo = partes_sgr(e_.sgr, colores);
    salida += e_.sgr == SGR_DESCONOCIDO ? "\x1b[0" : "\x1b[";
    bool primero = e_.sgr != SGR_DESCONOCIDO;
    for (std::size_t i = 0; i < nuevo.size(); ++i) {
        if (nuevo[i] == viejo[i] && e_.sgr != SGR_DESCONOCIDO) continue;
        if (nuevo[i] == 0 || (e_.sgr == SGR_DESCONOCIDO && nuevo[i] == 22)) continue;
        if (!primero) salida += ';';
        primero = false;
        salida += std::to_string(nuevo[i]);
    }
    salida += 'm';
    e_.sgr = objetivo;
}

std::string Volcado::movimiento(int cx, int cy, int x, int y) const {
    if (cx == x && cy == y) return {};
    std::string mejor = cup(x, y);
    if (cx < 0) return mejor;
    const Capacidades& cap = capacidades_;
    const int dy = y - cy;
    bool imposible = dy != 0 && !cap.mover_relativo;
    std::string vertical = dy == 0 ? "" : csi(dy > 0 ? dy : -dy, dy > 0 ? 'B' : 'A');
    const std::string desde_aqui = horizontal(cx, x, cap, imposible) + vertical;
    if (!imposible) mejor = mas_corto(mejor, desde_aqui);
    if (!cap.mover_basico) return mejor;
    // Bajar con saltos de línea solo tras un retorno de carro: así da igual que el terminal
    // vuelva o no al principio con cada uno.
    if (dy > 0 && (dy <= 4 || !cap.mover_relativo))
        vertical.assign(static_cast<std::size_t>(dy), '\n');
    imposible = dy < 0 && !cap.mover_relativo;
    const std::string desde_cero = "\r" + vertical + horizontal(0, x, cap, imposible);
    if (!imposible) mejor = mas_corto(mejor, desde_cero);
    return mejor;
}

void Volcado::mover(std::string& salida, int x, int y) {
    salida += movimiento(e_.cx, e_.cy, x, y);
    e_.cx = x;
    e_.cy = y;
}

void Volcado::escribir_celda(std::string& salida, const Celda& celda, int columnas) {
    poner_atributo(salida, celda);
    const char letra = capacidades_.cajas == Cajas::dec ? letra_dec(celda.car) : 0;
    if (letra != 0) {
        if (!e_.dec) {
            salida += "\x1b(0";
            e_.dec = true;
        }
        salida += letra;
    } else {
        // Con el juego DEC activo, de '_' a '~' saldrían como líneas; lo demás sale igual.
        if (e_.dec && celda.car >= 0x5F && celda.car <= 0x7E) {
            salida += "\x1b(B";
            e_.dec = false;
        }
        if (celda.car < 0x80)
            salida += static_cast<char>(celda.car);
        else
            salida += utf8(celda.car);
    }
    // Tras la última columna el cursor queda pendiente de saltar, y cada terminal lo trata a su
    // manera: mejor no fiarse y volver a colocarlo.
    if (++e_.cx >= columnas) e_.cx = e_.cy = -1;
}

bool Volcado::mejor_reescribir(const Celda* deseada, int a, int b, int y) const {
    // Reescribir lo que ya se ve sirve si sale con el mismo atributo y el mismo juego de
    // caracteres que la celda de antes; si no, harían falta más órdenes.
    const Celda& antes = deseada[a - 1];
    const bool dec = capacidades_.cajas == Cajas::dec && es_caja(antes.car);
    std::size_t coste = 0;
    for (int k = a; k < b; ++k) {
        const Celda& c = deseada[k];
        const int mascara = c.car == U' ' || antes.car == U' ' ? 0xF0 : 0xFF;
        if (((c.atributo ^ antes.atributo) & mascara) != 0) return false;
        if (capacidades_.cajas == Cajas::dec &&
            (dec ? c.car >= 0x5F && c.car <= 0x7E : es_caja(c.car)))
            return false;
        coste += static_cast<std::size_t>(bytes_celda(c));
    }
    return coste <= movimiento(a, y, b, y).size();
}

void Volcado::escribir_tramo(std::string& salida, int y, const Celda* deseada, int a, int b,
                             int columnas) {
    const Capacidades& cap = capacidades_;
    for (int i = a; i < b;) {
        const Celda& c = deseada[i];
        int j = i + 1;
        while (j < b && deseada[j] == c)
            ++j;
        const int n = j - i;
        const int bytes = bytes_celda(c);
        // REP solo con ASCII: tmux, por ejemplo, no repite un carácter de varios bytes.
        const bool repetible = cap.repetir && n > 1 && c.car < 0x80;
        const int escribir = repetible ? std::min(n * bytes, bytes + largo_csi(n - 1)) : n * bytes;
        if (n > 1 && cap.borrar_caracteres && se_borra(c)) {
            // ECH no mueve el cursor: si sigue el tramo, hay que saltar lo borrado.
            const int borrar =
                largo_csi(n) + (j < b ? static_cast<int>(movimiento(i, y, j, y).size()) : 0);
            if (borrar < escribir) {
                poner_atributo(salida, c);
                salida += csi(n, 'X');
                if (j < b) mover(salida, j, y);
                i = j;
                continue;
            }
        }
        if (repetible && bytes + largo_csi(n - 1) < n * bytes) {
            escribir_celda(salida, c, columnas);
            salida += csi(n - 1, 'b');
            e_.cx += n - 1;
            if (e_.cx >= columnas) e_.cx = e_.cy = -1;
            i = j;
            continue;
        }
        for (; i < j; ++i)
            escribir_celda(salida, c, columnas);
    }
}

void Volcado::tramos(std::string& salida, int y, const Celda* deseada, const Celda* mostrada,
                     int desde, int hasta, int columnas) {
    auto siguiente = [&](int x) {
        while (x < hasta && deseada[x] == mostrada[x])
            ++x;
        return x;
    };
    for (int x = siguiente(desde); x < hasta;) {
        // El tramo sigue por encima de las celdas sin cambios que cuesta menos reescribir que
        // saltar.
        int fin = x + 1;
        for (int q = siguiente(fin); q < hasta; q = siguiente(fin)) {
            if (q > fin && !mejor_reescribir(deseada, fin, q, y)) break;
            fin = q + 1;
        }
        mover(salida, x, y);
        escribir_tramo(salida, y, deseada, x, fin, columnas);
        x = siguiente(fin);
    }
}

void Volcado::fila(std::string& salida, int y, const Celda* deseada, const Celda* mostrada,
                   int columnas) {
    int primero = 0;
    while (primero < columnas && deseada[primero] == mostrada[primero])
        ++primero;
    if (primero == columnas) return;
    int ultimo = columnas - 1;
    while (deseada[ultimo] == mostrada[ultimo])
        --ultimo;
    // La cola de blancos de un mismo fondo que EL borra de una vez.
    const Celda& final = deseada[columnas - 1];
    int cola = columnas;
    if (capacidades_.borrar_linea && se_borra(final))
        for (cola = columnas - 1; cola > 0 && deseada[cola - 1] == final;)
            --cola;
    if (ultimo < cola) {
        tramos(salida, y, deseada, mostrada, primero, columnas, columnas);
        return;
    }
    // Con EL o sin él: se prueban las dos y se queda la más corta.
    const Estado inicio = e_;
    std::string sin_el;
    tramos(sin_el, y, deseada, mostrada, primero, columnas, columnas);
    const Estado tras_sin_el = e_;
    e_ = inicio;
    std::string con_el;
    tramos(con_el, y, deseada, mostrada, primero, cola, columnas);
    int desde = cola;
    while (deseada[desde] == mostrada[desde])
        ++desde;
    if (e_.cy == y && e_.cx >= cola && e_.cx < desde) desde = e_.cx;
    mover(con_el, desde, y);
    poner_atributo(con_el, final);
    con_el += "\x1b[K";
    if (con_el.size() < sin_el.size()) {
        salida += con_el;
    } else {
        salida += sin_el;
        e_ = tras_sin_el;
    }
}

std::string Volcado::pintar(const Celda* mostrado, int columnas, int filas) {
    std::string salida;
    for (int y = 0; y < filas; ++y) {
        const std::size_t i = static_cast<std::size_t>(y) * static_cast<std::size_t>(columnas);
        fila(salida, y, &deseado_[i], &mostrado[i], columnas);
    }
    return salida;
}

namespace {

// Con salida sincronizada el terminal no pinta hasta el final del cuadro: así uno de varias
// filas no se ve a medias. Una sola fila (el eco de una letra, un Retroceso) sale entera igual
// sin ella, y se ahorran sus 16 bytes.
std::string sincronizado(std::string salida, bool varias_filas) {
    if (salida.empty() || !varias_filas) return salida;
    return "\x1b[?2026h" + salida + "\x1b[?2026l";
}

} // namespace

std::string Volcado::cuadro(Pantalla& pantalla, Tamano terminal) {
    const bool campana = pantalla.tomar_campanas() > 0;
    if (terminal.columnas < MIN_COLUMNAS || terminal.filas < MIN_FILAS)
        return aviso(terminal, campana);
    std::string salida;
    const bool entero = !valido_ || terminal != tamano_mostrado_;
    if (entero) salida += empezar_de_cero(terminal);
    Recuento recuento = componer(pantalla, terminal);
    salida += cambios(recuento, entero);
    mostrado_.swap(deseado_);
    if (e_.dec) {
        salida += "\x1b(B";
        e_.dec = false;
    }
    poner_cursor(salida, pantalla, terminal);
    if (campana) salida += '\a';
    return sincronizado(std::move(salida), recuento.borra_pantalla || recuento.filas_cambiadas > 1);
}

std::string Volcado::empezar_de_cero(Tamano terminal) {
    mostrado_.assign(celdas(terminal), DESCONOCIDA);
    tamano_mostrado_ = terminal;
    valido_ = true;
    aviso_ = false;
    e_ = Estado{};
    cursor_visible_ = -1;
    e_.sgr = SGR_NORMAL;
    // Atributos y juego de caracteres limpios por si otro programa los dejó cambiados.
    return "\x1b[0m\x1b(B";
}

Volcado::Recuento Volcado::componer(const Pantalla& pantalla, Tamano terminal) {
    Recuento r;
    deseado_.resize(celdas(terminal));
    const int vx = pantalla.ventana_x();
    const int vy = pantalla.ventana_y();
    const Celda fuera = visible(Celda{U' ', pantalla.atributo_ventana()});
    for (int ty = 0; ty < terminal.filas; ++ty) {
        const int by = vy + ty;
        bool cambia = false;
        for (int tx = 0; tx < terminal.columnas; ++tx) {
            const int bx = vx + tx;
            const bool dentro = bx >= 0 && bx < ANCHO && by >= 0 && by < ALTO;
            const std::size_t i = static_cast<std::size_t>(ty * terminal.columnas + tx);
            const Celda c = dentro ? visible(pantalla.celda(bx, by)) : fuera;
            deseado_[i] = c;
            ++(c.car == U' ' ? r.fondos : r.textos)[c.atributo & 0xFF];
            if (!(c == mostrado_[i])) {
                ++r.distintas;
                cambia = true;
            }
        }
        r.filas_cambiadas += cambia ? 1 : 0;
    }
    return r;
}

std::string Volcado::cambios(Recuento& r, bool entero) {
    const Tamano t = tamano_mostrado_;
    const std::size_t total = celdas(t);
    // Borrar la pantalla con el fondo que más abunda y pintar solo lo demás, si sale más corto
    // que cambiar lo que hay.
    const Celda fondo{
        U' ', static_cast<std::uint16_t>(std::ranges::max_element(r.fondos) - r.fondos.begin())};
    const std::size_t resto = total - static_cast<std::size_t>(r.fondos[fondo.atributo]);
    if (!(capacidades_.borrar_pantalla && se_borra(fondo) && (entero || resto < r.distintas)))
        return r.distintas > 0 ? pintar(mostrado_.data(), t.columnas, t.filas) : std::string();
    const Estado inicio = e_;
    std::string sobre_lo_que_hay;
    if (!entero) sobre_lo_que_hay = pintar(mostrado_.data(), t.columnas, t.filas);
    const Estado tras_cambios = e_;
    e_ = inicio;
    std::string limpio = borrar_y_pintar(r, fondo);
    if (entero || limpio.size() < sobre_lo_que_hay.size()) {
        r.borra_pantalla = true;
        return limpio;
    }
    e_ = tras_cambios;
    return sobre_lo_que_hay;
}

std::string Volcado::borrar_y_pintar(const Recuento& r, Celda fondo) {
    const Tamano t = tamano_mostrado_;
    // El color de texto con que se borra no se ve: el más usado sobre ese fondo, que luego no
    // habrá que cambiar.
    std::string salida;
    Celda con_texto{U'x', fondo.atributo};
    for (int a = fondo.atributo; a < fondo.atributo + 16; ++a)
        if (r.textos[a] > r.textos[con_texto.atributo])
            con_texto.atributo = static_cast<std::uint16_t>(a);
    poner_atributo(salida, con_texto);
    salida += "\x1b[2J";
    limpio_.assign(celdas(t), fondo);
    salida += pintar(limpio_.data(), t.columnas, t.filas);
    return salida;
}

void Volcado::poner_cursor(std::string& salida, const Pantalla& pantalla, Tamano terminal) {
    const int cx = pantalla.cursor_x() - pantalla.ventana_x();
    const int cy = pantalla.cursor_y() - pantalla.ventana_y();
    if (pantalla.cursor_visible() && cx >= 0 && cy >= 0 && cx < terminal.columnas &&
        cy < terminal.filas) {
        mover(salida, cx, cy);
        if (cursor_visible_ != 1) {
            salida += "\x1b[?25h";
            cursor_visible_ = 1;
        }
    } else if (cursor_visible_ != 0) {
        salida += "\x1b[?25l";
        cursor_visible_ = 0;
    }
}

std::string Volcado::aviso(Tamano terminal, bool campana) {
    std::string salida;
    if (!aviso_ || terminal != tamano_mostrado_) {
        salida += "\x1b[0m\x1b[2J";
        e_ = Estado{};
        e_.sgr = SGR_NORMAL;
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
            salida += cup(0, i);
            salida += lineas[static_cast<std::size_t>(i)];
        }
        salida += "\x1b[?25l";
        cursor_visible_ = 0;
        // Lo que hubiera en el terminal se ha borrado: el próximo cuadro normal lo pinta todo.
        valido_ = false;
        aviso_ = true;
        tamano_mostrado_ = terminal;
    }
    const bool repintado = !salida.empty();
    if (campana) salida += '\a';
    return sincronizado(std::move(salida), repintado);
}

void Volcado::olvidar() {
    valido_ = false;
    aviso_ = false;
    e_ = Estado{};
    cursor_visible_ = -1;
}

} // namespace consola
