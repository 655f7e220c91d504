#pragma once

// A running client over the demonstration store, for the screen tests: the demo data set in a
// temporary folder, the embedded simulated host, PDF printing into the folder's prints/, the
// main window started (MDIForm_Load) and active. Header-only, for the ui test programs.

#include <QApplication>
#include <QDeadlineTimer>
#include <QPointer>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "data/demo_data_set.h"
#include "host/host_link.h"
#include "hostsim/embedded_host_link.h"
#include "shell/screens/form_principal.h"
#include "support/test_context.h"
#include "support/ui/cena.h"

namespace ql::test {

// Lets the event loop run until the condition holds or `ms` milliseconds have passed.
inline bool esperaAte(const std::function<bool()>& condicao, int ms = 5000) {
    QDeadlineTimer prazo(ms);
    while (!condicao()) {
        if (prazo.hasExpired()) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QTest::qSleep(2);
    }
    return true;
}

// The main window's F12, as the menu's Encerrar: whatever the screen on top does with it.
inline Passo f12DaJanela() {
    return {
        [](QWidget* t) { qobject_cast<FormPrincipal*>(t->window())->mnuEncerrar()->trigger(); }};
}

// Whether the screen named has gone: closed screens are deleted later, so let that happen here.
inline bool telaFechada(const QString& nome) {
    return esperaAte([&] {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return achaTela(nome) == nullptr;
    });
}

struct LojaDemo {
    TestContext t;
    QStringList eventos;  // "FormInicial", "Logon", "fim" as the main window's hooks ran
    std::unique_ptr<FormPrincipal> janela;
    Pedidos pedidos = std::make_shared<QStringList>();  // what reached the host, in order

    // `abreFormInicial`: what the main window runs to open the first screen (nothing by
    // default, so that a test opens the screen it drives).
    explicit LojaDemo(std::function<void(FormPrincipal&)> abreFormInicial = {}) {
        QString erro;
        const bool gerado = GeraDadosDemonstracao(t.dir.path(), &erro);
        EXPECT_TRUE(gerado) << erro.toStdString();
        t.ctx.programDir = t.dir.path();
        FormPrincipal::Ganchos g;
        g.abreFormInicial = [this, abreFormInicial](FormPrincipal& j) {
            eventos << QStringLiteral("FormInicial");
            if (abreFormInicial) abreFormInicial(j);
        };
        g.abreFormMensLogon = [this](FormPrincipal&) { eventos << QStringLiteral("Logon"); };
        g.configuracaoCarregada = [this](FormPrincipal& j) {
            IniciaHostLink(j.contexto(), hostsim::embeddedHostLinkFactory());
            gravaPedidos(j.contexto(), pedidos);
        };
        g.encerraPrograma = [this] { eventos << QStringLiteral("fim"); };
        janela = std::make_unique<FormPrincipal>(t.ctx, std::move(g));
        janela->setCaminhoTrava(t.path(QStringLiteral("quillane-client.lock")));
        const bool iniciado = janela->MDIForm_Load();
        EXPECT_TRUE(iniciado) << t.boxes.texts().join(" | ").toStdString();
        janela->Timer1().stop();  // tests run the logon check themselves
        janela->show();
        // Keys typed by a test reach the window with the keyboard, as at a real display.
        janela->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(janela.get()));
    }

    Context& ctx() { return t.ctx; }
    RecordingMessageBoxes& caixas() { return t.boxes; }
};

// The demo store as the administrative screens find it, every receipt they print confirmed as
// it shows; `tela` is the screen a scene plays on.
struct LojaAdministrativa {
    LojaDemo loja;
    Context& ctx = loja.ctx();
    RecordingMessageBoxes& caixas = loja.caixas();
    SempreQueModal recibo{"FormImpressao", [](QWidget* w) { QTest::keyClick(w, Qt::Key_F5); }};
    QPointer<QWidget> tela;
    Palco palco() { return {tela, caixas, loja.pedidos}; }
};

}  // namespace ql::test
