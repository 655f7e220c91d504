#include "ui/window_helpers.h"

#include <QAbstractButton>
#include <QApplication>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QScreen>
#include <QTimer>
#include <QWidget>

#include <utility>

#include "shell/layouts.h"

namespace ql {

namespace {

// The widget that is actually placed: the MDI frame around a screen shown inside the main
// window, or the window itself.
QWidget* moldura(QWidget* janela) {
    if (auto* sub = qobject_cast<QMdiSubWindow*>(janela->parentWidget())) return sub;
    return janela;
}

}  // namespace

void IniciaTimer1(QTimer& timer, int esperaMs, QObject* dono, std::function<void()> aoDisparar) {
    timer.setObjectName(QStringLiteral("Timer1"));
    timer.setSingleShot(true);
    timer.setInterval(esperaMs);
    QObject::connect(&timer, &QTimer::timeout, dono, std::move(aoDisparar));
    timer.start();
}

void CentralizaJanela(QWidget* janela) {
    if (!janela) return;
    QWidget* alvo = moldura(janela);
    QRect area;
    if (alvo->isWindow()) {
        QScreen* tela = alvo->screen() ? alvo->screen() : QGuiApplication::primaryScreen();
        if (!tela) return;
        area = tela->availableGeometry();
    } else if (alvo->parentWidget()) {
        area = alvo->parentWidget()->rect();
    } else {
        return;
    }
    const QSize tamanho = alvo->frameGeometry().size();
    alvo->move(area.x() + (area.width() - tamanho.width()) / 2,
               area.y() + (area.height() - tamanho.height()) / 2);
}

void PosicionaFormulario(QWidget* janela) {
    if (!janela) return;
    QWidget* alvo = moldura(janela);
    if (alvo->isWindow()) {
        QScreen* tela = alvo->screen() ? alvo->screen() : QGuiApplication::primaryScreen();
        alvo->move(tela ? tela->availableGeometry().topLeft() : QPoint(0, 0));
    } else {
        alvo->move(0, 0);
    }
}

void SelecionaCampo(QLineEdit* campo) {
    if (!campo) return;
    campo->setSelection(0, int(campo->text().size()));
}

void EnterTab(QWidget* origem) {
    // The control with the focus in the origin's window (the window may not be the active one,
    // as with a dialog that is still opening), else the application's focused control.
    QWidget* alvo = nullptr;
    if (origem) alvo = origem->window()->focusWidget();
    if (!alvo) alvo = QApplication::focusWidget();
    if (!alvo) alvo = origem;
    if (!alvo) return;
    QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier, QStringLiteral("\t"));
    QCoreApplication::sendEvent(alvo, &tab);
    QKeyEvent solta(QEvent::KeyRelease, Qt::Key_Tab, Qt::NoModifier, QStringLiteral("\t"));
    QCoreApplication::sendEvent(alvo, &solta);
}

void AplicaLegenda(QLabel* rotulo, const QString& legenda) {
    rotulo->setText(legenda.trimmed());
}

void AplicaLegenda(QAbstractButton* botao, const QString& legenda) {
    botao->setText(legenda.trimmed());
}

void AplicaLegenda(QGroupBox* quadro, const QString& legenda) {
    quadro->setTitle(legenda.trimmed());
}

void AplicaComando(QAbstractButton* botao, const CommandSlot& slot) {
    botao->setEnabled(slot.enabled);
    AplicaLegenda(botao, slot.caption);
}

}  // namespace ql
