#include "pinpad/abecs_comandos.h"

#include <algorithm>

namespace ql::abecs {

namespace {

constexpr int kMaxBloco = 999;

QByteArray tresDigitos(qsizetype n) {
    return QByteArray::number(qlonglong(n)).rightJustified(3, '0');
}

std::optional<int> leTresDigitos(const QByteArray& dados, qsizetype pos) {
    if (pos + 3 > dados.size()) return std::nullopt;
    int n = 0;
    for (qsizetype i = pos; i < pos + 3; ++i) {
        const char c = dados[i];
        if (c < '0' || c > '9') return std::nullopt;
        n = n * 10 + (c - '0');
    }
    return n;
}

// Display text: Latin-1 letters, 32 columns of two 16-character lines for the classic ones.
QByteArray linha16(const QString& texto) {
    return texto.left(16).leftJustified(16, u' ').toLatin1();
}

QString texto(const QByteArray& bytes) {
    return QString::fromLatin1(bytes).trimmed();
}

}  // namespace

QByteArray comandoSemDados(const char* nome) {
    return QByteArray(nome);
}

QByteArray comando(const char* nome, const QByteArray& bloco) {
    return QByteArray(nome) + tresDigitos(bloco.size()) + bloco;
}

QByteArray codificaCampos(const QList<CampoTlv>& campos) {
    QByteArray saida;
    for (const CampoTlv& c : campos) {
        saida.append(char(c.id >> 8)).append(char(c.id & 0xFF));
        saida.append(char(c.valor.size() >> 8)).append(char(c.valor.size() & 0xFF));
        saida.append(c.valor);
    }
    return saida;
}

QByteArray comandoCampos(const char* nome, const QList<CampoTlv>& campos) {
    QByteArray saida(nome);
    QByteArray bloco;
    for (const CampoTlv& c : campos) {
        const QByteArray um = codificaCampos({c});
        if (!bloco.isEmpty() && bloco.size() + um.size() > kMaxBloco) {
            saida += tresDigitos(bloco.size()) + bloco;
            bloco.clear();
        }
        bloco += um;
    }
    if (!bloco.isEmpty()) saida += tresDigitos(bloco.size()) + bloco;
    return saida;
}

QByteArray comandoGix() {
    QByteArray lista;
    for (std::uint16_t id : {PpSerNum, PpModel, PpMnName, PpSpecVer}) {
        lista.append(char(id >> 8)).append(char(id & 0xFF));
    }
    return comandoCampos("GIX", {{SpeIdList, lista}});
}

QByteArray comandoDex(const QString& mensagem) {
    const QByteArray msg = mensagem.left(160).toLatin1();
    return comando("DEX", tresDigitos(msg.size()) + msg);
}

QByteArray comandoCex(int esperaSegundos) {
    // Keys and magnetic stripe; no chip, no contactless.
    return comandoCampos("CEX",
                         {{SpeCexOpt, QByteArrayLiteral("110000")},
                          {SpeTimeout, QByteArray(1, char(std::clamp(esperaSegundos, 1, 255)))}});
}

QByteArray comandoGtk() {
    return comandoCampos("GTK", {{SpeTracks, QByteArrayLiteral("0110")}});
}

QByteArray comandoClo(const QString& linha1, const QString& linha2) {
    return comando("CLO", linha16(linha1) + linha16(linha2));
}

std::optional<QList<CampoTlv>> leCampos(const QByteArray& bloco) {
    QList<CampoTlv> campos;
    qsizetype pos = 0;
    while (pos < bloco.size()) {
        if (pos + 4 > bloco.size()) return std::nullopt;
        const auto u = [&](qsizetype i) { return std::uint16_t(std::uint8_t(bloco[i])); };
        CampoTlv c;
        c.id = std::uint16_t(u(pos) << 8 | u(pos + 1));
        const qsizetype tamanho = u(pos + 2) << 8 | u(pos + 3);
        pos += 4;
        if (pos + tamanho > bloco.size()) return std::nullopt;
        c.valor = bloco.mid(pos, tamanho);
        pos += tamanho;
        campos.append(std::move(c));
    }
    return campos;
}

std::optional<Resposta> leResposta(const QByteArray& dados) {
    if (dados.size() < 6) return std::nullopt;
    Resposta r;
    r.nome = dados.left(3);
    const auto status = leTresDigitos(dados, 3);
    if (!status) return std::nullopt;
    r.status = *status;
    qsizetype pos = 6;
    bool todosCampos = true;
    while (pos < dados.size()) {
        const auto tamanho = leTresDigitos(dados, pos);
        if (!tamanho || pos + 3 + *tamanho > dados.size()) return std::nullopt;
        const QByteArray bloco = dados.mid(pos + 3, *tamanho);
        pos += 3 + *tamanho;
        r.blocos.append(bloco);
        if (todosCampos) {
            if (auto campos = leCampos(bloco)) {
                r.campos.append(*campos);
            } else {
                todosCampos = false;
            }
        }
    }
    if (!todosCampos) r.campos.clear();
    return r;
}

QByteArray Resposta::campo(std::uint16_t id) const {
    for (const CampoTlv& c : campos) {
        if (c.id == id) return c.valor;
    }
    return {};
}

bool Resposta::tem(std::uint16_t id) const {
    for (const CampoTlv& c : campos) {
        if (c.id == id) return true;
    }
    return false;
}

QString decodificaTrilha2(const QByteArray& bytes) {
    static constexpr char kSimbolos[] = "0123456789:;<=>?";
    QString trilha;
    for (char b : bytes) {
        for (int nibble : {(std::uint8_t(b) >> 4) & 0xF, std::uint8_t(b) & 0xF}) {
            if (nibble == 0xF) return trilha;
            trilha.append(QLatin1Char(kSimbolos[nibble]));
        }
    }
    return trilha;
}

QByteArray codificaTrilha2(const QString& trilha) {
    QByteArray nibbles;
    for (QChar c : trilha) {
        const char16_t u = c.unicode();
        nibbles.append(u >= u'0' && u <= u'?' ? char(u - u'0') : char(0xF));
    }
    if (nibbles.size() % 2) nibbles.append(char(0xF));
    QByteArray bytes;
    for (qsizetype i = 0; i < nibbles.size(); i += 2) {
        bytes.append(char(nibbles[i] << 4 | nibbles[i + 1]));
    }
    return bytes;
}

QString numeroDaTrilha2(const QString& trilha2) {
    QString t = trilha2;
    if (t.startsWith(u';')) t.remove(0, 1);
    const QString numero = t.section(u'=', 0, 0);
    for (QChar c : numero) {
        if (!c.isDigit()) return {};
    }
    return numero;
}

QString numeroDaTrilha1(const QString& trilha1) {
    QString t = trilha1;
    if (t.startsWith(u'%')) t.remove(0, 1);
    if (t.isEmpty() || !t.at(0).isLetter() || !t.contains(u'^')) return {};
    QString numero = t.mid(1).section(u'^', 0, 0);
    numero.remove(u' ');
    for (QChar c : numero) {
        if (!c.isDigit()) return {};
    }
    return numero;
}

QString InfoPinPad::descricao() const {
    return QStringLiteral("%1 %2, série %3, protocolo %4")
        .arg(fabricante, modelo, serie, versaoProtocolo);
}

InfoPinPad leInfo(const Resposta& r) {
    return InfoPinPad{texto(r.campo(PpSerNum)), texto(r.campo(PpModel)), texto(r.campo(PpMnName)),
                      texto(r.campo(PpSpecVer))};
}

}  // namespace ql::abecs
