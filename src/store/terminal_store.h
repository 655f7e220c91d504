#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace ql {

// Where a sale the host approved stands between the terminal and the host.
enum class EstadoVenda {
    Enviada,               // the sale request left, no answer yet: undone unless approved
    Autorizada,            // approved, neither confirmed nor undone yet (receipt on screen)
    Confirmada,            // the host accepted the confirmation
    Desfeita,              // the host accepted the undo
    ConfirmacaoPendente,   // confirmation sent, the host's answer not received yet
    DesfazimentoPendente,  // undo sent, the host's answer not received yet
    Recusada,              // the host refused the sale, its confirmation or its undo: final
};

// The state's name as the store and the log write it.
QString NomeEstado(EstadoVenda estado);
std::optional<EstadoVenda> EstadoDoNome(const QString& nome);
// Confirmed, undone or refused: nothing more to send for it.
bool EstadoLiquidado(EstadoVenda estado);

// One sale as the terminal keeps it, from the moment its request leaves.
struct VendaRegistrada {
    QString nsu;              // the host's reference, 12 digits
    QString rota;             // the operadora's route the sale went by
    QString cartaoMascarado;  // first six and last four digits only
    qint64 totalBrutoCentavos = 0;
    qint64 totalVendaCentavos = 0;
    qint64 totalClienteCentavos = 0;
    QString documentoFiscal;
    QStringList recibo;  // the receipt's lines as the receipt screen shows them
    QDateTime aprovadaEm;
    EstadoVenda estado = EstadoVenda::Autorizada;
    // The confirmation or undo last sent (or to send): message type and processing code. A
    // sale still "sent" holds its undo here.
    QString tipoMensagem;
    QString codigoProcessamento;
    QString codigoResposta;  // the host's last response code for it ("" before any)
    QDateTime atualizadaEm;
};

// The terminal store: one SQLite file (write-ahead log, full sync, so that a row is on disk
// when a write returns) holding each sale and its state. The file stays compact: the
// write-ahead log is cut back to 1 MB at each checkpoint, and removing old sales gives their
// pages back to the file system (VACUUM). One connection per store object; everything runs on
// the thread that made it.
class TerminalStore {
  public:
    // The file name in the Path CORE directory.
    static constexpr char kArquivo[] = "terminal.sqlite";

    explicit TerminalStore(QString caminho);
    ~TerminalStore();
    TerminalStore(const TerminalStore&) = delete;
    TerminalStore& operator=(const TerminalStore&) = delete;

    // Opens (creating when new) the file; false with the reason in erro.
    bool abre(QString* erro = nullptr);
    const QString& caminho() const { return caminho_; }
    QString ultimoErro() const;

    // Writes a sale (a sale of the same NSU is replaced).
    bool registra(const VendaRegistrada& venda);
    // Changes the state of a sale and what is to be sent for it; false when there is no such
    // sale or the write failed.
    bool mudaEstado(const QString& nsu, EstadoVenda estado, const QString& tipoMensagem,
                    const QString& codigoProcessamento, const QString& codigoResposta,
                    const QDateTime& quando);
    std::optional<VendaRegistrada> venda(const QString& nsu) const;
    // The sales in the given states, oldest first; with limite > 0, at most that many of the
    // newest, newest first.
    std::vector<VendaRegistrada> vendasNosEstados(const std::vector<EstadoVenda>& estados,
                                                  int limite = 0) const;
    // Removes the settled sales last changed before limite and compacts the file; returns how
    // many.
    int removeLiquidadasAntes(const QDateTime& limite);

  private:
    bool executa(const QString& sql);

    QString caminho_;
    QString conexao_;  // the Qt SQL connection's name
    bool aberto_ = false;
    mutable QString erro_;
};

}  // namespace ql
