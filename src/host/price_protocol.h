#pragma once

#include <QString>

#include <optional>

namespace ql {

// The price lookup over the host link travels as a text-form message of its own:
//
//   request  000-000=0600;902-000=<code1>;920-000=<code2>;
//   answer   000-000=0610;009-000=00;903-000=<description>;910-000=<list>;911-000=<sale>;
//
// code1 is the product code, code2 the caller's second key (left out when empty, like every
// empty field). In the answer 009-000 "00" means found; any other code means the host does
// not know the product, and the other fields may then be absent. 910-000 and 911-000 are the
// list and sale prices in whole cents, digits only. The description is at most 40
// characters and may not hold ";".
inline constexpr char kTipoPedidoPreco[] = "0600";
inline constexpr char kTipoRespostaPreco[] = "0610";
// The code the host answers for a product it does not know ("PRODUTO NAO ENCONTRADO").
inline constexpr char kCodigoProdutoNaoEncontrado[] = "70";
inline constexpr int kTamanhoDescricaoPreco = 40;
inline constexpr int kTamanhoValorPreco = 12;

struct PriceRequest {
    QString code1;
    QString code2;
};

struct PriceAnswer {
    bool found = false;
    QString description;
    qint64 listCents = 0;
    qint64 saleCents = 0;
};

QString encodePriceRequest(const PriceRequest& request);
// Nothing when the body is not a price request (wrong type, no product code).
std::optional<PriceRequest> decodePriceRequest(const QString& body);

QString encodePriceAnswer(const PriceAnswer& answer);
// Nothing when the body is not a readable price answer (wrong type, no response code, a
// found product whose amounts are not whole numbers of cents).
std::optional<PriceAnswer> decodePriceAnswer(const QString& body);

// Writes a found product into the GetPreco buffers: the description blank-filled to 40
// characters, each amount as whole cents left-aligned and blank-filled to 12.
void fillPriceBuffers(const PriceAnswer& answer, QString& description, QString& amount1,
                      QString& amount2);

}  // namespace ql
