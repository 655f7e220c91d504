#pragma once

#include <QAbstractItemModel>
#include <QList>
#include <QString>

#include "sale/tabela_texto.h"

namespace ql {

struct Context;

// The authorisation screen's product grid: one row per product, every cell text.
class GradeAutorizacao final : public TabelaTexto {
    Q_OBJECT
  public:
    enum Coluna {
        Descricao = 1,
        Fabricante = 2,
        Embalagem = 3,
        Quantidade = 4,
        PMC = 5,           // gross (list) unit price
        Desconto = 6,      // discount %
        PrecoVenda = 7,    // net unit price
        PagtoCliente = 8,  // customer payment per unit
        Codigo = 9,        // product code (EAN)
        Status = 10,
        ValorOperadora = 11,  // operadora-specific value
        ValorLiquidoDll = 12  // net value from the price lookup
    };
    static constexpr int kColunas = 12;

    explicit GradeAutorizacao(QObject* parent = nullptr);

    // Columns from the chosen operadora: without the extra-column flag 11 columns (the 11th
    // hidden); with it 12, the 11th shown with its trimmed header only in a pre-sale. The
    // 12th is always hidden.
    void configura(const QString& flagColunaExtra, const QString& cabecalhoExtra, bool modoVenda);

    // Row of the product with this code and packaging (both compared trimmed); 0 when none.
    int procuraProduto(const QString& codigo, const QString& embalagem) const;

    struct Totais {
        double bruto = 0;    // gross price × quantity
        double venda = 0;    // sale price × quantity
        double cliente = 0;  // customer payment × quantity
        double beneficio() const { return bruto - venda; }
    };
    // Totals over every row, each cell counted only when numeric.
    Totais totais() const;

  protected:
    bool colunaNumerica(int coluna) const override;
};

// The product query screen's result grid.
class ResultadoConsulta final : public TabelaTexto {
    Q_OBJECT
  public:
    enum Coluna {
        Descricao = 1,
        Fabricante = 2,
        Embalagem = 3,
        PrecoBruto = 4,
        Desconto = 5,
        PrecoLiquido = 6,
        ValorReceber = 7,
        Codigo = 8,
        Status = 9,
        ValorLiquidoDll = 10  // not shown
    };
    explicit ResultadoConsulta(QObject* parent = nullptr);

    // Set when the last query found nothing and its text was not a product code.
    bool nenhumProdutoEncontrado = false;

  protected:
    bool colunaNumerica(int coluna) const override;
};

// ValidaProduto_Grid_Pre: true when no row holds this code and packaging; otherwise false and
// *linha (when given) receives the row that does.
bool ValidaProduto_Grid_Pre(const GradeAutorizacao& grade, const QString& codigo,
                            const QString& embalagem, int* linha = nullptr);

// Puts the product of a query result row into the authorisation grid: one more unit when the
// same code and packaging are already there, otherwise a new row with quantity 1. Returns
// the row.
int AdicionaProdutoPesquisado(GradeAutorizacao& grade, const ResultadoConsulta& consulta,
                              int linhaConsulta);

// Rebuilds ItensVenda from every row of the authorisation grid (column 2 is not kept). An
// empty grid is reported under "CarregaItemVenda_Grid" and still gives true.
bool CarregaItemVenda_Grid(Context& ctx, const GradeAutorizacao& grade);

// Rebuilds ItensVenda from the selected rows (0-based model rows) of a lot's transaction
// products grid, for a partial cancellation: columns 5 code, 8 description, 9 packaging,
// 10 quantity, 12 gross price, 13 net price. An empty grid is reported under
// "CancelaItem_Grid" and still gives true.
bool CancelaItem_Grid(Context& ctx, const QAbstractItemModel& grade,
                      const QList<int>& linhasSelecionadas);

}  // namespace ql
