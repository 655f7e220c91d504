#pragma once

#include <QString>
#include <QStringList>

namespace ql {

struct Context;

// Each line of the distributor file (MF.S??) holds an administrator code (columns 1-8) and
// up to five distributor names of 20 characters each.
inline constexpr int kQtdDistribuidoras = 5;
inline constexpr int kTamanhoLinhaDistribuidoras = 108;

// Distributors of the administrator chosen in the administrative menu
// (ctx.ident.AdministradoraSelecionada): on success `distribuidoras` holds the five names,
// trimmed, blank ones included, and the list is shown with nothing selected. False, with
// the message shown, when the file is missing, fails its checksum or lacks the code.
bool PreencheComboDistribuidora(Context& ctx, QStringList& distribuidoras);

// The line of the distributor file for one code and its (up to five) distributors.
QString FormataLinhaDistribuidoras(const QString& codigo, const QStringList& distribuidoras);

}  // namespace ql
