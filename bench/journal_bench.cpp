// Journal loading for the administrative grids: time and peak memory of
//  - the largest lot-transactions journal whose checksum still fits the 32-bit sum (found by
//    adding rows until the next one would overflow it), written, checked and loaded whole;
//  - a 100 000-row body (far beyond what the checksum can cover) parsed and loaded past the
//    check;
//  - writing the largest journal.
// Peak memory is the process's high-water mark (VmHWM) after the run, in KiB.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <QDateTime>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include "admin/journal_model.h"
#include "admin/journal_names.h"
#include "admin/journal_writer.h"
#include "data/checksum.h"
#include "data/sequential_items.h"
#include "shell/context.h"
#include "shell/silent_message_boxes.h"

namespace {

// Starts a new high-water mark, so that a figure covers the measured work and not the
// building of its input.
void resetPeakRss() {
    malloc_trim(0);  // hand the input's freed heap back first, or it would count
    QFile f(QStringLiteral("/proc/self/clear_refs"));
    if (f.open(QIODevice::WriteOnly)) f.write("5");
}

double peakRssKiB() {
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly)) return 0;
    for (const QByteArray& line : f.readAll().split('\n')) {
        if (line.startsWith("VmHWM:")) return line.mid(6).trimmed().split(' ').value(0).toDouble();
    }
    return 0;
}

// One lot transaction as the simulated host writes it.
QStringList lotRow(int i) {
    const QDateTime at(QDate(2026, 3, 4), QTime(8, 0, 0));
    return {ql::journalNumber(45),
            ql::journalNumber(100000 + i),
            ql::journalStamp(at.addSecs(i * 37)),
            QStringLiteral("6064 **** %1").arg(i % 10000, 4, 10, QLatin1Char('0')),
            QStringLiteral("A%1").arg(i, 6, 10, QLatin1Char('0')),
            i % 3 == 0 ? QStringLiteral("VD01") : QStringLiteral("BC01"),
            i % 17 == 0 ? QStringLiteral("CANC.") : QString(),
            QStringLiteral("%1").arg(i % 1000000, 6, 10, QLatin1Char('0')),
            ql::journalNumber(1 + i % 5),
            ql::journalCents(1000 + i % 50000),
            ql::journalCents(i % 700),
            ql::journalCents(i % 300),
            ql::journalCents(i % 90)};
}

ql::JournalTable lotTable(int rows) {
    ql::JournalTable t;
    t.title = QStringLiteral("Lote 000045 - Transações");
    t.columns = ql::journalColumns(ql::JournalKind::TransacoesLote);
    t.rows.reserve(rows);
    for (int i = 0; i < rows; ++i) t.rows.append(lotRow(i));
    return t;
}

// The most rows of lotRow() a journal can hold before its checksum sum overflows: the lines
// are summed one row at a time, exactly as the file check reads them, until the next row
// does not fit.
int largestCheckedRows() {
    QStringList lines;
    ql::journalLines(lotTable(0), &lines);
    qint32 soma = 0, posicao = 1;
    for (const QString& l : lines) ql::AcumulaCheckSum(l, soma, posicao);
    for (int rows = 0;; ++rows) {
        ql::JournalTable one = lotTable(0);
        one.rows.append(lotRow(rows));
        QStringList rowLines;
        ql::journalLines(one, &rowLines);
        // Only the row's own block: skip the title and header lines built above.
        for (qsizetype k = lines.size(); k < rowLines.size(); ++k) {
            QString l = rowLines[k];
            if (l.startsWith(QLatin1Char('B'))) l = QStringLiteral("B%1").arg(rows + 1);
            if (!ql::AcumulaCheckSum(l, soma, posicao)) return rows;
        }
    }
}

struct Fixture {
    ql::SilentMessageBoxes boxes;
    ql::FixedClock clock{QDateTime(QDate(2026, 12, 5), QTime(10, 0, 0))};
    ql::Context ctx{boxes, clock};
    QTemporaryDir dir;
    Fixture() { ctx.config.PathServer = dir.path(); }
};

void BM_CarregaGrid_LargestCheckedJournal(benchmark::State& state) {
    static const int rows = largestCheckedRows();
    Fixture f;
    QString error, path;
    const QString base =
        ql::journalBaseName(ql::JournalKind::TransacoesLote, 1, QStringLiteral("00000123"), 45);
    if (!ql::writeJournal(f.dir.path(), base, lotTable(rows), &error, &path)) {
        state.SkipWithError(error.toStdString().c_str());
        return;
    }
    const QString pattern = base + QStringLiteral("??");
    resetPeakRss();
    for (auto _ : state) {
        ql::JournalModel grid;
        const bool ok = ql::CarregaGrid(f.ctx, pattern, grid);
        if (!ok || grid.rowCount() != rows) state.SkipWithError("journal did not load whole");
        benchmark::DoNotOptimize(grid.rowCount());
    }
    state.counters["rows"] = rows;
    state.counters["bytes"] = double(QFile(path).size());
    state.counters["peak_rss_kib"] = peakRssKiB();
}
BENCHMARK(BM_CarregaGrid_LargestCheckedJournal)->Unit(benchmark::kMillisecond);

void BM_WriteJournal_Largest(benchmark::State& state) {
    static const int rows = largestCheckedRows();
    Fixture f;
    const ql::JournalTable table = lotTable(rows);
    const QString base =
        ql::journalBaseName(ql::JournalKind::TransacoesLote, 1, QStringLiteral("00000123"), 45);
    for (auto _ : state) {
        QString error;
        if (!ql::writeJournal(f.dir.path(), base, table, &error))
            state.SkipWithError(error.toStdString().c_str());
    }
    state.counters["rows"] = rows;
}
BENCHMARK(BM_WriteJournal_Largest)->Unit(benchmark::kMillisecond);

void BM_LoadJournalBody(benchmark::State& state) {
    const int rows = int(state.range(0));
    QStringList lines;
    ql::journalLines(lotTable(rows), &lines);
    const QByteArray body = ql::journalBody(lines);
    lines.clear();
    Fixture f;
    resetPeakRss();
    for (auto _ : state) {
        ql::JournalModel grid;
        if (!ql::loadJournalBody(f.ctx, body, grid) || grid.rowCount() != rows)
            state.SkipWithError("body did not load whole");
        benchmark::DoNotOptimize(grid.rowCount());
    }
    state.counters["rows"] = rows;
    state.counters["bytes"] = double(body.size());
    state.counters["peak_rss_kib"] = peakRssKiB();
}
BENCHMARK(BM_LoadJournalBody)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// The item reading alone, to tell its share of the load from the grid's.
void BM_ReadJournalItems(benchmark::State& state) {
    QStringList lines;
    ql::journalLines(lotTable(int(state.range(0))), &lines);
    const QByteArray body = ql::journalBody(lines);
    for (auto _ : state) {
        ql::SequentialItems items(body);
        qsizetype n = 0;
        while (!items.atEnd()) n += items.next().size();
        benchmark::DoNotOptimize(n);
    }
    state.counters["bytes"] = double(body.size());
}
BENCHMARK(BM_ReadJournalItems)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
