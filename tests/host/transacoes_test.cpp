#include <gtest/gtest.h>

#include "host/framing.h"
#include "host/transacoes.h"
#include "host/troca.h"
#include "message/mensagem.h"
#include "shell/ini_access.h"
#include "shell/profile_file.h"
#include "support/scripted_link.h"
#include "support/test_context.h"

namespace ql {
namespace {

// An ISO approval: message type, bitmap with element 39 only, response code "00".
const QString kAprovacaoIso = QStringLiteral("0110000000000200000000");
const QString kCartao = QStringLiteral("6012345678901234");
// The common fields at the test clock (05/12/2026 10:00:00) after type, code, sequence, route
// and NSU.
const QString kComuns =
    QStringLiteral("940-000=003;942-000=123456;941-000=R4T7N2AK;023-000=100000;022-000=1205;");

// ISO text written with '|' between its parts.
QString iso(const QString& partes) {
    return QString(partes).remove(QLatin1Char('|'));
}

struct Transacoes : ::testing::Test, test::ComLinkRoteirizado {
    Transacoes() { ctx.ident.NumeroCartao = kCartao; }
    QString lastBody() const { return link.bodies().back(); }
    static QString inicio(const char* tipo, const char* codigo) {
        return QStringLiteral("000-000=%1;011-000=%2;001-000=1111;040-000=ROUTEXY;")
            .arg(tipo, codigo);
    }
};

TEST_F(Transacoes, ElegibilidadeInBothForms) {
    const char* cases[][7] = {
        // screen, pre-sale code set, sequence, field 1, field 2, code sent, after the card
        {"PREVENDA", "", "0", "", "", "800000", ""},
        {"PREVENDA", "812000", "0", "", "", "812000", ""},
        {"PREVENDA", "", "2", "", "", "800000", ""},
        {" VENDA ", "812000", "0", "", "", "800500", ""},
        {"VENDA", "", "2", "", "", "800500", "900-000=2;"},
        {"PREVENDA", "", "0", "ABCDEFGHIJK", "", "800000", "949-000=11ABCDEFGHIJK;"},
        {"PREVENDA", "", "0", "", " XY", "800000", "949-000=0002XY;"},
        {"PREVENDA", "", "0", " abc ", "12", "800000", "949-000=03abc0212;"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c[0]) + c[1] + c[2] + c[3] + c[4]);
        ctx.TelaAtual = QString::fromLatin1(c[0]);
        ctx.config.Cod_Processamento_Pre_Venda = QString::fromLatin1(c[1]);
        ctx.ident.ValorCampo1 = QString::fromLatin1(c[3]);
        ctx.ident.ValorCampo2 = QString::fromLatin1(c[4]);
        link.answer(QStringLiteral("000-000=0110;009-000=00;012-000=000000123456;"));
        EXPECT_TRUE(Mensagem_ElegPortador(ctx, qint16(atoi(c[2]))));
        EXPECT_EQ(lastBody(), inicio("0100", c[5]) + kComuns + "953-000=" + kCartao + ";" + c[6]);
        EXPECT_EQ(ctx.transacao.NsuTransacao, "000000123456");
    }
    EXPECT_TRUE(t.boxes.empty());

    // Elements 3, 11, 12, 13, 32, 40, 41, 42, 55 and 60 (900 "2" and 901 "00").
    ctx.config.bMsgIso = true;
    ctx.TelaAtual = QStringLiteral("VENDA");
    ctx.ident.ValorCampo1 = ctx.ident.ValorCampo2 = QString();
    link.answer(kAprovacaoIso);
    EXPECT_TRUE(Mensagem_ElegPortador(ctx, 2));
    EXPECT_EQ(lastBody(), iso("0100|2038000101C00210|800500|001111|100000|1205|07ROUTEXY|003|"
                              "R4T7N2AK|123456         |016" +
                              kCartao + "|003200"));
}

TEST_F(Transacoes, ProcessingCodes) {
    const char* cases[][5] = {
        // screen, transaction type, its status -> confirmation code, cancellation code
        {"PREVENDA", "XX", "CANC.", "800300", "900400"},
        {"VENDA", "", "", "800300", "800400"},
        {"TRANSACOESPENDENTES", "BC01", "", "800300", "800400"},
        {"TRANSACOESPENDENTES", "BE", " canc. ", "800400", "800400"},
        {"TRANSACOESPENDENTES", "AB", "APROV.", "900300", "900400"},
        {"TRANSACOESPENDENTES", "AB", "CANC.", "900400", "900400"},
        {"ADMIN", "BC", "", "800400", "800400"},
        {"", "bc", "", "800400", "900400"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c[0]) + "/" + c[1] + "/" + c[2]);
        ctx.TelaAtual = QString::fromLatin1(c[0]);
        ctx.transacao.TipoTransacao = QString::fromLatin1(c[1]);
        ctx.transacao.SituacaoTransacao = QString::fromLatin1(c[2]);
        EXPECT_EQ(CodigoProcessamentoConfirmacao(ctx), c[3]);
        EXPECT_EQ(CodigoProcessamentoCancelamento(ctx), c[4]);
    }
}

// What each exchange makes of the host's answer or a failed link: its result, the box shown and
// the sale's NSU afterwards. A failed undo is silent (the sale is undone again later); a
// cancellation's own NSU replaces the sale's only when the host sends one; a registration
// change is saved only once accepted.
TEST_F(Transacoes, AnswersAndLinkFailures) {
    using Envia = bool (*)(Context&);
    const Envia eleg = [](Context& c) { return Mensagem_ElegPortador(c, 0); };
    const Envia canc = [](Context& c) { return Mensagem_Cancelamento(c, true); };
    const Envia alt = [](Context& c) {
        return Mensagem_Alteracao_Cadastral(c, " DIST A ", " OPER0001");
    };
    const QString nsu = QStringLiteral("012-000=000000123456;");
    const struct {
        Envia envia;
        const char* resposta;  // nullptr: the link fails with `falha`
        qint32 falha;
        bool aceita;
        QString caixa, nsu, corpo;  // corpo "": not checked
    } casos[] = {
        {eleg, "000-000=0110;009-000=51;030-000=Cartao invalido;", 0, false, "Cartao invalido"},
        {eleg, nullptr, -164, false, "164- Servidor fora do Ar."},
        {Mensagem_Confirmacao, "000-000=0202;", 0, true, "", "",
         inicio("0202", "800300") + nsu + kComuns},
        {Mensagem_Confirmacao, nullptr, -164, false, "164- Servidor fora do Ar."},
        {Mensagem_Anulacao, "000-000=0430;009-000=00;", 0, true, "", "",
         inicio("0420", "800300") + nsu + kComuns},
        {Mensagem_Anulacao, nullptr, -164, true},
        {Mensagem_Anulacao, "000-000=0430;009-000=51;030-000=Negada;", 0, false, "Negada"},
        {canc, "000-000=0210;009-000=00;012-000=000000999999;", 0, true, "", "000000999999"},
        {canc, "000-000=0210;009-000=00;", 0, true},
        {canc, "000-000=0210;009-000=57;012-000=000000111111;", 0, false},
        {canc, nullptr, -163, false, "163- Não foi possível acessar a Internet"},
        {alt, "000-000=0810;009-000=51;030-000=Recusada;", 0, false, "Recusada"},
        {alt, nullptr, -164, false,
         "Erro :  164- Servidor fora do Ar. - Contatar o suporte OPER0001 ."},
        {alt, "000-000=0810;009-000=00;", 0, true, "", "",
         inicio("0800", "388100") + kComuns + "990-000=DIST A;"},
    };
    ctx.TelaAtual = QStringLiteral("PREVENDA");
    for (const auto& c : casos) {
        SCOPED_TRACE(c.resposta ? c.resposta : std::to_string(c.falha));
        t.boxes.clear();
        ctx.transacao.NsuTransacao = QStringLiteral("123456");
        c.resposta ? link.answer(QString::fromLatin1(c.resposta)) : link.fail(c.falha);
        EXPECT_EQ(c.envia(ctx), c.aceita);
        EXPECT_EQ(t.boxes.texts(), c.caixa.isEmpty() ? QStringList() : QStringList{c.caixa});
        EXPECT_EQ(ctx.transacao.NsuTransacao, c.nsu.isEmpty() ? "123456" : c.nsu);
        if (!c.corpo.isEmpty()) {
            EXPECT_EQ(lastBody(), c.corpo);
        }
        const auto salvo =
            ProfileFile::load(CaminhoQlnClientIni(ctx))
                .find(QStringLiteral("DADOS_GERAIS"), QStringLiteral("DISTRIBUIDORA_OPER0001"));
        EXPECT_EQ(salvo,
                  c.envia == alt && c.aceita ? std::optional<QString>("DIST A") : std::nullopt);
    }
}

TEST_F(Transacoes, CancelamentoInBothForms) {
    ctx.transacao.NsuTransacao = QStringLiteral("123456");
    auto itens = [&](int n) {
        ctx.itensVenda.clear();
        for (int i = 1; i <= n; ++i) {
            ItemVenda& item = ctx.itensVenda.item(i);
            item.codigo = QStringLiteral("78912345678%1").arg(i, 2, 10, QLatin1Char('0'));
            item.embalagem = QStringLiteral("C");
            item.quantidade = QStringLiteral("2");
        }
        ctx.itensVenda.count = static_cast<qint16>(n);
    };
    const QString comuns = inicio("0200", "800400") + "012-000=000000123456;" + kComuns;
    itens(3);
    EXPECT_TRUE(Mensagem_Cancelamento(ctx, true));
    EXPECT_EQ(lastBody(), comuns + "900-000=0;901-000=00;");
    itens(1);
    EXPECT_TRUE(Mensagem_Cancelamento(ctx, false));
    EXPECT_EQ(lastBody(),
              comuns + "900-000=0;901-000=1;902-000=7891234567801;906-000=C;905-000=2;");

    // Thirteen items in text form: a page of 12 and a page of 1, numbered again from 000.
    itens(13);
    EXPECT_TRUE(Mensagem_Cancelamento(ctx, false));
    const QString treze = lastBody();
    EXPECT_TRUE(treze.contains("900-000=1;901-000=12;902-000=7891234567801;"));
    EXPECT_TRUE(
        treze.contains("902-011=7891234567812;906-011=C;905-011=2;900-000=1;901-000=1;"
                       "902-000=7891234567813;906-000=C;905-000=2;"));
    EXPECT_EQ(treze.count("902-"), 13);

    ctx.config.bMsgIso = true;
    itens(1);
    link.answer(kAprovacaoIso);
    EXPECT_TRUE(Mensagem_Cancelamento(ctx, true));
    EXPECT_EQ(lastBody(), iso("0200|2038000109C00010|800400|001111|100000|1205|07ROUTEXY|"
                              "000000123456|003|R4T7N2AK|123456         |003000"));
    link.answer(kAprovacaoIso);
    EXPECT_TRUE(Mensagem_Cancelamento(ctx, false));
    EXPECT_TRUE(lastBody().endsWith(iso("003001|017|7891234567801|C|002")));
}

struct Troca : Transacoes {
    Troca() { ctx.ident.CodigoOperadora = QStringLiteral(" OPER0001 "); }
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
    EXPECT_TRUE(t.boxes.shown()[0].title.endsWith("ProcessaMsg"));
    EXPECT_TRUE(t.boxes.shown()[1].title.endsWith("ProcessaLogon"));
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
        // Other link results (the named ones' texts are checked with the transactions).
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
        {"000-000=0202;009-000=51;", true, true, ""},  // an echoed confirmation needs no code
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
