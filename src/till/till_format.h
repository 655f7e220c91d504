#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace ql {

// The files of the till interface: the till software drops a request into TILL_DIR/req/ and
// the client writes its answers into TILL_DIR/resp/. Every file is Windows-1252 text of
// "key=value" lines (CR LF or LF); docs/till-interface.md describes each key.

// What a request asks for.
enum class TillOperation {
    Venda,     // pre-authorise and sell the basket
    Confirma,  // confirm the sale of an NSU
    Desfaz,    // undo the sale of an NSU
    Status,    // where the request of another id stands
};
QString TillOperationName(TillOperation op);

// One product of the till's basket.
struct TillProduct {
    QString ean;               // the product code, 1 to 13 digits
    int quantidade = 0;        // 1 to kMaxTillQuantity
    qint64 precoCentavos = 0;  // the till's unit price in cents (0: the host's price)
};

struct TillRequest {
    QString id;  // also the request file's name without ".req"
    TillOperation operacao = TillOperation::Venda;
    QString operadora;  // VENDA: the route name as the operator table has it (optional)
    QString cartao;     // VENDA: the card number (optional)
    QString documento;  // VENDA: the fiscal document number
    QString nsu;        // CONFIRMA / DESFAZ
    QString consulta;   // STATUS: the id asked about
    std::vector<TillProduct> produtos;
};

// Bounds on what a till may send.
inline constexpr int kMaxTillProducts = 60;
inline constexpr int kMaxTillQuantity = 999;
inline constexpr qint64 kMaxTillPriceCents = 99999999;
inline constexpr qint64 kMaxTillRequestBytes = 32 * 1024;
inline constexpr int kMaxTillIdLength = 32;

// True for an id of 1 to 32 letters, digits, "-" or "_".
bool ValidTillId(const QString& id);

// A request read from its file, or the reason it cannot be served ("linha N: ..." naming the
// line at fault).
struct TillParse {
    std::optional<TillRequest> pedido;
    QString erro;
};
// Reads the bytes of req/<fileId>.req. The id line must match the file's name.
TillParse ParseTillRequest(const QByteArray& bytes, const QString& fileId);
// The file a till writes for a request (quillane-till, tests).
QByteArray FormatTillRequest(const TillRequest& pedido);

// How a request ended ("status" of the answer).
namespace till_status {
inline constexpr char kAprovada[] = "APROVADA";          // the host approved the sale
inline constexpr char kRecusada[] = "RECUSADA";          // the host refused (its text follows)
inline constexpr char kAbandonada[] = "ABANDONADA";      // the cashier gave up
inline constexpr char kErro[] = "ERRO";                  // malformed request or failure
inline constexpr char kOcupado[] = "OCUPADO";            // another request is open
inline constexpr char kConfirmada[] = "CONFIRMADA";      // confirmation accepted by the host
inline constexpr char kDesfeita[] = "DESFEITA";          // undo accepted by the host
inline constexpr char kPendente[] = "PENDENTE";          // sent again until the host answers
inline constexpr char kAguardando[] = "AGUARDANDO";      // the sale waits for the till's word
inline constexpr char kRecebido[] = "RECEBIDO";          // STATUS: in req/, not yet taken
inline constexpr char kEmAndamento[] = "EM_ANDAMENTO";   // STATUS: being served
inline constexpr char kDesconhecido[] = "DESCONHECIDO";  // STATUS: no such id
}  // namespace till_status

// One product of an answer: what the host authorised, unit amounts in cents; status is the
// host's product status ("00" approved, 40 and above refused) or "NE" when the product could
// not be entered at all (the host does not know it).
struct TillAnswerProduct {
    QString ean;
    int quantidade = 0;
    qint64 brutoCentavos = 0;
    qint64 liquidoCentavos = 0;
    qint64 clienteCentavos = 0;
    QString status;
};

struct TillAnswer {
    QString id;
    QString operacao;
    QString status;
    QString mensagem;
    QString nsu;
    QString liquidacao;  // the sale's settlement: CONFIRMADA, DESFEITA, PENDENTE, AGUARDANDO
    QString documento;
    std::vector<TillAnswerProduct> produtos;
    std::optional<qint64> totalBruto, totalVenda, totalCliente;
    QStringList recibo;
};
QByteArray FormatTillAnswer(const TillAnswer& resposta);
// Reads an answer back (quillane-till, tests); nothing when the bytes hold no id and status.
std::optional<TillAnswer> ParseTillAnswer(const QByteArray& bytes);

}  // namespace ql
