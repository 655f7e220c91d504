#include "data/data_files.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include "data/checksum.h"
#include "shell/context.h"
#include "shell/error_routine.h"
#include "shell/text_files.h"

namespace ql {

QString LocalizaArquivoDados(const Context& ctx, const QString& padrao) {
    return ProcuraArquivo(ctx.config.PathServer, padrao);
}

QStringList LocalizaArquivosDados(const Context& ctx, const QString& padrao) {
    const QDir pasta(nativePath(ctx.config.PathServer));
    const QRegularExpression re(QRegularExpression::wildcardToRegularExpression(padrao),
                                QRegularExpression::CaseInsensitiveOption);
    QStringList caminhos;
    for (const QString& nome : pasta.entryList(QDir::Files | QDir::Hidden, QDir::Name)) {
        if (re.match(nome).hasMatch()) caminhos.append(pasta.filePath(nome));
    }
    return caminhos;
}

bool ArquivoGrandeDemais(const QString& caminho) {
    return QFileInfo(nativePath(caminho)).size() > kMaxBytesArquivoDados;
}

std::optional<QByteArray> LeArquivoVerificado(Context& ctx, const QString& caminho) {
    if (ArquivoGrandeDemais(caminho)) return std::nullopt;
    QString checksum;
    if (!Valida_Check_Sum_Arquivo(ctx, caminho, checksum)) return std::nullopt;
    return readWholeFile(caminho);
}

QString GravaArquivoComChecksum(const QString& pasta, const QString& prefixo,
                                const QStringList& linhas, QString* erro) {
    bool completo = true;
    const QString checksum = ChecksumDeLinhas(linhas, &completo);
    if (!completo) {
        if (erro) *erro = QStringLiteral("conteúdo grande demais para o checksum");
        return QString();
    }
    QByteArray bytes;
    for (const QString& linha : linhas) bytes += toCp1252(linha) + "\r\n";
    const QString caminho = joinPath(pasta, prefixo + checksum);
    if (!writeFileAtomically(caminho, bytes, erro)) return QString();
    return caminho;
}

QString PastaDados(const Context& ctx) {
    return ctx.config.PathServer;
}

QString ErroIndiceInvalido() {
    return TextoErro(9);
}
QString ErroLeituraAposFim() {
    return TextoErro(62);
}
QString ErroEstouro() {
    return TextoErro(6);
}
QString ErroAcessoArquivo(const QString& caminho) {
    return TextoErroDetalhado(75, caminho);
}

}  // namespace ql
