#pragma once

#include <QDateTime>
#include <QSet>
#include <QString>

#include "admin/journal_writer.h"

namespace ql::hostsim {

class HostStore;

// Keeps the journal files the administrative screens read, for every operadora, in one
// directory: sales and financial summaries, the transactions and products of each lot, the
// products of each transaction and the pending transactions, under the names of the three
// establishment types. The summaries list the newest lots; older lots roll off, their files
// are removed, and any table too large for its checksum keeps only its newest rows.
class HostJournal {
  public:
    // Lots the summaries show; the files of older lots are removed.
    static constexpr int kLotesRetidos = 30;

    HostJournal(HostStore& store, QString dir);

    // Summaries and pending transactions of every operadora (at start-up).
    bool atualizaTudo(const QDateTime& agora, QString* erro);
    // The files touched by one request: the operadoras' summaries and pending transactions,
    // the lots' transactions and products, the transactions' products.
    bool atualiza(const QSet<QString>& operadoras, const QSet<qint64>& lotes,
                  const QSet<qint64>& nsus, const QDateTime& agora, QString* erro);

    const QString& dir() const { return dir_; }

  private:
    bool resumos(const QString& codigoOperadora, QString* erro);
    bool pendentes(const QString& codigoOperadora, QString* erro);
    bool lote(qint64 numero, QString* erro);
    bool produtosTransacao(qint64 nsu, QString* erro);
    void removeLote(const QString& codigoOperadora, qint64 numero);

    HostStore& store_;
    QString dir_;
};

// Writes a journal whose rows are ordered newest first, dropping rows from the end until the
// file's checksum can cover it. `mantidas` receives how many rows were kept.
bool escreveDiarioLimitado(const QString& dir, const QString& base, JournalTable tabela,
                           QString* erro, int* mantidas = nullptr);

}  // namespace ql::hostsim
