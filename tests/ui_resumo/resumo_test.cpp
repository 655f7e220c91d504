// The sales, product and financial summaries over the demo store: a sale of the stored
// pre-authorisation of card 6062820000000004 makes the simulated host write the journals the
// screens read.
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

    Resumos() {
        ctx.ident.CodigoOperadora = kOperadora;
        loja.janela->activateWindow();
        test::esperaAte([&] { return loja.janela->isActiveWindow(); }, 1000);
    }

    // Sells and confirms the card's stored pre-authorisation; the sale's NSU.
    QString vende() {
        ctx.ident.OperadoraSelecionada = 1;
        ctx.ident.NomeOperadora = QStringLiteral("QUILLANE SAUDE");
        ctx.ident.NumeroCartao = QStringLiteral("6062820000000004");
        ctx.TelaAtual = QStringLiteral("VENDA");
        if (!Mensagem_ElegPortador(ctx, 0)) return {};
        GradeAutorizacao grade;
        grade.configura(QString(), QString(), true);
        if (!Recupera_Pre(ctx, grade, 0)) return {};
        CarregaItemVenda_Grid(ctx, grade);
        if (!Mensagem_GeracaoPre(ctx, grade, QStringLiteral("778899"))) return {};
        const QString nsu = ctx.transacao.NsuTransacao;
        if (!Mensagem_Confirmacao(ctx)) return {};
        ctx.ident.CodigoOperadora = kOperadora;
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
    QString texto(QWidget* t, const char* controle) {
        auto* l = t->findChild<QLabel*>(QString::fromLatin1(controle));
        return l ? l->text() : QStringLiteral("<none>");
    }
    void tecla(QWidget* t, Qt::Key k) {
        QTest::keyClick(t->findChild<QTableView*>(), k);
        QCoreApplication::processEvents();
    }
    QString servidor() const { return ctx.config.PathServer; }
};

TEST_F(Resumos, SalesSummaryLoadsTheLotAndOpensItsScreens) {
    ASSERT_FALSE(vende().isEmpty()) << caixas.texts().join(" | ").toStdString();
    caixas.clear();
    AbreFormResumo(*loja.janela);
    auto* resumo = tela<FormResumo>("FormResumo");
    ASSERT_NE(resumo, nullptr) << caixas.texts().join(" | ").toStdString();
    EXPECT_TRUE(caixas.empty());
    EXPECT_EQ(ctx.TelaAtual, QStringLiteral("RESUMOVENDA"));
    EXPECT_EQ(loja.janela->windowTitle(),
              QStringLiteral("Quillane Client      Tela 0003 - Resumo de Autorizações    "
                             "05/12/2026 10:00:00"));
    EXPECT_TRUE(loja.janela->mnuImprimir()->isEnabled());
    EXPECT_EQ(texto(resumo, "lblAdministradora"), kOperadora);
    EXPECT_TRUE(texto(resumo, "lblCodigoEstab").startsWith(QLatin1String("Estab. ")));
    EXPECT_EQ(texto(resumo, "lblNomeEstab"), QStringLiteral("FARMACIA QUILLANE CENTRO"));
    EXPECT_FALSE(texto(resumo, "lblsubtitulo").isEmpty());
    EXPECT_EQ(resumo->cmdTransacoesLote()->text(), QStringLiteral("F8 - &Transações do Lote"));
    EXPECT_TRUE(resumo->cmdProdutosLote()->isEnabled());
    ASSERT_GE(resumo->modelo().rowCount(), 1);
    const QString lote = resumo->modelo().text(0, 0);
    EXPECT_GT(lote.toLongLong(), 0);

    // F5 only shows it is busy; F8 hands the active row's lot to the lot screen.
    tecla(resumo, Qt::Key_F5);
    EXPECT_TRUE(resumo->cmdAtualiza()->isEnabled());
    QStringList lotesPedidos;
    resumo->abreFormNsu = [&](FormPrincipal&, const QString& l) { lotesPedidos << l; };
    ctx.LoteSelecionado.clear();
    tecla(resumo, Qt::Key_F8);
    EXPECT_EQ(lotesPedidos, QStringList{lote});
    EXPECT_EQ(ctx.LoteSelecionado, lote);
    EXPECT_TRUE(resumo->cmdTransacoesLote()->isEnabled());
    // A disabled command's key does nothing.
    resumo->cmdTransacoesLote()->setEnabled(false);
    tecla(resumo, Qt::Key_F8);
    EXPECT_EQ(lotesPedidos.size(), 1);

    // F9: the products of the lot, the three products of the sale, without cancellation.
    tecla(resumo, Qt::Key_F9);
    auto* produtos = tela<FormResumoProdutos>("FormResumoProdutos");
    ASSERT_NE(produtos, nullptr) << caixas.texts().join(" | ").toStdString();
    EXPECT_EQ(ctx.TelaAtual, QStringLiteral("PRODUTOSDOLOTE"));
    EXPECT_EQ(produtos->modo(), ModoResumoProdutos::Lote);
    EXPECT_EQ(produtos->modelo().rowCount(), 3);
    EXPECT_TRUE(produtos->cmdCancelaItem()->isHidden());
    EXPECT_EQ(loja.janela->windowTitle(),
              QStringLiteral("Quillane Client      Tela 0006 - Resumo Produtos da Transação   "
                             "05/12/2026 10:00:00"));
    int dialogos = 0;
    produtos->executaFrmCancelaProdutos = [&](FormPrincipal&) { ++dialogos; };
    produtos->grade()->selectRow(0);
    tecla(produtos, Qt::Key_F6);
    tecla(produtos, Qt::Key_Return);
    EXPECT_EQ(dialogos, 0);
    EXPECT_TRUE(caixas.empty());

    // Esc leaves the product list; the sales summary is current again.
    tecla(produtos, Qt::Key_Escape);
    EXPECT_TRUE(fechada("FormResumoProdutos"));
    EXPECT_EQ(ctx.TelaAtual, QStringLiteral("RESUMOVENDA"));

    // F11 prints the lots; not while the screen's own print command is unavailable.
    tecla(resumo, Qt::Key_F11);
    ASSERT_EQ(caixas.shown().size(), 1u);
    EXPECT_EQ(caixas.last().text, QStringLiteral("Impressão efetuada!"));
    EXPECT_TRUE(QFileInfo(UltimoArquivoImpresso(ctx)).fileName().startsWith("FormResumo"));
    resumo->cmdImprimir()->setEnabled(false);
    tecla(resumo, Qt::Key_F11);
    EXPECT_EQ(caixas.shown().size(), 1u);
    caixas.clear();

    // F12 belongs to the main window's "Retornar" here: it leaves the summary, no question.
    tecla(resumo, Qt::Key_F12);
    EXPECT_TRUE(fechada("FormResumo"));
    EXPECT_EQ(loja.janela->windowTitle(), QStringLiteral("Quillane Client"));
    EXPECT_FALSE(loja.janela->mnuImprimir()->isEnabled());
    EXPECT_TRUE(caixas.empty()) << caixas.texts().join(" | ").toStdString();
}

TEST_F(Resumos, TransactionProductsHandOneSelectedItemToTheCancellation) {
    const QString nsu = vende();
    ASSERT_FALSE(nsu.isEmpty()) << caixas.texts().join(" | ").toStdString();
    caixas.clear();
    ctx.transacao.NsuTransacao = nsu;
    ctx.TelaAtual = QStringLiteral("PRODUTOSDATRANSACAO");
    AbreFormResumoProdutos(*loja.janela, QString());
    auto* produtos = tela<FormResumoProdutos>("FormResumoProdutos");
    ASSERT_NE(produtos, nullptr) << caixas.texts().join(" | ").toStdString();
    EXPECT_EQ(produtos->modo(), ModoResumoProdutos::Transacao);
    EXPECT_FALSE(produtos->cmdCancelaItem()->isHidden());
    EXPECT_EQ(produtos->cmdCancelaItem()->text(), QStringLiteral("F6 - &Cancela Itens"));
    ASSERT_EQ(produtos->modelo().rowCount(), 3);

    int dialogos = 0;
    produtos->executaFrmCancelaProdutos = [&](FormPrincipal&) {
        ++dialogos;
        // The dialog runs with the command still unavailable.
        EXPECT_FALSE(produtos->cmdCancelaItem()->isEnabled());
    };
    QItemSelectionModel* selecao = produtos->grade()->selectionModel();
    auto seleciona = [&](const QList<int>& linhas) {
        selecao->clearSelection();
        for (int l : linhas) {
            selecao->select(produtos->modelo().index(l, 0),
                            QItemSelectionModel::Select | QItemSelectionModel::Rows);
        }
    };
    const struct {
        QList<int> linhas;
        Qt::Key tecla;
        int dialogos;
        int itens;
    } casos[] = {
        {{1}, Qt::Key_F6, 1, 1},
        {{0, 2}, Qt::Key_F6, 0, 2},
        {{2}, Qt::Key_Return, 1, 1},
        {{}, Qt::Key_F6, 0, 0},
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(c.linhas.size());
        dialogos = 0;
        seleciona(c.linhas);
        tecla(produtos, c.tecla);
        EXPECT_EQ(dialogos, c.dialogos);
        EXPECT_EQ(ctx.itensVenda.count, c.itens);
        EXPECT_TRUE(produtos->cmdCancelaItem()->isEnabled());
    }
    EXPECT_TRUE(caixas.empty()) << caixas.texts().join(" | ").toStdString();

    // Leaving returns to the sales summary's name, whoever opened the list.
    produtos->ExecutaBotaoEncerrar();
    EXPECT_TRUE(fechada("FormResumoProdutos"));
    EXPECT_EQ(ctx.TelaAtual, QStringLiteral("RESUMOVENDA"));
}

TEST_F(Resumos, FinancialSummaryPrintsAndAsksBeforeEnding) {
    ASSERT_FALSE(vende().isEmpty()) << caixas.texts().join(" | ").toStdString();
    caixas.clear();
    AbreFormResumoFinanceiro(*loja.janela);
    auto* financeiro = tela<FormResumoFinanceiro>("FormResumoFinanceiro");
    ASSERT_NE(financeiro, nullptr) << caixas.texts().join(" | ").toStdString();
    EXPECT_EQ(ctx.TelaAtual, QStringLiteral("RESUMOFINANCEIRO"));
    EXPECT_GE(financeiro->modelo().rowCount(), 1);
    EXPECT_EQ(loja.janela->windowTitle(),
              QStringLiteral("Quillane Client      Tela 0003 - Resumo Financeiro    "
                             "05/12/2026 10:00:00"));

    // F11 reaches the screen through the main window and prints into the prints folder.
    tecla(financeiro, Qt::Key_F11);
    ASSERT_EQ(caixas.shown().size(), 1u);
    EXPECT_EQ(caixas.last().text, QStringLiteral("Impressão efetuada!"));
    EXPECT_EQ(caixas.last().title, QStringLiteral("Atenção"));
    EXPECT_EQ(caixas.last().icon, Icon::Information);
    const QFileInfo pdf(UltimoArquivoImpresso(ctx));
    EXPECT_TRUE(pdf.exists());
    EXPECT_GT(pdf.size(), 0);
    EXPECT_EQ(pdf.dir().dirName(), QStringLiteral("prints"));
    EXPECT_TRUE(financeiro->cmdImprimir()->isEnabled());

    // The main window's F12 has nothing to do here; the screen's own F12 asks to end.
    caixas.clear();
    loja.janela->mnuEncerrar()->trigger();
    EXPECT_NE(tela<QWidget>("FormResumoFinanceiro"), nullptr);
    EXPECT_TRUE(caixas.empty());
    caixas.answerNext(MessageBoxes::Answer::No);
    tecla(financeiro, Qt::Key_F12);
    ASSERT_EQ(caixas.shown().size(), 1u);
    EXPECT_EQ(caixas.last().text, QStringLiteral("Confirma a Saída do Sistema"));
    EXPECT_EQ(caixas.last().icon, Icon::Critical);
    EXPECT_EQ(caixas.last().defaultButton, MessageBoxes::Answer::No);
    EXPECT_FALSE(loja.eventos.contains(QStringLiteral("fim")));
    caixas.answerNext(MessageBoxes::Answer::Yes);
    tecla(financeiro, Qt::Key_F12);
    EXPECT_TRUE(loja.eventos.contains(QStringLiteral("fim")));

    tecla(financeiro, Qt::Key_Escape);
    EXPECT_TRUE(fechada("FormResumoFinanceiro"));
    EXPECT_FALSE(loja.janela->mnuImprimir()->isEnabled());
}

// The journal each screen reads, missing, corrupt or without rows: the message of the load,
// and the screen gone with the main window's title and print command back.
TEST_F(Resumos, ScreensCloseThemselvesWhenTheJournalCannotBeShown) {
    const QString vendas = journalBaseName(JournalKind::ResumoVendas, 1, kOperadora);
    const QString financeiro = journalBaseName(JournalKind::ResumoFinanceiro, 1, kOperadora);
    const QString produtos = journalBaseName(JournalKind::ProdutosLote, 1, kOperadora, 45);
    enum class Estado { Falta, Corrompido, Vazio };
    const struct {
        const char* tela;
        QString base;
        Estado estado;
        std::function<void()> abre;
    } casos[] = {
        {"FormResumo", vendas, Estado::Falta, [&] { AbreFormResumo(*loja.janela); }},
        {"FormResumo", vendas, Estado::Corrompido, [&] { AbreFormResumo(*loja.janela); }},
        {"FormResumo", vendas, Estado::Vazio, [&] { AbreFormResumo(*loja.janela); }},
        {"FormResumoFinanceiro", financeiro, Estado::Corrompido,
         [&] { AbreFormResumoFinanceiro(*loja.janela); }},
        {"FormResumoProdutos", produtos, Estado::Falta,
         [&] {
             ctx.TelaAtual = QStringLiteral("PRODUTOSDOLOTE");
             AbreFormResumoProdutos(*loja.janela, QStringLiteral("45"));
         }},
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(std::string(c.tela) + " " + std::to_string(int(c.estado)));
        QDir dir(servidor());
        for (const QString& f : dir.entryList({c.base + QStringLiteral("??")}, QDir::Files))
            dir.remove(f);
        QString arquivo;
        if (c.estado != Estado::Falta) {
            JournalTable tabela;
            tabela.title = QStringLiteral("Titulo");
            tabela.columns = {{QStringLiteral("Lote"), QLatin1Char('N')}};
            if (c.estado == Estado::Corrompido) tabela.rows = {{QStringLiteral("45")}};
            ASSERT_TRUE(writeJournal(servidor(), c.base, tabela, nullptr, &arquivo));
        }
        if (c.estado == Estado::Corrompido) {
            // The contents no longer match the checksum in the name.
            QFile f(arquivo);
            ASSERT_TRUE(f.open(QIODevice::Append));
            f.write("A1\r\n");
        }
        caixas.clear();
        loja.janela->SetaCaption(QStringLiteral("antes"));
        loja.janela->setImprimirDisponivel(false);
        c.abre();
        EXPECT_TRUE(fechada(c.tela));
        ASSERT_EQ(caixas.shown().size(), 1u) << caixas.texts().join(" | ").toStdString();
        const auto& m = caixas.last();
        EXPECT_EQ(m.title, QStringLiteral("Atenção"));
        switch (c.estado) {
            case Estado::Falta:
                EXPECT_EQ(m.text, QStringLiteral("Não existem registros a serem exibidos! "
                                                 "Arquivo ") +
                                      c.base + QStringLiteral("?? não foi encontrado."));
                EXPECT_EQ(m.icon, Icon::Information);
                break;
            case Estado::Corrompido:
                EXPECT_TRUE(m.text.startsWith(QLatin1String("Arquivo ")));
                EXPECT_TRUE(m.text.endsWith(QFileInfo(arquivo).fileName() +
                                            QStringLiteral(" corrompido ! Contatar o suporte !")));
                EXPECT_EQ(m.icon, Icon::Critical);
                break;
            case Estado::Vazio:
                EXPECT_EQ(m.text, QStringLiteral("Não existem registros a serem exibidos!"));
                EXPECT_EQ(m.icon, Icon::Information);
                break;
        }
        if (QLatin1String(c.tela) == QLatin1String("FormResumoProdutos")) {
            // The sales summary beneath stays the current screen.
            EXPECT_EQ(ctx.TelaAtual, QStringLiteral("RESUMOVENDA"));
        } else {
            EXPECT_EQ(loja.janela->windowTitle(), QStringLiteral("Quillane Client"));
            EXPECT_FALSE(loja.janela->mnuImprimir()->isEnabled());
        }
    }
}

}  // namespace
}  // namespace ql
