#include <gtest/gtest.h>

#include <QDir>

#include "shell/layouts.h"
#include "support/test_context.h"

namespace ql {
namespace {

// One 35-character group: five leading positions, then the caption in positions 6-35.
QString grp(const char* head, const char* caption) {
    return QString::fromLatin1(head).leftJustified(5, u' ', true) +
           QString::fromUtf8(caption).leftJustified(30, u' ', true);
}

// A key's line with its groups, quoted so that leading blanks survive the read.
QString chave(const char* nome, const QString& grupos) {
    return QString::fromLatin1(nome) + QStringLiteral("=\"") + grupos + QStringLiteral("\"\n");
}

// QlnClient.ini (and, when given, CORE.ini) in Path Server, then MontaTela.
LayoutTelas monta(test::TestContext& t, const QString& qlnClient, const char* core = nullptr) {
    t.writeFile(QStringLiteral("QlnClient.ini"), qlnClient);
    if (core) t.writeFile(QStringLiteral("CORE.ini"), QString::fromLatin1(core));
    MontaTela(t.ctx);
    return t.ctx.telas;
}

TEST(MontaTela, EachKindOfKeyTakesOneGroupPerEstablishmentType) {
    test::TestContext t;
    const LayoutTelas telas = monta(
        t, QStringLiteral("[FormPrincipal]\n") +
               chave("mnuImprimir_Caption", grp("Y", "F11 - &Imprimir") + grp("N", "F11 - Rede") +
                                                grp("y", "F11 - Distribuidor")) +
               // Only the first group written: the other types keep their initial slots.
               chave("cmdSair_Caption", grp("Y", "F12 - Sai&r")) +
               QStringLiteral("[FormInicial]\nBtnPreVenda=YNY\ncmdVenda=NYy\n") +
               chave("txtCartao", grp("N0616", "Número do Cartão de Benefício") +
                                      grp("A 3  ", "Cartão") + grp("     ", "x")) +
               QStringLiteral("[FormImpressao]\n") +
               chave("lstImpressaoProdutos", grp("Y", "") + grp("y", "") + grp("N", "")) +
               QStringLiteral("[FormSelecaoProduto]\n") +
               chave("lblQtd_Canc",
                     grp("   04", "Quantidade") + grp("   12", "Qtde.") + grp("     ", "Qtd")) +
               QStringLiteral("[FormCancela]\nlblNSU=N0106NSU\n[frmCancelaProdutos]\n") +
               chave("lblProduto", grp("", "Produto da transação cancelada")) +
               QStringLiteral("[FormConsultaProdutos]\n") +
               chave("lblProduto", grp("N", "Código EAN") + grp("A", "Descrição")));
    struct Caso {
        bool imprimirLigado;
        const char* imprimir;
        const char* sair;  // blank and disabled when the group is missing
        bool preVenda, venda;
        const char* cartao;  // kind, minimum, maximum, label cut to 20 characters
        QChar lista;
        const char* qtd;  // the text in positions 4-5, its number, the caption
    };
    const Caso casos[] = {
        {true, "F11 - &Imprimir", "F12 - Sai&r", true, false, "N 6 16 Número do Cartão de", u'Y',
         "04 4 Quantidade"},
        {false, "F11 - Rede", "", false, true, "A 3 0 Cartão", u'y', "12 12 Qtde."},
        {false, "F11 - Distribuidor", "", true, false, "  0 0 x", u'N', "   0 Qtd"},
    };
    for (int tipo = 1; tipo <= 3; ++tipo) {
        SCOPED_TRACE(tipo);
        const Caso& c = casos[tipo - 1];
        const LayoutFormPrincipal& p = telas.FormPrincipal[tipo];
        EXPECT_EQ(p.mnuImprimir_Caption.enabled, c.imprimirLigado);
        EXPECT_EQ(p.mnuImprimir_Caption.caption, QString::fromLatin1(c.imprimir));
        EXPECT_EQ(p.cmdSair_Caption.enabled, tipo == 1);
        EXPECT_EQ(p.cmdSair_Caption.caption, QString::fromLatin1(c.sair));
        const LayoutFormInicial& i = telas.FormInicial[tipo];
        EXPECT_EQ(i.BtnPreVenda, c.preVenda);
        EXPECT_EQ(i.cmdVenda, c.venda);
        EXPECT_EQ(QStringLiteral("%1 %2 %3 %4")
                      .arg(i.txtCartao.kind)
                      .arg(i.txtCartao.minLength)
                      .arg(i.txtCartao.maxLength)
                      .arg(i.txtCartao.caption),
                  QString::fromUtf8(c.cartao));
        EXPECT_EQ(i.txtCartao.numbersOnly(), tipo == 1);
        EXPECT_EQ(telas.FormImpressao[tipo].lstImpressaoProdutos, c.lista);
        const LabelWithTextSlot& q = telas.FormSelecaoProduto[tipo].lblQtd_Canc;
        EXPECT_EQ(QStringLiteral("%1 %2 %3").arg(q.secondText).arg(q.secondNumber()).arg(q.caption),
                  QString::fromLatin1(c.qtd));
    }
    // A short label keeps 20 characters.
    EXPECT_EQ(telas.frmCancelaProdutos[1].lblProduto.caption,
              QStringLiteral("Produto da transação"));
    // A group without two digits of maximum length has none.
    EXPECT_EQ(telas.FormCancela[1].lblNSU.maxLength, 6);
    EXPECT_EQ(telas.FormCancela[1].lblNSU.caption, QStringLiteral("NSU"));
    EXPECT_EQ(telas.FormCancela[2].lblNSU.maxLength, 0);
    // The search label's kind says whether the search takes digits only.
    EXPECT_TRUE(telas.FormConsultaProdutos[1].lblProduto.numbersOnly());
    EXPECT_FALSE(telas.FormConsultaProdutos[2].lblProduto.numbersOnly());
    EXPECT_EQ(telas.FormConsultaProdutos[1].lblProduto.caption, QStringLiteral("Código EAN"));
    // Any other establishment type reads as an empty layout.
    for (int fora : {0, 4, -1})
        EXPECT_TRUE(telas.FormPrincipal[fora].mnuImprimir_Caption.caption.isEmpty());
    EXPECT_TRUE(t.boxes.empty());
}

TEST(MontaTela, TheCardReaderTypeComesFromPathCoreAndBadOnesAreReported) {
    struct Caso {
        const char* core;  // CORE.ini in Path CORE; nullptr: none
        qint16 leitor;
        bool reportado;
    };
    const Caso casos[] = {
        {nullptr, 5, false},
        {"[CONFIG]\nLEITOR_TYPE=\n", 5, false},
        {"[CONFIG]\nLEITOR_TYPE= 2\n", 2, false},
        {"[CONFIG]\nLEITOR_TYPE=99999\n", 5, true},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.core ? c.core : "none");
        test::TestContext t;
        QDir().mkpath(t.path(QStringLiteral("core")));
        t.ctx.config.PathCORE = t.path(QStringLiteral("core"));
        if (c.core) t.writeFile(QStringLiteral("core/CORE.ini"), QString::fromLatin1(c.core));
        t.ctx.config.LEITOR_TYPE = 5;
        const LayoutTelas telas =
            monta(t, QStringLiteral("[FormPrincipal]\ncmdSair_Caption=YxxxxSair\n"),
                  "[CONFIG]\nLEITOR_TYPE=9\n");  // Path Server's: not read
        EXPECT_EQ(t.ctx.config.LEITOR_TYPE, c.leitor);
        EXPECT_EQ(telas.FormPrincipal[1].cmdSair_Caption.caption, QStringLiteral("Sair"));
        EXPECT_EQ(t.boxes.texts(), c.reportado
                                       ? QStringList{QStringLiteral("Ocorreu o erro: 6 - Estouro")}
                                       : QStringList());
    }
}

}  // namespace
}  // namespace ql
