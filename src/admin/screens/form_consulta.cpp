#include "admin/screens/form_consulta.h"

#include <QLabel>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTableView>

#include "admin/cancelamento.h"
#include "admin/journal_names.h"
#include "host/transacoes.h"
#include "shell/context.h"
#include "shell/error_trap.h"
#include "shell/screens/form_principal.h"
#include "ui/busy_cursor.h"
#include "ui/telas.h"
#include "ui/window_helpers.h"

namespace ql {

namespace {

const QString kTituloTela =
    QStringLiteral("Quillane Client      Tela 0007 - Transações Pendentes    ");

}  // namespace

FormConsulta::FormConsulta(FormPrincipal& principal, QWidget* parent)
    : TelaJournal(principal, QStringLiteral("FormConsulta"), QString(), QStringLiteral("spdLote"),
                  QStringLiteral("lblsubtitulo"), parent) {
    comoListaDeTransacoes(QStringLiteral("TransacoesPendentes"));
    subtitulo()->setText(QStringLiteral("Lotes dos ultimos 7 dias"));
    cmdConfirmaTrans_ = criaBotao("cmdConfirmaTrans", QStringLiteral("F3 - &Confirma Transações"),
                                  Qt::Key_F3, [this] { cmdConfirmaTrans_Click(); });
    cmdAnulaTrans_ = criaBotao("cmdAnulaTrans", QStringLiteral("F5 - &Anula Transações"),
                               Qt::Key_F5, [this] { cmdAnulaTrans_Click(); });
    cmdCancel_ = criaBotaoRetorno(QStringLiteral("cmdCancel"), [this] { cmdCancel_Click(); });

    carregaTela(QString::fromLatin1(kNomeTela), kTituloTela, [&] {
        const LayoutFormConsulta& layout = ctx_.telas.FormConsulta[ctx_.TipoEstab];
        AplicaComando(cmdConfirmaTrans_, layout.cmdConfirmaTrans_Caption);
        AplicaComando(cmdAnulaTrans_, layout.cmdAnulaTrans_Caption);
        carrega(journalPattern(JournalKind::TransacoesPendentes, ctx_.TipoEstab,
                               ctx_.ident.CodigoOperadora));
    });

    registraComandos([this] { ExecutaBotaoEncerrar(); });
}

void FormConsulta::processaPendente(bool confirmacao) {
    QPushButton* comando = confirmacao ? cmdConfirmaTrans_ : cmdAnulaTrans_;
    runTrapped(ctx_, confirmacao ? "cmdConfirmaTrans" : "cmdAnulaTrans", 0, [&] {
        BusyCursor ocupado(comando);
        if (modelo().rowCount() == 0) {
            ctx_.caixas.inform(QStringLiteral("Não existem transações pendentes."), kTituloAtencao,
                               MessageBoxes::Icon::Critical);
            return 0;
        }
        lote_ = SelecionaTransacaoPendente(ctx_, modelo(), linhaAtiva());
        const bool aceita = confirmacao ? Mensagem_Confirmacao(ctx_) : Mensagem_Anulacao(ctx_);
        ctx_.caixas.inform(TextoResultadoPendente(confirmacao, aceita), kTituloAtencao,
                           MessageBoxes::Icon::Critical);
        grade()->setFocus();
        return 0;
    });
}

void FormConsulta::cmdConfirmaTrans_Click() {
    processaPendente(true);
}

void FormConsulta::cmdAnulaTrans_Click() {
    processaPendente(false);
}

void FormConsulta::cmdCancel_Click() {
    runTrapped(ctx_, "cmdCancel", 0, [&] {
        ctx_.TelaAtual.clear();
        fecha();
        return 0;
    });
}

void FormConsulta::aoFechar() {
    // A list that could not be shown gives the main window back its title and print command;
    // the current screen name stays as the loading set it.
    if (!carregado()) {
        restauraTelaAnterior();
        return;
    }
    principal_.setImprimirDisponivel(false);
}

void AbreFormConsulta(FormPrincipal& principal) {
    runTrapped(principal.contexto(), "AbreFormConsulta", 0, [&] {
        auto* tela = new FormConsulta(principal);
        // The one journal screen that opens maximised inside the main window.
        if (QMdiSubWindow* moldura = TelaJournal::abre(principal, tela)) {
            moldura->showMaximized();
            tela->grade()->setFocus();
        }
        return 0;
    });
}

}  // namespace ql
