#pragma once

#include <QDate>
#include <QDateTime>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>

#include <optional>
#include <unordered_map>
#include <vector>

namespace ql::hostsim {

struct Produto {
    QString codigo;  // EAN-13
    QString descricao;
    QString apresentacao;
    QString fabricante;
    QString embalagem;
    qint64 precoBruto = 0;
    qint64 precoLiquido = 0;
    bool coberto = true;
    int quantidadeMaxima = 0;
};

struct Cartao {
    QString numero;
    QString titular;
    int codigoResposta = 0;
    QString motivo;
    int subsidio = 0;  // hundredths of a percent of the net price paid by the operadora
};

// Transaction kinds and their life.
//   PRE   eligibility of a pre-sale, then the stored pre-authorisation:
//         ELEGIVEL -> ABERTA (stored) -> UTILIZADA (sold) or DESFEITA
//   VENDA eligibility of a sale, then the sale: ELEGIVEL -> PENDENTE -> CONFIRMADA,
//         DESFEITA, CANCELADA (all items cancelled)
//   CANC  a total or partial cancellation: PENDENTE -> CONFIRMADA or DESFEITA
struct Transacao {
    qint64 nsu = 0;
    QString tipo;
    QString codigoTipo;  // journal type code: "BC" sale, "CT" total and "CP" partial cancellation
    QString situacao;
    QString cartao;
    QString operadora;  // route name as the terminal sent it
    QString codigoOperadora;
    QString terminal;
    QString estabelecimento;
    QString documento;
    qint64 lote = 0;
    qint64 origem = 0;  // CANC: the sale cancelled
    qint64 pre = 0;     // VENDA: the pre-authorisation it sells
    QDateTime criada;
};

struct Item {
    qint64 nsu = 0;
    int seq = 0;
    QString codigo;
    QString embalagem;
    int quantidade = 0;
    qint64 precoBruto = 0;
    qint64 precoLiquido = 0;
    qint64 valorReceber = 0;
    int desconto = 0;  // hundredths of a percent
    int status = 0;
    int cancelada = 0;  // quantity cancelled so far (sales)
};

struct Lote {
    qint64 numero = 0;
    QString codigoOperadora;
    QDate abertura;
    QDate fechamento;  // null while open
    int transacoes = 0;
};

// A lot with the sums of the transactions its journals list (sales and cancellations not
// undone; a cancellation counts against the lot), over their items not removed.
struct ResumoLote {
    Lote lote;
    int quantidade = 0;  // transactions
    qint64 bruto = 0;
    qint64 liquido = 0;
    qint64 receber = 0;
};

// The host's state in one SQLite file: catalogue, cards, operadoras, transactions with their
// items, lots and registrations. One connection per instance (its own connection name), WAL
// journal, and the caller wraps each request in begin()/commit().
class HostStore {
  public:
    explicit HostStore(QString caminho);
    ~HostStore();
    HostStore(const HostStore&) = delete;
    HostStore& operator=(const HostStore&) = delete;

    // Opens (creating the schema, and the demo data when the file is new).
    bool abre(const QDateTime& agora, QString* erro);
    bool aberto() const { return db_.isOpen(); }
    QString caminho() const { return caminho_; }

    bool begin();
    bool commit();
    void rollback();
    // A savepoint inside the open transaction, for one request of a batch: released when the
    // request went well, or everything since it undone.
    bool savepoint();
    bool release();
    void rollbackToSavepoint();

    std::optional<Produto> produto(const QString& codigo);
    // Products whose code equals the digits given (leading zeros ignored) or whose
    // description or presentation contains the text, in description order.
    std::vector<Produto> buscaProdutos(const QString& texto, int inicio, int limite, int* total);
    std::optional<Cartao> cartao(const QString& numero);
    // The 8-character code of an operadora route name; the first operadora's code when the
    // route is unknown, so that every transaction still lands in a journal.
    QString codigoOperadora(const QString& nome);
    // Codes of every operadora the host knows, in their order.
    std::vector<QString> codigosOperadoras();

    std::optional<Transacao> transacao(qint64 nsu);
    qint64 criaTransacao(const Transacao& t);  // the new NSU, 0 on failure
    bool atualizaTransacao(const Transacao& t);
    std::optional<Transacao> ultimaPreAberta(const QString& cartao);
    std::optional<Transacao> ultimaVendaElegivel(const QString& cartao, const QString& terminal);

    // Removes the transactions created before limite that never got past eligibility or a
    // product list in progress (neither a stored pre-authorisation nor a sale), with their
    // items.
    bool apagaInacabadasAntes(const QDateTime& limite);

    std::vector<Item> itens(qint64 nsu);
    bool adicionaItem(const Item& item);
    bool atualizaItem(const Item& item);
    bool apagaItens(qint64 nsu);

    // The open lot of an operadora for that day: a lot closes when the day changes or after
    // kMaxTransacoesLote transactions, so that every lot's journal stays small.
    static constexpr int kMaxTransacoesLote = 100;
    qint64 loteParaNovaTransacao(const QString& codigoOperadora, const QDate& dia);
    std::vector<Lote> lotes(const QString& codigoOperadora, int limite);
    std::optional<Lote> lote(qint64 numero);
    std::vector<Transacao> transacoesDoLote(qint64 lote);
    // The newest lots of an operadora, newest first, with their sums (one query for all).
    std::vector<ResumoLote> resumosDosLotes(const QString& codigoOperadora, int limite);
    std::vector<Transacao> pendentes(const QString& codigoOperadora);

    bool gravaCadastro(const QString& estab, const QString& operadora, const QString& distribuidora,
                       const QDateTime& agora);
    QString cadastro(const QString& estab, const QString& operadora);

    // Adds a card, and a stored pre-authorisation of products (code, quantity) for it; for
    // load drivers and tests that need more cards than the demo data has.
    bool adicionaCartao(const Cartao& cartao);
    qint64 adicionaPreAutorizacao(const QString& cartao, const QString& operadora,
                                  const std::vector<std::pair<QString, int>>& itens,
                                  const QDateTime& agora);

    QString ultimoErro() const { return erro_; }

  private:
    // A prepared statement of the cache, lent for one use: reset when the use ends, so that
    // no read stays open between requests.
    class Consulta {
      public:
        explicit Consulta(QSqlQuery& q) : q_(q) {}
        ~Consulta();
        Consulta(const Consulta&) = delete;
        Consulta& operator=(const Consulta&) = delete;
        QSqlQuery& operator*() { return q_; }

      private:
        QSqlQuery& q_;
    };
    // The statement for that SQL text, prepared on its first use and kept for the
    // connection's life (preparing costs more than most of the queries themselves).
    Consulta consulta(const QString& sql);

    bool executa(const QString& sql);
    bool criaEsquema();
    bool semeia(const QDateTime& agora);

    QString caminho_;
    QString conexao_;
    QSqlDatabase db_;
    std::unordered_map<QString, QSqlQuery> consultas_;
    // Products already read, by normalised code: the host never changes its catalogue once
    // seeded, and every sale and journal row looks its products up again.
    std::unordered_map<QString, Produto> produtos_;
    QString erro_;
};

// A product code as the host keys it: digits only, 13 characters with leading zeros.
QString codigoNormalizado(const QString& codigo);

}  // namespace ql::hostsim
