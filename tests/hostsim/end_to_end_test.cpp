// Whole transactions from the terminal's own builders over TCP to the simulated host on
// loopback, each in the text and the ISO form.
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

#include "admin/journal_names.h"
#include "data/checksum.h"
#include "host/network_link.h"
#include "host/transacoes.h"
#include "host/troca.h"
#include "hostsim/demo_data.h"
#include "hostsim/host_server.h"
#include "message/campo_resposta.h"
#include "message/mensagem.h"
#include "sale/grade_autorizacao.h"
#include "sale/transacoes_produtos.h"
#include "support/test_context.h"
#include "support/venda_demo.h"

namespace ql {
namespace {

const QString kAprovado = QStringLiteral("6062820000000001");
const QString kOperadora = QStringLiteral("00000123");

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
        servidor.reset();
        servidor = std::make_unique<hostsim::HostServerThread>(
            hostDir.filePath(QStringLiteral("host.sqlite")), diario());
        QString erro;
        ASSERT_TRUE(servidor->inicia(&erro)) << erro.toStdString();
        ctx.hostLink = std::make_unique<NetworkHostLink>(
            HostEndpoint{false, QStringLiteral("127.0.0.1"), servidor->porta()}, 5000);
    }

    QString campo(const char* tag) { return GetCampo(ctx, QString::fromLatin1(tag)); }

    bool elegibilidade(const QString& cartao, const char* tela, qint16 sequencia = 0) {
        ctx.TelaAtual = QString::fromLatin1(tela);
        ctx.ident.NumeroCartao = cartao;
        return Mensagem_ElegPortador(ctx, sequencia);
    }

    // F5: the grid into the item list, the pages of 12 to the host; each row's status after.
    bool enviaGrade(GradeAutorizacao& grade, const QString& documento, QStringList* status) {
        EXPECT_TRUE(CarregaItemVenda_Grid(ctx, grade));
        const bool aceito = Mensagem_GeracaoPre(ctx, grade, documento);
        for (int linha = 1; linha <= grade.linhas(); ++linha)
            *status << grade.texto(linha, GradeAutorizacao::Status);
        return aceito;
    }

    // Card 0004's stored pre-authorisation sold under a fiscal document; the sale's NSU.
    QString vende0004(bool confirma = false) {
        return test::VendePreAutorizacao0004(ctx, QStringLiteral("778899"), confirma);
    }
};

TEST_P(HostEndToEnd, EligibilityOfEachKindOfCard) {
    const std::pair<QString, const char*> casos[] = {
        {kAprovado, ""},
        {QStringLiteral("6062820000000002"), "CARTAO BLOQUEADO PELA OPERADORA"},
        {QStringLiteral("6062820000000003"), "CARTAO VENCIDO"},
        {QStringLiteral("6062829999999999"), "CARTAO NAO CADASTRADO"},
    };
    for (const auto& [cartao, mensagem] : casos) {
        const bool aprovado = !*mensagem;
        t.boxes.clear();
        ctx.transacao.NsuTransacao.clear();
        EXPECT_EQ(elegibilidade(cartao, "PREVENDA"), aprovado) << cartao.toStdString();
        EXPECT_EQ(ctx.transacao.NsuTransacao.size(), aprovado ? 12 : 0);
        EXPECT_EQ(t.boxes.texts(), aprovado ? QStringList() : QStringList{mensagem});
    }
}

TEST_P(HostEndToEnd, ProductQueryPagesThroughTheCatalogue) {
    ASSERT_TRUE(elegibilidade(kAprovado, "PREVENDA"));
    const struct {
        const char* busca;
        int produtos, paginas;  // products over every page, at least; pages of products found
        const char *primeiro, *mensagem;  // code and description of the first; the refusal
    } casos[] = {
        {"MG", 37, 4, "", ""},  // four pages of 12
        {"7891000424452", 1, 1, "7891000424452 DIPIRONA SODICA", ""},
        // A code the host does not know is offered as it is, for the cashier to price.
        {"7890000000017", 1, 1, "7890000000017 ", "PRODUTO NAO ENCONTRADO"},
        {"XPTOXPTO", 0, 0, "", "PRODUTO NAO ENCONTRADO"},
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(c.busca);
        t.boxes.clear();
        ResultadoConsulta consulta;
        QStringList codigos;
        QString primeiro;
        int paginas = 0;
        for (qint16 pagina = 0;; pagina = qint16(ctx.continuacaoConsulta.trimmed().toInt())) {
            const bool achou = Mensagem_Consulta_Produtos(ctx, c.busca, pagina, consulta);
            EXPECT_EQ(achou, c.produtos > 0);
            if (!achou || ++paginas > 10) break;
            EXPECT_LE(consulta.linhas(), kProdutosPorPagina);
            for (int l = 1; l <= consulta.linhas(); ++l)
                codigos << consulta.texto(l, ResultadoConsulta::Codigo);
            if (paginas == 1)
                primeiro = codigos.front() + ' ' + consulta.texto(1, ResultadoConsulta::Descricao);
            // ISO carries one digit: "MG" has four pages, so the last continuation still fits.
            const int continuacao = ctx.continuacaoConsulta.trimmed().toInt();
            if (continuacao == 0) break;
            ASSERT_EQ(continuacao, paginas);  // each continuation asks for the next page
        }
        EXPECT_GE(codigos.size(), c.produtos);
        EXPECT_EQ(paginas, c.paginas);
        EXPECT_EQ(primeiro.left(qstrlen(c.primeiro)), QLatin1String(c.primeiro));
        EXPECT_EQ(QSet<QString>(codigos.begin(), codigos.end()).size(), codigos.size());
        EXPECT_EQ(t.boxes.texts().value(0), QLatin1String(c.mensagem));
    }
}

// A pre-sale of sixteen products in two pages, priced by the host from its catalogue, one
// refused mid-page; the fifteen approved come back to the sale in two blocks and sell in two
// pages.
TEST_P(HostEndToEnd, PreSaleInTwoPagesComesBackInTwoBlocksAndSellsInTwoPages) {
    ASSERT_TRUE(elegibilidade(kAprovado, "PREVENDA"));
    const QString preNsu = ctx.transacao.NsuTransacao;
    QStringList codigos;  // the catalogue's first fifteen and, sixth, one it does not cover
    for (int i = 0; i < 15; ++i) codigos << QString::fromLatin1(hostsim::demoProdutos()[i].codigo);
    codigos.insert(5, QStringLiteral("7892036764147"));
    GradeAutorizacao grade;
    for (const QString& codigo : codigos) {  // as the screen holds it: 10,00 and 8,00 each
        const int l = grade.adicionaLinha();
        for (const auto& [coluna, texto] : {std::pair{GradeAutorizacao::Embalagem, "C"},
                                            {GradeAutorizacao::Quantidade, "1"},
                                            {GradeAutorizacao::PMC, "10,00"},
                                            {GradeAutorizacao::PrecoVenda, "8,00"}})
            grade.defineTexto(l, coluna, QString::fromLatin1(texto));
        grade.defineTexto(l, GradeAutorizacao::Codigo, codigo);
    }
    QStringList status;
    EXPECT_TRUE(enviaGrade(grade, {}, &status));
    QStringList esperado(16, QStringLiteral("00"));
    esperado[5] = QStringLiteral("45");
    EXPECT_EQ(status, esperado);
    // The host priced every product from its catalogue, not from the terminal's 10,00.
    EXPECT_NE(grade.texto(1, GradeAutorizacao::PMC), QStringLiteral("10,00"));
    EXPECT_EQ(ctx.transacao.NsuTransacao, preNsu);
    EXPECT_TRUE(t.boxes.empty()) << t.boxes.texts().join(" | ").toStdString();

    GradeAutorizacao venda;
    ASSERT_TRUE(elegibilidade(kAprovado, "VENDA") && Recupera_Pre(ctx, venda, 0));
    EXPECT_EQ(campo("901-000"), QStringLiteral("12"));
    ASSERT_EQ(campo("900-000"), QStringLiteral("1"));
    const QString nsu = ctx.transacao.NsuTransacao;
    ASSERT_TRUE(elegibilidade(kAprovado, "VENDA", 1) && Recupera_Pre(ctx, venda, venda.linhas()));
    EXPECT_EQ(campo("901-000"), QStringLiteral("03"));
    EXPECT_EQ(campo("900-000"), QStringLiteral("0"));
    EXPECT_EQ(ctx.transacao.NsuTransacao, nsu);  // the same sale goes on
    codigos.removeAt(5);
    for (int l = 1; l <= venda.linhas(); ++l)
        EXPECT_EQ(venda.texto(l, GradeAutorizacao::Codigo), codigos.value(l - 1)) << l;
    EXPECT_EQ(venda.linhas(), 15);

    // Sold as one sale of two pages; the receipt comes with the last.
    status.clear();
    ASSERT_TRUE(enviaGrade(venda, QStringLiteral("778899"), &status))
        << t.boxes.texts().join(" | ").toStdString();
    EXPECT_EQ(status, QStringList(15, QStringLiteral("00")));
    ASSERT_GT(GetQtdLinha(ctx), 4);
    EXPECT_TRUE(GetLinhaImpressao(ctx, 1).contains(QLatin1String("COMPROVANTE DE VENDA")));
    EXPECT_TRUE(Mensagem_Confirmacao(ctx));
}

TEST_P(HostEndToEnd, PartialThenTotalCancellationAcrossARestart) {
    const QString venda = vende0004(true);
    ASSERT_FALSE(venda.isEmpty());
    iniciaServidor();
    // The pre-authorisation stays used and the sale stays cancellable.
    t.boxes.clear();
    EXPECT_FALSE(elegibilidade(test::kCartaoComPre, "VENDA"));
    EXPECT_EQ(t.boxes.texts(), QStringList{"NAO HA PRE-AUTORIZACAO PARA O CARTAO"});

    ctx.TelaAtual = QStringLiteral("TRANSACOESDOLOTE");
    ctx.transacao.TipoTransacao = QStringLiteral("BC");
    const struct {
        int quantidade;  // of the first item, sold twice; 0: the whole sale
        const char* mensagem;
    } casos[] = {{1, ""}, {5, "QUANTIDADE ACIMA DA VENDIDA"},
                 {1, ""}, {1, "QUANTIDADE ACIMA DA VENDIDA"},
                 {0, ""}, {0, "TRANSACAO JA CANCELADA"}};
    for (const auto& [quantidade, mensagem] : casos) {
        const bool aceito = !*mensagem;
        t.boxes.clear();
        ctx.transacao.NsuTransacao = venda;
        ctx.itensVenda.clear();
        ItemVenda& item = ctx.itensVenda.item(1);
        item.codigo = QStringLiteral("7891185094945");
        item.embalagem = QStringLiteral("C");
        item.quantidade = QString::number(quantidade);
        ctx.itensVenda.count = 1;
        EXPECT_EQ(Mensagem_Cancelamento(ctx, quantidade == 0), aceito) << quantidade;
        // NSUs keep growing across the restart.
        EXPECT_EQ(ctx.transacao.NsuTransacao.toLongLong() > venda.toLongLong(), aceito);
        EXPECT_EQ(GetQtdLinha(ctx) > 0, aceito);
        EXPECT_EQ(t.boxes.texts(), aceito ? QStringList() : QStringList{mensagem});
    }
}

// The registration's distributor travels in its own element in the ISO form.
TEST_P(HostEndToEnd, RegistrationUpdateIsAccepted) {
    ctx.TelaAtual = QStringLiteral("CADASTRO");
    EXPECT_TRUE(
        Mensagem_Alteracao_Cadastral(ctx, QStringLiteral("DISTRIBUIDORA CENTRAL"), kOperadora));
    EXPECT_TRUE(t.boxes.empty());
}

// The journals a request changed are on disk, under names that pass their check, when its
// answer arrives (the administrative screens read them next). An undone sale leaves the lot
// and its pre-authorisation can be sold again.
TEST_P(HostEndToEnd, SaleConfirmedAndUndoneWithItsJournalsCurrentAtEachAnswer) {
    QString venda;
    auto diarioDe = [&](const QString& padrao) {
        const QString arquivo = ProcuraArquivo(diario(), padrao);
        QString checksum;
        EXPECT_TRUE(Valida_Check_Sum_Arquivo(ctx, arquivo, checksum)) << padrao.toStdString();
        QFile f(arquivo);
        return f.open(QIODevice::ReadOnly) ? QString::fromLatin1(f.readAll()) : QString();
    };
    // The sale's status cell in the lot's journal, five after its NSU ("" when not listed).
    auto situacaoNoLote = [&] {
        const QStringList linhas =
            diarioDe(QStringLiteral("TS") + kOperadora + QStringLiteral("-??????.S??"))
                .split(QStringLiteral("\r\n"));
        const qsizetype i = linhas.indexOf(QLatin1Char('N') + QString::number(venda.toLongLong()));
        return i < 0 || i + 5 >= linhas.size() ? QString() : linhas[i + 5].mid(1);
    };
    auto confere = [&](const char* situacao, bool pendente) {
        EXPECT_EQ(situacaoNoLote(), QLatin1String(situacao));
        EXPECT_EQ(diarioDe(QStringLiteral("TP") + kOperadora + QStringLiteral(".S??"))
                      .contains(QLatin1Char('N') + QString::number(venda.toLongLong()) +
                                QStringLiteral("\r\n")),
                  pendente);
        for (const char* padrao :
             {"SS%1.S??", "FS%1.S??", "FR%1.S??", "PS%1-??????.S??", "PD%1-??????.S??"})
            diarioDe(QString::fromLatin1(padrao).arg(kOperadora));
        diarioDe(journalPattern(JournalKind::ProdutosTransacao, 1, kOperadora, venda.toLongLong()));
    };
    // A sale whose request never arrived (its eligibility did) is undone all the same, twice,
    // and its pre-authorisation stays open to be sold.
    ASSERT_TRUE(elegibilidade(test::kCartaoComPre, "VENDA"));
    EXPECT_TRUE(Mensagem_Anulacao(ctx));
    EXPECT_TRUE(Mensagem_Anulacao(ctx));
    venda = vende0004();
    ASSERT_FALSE(venda.isEmpty());
    confere("PENDENTE", true);
    // To another terminal, or to the same terminal code in another establishment, the sale's
    // NSU is unknown: it can neither undo, confirm nor cancel it.
    const EstruturaPrincipal proprio = ctx.config;
    for (const auto& [estab, terminal] : {std::pair{proprio.ESTAB_CODE, QStringLiteral("OUTRO001")},
                                          {QStringLiteral("000000000099999"), proprio.Terminal}}) {
        ctx.config.ESTAB_CODE = estab;
        ctx.config.Terminal = terminal;
        t.boxes.clear();
        EXPECT_FALSE(Mensagem_Anulacao(ctx) || Mensagem_Confirmacao(ctx) ||
                     Mensagem_Cancelamento(ctx, true));
        EXPECT_EQ(t.boxes.texts(), QStringList(3, QStringLiteral("TRANSACAO NAO ENCONTRADA")));
    }
    ctx.config = proprio;
    t.boxes.clear();
    ASSERT_TRUE(Mensagem_Confirmacao(ctx));
    confere("CONFIRMADA", false);
    EXPECT_TRUE(Mensagem_Confirmacao(ctx));  // a repeated confirmation is harmless
    ASSERT_TRUE(Mensagem_Anulacao(ctx));
    EXPECT_TRUE(Mensagem_Anulacao(ctx));  // a repeated undo is harmless
    confere("", false);                   // the undone sale leaves the lot and its totals
    EXPECT_TRUE(t.boxes.empty()) << t.boxes.texts().join(" | ").toStdString();
    EXPECT_FALSE(Mensagem_Confirmacao(ctx));  // an undone sale cannot be confirmed
    EXPECT_EQ(t.boxes.texts(), QStringList{"TRANSACAO JA DESFEITA"});
    EXPECT_FALSE(vende0004().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Formas, HostEndToEnd, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return info.param ? std::string("Iso") : std::string("Texto");
                         });

}  // namespace
}  // namespace ql
