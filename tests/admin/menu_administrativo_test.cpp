#include <gtest/gtest.h>

#include "admin/journal_model.h"
#include "admin/journal_names.h"
#include "admin/journal_writer.h"
#include "admin/menu_administrativo.h"
#include "admin/resumos.h"
#include "shell/ini_access.h"
#include "support/scripted_link.h"
#include "support/test_context.h"

namespace ql {
namespace {

using C = ComandoAdministrativo;
using Icon = MessageBoxes::Icon;

// Three operadoras, as the operator table lists them.
void preencheOperadoras(Context& ctx) {
    for (const char* nome : {"QUILLANE SAUDE", "FARMAVIDA", "BENEFICIO MAIS"}) {
        RegistroOperadora r;
        r.nome = QString::fromLatin1(nome).leftJustified(20);
        r.codigo = QStringLiteral("%1").arg(123 * (ctx.operadoras.registros.size() + 1), 8, 10,
                                            QLatin1Char('0'));
        ctx.operadoras.registros.append(r);
    }
}

TEST(MenuAdministrativo, PermissionStringGovernsExactlyFiveCommands) {
    // Enabled: Resumo, Pendentes, Cadastro, Canceltotal, Logon ('S'), from the string.
    const char* casos[][2] = {{"NNNNNNNNN", "NNNNN"},
                              {"SSN    NS", "SSNNS"},  // the demo's default group
                              {"   NNNN  ", "SSSSS"},  // positions 4-7 govern nothing
                              {"nnnnnnnnn", "SSSSS"},  // only a capital N disables
                              {"", "SSSSS"},           // never loaded (a STAFF login)
                              {"NN", "NNSSS"}};        // a short string enables the rest
    const C governados[] = {C::Resumo, C::Pendentes, C::Cadastro, C::Canceltotal, C::Logon};
    for (const auto& c : casos) {
        test::TestContext t;
        t.ctx.TipoEstab = 2;
        t.ctx.login.PermissoesUsuario[2] = QString::fromLatin1(c[0]);
        t.ctx.login.PermissoesUsuario[1] = QStringLiteral("NNNNNNNNN");  // another type's
        const TelaAdministrativa tela = MontaTela_FormComplementar(t.ctx);
        for (int i = 0; i < 5; ++i)
            EXPECT_EQ(tela.habilitado(governados[i]), c[1][i] == 'S') << c[0] << " command " << i;
        for (C livre : {C::Login, C::AlterarSenha, C::ResumoFinanceiro, C::Prevenda, C::Cancel})
            EXPECT_TRUE(tela.habilitado(livre)) << c[0];
    }
}

TEST(MenuAdministrativo, CaptionsFollowTheEstablishmentTypeAndBlankWhenConfiguredBlank) {
    test::TestContext t;
    for (int tipo = 1; tipo <= 3; ++tipo) {
        LayoutFormComplementar& l = t.ctx.telas.FormComplementar[tipo];
        l.lblCodigoEstab.caption = QStringLiteral("CODIGO %1").arg(tipo);
        l.lblNomeRede.caption = QStringLiteral("REDE %1").arg(tipo);
        l.CmdLogon_Caption.caption = QStringLiteral("  F9 - Logon %1  ").arg(tipo);
        t.ctx.login.UsuarioLogado[tipo] = QStringLiteral("MNG%1").arg(tipo).leftJustified(20);
    }
    for (int tipo = 1; tipo <= 3; ++tipo) {
        t.ctx.TipoEstab = qint16(tipo);
        const TelaAdministrativa tela = MontaTela_FormComplementar(t.ctx);
        EXPECT_EQ(
            QStringList({tela.lblCodigoEstab, tela.lblNomeRede, tela.cmdLogon, tela.txtUsuario,
                         tela.lblNomeEstab, tela.cmdPendentes, tela.lblUsuario}),
            QStringList({QStringLiteral("CODIGO %1").arg(tipo), QStringLiteral("REDE %1").arg(tipo),
                         QStringLiteral("F9 - Logon %1").arg(tipo),
                         QStringLiteral("MNG%1").arg(tipo), "", "", ""}));
    }
}

TEST(MenuAdministrativo, OperadoraCheckThenTheScreenNameAndTheRefreshedCode) {
    struct Caso {
        C comando;
        const char* aviso;        // with an empty list; nullptr: needs no operadora
        const char* telaVazia;    // the current screen name afterwards, with an empty list
        const char* telaEscolha;  // and with the second operadora chosen
        bool defineCodigo;        // takes the chosen operadora's code
    };
    const char* maiuscula = "Selecione a Administradora ";
    const char* minuscula = "selecione a administradora ";
    const char* adm = "ADMINISTRATIVA";
    const Caso casos[] = {
        {C::Logon, maiuscula, "LOGON", "LOGON", true},
        {C::Pendentes, maiuscula, "PENDENTES", "PENDENTES", true},
        {C::Cadastro, minuscula, adm, adm, true},
        {C::Canceltotal, minuscula, adm, adm, true},
        {C::Resumo, minuscula, adm, adm, true},
        {C::ResumoFinanceiro, minuscula, adm, adm, true},
        {C::Prevenda, minuscula, adm, "PREVENDA", false},
        {C::Login, nullptr, adm, adm, false},
        {C::AlterarSenha, nullptr, adm, adm, false},
        {C::Cancel, nullptr, adm, adm, false},
    };
    for (const Caso& caso : casos) {
        SCOPED_TRACE(int(caso.comando));
        for (const bool escolhida : {false, true}) {
            test::TestContext t;
            if (escolhida) {  // the second, trimmed; then positions outside the list change nothing
                preencheOperadoras(t.ctx);
                ASSERT_TRUE(EscolheAdministradora(t.ctx, 2));
                for (int fora : {0, 4}) EXPECT_FALSE(EscolheAdministradora(t.ctx, fora)) << fora;
                EXPECT_EQ(t.ctx.ident.NomeOperadora + "|" + t.ctx.ident.CodigoOperadora,
                          "FARMAVIDA|00000246");
            }
            t.ctx.ident.CodigoOperadora = QStringLiteral("OUTRO");
            t.ctx.TelaAtual = QStringLiteral("ADMINISTRATIVA");
            const bool avisa = !escolhida && caso.aviso;
            EXPECT_EQ(IniciaComandoAdministrativo(t.ctx, caso.comando, escolhida), !avisa);
            EXPECT_EQ(t.ctx.TelaAtual, escolhida ? caso.telaEscolha : caso.telaVazia);
            EXPECT_EQ(t.ctx.ident.CodigoOperadora,
                      escolhida && caso.defineCodigo ? "00000246" : "OUTRO");
            EXPECT_EQ(t.boxes.texts(), avisa ? QStringList{caso.aviso} : QStringList{});
            EXPECT_TRUE(!avisa || t.boxes.last().icon == Icon::Exclamation);
        }
    }
}

// The host's answer and its messages are the logon transaction's; the menu adds the time of
// the last accepted logon.
TEST(MenuAdministrativo, LogonWritesUltimoLoginOnlyWhenAccepted) {
    const QString antigo = QStringLiteral("01/01/2026 08:00:00");
    for (const bool aceito : {true, false}) {
        test::TestContext t;
        t.clock.set(QDateTime(QDate(2026, 3, 5), QTime(14, 7, 9)));
        test::installScriptedLink(t.ctx).answer(aceito ? "000-000=0810;009-000=00;"
                                                       : "000-000=0810;009-000=91;");
        ASSERT_TRUE(GravaLinhaArquivoIni(t.ctx, "DADOS_GERAIS", "Ultimo_Login", antigo,
                                         CaminhoQlnClientIni(t.ctx)));
        EXPECT_EQ(RealizaLogon(t.ctx), aceito);
        QString valor;
        LeLinhaArquivoIni(t.ctx, "DADOS_GERAIS", "Ultimo_Login", QString(), valor,
                          CaminhoQlnClientIni(t.ctx));
        EXPECT_EQ(valor, aceito ? QStringLiteral("05/03/2026 14:07:09") : antigo);
        EXPECT_EQ(t.boxes.empty(), aceito);
    }
}

TEST(Resumos, ProductModeAndKeyValues) {
    // Only the exact lot name selects the lot; anything else is the transaction.
    EXPECT_EQ(ModoProdutos("PRODUTOSDOLOTE"), ModoResumoProdutos::Lote);
    EXPECT_EQ(ModoProdutos("produtosdolote"), ModoResumoProdutos::Transacao);
    const std::pair<const char*, qint64> chaves[] = {
        {"  000045 ", 45},
        {"12abc", 12},
        {"", 0},
        {"-5", 0},
        {"999999999999", 999999999999},
        {"99999999999999999999999", 0}};  // too long for any key
    for (const auto& [texto, valor] : chaves) EXPECT_EQ(ValorChave(texto), valor) << texto;
}

TEST(Resumos, PatternsByEstablishmentTypeOperadoraAndKey) {
    test::TestContext t;
    t.ctx.transacao.NsuTransacao = QStringLiteral("1234");
    // type, operadora, lot; then sales, financial, lot products, transaction products.
    const char* casos[][7] = {
        {"1", "00000123", "45", "SS00000123.S??", "FS00000123.S??", "PS00000123-000045.S??",
         "PT00000123-000000001234.S??"},
        {"2", " 00000456 ", "7", "SR00000456.S??", "FR00000456.S??", "PR00000456-000007.S??",
         "DR00000456-000000001234.S??"},
        {"3", "00000789", " 000312", "SD00000789.S??", "FD00000789.S??", "PD00000789-000312.S??",
         "DD00000789-000000001234.S??"},
        // A lot that is not a number reads as 0, as the journal's writer names it.
        {"1", "00000123", "ABC", "SS00000123.S??", "FS00000123.S??", "PS00000123-000000.S??",
         "PT00000123-000000001234.S??"},
        // No such establishment type: nothing to look for.
        {"0", "00000123", "45", "", "", "", ""},
        {"4", "00000123", "45", "", "", "", ""},
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(c[0]);
        t.ctx.TipoEstab = qint16(QByteArray(c[0]).toInt());
        t.ctx.ident.CodigoOperadora = QString::fromLatin1(c[1]);
        EXPECT_EQ(QStringList({PadraoResumoVendas(t.ctx), PadraoResumoFinanceiro(t.ctx),
                               PadraoResumoProdutos(t.ctx, ModoResumoProdutos::Lote, c[2]),
                               PadraoResumoProdutos(t.ctx, ModoResumoProdutos::Transacao, c[2])}),
                  QStringList({c[3], c[4], c[5], c[6]}));
    }
}

TEST(Resumos, LotOfTheActiveRowAndEmptyGrid) {
    test::TestContext t;
    JournalTable tabela;
    tabela.title = QStringLiteral("Lotes");
    tabela.columns = journalColumns(JournalKind::ResumoVendas);
    tabela.rows = {{QStringLiteral("000045")}, {QStringLiteral("46")}};
    ASSERT_TRUE(writeJournal(t.dir.path(), QStringLiteral("SS00000123.S"), tabela));
    JournalModel grade;
    ASSERT_TRUE(CarregaGrid(t.ctx, QStringLiteral("SS00000123.S??"), grade));

    t.ctx.LoteSelecionado = QStringLiteral("9");
    EXPECT_TRUE(CarregaDadosLote(t.ctx, grade, 0));
    EXPECT_EQ(t.ctx.LoteSelecionado, QStringLiteral("45"));  // shown without its zeros
    // A row outside the grid, or no rows at all, leaves the lot chosen before.
    EXPECT_FALSE(CarregaDadosLote(t.ctx, grade, 2));
    EXPECT_FALSE(CarregaDadosLote(t.ctx, grade, -1));
    grade.clear();
    EXPECT_FALSE(CarregaDadosLote(t.ctx, grade, 0));
    EXPECT_EQ(t.ctx.LoteSelecionado, QStringLiteral("45"));
}

TEST(Resumos, ItemCancellationOpensOnlyForOneSelectedRow) {
    test::TestContext t;
    t.ctx.ident.CodigoOperadora = QStringLiteral("00000123");
    JournalTable tabela;
    tabela.columns = journalColumns(JournalKind::ProdutosTransacao);
    for (const char* codigo : {"7891000000017", "7891000000024", "7891000000031"})
        tabela.rows.push_back({"1", "1234", "261205", "1", codigo, "EMS", "10", "DIPIRONA", "CX 10",
                               "2", "2", "1250", "990"});
    ASSERT_TRUE(writeJournal(t.dir.path(), QStringLiteral("PT00000123-000000001234.S"), tabela));
    JournalModel grade;
    ASSERT_TRUE(CarregaGrid(t.ctx, QStringLiteral("PT00000123-000000001234.S??"), grade));
    const struct {
        QList<int> linhas;
        bool abre;
        int itens;
    } casos[] = {{{1}, true, 1}, {{0, 2}, false, 2}, {{}, false, 0}, {{7}, false, 0}};
    for (const auto& c : casos) {
        SCOPED_TRACE(c.linhas.size());
        EXPECT_EQ(SelecionaItemCancelamento(t.ctx, grade, c.linhas), c.abre);
        EXPECT_EQ(t.ctx.itensVenda.count, c.itens);
    }
    EXPECT_TRUE(t.boxes.empty());

    // An empty grid is reported through the error routine and hands nothing over.
    grade.clear();
    EXPECT_FALSE(SelecionaItemCancelamento(t.ctx, grade, {0}));
    EXPECT_EQ(t.ctx.itensVenda.count, 0);
    EXPECT_EQ(t.boxes.texts(), QStringList{"Ocorreu o erro: Não existem itens para cancelar."});
}

}  // namespace
}  // namespace ql
