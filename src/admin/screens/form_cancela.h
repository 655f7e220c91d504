#pragma once

#include "admin/screens/dialogo_cancelamento.h"

class QLabel;
class QLineEdit;
class QRadioButton;

namespace ql {

// Cancellation of a transaction by its typed NSU, with or without its products. Modal; opened
// from the administrative menu by ExecutaFormCancela.
class FormCancela final : public DialogoCancelamento {
    Q_OBJECT
  public:
    explicit FormCancela(Context& ctx, QWidget* parent = nullptr);

    QLineEdit* txtNSU() const { return txtNSU_; }

  protected:
    void showEvent(QShowEvent* evento) override;

  private:
    bool enviaCancelamento(BusyCursor& ocupado) override;
    bool ValidaCampos();

    QLabel* lblNSU_ = nullptr;
    QLineEdit* txtNSU_ = nullptr;
    QRadioButton* OptSemProd_ = nullptr;
    QRadioButton* OptComPrd_ = nullptr;
};

}  // namespace ql
