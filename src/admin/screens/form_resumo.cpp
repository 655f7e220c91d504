#include "admin/screens/form_resumo.h"

#include <QLabel>
#include <QPushButton>
#include <QTableView>

#include "admin/resumos.h"
#include "shell/context.h"
#include "shell/error_trap.h"
#include "shell/screens/form_principal.h"
#include "ui/busy_cursor.h"
#include "ui/telas.h"
#include "ui/window_helpers.h"

namespace ql {

namespace {

const QString kTitulo =
    QStringLiteral("Quillane Client      Tela 0003 - Resumo de Autorizações    ");
const QString kTelaAtual = QStringLiteral("RESUMOVENDA");

}  // namespace

FormResumo::FormResumo(FormPrincipal& principal, QWidget* parent)
    : TelaJournal(principal, QStringLiteral("FormResumo"),
                  QStringLiteral("Tela 0003 - Resumo de Autorizações"), QStringLiteral("spdLote"),
                  QStringLiteral("lblsubtitulo"), parent),
      abreFormNsu(AbreFormNsu),
      abreFormResumoProdutos(AbreFormResumoProdutos) {
    cmdAtualiza_ = criaBotao("cmdAtualiza", QStringLiteral("F5 - &Atualiza Lotes"), Qt::Key_F5,
                             [this] { cmdAtualiza_Click(); });
    cmdTransacoesLote_ = criaBotao("cmdTransacoesLote", QStringLiteral("F8 - &Transações do Lote"),
                                   Qt::Key_F8, [this] { cmdTransacoesLote_Click(); });
    cmdProdutosLote_ = criaBotao("cmdProdutosLote", QStringLiteral("F9 - &Produtos do Lote"),
                                 Qt::Key_F9, [this] { cmdProdutosLote_Click(); });
    cmdCancel_ = criaBotaoRetorno(QStringLiteral("cmdCancel"), [this] { cmdCancel_Click(); });

    carregaTela(kTelaAtual, kTitulo, [&] {
        const LayoutFormResumo& layout = ctx_.telas.FormResumo[ctx_.TipoEstab];
        AplicaLegenda(subtitulo(), layout.lblLotesDias.caption);
        AplicaComando(cmdTransacoesLote_, layout.cmdTransacoesLote_caption);
        AplicaComando(cmdProdutosLote_, layout.cmdProdutosLote_caption);
        carrega(PadraoResumoVendas(ctx_));
    });

    registraComandos([this] { ExecutaBotaoEncerrar(); });
}

void FormResumo::CarregaDadosLote() {
    runTrapped(ctx_, "CarregaDadosLote", 0, [&] {
        const QModelIndex ativa = grade()->currentIndex();
        ql::CarregaDadosLote(ctx_, modelo(), ativa.isValid() ? ativa.row() : 0);
        return 0;
    });
}

void FormResumo::cmdAtualiza_Click() {
    // The journal is refreshed by its writer; the lots shown are those read on opening.
    BusyCursor ocupado(cmdAtualiza_);
}

void FormResumo::cmdTransacoesLote_Click() {
    runTrapped(ctx_, "cmdTransacoesLote", 0, [&] {
        {
            BusyCursor ocupado(cmdTransacoesLote_);
            CarregaDadosLote();
        }
        if (abreFormNsu) abreFormNsu(principal_, ctx_.LoteSelecionado);
        return 0;
    });
}

void FormResumo::cmdProdutosLote_Click() {
    runTrapped(ctx_, "cmdProdutosLote", 0, [&] {
        {
            BusyCursor ocupado(cmdProdutosLote_);
            CarregaDadosLote();
        }
        ctx_.TelaAtual = QStringLiteral("PRODUTOSDOLOTE");
        if (abreFormResumoProdutos) abreFormResumoProdutos(principal_, ctx_.LoteSelecionado);
        return 0;
    });
}

void FormResumo::cmdCancel_Click() {
    runTrapped(ctx_, "cmdCancel", 0, [&] {
        fecha();
        return 0;
    });
}

void AbreFormResumo(FormPrincipal& principal) {
    TelaJournal::abre(principal, new FormResumo(principal));
}

}  // namespace ql
