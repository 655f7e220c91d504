#include "data/checksum.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <limits>

#include "shell/context.h"
#include "shell/error_routine.h"
#include "shell/text_files.h"

namespace ql {

void CriptografiaSenha(Context& ctx, QString& texto, const QString& modo) {
    const bool scramble = modo == QLatin1String("C");
    const bool unscramble = modo == QLatin1String("D");
    if (!scramble && !unscramble) return;
    const QByteArray in = toCp1252(texto);
    QByteArray out(in.size(), '\0');
    for (qsizetype i = 0; i < in.size(); ++i) {
        const int c = static_cast<unsigned char>(in[i]);
        int r;
        if (scramble)
            r = c > 100 ? c - 100 : c + 155;
        else
            r = c > 100 ? c - 155 : c + 100;
        if (r < 0 || r > 255) {
            MostraErro(ctx, QStringLiteral("CriptografiaSenha"), TextoErro(5));
            return;
        }
        out[i] = static_cast<char>(r);
    }
    texto = fromCp1252(out);
}

QString GeraCriptografia(Context& ctx, const QString& texto, const QString& modo, qint16 chave) {
    if (chave == 0) return texto;
    // A keyed scrambling is applied as the plain shift repeated `chave` times; the store's
    // files are written with key 0 and never take this path.
    QString r = texto;
    for (int i = 0; i < chave; ++i) CriptografiaSenha(ctx, r, modo);
    return r;
}

bool AcumulaCheckSum(QByteArrayView linha, qint32& soma, qint32& posicao) {
    for (const char ch : linha) {
        const qint64 a = static_cast<unsigned char>(ch);
        const qint64 next = qint64(soma) + a * (posicao % 255);
        if (next > std::numeric_limits<qint32>::max() || next < std::numeric_limits<qint32>::min())
            return false;
        soma = static_cast<qint32>(next);
        if (posicao == std::numeric_limits<qint32>::max()) return false;
        ++posicao;
    }
    return true;
}

bool AcumulaCheckSumDoArquivo(QByteArrayView bytes, qint32& soma, qint32& posicao) {
    const qsizetype n = bytes.size();
    qsizetype inicio = 0;
    for (qsizetype i = 0; i < n; ++i) {
        if (bytes[i] != '\r') continue;
        if (!AcumulaCheckSum(bytes.sliced(inicio, i - inicio), soma, posicao)) return false;
        if (i + 1 < n && bytes[i + 1] == '\n') ++i;
        inicio = i + 1;
    }
    return AcumulaCheckSum(bytes.sliced(inicio), soma, posicao);
}

bool AcumulaCheckSum(const QString& linha, qint32& soma, qint32& posicao) {
    return AcumulaCheckSum(QByteArrayView(toCp1252(linha)), soma, posicao);
}

QString TextoChecksum(qint32 soma) {
    // The sum never goes negative (codes and weights are not), so mod 255 is 0..254.
    const int v = int(((soma % 255) + 255) % 255);
    return QStringLiteral("%1").arg(v, 2, 16, QLatin1Char('0')).toUpper();
}

QString ChecksumDeLinhas(const QStringList& linhas, bool* completo) {
    qint32 soma = 0, posicao = 1;
    bool ok = true;
    for (const QString& l : linhas) {
        if (!AcumulaCheckSum(l, soma, posicao)) {
            ok = false;
            break;
        }
    }
    if (completo) *completo = ok;
    return TextoChecksum(soma);
}

QList<QByteArray> LinhasDoArquivo(const QByteArray& bytes) {
    QList<QByteArray> linhas;
    qsizetype start = 0;
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i < n; ++i) {
        if (bytes[i] != '\r') continue;
        linhas.append(bytes.mid(start, i - start));
        if (i + 1 < n && bytes[i + 1] == '\n') ++i;
        start = i + 1;
    }
    if (start < n) linhas.append(bytes.mid(start));
    return linhas;
}

bool Valida_Check_Sum_Arquivo(Context& ctx, const QString& arquivo, QString& checksum) {
    const QString caminho = nativePath(arquivo);
    if (!QFileInfo(caminho).isFile()) {
        MostraErro(ctx, QStringLiteral("Valida_Check_Sum_Arquivo"),
                   QStringLiteral("Arquivo ") + arquivo.trimmed() +
                       QStringLiteral(" não foi encontrado."));
        return false;
    }
    const auto bytes = readWholeFile(caminho);
    if (!bytes) return false;
    qint32 soma = 0, posicao = 1;
    AcumulaCheckSumDoArquivo(*bytes, soma, posicao);  // an overflow leaves the partial sum
    const QString calculado = TextoChecksum(soma);
    if (caminho.size() < 2 || calculado != caminho.right(2)) return false;
    checksum = calculado;
    return true;
}

bool SobreEscreveArquivo(Context& ctx, QString& arquivo, const QString& conteudo) {
    const QString antigo = nativePath(arquivo);
    const QString novo = antigo.left(antigo.size() - 2) + ChecksumDeLinhas({conteudo});
    QString erro;
    if (!writeFileAtomically(novo, toCp1252(conteudo) + "\r\n", &erro)) {
        MostraErro(ctx, QStringLiteral("SobreEscreveArquivo"), TextoErroDetalhado(75, erro));
        return false;
    }
    if (antigo != novo && QFileInfo::exists(antigo) && !QFile::remove(antigo)) {
        // Two valid files would leave the next search ambiguous: take the new one back.
        QFile::remove(novo);
        MostraErro(ctx, QStringLiteral("SobreEscreveArquivo"), TextoErroDetalhado(75, antigo));
        return false;
    }
    arquivo = novo;
    return true;
}

QString ProcuraArquivo(const QString& dir, const QString& padrao) {
    QString p = nativePath(padrao);
    while (p.startsWith(QLatin1Char('/'))) p.remove(0, 1);
    QDir d(nativePath(dir));
    const QRegularExpression re(QRegularExpression::wildcardToRegularExpression(p),
                                QRegularExpression::CaseInsensitiveOption);
    QStringList nomes = d.entryList(QDir::Files | QDir::Hidden, QDir::Name);
    for (const QString& nome : nomes) {
        if (re.match(nome).hasMatch()) return d.filePath(nome);
    }
    return QString();
}

}  // namespace ql
