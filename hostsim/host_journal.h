#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QSet>
#include <QString>

#include <initializer_list>
#include <memory>
#include <utility>
#include <vector>

#include "admin/journal_names.h"
#include "admin/journal_writer.h"

namespace ql::hostsim {

class HostStore;

// Keeps the journal files the administrative screens read, for every operadora, in one
// directory: sales and financial summaries, the transactions and products of each lot, the
// products of each transaction and the pending transactions, under the names of the three
// establishment types. The summaries list the newest lots; older lots roll off, their files
// are removed, and any table too large for its checksum keeps only its newest rows.
//
// Requests mark what they changed (marca); grava() then rebuilds the marked journals once and
// rewrites only the files whose bytes differ from what this instance last wrote, so a request
// that leaves a journal as it was costs no file write, and several requests answered together
// share one rewrite. Each file is replaced atomically (a temporary file written once and
// renamed, or linked and renamed, under each name; the old version renamed out of sight), so
// it is in place, for any reader and past a kill of the process, when grava() returns. The
// flush of the batch to disk (for a power cut) and the removal of the old versions' bytes are
// asked for at the end of grava() and done by a thread of its own, off the path of the
// answers, at most once a second.
class HostJournal {
  public:
    // Lots the summaries show; the files of older lots are removed.
    static constexpr int kLotesRetidos = 30;

    HostJournal(HostStore& store, QString dir);
    ~HostJournal();

    // Summaries and pending transactions of every operadora (at start-up).
    bool atualizaTudo(const QDateTime& agora, QString* erro);

    // Marks the journals one request touched: the operadoras' summaries and pending
    // transactions, the lots' transactions and products, the transactions' products. Call it
    // right after the request's database commit: a lot it opened is noted here so that the
    // lot which fell out of the summaries is removed at the next grava().
    void marca(const QSet<QString>& operadoras, const QSet<qint64>& lotes,
               const QSet<qint64>& nsus);
    // True while marked journals wait for grava().
    bool pendente() const;
    // Rewrites the marked journals whose content changed and removes the lots that rolled
    // off; clears the marks. On failure the failed journals stay marked for the next call.
    bool grava(QString* erro);

    // marca() and grava() in one step.
    bool atualiza(const QSet<QString>& operadoras, const QSet<qint64>& lotes,
                  const QSet<qint64>& nsus, const QDateTime& agora, QString* erro);

    const QString& dir() const { return dir_; }
    // Journal files written (created or replaced) since construction.
    quint64 arquivosGravados() const { return gravados_; }

  private:
    bool resumos(const QString& codigoOperadora, QString* erro);
    bool pendentes(const QString& codigoOperadora, QString* erro);
    bool lote(qint64 numero, QString* erro);
    bool produtosTransacao(qint64 nsu, QString* erro);
    void removeLote(const QString& codigoOperadora, qint64 numero);
    // Writes one table under the names of the given establishment types, skipping each file
    // that still holds exactly these bytes.
    bool escreve(JournalKind kind, std::initializer_list<int> tipos, const QString& codigo,
                 qint64 chave, JournalTable tabela, QString* erro);

    // Puts the bytes in place under each of the names, each atomically (without flushing
    // them to disk); `feitos` receives how many names, in order, are in place.
    bool substitui(const QStringList& nomes, const QByteArray& corpo, qsizetype* feitos,
                   QString* erro);
    // Asks for the files written since the last call to be flushed to disk, once for all of
    // them, and for the old versions put aside to be removed; false when an earlier flush
    // failed.
    bool sincroniza(QString* erro);
    // Reads the directory's journal names once (noDisco_); files a killed run left half
    // written or waiting for removal are removed.
    void indexa();
    // Takes an old version of a journal out of the readers' sight at once; its bytes are
    // removed with the next flush.
    void descarta(const QString& nome);

    HostStore& store_;
    QString dir_;
    QSet<QString> operadoras_;
    QSet<qint64> lotes_;
    QSet<qint64> nsus_;
    QSet<std::pair<QString, qint64>> lotesRemover_;  // operadora code, lot number
    // Per base name: the file name last written (with its checksum) and a digest of its bytes.
    struct Gravado {
        QString nome;
        QByteArray digest;
    };
    QHash<QString, Gravado> gravadosPorBase_;
    // Per base name in lower case (names are matched as the terminals search them): the
    // files of that journal in the directory.
    QHash<QString, QStringList> noDisco_;
    bool indexado_ = false;
    quint64 gravados_ = 0;
    quint64 descartados_ = 0;
    int naoSincronizados_ = 0;
    std::vector<QByteArray> lixo_;  // old versions to remove with the next flush
    class Descarga;
    std::unique_ptr<Descarga> descarga_;
};

// Writes a journal whose rows are ordered newest first, dropping rows from the end until the
// file's checksum can cover it. `mantidas` receives how many rows were kept.
bool escreveDiarioLimitado(const QString& dir, const QString& base, JournalTable tabela,
                           QString* erro, int* mantidas = nullptr);

}  // namespace ql::hostsim
