// La consola de Windows sin Windows: el intérprete VT tiene que dejar una consola clásica de
// juguete enseñando lo mismo que la pantalla, y cada tecla de la consola tiene que llegar al
// teclado como la daría _getch.
#include <gtest/gtest.h>

#include "apoyo.h"
#include "consola/consola_clasica.h"

using namespace consola;

// Lo que se ve en cada celda (de un blanco, solo el fondo), en filas del ancho de la ventana:
// tras un cambio de tamaño, lo de antes queda descolocado. Fuera de la ventana, nada.
struct Rejilla final : ConsolaClasica {
    Tamano t;
    std::pair<char32_t, int> vista[ANCHO * ALTO]{};
    int cx = 0, cy = 0, campanas = 0, visible = 1;

    std::optional<Tamano> ventana() override { return t; }
    void escribir(int x, int y, std::u16string_view texto, std::uint16_t atributo) override {
        std::ranges::for_each(texto, [&](char16_t c) { rellenar(x++, y, 1, c, atributo); });
    }
    void rellenar(int x, int y, int n, char16_t c, std::uint16_t a) override {
        ASSERT_TRUE(x >= 0 && y >= 0 && n > 0 && y * t.columnas + x + n <= t.columnas * t.filas);
        std::fill_n(&vista[y * t.columnas + x], n, std::pair(c, c == u' ' ? a & 0xF0 : a));
    }
    void cursor(int x, int y) override { std::tie(cx, cy) = std::tie(x, y); }
    void cursor_visible(bool v) override { visible = v; }
    void campana() override { ++campanas; }
};

TEST(Clasica, CambiosAlAzarDejanLaConsolaIgualQueLaPantalla) {
    std::mt19937 azar(77);
    const Capacidades cap = capacidades_de_la_consola(true);
    Pantalla p;
    Volcado v(cap);
    Rejilla r;
    InterpreteVT vt(r, 0x1E);
    for (int ronda = 0, campanas = 0; ronda < 2000 && !HasFailure(); ++ronda) {
        campanas += cambio_al_azar(p, entre(azar, 0, 99), azar) > 0; // una por cuadro, si hay
        if (entre(azar, 0, 19) == 0) r.t = {entre(azar, 40, ANCHO), entre(azar, 12, ALTO)};
        p.tamano_ventana(r.t.columnas, r.t.filas);
        vt.escribir(v.cuadro(p, r.t));
        for (int i = 0; i < r.t.columnas * r.t.filas; ++i) {
            // Una celda de la consola no guarda un carácter de fuera del plano básico: '?'.
            auto esperada = celda_visible(p, i % r.t.columnas, i / r.t.columnas, cap);
            if (esperada.first > 0xFFFF) esperada.first = U'?';
            EXPECT_EQ(r.vista[i], esperada) << i;
        }
        // El cursor, si se ve.
        const std::pair c(p.cursor_x() - p.ventana_x(), p.cursor_y() - p.ventana_y());
        EXPECT_EQ(std::tuple(r.visible, r.visible ? std::pair(r.cx, r.cy) : c, r.campanas),
                  std::tuple(p.cursor_visible(), c, campanas));
    }
}

TEST(Clasica, CadaTeclaComoLaDariaGetch) {
    using enum Virtual;
    TeclasConsola traductor;
    std::deque<Lectura> cola;
    // De las teclas sin carácter, solo cuentan Intro, Escape, RePág, AvPág, Fin, Inicio, las
    // flechas, Ins, Supr y F1-F12.
    for (int t = 0; t < 0x100; ++t)
        traductor.traducir({static_cast<Virtual>(t)}, cola);
    // Alt+x (dos, por repetición) y Alt+3 dan lo mismo que tras un ESC en un terminal: el código
    // de Alt de DOS, no una x ni un 3; AltGr (Ctrl+Alt) escribe su @. Soltar una tecla no
    // cuenta, ni Alt + una flecha del teclado numérico (una cifra sin Bloq Num), cuyo carácter
    // llega al soltar Alt.
    for (const SucesoTecla& s :
         {SucesoTecla{{}, u'x', true, true, false, false, 2}, SucesoTecla{{}, u'3', true, true},
          SucesoTecla{{}, u'@', true, true, true}, SucesoTecla{{}, u'y', false},
          SucesoTecla{arriba, 0, true, true}, SucesoTecla{alt, u'ñ', false}})
        traductor.traducir(s, cola);
    // Retroceso, ñ, un emoji en dos mitades, media mitad suelta, y "[A" tras un Escape: no
    // son una flecha.
    for (const char16_t c : std::u16string_view(u"\bñ\xD83D\xDE00\xD83C\xDFFF\xDE00\x1b[A"))
        traductor.traducir({{}, c}, cola);
    Teclado teclado;
    for (cola.push_back({Suceso::sin_datos, 0}); const Lectura& l : cola)
        l.suceso == Suceso::byte ? teclado.recibir(l.byte) : teclado.sin_datos();
    // Lo que leería _getch (el segundo código de las teclas que dan dos), con su texto detrás.
    std::string r;
    while (const std::optional<Tecla> t = teclado.sacar())
        r += std::to_string(t->codigo) + t->texto + ' ';
    EXPECT_EQ(r, "13 27 73 81 79 71 75 72 77 80 82 83 59 60 61 62 63 64 65 66 67 68 133 134 "
                 "45 45 122 64@ 164ñ 8 164ñ 63😀 63🏿 27 91[ 65A ");
}
