#include <gtest/gtest.h>

#include "shell/screen_dispatch.h"

namespace ql {
namespace {

TEST(TelaDoComando, DispatchTable) {
    const struct {
        const char* telaAtual;
        const char* encerrar;
        const char* imprimir;
    } casos[] = {
        {"INCIAL", "FormInicial", ""},
        {"ADMINISTRATIVA", "FormComplementar", ""},
        {"TRANSACOESPENDENTES", "FormConsulta", "FormConsulta"},
        {"RESUMOVENDA", "FormResumo", "FormResumo"},
        {"TRANSACOESDOLOTE", "FormNsu", "FormNsu"},
        {"PRODUTOSDATRANSACAO", "FormResumoProdutos", "FormResumoProdutos"},
        {"PRODUTOSDOLOTE", "FormResumoProdutos", "FormResumoProdutos"},
        {"RESUMOFINANCEIRO", "", "FormResumoFinanceiro"},
        {"PREVENDA", "FormPreVenda", ""},
        {"VENDA", "FormPreVenda", ""},
        {"CADASTRO", "", ""},
        {"LOGON", "", ""},
        {"PENDENTES", "", ""},
        {"", "", ""},
        {"inicial", "", ""},
        {"INICIAL", "", ""},
    };
    for (const auto& caso : casos) {
        SCOPED_TRACE(caso.telaAtual);
        const QString tela = QString::fromLatin1(caso.telaAtual);
        EXPECT_EQ(TelaDoComando(ComandoTela::Encerrar, tela), QLatin1String(caso.encerrar));
        EXPECT_EQ(TelaDoComando(ComandoTela::Imprimir, tela), QLatin1String(caso.imprimir));
    }
    EXPECT_EQ(TelasAtendidas(ComandoTela::Encerrar).size(), 9);
    EXPECT_EQ(TelasAtendidas(ComandoTela::Imprimir).size(), 6);
}

TEST(DespachoTelas, RunsTheRegisteredScreen) {
    DespachoTelas despacho;
    QStringList chamadas;
    despacho.registra(QStringLiteral("FormResumoProdutos"),
                      {[&] { chamadas << QStringLiteral("encerra produtos"); },
                       [&] { chamadas << QStringLiteral("imprime produtos"); }});
    despacho.registra(QStringLiteral("FormInicial"),
                      {[&] { chamadas << QStringLiteral("encerra inicial"); }, {}});

    EXPECT_EQ(despacho.executa(ComandoTela::Encerrar, QStringLiteral("PRODUTOSDOLOTE")),
              QStringLiteral("FormResumoProdutos"));
    EXPECT_EQ(despacho.executa(ComandoTela::Imprimir, QStringLiteral("PRODUTOSDATRANSACAO")),
              QStringLiteral("FormResumoProdutos"));
    EXPECT_EQ(despacho.executa(ComandoTela::Encerrar, QStringLiteral("INCIAL")),
              QStringLiteral("FormInicial"));
    // F11 on the card identification screen and F12 with no screen do nothing.
    EXPECT_TRUE(despacho.executa(ComandoTela::Imprimir, QStringLiteral("INCIAL")).isEmpty());
    EXPECT_TRUE(despacho.executa(ComandoTela::Encerrar, QString()).isEmpty());
    // A mapped screen that is not open does nothing either.
    EXPECT_TRUE(despacho.executa(ComandoTela::Encerrar, QStringLiteral("VENDA")).isEmpty());
    EXPECT_EQ(chamadas,
              (QStringList{QStringLiteral("encerra produtos"), QStringLiteral("imprime produtos"),
                           QStringLiteral("encerra inicial")}));

    despacho.remove(QStringLiteral("FormInicial"));
    EXPECT_FALSE(despacho.registrada(QStringLiteral("FormInicial")));
    EXPECT_TRUE(despacho.executa(ComandoTela::Encerrar, QStringLiteral("INCIAL")).isEmpty());
}

TEST(DespachoTelas, ScreenMayCloseItselfWhileRunning) {
    DespachoTelas despacho;
    int vezes = 0;
    despacho.registra(QStringLiteral("FormNsu"), {[&] {
                                                      ++vezes;
                                                      despacho.remove(QStringLiteral("FormNsu"));
                                                  },
                                                  {}});
    EXPECT_EQ(despacho.executa(ComandoTela::Encerrar, QStringLiteral("TRANSACOESDOLOTE")),
              QStringLiteral("FormNsu"));
    EXPECT_TRUE(
        despacho.executa(ComandoTela::Encerrar, QStringLiteral("TRANSACOESDOLOTE")).isEmpty());
    EXPECT_EQ(vezes, 1);
}

}  // namespace
}  // namespace ql
