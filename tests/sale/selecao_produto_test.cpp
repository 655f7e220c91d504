#include <gtest/gtest.h>

#include <array>

#include "sale/grade_autorizacao.h"
#include "sale/selecao_produto.h"
#include "support/scripted_link.h"

namespace ql {
namespace {

using Icon = MessageBoxes::Icon;
using Answer = MessageBoxes::Answer;
using C = CampoSelecao;
using G = GradeAutorizacao;

TextosSelecao validos() {
    return {QStringLiteral("2"),    QStringLiteral("10,00"), QStringLiteral("15,00"),
            QStringLiteral("8,50"), QStringLiteral("4,25"),  QStringLiteral("123")};
}

TEST(SelecaoProduto, ChecksOfTheBoxesInOrder) {
    using T = TextosSelecao;
    const CampoAdicional receita{QStringLiteral("N"), 3, 10, QStringLiteral("Nr Receita   ")};
    const CampoAdicional livre{QStringLiteral("X"), 2, 0, QStringLiteral(" Obs ")};
    const QString receita3 =
        QStringLiteral("O campo Nr Receita deve conter pelo menos 3 dígito(s).");
    struct Caso {
        QString T::*campo;  // the box changed from valid ones (none: every box empty)
        const char* valor;
        const CampoAdicional* complemento;
        QString mensagem;  // empty: accepted
        C foco;
    };
    const Caso casos[] = {
        {&T::quantidade, "2", &receita, {}, C::Nenhum},
        {&T::quantidade, "0", &receita, "Digite a quantidade.", C::Quantidade},
        {nullptr, "", &receita, "Digite a quantidade.", C::Quantidade},
        {&T::desconto, "1a", &receita, "O desconto deve conter apenas números.", C::Desconto},
        {&T::desconto, "99,99", &receita, {}, C::Nenhum},
        {&T::desconto, "100,00", &receita, "O desconto não pode ser maior que 99,99", C::Desconto},
        {&T::desconto, "99,996", &receita, "O desconto não pode ser maior que 99,99", C::Desconto},
        {&T::precoBruto, "abc", &receita, "O Preço bruto deve conter apenas números.",
         C::PrecoBruto},
        {&T::precoBruto, "1.234,56", &receita, {}, C::Nenhum},
        {&T::precoLiquido, "0,004", &receita, "O Preço líquido deve ser maior que 0,00.",
         C::PrecoBruto},
        {&T::complemento, "12A", &receita, "O campo Nr Receita só aceita números.", C::Complemento},
        {&T::complemento, "", &receita, "O campo Nr Receita só aceita números.", C::Complemento},
        {&T::complemento, "1E3", &receita, {}, C::Nenhum},  // numeric, though not digits only
        {&T::complemento, "12", &receita, receita3, C::Complemento},
        {&T::complemento, "x", nullptr, {}, C::Nenhum},  // hidden: not checked
        {&T::complemento, "AB", &livre, {}, C::Nenhum},
        {&T::complemento, " A ", &livre, "O campo Obs deve conter pelo menos 2 dígito(s).",
         C::Complemento},
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(std::string(c.valor) + " -> " + c.mensagem.toStdString());
        TextosSelecao t = c.campo ? validos() : TextosSelecao{};
        if (c.campo) t.*c.campo = QString::fromUtf8(c.valor);
        const auto esperado =
            c.mensagem.isEmpty() ? std::nullopt : std::optional(FalhaValidacao{c.mensagem, c.foco});
        EXPECT_EQ(VerificaCamposSelecao(t, c.complemento), esperado);
    }
}

// Rows: inputs, then the expected text (nullptr: no value).
TEST(SelecaoProduto, AmountsOfTheDialog) {
    auto texto = [](const char* s) {
        return s ? std::optional(QString::fromUtf8(s)) : std::nullopt;
    };
    const std::array<const char*, 3> liquidos[] = {
        {"10,00", "15,00", "8,50"}, {"1.234,56", "0,00", "1234,56"}, {"0,99", "33,33", "0,66"},
        {"", "10,00", nullptr},     {"10,00", "x", nullptr},
    };
    for (const auto& c : liquidos) EXPECT_EQ(CalculaPrecoLiquido(c[0], c[1]), texto(c[2])) << c[0];
    // New net, payment and net held: the payment keeps its ratio (none without a net held).
    const std::array<const char*, 4> pagamentos[] = {
        {"5,00", "6,00", "10,00", "3,00"},     {"7,12", "3,56", "7,12", "3,56"},
        {"1234,56", "1,00", "3,00", "411,52"}, {"5,00", "6,00", "0,00", nullptr},
        {"", "6,00", "10,00", nullptr},
    };
    for (const auto& c : pagamentos)
        EXPECT_EQ(ValorReceberProporcional(c[0], c[1], c[2]), texto(c[3])) << c[0] << " " << c[2];
    const struct {
        const char *desconto, *original;
        bool menor;
    } descontos[] = {
        {"19,99", "20,00", true},
        {"20,00", "20,00", false},
        {"", "20,00", false},
        {"10,00", "", false},
    };
    for (const auto& c : descontos)
        EXPECT_EQ(DescontoMenorQueOriginal(c.desconto, c.original), c.menor) << c.desconto;
}

// A context holding one product in entry 1; operadora 2 asks for a prescription number.
struct Dialogo : ::testing::Test, test::ComLinkRoteirizado {
    GradeAutorizacao grade;

    Dialogo() {
        ctx.operadoras.registros.resize(2);
        ctx.operadoras.registros[1].complemento = {QStringLiteral("N"), 1, 10,
                                                   QStringLiteral("Nr Receita")};
        ctx.ident.OperadoraSelecionada = 2;
        auto& layout = ctx.telas.FormSelecaoProduto[1];
        layout.lblDescr_Produto.caption = QStringLiteral("  Produto  ");
        layout.lblQtd_Canc.caption = QStringLiteral("Quantidade");
        layout.lblQtd_Canc.secondText = QStringLiteral("03");
        layout.cmdOk_Caption = {true, QStringLiteral("F3 - &OK ")};
        layout.cmdCancel_Caption = {false, QStringLiteral("ESC - &Cancel")};
        ctx.config.AlertaValBr_Id = QStringLiteral("NYY");
        ctx.config.AlertaDesc_Id = QStringLiteral("NNY");

        ctx.itensVenda.item(1) =
            ItemVenda{"7891000424452", "DIPIRONA SODICA", "EMS",  "C", "2", "8,90", "20,00", "7,12",
                      "3,56",          QString(),         "4455", "00"};
        ctx.itensVenda.count = 1;
        link.priceAnswer(QStringLiteral("DIPIRONA SODICA 500MG"), QStringLiteral("890"),
                         QStringLiteral("712"));
    }

    int linhaNaGrade(const char* codigo, const char* embalagem, const char* quantidade) {
        const int l = grade.adicionaLinha();
        grade.defineTexto(l, G::Codigo, QString::fromLatin1(codigo));
        grade.defineTexto(l, G::Embalagem, QString::fromLatin1(embalagem));
        grade.defineTexto(l, G::Quantidade, QString::fromLatin1(quantidade));
        grade.defineTexto(l, G::Status, QStringLiteral("00"));
        grade.defineTexto(l, G::ValorLiquidoDll, QStringLiteral("7,00"));
        return l;
    }
};

TEST_F(Dialogo, PreencheCamposByOperadoraTypeAndRetrievedPreAuthorisation) {
    const struct {
        const char* caso;
        int operadora;
        qint16 tipo;
        bool recuperada;
        bool complemento, bruto, desconto;
    } casos[] = {
        {"operadora with complement, establishment", 2, 1, false, true, false, false},
        {"network edits the gross price", 2, 2, false, true, true, false},
        {"distributor edits both", 2, 3, false, true, true, true},
        {"operadora without complement", 1, 3, false, false, true, true},
        {"retrieved pre-authorisation locks everything", 2, 3, true, false, false, false},
        {"no operadora chosen", 0, 1, false, false, false, false},
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(c.caso);
        ctx.ident.OperadoraSelecionada = c.operadora;
        ctx.TipoEstab = c.tipo;
        ctx.PreAutorizacaoRecuperada = c.recuperada;
        SelecaoProduto s(ctx);
        const ApresentacaoSelecao a = s.PreencheCampos();
        EXPECT_EQ(s.complemento() != nullptr, c.complemento);
        EXPECT_EQ(
            QList<int>({a.complementoVisivel, a.alturaTwips, a.topoBotoesTwips, a.maxComplemento,
                        a.precoBrutoEditavel, a.descontoEditavel}),
            QList<int>({c.complemento, c.complemento ? 4215 : 3510, c.complemento ? 3120 : 2520,
                        c.complemento ? 10 : 0, c.bruto, c.desconto}));
        EXPECT_EQ(a.lblCompl1, c.complemento ? "Nr Receita" : "");
    }
    EXPECT_TRUE(t.boxes.empty()) << t.boxes.texts().join('|').toStdString();
}

TEST_F(Dialogo, PreencheCamposShowsTheRefreshedProduct) {
    ctx.SelecaoViaConsulta = false;
    SelecaoProduto s(ctx);
    ApresentacaoSelecao a = s.PreencheCampos();
    EXPECT_EQ(QStringList({a.lblDescr_Produto, a.cmdOkCaption, a.produto}),
              QStringList({"Produto", "F3 - &OK", "7891000424452 - DIPIRONA SODICA"}));
    EXPECT_EQ(QList<int>(
                  {a.maxQuantidade, a.cmdOkHabilitado, a.cmdCancelHabilitado, a.fabricanteVisivel}),
              QList<int>({3, true, false, true}));
    // An edited row's complementary value is not offered again: the box starts empty.
    const TextosSelecao& x = a.textos;
    EXPECT_EQ(QStringList({x.quantidade, x.precoBruto, x.desconto, x.precoLiquido, x.valorReceber,
                           x.complemento}),
              QStringList({"2", "8,90", "20,00", "7,12", "3,56", ""}));
    EXPECT_EQ(link.priceQueries(), QStringList{"7891000424452|C"});

    // New list price from the lookup: discount and payment follow; entry 1 takes them.
    link.priceAnswer(QStringLiteral("DIPIRONA SODICA 500MG"), QStringLiteral("1000"),
                     QStringLiteral("712"));
    ctx.SelecaoViaConsulta = true;
    ctx.itensVenda.item(1).fabricante.clear();
    ctx.itensVenda.item(1).quantidade = QStringLiteral("0");
    a = SelecaoProduto(ctx).PreencheCampos();
    // A product from the query starts without quantity.
    EXPECT_EQ(
        QStringList({a.produto, a.textos.precoBruto, a.textos.desconto,
                     ctx.itensVenda.item(1).desconto, a.textos.quantidade, a.textos.complemento}),
        QStringList({"7891000424452 - DIPIRONA SODICA 500MG", "10,00", "28,80", "28,80", "", ""}));
    EXPECT_FALSE(a.fabricanteVisivel);

    // Not priced: the code alone, the values as held.
    link.priceFails(HostLink::kPrecoNaoEncontrado);
    a = SelecaoProduto(ctx).PreencheCampos();
    EXPECT_EQ(a.produto, "7891000424452");
    EXPECT_EQ(a.textos.precoBruto, "10,00");
    EXPECT_TRUE(t.boxes.empty());
}

TEST_F(Dialogo, RowChosenForTheProduct) {
    const QString jaSelecionado = "Este produto já foi selecionado deseja alterar?",
                  maior =
                      "A quantidade digitada não pode ser maior que a quantidade da "
                      "pré-autorização!";
    const struct {
        const char* caso;
        bool consulta, recuperada;
        const char *quantidade, *embalagem;
        std::optional<Answer> resposta;
        int linha;
        QString mensagem;
    } casos[] = {
        {"edit of the row", false, false, "9", "C", std::nullopt, 2, {}},
        {"query, overwrite agreed", true, false, "1", "C", Answer::Yes, 2, jaSelecionado},
        {"query, overwrite refused", true, false, "1", "C", Answer::No, 0, jaSelecionado},
        {"another packaging is another product", true, false, "1", "F", std::nullopt, 3, {}},
        {"pre-authorisation, same quantity", false, true, "3", "C", std::nullopt, 2, {}},
        {"pre-authorisation, more", false, true, "4", "C", std::nullopt, 0, maior},
    };
    linhaNaGrade("7891037197725", "C", "1");
    linhaNaGrade(" 7891000424452 ", " C ", "3");
    for (const auto& c : casos) {
        SCOPED_TRACE(c.caso);
        t.boxes.clear();
        ctx.SelecaoViaConsulta = c.consulta;
        ctx.PreAutorizacaoRecuperada = c.recuperada;
        ctx.itensVenda.item(1).embalagem = QString::fromLatin1(c.embalagem);
        if (c.resposta) t.boxes.answerNext(*c.resposta);
        SelecaoProduto s(ctx);
        EXPECT_EQ(s.ValidaProduto_Grid_Pre(grade, QString::fromLatin1(c.quantidade)), c.linha);
        EXPECT_EQ(t.boxes.texts(), c.mensagem.isEmpty() ? QStringList() : QStringList{c.mensagem});
        if (!c.mensagem.isEmpty()) {
            EXPECT_EQ(t.boxes.last().icon, c.mensagem == maior ? Icon::Information : Icon::None);
        }
    }
}

TEST_F(Dialogo, OkWritesEntryOneAndTheGridRow) {
    ctx.TipoEstab = 3;
    SelecaoProduto s(ctx);
    s.PreencheCampos();
    const int linha = linhaNaGrade("7891000424452", "C", "2");

    // A refused check writes nothing.
    TextosSelecao textos = validos();
    textos.quantidade = "0";
    CampoSelecao foco = C::Nenhum;
    EXPECT_EQ(s.cmdOk_Click(textos, grade, &foco), SelecaoProduto::ResultadoOk::Recusado);
    EXPECT_EQ(foco, C::Quantidade);
    EXPECT_EQ(t.boxes.texts(), QStringList{"Digite a quantidade."});
    EXPECT_EQ(t.boxes.last().icon, Icon::Critical);
    EXPECT_EQ(ctx.itensVenda.item(1).quantidade, "2");
    EXPECT_EQ(grade.texto(linha, G::Quantidade), "2");

    textos = {QStringLiteral("5"),       QStringLiteral("1.234,5"), QStringLiteral("10,5"),
              QStringLiteral("1111,05"), QStringLiteral("555,5"),   QStringLiteral("987")};
    EXPECT_EQ(s.cmdOk_Click(textos, grade, &foco), SelecaoProduto::ResultadoOk::Gravado);
    EXPECT_EQ(foco, C::Nenhum);
    const ItemVenda& item = ctx.itensVenda.item(1);
    EXPECT_EQ(QStringList({item.quantidade, item.valorBruto, item.desconto, item.valorLiquido,
                           item.valorReceber, item.valorOperadora}),
              QStringList({"5", "1234,50", "10,50", "1111,05", "555,50", "987"}));
    EXPECT_EQ(grade.linhas(), 1);
    QStringList linhaGrade;
    for (int col = 1; col <= G::kColunas; ++col) linhaGrade << grade.texto(linha, col);
    EXPECT_EQ(linhaGrade, QStringList({"DIPIRONA SODICA", "EMS", "C", "5", "1234,50", "10,50",
                                       "1111,05", "555,50", "7891000424452", "00", "987",
                                       "7,00"}));  // status and the lookup's value kept

    // A product not yet listed goes to a new row; one the cashier declines to overwrite
    // leaves the grid alone but still closes the dialog.
    ctx.itensVenda.item(1).codigo = QStringLiteral("7891037197725");
    EXPECT_EQ(s.cmdOk_Click(textos, grade), SelecaoProduto::ResultadoOk::Gravado);
    EXPECT_EQ(grade.linhas(), 2);
    EXPECT_EQ(grade.texto(2, G::Codigo), "7891037197725");
    EXPECT_EQ(grade.texto(2, G::Status), "");
    ctx.SelecaoViaConsulta = true;
    t.boxes.answerNext(Answer::No);
    textos.quantidade = "7";
    EXPECT_EQ(s.cmdOk_Click(textos, grade), SelecaoProduto::ResultadoOk::NaoGravado);
    EXPECT_EQ(grade.linhas(), 2);
    EXPECT_EQ(grade.texto(2, G::Quantidade), "5");
    EXPECT_FALSE(s.PrencherGridPre(grade, 0));
    // A row past the last grows the grid.
    EXPECT_TRUE(s.PrencherGridPre(grade, 4));
    EXPECT_EQ(grade.linhas(), 4);
    EXPECT_EQ(grade.texto(4, G::Quantidade), "7");
}

}  // namespace
}  // namespace ql
