// El dispositivo con guion de las pruebas y las medidas (ver guion.h): solo toca su guion, su
// reloj falso y lo que guarda de la salida; sin E/S real ni esperas.
#include "consola/guion.h"

namespace consola {

DispositivoGuion::DispositivoGuion(Tamano tamano, Capacidades capacidades)
    : tamano_(tamano), capacidades_(capacidades) {}

DispositivoGuion& DispositivoGuion::teclear(std::string_view bytes) {
    for (const char c : bytes)
        guion_.push_back({Paso::Tipo::byte, static_cast<unsigned char>(c), {}});
    return *this;
}

DispositivoGuion& DispositivoGuion::silencio() {
    guion_.push_back({Paso::Tipo::silencio, 0, {}});
    return *this;
}

DispositivoGuion& DispositivoGuion::cambiar_tamano(Tamano nuevo) {
    guion_.push_back({Paso::Tipo::tamano, 0, nuevo});
    return *this;
}

Lectura DispositivoGuion::leer(int espera_ms) {
    // Sin espera no pasa el tiempo: ni se consume un silencio ni se acaba la entrada.
    if (espera_ms == 0 && (guion_.empty() || guion_.front().tipo == Paso::Tipo::silencio))
        return {Suceso::sin_datos, 0};
    while (!guion_.empty()) {
        const Paso paso = guion_.front();
        guion_.pop_front();
        switch (paso.tipo) {
        case Paso::Tipo::byte:
            return {Suceso::byte, paso.byte};
        case Paso::Tipo::silencio:
            // Una lectura sin límite no se entera de un silencio: simplemente pasa el tiempo.
            if (espera_ms >= 0) {
                reloj_ms += espera_ms;
                return {Suceso::sin_datos, 0};
            }
            break;
        case Paso::Tipo::tamano:
            tamano_ = paso.tamano;
            return {Suceso::cambio_tamano, 0};
        }
    }
    return {Suceso::fin, 0};
}

void DispositivoGuion::escribir(std::string_view bytes) {
    ++escrituras;
    bytes_escritos += bytes.size();
    ultima_escritura = bytes;
    if (guardar_salida) salida += bytes;
}

void DispositivoGuion::dormir(int ms) {
    if (ms > 0) reloj_ms += ms;
}

} // namespace consola
