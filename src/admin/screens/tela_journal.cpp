#include "admin/screens/tela_journal.h"

#include <QAction>
#include <QCloseEvent>
#include <QFont>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

#include <utility>

#include "admin/resumos.h"
#include "shell/context.h"
#include "shell/error_trap.h"
#include "shell/screen_dispatch.h"
#include "shell/screens/form_principal.h"
#include "ui/busy_cursor.h"
#include "ui/grid_helper.h"
#include "ui/impressao.h"
#include "ui/key_filters.h"
#include "ui/window_helpers.h"

namespace ql {

namespace {

// The design texts of the establishment labels, kept when the layout leaves them empty.
const QString kCodigoEstab = QStringLiteral("Código do Estabelecimento");
const QString kNomeEstab = QStringLiteral("Nome  do Estabelecimento");

QLabel* rotulo(QWidget* pai, const QString& nome, const QString& texto) {
    auto* l = new QLabel(texto, pai);
    l->setObjectName(nome);
    return l;
}

bool teclaSemModificador(const QEvent* evento, Qt::Key codigo) {
    const auto* tecla = static_cast<const QKeyEvent*>(evento);
    return tecla->key() == codigo &&
           !(tecla->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier));
}

}  // namespace

TelaJournal::TelaJournal(FormPrincipal& principal, const QString& nomeTela, const QString& titulo,
                         const QString& nomeGrade, const QString& nomeSubtitulo, QWidget* parent)
    : QWidget(parent),
      ctx_(principal.contexto()),
      principal_(principal),
      documentoImpressao_(nomeTela),
      tituloAnterior_(principal.windowTitle()),
      imprimirAnterior_(principal.mnuImprimir()->isEnabled()) {
    setObjectName(nomeTela);
    setWindowTitle(titulo);

    auto* coluna = coluna_ = new QVBoxLayout(this);
    auto* cabecalho = new QHBoxLayout;
    lblCodigoEstab_ = rotulo(this, QStringLiteral("lblCodigoEstab"), kCodigoEstab);
    lblNomeEstab_ = rotulo(this, QStringLiteral("lblNomeEstab"), kNomeEstab);
    lblAdministradora_ = rotulo(this, QStringLiteral("lblAdministradora"), QString());
    cabecalho->addWidget(lblCodigoEstab_);
    cabecalho->addWidget(lblNomeEstab_, 1);
    cabecalho->addWidget(lblAdministradora_);
    coluna->addLayout(cabecalho);

    subtitulo_ = rotulo(this, nomeSubtitulo, QString());
    subtitulo_->setAlignment(Qt::AlignCenter);
    coluna->addWidget(subtitulo_);

    grade_ = new QTableView(this);
    grade_->setObjectName(nomeGrade);
    grade_->setModel(&modelo_);
    AplicaColunasGrade(grade_);
    EncaixaColunasNaLargura(grade_);
    coluna->addWidget(grade_, 1);

    botoes_ = new QHBoxLayout;
    botoes_->addStretch(1);
    coluna->addLayout(botoes_);
    cmdImprimir_ = new QPushButton(QStringLiteral("F11 - &Imprimir"), this);
    cmdImprimir_->setObjectName(QStringLiteral("cmdImprimir"));
    cmdImprimir_->setAutoDefault(false);
    botoes_->addWidget(cmdImprimir_);
    connect(cmdImprimir_, &QPushButton::clicked, this, [this] { cmdImprimir_Click(); });

    // When the main window goes away with the screen still open, its members are gone before
    // its child screens are deleted: nothing of the window may run when this screen is.
    connect(&principal_, &QObject::destroyed, this,
            [this] { QObject::disconnect(this, nullptr, &principal_, nullptr); });
}

TelaJournal::~TelaJournal() = default;

QPushButton* TelaJournal::criaBotao(const char* nome, const QString& legenda, Qt::Key tecla,
                                    std::function<void()> acao) {
    auto* botao = new QPushButton(legenda, this);
    botao->setObjectName(QLatin1String(nome));
    botao->setAutoDefault(false);
    // Before print (and the return button that follows it).
    botoes_->insertWidget(botoes_->indexOf(cmdImprimir_), botao);
    connect(botao, &QPushButton::clicked, this, std::move(acao));
    InstalaTeclasFuncao(this, {{tecla, botao}});
    return botao;
}

void TelaJournal::registraComandos(std::function<void()> encerrar) {
    principal_.registraTela(objectName(), this,
                            {std::move(encerrar), [this] { cmdImprimir_Click(); }});
}

void TelaJournal::comoListaDeTransacoes(const QString& documento) {
    documentoImpressao_ = documento;
    teclasDaTela_ = true;
    InstalaTeclasFuncao(this, {{Qt::Key_F11, cmdImprimir_}});
    QFont negrito = subtitulo_->font();
    negrito.setBold(true);
    subtitulo_->setFont(negrito);
    grade_->setSelectionMode(QAbstractItemView::SingleSelection);
}

void TelaJournal::adicionaFaixa(QLayout* faixa) {
    coluna_->insertLayout(coluna_->indexOf(botoes_), faixa);
}

QPushButton* TelaJournal::criaBotaoRetorno(const QString& nome, std::function<void()> acao) {
    auto* botao = new QPushButton(QStringLiteral("ESC - &Retorna"), this);
    botao->setObjectName(nome);
    botao->setAutoDefault(false);
    botoes_->addWidget(botao);
    connect(botao, &QPushButton::clicked, this, std::move(acao));
    InstalaTeclasFuncao(this, {{Qt::Key_Escape, botao}});
    return botao;
}

void TelaJournal::carregaTela(const QString& telaAtual, const QString& tituloPrincipal,
                              const std::function<void()>& passos) {
    runTrapped(ctx_, "Form_Load", 0, [&] {
        ctx_.TelaAtual = telaAtual_ = telaAtual;
        tituloPrincipal_ = tituloPrincipal;
        principal_.setImprimirDisponivel(true);
        principal_.SetaCaption(TituloComDataHora(ctx_, tituloPrincipal_));
        const LayoutFormComplementar& menu = ctx_.telas.FormComplementar[ctx_.TipoEstab];
        AplicaLegenda(lblCodigoEstab_, menu.lblCodigoEstab.caption);
        AplicaLegenda(lblNomeEstab_, menu.lblNomeEstab.caption);
        lblAdministradora_->setText(ctx_.ident.CodigoOperadora);
        passos();
        return 0;
    });
}

bool TelaJournal::carrega(const QString& padrao, int colunaInicial) {
    carregado_ = false;
    if (padrao.isEmpty()) return false;
    QString titulo;
    carregado_ = CarregaGrid(ctx_, padrao, modelo_, &titulo);
    if (modelo_.hasSubtitle()) subtitulo_->setText(titulo);
    if (carregado_) grade_->setCurrentIndex(modelo_.index(0, colunaInicial));
    return carregado_;
}

void TelaJournal::restauraTelaAnterior() {
    principal_.setWindowTitle(tituloAnterior_);
    principal_.setImprimirDisponivel(imprimirAnterior_);
}

int TelaJournal::linhaAtiva() const {
    const int linha = grade_->currentIndex().row();
    return linha < 0 ? 0 : linha;
}

QString TelaJournal::tituloImpressao() const {
    return subtitulo_->text();
}

void TelaJournal::cmdImprimir_Click() {
    runTrapped(ctx_, "cmdImprimir", 0, [&] {
        if (!cmdImprimir_->isEnabled()) return 0;
        QString erro;
        bool impresso = false;
        {
            BusyCursor ocupado(cmdImprimir_);
            impresso = ImprimeGrade(ctx_, *grade_, tituloImpressao(), documentoImpressao_, &erro);
        }
        if (impresso) {
            ctx_.caixas.inform(QStringLiteral("Impressão efetuada!"), kTituloAtencao,
                               MessageBoxes::Icon::Information);
        } else {
            ctx_.caixas.inform(QStringLiteral("Impressão não efetuada: ") + erro, kTituloAtencao,
                               MessageBoxes::Icon::Critical);
        }
        return 0;
    });
}

void TelaJournal::aoFechar() {
    principal_.SetaCaption(QString());
    principal_.setImprimirDisponivel(false);
}

void TelaJournal::fecha() {
    if (moldura_) {
        moldura_->close();
    } else {
        close();
    }
}

QMdiSubWindow* TelaJournal::abre(FormPrincipal& principal, TelaJournal* tela) {
    if (!tela->carregado()) {
        tela->fecha();
        delete tela;
        return nullptr;
    }
    QMdiSubWindow* moldura = principal.abreTela(tela);
    tela->moldura_ = moldura;
    PosicionaFormulario(moldura);
    if (QMdiArea* area = principal.areaTelas()) moldura->resize(area->viewport()->size());
    tela->conectaAtivacao();
    return moldura;
}

void TelaJournal::conectaAtivacao() {
    QMdiArea* area = principal_.areaTelas();
    if (!area || !moldura_) return;
    connect(area, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* ativa) {
        if (ativa && ativa == moldura_ && !fechada_ && carregado_) {
            runTrapped(ctx_, "Form_Activate", 0, [&] {
                principal_.setImprimirDisponivel(true);
                principal_.SetaCaption(TituloComDataHora(ctx_, tituloPrincipal_));
                ctx_.TelaAtual = telaAtual_;
                return 0;
            });
        }
    });
}

bool TelaJournal::event(QEvent* evento) {
    const QEvent::Type tipo = evento->type();
    if (tipo != QEvent::ShortcutOverride && tipo != QEvent::KeyPress) return QWidget::event(evento);
    // F12 inside a summary belongs to the main window's "F12 - Retornar" when it has an
    // action for the current screen; otherwise the screen takes it and asks to end the
    // program. A transaction list keeps F12 (and F11, for its own print button) for itself.
    const bool f12 = teclaSemModificador(evento, Qt::Key_F12);
    const bool f12DaTela =
        f12 && (teclasDaTela_ || TelaDoComando(ComandoTela::Encerrar, ctx_.TelaAtual).isEmpty());
    const bool f11DaTela = teclasDaTela_ && teclaSemModificador(evento, Qt::Key_F11);
    if (tipo == QEvent::ShortcutOverride && (f12DaTela || f11DaTela)) {
        evento->accept();
        return true;
    }
    if (tipo == QEvent::KeyPress && f12) {
        principal_.cmdSair_Click();  // "Confirma a Saída do Sistema", ends through the frame
        return true;
    }
    return QWidget::event(evento);
}

void TelaJournal::showEvent(QShowEvent* evento) {
    QWidget::showEvent(evento);
    // Never an empty grid: a screen that did not load goes away as soon as it shows.
    if (!carregado_) QTimer::singleShot(0, this, [this] { fecha(); });
}

void TelaJournal::closeEvent(QCloseEvent* evento) {
    if (!fechada_) {
        fechada_ = true;
        runTrapped(ctx_, "Form_Unload", 0, [&] {
            aoFechar();
            return 0;
        });
    }
    evento->accept();
}

}  // namespace ql
