#pragma once

#include <QString>
#include <QVector>

#include "admin/journal_writer.h"

namespace ql {

// The journal files kept for each operadora in the server directory.
//   ResumoVendas        SS/SR/SD + code                 sales summary
//   ResumoFinanceiro    FS/FR/FD + code                 financial summary
//   TransacoesLote      TS/TR/TD + code + "-" + lot     transactions of a lot
//   ProdutosLote        PS/PR/PD + code + "-" + lot     products of a lot
//   ProdutosTransacao   PT/DR/DD + code + "-" + NSU     products of a transaction
//   TransacoesPendentes TP + code (every type)          pending transactions
// followed by ".S" and the two checksum characters. The prefix letters depend on the
// establishment type (1 establishment, 2 network, 3 distributor); the lot is written with six
// digits and the NSU with twelve, leading zeros kept.
enum class JournalKind {
    ResumoVendas,
    ResumoFinanceiro,
    TransacoesLote,
    ProdutosLote,
    ProdutosTransacao,
    TransacoesPendentes,
};

// Two-letter prefix for a kind and establishment type; "" for a type other than 1, 2 or 3
// (the pending transactions use "TP" whatever the type).
QString journalPrefix(JournalKind kind, int tipoEstab);

// "TS00000123-000045.S": the name up to the checksum characters; "" when the type is not
// 1..3. The operadora code is trimmed; `chave` (lot or NSU) is used only by the kinds that
// carry one. Give it to writeJournal().
QString journalBaseName(JournalKind kind, int tipoEstab, const QString& codigoOperadora,
                        qint64 chave = 0);

// The search pattern of a journal, baseName + "??"; give it to CarregaGrid.
QString journalPattern(JournalKind kind, int tipoEstab, const QString& codigoOperadora,
                       qint64 chave = 0);

// The column set this system writes for each kind (header texts and type letters). The
// positions the administrative screens rely on (1-based, as the screens count them):
//   ResumoVendas:        1 lot
//   TransacoesLote:      1 lot, 2 NSU, 6 transaction type code, 10..13 the four amounts
//   ProdutosLote/ProdutosTransacao: 5 product code, 8 description, 9 packaging,
//                        10 quantity, 11 quantity proposed for cancellation,
//                        12 gross price, 13 net price
//   TransacoesPendentes: 1 lot, 2 NSU, 6 transaction type code, 7 "CANC." marker
QVector<JournalColumn> journalColumns(JournalKind kind);

}  // namespace ql
