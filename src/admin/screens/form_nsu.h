#pragma once

#include <array>

#include "admin/screens/tela_journal.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace ql {

// Transactions of a lot (Tela 0005): the lot chosen on the sales summary, read from its
// journal, with the four totals, the print, the total cancellation of the selected transaction
// and the hand-over to the transaction's products for a partial cancellation. Opened inside the
// main window by AbreFormNsu; a lot that cannot be shown leaves the main window as it found it.
class FormNsu final : public TelaJournal {
    Q_OBJECT
  public:
    static constexpr const char* kNomeTela = "TRANSACOESDOLOTE";

    FormNsu(FormPrincipal& principal, const QString& lote, QWidget* parent = nullptr);

    void cmdCanceltotal_Click();
    void cmdCancelParcial_Click();
    void cmdSair_Click();
    // F12 of the main window: the same as cmdSair.
    void ExecutaBotaoEncerrar() { cmdSair_Click(); }

    // The lot of the last selected transaction (column 1).
    const QString& loteSelecionado() const { return loteSelecionado_; }
    // The title the grid is printed with: the four totals with their captions.
    QString tituloImpressao() const override;

  protected:
    void aoFechar() override;

  private:
    void criaTotais();
    void MontaTela_FormNsu(const QString& lote);
    void CarregaDadosNSU();

    QString loteSelecionado_;

    // The four totals, in the order net sales, replacement, credit, debit: the caption and the
    // box of each.
    std::array<QLabel*, 4> rotulosTotais_{};
    std::array<QLineEdit*, 4> caixasTotais_{};
    QPushButton* cmdCanceltotal_ = nullptr;
    QPushButton* cmdCancelParcial_ = nullptr;
    QPushButton* cmdSair_ = nullptr;
};

}  // namespace ql
