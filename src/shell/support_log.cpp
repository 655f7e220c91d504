#include "shell/support_log.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include "shell/context.h"
#include "shell/ini_access.h"
#include "shell/text_files.h"

namespace ql {

namespace {

const QString kFormatoDia = QStringLiteral("yyyy-MM-dd");
const QString kExtensao = QStringLiteral(".log");

QString mascaraNumero(QStringView numero) {
    return numero.left(6).toString() + QString(numero.size() - 10, QLatin1Char('*')) +
           numero.right(4).toString();
}

QString arquivosDeConfiguracao(const Context& ctx) {
    return QStringLiteral("%1=%2 %3=%4 CORE.ini(Path Server)=%5 CORE.ini(Path CORE)=%6")
        .arg(QLatin1String(kWinQlnCoreIni), CaminhoArquivoIni(ctx, QLatin1String(kWinQlnCoreIni)),
             QLatin1String(kQlnClientIni), CaminhoQlnClientIni(ctx), CaminhoCoreIniServer(ctx),
             CaminhoCoreIniCore(ctx));
}

}  // namespace

QString DiretorioLog(const Context& ctx) {
    if (ctx.config.PathCORE.trimmed().isEmpty()) return {};
    return joinPath(nativePath(ctx.config.PathCORE.trimmed()), QStringLiteral("log"));
}

QString MascaraDadosCartao(const QString& texto) {
    // A card number, and after it what a track carries: separator, expiry, service code,
    // discretionary data (track 2 "=", track 1 "^").
    static const QRegularExpression numero(QStringLiteral("\\d{13,}([=^][^\\s;|]*)?"));
    QString saida;
    qsizetype desde = 0;
    for (auto it = numero.globalMatch(texto); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        saida += QStringView(texto).mid(desde, m.capturedStart() - desde);
        const QStringView digitos = QStringView(texto).mid(
            m.capturedStart(), m.capturedLength() - qMax<qsizetype>(0, m.capturedLength(1)));
        saida += mascaraNumero(digitos);
        if (m.capturedLength(1) > 0) saida += QStringLiteral("=<trilha omitida>");
        desde = m.capturedEnd();
    }
    saida += QStringView(texto).mid(desde);
    return saida;
}

void RegistraLog(const Context& ctx, const QString& texto) {
    const QString dir = DiretorioLog(ctx);
    if (dir.isEmpty() || !makePrivateDir(dir)) return;
    const QDateTime agora = ctx.relogio.now();
    QFile arquivo(joinPath(dir, agora.date().toString(kFormatoDia) + kExtensao));
    if (!arquivo.open(QIODevice::WriteOnly | QIODevice::Append)) return;
    // The day's file is the program's own, also when an earlier version left it readable.
    arquivo.setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    QString linha = MascaraDadosCartao(texto);
    linha.replace(QLatin1Char('\n'), QLatin1String(" / "));
    linha.remove(QLatin1Char('\r'));
    const QString completa =
        agora.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz")) + QStringLiteral(" ") + linha;
    arquivo.write(completa.toUtf8() + '\n');
    arquivo.flush();
}

void RegistraInicioPrograma(const Context& ctx, const QString& versao) {
    RegistraLog(ctx, QStringLiteral("início do programa, versão %1; %2")
                         .arg(versao, arquivosDeConfiguracao(ctx)));
    const QString dir = DiretorioLog(ctx);
    if (dir.isEmpty()) return;
    const QDate limite = ctx.relogio.now().date().addDays(-kDiasLog);
    const QStringList nomes =
        QDir(dir).entryList({QStringLiteral("*") + kExtensao}, QDir::Files, QDir::Name);
    for (const QString& nome : nomes) {
        const QDate dia = QDate::fromString(nome.chopped(kExtensao.size()), kFormatoDia);
        if (dia.isValid() && dia < limite) QFile::remove(joinPath(dir, nome));
    }
}

void RegistraFimPrograma(const Context& ctx, const QString& versao) {
    RegistraLog(
        ctx,
        QStringLiteral("fim do programa, versão %1; %2").arg(versao, arquivosDeConfiguracao(ctx)));
}

}  // namespace ql
