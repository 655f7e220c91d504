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

QLabel* rotulo(QWidget* pai, const char* nome, const QString& texto) {
    auto* l = new QLabel(texto, pai);
    l->setObjectName(QLatin1String(nome));
    return l;
}

QLineEdit* caixaTotal(QWidget* pai, const char* nome) {
    auto* t = new QLineEdit(QStringLiteral("0,00"), pai);
    t->setObjectName(QLatin1String(nome));
    t->setReadOnly(true);
    t->setAlignment(Qt::AlignRight);
    return t;
}

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
        txtTotValorLiqVda_->setText(totais.liquidoVenda);
        txtTotValorRepos_->setText(totais.reposicao);
        txtTotValorCredito_->setText(totais.credito);
        txtTotValorDebito_->setText(totais.debito);
    });

    registraComandos([this] { ExecutaBotaoEncerrar(); });
}

void FormNsu::criaTotais() {
    lblTotValorLiqVda_ = rotulo(this, "lblTotValorLiqVda", QStringLiteral("Valor Líquido Vendas"));
    lblTotValorRepos_ = rotulo(this, "lblTotValorRepos", QStringLiteral("Valor Reposição"));
    lblTotValorCredito_ = rotulo(this, "lblTotValorCredito", QStringLiteral("Valor Crédito"));
    lblTotValorDebito_ = rotulo(this, "lblTotValorDebito", QStringLiteral("Valor Débito"));
    txtTotValorLiqVda_ = caixaTotal(this, "txtTotValorLiqVda");
    txtTotValorRepos_ = caixaTotal(this, "txtTotValorRepos");
    txtTotValorCredito_ = caixaTotal(this, "txtTotValorCredito");
    txtTotValorDebito_ = caixaTotal(this, "txtTotValorDebito");
    auto* totais = new QGridLayout;
    const std::pair<QLabel*, QLineEdit*> pares[] = {{lblTotValorLiqVda_, txtTotValorLiqVda_},
                                                    {lblTotValorRepos_, txtTotValorRepos_},
                                                    {lblTotValorCredito_, txtTotValorCredito_},
                                                    {lblTotValorDebito_, txtTotValorDebito_}};
    int coluna = 0;
    for (const auto& [l, t] : pares) {
        totais->addWidget(l, 0, coluna);
        totais->addWidget(t, 1, coluna++);
    }
    adicionaFaixa(totais);
}

void FormNsu::MontaTela_FormNsu(const QString& lote) {
    const LayoutFormNsu& layout = ctx_.telas.FormNsu[ctx_.TipoEstab];
    AplicaLegenda(lblTotValorLiqVda_, layout.lblTotValorLiqVda.caption);
    AplicaLegenda(lblTotValorRepos_, layout.lblTotValorRepos.caption);
    AplicaLegenda(lblTotValorCredito_, layout.lblTotValorCredito.caption);
    AplicaLegenda(lblTotValorDebito_, layout.lblTotValorDebito.caption);

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
        if (PermiteCancelamentoParcial(modelo().text(linhaAtiva(), 5))) {
            AbreFormResumoProdutos(principal_, loteSelecionado_);
        } else {
            // No product list opens: this screen stays the current one for F11 and F12.
            ctx_.TelaAtual = QString::fromLatin1(kNomeTela);
        }
        return 0;
    });
}

QString FormNsu::tituloImpressao() const {
    const RotulosTotais rotulos{lblTotValorLiqVda_->text(), lblTotValorRepos_->text(),
                                lblTotValorCredito_->text(), lblTotValorDebito_->text()};
    const TotaisLote totais{txtTotValorLiqVda_->text(), txtTotValorRepos_->text(),
                            txtTotValorCredito_->text(), txtTotValorDebito_->text()};
    return TituloImpressaoLote(rotulos, totais);
}

void FormNsu::cmdSair_Click() {
    fecha();
}

void FormNsu::aoFechar() {
    // A lot that could not be shown leaves the opener current as it was; otherwise the current
    // screen name stays as it is.
    if (carregado()) {
        TelaJournal::aoFechar();
    } else {
        restauraTelaAnterior();
    }
}

void AbreFormNsu(FormPrincipal& principal, const QString& lote) {
    auto* tela = new FormNsu(principal, lote);
    if (TelaJournal::abre(principal, tela)) tela->grade()->setFocus();
}

}  // namespace ql
