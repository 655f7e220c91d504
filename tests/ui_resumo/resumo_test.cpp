// What the summary screens add to the journal logic of tests/admin, over the demo store: a sale
// makes the simulated host write the journals the screens read.
#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPushButton>
#include <QTableView>

#include "admin/journal_names.h"
#include "admin/journal_writer.h"
#include "admin/screens/form_resumo.h"
#include "admin/screens/form_resumo_financeiro.h"
#include "admin/screens/form_resumo_produtos.h"
#include "host/transacoes.h"
#include "sale/grade_autorizacao.h"
#include "sale/transacoes_produtos.h"
#include "support/ui/loja_demo.h"
#include "ui/impressao.h"
#include "ui/telas.h"

namespace ql {
namespace {

using Icon = MessageBoxes::Icon;
const QString kOperadora = QStringLiteral("00000123");

struct Resumos : ::testing::Test {
    test::LojaDemo loja;
    Context& ctx = loja.ctx();
    test::RecordingMessageBoxes& caixas = loja.caixas();

    Resumos() { ctx.ident.CodigoOperadora = kOperadora; }

    // Sells and confirms the card's stored pre-authorisation; the sale's NSU.
    QString vende() {
        ctx.ident.OperadoraSelecionada = 1;
        ctx.ident.NomeOperadora = QStringLiteral("QUILLANE SAUDE");
        ctx.ident.NumeroCartao = QStringLiteral("6062820000000004");
        ctx.TelaAtual = QStringLiteral("VENDA");
        GradeAutorizacao grade;
        grade.configura(QString(), QString(), true);
        if (!Mensagem_ElegPortador(ctx, 0) || !Recupera_Pre(ctx, grade, 0)) return {};
        CarregaItemVenda_Grid(ctx, grade);
        if (!Mensagem_GeracaoPre(ctx, grade, QStringLiteral("778899"))) return {};
        const QString nsu = ctx.transacao.NsuTransacao;
        if (!Mensagem_Confirmacao(ctx)) return {};
        ctx.ident.CodigoOperadora = kOperadora;
        caixas.clear();
        return nsu;
    }
    template <class T>
    T* tela(const char* nome) {
        return test::achaTela<T>(QString::fromLatin1(nome));
    }
    bool fechada(const char* nome) {
        return test::esperaAte([&] {
            // Closed screens are deleted later: let those deletions happen here.
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            return tela<QWidget>(nome) == nullptr;
        });
    }
    void tecla(QWidget* t, Qt::Key k) {
        QTest::keyClick(t->findChild<QTableView*>(), k);
        QCoreApplication::processEvents();
    }
};

TEST_F(Resumos, SalesSummaryHandsTheLotOnAndOpensTheLotProducts) {
    ASSERT_FALSE(vende().isEmpty()) << caixas.texts().join(" | ").toStdString();
    AbreFormResumo(*loja.janela);
    auto* resumo = tela<FormResumo>("FormResumo");
    ASSERT_NE(resumo, nullptr) << caixas.texts().join(" | ").toStdString();
    EXPECT_EQ(ctx.TelaAtual, QStringLiteral("RESUMOVENDA"));
    EXPECT_EQ(loja.janela->windowTitle(),
              QStringLiteral("Quillane Client      Tela 0003 - Resumo de Autorizações    "
                             "05/12/2026 10:00:00"));
    EXPECT_TRUE(loja.janela->mnuImprimir()->isEnabled());
    EXPECT_EQ(resumo->findChild<QLabel*>(QStringLiteral("lblAdministradora"))->text(), kOperadora);
    ASSERT_GE(resumo->modelo().rowCount(), 1);
    const QString lote = resumo->modelo().text(0, 0);

    // F5 only shows it is busy; F8 hands the active row's lot to the lot screen, unless the
    // command is unavailable.
    tecla(resumo, Qt::Key_F5);
    EXPECT_TRUE(resumo->cmdAtualiza()->isEnabled());
    QStringList lotesPedidos;
    resumo->abreFormNsu = [&](FormPrincipal&, const QString& l) { lotesPedidos << l; };
    tecla(resumo, Qt::Key_F8);
    EXPECT_EQ(lotesPedidos, QStringList{lote});
    EXPECT_EQ(ctx.LoteSelecionado, lote);
    resumo->cmdTransacoesLote()->setEnabled(false);
    tecla(resumo, Qt::Key_F8);
    EXPECT_EQ(lotesPedidos.size(), 1);

    // F9: the products of the lot, without cancellation: F6 and Enter open nothing.
    tecla(resumo, Qt::Key_F9);
    auto* produtos = tela<FormResumoProdutos>("FormResumoProdutos");
    ASSERT_NE(produtos, nullptr) << caixas.texts().join(" | ").toStdString();
    EXPECT_EQ(ctx.TelaAtual, QStringLiteral("PRODUTOSDOLOTE"));
    EXPECT_EQ(produtos->modelo().rowCount(), 3);
    EXPECT_TRUE(produtos->cmdCancelaItem()->isHidden());
    int dialogos = 0;
    produtos->executaFrmCancelaProdutos = [&](FormPrincipal&) { ++dialogos; };
    produtos->grade()->selectRow(0);
    tecla(produtos, Qt::Key_F6);
    tecla(produtos, Qt::Key_Return);
    EXPECT_EQ(dialogos, 0);
    tecla(produtos, Qt::Key_Escape);
    EXPECT_TRUE(fechada("FormResumoProdutos"));
    EXPECT_EQ(ctx.TelaAtual, QStringLiteral("RESUMOVENDA"));

    // F11 prints the lots, not while the screen's print command is unavailable.
    tecla(resumo, Qt::Key_F11);
    EXPECT_EQ(caixas.texts(), QStringList{QStringLiteral("Impressão efetuada!")});
    EXPECT_TRUE(QFileInfo(UltimoArquivoImpresso(ctx)).fileName().startsWith("FormResumo"));
    resumo->cmdImprimir()->setEnabled(false);
    tecla(resumo, Qt::Key_F11);
    EXPECT_EQ(caixas.shown().size(), 1u);

    // F12 belongs to the main window's "Retornar" here: it leaves the summary, no question.
    caixas.clear();
    tecla(resumo, Qt::Key_F12);
    EXPECT_TRUE(fechada("FormResumo"));
    EXPECT_EQ(loja.janela->windowTitle(), QStringLiteral("Quillane Client"));
    EXPECT_FALSE(loja.janela->mnuImprimir()->isEnabled());
    EXPECT_TRUE(caixas.empty()) << caixas.texts().join(" | ").toStdString();
}

TEST_F(Resumos, TransactionProductsOpenTheCancellationForOneSelectedItem) {
    ctx.transacao.NsuTransacao = vende();
    ASSERT_FALSE(ctx.transacao.NsuTransacao.isEmpty());
    ctx.TelaAtual = QStringLiteral("PRODUTOSDATRANSACAO");
    AbreFormResumoProdutos(*loja.janela, QString());
    auto* produtos = tela<FormResumoProdutos>("FormResumoProdutos");
    ASSERT_NE(produtos, nullptr) << caixas.texts().join(" | ").toStdString();
    EXPECT_FALSE(produtos->cmdCancelaItem()->isHidden());
    ASSERT_EQ(produtos->modelo().rowCount(), 3);

    int dialogos = 0;
    produtos->executaFrmCancelaProdutos = [&](FormPrincipal&) {
        ++dialogos;
        EXPECT_FALSE(produtos->cmdCancelaItem()->isEnabled());  // unavailable while it runs
    };
    QItemSelectionModel* selecao = produtos->grade()->selectionModel();
    const struct {
        QList<int> linhas;
        Qt::Key tecla;
        int dialogos;
    } casos[] = {{{1}, Qt::Key_F6, 1}, {{0, 2}, Qt::Key_F6, 0}, {{2}, Qt::Key_Return, 1}};
    for (const auto& c : casos) {
        SCOPED_TRACE(c.linhas.size());
        dialogos = 0;
        selecao->clearSelection();
        for (int l : c.linhas)
            selecao->select(produtos->modelo().index(l, 0),
                            QItemSelectionModel::Select | QItemSelectionModel::Rows);
        tecla(produtos, c.tecla);
        EXPECT_EQ(dialogos, c.dialogos);
        EXPECT_EQ(ctx.itensVenda.count, c.linhas.size());
        EXPECT_TRUE(produtos->cmdCancelaItem()->isEnabled());
    }
    EXPECT_TRUE(caixas.empty()) << caixas.texts().join(" | ").toStdString();

    // Leaving returns to the sales summary's name, whoever opened the list.
    produtos->ExecutaBotaoEncerrar();
    EXPECT_TRUE(fechada("FormResumoProdutos"));
    EXPECT_EQ(ctx.TelaAtual, QStringLiteral("RESUMOVENDA"));
}

TEST_F(Resumos, FinancialSummaryPrintsAndItsF12AsksBeforeEnding) {
    ASSERT_FALSE(vende().isEmpty()) << caixas.texts().join(" | ").toStdString();
    AbreFormResumoFinanceiro(*loja.janela);
    auto* financeiro = tela<FormResumoFinanceiro>("FormResumoFinanceiro");
    ASSERT_NE(financeiro, nullptr) << caixas.texts().join(" | ").toStdString();
    EXPECT_EQ(ctx.TelaAtual, QStringLiteral("RESUMOFINANCEIRO"));
    EXPECT_GE(financeiro->modelo().rowCount(), 1);

    tecla(financeiro, Qt::Key_F11);
    EXPECT_EQ(caixas.texts(), QStringList{QStringLiteral("Impressão efetuada!")});
    EXPECT_EQ(caixas.last().icon, Icon::Information);
    EXPECT_TRUE(QFileInfo(UltimoArquivoImpresso(ctx)).fileName().startsWith("FormResumoFin"));

    // The main window's F12 has nothing to do here; the screen's own F12 asks to end.
    caixas.clear();
    loja.janela->mnuEncerrar()->trigger();
    EXPECT_NE(tela<QWidget>("FormResumoFinanceiro"), nullptr);
    caixas.answerNext(MessageBoxes::Answer::No);
    tecla(financeiro, Qt::Key_F12);
    EXPECT_EQ(caixas.texts(), QStringList{QStringLiteral("Confirma a Saída do Sistema")});
    EXPECT_FALSE(loja.eventos.contains(QStringLiteral("fim")));

    tecla(financeiro, Qt::Key_Escape);
    EXPECT_TRUE(fechada("FormResumoFinanceiro"));
    EXPECT_FALSE(loja.janela->mnuImprimir()->isEnabled());
}

// A journal that cannot be shown (missing, corrupt, without rows): the load's one message, and
// the screen gone with the main window's title and print command back.
TEST_F(Resumos, ScreensCloseThemselvesWhenTheJournalCannotBeShown) {
    QDir dir(ctx.config.PathServer);
    for (const QString& f : dir.entryList({"SS*", "FS*", "PS*"}, QDir::Files)) dir.remove(f);
    JournalTable vazia;  // a header and no rows
    vazia.columns = {{QStringLiteral("Lote"), QLatin1Char('N')}};
    ASSERT_TRUE(writeJournal(ctx.config.PathServer, "SS" + kOperadora + ".S", vazia));
    QFile corrompido(dir.filePath("FS" + kOperadora + ".S00"));
    ASSERT_TRUE(corrompido.open(QIODevice::WriteOnly));
    corrompido.write("1\r\nALote\r\n\r\n1\r\nA7\r\n");  // its checksum is not 00
    corrompido.close();
    const std::pair<const char*, std::function<void()>> casos[] = {
        {"FormResumo", [&] { AbreFormResumo(*loja.janela); }},
        {"FormResumoFinanceiro", [&] { AbreFormResumoFinanceiro(*loja.janela); }},
        {"FormResumoProdutos",  // no such file
         [&] {
             ctx.TelaAtual = QStringLiteral("PRODUTOSDOLOTE");
             AbreFormResumoProdutos(*loja.janela, QStringLiteral("45"));
         }}};
    for (const auto& [nome, abre] : casos) {
        SCOPED_TRACE(nome);
        caixas.clear();
        loja.janela->SetaCaption(QStringLiteral("antes"));
        loja.janela->setImprimirDisponivel(false);
        abre();
        EXPECT_TRUE(fechada(nome));
        EXPECT_EQ(caixas.shown().size(), 1u) << caixas.texts().join(" | ").toStdString();
        if (QLatin1String(nome) == QLatin1String("FormResumoProdutos")) {
            EXPECT_EQ(ctx.TelaAtual, QStringLiteral("PRODUTOSDOLOTE"));  // as the opener set it
        } else {
            EXPECT_EQ(loja.janela->windowTitle(), QStringLiteral("Quillane Client"));
            EXPECT_FALSE(loja.janela->mnuImprimir()->isEnabled());
        }
    }
}

}  // namespace
}  // namespace ql
