#pragma once

#include "admin/screens/dialogo_cancelamento.h"

class QLabel;
class QLineEdit;

namespace ql {

// Cancellation of a quantity of one item of a transaction: the item is entry 1 of ItensVenda
// (copied from the transaction's product list), the transaction is the one selected on the lot
// screen. Modal; opened by ExecutaFrmCancelaProdutos.
class frmCancelaProdutos final : public DialogoCancelamento {
    Q_OBJECT
  public:
    // What the product list shows of this item on its active row.
    struct LinhaLista {
        QString produto;     // column 5, "  -  " and column 8 as written; "" = from the item
        QString quantidade;  // the cancellable quantity (column 11); "" = the item's quantity
    };
    frmCancelaProdutos(Context& ctx, const LinhaLista& linha, QWidget* parent = nullptr);

    QLineEdit* txtProduto() const { return txtProduto_; }
    QLineEdit* txtQuantidade() const { return txtQuantidade_; }

  private:
    bool enviaCancelamento(BusyCursor& ocupado) override;

    QLabel* lblProduto_ = nullptr;
    QLabel* lblQtd_ = nullptr;
    QLineEdit* txtProduto_ = nullptr;
    QLineEdit* txtQuantidade_ = nullptr;
};

}  // namespace ql
