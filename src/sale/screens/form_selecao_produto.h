#pragma once

#include <QDialog>

#include "sale/selecao_produto.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace ql {

struct Context;
class GradeAutorizacao;

// "Seleção do Produto": the modal dialog in which the cashier confirms one product of the
// authorisation list (entry 1 of ItensVenda) before it is written into the grid.
class FormSelecaoProduto final : public QDialog {
    Q_OBJECT
  public:
    FormSelecaoProduto(Context& ctx, GradeAutorizacao& grade, QWidget* parent = nullptr);

    // True once OK wrote the product into the grid.
    bool gravou() const { return gravou_; }

    void cmdOk_Click();
    void cmdCancel_Click();

    // Leaving the gross price or the discount box (also run before OK for the box that has the
    // focus): the net price is recomputed, after the minimum discount check for the discount.
    // False when the discount was refused.
    bool txtPrc_Bruto_Prd_LostFocus();
    bool txtValDescPrd_LostFocus();

  public slots:
    // Escape and the window's close button act as Cancel, while Cancel is available.
    void reject() override;

  protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override;

  private:
    void montaControles();
    void Form_Load();
    void txtPrc_Liq_Prd_Change();
    TextosSelecao textos() const;
    QLineEdit* campo(CampoSelecao c) const;
    void focaCampo(CampoSelecao c);
    // Runs the leave handlers of the price boxes still pending; false when the discount was
    // refused.
    bool aplicaSaidas();

    Context& ctx_;
    GradeAutorizacao& grade_;
    SelecaoProduto logica_;
    bool gravou_ = false;
    bool fechado_ = false;
    bool saindo_ = false;
    bool saidaBruto_ = false;
    bool saidaDesconto_ = false;

    QLabel* lblDescr_Produto_ = nullptr;
    QLabel* lblFabricante_ = nullptr;
    QLabel* lblEmbalagem_ = nullptr;
    QLabel* lblQtd_Canc_ = nullptr;
    QLabel* lblValBrtPrd_ = nullptr;
    QLabel* lblValDescPrd_ = nullptr;
    QLabel* lblValLiqPrd_ = nullptr;
    QLabel* lblValCredPrd_ = nullptr;
    QLabel* lblCompl1_ = nullptr;
    QLineEdit* txtProduto_ = nullptr;
    QLineEdit* txtFabricante_ = nullptr;
    QLineEdit* txtEmbalagem_ = nullptr;
    QLineEdit* txtQuantidade_ = nullptr;
    QLineEdit* txtPrc_Bruto_Prd_ = nullptr;
    QLineEdit* txtValDescPrd_ = nullptr;
    QLineEdit* txtPrc_Liq_Prd_ = nullptr;
    QLineEdit* txValor_Cred_Prd_ = nullptr;
    QLineEdit* txtComplemento1_ = nullptr;
    QPushButton* cmdOk_ = nullptr;
    QPushButton* cmdCancel_ = nullptr;
};

}  // namespace ql
