#include "embedded_host_link.h"

#include "host/framing.h"
#include "host/network_link.h"
#include "host/price_protocol.h"
#include "shell/context.h"
#include "shell/text_files.h"

namespace ql::hostsim {

EmbeddedHostLink::EmbeddedHostLink(std::shared_ptr<HostSimulator> simulador)
    : simulador_(std::move(simulador)) {}

qint32 EmbeddedHostLink::Process(QString& frame, QString&, const QString&) {
    const std::optional<QString> corpo = framing::bodyOfFrame(frame);
    if (!corpo) return kMessageTooLong;
    frame = framing::buildFrame(simulador_->responde(*corpo));
    return 0;
}

qint32 EmbeddedHostLink::GetPreco(QString& code1, QString& code2, QString& description,
                                  QString& amount1, QString& amount2, QString&) {
    std::optional<PrecoProduto> preco = simulador_->consultaPreco(code1);
    if (!preco && !code2.trimmed().isEmpty()) preco = simulador_->consultaPreco(code2);
    if (!preco) return kPrecoNaoEncontrado;
    PriceAnswer a;
    a.found = true;
    a.description = preco->descricao;
    a.listCents = preco->precoBruto;
    a.saleCents = preco->precoLiquido;
    fillPriceBuffers(a, description, amount1, amount2);
    return 0;
}

HostLinkFactory embeddedHostLinkFactory() {
    return [](Context& ctx) -> std::unique_ptr<HostLink> {
        const QString dir = nativePath(ctx.config.PathServer);
        auto sim = std::make_shared<HostSimulator>(joinPath(dir, QLatin1String(kBancoEmbutido)),
                                                   ctx.relogio, dir);
        if (!sim->abre()) return nullptr;  // the link's creator tells the cashier
        return std::make_unique<EmbeddedHostLink>(std::move(sim));
    };
}

}  // namespace ql::hostsim
