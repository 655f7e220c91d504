#include <QDir>

#include <gtest/gtest.h>

#include "sale/pin_pad.h"
#include "support/test_context.h"

namespace ql {
namespace {

TEST(RetornoPinPad, ClassAndMessageOfEveryResultCode) {
    using R = ResultadoPinPad;
    struct Caso {
        qint32 retorno;
        R classe;
        QString mensagem;
    };
    const QString erroLeitura = QStringLiteral("Erro na Leitura do Cartão");
    const QString erroAcesso = QStringLiteral("Erro no Acesso ao PinPad");
    const Caso casos[] = {
        {0, R::TrilhaLida, {}},
        {-4, R::Cancelado, {}},
        {-1, R::SemAcesso, erroAcesso},
        {-3, R::SemAcesso, erroAcesso},
        {-5, R::SemAcesso, erroAcesso},
        {-19, R::SemAcesso, erroAcesso},
        {-20, R::ErroLeitura, erroLeitura},
        {-2147483647 - 1, R::ErroLeitura, erroLeitura},
    };
    for (const Caso& c : casos) {
        EXPECT_EQ(ClassificaRetornoPinPad(c.retorno), c.classe) << c.retorno;
        EXPECT_EQ(MensagemRetornoPinPad(c.retorno), c.mensagem) << c.retorno;
    }
}

TEST(PinPadArquivo, ReadsTheTrackOrTheScriptedResult) {
    test::TestContext t;
    struct Caso {
        const char* nome;
        QString conteudo;
        qint32 retorno;
        QString trilha;  // the buffer, trimmed
    };
    const Caso casos[] = {
        {"track", QStringLiteral("6062820000000001\n"), 16, QStringLiteral("6062820000000001")},
        {"first line only", QStringLiteral(" ;6062820000000004=2912? \r\nsecond\n"), 23,
         QStringLiteral(";6062820000000004=2912?")},
        {"cancel", QStringLiteral("RETORNO=-4\n6062820000000001"), -4, {}},
        {"lower-case key", QStringLiteral("retorno= -19"), -19, {}},
        {"bad code is a read error", QStringLiteral("RETORNO=x"), -20, {}},
        {"empty swipe", QStringLiteral("\n"), -20, {}},
        {"Windows-1252", QStringLiteral("CARTÃO 1"), 8, QStringLiteral("CARTÃO 1")},
        {"overlong track cut", QString(500, u'7'), PinPad::kTamanhoTrilha,
         QString(PinPad::kTamanhoTrilha, u'7')},
        {"no file", QString(), PinPad::kSemComunicacao, {}},
    };
    for (const Caso& c : casos) {
        PinPadArquivo pad(c.conteudo.isNull() ? t.path("nada.txt")
                                              : t.writeFile("trilha.txt", c.conteudo));
        const LeituraPinPad l = LeTrilha(pad);
        EXPECT_EQ(l.RetornoPinPad, c.retorno) << c.nome;
        EXPECT_EQ(l.TrilhaCartao.size(), PinPad::kTamanhoTrilha) << c.nome;
        EXPECT_EQ(l.TrilhaCartao.trimmed(), c.trilha) << c.nome;
    }
}

TEST(ConfiguracaoPinPad, KindsOfTheSetting) {
    using T = ConfiguracaoPinPad::Tipo;
    const struct {
        const char* valor;
        T tipo;
        const char* caminho;
        qint32 baud;
    } casos[] = {
        {"", T::Dialogo, "", 0},
        {"abecs:/dev/ttyACM0", T::Abecs, "/dev/ttyACM0", 19200},
        {"ABECS: /dev/ttyUSB1 @ 115200", T::Abecs, "/dev/ttyUSB1", 115200},
        // Malformed: kept as a serial pad without a device, which reports why it cannot read.
        {"abecs:", T::Abecs, "", 0},
        {"abecs:/dev/ttyACM0@fast", T::Abecs, "", 0},
        {" DIALOGO ", T::Dialogo, "", 0},
        {"arquivo:/var/pad/Trilha.txt", T::Arquivo, "/var/pad/Trilha.txt", 0},
        {"ARQUIVO: pad\\Trilha.txt", T::Arquivo, "/core/pad/Trilha.txt", 0},
        {"arquivo:", T::Nenhum, "", 0},
        {"nenhum", T::Nenhum, "", 0},
        {"dialgo", T::Nenhum, "", 0},
    };
    for (const auto& c : casos) {
        const ConfiguracaoPinPad r = InterpretaConfiguracaoPinPad(c.valor, QStringLiteral("/core"));
        EXPECT_EQ(r.tipo, c.tipo) << c.valor;
        EXPECT_EQ(r.caminho, c.caminho) << c.valor;
        EXPECT_EQ(r.baud, c.baud) << c.valor;
    }
}

TEST(ObtemPinPad, FromTheSettingsOnceAndKept) {
    test::TestContext t;
    EXPECT_EQ(ObtemPinPad(t.ctx), nullptr);  // no CORE.ini: the dialog, which the screens supply

    t.writeFile(QStringLiteral("CORE.ini"),
                QStringLiteral("[CONFIG]\nPINPAD=arquivo:trilha.txt\n"));
    t.writeFile(QStringLiteral("trilha.txt"), QStringLiteral("6062820000000006"));
    PinPad* pad = ObtemPinPad(t.ctx);
    ASSERT_NE(pad, nullptr);
    EXPECT_EQ(ObtemPinPad(t.ctx), pad);
    const LeituraPinPad l = LeTrilha(*pad);
    EXPECT_EQ(l.RetornoPinPad, 16);
    EXPECT_EQ(l.TrilhaCartao.trimmed(), QStringLiteral("6062820000000006"));
}

}  // namespace
}  // namespace ql
