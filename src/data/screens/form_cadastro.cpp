#include "data/screens/form_cadastro.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>

#include "data/cadastro.h"
#include "data/distribuidoras.h"
#include "host/transacoes.h"
#include "shell/captions.h"
#include "shell/context.h"
#include "shell/error_trap.h"
#include "shell/screens/form_principal.h"
#include "ui/busy_cursor.h"
#include "ui/key_filters.h"
#include "ui/tecla_saida.h"
#include "ui/telas.h"
#include "ui/window_helpers.h"

namespace ql {

namespace {

QLabel* criaRotulo(QWidget* pai, const char* nome, const QString& texto) {
    auto* l = new QLabel(texto, pai);
    l->setObjectName(QLatin1String(nome));
    return l;
}

}  // namespace

FormCadastro::FormCadastro(FormPrincipal& principal)
    : principal_(principal), ctx_(principal.contexto()) {
    setObjectName(QStringLiteral("FormCadastro"));
    setWindowTitle(QStringLiteral("0016 - Dados Cadastrais"));
    setAttribute(Qt::WA_DeleteOnClose);

    fraSelecao_ = new QGroupBox(QStringLiteral("Identificação do Usuário"), this);
    fraSelecao_->setObjectName(QStringLiteral("fraSelecao"));
    lblAdministradora_ =
        criaRotulo(fraSelecao_, "lblAdministradora", QStringLiteral("Administradora"));
    txtAdministradora_ = new QLineEdit(fraSelecao_);
    txtAdministradora_->setObjectName(QStringLiteral("txtAdministradora"));
    txtAdministradora_->setReadOnly(true);
    txtAdministradora_->setFocusPolicy(Qt::NoFocus);
    lblDistribuidora_ =
        criaRotulo(fraSelecao_, "lblDistribuidora", QStringLiteral("Distribuidora"));
    cboDistribuidora_ = new QComboBox(fraSelecao_);
    cboDistribuidora_->setObjectName(QStringLiteral("cboDistribuidora"));
    lblDistribuidora_->setBuddy(cboDistribuidora_);
    auto* gradeSelecao = new QGridLayout(fraSelecao_);
    gradeSelecao->addWidget(lblAdministradora_, 0, 0);
    gradeSelecao->addWidget(txtAdministradora_, 0, 1);
    gradeSelecao->addWidget(lblDistribuidora_, 1, 0);
    gradeSelecao->addWidget(cboDistribuidora_, 1, 1);

    lblCodigoEstab_ =
        criaRotulo(this, "lblCodigoEstab", QStringLiteral("Código do Estabelecimento"));
    lblNomeEstab_ = criaRotulo(this, "lblNomeEstab", QStringLiteral("Nome  do Estabelecimento"));
    lblNomeRede_ = criaRotulo(this, "lblNomeRede", QStringLiteral("Nome  da Rede"));
    cmdConfirma_ = new QPushButton(QStringLiteral("F3 - &Confirma"), this);
    cmdConfirma_->setObjectName(QStringLiteral("cmdConfirma"));
    cmdCancel_ = new QPushButton(QStringLiteral("Esc"), this);
    cmdCancel_->setObjectName(QStringLiteral("cmdCancel"));
    for (QPushButton* b : {cmdConfirma_, cmdCancel_}) b->setAutoDefault(false);

    auto* grade = new QGridLayout(this);
    grade->addWidget(lblCodigoEstab_, 0, 0);
    grade->addWidget(lblNomeEstab_, 1, 0);
    grade->addWidget(lblNomeRede_, 2, 0);
    grade->addWidget(fraSelecao_, 3, 0);
    auto* botoes = new QHBoxLayout;
    botoes->addWidget(cmdConfirma_);
    botoes->addWidget(cmdCancel_);
    grade->addLayout(botoes, 4, 0);

    connect(cmdConfirma_, &QPushButton::clicked, this, [this] { cmdConfirma_Click(); });
    connect(cmdCancel_, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });
    // The screen sees its keys before the list does; after any key the focus is back on it.
    const std::vector<std::pair<Qt::Key, QAbstractButton*>> teclas = {{Qt::Key_F3, cmdConfirma_},
                                                                      {Qt::Key_Escape, cmdCancel_}};
    InstalaTeclasFuncao(this, teclas);
    InstalaTeclasFuncao(cboDistribuidora_, teclas);
    for (QWidget* alvo : {static_cast<QWidget*>(this), static_cast<QWidget*>(cboDistribuidora_)}) {
        new TeclaSaidaFilter(
            alvo, [this] { principal_.cmdSair_Click(); }, [this] { focaLista(); });
    }
    // Back to this screen from another one inside the main window: its name is current again.
    connect(principal_.areaTelas(), &QMdiArea::subWindowActivated, this,
            [this](QMdiSubWindow* janela) {
                if (janela && janela->widget() == this && carregado_)
                    ctx_.TelaAtual = QStringLiteral("CADASTRO");
            });
}

bool FormCadastro::Form_Load() {
    return runTrapped(ctx_, "Form_Load", false, [&] {
        ctx_.TelaAtual = QStringLiteral("CADASTRO");
        principal_.setImprimirDisponivel(false);
        PosicionaFormulario(this);
        principal_.SetaCaption(TextoComData(
            ctx_, QStringLiteral("Quillane Client        0016 - Dados Cadastrais     ")));
        QStringList distribuidoras;
        if (!PreencheComboDistribuidora(ctx_, distribuidoras)) return false;
        cboDistribuidora_->clear();
        cboDistribuidora_->addItems(distribuidoras);
        cboDistribuidora_->setCurrentIndex(-1);
        MontaTela_FormCadastro();
        cboDistribuidora_->setCurrentIndex(
            DistribuidoraSalva(ctx_, txtAdministradora_->text(), distribuidoras));
        carregado_ = true;
        return true;
    });
}

void FormCadastro::MontaTela_FormCadastro() {
    const LayoutFormComplementar& menu = ctx_.telas.FormComplementar[ctx_.TipoEstab];
    lblCodigoEstab_->setText(menu.lblCodigoEstab.caption.trimmed());
    lblNomeEstab_->setText(menu.lblNomeEstab.caption.trimmed());
    lblNomeRede_->setText(menu.lblNomeRede.caption.trimmed());
    const LayoutFormCadastro& layout = ctx_.telas.FormCadastro[ctx_.TipoEstab];
    fraSelecao_->setTitle(layout.fraSelecao.caption.trimmed());
    lblAdministradora_->setText(layout.lblAdministradora.caption.trimmed());
    lblDistribuidora_->setText(layout.lblDistribuidora.caption.trimmed());
    const int posicao = ctx_.ident.AdministradoraSelecionada;
    txtAdministradora_->setText(
        ctx_.operadoras.contem(posicao) ? ctx_.operadoras.at(posicao).codigo.trimmed() : QString());
    // The confirm command follows its layout key: a missing key leaves it disabled.
    cmdConfirma_->setEnabled(layout.cmdConfirma.enabled);
    cmdConfirma_->setText(layout.cmdConfirma.caption.trimmed());
}

void FormCadastro::focaLista() {
    if (cboDistribuidora_->isEnabled() && cboDistribuidora_->isVisible())
        cboDistribuidora_->setFocus();
}

void FormCadastro::cmdConfirma_Click() {
    if (!cmdConfirma_->isEnabled()) return;
    runTrapped(ctx_, "cmdConfirma", 0, [&] {
        BusyCursor ocupado(cmdConfirma_);
        if (cboDistribuidora_->currentIndex() < 0) {
            ctx_.caixas.inform(QStringLiteral("Selecione uma distribuidora!"), kTituloAtencao,
                               MessageBoxes::Icon::Critical);
            ocupado.release();
            focaLista();
            return 0;
        }
        Mensagem_Alteracao_Cadastral(ctx_, cboDistribuidora_->currentText(),
                                     txtAdministradora_->text());
        return 0;
    });
}

void FormCadastro::cmdCancel_Click() {
    FormPrincipal& principal = principal_;
    if (auto* moldura = qobject_cast<QMdiSubWindow*>(parentWidget())) {
        moldura->close();
    } else {
        close();
    }
    AbreFormComplementar(principal);
}

void FormCadastro::closeEvent(QCloseEvent* evento) {
    principal_.SetaCaption(QString());
    evento->accept();
}

void AbreFormCadastro(FormPrincipal& principal) {
    // One registration screen at a time, loaded for the operadora chosen now.
    for (QMdiSubWindow* moldura : principal.areaTelas()->subWindowList()) {
        if (qobject_cast<FormCadastro*>(moldura->widget())) moldura->close();
    }
    auto* tela = new FormCadastro(principal);
    if (!tela->Form_Load()) {
        // The list could not be filled (the reason was shown): the screen goes without ever
        // showing an empty list, and the menu it came from is current again.
        principal.SetaCaption(QString());
        delete tela;
        AbreFormComplementar(principal);
        return;
    }
    principal.abreTela(tela);
    PosicionaFormulario(tela);
    tela->cboDistribuidora()->setFocus();
}

}  // namespace ql
