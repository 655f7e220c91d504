#include "admin/screens/form_nsu.h"

#include <QAction>
#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include "admin/journal_names.h"
#include "host/transacoes.h"
#include "host/valores.h"
#include "shell/context.h"
#include "shell/error_trap.h"
#include "shell/screens/form_principal.h"
#include "ui/busy_cursor.h"
#include "ui/grid_helper.h"
#include "ui/impressao.h"
#include "ui/key_filters.h"
#include "ui/tecla_saida.h"
#include "ui/telas.h"
#include "ui/window_helpers.h"

namespace ql {

namespace {

const QString kTituloAtencao = QStringLiteral("Atenção");
const QString kTituloTela =
    QStringLiteral("Quillane Client      Tela 0005 - Transações do Lote    ");

QPushButton* botao(QWidget* pai, const char* nome, const QString& texto) {
    auto* b = new QPushButton(texto, pai);
    b->setObjectName(QLatin1String(nome));
    b->setAutoDefault(false);
    return b;
}

QLabel* rotulo(QWidget* pai, const char* nome, const QString& texto = {}) {
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

// A caption from the layout record; an empty one keeps the design caption.
void aplicaTexto(QLabel* l, const QString& caption) {
    l->setText(caption.trimmed());
}

void aplicaComando(QPushButton* b, const CommandSlot& slot) {
    b->setEnabled(slot.enabled);
    b->setText(slot.caption.trimmed());
}

}  // namespace

FormNsu::FormNsu(FormPrincipal& principal, const QString& lote, QWidget* parent)
    : QWidget(parent), principal_(principal), ctx_(principal.contexto()), lote_(lote) {
    setObjectName(QStringLiteral("FormNsu"));
    setWindowTitle(QStringLiteral("Transações do Lote"));

    lblCodigoEstab_ = rotulo(this, "lblCodigoEstab");
    lblNomeEstab_ = rotulo(this, "lblNomeEstab");
    lblAdministradora_ = rotulo(this, "lblAdministradora");
    lblLote_ = rotulo(this, "lblLote");
    QFont negrito = lblLote_->font();
    negrito.setBold(true);
    lblLote_->setFont(negrito);

    spdNsu_ = new QTableView(this);
    spdNsu_->setObjectName(QStringLiteral("spdNsu"));
    spdNsu_->setModel(&modelo_);
    AplicaColunasGrade(spdNsu_);
    spdNsu_->setSelectionMode(QAbstractItemView::SingleSelection);

    lblTotValorLiqVda_ = rotulo(this, "lblTotValorLiqVda", QStringLiteral("Valor Líquido Vendas"));
    lblTotValorRepos_ = rotulo(this, "lblTotValorRepos", QStringLiteral("Valor Reposição"));
    lblTotValorCredito_ = rotulo(this, "lblTotValorCredito", QStringLiteral("Valor Crédito"));
    lblTotValorDebito_ = rotulo(this, "lblTotValorDebito", QStringLiteral("Valor Débito"));
    txtTotValorLiqVda_ = caixaTotal(this, "txtTotValorLiqVda");
    txtTotValorRepos_ = caixaTotal(this, "txtTotValorRepos");
    txtTotValorCredito_ = caixaTotal(this, "txtTotValorCredito");
    txtTotValorDebito_ = caixaTotal(this, "txtTotValorDebito");

    cmdCanceltotal_ = botao(this, "cmdCanceltotal", QStringLiteral("F4 - Cancela &Total"));
    cmdCancelParcial_ =
        botao(this, "cmdCancelParcial", QStringLiteral("F8 - &Produtos da Transação"));
    cmdImprimir_ = botao(this, "cmdImprimir", QStringLiteral("F11 - &Imprimir"));
    cmdSair_ = botao(this, "cmdSair", QStringLiteral("ESC - &Retorna"));

    auto* cabecalho = new QHBoxLayout;
    cabecalho->addWidget(lblCodigoEstab_);
    cabecalho->addWidget(lblNomeEstab_, 1);
    cabecalho->addWidget(lblAdministradora_);
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
    auto* comandos = new QHBoxLayout;
    for (QPushButton* b : {cmdCanceltotal_, cmdCancelParcial_, cmdImprimir_, cmdSair_})
        comandos->addWidget(b);
    auto* tudo = new QVBoxLayout(this);
    tudo->addLayout(cabecalho);
    tudo->addWidget(lblLote_);
    tudo->addWidget(spdNsu_, 1);
    tudo->addLayout(totais);
    tudo->addLayout(comandos);

    connect(cmdCanceltotal_, &QPushButton::clicked, this, [this] { cmdCanceltotal_Click(); });
    connect(cmdCancelParcial_, &QPushButton::clicked, this, [this] { cmdCancelParcial_Click(); });
    connect(cmdImprimir_, &QPushButton::clicked, this, [this] { cmdImprimir_Click(); });
    connect(cmdSair_, &QPushButton::clicked, this, [this] { cmdSair_Click(); });

    InstalaTeclasFuncao(this, {{Qt::Key_F4, cmdCanceltotal_},
                               {Qt::Key_F8, cmdCancelParcial_},
                               {Qt::Key_F11, cmdImprimir_},
                               {Qt::Key_Escape, cmdSair_}});
    new TeclaSaidaFilter(
        this, [this] { principal_.cmdSair_Click(); }, {}, TeclaSaidaFilter::F11::DaTela);

    principal_.registraTela(QStringLiteral("FormNsu"), this,
                            {[this] { ExecutaBotaoEncerrar(); }, [this] { cmdImprimir_Click(); }});
    connect(principal_.areaTelas(), &QMdiArea::subWindowActivated, this,
            [this](QMdiSubWindow* janela) {
                if (janela && janela->widget() == this) Form_Activate();
            });
}

bool FormNsu::Form_Load() {
    return runTrapped(ctx_, "Form_Load", false, [&] {
        Form_Activate();
        PosicionaFormulario(this);
        const LayoutFormComplementar& menu = ctx_.telas.FormComplementar[ctx_.TipoEstab];
        lblCodigoEstab_->setText(menu.lblCodigoEstab.caption);
        lblNomeEstab_->setText(menu.lblNomeEstab.caption);
        lblAdministradora_->setText(ctx_.ident.CodigoOperadora);
        MontaTela_FormNsu();
        const TotaisLote totais = SomaTotais(ctx_, modelo_);
        txtTotValorLiqVda_->setText(totais.liquidoVenda);
        txtTotValorRepos_->setText(totais.reposicao);
        txtTotValorCredito_->setText(totais.credito);
        txtTotValorDebito_->setText(totais.debito);
        return carregado_;
    });
}

void FormNsu::MontaTela_FormNsu() {
    const LayoutFormNsu& layout = ctx_.telas.FormNsu[ctx_.TipoEstab];
    aplicaTexto(lblTotValorLiqVda_, layout.lblTotValorLiqVda.caption);
    aplicaTexto(lblTotValorRepos_, layout.lblTotValorRepos.caption);
    aplicaTexto(lblTotValorCredito_, layout.lblTotValorCredito.caption);
    aplicaTexto(lblTotValorDebito_, layout.lblTotValorDebito.caption);

    // A type other than 1..3 has no journal name: CarregaGrid then reports the empty pattern
    // as not found, and the screen closes.
    QString subtitulo;
    carregado_ = CarregaGrid(ctx_,
                             journalPattern(JournalKind::TransacoesLote, ctx_.TipoEstab,
                                            ctx_.ident.CodigoOperadora, valorInteiro(lote_)),
                             modelo_, &subtitulo);
    // The journal's title names the lot; without one the record's caption stays.
    lblLote_->setText(subtitulo.isEmpty() ? layout.lblLote.caption.trimmed() : subtitulo);
    if (carregado_) spdNsu_->setCurrentIndex(modelo_.index(0, 1));

    aplicaComando(cmdCanceltotal_, layout.CmdCanceltotal_Caption);
    aplicaComando(cmdCancelParcial_, layout.cmdCancelParcial_Caption);
}

void FormNsu::Form_Activate() {
    principal_.setImprimirDisponivel(true);
    ctx_.TelaAtual = QString::fromLatin1(kNomeTela);
    principal_.SetaCaption(kTituloTela +
                           ctx_.relogio.now().toString(QStringLiteral("dd/MM/yyyy hh:mm:ss")));
}

void FormNsu::CarregaDadosNSU() {
    int linha = spdNsu_->currentIndex().row();
    if (linha < 0) linha = 0;
    loteSelecionado_ = SelecionaTransacaoLote(ctx_, modelo_, linha);
}

void FormNsu::cmdCanceltotal_Click() {
    runTrapped(ctx_, "cmdCanceltotal", 0, [&] {
        BusyCursor ocupado(cmdCanceltotal_);
        if (modelo_.rowCount() == 0) return 0;
        CarregaDadosNSU();
        if (Mensagem_Cancelamento(ctx_, true)) {
            InformaNumeroAutorizacao(ctx_);
            if (GetQtdLinha(ctx_) > 0) {
                // The receipt screen is modal and worked with the normal pointer.
                ocupado.release();
                ExecutaFormImpressao(ctx_, this);
            }
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
            if (modelo_.rowCount() == 0) return 0;
            CarregaDadosNSU();
            ctx_.TelaAtual = QStringLiteral("PRODUTOSDATRANSACAO");
        }
        int linha = spdNsu_->currentIndex().row();
        if (linha < 0) linha = 0;
        if (PermiteCancelamentoParcial(modelo_.text(linha, 5))) {
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

void FormNsu::cmdImprimir_Click() {
    if (!cmdImprimir_->isEnabled()) return;
    runTrapped(ctx_, "cmdImprimir", 0, [&] {
        BusyCursor ocupado(cmdImprimir_);
        QString erro;
        const bool impresso = ImprimeGrade(ctx_, *spdNsu_, tituloImpressao(),
                                           QStringLiteral("TransacoesLote"), &erro);
        ocupado.release();
        if (impresso) {
            ctx_.caixas.inform(QStringLiteral("Impressão efetuada!"), kTituloAtencao,
                               MessageBoxes::Icon::Information);
        } else {
            ctx_.caixas.inform(erro, kTituloAtencao, MessageBoxes::Icon::Critical);
        }
        return 0;
    });
}

void FormNsu::cmdSair_Click() {
    runTrapped(ctx_, "cmdSair", 0, [&] {
        if (auto* moldura = qobject_cast<QMdiSubWindow*>(parentWidget())) {
            moldura->close();
        } else {
            close();
        }
        return 0;
    });
}

void FormNsu::closeEvent(QCloseEvent* evento) {
    // The current screen name stays as it is; the frame gets its own title back and no longer
    // offers to print a grid that is gone.
    principal_.SetaCaption(QString());
    principal_.setImprimirDisponivel(false);
    QWidget::closeEvent(evento);
}

void AbreFormNsu(FormPrincipal& principal, const QString& lote) {
    Context& ctx = principal.contexto();
    runTrapped(ctx, "AbreFormNsu", 0, [&] {
        const QString telaAnterior = ctx.TelaAtual;
        const QString tituloAnterior = principal.windowTitle();
        const bool imprimirAnterior = principal.mnuImprimir()->isEnabled();
        auto* tela = new FormNsu(principal, lote);
        if (!tela->Form_Load()) {
            delete tela;
            ctx.TelaAtual = telaAnterior;
            principal.setWindowTitle(tituloAnterior);
            principal.setImprimirDisponivel(imprimirAnterior);
            return 0;
        }
        principal.abreTela(tela);
        tela->spdNsu()->setFocus();
        return 0;
    });
}

}  // namespace ql
