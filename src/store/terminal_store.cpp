#include "store/terminal_store.h"

#include <QAtomicInteger>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <array>

#include "shell/text_files.h"

namespace ql {

namespace {

QAtomicInteger<int> proximaConexao{1};

struct NomeDeEstado {
    EstadoVenda estado;
    const char* nome;
};
constexpr std::array<NomeDeEstado, 7> kNomes{{
    {EstadoVenda::Enviada, "sent"},
    {EstadoVenda::Autorizada, "authorised"},
    {EstadoVenda::Confirmada, "confirmed"},
    {EstadoVenda::Desfeita, "undone"},
    {EstadoVenda::ConfirmacaoPendente, "confirmation pending"},
    {EstadoVenda::DesfazimentoPendente, "undo pending"},
    {EstadoVenda::Recusada, "refused"},
}};

const QString kColunas = QStringLiteral(
    "nsu, rota, cartao, total_bruto, total_venda, total_cliente, documento, recibo, "
    "aprovada_em, estado, tipo_mensagem, codigo_processamento, codigo_resposta, atualizada_em");

QString momento(const QDateTime& t) {
    return t.toString(Qt::ISODateWithMs);
}

VendaRegistrada leVenda(const QSqlQuery& q) {
    VendaRegistrada v;
    v.nsu = q.value(0).toString();
    v.rota = q.value(1).toString();
    v.cartaoMascarado = q.value(2).toString();
    v.totalBrutoCentavos = q.value(3).toLongLong();
    v.totalVendaCentavos = q.value(4).toLongLong();
    v.totalClienteCentavos = q.value(5).toLongLong();
    v.documentoFiscal = q.value(6).toString();
    const QString recibo = q.value(7).toString();
    v.recibo = recibo.isEmpty() ? QStringList() : recibo.split(QLatin1Char('\n'));
    v.aprovadaEm = QDateTime::fromString(q.value(8).toString(), Qt::ISODateWithMs);
    v.estado = EstadoDoNome(q.value(9).toString()).value_or(EstadoVenda::Autorizada);
    v.tipoMensagem = q.value(10).toString();
    v.codigoProcessamento = q.value(11).toString();
    v.codigoResposta = q.value(12).toString();
    v.atualizadaEm = QDateTime::fromString(q.value(13).toString(), Qt::ISODateWithMs);
    return v;
}

}  // namespace

QString NomeEstado(EstadoVenda estado) {
    for (const NomeDeEstado& n : kNomes)
        if (n.estado == estado) return QLatin1String(n.nome);
    return {};
}

std::optional<EstadoVenda> EstadoDoNome(const QString& nome) {
    for (const NomeDeEstado& n : kNomes)
        if (nome == QLatin1String(n.nome)) return n.estado;
    return std::nullopt;
}

bool EstadoLiquidado(EstadoVenda estado) {
    return estado == EstadoVenda::Confirmada || estado == EstadoVenda::Desfeita ||
           estado == EstadoVenda::Recusada;
}

TerminalStore::TerminalStore(QString caminho)
    : caminho_(std::move(caminho)),
      conexao_(QStringLiteral("quillane-terminal-%1").arg(proximaConexao.fetchAndAddRelaxed(1))) {}

TerminalStore::~TerminalStore() {
    if (!aberto_) return;
    QSqlDatabase::database(conexao_, false).close();
    QSqlDatabase::removeDatabase(conexao_);
}

QString TerminalStore::ultimoErro() const {
    return erro_;
}

bool TerminalStore::executa(const QString& sql) {
    QSqlQuery q(QSqlDatabase::database(conexao_, false));
    if (q.exec(sql)) return true;
    erro_ = q.lastError().text();
    return false;
}

bool TerminalStore::abre(QString* erro) {
    if (aberto_) return true;
    // The store is the program's own (0600), also when an earlier version left it readable:
    // created empty with that mode before SQLite opens it, and SQLite gives its write-ahead
    // log and index the main file's mode.
    if (!QFileInfo::exists(caminho_)) {
        QFile novo(caminho_);
        if (novo.open(QIODevice::WriteOnly)) novo.close();
    }
    for (const char* sufixo : {"", "-wal", "-shm"})
        if (QFileInfo::exists(caminho_ + QLatin1String(sufixo)))
            makeFilePrivate(caminho_ + QLatin1String(sufixo));
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), conexao_);
    aberto_ = true;
    db.setDatabaseName(caminho_);
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
    bool ok = db.open();
    if (!ok) erro_ = db.lastError().text();
    // Full sync: a write returns once the row is on the disk, not only in the system's cache.
    ok = ok && executa(QStringLiteral("PRAGMA journal_mode=WAL")) &&
         executa(QStringLiteral("PRAGMA synchronous=FULL")) &&
         executa(QStringLiteral("PRAGMA journal_size_limit=1048576")) &&
         executa(QStringLiteral(
             "CREATE TABLE IF NOT EXISTS vendas (nsu TEXT PRIMARY KEY, rota TEXT, cartao TEXT, "
             "total_bruto INTEGER, total_venda INTEGER, total_cliente INTEGER, documento TEXT, "
             "recibo TEXT, aprovada_em TEXT, estado TEXT NOT NULL, tipo_mensagem TEXT, "
             "codigo_processamento TEXT, codigo_resposta TEXT, atualizada_em TEXT)")) &&
         executa(QStringLiteral("CREATE INDEX IF NOT EXISTS vendas_estado ON vendas (estado)"));
    if (!ok && erro) *erro = erro_;
    return ok;
}

bool TerminalStore::registra(const VendaRegistrada& v) {
    QSqlQuery q(QSqlDatabase::database(conexao_, false));
    q.prepare(QStringLiteral("INSERT OR REPLACE INTO vendas (") + kColunas +
              QStringLiteral(") VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?)"));
    for (const QVariant& valor :
         {QVariant(v.nsu), QVariant(v.rota), QVariant(v.cartaoMascarado),
          QVariant(v.totalBrutoCentavos), QVariant(v.totalVendaCentavos),
          QVariant(v.totalClienteCentavos), QVariant(v.documentoFiscal),
          QVariant(v.recibo.join(QLatin1Char('\n'))), QVariant(momento(v.aprovadaEm)),
          QVariant(NomeEstado(v.estado)), QVariant(v.tipoMensagem), QVariant(v.codigoProcessamento),
          QVariant(v.codigoResposta), QVariant(momento(v.atualizadaEm))})
        q.addBindValue(valor);
    if (q.exec()) return true;
    erro_ = q.lastError().text();
    return false;
}

bool TerminalStore::mudaEstado(const QString& nsu, EstadoVenda estado, const QString& tipoMensagem,
                               const QString& codigoProcessamento, const QString& codigoResposta,
                               const QDateTime& quando) {
    QSqlQuery q(QSqlDatabase::database(conexao_, false));
    q.prepare(
        QStringLiteral("UPDATE vendas SET estado = ?, tipo_mensagem = ?, codigo_processamento = ?, "
                       "codigo_resposta = ?, atualizada_em = ? WHERE nsu = ?"));
    for (const QString& valor : {NomeEstado(estado), tipoMensagem, codigoProcessamento,
                                 codigoResposta, momento(quando), nsu})
        q.addBindValue(valor);
    if (!q.exec()) {
        erro_ = q.lastError().text();
        return false;
    }
    return q.numRowsAffected() == 1;
}

std::optional<VendaRegistrada> TerminalStore::venda(const QString& nsu) const {
    QSqlQuery q(QSqlDatabase::database(conexao_, false));
    q.prepare(QStringLiteral("SELECT ") + kColunas + QStringLiteral(" FROM vendas WHERE nsu = ?"));
    q.addBindValue(nsu);
    if (!q.exec()) {
        erro_ = q.lastError().text();
        return std::nullopt;
    }
    if (!q.next()) return std::nullopt;
    return leVenda(q);
}

std::vector<VendaRegistrada> TerminalStore::vendasNosEstados(
    const std::vector<EstadoVenda>& estados, int limite) const {
    std::vector<VendaRegistrada> vendas;
    if (estados.empty()) return vendas;
    QStringList marcas;
    for (std::size_t i = 0; i < estados.size(); ++i) marcas << QStringLiteral("?");
    QSqlQuery q(QSqlDatabase::database(conexao_, false));
    q.prepare(QStringLiteral("SELECT ") + kColunas +
              QStringLiteral(" FROM vendas WHERE estado IN (") + marcas.join(QLatin1Char(',')) +
              (limite > 0
                   ? QStringLiteral(") ORDER BY aprovada_em DESC, nsu DESC LIMIT %1").arg(limite)
                   : QStringLiteral(") ORDER BY aprovada_em, nsu")));
    for (EstadoVenda e : estados) q.addBindValue(NomeEstado(e));
    if (!q.exec()) {
        erro_ = q.lastError().text();
        return vendas;
    }
    while (q.next()) vendas.push_back(leVenda(q));
    return vendas;
}

int TerminalStore::removeLiquidadasAntes(const QDateTime& limite) {
    QSqlQuery q(QSqlDatabase::database(conexao_, false));
    q.prepare(QStringLiteral("DELETE FROM vendas WHERE estado IN (?,?,?) AND atualizada_em < ?"));
    for (EstadoVenda e : {EstadoVenda::Confirmada, EstadoVenda::Desfeita, EstadoVenda::Recusada})
        q.addBindValue(NomeEstado(e));
    q.addBindValue(momento(limite));
    if (!q.exec()) {
        erro_ = q.lastError().text();
        return 0;
    }
    const int removidas = q.numRowsAffected();
    q.finish();
    // The freed pages go back to the file system; the log is emptied into the file first.
    if (removidas > 0 && executa(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)")))
        executa(QStringLiteral("VACUUM"));
    return removidas;
}

}  // namespace ql
