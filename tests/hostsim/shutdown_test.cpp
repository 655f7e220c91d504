// quillane-host stopped by SIGTERM while terminals keep sending, as systemd stops the service.
#include <QProcess>
#include <QSet>
#include <QTcpSocket>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <vector>

#include "host/framing.h"
#include "hostsim/host_simulator.h"
#include "hostsim/host_store.h"
#include "message/campo_resposta.h"
#include "shell/clock.h"

namespace ql::hostsim {
namespace {

// One framed answer, or nothing once the host has closed the connection.
std::optional<QString> le(QTcpSocket& s, framing::FrameDecoder& d) {
    for (;;) {
        framing::FrameDecoder::Result r = d.next();
        if (r.status == framing::FrameDecoder::Status::Body) return r.body;
        if (r.status != framing::FrameDecoder::Status::NeedMore) return std::nullopt;
        if (!s.waitForReadyRead(5000)) return std::nullopt;
        d.feed(s.readAll());
    }
}

// The signal goes out while every terminal has a request on its way. The host must exit with
// status 0, and its database must hold exactly the transactions whose answers reached a
// terminal: none committed and left unanswered, none answered and then lost.
TEST(Encerramento, SigtermDuringLoadAnswersEveryCommittedRequest) {
    QTemporaryDir dir;
    const QString banco = dir.filePath(QStringLiteral("h.sqlite"));
    QProcess host;
    host.start(QStringLiteral(QL_HOST_PROGRAM),
               {QStringLiteral("--data=") + banco, QStringLiteral("--journal-dir=") + dir.path()});
    ASSERT_TRUE(host.waitForReadyRead(15000)) << host.readAllStandardError().toStdString();
    const quint16 porta =
        QString::fromLatin1(host.readLine()).section(u' ', 2).trimmed().toUShort();
    ASSERT_NE(porta, 0);

    constexpr int kTerminais = 6;
    std::vector<std::unique_ptr<QTcpSocket>> terminais;
    std::vector<framing::FrameDecoder> leitores(kTerminais);
    for (int i = 0; i < kTerminais; ++i) {
        terminais.push_back(std::make_unique<QTcpSocket>());
        terminais.back()->connectToHost(QStringLiteral("127.0.0.1"), porta);
        ASSERT_TRUE(terminais.back()->waitForConnected(3000));
    }
    const QByteArray pedido = framing::encodeWire(QStringLiteral(
        "000-000=0100;011-000=800000;040-000=QUILLANE SAUDE;953-000=6062820000000006;"));
    QSet<qint64> respondidas;
    int respostas = 0;
    int antesDoSinal = 0;
    for (int rodada = 0; rodada < 100; ++rodada) {
        for (auto& t : terminais) {
            t->write(pedido);
            t->flush();
        }
        if (rodada == 20) {
            antesDoSinal = respostas;
            host.terminate();
        }
        int atendidos = 0;
        for (int i = 0; i < kTerminais; ++i) {
            const std::optional<QString> resposta = le(*terminais[i], leitores[i]);
            if (!resposta) continue;
            ++atendidos;
            ++respostas;
            respondidas.insert(textField(*resposta, u"012-000").toLongLong());
        }
        if (atendidos == 0) break;
    }
    ASSERT_TRUE(host.waitForFinished(20000));
    EXPECT_EQ(host.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(host.exitCode(), 0) << host.readAllStandardError().toStdString();
    ASSERT_EQ(antesDoSinal, 20 * kTerminais);
    respondidas.remove(0);
    ASSERT_EQ(respondidas.size(), qsizetype(respostas)) << "every answer has an NSU of its own";

    SystemClock relogio;
    HostSimulator depois(banco, relogio);
    ASSERT_TRUE(depois.abre());
    const qint64 primeira = *std::min_element(respondidas.begin(), respondidas.end());
    const qint64 ultima = *std::max_element(respondidas.begin(), respondidas.end());
    for (qint64 nsu = primeira; nsu <= ultima + kTerminais; ++nsu) {
        SCOPED_TRACE(nsu);
        EXPECT_EQ(depois.store().transacao(nsu).has_value(), respondidas.contains(nsu));
    }
}

}  // namespace
}  // namespace ql::hostsim
