#pragma once

#include "admin/screens/tela_journal.h"

class QPushButton;

namespace ql {

// The financial summary, "Tela 0003 - Resumo Financeiro": one journal table of the operadora
// chosen in the administrative menu, to read and print.
class FormResumoFinanceiro final : public TelaJournal {
    Q_OBJECT
  public:
    explicit FormResumoFinanceiro(FormPrincipal& principal, QWidget* parent = nullptr);

    void cmdCancel_Click();
    QPushButton* cmdCancel() const { return cmdCancel_; }

  private:
    QPushButton* cmdCancel_ = nullptr;
};

}  // namespace ql
