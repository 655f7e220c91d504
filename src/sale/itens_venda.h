#pragma once

#include <QString>
#include <QVector>

namespace ql {

// One product of the item list; every value is text as the screens and the host see it.
struct ItemVenda {
    QString codigo;  // product code (EAN)
    QString descricao;
    QString fabricante;
    QString embalagem;
    QString quantidade;
    QString valorBruto;            // gross price, decimal text with ","
    QString desconto;              // discount %
    QString valorLiquido;          // net price
    QString valorReceber;          // customer payment ("Valor a Receber Loja")
    QString valorLiquidoConsulta;  // net value from the price lookup
    QString valorOperadora;        // operadora-specific (complementary) value
    QString status;
};

// ItensVenda: the process-wide 1-based item list with its count. The count is shared with
// the product query, which also stores the number of products found in it.
struct ItensVenda {
    QVector<ItemVenda> itens;  // itens[i - 1] is entry i
    qint16 count = 0;

    ItemVenda& item(int i) {
        if (itens.size() < i) itens.resize(i);
        return itens[i - 1];
    }
    void clear() {
        itens.clear();
        count = 0;
    }
};

}  // namespace ql
