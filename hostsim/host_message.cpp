#include "host_message.h"

#include "message/iso8583.h"
#include "message/mensagem.h"

namespace ql::hostsim {

namespace {

// Element-63 record layouts of the requests that carry products in ISO form. Widths are the
// ones the terminal's writer produces for each transaction.
struct CampoRegistro {
    int campo;
    int largura;
};

const std::vector<CampoRegistro>* layoutProdutos(const QString& chave) {
    // Pre-authorisation: code, packaging, quantity, gross, net, operadora value (length + 14).
    static const std::vector<CampoRegistro> pre = {{902, 13}, {906, 1}, {905, 3},
                                                   {910, 7},  {911, 7}, {914, 16}};
    // Sale: as above plus customer payment and discount; the operadora value without length.
    static const std::vector<CampoRegistro> venda = {{902, 13}, {906, 1}, {905, 3}, {910, 7},
                                                     {911, 7},  {912, 7}, {909, 7}, {914, 14}};
    // Partial cancellation: code, packaging, quantity.
    static const std::vector<CampoRegistro> cancela = {{902, 13}, {906, 1}, {905, 3}};
    if (chave == QLatin1String("0100800200")) return &pre;
    if (chave == QLatin1String("0200800300")) return &venda;
    if (chave == QLatin1String("0200800400") || chave == QLatin1String("0200900400"))
        return &cancela;
    return nullptr;
}

void defineCampoProduto(ProdutoPedido& p, int campo, const QString& valor) {
    switch (campo) {
        case 902:
            p.codigo = valor;
            break;
        case 906:
            p.embalagem = valor;
            break;
        case 905:
            p.quantidade = valor;
            break;
        case 910:
            p.precoBruto = valor;
            break;
        case 911:
            p.precoLiquido = valor;
            break;
        case 912:
            p.valorReceber = valor;
            break;
        case 909:
            p.desconto = valor;
            break;
        case 914:
            p.valorOperadora = valor;
            break;
        default:
            break;
    }
}

bool campoDeProduto(int campo) {
    return campo == 902 || campo == 906 || campo == 905 || campo == 910 || campo == 911 ||
           campo == 912 || campo == 909 || campo == 914;
}

Leitura leTexto(const QString& corpo) {
    bool ok = true;
    const std::vector<CampoTexto> lidos = parseText(corpo, &ok);
    if (!ok || lidos.empty()) return {std::nullopt, ErroLeitura::FormaInvalida};

    Pedido p;
    p.forma = Forma::Texto;
    // Products are numbered from 000 within each page; a long partial cancellation repeats
    // the numbering inside one message, so a sub-field already seen starts a new page.
    qsizetype base = 0;
    std::vector<bool> vistos;
    for (const CampoTexto& c : lidos) {
        const QString tag = c.tag;
        // A tag is exactly three digits, "-", three digits; anything else ("-90", " 12")
        // would otherwise read as a number and index the product list out of range.
        if (tag.size() != 7 || tag[3] != QLatin1Char('-'))
            return {std::nullopt, ErroLeitura::FormaInvalida};
        for (int k : {0, 1, 2, 4, 5, 6})
            if (tag[k] < QLatin1Char('0') || tag[k] > QLatin1Char('9'))
                return {std::nullopt, ErroLeitura::FormaInvalida};
        const int campo = tag.left(3).toInt();
        const int sub = tag.mid(4, 3).toInt();
        if (campoDeProduto(campo)) {
            if (campo == 902 && base + sub < qsizetype(p.produtos.size()) &&
                !p.produtos[std::size_t(base + sub)].codigo.isEmpty())
                base = qsizetype(p.produtos.size());
            const std::size_t i = std::size_t(base + sub);
            if (i >= 2000) return {std::nullopt, ErroLeitura::Produtos};
            if (p.produtos.size() <= i) p.produtos.resize(i + 1);
            defineCampoProduto(p.produtos[i], campo, c.valor);
        } else if (!p.campos.contains(tag)) {
            p.campos.insert(tag, c.valor);
        }
    }
    p.tipo = p.campos.value(QStringLiteral("000-000"));
    p.processamento = p.campos.value(QStringLiteral("011-000"));
    if (p.tipo.isEmpty() || p.processamento.isEmpty()) return {std::nullopt, ErroLeitura::SemTipo};
    for (const ProdutoPedido& prod : p.produtos)
        if (prod.codigo.isEmpty()) return {std::nullopt, ErroLeitura::Produtos};
    return {std::move(p), ErroLeitura::Nenhum};
}

Leitura leIso(const QString& corpo) {
    const MensagemIsoLida iso(corpo);
    if (!iso.integra() || iso.tipoMensagem().size() != 4)
        return {std::nullopt, ErroLeitura::FormaInvalida};
    for (const QChar ch : iso.tipoMensagem())
        if (!ch.isDigit()) return {std::nullopt, ErroLeitura::FormaInvalida};

    Pedido p;
    p.forma = Forma::Iso;
    p.tipo = iso.tipoMensagem();
    p.processamento = iso.elemento(3);
    if (p.processamento.isEmpty()) return {std::nullopt, ErroLeitura::SemTipo};
    auto poe = [&p](const char* tag, const QString& valor) {
        if (!valor.isEmpty()) p.campos.insert(QLatin1String(tag), valor);
    };
    poe("000-000", p.tipo);
    poe("011-000", p.processamento);
    poe("001-000", iso.elemento(11));
    poe("040-000", iso.elemento(32));
    poe("012-000", iso.elemento(37).trimmed());
    poe("940-000", iso.elemento(40).trimmed());
    poe("941-000", iso.elemento(41));
    poe("942-000", iso.elemento(42).trimmed());
    poe("023-000", iso.elemento(12));
    poe("022-000", iso.elemento(13));
    poe("002-000", iso.elemento(44));
    poe("953-000", iso.elemento(55));
    poe("949-000", iso.elemento(48));

    // Element 60 carries the continuation or page flag followed by a two-digit count.
    const QString e60 = iso.elemento(60);
    if (e60.size() >= 3) {
        poe("900-000", e60.left(e60.size() - 2));
        poe("901-000", e60.right(2));
    } else {
        poe("900-000", e60);
    }

    const QString e63 = iso.elemento(63);
    if (const auto* layout = layoutProdutos(p.chave())) {
        int tamanho = 0;
        for (const CampoRegistro& c : *layout) tamanho += c.largura;
        if (e63.size() % tamanho != 0) return {std::nullopt, ErroLeitura::Produtos};
        for (qsizetype pos = 0; pos < e63.size(); pos += tamanho) {
            ProdutoPedido prod;
            qsizetype at = pos;
            for (const CampoRegistro& c : *layout) {
                defineCampoProduto(prod, c.campo, e63.mid(at, c.largura));
                at += c.largura;
            }
            p.produtos.push_back(std::move(prod));
        }
    } else if (p.chave() == QLatin1String("0800388100")) {
        poe("990-000", e63);
    } else {
        poe("920-000", e63);
    }
    return {std::move(p), ErroLeitura::Nenhum};
}

}  // namespace

Leitura lePedido(const QString& corpo) {
    if (corpo.isEmpty()) return {std::nullopt, ErroLeitura::Vazio};
    if (corpo.startsWith(QLatin1String("000-000="))) return leTexto(corpo);
    return leIso(corpo);
}

QString Resposta::valor(const QString& tag) const {
    for (const auto& [t, v] : campos_)
        if (t == tag) return v;
    return {};
}

QString Resposta::escreve() const {
    Mensagem msg;
    for (const auto& [tag, valor] : campos_) msg.add(tag, valor);
    return forma_ == Forma::Texto ? writeText(msg) : writeIso(msg, true);
}

QString numeroFixo(qint64 valor, int largura) {
    if (valor < 0) valor = 0;
    return QString::number(valor).rightJustified(largura, QLatin1Char('0'));
}

QString textoFixo(const QString& texto, int largura) {
    return texto.leftJustified(largura, QLatin1Char(' '), true);
}

}  // namespace ql::hostsim
