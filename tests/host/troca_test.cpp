#include <gtest/gtest.h>

#include "host/framing.h"
#include "host/scripted_link.h"
#include "host/troca.h"
#include "message/mensagem.h"
#include "support/test_context.h"

namespace ql {
namespace {

struct Troca : ::testing::Test {
    test::TestContext t;
    Context& ctx = t.ctx;
    test::ScriptedLink& link = test::installScriptedLink(ctx);

    Troca() {
        ctx.ident.NomeOperadora = QStringLiteral("ROUTEXY");
        ctx.ident.CodigoOperadora = QStringLiteral(" OPER0001 ");
    }
};

TEST_F(Troca, ProcessaMsgSendsTheFramedTextAndKeepsTheAnswerFrame) {
    AdicionaCampo(ctx, QStringLiteral("000-000"), QStringLiteral("0100"));
    AdicionaCampo(ctx, QStringLiteral("011-000"), QStringLiteral("800000"));
    link.answer(QStringLiteral("000-000=0110;009-000=00;"));
    link.renameRouteTo(QStringLiteral("ROUTE2"));
    ctx.qtdLinhasRecibo = 7;
    EXPECT_EQ(ProcessaMsg(ctx), 0);
    ASSERT_EQ(link.sent().size(), 1u);
    EXPECT_EQ(link.sent()[0].frame,
              framing::buildFrame(QStringLiteral("000-000=0100;011-000=800000;")));
    EXPECT_EQ(link.sent()[0].route + link.sent()[0].mode, "ROUTEXYCHK");
    EXPECT_EQ(ctx.ident.NomeOperadora, "ROUTE2");
    EXPECT_EQ(ctx.bufferMensagem, framing::buildFrame("000-000=0110;009-000=00;"));
    EXPECT_EQ(ctx.qtdLinhasRecibo, 0);
    EXPECT_TRUE(t.boxes.empty());
}

TEST_F(Troca, WithoutALinkTheModuleErrorIsReported) {
    ctx.hostLink.reset();
    AdicionaCampo(ctx, QStringLiteral("000-000"), QStringLiteral("0100"));
    EXPECT_EQ(ProcessaMsg(ctx), 0);
    EXPECT_EQ(ctx.bufferMensagem, "000-000=0100;");
    EXPECT_FALSE(ProcessaLogon(ctx));
    ASSERT_EQ(t.boxes.shown().size(), 2u);
    EXPECT_EQ(t.boxes.shown()[0].text,
              QStringLiteral("Ocorreu o erro: 158 - Impossivel acessar Módulo QL32_Cli.dll"));
    EXPECT_EQ(t.boxes.shown()[0].title, QStringLiteral("ATENÇÃOProcessaMsg"));
    EXPECT_EQ(t.boxes.shown()[1].title, QStringLiteral("ATENÇÃOProcessaLogon"));
}

TEST_F(Troca, ProcessaLogon) {
    const QString semCodigo = QStringLiteral("000-000=0810;");
    const struct {
        qint32 result;  // 1: the body is the whole frame handed back
        QString body;
        QString message;  // "" = accepted, silently
    } cases[] = {
        {0, "OK", ""},
        {0, "009-000=00;", ""},
        {1, QString(QChar(0)) + "untouched", ""},
        {0, "000-000=0810;009-000=00;", ""},
        {0, semCodigo, QStringLiteral("Erro no Login:  ") + framing::buildFrame(semCodigo)},
        {0, "000-000=0810;009-000=51;030-000=Terminal bloqueado;", "Terminal bloqueado"},
        {0, "000-000=0810;009-000=51;", "Erro :  51 - Contatar o suporte ."},
        {-164, "", QStringLiteral("164- Servidor fora do Ar.")},
        {-163, "", QStringLiteral("163- Não foi possível acessar a Internet")},
        {-7, "", QStringLiteral("     Erro de conexão = -007")},
        {-1234, "", QStringLiteral("     Erro de conexão = -1234")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.body.toStdString() + " " + std::to_string(c.result));
        t.boxes.clear();
        if (c.result < 0) {
            link.fail(c.result);
        } else {
            c.result ? link.answerRawFrame(c.body) : link.answer(c.body);
        }
        EXPECT_EQ(ProcessaLogon(ctx), c.message.isEmpty());
        EXPECT_EQ(link.sent().back().frame.left(10), "0006LOGIN|");
        EXPECT_EQ(t.boxes.texts(), c.message.isEmpty() ? QStringList() : QStringList{c.message});
    }
    // Every refusal of an exchange is shown the same way.
    EXPECT_EQ(t.boxes.last().title, QStringLiteral("Atenção"));
    EXPECT_EQ(t.boxes.last().icon, MessageBoxes::Icon::Critical);
}

TEST_F(Troca, ValidaResposta) {
    const struct {
        const char* body;
        bool show;
        bool acceptable;
        const char* message;  // "" = none
    } cases[] = {
        {"000-000=0110;009-000=00;", true, true, ""},
        {"000-000=0110;009-000=39;", true, true, ""},
        {"000-000=0110;009-000=40;", true, false, ""},
        {"000-000=0110;009-000=51;030-000=Cartao bloqueado;", true, false, "Cartao bloqueado"},
        {"000-000=0110;009-000=51;030-000=Cartao bloqueado;", false, false, ""},
        {"000-000=0110;009-000=00;030-000=   ;", true, true, ""},
        {"000-000=0110;009-000=200;", false, false, "Erro :  200 - Contatar o suporte OPER0001 ."},
        {"000-000=0110;009-000=199;", true, false, ""},
        {"000-000=0202;009-000=51;", true, true, ""},
        {"000-000=0202;", true, true, ""},
        {"000-000=0110;", true, false, ""},
        {"", true, false, "Mensagem sem Retorno - Contatar o suporte OPER0001 ."},
        {"E12 ", true, false, "Erro:  E12 - Contatar o suporte OPER0001 ."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.body);
        t.boxes.clear();
        ctx.bufferMensagem = framing::buildFrame(QString::fromUtf8(c.body));
        EXPECT_EQ(ValidaResposta(ctx, c.show), c.acceptable);
        EXPECT_EQ(t.boxes.texts().join(""), QString::fromUtf8(c.message));
    }
}

}  // namespace
}  // namespace ql
