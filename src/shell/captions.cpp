#include "shell/captions.h"

#include "shell/context.h"
#include "shell/text_files.h"

namespace ql {

QString TextoCaption(const QString& caption) {
    return caption.isEmpty() ? QStringLiteral("Quillane Client") : caption;
}

QString LegendaOuPropria(const QString& configurada, const QString& propria) {
    const QString texto = configurada.trimmed();
    return texto.isEmpty() ? propria : texto;
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
    if (keyCode == 39) return 0;
    if (keyCode == 13 || keyCode < 0 || keyCode > 0xFFFF) return keyCode;
    if (keyCode > 255) {
        const QChar upper = QChar(char16_t(keyCode)).toUpper();
        return upper.unicode();
    }
    const QString typed = fromCp1252(QByteArray(1, char(keyCode)));
    if (typed.size() != 1) return keyCode;
    const QString upper = typed.toUpper();
    if (upper.size() != 1 || upper == typed) return keyCode;
    const QByteArray back = toCp1252(upper);
    // A character with no upper-case form in the same code keeps its own.
    if (back.size() != 1 || fromCp1252(back) != upper) return keyCode;
    return static_cast<unsigned char>(back.at(0));
}

}  // namespace ql
