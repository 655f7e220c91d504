#include "message/campo_resposta.h"

#include <QHash>

#include <initializer_list>
#include <memory>
#include <optional>
#include <vector>

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
QString trecho(QStringView s, long long posicao, int tamanho) {
    if (posicao < 1 || posicao > s.size()) return {};
    return s.mid(static_cast<qsizetype>(posicao - 1), tamanho).toString();
}

// Value of a text-form field whose tag starts at p (-1: absent): from 8 characters after it to
// just before the first ";" at or after it. No such ";" (or one inside the tag) sets
// *malformado and gives "".
QString campoTextoEm(QStringView resposta, qsizetype p, bool* malformado) {
    if (malformado) *malformado = false;
    if (p < 0) return {};
    const qsizetype q = resposta.indexOf(QLatin1Char(';'), p);
    if (q < 0 || q - p - 8 < 0) {
        if (malformado) *malformado = true;
        return {};
    }
    return resposta.mid(p + 8, q - p - 8).toString();
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

// Width of an amount or a quantity of the product records (905 quantity, 909 discount, 910 to
// 912 prices), as the product layouts give it; 0 for any other tag.
int larguraNumerica(QStringView tag) {
    if (tag.size() != 7 || tag[3] != QLatin1Char('-')) return 0;
    const int campo = valorNumerico(tag.left(3));
    if (campo != 905 && (campo < 909 || campo > 912)) return 0;
    for (const LayoutProdutos& l : kLayouts)
        for (const CampoRegistro& c : l.campos)
            if (c.campo == campo) return c.tamanho;
    return 0;
}

// The text form gives a field no width of its own: an amount or a quantity wider than the ISO
// layout's is malformed, as a field without its ";" is, and reads as "" (the sums over them
// then stay far from any overflow).
QString dentroDaLargura(QStringView tag, QString valor, bool* malformado) {
    const int largura = larguraNumerica(tag);
    if (largura == 0 || valor.trimmed().size() <= largura) return valor;
    if (malformado) *malformado = true;
    return {};
}

}  // namespace

QString textField(QStringView resposta, QStringView tag, bool* malformado) {
    return dentroDaLargura(tag, campoTextoEm(resposta, resposta.indexOf(tag), malformado),
                           malformado);
}

QString answerWithoutFrame(const QString& buffer) {
    qsizetype inicio = 0;
    qsizetype fim = buffer.size();
    while (inicio < fim && buffer[inicio] == QLatin1Char(' ')) ++inicio;
    while (fim > inicio && buffer[fim - 1] == QLatin1Char(' ')) --fim;
    return buffer.mid(inicio, fim - inicio).mid(4);
}

// An ISO answer read once: its elements located, the formatting-error mark and the product
// layout of its key looked up, so that each field is a cut of an element.
class RespostaIso {
  public:
    RespostaIso(QString resposta, const DescricaoIso& d)
        : d_(d), msg_(std::move(resposta), true, d), layout_(layoutDaChave(msg_.texto())) {
        erroFormatacao_ = msg_.vista(60) == QLatin1String(kErroFormatacao);
    }

    QString campo(QStringView tag, int& receiptLines) const {
        if (erroFormatacao_) return {};
        const int elemento = d_.elementoDoCampo(tag);
        if (elemento < 0 || elemento > 64) return QString::fromUtf16(kTamanhoInvalido);
        const QStringView valor = msg_.vista(elemento);

        const int campo = tag.size() >= 3 ? valorNumerico(tag.left(3)) : -1;
        const int n = valorNumerico(tag.mid(std::min<qsizetype>(4, tag.size()), 3));
        switch (elemento) {
            case 63:
                if (!layout_) break;
                for (const CampoRegistro& c : layout_->campos) {
                    if (c.campo != campo) continue;
                    long long posicao =
                        static_cast<long long>(n) * layout_->tamanhoRegistro + c.posicao;
                    if (layout_->aposRecibo)
                        posicao +=
                            static_cast<long long>(receiptLines) * kTamanhoLinhaReciboProdutos;
                    return trecho(valor, posicao, c.tamanho);
                }
                break;
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
                break;
            default:
                break;
        }
        return valor.toString();
    }

  private:
    // The layout is chosen by message type + processing code (characters 21 to 26, element 3).
    static const LayoutProdutos* layoutDaChave(QStringView resposta) {
        const QStringView tipo = resposta.left(4);
        const QStringView processamento = resposta.mid(std::min<qsizetype>(20, resposta.size()), 6);
        for (const LayoutProdutos& l : kLayouts)
            for (const char* k : l.chaves)
                if (tipo.size() + processamento.size() == 10 && tipo == QLatin1String(k, 4) &&
                    processamento == QLatin1String(k + 4, 6))
                    return &l;
        return nullptr;
    }

    const DescricaoIso& d_;
    MensagemIsoLida msg_;
    const LayoutProdutos* layout_;
    bool erroFormatacao_ = false;
};

// A text answer read once: where each tag-shaped piece "FFF-SSS" first occurs. Every
// occurrence of such a tag has its "-" four characters in, so the first occurrence of any
// tag is found among the pieces that start three characters before a "-", wherever they are
// (a field's start, inside a value or across pieces), and the rule "the first occurrence
// wins" holds as for a search of the whole text. Tags of another shape are searched for.
class RespostaTexto {
  public:
    explicit RespostaTexto(const QString& texto) : texto_(texto) {
        const QStringView v(texto_);
        for (qsizetype d = 3; d + 4 <= v.size(); ++d) {
            if (v[d] != QLatin1Char('-')) continue;
            const qsizetype p = d - 3;
            const int chave = chaveNumerica(v.mid(p, 7));
            if (chave < 0)
                outras_.push_back(p);
            else if (!numericas_.contains(chave))
                numericas_.insert(chave, p);
        }
    }

    QString campo(QStringView tag, bool* malformado) const {
        const QStringView v(texto_);
        if (tag.size() != 7 || tag[3] != QLatin1Char('-')) return textField(v, tag, malformado);
        qsizetype p = -1;
        const int chave = chaveNumerica(tag);
        if (chave >= 0) {
            p = numericas_.value(chave, -1);
        } else {
            for (qsizetype q : outras_)
                if (v.mid(q, 7) == tag) {
                    p = q;
                    break;
                }
        }
        return dentroDaLargura(tag, campoTextoEm(v, p, malformado), malformado);
    }

  private:
    // "FFF-SSS" of digits as the number FFFSSS; -1 for any other text.
    static int chaveNumerica(QStringView t) {
        int v = 0;
        for (qsizetype i = 0; i < 7; ++i) {
            if (i == 3) continue;
            const char16_t c = t[i].unicode();
            if (c < u'0' || c > u'9') return -1;
            v = v * 10 + (c - u'0');
        }
        return v;
    }

    QString texto_;
    QHash<int, qsizetype> numericas_;
    std::vector<qsizetype> outras_;
};

// What GetCampo keeps of the answer it read last. The buffer copy shares the buffer's text,
// so any change to ctx.bufferMensagem gives it text of its own and the index is rebuilt.
class RespostaLida {
  public:
    RespostaLida(const QString& buffer, bool iso, std::shared_ptr<const DescricaoIso> d)
        : buffer_(buffer), formaIso_(iso), descricao_(std::move(d)) {
        if (formaIso_)
            lidaIso_.emplace(answerWithoutFrame(buffer_), *descricao_);
        else
            lidaTexto_.emplace(buffer_);
    }

    bool serve(const QString& buffer, bool iso, const DescricaoIso& d) const {
        return iso == formaIso_ && &d == descricao_.get() && buffer.isSharedWith(buffer_) &&
               buffer.size() == buffer_.size();
    }
    QString iso(QStringView tag, int& receiptLines) const {
        return lidaIso_->campo(tag, receiptLines);
    }
    QString texto(QStringView tag, bool* malformado) const {
        return lidaTexto_->campo(tag, malformado);
    }

  private:
    QString buffer_;
    bool formaIso_;
    std::shared_ptr<const DescricaoIso> descricao_;
    std::optional<RespostaIso> lidaIso_;
    std::optional<RespostaTexto> lidaTexto_;
};

QString isoField(QStringView resposta, QStringView tag, int& receiptLines) {
    return isoField(resposta, tag, receiptLines, DescricaoIso::padrao());
}

QString isoField(QStringView resposta, QStringView tag, int& receiptLines, const DescricaoIso& d) {
    return RespostaIso(resposta.toString(), d).campo(tag, receiptLines);
}

QString GetCampo(Context& ctx, const QString& tag) {
    const bool iso = ctx.config.bMsgIso;
    const std::shared_ptr<const DescricaoIso>& d = ctx.mensagem.descricaoIsoCompartilhada();
    if (!ctx.respostaLida || !ctx.respostaLida->serve(ctx.bufferMensagem, iso, *d))
        ctx.respostaLida = std::make_shared<RespostaLida>(ctx.bufferMensagem, iso, d);
    if (iso) return ctx.respostaLida->iso(tag, ctx.qtdLinhasRecibo);
    bool malformado = false;
    const QString valor = ctx.respostaLida->texto(tag, &malformado);
    if (malformado) MostraErro(ctx, QStringLiteral("GetCampo"), TextoErro(5));
    return valor;
}

}  // namespace ql
