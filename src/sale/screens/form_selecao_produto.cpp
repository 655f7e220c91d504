#include "sale/screens/form_selecao_produto.h"

#include <QEvent>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QTimer>

#include "host/valores.h"
#include "sale/grade_autorizacao.h"
#include "sale/keys/money_entry.h"
#include "sale/screens/enter_no_botao.h"
#include "shell/context.h"
#include "ui/busy_cursor.h"
#include "ui/key_filters.h"
#include "ui/telas.h"
#include "ui/window_helpers.h"

namespace ql {

namespace {

constexpr int kTwipsPorPixel = 15;
// Title bar and borders, which the heights in twips include.
constexpr int kMolduraTwips = 405;
constexpr int kLargura = 410;
constexpr int kAlturaLinha = 22;
constexpr int kPasso = 26;
constexpr int kMargem = 8;
constexpr int kXCampo = 130;
constexpr int kXRotulo2 = 206;
constexpr int kXCampo2 = 332;
constexpr int kLarguraRotulo = 120;
constexpr int kLarguraValor = 70;

int linhaY(int linha) {
    return kMargem + linha * kPasso;
}

// A focus change the cashier made (not a message box or another window taking the focus).
bool saidaDoCampo(Qt::FocusReason motivo) {
    return motivo == Qt::TabFocusReason || motivo == Qt::BacktabFocusReason ||
           motivo == Qt::MouseFocusReason || motivo == Qt::ShortcutFocusReason ||
           motivo == Qt::OtherFocusReason;
}

}  // namespace

FormSelecaoProduto::FormSelecaoProduto(Context& ctx, GradeAutorizacao& grade, QWidget* parent)
    : QDialog(parent), ctx_(ctx), grade_(grade), logica_(ctx) {
    setObjectName(QStringLiteral("FormSelecaoProduto"));
    setWindowTitle(QStringLiteral("Seleção do Produto"));
    setModal(true);
    montaControles();
    Form_Load();
}

void FormSelecaoProduto::montaControles() {
    auto rotulo = [this](const char* nome, const QString& texto, int x, int linha, int largura) {
        auto* l = new QLabel(texto, this);
        l->setObjectName(QLatin1String(nome));
        l->setGeometry(x, linhaY(linha), largura, kAlturaLinha);
        return l;
    };
    auto caixa = [this](const char* nome, int x, int linha, int largura) {
        auto* c = new QLineEdit(this);
        c->setObjectName(QLatin1String(nome));
        c->setGeometry(x, linhaY(linha), largura, kAlturaLinha);
        return c;
    };
    const int larguraLonga = kLargura - kMargem - kXCampo;

    lblDescr_Produto_ =
        rotulo("lblDescr_Produto", QStringLiteral("Produto"), kMargem, 0, kLarguraRotulo);
    txtProduto_ = caixa("txtProduto", kXCampo, 0, larguraLonga);
    lblFabricante_ =
        rotulo("lblFabricante", QStringLiteral("Fabricante"), kMargem, 1, kLarguraRotulo);
    txtFabricante_ = caixa("txtFabricante", kXCampo, 1, larguraLonga);
    lblEmbalagem_ = rotulo("lblEmbalagem", QStringLiteral("Emb."), kMargem, 2, kLarguraRotulo);
    txtEmbalagem_ = caixa("txtEmbalagem", kXCampo, 2, kLarguraValor);
    lblQtd_Canc_ =
        rotulo("lblQtd_Canc", QStringLiteral("Quantidade"), kXRotulo2, 2, kXCampo2 - kXRotulo2 - 4);
    txtQuantidade_ = caixa("txtQuantidade", kXCampo2, 2, kLarguraValor);
    lblValBrtPrd_ =
        rotulo("lblValBrtPrd", QStringLiteral("Valor Bruto Produto"), kMargem, 3, kLarguraRotulo);
    txtPrc_Bruto_Prd_ = caixa("txtPrc_Bruto_Prd", kXCampo, 3, kLarguraValor);
    lblValDescPrd_ = rotulo("lblValDescPrd", QStringLiteral("Valor Desc Produto"), kXRotulo2, 3,
                            kXCampo2 - kXRotulo2 - 4);
    txtValDescPrd_ = caixa("txtValDescPrd", kXCampo2, 3, kLarguraValor);
    lblValLiqPrd_ =
        rotulo("lblValLiqPrd", QStringLiteral("Valor Líquido"), kMargem, 4, kLarguraRotulo);
    txtPrc_Liq_Prd_ = caixa("txtPrc_Liq_Prd", kXCampo, 4, kLarguraValor);
    lblValCredPrd_ = rotulo("lblValCredPrd", QStringLiteral("Valor a Receber Loja"), kXRotulo2, 4,
                            kXCampo2 - kXRotulo2 - 4);
    txValor_Cred_Prd_ = caixa("txValor_Cred_Prd", kXCampo2, 4, kLarguraValor);
    lblCompl1_ =
        rotulo("lblCompl1", QStringLiteral("Campo complementar"), kMargem, 5, kLarguraRotulo);
    txtComplemento1_ = caixa("txtComplemento1", kXCampo, 5, 140);

    cmdOk_ = new QPushButton(QStringLiteral("F3 - &OK"), this);
    cmdOk_->setObjectName(QStringLiteral("cmdOk"));
    cmdCancel_ = new QPushButton(QStringLiteral("ESC - &Cancel"), this);
    cmdCancel_->setObjectName(QStringLiteral("cmdCancel"));
    for (QPushButton* b : {cmdOk_, cmdCancel_}) {
        // Enter belongs to the text boxes' own rules, never to a default button.
        b->setAutoDefault(false);
        b->setDefault(false);
        new EnterNoBotao(b);
    }
    connect(cmdOk_, &QPushButton::clicked, this, [this] { cmdOk_Click(); });
    connect(cmdCancel_, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });

    // The product's identity is shown, never typed.
    for (QLineEdit* c : {txtProduto_, txtFabricante_, txtEmbalagem_}) {
        c->setReadOnly(true);
        c->setFocusPolicy(Qt::NoFocus);
    }
    for (QLineEdit* c : {txtPrc_Liq_Prd_, txValor_Cred_Prd_}) c->setReadOnly(true);
    for (QLineEdit* c : {txtPrc_Bruto_Prd_, txtValDescPrd_, txtPrc_Liq_Prd_, txValor_Cred_Prd_}) {
        c->setAlignment(Qt::AlignRight);
    }

    // Quantity: digits only (also when pasted); Enter confirms the product whatever OK's state
    // (only F3 waits for its button).
    txtQuantidade_->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), this));
    new KeyRuleFilter(txtQuantidade_, [](EstadoCampo&, int tecla) {
        return ResultadoTecla{Quantidade_KeyPress(tecla), 0};
    });
    connect(txtQuantidade_, &QLineEdit::returnPressed, this, [this] { cmdOk_Click(); });
    InstalaCampoValor(txtPrc_Bruto_Prd_, &PrecoBruto_KeyPress);
    InstalaCampoValor(txtValDescPrd_, &Desconto_KeyPress);
    InstalaEnterTab(txtComplemento1_);
    for (QLineEdit* c : {txtQuantidade_, txtPrc_Bruto_Prd_, txtValDescPrd_, txtPrc_Liq_Prd_,
                         txValor_Cred_Prd_, txtComplemento1_}) {
        InstalaSelecaoAoFocar(c);
    }
    txtPrc_Bruto_Prd_->installEventFilter(this);
    txtValDescPrd_->installEventFilter(this);
    connect(txtPrc_Liq_Prd_, &QLineEdit::textChanged, this, [this] { txtPrc_Liq_Prd_Change(); });

    setTabOrder(txtQuantidade_, txtPrc_Bruto_Prd_);
    setTabOrder(txtPrc_Bruto_Prd_, txtValDescPrd_);
    setTabOrder(txtValDescPrd_, txtPrc_Liq_Prd_);
    setTabOrder(txtPrc_Liq_Prd_, txValor_Cred_Prd_);
    setTabOrder(txValor_Cred_Prd_, txtComplemento1_);
    setTabOrder(txtComplemento1_, cmdOk_);
    setTabOrder(cmdOk_, cmdCancel_);

    InstalaTeclasFuncao(this, {{Qt::Key_F3, cmdOk_}, {Qt::Key_F12, cmdCancel_}});
}

void FormSelecaoProduto::Form_Load() {
    const ApresentacaoSelecao a = logica_.PreencheCampos();

    lblDescr_Produto_->setText(a.lblDescr_Produto);
    lblFabricante_->setText(a.lblFabricante);
    lblQtd_Canc_->setText(a.lblQtd_Canc);
    if (a.maxQuantidade > 0) txtQuantidade_->setMaxLength(a.maxQuantidade);
    lblValDescPrd_->setText(a.lblValDescPrd);
    lblEmbalagem_->setText(a.lblEmbalagem);
    lblValBrtPrd_->setText(a.lblValBrtPrd);
    lblValLiqPrd_->setText(a.lblValLiqPrd);
    lblValCredPrd_->setText(a.lblValCredPrd);
    cmdOk_->setEnabled(a.cmdOkHabilitado);
    cmdCancel_->setEnabled(a.cmdCancelHabilitado);
    cmdOk_->setText(a.cmdOkCaption);
    cmdCancel_->setText(a.cmdCancelCaption);

    txtQuantidade_->setText(a.textos.quantidade);
    txtProduto_->setText(a.produto);
    txtFabricante_->setText(a.fabricante);
    lblFabricante_->setVisible(a.fabricanteVisivel);
    txtFabricante_->setVisible(a.fabricanteVisivel);
    txtEmbalagem_->setText(a.embalagem);
    {
        // The loaded payment is shown as loaded, not recomputed from the loaded net price.
        const QSignalBlocker bloqueio(txtPrc_Liq_Prd_);
        txtValDescPrd_->setText(a.textos.desconto);
        txtPrc_Bruto_Prd_->setText(a.textos.precoBruto);
        txtPrc_Liq_Prd_->setText(a.textos.precoLiquido);
        txValor_Cred_Prd_->setText(a.textos.valorReceber);
    }
    txtComplemento1_->setText(a.textos.complemento);

    lblCompl1_->setVisible(a.complementoVisivel);
    txtComplemento1_->setVisible(a.complementoVisivel);
    if (a.complementoVisivel) {
        lblCompl1_->setText(a.lblCompl1);
        if (a.maxComplemento > 0) txtComplemento1_->setMaxLength(a.maxComplemento);
        txtComplemento1_->setFocusPolicy(Qt::StrongFocus);
    } else {
        txtComplemento1_->setFocusPolicy(Qt::NoFocus);
    }

    txtPrc_Bruto_Prd_->setReadOnly(!a.precoBrutoEditavel);
    txtPrc_Bruto_Prd_->setFocusPolicy(a.precoBrutoEditavel ? Qt::StrongFocus : Qt::NoFocus);
    txtValDescPrd_->setReadOnly(!a.descontoEditavel);
    txtValDescPrd_->setFocusPolicy(a.descontoEditavel ? Qt::StrongFocus : Qt::NoFocus);

    const int altura = (a.alturaTwips - kMolduraTwips) / kTwipsPorPixel;
    const int topoBotoes = a.topoBotoesTwips / kTwipsPorPixel;
    cmdOk_->setGeometry(kXCampo, topoBotoes, 130, 25);
    cmdCancel_->setGeometry(kLargura - kMargem - 130, topoBotoes, 130, 25);
    setFixedSize(kLargura, altura);
    CentralizaJanela(this);
    txtQuantidade_->setFocus(Qt::OtherFocusReason);
}

TextosSelecao FormSelecaoProduto::textos() const {
    TextosSelecao t;
    t.quantidade = txtQuantidade_->text();
    t.precoBruto = txtPrc_Bruto_Prd_->text();
    t.desconto = txtValDescPrd_->text();
    t.precoLiquido = txtPrc_Liq_Prd_->text();
    t.valorReceber = txValor_Cred_Prd_->text();
    t.complemento = txtComplemento1_->text();
    return t;
}

QLineEdit* FormSelecaoProduto::campo(CampoSelecao c) const {
    switch (c) {
        case CampoSelecao::Quantidade:
            return txtQuantidade_;
        case CampoSelecao::PrecoBruto:
            return txtPrc_Bruto_Prd_;
        case CampoSelecao::Desconto:
            return txtValDescPrd_;
        case CampoSelecao::Complemento:
            return txtComplemento1_;
        case CampoSelecao::Nenhum:
            break;
    }
    return nullptr;
}

void FormSelecaoProduto::focaCampo(CampoSelecao c) {
    QLineEdit* alvo = campo(c);
    if (!alvo || !alvo->isVisible()) return;
    // A locked box cannot hold the focus by Tab, but a failed check still points at it.
    alvo->setFocus(Qt::OtherFocusReason);
    SelecionaCampo(alvo);
}

bool FormSelecaoProduto::txtPrc_Bruto_Prd_LostFocus() {
    if (const auto liquido = CalculaPrecoLiquido(txtPrc_Bruto_Prd_->text(), txtValDescPrd_->text()))
        txtPrc_Liq_Prd_->setText(*liquido);
    return true;
}

bool FormSelecaoProduto::txtValDescPrd_LostFocus() {
    const QString bruto = txtPrc_Bruto_Prd_->text();
    QString desconto = txtValDescPrd_->text();
    if (!ehNumerico(bruto) || !ehNumerico(desconto)) return true;
    if (!logica_.AceitaDesconto(desconto)) {
        txtValDescPrd_->setText(desconto);
        saindo_ = true;
        txtValDescPrd_->setFocus(Qt::OtherFocusReason);
        saindo_ = false;
        SelecionaCampo(txtValDescPrd_);
        return false;
    }
    return txtPrc_Bruto_Prd_LostFocus();
}

void FormSelecaoProduto::txtPrc_Liq_Prd_Change() {
    if (const auto receber = logica_.CalculaValorReceberLoja(txtPrc_Liq_Prd_->text()))
        txValor_Cred_Prd_->setText(*receber);
}

bool FormSelecaoProduto::eventFilter(QObject* objeto, QEvent* evento) {
    if (evento->type() == QEvent::FocusOut &&
        (objeto == txtPrc_Bruto_Prd_ || objeto == txtValDescPrd_) && !fechado_ && !saindo_ &&
        saidaDoCampo(static_cast<QFocusEvent*>(evento)->reason())) {
        // Run once the focus has settled on the next control, so that a refused discount can
        // take it back; OK runs what is still pending before it reads the boxes.
        (objeto == txtValDescPrd_ ? saidaDesconto_ : saidaBruto_) = true;
        QTimer::singleShot(0, this, [this] {
            if (!fechado_) aplicaSaidas();
        });
    }
    return QDialog::eventFilter(objeto, evento);
}

bool FormSelecaoProduto::aplicaSaidas() {
    if (saidaBruto_) {
        saidaBruto_ = false;
        txtPrc_Bruto_Prd_LostFocus();
    }
    if (saidaDesconto_) {
        saidaDesconto_ = false;
        return txtValDescPrd_LostFocus();
    }
    return true;
}

void FormSelecaoProduto::cmdOk_Click() {
    if (fechado_) return;
    BusyCursor ocupado(cmdOk_);
    if (!aplicaSaidas()) return;
    // OK may come while a price box still has the focus (F3): that box counts as left.
    QWidget* foco = focusWidget();
    if (foco == txtValDescPrd_ && !txtValDescPrd_LostFocus()) return;
    if (foco == txtPrc_Bruto_Prd_) txtPrc_Bruto_Prd_LostFocus();

    CampoSelecao falha = CampoSelecao::Nenhum;
    const auto resultado = logica_.cmdOk_Click(textos(), grade_, &falha);
    if (resultado == SelecaoProduto::ResultadoOk::Recusado) {
        ocupado.release();
        focaCampo(falha);
        return;
    }
    gravou_ = resultado == SelecaoProduto::ResultadoOk::Gravado;
    fechado_ = true;
    ocupado.release();
    QDialog::accept();
}

void FormSelecaoProduto::cmdCancel_Click() {
    if (fechado_) return;
    fechado_ = true;
    QDialog::reject();
}

void FormSelecaoProduto::reject() {
    if (cmdCancel_->isEnabled() && cmdCancel_->isVisible()) cmdCancel_Click();
}

bool ExecutaFormSelecaoProduto(Context& ctx, GradeAutorizacao& grade, QWidget* pai) {
    FormSelecaoProduto dialogo(ctx, grade, pai);
    dialogo.exec();
    return dialogo.gravou();
}

}  // namespace ql
