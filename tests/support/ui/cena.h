#pragma once

// Screen scenarios as table rows. A scene starts a screen in a given state, plays what the
// cashier does (keys typed into named controls, clicks, answers to questions and to modal
// dialogs) and then checks what the cashier sees: the messages in order, the control with the
// focus, which commands are usable, and which requests reached the host. Each screen's test
// is one table of scenes; a new key rule is one row. Header-only, for the ui test programs.

#include <QApplication>
#include <QDeadlineTimer>
#include <QDialog>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "host/framing.h"
#include "host/host_link.h"
#include "shell/context.h"
#include "support/qstring_printer.h"
#include "support/recording_message_boxes.h"

namespace ql::test {

// Runs `acao` on the modal dialog named `nome` as soon as it is the active modal widget (its
// exec() is running); fails the test and closes whatever is modal when it never comes.
inline void quandoModal(const QString& nome, std::function<void(QWidget*)> acao,
                        int prazoMs = 8000) {
    auto* espera = new QTimer;
    auto prazo = std::make_shared<QDeadlineTimer>(prazoMs);
    espera->setInterval(5);
    QObject::connect(espera, &QTimer::timeout, [=] {
        QWidget* modal = QApplication::activeModalWidget();
        const bool chegou = modal && modal->objectName() == nome;
        if (!chegou && !prazo->hasExpired()) return;
        espera->stop();
        espera->deleteLater();
        if (chegou) {
            acao(modal);
        } else {
            ADD_FAILURE() << "the modal " << nome.toStdString() << " never opened";
            if (auto* d = qobject_cast<QDialog*>(modal)) d->reject();
        }
    });
    espera->start();
}

// While it lives, runs `acao` on every modal dialog named `nome` that opens (once per
// opening): a dialog the scenario does not look into is closed this way.
class SempreQueModal {
  public:
    SempreQueModal(const QString& nome, std::function<void(QWidget*)> acao) {
        QObject::connect(&timer_, &QTimer::timeout, [this, nome, acao] {
            QWidget* modal = QApplication::activeModalWidget();
            if (!modal || modal->objectName() != nome || modal == ultimo_) return;
            ultimo_ = modal;
            acao(modal);
            // A dialog that stays open after the action gets it again only when it reopens.
            QTimer::singleShot(0, [this] { ultimo_ = nullptr; });
        });
        timer_.start(5);
    }

  private:
    QTimer timer_;
    QWidget* ultimo_ = nullptr;
};

// Rejects the modal dialog as soon as it shows.
inline void recusa(QWidget* modal) {
    if (auto* d = qobject_cast<QDialog*>(modal)) d->reject();
}

// Types `texto` into the control and, unless the key is Qt::Key_unknown, presses `tecla`.
inline void digitaEm(QWidget* campo, const QString& texto, Qt::Key tecla = Qt::Key_Return) {
    if (!campo) return;
    campo->setFocus();
    QTest::keyClicks(campo, texto);
    if (tecla != Qt::Key_unknown) QTest::keyClick(campo, tecla);
}

// The requests that reached the host, as "TYPE/PROCESSING" (the message type and processing
// code; the type alone when the message has no code), and "PRECO code" for a price lookup.
// The list outlives the link: a test that replaces the link keeps reading it.
using Pedidos = std::shared_ptr<QStringList>;

class LinkGravado final : public HostLink {
  public:
    LinkGravado(std::unique_ptr<HostLink> link, Pedidos pedidos)
        : link_(std::move(link)), pedidos_(std::move(pedidos)) {}

    qint32 Process(QString& frame, QString& route, const QString& mode) override {
        const QString corpo = framing::bodyOfFrame(frame).value_or(QString());
        static const QRegularExpression tipo(QStringLiteral("(?:^|;)000-000=(\\d+)")),
            processamento(QStringLiteral("(?:^|;)011-000=(\\d+)"));
        const auto t = tipo.match(corpo), p = processamento.match(corpo);
        const QString pedido = t.hasMatch() ? t.captured(1) : corpo.left(4);  // ISO: its MTI
        *pedidos_ << (p.hasMatch() ? pedido + u'/' + p.captured(1) : pedido);
        return link_->Process(frame, route, mode);
    }
    qint32 GetPreco(QString& code1, QString& code2, QString& description, QString& amount1,
                    QString& amount2, QString& status) override {
        *pedidos_ << QStringLiteral("PRECO ") + code1.trimmed();
        return link_->GetPreco(code1, code2, description, amount1, amount2, status);
    }
    void setConnectTimeoutMs(int ms) override { link_->setConnectTimeoutMs(ms); }
    HostLink* interno() const { return link_.get(); }

  private:
    std::unique_ptr<HostLink> link_;
    Pedidos pedidos_;
};

// Wraps the context's host link so that its requests are recorded in `pedidos`; returns it.
inline Pedidos gravaPedidos(Context& ctx, Pedidos pedidos = std::make_shared<QStringList>()) {
    if (ctx.hostLink)
        ctx.hostLink = std::make_unique<LinkGravado>(std::move(ctx.hostLink), pedidos);
    return pedidos;
}

// The context's link of type T, looking through the recording.
template <class T>
T* linkDoTipo(Context& ctx) {
    HostLink* link = ctx.hostLink.get();
    if (auto* gravado = dynamic_cast<LinkGravado*>(link)) link = gravado->interno();
    return dynamic_cast<T*>(link);
}

// One thing the cashier does.
struct Passo {
    std::function<void(QWidget* tela)> faz;
};

// The top-level or child widget of the given class and object name, visible or not; nullptr
// when there is none.
template <class T = QWidget>
T* achaTela(const QString& nomeObjeto) {
    for (QWidget* w : QApplication::allWidgets()) {
        if (w->objectName() == nomeObjeto) {
            if (auto* t = qobject_cast<T*>(w)) return t;
        }
    }
    return nullptr;
}

// The control named `nome` on the screen, else on the dialog that is modal, else anywhere.
inline QWidget* controle(QWidget* tela, const QString& nome) {
    if (nome.isEmpty()) return tela;
    if (QWidget* w = tela ? tela->findChild<QWidget*>(nome) : nullptr) return w;
    if (QWidget* modal = QApplication::activeModalWidget()) {
        if (modal->objectName() == nome) return modal;
        if (QWidget* w = modal->findChild<QWidget*>(nome)) return w;
    }
    if (QWidget* w = achaTela(nome)) return w;
    ADD_FAILURE() << "no control " << nome.toStdString();
    return nullptr;
}

// Types `texto` into the control and presses `tecla` (Qt::Key_unknown: no key).
inline Passo digita(const QString& nome, const QString& texto, Qt::Key tecla = Qt::Key_Return) {
    return {[=](QWidget* tela) { digitaEm(controle(tela, nome), texto, tecla); }};
}
// Presses a key on the control named (the screen itself when no name is given).
inline Passo tecla(Qt::Key k, const QString& nome = {}) {
    return {[=](QWidget* tela) {
        if (QWidget* w = controle(tela, nome)) QTest::keyClick(w, k);
    }};
}
// Clicks the button named.
inline Passo clica(const QString& nome) {
    return {[=](QWidget* tela) {
        if (QWidget* w = controle(tela, nome)) QTest::mouseClick(w, Qt::LeftButton);
    }};
}
// Arranges what to do with the modal dialog named once the next steps open it.
inline Passo quandoAbrir(const QString& nome, std::function<void(QWidget*)> acao) {
    return {[=](QWidget*) { quandoModal(nome, acao); }};
}

// What a scene plays on: the screen (null once it has closed), the message boxes and the
// record of requests to the host (null when the fixture keeps none).
struct Palco {
    QWidget* tela;
    RecordingMessageBoxes& caixas;
    Pedidos pedidos;
};

// A scene of a screen's table. The fixture `P` starts the screen and offers `Palco palco()`.
template <class P>
struct Cena {
    std::string nome;
    std::function<void(P&)> prepara;  // the starting state, beyond the fixture's own
    std::vector<Passo> passos;
    QStringList caixas;                           // every message shown, in order
    std::vector<MessageBoxes::Answer> respostas;  // answers to its questions, in order
    QString foco;                        // the control with the focus afterwards; "" not checked
    QStringList comandos;                // "cmdX" usable, "!cmdX" not usable (disabled or hidden)
    std::optional<QStringList> pedidos;  // the requests that reached the host
    std::function<void(P&)> confere;     // whatever else the scene shows
};

// Plays each scene on a fixture of its own and checks what the scene expects.
template <class P>
void encena(const std::vector<Cena<P>>& tabela) {
    for (const Cena<P>& c : tabela) {
        SCOPED_TRACE(c.nome);
        P p;
        if (c.prepara) c.prepara(p);
        RecordingMessageBoxes& caixas = p.palco().caixas;
        caixas.clear();
        for (auto r : c.respostas) caixas.answerNext(r);
        if (const Pedidos& pedidos = p.palco().pedidos) pedidos->clear();
        for (const Passo& passo : c.passos) passo.faz(p.palco().tela);
        EXPECT_EQ(caixas.texts(), c.caixas);
        QWidget* tela = p.palco().tela;
        if (!c.foco.isEmpty()) {
            QWidget* foco = tela ? tela->focusWidget() : nullptr;
            EXPECT_EQ(foco ? foco->objectName() : QString(), c.foco);
        }
        for (QString nome : c.comandos) {
            const bool usavel = !nome.startsWith(u'!');
            if (!usavel) nome.remove(0, 1);
            QWidget* w = controle(tela, nome);
            const bool e = w && w->isEnabled() && w->isVisibleTo(w->window());
            EXPECT_EQ(e, usavel) << nome.toStdString();
        }
        if (c.pedidos) {
            const Pedidos& pedidos = p.palco().pedidos;
            EXPECT_EQ(pedidos ? *pedidos : QStringList(), *c.pedidos);
        }
        if (c.confere) c.confere(p);
    }
}

}  // namespace ql::test
