#include <gtest/gtest.h>

#include <array>

#include "host/catalogo.h"
#include "sale/preco.h"
#include "support/scripted_link.h"

namespace ql {
namespace {

using Icon = MessageBoxes::Icon;

// A catalogue server that fills its records from the test's values.
class FakeCatalogo final : public CatalogoProdutos {
  public:
    qint16 logon = 0, leitura = 0;
    QString descricao = QStringLiteral("DIPIRONA 500MG");
    QString preco1 = QStringLiteral("12,00"), preco2;
    QString qtdCodigos = QStringLiteral("00");
    QStringList codigos;
    int logoffs = 0;
    QString lojaRecebida, dataRecebida;

    qint16 CEPLogon(const QString& texto) override {
        EXPECT_EQ(texto, "MiKo****");
        return logon;
    }
    qint16 CEPLeProdCategCompl(const QString& loja, const QString&, quint8 b1, quint8, quint8,
                               quint8, QByteArray& r, QByteArray&) override {
        EXPECT_EQ(b1, 1);
        lojaRecebida = loja;
        if (leitura != 0) return leitura;
        registro::escreve(r, registro::kCatDescricao, descricao);
        registro::escreve(r, registro::kCatPreco, preco1);
        registro::escreve(r, registro::kCatPreco2, preco2);
        registro::escreve(r, registro::kCatCodigo, "XY");
        registro::escreve(r, registro::kCatBytes, "ABC");
        return 0;
    }
    qint16 CEPLeProdEAN(const QString& data, const QString& loja, const QString&, quint8,
                        QByteArray& r, QByteArray&) override {
        dataRecebida = data;
        lojaRecebida = loja;
        if (leitura != 0) return leitura;
        registro::escreve(r, registro::kEanDescricao, descricao);
        registro::escreve(r, registro::kEanPreco, preco1);
        registro::escreve(r, registro::kEanPreco2, preco2);
        registro::escreve(r, registro::kEanCodigo, "EA");
        registro::escreve(r, registro::kEanBytes, "123");
        registro::escreve(r, registro::kEanQtdCodigos, qtdCodigos);
        for (int i = 0; i < codigos.size(); ++i) {
            registro::escreve(r, {registro::kEanCodigos + 13 * i, 13}, codigos[i]);
        }
        return 0;
    }
    void CEPLogoff() override { ++logoffs; }
};

struct Preco : ::testing::Test, test::ComLinkRoteirizado {
    FakeCatalogo& instalaCatalogo() {
        ctx.catalogo = std::make_unique<FakeCatalogo>();
        return static_cast<FakeCatalogo&>(*ctx.catalogo);
    }
};

TEST_F(Preco, ProcessaPrecoRecomputesWhenPricesChange) {
    // Held list, sale and discount; the source's list and sale cents; then what is written:
    // list, sale, discount, dependent value, description and unit price.
    const std::array<const char*, 11> casos[] = {
        // Same prices: only the unit price is written.
        {"10,00", "9,00", "0", "1000", "900", "10,00", "9,00", "0", "4,50", "ANTIGA", "9,00"},
        {"10,00", "9,00", "0", "1200", "900", "12,00", "9,00", "25,00", "4,50", "NOVA", "9,00"},
        // The caller's discount gives a lower price: it wins.
        {"10,00", "9,00", "30", "1200", "900", "12,00", "8,40", "30,00", "4,20", "NOVA", "9,00"},
        // A locally made item (sale price "0"): the dependent value is the new sale price.
        {"0", "0", "0", "1000", "950", "10,00", "9,50", "05,00", "9,50", "NOVA", "9,50"},
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(std::string(c[3]) + "/" + c[2]);
        link.priceAnswer(QStringLiteral("  NOVA  "), c[3], c[4]);
        QString descricao = "ANTIGA", lista = c[0], venda = c[1], dependente = "4,50", status,
                desconto = c[2], unitario;
        EXPECT_TRUE(ProcessaPreco(ctx, "789", "C", descricao, lista, venda, dependente, status,
                                  desconto, unitario));
        EXPECT_EQ(QStringList({lista, venda, desconto, dependente, descricao, unitario}),
                  QStringList({c[5], c[6], c[7], c[8], c[9], c[10]}));
        EXPECT_EQ(status, "0000");
    }
    EXPECT_TRUE(t.boxes.empty());
    EXPECT_EQ(link.priceQueries().first(), "789|C");
}

TEST_F(Preco, ProcessaPrecoFailures) {
    QString descricao = "X", lista = "10,00", venda = "9,00", dependente = "1,00", status,
            desconto = "0", unitario;
    link.priceFails(HostLink::kPrecoNaoEncontrado);
    EXPECT_FALSE(ProcessaPreco(ctx, "1", "", descricao, lista, venda, dependente, status, desconto,
                               unitario));
    EXPECT_TRUE(t.boxes.empty());

    // A list price of 0 for a product whose prices changed cannot give a discount.
    link.priceAnswer("X", "0", "500");
    EXPECT_FALSE(ProcessaPreco(ctx, "1", "", descricao, lista, venda, dependente, status, desconto,
                               unitario));
    EXPECT_TRUE(t.boxes.last().title.endsWith("ProcessaPreco"));
    EXPECT_EQ(t.boxes.last().text, QStringLiteral("Ocorreu o erro: 11 - Divisão por zero"));

    ctx.hostLink.reset();
    EXPECT_FALSE(ProcessaPreco(ctx, "1", "", descricao, lista, venda, dependente, status, desconto,
                               unitario));
    EXPECT_EQ(t.boxes.last().text,
              QStringLiteral("Ocorreu o erro: 158 - Impossivel acessar Módulo QL32_Cli.dll"));
}

// A catalogue read by product code or by EAN: the second price when above 0,50, the EAN's code
// list as long as it says, and a message for each failure (the record then left empty).
TEST_F(Preco, CatalogueRecords) {
    const QString logon = "Erro durante o Logon ao Pardo. A aplicação não pode retornar o preço.",
                  leitura = "Erro durante a leitura do preço do produto ou produto não encontrado.",
                  subscrito =
                      "Ocorreu um erro durante a leitura do produto.\nErro: 9 - Subscrito "
                      "fora do intervalo";
    const struct {
        bool ean;
        qint16 logon, leitura;
        const char *preco2, *qtdCodigos, *preco;  // preco "": the read fails
        int codigos;
        QString mensagem;
    } casos[] = {
        {false, 0, 0, "", "00", "12,00", 0, {}},     {false, 0, 0, "abc", "00", "12,00", 0, {}},
        {false, 0, 0, "0,50", "00", "12,00", 0, {}}, {false, 0, 0, "0,51", "00", "0,51", 0, {}},
        {true, 0, 0, "", "03", "12,00", 3, {}},      {true, 0, 0, "", "00", "12,00", 0, {}},
        {false, 3, 0, "", "00", "", 0, logon},       {true, 0, 1, "", "00", "", 0, leitura},
        {true, 0, 0, "", "61", "", 0, subscrito},
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(::testing::Message()
                     << c.ean << c.logon << c.leitura << c.preco2 << c.qtdCodigos);
        t.boxes.clear();
        FakeCatalogo& cat = instalaCatalogo();
        cat.logon = c.logon;
        cat.leitura = c.leitura;
        cat.preco2 = c.preco2;
        cat.qtdCodigos = c.qtdCodigos;
        cat.codigos = {"7891000000001", "7891000000002", "7891000000003", "7891000000004"};
        ProdutoCatalogo p;
        p.descricao = "stale";
        const bool ok = c.ean ? LePrecoEAN(ctx, "051226", "0001", "78910", p)
                              : LePrecoProduto(ctx, "0001", "789", p);
        EXPECT_EQ(ok, *c.preco != 0);
        EXPECT_EQ(cat.logoffs, 1);
        EXPECT_EQ(t.boxes.texts(), c.mensagem.isEmpty() ? QStringList() : QStringList{c.mensagem});
        if (!ok) {
            EXPECT_EQ(p.descricao, "");
            EXPECT_EQ(t.boxes.last().title, QStringLiteral("ATENÇÃO !!"));
            EXPECT_EQ(t.boxes.last().icon, Icon::Exclamation);
            continue;
        }
        EXPECT_EQ(
            QStringList({p.preco.trimmed(), p.precoLista.trimmed(), p.descricao, p.codigo,
                         QString::fromLatin1(reinterpret_cast<const char*>(p.bytes.data()), 3)}),
            QStringList({c.preco, "12,00", QStringLiteral("DIPIRONA 500MG").leftJustified(35),
                         c.ean ? "EA" : "XY", c.ean ? "123" : "ABC"}));
        EXPECT_EQ(p.codigos, cat.codigos.mid(0, c.codigos));
        EXPECT_EQ(cat.dataRecebida, c.ean ? "051226" : "");
    }
}

TEST_F(Preco, ProcessaPrecoFromTheCatalogue) {
    ctx.config.bIdentificaCartao_DS = true;
    FakeCatalogo& cat = instalaCatalogo();
    cat.preco2 = "9,00";
    QString descricao = "X", lista = "10,00", venda = "9,00", dependente = "9,00", status,
            desconto = "0", unitario;
    EXPECT_TRUE(ProcessaPreco(ctx, "789", "", descricao, lista, venda, dependente, status, desconto,
                              unitario));
    EXPECT_EQ(cat.lojaRecebida, "0000");
    EXPECT_EQ(lista, "12,00");
    EXPECT_EQ(desconto, "25,00");
    EXPECT_EQ(descricao, "DIPIRONA 500MG");
    EXPECT_TRUE(link.priceQueries().isEmpty());

    // Without a catalogue server the lookup asks the host link.
    ctx.catalogo.reset();
    link.priceAnswer("VIA HOST", "1500", "1200");
    EXPECT_TRUE(ProcessaPreco(ctx, "789", "", descricao, lista, venda, dependente, status, desconto,
                              unitario, "0042"));
    EXPECT_EQ(link.priceQueries(), QStringList({"789|0042"}));
    EXPECT_EQ(lista, "15,00");
    // The 25% discount held from the first lookup gives 11,25, below the host's 12,00.
    EXPECT_EQ(venda, "11,25");
    EXPECT_EQ(desconto, "25,00");
    EXPECT_EQ(descricao, "VIA HOST");
}

}  // namespace
}  // namespace ql
