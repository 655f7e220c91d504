// Opening the host's database: its settings, its schema, and the demo data it is seeded with
// when it is new.
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include "demo_data.h"
#include "host_store.h"

namespace ql::hostsim {

bool HostStore::abre(const QDateTime& agora, QString* erro) {
    db_ = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), conexao_);
    db_.setDatabaseName(caminho_);
    db_.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
    if (!db_.open()) {
        erro_ = db_.lastError().text();
        if (erro) *erro = erro_;
        return false;
    }
    bool ok = executa(QStringLiteral("PRAGMA journal_mode=WAL")) &&
              executa(QStringLiteral("PRAGMA synchronous=NORMAL")) &&
              executa(QStringLiteral("PRAGMA foreign_keys=ON")) && criaEsquema();
    if (ok) {
        QSqlQuery q(db_);
        ok = q.exec(QStringLiteral("SELECT COUNT(*) FROM produtos")) && q.next();
        if (ok && q.value(0).toInt() == 0) {
            ok = begin() && semeia(agora);
            ok = ok ? commit() : (rollback(), false);
        }
        if (!ok && erro_.isEmpty()) erro_ = q.lastError().text();
    }
    if (!ok) {
        if (erro) *erro = erro_;
        db_.close();
    }
    return ok;
}

bool HostStore::criaEsquema() {
    const char* comandos[] = {
        "CREATE TABLE IF NOT EXISTS produtos(codigo TEXT PRIMARY KEY, descricao TEXT NOT NULL, "
        "apresentacao TEXT NOT NULL, fabricante TEXT NOT NULL, embalagem TEXT NOT NULL, "
        "preco_bruto INTEGER NOT NULL, preco_liquido INTEGER NOT NULL, coberto INTEGER NOT NULL, "
        "qtd_maxima INTEGER NOT NULL)",
        "CREATE TABLE IF NOT EXISTS cartoes(numero TEXT PRIMARY KEY, titular TEXT NOT NULL, "
        "codigo_resposta INTEGER NOT NULL, motivo TEXT NOT NULL, subsidio INTEGER NOT NULL)",
        "CREATE TABLE IF NOT EXISTS operadoras(nome TEXT PRIMARY KEY, codigo TEXT NOT NULL, "
        "ordem INTEGER NOT NULL)",
        "CREATE TABLE IF NOT EXISTS lotes(lote INTEGER PRIMARY KEY AUTOINCREMENT, "
        "codigo_operadora TEXT NOT NULL, abertura TEXT NOT NULL, fechamento TEXT, "
        "transacoes INTEGER NOT NULL DEFAULT 0)",
        "CREATE TABLE IF NOT EXISTS transacoes(nsu INTEGER PRIMARY KEY AUTOINCREMENT, "
        "tipo TEXT NOT NULL, codigo_tipo TEXT, situacao TEXT NOT NULL, cartao TEXT, "
        "operadora TEXT, codigo_operadora TEXT, terminal TEXT, estab TEXT, documento TEXT, "
        "lote INTEGER NOT NULL DEFAULT 0, origem INTEGER NOT NULL DEFAULT 0, "
        "pre INTEGER NOT NULL DEFAULT 0, criada TEXT NOT NULL)",
        "CREATE INDEX IF NOT EXISTS transacoes_cartao ON transacoes(cartao, tipo, situacao)",
        "CREATE INDEX IF NOT EXISTS transacoes_lote ON transacoes(lote)",
        "CREATE INDEX IF NOT EXISTS transacoes_situacao ON transacoes(codigo_operadora, situacao)",
        // Only the transactions still in eligibility or a product list, to find the stale ones.
        "CREATE INDEX IF NOT EXISTS transacoes_inacabadas ON transacoes(criada) "
        "WHERE situacao IN ('ELEGIVEL', 'EM_CURSO')",
        "CREATE TABLE IF NOT EXISTS itens(nsu INTEGER NOT NULL REFERENCES transacoes(nsu), "
        "seq INTEGER NOT NULL, codigo TEXT NOT NULL, embalagem TEXT NOT NULL, "
        "quantidade INTEGER NOT NULL, preco_bruto INTEGER NOT NULL, "
        "preco_liquido INTEGER NOT NULL, valor_receber INTEGER NOT NULL, "
        "desconto INTEGER NOT NULL, status INTEGER NOT NULL, "
        "cancelada INTEGER NOT NULL DEFAULT 0, PRIMARY KEY(nsu, seq))",
        "CREATE TABLE IF NOT EXISTS cadastros(estab TEXT NOT NULL, operadora TEXT NOT NULL, "
        "distribuidora TEXT NOT NULL, atualizado TEXT NOT NULL, PRIMARY KEY(estab, operadora))",
    };
    for (const char* c : comandos)
        if (!executa(QString::fromLatin1(c))) return false;
    return true;
}

bool HostStore::semeia(const QDateTime& agora) {
    // NSUs start high enough to look like a network's and to fill the twelve digits visibly.
    if (!executa(QStringLiteral("INSERT OR IGNORE INTO sqlite_sequence(name, seq) "
                                "VALUES('transacoes', 100000)")))
        return false;
    QSqlQuery q(db_);
    q.prepare(QStringLiteral("INSERT INTO produtos VALUES(?,?,?,?,?,?,?,?,?)"));
    for (const DemoProduto& p : demoProdutos()) {
        q.addBindValue(QString::fromLatin1(p.codigo));
        q.addBindValue(QString::fromLatin1(p.descricao));
        q.addBindValue(QString::fromLatin1(p.apresentacao));
        q.addBindValue(QString::fromLatin1(p.fabricante));
        q.addBindValue(QString::fromLatin1(p.embalagem));
        q.addBindValue(p.precoBruto);
        q.addBindValue(p.precoLiquido);
        q.addBindValue(p.coberto ? 1 : 0);
        q.addBindValue(p.quantidadeMaxima);
        if (!q.exec()) return erro_ = q.lastError().text(), false;
    }
    q.prepare(QStringLiteral("INSERT INTO cartoes VALUES(?,?,?,?,?)"));
    for (const DemoCartao& c : demoCartoes()) {
        q.addBindValue(QString::fromLatin1(c.numero));
        q.addBindValue(QString::fromLatin1(c.titular));
        q.addBindValue(c.codigoResposta);
        q.addBindValue(QString::fromLatin1(c.motivo));
        q.addBindValue(c.subsidio);
        if (!q.exec()) return erro_ = q.lastError().text(), false;
    }
    q.prepare(QStringLiteral("INSERT INTO operadoras VALUES(?,?,?)"));
    int ordem = 0;
    for (const DemoOperadora& o : demoOperadoras()) {
        q.addBindValue(QString::fromLatin1(o.nome));
        q.addBindValue(QString::fromLatin1(o.codigo));
        q.addBindValue(ordem++);
        if (!q.exec()) return erro_ = q.lastError().text(), false;
    }
    const QString operadora = QString::fromLatin1(demoOperadoras().front().nome);
    for (const DemoPreAutorizacao& pre : demoPreAutorizacoes()) {
        std::vector<std::pair<QString, int>> itens;
        for (const auto& [codigo, qtd] : pre.itens)
            itens.emplace_back(QString::fromLatin1(codigo), qtd);
        if (adicionaPreAutorizacao(QString::fromLatin1(pre.cartao), operadora, itens, agora) == 0)
            return false;
    }
    return true;
}

}  // namespace ql::hostsim
