#pragma once

#include <QString>
#include <QStringList>

namespace ql {

struct Context;

// The key of QlnClient.ini (section "DADOS_GERAIS") that remembers the distributor chosen on the
// registration screen for an administrator: "DISTRIBUIDORA_" + the trimmed code.
QString ChaveDistribuidora(const QString& codigoAdministradora);

// The entry of the distributor list to preselect: the first one equal to the saved choice for
// the administrator (both trimmed, letter case ignored), or -1 when nothing was saved or the
// saved distributor is no longer listed.
int DistribuidoraSalva(Context& ctx, const QString& codigoAdministradora,
                       const QStringList& distribuidoras);

}  // namespace ql
