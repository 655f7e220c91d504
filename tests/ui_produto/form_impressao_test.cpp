#include <QAction>
#include <QFile>
#include <QTest>

#include <gtest/gtest.h>

#include "hostsim/embedded_host_link.h"
#include "sale/screens/form_impressao.h"
#include "support/leitor_escpos.h"
#include "support/ui/loja_demo.h"
#include "support/venda_demo.h"
#include "ui/telas.h"

namespace ql {
namespace {

using test::tecla;

// Card 0004's stored pre-authorisation sold and not yet confirmed, as the authorisation screen
// leaves it before the receipt screen opens.
struct Recibo {
    test::LojaDemo loja;
    Context& ctx = loja.ctx();
    std::unique_ptr<FormImpressao> tela;
    QString nsu;

    Recibo() {
        ctx.TipoEstab = 1;
        nsu = test::VendePreAutorizacao0004(ctx, QStringLiteral("123456"), false);
        loja.janela->setImprimirDisponivel(true);
        abre();
    }
    void abre() {
        tela = std::make_unique<FormImpressao>(ctx, loja.janela.get());
        tela->show();
    }
    test::Palco palco() { return {tela.get(), loja.caixas(), loja.pedidos}; }
};
using P = Recibo;

TEST(ReciboCenas, Tabela) {
    const QStringList todos{"cmdConfirma", "cmdAnula", "cmdImprimir"};
    test::encena<P>({
        {.nome = "the products, then the host's receipt; F8 prints them and a blank line",
         .prepara =
             [](P& p) { p.ctx.config.RECEIPT_PRINTER = "escpos:file:" + p.loja.t.path("r"); },
         .passos = {tecla(Qt::Key_F8)},
         .comandos = todos,
         .pedidos = QStringList{},
         .confere =
             [](P& p) {
                 QAction* imprimir = p.loja.janela->mnuImprimir();
                 EXPECT_FALSE(imprimir->isEnabled());  // the main window cannot print meanwhile
                 const QStringList linhas = p.tela->linhas();
                 ASSERT_EQ(linhas.size(), 29);
                 EXPECT_EQ(linhas[3], "7891185094945                       C ");
                 EXPECT_EQ(linhas[12], "     QUILLANE BENEFICIO FARMACIA      ");
                 QFile impresso(p.loja.t.path("r"));
                 ASSERT_TRUE(impresso.open(QIODevice::ReadOnly));
                 const auto lida = test::LeEscPos(impresso.readAll());
                 EXPECT_EQ(lida.linhas, linhas + QStringList{" "});
                 EXPECT_TRUE(lida.cortaNoFim());
                 p.tela.reset();
                 EXPECT_TRUE(imprimir->isEnabled());
             }},
        {.nome = "a failed print says why, the commands stay usable; Escape does not leave the "
                 "sale undecided",
         .prepara = [](P& p) { p.ctx.config.PRINTER = "IMPRESSORA_QUE_NAO_EXISTE"; },
         .passos = {tecla(Qt::Key_F8), tecla(Qt::Key_Escape)},
         .caixas = {"Não foi possível imprimir o comprovante.\nA impressora "
                    "IMPRESSORA_QUE_NAO_EXISTE não foi encontrada."},
         .comandos = todos,
         .pedidos = QStringList{},
         .confere =
             [](P& p) {
                 EXPECT_EQ(p.loja.caixas().last().icon, MessageBoxes::Icon::Exclamation);
                 EXPECT_TRUE(p.tela->isVisible());
             }},
        {.nome = "a confirmation the layout disables waits for a print; F12 undoes the sale",
         .prepara =
             [](P& p) {
                 p.ctx.telas.FormImpressao[1].CmdConfirma_Caption.enabled = false;
                 p.abre();
             },
         .passos = {tecla(Qt::Key_F5),
                    tecla(Qt::Key_F8),
                    {[](QWidget* t) {
                        EXPECT_TRUE(t->isVisible());
                        EXPECT_TRUE(t->findChild<QWidget*>("cmdConfirma")->isEnabled());
                    }},
                    tecla(Qt::Key_F12)},
         .pedidos = QStringList{"0420/800300"},
         .confere =
             [](P& p) {
                 EXPECT_FALSE(p.tela->isVisible());
                 auto& host = test::linkDoTipo<hostsim::EmbeddedHostLink>(p.ctx)->simulador();
                 EXPECT_EQ(host.store().transacao(p.nsu.toLongLong())->situacao, "DESFEITA");
             }},
    });
}

}  // namespace
}  // namespace ql
