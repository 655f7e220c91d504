#include "till/till_format.h"

#include <QRegularExpression>

#include "host/valores.h"
#include "shell/text_files.h"

namespace ql {

namespace {

struct OperationName {
    TillOperation op;
    const char* nome;
};
constexpr OperationName kOperations[] = {{TillOperation::Venda, "VENDA"},
                                         {TillOperation::Confirma, "CONFIRMA"},
                                         {TillOperation::Desfaz, "DESFAZ"},
                                         {TillOperation::Status, "STATUS"}};

// A whole number of digits only, within [minimo, maximo].
std::optional<qint64> boundedNumber(const QString& s, qint64 minimo, qint64 maximo) {
    if (!SoDigitos(s) || s.size() > 12) return std::nullopt;
    const qint64 v = s.toLongLong();
    if (v < minimo || v > maximo) return std::nullopt;
    return v;
}

// Text: no control characters other than tab, CR and LF.
int firstBinaryLine(const QByteArray& bytes) {
    int linha = 1;
    for (char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b == '\n') ++linha;
        if (b < 0x20 && b != '\n' && b != '\r' && b != '\t') return linha;
        if (b == 0x7F) return linha;
    }
    return 0;
}

QString naLinha(int linha, const QString& texto) {
    return QStringLiteral("linha %1: %2").arg(linha).arg(texto);
}

QStringList linesOf(const QByteArray& bytes) {
    QStringList linhas = fromCp1252(bytes).split(QLatin1Char('\n'));
    for (QString& l : linhas)
        if (l.endsWith(QLatin1Char('\r'))) l.chop(1);
    if (!linhas.isEmpty() && linhas.back().isEmpty()) linhas.removeLast();
    return linhas;
}

void put(QByteArray& out, const char* chave, const QString& valor) {
    // A value never breaks its line.
    QString v = valor;
    v.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
    out += chave;
    out += '=';
    out += toCp1252(v);
    out += "\r\n";
}

}  // namespace

QString TillOperationName(TillOperation op) {
    for (const OperationName& o : kOperations)
        if (o.op == op) return QLatin1String(o.nome);
    return {};
}

bool ValidTillId(const QString& id) {
    static const QRegularExpression kId(QStringLiteral("^[A-Za-z0-9_-]{1,32}$"));
    return kId.match(id).hasMatch();
}

TillParse ParseTillRequest(const QByteArray& bytes, const QString& fileId) {
    if (bytes.size() > kMaxTillRequestBytes)
        return {std::nullopt,
                QStringLiteral("arquivo maior que %1 bytes").arg(kMaxTillRequestBytes)};
    if (const int binaria = firstBinaryLine(bytes))
        return {std::nullopt, naLinha(binaria, QStringLiteral("o arquivo não é texto"))};

    TillRequest p;
    bool temId = false, temOperacao = false, temDocumento = false;
    QStringList vistas;
    const QStringList linhas = linesOf(bytes);
    for (int i = 0; i < linhas.size(); ++i) {
        const int n = i + 1;
        const QString linha = linhas[i].trimmed();
        if (linha.isEmpty()) continue;
        const qsizetype igual = linha.indexOf(QLatin1Char('='));
        if (igual <= 0) return {std::nullopt, naLinha(n, QStringLiteral("esperado chave=valor"))};
        const QString chave = linha.left(igual).trimmed().toLower();
        const QString valor = linha.mid(igual + 1).trimmed();
        if (chave != u"produto") {
            if (vistas.contains(chave))
                return {std::nullopt, naLinha(n, QStringLiteral("chave repetida: ") + chave)};
            vistas << chave;
        }
        if (chave == u"id") {
            if (!ValidTillId(valor))
                return {std::nullopt, naLinha(n, QStringLiteral("id inválido"))};
            if (valor != fileId)
                return {std::nullopt, naLinha(n, QStringLiteral("o id difere do nome do arquivo"))};
            p.id = valor;
            temId = true;
        } else if (chave == u"operacao") {
            bool achou = false;
            for (const OperationName& o : kOperations) {
                if (valor.compare(QLatin1String(o.nome), Qt::CaseInsensitive) == 0) {
                    p.operacao = o.op;
                    achou = true;
                }
            }
            if (!achou)
                return {std::nullopt,
                        naLinha(n, QStringLiteral("operação desconhecida: ") + valor)};
            temOperacao = true;
        } else if (chave == u"operadora") {
            p.operadora = valor;
        } else if (chave == u"cartao") {
            if (!valor.isEmpty() && (!SoDigitos(valor) || valor.size() < 11 || valor.size() > 19))
                return {std::nullopt, naLinha(n, QStringLiteral("cartão inválido"))};
            p.cartao = valor;
        } else if (chave == u"documento") {
            if (valor.isEmpty() || valor.size() > 20)
                return {std::nullopt, naLinha(n, QStringLiteral("documento fiscal inválido"))};
            p.documento = valor;
            temDocumento = true;
        } else if (chave == u"nsu") {
            if (!SoDigitos(valor) || valor.size() > 12)
                return {std::nullopt, naLinha(n, QStringLiteral("NSU inválido"))};
            p.nsu = valor.rightJustified(12, QLatin1Char('0'));
        } else if (chave == u"consulta") {
            if (!ValidTillId(valor))
                return {std::nullopt, naLinha(n, QStringLiteral("id consultado inválido"))};
            p.consulta = valor;
        } else if (chave == u"produto") {
            const QStringList partes = valor.split(QLatin1Char(';'));
            if (partes.size() != 3)
                return {std::nullopt,
                        naLinha(n, QStringLiteral("produto deve ser EAN;quantidade;preço"))};
            const QString ean = partes[0].trimmed();
            if (!SoDigitos(ean) || ean.size() > 13)
                return {std::nullopt, naLinha(n, QStringLiteral("código do produto inválido"))};
            const auto qtd = boundedNumber(partes[1].trimmed(), 1, kMaxTillQuantity);
            if (!qtd) return {std::nullopt, naLinha(n, QStringLiteral("quantidade inválida"))};
            const auto preco = boundedNumber(partes[2].trimmed(), 0, kMaxTillPriceCents);
            if (!preco) return {std::nullopt, naLinha(n, QStringLiteral("preço inválido"))};
            if (int(p.produtos.size()) == kMaxTillProducts)
                return {std::nullopt,
                        naLinha(n, QStringLiteral("mais de %1 produtos").arg(kMaxTillProducts))};
            p.produtos.push_back({ean, int(*qtd), *preco});
        } else {
            return {std::nullopt, naLinha(n, QStringLiteral("chave desconhecida: ") + chave)};
        }
    }
    if (!temId) return {std::nullopt, QStringLiteral("falta a linha id")};
    if (!temOperacao) return {std::nullopt, QStringLiteral("falta a linha operacao")};
    switch (p.operacao) {
        case TillOperation::Venda:
            if (!temDocumento) return {std::nullopt, QStringLiteral("falta a linha documento")};
            if (p.produtos.empty())
                return {std::nullopt, QStringLiteral("a venda não tem produtos")};
            break;
        case TillOperation::Confirma:
        case TillOperation::Desfaz:
            if (p.nsu.isEmpty()) return {std::nullopt, QStringLiteral("falta a linha nsu")};
            break;
        case TillOperation::Status:
            if (p.consulta.isEmpty())
                return {std::nullopt, QStringLiteral("falta a linha consulta")};
            break;
    }
    return {std::move(p), {}};
}

QByteArray FormatTillRequest(const TillRequest& p) {
    QByteArray out;
    put(out, "id", p.id);
    put(out, "operacao", TillOperationName(p.operacao));
    if (!p.operadora.isEmpty()) put(out, "operadora", p.operadora);
    if (!p.cartao.isEmpty()) put(out, "cartao", p.cartao);
    if (!p.documento.isEmpty()) put(out, "documento", p.documento);
    if (!p.nsu.isEmpty()) put(out, "nsu", p.nsu);
    if (!p.consulta.isEmpty()) put(out, "consulta", p.consulta);
    for (const TillProduct& pr : p.produtos)
        put(out, "produto",
            QStringLiteral("%1;%2;%3").arg(pr.ean).arg(pr.quantidade).arg(pr.precoCentavos));
    return out;
}

QByteArray FormatTillAnswer(const TillAnswer& r) {
    QByteArray out;
    put(out, "id", r.id);
    put(out, "operacao", r.operacao);
    put(out, "status", r.status);
    if (!r.mensagem.isEmpty()) put(out, "mensagem", r.mensagem);
    if (!r.nsu.isEmpty()) put(out, "nsu", r.nsu);
    if (!r.liquidacao.isEmpty()) put(out, "liquidacao", r.liquidacao);
    if (!r.documento.isEmpty()) put(out, "documento", r.documento);
    for (const TillAnswerProduct& p : r.produtos)
        put(out, "produto",
            QStringLiteral("%1;%2;%3;%4;%5;%6")
                .arg(p.ean)
                .arg(p.quantidade)
                .arg(p.brutoCentavos)
                .arg(p.liquidoCentavos)
                .arg(p.clienteCentavos)
                .arg(p.status));
    if (r.totalBruto) put(out, "total_bruto", QString::number(*r.totalBruto));
    if (r.totalVenda) put(out, "total_venda", QString::number(*r.totalVenda));
    if (r.totalCliente) put(out, "total_cliente", QString::number(*r.totalCliente));
    for (const QString& l : r.recibo) put(out, "recibo", l);
    return out;
}

std::optional<TillAnswer> ParseTillAnswer(const QByteArray& bytes) {
    TillAnswer r;
    for (const QString& linha : linesOf(bytes)) {
        const qsizetype igual = linha.indexOf(QLatin1Char('='));
        if (igual <= 0) continue;
        const QString chave = linha.left(igual);
        const QString valor = linha.mid(igual + 1);
        if (chave == u"id")
            r.id = valor;
        else if (chave == u"operacao")
            r.operacao = valor;
        else if (chave == u"status")
            r.status = valor;
        else if (chave == u"mensagem")
            r.mensagem = valor;
        else if (chave == u"nsu")
            r.nsu = valor;
        else if (chave == u"liquidacao")
            r.liquidacao = valor;
        else if (chave == u"documento")
            r.documento = valor;
        else if (chave == u"total_bruto")
            r.totalBruto = valor.toLongLong();
        else if (chave == u"total_venda")
            r.totalVenda = valor.toLongLong();
        else if (chave == u"total_cliente")
            r.totalCliente = valor.toLongLong();
        else if (chave == u"recibo")
            r.recibo << valor;
        else if (chave == u"produto") {
            const QStringList c = valor.split(QLatin1Char(';'));
            if (c.size() != 6) continue;
            r.produtos.push_back({c[0], c[1].toInt(), c[2].toLongLong(), c[3].toLongLong(),
                                  c[4].toLongLong(), c[5]});
        }
    }
    if (r.id.isEmpty() || r.status.isEmpty()) return std::nullopt;
    return r;
}

}  // namespace ql
