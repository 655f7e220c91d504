#include "shell/screens/form_config.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QThread>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "pinpad/pin_pad_abecs.h"
#include "sale/diagnostico.h"
#include "shell/captions.h"
#include "shell/context.h"
#include "shell/error_trap.h"
#include "shell/screens/form_principal.h"
#include "ui/busy_cursor.h"
#include "ui/impressao.h"
#include "ui/key_filters.h"
#include "ui/telas.h"

namespace ql {

FormConfig::FormConfig(FormPrincipal& principal, QWidget* parent)
    : QWidget(parent), principal_(principal), ctx_(principal.contexto()) {
    setObjectName(QStringLiteral("FormConfig"));
    setWindowTitle(QString::fromUtf16(kTitulo));

    lstConfiguracao_ = new QTreeWidget(this);
    lstConfiguracao_->setObjectName(QStringLiteral("lstConfiguracao"));
    lstConfiguracao_->setColumnCount(2);
    lstConfiguracao_->setHeaderLabels({QStringLiteral("Configuração"), QStringLiteral("Valor")});
    lstConfiguracao_->setRootIsDecorated(true);
    lstConfiguracao_->setUniformRowHeights(true);
    lstConfiguracao_->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    lstConfiguracao_->header()->setStretchLastSection(true);

    lblHost_ = new QLabel(this);
    lblHost_->setObjectName(QStringLiteral("lblHost"));
    lblHost_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    lblResultado_ = new QLabel(this);
    lblResultado_->setObjectName(QStringLiteral("lblResultado"));
    lblResultado_->setWordWrap(true);
    lblResultado_->setTextInteractionFlags(Qt::TextSelectableByMouse);

    cmdTestaConexao_ = new QPushButton(QStringLiteral("F3 - &Testar conexão"), this);
    cmdTestaConexao_->setObjectName(QStringLiteral("cmdTestaConexao"));
    cmdTestaConexao_->setAutoDefault(false);
    cmdFechar_ = new QPushButton(QStringLiteral("ESC - &Fechar"), this);
    cmdFechar_->setObjectName(QStringLiteral("cmdFechar"));
    cmdFechar_->setAutoDefault(false);
    connect(cmdTestaConexao_, &QPushButton::clicked, this, [this] { cmdTestaConexao_Click(); });
    connect(cmdFechar_, &QPushButton::clicked, this, [this] { cmdFechar_Click(); });
    cmdTestaImpressora_ = new QPushButton(QStringLiteral("F4 - Testar &impressora"), this);
    cmdTestaImpressora_->setObjectName(QStringLiteral("cmdTestaImpressora"));
    cmdTestaImpressora_->setAutoDefault(false);
    connect(cmdTestaImpressora_, &QPushButton::clicked, this,
            [this] { cmdTestaImpressora_Click(); });
    InstalaTeclasFuncao(this, {{Qt::Key_F3, cmdTestaConexao_},
                               {Qt::Key_F4, cmdTestaImpressora_},
                               {Qt::Key_Escape, cmdFechar_}});

    auto* comandos = new QHBoxLayout;
    comandos->addWidget(cmdTestaConexao_);
    comandos->addWidget(cmdTestaImpressora_);
    comandos->addStretch();
    comandos->addWidget(cmdFechar_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lstConfiguracao_, 1);
    layout->addWidget(lblHost_);
    layout->addWidget(lblResultado_);
    layout->addLayout(comandos);
    setMinimumSize(600, 360);

    ctx_.TelaAtual.clear();
    principal_.SetaCaption(
        TextoComData(ctx_, QStringLiteral("Quillane Client      Tela 0099 - Configurações    ")));
    CarregaConfiguracao();
    ConsultaPinPad();
}

void FormConfig::ConsultaPinPad() {
    PinPadAbecs* pad = PinPadSerial(ctx_);
    if (!pad) return;
    // The pad may take seconds to give up; the window stays live and lists what it learnt.
    auto* consulta = QThread::create([pad] {
        abecs::InfoPinPad info;
        pad->LeInformacoes(info);
    });
    connect(consulta, &QThread::finished, this, [this] {
        CarregaConfiguracao();
        emit pinPadConsultado();
    });
    connect(consulta, &QThread::finished, consulta, &QObject::deleteLater);
    consulta->start();
}

void FormConfig::CarregaConfiguracao() {
    runTrapped(ctx_, "CarregaConfiguracao", 0, [&] {
        lstConfiguracao_->clear();
        QTreeWidgetItem* grupo = nullptr;
        for (const ItemConfiguracao& item : ResumoConfiguracao(ctx_)) {
            if (!grupo || grupo->text(0) != item.grupo) {
                grupo = new QTreeWidgetItem(lstConfiguracao_, {item.grupo});
                grupo->setFirstColumnSpanned(true);
                grupo->setExpanded(true);
            }
            new QTreeWidgetItem(grupo, {item.nome, item.valor});
        }
        lblHost_->setText(QStringLiteral("Host: ") + EstadoHostLink(ctx_));
        return 0;
    });
}

void FormConfig::cmdTestaConexao_Click() {
    runTrapped(ctx_, "cmdTestaConexao_Click", 0, [&] {
        BusyCursor ocupado(cmdTestaConexao_);
        lblResultado_->setText(QStringLiteral("Testando a conexão com o host..."));
        lblResultado_->repaint();
        const ResultadoTesteConexao r = TestaConexaoHost(ctx_);
        lblResultado_->setText(r.texto);
        lblResultado_->setStyleSheet(r.ok ? QStringLiteral("color: darkgreen;")
                                          : QStringLiteral("color: darkred;"));
        lblHost_->setText(QStringLiteral("Host: ") + EstadoHostLink(ctx_));
        return 0;
    });
}

void FormConfig::cmdTestaImpressora_Click() {
    runTrapped(ctx_, "cmdTestaImpressora_Click", 0, [&] {
        BusyCursor ocupado(cmdTestaImpressora_);
        const QString destino = DestinoReciboConfigurado(ctx_.config).descricao();
        lblResultado_->setText(QStringLiteral("Imprimindo o teste em %1...").arg(destino));
        lblResultado_->repaint();
        const ResultadoImpressao r =
            ObtemImpressoraRecibo(ctx_)->imprime(LinhasTesteImpressora(ctx_));
        lblResultado_->setText(
            r.ok ? QStringLiteral("Impressora OK: o teste foi enviado para %1.").arg(destino)
                 : QStringLiteral("Falha na impressora: %1").arg(r.erro));
        lblResultado_->setStyleSheet(r.ok ? QStringLiteral("color: darkgreen;")
                                          : QStringLiteral("color: darkred;"));
        return 0;
    });
}

void FormConfig::cmdFechar_Click() {
    if (auto* moldura = qobject_cast<QMdiSubWindow*>(parentWidget())) {
        moldura->close();
    } else {
        close();
    }
}

void FormConfig::closeEvent(QCloseEvent* evento) {
    QWidget::closeEvent(evento);
    if (fechando_) return;
    fechando_ = true;
    principal_.SetaCaption(QString());
    AbreFormInicial(principal_);
}

void AbreFormConfig(FormPrincipal& principal) {
    // No current screen name is set here, so the main window's F12 has nothing to reach:
    // the window closes with its own ESC button.
    principal.abreTela(new FormConfig(principal));
}

}  // namespace ql
