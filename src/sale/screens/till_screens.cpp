// The screens' side of the till interface: when a till sale may start, how it is brought to
// the cashier and how the till's word reaches the receipt screen.
#include <QApplication>

#include "sale/screens/form_impressao.h"
#include "sale/screens/form_inicial.h"
#include "shell/context.h"
#include "shell/screens/form_principal.h"
#include "till/till_session.h"
#include "ui/telas.h"

namespace ql {

void LigaInterfaceCaixa(FormPrincipal& principal) {
    Context& ctx = principal.contexto();
    if (!ctx.till) return;
    TillSession::Ganchos g;
    g.telaInicialLivre = [&principal, &ctx] {
        const FormInicial* tela = TelaInicialAberta(principal);
        return tela && tela->ociosa() && !QApplication::activeModalWidget() && !ctx.ocupado();
    };
    g.iniciaVenda = [&principal] {
        if (principal.isMinimized()) principal.showNormal();
        principal.raise();
        principal.activateWindow();
        AbreFormInicial(principal);
    };
    g.decideRecibo = [&principal](bool confirma) {
        FormImpressao* recibo = principal.findChild<FormImpressao*>();
        if (!recibo) return false;
        if (confirma) {
            recibo->cmdConfirma_Click();
        } else {
            recibo->cmdAnula_Click();
        }
        return true;
    };
    ctx.till->setGanchos(std::move(g));
}

}  // namespace ql
