// Medidas del volcado y de la memoria, sobre las pantallas reales y un dispositivo con guion:
// bytes y escrituras de los primeros cuadros, de mover el recuadro del menú, del eco de una
// letra y de una jugada, y la memoria máxima tras 1 y tras 1000 partidas abandonadas. Se
// ejecuta sin argumentos.
#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "conio2.h"
#include "consola/guion.h"
#include "lib_funciones.h"

namespace {

struct Medida {
    std::uint64_t bytes = 0, escrituras = 0;
};

// Lo que escriben el arranque y el menú con este guion, de principio a fin.
Medida total(const std::string& guion, std::int64_t reloj) {
    consola::DispositivoGuion d;
    d.reloj_base = reloj;
    Consola c(d);
    ConsolaActiva a(c);
    // Cada tecla llega sola, como al teclear: el cuadro sale antes de esperar la siguiente.
    d.silencio();
    for (const char tecla : guion)
        d.teclear(std::string(1, tecla)).silencio();
    try {
        arranque();
        menu_ppal();
    } catch (const FinDeEntrada&) {
    }
    return {d.bytes_escritos, d.escrituras};
}

// Lo que sale al teclear `resto` después de `previo`.
Medida medir(const std::string& previo, const std::string& resto,
             std::int64_t reloj = 1'800'000'000) {
    const Medida antes = total(previo, reloj);
    const Medida despues = total(previo + resto, reloj);
    return {despues.bytes - antes.bytes, despues.escrituras - antes.escrituras};
}

std::int64_t reloj_para(int quien) {
    for (std::int64_t s = 1'800'000'000;; ++s) {
        std::srand(static_cast<unsigned>(s));
        if (std::rand() % 2 == quien) return s;
    }
}

long rss_maximo_kb() {
    rusage uso{};
    getrusage(RUSAGE_SELF, &uso);
    return uso.ru_maxrss;
}

// Repite un guion sin guardarlo entero en memoria: cada vuelta es una partida abandonada.
class DispositivoRepetido final : public consola::Dispositivo {
  public:
    // `inicio` se teclea una vez (el Intro del título); `vuelta`, `vueltas` veces.
    DispositivoRepetido(std::string inicio, std::string vuelta, int vueltas, std::int64_t reloj)
        : vuelta_(std::move(vuelta)), vueltas_(vueltas), reloj_(reloj) {
        vuelta_actual_ = std::move(inicio);
    }
    consola::Lectura leer(int espera_ms) override {
        if (silencio_) {
            silencio_ = false;
            if (espera_ms >= 0) return {consola::Suceso::sin_datos, 0};
        }
        if (pos_ == vuelta_actual_.size()) {
            if (empezado_ && ++hechas_ == 1) rss_tras_una = rss_maximo_kb();
            if (hechas_ == vueltas_) return {consola::Suceso::fin, 0};
            empezado_ = true;
            vuelta_actual_ = vuelta_;
            pos_ = 0;
        }
        const unsigned char b = static_cast<unsigned char>(vuelta_actual_[pos_++]);
        silencio_ = b == 0x1b;
        return {consola::Suceso::byte, b};
    }
    void escribir(std::string_view) override {}
    consola::Tamano tamano() override { return {}; }
    consola::Capacidades capacidades() const override { return {}; }
    std::int64_t segundos() override { return reloj_; }
    std::int64_t milisegundos() override { return 0; }
    void dormir(int) override {}
    long rss_tras_una = 0;

  private:
    std::string vuelta_, vuelta_actual_;
    int vueltas_, hechas_ = 0;
    bool empezado_ = false;
    std::size_t pos_ = 0;
    std::int64_t reloj_;
    bool silencio_ = false;
};

} // namespace

int main() {
    const Medida titulo = total("", 1'800'000'000);
    const Medida menu = medir("", "\r");
    const Medida recuadro = medir("\r", "P");
    // Una letra tecleada en la pregunta del nombre: su eco es todo el cuadro.
    const Medida eco = medir("\r\r", "a");
    // Una jugada de la partida de dos jugadores: el cuadro del turno siguiente.
    const std::int64_t reloj = reloj_para(0);
    const Medida jugada = medir("\r\rana\rluis\r 3", "4", reloj);
    // El mismo tablero repintado entero: una consola nueva que lo dibuja desde cero.
    Medida repintado;
    {
        consola::DispositivoGuion d;
        Consola c(d);
        ConsolaActiva a(c);
        color_ventana(0xF0);
        textcolor(BLACK);
        textbackground(WHITE);
        Tablero t;
        tablero(t);
        t[5][3] = FICHA_0;
        t[5][4] = FICHA_X;
        mostrartab(t, 20);
        escribir("\n\n\n\tTurno de ana\n");
        escribir("\n\n   Introduce la columna en la que quieres colocar tu ficha (0-6): ");
        presentar();
        repintado = {d.bytes_escritos, d.escrituras};
    }

    std::printf("%-44s %10s %10s\n", "Cuadro", "bytes", "write(2)");
    std::printf("%-44s %10llu %10llu\n", "Pantalla de título (primer cuadro)",
                (unsigned long long)titulo.bytes, (unsigned long long)titulo.escrituras);
    std::printf("%-44s %10llu %10llu\n", "Menú principal (primer cuadro)",
                (unsigned long long)menu.bytes, (unsigned long long)menu.escrituras);
    std::printf("%-44s %10llu %10llu\n", "Mover el recuadro del menú una opción",
                (unsigned long long)recuadro.bytes, (unsigned long long)recuadro.escrituras);
    std::printf("%-44s %10llu %10llu\n", "Eco de una letra en el nombre",
                (unsigned long long)eco.bytes, (unsigned long long)eco.escrituras);
    std::printf("%-44s %10llu %10llu\n", "Cuadro tras una jugada (2 jugadores)",
                (unsigned long long)jugada.bytes, (unsigned long long)jugada.escrituras);
    std::printf("%-44s %10llu %10llu\n", "Repintado completo de ese tablero",
                (unsigned long long)repintado.bytes, (unsigned long long)repintado.escrituras);

    // 1000 partidas de dos jugadores abandonadas, volviendo cada vez al menú.
    constexpr int VUELTAS = 1000;
    DispositivoRepetido d("\r", "\rana\rluis\r \x1bs\r", VUELTAS, reloj);
    {
        Consola c(d);
        ConsolaActiva a(c);
        try {
            arranque();
            menu_ppal();
        } catch (const FinDeEntrada&) {
        }
    }
    const long tras_mil = rss_maximo_kb();
    std::printf("\nMemoria máxima (RSS) tras 1 partida abandonada:    %ld KB\n", d.rss_tras_una);
    std::printf("Memoria máxima (RSS) tras %d partidas abandonadas: %ld KB (+%ld KB)\n", VUELTAS,
                tras_mil, tras_mil - d.rss_tras_una);
    return 0;
}
