#pragma once

#include <QString>

#include <memory>

#include "host/host_link.h"
#include "host_simulator.h"

namespace ql::hostsim {

// The host link for HOST_LINK=embedded: the simulated host answers in-process, in the
// caller's thread, on its own database and journal directory.
class EmbeddedHostLink final : public HostLink {
  public:
    // The simulator must already be open (see abre()) and outlive the link when shared.
    explicit EmbeddedHostLink(std::shared_ptr<HostSimulator> simulador);

    qint32 Process(QString& frame, QString& route, const QString& mode) override;
    qint32 GetPreco(QString& code1, QString& code2, QString& description, QString& amount1,
                    QString& amount2, QString& status) override;

    HostSimulator& simulador() { return *simulador_; }

  private:
    std::shared_ptr<HostSimulator> simulador_;
};

// File name of the embedded host's database inside the server directory.
inline constexpr char kBancoEmbutido[] = "quillane-host.sqlite";

// The factory the client's link set-up takes for HOST_LINK=embedded: a simulator whose
// database is quillane-host.sqlite in the Path Server directory (created with the demo data
// when missing) and whose journal files go to that same directory, where the administrative
// screens read them. Dates come from the context's clock. A database that cannot be opened
// gives a link that fails every call as not configured.
HostLinkFactory embeddedHostLinkFactory();

}  // namespace ql::hostsim
