#include <gtest/gtest.h>

#include "pinpad/abecs_comandos.h"
#include "pinpad/abecs_enlace.h"

namespace ql::abecs {
namespace {

QByteArray hex(const char* texto) {
    return QByteArray::fromHex(texto);
}

// Packets worked from the protocol document's own examples, and one whose body holds every
// byte that must be replaced.
TEST(AbecsEnlace, PacketsAsTheProtocolDocumentShowsThem) {
    struct Caso {
        const char* nome;
        QByteArray dados;
        QByteArray pacote;
    };
    const Caso casos[] = {
        {"open", "OPN", hex("164F504E17A8A9")},
        {"display answer", "DSP000",
         hex("1644535030303017"
             "3963")},
        // The CRC's low byte is 13h and is sent as it is: only the body is replaced.
        {"display", hex("44535030333220202020") + "OPERA" + hex("C7C34F") + "       FINALIZADA   ",
         hex("16445350303332202020204F50455241C7C34F2020202020202046494E414C495A41444120202017"
             "5213")},
        {"special bytes", hex("411316174218"), hex("1641133313361337421817")},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nome);
        QByteArray esperado = c.pacote;
        if (esperado.endsWith('\x17')) {
            // Worked here: CRC of the original bytes and ETB.
            const std::uint16_t crc = crc16(c.dados + QByteArray(1, kETB));
            esperado.append(char(crc >> 8)).append(char(crc & 0xFF));
        }
        EXPECT_EQ(montaPacote(c.dados).toHex(' '), esperado.toHex(' '));
        LeitorPacote leitor;
        LeitorPacote::Evento ultimo = LeitorPacote::Evento::Nenhum;
        for (char b : esperado) ultimo = leitor.byte(b);
        EXPECT_EQ(ultimo, LeitorPacote::Evento::Pacote);
        EXPECT_EQ(leitor.dados().toHex(), c.dados.toHex());
    }
    EXPECT_EQ(crc16("OPN\x17"), 0xA8A9);
}

TEST(AbecsEnlace, ReaderTellsNoiseBadCrcAndOversizedPackets) {
    struct Caso {
        const char* nome;
        QByteArray bytes;
        LeitorPacote::Evento ultimo;
    };
    QByteArray grande = montaPacote(QByteArray(kMaxDados + 1, 'A'));
    QByteArray crcErrado = montaPacote("OPN000");
    crcErrado[crcErrado.size() - 1] = char(crcErrado.back() ^ 1);
    const Caso casos[] = {
        {"noise", "xyz", LeitorPacote::Evento::Fora},
        {"bad CRC", crcErrado, LeitorPacote::Evento::CrcErrado},
        {"oversized", grande, LeitorPacote::Evento::Excedido},
        {"largest", montaPacote(QByteArray(kMaxDados, 'A')), LeitorPacote::Evento::Pacote},
        {"restarted by SYN",
         "\x16"
         "AB" +
             montaPacote("OPN000"),
         LeitorPacote::Evento::Pacote},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nome);
        LeitorPacote leitor;
        LeitorPacote::Evento ultimo = LeitorPacote::Evento::Nenhum;
        for (char b : c.bytes) ultimo = leitor.byte(b);
        EXPECT_EQ(ultimo, c.ultimo);
        EXPECT_FALSE(leitor.dentroDePacote());
    }
}

// Answers from the protocol document's examples.
TEST(AbecsComandos, AnswersOfTheDocumentAndTheCardNumber) {
    const auto gix =
        leResposta(hex("474958303030303431"
                       "8001000C393931323734333636313535"
                       "8004000D48454D49535048455245532020"
                       "80070004322E3132"));
    ASSERT_TRUE(gix);
    EXPECT_EQ(gix->status, kStOk);
    const InfoPinPad info = leInfo(*gix);
    EXPECT_EQ(info.serie, QStringLiteral("991274366155"));
    EXPECT_EQ(info.fabricante, QStringLiteral("HEMISPHERES"));
    EXPECT_EQ(info.versaoProtocolo, QStringLiteral("2.12"));

    const auto cex =
        leResposta(hex("434558303030303334804000023930"
                       "8042001834333133303332393239383330303131"
                       "3D31353038363031"));
    ASSERT_TRUE(cex);
    EXPECT_EQ(cex->campo(PpEvent), QByteArray(kEventoTarja));
    EXPECT_EQ(numeroDaTrilha2(QString::fromLatin1(cex->campo(PpTrk2Inc))),
              QStringLiteral("4313032929830011"));

    for (const char* ruim : {"CEX", "CEX0X0", "CEX000012AB"}) {
        SCOPED_TRACE(ruim);
        const auto r = leResposta(QByteArray(ruim));
        EXPECT_TRUE(!r || r->campos.isEmpty());
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

}  // namespace
}  // namespace ql::abecs
