// Feeds arbitrary bytes to the ISO 8583 answer readers: every element in both bitmap forms,
// and GetCampo for the fields the transactions read, in the order they read them.
#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <cstddef>
#include <cstdint>

#include "message/campo_resposta.h"
#include "message/iso8583.h"
#include "shell/context.h"
#include "shell/silent_message_boxes.h"
#include "shell/text_files.h"

namespace {

const char* const kTags[] = {
    "000-000", "009-000", "012-000", "030-000", "900-000", "901-000", "028-000", "007-000",
    "029-000", "029-001", "029-010", "029-999", "902-000", "902-001", "902-011", "903-000",
    "904-002", "905-003", "906-004", "909-005", "910-006", "911-007", "912-008", "914-009",
    "919-010", "919-999", "990-000", "921-000", "002-000", "xyz-000", "902-abc", "9",
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString texto = ql::fromCp1252(
        QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));

    for (int n = -1; n <= 65; ++n) {
        (void)ql::ExtraiBitIso(n, texto, true);
        (void)ql::ExtraiBitIso(n, texto, false);
    }
    const ql::MensagemIsoLida lida(texto);
    for (int n : lida.presentes()) (void)lida.elemento(n);

    ql::SilentMessageBoxes boxes;
    ql::FixedClock clock{QDateTime(QDate(2026, 12, 5), QTime(10, 0))};
    ql::Context ctx(boxes, clock);
    ctx.config.bMsgIso = true;
    ctx.config.TipoLog = QStringLiteral("M");
    ctx.bufferMensagem = texto;
    for (const char* tag : kTags) (void)ql::GetCampo(ctx, QString::fromLatin1(tag));
    // Receipt-bearing answers read the line count first; try again with a large one.
    ctx.qtdLinhasRecibo = 99;
    for (const char* tag : kTags) (void)ql::GetCampo(ctx, QString::fromLatin1(tag));
    return 0;
}
