// Apoyo de las pruebas: ver apoyo.h.
#include "apoyo.h"

#include "consola/texto.h"
#include "lib_funciones.h"

std::string Escenario::todo() const {
    std::string texto;
    for (int y = 0; y < consola::ALTO; ++y) texto += consola.pantalla().fila(y) + "\n";
    return texto;
}

bool Escenario::contiene(std::string_view texto) const {
    return todo().find(texto) != std::string::npos;
}

int Escenario::columna_de(std::string_view texto, int fila_) const {
    const std::string linea = consola.pantalla().fila(fila_ - 1);
    const std::size_t pos = linea.find(texto);
    if (pos == std::string::npos) return 0;
    // La posición en bytes no es la columna si antes hay caracteres de varios bytes.
    int columna = 1;
    for (std::size_t i = 0; i < pos; i += consola::decodificar(linea, i).bytes) ++columna;
    return columna;
}

std::int64_t reloj_para_sorteo(int quien) {
    for (std::int64_t s = 1'800'000'000;; ++s) {
        std::srand(static_cast<unsigned>(s));
        if (std::rand() % 2 == quien) return s;
    }
}

Escenario& Escenario::teclear(std::string_view bytes) {
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        dispositivo.teclear(bytes.substr(i, 1));
        const bool secuencia = i + 1 < bytes.size() && (bytes[i + 1] == '[' || bytes[i + 1] == 'O');
        if (bytes[i] == '\x1b' && !secuencia) dispositivo.silencio();
    }
    return *this;
}

std::unique_ptr<Escenario> partida_dos(int quien, std::string_view teclas,
                                       std::string_view nombres) {
    auto e = std::make_unique<Escenario>();
    e->dispositivo.reloj_base = reloj_para_sorteo(quien);
    e->teclear(nombres).teclear(" ").teclear(teclas);
    e->ejecutar(jug2);
    return e;
}
