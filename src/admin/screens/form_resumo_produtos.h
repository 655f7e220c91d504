#pragma once

#include <QList>
#include <functional>

#include "admin/resumos.h"
#include "admin/screens/tela_journal.h"

class QPushButton;

namespace ql {

// The product summary, "Tela 0006 - Resumo Produtos da Transação": the products of the lot
// chosen on the sales summary (ctx.TelaAtual "PRODUTOSDOLOTE") or of transaction
// ctx.transacao.NsuTransacao (opened from the lot transactions). Only the second mode cancels
// items: F6, Enter or a double click on the grid copy the selected rows into ItensVenda and,
// when exactly one was selected, open the item cancellation dialog.
class FormResumoProdutos final : public TelaJournal {
    Q_OBJECT
  public:
    FormResumoProdutos(FormPrincipal& principal, const QString& lote, QWidget* parent = nullptr);

    ModoResumoProdutos modo() const { return modo_; }

    // The grid rows (0-based, ascending) currently selected.
    QList<int> linhasSelecionadas() const;

    void cmdCancelaItem_Click();
    void cmdSair_Click();
    // F12 of the main window: what Esc does.
    void ExecutaBotaoEncerrar() { cmdSair_Click(); }

    QPushButton* cmdCancelaItem() const { return cmdCancelaItem_; }
    QPushButton* cmdSair() const { return cmdSair_; }

    // How the item cancellation dialog is opened (its own function by default).
    std::function<void(FormPrincipal&)> executaFrmCancelaProdutos;

  protected:
    void aoFechar() override;

  private:
    ModoResumoProdutos modo_ = ModoResumoProdutos::Lote;
    QPushButton* cmdCancelaItem_ = nullptr;
    QPushButton* cmdSair_ = nullptr;
};

}  // namespace ql
