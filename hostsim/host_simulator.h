#pragma once

#include <QSet>
#include <QString>

#include <memory>
#include <optional>

#include "host_message.h"
#include "host_store.h"
#include "shell/clock.h"

namespace ql::hostsim {

class HostJournal;

// What the host answers to a price lookup (the link's GetPreco).
struct PrecoProduto {
    QString descricao;        // description and presentation, up to 40 characters
    qint64 precoBruto = 0;    // list price, cents
    qint64 precoLiquido = 0;  // sale price, cents
};

// Response codes of the host. Below 40 approved; 40 to 199 refused with a text in 030-000;
// 200 and above a system error.
namespace codigo {
inline constexpr int kAprovado = 0;
inline constexpr int kProdutoNaoCadastrado = 44;
inline constexpr int kProdutoNaoCoberto = 45;
inline constexpr int kQuantidadeAcimaDoLimite = 46;
inline constexpr int kQuantidadeAcimaDaPre = 47;
inline constexpr int kProdutoForaDaPre = 48;
inline constexpr int kQuantidadeAcimaDaVendida = 49;
inline constexpr int kQuantidadeInvalida = 50;
inline constexpr int kCartaoNaoInformado = 55;
inline constexpr int kCartaoNaoCadastrado = 56;
inline constexpr int kSemPreAutorizacao = 58;
inline constexpr int kTransacaoNaoEncontrada = 60;
inline constexpr int kTransacaoDesfeita = 61;
inline constexpr int kTransacaoCancelada = 62;
inline constexpr int kNaoCancelavel = 63;
inline constexpr int kTransacaoJaAutorizada = 65;
inline constexpr int kTransacaoNaoAutorizada = 66;
inline constexpr int kPreJaUtilizada = 68;
inline constexpr int kProdutoNaoEncontrado = 70;
inline constexpr int kNenhumProdutoAutorizado = 71;
inline constexpr int kNenhumItemCancelado = 72;
inline constexpr int kDistribuidoraNaoInformada = 73;
inline constexpr int kMensagemInvalida = 200;
inline constexpr int kTransacaoDesconhecida = 201;
inline constexpr int kFalhaInterna = 202;
}  // namespace codigo

// The simulated authorisation host: answers one request body at a time, keeping its state in
// SQLite (one database transaction per request) and, when a journal directory is given, the
// journal files of every operadora it touched. Not thread-safe: one instance per thread.
class HostSimulator {
  public:
    // databasePath: the SQLite file (":memory:" for a throw-away host); journalDir: where the
    // journal files go, "" for none.
    HostSimulator(QString databasePath, const Clock& relogio, QString journalDir = {});
    ~HostSimulator();

    // Opens the database, seeding it with the demo data when it is new.
    bool abre(QString* erro = nullptr);

    // The answer body for one request body (both without the four-digit length), with the
    // journals it changed already rewritten. Never throws; a request it cannot read gets a
    // system-error answer.
    QString responde(const QString& corpo);

    // The answer as responde() gives it but with the journal rewrite held back: the changed
    // journals stay marked until gravaDiarios(). A server answering several terminals at
    // once answers each request this way and rewrites the journals once before sending the
    // answers, so that no answer leaves before the journals it changed.
    QString respondeSemGravar(const QString& corpo);
    // The answer as respondeSemGravar() gives it, for a server answering the requests that
    // arrive together as one batch: the first request of a batch opens one database
    // transaction, each request is a savepoint in it (a request that fails is undone alone),
    // and concluiLote() commits them all at once. No answer of a batch may leave before
    // concluiLote() returned true.
    QString respondeEmLote(const QString& corpo);
    // Commits the open batch, then rewrites the journals it changed. False when the commit
    // failed: nothing of the batch was kept and none of its answers may be sent.
    bool concluiLote();
    // Rewrites the journals marked since the last call (only the files whose content
    // changed). False when a write failed (erroDiario() says why; those journals are tried
    // again at the next call).
    bool gravaDiarios();
    // Journal files written since the host started (0 without a journal directory).
    quint64 arquivosGravados() const;

    // The price lookup: a product by code (EAN, leading zeros ignored).
    std::optional<PrecoProduto> consultaPreco(const QString& codigo);

    HostStore& store() { return *store_; }
    // The last journal write failure ("" when all went well).
    QString erroDiario() const { return erroDiario_; }
    quint64 requisicoesAtendidas() const { return atendidas_; }

  private:
    struct Alteracoes {
        QSet<QString> operadoras;
        QSet<qint64> lotes;
        QSet<qint64> nsus;
        void marca(const Transacao& t);
    };

    // Each transaction's answer, or nullopt when the store failed (the request is then
    // rolled back and answered with a system error).
    std::optional<Resposta> despacha(const Pedido& p, Alteracoes& alt);
    // host_autorizacao.cpp
    // An eligibility that has become neither a stored pre-authorisation nor a sale within
    // this time is removed: a flood of eligibility requests leaves nothing lasting behind.
    static constexpr qint64 kValidadeElegibilidadeS = 3600;
    std::optional<Resposta> elegibilidade(const Pedido& p);
    std::optional<Resposta> consultaProdutos(const Pedido& p);
    std::optional<Resposta> autorizaProdutos(const Pedido& p, bool venda, Alteracoes& alt);
    std::optional<Resposta> cadastro(const Pedido& p);
    // host_desfazimento.cpp
    std::optional<Resposta> confirmacao(const Pedido& p, Alteracoes& alt);
    std::optional<Resposta> desfazimento(const Pedido& p, Alteracoes& alt);
    std::optional<Resposta> cancelamento(const Pedido& p, Alteracoes& alt);

    const Clock& relogio_;
    std::unique_ptr<HostStore> store_;
    std::unique_ptr<HostJournal> diario_;
    // Runs one request in its own database transaction, or as a savepoint of the batch.
    QString atende(const QString& corpo, bool emLote);

    QString erroDiario_;
    quint64 atendidas_ = 0;
    // When the stale eligibility rows were last removed.
    QDateTime ultimaLimpeza_;
    bool loteAberto_ = false;
};

// The answer for a request that cannot be answered in its own form: four characters, the
// three-digit system error code and a blank, which the terminal reports as an error to
// take to support.
QString respostaErroSistema(int codigo);

}  // namespace ql::hostsim
