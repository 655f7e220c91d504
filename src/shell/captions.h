#pragma once

#include <QDate>
#include <QString>

namespace ql {

struct Context;

// The main window's caption for a screen's title text: the text itself, or "Quillane Client"
// when it is empty (what a screen passes on closing).
QString TextoCaption(const QString& caption);

// A date in the short form the screens show, dd/MM/yyyy, whatever the machine's locale.
QString DataCurta(const QDate& date);

// A screen title followed by today's date from ctx.relogio, e.g.
// TextoComData(ctx, "Quillane Client      Tela 0001 - Inicial e abertura    ").
QString TextoComData(const Context& ctx, const QString& titulo);

// The main window's own caption: "Quillane Client            Tela 0000 - Principal" and
// blanks, followed by today's date.
QString TextoCaptionPrincipal(const Context& ctx);

// The key filter of text boxes, over the Unicode code points the text boxes hold: the
// apostrophe (39) and the request's field separators ";" and "=" become 0, which drops the key;
// Enter (13) and every other key become their upper-case form ("a" -> "A", "ç" -> "Ç", "ÿ" -> "Ÿ"
// U+0178), or stay as they are when that form is not a single character ("ß").
int FiltraTecla(int keyCode);

}  // namespace ql
