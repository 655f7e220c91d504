#include "shell/screens/form_sobre.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QVBoxLayout>

#include "shell/captions.h"
#include "shell/context.h"
#include "ui/busy_cursor.h"
#include "ui/window_helpers.h"

#ifndef QL_VERSION
#define QL_VERSION "0.0.0"
#endif

namespace ql {

FormSobre::FormSobre(Context& ctx, QWidget* parent) : QDialog(parent), ctx_(ctx) {
    setObjectName(QStringLiteral("FormSobre"));
    setWindowTitle(QStringLiteral("Sobre o Quillane Client"));
    setModal(true);

    const QString programa = QCoreApplication::applicationFilePath();
    auto* titulo = new QLabel(QStringLiteral("<b>Quillane Client</b>"), this);
    auto* versao = new QLabel(QStringLiteral("Versão ") + QString::fromLatin1(QL_VERSION), this);
    versao->setObjectName(QStringLiteral("lblVersion"));
    auto* arquivo = new QLabel(QStringLiteral("Programa: ") + QFileInfo(programa).fileName(), this);
    auto* data = new QLabel(QStringLiteral("Data: ") + TextoDataArquivo(programa), this);
    data->setObjectName(QStringLiteral("lblData"));
    auto* tamanho = new QLabel(QStringLiteral("Tamanho: ") + TextoTamanhoArquivo(programa), this);
    tamanho->setObjectName(QStringLiteral("lblTamanho"));
    auto* descricao = new QLabel(
        QStringLiteral("Cliente de ponto de venda da rede de benefício farmacêutico."), this);
    descricao->setWordWrap(true);

    auto* ok = new QPushButton(QStringLiteral("&OK"), this);
    ok->setObjectName(QStringLiteral("cmdOK"));
    ok->setDefault(true);
    cmdSysInfo_ = new QPushButton(QStringLiteral("&Informações do Sistema..."), this);
    cmdSysInfo_->setObjectName(QStringLiteral("cmdSysInfo"));
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cmdSysInfo_, &QPushButton::clicked, this, [this] { cmdSysInfo_Click(); });

    auto* botoes = new QVBoxLayout;
    botoes->addWidget(ok);
    botoes->addWidget(cmdSysInfo_);
    botoes->addStretch();
    auto* textos = new QVBoxLayout;
    for (QWidget* w : {static_cast<QWidget*>(titulo), static_cast<QWidget*>(versao),
                       static_cast<QWidget*>(descricao), static_cast<QWidget*>(arquivo),
                       static_cast<QWidget*>(data), static_cast<QWidget*>(tamanho)}) {
        textos->addWidget(w);
    }
    textos->addStretch();
    auto* principal = new QHBoxLayout(this);
    principal->addLayout(textos, 1);
    principal->addLayout(botoes);
    setFixedSize(sizeHint().expandedTo(QSize(420, 200)));
    CentralizaJanela(this);
}

QStringList FormSobre::FerramentasSistema() {
    return {QStringLiteral("hardinfo"), QStringLiteral("hardinfo2"),
            QStringLiteral("gnome-system-monitor"), QStringLiteral("kinfocenter"),
            QStringLiteral("xfce4-taskmanager")};
}

QString FormSobre::LocalizaFerramentaSistema(const QStringList& ferramentas,
                                             const QStringList& diretorios) {
    for (const QString& nome : ferramentas) {
        const QString caminho = QStandardPaths::findExecutable(nome, diretorios);
        if (!caminho.isEmpty()) return caminho;
    }
    return {};
}

QString FormSobre::TextoDataArquivo(const QString& caminho) {
    const QFileInfo info(caminho);
    if (!info.exists()) return QString();
    const QDateTime quando = info.lastModified();
    return DataCurta(quando.date()) + QLatin1Char(' ') +
           quando.time().toString(QStringLiteral("HH:mm:ss"));
}

QString FormSobre::TextoTamanhoArquivo(const QString& caminho) {
    const QFileInfo info(caminho);
    if (!info.exists()) return QString();
    return QLocale(QLocale::Portuguese, QLocale::Brazil).toString(info.size()) +
           QStringLiteral(" bytes");
}

void FormSobre::cmdSysInfo_Click() {
    BusyCursor ponteiro(cmdSysInfo_);
    const QString ferramenta = LocalizaFerramentaSistema(FerramentasSistema(), diretorios_);
    if (ferramenta.isEmpty()) {
        ponteiro.release();
        ctx_.caixas.inform(
            QStringLiteral("Nenhuma ferramenta de informações do sistema está instalada."),
            kTituloAtencao, MessageBoxes::Icon::Information);
        return;
    }
    if (!QProcess::startDetached(ferramenta, {})) {
        ponteiro.release();
        ctx_.caixas.inform(QStringLiteral("Não foi possível iniciar ") +
                               QFileInfo(ferramenta).fileName() + QLatin1Char('.'),
                           kTituloAtencao, MessageBoxes::Icon::Exclamation);
    }
}

}  // namespace ql
