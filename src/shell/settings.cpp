#include "shell/settings.h"

#include "shell/context.h"
#include "shell/error_trap.h"
#include "shell/ini_access.h"
#include "shell/layouts.h"
#include "shell/numeric_text.h"

namespace ql {
namespace {

constexpr qint32 kDefaultHostTimeoutMs = 30000;

// Blanks (spaces) dropped from both ends, as every setting is stored.
QString trimSpaces(const QString& text) {
    qsizetype from = 0;
    qsizetype to = text.size();
    while (from < to && text.at(from) == u' ') ++from;
    while (to > from && text.at(to - 1) == u' ') --to;
    return text.mid(from, to - from);
}

QString upperTrimmed(const QString& text) {
    return trimSpaces(text).toUpper();
}

qint32 int32Setting(const QString& text) {
    std::optional<qint32> n = toInt32(leadingNumber(text));
    if (!n) throw overflowError();
    return *n;
}

qint16 int16Setting(const QString& text) {
    std::optional<qint16> n = toInt16(leadingNumber(text));
    if (!n) throw overflowError();
    return *n;
}

// A positive whole number of milliseconds written as plain digits, else the default.
qint32 timeoutSetting(const QString& text) {
    bool ok = false;
    const qint32 ms = trimSpaces(text).toInt(&ok);
    return ok && ms > 0 ? ms : kDefaultHostTimeoutMs;
}

// Characters per line of an ESC/POS receipt printer: a plain number from 16 to 128 (58 mm
// printers have 32, 80 mm ones 42 or 48), else the 80 mm default.
qint32 columnsSetting(const QString& text) {
    constexpr qint32 kDefaultColumns = 48;
    bool ok = false;
    const qint32 n = trimSpaces(text).toInt(&ok);
    return ok && n >= 16 && n <= 128 ? n : kDefaultColumns;
}

// One settings file and section, read key by key with LeLinhaArquivoIni.
class SettingsSection {
  public:
    SettingsSection(Context& ctx, QString file, const char* section)
        : ctx_(ctx), file_(std::move(file)), section_(QString::fromLatin1(section)) {}

    // The value of key, or nothing when the read fails.
    std::optional<QString> read(const char* key, const QString& fallback = QString()) {
        QString value;
        if (!LeLinhaArquivoIni(ctx_, section_, QString::fromLatin1(key), fallback, value, file_)) {
            return std::nullopt;
        }
        return value;
    }

  private:
    Context& ctx_;
    QString file_;
    QString section_;
};

bool loadSettings(Context& ctx) {
    EstruturaPrincipal& c = ctx.config;

    SettingsSection core(ctx, QString::fromLatin1(kWinQlnCoreIni), "CORE");
    std::optional<QString> v = core.read("Path Server", ctx.programDir);
    if (!v) return false;
    c.PathServer = trimSpaces(*v);
    if (!(v = core.read("Path CORE", ctx.programDir))) return false;
    c.PathCORE = trimSpaces(*v);

    SettingsSection geral(ctx, CaminhoQlnClientIni(ctx), "DADOS_GERAIS");
    if (!(v = geral.read("TipoLog", QStringLiteral("M")))) return false;
    c.TipoLog = upperTrimmed(*v).left(1);
    if (!(v = geral.read("TituloMensagem", QStringLiteral("ATENÇÃO")))) return false;
    c.TituloMensagem = upperTrimmed(*v);

    SettingsSection config(ctx, CaminhoCoreIniServer(ctx), "CONFIG");
    if (!(v = config.read("ESTAB_CODE"))) return false;
    c.ESTAB_CODE = upperTrimmed(*v);
    c.Terminal = QString::fromLatin1(kTerminalId);

    if (!(v = geral.read("TimeOut_Login"))) return false;
    c.TimeOut_Login = int32Setting(*v);
    if (!(v = geral.read("bMsgIso"))) return false;
    c.bMsgIso = trimSpaces(*v) == u"Y";
    if (!(v = geral.read("TIPOESTAB_Default", QStringLiteral("1")))) return false;
    // Taken as the number it is: a type other than 1, 2 or 3 finds empty layouts and no
    // option of the card identification screen selected.
    c.TIPOESTAB_Default = int16Setting(*v);
    if (!(v = geral.read("bIdentificaCartao_DS", QStringLiteral("N")))) return false;
    if (trimSpaces(*v) == u"Y") c.bIdentificaCartao_DS = true;

    // From here on a missing key takes its fallback and loading goes on.
    if ((v = config.read("FILEAUX"))) {
        c.FILEAUX = trimSpaces(*v);
        if (!c.FILEAUX.isEmpty() && !c.FILEAUX.endsWith(u'\\') && !c.FILEAUX.endsWith(u'/')) {
            c.FILEAUX += u'\\';
        }
    } else {
        c.FILEAUX.clear();
    }
    v = geral.read("Msg_Approval");
    c.Msg_Approval = v ? upperTrimmed(*v) : QString();
    v = geral.read("AlertaValBr_Id");
    c.AlertaValBr_Id = v ? upperTrimmed(*v) : QStringLiteral("NNN");
    v = geral.read("AlertaDesc_Id");
    c.AlertaDesc_Id = v ? upperTrimmed(*v) : QStringLiteral("NNN");
    v = config.read("LayoutArquivo");
    c.LayoutArquivo = v ? int16Setting(*v) : qint16(0);
    v = geral.read("Cod_Processamento_Pre_Venda");
    c.Cod_Processamento_Pre_Venda = v ? upperTrimmed(*v) : QString();

    SettingsSection link(ctx, CaminhoCoreIniCore(ctx), "CONFIG");
    v = link.read("HOST_LINK", QStringLiteral("embedded"));
    c.HOST_LINK = v ? trimSpaces(*v) : QStringLiteral("embedded");
    if (c.HOST_LINK.isEmpty()) c.HOST_LINK = QStringLiteral("embedded");
    v = link.read("HOST_TIMEOUT_MS");
    c.HOST_TIMEOUT_MS = v ? timeoutSetting(*v) : kDefaultHostTimeoutMs;
    v = link.read("HOST_CA");
    c.HOST_CA = v ? trimSpaces(*v) : QString();
    v = link.read("PRINTER");
    c.PRINTER = v ? trimSpaces(*v) : QString();
    v = link.read("RECEIPT_PRINTER");
    c.RECEIPT_PRINTER = v ? trimSpaces(*v) : QString();
    v = link.read("RECEIPT_COLUMNS");
    c.RECEIPT_COLUMNS = columnsSetting(v.value_or(QString()));
    v = link.read("RECEIPT_COPIES");
    c.RECEIPT_COPIES = trimSpaces(v.value_or(QString())) == QLatin1String("2") ? 2 : 1;
    v = link.read("TILL_DIR");
    c.TILL_DIR = v ? trimSpaces(*v) : QString();
    v = link.read("TILL_CONFIRMS");
    c.TILL_CONFIRMS = v ? upperTrimmed(*v) : QString();

    MontaTela(ctx);

    ctx.TipoEstab = c.TIPOESTAB_Default;
    return true;
}

}  // namespace

bool SetaEstruturaPrincipal(Context& ctx) {
    return runTrapped(ctx, "SetaEstruturaPrincipal", false, [&] { return loadSettings(ctx); });
}

}  // namespace ql
