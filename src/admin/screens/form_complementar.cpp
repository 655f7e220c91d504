#include "admin/screens/form_complementar.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

#include "admin/menu_administrativo.h"
#include "data/operadoras.h"
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

using C = ComandoAdministrativo;

const QString kNomeTela = QStringLiteral("FormComplementar");

QPushButton* criaBotao(QWidget* pai, const char* nome, const QString& legenda) {
    auto* b = new QPushButton(legenda, pai);
    b->setObjectName(QLatin1String(nome));
    b->setAutoDefault(false);
    return b;
}

QLabel* criaRotulo(QWidget* pai, const char* nome, const QString& legenda) {
    auto* l = new QLabel(legenda, pai);
    l->setObjectName(QLatin1String(nome));
    return l;
}

}  // namespace

FormComplementar::FormComplementar(FormPrincipal& principal)
    : principal_(principal), ctx_(principal.contexto()) {
    setObjectName(kNomeTela);
    setWindowTitle(QStringLiteral("0002 - Administrativas"));
    setAttribute(Qt::WA_DeleteOnClose);

    fraIdentificacao_ = new QGroupBox(QStringLiteral("Identificação do Usuário"), this);
    fraIdentificacao_->setObjectName(QStringLiteral("fraIdentificacao"));
    lblUsuario_ = criaRotulo(fraIdentificacao_, "lblUsuario", QStringLiteral("Usuário "));
    txtUsuario_ = new QLineEdit(fraIdentificacao_);
    txtUsuario_->setObjectName(QStringLiteral("txtUsuario"));
    txtUsuario_->setReadOnly(true);
    txtUsuario_->setFocusPolicy(Qt::NoFocus);
    cmdLogin_ = criaBotao(fraIdentificacao_, "cmdLogin", QStringLiteral("F2 - &Login"));
    cmdAlterarSenha_ =
        criaBotao(fraIdentificacao_, "cmdAlterarSenha", QStringLiteral("F4 - &Nova Senha"));
    auto* gradeId = new QGridLayout(fraIdentificacao_);
    gradeId->addWidget(lblUsuario_, 0, 0);
    gradeId->addWidget(txtUsuario_, 0, 1, 1, 2);
    gradeId->addWidget(cmdLogin_, 1, 1);
    gradeId->addWidget(cmdAlterarSenha_, 1, 2);

    lblAdmistradora_ = criaRotulo(this, "lblAdmistradora", QStringLiteral("Administradora"));
    cbAdministradora_ = new QComboBox(this);
    cbAdministradora_->setObjectName(QStringLiteral("cbAdministradora"));
    lblAdmistradora_->setBuddy(cbAdministradora_);
    lblCodigoEstab_ =
        criaRotulo(this, "lblCodigoEstab", QStringLiteral("Código do Estabelecimento"));
    lblNomeEstab_ = criaRotulo(this, "lblNomeEstab", QStringLiteral("Nome  do Estabelecimento"));
    lblNomeRede_ = criaRotulo(this, "lblNomeRede", QStringLiteral("Nome  da Rede"));

    cmdCadastro_ = criaBotao(this, "cmdCadastro", QStringLiteral("F3 - &Cadastro"));
    cmdResumoFinanceiro_ =
        criaBotao(this, "cmdResumoFinanceiro", QStringLiteral("F5 - Resumo &Financeiro"));
    cmdPrevenda_ = criaBotao(this, "cmdPrevenda", QStringLiteral("F5 - Pré Autorização"));
    cmdResumo_ = criaBotao(this, "cmdResumo", QStringLiteral("F6 - Resumo de &Autorização"));
    cmdCanceltotal_ = criaBotao(this, "cmdCanceltotal", QStringLiteral("F7 - Cancelament&o"));
    cmdPendentes_ = criaBotao(this, "cmdPendentes", QStringLiteral("F8 - &Transações Pendentes "));
    cmdLogon_ = criaBotao(this, "cmdLogon", QStringLiteral("F9 - Lo&gon"));
    cmdCancel_ = criaBotao(this, "cmdCancel", QStringLiteral("ESC - Retorna"));

    auto* grade = new QGridLayout(this);
    grade->addWidget(fraIdentificacao_, 0, 0, 1, 2);
    grade->addWidget(lblAdmistradora_, 1, 0);
    grade->addWidget(cbAdministradora_, 1, 1);
    grade->addWidget(lblCodigoEstab_, 2, 0, 1, 2);
    grade->addWidget(lblNomeEstab_, 3, 0, 1, 2);
    grade->addWidget(lblNomeRede_, 4, 0, 1, 2);
    grade->addWidget(cmdCadastro_, 5, 0);
    grade->addWidget(cmdResumoFinanceiro_, 5, 1);
    grade->addWidget(cmdResumo_, 6, 0);
    grade->addWidget(cmdCanceltotal_, 6, 1);
    grade->addWidget(cmdPendentes_, 7, 0);
    grade->addWidget(cmdLogon_, 7, 1);
    grade->addWidget(cmdPrevenda_, 8, 0);
    grade->addWidget(cmdCancel_, 8, 1);

    for (const RegraComandoAdministrativo& regra : RegrasComandosAdministrativos()) {
        const ComandoAdministrativo comando = regra.comando;
        connect(botao(comando), &QPushButton::clicked, this, [this, comando] { executa(comando); });
    }
    connect(cbAdministradora_, &QComboBox::currentIndexChanged, this,
            [this] { cbAdministradora_Click(); });
    InstalaEnterTab(cbAdministradora_);

    // The menu sees its function keys before its controls (the list would take F4 for itself).
    std::vector<std::pair<Qt::Key, QAbstractButton*>> teclas;
    for (const RegraComandoAdministrativo& regra : RegrasComandosAdministrativos()) {
        if (regra.tecla != Qt::Key_unknown) teclas.emplace_back(regra.tecla, botao(regra.comando));
    }
    InstalaTeclasFuncao(this, teclas);
    InstalaTeclasFuncao(cbAdministradora_, teclas);
    new TeclaSaidaFilter(this, [this] { principal_.cmdSair_Click(); });
    new TeclaSaidaFilter(cbAdministradora_, [this] { principal_.cmdSair_Click(); });

    principal_.registraTela(kNomeTela, this, {[this] { ExecutaBotaoEncerrar(); }, {}});
    connect(principal_.areaTelas(), &QMdiArea::subWindowActivated, this,
            [this](QMdiSubWindow* janela) {
                if (janela && janela->widget() == this && !fechando_) Form_Activate();
            });
}

FormComplementar::~FormComplementar() {
    // The registration with the main window ends when the menu closes (closeEvent). A menu
    // still open when the main window itself goes away is destroyed while that window is half
    // torn down, so nothing of it may be reached from here on.
    disconnect(this, &QObject::destroyed, &principal_, nullptr);
}

QPushButton* FormComplementar::botao(ComandoAdministrativo comando) const {
    switch (comando) {
        case C::Login:
            return cmdLogin_;
        case C::Cadastro:
            return cmdCadastro_;
        case C::AlterarSenha:
            return cmdAlterarSenha_;
        case C::ResumoFinanceiro:
            return cmdResumoFinanceiro_;
        case C::Resumo:
            return cmdResumo_;
        case C::Canceltotal:
            return cmdCanceltotal_;
        case C::Pendentes:
            return cmdPendentes_;
        case C::Logon:
            return cmdLogon_;
        case C::Prevenda:
            return cmdPrevenda_;
        case C::Cancel:
            return cmdCancel_;
    }
    return cmdCancel_;
}

void FormComplementar::Form_Load() {
    runTrapped(ctx_, "FormComplementar_Form_Load", 0, [&] {
        ctx_.TelaAtual = QStringLiteral("ADMINISTRATIVA");
        principal_.setImprimirDisponivel(false);
        PosicionaFormulario(this);
        principal_.SetaCaption(TituloMenuAdministrativo(ctx_));
        MontaTela_FormComplementar();
        // Filling the list chooses its first item, as a click on it would.
        const ListaComboAdm lista = PreencheComboAdmCodigos(ctx_.operadoras);
        {
            const QSignalBlocker bloqueio(cbAdministradora_);
            cbAdministradora_->clear();
            for (const ItemComboAdm& item : lista.itens)
                cbAdministradora_->addItem(item.codigo, item.posicao);
            cbAdministradora_->setCurrentIndex(lista.selecionado);
        }
        cbAdministradora_Click();
        return 0;
    });
}

void FormComplementar::Form_Activate() {
    // The current screen name is the menu's on loading only: a screen closed above it leaves
    // the name it set (the pending list, for one, leaves "").
    runTrapped(ctx_, "FormComplementar_Form_Activate", 0, [&] {
        principal_.SetaCaption(TituloMenuAdministrativo(ctx_));
        return 0;
    });
}

void FormComplementar::MontaTela_FormComplementar() {
    runTrapped(ctx_, "MontaTela_FormComplementar", 0, [&] {
        const TelaAdministrativa tela = ql::MontaTela_FormComplementar(ctx_);
        lblUsuario_->setText(tela.lblUsuario);
        fraIdentificacao_->setTitle(tela.fraIdentificacao);
        lblAdmistradora_->setText(tela.lblAdmistradora);
        lblCodigoEstab_->setText(tela.lblCodigoEstab);
        lblNomeEstab_->setText(tela.lblNomeEstab);
        lblNomeRede_->setText(tela.lblNomeRede);
        cmdLogin_->setText(tela.cmdLogin);
        cmdAlterarSenha_->setText(tela.cmdAlterarSenha);
        cmdResumo_->setText(tela.cmdResumo);
        cmdCanceltotal_->setText(tela.cmdCanceltotal);
        cmdPendentes_->setText(tela.cmdPendentes);
        cmdLogon_->setText(tela.cmdLogon);
        cmdCadastro_->setText(tela.cmdCadastro);
        txtUsuario_->setText(tela.txtUsuario);
        for (const RegraComandoAdministrativo& regra : RegrasComandosAdministrativos()) {
            botao(regra.comando)->setEnabled(tela.habilitado(regra.comando));
        }
        return 0;
    });
}

void FormComplementar::cbAdministradora_Click() {
    runTrapped(ctx_, "cbAdministradora_Click", 0, [&] {
        const int indice = cbAdministradora_->currentIndex();
        if (cbAdministradora_->count() > 0 && indice >= 0)
            EscolheAdministradora(ctx_, cbAdministradora_->itemData(indice).toInt());
        return 0;
    });
}

void FormComplementar::focaLista() {
    if (cbAdministradora_->isEnabled() && cbAdministradora_->isVisible())
        cbAdministradora_->setFocus();
}

void FormComplementar::executa(ComandoAdministrativo comando) {
    const RegraComandoAdministrativo& regra = RegraDoComando(comando);
    QPushButton* comandoBotao = botao(comando);
    // A function key reaches only an enabled button; a direct call obeys the same rule.
    if (!comandoBotao->isEnabled()) return;
    // The screens opened below may close this menu; the main window outlives it.
    FormPrincipal& principal = principal_;
    QPointer<FormComplementar> guarda(this);
    runTrapped(ctx_, regra.controle, 0, [&] {
        BusyCursor ocupado(comandoBotao);
        if (!IniciaComandoAdministrativo(ctx_, comando, cbAdministradora_->currentIndex() >= 0)) {
            focaLista();
            return 0;
        }
        ocupado.release();
        switch (comando) {
            case C::Login:
                if (ExecutaFormLogin(ctx_, this) && guarda) {
                    MontaTela_FormComplementar();
                    focaLista();
                }
                break;
            case C::AlterarSenha:
                ExecutaFormNovaSenha(ctx_, this);
                break;
            case C::Cadastro:
                AbreFormCadastro(principal);
                break;
            case C::Canceltotal:
                ExecutaFormCancela(principal);
                break;
            case C::Logon:
                ExecutaFormMensLogon(principal);
                break;
            case C::Pendentes:
                AbreFormConsulta(principal);
                break;
            case C::Prevenda:
                AbreFormInicial(principal);
                break;
            case C::Resumo:
                AbreFormResumo(principal);
                break;
            case C::ResumoFinanceiro:
                AbreFormResumoFinanceiro(principal);
                break;
            case C::Cancel:
                fecha();
                AbreFormInicial(principal);
                break;
        }
        return 0;
    });
}

void FormComplementar::ExecutaBotaoEncerrar() {
    executa(C::Cancel);
}

void FormComplementar::fecha() {
    if (auto* moldura = qobject_cast<QMdiSubWindow*>(parentWidget())) {
        moldura->close();
    } else {
        close();
    }
}

void FormComplementar::closeEvent(QCloseEvent* evento) {
    fechando_ = true;
    principal_.removeTela(kNomeTela);
    principal_.SetaCaption(QString());
    evento->accept();
}

void AbreFormComplementar(FormPrincipal& principal) {
    // One menu at a time: a menu already open (behind a screen it opened) comes back.
    for (QMdiSubWindow* moldura : principal.areaTelas()->subWindowList()) {
        auto* menu = qobject_cast<FormComplementar*>(moldura->widget());
        if (!menu) continue;
        moldura->show();
        menu->show();
        principal.areaTelas()->setActiveSubWindow(moldura);
        menu->Form_Activate();
        return;
    }
    auto* menu = new FormComplementar(principal);
    principal.abreTela(menu);
    menu->Form_Load();
}

}  // namespace ql
