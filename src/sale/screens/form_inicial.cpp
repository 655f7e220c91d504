#include "sale/screens/form_inicial.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QTimer>
#include <QVBoxLayout>

#include <array>

#include "host/transacoes.h"
#include "sale/screens/form_pin_pad.h"
#include "shell/captions.h"
#include "shell/context.h"
#include "shell/error_trap.h"
#include "shell/screens/form_principal.h"
#include "till/till_session.h"
#include "ui/busy_cursor.h"
#include "ui/impressao.h"
#include "ui/key_filters.h"
#include "ui/telas.h"
#include "ui/window_helpers.h"

namespace ql {

namespace {

const QString kTelaInicial = QStringLiteral("INCIAL");
const QString kCaptionPrincipal =
    QStringLiteral("Quillane Client      Tela 0001 - Inicial e abertura    ");

QPushButton* botao(QWidget* pai, const char* nome, const QString& texto) {
    auto* b = new QPushButton(texto, pai);
    b->setObjectName(QLatin1String(nome));
    b->setAutoDefault(false);
    return b;
}

QLineEdit* campo(QWidget* pai, const char* nome) {
    auto* c = new QLineEdit(pai);
    c->setObjectName(QLatin1String(nome));
    return c;
}

}  // namespace

FormInicial::FormInicial(FormPrincipal& principal, QWidget* parent)
    : QWidget(parent), principal_(principal), ctx_(principal.contexto()) {
    setObjectName(QStringLiteral("FormInicial"));
    setWindowTitle(QString::fromUtf16(kTitulo));
    leitorPinPad_ = [](Context& ctx, QWidget* pai) { return ExecutaFormPinPad(ctx, pai); };
    montaControles();
    // Form_Load: the main window's print command off, the operadora list, the current
    // establishment type and the first state.
    principal_.setImprimirDisponivel(false);
    ctx_.TelaAtual = kTelaInicial;
    cbOperadora_->addItems(PreencheComboAdmNomes(ctx_.operadoras));
    cbOperadora_->setCurrentIndex(-1);
    // The option of the current establishment type; none for a type other than 1, 2 or 3.
    const std::array<QRadioButton*, 3> tipos{optSelecaoEstab_, optSelecaoRede_,
                                             optSelecaoDistribuidor_};
    if (ctx_.TipoEstab >= 1 && ctx_.TipoEstab <= 3) tipos[ctx_.TipoEstab - 1]->setChecked(true);
    const QString rotuloCartao = ctx_.telas.FormInicial[ctx_.TipoEstab].txtCartao.caption.trimmed();
    if (!rotuloCartao.isEmpty()) lblCartao_->setText(rotuloCartao);
    aplicaRotulosEstab();
    cmdLimpa_Click();
}

void FormInicial::montaControles() {
    fraSelecionaTipoEstab_ =
        new QGroupBox(QStringLiteral("Seleciona Tipo do Estabelecimento"), this);
    fraSelecionaTipoEstab_->setObjectName(QStringLiteral("fraSelecionaTipoEstab"));
    optSelecaoEstab_ = new QRadioButton(QStringLiteral("&Estabelecimento"), fraSelecionaTipoEstab_);
    optSelecaoEstab_->setObjectName(QStringLiteral("optSelecaoEstab"));
    optSelecaoRede_ = new QRadioButton(QStringLiteral("&Rede"), fraSelecionaTipoEstab_);
    optSelecaoRede_->setObjectName(QStringLiteral("optSelecaoRede"));
    optSelecaoDistribuidor_ =
        new QRadioButton(QStringLiteral("&Distribuidor"), fraSelecionaTipoEstab_);
    optSelecaoDistribuidor_->setObjectName(QStringLiteral("optSelecaoDistribuidor"));
    auto* tipos = new QHBoxLayout(fraSelecionaTipoEstab_);
    tipos->addWidget(optSelecaoEstab_);
    tipos->addWidget(optSelecaoRede_);
    tipos->addWidget(optSelecaoDistribuidor_);
    connect(optSelecaoEstab_, &QRadioButton::clicked, this, [this] { optTipoEstab_Click(1); });
    connect(optSelecaoRede_, &QRadioButton::clicked, this, [this] { optTipoEstab_Click(2); });
    connect(optSelecaoDistribuidor_, &QRadioButton::clicked, this,
            [this] { optTipoEstab_Click(3); });

    lblCodigoEstab_ = new QLabel(this);
    lblCodigoEstab_->setObjectName(QStringLiteral("lblCodigoEstab"));
    lblNomeEstab_ = new QLabel(this);
    lblNomeEstab_->setObjectName(QStringLiteral("lblNomeEstab"));

    fraIdentifica_ = new QGroupBox(QStringLiteral("Identificação do Portador"), this);
    fraIdentifica_->setObjectName(QStringLiteral("fraIdentifica"));
    cbOperadora_ = new QComboBox(fraIdentifica_);
    cbOperadora_->setObjectName(QStringLiteral("cbOperadora"));
    cbOperadora_->installEventFilter(this);
    connect(cbOperadora_, &QComboBox::currentIndexChanged, this, [this] { cbOperadora_Click(); });
    auto* lblAdministradora = new QLabel(QStringLiteral("Administradora"), fraIdentifica_);
    lblAdministradora->setObjectName(QStringLiteral("lblAdministradora"));
    txtAdministradora_ = campo(fraIdentifica_, "txtAdministradora");
    txtAdministradora_->setReadOnly(true);
    txtAdministradora_->setMaximumWidth(110);
    InstalaSelecaoAoFocar(txtAdministradora_);
    cmdConfirmaOper_ =
        botao(fraIdentifica_, "cmdConfirmaOper", QStringLiteral("F3 - &Confirma Operadora"));
    connect(cmdConfirmaOper_, &QPushButton::clicked, this, [this] { cmdConfirmaOper_Click(); });

    fraOptions_ = new QWidget(fraIdentifica_);
    fraOptions_->setObjectName(QStringLiteral("fraOptions"));
    optDigitacao_ = new QRadioButton(QStringLiteral("&Digitação"), fraOptions_);
    optDigitacao_->setObjectName(QStringLiteral("optDigitacao"));
    optLeitura_ = new QRadioButton(QStringLiteral("&Leitura"), fraOptions_);
    optLeitura_->setObjectName(QStringLiteral("optLeitura"));
    auto* opcoes = new QHBoxLayout(fraOptions_);
    opcoes->setContentsMargins(0, 0, 0, 0);
    opcoes->addWidget(optDigitacao_);
    opcoes->addWidget(optLeitura_);
    opcoes->addStretch();
    connect(optDigitacao_, &QRadioButton::clicked, this, [this] { optDigitacao_Click(); });
    connect(optLeitura_, &QRadioButton::clicked, this, [this] { optLeitura_Click(); });

    lblCartao_ = new QLabel(QStringLiteral("Numero do Cartão"), fraIdentifica_);
    lblCartao_->setObjectName(QStringLiteral("lblCartao"));
    txtCartao_ = campo(fraIdentifica_, "txtCartao");
    // The reading mode masks the card with "*", not with the style's dot.
    txtCartao_->setStyleSheet(QStringLiteral("QLineEdit { lineedit-password-character: 42; }"));
    txtCartao_->installEventFilter(this);
    InstalaFiltraTecla(txtCartao_);
    InstalaSelecaoAoFocar(txtCartao_);
    cmdConfirmaCartao_ =
        botao(fraIdentifica_, "cmdConfirmaCartao", QStringLiteral("F3 - &Confirma Cartão"));
    connect(cmdConfirmaCartao_, &QPushButton::clicked, this, [this] { cmdConfirmaCartao_Click(); });

    LBCampo1_ = new QLabel(fraIdentifica_);
    LBCampo1_->setObjectName(QStringLiteral("LBCampo1"));
    txtCampo1_ = campo(fraIdentifica_, "txtCampo1");
    LBCampo2_ = new QLabel(fraIdentifica_);
    LBCampo2_->setObjectName(QStringLiteral("LBCampo2"));
    txtCampo2_ = campo(fraIdentifica_, "txtCampo2");
    for (QLineEdit* c : {txtCampo1_, txtCampo2_}) {
        c->installEventFilter(this);
        InstalaFiltraTecla(c);
        InstalaSelecaoAoFocar(c);
    }
    // Leaving an additional field keeps its value for the transaction.
    connect(txtCampo1_, &QLineEdit::editingFinished, this,
            [this] { ctx_.ident.ValorCampo1 = txtCampo1_->text().trimmed().toUpper(); });
    connect(txtCampo2_, &QLineEdit::editingFinished, this,
            [this] { ctx_.ident.ValorCampo2 = txtCampo2_->text().trimmed().toUpper(); });

    auto* id = new QGridLayout(fraIdentifica_);
    id->addWidget(new QLabel(QStringLiteral("Operadora"), fraIdentifica_), 0, 0);
    id->addWidget(cbOperadora_, 0, 1);
    id->addWidget(lblAdministradora, 0, 2);
    id->addWidget(txtAdministradora_, 0, 3);
    id->addWidget(fraOptions_, 1, 1);
    id->addWidget(cmdConfirmaOper_, 1, 2, 1, 2);
    id->addWidget(lblCartao_, 2, 0);
    id->addWidget(txtCartao_, 2, 1);
    id->addWidget(cmdConfirmaCartao_, 2, 2, 1, 2);
    id->addWidget(LBCampo1_, 3, 0);
    id->addWidget(txtCampo1_, 3, 1);
    id->addWidget(LBCampo2_, 4, 0);
    id->addWidget(txtCampo2_, 4, 1);
    id->setColumnStretch(1, 1);

    BtnPreVenda_ = botao(this, "BtnPreVenda", QStringLiteral("F2 - &Pré Autorização"));
    cmdVenda_ = botao(this, "cmdVenda", QStringLiteral("F4 - &Autorização"));
    cmdAdmin_ = botao(this, "cmdAdmin", QStringLiteral("F5 - &Administrativas"));
    cmdLimpa_ = botao(this, "cmdLimpa", QStringLiteral("F8 - L&impa"));
    btnCancel_ = botao(this, "btnCancel", QStringLiteral("ESC - Encerrar"));
    connect(BtnPreVenda_, &QPushButton::clicked, this, [this] { BtnPreVenda_Click(); });
    connect(cmdVenda_, &QPushButton::clicked, this, [this] { cmdVenda_Click(); });
    connect(cmdAdmin_, &QPushButton::clicked, this, [this] { cmdAdmin_Click(); });
    connect(cmdLimpa_, &QPushButton::clicked, this, [this] {
        if (ctx_.till) ctx_.till->operadorLimpou();
        cmdLimpa_Click();
    });
    connect(btnCancel_, &QPushButton::clicked, this, [this] { btnCancel_Click(); });
    InstalaTeclasFuncao(this, {{Qt::Key_F2, BtnPreVenda_},
                               {Qt::Key_F4, cmdVenda_},
                               {Qt::Key_F5, cmdAdmin_},
                               {Qt::Key_F8, cmdLimpa_},
                               {Qt::Key_Escape, btnCancel_}});
    // F6, free on this screen: the last approved sale's receipt again.
    auto* reimprime = new QShortcut(QKeySequence(Qt::Key_F6), this);
    reimprime->setContext(Qt::WidgetWithChildrenShortcut);
    connect(reimprime, &QShortcut::activated, this, [this] { ReimprimeComprovante(ctx_); });

    auto* comandos = new QHBoxLayout;
    for (QPushButton* b : {BtnPreVenda_, cmdVenda_, cmdAdmin_, cmdLimpa_, btnCancel_}) {
        comandos->addWidget(b);
    }
    auto* estab = new QVBoxLayout;
    estab->addWidget(lblCodigoEstab_);
    estab->addWidget(lblNomeEstab_);
    auto* topo = new QHBoxLayout;
    topo->addWidget(fraSelecionaTipoEstab_, 1);
    topo->addLayout(estab);
    auto* principal = new QVBoxLayout(this);
    principal->addLayout(topo);
    principal->addWidget(fraIdentifica_, 1);
    principal->addLayout(comandos);
    setMinimumSize(600, 340);
}

void FormInicial::Form_Activate() {
    // The current screen name is set on loading only: returning here leaves it as the screen
    // before left it ("" after a finished sale, when the main window's F12 does nothing).
    if (ctx_.till && ctx_.till->vendaAberta())
        QTimer::singleShot(0, this, [this] { preencheDoCaixa(); });
    principal_.SetaCaption(TextoComData(ctx_, kCaptionPrincipal));
    cmdLimpa_Click();
}

void FormInicial::aplicaRotulosEstab() {
    const auto& complementar = ctx_.telas.FormComplementar[ctx_.TipoEstab];
    lblCodigoEstab_->setText(complementar.lblCodigoEstab.caption.trimmed());
    lblNomeEstab_->setText(complementar.lblNomeEstab.caption.trimmed());
}

ModoEntradaCartao FormInicial::modoEntrada() const {
    return optLeitura_->isChecked() ? ModoEntradaCartao::Leitura : ModoEntradaCartao::Digitacao;
}

bool FormInicial::usavel(const QWidget* w) const {
    return w->isEnabled() && w->isVisibleTo(this);
}

void FormInicial::focaSePossivel(QWidget* w) {
    if (usavel(w)) w->setFocus(Qt::OtherFocusReason);
}

void FormInicial::TravaCampo(bool bTrava) {
    runTrapped(ctx_, "TravaCampo", 0, [&] {
        const LayoutFormInicial& r = ctx_.telas.FormInicial[ctx_.TipoEstab];
        BtnPreVenda_->setVisible(r.BtnPreVenda);
        cmdVenda_->setVisible(r.cmdVenda);
        cmdAdmin_->setVisible(r.cmdAdmin);
        BtnPreVenda_->setEnabled(bTrava);
        cmdVenda_->setEnabled(bTrava);
        cmdLimpa_->setEnabled(bTrava);
        cmdAdmin_->setEnabled(!bTrava);
        cbOperadora_->setEnabled(!bTrava);
        txtCartao_->setReadOnly(bTrava);
        if (!bTrava) {
            LBCampo1_->hide();
            txtCampo1_->hide();
            LBCampo2_->hide();
            txtCampo2_->hide();
            txtCampo2_->clear();
            txtCampo1_->clear();
            txtCartao_->clear();
        }
        AplicaLegenda(cmdConfirmaOper_, r.CmdConfirmaOper_Caption.caption);
        AplicaLegenda(cmdConfirmaCartao_, r.CmdConfirmaCartao_Caption.caption);
        AplicaLegenda(BtnPreVenda_, r.BtnPreVenda_Caption.caption);
        AplicaLegenda(cmdVenda_, r.CmdVenda_Caption.caption);
        AplicaLegenda(cmdAdmin_, r.CmdAdmin_Caption.caption);
        AplicaLegenda(cmdLimpa_, r.CmdLimpa_Caption.caption);
        AplicaLegenda(fraSelecionaTipoEstab_, r.fraSelecionaTipoEstab_Caption.caption);
        AplicaLegenda(fraIdentifica_, r.fraIdentifica_Caption.caption);
        const std::pair<QRadioButton*, const CommandSlot*> opcoes[] = {
            {optSelecaoEstab_, &r.optSelecaoEstab},
            {optSelecaoRede_, &r.optSelecaoRede},
            {optSelecaoDistribuidor_, &r.optSelecaoDistribuidor},
            {optDigitacao_, &r.optDigitacao},
            {optLeitura_, &r.optLeitura}};
        for (const auto& [opcao, slot] : opcoes) {
            opcao->setVisible(slot->enabled);
            AplicaLegenda(opcao, slot->caption);
        }
        // The entry options are offered only while the card can still be entered.
        if (bTrava) {
            optDigitacao_->hide();
            optLeitura_->hide();
        }
        fraSelecionaTipoEstab_->setVisible(r.optSelecaoEstab.enabled || r.optSelecaoRede.enabled ||
                                           r.optSelecaoDistribuidor.enabled);
        return 0;
    });
}

void FormInicial::HabilitaCampo() {
    runTrapped(ctx_, "HabilitaCampo", 0, [&] {
        ObtemOperadoraSelecionada();
        txtAdministradora_->setText(ctx_.ident.CodigoOperadora);
        const RegistroOperadora* op = ctx_.operadoras.contem(ctx_.ident.OperadoraSelecionada)
                                          ? &ctx_.operadoras.at(ctx_.ident.OperadoraSelecionada)
                                          : nullptr;
        const std::tuple<QLabel*, QLineEdit*, const CampoAdicional*> campos[] = {
            {LBCampo1_, txtCampo1_, op ? &op->campo1 : nullptr},
            {LBCampo2_, txtCampo2_, op ? &op->campo2 : nullptr}};
        for (const auto& [rotulo, texto, definicao] : campos) {
            const bool usado = definicao && definicao->necessario();
            rotulo->setVisible(usado);
            texto->setVisible(usado);
            texto->setEnabled(usado);
            if (usado) {
                rotulo->setText(definicao->rotulo.trimmed());
                texto->setMaxLength(definicao->maximo > 0 ? definicao->maximo : kSemLimite);
            }
        }
        return 0;
    });
}

void FormInicial::DesabilitaCampo() {
    txtCampo1_->hide();
    txtCampo2_->hide();
    txtCampo1_->clear();
    txtCampo2_->clear();
}

void FormInicial::cbOperadora_Click() {
    ObtemOperadoraSelecionada();
    if (ctx_.operadoras.contem(cbOperadora_->currentIndex() + 1))
        txtAdministradora_->setText(ctx_.ident.CodigoOperadora);
}

void FormInicial::ObtemOperadoraSelecionada() {
    const int i = cbOperadora_->currentIndex() + 1;
    if (!ctx_.operadoras.contem(i)) return;
    const RegistroOperadora& r = ctx_.operadoras.at(i);
    ctx_.ident.OperadoraSelecionada = i;
    ctx_.ident.NomeOperadora = r.nome.trimmed().toUpper();
    ctx_.ident.CodigoOperadora = r.codigo;
}

void FormInicial::cmdLimpa_Click() {
    runTrapped(ctx_, "cmdLimpa_Click", 0, [&] {
        cmdLimpa_->setEnabled(false);
        fraIdentifica_->setEnabled(true);
        BusyCursor ocupado;
        leitorTeclado_.reinicia();
        TravaCampo(false);
        lblCartao_->hide();
        txtCartao_->hide();
        cmdConfirmaOper_->show();
        cmdConfirmaCartao_->hide();
        cmdAdmin_->setEnabled(true);
        focaSePossivel(cbOperadora_);
        ocupado.release();
        (ctx_.config.LEITOR_TYPE != 0 ? optLeitura_ : optDigitacao_)->setChecked(true);
        return 0;
    });
}

void FormInicial::optTipoEstab_Click(qint16 tipo) {
    // The type's layout applies; the screen otherwise stays where it was.
    ctx_.TipoEstab = tipo;
    TravaCampo(false);
}

void FormInicial::iniciaVenda(bool preVenda) {
    const QString tela = preVenda ? QStringLiteral("PREVENDA") : QStringLiteral("VENDA");
    const char* procedimento = preVenda ? "BtnPreVenda_Click" : "cmdVenda_Click";
    runTrapped(ctx_, procedimento, 0, [&] {
        fraIdentifica_->setEnabled(false);
        BtnPreVenda_->setEnabled(false);
        cmdVenda_->setEnabled(false);
        BusyCursor ocupado;
        ctx_.PrimeiraAtivacao = true;
        ObtemOperadoraSelecionada();
        ctx_.TelaAtual = tela;
        if (!ValidaIdentificacao()) {
            cmdLimpa_Click();
            cmdConfirmaOper_Click();
            return 0;
        }
        ctx_.ident.ValorCampo1 = txtCampo1_->text().trimmed().toUpper();
        ctx_.ident.ValorCampo2 = txtCampo2_->text().trimmed().toUpper();
        if (!Mensagem_ElegPortador(ctx_, 0)) {
            BtnPreVenda_->setEnabled(true);
            ocupado.release();
            cmdLimpa_Click();
            return 0;
        }
        if (preVenda && ctx_.config.bIdentificaCartao_DS) IdentificaPortadorDS(ctx_);
        cmdLimpa_Click();
        ctx_.TelaAtual = tela;
        AbreFormPreVenda(principal_);
        return 0;
    });
}

void FormInicial::BtnPreVenda_Click() {
    iniciaVenda(true);
}

void FormInicial::cmdVenda_Click() {
    iniciaVenda(false);
}

void FormInicial::cmdAdmin_Click() {
    runTrapped(ctx_, "cmdAdmin_Click", 0, [&] {
        if (cbOperadora_->currentText().trimmed().isEmpty()) {
            ctx_.caixas.inform(QStringLiteral("Selecione a operadora!"), kTituloAtencao,
                               MessageBoxes::Icon::Critical);
            focaSePossivel(cbOperadora_);
            return 0;
        }
        BusyCursor ocupado(cmdAdmin_);
        ObtemOperadoraSelecionada();
        ExecutaFormLogin(ctx_, this);
        if (ctx_.login.LoginAtivo) {
            QWidget* janela = parentWidget() ? parentWidget() : this;
            janela->hide();
            const QString usuario = ctx_.login.UsuarioLogado[ctx_.TipoEstab].trimmed().toUpper();
            if (usuario == u"STAFF") {
                AbreFormConfig(principal_);
            } else {
                AbreFormComplementar(principal_);
            }
        }
        return 0;
    });
}

void FormInicial::closeEvent(QCloseEvent* evento) {
    QWidget::closeEvent(evento);
    principal_.encerra();
}

void FormInicial::btnCancel_Click() {
    // The main window asks "Confirma a Saída do Sistema" and ends the program on Yes.
    principal_.cmdSair_Click();
}

bool FormInicial::ociosa() const {
    return isVisible() && fraIdentifica_->isEnabled() && cmdConfirmaOper_->isVisible() &&
           ctx_.TelaAtual == kTelaInicial;
}

void FormInicial::preencheDoCaixa() {
    TillSession* till = ctx_.till.get();
    if (!till || !till->vendaAberta() || !isVisible()) return;
    const bool vende = till->telaInicialAtiva();
    if (!vende && till->etapa() != TillSession::Etapa::Identificacao) return;
    const QString operadora = vende ? ctx_.ident.NomeOperadora : till->vendaAberta()->operadora;
    const QString cartao = vende ? ctx_.ident.NumeroCartao : till->vendaAberta()->cartao;
    int indice = -1;
    for (int i = 0; i < cbOperadora_->count() && !operadora.isEmpty(); ++i)
        if (cbOperadora_->itemText(i).trimmed().compare(operadora.trimmed(), Qt::CaseInsensitive) ==
            0)
            indice = i;
    // What the till did not send, the cashier chooses, types or swipes.
    if (indice < 0) return focaSePossivel(cbOperadora_);
    cbOperadora_->setCurrentIndex(indice);
    cmdConfirmaOper_Click();
    if (cartao.isEmpty() || !usavel(txtCartao_) || !cmdConfirmaCartao_->isVisible()) return;
    txtCartao_->setText(cartao);
    cmdConfirmaCartao_Click();
    if (vende && usavel(cmdVenda_)) cmdVenda_Click();
}

FormInicial* TelaInicialAberta(FormPrincipal& principal) {
    return principal.findChild<FormInicial*>(QStringLiteral("FormInicial"));
}

void AbreFormInicial(FormPrincipal& principal) {
    FormInicial* tela = TelaInicialAberta(principal);
    if (!tela) {
        tela = new FormInicial(principal);
        // The screen lives as long as the main window; the guarded pointer keeps F12 safe
        // should it ever be closed first.
        QPointer<FormInicial> guarda(tela);
        principal.registraTela(QStringLiteral("FormInicial"), nullptr,
                               {[guarda] {
                                    if (guarda) guarda->ExecutaBotaoEncerrar();
                                },
                                {}});
        principal.abreTela(tela);
    } else if (auto* moldura = qobject_cast<QMdiSubWindow*>(tela->parentWidget())) {
        moldura->show();
        tela->show();
        principal.areaTelas()->setActiveSubWindow(moldura);
    } else {
        tela->show();
    }
    tela->activateWindow();
    tela->Form_Activate();
}

}  // namespace ql
