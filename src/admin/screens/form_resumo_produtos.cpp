#include "admin/screens/form_resumo_produtos.h"

#include <QItemSelectionModel>
#include <QPushButton>
#include <QTableView>

#include <algorithm>

#include "shell/context.h"
#include "shell/error_trap.h"
#include "shell/screens/form_principal.h"
#include "ui/busy_cursor.h"
#include "ui/telas.h"
#include "ui/window_helpers.h"

namespace ql {

namespace {

const QString kTitulo =
    QStringLiteral("Quillane Client      Tela 0006 - Resumo Produtos da Transação   ");

}  // namespace

FormResumoProdutos::FormResumoProdutos(FormPrincipal& principal, const QString& lote,
                                       QWidget* parent)
    : TelaJournal(principal, QStringLiteral("FormResumoProdutos"),
                  QStringLiteral("Tela 0006 - Resumo Produtos da Transação"),
                  QStringLiteral("spdProdutos"), QStringLiteral("lblLote"), parent),
      executaFrmCancelaProdutos(ExecutaFrmCancelaProdutos) {
    cmdCancelaItem_ = criaBotao("cmdCancelaItem", QStringLiteral("F6 - &Cancela Itens"), Qt::Key_F6,
                                [this] { cmdCancelaItem_Click(); });
    cmdSair_ = criaBotaoRetorno(QStringLiteral("cmdSair"), [this] { cmdSair_Click(); });

    // Several products may be chosen at once for a cancellation.
    grade()->setSelectionMode(QAbstractItemView::ExtendedSelection);
    // Enter and a double click on the grid cancel too, while the command is there.
    connect(grade(), &QAbstractItemView::activated, this, [this](const QModelIndex&) {
        if (cmdCancelaItem_->isVisible() && cmdCancelaItem_->isEnabled()) cmdCancelaItem_Click();
    });

    modo_ = ModoProdutos(ctx_.TelaAtual);
    carregaTela(ctx_.TelaAtual, kTitulo, [&] {
        cmdCancelaItem_->setHidden(modo_ == ModoResumoProdutos::Lote);
        carrega(PadraoResumoProdutos(ctx_, modo_, lote));
        AplicaComando(cmdCancelaItem_,
                      ctx_.telas.FormResumoProdutos[ctx_.TipoEstab].cmdCancelaItem_Caption);
    });

    registraComandos([this] { ExecutaBotaoEncerrar(); });
}

QList<int> FormResumoProdutos::linhasSelecionadas() const {
    QList<int> linhas;
    if (const QItemSelectionModel* selecao = grade()->selectionModel()) {
        for (const QModelIndex& i : selecao->selectedRows()) linhas << i.row();
    }
    std::sort(linhas.begin(), linhas.end());
    return linhas;
}

void FormResumoProdutos::cmdCancelaItem_Click() {
    runTrapped(ctx_, "cmdCancelaItem", 0, [&] {
        // The lot mode has no cancellation; the command is hidden there.
        if (modo_ != ModoResumoProdutos::Transacao) return 0;
        bool abreDialogo = false;
        {
            BusyCursor ocupado(cmdCancelaItem_);
            abreDialogo = SelecionaItemCancelamento(ctx_, modelo(), linhasSelecionadas());
        }
        // The dialog waits for the quantity: no hourglass over it.
        if (abreDialogo && executaFrmCancelaProdutos) {
            cmdCancelaItem_->setEnabled(false);
            executaFrmCancelaProdutos(principal_);
            cmdCancelaItem_->setEnabled(true);
        }
        return 0;
    });
}

void FormResumoProdutos::cmdSair_Click() {
    runTrapped(ctx_, "cmdSair", 0, [&] {
        ctx_.TelaAtual = QStringLiteral("RESUMOVENDA");
        fecha();
        return 0;
    });
}

void FormResumoProdutos::aoFechar() {
    // Closing leaves the main window's title, print command and current screen name as they
    // are; only the return command names the sales summary again.
}

void AbreFormResumoProdutos(FormPrincipal& principal, const QString& lote) {
    TelaJournal::abre(principal, new FormResumoProdutos(principal, lote));
}

}  // namespace ql
