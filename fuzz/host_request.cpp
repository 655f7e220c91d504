// Arbitrary bytes as one request body to the simulated host: whatever arrives, the host
// answers with something that fits a frame, and never crashes or hangs.
#include <QCoreApplication>
#include <QDateTime>

#include <cstdint>
#include <cstdlib>
#include <memory>

#include "host/framing.h"
#include "hostsim/host_simulator.h"
#include "shell/clock.h"
#include "shell/text_files.h"

namespace {

struct Host {
    int argc = 1;
    char nome[16] = "fuzz_host";
    char* argv[2] = {nome, nullptr};
    QCoreApplication app{argc, argv};
    ql::FixedClock relogio{QDateTime(QDate(2026, 12, 5), QTime(10, 0, 0))};
    // In memory and without journal: the request handling is what is fuzzed.
    ql::hostsim::HostSimulator sim{QStringLiteral(":memory:"), relogio};
    Host() {
        if (!sim.abre()) std::abort();
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Host* host = new Host;
    if (size > 4096) return 0;
    const QString corpo =
        ql::fromCp1252(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    const QString resposta = host->sim.responde(corpo);
    if (!ql::framing::sendable(resposta.size())) std::abort();
    return 0;
}
