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
    struct Caso {
        const char* nome;
        Roteiro roteiro;
        qint32 retorno;
        QString numero;    // in the buffer when the read succeeds
        QString comandos;  // as the pad received them ("" = not checked)
    };
    const auto roteiro = [](auto ajusta) {
        Roteiro r;
        r.atrasoMs = 50;
        ajusta(r);
        return r;
    };
    const Caso casos[] = {
        {"swipe", roteiro([](Roteiro&) {}), 16, QStringLiteral("6062820000000001"),
         QStringLiteral("OPN GIX DEX CEX GTK CLO")},
        {"track 1 only", roteiro([](Roteiro& r) {
             r.trilha2.clear();
             r.trilha1 = QStringLiteral("B6062820000000002^SILVA/ANA^3012101");
         }),
         16, QStringLiteral("6062820000000002"), QStringLiteral("OPN DEX CEX GTK CLO")},
        {"cancel key",
         roteiro([](Roteiro& r) { r.leitura = Roteiro::Leitura::Cancela; }),
         PinPad::kCancelado,
         {},
         QStringLiteral("OPN DEX CEX CLO")},
        {"read error",
         roteiro([](Roteiro& r) { r.leitura = Roteiro::Leitura::ErroLeitura; }),
         PinPad::kErroLeitura,
         {},
         QStringLiteral("OPN DEX CEX CLO")},
        {"first packet refused, sent again", roteiro([](Roteiro& r) { r.naksIniciais = 1; }), 16,
         QStringLiteral("6062820000000001"), QStringLiteral("OPN DEX CEX GTK CLO")},
        {"one bad CRC, answer sent again",
         roteiro([](Roteiro& r) { r.crcsErrados = 1; }),
         16,
         QStringLiteral("6062820000000001"),
         {}},
        {"three NAKs",
         roteiro([](Roteiro& r) { r.naksIniciais = 3; }),
         PinPadAbecs::kErroProtocolo,
         {},
         {}},
        {"bad CRC every time",
         roteiro([](Roteiro& r) { r.crcsErrados = 99; }),
         PinPadAbecs::kErroProtocolo,
         {},
         {}},
        {"garbage",
         roteiro([](Roteiro& r) { r.ruido = true; }),
         PinPadAbecs::kErroProtocolo,
         {},
         {}},
        {"silent", roteiro([](Roteiro& r) { r.mudo = true; }), PinPadAbecs::kSemResposta, {}, {}},
    };
    SimuladorPinPad sim;
    ASSERT_TRUE(sim.inicia()) << sim.erro().toStdString();
    PinPadAbecs pad(sim.caminho(), PinPadAbecs::kBaudPadrao, tempoCurto());
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nome);
        sim.defineRoteiro(c.roteiro);
        const QString antes = sim.comandos();
        QElapsedTimer relogio;
        relogio.start();
        const LeituraPinPad l = LeTrilha(pad);
        EXPECT_EQ(l.RetornoPinPad, c.retorno) << pad.motivo().toStdString();
        EXPECT_EQ(l.TrilhaCartao.trimmed(), c.numero);
        EXPECT_EQ(l.TrilhaCartao.size(), PinPad::kTamanhoTrilha);
        if (!c.comandos.isEmpty()) {
            EXPECT_EQ(sim.comandos().mid(antes.size()).trimmed(), c.comandos);
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
