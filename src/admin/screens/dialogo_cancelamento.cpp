#include "admin/screens/dialogo_cancelamento.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include <tuple>

#include "admin/cancelamento.h"
#include "host/transacoes.h"
#include "shell/error_trap.h"
#include "shell/layouts.h"
#include "ui/busy_cursor.h"
#include "ui/key_filters.h"
#include "ui/telas.h"
#include "ui/window_helpers.h"

namespace ql {

DialogoCancelamento::DialogoCancelamento(Context& ctx, const QString& nomeTela,
                                         const QString& titulo, QWidget* parent)
    : QDialog(parent), ctx_(ctx) {
    setObjectName(nomeTela);
    setWindowTitle(titulo);
    setModal(true);
    corpo_ = new QVBoxLayout(this);
}

void DialogoCancelamento::criaComandos(const CommandSlot& ok, const CommandSlot& cancel) {
    auto* comandos = new QHBoxLayout;
    comandos->addStretch(1);
    for (auto [botao, nome, legenda] :
         {std::tuple{&cmdOk_, "cmdOk", QStringLiteral("F3 - &OK")},
          std::tuple{&cmdCancel_, "cmdCancel", QStringLiteral("ESC - &Cancel")}}) {
        *botao = new QPushButton(legenda, this);
        (*botao)->setObjectName(QLatin1String(nome));
        (*botao)->setAutoDefault(false);
        comandos->addWidget(*botao);
    }
    corpo_->addLayout(comandos);
    AplicaComando(cmdOk_, ok);
    AplicaComando(cmdCancel_, cancel);
    connect(cmdOk_, &QPushButton::clicked, this, [this] { cmdOk_Click(); });
    connect(cmdCancel_, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });
    InstalaTeclasFuncao(
        this, {{Qt::Key_F3, cmdOk_}, {Qt::Key_F12, cmdCancel_}, {Qt::Key_Escape, cmdCancel_}});
    adjustSize();
    CentralizaJanela(this);
}

void DialogoCancelamento::cmdOk_Click() {
    runTrapped(ctx_, "cmdOk", 0, [&] {
        {
            BusyCursor ocupado(cmdOk_);
            if (!enviaCancelamento(ocupado)) return 0;
        }
        accept();
        return 0;
    });
}

void ConcluiCancelamento(Context& ctx, bool aceito, bool reciboDaRecusa, QWidget* pai,
                         BusyCursor& ocupado) {
    if (aceito) InformaNumeroAutorizacao(ctx);
    if ((aceito || reciboDaRecusa) && GetQtdLinha(ctx) > 0) {
        ocupado.release();
        ExecutaFormImpressao(ctx, pai);
    }
}

}  // namespace ql
