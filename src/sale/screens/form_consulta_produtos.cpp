#include "sale/screens/form_consulta_produtos.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTableView>
#include <QVBoxLayout>

#include "host/valores.h"
#include "sale/grade_autorizacao.h"
#include "sale/pre_venda.h"
#include "sale/transacoes_produtos.h"
#include "shell/context.h"
#include "shell/error_trap.h"
#include "shell/screens/form_principal.h"
#include "ui/busy_cursor.h"
#include "ui/grid_helper.h"
#include "ui/key_filters.h"
#include "ui/telas.h"
#include "ui/window_helpers.h"

namespace ql {

namespace {

// Column widths of the result grid, in characters.
const QList<int> kLargurasConsulta = {26, 16, 4, 10, 8, 12, 16, 14, 3};

}  // namespace

FormConsultaProdutos::FormConsultaProdutos(Context& ctx, FormPrincipal& principal,
                                           GradeAutorizacao& grade, ResultadoConsulta& resultado,
                                           Ligacoes ligacoes, QWidget* pai)
    : QDialog(pai),
      ctx_(ctx),
      principal_(principal),
      grade_(grade),
      resultado_(resultado),
      ligacoes_(std::move(ligacoes)) {
    setObjectName(QStringLiteral("FormConsultaProdutos"));
    setWindowTitle(QStringLiteral("Tela 0010 - Consulta Produtos"));
    resize(760, 360);

    spdProduto_ = new QTableView(this);
    spdProduto_->setObjectName(QStringLiteral("spdProduto"));
    spdProduto_->setModel(&resultado_);
    DefineLargurasMinimas(spdProduto_, kLargurasConsulta);
    AplicaColunasGrade(spdProduto_);
    spdProduto_->setSelectionMode(QAbstractItemView::SingleSelection);
    // Each new page starts on its first row, so that Page Down carries on to the next one.
    connect(&resultado_, &QAbstractItemModel::rowsInserted, this, [this] {
        if (!spdProduto_->currentIndex().isValid() && resultado_.linhas() > 0)
            spdProduto_->setCurrentIndex(resultado_.index(0, 0));
    });
    spdProduto_->installEventFilter(this);
    connect(spdProduto_, &QAbstractItemView::doubleClicked, this,
            [this](const QModelIndex&) { cmdConfirma_Click(); });

    lblalerta_ = new QLabel(
        QStringLiteral("\" Existem Mais Itens. Para Consultá-los, tecle Page-Down\""), this);
    lblalerta_->setObjectName(QStringLiteral("lblalerta"));
    lblalerta_->setStyleSheet(QStringLiteral("color: #c00000; font-weight: bold;"));

    lblnsu_ = new QLabel(QStringLiteral("NSU Operadora"), this);
    lblnsu_->setObjectName(QStringLiteral("lblnsu"));
    txtNSU_ = new QLineEdit(this);
    txtNSU_->setObjectName(QStringLiteral("txtNSU"));
    txtNSU_->setReadOnly(true);
    txtNSU_->setFocusPolicy(Qt::NoFocus);
    lblnsu_->setBuddy(txtNSU_);

    cmdConfirma_ = new QPushButton(QStringLiteral("F5 - C&onfirma Produto"), this);
    cmdConfirma_->setObjectName(QStringLiteral("cmdConfirma"));
    cmdConfirma_->setAutoDefault(false);
    cmdRetorna_ = new QPushButton(QStringLiteral("F9 - &Produtos Selecionados"), this);
    cmdRetorna_->setObjectName(QStringLiteral("cmdRetorna"));
    cmdRetorna_->setAutoDefault(false);
    connect(cmdConfirma_, &QPushButton::clicked, this, [this] { cmdConfirma_Click(); });
    connect(cmdRetorna_, &QPushButton::clicked, this, [this] { cmdRetorna_Click(); });

    auto* rodape = new QHBoxLayout;
    rodape->addWidget(lblnsu_);
    rodape->addWidget(txtNSU_);
    rodape->addStretch();
    rodape->addWidget(cmdConfirma_);
    rodape->addWidget(cmdRetorna_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(spdProduto_, 1);
    layout->addWidget(lblalerta_);
    layout->addLayout(rodape);

    InstalaTeclasFuncao(this, {{Qt::Key_F5, cmdConfirma_}, {Qt::Key_F9, cmdRetorna_}});
}

void FormConsultaProdutos::Form_Load() {
    runTrapped(ctx_, "Form_Load", 0, [&] {
        txtNSU_->setText(ctx_.transacao.NsuTransacao);
        principal_.setImprimirDisponivel(false);
        // Wide enough for every column as the grid fitted them, within the screen.
        const QMargins margens = layout() ? layout()->contentsMargins() : QMargins();
        int largura = LarguraTodasColunas(spdProduto_) + margens.left() + margens.right();
        if (const QScreen* tela = screen()) largura = qMin(largura, tela->availableSize().width());
        if (largura > width()) resize(largura, height());
        CentralizaJanela(this);
        principal_.SetaCaption(TituloConsultaProdutos(ctx_));

        const LayoutFormConsultaProdutos& layout = ctx_.telas.FormConsultaProdutos[ctx_.TipoEstab];
        AplicaComando(cmdConfirma_, layout.CmdConfirma_Caption);
        AplicaComando(cmdRetorna_, layout.CmdRetorna_Caption);
        AplicaLegenda(lblnsu_, ctx_.telas.FormPreVenda[ctx_.TipoEstab].lblnsu.caption);

        atualizaAlerta();
        if (resultado_.linhas() > 0 && !spdProduto_->currentIndex().isValid())
            spdProduto_->setCurrentIndex(resultado_.index(0, 0));
        spdProduto_->setFocus();
        return 0;
    });
}

int FormConsultaProdutos::linhaAtiva() const {
    const QModelIndex atual = spdProduto_->currentIndex();
    if (atual.isValid()) return atual.row() + 1;
    return resultado_.linhas() > 0 ? 1 : 0;
}

void FormConsultaProdutos::atualizaAlerta() {
    lblalerta_->setVisible(ConsultaTemContinuacao(ctx_));
}

void FormConsultaProdutos::cmdConfirma_Click() {
    runTrapped(ctx_, "cmdPesquisa_Click", 0, [&] {
        BusyCursor ponteiro(cmdConfirma_);
        if (resultado_.linhas() == 0) {
            ponteiro.release();
            ctx_.caixas.inform(QStringLiteral("Não existem produto selecionado!"), kTituloAtencao,
                               MessageBoxes::Icon::Critical);
            spdProduto_->setFocus();
            return 0;
        }
        QCoreApplication::processEvents();
        if (!ObtemProduto(ctx_, resultado_, linhaAtiva(), OrigemProduto::Consulta)) return 0;
        ctx_.SelecaoViaConsulta = true;
        ponteiro.release();
        ExecutaFormSelecaoProduto(ctx_, grade_, this);
        done(QDialog::Accepted);
        if (ligacoes_.aoRetornar) ligacoes_.aoRetornar();
        return 0;
    });
}

void FormConsultaProdutos::cmdRetorna_Click() {
    runTrapped(ctx_, "cmdRetorna_Click", 0, [&] {
        { BusyCursor ponteiro(cmdRetorna_); }
        done(QDialog::Rejected);
        if (ligacoes_.aoRetornar) ligacoes_.aoRetornar();
        return 0;
    });
}

void FormConsultaProdutos::reject() {
    cmdRetorna_Click();
}

bool FormConsultaProdutos::spdProduto_KeyDown(int teclaQt) {
    return runTrapped(ctx_, "cmdPesquisa_Click", false, [&] {
        if (!PedeProximaPagina(linhaAtiva(), resultado_.linhas(), teclaQt)) return false;
        if (!ConsultaTemContinuacao(ctx_)) {
            lblalerta_->setVisible(false);
            return true;
        }
        BusyCursor ponteiro;
        const qint64 pagina = valorInteiro(ctx_.continuacaoConsulta);
        if (pagina < -32768 || pagina > 32767) throw overflowError();
        const QString texto = ligacoes_.textoPesquisa ? ligacoes_.textoPesquisa() : QString();
        spdProduto_->setCurrentIndex({});
        if (Mensagem_Consulta_Produtos(ctx_, texto, static_cast<qint16>(pagina), resultado_,
                                       &grade_)) {
            if (resultado_.linhas() > 0) spdProduto_->setCurrentIndex(resultado_.index(0, 0));
            if (spdProduto_->isEnabled()) spdProduto_->setFocus();
        } else {
            ponteiro.release();
            ctx_.caixas.inform(QStringLiteral("Produto não encontrado!"), kTituloAtencao,
                               MessageBoxes::Icon::Critical);
        }
        atualizaAlerta();
        return true;
    });
}

bool FormConsultaProdutos::eventFilter(QObject* objeto, QEvent* evento) {
    if (objeto == spdProduto_ && evento->type() == QEvent::KeyPress) {
        const auto* tecla = static_cast<QKeyEvent*>(evento);
        if (tecla->key() == Qt::Key_Return || tecla->key() == Qt::Key_Enter) {
            cmdConfirma_Click();
            return true;
        }
        if (spdProduto_KeyDown(tecla->key())) return true;
    }
    return QDialog::eventFilter(objeto, evento);
}

void FormConsultaProdutos::keyPressEvent(QKeyEvent* evento) {
    if (evento->key() == Qt::Key_F12 &&
        !(evento->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        if (cmdRetorna_->isEnabled() &&
            ctx_.caixas.ask(QStringLiteral("Confirma a Saída do Sistema"), kTituloAtencao,
                            MessageBoxes::Icon::Critical, MessageBoxes::Answer::No)) {
            if (ligacoes_.encerraPrograma) {
                ligacoes_.encerraPrograma();
            } else {
                principal_.encerra();
            }
        }
        return;
    }
    // Enter is the grid's (choose); the dialog has no default button to press.
    if (evento->key() == Qt::Key_Return || evento->key() == Qt::Key_Enter) return;
    QDialog::keyPressEvent(evento);
}

bool FormConsultaProdutos::event(QEvent* evento) {
    if (evento->type() == QEvent::WindowActivate)
        principal_.SetaCaption(TituloConsultaProdutos(ctx_));
    return QDialog::event(evento);
}

}  // namespace ql
