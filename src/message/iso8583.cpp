#include "message/iso8583.h"

#include <algorithm>

#include "message/mensagem.h"
#include "shell/context.h"
#include "shell/text_files.h"

namespace ql {

namespace {

bool ehDigito(QChar c) {
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// Numeric value of a text made only of digits; -1 when any character is not a digit.
int digitos(QStringView s) {
    int v = 0;
    for (QChar c : s) {
        if (!ehDigito(c)) return -1;
        v = v * 10 + (c.unicode() - '0');
    }
    return v;
}

int valorHex(QChar c) {
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9') return u - '0';
    if (u >= 'A' && u <= 'F') return u - 'A' + 10;
    if (u >= 'a' && u <= 'f') return u - 'a' + 10;
    return -1;
}

const FormatoElemento kFormatoVazio{};

// Appends v in at least `largura` decimal digits, zero-filled on the left (a longer number
// is written whole).
void poeNumero(QString& saida, qsizetype v, int largura) {
    char digitos[24];
    int n = 0;
    do {
        digitos[n++] = static_cast<char>('0' + v % 10);
        v /= 10;
    } while (v > 0 && n < 24);
    for (int i = n; i < largura; ++i) saida += QLatin1Char('0');
    while (n > 0) saida += QLatin1Char(digitos[--n]);
}

qsizetype quantosDigitos(qsizetype v) {
    qsizetype n = 1;
    for (; v >= 10; v /= 10) ++n;
    return n;
}

// Characters one element takes on the wire when its value (all its fields) has `tamanho`.
qsizetype tamanhoEscrito(const FormatoElemento& f, qsizetype tamanho) {
    switch (f.tipo) {
        case FormatoElemento::Tipo::LL:
            return std::max<qsizetype>(2, quantosDigitos(tamanho)) + tamanho;
        case FormatoElemento::Tipo::LLL:
            return std::max<qsizetype>(3, quantosDigitos(tamanho)) + tamanho;
        case FormatoElemento::Tipo::Fixo:
            break;
    }
    return std::max<qsizetype>(f.tamanho, tamanho);
}

}  // namespace

DescricaoIso::DescricaoIso(const QString& tipos, const QString& mapa, const QString& tamanhos) {
    for (int n = 1; n <= 64; ++n) {
        FormatoElemento& f = formatos_[static_cast<std::size_t>(n)];
        f.letra = n - 1 < tipos.size() ? tipos[n - 1] : QChar();
        f.numerico = f.letra == QLatin1Char('N');
        f.codigo = tamanhos.mid(2 * (n - 1), 2);
        if (f.codigo == QLatin1String("2L")) {
            f.tipo = FormatoElemento::Tipo::LL;
        } else if (f.codigo == QLatin1String("3L")) {
            f.tipo = FormatoElemento::Tipo::LLL;
        } else {
            f.tipo = FormatoElemento::Tipo::Fixo;
            f.tamanho = f.codigo.size() == 2 ? std::max(0, digitos(f.codigo)) : 0;
        }
    }
    // Entries are searched in order, so the first entry of a field number wins.
    for (qsizetype i = 0; i + 6 <= mapa.size(); i += 6) {
        const int campo = digitos(QStringView(mapa).mid(i, 3));
        const int elemento = digitos(QStringView(mapa).mid(i + 3, 3));
        if (campo < 0 || elemento < 0) continue;
        int& destino = mapa_[static_cast<std::size_t>(campo)];
        if (destino == 0) destino = elemento;
    }
}

const DescricaoIso& DescricaoIso::padrao() {
    static const DescricaoIso tabela{QLatin1String(kTiposElementosIso),
                                     QLatin1String(kMapaCamposIso),
                                     QLatin1String(kTamanhosElementosIso)};
    return tabela;
}

int DescricaoIso::elementoDoCampo(QStringView tag) const {
    if (tag.size() < 3) return 0;
    const int campo = digitos(tag.left(3));
    return campo < 0 ? 0 : mapa_[static_cast<std::size_t>(campo)];
}

const FormatoElemento& DescricaoIso::formato(int n) const {
    if (n < 1 || n > 64) return kFormatoVazio;
    return formatos_[static_cast<std::size_t>(n)];
}

int BitIsoDoCampo(const QString& tag, const DescricaoIso& d) {
    return d.elementoDoCampo(tag);
}

QString TamanhoBitIso(int n, const DescricaoIso& d) {
    return n >= 1 && n <= 64 ? d.formato(n).codigo : QString();
}

QString TipoBitIso(int n, const DescricaoIso& d) {
    return n >= 1 && n <= 64 && !d.formato(n).letra.isNull() ? QString(d.formato(n).letra)
                                                             : QString();
}

// Writes one element as its length code says: fixed numeric padded on the left with "0",
// fixed alphanumeric on the right with blanks (a longer value goes whole), "2L"/"3L" prefixed
// by the value's length in two or three digits. The value is every field of the element, in
// the order they were added, written straight into the one output buffer.
QString writeIso(const Mensagem& msg, bool hex) {
    const DescricaoIso& d = msg.descricaoIso();
    const int n = msg.nosEscritos();

    // An element is present when any field after the message type maps to it.
    std::bitset<65> marcados;
    std::vector<int> elementos(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
        elementos[static_cast<std::size_t>(i)] = d.elementoDoCampo(msg.no(i).chaveKY9);
        if (i > 0 && elementos[static_cast<std::size_t>(i)] > 0)
            marcados.set(static_cast<std::size_t>(elementos[static_cast<std::size_t>(i)]));
    }
    // The fields of each present element chained in the order they were added, and the
    // element's total length.
    std::array<int, 65> primeiro;
    std::array<int, 65> ultimo;
    primeiro.fill(-1);
    ultimo.fill(-1);
    std::array<qsizetype, 65> tamanhos{};
    std::vector<int> seguinte(static_cast<std::size_t>(n), -1);
    for (int i = 0; i < n; ++i) {
        const auto e = static_cast<std::size_t>(elementos[static_cast<std::size_t>(i)]);
        if (e == 0 || !marcados.test(e)) continue;
        if (ultimo[e] < 0)
            primeiro[e] = i;
        else
            seguinte[static_cast<std::size_t>(ultimo[e])] = i;
        ultimo[e] = i;
        tamanhos[e] += msg.no(i).conteudo.size();
    }

    qsizetype total = msg.no(0).conteudo.size() + 16;
    for (std::size_t e = 1; e <= 64; ++e)
        if (marcados.test(e)) total += tamanhoEscrito(d.formato(int(e)), tamanhos[e]);
    QString saida;
    saida.reserve(total);

    saida += msg.no(0).conteudo;
    for (int grupo = 0; grupo < 16; ++grupo) {
        int nibble = 0;
        for (int b = 0; b < 4; ++b)
            if (marcados.test(static_cast<std::size_t>(grupo * 4 + b + 1))) nibble |= 8 >> b;
        saida += hex ? QChar(QLatin1Char("0123456789ABCDEF"[nibble])) : QChar(nibble);
    }
    for (std::size_t e = 1; e <= 64; ++e) {
        if (!marcados.test(e)) continue;
        const FormatoElemento& f = d.formato(int(e));
        const qsizetype tamanho = tamanhos[e];
        const bool completa = f.tipo == FormatoElemento::Tipo::Fixo && tamanho < f.tamanho;
        if (f.tipo == FormatoElemento::Tipo::LL) poeNumero(saida, tamanho, 2);
        if (f.tipo == FormatoElemento::Tipo::LLL) poeNumero(saida, tamanho, 3);
        if (completa && f.numerico)
            for (qsizetype k = tamanho; k < f.tamanho; ++k) saida += QLatin1Char('0');
        for (int i = primeiro[e]; i >= 0; i = seguinte[static_cast<std::size_t>(i)])
            saida += msg.no(i).conteudo;
        if (completa && !f.numerico)
            for (qsizetype k = tamanho; k < f.tamanho; ++k) saida += QLatin1Char(' ');
    }
    return saida;
}

MensagemIsoLida::MensagemIsoLida(QString texto, bool hex, const DescricaoIso& d)
    : texto_(std::move(texto)) {
    tipo_ = texto_.left(4);
    qsizetype pos = 0;
    if (hex) {
        const QStringView mapa = QStringView(texto_).mid(4, 16);
        if (mapa.size() < 16) integra_ = false;
        for (qsizetype i = 0; i < mapa.size(); ++i) {
            const int v = valorHex(mapa[i]);
            if (v < 0) {
                // A bitmap that is not hexadecimal says nothing reliable about any element.
                integra_ = false;
                bits_.reset();
                return;
            }
            for (int b = 0; b < 4; ++b)
                if (v & (8 >> b)) bits_.set(static_cast<std::size_t>(i * 4 + b + 1));
        }
        pos = 20;
    } else {
        // The bitmap bytes as they came off the wire.
        const QByteArray mapa = toCp1252(texto_.mid(4, 8));
        if (mapa.size() < 8) integra_ = false;
        for (qsizetype i = 0; i < mapa.size(); ++i) {
            const int v = static_cast<unsigned char>(mapa[i]);
            for (int b = 0; b < 8; ++b)
                if (v & (0x80 >> b)) bits_.set(static_cast<std::size_t>(i * 8 + b + 1));
        }
        pos = 12;
    }

    const qsizetype fim = texto_.size();
    for (int e = 1; e <= 64; ++e) {
        if (!bits_.test(static_cast<std::size_t>(e))) continue;
        const FormatoElemento& f = d.formato(e);
        qsizetype tamanho = f.tamanho;
        if (f.tipo != FormatoElemento::Tipo::Fixo) {
            const int largura = f.tipo == FormatoElemento::Tipo::LL ? 2 : 3;
            const QStringView prefixo = QStringView(texto_).mid(std::min(pos, fim), largura);
            const int lido = digitos(prefixo);
            if (prefixo.size() < largura || lido < 0) {
                // Cut short or not numeric: this element and the ones after it cannot be
                // located and read as "".
                integra_ = false;
                return;
            }
            pos += largura;
            tamanho = lido;
        }
        const qsizetype inicio = std::min(pos, fim);
        const qsizetype disponivel = std::min<qsizetype>(tamanho, fim - inicio);
        if (disponivel < tamanho) integra_ = false;
        trechos_[static_cast<std::size_t>(e)] = {inicio, disponivel, true};
        pos += tamanho;
    }
}

QString MensagemIsoLida::elemento(int n) const {
    if (n < 0 || n > 64) return QString::fromUtf16(kTamanhoInvalido);
    return vista(n).toString();
}

QStringView MensagemIsoLida::vista(int n) const {
    if (!presente(n)) return {};
    const Trecho& t = trechos_[static_cast<std::size_t>(n)];
    if (!t.legivel) return {};
    return QStringView(texto_).mid(t.inicio, t.tamanho);
}

std::vector<int> MensagemIsoLida::presentes() const {
    std::vector<int> lista;
    for (int e = 1; e <= 64; ++e)
        if (bits_.test(static_cast<std::size_t>(e))) lista.push_back(e);
    return lista;
}

QString ExtraiBitIso(int n, QStringView texto, bool hex, const DescricaoIso& d) {
    if (n < 0 || n > 64) return QString::fromUtf16(kTamanhoInvalido);
    return MensagemIsoLida(texto, hex, d).elemento(n);
}

// Element 63 always travels whole: an older writer shortened it by two characters after a failed
// sale page followed by another failed exchange, which cut the first product code on the wire and
// shifted every record the host reads.
QString MontaMensagemIso(Context& ctx, bool hex) {
    return writeIso(ctx.mensagem, hex);
}

}  // namespace ql
