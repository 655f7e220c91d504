#include "sale/screens/form_impressao.h"

#include <QAction>
#include <QFont>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

#include "host/transacoes.h"
#include "sale/recibo.h"
#include "sale/screens/enter_no_botao.h"
#include "shell/context.h"
#include "shell/error_trap.h"
#include "shell/screens/form_principal.h"
#include "ui/busy_cursor.h"
#include "ui/impressao.h"
#include "ui/key_filters.h"
#include "ui/telas.h"
#include "ui/window_helpers.h"

namespace ql {

namespace {

const QString kFonteRecibo = QStringLiteral("Courier New");

// The main window this screen opens over, when there is one among its ancestors.
FormPrincipal* principalDe(QWidget* w) {
    for (; w; w = w->parentWidget()) {
        if (auto* principal = qobject_cast<FormPrincipal*>(w)) return principal;
    }
    return nullptr;
}

}  // namespace

FormImpressao::FormImpressao(Context& ctx, QWidget* parent) : QDialog(parent), ctx_(ctx) {
    setObjectName(QStringLiteral("FormImpressao"));
    setWindowTitle(QStringLiteral("Imagem da Impressão"));
    setModal(true);

    lstImpressao_ = new QListWidget(this);
    lstImpressao_->setObjectName(QStringLiteral("lstImpressao"));
    QFont fonte(kFonteRecibo);
    fonte.setStyleHint(QFont::TypeWriter);
    fonte.setFixedPitch(true);
    fonte.setPointSize(9);
    lstImpressao_->setFont(fonte);
    lstImpressao_->setSelectionMode(QAbstractItemView::SingleSelection);

    cmdConfirma_ = new QPushButton(QStringLiteral("F5 - C&onfirma "), this);
    cmdConfirma_->setObjectName(QStringLiteral("cmdConfirma"));
    cmdImprimir_ = new QPushButton(QStringLiteral("F8 - Im&primir"), this);
    cmdImprimir_->setObjectName(QStringLiteral("cmdImprimir"));
    cmdAnula_ = new QPushButton(QStringLiteral("F12 - &Anula"), this);
    cmdAnula_->setObjectName(QStringLiteral("cmdAnula"));
    for (QPushButton* b : {cmdConfirma_, cmdImprimir_, cmdAnula_}) {
        b->setAutoDefault(false);
        b->setDefault(false);
        new EnterNoBotao(b);
    }
    connect(cmdConfirma_, &QPushButton::clicked, this, [this] { cmdConfirma_Click(); });
    connect(cmdImprimir_, &QPushButton::clicked, this, [this] { cmdImprimir_Click(); });
    connect(cmdAnula_, &QPushButton::clicked, this, [this] { cmdAnula_Click(); });

    auto* botoes = new QHBoxLayout;
    botoes->addWidget(cmdConfirma_);
    botoes->addWidget(cmdImprimir_);
    botoes->addWidget(cmdAnula_);
    auto* principal = new QVBoxLayout(this);
    principal->addWidget(lstImpressao_, 1);
    principal->addLayout(botoes);

    // Wide enough for a 38-character line and its scroll bar.
    const int largura =
        QFontMetrics(fonte).horizontalAdvance(QString(kLarguraLinhaRecibo + 4, u'M'));
    lstImpressao_->setMinimumWidth(largura + 24);
    resize(std::max(largura + 48, 380), 420);

    InstalaTeclasFuncao(
        this, {{Qt::Key_F5, cmdConfirma_}, {Qt::Key_F8, cmdImprimir_}, {Qt::Key_F12, cmdAnula_}});
    Form_Load();
}

FormImpressao::~FormImpressao() {
    if (principal_) principal_->setImprimirDisponivel(mnuImprimirHabilitado_);
}

void FormImpressao::Form_Load() {
    principal_ = principalDe(parentWidget());
    if (principal_) {
        mnuImprimirHabilitado_ =
            principal_->mnuImprimir() && principal_->mnuImprimir()->isEnabled();
        principal_->setImprimirDisponivel(false);
    }
    CentralizaJanela(this);
    PreencheImpressao();
}

void FormImpressao::PreencheImpressao() {
    const auto& layout = ctx_.telas.FormImpressao[ctx_.TipoEstab];
    confirmaHabilitado_ = layout.CmdConfirma_Caption.enabled;
    anulaHabilitado_ = layout.cmdAnula_Caption.enabled;
    imprimirHabilitado_ = layout.cmdImprimir_Caption.enabled;
    cmdConfirma_->setText(layout.CmdConfirma_Caption.caption.trimmed());
    cmdAnula_->setText(layout.cmdAnula_Caption.caption.trimmed());
    cmdImprimir_->setText(layout.cmdImprimir_Caption.caption.trimmed());
    habilitaBotoes(true);

    lstImpressao_->clear();
    lstImpressao_->addItems(ql::PreencheImpressao(ctx_));
}

QStringList FormImpressao::linhas() const {
    QStringList texto;
    for (int i = 0; i < lstImpressao_->count(); ++i) texto << lstImpressao_->item(i)->text();
    return texto;
}

void FormImpressao::habilitaBotoes(bool habilita) {
    cmdConfirma_->setEnabled(habilita && confirmaHabilitado_);
    cmdAnula_->setEnabled(habilita && anulaHabilitado_);
    cmdImprimir_->setEnabled(habilita && imprimirHabilitado_);
}

void FormImpressao::habilitaTodos() {
    for (QPushButton* b : {cmdConfirma_, cmdImprimir_, cmdAnula_}) b->setEnabled(true);
}

void FormImpressao::cmdImprimir_Click() {
    if (fechado_) return;
    runTrapped(ctx_, "cmdImprimir_Click", 0, [&] {
        habilitaBotoes(false);
        BusyCursor ocupado;
        QStringList recibo = linhas();
        recibo << QStringLiteral(" ");
        const ResultadoImpressao r = ObtemImpressoraRecibo(ctx_)->imprime(recibo);
        ocupado.release();
        habilitaTodos();
        if (!r.ok) {
            ctx_.caixas.inform(
                QStringLiteral("Não foi possível imprimir o comprovante.\n") + r.erro,
                kTituloAtencao, MessageBoxes::Icon::Exclamation);
        }
        return 0;
    });
}

void FormImpressao::cmdConfirma_Click() {
    encerra("cmdConfirma_Click", Mensagem_Confirmacao);
}

void FormImpressao::cmdAnula_Click() {
    encerra("cmdAnula_Click", Mensagem_Anulacao);
}

void FormImpressao::encerra(const char* procedimento, bool (*transacao)(Context&)) {
    if (fechado_) return;
    runTrapped(ctx_, procedimento, 0, [&] {
        habilitaBotoes(false);
        {
            BusyCursor ocupado;
            transacao(ctx_);
        }
        habilitaTodos();
        fechado_ = true;
        QDialog::accept();
        return 0;
    });
}

void FormImpressao::reject() {
    if (confirmaHabilitado_ || anulaHabilitado_) return;
    fechado_ = true;
    QDialog::reject();
}

void ExecutaFormImpressao(Context& ctx, QWidget* pai) {
    FormImpressao tela(ctx, pai);
    tela.exec();
}

}  // namespace ql
