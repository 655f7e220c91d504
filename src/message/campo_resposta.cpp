#include "message/campo_resposta.h"

#include <initializer_list>

#include "message/iso8583.h"
#include "message/mensagem.h"
#include "shell/context.h"
#include "shell/error_routine.h"

namespace ql {

namespace {

// Numeric value the way the host's numeric texts are read: blanks ignored, an optional sign,
// then digits up to the first other character; 0 when there are none.
int valorNumerico(QStringView s) {
    qsizetype i = 0;
    while (i < s.size() && s[i] == QLatin1Char(' ')) ++i;
    bool negativo = false;
    if (i < s.size() && (s[i] == QLatin1Char('-') || s[i] == QLatin1Char('+'))) {
        negativo = s[i] == QLatin1Char('-');
        ++i;
    }
    long long v = 0;
    for (; i < s.size(); ++i) {
        if (s[i] == QLatin1Char(' ')) continue;
        if (s[i] < QLatin1Char('0') || s[i] > QLatin1Char('9')) break;
        v = v * 10 + (s[i].unicode() - '0');
        if (v > 1000000000) break;
    }
    return static_cast<int>(negativo ? -v : v);
}

// Characters from a 1-based position; "" when the position is before the start or past the end.
QString trecho(const QString& s, long long posicao, int tamanho) {
    if (posicao < 1 || posicao > s.size()) return {};
    return s.mid(static_cast<qsizetype>(posicao - 1), tamanho);
}

struct CampoRegistro {
    int campo;
    int posicao;  // 1-based within the record
    int tamanho;
};

// Fixed-size product records of element 63, chosen by message type + processing code. Some
// answers carry the receipt text (R lines of 40 characters) in front of the records.
struct LayoutProdutos {
    std::initializer_list<const char*> chaves;
    int tamanhoRegistro;
    bool aposRecibo;
    std::initializer_list<CampoRegistro> campos;
};

const LayoutProdutos kLayouts[] = {
    {{"0200800400"}, 18, false, {{902, 1, 13}, {906, 14, 1}, {905, 15, 3}}},
    {{"0100800200"},
     48,
     false,
     {{902, 1, 13}, {906, 14, 1}, {905, 15, 3}, {910, 18, 7}, {911, 25, 7}, {914, 32, 16}}},
    {{"0210800400"}, 20, false, {{902, 1, 13}, {906, 14, 1}, {905, 15, 3}, {919, 18, 2}}},
    {{"0110800200", "0110800500", "0200800300", "0210800300"},
     45,
     true,
     {{902, 1, 13},
      {906, 14, 1},
      {905, 15, 3},
      {910, 18, 7},
      {911, 25, 7},
      {912, 32, 7},
      {909, 39, 5},
      {919, 44, 2}}},
    {{"0110800100"},
     82,
     false,
     {{902, 1, 13},
      {903, 14, 20},
      {904, 34, 20},
      {906, 54, 1},
      {910, 55, 7},
      {911, 62, 7},
      {912, 69, 7},
      {909, 76, 5},
      {919, 81, 2}}},
};

const LayoutProdutos* layoutDaChave(QStringView chave) {
    for (const LayoutProdutos& l : kLayouts)
        for (const char* k : l.chaves)
            if (chave == QLatin1String(k)) return &l;
    return nullptr;
}

}  // namespace

QString textField(QStringView resposta, QStringView tag, bool* malformado) {
    if (malformado) *malformado = false;
    const qsizetype p = resposta.indexOf(tag);
    if (p < 0) return {};
    const qsizetype q = resposta.indexOf(QLatin1Char(';'), p);
    if (q < 0 || q - p - 8 < 0) {
        if (malformado) *malformado = true;
        return {};
    }
    return resposta.mid(p + 8, q - p - 8).toString();
}

QString answerWithoutFrame(const QString& buffer) {
    qsizetype inicio = 0;
    qsizetype fim = buffer.size();
    while (inicio < fim && buffer[inicio] == QLatin1Char(' ')) ++inicio;
    while (fim > inicio && buffer[fim - 1] == QLatin1Char(' ')) --fim;
    return buffer.mid(inicio, fim - inicio).mid(4);
}

QString isoField(QStringView resposta, QStringView tag, int& receiptLines) {
    return isoField(resposta, tag, receiptLines, DescricaoIso::padrao());
}

QString isoField(QStringView resposta, QStringView tag, int& receiptLines, const DescricaoIso& d) {
    const MensagemIsoLida msg(resposta, true, d);
    const int elemento = d.elementoDoCampo(tag);
    const QString valor = msg.elemento(elemento);

    const QString elemento60 = msg.elemento(60);
    if (elemento60 == QLatin1String(kErroFormatacao)) return {};

    const int campo = tag.size() >= 3 ? valorNumerico(tag.left(3)) : -1;
    const int n = valorNumerico(tag.mid(std::min<qsizetype>(4, tag.size()), 3));

    switch (elemento) {
        case 63: {
            const QString chave = resposta.left(4).toString() + resposta.mid(20, 6).toString();
            const LayoutProdutos* layout = layoutDaChave(chave);
            if (!layout) return valor;
            for (const CampoRegistro& c : layout->campos) {
                if (c.campo != campo) continue;
                long long posicao = static_cast<long long>(n) * layout->tamanhoRegistro + c.posicao;
                if (layout->aposRecibo)
                    posicao += static_cast<long long>(receiptLines) * kTamanhoLinhaReciboProdutos;
                return trecho(valor, posicao, c.tamanho);
            }
            return valor;
        }
        case 61:
            return trecho(valor, static_cast<long long>(n) * kTamanhoLinhaRecibo + 1,
                          kTamanhoLinhaRecibo);
        case 60:
            if (campo == 900) return trecho(valor, 1, 1);
            if (campo == 901) return trecho(valor, 2, 2);
            if (campo == 28) {
                const QString linhas = trecho(valor, 4, 2);
                receiptLines = valorNumerico(linhas);
                return linhas;
            }
            return valor;
        default:
            return valor;
    }
}

QString GetCampo(Context& ctx, const QString& tag) {
    if (ctx.config.bMsgIso)
        return isoField(answerWithoutFrame(ctx.bufferMensagem), tag, ctx.qtdLinhasRecibo,
                        ctx.mensagem.descricaoIso());
    bool malformado = false;
    const QString valor = textField(ctx.bufferMensagem, tag, &malformado);
    if (malformado)
        MostraErro(ctx, QStringLiteral("GetCampo"),
                   TextoErro(5, QStringLiteral("Invalid procedure call or argument")));
    return valor;
}

}  // namespace ql
