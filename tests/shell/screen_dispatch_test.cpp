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
        {"INCIAL", "FormInicial", ""},  // spelt as the card screen sets it
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
        {"", "", ""},
        {"inicial", "", ""},
    };
    for (const auto& caso : casos) {
        SCOPED_TRACE(caso.telaAtual);
        const QString tela = QString::fromLatin1(caso.telaAtual);
        EXPECT_EQ(TelaDoComando(ComandoTela::Encerrar, tela), QLatin1String(caso.encerrar));
        EXPECT_EQ(TelaDoComando(ComandoTela::Imprimir, tela), QLatin1String(caso.imprimir));
    }
}

TEST(DespachoTelas, RunsTheRegisteredScreenOnce) {
    DespachoTelas despacho;
    QStringList chamadas;
    despacho.registra(QStringLiteral("FormResumoProdutos"),
                      {[&] { chamadas << QStringLiteral("encerra produtos"); },
                       [&] { chamadas << QStringLiteral("imprime produtos"); }});
    // A screen may close itself, and so end its registration, while its command runs.
    despacho.registra(QStringLiteral("FormInicial"),
                      {[&] {
                           chamadas << QStringLiteral("encerra inicial");
                           despacho.remove(QStringLiteral("FormInicial"));
                       },
                       {}});

    EXPECT_EQ(despacho.executa(ComandoTela::Encerrar, QStringLiteral("PRODUTOSDOLOTE")),
              QStringLiteral("FormResumoProdutos"));
    EXPECT_EQ(despacho.executa(ComandoTela::Imprimir, QStringLiteral("PRODUTOSDATRANSACAO")),
              QStringLiteral("FormResumoProdutos"));
    EXPECT_EQ(despacho.executa(ComandoTela::Encerrar, QStringLiteral("INCIAL")),
              QStringLiteral("FormInicial"));
    EXPECT_FALSE(despacho.registrada(QStringLiteral("FormInicial")));
    // Then nothing: F12 on a closed screen or with no screen, a mapped screen that is not
    // open, a screen without that command.
    EXPECT_TRUE(despacho.executa(ComandoTela::Encerrar, QStringLiteral("INCIAL")).isEmpty());
    EXPECT_TRUE(despacho.executa(ComandoTela::Encerrar, QString()).isEmpty());
    EXPECT_TRUE(despacho.executa(ComandoTela::Encerrar, QStringLiteral("VENDA")).isEmpty());
    despacho.registra(QStringLiteral("FormNsu"), {[&] { chamadas << QStringLiteral("nsu"); }, {}});
    EXPECT_TRUE(
        despacho.executa(ComandoTela::Imprimir, QStringLiteral("TRANSACOESDOLOTE")).isEmpty());
    EXPECT_EQ(chamadas,
              (QStringList{QStringLiteral("encerra produtos"), QStringLiteral("imprime produtos"),
                           QStringLiteral("encerra inicial")}));
}

}  // namespace
}  // namespace ql
