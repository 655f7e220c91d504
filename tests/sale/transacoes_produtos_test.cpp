#include <gtest/gtest.h>

#include "host/framing.h"
#include "sale/grade_autorizacao.h"
#include "sale/transacoes_produtos.h"
#include "support/scripted_link.h"

namespace ql {
namespace {

using G = GradeAutorizacao;
using R = ResultadoConsulta;
const QString kComuns = QStringLiteral(
    "001-000=1111;040-000=ROUTEXY;012-000=000000123456;940-000=003;942-000=123456;"
    "941-000=R4T7N2AK;023-000=100000;022-000=1205;");

// Cells 1..n of a row, to compare a whole row at once.
QStringList celulas(const TabelaTexto& tabela, int linha, int n) {
    QStringList c;
    for (int col = 1; col <= n; ++col) c << tabela.texto(linha, col);
    return c;
}

struct Produtos : ::testing::Test, test::ComLinkRoteirizado {
    GradeAutorizacao grade;

    Produtos() {
        ctx.transacao.NsuTransacao = QStringLiteral("123456");
        ctx.TelaAtual = QStringLiteral("PREVENDA");
    }
    // n grid rows with codes 7891000000001.. and the item list built from them.
    void produtos(int n) {
        grade.limpa();
        for (int i = 1; i <= n; ++i) {
            const int l = grade.adicionaLinha();
            grade.defineTexto(l, G::Embalagem, QStringLiteral("C"));
            grade.defineTexto(l, G::Quantidade, QStringLiteral("1"));
            grade.defineTexto(l, G::PMC, QStringLiteral("10,00"));
            grade.defineTexto(l, G::PrecoVenda, QStringLiteral("9,00"));
            grade.defineTexto(l, G::Codigo, QString::number(7891000000000LL + i));
        }
        CarregaItemVenda_Grid(ctx, grade);
    }
};

TEST_F(Produtos, GeracaoPreMessageText) {
    produtos(1);
    ItemVenda& item = ctx.itensVenda.itens[0];
    item.codigo = QStringLiteral("7891234567");
    item.quantidade = QStringLiteral("2");
    item.valorBruto = QStringLiteral("12,5");
    item.valorLiquidoConsulta = QStringLiteral("0,00");
    item.valorOperadora = QStringLiteral("AB1");
    EXPECT_TRUE(Mensagem_GeracaoPre(ctx, grade, QStringLiteral("555")));
    EXPECT_EQ(link.bodies().back(),
              "000-000=0100;011-000=800200;" + kComuns +
                  "900-000=0;901-000=01;902-000=0007891234567;906-000=C;905-000=002;"
                  "910-000=0001250;911-000=0000900;914-000=03AB1;");

    // A sale quotes the fiscal document; a net value from the lookup replaces the net price.
    ctx.TelaAtual = QStringLiteral("VENDA");
    item.valorLiquidoConsulta = QStringLiteral("8,75");
    item.valorOperadora.clear();
    EXPECT_TRUE(Mensagem_GeracaoPre(ctx, grade, QStringLiteral("555")));
    EXPECT_EQ(link.bodies().back(),
              "000-000=0200;011-000=800300;" + kComuns +
                  "002-000=555;900-000=0;901-000=01;902-000=0007891234567;906-000=C;"
                  "905-000=002;910-000=0001250;911-000=0000875;914-000=00;");
}

TEST_F(Produtos, GeracaoPreIsoOperadoraValue) {
    ctx.config.bMsgIso = true;
    // The end of element 63: gross, net, (sale: net again, discount,) then the value.
    const struct {
        const char *tela, *valor;
        QString fim;
    } casos[] = {
        {"PREVENDA", "123", "000100000009001400000000000123"},
        {"PREVENDA", "", "0001000000090000" + QString(14, ' ')},
        {"VENDA", "123", "000100000009000000900000000000000000000123"},
        {"VENDA", "", "0001000000090000009000000000" + QString(14, ' ')},
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(std::string(c.tela) + "/" + c.valor);
        ctx.TelaAtual = QString::fromLatin1(c.tela);
        produtos(1);
        ctx.itensVenda.itens[0].valorOperadora = QString::fromLatin1(c.valor);
        link.answer(QStringLiteral("0110000000000200000000"));
        EXPECT_TRUE(Mensagem_GeracaoPre(ctx, grade, QStringLiteral("555")));
        EXPECT_TRUE(link.bodies().back().endsWith(c.fim)) << link.bodies().back().toStdString();
    }
}

TEST_F(Produtos, GeracaoPreSendsPagesOfTwelveSkipsALostOneAndStopsAtARefusal) {
    produtos(12);  // twelve fit one page
    EXPECT_TRUE(Mensagem_GeracaoPre(ctx, grade, {}));
    EXPECT_TRUE(link.bodies()[0].contains("900-000=0;901-000=12;902-000=7891000000001;"));
    EXPECT_TRUE(link.bodies()[0].contains("902-011=7891000000012;"));

    // Thirteen: the first page is lost and skipped silently, the second still goes.
    produtos(13);
    link.fail(-164);
    link.answer(QStringLiteral("000-000=0110;009-000=00;012-000=000000777777;"));
    EXPECT_TRUE(Mensagem_GeracaoPre(ctx, grade, {}));
    ASSERT_EQ(link.bodies().size(), 3);
    EXPECT_TRUE(link.bodies()[1].contains("900-000=1;901-000=12;902-000=7891000000001;"));
    EXPECT_TRUE(link.bodies()[1].contains("902-011=7891000000012;"));
    EXPECT_FALSE(link.bodies()[1].contains("902-012"));
    EXPECT_TRUE(link.bodies()[2].contains("900-000=0;901-000=01;902-000=7891000000013;"));
    EXPECT_FALSE(link.bodies()[2].contains("902-001"));
    EXPECT_TRUE(t.boxes.empty());
    EXPECT_EQ(ctx.transacao.NsuTransacao, "000000777777");

    // A refused page ends the sending; the next exchange quotes the host's number.
    link.answer(QStringLiteral("000-000=0110;009-000=51;030-000=Produto negado;"));
    EXPECT_FALSE(Mensagem_GeracaoPre(ctx, grade, {}));
    ASSERT_EQ(link.bodies().size(), 4);
    EXPECT_TRUE(link.bodies()[3].contains("012-000=000000777777;"));
    EXPECT_EQ(t.boxes.texts(), QStringList({"Produto negado"}));

    link.fail(-164);
    link.fail(-164);
    EXPECT_FALSE(Mensagem_GeracaoPre(ctx, grade, {}));
}

TEST_F(Produtos, StatusWrittenBackAndFrom40TheProductIsRefused) {
    produtos(5);
    grade.marcaRecusada(5, true);  // refused by an earlier page, accepted now
    link.answer(QStringLiteral(
        "000-000=0110;009-000=00;901-000=5;902-000=7891000000001;905-000=002;910-000=0001000;"
        "909-000=00500;911-000=0000950;912-000=0000400;919-000=00;"
        "902-001=7891000000002;919-001=39;902-002=7891000000003;919-002=40;"
        "902-003=7891000000004;919-003=45;902-004=7891000000005;919-004=00;"));
    EXPECT_TRUE(Mensagem_GeracaoPre(ctx, grade, {}));
    // The quantity as sent, the amounts in two decimals.
    EXPECT_EQ(celulas(grade, 1, G::Status), QStringList({"", "", "C", "002", "10,00", "5,00",
                                                         "9,50", "4,00", "7891000000001", "00"}));
    EXPECT_EQ(ctx.itensVenda.itens[0].quantidade + ctx.itensVenda.itens[0].valorLiquido, "0029,50");
    // Each row's status in the grid and the item list; from 40 the product is refused.
    QString status, recusadas;
    for (int l = 1; l <= 5; ++l) {
        status += grade.texto(l, G::Status) + u'/' + ctx.itensVenda.itens[l - 1].status + u' ';
        recusadas += grade.recusada(l) ? u'R' : u'-';
    }
    EXPECT_EQ(status, "00/00 39/39 40/40 45/45 00/00 ");
    EXPECT_EQ(recusadas, "--RR-");

    // Out of sequence: that row stays as it was, the rest is still written.
    ctx.bufferMensagem = framing::buildFrame(
        QStringLiteral("000-000=0110;009-000=00;901-000=2;902-000=0000000009999;919-000=00;"
                       "902-001=7891000000002;905-001=007;919-001=00;"));
    EXPECT_TRUE(Retorna_Status_Produtos(ctx, grade, 0));
    EXPECT_EQ(grade.texto(1, G::Quantidade), "002");
    EXPECT_EQ(grade.texto(2, G::Quantidade), "007");
    EXPECT_EQ(t.boxes.texts(),
              QStringList({"A resposta da mensagem de pré-Autorização fora da sequência enviada"}));
}

TEST_F(Produtos, RecuperaPreAppendsTheRetrievedProducts) {
    produtos(1);
    ctx.bufferMensagem = framing::buildFrame(QStringLiteral(
        "000-000=0110;009-000=00;901-000=2;902-000=7891000000010;906-000=C;905-000=003;"
        "910-000=0001250;909-000=01000;911-000=0001125;912-000=0000500;919-000=00;"
        "902-001=7891000000011;906-001=F;905-001=001;910-001=0000100;919-001=00;"));
    EXPECT_TRUE(Recupera_Pre(ctx, grade, grade.linhas()));
    ASSERT_EQ(grade.linhas(), 3);
    EXPECT_EQ(grade.texto(1, G::Codigo), "7891000000001");
    EXPECT_EQ(celulas(grade, 2, G::Status), QStringList({"", "", "C", "3", "12,50", "10,00",
                                                         "11,25", "5,00", "7891000000010", "00"}));
    EXPECT_EQ(celulas(grade, 3, G::Status), QStringList({"", "", "F", "1", "1,00", "0,00", "0,00",
                                                         "0,00", "7891000000011", "00"}));
    EXPECT_TRUE(grade.colunaOculta(G::Fabricante));
    EXPECT_TRUE(ctx.PreAutorizacaoRecuperada);
}

TEST_F(Produtos, ConsultaFillsTheResultGridAndPricesTheFirstProduct) {
    ResultadoConsulta consulta;
    link.answer(QStringLiteral(
        "000-000=0110;009-000=00;900-000=1;901-000=2;"
        "902-000=7891000000001;903-000=DIPIRONA;904-000=EMS;906-000=C;910-000=0001000;"
        "909-000=00000;911-000=0000900;912-000=0000400;919-000=00;"
        "902-001=7891000000002;903-001=AAS;906-001=F;910-001=0000550;919-001=00;"));
    link.priceAnswer(QStringLiteral("DIPIRONA 500MG"), QStringLiteral("1000"),
                     QStringLiteral("900"));
    EXPECT_TRUE(Mensagem_Consulta_Produtos(ctx, QStringLiteral("DIPIRONA"), 0, consulta, &grade));
    EXPECT_EQ(link.bodies().back(),
              "000-000=0100;011-000=800100;" + kComuns + "900-000=0;920-000=DIPIRONA;");
    ASSERT_EQ(consulta.linhas(), 2);
    // Prices unchanged by the lookup: only the unit price is written.
    EXPECT_EQ(celulas(consulta, 1, R::ValorLiquidoDll),
              QStringList({"DIPIRONA", "EMS", "C", "10,00", "0,00", "9,00", "4,00", "7891000000001",
                           "00", "9,00"}));
    EXPECT_EQ(consulta.texto(2, R::PrecoBruto), "5,50");
    EXPECT_EQ(ctx.itensVenda.count, 2);
    EXPECT_EQ(ctx.continuacaoConsulta, "1");
    EXPECT_EQ(link.priceQueries(), QStringList({"7891000000001|C"}));

    // Already in the authorisation grid: no lookup.
    produtos(1);
    link.answer(
        QStringLiteral("000-000=0110;009-000=00;900-000=0;901-000=1;"
                       "902-000=7891000000001;906-000=C;919-000=00;"));
    EXPECT_TRUE(Mensagem_Consulta_Produtos(ctx, QStringLiteral("DIPIRONA"), 1, consulta, &grade));
    EXPECT_EQ(link.priceQueries().size(), 1);
    EXPECT_EQ(consulta.linhas(), 1);
    EXPECT_EQ(ctx.continuacaoConsulta, "0");

    // In ISO form the query also asks for its first record: "901-000" = "00".
    ctx.config.bMsgIso = true;
    link.fail(-164);
    EXPECT_FALSE(Mensagem_Consulta_Produtos(ctx, QStringLiteral("DIPIRONA"), 0, consulta, &grade));
    EXPECT_EQ(ctx.mensagem.valor(QStringLiteral("901-000")), QStringLiteral("00"));
}

// A code the host refuses is offered as it is, priced by the lookup when it can be.
TEST_F(Produtos, ConsultaOfARefusedCode) {
    ResultadoConsulta consulta;
    link.answer(QStringLiteral("000-000=0110;009-000=56;"));
    link.priceFails(1);
    EXPECT_TRUE(Mensagem_Consulta_Produtos(ctx, QStringLiteral(" 7891234567890 "), 0, consulta));
    ASSERT_EQ(consulta.linhas(), 1);
    EXPECT_EQ(celulas(consulta, 1, R::Codigo),
              QStringList({"", "", " ", "0", "0", "0", "0", "7891234567890"}));
    EXPECT_EQ(ctx.itensVenda.count, 1);
    EXPECT_EQ(link.priceQueries(), QStringList({"7891234567890|"}));
    EXPECT_FALSE(consulta.nenhumProdutoEncontrado);
    EXPECT_TRUE(t.boxes.empty());
}

}  // namespace
}  // namespace ql
