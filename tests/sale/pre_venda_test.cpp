#include <gtest/gtest.h>

#include "sale/grade_autorizacao.h"
#include "sale/pre_venda.h"
#include "shell/layouts.h"
#include "support/scripted_link.h"

namespace ql {
namespace {

using G = GradeAutorizacao;
using R = ResultadoConsulta;

TEST(PreVendaRegras, ClassificaPesquisa) {
    const struct {
        const char* texto;
        bool ds;
        TipoPesquisa esperado;
    } casos[] = {
        {"", false, TipoPesquisa::Vazia},
        {"   ", true, TipoPesquisa::Vazia},
        {"DIPIRONA", true, TipoPesquisa::Consulta},
        {"7891234567890", true, TipoPesquisa::Consulta},  // 13 digits: straight to the host
        {"78912345678901", false, TipoPesquisa::CodigoLongo},
        {"1234567890,123", false, TipoPesquisa::CodigoLongo},  // numeric, not digits only
        {" 789123 ", true, TipoPesquisa::CodigoCatalogo},
        {"789123", false, TipoPesquisa::Consulta},
        {"12A", true, TipoPesquisa::Consulta},
    };
    for (const auto& c : casos) {
        EXPECT_EQ(ClassificaPesquisa(QString::fromUtf8(c.texto), c.ds), c.esperado)
            << "'" << c.texto << "' ds=" << c.ds;
    }
}

TEST(PreVendaRegras, VerificaConfirmacao) {
    InputFieldSlot numerico;
    numerico.kind = u'N';
    numerico.minLength = 5;
    InputFieldSlot livre;
    const struct {
        int linhas;
        bool venda;
        const char* documento;
        const InputFieldSlot* regra;
        const char* mensagem;
        FocoConfirmacao foco;
    } casos[] = {
        {0, false, "", &livre, "Não existem produtos.", FocoConfirmacao::Grade},
        {2, false, "", &numerico, "", FocoConfirmacao::Nenhum},  // pre-sale: no document
        {2, true, "   ", &livre, "Digite o Número do Documento Fiscal Vinculado.",
         FocoConfirmacao::DocumentoFiscal},
        {2, true, "1234", &numerico, "O Número do Documento Fiscal deve ser maior que 5dígitos.",
         FocoConfirmacao::DocumentoFiscal},
        {2, true, " 12345 ", &numerico, "", FocoConfirmacao::Nenhum},
        {2, true, "12A45", &numerico, "Este campo só aceita números.",
         FocoConfirmacao::DocumentoFiscal},
        {2, true, "12A45", &livre, "", FocoConfirmacao::Nenhum},
    };
    for (const auto& c : casos) {
        const VerificacaoConfirmacao v =
            VerificaConfirmacao(c.linhas, c.venda, QString::fromUtf8(c.documento), *c.regra);
        EXPECT_EQ(v.mensagem, QString::fromUtf8(c.mensagem)) << c.documento;
        EXPECT_EQ(v.foco, c.foco) << c.documento;
    }
}

TEST(PreVendaRegras, TotaisPonderadosPelaQuantidade) {
    G grade;
    const struct {
        const char *qtd, *pmc, *venda, *cliente;
    } linhas[] = {
        {"2", "10,00", "8,00", "4,00"},
        {"3", "1,50", "1,50", "0,75"},
        {"1", "ABC", "5,00", ""},         // cells that are not numbers count as 0
        {"", "99,00", "99,00", "99,00"},  // no quantity: nothing
    };
    for (const auto& l : linhas) {
        const int n = grade.adicionaLinha();
        grade.defineTexto(n, G::Quantidade, QString::fromUtf8(l.qtd));
        grade.defineTexto(n, G::PMC, QString::fromUtf8(l.pmc));
        grade.defineTexto(n, G::PrecoVenda, QString::fromUtf8(l.venda));
        grade.defineTexto(n, G::PagtoCliente, QString::fromUtf8(l.cliente));
    }
    const TextosTotais t = CalculaTotais(grade);
    EXPECT_EQ(t.venda, "25,50");      // 16 + 4,50 + 5
    EXPECT_EQ(t.cliente, "10,25");    // 8 + 2,25
    EXPECT_EQ(t.beneficio, "-1,00");  // 24,50 - 25,50: a gross cell that is not a number
    EXPECT_EQ(CalculaTotais(G()).venda, "0,00");
}

TEST(PreVendaRegras, MensagemAprovacao) {
    test::TestContext t;
    const struct {
        const char *msg, *nsu, *esperado;
    } casos[] = {
        {"Transação aprovada. NSU", "000000123456", "Transação aprovada. NSU 000000123456"},
        {"Transação aprovada. NSU", "", ""},
        {"Transação aprovada. NSU", "000000000000", ""},
        {"   ", "123", ""},
    };
    for (const auto& c : casos) {
        t.ctx.config.Msg_Approval = QString::fromUtf8(c.msg);
        t.ctx.transacao.NsuTransacao = QString::fromUtf8(c.nsu);
        EXPECT_EQ(MensagemAprovacao(t.ctx), QString::fromUtf8(c.esperado)) << c.nsu;
    }
}

TEST(PreVendaRegras, ObtemProdutoCopiaALinhaAtiva) {
    test::TestContext t;
    G grade;
    grade.configura(QStringLiteral("N"), QStringLiteral("Nr Receita"), false);
    for (int i = 1; i <= 2; ++i) {
        const int l = grade.adicionaLinha();
        for (int c = 1; c <= G::kColunas; ++c)
            grade.defineTexto(l, c, QStringLiteral("G%1.%2").arg(l).arg(c));
    }
    R consulta;
    const int l = consulta.adicionaLinha();
    for (int c = 1; c <= 10; ++c) consulta.defineTexto(l, c, QStringLiteral("C%1").arg(c));

    auto campos = [](const ItemVenda& a) {
        return QStringList({a.descricao, a.fabricante, a.embalagem, a.quantidade, a.valorBruto,
                            a.desconto, a.valorLiquido, a.valorReceber, a.codigo, a.valorOperadora,
                            a.valorLiquidoConsulta, a.status});
    };
    ASSERT_TRUE(ObtemProduto(t.ctx, grade, 2, OrigemProduto::PreVenda));
    ASSERT_EQ(t.ctx.itensVenda.itens.size(), 1);
    EXPECT_EQ(campos(t.ctx.itensVenda.itens[0]),
              QStringList({"G2.1", "G2.2", "G2.3", "G2.4", "G2.5", "G2.6", "G2.7", "G2.8", "G2.9",
                           "G2.11", "G2.12", ""}));
    // A chosen product enters the entry dialog with quantity 1.
    ASSERT_TRUE(ObtemProduto(t.ctx, consulta, 1, OrigemProduto::Consulta));
    EXPECT_EQ(campos(t.ctx.itensVenda.itens[0]),
              QStringList({"C1", "C2", "C3", "1", "C4", "C5", "C6", "C7", "C8", "C9", "C10", ""}));

    // Outside the grid nothing is copied and the entry is left empty.
    EXPECT_FALSE(ObtemProduto(t.ctx, consulta, 2, OrigemProduto::Consulta));
    EXPECT_TRUE(t.ctx.itensVenda.itens[0].codigo.isEmpty());
    EXPECT_FALSE(ObtemProduto(t.ctx, grade, 0, OrigemProduto::PreVenda));
}

TEST(PreVendaRegras, PedeProximaPaginaSoNaUltimaLinha) {
    const struct {
        int linha, linhas, tecla;
        bool pede;
    } casos[] = {
        {12, 12, Qt::Key_Down, true},  {12, 12, Qt::Key_PageDown, true},
        {11, 12, Qt::Key_Down, false}, {12, 12, Qt::Key_Up, false},
        {0, 0, Qt::Key_Down, false},   {1, 1, Qt::Key_PageDown, true},
    };
    for (const auto& c : casos) {
        EXPECT_EQ(PedeProximaPagina(c.linha, c.linhas, c.tecla), c.pede)
            << c.linha << "/" << c.linhas << " key " << c.tecla;
    }
}

// Answer pages of the product query: continuation, then products of 1 unit at 10,00.
QString produto(int n, const char* codigo, const char* descricao) {
    const QString s = QStringLiteral("%1").arg(n, 3, 10, QLatin1Char('0'));
    return QStringLiteral("902-%1=%2;903-%1=%3;906-%1=C;910-%1=0001000;919-%1=00;")
        .arg(s, QLatin1String(codigo), QLatin1String(descricao));
}
QString pagina(const char* continuacao, const QStringList& produtos) {
    return QStringLiteral("000-000=0110;009-000=00;900-000=%1;901-000=%2;")
               .arg(QLatin1String(continuacao))
               .arg(produtos.size(), 2, 10, QLatin1Char('0')) +
           produtos.join(QString());
}

// The product search against a scripted host: its answers ("" a lost connection), the pages
// asked (each query's "900-000"), the messages ("|" between them) and where the product went.
TEST(PesquisaProduto, ChecksAsksPagesAndAddsASingleProduct) {
    using P = ResultadoPesquisa;
    const QString um = pagina("0", {produto(0, "7891000000001", "DIPIRONA")}),
                  dois = pagina("0", {produto(0, "7891000000001", "DIPIRONA"),
                                      produto(1, "7891000000002", "DIPIRONA GOTAS")}),
                  x5 = pagina("5", {produto(0, "7891000000003", "XAROPE")}),
                  x3 = pagina("3", {produto(0, "7891000000003", "XAROPE")}),
                  x9 = pagina("9", {produto(0, "7891000000004", "XAROPE INFANTIL")}),
                  x0 = pagina("0", {produto(0, "7891000000004", "XAROPE INFANTIL")}),
                  nada = QStringLiteral("000-000=0110;009-000=56;030-000=Nada encontrado;");
    const char *longo = "O Código do produto não pode ser maior que 13 dígitos!",
               *naoEncontrado =
                   "Nada encontrado|Não foram encontrados produtos|Produto não encontrado!";
    const char* foraDoAr = "164- Servidor fora do Ar.|Produto não encontrado!";
    const char* semCatalogo =
        "Erro durante a leitura do preço do produto ou produto não encontrado.";
    const struct {
        const char* texto;
        QStringList respostas;
        P resultado;
        const char *paginas, *mensagens;
        const char* grade;  // code and quantity of grid row 1 ("" when the grid is empty)
        int consulta;       // rows left for the query screen
        bool jaNaGrade = false, ds = false;
    } casos[] = {
        {"  ", {}, P::Invalida, "", "Por favor digite pelo menos uma letra!", "", 0},
        {"123456789012345", {}, P::Invalida, "", longo, "", 0},
        {"7891000000001", {um}, P::Adicionado, "0", "", "7891000000001 1", 1},
        {"7891000000001", {um}, P::Adicionado, "0", "", "7891000000001 2", 1, true},
        {"DIPIRONA", {dois}, P::Escolher, "0", "", "", 2},
        // One product with more pages announced is still a choice; a short page asks the next
        // one, and a repeated continuation ends the chase.
        {"XAROPE", {x5, x9, x9}, P::Escolher, "0,5,9", "", "", 1},
        {"XAROPE", {x3, x0}, P::Adicionado, "0,3", "", "7891000000004 1", 1},
        {"XYZ", {nada}, P::NaoEncontrado, "0", naoEncontrado, "", 0},
        {"XYZ", {""}, P::NaoEncontrado, "0", foraDoAr, "", 0},
        // A short code goes to the catalogue first; with none, no query goes out.
        {"789100", {}, P::FalhaCatalogo, "", semCatalogo, "", 0, false, true},
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(std::string(c.texto) + " " + c.paginas);
        test::ComLinkRoteirizado f;
        f.ctx.TelaAtual = QStringLiteral("PREVENDA");
        f.ctx.config.bIdentificaCartao_DS = c.ds;
        f.link.priceFails(1);
        for (const QString& r : c.respostas) r.isEmpty() ? f.link.fail(-164) : f.link.answer(r);
        G grade;
        R consulta;
        if (c.jaNaGrade) {
            const int l = grade.adicionaLinha();
            grade.defineTexto(l, G::Codigo, QStringLiteral("7891000000001"));
            grade.defineTexto(l, G::Embalagem, QStringLiteral("C"));
            grade.defineTexto(l, G::Quantidade, QStringLiteral("1"));
        }
        const Pesquisa p = PesquisaProduto(f.ctx, QString::fromUtf8(c.texto), consulta, grade);
        EXPECT_EQ(p.resultado, c.resultado);
        EXPECT_EQ(p.texto, QString::fromUtf8(c.texto));
        QStringList paginas;
        for (const QString& corpo : f.link.bodies()) {
            paginas << corpo.section(QStringLiteral("900-000="), 1).section(u';', 0, 0);
            EXPECT_TRUE(corpo.contains(QStringLiteral(";920-000=%1;").arg(c.texto)));
        }
        EXPECT_EQ(paginas.join(u','), c.paginas);
        EXPECT_EQ(f.t.boxes.texts().join(u'|'), QString::fromUtf8(c.mensagens));
        if (c.resultado == P::Invalida) {
            EXPECT_EQ(f.t.boxes.last().title, "Atenção");
            EXPECT_EQ(f.t.boxes.last().icon, MessageBoxes::Icon::Critical);
        }
        const QString linha1 = grade.texto(1, G::Codigo) + u' ' + grade.texto(1, G::Quantidade);
        EXPECT_EQ(grade.linhas() ? linha1 : QString(), QString::fromUtf8(c.grade));
        EXPECT_EQ(p.linha, *c.grade ? 1 : 0);
        EXPECT_EQ(consulta.linhas(), c.consulta);
    }
}

}  // namespace
}  // namespace ql
