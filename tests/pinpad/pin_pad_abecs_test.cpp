// The pad's link layer and commands worked from the protocol document's examples, then whole
// reads over a serial port opened on the pad simulator's pseudo-terminal.
#include <QElapsedTimer>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "pinpad/abecs_comandos.h"
#include "pinpad/abecs_enlace.h"
#include "pinpad/pin_pad_abecs.h"
#include "simulador_pin_pad.h"

namespace ql {
namespace {

using abecs::LeitorPacote;
QByteArray hex(const char* texto) {
    return QByteArray::fromHex(texto);
}
LeitorPacote::Evento leTudo(LeitorPacote& leitor, const QByteArray& bytes) {
    LeitorPacote::Evento ultimo = LeitorPacote::Evento::Nenhum;
    for (char b : bytes) ultimo = leitor.byte(b);
    return ultimo;
}

TEST(AbecsEnlace, PacketsAsTheProtocolDocumentShowsThem) {
    const std::pair<QByteArray, QByteArray> casos[] = {
        {"OPN", hex("164F504E17A8A9")},
        {"DSP000", hex("16445350303030173963")},
        // The CRC's low byte is 13h and is sent as it is: only the body is replaced.
        {hex("44535030333220202020") + "OPERA" + hex("C7C34F") + "       FINALIZADA   ",
         hex("16445350303332202020204F50455241C7C34F2020202020202046494E414C495A41444120202017"
             "5213")},
        // Every byte that must be replaced; the CRC of the original bytes and ETB worked here.
        {hex("411316174218"), hex("1641133313361337421817") +
                                  hex(QByteArray::number(abecs::crc16(hex("41131617421817")), 16)
                                          .rightJustified(4, '0'))},
    };
    for (const auto& [dados, pacote] : casos) {
        SCOPED_TRACE(dados.toHex().toStdString());
        EXPECT_EQ(abecs::montaPacote(dados).toHex(' '), pacote.toHex(' '));
        LeitorPacote leitor;
        EXPECT_EQ(leTudo(leitor, pacote), LeitorPacote::Evento::Pacote);
        EXPECT_EQ(leitor.dados().toHex(), dados.toHex());
    }
}

TEST(AbecsEnlace, ReaderTellsNoiseBadCrcAndOversizedPackets) {
    using E = LeitorPacote::Evento;
    QByteArray crcErrado = abecs::montaPacote("OPN000");
    crcErrado[crcErrado.size() - 1] = char(crcErrado.back() ^ 1);
    const std::pair<QByteArray, E> casos[] = {
        {"xyz", E::Fora},
        {crcErrado, E::CrcErrado},
        {abecs::montaPacote(QByteArray(abecs::kMaxDados + 1, 'A')), E::Excedido},
        {abecs::montaPacote(QByteArray(abecs::kMaxDados, 'A')), E::Pacote},
        {"\x16"
         "AB" +
             abecs::montaPacote("OPN000"),
         E::Pacote},  // restarted by SYN
    };
    for (const auto& [bytes, evento] : casos) {
        SCOPED_TRACE(bytes.left(8).toHex().toStdString());
        LeitorPacote leitor;
        EXPECT_EQ(leTudo(leitor, bytes), evento);
        EXPECT_FALSE(leitor.dentroDePacote());
    }
}

TEST(AbecsComandos, AnswersOfTheDocumentAndTheCardNumber) {
    using namespace abecs;
    const auto gix =
        leResposta(hex("4749583030303034318001000C393931323734333636313535"
                       "8004000D48454D4953504845524553202080070004322E3132"));
    ASSERT_TRUE(gix);
    EXPECT_EQ(gix->status, kStOk);
    const InfoPinPad info = leInfo(*gix);
    EXPECT_EQ(info.serie + info.fabricante + info.versaoProtocolo,
              QStringLiteral("991274366155HEMISPHERES2.12"));
    const auto cex =
        leResposta(hex("434558303030303334804000023930804200183433313330333239"
                       "32393833303031313D31353038363031"));
    ASSERT_TRUE(cex);
    EXPECT_EQ(cex->campo(PpEvent), QByteArray(kEventoTarja));
    EXPECT_EQ(numeroDaTrilha2(QString::fromLatin1(cex->campo(PpTrk2Inc))),
              QStringLiteral("4313032929830011"));
    for (const char* ruim : {"CEX", "CEX0X0", "CEX000012AB"}) {
        const auto r = leResposta(QByteArray(ruim));
        EXPECT_TRUE(!r || r->campos.isEmpty()) << ruim;
    }
    const QString trilha2 = QStringLiteral("6062820000000001=3012101000");
    EXPECT_EQ(decodificaTrilha2(codificaTrilha2(trilha2)), trilha2);
    EXPECT_EQ(codificaTrilha2(QStringLiteral("9781234789432")).toHex(),
              QByteArray("9781234789432f"));
    EXPECT_EQ(numeroDaTrilha1(QStringLiteral("B3764 361234 56006^NOME^0905060640431")),
              QStringLiteral("376436123456006"));
    EXPECT_EQ(numeroDaTrilha1(QStringLiteral("sem separador")), QString());
    EXPECT_EQ(numeroDaTrilha2(QStringLiteral(";60628=1")), QStringLiteral("60628"));
}

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

TEST(PinPadAbecs, ReadsOverTheSimulatorWithEveryBehaviour) {
    using L = Roteiro::Leitura;
    enum { Mudo = 1, Ruido = 2, SoTrilha1 = 4 };  // nothing answered; noise; only track 1
    const qint32 kProt = PinPadAbecs::kErroProtocolo;
    const struct {
        L leitura;
        int naks, crcs, flags;  // packets NAKed, answers sent with a bad CRC
        qint32 retorno;
        const char *numero, *comandos;  // read; as the pad received them ("" = not checked)
    } casos[] = {
        {L::Passagem, 0, 0, 0, 16, "6062820000000001", "OPN GIX DEX CEX GTK CLO"},
        {L::Passagem, 0, 0, SoTrilha1, 16, "6062820000000002", "OPN DEX CEX GTK CLO"},
        {L::Cancela, 0, 0, 0, PinPad::kCancelado, "", "OPN DEX CEX CLO"},
        {L::ErroLeitura, 0, 0, 0, PinPad::kErroLeitura, "", "OPN DEX CEX CLO"},
        {L::Passagem, 1, 0, 0, 16, "6062820000000001", "OPN DEX CEX GTK CLO"},  // sent again
        {L::Passagem, 0, 1, 0, 16, "6062820000000001", ""},  // the answer sent again
        {L::Passagem, 3, 0, 0, kProt, "", ""},
        {L::Passagem, 0, 99, 0, kProt, "", ""},
        {L::Passagem, 0, 0, Ruido, kProt, "", ""},
        {L::Passagem, 0, 0, Mudo, PinPadAbecs::kSemResposta, "", ""},
    };
    SimuladorPinPad sim;
    ASSERT_TRUE(sim.inicia()) << sim.erro().toStdString();
    PinPadAbecs pad(sim.caminho(), PinPadAbecs::kBaudPadrao, tempoCurto());
    for (const auto& c : casos) {
        SCOPED_TRACE(testing::Message() << c.naks << c.crcs << c.flags << c.retorno);
        Roteiro r;
        r.atrasoMs = 50;
        r.leitura = c.leitura;
        r.naksIniciais = c.naks;
        r.crcsErrados = c.crcs;
        r.mudo = c.flags & Mudo;
        r.ruido = c.flags & Ruido;
        if (c.flags & SoTrilha1) {
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

// Every exchange ends by its deadline however the pad sends (a byte at a time inside a packet,
// or a flood past the largest packet), and a cancellation ends any wait, whether the pad
// answers CAN or not, within a second: the wait window closes within a second of Esc.
TEST(PinPadAbecs, ReadEndsByItsDeadlineOrWithinASecondOfTheCancel) {
    using L = Roteiro::Leitura;
    const struct {
        L leitura;
        int gotejamentoMs, cancelaMs;  // -1: the pad does not trickle; the cashier does not cancel
        qint32 retorno;
        int ateMs;        // from the start, or from the cancellation
        const char* fim;  // the last commands the pad received
    } casos[] = {
        {L::Nada, -1, 300, PinPad::kCancelado, 1000, "CEX CLO"},
        // The answer to OPN never ends: 1000 ms for the answer and 300 for the ACK.
        {L::Passagem, 20, -1, PinPadAbecs::kSemResposta, 2000, "OPN"},
        {L::Passagem, 0, 300, PinPadAbecs::kSemResposta, 1000, "OPN"},
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(testing::Message() << c.gotejamentoMs << " " << c.cancelaMs);
        SimuladorPinPad sim;
        ASSERT_TRUE(sim.inicia());
        PinPadAbecs pad(sim.caminho(), PinPadAbecs::kBaudPadrao, tempoCurto());
        Roteiro r;
        r.leitura = c.leitura;
        r.gotejamentoMs = c.gotejamentoMs;
        sim.defineRoteiro(r);
        QElapsedTimer relogio;
        relogio.start();
        std::atomic<bool> terminou{false};
        std::atomic<qint64> desde{0};
        std::thread caixa([&] {
            if (c.cancelaMs >= 0) {
                std::this_thread::sleep_for(std::chrono::milliseconds(c.cancelaMs));
                desde = relogio.elapsed();
                pad.cancela();
            }
            // A read still waiting long after its bound is let go (the pad stops trickling):
            // the test fails instead of hanging.
            for (int i = 0; i < 600 && !terminou; ++i)
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            sim.defineRoteiro(Roteiro{});
        });
        EXPECT_EQ(LeTrilha(pad).RetornoPinPad, c.retorno);
        terminou = true;
        caixa.join();
        EXPECT_LT(relogio.elapsed() - desde, c.ateMs);
        EXPECT_TRUE(sim.comandos().endsWith(QLatin1String(c.fim))) << sim.comandos().toStdString();

        // The pad that trickled or was cancelled reads the next card.
        Roteiro passa;
        passa.atrasoMs = 10;
        sim.defineRoteiro(passa);
        EXPECT_EQ(LeTrilha(pad).RetornoPinPad, 16);
    }
}

TEST(PinPadAbecs, DeviceThatIsNotThereOrASettingThatIsNot) {
    for (const char* dispositivo : {"/dev/nao-existe-pinpad", ""}) {
        PinPadAbecs pad(QString::fromLatin1(dispositivo), PinPadAbecs::kBaudPadrao);
        EXPECT_EQ(LeTrilha(pad).RetornoPinPad, PinPad::kSemComunicacao);
        EXPECT_TRUE(pad.motivo().contains(QLatin1String(*dispositivo ? dispositivo : "PINPAD")))
            << pad.motivo().toStdString();
    }
    EXPECT_EQ(MensagemRetornoPinPad(PinPad::kSemComunicacao),
              QStringLiteral("Erro no Acesso ao PinPad"));
}

}  // namespace
}  // namespace ql
