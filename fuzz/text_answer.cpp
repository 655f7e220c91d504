// Feeds arbitrary bytes to the text-form answer readers: GetCampo with error reporting on,
// textField with odd tags, and the splitter the simulated host uses for requests. GetCampo
// reads from its index of the answer; it must give what a search of the whole text gives,
// for the usual tags and for tag-shaped pieces of the input itself.
#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>

#include <cstddef>
#include <cstdint>

#include "fuzz_check.h"
#include "message/campo_resposta.h"
#include "message/mensagem.h"
#include "shell/context.h"
#include "shell/silent_message_boxes.h"
#include "shell/text_files.h"

using ql::fuzz::bytesOf;

namespace {

const char* const kTags[] = {"000-000", "009-000", "012-000", "028-000", "029-000",
                             "030-000", "900-000", "901-000", "902-011", "9",
                             "",        ";",       "=",       "000-000="};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString texto = ql::fromCp1252(bytesOf(data, size));

    ql::SilentMessageBoxes boxes;
    ql::FixedClock clock{QDateTime(QDate(2026, 12, 5), QTime(10, 0))};
    ql::Context ctx(boxes, clock);
    ctx.config.TipoLog = QStringLiteral("M");
    ctx.bufferMensagem = texto;
    QStringList tags;
    for (const char* tag : kTags) tags << QString::fromLatin1(tag);
    for (qsizetype d = texto.indexOf(QLatin1Char('-'), 3);
         d >= 3 && d + 4 <= texto.size() && tags.size() < 64;
         d = texto.indexOf(QLatin1Char('-'), d + 1))
        tags << texto.mid(d - 3, 7);
    for (const QString& tag : tags)
        if (ql::GetCampo(ctx, tag) != ql::textField(texto, tag)) __builtin_trap();

    // The input's own first tag-sized piece as a tag.
    (void)ql::textField(texto, QStringView(texto).left(7));

    bool ok = false;
    const auto campos = ql::parseText(texto, &ok);
    ql::Mensagem m;
    for (const ql::CampoTexto& c : campos) m.add(c.tag, c.valor);
    (void)ql::writeText(m);
    return 0;
}
