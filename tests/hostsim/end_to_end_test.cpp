// Whole transactions from the terminal's own builders, over the real TCP link, to the
// simulated host running on a loopback port; every test runs in the text and the ISO form.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "admin/journal_names.h"
#include "data/checksum.h"
#include "host/network_link.h"
#include "host/transacoes.h"
#include "host/troca.h"
#include "host/valores.h"
#include "hostsim/host_server.h"
#include "message/campo_resposta.h"
#include "message/mensagem.h"
#include "support/test_context.h"

namespace ql {
namespace {

const QString kAprovado = QStringLiteral("6062820000000001");
const QString kBloqueado = QStringLiteral("6062820000000002");
const QString kVencido = QStringLiteral("6062820000000003");
const QString kComPre = QStringLiteral("6062820000000004");
const QString kPreLonga = QStringLiteral("6062820000000005");
const QString kOperadora = QStringLiteral("00000123");

struct ProdutoTeste {
    QString codigo;
    QString embalagem;
    int quantidade;
    QString bruto;  // decimal text as the grid holds it
    QString liquido;
};

class HostEndToEnd : public ::testing::TestWithParam<bool> {
  protected:
    QTemporaryDir hostDir;
    std::unique_ptr<hostsim::HostServerThread> servidor;
    test::TestContext t;
    Context& ctx = t.ctx;

    void SetUp() override {
        ASSERT_TRUE(hostDir.isValid());
        iniciaServidor();
        ctx.config.bMsgIso = GetParam();
        ctx.config.ESTAB_CODE = QStringLiteral("000000000054321");
        ctx.ident.NomeOperadora = QStringLiteral("QUILLANE SAUDE");
        ctx.ident.CodigoOperadora = kOperadora;
    }

    QString diario() const { return hostDir.filePath(QStringLiteral("journal")); }

    void iniciaServidor() {
        servidor = std::make_unique<hostsim::HostServerThread>(
            hostDir.filePath(QStringLiteral("host.sqlite")), diario());
        QString erro;
        ASSERT_TRUE(servidor->inicia(&erro)) << erro.toStdString();
        ctx.hostLink = std::make_unique<NetworkHostLink>(
            HostEndpoint{false, QStringLiteral("127.0.0.1"), servidor->porta()}, 5000);
    }
    void reiniciaServidor() {
        servidor.reset();
        iniciaServidor();
    }

    QString campo(const char* tag) { return GetCampo(ctx, QString::fromLatin1(tag)); }

    bool elegibilidade(const QString& cartao, const char* tela, qint16 sequencia = 0) {
        ctx.TelaAtual = QString::fromLatin1(tela);
        ctx.ident.NumeroCartao = cartao;
        return Mensagem_ElegPortador(ctx, sequencia);
    }

    // Sends the list in pages of 12 the way the authorisation screen's F5 does, quoting the
    // eligibility's host reference; collects the host's status of every product.
    bool enviaProdutos(const std::vector<ProdutoTeste>& produtos, const QString& documento,
                       QStringList* status, int* linhasRecibo = nullptr) {
        const bool venda = ctx.TelaAtual == QLatin1String("VENDA");
        const bool iso = ctx.config.bMsgIso;
        bool aceito = false;
        for (std::size_t inicio = 0; inicio < produtos.size(); inicio += 12) {
            const std::size_t resta = produtos.size() - inicio;
            const std::size_t n = std::min<std::size_t>(resta, 12);
            if (!MontaCamposComuns(ctx, QLatin1String(venda ? "0200" : "0100"),
                                   QLatin1String(venda ? "800300" : "800200"),
                                   ctx.transacao.NsuTransacao))
                return false;
            if (venda) AdicionaCampo(ctx, QStringLiteral("002-000"), documento);
            AdicionaCampo(ctx, QStringLiteral("900-000"), QLatin1String(resta > 12 ? "1" : "0"));
            AdicionaCampo(ctx, QStringLiteral("901-000"), formataZeros(qint64(n), 2));
            for (std::size_t j = 0; j < n; ++j) {
                const ProdutoTeste& p = produtos[inicio + j];
                const auto tag = [j](int f) {
                    return QStringLiteral("%1-%2").arg(f).arg(j, 3, 10, QLatin1Char('0'));
                };
                AdicionaCampo(ctx, tag(902), formataZeros(p.codigo.toLongLong(), 13));
                AdicionaCampo(ctx, tag(906), p.embalagem);
                AdicionaCampo(ctx, tag(905), formataZeros(p.quantidade, 3));
                AdicionaCampo(ctx, tag(910), valorParaCentavos(p.bruto, 7));
                AdicionaCampo(ctx, tag(911), valorParaCentavos(p.liquido, 7));
                if (venda && iso) {
                    AdicionaCampo(ctx, tag(912), valorParaCentavos(p.liquido, 7));
                    AdicionaCampo(ctx, tag(909), QStringLiteral("0000000"));
                }
                AdicionaCampo(ctx, tag(914),
                              !iso    ? QStringLiteral("00")
                              : venda ? QString(14, QLatin1Char(' '))
                                      : QStringLiteral("00") + QString(14, QLatin1Char(' ')));
            }
            if (ProcessaMsg(ctx) < 0) continue;
            const int linhas = venda ? GetQtdLinha(ctx) : 0;
            if (linhasRecibo) *linhasRecibo = linhas;
            for (std::size_t j = 0; j < n; ++j)
                *status << GetCampo(ctx, QStringLiteral("919-%1").arg(j, 3, 10, QLatin1Char('0')));
            aceito = ValidaResposta(ctx, true);
            if (!aceito) return false;
        }
        return aceito;
    }

    // The products of the current eligibility answer, as Recupera_Pre reads them.
    std::vector<ProdutoTeste> produtosDaResposta() {
        std::vector<ProdutoTeste> lista;
        const int n = int(valorInteiro(campo("901-000")));
        for (int i = 0; i < n; ++i) {
            const auto v = [&](int f) {
                return GetCampo(ctx,
                                QStringLiteral("%1-%2").arg(f).arg(i, 3, 10, QLatin1Char('0')));
            };
            lista.push_back({v(902), v(906), int(valorInteiro(v(905))), centavosParaValor(v(910)),
                             centavosParaValor(v(911))});
        }
        return lista;
    }

    // Sells the stored pre-authorisation of a card; the sale's NSU, or "" on failure.
    QString vendePre(const QString& cartao, int* linhas = nullptr) {
        if (!elegibilidade(cartao, "VENDA")) return {};
        QStringList status;
        if (!enviaProdutos(produtosDaResposta(), QStringLiteral("778899"), &status, linhas))
            return {};
        return ctx.transacao.NsuTransacao;
    }

    QString arquivoDiario(const QString& padrao) { return ProcuraArquivo(diario(), padrao); }
};

TEST_P(HostEndToEnd, LogonAndEligibilityOfEachKindOfCard) {
    EXPECT_TRUE(ProcessaLogon(ctx));

    struct Caso {
        QString cartao;
        bool aprovado;
        const char* mensagem;
    };
    const Caso casos[] = {
        {kAprovado, true, nullptr},
        {kBloqueado, false, "CARTAO BLOQUEADO PELA OPERADORA"},
        {kVencido, false, "CARTAO VENCIDO"},
        {QStringLiteral("6062829999999999"), false, "CARTAO NAO CADASTRADO"},
    };
    for (const Caso& c : casos) {
        t.boxes.clear();
        ctx.transacao.NsuTransacao.clear();
        EXPECT_EQ(elegibilidade(c.cartao, "PREVENDA"), c.aprovado) << c.cartao.toStdString();
        if (c.aprovado) {
            EXPECT_EQ(ctx.transacao.NsuTransacao.size(), 12);
            EXPECT_TRUE(t.boxes.empty());
        } else {
            ASSERT_FALSE(t.boxes.empty());
            EXPECT_EQ(t.boxes.shown().front().text, QLatin1String(c.mensagem));
            EXPECT_EQ(t.boxes.shown().front().title, QStringLiteral("Atenção"));
        }
    }
}

TEST_P(HostEndToEnd, QueryPagesThroughTheCatalogue) {
    ASSERT_TRUE(elegibilidade(kAprovado, "PREVENDA"));
    int vistos = 0;
    QString pagina = QStringLiteral("0");
    QStringList codigos;
    for (int volta = 0; volta < 10 && !pagina.isEmpty(); ++volta) {
        ASSERT_TRUE(MontaCamposComuns(ctx, QStringLiteral("0100"), QStringLiteral("800100"),
                                      ctx.transacao.NsuTransacao));
        AdicionaCampo(ctx, QStringLiteral("900-000"), pagina);
        if (ctx.config.bMsgIso) AdicionaCampo(ctx, QStringLiteral("901-000"), QStringLiteral("00"));
        AdicionaCampo(ctx, QStringLiteral("920-000"), QStringLiteral("MG"));
        ASSERT_GE(ProcessaMsg(ctx), 0);
        ASSERT_TRUE(ValidaResposta(ctx, true));
        const int n = int(valorInteiro(campo("901-000")));
        EXPECT_LE(n, 12);
        for (int i = 0; i < n; ++i) {
            codigos << GetCampo(ctx, QStringLiteral("902-%1").arg(i, 3, 10, QLatin1Char('0')));
            EXPECT_FALSE(GetCampo(ctx, QStringLiteral("903-%1").arg(i, 3, 10, QLatin1Char('0')))
                             .trimmed()
                             .isEmpty());
        }
        vistos += n;
        pagina = campo("900-000") == QLatin1String("0") ? QString() : campo("900-000");
    }
    EXPECT_GT(vistos, 24);  // three pages at least, every one answered
    codigos.removeDuplicates();
    EXPECT_EQ(codigos.size(), vistos);

    // A query by EAN finds exactly that product; an unknown text is refused.
    ASSERT_TRUE(MontaCamposComuns(ctx, QStringLiteral("0100"), QStringLiteral("800100"),
                                  ctx.transacao.NsuTransacao));
    AdicionaCampo(ctx, QStringLiteral("900-000"), QStringLiteral("0"));
    AdicionaCampo(ctx, QStringLiteral("920-000"), QStringLiteral("7891000424452"));
    ASSERT_GE(ProcessaMsg(ctx), 0);
    EXPECT_TRUE(ValidaResposta(ctx, true));
    EXPECT_EQ(campo("901-000"), QStringLiteral("01"));
    EXPECT_EQ(campo("902-000"), QStringLiteral("7891000424452"));
    EXPECT_EQ(campo("903-000").trimmed(), QStringLiteral("DIPIRONA SODICA"));
}

TEST_P(HostEndToEnd, PreSaleOfThirteenProductsWithOneRefusedMidPage) {
    ASSERT_TRUE(elegibilidade(kAprovado, "PREVENDA"));
    const char* codigos[] = {"7891000424452", "7891037197725", "7891074517500",
                             "7891111853196", "7891148063285", "7892036764147" /* not covered */,
                             "7891185094945", "7891222702390", "7891259123373",
                             "7891296479310", "7891333763877", "7891370076022",
                             "7891407665106"};
    std::vector<ProdutoTeste> lista;
    for (const char* c : codigos)
        lista.push_back({QString::fromLatin1(c), QStringLiteral("C"), 1, QStringLiteral("10,00"),
                         QStringLiteral("8,00")});
    QStringList status;
    EXPECT_TRUE(enviaProdutos(lista, {}, &status));
    ASSERT_EQ(status.size(), 13);
    for (int i = 0; i < 13; ++i)
        EXPECT_EQ(status[i], QLatin1String(i == 5 ? "45" : "00")) << "product " << i;

    // The stored pre-authorisation holds the twelve approved products.
    ASSERT_TRUE(elegibilidade(kAprovado, "VENDA"));
    EXPECT_EQ(campo("901-000"), QStringLiteral("12"));
    EXPECT_EQ(campo("900-000"), QStringLiteral("0"));
    const auto retidos = produtosDaResposta();
    for (const ProdutoTeste& p : retidos) EXPECT_NE(p.codigo, QStringLiteral("7892036764147"));
}

TEST_P(HostEndToEnd, LongPreAuthorisationComesInTwoBlocks) {
    ASSERT_TRUE(elegibilidade(kPreLonga, "VENDA"));
    EXPECT_EQ(campo("901-000"), QStringLiteral("12"));
    ASSERT_EQ(campo("900-000"), QStringLiteral("1"));
    const QString nsu = ctx.transacao.NsuTransacao;
    ASSERT_TRUE(elegibilidade(kPreLonga, "VENDA", 1));
    EXPECT_EQ(campo("901-000"), QStringLiteral("03"));
    EXPECT_EQ(campo("900-000"), QStringLiteral("0"));
    EXPECT_EQ(ctx.transacao.NsuTransacao, nsu);  // the same sale goes on
}

TEST_P(HostEndToEnd, SaleWithReceiptConfirmationAndJournal) {
    int linhas = 0;
    const QString nsu = vendePre(kComPre, &linhas);
    ASSERT_FALSE(nsu.isEmpty());
    ASSERT_GT(linhas, 4);
    EXPECT_EQ(GetQtdLinha(ctx), linhas);
    EXPECT_TRUE(GetLinhaImpressao(ctx, 1).contains(QLatin1String("COMPROVANTE DE VENDA")));
    for (int i = 0; i < linhas; ++i) EXPECT_EQ(GetLinhaImpressao(ctx, i).size(), 38) << i;
    EXPECT_EQ(GetLinhaImpressao(ctx, linhas), QString());

    // Pending until confirmed: the pending journal lists it, then no longer.
    const qint64 numero = nsu.toLongLong();
    auto pendenteListado = [&] {
        const QString tp =
            arquivoDiario(QStringLiteral("TP") + kOperadora + QStringLiteral(".S??"));
        QString checksum;
        EXPECT_TRUE(Valida_Check_Sum_Arquivo(ctx, tp, checksum)) << tp.toStdString();
        QFile f(tp);
        EXPECT_TRUE(f.open(QIODevice::ReadOnly));
        return f.readAll().contains("N" + QByteArray::number(numero) + "\r\n");
    };
    EXPECT_TRUE(pendenteListado());
    ctx.TelaAtual = QStringLiteral("VENDA");
    EXPECT_TRUE(Mensagem_Confirmacao(ctx));
    EXPECT_FALSE(pendenteListado());

    // Every journal the administrative screens open for this sale exists and passes its check.
    const QStringList padroes = {
        QStringLiteral("SS") + kOperadora + QStringLiteral(".S??"),
        QStringLiteral("FR") + kOperadora + QStringLiteral(".S??"),
        QStringLiteral("TS") + kOperadora + QStringLiteral("-??????.S??"),
        QStringLiteral("PD") + kOperadora + QStringLiteral("-??????.S??"),
        journalPattern(JournalKind::ProdutosTransacao, 1, kOperadora, numero),
    };
    for (const QString& padrao : padroes) {
        const QString arquivo = arquivoDiario(padrao);
        ASSERT_FALSE(arquivo.isEmpty()) << padrao.toStdString();
        QString checksum;
        EXPECT_TRUE(Valida_Check_Sum_Arquivo(ctx, arquivo, checksum)) << arquivo.toStdString();
    }
    EXPECT_TRUE(t.boxes.empty());
}

TEST_P(HostEndToEnd, UndoMakesThePreAuthorisationSellableAgain) {
    ASSERT_FALSE(vendePre(kComPre).isEmpty());
    ctx.TelaAtual = QStringLiteral("VENDA");
    EXPECT_TRUE(Mensagem_Anulacao(ctx));
    EXPECT_TRUE(Mensagem_Anulacao(ctx));  // a repeated undo is harmless
    t.boxes.clear();
    EXPECT_FALSE(Mensagem_Confirmacao(ctx));  // an undone sale cannot be confirmed
    EXPECT_EQ(t.boxes.shown().front().text, QStringLiteral("TRANSACAO JA DESFEITA"));
    EXPECT_FALSE(vendePre(kComPre).isEmpty());
}

TEST_P(HostEndToEnd, PartialThenTotalCancellation) {
    const QString venda = vendePre(kComPre);
    ASSERT_FALSE(venda.isEmpty());
    ctx.TelaAtual = QStringLiteral("VENDA");
    ASSERT_TRUE(Mensagem_Confirmacao(ctx));

    ctx.TelaAtual = QStringLiteral("TRANSACOESDOLOTE");
    ctx.transacao.TipoTransacao = QStringLiteral("BC");
    struct Caso {
        int quantidade;
        bool aceito;
        const char* mensagem;
    };
    // The first item of the demo pre-authorisation was sold twice.
    const Caso casos[] = {{1, true, nullptr},
                          {5, false, "QUANTIDADE ACIMA DA VENDIDA"},
                          {1, true, nullptr},
                          {1, false, "QUANTIDADE ACIMA DA VENDIDA"}};
    for (const Caso& c : casos) {
        t.boxes.clear();
        ctx.transacao.NsuTransacao = venda;
        ctx.itensVenda.clear();
        ItemVenda& item = ctx.itensVenda.item(1);
        item.codigo = QStringLiteral("7891185094945");
        item.embalagem = QStringLiteral("C");
        item.quantidade = QString::number(c.quantidade);
        ctx.itensVenda.count = 1;
        EXPECT_EQ(Mensagem_Cancelamento(ctx, false), c.aceito) << c.quantidade;
        if (c.aceito) {
            EXPECT_NE(ctx.transacao.NsuTransacao, venda);
            EXPECT_GT(GetQtdLinha(ctx), 0);
        } else {
            ASSERT_FALSE(t.boxes.empty());
            EXPECT_EQ(t.boxes.shown().front().text, QLatin1String(c.mensagem));
        }
    }

    ctx.transacao.NsuTransacao = venda;
    EXPECT_TRUE(Mensagem_Cancelamento(ctx, true));
    const QString cancelamento = ctx.transacao.NsuTransacao;
    EXPECT_NE(cancelamento, venda);
    t.boxes.clear();
    ctx.transacao.NsuTransacao = venda;
    EXPECT_FALSE(Mensagem_Cancelamento(ctx, true));
    EXPECT_EQ(t.boxes.shown().front().text, QStringLiteral("TRANSACAO JA CANCELADA"));
}

TEST_P(HostEndToEnd, StateSurvivesARestart) {
    const QString venda = vendePre(kComPre);
    ASSERT_FALSE(venda.isEmpty());
    ctx.TelaAtual = QStringLiteral("VENDA");
    ASSERT_TRUE(Mensagem_Confirmacao(ctx));

    reiniciaServidor();

    // The pre-authorisation stays used and the sale stays cancellable.
    t.boxes.clear();
    EXPECT_FALSE(elegibilidade(kComPre, "VENDA"));
    EXPECT_EQ(t.boxes.shown().front().text, QStringLiteral("NAO HA PRE-AUTORIZACAO PARA O CARTAO"));
    ctx.TelaAtual = QStringLiteral("TRANSACOESDOLOTE");
    ctx.transacao.TipoTransacao.clear();
    ctx.transacao.NsuTransacao = venda;
    EXPECT_TRUE(Mensagem_Cancelamento(ctx, true));
    // NSUs keep growing across the restart.
    EXPECT_GT(ctx.transacao.NsuTransacao.toLongLong(), venda.toLongLong());
}

TEST_P(HostEndToEnd, RegistrationUpdateIsAccepted) {
    ctx.TelaAtual = QStringLiteral("CADASTRO");
    EXPECT_TRUE(
        Mensagem_Alteracao_Cadastral(ctx, QStringLiteral("DISTRIBUIDORA CENTRAL"), kOperadora));
    EXPECT_TRUE(t.boxes.empty());
}

INSTANTIATE_TEST_SUITE_P(Formas, HostEndToEnd, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return info.param ? std::string("Iso") : std::string("Texto");
                         });

}  // namespace
}  // namespace ql
