#include <gtest/gtest.h>

#include "sale/recibo.h"
#include "support/test_context.h"

namespace ql {
namespace {

// A product as the receipt reads it: code, description, packaging, then the amounts.
ItemVenda item(const char* codigo, const char* descricao, const char* embalagem,
               const char* quantidade, const char* bruto, const char* desconto, const char* liquido,
               const char* receber, const char* status = "00") {
    return {codigo,   descricao, {},      embalagem, quantidade, bruto,
            desconto, liquido,   receber, {},        {},         status};
}

ItensVenda lista(std::initializer_list<ItemVenda> itens) {
    ItensVenda l;
    for (const auto& i : itens) l.itens.push_back(i);
    l.count = qint16(l.itens.size());
    return l;
}

TEST(Recibo, ProductLinesInFixedColumns) {
    const struct {
        const char* caso;
        ItemVenda item;
        QString primeira, segunda;
    } casos[] = {
        {"ordinary product",
         item("7891000424452", "DIPIRONA SODICA", "C", "2", "8,90", "20,00", "7,12", "3,56"),
         QStringLiteral("7891000424452 DIPIRONA SODICA       C "),
         QStringLiteral("  2     8,90   20,00     7,12     3,56")},
        {"values trimmed, long description cut",
         item(" 123 ", " ANTIINFLAMATORIO NAO ESTEROIDAL ", " CX ", " 10 ", " 1234,56 ", " 5,5 ",
              " 1166,68 ", " 0,00 "),
         QStringLiteral("123           ANTIINFLAMATORIO NAO ECX"),
         QStringLiteral(" 10  1234,56     5,5  1166,68     0,00")},
        {"nine-character price without leading blanks",
         item("1", "A", "C", "1", "12.345,67", "0,00", "12.345,67", "1,00"),
         QStringLiteral("1             A                     C "),
         QStringLiteral("  112.345,67    0,0012.345,67     1,00")},
        {"longer values are kept whole",
         item("1", "A", "CAIXA", "1000", "123.456,78", "0,00", "1,00", "1,00"),
         QStringLiteral("1             A                     CAIXA"),
         QStringLiteral("1000123.456,78    0,00     1,00     1,00")},
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(c.caso);
        EXPECT_EQ(LinhasProdutoRecibo(c.item), QStringList({c.primeira, c.segunda}));
    }
    // The header follows the first product: without a description, its column is blank.
    EXPECT_EQ(
        CabecalhoProdutosRecibo(lista({item("1", "  ", "C", "1", "1,00", "0", "1,00", "1,00"),
                                       item("2", "B", "C", "1", "1,00", "0", "1,00", "1,00")})),
        QStringLiteral("Código        ") + QString(19, u' ') + QStringLiteral("Emb"));
}

TEST(Recibo, FromStatus40AProductShowsOnlyItsBlankLine) {
    ItensVenda itens;
    for (const char* status : {"00", "39", "40", "45", ""})
        itens.itens.push_back(item("1", "X", "C", "1", "1,00", "0,00", "1,00", "1,00", status));
    itens.count = 5;  // status 39 listed, 40 and over not
    const QString a = QStringLiteral("1             X                     C ");
    const QString b = QStringLiteral("  1     1,00    0,00     1,00     1,00");
    EXPECT_EQ(LinhasProdutosRecibo(itens),
              QStringList({"Código        Descrição            Emb",
                           "Qtd Prc.Brt.  % Desc. Prc.Liq. Prc.Rec", "", a, b, "", a, b, "", "", "",
                           a, b, QString(38, u'_')}));

    // The count rules, not the storage: a list emptied by its count lists no product.
    itens.count = 0;
    EXPECT_EQ(LinhasProdutosRecibo(itens),
              QStringList({"Código        Emb", "Qtd Prc.Brt.  % Desc. Prc.Liq. Prc.Rec",
                           QString(38, u'_')}));
}

TEST(Recibo, ScreenListsProductsOnlyForASaleWithTheLayoutFlag) {
    test::TestContext t;
    Context& ctx = t.ctx;
    ctx.itensVenda =
        lista({item("7891000424452", "DIPIRONA", "C", "1", "8,90", "20,00", "7,12", "3,56")});
    // Three lines announced, the middle one absent: lines 0..3, absent ones empty.
    ctx.bufferMensagem = QStringLiteral(
        "000-000=0210;009-000=00;028-000=03;029-000=  FARMACIA QUILLANE  ;029-002=TOTAL 7,12;");
    const QStringList host{QStringLiteral("  FARMACIA QUILLANE  "), QString(),
                           QStringLiteral("TOTAL 7,12"), QString()};
    EXPECT_EQ(LinhasHostRecibo(ctx), host);

    const struct {
        const char* caso;
        int tipo;
        QChar flag;
        QString tela;
        bool produtos;
    } casos[] = {
        {"sale, flag Y", 1, u'Y', QStringLiteral("VENDA"), true},
        {"sale name with blanks", 2, u'Y', QStringLiteral(" VENDA "), true},
        {"pre-sale", 1, u'Y', QStringLiteral("PREVENDA"), false},
        {"flag off", 1, u'N', QStringLiteral("VENDA"), false},
        {"flag lower case", 1, u'y', QStringLiteral("VENDA"), false},
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(c.caso);
        ctx.telas = {};
        ctx.telas.FormImpressao[1].lstImpressaoProdutos = u'N';
        ctx.telas.FormImpressao[2].lstImpressaoProdutos = u'Y';
        ctx.telas.FormImpressao[c.tipo].lstImpressaoProdutos = c.flag;
        ctx.TipoEstab = qint16(c.tipo);
        ctx.TelaAtual = c.tela;
        const QStringList linhas = PreencheImpressao(ctx);
        EXPECT_EQ(linhas, c.produtos ? LinhasProdutosRecibo(ctx.itensVenda) + host : host);
    }

    // No receipt in the answer: line 0 alone, empty.
    ctx.bufferMensagem = QStringLiteral("000-000=0210;009-000=00;");
    ctx.TelaAtual = QStringLiteral("PREVENDA");
    EXPECT_EQ(PreencheImpressao(ctx), QStringList{QString()});
    EXPECT_TRUE(t.boxes.empty());
}

}  // namespace
}  // namespace ql
