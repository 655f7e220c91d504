#include "host/price_protocol.h"

#include "message/campo_resposta.h"

namespace ql {

namespace {

QString campo(const char* tag, const QString& valor) {
    if (valor.isEmpty()) return {};
    return QLatin1String(tag) + QLatin1Char('=') + valor + QLatin1Char(';');
}

std::optional<qint64> centavos(const QString& texto) {
    const QString t = texto.trimmed();
    if (t.isEmpty() || t.size() > 15) return std::nullopt;
    for (QChar c : t) {
        if (!c.isDigit() || c.unicode() > '9') return std::nullopt;
    }
    return t.toLongLong();
}

}  // namespace

QString encodePriceRequest(const PriceRequest& request) {
    return campo("000-000", QLatin1String(kTipoPedidoPreco)) +
           campo("902-000", request.code1.trimmed()) + campo("920-000", request.code2.trimmed());
}

std::optional<PriceRequest> decodePriceRequest(const QString& body) {
    if (textField(body, u"000-000") != QLatin1String(kTipoPedidoPreco)) return std::nullopt;
    PriceRequest request{textField(body, u"902-000"), textField(body, u"920-000")};
    if (request.code1.trimmed().isEmpty()) return std::nullopt;
    return request;
}

QString encodePriceAnswer(const PriceAnswer& answer) {
    QString body = campo("000-000", QLatin1String(kTipoRespostaPreco));
    if (!answer.found) return body + campo("009-000", QLatin1String(kCodigoProdutoNaoEncontrado));
    QString descricao = answer.description.left(kTamanhoDescricaoPreco);
    descricao.replace(QLatin1Char(';'), QLatin1Char(','));
    return body + campo("009-000", QStringLiteral("00")) + campo("903-000", descricao) +
           campo("910-000", QString::number(answer.listCents)) +
           campo("911-000", QString::number(answer.saleCents));
}

std::optional<PriceAnswer> decodePriceAnswer(const QString& body) {
    bool malformado = false;
    if (textField(body, u"000-000", &malformado) != QLatin1String(kTipoRespostaPreco) ||
        malformado) {
        return std::nullopt;
    }
    const QString codigo = textField(body, u"009-000").trimmed();
    if (codigo.isEmpty()) return std::nullopt;
    PriceAnswer answer;
    if (codigo != QLatin1String("00")) return answer;
    const auto lista = centavos(textField(body, u"910-000"));
    const auto venda = centavos(textField(body, u"911-000"));
    if (!lista || !venda) return std::nullopt;
    answer.found = true;
    answer.description = textField(body, u"903-000").left(kTamanhoDescricaoPreco);
    answer.listCents = *lista;
    answer.saleCents = *venda;
    return answer;
}

void fillPriceBuffers(const PriceAnswer& answer, QString& description, QString& amount1,
                      QString& amount2) {
    description = answer.description.left(kTamanhoDescricaoPreco)
                      .leftJustified(kTamanhoDescricaoPreco, QLatin1Char(' '));
    amount1 = QString::number(answer.listCents).leftJustified(kTamanhoValorPreco, QLatin1Char(' '));
    amount2 = QString::number(answer.saleCents).leftJustified(kTamanhoValorPreco, QLatin1Char(' '));
}

}  // namespace ql
