#include "admin/screens/form_nsu.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>

#include "admin/cancelamento.h"
#include "admin/journal_names.h"
#include "host/transacoes.h"
#include "host/valores.h"
#include "shell/context.h"
#include "shell/error_trap.h"
#include "shell/screens/form_principal.h"
#include "ui/busy_cursor.h"
#include "ui/telas.h"
#include "ui/window_helpers.h"

namespace ql {

namespace {

const QString kTituloTela =
    QStringLiteral("Quillane Client      Tela 0005 - Transações do Lote    ");

}  // namespace

FormNsu::FormNsu(FormPrincipal& principal, const QString& lote, QWidget* parent)
    : TelaJournal(principal, QStringLiteral("FormNsu"), QStringLiteral("Transações do Lote"),
                  QStringLiteral("spdNsu"), QStringLiteral("lblLote"), parent) {
    comoListaDeTransacoes(QStringLiteral("TransacoesLote"));
    criaTotais();
    cmdCanceltotal_ = criaBotao("cmdCanceltotal", QStringLiteral("F4 - Cancela &Total"), Qt::Key_F4,
                                [this] { cmdCanceltotal_Click(); });
    cmdCancelParcial_ = criaBotao("cmdCancelParcial", QStringLiteral("F8 - &Produtos da Transação"),
                                  Qt::Key_F8, [this] { cmdCancelParcial_Click(); });
    cmdSair_ = criaBotaoRetorno(QStringLiteral("cmdSair"), [this] { cmdSair_Click(); });

    carregaTela(QString::fromLatin1(kNomeTela), kTituloTela, [&] {
        MontaTela_FormNsu(lote);
        const TotaisLote totais = SomaTotais(ctx_, modelo());
        const QString valores[] = {totais.liquidoVenda, totais.reposicao, totais.credito,
                                   totais.debito};
        for (std::size_t i = 0; i < caixasTotais_.size(); ++i)
            caixasTotais_[i]->setText(valores[i]);
    });

    registraComandos([this] { ExecutaBotaoEncerrar(); });
}

void FormNsu::criaTotais() {
    const struct {
        const char* rotulo;
        const char* legenda;
        const char* caixa;
    } totais[] = {{"lblTotValorLiqVda", "Valor Líquido Vendas", "txtTotValorLiqVda"},
                  {"lblTotValorRepos", "Valor Reposição", "txtTotValorRepos"},
                  {"lblTotValorCredito", "Valor Crédito", "txtTotValorCredito"},
                  {"lblTotValorDebito", "Valor Débito", "txtTotValorDebito"}};
    auto* faixa = new QGridLayout;
    for (int i = 0; i < 4; ++i) {
        rotulosTotais_[i] = new QLabel(QString::fromUtf8(totais[i].legenda), this);
        rotulosTotais_[i]->setObjectName(QLatin1String(totais[i].rotulo));
        auto* caixa = caixasTotais_[i] = new QLineEdit(QStringLiteral("0,00"), this);
        caixa->setObjectName(QLatin1String(totais[i].caixa));
        caixa->setReadOnly(true);
        caixa->setAlignment(Qt::AlignRight);
        faixa->addWidget(rotulosTotais_[i], 0, i);
        faixa->addWidget(caixa, 1, i);
    }
    adicionaFaixa(faixa);
}

void FormNsu::MontaTela_FormNsu(const QString& lote) {
    const LayoutFormNsu& layout = ctx_.telas.FormNsu[ctx_.TipoEstab];
    const LabelSlot* legendas[] = {&layout.lblTotValorLiqVda, &layout.lblTotValorRepos,
                                   &layout.lblTotValorCredito, &layout.lblTotValorDebito};
    for (std::size_t i = 0; i < rotulosTotais_.size(); ++i)
        AplicaLegenda(rotulosTotais_[i], legendas[i]->caption);

    // The journal's title names the lot; without one the record's caption stays. A type other
    // than 1..3 has no journal name: CarregaGrid then reports the empty pattern as not found,
    // and the screen closes.
    subtitulo()->setText(layout.lblLote.caption.trimmed());
    carrega(journalPattern(JournalKind::TransacoesLote, ctx_.TipoEstab, ctx_.ident.CodigoOperadora,
                           valorInteiro(lote)),
            1);

    AplicaComando(cmdCanceltotal_, layout.CmdCanceltotal_Caption);
    AplicaComando(cmdCancelParcial_, layout.cmdCancelParcial_Caption);
}

void FormNsu::CarregaDadosNSU() {
    loteSelecionado_ = SelecionaTransacaoLote(ctx_, modelo(), linhaAtiva());
}

void FormNsu::cmdCanceltotal_Click() {
    runTrapped(ctx_, "cmdCanceltotal", 0, [&] {
        BusyCursor ocupado(cmdCanceltotal_);
        if (modelo().rowCount() == 0) return 0;
        CarregaDadosNSU();
        if (Mensagem_Cancelamento(ctx_, true)) {
            ConcluiCancelamento(ctx_, true, false, this, ocupado);
        } else {
            ctx_.caixas.inform(QStringLiteral("Cancelamento não realizado!"), kTituloAtencao,
                               MessageBoxes::Icon::Critical);
        }
        return 0;
    });
}

void FormNsu::cmdCancelParcial_Click() {
    runTrapped(ctx_, "cmdCancelParcial", 0, [&] {
        {
            BusyCursor ocupado(cmdCancelParcial_);
            if (modelo().rowCount() == 0) return 0;
            CarregaDadosNSU();
            ctx_.TelaAtual = QStringLiteral("PRODUTOSDATRANSACAO");
        }
        // Only a sale ("BC", "BE") has products to cancel; otherwise nothing more happens.
        if (PermiteCancelamentoParcial(modelo().text(linhaAtiva(), 5)))
            AbreFormResumoProdutos(principal_, loteSelecionado_);
        return 0;
    });
}

QString FormNsu::tituloImpressao() const {
    const auto& r = rotulosTotais_;
    const auto& c = caixasTotais_;
    const RotulosTotais rotulos{r[0]->text(), r[1]->text(), r[2]->text(), r[3]->text()};
    const TotaisLote totais{c[0]->text(), c[1]->text(), c[2]->text(), c[3]->text()};
    return TituloImpressaoLote(rotulos, totais);
}

void FormNsu::cmdSair_Click() {
    runTrapped(ctx_, "cmdSair", 0, [&] {
        fecha();
        return 0;
    });
}

void FormNsu::aoFechar() {
    // A lot that could not be shown gives the main window back its title and print command;
    // the current screen name stays as the loading set it.
    if (carregado()) {
        TelaJournal::aoFechar();
    } else {
        restauraTelaAnterior();
    }
}

void AbreFormNsu(FormPrincipal& principal, const QString& lote) {
    runTrapped(principal.contexto(), "AbreFormNsu", 0, [&] {
        auto* tela = new FormNsu(principal, lote);
        if (TelaJournal::abre(principal, tela)) tela->grade()->setFocus();
        return 0;
    });
}

}  // namespace ql
