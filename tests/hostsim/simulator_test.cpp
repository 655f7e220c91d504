// The simulated host on its own: requests, the demo catalogue, receipts, journals, the link.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <array>

#include "admin/journal_names.h"
#include "data/checksum.h"
#include "hostsim/demo_data.h"
#include "hostsim/embedded_host_link.h"
#include "hostsim/host_journal.h"
#include "hostsim/host_receipt.h"
#include "hostsim/host_simulator.h"
#include "hostsim/host_store.h"
#include "message/campo_resposta.h"
#include "message/iso8583.h"
#include "message/mensagem.h"
#include "support/test_context.h"
#include "support/venda_demo.h"

namespace ql::hostsim {
namespace {

class Simulador : public ::testing::Test {
  protected:
    QTemporaryDir dir;
    FixedClock relogio{QDateTime(QDate(2026, 12, 5), QTime(10, 0, 0))};
    HostSimulator sim{dir.filePath(QStringLiteral("host.sqlite")), relogio};

    void SetUp() override { ASSERT_TRUE(sim.abre()); }

    // The NSU of a new eligibility of card 0006, which holds no pre-authorisation.
    QString elegibilidade() {
        return textField(sim.responde(QStringLiteral("000-000=0100;011-000=800000;040-000="
                                                     "QUILLANE SAUDE;953-000=6062820000000006;")),
                         u"012-000");
    }

    // A request built with the message layer, in the form asked.
    static QString pedido(std::initializer_list<std::pair<const char*, QString>> campos, bool iso) {
        Mensagem m;
        for (const auto& [tag, valor] : campos) m.add(QString::fromLatin1(tag), valor);
        return iso ? writeIso(m) : writeText(m);
    }
};

TEST_F(Simulador, UnreadableRequestsGetASystemErrorAnswer) {
    // The second: ISO without a processing code.
    for (const char* t : {"", "01000000000000000000", "garbage", "000-000=0100;011-000",
                          "000-000=0100;", "000-000=0100;0110800000;", "0100ZZZZZZZZZZZZZZZZ",
                          "0100", "000-000=0600;", "000-000=0100;011-000=800200;902-abc=1;"})
        EXPECT_EQ(sim.responde(QString::fromLatin1(t)), QStringLiteral("200 ")) << t;
    // An ISO partial cancellation whose product records do not fit their layout.
    EXPECT_EQ(sim.responde(
                  pedido({{"000-000", "0200"}, {"011-000", "800400"}, {"902-000", "123"}}, true)),
              QStringLiteral("200 "));
    // A readable request of a transaction the host does not offer, in either form.
    for (const bool iso : {false, true})
        EXPECT_TRUE(sim.responde(pedido({{"000-000", "0999"}, {"011-000", "123456"}}, iso))
                        .contains(QLatin1String("201")));
}

// A card registered on the running host is refused with its own code and reason.
TEST_F(Simulador, ARegisteredCardIsRefusedWithItsOwnReason) {
    ASSERT_TRUE(sim.store().adicionaCartao({.numero = QStringLiteral("6062829000000001"),
                                            .codigoResposta = 14,
                                            .motivo = QStringLiteral("CARTAO INVALIDO")}));
    const QString r = sim.responde(QStringLiteral(
        "000-000=0100;011-000=800000;040-000=QUILLANE SAUDE;953-000=6062829000000001;"));
    EXPECT_EQ(textField(r, u"009-000") + ' ' + textField(r, u"030-000"),
              QStringLiteral("14 CARTAO INVALIDO"));
}

TEST_F(Simulador, ProductStatusesOfAPreAuthorisation) {
    const QString inicio = QStringLiteral("000-000=0100;011-000=800200;012-000=") +
                           elegibilidade() + QStringLiteral(";900-000=0;");
    const char* casos[][3] = {
        // code, quantity, the status the host gives it
        {"7891000424452", "001", "00"},     // covered
        {"7892036764147", "001", "45"},     // not covered
        {"7891111853196", "005", "46"},     // above the per-sale limit of 4
        {"1234567890123", "001", "44"},     // unknown product
        {"7891037197725", "000", "50"},     // no quantity
        {"0007891074517500", "002", "00"},  // leading zeros do not matter
    };
    QString corpo = inicio + QStringLiteral("901-000=06;");
    for (int i = 0; i < 6; ++i)
        corpo +=
            QStringLiteral("902-%1=%2;906-%1=C;905-%1=%3;910-%1=0001000;911-%1=0000900;914-%1=00;")
                .arg(i, 3, 10, QLatin1Char('0'))
                .arg(QLatin1String(casos[i][0]), QLatin1String(casos[i][1]));
    const QString r = sim.responde(corpo);
    EXPECT_EQ(textField(r, u"009-000"), QStringLiteral("00"));
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(textField(r, QStringLiteral("919-%1").arg(i, 3, 10, QLatin1Char('0'))),
                  QLatin1String(casos[i][2]))
            << casos[i][0];

    // A page where nothing can be sold is refused as a whole, with the reason.
    const QString so =
        sim.responde(inicio + "901-000=01;902-000=7892036764147;906-000=C;905-000=001;914-000=00;");
    EXPECT_EQ(textField(so, u"009-000") + ' ' + textField(so, u"030-000"),
              QStringLiteral("71 PRODUTO NAO COBERTO"));
}

// An eligibility that has become neither a stored pre-authorisation nor a sale within the hour
// goes, with a product list left in progress; a stored pre-authorisation stays.
TEST_F(Simulador, EligibilitiesThatLedNowhereGoAfterAnHour) {
    const QString parada = elegibilidade();
    const QString emCurso = elegibilidade();  // the first of two pages sent
    ASSERT_TRUE(sim.responde(QStringLiteral("000-000=0100;011-000=800200;012-000=%1;900-000=1;"
                                            "901-000=01;902-000=7891000424452;906-000=C;"
                                            "905-000=001;914-000=00;")
                                 .arg(emCurso))
                    .contains(QLatin1String("009-000=00;")));
    relogio.advanceSecs(3599);
    const QString recente = elegibilidade();
    relogio.advanceSecs(61);
    elegibilidade();
    for (const auto& [nsu, fica] : {std::pair{parada, false}, {emCurso, false}, {recente, true}})
        EXPECT_EQ(sim.store().transacao(nsu.toLongLong()).has_value(), fica) << nsu.toStdString();
    EXPECT_TRUE(sim.store().itens(emCurso.toLongLong()).empty());
    EXPECT_TRUE(sim.store().ultimaPreAberta(QStringLiteral("6062820000000004")).has_value());
}

TEST_F(Simulador, PriceLookupOverTheWire) {
    EXPECT_EQ(sim.responde(QStringLiteral("000-000=0600;902-000=1;920-000=7891037197725;")),
              QStringLiteral("000-000=0610;009-000=00;903-000=PARACETAMOL 750MG 20 COMP;"
                             "910-000=1290;911-000=1032;"));
    EXPECT_EQ(sim.responde(QStringLiteral("000-000=0600;902-000=1;")),
              QStringLiteral("000-000=0610;009-000=70;"));
}

TEST(DadosDemo, CatalogueCodesAreValidUniqueEansAndTextsFitTheJournals) {
    QSet<QString> codigos;
    for (const DemoProduto& p : demoProdutos()) {
        const QString codigo = QString::fromLatin1(p.codigo);
        SCOPED_TRACE(p.codigo);
        EXPECT_TRUE(eanValido(codigo));
        EXPECT_FALSE(codigos.contains(codigo));
        codigos.insert(codigo);
        EXPECT_LE(qMax(qstrlen(p.descricao), qstrlen(p.apresentacao)), 20u);
        EXPECT_TRUE(p.precoLiquido > 0 && p.precoLiquido <= p.precoBruto);
        // Journal cells cannot hold commas or quotes.
        for (const char* texto : {p.descricao, p.apresentacao, p.fabricante})
            EXPECT_EQ(strpbrk(texto, ",\""), nullptr) << texto;
    }
    EXPECT_FALSE(eanValido(QStringLiteral("7891000424453")) ||
                 eanValido(QStringLiteral("789100042445")));
}

TEST(Recibo, LinesAreFullWidthAndFitTheLimit) {
    DadosRecibo d;
    d.titulo = QStringLiteral("COMPROVANTE DE VENDA");
    d.transacao.nsu = 100123;
    d.transacao.lote = 7;
    d.transacao.cartao = QStringLiteral("6062820000000001");
    d.transacao.operadora = QStringLiteral("QUILLANE SAUDE");
    d.momento = QDateTime(QDate(2026, 12, 5), QTime(10, 0, 0));
    Item it;
    it.quantidade = 2;
    it.precoLiquido = 123456;
    it.valorReceber = 61728;
    for (int i = 0; i < 12; ++i) {
        d.itens.push_back(it);
        d.descricoes.push_back(QStringLiteral("PRODUTO COM NOME MUITO LONGO %1").arg(i));
    }
    for (const int limite : {26, 11, 3}) {
        const QStringList linhas = montaRecibo(d, limite);
        EXPECT_LE(linhas.size(), limite);
        for (const QString& l : linhas) EXPECT_EQ(l.size(), kLarguraRecibo) << l.toStdString();
    }
    EXPECT_TRUE(
        montaRecibo(d, 26).contains(QStringLiteral("CARTAO: ************0001").leftJustified(38)));
    EXPECT_EQ(valorRecibo(2962944) + ' ' + valorRecibo(5) + ' ' + valorRecibo(-150),
              QStringLiteral("29.629,44 0,05 -1,50"));
}

TEST(Diario, LargeTablesKeepTheirNewestRowsWithinTheChecksum) {
    QTemporaryDir dir;
    test::TestContext t;
    JournalTable tabela;
    tabela.title = QStringLiteral("Lotes, \"pendentes\"");  // written without comma or quotes
    tabela.columns = journalColumns(JournalKind::TransacoesPendentes);
    for (int i = 0; i < 8000; ++i)
        tabela.rows.push_back({journalNumber(i), journalNumber(100000 + i),
                               QStringLiteral("261205100000"), QStringLiteral("************0001"),
                               journalCents(12345), QStringLiteral("BC"), QStringLiteral("PEND."),
                               QStringLiteral("000123")});
    int mantidas = 0;
    QString erro;
    ASSERT_TRUE(
        escreveDiarioLimitado(dir.path(), QStringLiteral("TP00000123.S"), tabela, &erro, &mantidas))
        << erro.toStdString();
    EXPECT_TRUE(mantidas > 100 && mantidas < 8000) << mantidas;
    const QString arquivo = ProcuraArquivo(dir.path(), QStringLiteral("TP00000123.S??"));
    QString checksum;
    EXPECT_TRUE(Valida_Check_Sum_Arquivo(t.ctx, arquivo, checksum));
    QFile f(arquivo);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    EXPECT_TRUE(bytes.contains("N100000\r\n"));  // newest
    EXPECT_TRUE(bytes.startsWith("000\r\nALotes  'pendentes'\r\n"));
}

// The summaries' lot sums come from one grouped query: a cancellation counts against its
// lot, an undone sale, a pre-authorisation and a removed item do not count, and a lot with no
// transaction still shows, with zeros.
TEST(Diario, LotSumsCountSalesAgainstCancellationsAndSkipWhatIsNotListed) {
    QTemporaryDir dir;
    HostStore store(dir.filePath(QStringLiteral("h.sqlite")));
    const QDateTime agora(QDate(2026, 12, 5), QTime(10, 0));
    ASSERT_TRUE(store.abre(agora, nullptr) && store.begin());
    const QString op = QStringLiteral("00000123");
    const qint64 lote = store.loteParaNovaTransacao(op, agora.date());
    const struct {
        const char *tipo, *situacao;
        std::vector<std::array<int, 5>> itens;  // quantidade, bruto, liquido, receber, status
    } casos[] = {
        {"VENDA", "CONFIRMADA", {{2, 1000, 900, 450, 0}, {1, 500, 500, 0, 40}}},
        {"CANC", "CONFIRMADA", {{1, 1000, 900, 450, 0}}},
        {"VENDA", "DESFEITA", {{5, 700, 700, 700, 0}}},
        {"PRE", "ABERTA", {{1, 300, 300, 300, 0}}},
        {"VENDA", "PENDENTE", {}},
    };
    for (const auto& c : casos) {
        const qint64 nsu = store.criaTransacao({.tipo = c.tipo,
                                                .situacao = c.situacao,
                                                .codigoOperadora = op,
                                                .lote = lote,
                                                .criada = agora});
        ASSERT_GT(nsu, 0) << store.ultimoErro().toStdString();
        int seq = 0;
        for (const auto& [quantidade, bruto, liquido, receber, status] : c.itens)
            ASSERT_TRUE(store.adicionaItem({.nsu = nsu,
                                            .seq = seq++,
                                            .codigo = "7891185094945",
                                            .quantidade = quantidade,
                                            .precoBruto = bruto,
                                            .precoLiquido = liquido,
                                            .valorReceber = receber,
                                            .status = status}));
    }
    // A newer lot of the same operadora, still empty (the day changed).
    const qint64 vazio = store.loteParaNovaTransacao(op, agora.date().addDays(1));
    ASSERT_TRUE(store.commit());
    const std::vector<ResumoLote> resumos = store.resumosDosLotes(op, 30);
    ASSERT_EQ(resumos.size(), 2u) << store.ultimoErro().toStdString();
    using Soma = std::array<qint64, 5>;  // lot, transactions, gross, net, to receive
    auto soma = [](const ResumoLote& r) {
        return Soma{r.lote.numero, r.quantidade, r.bruto, r.liquido, r.receber};
    };
    EXPECT_EQ(soma(resumos[0]), (Soma{vazio, 0, 0, 0, 0}));
    EXPECT_EQ(soma(resumos[1]), (Soma{lote, 3, 2000 - 1000, 1800 - 900, 900 - 450}));
}

// Old journal versions and half-written files go to hidden names; none outlives the host,
// and those a killed run left are removed by the next one. An answer taken without the rewrite
// leaves the journals it changed for one later rewrite.
TEST(Diario, RewritesWhenDueAndNoHiddenFileOutlivesTheHost) {
    test::TestContext t;
    const QString diario = t.path(QStringLiteral("journal"));
    ASSERT_TRUE(QDir().mkpath(diario));
    for (const char* restos : {".journal-old-4242-7", ".journal-Ab12Cd"}) {
        QFile f(QDir(diario).filePath(QLatin1String(restos)));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    auto novoHost = [&] {
        auto sim = std::make_shared<HostSimulator>(t.path(QStringLiteral("h.sqlite")),
                                                   t.ctx.relogio, diario);
        EXPECT_TRUE(sim->abre());
        return sim;
    };
    auto sim = novoHost();
    t.ctx.hostLink = std::make_unique<EmbeddedHostLink>(sim);
    // The sale of a stored pre-authorisation, then its undo: every journal of the sale is
    // written and then replaced.
    const QString venda = test::VendePreAutorizacao0004(t.ctx, QStringLiteral("1"), false);
    const QString lote = ProcuraArquivo(diario, QStringLiteral("TS00000123-??????.S??"));
    const quint64 gravados = sim->arquivosGravados();
    const QString resposta = sim->respondeSemGravar(
        QStringLiteral("000-000=0420;011-000=800300;001-000=1111;012-000=") + venda +
        QStringLiteral(";941-000=") + t.ctx.config.Terminal + QLatin1Char(';'));
    EXPECT_TRUE(resposta.contains(QLatin1String("009-000=00;"))) << resposta.toStdString();
    EXPECT_EQ(sim->arquivosGravados(), gravados);
    EXPECT_TRUE(QFileInfo::exists(lote));
    EXPECT_TRUE(sim->gravaDiarios());
    EXPECT_FALSE(QFileInfo::exists(lote));  // the lot's journal, under its new checksum name
    EXPECT_TRUE(sim->erroDiario().isEmpty()) << sim->erroDiario().toStdString();
    t.ctx.hostLink.reset();
    sim.reset();
    const QStringList ocultos =
        QDir(diario).entryList(QStringList{QStringLiteral(".*")}, QDir::Files | QDir::Hidden);
    EXPECT_EQ(ocultos, QStringList());
    // One file per journal name: no old version is left beside a new one.
    const QStringList nomes = QDir(diario).entryList(QDir::Files);
    QSet<QString> bases;
    for (const QString& n : nomes) bases.insert(n.left(n.size() - 2).toLower());
    EXPECT_EQ(bases.size(), nomes.size());
    EXPECT_FALSE(
        ProcuraArquivo(diario, journalPattern(JournalKind::ProdutosTransacao, 1,
                                              QStringLiteral("00000123"), venda.toLongLong()))
            .isEmpty());
    // The folder removed under a running host (the undone sale's pre-authorisation sold again):
    // the flush still due fails quietly and the host ends all the same.
    sim = novoHost();
    t.ctx.hostLink = std::make_unique<EmbeddedHostLink>(sim);
    EXPECT_FALSE(test::VendePreAutorizacao0004(t.ctx, QStringLiteral("2"), false).isEmpty());
    ASSERT_TRUE(QDir(diario).removeRecursively());
    t.ctx.hostLink.reset();
    sim.reset();
}

// The in-process link on the server directory, where the host's journals start.
TEST(LinkEmbutido, PricesFromTheCatalogueAndRefusesABrokenFrame) {
    test::TestContext t;
    t.ctx.hostLink = embeddedHostLinkFactory()(t.ctx);
    QString c1 = QStringLiteral("42"), c2 = QStringLiteral("7891000424452"),
            desc(40, QLatin1Char(' ')), a1(12, QLatin1Char(' ')), a2(12, QLatin1Char(' ')), st;
    // The second code when the first is unknown; the buffers are filled as the network link's.
    EXPECT_EQ(t.ctx.hostLink->GetPreco(c1, c2, desc, a1, a2, st), 0);
    EXPECT_EQ(desc.trimmed() + ' ' + a1.trimmed(),
              QStringLiteral("DIPIRONA SODICA 500MG 10 COMP 890"));
    c2.clear();
    EXPECT_EQ(t.ctx.hostLink->GetPreco(c1, c2, desc, a1, a2, st), HostLink::kPrecoNaoEncontrado);
    QString quadro = QStringLiteral("ABCD");
    EXPECT_EQ(t.ctx.hostLink->Process(quadro, st, QStringLiteral("CHK")),
              HostLink::kMessageTooLong);
    EXPECT_FALSE(
        ProcuraArquivo(t.ctx.config.PathServer, QStringLiteral("TP00000456.S??")).isEmpty());
}

}  // namespace
}  // namespace ql::hostsim
