#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <vector>

#include "host_store.h"

namespace ql::hostsim {

// Characters of one receipt line.
inline constexpr int kLarguraRecibo = 38;

// Amount in cents as the receipt shows it: "1.234,56" (pt-BR, whatever the machine locale).
QString valorRecibo(qint64 centavos);

// Card number with every digit but the last four masked.
QString cartaoMascarado(const QString& numero);

struct DadosRecibo {
    QString titulo;  // "COMPROVANTE DE VENDA", ...
    Transacao transacao;
    std::vector<Item> itens;          // the items the receipt lists, with the quantity shown
    std::vector<QString> descricoes;  // one description per item
    QDateTime momento;
};

// The receipt lines, each exactly kLarguraRecibo characters, at most maxLinhas of them: the
// full receipt lists one line per item; when that does not fit, the items are summarised in
// one line, and as a last resort the receipt is cut.
QStringList montaRecibo(const DadosRecibo& dados, int maxLinhas);

}  // namespace ql::hostsim
