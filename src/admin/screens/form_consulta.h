#pragma once

#include "admin/screens/tela_journal.h"

class QPushButton;

namespace ql {

// Pending transactions (Tela 0007): the pending transactions of the administradora chosen in
// the administrative menu, read from its journal, with the confirmation and the undo of the
// selected one and the print of the list. Opened inside the main window by AbreFormConsulta;
// a list that cannot be shown leaves the main window as it found it.
class FormConsulta final : public TelaJournal {
    Q_OBJECT
  public:
    static constexpr const char* kNomeTela = "TRANSACOESPENDENTES";

    explicit FormConsulta(FormPrincipal& principal, QWidget* parent = nullptr);

    void cmdConfirmaTrans_Click();
    void cmdAnulaTrans_Click();
    void cmdCancel_Click();
    // F12 of the main window: the same as cmdCancel.
    void ExecutaBotaoEncerrar() { cmdCancel_Click(); }

    // The lot of the last selected transaction (column 1).
    const QString& loteSelecionado() const { return lote_; }

  protected:
    void aoFechar() override;

  private:
    void processaPendente(bool confirmacao);

    QString lote_;
    QPushButton* cmdConfirmaTrans_ = nullptr;
    QPushButton* cmdAnulaTrans_ = nullptr;
    QPushButton* cmdCancel_ = nullptr;
};

}  // namespace ql
