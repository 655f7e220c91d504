#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace ql {

struct Context;

// Cancellation of a quantity of one item of a transaction: the item is entry 1 of ItensVenda
// (copied from the transaction's product list), the transaction is the one selected on the lot
// screen. Modal; opened by ExecutaFrmCancelaProdutos.
class frmCancelaProdutos final : public QDialog {
    Q_OBJECT
  public:
    // `quantidadeProposta`: the quantity the product list proposes for this item (its
    // cancellable quantity); "" proposes the item's whole quantity.
    frmCancelaProdutos(Context& ctx, const QString& quantidadeProposta, QWidget* parent = nullptr);

    void cmdOk_Click();
    void cmdCancel_Click();

    QLineEdit* txtProduto() const { return txtProduto_; }
    QLineEdit* txtQuantidade() const { return txtQuantidade_; }

  private:
    Context& ctx_;
    QLabel* lblProduto_ = nullptr;
    QLabel* lblQtd_ = nullptr;
    QLineEdit* txtProduto_ = nullptr;
    QLineEdit* txtQuantidade_ = nullptr;
    QPushButton* cmdOk_ = nullptr;
    QPushButton* cmdCancel_ = nullptr;
};

}  // namespace ql
