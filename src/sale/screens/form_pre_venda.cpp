#include "sale/screens/form_pre_venda.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

#include "export/till_export.h"
#include "host/transacoes.h"
#include "host/valores.h"
#include "message/campo_resposta.h"
#include "sale/componente_ds.h"
#include "sale/grade_autorizacao.h"
#include "sale/keys/key_codes.h"
#include "sale/keys/text_keys.h"
#include "sale/pre_venda.h"
#include "sale/screens/form_consulta_produtos.h"
#include "sale/transacoes_produtos.h"
#include "shell/captions.h"
#include "shell/context.h"
#include "shell/error_trap.h"
#include "shell/screens/form_principal.h"
#include "till/till_session.h"
#include "ui/busy_cursor.h"
#include "ui/grid_helper.h"
#include "ui/key_filters.h"
#include "ui/telas.h"
#include "ui/window_helpers.h"

namespace ql {

namespace {

const QString kNomeTela = QStringLiteral("FormPreVenda");

// Column widths of the product grid, in characters (column 12 is never shown).
const QList<int> kLargurasGrade = {24, 12, 4, 5, 7, 8, 11, 12, 14, 3, 12};

// Eligibility blocks a sale may announce before the retrieval gives up: a host that keeps
// announcing more must not hold the screen for ever.
constexpr int kMaxBlocosPreAutorizacao = 200;

QLineEdit* campoTotal(QWidget* pai, const char* nome) {
    auto* campo = new QLineEdit(pai);
    campo->setObjectName(QLatin1String(nome));
    campo->setReadOnly(true);
    campo->setFocusPolicy(Qt::NoFocus);
    campo->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return campo;
}

QPushButton* comando(QWidget* pai, const char* nome, const QString& texto) {
    auto* botao = new QPushButton(texto, pai);
    botao->setObjectName(QLatin1String(nome));
    botao->setAutoDefault(false);
    return botao;
}

}  // namespace

FormPreVenda::FormPreVenda(FormPrincipal& principal, QWidget* parent)
    : QWidget(parent), ctx_(principal.contexto()), principal_(principal) {
    setObjectName(kNomeTela);
    setAttribute(Qt::WA_DeleteOnClose);
    // A sale runs from here to this screen's end: the background settlement waits for it.
    ctx_.vendaEmAndamento = true;
    grade_ = new GradeAutorizacao(this);
    resultado_ = new ResultadoConsulta(this);
    montaTela();

    principal_.registraTela(kNomeTela, this, {[this] { ExecutaBotaoEncerrar(); }, {}});
    if (QMdiArea* area = principal_.areaTelas()) {
        connect(area, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* janela) {
            if (janela && janela->widget() == this && !descarregada_) Form_Activate();
        });
    }
}

FormPreVenda::~FormPreVenda() {
    ctx_.vendaEmAndamento = false;
}

void FormPreVenda::montaTela() {
    fraProduto_ = new QFrame(this);
    fraProduto_->setObjectName(QStringLiteral("fraProduto"));
    fraProduto_->setFrameShape(QFrame::StyledPanel);
    lblProduto_ = new QLabel(QStringLiteral("Descrição do Produto "), fraProduto_);
    lblProduto_->setObjectName(QStringLiteral("lblProduto"));
    txtPesquisa_ = new QLineEdit(fraProduto_);
    txtPesquisa_->setObjectName(QStringLiteral("txtPesquisa"));
    lblProduto_->setBuddy(txtPesquisa_);
    cmdPesquisa_ = comando(fraProduto_, "cmdPesquisa", QStringLiteral("F3 - Pesquisa Produto"));
    auto* linhaPesquisa = new QHBoxLayout(fraProduto_);
    linhaPesquisa->addWidget(lblProduto_);
    linhaPesquisa->addWidget(txtPesquisa_, 1);
    linhaPesquisa->addWidget(cmdPesquisa_);

    lblNomeCliente_ = new QLabel(this);
    lblNomeCliente_->setObjectName(QStringLiteral("lblNomeCliente"));

    spdProduto_ = new QTableView(this);
    spdProduto_->setObjectName(QStringLiteral("spdProduto"));
    spdProduto_->setSelectionMode(QAbstractItemView::SingleSelection);
    spdProduto_->installEventFilter(this);

    lblNrDocFiscal_ = new QLabel(QStringLiteral("Nr Doc. Fiscal"), this);
    lblNrDocFiscal_->setObjectName(QStringLiteral("lblNrDocFiscal"));
    txtNrDocFiscal_ = new QLineEdit(this);
    txtNrDocFiscal_->setObjectName(QStringLiteral("txtNrDocFiscal"));
    lblNrDocFiscal_->setBuddy(txtNrDocFiscal_);
    lblTotVen_ = new QLabel(QStringLiteral("Total da Venda "), this);
    lblTotVen_->setObjectName(QStringLiteral("lblTotVen"));
    txtTotVend_ = campoTotal(this, "txtTotVend");
    lblTotCred_ = new QLabel(QStringLiteral("Total a Receber LJ"), this);
    lblTotCred_->setObjectName(QStringLiteral("lblTotCred"));
    txtTotCred_ = campoTotal(this, "txtTotCred");
    lblTotBen_ = new QLabel(QStringLiteral("Total Beneficios "), this);
    lblTotBen_->setObjectName(QStringLiteral("lblTotBen"));
    txtTotBen_ = campoTotal(this, "txtTotBen");
    lblnsu_ = new QLabel(QStringLiteral("NSU Operadora"), this);
    lblnsu_->setObjectName(QStringLiteral("lblnsu"));
    txtNSU_ = campoTotal(this, "txtNSU");
    txtNSU_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    cmdAdicionaProduto_ =
        comando(this, "cmdAdicionaProduto", QStringLiteral("F3 - &Adiciona Produto"));
    cmdEditar_ = comando(this, "cmdEditar", QStringLiteral("F10 - Edita &Produto"));
    cmdExcluir_ = comando(this, "cmdExcluir", QStringLiteral("F8 - &Exclui Produto"));
    cmdConfirma_ = comando(this, "cmdConfirma", QStringLiteral("F5 - &Finaliza Autorização"));
    btnCancel_ = comando(this, "btnCancel", QStringLiteral("Cancel"));
    btnCancel_->setMaximumWidth(btnCancel_->fontMetrics().horizontalAdvance(btnCancel_->text()) +
                                24);

    auto* campos = new QGridLayout;
    campos->addWidget(lblNrDocFiscal_, 0, 0);
    campos->addWidget(txtNrDocFiscal_, 0, 1);
    campos->addWidget(lblnsu_, 0, 2);
    campos->addWidget(txtNSU_, 0, 3);
    campos->addWidget(lblTotVen_, 1, 0);
    campos->addWidget(txtTotVend_, 1, 1);
    campos->addWidget(lblTotCred_, 1, 2);
    campos->addWidget(txtTotCred_, 1, 3);
    campos->addWidget(lblTotBen_, 1, 4);
    campos->addWidget(txtTotBen_, 1, 5);
    auto* comandos = new QHBoxLayout;
    comandos->setSpacing(2);
    for (QPushButton* b : {cmdAdicionaProduto_, cmdEditar_, cmdExcluir_, cmdConfirma_, btnCancel_})
        comandos->addWidget(b);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(fraProduto_);
    layout->addWidget(lblNomeCliente_);
    layout->addWidget(spdProduto_, 1);
    layout->addLayout(campos);
    layout->addLayout(comandos);

    // The search: the system's key filter (upper case, no apostrophe) or, where the layout
    // makes it a search by code, digits only; the whole text selected on focus, Enter
    // searches whatever the button's state.
    InstalaFiltraTecla(txtPesquisa_);
    InstalaFiltroCaractere(txtPesquisa_, [this](int tecla) {
        return Pesquisa_KeyPress(
            tecla, ctx_.telas.FormConsultaProdutos[ctx_.TipoEstab].lblProduto.numbersOnly());
    });
    InstalaSelecaoAoFocar(txtPesquisa_);
    connect(txtPesquisa_, &QLineEdit::returnPressed, this, [this] { cmdPesquisa_Click(); });
    // The fiscal document takes digits only; Enter sends the list whatever the button's state.
    InstalaFiltroCaractere(txtNrDocFiscal_, [](int tecla) {
        return teclas::EhDigito(tecla) || tecla == teclas::Backspace || tecla == teclas::Enter
                   ? tecla
                   : teclas::Nenhuma;
    });
    connect(txtNrDocFiscal_, &QLineEdit::returnPressed, this, [this] { cmdConfirma_Click(); });

    connect(cmdPesquisa_, &QPushButton::clicked, this, [this] { cmdPesquisa_Click(); });
    connect(cmdAdicionaProduto_, &QPushButton::clicked, this,
            [this] { cmdAdicionaProduto_Click(); });
    connect(cmdEditar_, &QPushButton::clicked, this, [this] { cmdEditar_Click(); });
    connect(cmdExcluir_, &QPushButton::clicked, this, [this] { cmdExcluir_Click(); });
    connect(cmdConfirma_, &QPushButton::clicked, this, [this] { cmdConfirma_Click(); });
    connect(btnCancel_, &QPushButton::clicked, this, [this] { btnCancel_Click(); });
    connect(spdProduto_, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex&) {
        if (cmdAdicionaProduto_->isEnabled()) cmdEditar_Click();
    });

    // F11 and F12 belong to the main window, which calls ExecutaBotaoEncerrar for F12.
    InstalaTeclasFuncao(this, {{Qt::Key_F3, cmdPesquisa_},
                               {Qt::Key_F5, cmdConfirma_},
                               {Qt::Key_F8, cmdExcluir_},
                               {Qt::Key_F10, cmdEditar_}});
}

void FormPreVenda::aplicaLayout() {
    const LayoutFormPreVenda& layout = ctx_.telas.FormPreVenda[ctx_.TipoEstab];
    AplicaLegenda(lblProduto_, ctx_.telas.FormConsultaProdutos[ctx_.TipoEstab].lblProduto.caption);
    AplicaLegenda(lblNrDocFiscal_, layout.lblUsuario.caption);
    txtNrDocFiscal_->setMaxLength(layout.lblUsuario.maxLength > 0 ? layout.lblUsuario.maxLength
                                                                  : 32767);
    AplicaLegenda(lblTotVen_, layout.lblTotVen.caption);
    AplicaLegenda(lblTotCred_, layout.lblTotCred.caption);
    AplicaLegenda(lblTotBen_, layout.lblTotBen.caption);
    AplicaLegenda(lblnsu_, layout.lblnsu.caption);
    AplicaComando(cmdAdicionaProduto_, layout.cmdAdicionaProduto_Caption);
    AplicaComando(cmdConfirma_, layout.cmdConfirma_Caption);
    AplicaComando(cmdExcluir_, layout.cmdExcluir_Caption);
    AplicaComando(cmdEditar_, layout.cmdEditar_Caption);
    // The row is narrower than its five captions: the command that ends the screen's work
    // keeps its whole caption, the others give up their margins first.
    cmdConfirma_->setMinimumWidth(cmdConfirma_->sizeHint().width());
}

void FormPreVenda::Form_Load() {
    runTrapped(ctx_, "Form_Load", 0, [&] {
        // Nothing to print here; the next activation is the first one.
        principal_.setImprimirDisponivel(false);
        ctx_.PrimeiraAtivacao = true;
        tag_ = ctx_.TelaAtual;
        const bool venda = ModoVenda(ctx_);

        // Titles by mode; the cardholder's name when the identification component gives one.
        principal_.SetaCaption(TituloPreVenda(ctx_));
        setWindowTitle(venda ? QStringLiteral("Tela 0011 - Autorização")
                             : QStringLiteral("Tela 0011 - Pre-Autorização"));
        if (!venda && ctx_.config.bIdentificaCartao_DS) {
            lblNomeCliente_->setText(NomePortadorDS(ctx_));
        }
        lblNomeCliente_->setVisible(!lblNomeCliente_->text().trimmed().isEmpty());

        aplicaLayout();

        // The grid, with the extra column from the chosen operadora's record.
        QString flagExtra, cabecalhoExtra;
        if (ctx_.operadoras.contem(ctx_.ident.OperadoraSelecionada)) {
            const CampoAdicional& extra =
                ctx_.operadoras.at(ctx_.ident.OperadoraSelecionada).complemento;
            flagExtra = extra.tipo;
            cabecalhoExtra = extra.rotulo;
        }
        grade_->limpa();
        grade_->configura(flagExtra, cabecalhoExtra, venda);
        spdProduto_->setModel(grade_);
        DefineLargurasMinimas(spdProduto_, kLargurasGrade);
        AplicaColunasGrade(spdProduto_);
        ctx_.PreAutorizacaoRecuperada = false;

        // A sale starts from the pre-authorised products; a pre-sale has no fiscal document.
        if (venda) {
            recuperaPreAutorizacao();
        } else {
            txtNrDocFiscal_->hide();
            lblNrDocFiscal_->hide();
        }
        if (grade_->linhas() > 0) selecionaLinha(1);
        if (ctx_.till && ctx_.till->autorizacaoAberta(venda))
            QTimer::singleShot(0, this, [this, venda] { preencheDoCaixa(venda); });
        return 0;
    });
}

void FormPreVenda::preencheDoCaixa(bool venda) {
    if (!ctx_.till || !ctx_.till->vendaAberta() || descarregada_) return;
    if (venda) {
        txtNrDocFiscal_->setText(ctx_.till->vendaAberta()->documento);
        if (cmdConfirma_->isEnabled()) cmdConfirma_Click();
        return;
    }
    runTrapped(ctx_, "preencheDoCaixa", 0, [&] {
        BusyCursor ponteiro;
        ctx_.till->entraProdutos(*grade_, *resultado_);
        if (grade_->linhas() > 0) selecionaLinha(1);
        atualizaTotais();
        if (pesquisaDisponivel()) txtPesquisa_->setFocus();
        return 0;
    });
}

void FormPreVenda::recuperaPreAutorizacao() {
    ctx_.transacao.NsuTransacao = GetCampo(ctx_, QStringLiteral("012-000"));
    for (int bloco = 0; bloco < kMaxBlocosPreAutorizacao; ++bloco) {
        if (!Recupera_Pre(ctx_, *grade_, grade_->linhas())) break;
        QCoreApplication::processEvents();
        const qint64 seguinte = valorInteiro(GetCampo(ctx_, QStringLiteral("900-000")));
        if (seguinte == 0) break;
        if (seguinte < -32768 || seguinte > 32767) throw overflowError();
        if (!Mensagem_ElegPortador(ctx_, static_cast<qint16>(seguinte))) break;
    }
    if (grade_->linhas() > 0) {
        ctx_.PrimeiraAtivacao = false;
        fraProduto_->hide();
    } else {
        ctx_.PrimeiraAtivacao = true;
        fraProduto_->show();
    }
    // Products of a pre-authorisation are sold as they were authorised: none is added.
    if (ctx_.PreAutorizacaoRecuperada) cmdAdicionaProduto_->setEnabled(false);
}

void FormPreVenda::Form_Activate() {
    runTrapped(ctx_, "Form_Activate", 0, [&] {
        txtNSU_->setText(ctx_.transacao.NsuTransacao);
        ctx_.TelaAtual = tag_;
        if (pesquisaDisponivel()) {
            txtPesquisa_->setFocus();
        } else if (txtNrDocFiscal_->isEnabled() && txtNrDocFiscal_->isVisibleTo(this)) {
            // The products of a pre-authorisation are all there: the fiscal document is next.
            txtNrDocFiscal_->setFocus();
        }
        if (ctx_.PrimeiraAtivacao) {
            cmdAdicionaProduto_->setEnabled(true);
            ctx_.PrimeiraAtivacao = false;
            return 0;
        }
        principal_.SetaCaption(TituloPreVenda(ctx_));
        atualizaTotais();
        return 0;
    });
}

void FormPreVenda::atualizaTotais() {
    const TextosTotais totais = CalculaTotais(*grade_);
    txtTotVend_->setText(totais.venda);
    txtTotCred_->setText(totais.cliente);
    txtTotBen_->setText(totais.beneficio);
}

int FormPreVenda::linhaAtiva() {
    const QModelIndex atual = spdProduto_->currentIndex();
    if (atual.isValid() && atual.row() < grade_->linhas()) return atual.row() + 1;
    if (grade_->linhas() == 0) return 0;
    selecionaLinha(1);
    return 1;
}

void FormPreVenda::selecionaLinha(int linha) {
    if (linha < 1 || linha > grade_->linhas()) return;
    spdProduto_->setCurrentIndex(grade_->index(linha - 1, 0));
}

FormConsultaProdutos& FormPreVenda::telaConsulta() {
    if (!consulta_) {
        FormConsultaProdutos::Ligacoes ligacoes;
        ligacoes.textoPesquisa = [this] { return txtPesquisa_->text(); };
        ligacoes.aoRetornar = [this] {
            if (descarregada_) return;
            if (grade_->linhas() > 0 && !spdProduto_->currentIndex().isValid()) selecionaLinha(1);
            Form_Activate();
        };
        ligacoes.encerraPrograma = [this] {
            if (encerraPrograma_) {
                encerraPrograma_();
            } else {
                principal_.encerra();
            }
        };
        consulta_ = new FormConsultaProdutos(ctx_, principal_, *grade_, *resultado_,
                                             std::move(ligacoes), this);
        consulta_->setWindowFlag(Qt::Dialog);
    }
    return *consulta_;
}

bool FormPreVenda::pesquisaDisponivel() const {
    return txtPesquisa_->isEnabled() && fraProduto_->isVisibleTo(this);
}

void FormPreVenda::cmdPesquisa_Click() {
    // With the search frame hidden no key starts a search.
    if (!pesquisaDisponivel()) return;
    runTrapped(ctx_, "cmdPesquisa_Click", 0, [&] {
        BusyCursor ponteiro(cmdPesquisa_);
        const Pesquisa pesquisa = PesquisaProduto(ctx_, txtPesquisa_->text(), *resultado_, *grade_);
        switch (pesquisa.resultado) {
            case ResultadoPesquisa::Invalida:
            case ResultadoPesquisa::FalhaCatalogo:
            case ResultadoPesquisa::NaoEncontrado:
                txtPesquisa_->setFocus();
                return 0;
            case ResultadoPesquisa::Adicionado:
                selecionaLinha(pesquisa.linha);
                break;
            case ResultadoPesquisa::Escolher: {
                ponteiro.release();
                FormConsultaProdutos& consulta = telaConsulta();
                consulta.hide();
                consulta.Form_Load();
                consulta.exec();
                break;
            }
        }
        atualizaTotais();
        txtPesquisa_->clear();
        txtPesquisa_->setFocus();
        return 0;
    });
}

void FormPreVenda::cmdAdicionaProduto_Click() {
    runTrapped(ctx_, "cmdAdicionaProduto_Click", 0, [&] {
        FormConsultaProdutos& consulta = telaConsulta();
        consulta.Form_Load();
        consulta.setModal(false);
        consulta.show();
        consulta.raise();
        consulta.activateWindow();
        return 0;
    });
}

void FormPreVenda::cmdEditar_Click() {
    runTrapped(ctx_, "cmdEditar_Click", 0, [&] {
        BusyCursor ponteiro(cmdEditar_);
        if (grade_->linhas() == 0) {
            ponteiro.release();
            ctx_.caixas.inform(QStringLiteral("Não existe produto para ser editado"),
                               kTituloAtencao, MessageBoxes::Icon::Critical);
        } else if (ObtemProduto(ctx_, *grade_, linhaAtiva(), OrigemProduto::PreVenda)) {
            ctx_.SelecaoViaConsulta = false;
            ponteiro.release();
            ExecutaFormSelecaoProduto(ctx_, *grade_, this);
        }
        Form_Activate();
        spdProduto_->setFocus();
        return 0;
    });
}

void FormPreVenda::cmdExcluir_Click() {
    runTrapped(ctx_, "cmdExcluir_Click", 0, [&] {
        BusyCursor ponteiro(cmdExcluir_);
        if (grade_->linhas() > 0) {
            const int linha = linhaAtiva();
            grade_->removeLinha(linha);
            if (grade_->linhas() == 0) {
                fraProduto_->show();
            } else {
                selecionaLinha(std::min(linha, grade_->linhas()));
            }
        } else {
            ponteiro.release();
            ctx_.caixas.inform(QStringLiteral("Não existe produto a ser cancelado."),
                               kTituloAtencao, MessageBoxes::Icon::Critical);
        }
        atualizaTotais();
        if (fraProduto_->isVisibleTo(this)) txtPesquisa_->setFocus();
        return 0;
    });
}

void FormPreVenda::restauraComandos() {
    cmdConfirma_->setEnabled(true);
    cmdExcluir_->setEnabled(true);
    cmdEditar_->setEnabled(true);
    cmdAdicionaProduto_->setEnabled(!ctx_.PreAutorizacaoRecuperada);
}

void FormPreVenda::cmdConfirma_Click() {
    runTrapped(ctx_, "cmdConfirma_Click", 0, [&] {
        // No second click while the list is checked and sent.
        for (QPushButton* b : {cmdConfirma_, cmdAdicionaProduto_, cmdExcluir_, cmdEditar_})
            b->setEnabled(false);
        BusyCursor ponteiro;

        // Check the list (and in a sale the fiscal document) before sending.
        const VerificacaoConfirmacao verificacao =
            VerificaConfirmacao(grade_->linhas(), ModoVenda(ctx_), txtNrDocFiscal_->text(),
                                ctx_.telas.FormPreVenda[ctx_.TipoEstab].lblUsuario);
        if (!verificacao.ok()) {
            ponteiro.release();
            ctx_.caixas.inform(verificacao.mensagem, kTituloAtencao, MessageBoxes::Icon::Critical);
            restauraComandos();
            if (verificacao.foco == FocoConfirmacao::Grade) spdProduto_->setFocus();
            if (verificacao.foco == FocoConfirmacao::DocumentoFiscal) {
                txtNrDocFiscal_->setFocus();
                SelecionaCampo(txtNrDocFiscal_);
            }
            return 0;
        }

        // Send the grid's products, page by page.
        CarregaItemVenda_Grid(ctx_, *grade_);
        const bool aceita = Mensagem_GeracaoPre(ctx_, *grade_, txtNrDocFiscal_->text());
        if (ctx_.till) ctx_.till->listaEnviada(ModoVenda(ctx_), aceita, *grade_);
        if (!aceita) {
            // The transaction told the cashier why; the refused statuses stay in the grid
            // until the screen closes.
            ponteiro.release();
            restauraComandos();
            fecha();
            return 0;
        }

        // The host's approval text, when it sent one.
        const QString aprovacao = MensagemAprovacao(ctx_);
        if (!aprovacao.isEmpty()) {
            ponteiro.release();
            ctx_.caixas.inform(aprovacao, kTituloAtencao, MessageBoxes::Icon::Exclamation);
        }

        // A sale's receipt, when the answer carries one.
        if (ModoVenda(ctx_)) {
            if (GetQtdLinha(ctx_) > 0) {
                ponteiro.release();
                ExecutaFormImpressao(ctx_, this);
            }
            if (consulta_) consulta_->hide();
            if (ctx_.till) ctx_.till->reciboDecidido();
        }

        // The till export file.
        if (ExportacaoConfigurada(ctx_)) GerarArquivo(ctx_, CaminhoArquivoExportacao(ctx_));

        // Done: the screen closes.
        ctx_.TelaAtual.clear();
        ponteiro.release();
        restauraComandos();
        fecha();
        return 0;
    });
}

void FormPreVenda::btnCancel_Click() {
    runTrapped(ctx_, "btnCancel_Click", 0, [&] {
        if (ctx_.caixas.ask(QStringLiteral("Deseja abandonar operação?"), kTituloAtencao,
                            MessageBoxes::Icon::Critical, MessageBoxes::Answer::No)) {
            fecha();
        }
        return 0;
    });
}

void FormPreVenda::fecha() {
    if (auto* moldura = qobject_cast<QMdiSubWindow*>(parentWidget())) {
        moldura->close();
    } else {
        close();
    }
}

void FormPreVenda::closeEvent(QCloseEvent* evento) {
    Form_Unload();
    QWidget::closeEvent(evento);
}

void FormPreVenda::Form_Unload() {
    if (descarregada_) return;
    descarregada_ = true;
    ctx_.vendaEmAndamento = false;
    runTrapped(ctx_, "Form_Unload", 0, [&] {
        principal_.SetaCaption(QString());
        if (ctx_.till) ctx_.till->autorizacaoFechada();
        if (consulta_) {
            consulta_->hide();
            consulta_->deleteLater();
        }
        AbreFormInicial(principal_);
        return 0;
    });
}

bool FormPreVenda::eventFilter(QObject* objeto, QEvent* evento) {
    if (objeto != spdProduto_ || evento->type() != QEvent::KeyPress) {
        return QWidget::eventFilter(objeto, evento);
    }
    const auto* tecla = static_cast<QKeyEvent*>(evento);
    if (tecla->key() == Qt::Key_Return || tecla->key() == Qt::Key_Enter) {
        cmdEditar_Click();
        return true;
    }
    // Typing on the grid starts a new search.
    const int codigo = CodigoTecla(tecla->key(), tecla->text(), tecla->modifiers());
    if (codigo == teclas::Nenhuma || !pesquisaDisponivel()) {
        return QWidget::eventFilter(objeto, evento);
    }
    if (codigo == teclas::Backspace) {
        txtPesquisa_->clear();
    } else if (const int filtrado = FiltraTecla(codigo); filtrado != teclas::Nenhuma) {
        txtPesquisa_->setText(txtPesquisa_->text() + QChar(filtrado));
    }
    txtPesquisa_->setFocus();
    // The field selects its text when it receives the focus; the cashier goes on typing.
    QTimer::singleShot(0, txtPesquisa_, [campo = QPointer<QLineEdit>(txtPesquisa_)] {
        if (campo) campo->setCursorPosition(int(campo->text().size()));
    });
    return true;
}

void AbreFormPreVenda(FormPrincipal& principal) {
    auto* tela = new FormPreVenda(principal);
    tela->Form_Load();
    QMdiSubWindow* moldura = principal.abreTela(tela);
    if (QMdiArea* area = principal.areaTelas()) moldura->resize(area->viewport()->size());
    PosicionaFormulario(moldura);
}

}  // namespace ql
