#include "admin/screens/form_resumo.h"

#include <QLabel>
#include <QPushButton>
#include <QTableView>

#include "admin/resumos.h"
#include "shell/context.h"
#include "shell/error_trap.h"
#include "shell/screens/form_principal.h"
#include "ui/busy_cursor.h"
#include "ui/key_filters.h"
#include "ui/telas.h"

namespace ql {

namespace {

const QString kTitulo =
    QStringLiteral("Quillane Client      Tela 0003 - Resumo de Autorizações    ");
const QString kTelaAtual = QStringLiteral("RESUMOVENDA");

}  // namespace

FormResumo::FormResumo(FormPrincipal& principal, QWidget* parent)
    : TelaJournal(principal, QStringLiteral("FormResumo"),
                  QStringLiteral("Tela 0003 - Resumo de Autorizações"), QStringLiteral("spdLote"),
                  QStringLiteral("lblsubtitulo"), parent),
      abreFormNsu(AbreFormNsu),
      abreFormResumoProdutos(AbreFormResumoProdutos) {
    cmdAtualiza_ = criaBotao(QStringLiteral("cmdAtualiza"), QStringLiteral("F5 - &Atualiza Lotes"));
    cmdTransacoesLote_ =
        criaBotao(QStringLiteral("cmdTransacoesLote"), QStringLiteral("F8 - &Transações do Lote"));
    cmdProdutosLote_ =
        criaBotao(QStringLiteral("cmdProdutosLote"), QStringLiteral("F9 - &Produtos do Lote"));
    cmdCancel_ = criaBotaoRetorno(QStringLiteral("cmdCancel"));
    connect(cmdAtualiza_, &QPushButton::clicked, this, [this] { cmdAtualiza_Click(); });
    connect(cmdTransacoesLote_, &QPushButton::clicked, this, [this] { cmdTransacoesLote_Click(); });
    connect(cmdProdutosLote_, &QPushButton::clicked, this, [this] { cmdProdutosLote_Click(); });
    connect(cmdCancel_, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });
    InstalaTeclasFuncao(this, {{Qt::Key_F5, cmdAtualiza_},
                               {Qt::Key_F8, cmdTransacoesLote_},
                               {Qt::Key_F9, cmdProdutosLote_},
                               {Qt::Key_Escape, cmdCancel_}});

    runTrapped(ctx_, "Form_Load", 0, [&] {
        ctx_.TelaAtual = kTelaAtual;
        passosComuns(kTitulo);
        const LayoutFormResumo& layout = ctx_.telas.FormResumo[ctx_.TipoEstab];
        subtitulo()->setText(layout.lblLotesDias.caption.trimmed());
        cmdTransacoesLote_->setEnabled(layout.cmdTransacoesLote_caption.enabled);
        aplicaLegenda(cmdTransacoesLote_, layout.cmdTransacoesLote_caption.caption);
        cmdProdutosLote_->setEnabled(layout.cmdProdutosLote_caption.enabled);
        aplicaLegenda(cmdProdutosLote_, layout.cmdProdutosLote_caption.caption);
        carrega(PadraoResumoVendas(ctx_));
        return 0;
    });

    principal.registraTela(QStringLiteral("FormResumo"), this,
                           {[this] { ExecutaBotaoEncerrar(); },
                            [this] {
                                if (cmdImprimir()->isEnabled()) cmdImprimir_Click();
                            }});
}

void FormResumo::CarregaDadosLote() {
    runTrapped(ctx_, "CarregaDadosLote", 0, [&] {
        const QModelIndex ativa = grade()->currentIndex();
        ql::CarregaDadosLote(ctx_, modelo(), ativa.isValid() ? ativa.row() : 0);
        return 0;
    });
}

void FormResumo::cmdAtualiza_Click() {
    // The journal is refreshed by its writer; the lots shown are those read on opening.
    BusyCursor ocupado(cmdAtualiza_);
}

void FormResumo::cmdTransacoesLote_Click() {
    runTrapped(ctx_, "cmdTransacoesLote_Click", 0, [&] {
        {
            BusyCursor ocupado(cmdTransacoesLote_);
            CarregaDadosLote();
        }
        if (abreFormNsu) abreFormNsu(principal_, ctx_.LoteSelecionado);
        return 0;
    });
}

void FormResumo::cmdProdutosLote_Click() {
    runTrapped(ctx_, "cmdProdutosLote_Click", 0, [&] {
        {
            BusyCursor ocupado(cmdProdutosLote_);
            CarregaDadosLote();
        }
        ctx_.TelaAtual = QStringLiteral("PRODUTOSDOLOTE");
        if (abreFormResumoProdutos) abreFormResumoProdutos(principal_, ctx_.LoteSelecionado);
        return 0;
    });
}

void FormResumo::cmdCancel_Click() {
    fecha();
}

void FormResumo::aoFechar() {
    principal_.SetaCaption(QString());
    principal_.setImprimirDisponivel(false);
}

void FormResumo::aoReativar() {
    ctx_.TelaAtual = kTelaAtual;
}

void AbreFormResumo(FormPrincipal& principal) {
    TelaJournal::abre(principal, new FormResumo(principal));
}

}  // namespace ql
