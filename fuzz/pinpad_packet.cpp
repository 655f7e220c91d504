// Feeds arbitrary bytes to the PIN pad's packet reader, as they would arrive on the serial
// port, and every packet it completes to the answer reader and the track decoders.
#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>

#include "pinpad/abecs_comandos.h"
#include "pinpad/abecs_enlace.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ql::abecs::LeitorPacote leitor;
    for (size_t i = 0; i < size; ++i) {
        if (leitor.byte(static_cast<char>(data[i])) != ql::abecs::LeitorPacote::Evento::Pacote) {
            continue;
        }
        const auto resposta = ql::abecs::leResposta(leitor.dados());
        if (!resposta) continue;
        (void)ql::abecs::leInfo(*resposta);
        const QString t2 = ql::abecs::decodificaTrilha2(resposta->campo(ql::abecs::PpTrack2));
        (void)ql::abecs::numeroDaTrilha2(t2);
        (void)ql::abecs::numeroDaTrilha1(QString::fromLatin1(resposta->campo(ql::abecs::PpTrack1)));
    }
    return 0;
}
