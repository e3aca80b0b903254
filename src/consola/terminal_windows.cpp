// La consola de Windows real: el único sitio del programa que toca la consola (entrada y salida
// estándar), sus modos, páginas de códigos, título, cursor y colores, y el manejador de Ctrl+C.
// Lo que necesita el manejador vive en variables estáticas de este fichero, porque el sistema lo
// llama en otro hilo y no sabe de objetos.
#include "consola/terminal_windows.h"

#include "consola/consola_clasica.h"
#include "consola/mensajes.h"
#include "consola/plataforma.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <ctime>
#include <cwchar>
#include <memory>
#include <string>

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

// Las teclas virtuales de consola_clasica.h son las de Windows.
static_assert(static_cast<WORD>(Virtual::retroceso) == VK_BACK);
static_assert(static_cast<WORD>(Virtual::borrar_centro) == VK_CLEAR);
static_assert(static_cast<WORD>(Virtual::intro) == VK_RETURN);
static_assert(static_cast<WORD>(Virtual::alt) == VK_MENU);
static_assert(static_cast<WORD>(Virtual::escape) == VK_ESCAPE);
static_assert(static_cast<WORD>(Virtual::repag) == VK_PRIOR);
static_assert(static_cast<WORD>(Virtual::avpag) == VK_NEXT);
static_assert(static_cast<WORD>(Virtual::fin) == VK_END);
static_assert(static_cast<WORD>(Virtual::inicio) == VK_HOME);
static_assert(static_cast<WORD>(Virtual::izquierda) == VK_LEFT);
static_assert(static_cast<WORD>(Virtual::arriba) == VK_UP);
static_assert(static_cast<WORD>(Virtual::derecha) == VK_RIGHT);
static_assert(static_cast<WORD>(Virtual::abajo) == VK_DOWN);
static_assert(static_cast<WORD>(Virtual::insertar) == VK_INSERT);
static_assert(static_cast<WORD>(Virtual::suprimir) == VK_DELETE);
static_assert(static_cast<WORD>(Virtual::numerico0) == VK_NUMPAD0);
static_assert(static_cast<WORD>(Virtual::numerico9) == VK_NUMPAD9);
static_assert(static_cast<WORD>(Virtual::f1) == VK_F1);
static_assert(static_cast<WORD>(Virtual::f12) == VK_F12);

// La consola clásica, sin VT (Windows 7 y 8, Windows 10 antiguo, wine), con sus funciones de
// siempre, sobre una pantalla propia que hace de pantalla alternativa. Lo que hay que pintar lo
// decide InterpreteVT con la misma secuencia VT que entendería una consola moderna.
class PantallaClasica final : public ConsolaClasica {
  public:
    PantallaClasica(HANDLE pantalla, DWORD tamano_cursor)
        : h_(pantalla), tamano_cursor_(tamano_cursor) {}
    HANDLE pantalla() const { return h_; }

    std::optional<Tamano> ventana() override {
        CONSOLE_SCREEN_BUFFER_INFO info{};
        if (!::GetConsoleScreenBufferInfo(h_, &info)) return std::nullopt;
        origen_ = COORD{info.srWindow.Left, info.srWindow.Top};
        return Tamano{info.srWindow.Right - info.srWindow.Left + 1,
                      info.srWindow.Bottom - info.srWindow.Top + 1};
    }
    void escribir(int x, int y, std::u16string_view texto, std::uint16_t atributo) override {
        const std::wstring w(texto.begin(), texto.end());
        const auto n = static_cast<DWORD>(w.size());
        DWORD hechos = 0;
        ::WriteConsoleOutputCharacterW(h_, w.data(), n, donde(x, y), &hechos);
        ::FillConsoleOutputAttribute(h_, atributo, n, donde(x, y), &hechos);
    }
    void rellenar(int x, int y, int n, char16_t c, std::uint16_t atributo) override {
        DWORD hechos = 0;
        ::FillConsoleOutputCharacterW(h_, static_cast<wchar_t>(c), static_cast<DWORD>(n),
                                      donde(x, y), &hechos);
        ::FillConsoleOutputAttribute(h_, atributo, static_cast<DWORD>(n), donde(x, y), &hechos);
    }
    void cursor(int x, int y) override { ::SetConsoleCursorPosition(h_, donde(x, y)); }
    void cursor_visible(bool visible) override {
        const CONSOLE_CURSOR_INFO cursor{tamano_cursor_, visible};
        ::SetConsoleCursorInfo(h_, &cursor);
    }
    void campana() override {
        DWORD escritos = 0;
        ::WriteConsoleW(h_, L"\a", 1, &escritos, nullptr);
    }

  private:
    COORD donde(int x, int y) const {
        return COORD{static_cast<SHORT>(origen_.X + x), static_cast<SHORT>(origen_.Y + y)};
    }

    HANDLE h_;
    DWORD tamano_cursor_;
    COORD origen_{0, 0};
};

// Sin VT: la pantalla propia y el intérprete que pinta en ella.
struct Clasica {
    Clasica(HANDLE h, DWORD tamano_cursor, WORD defecto)
        : consola(h, tamano_cursor), vt(consola, defecto) {}
    PantallaClasica consola;
    InterpreteVT vt;
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
// wine pinta sus consolas en un terminal Unix: todas sus pantallas comparten la única del
// terminal, y lo que el usuario tenía escrito antes de arrancar no lo sabe. Ahí la pantalla del
// usuario la guarda la pantalla alternativa del terminal.
bool alternativa_del_terminal = false;
// El hilo del juego escribe y el manejador de Ctrl restaura: nunca a la vez, y nada sale
// después de restaurar. `dueno` es el hilo que tiene el cerrojo: si falla él mismo con el
// cerrojo tomado (dentro de una escritura), el filtro de fallos no debe esperarlo.
SRWLOCK cerrojo = SRWLOCK_INIT;
std::atomic<DWORD> dueno{0};
LPTOP_LEVEL_EXCEPTION_FILTER filtro_anterior = nullptr;

void tomar() {
    ::AcquireSRWLockExclusive(&cerrojo);
    dueno = ::GetCurrentThreadId();
}

void soltar() {
    dueno = 0;
    ::ReleaseSRWLockExclusive(&cerrojo);
}

// El UTF-16 de mensajes.h va tal cual a las funciones W de Windows.
static_assert(sizeof(wchar_t) == sizeof(char16_t));

// En trozos: hay consolas que no aceptan escrituras muy grandes de una vez.
bool escribir_w(HANDLE h, std::u16string_view texto) {
    constexpr std::size_t TROZO = 8192;
    for (std::size_t pos = 0; pos < texto.size();) {
        std::size_t n = std::min(TROZO, texto.size() - pos);
        // No partir un carácter en dos mitades entre dos escrituras.
        if (pos + n < texto.size() && texto[pos + n - 1] >= 0xD800 && texto[pos + n - 1] <= 0xDBFF)
            --n;
        DWORD escritos = 0;
        const auto* w = reinterpret_cast<const wchar_t*>(texto.data() + pos);
        if (!::WriteConsoleW(h, w, static_cast<DWORD>(n), &escritos, nullptr) || escritos == 0)
            return false;
        pos += escritos;
    }
    return true;
}

void escribir_consola(std::string_view bytes) {
    if (guardado.clasica)
        guardado.clasica->vt.escribir(bytes);
    else
        escribir_w(guardado.salida, utf16(bytes));
}

// Bajo wine en un terminal (la ventana de su consola no se ve), un carácter de una celda llega
// al terminal tal cual: así se le manda una secuencia a él, no a la consola.
bool es_wine_en_un_terminal() {
    const HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
    return ntdll != nullptr && ::GetProcAddress(ntdll, "wine_get_version") != nullptr &&
           !::IsWindowVisible(::GetConsoleWindow());
}

void al_terminal(const wchar_t* secuencia) {
    CONSOLE_SCREEN_BUFFER_INFO info{};
    DWORD hechos = 0;
    if (::GetConsoleScreenBufferInfo(guardado.salida, &info))
        ::WriteConsoleOutputCharacterW(guardado.salida, secuencia,
                                       static_cast<DWORD>(std::wcslen(secuencia)),
                                       info.dwCursorPosition, &hechos);
}

// Con el cerrojo tomado.
void deshacer() {
    if (!activo) return;
    activo = false;
    if (guardado.clasica) {
        ::SetConsoleActiveScreenBuffer(guardado.salida);
        if (guardado.clasica->consola.pantalla() != guardado.salida)
            ::CloseHandle(guardado.clasica->consola.pantalla());
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
    if (alternativa_del_terminal) al_terminal(L"\x1b[?1049l");
    alternativa_del_terminal = false;
    // Las teclas que iban para el juego no deben llegar al intérprete de órdenes.
    ::FlushConsoleInputBuffer(guardado.entrada);
}

BOOL WINAPI manejar_control(DWORD suceso) {
    if (suceso != CTRL_C_EVENT && suceso != CTRL_BREAK_EVENT && suceso != CTRL_CLOSE_EVENT)
        return FALSE;
    // El cerrojo no se suelta: el hilo del juego no debe volver a escribir antes de morir.
    tomar();
    deshacer();
    // El mismo estado que daría el manejador del sistema (0xC000013A), sin pasar por los
    // destructores de otro hilo que sigue a medias.
    ::TerminateProcess(::GetCurrentProcess(), STATUS_CONTROL_C_EXIT);
    return TRUE;
}

LONG WINAPI manejar_fallo(EXCEPTION_POINTERS* excepcion) {
    // Con el cerrojo en manos de este mismo hilo, la escritura que falló no sigue: se restaura
    // sin él. Si lo tiene el manejador de Ctrl, él restaura y termina el proceso.
    if (dueno == ::GetCurrentThreadId())
        deshacer();
    else
        ConsolaWindows::restaurar();
    return filtro_anterior != nullptr ? filtro_anterior(excepcion) : EXCEPTION_CONTINUE_SEARCH;
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
    tomar();
    activo = true;
    if (vt) {
        poner_vt(guardado.salida);
    } else {
        // Sin VT, la pantalla alternativa es otra pantalla de la consola, del tamaño de la
        // ventana; la del usuario queda intacta debajo.
        alternativa_del_terminal = es_wine_en_un_terminal();
        if (alternativa_del_terminal) al_terminal(L"\x1b[?1049h");
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
            pantalla != INVALID_HANDLE_VALUE ? pantalla : guardado.salida,
            guardado.hay_cursor ? guardado.cursor.dwSize : 25, guardado.atributos);
    }
    // Tecla a tecla y sin eco; el tamaño de la ventana como suceso. La edición rápida (elegir
    // texto con el ratón) queda como la tenía el usuario.
    ::SetConsoleMode(guardado.entrada,
                     ENABLE_PROCESSED_INPUT | ENABLE_WINDOW_INPUT | ENABLE_EXTENDED_FLAGS |
                         (guardado.modo_entrada & (ENABLE_QUICK_EDIT_MODE | ENABLE_INSERT_MODE)));
    ::SetConsoleOutputCP(CP_UTF8);
    escribir_consola(ENTRAR);
    soltar();
}

ConsolaWindows::~ConsolaWindows() {
    restaurar();
    ::SetConsoleCtrlHandler(manejar_control, FALSE);
}

void ConsolaWindows::restaurar() {
    tomar();
    deshacer();
    soltar();
}

void ConsolaWindows::traducir(const void* suceso_tecla) {
    const KEY_EVENT_RECORD& k = *static_cast<const KEY_EVENT_RECORD*>(suceso_tecla);
    SucesoTecla s;
    s.tecla = static_cast<Virtual>(k.wVirtualKeyCode);
    s.caracter = static_cast<char16_t>(k.uChar.UnicodeChar);
    s.pulsada = k.bKeyDown != 0;
    s.alt = (k.dwControlKeyState & (LEFT_ALT_PRESSED | RIGHT_ALT_PRESSED)) != 0;
    s.ctrl = (k.dwControlKeyState & (LEFT_CTRL_PRESSED | RIGHT_CTRL_PRESSED)) != 0;
    s.extendida = (k.dwControlKeyState & ENHANCED_KEY) != 0;
    s.repeticiones = k.wRepeatCount;
    teclas_.traducir(s, pendientes_);
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
    tomar();
#ifdef QUATRELO_FALLO_AL_ESCRIBIR
    // Solo en quatrelo_fallo.exe, para las pruebas: un fallo de memoria con el cerrojo tomado.
    if (activo) *static_cast<volatile int*>(nullptr) = 0;
#endif
    if (activo) escribir_consola(bytes);
    soltar();
}

Tamano ConsolaWindows::tamano() {
    CONSOLE_SCREEN_BUFFER_INFO info{};
    const HANDLE pantalla =
        guardado.clasica ? guardado.clasica->consola.pantalla() : guardado.salida;
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
    std::u16string t = utf16(texto);
    std::erase_if(t, [](char16_t c) { return c < 0x20 || (c >= 0x7F && c < 0xA0); });
    tomar();
    if (activo) ::SetConsoleTitleW(reinterpret_cast<const wchar_t*>(t.c_str()));
    soltar();
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
    const char* sin_color = std::getenv("NO_COLOR");
    a.dispositivo = std::make_unique<ConsolaWindows>(
        capacidades_de_la_consola(sin_color == nullptr || sin_color[0] == '\0'));
    return a;
}

namespace {

// Una consola recibe UTF-16, que se lee bien sea cual sea su página de códigos; redirigida a un
// fichero o una tubería, UTF-8.
class FlujoWindows final : public FlujoC {
  public:
    FlujoWindows(DWORD cual, std::FILE* flujo) : FlujoC(flujo), cual_(cual) {}
    bool consola() override {
        DWORD modo = 0;
        return ::GetConsoleMode(::GetStdHandle(cual_), &modo) != 0;
    }
    bool utf16(std::u16string_view texto) override {
        return escribir_w(::GetStdHandle(cual_), texto);
    }

  private:
    DWORD cual_;
};

} // namespace

Flujo& salida_estandar() {
    static FlujoWindows flujo(STD_OUTPUT_HANDLE, stdout);
    return flujo;
}

Flujo& error_estandar() {
    static FlujoWindows flujo(STD_ERROR_HANDLE, stderr);
    return flujo;
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
