#pragma once

#include <functional>

#include "admin/screens/tela_journal.h"

class QPushButton;

namespace ql {

// The sales summary, "Tela 0003 - Resumo de Autorizações": one row per lot of the operadora
// chosen in the administrative menu. From the active row it opens the transactions of the lot
// (F8) or the products of the lot (F9).
class FormResumo final : public TelaJournal {
    Q_OBJECT
  public:
    explicit FormResumo(FormPrincipal& principal, QWidget* parent = nullptr);

    // CarregaDadosLote: the active row's lot (column 1) becomes ctx.LoteSelecionado; with no
    // rows the previous lot stays.
    void CarregaDadosLote();

    void cmdAtualiza_Click();
    void cmdTransacoesLote_Click();
    void cmdProdutosLote_Click();
    void cmdCancel_Click();
    // F12 of the main window: what Esc does.
    void ExecutaBotaoEncerrar() { cmdCancel_Click(); }

    QPushButton* cmdAtualiza() const { return cmdAtualiza_; }
    QPushButton* cmdTransacoesLote() const { return cmdTransacoesLote_; }
    QPushButton* cmdProdutosLote() const { return cmdProdutosLote_; }
    QPushButton* cmdCancel() const { return cmdCancel_; }

    // How the lot screens are opened (the screens' own functions by default).
    std::function<void(FormPrincipal&, const QString&)> abreFormNsu;
    std::function<void(FormPrincipal&, const QString&)> abreFormResumoProdutos;

  private:
    QPushButton* cmdAtualiza_ = nullptr;
    QPushButton* cmdTransacoesLote_ = nullptr;
    QPushButton* cmdProdutosLote_ = nullptr;
    QPushButton* cmdCancel_ = nullptr;
};

}  // namespace ql
