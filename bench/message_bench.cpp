// Message layer throughput: building and writing a 12-product sale page in both forms,
// reading every field the client reads from a 12-product sale answer with receipt lines (a
// new answer each time, so that every pass reads it from scratch), and both together: write
// the answer page, then read every field of it back.
#include <benchmark/benchmark.h>

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <utility>
#include <vector>

#include "message/campo_resposta.h"
#include "message/iso8583.h"
#include "message/mensagem.h"
#include "shell/context.h"
#include "shell/silent_message_boxes.h"

namespace {

constexpr int kProdutos = 12;
constexpr int kLinhasRecibo = 10;

// Product j of a page: the fields request and answer share, then the one that closes the
// record (the request's amount 914, the answer's status 919).
void adicionaProduto(ql::Mensagem& m, int j, const char* quantidade, int ultimoCampo,
                     const char* ultimoValor) {
    m.add(ql::TagItem(902, j),
          QStringLiteral("%1").arg(7891000000000LL + j, 13, 10, QLatin1Char('0')));
    m.add(ql::TagItem(906, j), "C");
    m.add(ql::TagItem(905, j), "002");
    m.add(ql::TagItem(910, j), "0001250");
    m.add(ql::TagItem(911, j), "0001100");
    m.add(ql::TagItem(912, j), "0001100");
    m.add(ql::TagItem(909, j), quantidade);
    m.add(ql::TagItem(ultimoCampo, j), ultimoValor);
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
    for (int j = 0; j < kProdutos; ++j) adicionaProduto(m, j, "0001000", 914, "          1234");
    return m;
}

// The host's answer to such a page: 0210/800300 with receipt lines in element 61 and, in
// element 63, the receipt text (40 characters a line) followed by one 45-character record
// per product.
ql::Mensagem paginaResposta() {
    ql::Mensagem m;
    m.add("000-000", "0210");
    m.add("011-000", "800300");
    m.add("012-000", "000000123456");
    m.add("009-000", "00");
    m.add("900-000", "0");
    m.add("901-000", "12");
    m.add("028-000", QString::number(kLinhasRecibo));
    for (int l = 0; l < kLinhasRecibo; ++l)
        m.add(ql::TagItem(29, l),
              QStringLiteral("LINHA %1 DO COMPROVANTE").arg(l).leftJustified(38));
    m.add("005-000", QString(kLinhasRecibo * 40, QLatin1Char('R')));
    for (int j = 0; j < kProdutos; ++j) adicionaProduto(m, j, "01000", 919, "00");
    return m;
}

// The answer as the link hands it over: four digits of length, the ISO form, blanks up to
// 3072 characters.
QString emQuadro(const QString& iso) {
    return QStringLiteral("%1").arg(iso.size(), 4, 10, QLatin1Char('0')) + iso +
           QString(3072 - 4 - iso.size(), QLatin1Char(' '));
}

// Every tag the client reads from a sale answer, in the order it reads them.
QStringList tagsLidas() {
    QStringList tags = {"009-000", "030-000", "012-000", "900-000", "901-000", "028-000"};
    for (int l = 0; l < kLinhasRecibo; ++l) tags << ql::TagItem(29, l);
    for (int j = 0; j < kProdutos; ++j)
        for (int campo : {902, 906, 905, 910, 911, 912, 909, 919}) tags << ql::TagItem(campo, j);
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

QString respostaVenda() {
    return emQuadro(ql::writeIso(paginaResposta()));
}

void BM_LeRespostaIso(benchmark::State& state) {
    ql::SilentMessageBoxes boxes;
    ql::FixedClock clock{QDateTime(QDate(2026, 12, 5), QTime(10, 0))};
    ql::Context ctx(boxes, clock);
    ctx.config.bMsgIso = true;
    ctx.bufferMensagem = respostaVenda();
    const QStringList tags = tagsLidas();
    const qint64 tamanho = ql::answerWithoutFrame(ctx.bufferMensagem).size();
    const QString resposta = ctx.bufferMensagem;
    for (auto _ : state) {
        // A new answer in the buffer, as each exchange leaves one.
        ctx.bufferMensagem = resposta;
        ctx.bufferMensagem.detach();
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

// Pack and unpack: the 12-product answer page from its field values, written in ISO form
// into the buffer, every field read back.
void BM_EmpacotaDesempacotaIso(benchmark::State& state) {
    ql::SilentMessageBoxes boxes;
    ql::FixedClock clock{QDateTime(QDate(2026, 12, 5), QTime(10, 0))};
    ql::Context ctx(boxes, clock);
    ctx.config.bMsgIso = true;
    const QStringList tags = tagsLidas();
    const ql::Mensagem modelo = paginaResposta();
    std::vector<std::pair<QString, QString>> campos;
    for (int i = 0; i < modelo.count(); ++i)
        campos.emplace_back(modelo.no(i).chaveKY9, modelo.no(i).conteudo);
    for (auto _ : state) {
        ql::Mensagem m;
        for (const auto& [tag, valor] : campos) m.add(tag, valor);
        ctx.bufferMensagem = emQuadro(ql::writeIso(m));
        for (const QString& tag : tags) {
            const QString valor = ql::GetCampo(ctx, tag);
            benchmark::DoNotOptimize(valor.constData());
        }
    }
    if (ql::GetCampo(ctx, "911-011") != QLatin1String("0001100"))
        state.SkipWithError("answer read wrongly");
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_EmpacotaDesempacotaIso);

}  // namespace

BENCHMARK_MAIN();
