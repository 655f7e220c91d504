#include <gtest/gtest.h>

#include <QDir>

#include "shell/layouts.h"
#include "support/test_context.h"

namespace ql {
namespace {

// One 35-character group: five leading positions, then the caption in positions 6-35.
QString grp(const char* head, const QString& caption) {
    return QString::fromLatin1(head).leftJustified(5, u' ', true) +
           caption.leftJustified(30, u' ', true);
}

// A layout value of three groups, quoted so that leading blanks survive the read.
QString value3(const QString& g1, const QString& g2, const QString& g3) {
    return u'"' + g1 + g2 + g3 + u'"';
}

struct Layouts {
    test::TestContext t;
    void load(const QString& qlnClient, const QString& core = QString()) {
        t.writeFile(QStringLiteral("QlnClient.ini"), qlnClient);
        if (!core.isNull()) t.writeFile(QStringLiteral("CORE.ini"), core);
        MontaTela(t.ctx);
    }
    const LayoutTelas& telas() const { return t.ctx.telas; }
};

TEST(MontaTela, CommandsTakeOneGroupPerEstablishmentType) {
    Layouts l;
    l.load(QStringLiteral("[FormPrincipal]\r\n") + QStringLiteral("mnuImprimir_Caption=") +
           value3(grp("Y", QStringLiteral("F11 - &Imprimir")),
                  grp("N", QStringLiteral("F11 - Rede")),
                  grp("y", QStringLiteral("F11 - Distribuidor"))) +
           QStringLiteral("\r\ncmdSair_Caption=") +
           // Only the first group written: the other types keep their initial slots.
           grp("Y", QStringLiteral("F12 - Sai&r")) + QStringLiteral("\r\n") +
           QStringLiteral("[FormLogin]\r\ncmdCancel_Caption=") +
           grp("Y", QStringLiteral("Cancelar")).repeated(3) + QStringLiteral("\r\n"));
    struct Case {
        int tipo;
        bool imprimirEnabled;
        const char* imprimir;
        bool sairEnabled;
        const char* sair;
    };
    const Case cases[] = {
        {1, true, "F11 - &Imprimir", true, "F12 - Sai&r"},
        {2, false, "F11 - Rede", false, ""},
        {3, false, "F11 - Distribuidor", false, ""},  // lower-case "y" leaves it disabled
    };
    for (const Case& c : cases) {
        const LayoutFormPrincipal& p = l.telas().FormPrincipal[c.tipo];
        EXPECT_EQ(p.mnuImprimir_Caption.enabled, c.imprimirEnabled) << c.tipo;
        EXPECT_EQ(p.mnuImprimir_Caption.caption, QString::fromLatin1(c.imprimir)) << c.tipo;
        EXPECT_EQ(p.cmdSair_Caption.enabled, c.sairEnabled) << c.tipo;
        EXPECT_EQ(p.cmdSair_Caption.caption, QString::fromLatin1(c.sair)) << c.tipo;
        // A key missing from the section leaves the login screen's OK disabled and blank.
        const LayoutFormLogin& login = l.telas().FormLogin[c.tipo];
        EXPECT_FALSE(login.cmdOk_Caption.enabled);
        EXPECT_TRUE(login.cmdOk_Caption.caption.isEmpty());
        EXPECT_TRUE(login.cmdCancel_Caption.enabled);
        EXPECT_EQ(login.cmdCancel_Caption.caption, QStringLiteral("Cancelar"));
    }
    EXPECT_TRUE(l.t.boxes.empty());
}

TEST(MontaTela, InputFieldsCarryKindLengthsAndAShortLabel) {
    Layouts l;
    l.load(QStringLiteral("[FormInicial]\r\ntxtCartao=") +
           value3(grp("N0616", QStringLiteral("Número do Cartão de Benefício")),
                  grp("A 3  ", QStringLiteral("Cartão")), grp("     ", QStringLiteral("x"))) +
           QStringLiteral("\r\n[FormCancela]\r\nlblNSU=N0106NSU\r\n"));
    struct Case {
        int tipo;
        QChar kind;
        qint16 min;
        qint16 max;
        const char* caption;
    };
    const Case cases[] = {
        {1, u'N', 6, 16, "Número do Cartão de "},  // label cut to 20 characters
        {2, u'A', 3, 0, "Cartão"},                 // blank maximum: no limit
        {3, u' ', 0, 0, "x"},
    };
    for (const Case& c : cases) {
        const InputFieldSlot& f = l.telas().FormInicial[c.tipo].txtCartao;
        EXPECT_EQ(f.kind, c.kind) << c.tipo;
        EXPECT_EQ(f.numbersOnly(), c.kind == u'N') << c.tipo;
        EXPECT_EQ(f.minLength, c.min) << c.tipo;
        EXPECT_EQ(f.maxLength, c.max) << c.tipo;
        EXPECT_EQ(f.caption, QString::fromUtf8(c.caption).trimmed()) << c.tipo;
    }
    const InputFieldSlot& nsu = l.telas().FormCancela[1].lblNSU;
    EXPECT_EQ(nsu.maxLength, 6);  // "06"
    EXPECT_EQ(nsu.caption, QStringLiteral("NSU"));
    EXPECT_EQ(l.telas().FormCancela[2].lblNSU.maxLength, 0);
}

TEST(MontaTela, ExceptionKeysAndTheCardReaderType) {
    Layouts l;
    QDir().mkpath(l.t.path(QStringLiteral("core")));
    l.t.ctx.config.PathCORE = l.t.path(QStringLiteral("core"));
    l.t.writeFile(QStringLiteral("core/CORE.ini"),
                  QStringLiteral("[CONFIG]\r\nLEITOR_TYPE= 2\r\n"));
    l.load(QStringLiteral("[FormInicial]\r\n"
                          "BtnPreVenda=YNY\r\n"
                          "cmdVenda=NYy\r\n"
                          "cmdAdmin=Y\r\n"
                          "optSelecaoRede=") +
               grp("N", QStringLiteral("&Rede")) + grp("Y", QStringLiteral("&Rede")) +
               QStringLiteral("\r\n[FormImpressao]\r\nlstImpressaoProdutos=") +
               value3(grp("Y", QString()), grp("y", QString()), grp("N", QString())) +
               QStringLiteral("\r\n[FormSelecaoProduto]\r\nlblQtd_Canc=") +
               value3(grp("   04", QStringLiteral("Quantidade")),
                      grp("   12", QStringLiteral("Qtde.")), grp("     ", QStringLiteral("Qtd"))) +
               QStringLiteral("\r\n"),
           QStringLiteral("[CONFIG]\r\nLEITOR_TYPE=9\r\n"));  // Path Server's CORE.ini: not read
    struct Case {
        int tipo;
        bool preVenda, venda, admin, rede;
        QChar lista;
        const char* qtdText;
        qint16 qtdMax;
        const char* qtdCaption;
    };
    const Case cases[] = {
        {1, true, false, true, false, u'Y', "04", 4, "Quantidade"},
        {2, false, true, false, true, u'y', "12", 12, "Qtde."},
        {3, true, false, false, false, u'N', "  ", 0, "Qtd"},
    };
    for (const Case& c : cases) {
        const LayoutFormInicial& i = l.telas().FormInicial[c.tipo];
        EXPECT_EQ(i.BtnPreVenda, c.preVenda) << c.tipo;
        EXPECT_EQ(i.cmdVenda, c.venda) << c.tipo;
        EXPECT_EQ(i.cmdAdmin, c.admin) << c.tipo;
        EXPECT_EQ(i.optSelecaoRede.enabled, c.rede) << c.tipo;
        EXPECT_EQ(l.telas().FormImpressao[c.tipo].lstImpressaoProdutos, c.lista) << c.tipo;
        const LabelWithTextSlot& q = l.telas().FormSelecaoProduto[c.tipo].lblQtd_Canc;
        EXPECT_EQ(q.secondText, QString::fromLatin1(c.qtdText)) << c.tipo;
        EXPECT_EQ(q.secondNumber(), c.qtdMax) << c.tipo;
        EXPECT_EQ(q.caption, QString::fromLatin1(c.qtdCaption)) << c.tipo;
    }
    EXPECT_EQ(l.t.ctx.config.LEITOR_TYPE, 2);
}

TEST(MontaTela, MissingReaderTypeKeepsItsValueAndBadOnesAreReported) {
    struct Case {
        const char* core;  // nullptr: no CORE.ini in Path CORE
        qint16 leitor;
        bool reported;
    };
    const Case cases[] = {
        {nullptr, 5, false},
        {"[CONFIG]\r\nLEITOR_TYPE=\r\n", 5, false},
        {"[CONFIG]\r\nLEITOR_TYPE=1\r\n", 1, false},
        {"[CONFIG]\r\nLEITOR_TYPE=99999\r\n", 5, true},
    };
    for (const Case& c : cases) {
        Layouts l;
        l.t.ctx.config.LEITOR_TYPE = 5;
        l.load(QStringLiteral("[FormPrincipal]\r\ncmdSair_Caption=YxxxxSair\r\n"),
               c.core ? QString::fromLatin1(c.core) : QString());
        EXPECT_EQ(l.t.ctx.config.LEITOR_TYPE, c.leitor) << c.core;
        EXPECT_EQ(l.telas().FormPrincipal[1].cmdSair_Caption.caption, QStringLiteral("Sair"));
        ASSERT_EQ(l.t.boxes.shown().size(), c.reported ? 1u : 0u) << c.core;
        if (c.reported) {
            EXPECT_EQ(l.t.boxes.last().text, QStringLiteral("Ocorreu o erro: 6 - Overflow"));
            EXPECT_EQ(l.t.boxes.last().title, QStringLiteral("ATENÇÃOMontaTela"));
        }
    }
}

TEST(MontaTela, EveryScreenSectionIsReadAndOtherIndexesStayBlank) {
    // One key per screen, each from its own section, proves the sections are wired to the
    // right records.
    Layouts l;
    const QString g = grp("Y0210", QStringLiteral("Texto"));
    QString ini;
    const char* sectionKeys[][2] = {
        {"FormConsulta", "cmdAnulaTrans_Caption"},
        {"FormNovaSenha", "txtNovaSenha2"},
        {"FormComplementar", "CmdCadastro_Caption"},
        {"FormResumo", "cmdProdutosLote_caption"},
        {"FormResumoProdutos", "cmdCancelaItem_Caption"},
        {"FormNsu", "lblTotValorDebito"},
        {"FormPreVenda", "lblUsuario"},
        {"FormCadastro", "cmdConfirma"},
        {"frmCancelaProdutos", "lblQtd"},
        {"FormConsultaProdutos", "CmdRetorna_Caption"},
    };
    for (const auto& sk : sectionKeys) {
        ini += u'[' + QString::fromLatin1(sk[0]) + QStringLiteral("]\r\n") +
               QString::fromLatin1(sk[1]) + u'=' + g.repeated(3) + QStringLiteral("\r\n");
    }
    l.load(ini);
    const LayoutTelas& t = l.telas();
    for (int tipo = 1; tipo <= 3; ++tipo) {
        EXPECT_TRUE(t.FormConsulta[tipo].cmdAnulaTrans_Caption.enabled);
        EXPECT_EQ(t.FormNovaSenha[tipo].txtNovaSenha2.maxLength, 10);
        EXPECT_EQ(t.FormComplementar[tipo].CmdCadastro_Caption.caption, QStringLiteral("Texto"));
        EXPECT_TRUE(t.FormResumo[tipo].cmdProdutosLote_caption.enabled);
        EXPECT_TRUE(t.FormResumoProdutos[tipo].cmdCancelaItem_Caption.enabled);
        EXPECT_EQ(t.FormNsu[tipo].lblTotValorDebito.caption, QStringLiteral("Texto"));
        EXPECT_EQ(t.FormPreVenda[tipo].lblUsuario.minLength, 2);
        EXPECT_TRUE(t.FormCadastro[tipo].cmdConfirma.enabled);
        EXPECT_EQ(t.frmCancelaProdutos[tipo].lblQtd.caption, QStringLiteral("Texto"));
        EXPECT_EQ(t.FormConsultaProdutos[tipo].CmdRetorna_Caption.caption, QStringLiteral("Texto"));
        EXPECT_FALSE(t.FormConsultaProdutos[tipo].CmdPesquisa_Caption.enabled);
    }
    for (int bad : {0, 4, -1}) {
        EXPECT_FALSE(t.FormConsulta[bad].cmdAnulaTrans_Caption.enabled) << bad;
        EXPECT_TRUE(t.FormNsu[bad].lblTotValorDebito.caption.isEmpty()) << bad;
    }
}

}  // namespace
}  // namespace ql
