// The serial PIN pad against its simulator on a pseudo-terminal, through a real serial port:
// the time from the swipe (the pad writing its event answer) to the card number handed back
// to the screen (tracks asked, pad closed), median of 20 reads; and the time a silent pad
// takes to give up with the protocol's own waits.

#include <benchmark/benchmark.h>

#include <chrono>

#include "pinpad/pin_pad_abecs.h"
#include "simulador_pin_pad.h"

namespace {

using namespace ql;

qint64 agoraUs() {
    return std::chrono::duration_cast<std::chrono::microseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void PassagemAteNumero(benchmark::State& estado) {
    pinpadsim::SimuladorPinPad sim;
    if (!sim.inicia()) {
        estado.SkipWithError("no pseudo-terminal");
        return;
    }
    pinpadsim::Roteiro roteiro;
    roteiro.atrasoMs = 20;
    sim.defineRoteiro(roteiro);
    PinPadAbecs pad(sim.caminho(), PinPadAbecs::kBaudPadrao);
    LeTrilha(pad);  // the first read also asks the pad's identity
    for (auto _ : estado) {
        const LeituraPinPad l = LeTrilha(pad);
        const qint64 fim = agoraUs();
        if (l.RetornoPinPad < 0) estado.SkipWithError("read failed");
        estado.SetIterationTime(double(fim - sim.instantePassagem()) / 1e6);
    }
}
BENCHMARK(PassagemAteNumero)
    ->UseManualTime()
    ->Iterations(1)
    ->Repetitions(20)
    ->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMillisecond);

void PadMudoDesiste(benchmark::State& estado) {
    pinpadsim::SimuladorPinPad sim;
    if (!sim.inicia()) {
        estado.SkipWithError("no pseudo-terminal");
        return;
    }
    pinpadsim::Roteiro roteiro;
    roteiro.mudo = true;
    sim.defineRoteiro(roteiro);
    PinPadAbecs pad(sim.caminho(), PinPadAbecs::kBaudPadrao);
    for (auto _ : estado) {
        if (LeTrilha(pad).RetornoPinPad != PinPadAbecs::kSemResposta) {
            estado.SkipWithError("silent pad not reported");
        }
    }
}
BENCHMARK(PadMudoDesiste)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace
