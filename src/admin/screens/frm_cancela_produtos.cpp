#include "admin/screens/frm_cancela_produtos.h"

#include <QAbstractItemModel>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include "admin/cancelamento.h"
#include "host/transacoes.h"
#include "host/valores.h"
#include "sale/keys/money_entry.h"
#include "shell/context.h"
#include "shell/error_trap.h"
#include "shell/screens/form_principal.h"
#include "ui/busy_cursor.h"
#include "ui/key_filters.h"
#include "ui/telas.h"
#include "ui/window_helpers.h"

namespace ql {

namespace {

// The product list's active row, when that row is the item in entry 1 of ItensVenda: its code
// and description as the list writes them (a code keeps its zeros and letters) and its
// cancellable quantity (column 11); empty when the list is not open or its row is another item.
frmCancelaProdutos::LinhaLista linhaDaLista(const FormPrincipal& principal, const ItemVenda& item) {
    const auto* grade = principal.findChild<QTableView*>(QStringLiteral("spdProdutos"));
    if (!grade || !grade->model() || !grade->selectionModel()) return {};
    const QAbstractItemModel* modelo = grade->model();
    int linha = grade->currentIndex().row();
    const QModelIndexList selecionadas = grade->selectionModel()->selectedRows();
    if (selecionadas.size() == 1) linha = selecionadas.first().row();
    if (linha < 0 || modelo->columnCount() < 11) return {};
    auto celula = [&](int coluna) {
        return modelo->data(modelo->index(linha, coluna - 1)).toString();
    };
    if (valorInteiro(celula(5)) != valorInteiro(item.codigo)) return {};
    return {celula(5) + QStringLiteral("  -  ") + celula(8), celula(11)};
}

}  // namespace

frmCancelaProdutos::frmCancelaProdutos(Context& ctx, const LinhaLista& linha, QWidget* parent)
    : DialogoCancelamento(ctx, QStringLiteral("frmCancelaProdutos"), QStringLiteral("Cancela Item"),
                          parent) {
    lblProduto_ = new QLabel(QStringLiteral("Produto:"), this);
    lblProduto_->setObjectName(QStringLiteral("lblProduto"));
    lblQtd_ = new QLabel(QStringLiteral("Qtd a Cancelar:"), this);
    lblQtd_->setObjectName(QStringLiteral("lblQtd"));
    txtProduto_ = new QLineEdit(this);
    txtProduto_->setObjectName(QStringLiteral("txtProduto"));
    txtProduto_->setReadOnly(true);
    txtQuantidade_ = new QLineEdit(this);
    txtQuantidade_->setObjectName(QStringLiteral("txtQuantidade"));
    txtQuantidade_->setMaxLength(5);

    auto* campos = new QGridLayout;
    campos->addWidget(lblProduto_, 0, 0);
    campos->addWidget(txtProduto_, 0, 1);
    campos->addWidget(lblQtd_, 1, 0);
    campos->addWidget(txtQuantidade_, 1, 1);
    corpo()->addLayout(campos);

    const ItemVenda item = ctx_.itensVenda.itens.value(0);
    txtProduto_->setText(linha.produto.isEmpty()
                             ? item.codigo + QStringLiteral("  -  ") + item.descricao
                             : linha.produto);
    txtQuantidade_->setText(
        QuantidadeProposta(linha.quantidade.isEmpty() ? item.quantidade : linha.quantidade));
    txtProduto_->setMinimumWidth(txtProduto_->fontMetrics().horizontalAdvance(txtProduto_->text()) +
                                 16);

    const LayoutfrmCancelaProdutos& layout = ctx_.telas.frmCancelaProdutos[ctx_.TipoEstab];
    AplicaLegenda(lblProduto_, layout.lblProduto.caption);
    AplicaLegenda(lblQtd_, layout.lblQtd.caption);

    InstalaSelecaoAoFocar(txtQuantidade_);
    new KeyRuleFilter(txtQuantidade_, [](EstadoCampo&, int tecla) {
        // Digits and Backspace; Enter does nothing here.
        const int passa = Quantidade_KeyPress(tecla);
        return ResultadoTecla{passa == teclas::Enter ? teclas::Nenhuma : passa, 0};
    });
    connect(txtQuantidade_, &QLineEdit::textChanged, this, [this](const QString& texto) {
        QString digitos;
        for (QChar c : texto)
            if (c.isDigit() && c.unicode() < 128) digitos += c;
        if (digitos != texto) txtQuantidade_->setText(digitos);
    });

    criaComandos(layout.cmdOk_Caption, layout.cmdCancel_Caption);
    txtQuantidade_->setFocus();
}

bool frmCancelaProdutos::enviaCancelamento(BusyCursor& ocupado) {
    if (ctx_.itensVenda.itens.isEmpty()) return false;
    ItemVenda& item = ctx_.itensVenda.item(1);
    if (!QuantidadeCancelamentoValida(txtQuantidade_->text(), item.quantidade)) {
        ctx_.caixas.inform(
            QStringLiteral("A quantidade informada não pode ser maior que o valor original"),
            kTituloAtencao, MessageBoxes::Icon::Critical);
        ocupado.release();
        if (txtQuantidade_->isEnabled() && txtQuantidade_->isVisible()) {
            txtQuantidade_->setFocus();
            SelecionaCampo(txtQuantidade_);
        }
        return false;
    }
    item.quantidade = QuantidadeProposta(txtQuantidade_->text());
    // The cancellation of this one item; a refusal was told by the cancellation itself, and a
    // receipt that comes with it is still shown.
    ConcluiCancelamento(ctx_, Mensagem_Cancelamento(ctx_, false), true, this, ocupado);
    return true;
}

void ExecutaFrmCancelaProdutos(FormPrincipal& principal) {
    Context& ctx = principal.contexto();
    runTrapped(ctx, "ExecutaFrmCancelaProdutos", 0, [&] {
        if (ctx.itensVenda.itens.isEmpty()) return 0;
        frmCancelaProdutos dialogo(ctx, linhaDaLista(principal, ctx.itensVenda.itens.first()),
                                   &principal);
        dialogo.exec();
        return 0;
    });
}

}  // namespace ql
