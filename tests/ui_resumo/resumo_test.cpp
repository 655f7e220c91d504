// What the summary and transaction-list screens add to the journal logic of tests/admin, over
// the demo store: a sale makes the simulated host write the journals the screens read.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTableView>

#include "admin/journal_writer.h"
#include "admin/screens/form_consulta.h"
#include "admin/screens/form_nsu.h"
#include "admin/screens/form_resumo.h"
#include "admin/screens/form_resumo_financeiro.h"
#include "admin/screens/form_resumo_produtos.h"
#include "support/ui/loja_demo.h"
#include "support/venda_demo.h"
#include "ui/impressao.h"
#include "ui/telas.h"

namespace ql {
namespace {

using test::achaTela;
using test::Passo;
using test::tecla;
using Answer = MessageBoxes::Answer;
const QString kOperadora = QStringLiteral("00000123");

QString impresso(Context& ctx) {
    return QFileInfo(UltimoArquivoImpresso(ctx)).fileName();
}

// The demo store after card 0004's confirmed sale, with the screen `Abre` opens. The item
// cancellation dialog is counted and left, or cancels one unit when `cancelaUm` says so; its
// receipt is confirmed.
template <void (*Abre)(FormPrincipal&), const char* Nome>
struct Aberta : test::LojaAdministrativa {
    int dialogos = 0;
    bool cancelaUm = false;
    QStringList anotadas;  // the messages of the item cancellation
    test::SempreQueModal item{
        "frmCancelaProdutos", [this](QWidget* w) {
            ++dialogos;
            EXPECT_FALSE(test::controle(tela, "cmdCancelaItem")->isEnabled());  // while it runs
            if (!cancelaUm) return test::recusa(w);
            qobject_cast<QLineEdit*>(test::controle(w, "txtQuantidade"))->clear();
            test::digitaEm(test::controle(w, "txtQuantidade"), QStringLiteral("1"), Qt::Key_F3);
            anotadas = caixas.texts();
            caixas.clear();
        }};

    Aberta() {
        EXPECT_FALSE(test::VendePreAutorizacao0004(ctx, QStringLiteral("778899"), true).isEmpty());
        Abre(*loja.janela);
        tela = achaTela(QLatin1String(Nome));
        EXPECT_TRUE(tela) << caixas.texts().join(" | ").toStdString();
    }
};

constexpr char kResumo[] = "FormResumo", kProdutos[] = "FormResumoProdutos",
               kFinanceiro[] = "FormResumoFinanceiro";
void abreProdutosDaTransacao(FormPrincipal& j) {
    j.contexto().TelaAtual = QStringLiteral("PRODUTOSDATRANSACAO");
    AbreFormResumoProdutos(j, QString());
}

TEST(ResumoCenas, LotesProdutosImpressaoESaida) {
    using P = Aberta<AbreFormResumo, kResumo>;
    test::encena<P>({
        {.nome = "Opens under its name and title for the operadora chosen; print available; F5 "
                 "only shows it is busy",
         .passos = {tecla(Qt::Key_F5, "spdLote")},
         .comandos = {"cmdAtualiza"},
         .confere =
             [](P& p) {
                 EXPECT_EQ(p.ctx.TelaAtual, u"RESUMOVENDA");
                 EXPECT_EQ(p.loja.janela->windowTitle(),
                           u"Quillane Client      Tela 0003 - Resumo de Autorizações    "
                           u"05/12/2026 10:00:00");
                 EXPECT_TRUE(p.loja.janela->mnuImprimir()->isEnabled());
                 EXPECT_EQ(achaTela<QLabel>("lblAdministradora")->text(), kOperadora);
             }},
        {.nome = "F8 opens the active row's lot",
         .passos = {tecla(Qt::Key_F8, "spdLote")},
         .confere =
             [](P& p) {
                 EXPECT_TRUE(achaTela("FormNsu"));
                 EXPECT_EQ(p.ctx.LoteSelecionado,
                           qobject_cast<TelaJournal*>(p.tela.data())->modelo().text(0, 0));
             }},
        {.nome = "F9: the lot's products without cancellation: F6 and Enter open nothing; Esc "
                 "goes back to the summary's name",
         .passos = {tecla(Qt::Key_F9, "spdLote"),
                    {[](QWidget*) {
                        auto* p = achaTela<FormResumoProdutos>("FormResumoProdutos");
                        ASSERT_TRUE(p);
                        p->grade()->selectRow(0);
                    }},
                    tecla(Qt::Key_F6, "spdProdutos"),
                    tecla(Qt::Key_Return, "spdProdutos"),
                    tecla(Qt::Key_Escape, "spdProdutos")},
         .comandos = {"!cmdCancelaItem"},
         .confere =
             [](P& p) {
                 EXPECT_EQ(p.dialogos, 0);
                 EXPECT_TRUE(test::telaFechada("FormResumoProdutos"));
                 EXPECT_EQ(p.ctx.TelaAtual, u"RESUMOVENDA");
             }},
        {.nome = "F11 prints the lots, not while the print command is unavailable",
         .passos = {tecla(Qt::Key_F11, "spdLote"),
                    {[](QWidget* t) { test::controle(t, "cmdImprimir")->setEnabled(false); }},
                    tecla(Qt::Key_F11, "spdLote")},
         .caixas = {"Impressão efetuada!"},
         .confere = [](P& p) { EXPECT_TRUE(impresso(p.ctx).startsWith("FormResumo")); }},
        {.nome = "F11 on a printer that is not there says why nothing was printed",
         .prepara = [](P& p) { p.ctx.config.PRINTER = QStringLiteral("IMPRESSORA_AUSENTE"); },
         .passos = {tecla(Qt::Key_F11, "spdLote")},
         .caixas = {"Impressão não efetuada: A impressora IMPRESSORA_AUSENTE não foi encontrada."}},
        {.nome = "F12 is the main window's return here: it leaves, no question",
         .passos = {tecla(Qt::Key_F12, "spdLote")},
         .confere =
             [](P& p) {
                 EXPECT_TRUE(test::telaFechada("FormResumo"));
                 EXPECT_EQ(p.loja.janela->windowTitle(), QStringLiteral("Quillane Client"));
                 EXPECT_FALSE(p.loja.janela->mnuImprimir()->isEnabled());
             }},
    });
}

Passo seleciona(QList<int> linhas) {
    return {[=](QWidget* t) {
        auto* grade = qobject_cast<QTableView*>(test::controle(t, "spdProdutos"));
        grade->selectionModel()->clearSelection();
        for (int l : linhas)
            grade->selectionModel()->select(
                grade->model()->index(l, 0),
                QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }};
}

TEST(ProdutosCenas, CancelamentoDeUmItemSelecionado) {
    using P = Aberta<abreProdutosDaTransacao, kProdutos>;
    // F6 and Enter ask for the dialog, which opens for one selected row only.
    const auto pede = [](const char* nome, QList<int> linhas, Qt::Key k, int dialogos) {
        return test::Cena<P>{.nome = nome,
                             .passos = {seleciona(linhas), tecla(k, "spdProdutos")},
                             .comandos = {"cmdCancelaItem"},
                             .confere = [=](P& p) { EXPECT_EQ(p.dialogos, dialogos); }};
    };
    test::encena<P>({
        pede("F6 with two rows selected", {0, 2}, Qt::Key_F6, 0),
        pede("Enter with one row selected", {2}, Qt::Key_Return, 1),
        {.nome = "F6 with one row selected: one unit cancelled under the host's number",
         .prepara = [](P& p) { p.cancelaUm = true; },
         .passos = {seleciona({0}), tecla(Qt::Key_F6, "spdProdutos")},
         .confere =
             [](P& p) {
                 EXPECT_TRUE(p.anotadas.value(0).startsWith(u"Número da autorização: "))
                     << p.anotadas.join('|').toStdString();
             }},
    });
}

TEST(FinanceiroCenas, PerguntaAntesDeEncerrar) {
    using P = Aberta<AbreFormResumoFinanceiro, kFinanceiro>;
    test::encena<P>({
        {.nome = "The main window's F12 has nothing to do here; the screen's own asks to end; "
                 "Esc leaves",
         .passos = {test::f12DaJanela(),
                    {[](QWidget*) { EXPECT_NE(achaTela("FormResumoFinanceiro"), nullptr); }},
                    tecla(Qt::Key_F12, "spdLote"),
                    tecla(Qt::Key_Escape, "spdLote")},
         .caixas = {"Confirma a Saída do Sistema"},
         .respostas = {Answer::No},
         .confere =
             [](P& p) {
                 EXPECT_FALSE(p.loja.eventos.contains(QStringLiteral("fim")));
                 EXPECT_TRUE(test::telaFechada("FormResumoFinanceiro"));
                 EXPECT_FALSE(p.loja.janela->mnuImprimir()->isEnabled());
             }},
    });
}

// A journal screen that cannot show its list closes itself at once, one message said; the
// current screen name stays what the loading (or the opener) set.
TEST(TelasSemJournal, Fecham) {
    test::LojaDemo loja;
    Context& ctx = loja.ctx();
    ctx.ident.CodigoOperadora = kOperadora;
    QDir dir(ctx.config.PathServer);
    for (const QString& f : dir.entryList({"SS*", "FS*", "PS*", "TS*"}, QDir::Files)) dir.remove(f);
    JournalTable vazia;  // a header and no rows
    vazia.columns = {{QStringLiteral("Lote"), QLatin1Char('N')}};
    ASSERT_TRUE(writeJournal(ctx.config.PathServer, "SS" + kOperadora + ".S", vazia));
    for (const QString& nome : {"FS" + kOperadora + ".S00", "TS" + kOperadora + "-000007.S00"}) {
        QFile corrompido(dir.filePath(nome));
        ASSERT_TRUE(corrompido.open(QIODevice::WriteOnly));
        corrompido.write("1\r\nALote\r\n\r\n1\r\nA7\r\n");  // its checksum is not 00
    }
    const std::tuple<const char*, std::function<void()>, const char*> casos[] = {
        {"FormResumo", [&] { AbreFormResumo(*loja.janela); }, "RESUMOVENDA"},
        {"FormResumoFinanceiro", [&] { AbreFormResumoFinanceiro(*loja.janela); },
         "RESUMOFINANCEIRO"},
        {"FormResumoProdutos",  // no such file
         [&] {
             ctx.TelaAtual = QStringLiteral("PRODUTOSDOLOTE");
             AbreFormResumoProdutos(*loja.janela, QStringLiteral("45"));
         },
         "PRODUTOSDOLOTE"},
        {"FormConsulta", [&] { AbreFormConsulta(*loja.janela); }, "TRANSACOESPENDENTES"},
        {"FormNsu", [&] { AbreFormNsu(*loja.janela, QStringLiteral("7")); }, "TRANSACOESDOLOTE"},
    };
    for (const auto& [nome, abre, telaAtual] : casos) {
        SCOPED_TRACE(nome);
        loja.caixas().clear();
        abre();
        EXPECT_TRUE(test::telaFechada(QLatin1String(nome)));
        EXPECT_EQ(loja.caixas().shown().size(), 1u)
            << loja.caixas().texts().join('|').toStdString();
        EXPECT_EQ(ctx.TelaAtual, QLatin1String(telaAtual));
    }
}

}  // namespace
}  // namespace ql
