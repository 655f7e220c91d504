#include <QElapsedTimer>

#include <gtest/gtest.h>

#include <thread>

#include "pinpad/pin_pad_abecs.h"
#include "simulador_pin_pad.h"

namespace ql {
namespace {

using pinpadsim::Roteiro;
using pinpadsim::SimuladorPinPad;

// The protocol's waits shortened, so that a pad that fails gives up quickly.
abecs::Tempos tempoCurto() {
    abecs::Tempos t;
    t.ack = 300;
    t.byte = 300;
    t.resposta = 1000;
    t.silencio = 50;
    t.margemBloqueante = 1000;
    return t;
}

// Every read goes through a real serial port opened on the simulator's pseudo-terminal.
TEST(PinPadAbecs, ReadsOverTheSimulatorWithEveryBehaviour) {
    using L = Roteiro::Leitura;
    struct Caso {
        const char* nome;
        L leitura;
        int naks, crcs;    // packets NAKed, answers sent with a bad CRC
        bool mudo, ruido;  // nothing answered; noise answered
        bool soTrilha1;    // the card carries only track 1
        qint32 retorno;
        const char* numero;    // in the buffer when the read succeeds
        const char* comandos;  // as the pad received them ("" = not checked)
    };
    const Caso casos[] = {
        {"swipe", L::Passagem, 0, 0, false, false, false, 16, "6062820000000001",
         "OPN GIX DEX CEX GTK CLO"},
        {"track 1 only", L::Passagem, 0, 0, false, false, true, 16, "6062820000000002",
         "OPN DEX CEX GTK CLO"},
        {"cancel key", L::Cancela, 0, 0, false, false, false, PinPad::kCancelado, "",
         "OPN DEX CEX CLO"},
        {"read error", L::ErroLeitura, 0, 0, false, false, false, PinPad::kErroLeitura, "",
         "OPN DEX CEX CLO"},
        {"first packet refused, sent again", L::Passagem, 1, 0, false, false, false, 16,
         "6062820000000001", "OPN DEX CEX GTK CLO"},
        {"one bad CRC, answer sent again", L::Passagem, 0, 1, false, false, false, 16,
         "6062820000000001", ""},
        {"three NAKs", L::Passagem, 3, 0, false, false, false, PinPadAbecs::kErroProtocolo, "", ""},
        {"bad CRC every time", L::Passagem, 0, 99, false, false, false, PinPadAbecs::kErroProtocolo,
         "", ""},
        {"garbage", L::Passagem, 0, 0, false, true, false, PinPadAbecs::kErroProtocolo, "", ""},
        {"silent", L::Passagem, 0, 0, true, false, false, PinPadAbecs::kSemResposta, "", ""},
    };
    SimuladorPinPad sim;
    ASSERT_TRUE(sim.inicia()) << sim.erro().toStdString();
    PinPadAbecs pad(sim.caminho(), PinPadAbecs::kBaudPadrao, tempoCurto());
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nome);
        Roteiro r;
        r.atrasoMs = 50;
        r.leitura = c.leitura;
        r.naksIniciais = c.naks;
        r.crcsErrados = c.crcs;
        r.mudo = c.mudo;
        r.ruido = c.ruido;
        if (c.soTrilha1) {
            r.trilha2.clear();
            r.trilha1 = QStringLiteral("B6062820000000002^SILVA/ANA^3012101");
        }
        sim.defineRoteiro(r);
        const QString antes = sim.comandos();
        QElapsedTimer relogio;
        relogio.start();
        const LeituraPinPad l = LeTrilha(pad);
        EXPECT_EQ(l.RetornoPinPad, c.retorno) << pad.motivo().toStdString();
        EXPECT_EQ(l.TrilhaCartao.trimmed(), QLatin1String(c.numero));
        EXPECT_EQ(l.TrilhaCartao.size(), PinPad::kTamanhoTrilha);
        if (*c.comandos) {
            EXPECT_EQ(sim.comandos().mid(antes.size()).trimmed(), QLatin1String(c.comandos));
        }
        // A failing pad gives up within its waits: three CANs of 300 ms at worst.
        EXPECT_LT(relogio.elapsed(), 3000);
        EXPECT_EQ(pad.motivo().isEmpty(), c.retorno >= 0 || c.retorno == PinPad::kCancelado);
    }
    ASSERT_TRUE(pad.info());
    EXPECT_EQ(pad.info()->descricao(),
              QStringLiteral("QUILLANE QPAD-SIM;1MB, série SIM00042, protocolo 2.12"));
}

TEST(PinPadAbecs, CancelFromTheCashierSendsCanAndTheNextReadWorks) {
    SimuladorPinPad sim;
    ASSERT_TRUE(sim.inicia());
    PinPadAbecs pad(sim.caminho(), PinPadAbecs::kBaudPadrao, tempoCurto());
    Roteiro nada;
    nada.leitura = Roteiro::Leitura::Nada;
    sim.defineRoteiro(nada);
    std::thread cashier([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        pad.cancela();
    });
    const LeituraPinPad l = LeTrilha(pad);
    cashier.join();
    EXPECT_EQ(l.RetornoPinPad, PinPad::kCancelado);
    EXPECT_TRUE(sim.comandos().endsWith(QStringLiteral("CEX CLO")));

    Roteiro passa;
    passa.atrasoMs = 10;
    sim.defineRoteiro(passa);
    EXPECT_EQ(LeTrilha(pad).RetornoPinPad, 16);
}

TEST(PinPadAbecs, DeviceThatIsNotThereOrASettingThatIsNot) {
    struct Caso {
        QString dispositivo;
        const char* motivo;
    };
    const Caso casos[] = {{QStringLiteral("/dev/nao-existe-pinpad"), "/dev/nao-existe-pinpad"},
                          {QString(), "PINPAD"}};
    for (const Caso& c : casos) {
        PinPadAbecs pad(c.dispositivo, PinPadAbecs::kBaudPadrao);
        EXPECT_EQ(LeTrilha(pad).RetornoPinPad, PinPad::kSemComunicacao);
        EXPECT_TRUE(pad.motivo().contains(QLatin1String(c.motivo))) << pad.motivo().toStdString();
        EXPECT_EQ(MensagemRetornoPinPad(PinPad::kSemComunicacao),
                  QStringLiteral("Erro no Acesso ao PinPad"));
    }
}

}  // namespace
}  // namespace ql
