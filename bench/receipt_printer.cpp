// The print key on a thermal printer: the time from asking for a 24-product receipt to its
// last byte handed to the connection, over escpos:tcp:// to a printer's raw port on loopback
// that answers the paper status at once; and the building of the ESC/POS bytes alone.
// Each benchmark repeats and reports medians.
#include <QCoreApplication>
#include <QTcpServer>
#include <QTcpSocket>

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "printer/escpos.h"
#include "printer/impressora_recibo.h"
#include "sale/itens_venda.h"
#include "sale/recibo.h"

namespace {

using namespace ql;

// What the receipt screen lists for a sale of 24 products, then the final blank line.
QStringList reciboDe24Produtos() {
    ItensVenda itens;
    for (int i = 1; i <= 24; ++i) {
        ItemVenda& item = itens.item(i);
        item.codigo = QStringLiteral("78912345%1").arg(i, 5, 10, QLatin1Char('0'));
        item.descricao = QStringLiteral("MEDICAMENTO GENÉRICO Nº %1").arg(i);
        item.embalagem = QStringLiteral("CX");
        item.quantidade = QStringLiteral("2");
        item.valorBruto = QStringLiteral("123,45");
        item.desconto = QStringLiteral("15,00");
        item.valorLiquido = QStringLiteral("104,93");
        item.valorReceber = QStringLiteral("104,93");
        item.status = QStringLiteral("00");
    }
    itens.count = 24;
    QStringList linhas = LinhasProdutosRecibo(itens);
    for (int i = 0; i < 20; ++i) {
        linhas << QStringLiteral("AUTORIZAÇÃO %1 - FARMÁCIA SÃO JOÃO").arg(i, 2).leftJustified(38);
    }
    return linhas << QString() << QStringLiteral(" ");
}

// A printer's raw port: reads everything and answers the paper status query ("paper
// present").
struct PortaImpressora {
    QTcpServer servidor;
    std::vector<std::unique_ptr<QTcpSocket>> conexoes;
    qint64 recebidos = 0;

    PortaImpressora() {
        servidor.listen(QHostAddress::LocalHost);
        QObject::connect(&servidor, &QTcpServer::newConnection, [this] {
            while (QTcpSocket* s = servidor.nextPendingConnection()) {
                conexoes.emplace_back(s);
                QObject::connect(s, &QTcpSocket::readyRead, [this, s] {
                    const QByteArray bytes = s->readAll();
                    recebidos += bytes.size();
                    if (bytes.contains(escpos::kConsultaPapel)) s->write("\x12", 1);
                });
            }
        });
    }
};

void ImprimeReciboTcp(benchmark::State& state) {
    PortaImpressora porta;
    const QStringList linhas = reciboDe24Produtos();
    const QString destino =
        QStringLiteral("escpos:tcp://127.0.0.1:%1").arg(porta.servidor.serverPort());
    bool ok = true;
    for (auto _ : state) {
        auto impressora = CriaImpressoraEscPos(InterpretaDestinoRecibo(destino), 48);
        ok = impressora->imprime(linhas).ok && ok;
        state.PauseTiming();
        QCoreApplication::processEvents();
        porta.conexoes.clear();
        state.ResumeTiming();
    }
    state.counters["ok"] = ok ? 1 : 0;
    state.counters["bytes"] = double(escpos::Recibo(linhas, 48).size());
    state.counters["lines"] = double(linhas.size());
}
BENCHMARK(ImprimeReciboTcp)
    ->Iterations(50)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMillisecond);

void MontaBytesEscPos(benchmark::State& state) {
    const QStringList linhas = reciboDe24Produtos();
    for (auto _ : state) benchmark::DoNotOptimize(escpos::Recibo(linhas, 48));
}
BENCHMARK(MontaBytesEscPos)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMicrosecond);

}  // namespace
