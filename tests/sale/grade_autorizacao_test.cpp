#include <gtest/gtest.h>

#include <QAbstractTableModel>

#include "sale/grade_autorizacao.h"
#include "shell/model_roles.h"
#include "support/test_context.h"

namespace ql {
namespace {

using G = GradeAutorizacao;

// Fills one grid row from cells given in column order (1..n).
int linha(GradeAutorizacao& grade, const QStringList& celulas) {
    const int l = grade.adicionaLinha();
    for (int c = 0; c < celulas.size(); ++c) grade.defineTexto(l, c + 1, celulas[c]);
    return l;
}

TEST(GradeAutorizacao, ColumnsFollowTheOperadora) {
    const struct {
        const char* flag;
        bool venda;
        int columns;
        bool extraHidden;
    } cases[] = {
        {" ", false, 11, true},
        {"", true, 11, true},
        {"S", true, 12, true},
        {"S", false, 12, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.flag) + (c.venda ? " venda" : " prevenda"));
        GradeAutorizacao grade;
        grade.configura(QString::fromLatin1(c.flag), QStringLiteral("  Cod. Convenio  "), c.venda);
        EXPECT_EQ(grade.columnCount(), c.columns);
        EXPECT_EQ(grade.headerData(10, Qt::Horizontal, roles::ColumnHidden).toBool(),
                  c.extraHidden);
        if (c.columns == 12) {
            EXPECT_EQ(grade.headerData(10, Qt::Horizontal).toString(), "Cod. Convenio");
            EXPECT_TRUE(grade.headerData(11, Qt::Horizontal, roles::ColumnHidden).toBool());
        }
    }
    EXPECT_EQ(GradeAutorizacao().headerData(8, Qt::Horizontal).toString(), "EAN - Produto");
}

TEST(GradeAutorizacao, CellsAndRoles) {
    GradeAutorizacao grade;
    grade.configura("S", "Extra", false);
    linha(grade, {"DIPIRONA", "EMS", "C", "2", "10,00", "10,00", "9,00", "4,50", "789", "00"});
    linha(grade, {"AAS", "", "C", "3", "5,50", "", "5,00", "x", "790", "45"});
    linha(grade, {"SEM PRECO", "", "C", "1", "", "", "abc", "", "791", ""});
    grade.marcaRecusada(2, true);

    EXPECT_EQ(grade.rowCount(), 3);
    EXPECT_EQ(grade.data(grade.index(0, 4)).toString(), "10,00");
    EXPECT_EQ(grade.data(grade.index(0, 4), Qt::TextAlignmentRole).toInt(),
              int(Qt::AlignRight | Qt::AlignVCenter));
    EXPECT_EQ(grade.data(grade.index(0, 0), Qt::TextAlignmentRole).toInt(),
              int(Qt::AlignLeft | Qt::AlignVCenter));
    for (int c = 0; c < grade.columnCount(); ++c) {
        EXPECT_TRUE(grade.data(grade.index(1, c), TabelaTexto::LinhaRecusadaRole).toBool());
        EXPECT_FALSE(grade.data(grade.index(0, c), TabelaTexto::LinhaRecusadaRole).toBool());
    }
    EXPECT_TRUE(grade.data(grade.index(1, 3), Qt::ForegroundRole).isValid());
    EXPECT_FALSE(grade.data(grade.index(0, 3), Qt::ForegroundRole).isValid());

    EXPECT_TRUE(grade.setData(grade.index(2, 3), "7"));
    EXPECT_EQ(grade.texto(3, G::Quantidade), "7");
    grade.removeLinha(2);
    EXPECT_EQ(grade.texto(2, G::Descricao), "SEM PRECO");
    EXPECT_FALSE(grade.recusada(2));
    EXPECT_EQ(grade.texto(9, 1), "");
}

// The grid row of a product chosen from the query (adding it again is the search's test).
TEST(GradeAutorizacao, SearchedProductCopiesTheQueryRow) {
    GradeAutorizacao grade;
    ResultadoConsulta consulta;
    const QStringList celulas = {"DIPIRONA", "EMS",  "C",   "10,00", "10,00",
                                 "9,00",     "4,50", "789", "00",    "8,80"};
    const int r = consulta.adicionaLinha();
    for (int c = 0; c < celulas.size(); ++c) consulta.defineTexto(r, c + 1, celulas[c]);
    EXPECT_EQ(AdicionaProdutoPesquisado(grade, consulta, 1), 1);
    QStringList linha1;
    for (int c = 1; c <= G::kColunas; ++c) linha1 << grade.texto(1, c);
    EXPECT_EQ(linha1, QStringList({"DIPIRONA", "EMS", "C", "1", "10,00", "10,00", "9,00", "4,50",
                                   "789", "00", "", "8,80"}));
}

TEST(GradeAutorizacao, ItemListFromTheGrid) {
    test::TestContext t;
    GradeAutorizacao grade;
    grade.configura("S", "Extra", false);
    EXPECT_TRUE(CarregaItemVenda_Grid(t.ctx, grade));
    EXPECT_EQ(t.boxes.last().text,
              QStringLiteral("Ocorreu o erro: Não existem itens para cancelar."));
    EXPECT_TRUE(t.boxes.last().title.endsWith("CarregaItemVenda_Grid"));

    linha(grade, {"DIPIRONA", "EMS", "C", "2", "10,00", "10,00", "9,00", "4,50", "789", "00", "123",
                  "8,80"});
    linha(grade, {"AAS", "BAYER", "F", "1", "5,50", "", "5,00", "5,00", "790", "", "", ""});
    EXPECT_TRUE(CarregaItemVenda_Grid(t.ctx, grade));
    ASSERT_EQ(t.ctx.itensVenda.count, 2);
    const ItemVenda& a = t.ctx.itensVenda.itens[0];  // the manufacturer is not kept
    EXPECT_EQ(QStringList({a.descricao, a.fabricante, a.embalagem, a.valorReceber, a.valorOperadora,
                           a.valorLiquidoConsulta}),
              QStringList({"DIPIRONA", "", "C", "4,50", "123", "8,80"}));
    EXPECT_EQ(t.ctx.itensVenda.itens[1].codigo, "790");
}

// A lot's transaction products grid, as the administrative screens hold it (13 columns).
class ProdutosLote final : public QAbstractTableModel {
  public:
    QList<QStringList> rows;
    int rowCount(const QModelIndex& = {}) const override { return int(rows.size()); }
    int columnCount(const QModelIndex& = {}) const override { return 13; }
    QVariant data(const QModelIndex& i, int role) const override {
        return role == Qt::DisplayRole ? QVariant(rows[i.row()].value(i.column())) : QVariant();
    }
};

TEST(GradeAutorizacao, ItemListFromSelectedLotProducts) {
    test::TestContext t;
    ProdutosLote lote;
    EXPECT_TRUE(CancelaItem_Grid(t.ctx, lote, {}));
    EXPECT_TRUE(t.boxes.last().title.endsWith("CancelaItem_Grid"));

    auto row = [](const char* code, const char* desc, const char* qty) {
        QStringList r(13);
        r[4] = code;
        r[7] = desc;
        r[8] = "C";
        r[9] = qty;
        r[11] = "10,00";
        r[12] = "9,00";
        return r;
    };
    lote.rows = {row("0007891234567", "A", "002"), row("11", "B", "1"), row("12", "C", "3")};
    EXPECT_TRUE(CancelaItem_Grid(t.ctx, lote, {0, 2}));
    ASSERT_EQ(t.ctx.itensVenda.count, 2);
    const ItemVenda &a = t.ctx.itensVenda.itens[0], &c = t.ctx.itensVenda.itens[1];
    EXPECT_EQ(QStringList({a.codigo, a.quantidade, a.valorBruto, c.descricao, c.valorLiquido}),
              QStringList({"7891234567", "2", "10,00", "C", "9,00"}));
}

}  // namespace
}  // namespace ql
