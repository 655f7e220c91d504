#pragma once

#include <QHash>
#include <QString>

#include <optional>
#include <utility>
#include <vector>

namespace ql::hostsim {

// The form a terminal writes its requests in; the host answers in the same form.
enum class Forma { Texto, Iso };

// One product line of a request (pre-authorisation, sale, partial cancellation), with the
// values as they travelled.
struct ProdutoPedido {
    QString codigo;          // 902
    QString embalagem;       // 906
    QString quantidade;      // 905
    QString precoBruto;      // 910
    QString precoLiquido;    // 911
    QString valorReceber;    // 912
    QString desconto;        // 909
    QString valorOperadora;  // 914
};

// A request read from a terminal: message type, processing code, the plain fields it
// carried (first occurrence of each tag) and its product lines in order.
struct Pedido {
    Forma forma = Forma::Texto;
    QString tipo;           // 000-000
    QString processamento;  // 011-000
    QHash<QString, QString> campos;
    std::vector<ProdutoPedido> produtos;

    QString campo(const QString& tag) const { return campos.value(tag); }
    // Message type followed by processing code, e.g. "0100800200".
    QString chave() const { return tipo + processamento; }
};

// Why a request could not be read.
enum class ErroLeitura {
    Nenhum,
    Vazio,          // empty body
    FormaInvalida,  // a text form that does not parse, an ISO message whose bitmap or
                    // elements are broken
    SemTipo,        // no message type or processing code
    Produtos,       // product records that do not fit the transaction's layout
};

struct Leitura {
    std::optional<Pedido> pedido;
    ErroLeitura erro = ErroLeitura::Nenhum;
};

// Reads one request body (without its four-digit length). The text form starts with
// "000-000="; anything else is taken as ISO 8583 with a hexadecimal bitmap.
Leitura lePedido(const QString& corpo);

// An answer under construction: the fields in the order they must be written. In ISO form
// fields sharing an element are concatenated in that order, so callers add element-60 and
// element-63 fields with their exact widths and in record order.
class Resposta {
  public:
    explicit Resposta(Forma forma) : forma_(forma) {}

    Forma forma() const { return forma_; }
    void add(const QString& tag, const QString& valor) { campos_.emplace_back(tag, valor); }
    const std::vector<std::pair<QString, QString>>& campos() const { return campos_; }
    // Value of the first field with that tag ("" when absent).
    QString valor(const QString& tag) const;

    // The answer body in its form.
    QString escreve() const;

  private:
    Forma forma_;
    std::vector<std::pair<QString, QString>> campos_;
};

// Fixed-width helpers for answer values.
// Zero-padded on the left; a longer number is kept whole (a system error code of three
// digits in the two-digit response code of a text answer).
QString numeroFixo(qint64 valor, int largura);
QString textoFixo(const QString& texto, int largura);  // cut or blank-filled on the right

}  // namespace ql::hostsim
