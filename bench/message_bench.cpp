// Message layer throughput: building and writing a 12-product sale page in both forms, and
// reading every field the client reads from a 12-product sale answer with receipt lines.
#include <benchmark/benchmark.h>

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <vector>

#include "message/campo_resposta.h"
#include "message/iso8583.h"
#include "message/mensagem.h"
#include "shell/context.h"
#include "shell/silent_message_boxes.h"

namespace {

constexpr int kProdutos = 12;
constexpr int kLinhasRecibo = 10;

QString sub(int j) {
    return QStringLiteral("%1").arg(j, 3, 10, QLatin1Char('0'));
}

// One page of a sale: the common fields, the page fields and the per-product fields in the
// order the sale generation adds them (ISO sale mode, which sends the most fields).
ql::Mensagem paginaVenda() {
    ql::Mensagem m;
    m.add("000-000", "0200");
    m.add("011-000", "800300");
    m.add("001-000", "001111");
    m.add("040-000", "TICKETFARMA");
    m.add("012-000", "000000123456");
    m.add("940-000", "003");
    m.add("942-000", "000000000012345");
    m.add("941-000", "QL000001");
    m.add("023-000", "101500");
    m.add("022-000", "1205");
    m.add("002-000", "000123456");
    m.add("900-000", "0");
    m.add("901-000", "12");
    for (int j = 0; j < kProdutos; ++j) {
        m.add("902-" + sub(j),
              QStringLiteral("%1").arg(7891000000000LL + j, 13, 10, QLatin1Char('0')));
        m.add("906-" + sub(j), "C");
        m.add("905-" + sub(j), "002");
        m.add("910-" + sub(j), "0001250");
        m.add("911-" + sub(j), "0001100");
        m.add("912-" + sub(j), "0001100");
        m.add("909-" + sub(j), "0001000");
        m.add("914-" + sub(j), "          1234");
    }
    return m;
}

// The host's answer to such a page: 0210/800300 with receipt lines in element 61 and, in
// element 63, the receipt text (40 characters a line) followed by one 45-character record
// per product.
QString respostaVenda() {
    ql::Mensagem m;
    m.add("000-000", "0210");
    m.add("011-000", "800300");
    m.add("012-000", "000000123456");
    m.add("009-000", "00");
    m.add("900-000", "0");
    m.add("901-000", "12");
    m.add("028-000", QString::number(kLinhasRecibo));
    for (int l = 0; l < kLinhasRecibo; ++l)
        m.add("029-" + sub(l), QStringLiteral("LINHA %1 DO COMPROVANTE").arg(l).leftJustified(38));
    m.add("005-000", QString(kLinhasRecibo * 40, QLatin1Char('R')));
    for (int j = 0; j < kProdutos; ++j) {
        m.add("902-" + sub(j),
              QStringLiteral("%1").arg(7891000000000LL + j, 13, 10, QLatin1Char('0')));
        m.add("906-" + sub(j), "C");
        m.add("905-" + sub(j), "002");
        m.add("910-" + sub(j), "0001250");
        m.add("911-" + sub(j), "0001100");
        m.add("912-" + sub(j), "0001100");
        m.add("909-" + sub(j), "01000");
        m.add("919-" + sub(j), "00");
    }
    const QString iso = ql::writeIso(m);
    return QStringLiteral("%1").arg(iso.size(), 4, 10, QLatin1Char('0')) + iso +
           QString(3072 - 4 - iso.size(), QLatin1Char(' '));
}

// Every tag the client reads from a sale answer, in the order it reads them.
QStringList tagsLidas() {
    QStringList tags = {"009-000", "030-000", "012-000", "900-000", "901-000", "028-000"};
    for (int l = 0; l < kLinhasRecibo; ++l) tags << "029-" + sub(l);
    for (int j = 0; j < kProdutos; ++j)
        for (const char* campo : {"902-", "906-", "905-", "910-", "911-", "912-", "909-", "919-"})
            tags << QLatin1String(campo) + sub(j);
    return tags;
}

void BM_MontaVendaTexto(benchmark::State& state) {
    qint64 bytes = 0;
    for (auto _ : state) {
        const QString texto = ql::writeText(paginaVenda());
        bytes += texto.size();
        benchmark::DoNotOptimize(texto.constData());
    }
    state.SetBytesProcessed(bytes);
    state.SetItemsProcessed(state.iterations() * kProdutos);
}
BENCHMARK(BM_MontaVendaTexto);

void BM_MontaVendaIso(benchmark::State& state) {
    qint64 bytes = 0;
    for (auto _ : state) {
        const QString iso = ql::writeIso(paginaVenda());
        bytes += iso.size();
        benchmark::DoNotOptimize(iso.constData());
    }
    state.SetBytesProcessed(bytes);
    state.SetItemsProcessed(state.iterations() * kProdutos);
}
BENCHMARK(BM_MontaVendaIso);

void BM_LeRespostaIso(benchmark::State& state) {
    ql::SilentMessageBoxes boxes;
    ql::FixedClock clock{QDateTime(QDate(2026, 12, 5), QTime(10, 0))};
    ql::Context ctx(boxes, clock);
    ctx.config.bMsgIso = true;
    ctx.bufferMensagem = respostaVenda();
    const QStringList tags = tagsLidas();
    const qint64 tamanho = ql::answerWithoutFrame(ctx.bufferMensagem).size();
    for (auto _ : state) {
        for (const QString& tag : tags) {
            const QString valor = ql::GetCampo(ctx, tag);
            benchmark::DoNotOptimize(valor.constData());
        }
    }
    if (ctx.qtdLinhasRecibo != kLinhasRecibo ||
        ql::GetCampo(ctx, "902-011") != QLatin1String("7891000000011"))
        state.SkipWithError("answer read wrongly");
    state.SetBytesProcessed(state.iterations() * tamanho);
    state.SetItemsProcessed(state.iterations() * tags.size());
}
BENCHMARK(BM_LeRespostaIso);

}  // namespace

BENCHMARK_MAIN();
