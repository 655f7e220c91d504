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
        {37, R::TrilhaLida, {}},
        {-4, R::Cancelado, {}},
        {-1, R::SemAcesso, erroAcesso},
        {-3, R::SemAcesso, erroAcesso},
        {-5, R::SemAcesso, erroAcesso},
        {-19, R::SemAcesso, erroAcesso},
        {-20, R::ErroLeitura, erroLeitura},
        {-21, R::ErroLeitura, erroLeitura},
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
        {"read error", QStringLiteral("RETORNO=-20"), -20, {}},
        {"bad code is a read error", QStringLiteral("RETORNO=x"), -20, {}},
        {"empty swipe", QStringLiteral("\n"), -20, {}},
        {"Windows-1252", QStringLiteral("CARTÃO 1"), 8, QStringLiteral("CARTÃO 1")},
    };
    for (const Caso& c : casos) {
        PinPadArquivo pad(t.writeFile(QStringLiteral("trilha.txt"), c.conteudo));
        const LeituraPinPad l = LeTrilha(pad);
        EXPECT_EQ(l.RetornoPinPad, c.retorno) << c.nome;
        EXPECT_EQ(l.TrilhaCartao.size(), PinPad::kTamanhoTrilha) << c.nome;
        EXPECT_EQ(l.TrilhaCartao.trimmed(), c.trilha) << c.nome;
    }
}

TEST(PinPadArquivo, MissingFileAndOverlongTrack) {
    test::TestContext t;
    PinPadArquivo ausente(t.path(QStringLiteral("nao_existe.txt")));
    EXPECT_EQ(LeTrilha(ausente).RetornoPinPad, PinPad::kSemComunicacao);
    EXPECT_EQ(ClassificaRetornoPinPad(PinPad::kSemComunicacao), ResultadoPinPad::SemAcesso);

    PinPadArquivo longo(t.writeFile(QStringLiteral("longo.txt"), QString(500, u'7')));
    const LeituraPinPad l = LeTrilha(longo);
    EXPECT_EQ(l.RetornoPinPad, PinPad::kTamanhoTrilha);
    EXPECT_EQ(l.TrilhaCartao, QString(PinPad::kTamanhoTrilha, u'7'));
}

TEST(ConfiguracaoPinPad, KindsOfTheSetting) {
    using T = ConfiguracaoPinPad::Tipo;
    struct Caso {
        QString valor;
        T tipo;
        QString caminho;
        qint32 baud = 0;
    };
    const Caso casos[] = {
        {QString(), T::Dialogo, {}},
        {QStringLiteral("abecs:/dev/ttyACM0"), T::Abecs, QStringLiteral("/dev/ttyACM0"), 19200},
        {QStringLiteral("ABECS: /dev/ttyUSB1 @ 115200"), T::Abecs, QStringLiteral("/dev/ttyUSB1"),
         115200},
        // Malformed: kept as a serial pad without a device, which reports why it cannot read.
        {QStringLiteral("abecs:"), T::Abecs, {}},
        {QStringLiteral("abecs:/dev/ttyACM0@fast"), T::Abecs, {}},
        {QStringLiteral("abecs:/dev/ttyACM0@-5"), T::Abecs, {}},
        {QStringLiteral(" DIALOGO "), T::Dialogo, {}},
        {QStringLiteral("arquivo:/var/pad/Trilha.txt"), T::Arquivo,
         QStringLiteral("/var/pad/Trilha.txt")},
        {QStringLiteral("ARQUIVO: pad\\Trilha.txt"), T::Arquivo,
         QStringLiteral("/core/pad/Trilha.txt")},
        {QStringLiteral("arquivo:"), T::Nenhum, {}},
        {QStringLiteral("nenhum"), T::Nenhum, {}},
        {QStringLiteral("dialgo"), T::Nenhum, {}},
    };
    for (const Caso& c : casos) {
        const ConfiguracaoPinPad r = InterpretaConfiguracaoPinPad(c.valor, QStringLiteral("/core"));
        EXPECT_EQ(r.tipo, c.tipo) << c.valor.toStdString();
        EXPECT_EQ(r.caminho, c.caminho) << c.valor.toStdString();
        EXPECT_EQ(r.baud, c.caminho.isEmpty() ? 0 : c.baud) << c.valor.toStdString();
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

    test::TestContext semPad;
    semPad.writeFile(QStringLiteral("CORE.ini"), QStringLiteral("[CONFIG]\nPINPAD=nenhum\n"));
    EXPECT_EQ(ObtemPinPad(semPad.ctx), nullptr);
    EXPECT_EQ(LeConfiguracaoPinPad(semPad.ctx).tipo, ConfiguracaoPinPad::Tipo::Nenhum);
}

}  // namespace
}  // namespace ql
