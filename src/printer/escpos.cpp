#include "printer/escpos.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <algorithm>

namespace ql::escpos {

namespace {

bool encoderConhece(const char* nome) {
    return QStringEncoder(nome).isValid() && QStringDecoder(nome).isValid();
}

// The letter under an accent ("ã" -> "a"), or the character itself when it has none.
QChar semAcento(QChar c) {
    const QString decomposto = QString(c).normalized(QString::NormalizationForm_D);
    return decomposto.isEmpty() ? c : decomposto.at(0);
}

}  // namespace

CodePage CodePageRecibo() {
    static const CodePage pagina = [] {
        for (const CodePage& p : {kPC860, kPC850}) {
            if (encoderConhece(p.nome)) return p;
        }
        return kPC437;
    }();
    return pagina;
}

QStringList QuebraLinhas(const QStringList& linhas, int colunas) {
    colunas = std::max(colunas, 1);
    QStringList saida;
    saida.reserve(linhas.size());
    for (const QString& linha : linhas) {
        if (linha.size() <= colunas) {
            saida << linha;
            continue;
        }
        for (qsizetype i = 0; i < linha.size(); i += colunas) saida << linha.mid(i, colunas);
    }
    return saida;
}

namespace {

// Writes lines in one code page; the encoder and decoder are made once per job.
class Conversor {
  public:
    explicit Conversor(const CodePage& pagina) : codifica_(pagina.nome), decodifica_(pagina.nome) {}

    QByteArray linha(const QString& linha) {
        QString texto = linha;
        for (QChar& c : texto) {
            if (c.unicode() < 0x20 || c.unicode() == 0x7f) c = u' ';
        }
        if (!codifica_.isValid() || !decodifica_.isValid()) {
            // Without an encoder only ASCII goes out, letters without their accents.
            QByteArray ascii;
            ascii.reserve(texto.size());
            for (QChar c : texto) {
                const QChar base = semAcento(c);
                ascii += base.unicode() < 0x80 ? char(base.unicode()) : '?';
            }
            return ascii;
        }
        QByteArray bytes = codifica_.encode(texto);
        if (decodifica_.decode(bytes) == texto) return bytes;
        // Some character is not in the page: one at a time, with a stand-in for the missing.
        bytes.clear();
        for (QChar c : texto) {
            for (QChar tentativa : {c, semAcento(c), QChar(u'?')}) {
                const QByteArray b = codifica_.encode(QString(tentativa));
                if (b.size() == 1 && decodifica_.decode(b) == QString(tentativa)) {
                    bytes += b;
                    break;
                }
            }
        }
        return bytes;
    }

  private:
    QStringEncoder codifica_;
    QStringDecoder decodifica_;
};

}  // namespace

QByteArray CodificaLinha(const QString& linha, const CodePage& pagina) {
    return Conversor(pagina).linha(linha);
}

QByteArray Recibo(const QStringList& linhas, int colunas, const CodePage& pagina) {
    QByteArray dados(kInicializa);
    dados += kTabelaCaracteres;
    dados += char(pagina.numero);
    Conversor conversor(pagina);
    for (const QString& linha : QuebraLinhas(linhas, colunas)) {
        dados += conversor.linha(linha);
        dados += '\n';
    }
    dados += kAvancaLinhas;
    dados += char(kLinhasAvanco);
    dados += kAvancaECortaParcial;
    dados += kModoCorteParcialComAvanco;
    dados += '\0';
    return dados;
}

QByteArray Recibo(const QStringList& linhas, int colunas) {
    return Recibo(linhas, colunas, CodePageRecibo());
}

std::optional<bool> SemPapel(char status) {
    // Bits 1 and 4 are always on, bits 0 and 7 always off; bits 5 and 6 are the paper end
    // sensor.
    const auto b = static_cast<unsigned char>(status);
    if ((b & 0x93) != 0x12) return std::nullopt;
    return (b & 0x60) == 0x60;
}

}  // namespace ql::escpos
