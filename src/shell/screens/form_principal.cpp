#include "shell/screens/form_principal.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QResizeEvent>
#include <QStandardPaths>

#include "data/operadoras.h"
#include "message/mensagem.h"
#include "shell/captions.h"
#include "shell/context.h"
#include "shell/error_trap.h"
#include "shell/logon_check.h"
#include "shell/screens/form_sobre.h"
#include "shell/settings.h"
#include "ui/busy_cursor.h"
#include "ui/icone_programa.h"
#include "ui/impressao.h"
#include "ui/window_helpers.h"

namespace ql {

namespace {}  // namespace

FormPrincipal::FormPrincipal(Context& ctx, Ganchos ganchos, QWidget* parent)
    : QMainWindow(parent), ctx_(ctx), ganchos_(std::move(ganchos)) {
    setObjectName(QStringLiteral("FormPrincipal"));
    setWindowFlag(Qt::WindowMaximizeButtonHint, false);
    // Every screen and dialog inside takes the program's icon from here.
    setWindowIcon(IconePrograma());

    area_ = new QMdiArea(this);
    area_->setObjectName(QStringLiteral("areaTelas"));
    area_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    area_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    // A screen opened maximised does not pass its state on to the screen that becomes current
    // after it.
    area_->setOption(QMdiArea::DontMaximizeSubWindowOnActivation);
    setCentralWidget(area_);

    QMenuBar* barra = menuBar();
    mnuImprimir_ = barra->addAction(QStringLiteral("F11 - &Imprimir"));
    mnuImprimir_->setObjectName(QStringLiteral("mnuImprimir"));
    mnuImprimir_->setShortcut(QKeySequence(Qt::Key_F11));
    mnuImprimir_->setEnabled(false);  // a screen that prints makes it available
    mnuEncerrar_ = barra->addAction(QStringLiteral("&F12 - Retornar"));
    mnuEncerrar_->setObjectName(QStringLiteral("mnuEncerrar"));
    mnuEncerrar_->setShortcut(QKeySequence(Qt::Key_F12));
    // The last approved sale's receipt again (printer jammed, a copy for the customer).
    mnuReimprimir_ = barra->addAction(QStringLiteral("Reimprimir comprovante"));
    mnuReimprimir_->setObjectName(QStringLiteral("mnuReimprimir"));
    connect(mnuReimprimir_, &QAction::triggered, this, [this] { ReimprimeComprovante(ctx_); });
    mnAjuda_ = barra->addAction(QStringLiteral("&Sobre"));
    mnAjuda_->setObjectName(QStringLiteral("mnAjuda"));
    cmdSair_ = barra->addAction(QStringLiteral("F12 - Sai&r"));
    cmdSair_->setObjectName(QStringLiteral("cmdSair"));
    // The function keys reach the frame from every screen inside it.
    for (QAction* acao : {mnuImprimir_, mnuEncerrar_}) {
        acao->setShortcutContext(Qt::WindowShortcut);
        addAction(acao);
    }
    connect(mnuImprimir_, &QAction::triggered, this, [this] { mnuImprimir_Click(); });
    connect(mnuEncerrar_, &QAction::triggered, this, [this] { mnuEncerrar_Click(); });
    connect(mnAjuda_, &QAction::triggered, this, [this] { mnAjuda_Click(); });
    connect(cmdSair_, &QAction::triggered, this, [this] { cmdSair_Click(); });

    timer1_.setObjectName(QStringLiteral("Timer1"));
    connect(&timer1_, &QTimer::timeout, this, [this] { Timer1_Timer(); });

    SetaCaption(TextoCaptionPrincipal(ctx_));
    aplicaTamanhoFixo();
}

FormPrincipal::~FormPrincipal() {
    // Screens still open are destroyed with the frame's children, after this body and the
    // registration tables are gone: their end must not reach the tables any more.
    for (const auto& ligacao : std::as_const(ligacoesTelas_)) disconnect(ligacao);
}

QString FormPrincipal::CaminhoTravaPadrao() {
    QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty()) dir = QDir::tempPath();
    return QDir(dir).filePath(QStringLiteral("quillane-client.lock"));
}

bool FormPrincipal::MDIForm_Load() {
    // A new, empty current message.
    CarregaTabelasMensagem(ctx_);

    // One copy per user session: the lock stays held until this window goes away. A lock
    // left by a copy that crashed is taken over (its process no longer runs).
    if (caminhoTrava_.isEmpty()) caminhoTrava_ = CaminhoTravaPadrao();
    trava_ = std::make_unique<QLockFile>(caminhoTrava_);
    trava_->setStaleLockTime(0);
    if (!trava_->tryLock(0)) {
        trava_.reset();
        ctx_.caixas.inform(QStringLiteral("O QlnClient já esta ativo."), kTituloAtencao,
                           MessageBoxes::Icon::Exclamation);
        return false;
    }

    // Nothing to print yet; the window centred under its own caption.
    mnuImprimir_->setEnabled(false);
    CentralizaJanela(this);
    SetaCaption(TextoCaptionPrincipal(ctx_));

    // Settings and screen layouts.
    if (!SetaEstruturaPrincipal(ctx_)) {
        ctx_.caixas.inform(QStringLiteral("Erro nos arquivos de configuração!"), kTituloAtencao,
                           MessageBoxes::Icon::Critical);
        return false;
    }
    if (ganchos_.configuracaoCarregada) ganchos_.configuracaoCarregada(*this);

    // The first logon check runs as soon as the window is idle.
    timer1_.setInterval(1);
    timer1_.start();

    // Captions of the current establishment type, as the layout gives them: a caption
    // configured blank (or a key left out) blanks the command.
    const LayoutFormPrincipal& layout = ctx_.telas.FormPrincipal[ctx_.TipoEstab];
    mnuImprimir_->setEnabled(layout.mnuImprimir_Caption.enabled);
    mnuImprimir_->setText(layout.mnuImprimir_Caption.caption.trimmed());
    cmdSair_->setText(layout.cmdSair_Caption.caption.trimmed());

    // The operator table (a failure was already reported by the loader), then the card
    // identification screen.
    if (!ObtemDadosOperadora(ctx_)) {
        timer1_.stop();
        return false;
    }
    if (ganchos_.abreFormInicial) ganchos_.abreFormInicial(*this);
    return true;
}

QMdiSubWindow* FormPrincipal::abreTela(QWidget* tela) {
    QMdiSubWindow* moldura = area_->addSubWindow(tela);
    moldura->setAttribute(Qt::WA_DeleteOnClose);
    tela->show();
    moldura->show();
    area_->setActiveSubWindow(moldura);
    return moldura;
}

void FormPrincipal::registraTela(const QString& nomeTela, QObject* tela,
                                 DespachoTelas::Operacoes operacoes) {
    despacho_.registra(nomeTela, std::move(operacoes));
    donos_.insert(nomeTela, tela);
    if (tela) {
        // Only the registration made by this screen ends with it: a newer screen of the same
        // name may have registered in the meantime. The address is only compared, never used.
        ligacoesTelas_.removeIf([](const QMetaObject::Connection& c) { return !c; });
        ligacoesTelas_ << connect(tela, &QObject::destroyed, this, [this, nomeTela, tela] {
            if (donos_.value(nomeTela) != tela) return;
            donos_.remove(nomeTela);
            despacho_.remove(nomeTela);
        });
    }
}

void FormPrincipal::SetaCaption(const QString& caption) {
    runTrapped(ctx_, "SetaCaption", 0, [&] {
        setWindowTitle(TextoCaption(caption));
        return 0;
    });
}

void FormPrincipal::setImprimirDisponivel(bool disponivel) {
    mnuImprimir_->setEnabled(disponivel);
}

void FormPrincipal::mnuEncerrar_Click() {
    runTrapped(ctx_, "mnuEncerrar_Click", 0, [&] {
        BusyCursor ponteiro;
        despacho_.executa(ComandoTela::Encerrar, ctx_.TelaAtual);
        return 0;
    });
}

void FormPrincipal::mnuImprimir_Click() {
    if (!mnuImprimir_->isEnabled()) return;
    runTrapped(ctx_, "mnuImprimir_Click", 0, [&] {
        BusyCursor ponteiro;
        despacho_.executa(ComandoTela::Imprimir, ctx_.TelaAtual);
        return 0;
    });
}

void FormPrincipal::cmdSair_Click() {
    runTrapped(ctx_, "cmdSair_Click", 0, [&] {
        if (ctx_.caixas.ask(QStringLiteral("Confirma a Saída do Sistema"),
                            QStringLiteral("Quillane Client"), MessageBoxes::Icon::Critical,
                            MessageBoxes::Answer::No)) {
            encerra();
        }
        return 0;
    });
}

void FormPrincipal::mnAjuda_Click() {
    runTrapped(ctx_, "mnAjuda_Click", 0, [&] {
        FormSobre sobre(ctx_, this);
        sobre.exec();
        return 0;
    });
}

void FormPrincipal::Timer1_Timer() {
    timer1_.stop();
    timer1_.setInterval(kIntervaloLogonMs);
    // A host exchange, card read or catalogue lookup holds the terminal: this tick does
    // nothing, and a logon falling due is opened at the next one.
    if (ctx_.ocupado()) {
        timer1_.start();
        return;
    }
    // An error inside the tick is reported and leaves the procedure before the timer is
    // enabled again: the timer then stays off, as when Ultimo_Login cannot be read.
    const bool religa = runTrapped(ctx_, "FormPrincipalTimer1_Timer", false, [&] {
        switch (VerificaLogon(ctx_)) {
            case DecisaoLogon::PararTimer:
                return false;
            case DecisaoLogon::LogonDevido:
                if (ganchos_.abreFormMensLogon) ganchos_.abreFormMensLogon(*this);
                return true;
            case DecisaoLogon::LogonEmDia:
                break;
        }
        return true;
    });
    if (religa) timer1_.start();
}

void FormPrincipal::changeEvent(QEvent* evento) {
    QMainWindow::changeEvent(evento);
    if (evento->type() != QEvent::WindowStateChange) return;
    if (windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen)) {
        // Back to normal once the platform has finished the maximise request.
        QMetaObject::invokeMethod(
            this,
            [this] {
                setWindowState(windowState() & ~(Qt::WindowMaximized | Qt::WindowFullScreen));
                aplicaTamanhoFixo();
            },
            Qt::QueuedConnection);
    }
}

void FormPrincipal::resizeEvent(QResizeEvent* evento) {
    QMainWindow::resizeEvent(evento);
    if (ajustandoTamanho_) return;
    // A minimised window is left alone; a normal one keeps its fixed size.
    if (windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen)) return;
    if (evento->size() != QSize(kLargura, kAltura)) {
        QMetaObject::invokeMethod(
            this, [this] { aplicaTamanhoFixo(); }, Qt::QueuedConnection);
    }
}

void FormPrincipal::aplicaTamanhoFixo() {
    if (windowState() & Qt::WindowMinimized) return;
    ajustandoTamanho_ = true;
    resize(kLargura, kAltura);
    ajustandoTamanho_ = false;
}

void FormPrincipal::encerra() {
    timer1_.stop();
    if (ganchos_.encerraPrograma) {
        ganchos_.encerraPrograma();
    } else {
        QCoreApplication::exit(0);
    }
}

}  // namespace ql
