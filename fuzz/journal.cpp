// Arbitrary bytes as the body of a journal file, loaded into the administrative grid past the
// checksum check (no checksum could be made to match every input): the load must finish
// without a crash and leave a consistent table.
#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <cstddef>
#include <cstdint>

#include "admin/journal_model.h"
#include "fuzz_check.h"
#include "shell/context.h"
#include "shell/model_roles.h"
#include "shell/silent_message_boxes.h"

using ql::fuzz::bytesOf;
using ql::fuzz::check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes = bytesOf(data, size);
    ql::SilentMessageBoxes boxes;
    ql::FixedClock clock(QDateTime(QDate(2026, 12, 5), QTime(10, 0, 0)));
    ql::Context ctx(boxes, clock);
    ctx.config.TipoLog = QStringLiteral("M");

    ql::JournalModel grid;
    QString subtitulo;
    const bool loaded = ql::loadJournalBody(ctx, bytes, grid, &subtitulo);

    // A load is true exactly when rows came in; every failure told the user something.
    check(loaded == (grid.rowCount() > 0));
    check(loaded || boxes.shown == 1);
    check(grid.columnCount() <= 32767);
    // The header row fixes the columns: a table with rows has columns, and no cell or width
    // lies outside them.
    check(grid.rowCount() == 0 || grid.columnCount() > 0);
    for (int c = 0; c < grid.columnCount(); ++c) {
        const int width = grid.headerData(c, Qt::Horizontal, ql::roles::ColumnWidthChars).toInt();
        check(width >= 0 && width <= bytes.size());
        check(grid.isColumnHidden(c) == (grid.headerText(c) == QLatin1String("0")));
    }
    for (int r = 0; r < grid.rowCount(); ++r) {
        for (int c = 0; c < grid.columnCount(); ++c)
            check(grid.data(grid.index(r, c)).toString() == grid.text(r, c));
    }
    check(grid.text(grid.rowCount(), 0).isEmpty());
    return 0;
}
