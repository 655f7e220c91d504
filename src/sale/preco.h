#pragma once

#include <QString>
#include <QStringList>

#include <array>

namespace ql {

struct Context;

// Logon text of the catalogue server.
inline constexpr char kLogonCatalogo[] = "MiKo****";

// ProcessaPreco: refreshes one product's description and prices from the host link's price
// lookup, or from the catalogue server when bIdentificaCartao_DS is on (store code from the
// identification component, "0000" when it has none). Amounts are decimal texts with a
// comma. When the prices differ from what the caller holds, the discount (pattern "00.00"),
// the sale price (lowered to the caller's discount when that gives less) and the dependent
// value are recomputed and the description replaced; the unit price always receives the
// source's sale price. True when prices were obtained.
bool ProcessaPreco(Context& ctx, const QString& codigo, const QString& segundaChave,
                   QString& descricao, QString& precoLista, QString& precoVenda,
                   QString& valorDependente, QString& status, QString& desconto,
                   QString& precoUnitario, const QString& codigoLoja = {});

// What the catalogue readers hand back.
struct ProdutoCatalogo {
    QString descricao;   // 35 characters as in the record
    QString preco;       // the second price when it counts, else the first (10 characters)
    QString precoLista;  // the first price (10 characters)
    std::array<quint8, 3> bytes{};
    QString codigo;       // two characters
    QStringList codigos;  // code list of an EAN read; entry 1 is codigos[0]
};

// LePrecoProduto: reads a product by code from the catalogue server (ctx.catalogo, or the
// host link's lookup when there is none). Failures are told in "ATENÇÃO !!" boxes and clear
// every output.
bool LePrecoProduto(Context& ctx, const QString& loja, const QString& codigo,
                    ProdutoCatalogo& produto);
// LePrecoEAN: the same by EAN, with today's date as "ddMMyy", plus the record's code list.
bool LePrecoEAN(Context& ctx, const QString& data, const QString& loja, const QString& ean,
                ProdutoCatalogo& produto);

}  // namespace ql
