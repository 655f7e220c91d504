#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace ql {

struct Context;

// Cancellation of a transaction by its typed NSU, with or without its products. Modal; opened
// from the administrative menu by ExecutaFormCancela.
class FormCancela final : public QDialog {
    Q_OBJECT
  public:
    explicit FormCancela(Context& ctx, QWidget* parent = nullptr);

    void cmdOk_Click();
    void cmdCancel_Click();

    QLineEdit* txtNSU() const { return txtNSU_; }

  protected:
    void showEvent(QShowEvent* evento) override;

  private:
    bool ValidaCampos();

    Context& ctx_;
    QLabel* lblNSU_ = nullptr;
    QLineEdit* txtNSU_ = nullptr;
    QRadioButton* OptSemProd_ = nullptr;
    QRadioButton* OptComPrd_ = nullptr;
    QPushButton* cmdOk_ = nullptr;
    QPushButton* cmdCancel_ = nullptr;
};

}  // namespace ql
