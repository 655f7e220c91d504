// Checking a checksummed file: the file check over a large file (the users, distributor and
// journal files are read whole and summed line by line before they are trusted), and the
// line checksum alone over the same text.
#include <benchmark/benchmark.h>

#include <QFile>
#include <QTemporaryDir>

#include "data/checksum.h"
#include "shell/context.h"
#include "shell/silent_message_boxes.h"

namespace {

// Journal-like lines of 100 characters, as many as `bytes` allows.
QStringList linhas(qint64 bytes) {
    QStringList out;
    const QString modelo = QStringLiteral(
        "\"M\",\"000000012345\",\"DIPIRONA SODICA 500MG 10 "
        "COMPRIMIDOS\",\"N\",\"000000001290\",\"241205\"");
    for (qint64 n = 0; n + modelo.size() + 2 <= bytes; n += modelo.size() + 2) out << modelo;
    return out;
}

void BM_ChecksumDeLinhas(benchmark::State& state) {
    const QStringList l = linhas(state.range(0));
    for (auto _ : state) benchmark::DoNotOptimize(ql::ChecksumDeLinhas(l));
    state.SetBytesProcessed(state.iterations() * state.range(0));
}
// 400 KB is about the largest text whose sum still fits 32 bits; past it the sum stops early.
BENCHMARK(BM_ChecksumDeLinhas)->Arg(4 << 10)->Arg(400 << 10);

void BM_Valida_Check_Sum_Arquivo(benchmark::State& state) {
    QTemporaryDir dir;
    const QStringList l = linhas(state.range(0));
    const QString nome =
        dir.filePath(QStringLiteral("TS00000123-000001.S") + ql::ChecksumDeLinhas(l));
    QFile f(nome);
    if (!f.open(QIODevice::WriteOnly)) {
        state.SkipWithError("cannot write the file");
        return;
    }
    for (const QString& linha : l) f.write(linha.toLatin1() + "\r\n");
    f.close();
    ql::SilentMessageBoxes boxes;
    ql::SystemClock clock;
    ql::Context ctx(boxes, clock);
    QString cs;
    for (auto _ : state) {
        if (!ql::Valida_Check_Sum_Arquivo(ctx, nome, cs)) state.SkipWithError("check failed");
    }
    state.SetBytesProcessed(state.iterations() * f.size());
}
BENCHMARK(BM_Valida_Check_Sum_Arquivo)->Arg(4 << 10)->Arg(400 << 10);

}  // namespace

BENCHMARK_MAIN();
