#include "admin/screens/form_resumo_financeiro.h"

#include <QLabel>
#include <QPushButton>

#include "admin/resumos.h"
#include "shell/context.h"
#include "shell/error_trap.h"
#include "shell/screens/form_principal.h"
#include "ui/key_filters.h"
#include "ui/telas.h"

namespace ql {

namespace {

const QString kTitulo = QStringLiteral("Quillane Client      Tela 0003 - Resumo Financeiro    ");
const QString kTelaAtual = QStringLiteral("RESUMOFINANCEIRO");

}  // namespace

FormResumoFinanceiro::FormResumoFinanceiro(FormPrincipal& principal, QWidget* parent)
    : TelaJournal(principal, QStringLiteral("FormResumoFinanceiro"),
                  QStringLiteral("Tela 0003 - Resumo Financeiro"), QStringLiteral("spdLote"),
                  QStringLiteral("lblsubtitulo"), parent) {
    subtitulo()->setText(QStringLiteral("Lotes dos ultimos 7 dias"));
    cmdCancel_ = criaBotaoRetorno(QStringLiteral("cmdCancel"));
    connect(cmdCancel_, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });
    InstalaTeclasFuncao(this, {{Qt::Key_Escape, cmdCancel_}});

    runTrapped(ctx_, "Form_Load", 0, [&] {
        ctx_.TelaAtual = kTelaAtual;
        passosComuns(kTitulo);
        carrega(PadraoResumoFinanceiro(ctx_));
        return 0;
    });

    // Print only: the main window's F12 has no action on this screen.
    principal.registraTela(QStringLiteral("FormResumoFinanceiro"), this,
                           {{}, [this] {
                                if (cmdImprimir()->isEnabled()) cmdImprimir_Click();
                            }});
}

void FormResumoFinanceiro::aoFechar() {
    principal_.SetaCaption(QString());
    principal_.setImprimirDisponivel(false);
}

void FormResumoFinanceiro::aoReativar() {
    ctx_.TelaAtual = kTelaAtual;
}

void AbreFormResumoFinanceiro(FormPrincipal& principal) {
    TelaJournal::abre(principal, new FormResumoFinanceiro(principal));
}

}  // namespace ql
