// La consola de Windows real: el único sitio del programa que toca la consola (entrada y salida
// estándar), sus modos, páginas de códigos, título, cursor y colores, y el manejador de Ctrl+C.
// Lo que necesita el manejador vive en variables estáticas de este fichero, porque el sistema lo
// llama en otro hilo y no sabe de objetos.
#include "consola/terminal_windows.h"

#include "consola/plataforma.h"
#include "consola/texto.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

namespace consola {

namespace {

constexpr char ENTRAR[] = "\x1b[?1049h\x1b[?25l";
constexpr char SALIR[] = "\x1b[0m\x1b(B\x1b[?2026l\x1b[?25h\x1b[?1049l";

constexpr DWORD MODO_SALIDA = ENABLE_PROCESSED_OUTPUT | ENABLE_WRAP_AT_EOL_OUTPUT |
                              ENABLE_VIRTUAL_TERMINAL_PROCESSING | DISABLE_NEWLINE_AUTO_RETURN;

// Salida VT en `h`. Sin DISABLE_NEWLINE_AUTO_RETURN si la consola no lo conoce: el volcado no
// manda saltos de línea.
bool poner_vt(HANDLE h) {
    return ::SetConsoleMode(h, MODO_SALIDA) ||
           ::SetConsoleMode(h, MODO_SALIDA & ~static_cast<DWORD>(DISABLE_NEWLINE_AUTO_RETURN));
}

// La consola clásica, sin VT (Windows 7 y 8, Windows 10 antiguo, wine): la misma secuencia de
// bytes VT que manda el volcado se interpreta aquí y se hace con las funciones de la consola, en
// una pantalla propia que hace de pantalla alternativa. Entiende lo que el volcado puede mandar
// (colocar y mover el cursor, colores, borrados, cursor visible, campana) e ignora lo demás.
class Clasica {
  public:
    Clasica(HANDLE pantalla, WORD defecto) : h_(pantalla), defecto_(defecto), atributo_(defecto) {}
    HANDLE pantalla() const { return h_; }
    void escribir(std::wstring_view texto);

  private:
    enum class Estado { texto, escape, csi, osc, juego };
    void caracter(wchar_t c);
    void orden(wchar_t final);
    void colores();
    void soltar();
    void borrar(int x, int y, int n);
    std::vector<int> parametros() const;

    HANDLE h_;
    WORD defecto_, atributo_;
    COORD origen_{0, 0};
    int ancho_ = 80, alto_ = 50, x_ = 0, y_ = 0;
    bool margen_ = false; // se escribió en la última columna: el siguiente carácter salta de fila
    Estado estado_ = Estado::texto;
    std::wstring secuencia_;
    std::wstring tramo_; // caracteres seguidos de una fila, aún sin escribir
    int tramo_x_ = 0;
};

// Cómo estaba la consola al empezar, para dejarla igual.
struct Original {
    HANDLE entrada = nullptr, salida = nullptr;
    DWORD modo_entrada = 0, modo_salida = 0;
    UINT pagina_entrada = 0, pagina_salida = 0;
    std::wstring titulo;
    bool hay_titulo = false;
    CONSOLE_CURSOR_INFO cursor{};
    bool hay_cursor = false;
    WORD atributos = 0;
    bool hay_atributos = false;
    std::unique_ptr<Clasica> clasica; // nulo: la consola entiende VT
};
Original guardado;
// La consola está en modo de juego: restaurar tiene trabajo y se puede escribir en ella.
bool activo = false;
// El hilo del juego escribe y el manejador de Ctrl restaura: nunca a la vez, y nada sale
// después de restaurar.
SRWLOCK cerrojo = SRWLOCK_INIT;
LPTOP_LEVEL_EXCEPTION_FILTER filtro_anterior = nullptr;

std::wstring a_utf16(std::string_view texto) {
    if (texto.empty()) return {};
    const int n =
        ::MultiByteToWideChar(CP_UTF8, 0, texto.data(), static_cast<int>(texto.size()), nullptr, 0);
    std::wstring r(static_cast<std::size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, texto.data(), static_cast<int>(texto.size()), r.data(), n);
    return r;
}

void escribir_consola(std::string_view bytes) {
    const std::wstring texto = a_utf16(bytes);
    if (guardado.clasica) {
        guardado.clasica->escribir(texto);
        return;
    }
    // En trozos: hay consolas que no aceptan escrituras muy grandes de una vez.
    constexpr std::size_t TROZO = 8192;
    for (std::size_t pos = 0; pos < texto.size();) {
        std::size_t n = std::min(TROZO, texto.size() - pos);
        // No partir un carácter en dos mitades entre dos escrituras.
        if (pos + n < texto.size() && texto[pos + n - 1] >= 0xD800 && texto[pos + n - 1] <= 0xDBFF)
            --n;
        DWORD escritos = 0;
        if (!::WriteConsoleW(guardado.salida, texto.data() + pos, static_cast<DWORD>(n), &escritos,
                             nullptr) ||
            escritos == 0)
            return;
        pos += escritos;
    }
}

// Con el cerrojo tomado.
void deshacer() {
    if (!activo) return;
    activo = false;
    if (guardado.clasica) {
        ::SetConsoleActiveScreenBuffer(guardado.salida);
        if (guardado.clasica->pantalla() != guardado.salida)
            ::CloseHandle(guardado.clasica->pantalla());
    } else {
        escribir_consola(SALIR);
    }
    ::SetConsoleMode(guardado.salida, guardado.modo_salida);
    ::SetConsoleMode(guardado.entrada, guardado.modo_entrada);
    ::SetConsoleOutputCP(guardado.pagina_salida);
    ::SetConsoleCP(guardado.pagina_entrada);
    if (guardado.hay_titulo) ::SetConsoleTitleW(guardado.titulo.c_str());
    if (guardado.hay_cursor) ::SetConsoleCursorInfo(guardado.salida, &guardado.cursor);
    if (guardado.hay_atributos) ::SetConsoleTextAttribute(guardado.salida, guardado.atributos);
    // Las teclas que iban para el juego no deben llegar al intérprete de órdenes.
    ::FlushConsoleInputBuffer(guardado.entrada);
}

BOOL WINAPI manejar_control(DWORD suceso) {
    if (suceso != CTRL_C_EVENT && suceso != CTRL_BREAK_EVENT && suceso != CTRL_CLOSE_EVENT)
        return FALSE;
    // El cerrojo no se suelta: el hilo del juego no debe volver a escribir antes de morir.
    ::AcquireSRWLockExclusive(&cerrojo);
    deshacer();
    // El mismo estado que daría el manejador del sistema (0xC000013A), sin pasar por los
    // destructores de otro hilo que sigue a medias.
    ::TerminateProcess(::GetCurrentProcess(), STATUS_CONTROL_C_EXIT);
    return TRUE;
}

LONG WINAPI manejar_fallo(EXCEPTION_POINTERS* excepcion) {
    ConsolaWindows::restaurar();
    return filtro_anterior != nullptr ? filtro_anterior(excepcion) : EXCEPTION_CONTINUE_SEARCH;
}

// Las teclas sin carácter, como las manda un xterm. nullptr: no es una de ellas.
const char* secuencia(WORD tecla) {
    switch (tecla) {
    case VK_UP:
        return "\x1b[A";
    case VK_DOWN:
        return "\x1b[B";
    case VK_RIGHT:
        return "\x1b[C";
    case VK_LEFT:
        return "\x1b[D";
    case VK_HOME:
        return "\x1b[H";
    case VK_END:
        return "\x1b[F";
    case VK_INSERT:
        return "\x1b[2~";
    case VK_DELETE:
        return "\x1b[3~";
    case VK_PRIOR:
        return "\x1b[5~";
    case VK_NEXT:
        return "\x1b[6~";
    case VK_F1:
        return "\x1bOP";
    case VK_F2:
        return "\x1bOQ";
    case VK_F3:
        return "\x1bOR";
    case VK_F4:
        return "\x1bOS";
    case VK_F5:
        return "\x1b[15~";
    case VK_F6:
        return "\x1b[17~";
    case VK_F7:
        return "\x1b[18~";
    case VK_F8:
        return "\x1b[19~";
    case VK_F9:
        return "\x1b[20~";
    case VK_F10:
        return "\x1b[21~";
    case VK_F11:
        return "\x1b[23~";
    case VK_F12:
        return "\x1b[24~";
    default:
        return nullptr;
    }
}

Capacidades capacidades_de_la_consola() {
    // Lo que entiende la consola de Windows 10 con VT (y Windows Terminal), y lo que interpreta
    // Clasica donde no hay VT: borra con el fondo actual (ED, EL, ECH), movimientos relativos,
    // CR, LF y BS, pero no REP.
    Capacidades c;
    c.utf8 = true;
    c.cajas = Cajas::unicode;
    const char* sin_color = std::getenv("NO_COLOR");
    c.colores = sin_color == nullptr || sin_color[0] == '\0' ? 16 : 0;
    c.bce = true;
    c.borrar_pantalla = true;
    c.borrar_linea = true;
    c.borrar_caracteres = true;
    c.repetir = false;
    c.mover_relativo = true;
    c.mover_basico = true;
    c.pantalla_alternativa = true;
    // Windows da las teclas enteras: un ESC solo llega seguido de "sin datos" (ver traducir).
    c.espera_escape_ms = 0;
    return c;
}

// ¿Interpreta la consola de verdad las secuencias VT, o solo acepta el modo? (wine lo acepta y
// escribe las secuencias como texto). Se prueba en una pantalla que nadie ve.
bool entiende_vt() {
    const HANDLE prueba = ::CreateConsoleScreenBuffer(GENERIC_READ | GENERIC_WRITE,
                                                      FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                                      CONSOLE_TEXTMODE_BUFFER, nullptr);
    if (prueba == INVALID_HANDLE_VALUE) return false;
    DWORD escritos = 0;
    CONSOLE_SCREEN_BUFFER_INFO info{};
    const bool vt = poner_vt(prueba) &&
                    ::WriteConsoleW(prueba, L"\x1b[2;3H", 6, &escritos, nullptr) &&
                    ::GetConsoleScreenBufferInfo(prueba, &info) && info.dwCursorPosition.X == 2 &&
                    info.dwCursorPosition.Y == 1;
    ::CloseHandle(prueba);
    return vt;
}

void Clasica::escribir(std::wstring_view texto) {
    CONSOLE_SCREEN_BUFFER_INFO info{};
    if (::GetConsoleScreenBufferInfo(h_, &info)) {
        origen_ = COORD{info.srWindow.Left, info.srWindow.Top};
        ancho_ = info.srWindow.Right - info.srWindow.Left + 1;
        alto_ = info.srWindow.Bottom - info.srWindow.Top + 1;
        x_ = std::min(x_, ancho_ - 1);
        y_ = std::min(y_, alto_ - 1);
    }
    for (const wchar_t c : texto)
        caracter(c);
    soltar();
    ::SetConsoleCursorPosition(
        h_, COORD{static_cast<SHORT>(origen_.X + x_), static_cast<SHORT>(origen_.Y + y_)});
}

void Clasica::caracter(wchar_t c) {
    switch (estado_) {
    case Estado::escape:
        estado_ = c == L'['                  ? Estado::csi
                  : c == L']'                ? Estado::osc
                  : (c == L'(' || c == L')') ? Estado::juego
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
    case Estado::osc: // el título va por SetConsoleTitleW; una OSC se salta entera
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
    } else if (c == L'\r' || c == L'\n' || c == L'\b') {
        soltar();
        margen_ = false;
        if (c == L'\r') x_ = 0;
        if (c == L'\n') y_ = std::min(y_ + 1, alto_ - 1);
        if (c == L'\b') x_ = std::max(x_ - 1, 0);
    } else if (c == 0x07) {
        soltar();
        DWORD escritos = 0;
        ::WriteConsoleW(h_, L"\a", 1, &escritos, nullptr);
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

std::vector<int> Clasica::parametros() const {
    std::vector<int> r(1, 0);
    for (std::size_t i = secuencia_[0] == L'?' ? 1 : 0; i < secuencia_.size(); ++i) {
        if (secuencia_[i] == L';')
            r.push_back(0);
        else if (secuencia_[i] >= L'0' && secuencia_[i] <= L'9' && r.back() < 10000)
            r.back() = r.back() * 10 + (secuencia_[i] - L'0');
    }
    return r;
}

void Clasica::orden(wchar_t final) {
    if (secuencia_.empty()) secuencia_ = L"0";
    const std::vector<int> p = parametros();
    const int n = std::max(p[0], 1);
    const bool privada = secuencia_[0] == L'?';
    // Como en xterm, los colores y los modos no anulan el salto de fila pendiente.
    if (final != L'm' && final != L'h' && final != L'l') margen_ = false;
    switch (final) {
    case L'H':
    case L'f':
        y_ = n - 1;
        x_ = p.size() > 1 ? std::max(p[1], 1) - 1 : 0;
        break;
    case L'A':
        y_ -= n;
        break;
    case L'B':
        y_ += n;
        break;
    case L'C':
        x_ += n;
        break;
    case L'D':
        x_ -= n;
        break;
    case L'G':
        x_ = n - 1;
        break;
    case L'd':
        y_ = n - 1;
        break;
    case L'J':
        if (p[0] == 0)
            borrar(x_, y_, (alto_ - y_) * ancho_ - x_);
        else if (p[0] == 1)
            borrar(0, 0, y_ * ancho_ + x_ + 1);
        else
            borrar(0, 0, alto_ * ancho_);
        break;
    case L'K':
        if (p[0] == 0)
            borrar(x_, y_, ancho_ - x_);
        else if (p[0] == 1)
            borrar(0, y_, x_ + 1);
        else
            borrar(0, y_, ancho_);
        break;
    case L'X':
        borrar(x_, y_, std::min(n, ancho_ - x_));
        break;
    case L'm':
        colores();
        break;
    case L'h':
    case L'l':
        if (privada && p[0] == 25) {
            const DWORD tamano = guardado.hay_cursor ? guardado.cursor.dwSize : 25;
            const CONSOLE_CURSOR_INFO cursor{tamano, final == L'h'};
            ::SetConsoleCursorInfo(h_, &cursor);
        }
        break;
    default:
        break;
    }
    x_ = std::clamp(x_, 0, ancho_ - 1);
    y_ = std::clamp(y_, 0, alto_ - 1);
}

// Los colores ANSI tienen el rojo y el azul al revés que los de la consola.
WORD color_consola(int ansi) {
    return static_cast<WORD>(((ansi & 1) << 2) | (ansi & 2) | ((ansi & 4) >> 2));
}

void Clasica::colores() {
    const std::vector<int> p = parametros();
    WORD texto = atributo_ & 0x0F, fondo = atributo_ & 0xF0;
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
            fondo = static_cast<WORD>(color_consola(v - 40) << 4);
        else if (v >= 100 && v <= 107)
            fondo = static_cast<WORD>((color_consola(v - 100) | 8) << 4);
        else if (v == 49)
            fondo = defecto_ & 0xF0;
        else if ((v == 38 || v == 48) && i + 1 < p.size())
            i += p[i + 1] == 5 ? 2 : 4;
    }
    atributo_ = texto | fondo;
}

void Clasica::soltar() {
    if (tramo_.empty()) return;
    const COORD donde{static_cast<SHORT>(origen_.X + tramo_x_), static_cast<SHORT>(origen_.Y + y_)};
    DWORD hechos = 0;
    const auto n = static_cast<DWORD>(tramo_.size());
    ::WriteConsoleOutputCharacterW(h_, tramo_.data(), n, donde, &hechos);
    ::FillConsoleOutputAttribute(h_, atributo_, n, donde, &hechos);
    tramo_.clear();
}

// Borra como una consola con bce: blancos en el color actual.
void Clasica::borrar(int x, int y, int n) {
    if (n <= 0) return;
    const COORD donde{static_cast<SHORT>(origen_.X + x), static_cast<SHORT>(origen_.Y + y)};
    DWORD hechos = 0;
    ::FillConsoleOutputCharacterW(h_, L' ', static_cast<DWORD>(n), donde, &hechos);
    ::FillConsoleOutputAttribute(h_, atributo_, static_cast<DWORD>(n), donde, &hechos);
}

} // namespace

ConsolaWindows::ConsolaWindows(Capacidades capacidades) : capacidades_(capacidades) {
    guardado = Original{};
    guardado.entrada = ::GetStdHandle(STD_INPUT_HANDLE);
    guardado.salida = ::GetStdHandle(STD_OUTPUT_HANDLE);
    ::GetConsoleMode(guardado.entrada, &guardado.modo_entrada);
    ::GetConsoleMode(guardado.salida, &guardado.modo_salida);
    guardado.pagina_entrada = ::GetConsoleCP();
    guardado.pagina_salida = ::GetConsoleOutputCP();
    guardado.titulo.assign(32768, L'\0');
    ::SetLastError(ERROR_SUCCESS);
    const DWORD largo =
        ::GetConsoleTitleW(guardado.titulo.data(), static_cast<DWORD>(guardado.titulo.size()));
    // Un título vacío también es un título; un fallo no: entonces no se toca al salir.
    guardado.hay_titulo = largo > 0 || ::GetLastError() == ERROR_SUCCESS;
    guardado.titulo.resize(largo);
    guardado.hay_cursor = ::GetConsoleCursorInfo(guardado.salida, &guardado.cursor) != 0;
    CONSOLE_SCREEN_BUFFER_INFO info{};
    guardado.hay_atributos = ::GetConsoleScreenBufferInfo(guardado.salida, &info) != 0;
    guardado.atributos = info.wAttributes;

    // El manejador va antes de tocar nada: un Ctrl+C en mitad del arranque también tiene que
    // dejar la consola como estaba.
    ::SetConsoleCtrlHandler(manejar_control, TRUE);
    static const bool registrado = [] {
        // Por si alguien termina con exit() sin pasar por el destructor, o el programa cae.
        std::atexit(&ConsolaWindows::restaurar);
        filtro_anterior = ::SetUnhandledExceptionFilter(manejar_fallo);
        return true;
    }();
    (void)registrado;

    const bool vt = entiende_vt();
    ::AcquireSRWLockExclusive(&cerrojo);
    activo = true;
    if (vt) {
        poner_vt(guardado.salida);
    } else {
        // Sin VT, la pantalla alternativa es otra pantalla de la consola, del tamaño de la
        // ventana; la del usuario queda intacta debajo.
        const HANDLE pantalla = ::CreateConsoleScreenBuffer(
            GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
            CONSOLE_TEXTMODE_BUFFER, nullptr);
        if (pantalla != INVALID_HANDLE_VALUE) {
            ::SetConsoleScreenBufferSize(
                pantalla, COORD{static_cast<SHORT>(info.srWindow.Right - info.srWindow.Left + 1),
                                static_cast<SHORT>(info.srWindow.Bottom - info.srWindow.Top + 1)});
            ::SetConsoleActiveScreenBuffer(pantalla);
        }
        guardado.clasica = std::make_unique<Clasica>(
            pantalla != INVALID_HANDLE_VALUE ? pantalla : guardado.salida, guardado.atributos);
    }
    // Tecla a tecla y sin eco; el tamaño de la ventana como suceso. La edición rápida (elegir
    // texto con el ratón) queda como la tenía el usuario.
    ::SetConsoleMode(guardado.entrada,
                     ENABLE_PROCESSED_INPUT | ENABLE_WINDOW_INPUT | ENABLE_EXTENDED_FLAGS |
                         (guardado.modo_entrada & (ENABLE_QUICK_EDIT_MODE | ENABLE_INSERT_MODE)));
    ::SetConsoleOutputCP(CP_UTF8);
    escribir_consola(ENTRAR);
    ::ReleaseSRWLockExclusive(&cerrojo);
}

ConsolaWindows::~ConsolaWindows() {
    restaurar();
    ::SetConsoleCtrlHandler(manejar_control, FALSE);
}

void ConsolaWindows::restaurar() {
    ::AcquireSRWLockExclusive(&cerrojo);
    deshacer();
    ::ReleaseSRWLockExclusive(&cerrojo);
}

void ConsolaWindows::poner(std::string_view bytes) {
    for (const char b : bytes)
        pendientes_.push_back(Lectura{Suceso::byte, static_cast<unsigned char>(b)});
}

void ConsolaWindows::caracter(wchar_t c) {
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
    poner(utf8(codigo));
}

void ConsolaWindows::traducir(const void* suceso_tecla) {
    const KEY_EVENT_RECORD& k = *static_cast<const KEY_EVENT_RECORD*>(suceso_tecla);
    const wchar_t c = k.uChar.UnicodeChar;
    if (!k.bKeyDown) {
        // Alt + cifras del teclado numérico: el carácter llega al soltar Alt.
        if (k.wVirtualKeyCode == VK_MENU && c != 0) caracter(c);
        return;
    }
    // Las cifras de Alt + número no son teclas (con Bloq Num apagado serían flechas).
    const bool alt = (k.dwControlKeyState & (LEFT_ALT_PRESSED | RIGHT_ALT_PRESSED)) != 0;
    const bool ctrl = (k.dwControlKeyState & (LEFT_CTRL_PRESSED | RIGHT_CTRL_PRESSED)) != 0;
    if (alt && !ctrl && !(k.dwControlKeyState & ENHANCED_KEY) &&
        ((k.wVirtualKeyCode >= VK_NUMPAD0 && k.wVirtualKeyCode <= VK_NUMPAD9) ||
         (k.wVirtualKeyCode >= VK_PRIOR && k.wVirtualKeyCode <= VK_DOWN) ||
         k.wVirtualKeyCode == VK_INSERT || k.wVirtualKeyCode == VK_CLEAR))
        return;
    for (int i = 0; i < std::max<int>(1, k.wRepeatCount); ++i) {
        if (k.wVirtualKeyCode == VK_ESCAPE || c == 0x1B) {
            // La tecla Escape entera: el "sin datos" detrás hace que no espere una secuencia,
            // aunque otra tecla esté ya en la cola.
            poner("\x1b");
            pendientes_.push_back(Lectura{Suceso::sin_datos, 0});
        } else if (const char* s = secuencia(k.wVirtualKeyCode)) {
            poner(s);
        } else if (k.wVirtualKeyCode == VK_RETURN) {
            // Intro es siempre \r, también con Ctrl (que daría \n) o el del teclado numérico:
            // wine, al arrancar, a veces la entrega así.
            poner("\r");
        } else if (c != 0) {
            caracter(c);
        }
    }
}

Lectura ConsolaWindows::leer(int espera_ms) {
    const ULONGLONG limite = ::GetTickCount64() + static_cast<ULONGLONG>(std::max(0, espera_ms));
    for (;;) {
        if (!pendientes_.empty()) {
            const Lectura l = pendientes_.front();
            pendientes_.pop_front();
            return l;
        }
        if (terminado_) return Lectura{Suceso::fin, 0};

        DWORD espera = INFINITE;
        if (espera_ms >= 0) {
            const ULONGLONG ahora = ::GetTickCount64();
            espera = ahora >= limite ? 0 : static_cast<DWORD>(limite - ahora);
        }
        const DWORD r = ::WaitForSingleObject(guardado.entrada, espera);
        if (r == WAIT_TIMEOUT) return Lectura{Suceso::sin_datos, 0};
        INPUT_RECORD registros[64];
        DWORD n = 0;
        if (r != WAIT_OBJECT_0 || !::ReadConsoleInputW(guardado.entrada, registros, 64, &n)) {
            terminado_ = true;
            continue;
        }
        for (DWORD i = 0; i < n; ++i) {
            if (registros[i].EventType == KEY_EVENT) {
                traducir(&registros[i].Event.KeyEvent);
            } else if (registros[i].EventType == WINDOW_BUFFER_SIZE_EVENT) {
                // Varios cambios seguidos (arrastrar el borde) piden un solo repintado.
                if (pendientes_.empty() || pendientes_.back().suceso != Suceso::cambio_tamano)
                    pendientes_.push_back(Lectura{Suceso::cambio_tamano, 0});
            }
        }
    }
}

void ConsolaWindows::escribir(std::string_view bytes) {
    ::AcquireSRWLockExclusive(&cerrojo);
    if (activo) escribir_consola(bytes);
    ::ReleaseSRWLockExclusive(&cerrojo);
}

Tamano ConsolaWindows::tamano() {
    CONSOLE_SCREEN_BUFFER_INFO info{};
    const HANDLE pantalla = guardado.clasica ? guardado.clasica->pantalla() : guardado.salida;
    if (!::GetConsoleScreenBufferInfo(pantalla, &info)) return Tamano{80, 50};
    return Tamano{info.srWindow.Right - info.srWindow.Left + 1,
                  info.srWindow.Bottom - info.srWindow.Top + 1};
}

std::int64_t ConsolaWindows::segundos() {
    return static_cast<std::int64_t>(std::time(nullptr));
}

std::int64_t ConsolaWindows::milisegundos() {
    return static_cast<std::int64_t>(::GetTickCount64());
}

void ConsolaWindows::dormir(int ms) {
    if (ms > 0) ::Sleep(static_cast<DWORD>(ms));
}

void ConsolaWindows::titulo(std::string_view texto) {
    std::wstring t = a_utf16(texto);
    std::erase_if(t, [](wchar_t c) { return c < 0x20 || (c >= 0x7F && c < 0xA0); });
    ::AcquireSRWLockExclusive(&cerrojo);
    if (activo) ::SetConsoleTitleW(t.c_str());
    ::ReleaseSRWLockExclusive(&cerrojo);
}

Apertura abrir_terminal() {
    Apertura a;
    const HANDLE entrada = ::GetStdHandle(STD_INPUT_HANDLE);
    const HANDLE salida = ::GetStdHandle(STD_OUTPUT_HANDLE);
    DWORD modo_entrada = 0, modo_salida = 0;
    if (!::GetConsoleMode(entrada, &modo_entrada) || !::GetConsoleMode(salida, &modo_salida)) {
        a.error = "la entrada y la salida tienen que ser una consola de Windows "
                  "(cmd, PowerShell o Windows Terminal)";
        return a;
    }
    a.dispositivo = std::make_unique<ConsolaWindows>(capacidades_de_la_consola());
    return a;
}

std::string directorio_del_ejecutable(const char*) {
    // La ruta de verdad del módulo, no la de argv[0], que puede no llevar directorio.
    std::wstring ruta(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = ::GetModuleFileNameW(nullptr, ruta.data(), static_cast<DWORD>(ruta.size()));
        if (n == 0) return "";
        if (n < ruta.size()) {
            ruta.resize(n);
            break;
        }
        ruta.resize(ruta.size() * 2);
    }
    const std::size_t barra = ruta.find_last_of(L"\\/");
    if (barra == std::wstring::npos) return "";
    ruta.resize(barra);
    // En la página de códigos del sistema, que es la que entienden fopen e ifstream; si algún
    // carácter no cabe en ella, mejor no saberlo que dar una ruta que no existe.
    BOOL perdido = FALSE;
    const int largo = static_cast<int>(ruta.size());
    const int n = ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, ruta.data(), largo, nullptr,
                                        0, nullptr, &perdido);
    if (n <= 0 || perdido) return "";
    std::string r(static_cast<std::size_t>(n), '\0');
    ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, ruta.data(), largo, r.data(), n, nullptr,
                          nullptr);
    return r;
}

} // namespace consola
