#include "admin/screens/form_resumo_financeiro.h"

#include <QLabel>
#include <QPushButton>

#include "admin/resumos.h"
#include "shell/context.h"
#include "shell/error_trap.h"
#include "shell/screens/form_principal.h"
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
    cmdCancel_ = criaBotaoRetorno(QStringLiteral("cmdCancel"), [this] { cmdCancel_Click(); });

    carregaTela(kTelaAtual, kTitulo, [&] { carrega(PadraoResumoFinanceiro(ctx_)); });

    // Print only: the main window's F12 has no action on this screen.
    registraComandos({});
}

void FormResumoFinanceiro::cmdCancel_Click() {
    runTrapped(ctx_, "cmdCancel", 0, [&] {
        fecha();
        return 0;
    });
}

void AbreFormResumoFinanceiro(FormPrincipal& principal) {
    TelaJournal::abre(principal, new FormResumoFinanceiro(principal));
}

}  // namespace ql
