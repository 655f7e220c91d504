#include "shell/captions.h"

#include "shell/context.h"

namespace ql {

QString TextoCaption(const QString& caption) {
    return caption.isEmpty() ? QStringLiteral("Quillane Client") : caption;
}

QString DataCurta(const QDate& date) {
    // Built by hand so that neither the machine's locale nor its calendar settings matter.
    if (!date.isValid()) return QString();
    return QStringLiteral("%1/%2/%3")
        .arg(date.day(), 2, 10, QLatin1Char('0'))
        .arg(date.month(), 2, 10, QLatin1Char('0'))
        .arg(date.year(), 4, 10, QLatin1Char('0'));
}

QString TextoComData(const Context& ctx, const QString& titulo) {
    return titulo + DataCurta(ctx.relogio.now().date());
}

QString TextoCaptionPrincipal(const Context& ctx) {
    return TextoComData(
        ctx, QStringLiteral("Quillane Client            Tela 0000 - Principal              "));
}

int FiltraTecla(int keyCode) {
    // The apostrophe, and the ";" and "=" that separate the fields of a text-form request
    // (a search or a card field holding them would add fields of its own to the request).
    if (keyCode == 39 || keyCode == ';' || keyCode == '=') return 0;
    if (keyCode == 13 || keyCode < 0 || keyCode > 0xFFFF) return keyCode;
    // The text boxes hold Unicode: "ÿ" (U+00FF) becomes "Ÿ" (U+0178), never the Windows-1252
    // byte of that letter, which would be the control character U+009F here.
    const QString upper = QString(QChar(char16_t(keyCode))).toUpper();
    return upper.size() == 1 ? upper.at(0).unicode() : keyCode;
}

}  // namespace ql
