#include "admin/screens/form_consulta.h"

#include <QAction>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include "admin/cancelamento.h"
#include "admin/journal_names.h"
#include "host/transacoes.h"
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
    QStringLiteral("Quillane Client      Tela 0007 - Transações Pendentes    ");

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

// A command's enabled flag and caption from the layout record; an empty caption keeps the
// design caption, so that a missing key never leaves a blank button.
void aplicaComando(QPushButton* b, const CommandSlot& slot) {
    b->setEnabled(slot.enabled);
    b->setText(slot.caption.trimmed());
}

}  // namespace

FormConsulta::FormConsulta(FormPrincipal& principal, QWidget* parent)
    : QWidget(parent), principal_(principal), ctx_(principal.contexto()) {
    setObjectName(QStringLiteral("FormConsulta"));

    lblCodigoEstab_ = rotulo(this, "lblCodigoEstab");
    lblNomeEstab_ = rotulo(this, "lblNomeEstab");
    lblAdministradora_ = rotulo(this, "lblAdministradora");
    lblsubtitulo_ = rotulo(this, "lblsubtitulo", QStringLiteral("Lotes dos ultimos 7 dias"));
    QFont negrito = lblsubtitulo_->font();
    negrito.setBold(true);
    lblsubtitulo_->setFont(negrito);

    spdLote_ = new QTableView(this);
    spdLote_->setObjectName(QStringLiteral("spdLote"));
    spdLote_->setModel(&modelo_);
    AplicaColunasGrade(spdLote_);
    spdLote_->setSelectionMode(QAbstractItemView::SingleSelection);

    cmdConfirmaTrans_ =
        botao(this, "cmdConfirmaTrans", QStringLiteral("F3 - &Confirma Transações"));
    cmdAnulaTrans_ = botao(this, "cmdAnulaTrans", QStringLiteral("F5 - &Anula Transações"));
    cmdImprimir_ = botao(this, "cmdImprimir", QStringLiteral("F11 - &Imprimir"));
    cmdCancel_ = botao(this, "cmdCancel", QStringLiteral("ESC - &Retorna"));

    auto* cabecalho = new QHBoxLayout;
    cabecalho->addWidget(lblCodigoEstab_);
    cabecalho->addWidget(lblNomeEstab_, 1);
    cabecalho->addWidget(lblAdministradora_);
    auto* comandos = new QHBoxLayout;
    for (QPushButton* b : {cmdConfirmaTrans_, cmdAnulaTrans_, cmdImprimir_, cmdCancel_})
        comandos->addWidget(b);
    auto* tudo = new QVBoxLayout(this);
    tudo->addLayout(cabecalho);
    tudo->addWidget(lblsubtitulo_);
    tudo->addWidget(spdLote_, 1);
    tudo->addLayout(comandos);

    connect(cmdConfirmaTrans_, &QPushButton::clicked, this, [this] { cmdConfirmaTrans_Click(); });
    connect(cmdAnulaTrans_, &QPushButton::clicked, this, [this] { cmdAnulaTrans_Click(); });
    connect(cmdImprimir_, &QPushButton::clicked, this, [this] { cmdImprimir_Click(); });
    connect(cmdCancel_, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });

    InstalaTeclasFuncao(this, {{Qt::Key_F3, cmdConfirmaTrans_},
                               {Qt::Key_F5, cmdAnulaTrans_},
                               {Qt::Key_F11, cmdImprimir_},
                               {Qt::Key_Escape, cmdCancel_}});
    new TeclaSaidaFilter(
        this, [this] { principal_.cmdSair_Click(); }, {}, TeclaSaidaFilter::F11::DaTela);

    principal_.registraTela(QStringLiteral("FormConsulta"), this,
                            {[this] { ExecutaBotaoEncerrar(); }, [this] { cmdImprimir_Click(); }});
    connect(principal_.areaTelas(), &QMdiArea::subWindowActivated, this,
            [this](QMdiSubWindow* janela) {
                if (janela && janela->widget() == this) Form_Activate();
            });
}

bool FormConsulta::Form_Load() {
    return runTrapped(ctx_, "Form_Load", false, [&] {
        Form_Activate();
        PosicionaFormulario(this);

        const int tipo = ctx_.TipoEstab;
        const LayoutFormComplementar& menu = ctx_.telas.FormComplementar[tipo];
        lblCodigoEstab_->setText(menu.lblCodigoEstab.caption);
        lblNomeEstab_->setText(menu.lblNomeEstab.caption);
        lblAdministradora_->setText(ctx_.ident.CodigoOperadora);

        const LayoutFormConsulta& layout = ctx_.telas.FormConsulta[tipo];
        aplicaComando(cmdConfirmaTrans_, layout.cmdConfirmaTrans_Caption);
        aplicaComando(cmdAnulaTrans_, layout.cmdAnulaTrans_Caption);

        QString subtitulo;
        carregado_ = CarregaGrid(
            ctx_,
            journalPattern(JournalKind::TransacoesPendentes, tipo, ctx_.ident.CodigoOperadora),
            modelo_, &subtitulo);
        if (!subtitulo.isEmpty()) lblsubtitulo_->setText(subtitulo);
        if (carregado_) spdLote_->setCurrentIndex(modelo_.index(0, 0));
        return carregado_;
    });
}

void FormConsulta::Form_Activate() {
    principal_.setImprimirDisponivel(true);
    ctx_.TelaAtual = QString::fromLatin1(kNomeTela);
    principal_.SetaCaption(kTituloTela +
                           ctx_.relogio.now().toString(QStringLiteral("dd/MM/yyyy hh:mm:ss")));
}

void FormConsulta::CarregaDadosNSU() {
    int linha = spdLote_->currentIndex().row();
    if (linha < 0) linha = 0;
    lote_ = SelecionaTransacaoPendente(ctx_, modelo_, linha);
}

void FormConsulta::processaPendente(bool confirmacao) {
    QPushButton* comando = confirmacao ? cmdConfirmaTrans_ : cmdAnulaTrans_;
    runTrapped(ctx_, confirmacao ? "cmdConfirmaTrans" : "cmdAnulaTrans", 0, [&] {
        BusyCursor ocupado(comando);
        if (modelo_.rowCount() == 0) {
            ctx_.caixas.inform(QStringLiteral("Não existem transações pendentes."), kTituloAtencao,
                               MessageBoxes::Icon::Critical);
            return 0;
        }
        CarregaDadosNSU();
        const bool aceita = confirmacao ? Mensagem_Confirmacao(ctx_) : Mensagem_Anulacao(ctx_);
        ctx_.caixas.inform(TextoResultadoPendente(confirmacao, aceita), kTituloAtencao,
                           MessageBoxes::Icon::Critical);
        spdLote_->setFocus();
        return 0;
    });
}

void FormConsulta::cmdConfirmaTrans_Click() {
    processaPendente(true);
}

void FormConsulta::cmdAnulaTrans_Click() {
    processaPendente(false);
}

void FormConsulta::cmdImprimir_Click() {
    if (!cmdImprimir_->isEnabled()) return;
    runTrapped(ctx_, "cmdImprimir", 0, [&] {
        BusyCursor ocupado(cmdImprimir_);
        QString erro;
        const bool impresso = ImprimeGrade(ctx_, *spdLote_, lblsubtitulo_->text(),
                                           QStringLiteral("TransacoesPendentes"), &erro);
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

void FormConsulta::cmdCancel_Click() {
    runTrapped(ctx_, "cmdCancel", 0, [&] {
        ctx_.TelaAtual.clear();
        if (auto* moldura = qobject_cast<QMdiSubWindow*>(parentWidget())) {
            moldura->close();
        } else {
            close();
        }
        return 0;
    });
}

void FormConsulta::closeEvent(QCloseEvent* evento) {
    principal_.setImprimirDisponivel(false);
    QWidget::closeEvent(evento);
}

void AbreFormConsulta(FormPrincipal& principal) {
    Context& ctx = principal.contexto();
    runTrapped(ctx, "AbreFormConsulta", 0, [&] {
        // A screen whose journal cannot be shown is never put on screen; the opener stays
        // current as it was.
        const QString telaAnterior = ctx.TelaAtual;
        const QString tituloAnterior = principal.windowTitle();
        const bool imprimirAnterior = principal.mnuImprimir()->isEnabled();
        auto* tela = new FormConsulta(principal);
        if (!tela->Form_Load()) {
            delete tela;
            ctx.TelaAtual = telaAnterior;
            principal.setWindowTitle(tituloAnterior);
            principal.setImprimirDisponivel(imprimirAnterior);
            return 0;
        }
        QMdiSubWindow* moldura = principal.abreTela(tela);
        moldura->showMaximized();
        tela->spdLote()->setFocus();
        return 0;
    });
}

}  // namespace ql
