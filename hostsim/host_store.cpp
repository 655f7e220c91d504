#include "host_store.h"

#include <QAtomicInteger>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

namespace ql::hostsim {

namespace {

QAtomicInteger<quint64> proximaConexao{0};

constexpr const char* kCamposTransacao =
    "nsu, tipo, codigo_tipo, situacao, cartao, operadora, codigo_operadora, terminal, estab, "
    "documento, lote, origem, pre, criada";

Transacao leTransacao(const QSqlQuery& q) {
    Transacao t;
    t.nsu = q.value(0).toLongLong();
    t.tipo = q.value(1).toString();
    t.codigoTipo = q.value(2).toString();
    t.situacao = q.value(3).toString();
    t.cartao = q.value(4).toString();
    t.operadora = q.value(5).toString();
    t.codigoOperadora = q.value(6).toString();
    t.terminal = q.value(7).toString();
    t.estabelecimento = q.value(8).toString();
    t.documento = q.value(9).toString();
    t.lote = q.value(10).toLongLong();
    t.origem = q.value(11).toLongLong();
    t.pre = q.value(12).toLongLong();
    t.criada = QDateTime::fromString(q.value(13).toString(), Qt::ISODate);
    return t;
}

Produto leProduto(const QSqlQuery& q) {
    Produto p;
    p.codigo = q.value(0).toString();
    p.descricao = q.value(1).toString();
    p.apresentacao = q.value(2).toString();
    p.fabricante = q.value(3).toString();
    p.embalagem = q.value(4).toString();
    p.precoBruto = q.value(5).toLongLong();
    p.precoLiquido = q.value(6).toLongLong();
    p.coberto = q.value(7).toInt() != 0;
    p.quantidadeMaxima = q.value(8).toInt();
    return p;
}

constexpr const char* kCamposProduto =
    "codigo, descricao, apresentacao, fabricante, embalagem, preco_bruto, preco_liquido, "
    "coberto, qtd_maxima";

Lote leLote(const QSqlQuery& q) {
    Lote l;
    l.numero = q.value(0).toLongLong();
    l.codigoOperadora = q.value(1).toString();
    l.abertura = QDate::fromString(q.value(2).toString(), Qt::ISODate);
    l.fechamento = QDate::fromString(q.value(3).toString(), Qt::ISODate);
    l.transacoes = q.value(4).toInt();
    return l;
}

// Empty texts are stored as '' rather than NULL.
QString naoNulo(const QString& s) {
    return s.isNull() ? QStringLiteral("") : s;
}

}  // namespace

QString codigoNormalizado(const QString& codigo) {
    QString digitos;
    for (const QChar c : codigo)
        if (c.isDigit()) digitos += c;
    while (digitos.size() > 13 && digitos.startsWith(QLatin1Char('0'))) digitos.remove(0, 1);
    return digitos.rightJustified(13, QLatin1Char('0'));
}

HostStore::HostStore(QString caminho)
    : caminho_(std::move(caminho)),
      conexao_(QStringLiteral("quillane-host-%1").arg(proximaConexao.fetchAndAddRelaxed(1))) {}

HostStore::Consulta::~Consulta() {
    q_.finish();
}

HostStore::Consulta HostStore::consulta(const QString& sql) {
    auto it = consultas_.find(sql);
    if (it == consultas_.end()) {
        it = consultas_.emplace(sql, db_).first;
        it->second.setForwardOnly(true);
        if (!it->second.prepare(sql)) erro_ = it->second.lastError().text();
    }
    return Consulta(it->second);
}

HostStore::~HostStore() {
    consultas_.clear();
    if (db_.isValid()) {
        db_.close();
        db_ = QSqlDatabase();
        QSqlDatabase::removeDatabase(conexao_);
    }
}

bool HostStore::executa(const QString& sql) {
    QSqlQuery q(db_);
    if (!q.exec(sql)) {
        erro_ = q.lastError().text();
        return false;
    }
    return true;
}

bool HostStore::begin() {
    if (!db_.transaction()) return erro_ = db_.lastError().text(), false;
    return true;
}
bool HostStore::commit() {
    if (!db_.commit()) return erro_ = db_.lastError().text(), false;
    return true;
}
void HostStore::rollback() {
    db_.rollback();
}

bool HostStore::savepoint() {
    Consulta uso = consulta(QStringLiteral("SAVEPOINT pedido"));
    if (!(*uso).exec()) return erro_ = (*uso).lastError().text(), false;
    return true;
}

bool HostStore::release() {
    Consulta uso = consulta(QStringLiteral("RELEASE pedido"));
    if (!(*uso).exec()) return erro_ = (*uso).lastError().text(), false;
    return true;
}

void HostStore::rollbackToSavepoint() {
    Consulta uso = consulta(QStringLiteral("ROLLBACK TO pedido"));
    (*uso).exec();
    release();
}

std::optional<Produto> HostStore::produto(const QString& codigo) {
    const QString chave = codigoNormalizado(codigo);
    if (const auto it = produtos_.find(chave); it != produtos_.end()) return it->second;
    static const QString sql = QStringLiteral("SELECT %1 FROM produtos WHERE codigo = ?")
                                   .arg(QLatin1String(kCamposProduto));
    Consulta qUso = consulta(sql);
    QSqlQuery& q = *qUso;
    q.addBindValue(chave);
    if (!q.exec() || !q.next()) return std::nullopt;
    return produtos_.emplace(chave, leProduto(q)).first->second;
}

std::vector<Produto> HostStore::buscaProdutos(const QString& texto, int inicio, int limite,
                                              int* total) {
    std::vector<Produto> achados;
    const QString busca = texto.trimmed();
    bool numerico = !busca.isEmpty();
    for (const QChar c : busca) numerico = numerico && c.isDigit();
    QString filtro;
    QVariant valor;
    if (numerico) {
        filtro = QStringLiteral("codigo = ?");
        valor = codigoNormalizado(busca);
    } else {
        filtro = QStringLiteral(
            "instr(upper(descricao || ' ' || apresentacao || ' ' || fabricante), ?) > 0");
        valor = busca.toUpper();
    }
    Consulta qUso = consulta(QStringLiteral("SELECT COUNT(*) FROM produtos WHERE ") + filtro);
    QSqlQuery& q = *qUso;
    q.addBindValue(valor);
    if (total) *total = (q.exec() && q.next()) ? q.value(0).toInt() : 0;
    Consulta paginaUso =
        consulta(QStringLiteral("SELECT %1 FROM produtos WHERE %2 ORDER BY descricao, codigo "
                                "LIMIT ? OFFSET ?")
                     .arg(QLatin1String(kCamposProduto), filtro));
    QSqlQuery& pagina = *paginaUso;
    pagina.addBindValue(valor);
    pagina.addBindValue(limite);
    pagina.addBindValue(inicio);
    if (pagina.exec())
        while (pagina.next()) achados.push_back(leProduto(pagina));
    return achados;
}

std::optional<Cartao> HostStore::cartao(const QString& numero) {
    Consulta qUso = consulta(QStringLiteral(
        "SELECT numero, titular, codigo_resposta, motivo, subsidio FROM cartoes WHERE numero = ?"));
    QSqlQuery& q = *qUso;
    q.addBindValue(numero.trimmed());
    if (!q.exec() || !q.next()) return std::nullopt;
    return Cartao{q.value(0).toString(), q.value(1).toString(), q.value(2).toInt(),
                  q.value(3).toString(), q.value(4).toInt()};
}

QString HostStore::codigoOperadora(const QString& nome) {
    Consulta qUso = consulta(QStringLiteral("SELECT codigo FROM operadoras WHERE upper(nome) = ?"));
    QSqlQuery& q = *qUso;
    q.addBindValue(nome.trimmed().toUpper());
    if (q.exec() && q.next()) return q.value(0).toString();
    Consulta primeiraUso =
        consulta(QStringLiteral("SELECT codigo FROM operadoras ORDER BY ordem LIMIT 1"));
    QSqlQuery& primeira = *primeiraUso;
    if (primeira.exec() && primeira.next()) return primeira.value(0).toString();
    return QStringLiteral("00000000");
}

bool HostStore::adicionaCartao(const Cartao& c) {
    Consulta qUso = consulta(QStringLiteral("INSERT OR REPLACE INTO cartoes VALUES(?,?,?,?,?)"));
    QSqlQuery& q = *qUso;
    q.addBindValue(c.numero);
    q.addBindValue(naoNulo(c.titular));
    q.addBindValue(c.codigoResposta);
    q.addBindValue(naoNulo(c.motivo));
    q.addBindValue(c.subsidio);
    if (!q.exec()) return erro_ = q.lastError().text(), false;
    return true;
}

qint64 HostStore::adicionaPreAutorizacao(const QString& cartao, const QString& operadora,
                                         const std::vector<std::pair<QString, int>>& itens,
                                         const QDateTime& agora) {
    Transacao t;
    t.tipo = QStringLiteral("PRE");
    t.situacao = QStringLiteral("ABERTA");
    t.cartao = cartao;
    t.operadora = operadora;
    t.codigoOperadora = codigoOperadora(operadora);
    t.terminal = QStringLiteral("DEMO");
    t.criada = agora;
    const qint64 nsu = criaTransacao(t);
    if (nsu == 0) return 0;
    int seq = 0;
    for (const auto& [codigo, qtd] : itens) {
        const std::optional<Produto> p = produto(codigo);
        if (!p) return erro_ = QStringLiteral("produto desconhecido: ") + codigo, 0;
        Item i;
        i.nsu = nsu;
        i.seq = seq++;
        i.codigo = p->codigo;
        i.embalagem = p->embalagem;
        i.quantidade = qtd;
        i.precoBruto = p->precoBruto;
        i.precoLiquido = p->precoLiquido;
        i.valorReceber = p->precoLiquido;
        i.desconto =
            p->precoBruto > 0 ? int((p->precoBruto - p->precoLiquido) * 10000 / p->precoBruto) : 0;
        if (!adicionaItem(i)) return 0;
    }
    return nsu;
}

std::vector<QString> HostStore::codigosOperadoras() {
    std::vector<QString> codigos;
    QSqlQuery q(db_);
    if (q.exec(QStringLiteral("SELECT DISTINCT codigo FROM operadoras ORDER BY ordem")))
        while (q.next()) codigos.push_back(q.value(0).toString());
    return codigos;
}

std::optional<Transacao> HostStore::transacao(qint64 nsu) {
    Consulta qUso = consulta(QStringLiteral("SELECT %1 FROM transacoes WHERE nsu = ?")
                                 .arg(QLatin1String(kCamposTransacao)));
    QSqlQuery& q = *qUso;
    q.addBindValue(nsu);
    if (!q.exec() || !q.next()) return std::nullopt;
    return leTransacao(q);
}

qint64 HostStore::criaTransacao(const Transacao& t) {
    Consulta qUso = consulta(
        QStringLiteral("INSERT INTO transacoes(tipo, codigo_tipo, situacao, cartao, operadora, "
                       "codigo_operadora, terminal, estab, documento, lote, origem, pre, criada) "
                       "VALUES(?,?,?,?,?,?,?,?,?,?,?,?,?)"));
    QSqlQuery& q = *qUso;
    q.addBindValue(t.tipo);
    q.addBindValue(t.codigoTipo);
    q.addBindValue(t.situacao);
    q.addBindValue(t.cartao);
    q.addBindValue(t.operadora);
    q.addBindValue(t.codigoOperadora);
    q.addBindValue(t.terminal);
    q.addBindValue(t.estabelecimento);
    q.addBindValue(t.documento);
    q.addBindValue(t.lote);
    q.addBindValue(t.origem);
    q.addBindValue(t.pre);
    q.addBindValue(t.criada.toString(Qt::ISODate));
    if (!q.exec()) return erro_ = q.lastError().text(), 0;
    return q.lastInsertId().toLongLong();
}

bool HostStore::atualizaTransacao(const Transacao& t) {
    Consulta qUso = consulta(QStringLiteral(
        "UPDATE transacoes SET codigo_tipo = ?, situacao = ?, documento = ?, lote = ?, "
        "origem = ?, pre = ? WHERE nsu = ?"));
    QSqlQuery& q = *qUso;
    q.addBindValue(t.codigoTipo);
    q.addBindValue(t.situacao);
    q.addBindValue(t.documento);
    q.addBindValue(t.lote);
    q.addBindValue(t.origem);
    q.addBindValue(t.pre);
    q.addBindValue(t.nsu);
    if (!q.exec()) return erro_ = q.lastError().text(), false;
    return true;
}

std::optional<Transacao> HostStore::ultimaPreAberta(const QString& cartao) {
    Consulta qUso =
        consulta(QStringLiteral("SELECT %1 FROM transacoes WHERE cartao = ? AND tipo = 'PRE' AND "
                                "situacao = 'ABERTA' ORDER BY nsu DESC LIMIT 1")
                     .arg(QLatin1String(kCamposTransacao)));
    QSqlQuery& q = *qUso;
    q.addBindValue(cartao.trimmed());
    if (!q.exec() || !q.next()) return std::nullopt;
    return leTransacao(q);
}

std::optional<Transacao> HostStore::ultimaVendaElegivel(const QString& cartao,
                                                        const QString& terminal) {
    Consulta qUso = consulta(
        QStringLiteral("SELECT %1 FROM transacoes WHERE cartao = ? AND terminal = ? AND "
                       "tipo = 'VENDA' AND situacao = 'ELEGIVEL' ORDER BY nsu DESC LIMIT 1")
            .arg(QLatin1String(kCamposTransacao)));
    QSqlQuery& q = *qUso;
    q.addBindValue(cartao.trimmed());
    q.addBindValue(terminal);
    if (!q.exec() || !q.next()) return std::nullopt;
    return leTransacao(q);
}

std::vector<Item> HostStore::itens(qint64 nsu) {
    std::vector<Item> lista;
    Consulta qUso = consulta(QStringLiteral(
        "SELECT nsu, seq, codigo, embalagem, quantidade, preco_bruto, preco_liquido, "
        "valor_receber, desconto, status, cancelada FROM itens WHERE nsu = ? ORDER BY seq"));
    QSqlQuery& q = *qUso;
    q.addBindValue(nsu);
    if (!q.exec()) return lista;
    while (q.next()) {
        Item i;
        i.nsu = q.value(0).toLongLong();
        i.seq = q.value(1).toInt();
        i.codigo = q.value(2).toString();
        i.embalagem = q.value(3).toString();
        i.quantidade = q.value(4).toInt();
        i.precoBruto = q.value(5).toLongLong();
        i.precoLiquido = q.value(6).toLongLong();
        i.valorReceber = q.value(7).toLongLong();
        i.desconto = q.value(8).toInt();
        i.status = q.value(9).toInt();
        i.cancelada = q.value(10).toInt();
        lista.push_back(i);
    }
    return lista;
}

bool HostStore::adicionaItem(const Item& i) {
    Consulta qUso = consulta(QStringLiteral("INSERT INTO itens VALUES(?,?,?,?,?,?,?,?,?,?,?)"));
    QSqlQuery& q = *qUso;
    q.addBindValue(i.nsu);
    q.addBindValue(i.seq);
    q.addBindValue(naoNulo(i.codigo));
    q.addBindValue(naoNulo(i.embalagem));
    q.addBindValue(i.quantidade);
    q.addBindValue(i.precoBruto);
    q.addBindValue(i.precoLiquido);
    q.addBindValue(i.valorReceber);
    q.addBindValue(i.desconto);
    q.addBindValue(i.status);
    q.addBindValue(i.cancelada);
    if (!q.exec()) return erro_ = q.lastError().text(), false;
    return true;
}

bool HostStore::atualizaItem(const Item& i) {
    Consulta qUso =
        consulta(QStringLiteral("UPDATE itens SET quantidade = ?, status = ?, cancelada = ? "
                                "WHERE nsu = ? AND seq = ?"));
    QSqlQuery& q = *qUso;
    q.addBindValue(i.quantidade);
    q.addBindValue(i.status);
    q.addBindValue(i.cancelada);
    q.addBindValue(i.nsu);
    q.addBindValue(i.seq);
    if (!q.exec()) return erro_ = q.lastError().text(), false;
    return true;
}

bool HostStore::apagaItens(qint64 nsu) {
    Consulta qUso = consulta(QStringLiteral("DELETE FROM itens WHERE nsu = ?"));
    QSqlQuery& q = *qUso;
    q.addBindValue(nsu);
    if (!q.exec()) return erro_ = q.lastError().text(), false;
    return true;
}

bool HostStore::apagaInacabadasAntes(const QDateTime& limite) {
    const QString criadaAntes = limite.toString(Qt::ISODate);
    for (const char* sql :
         {"DELETE FROM itens WHERE nsu IN (SELECT nsu FROM transacoes WHERE situacao IN "
          "('ELEGIVEL', 'EM_CURSO') AND criada < ?)",
          "DELETE FROM transacoes WHERE situacao IN ('ELEGIVEL', 'EM_CURSO') AND criada < ?"}) {
        Consulta qUso = consulta(QString::fromLatin1(sql));
        QSqlQuery& q = *qUso;
        q.addBindValue(criadaAntes);
        if (!q.exec()) return erro_ = q.lastError().text(), false;
    }
    return true;
}

qint64 HostStore::loteParaNovaTransacao(const QString& codigoOperadora, const QDate& dia) {
    Consulta qUso =
        consulta(QStringLiteral("SELECT lote, abertura, transacoes FROM lotes WHERE "
                                "codigo_operadora = ? AND fechamento IS NULL ORDER BY lote DESC "
                                "LIMIT 1"));
    QSqlQuery& q = *qUso;
    q.addBindValue(codigoOperadora);
    if (!q.exec()) return erro_ = q.lastError().text(), 0;
    qint64 numero = 0;
    if (q.next()) {
        numero = q.value(0).toLongLong();
        const QDate abertura = QDate::fromString(q.value(1).toString(), Qt::ISODate);
        if (abertura != dia || q.value(2).toInt() >= kMaxTransacoesLote) {
            Consulta fechaUso =
                consulta(QStringLiteral("UPDATE lotes SET fechamento = ? WHERE lote = ?"));
            QSqlQuery& fecha = *fechaUso;
            fecha.addBindValue(dia.toString(Qt::ISODate));
            fecha.addBindValue(numero);
            if (!fecha.exec()) return erro_ = fecha.lastError().text(), 0;
            numero = 0;
        }
    }
    if (numero == 0) {
        Consulta abreUso =
            consulta(QStringLiteral("INSERT INTO lotes(codigo_operadora, abertura) VALUES(?,?)"));
        QSqlQuery& abre = *abreUso;
        abre.addBindValue(codigoOperadora);
        abre.addBindValue(dia.toString(Qt::ISODate));
        if (!abre.exec()) return erro_ = abre.lastError().text(), 0;
        numero = abre.lastInsertId().toLongLong();
    }
    Consulta contaUso =
        consulta(QStringLiteral("UPDATE lotes SET transacoes = transacoes + 1 WHERE lote = ?"));
    QSqlQuery& conta = *contaUso;
    conta.addBindValue(numero);
    if (!conta.exec()) return erro_ = conta.lastError().text(), 0;
    return numero;
}

std::vector<Lote> HostStore::lotes(const QString& codigoOperadora, int limite) {
    std::vector<Lote> lista;
    Consulta qUso = consulta(
        QStringLiteral("SELECT lote, codigo_operadora, abertura, fechamento, transacoes "
                       "FROM lotes WHERE codigo_operadora = ? ORDER BY lote DESC LIMIT ?"));
    QSqlQuery& q = *qUso;
    q.addBindValue(codigoOperadora);
    q.addBindValue(limite);
    if (q.exec())
        while (q.next()) lista.push_back(leLote(q));
    return lista;
}

std::optional<Lote> HostStore::lote(qint64 numero) {
    Consulta qUso =
        consulta(QStringLiteral("SELECT lote, codigo_operadora, abertura, fechamento, transacoes "
                                "FROM lotes WHERE lote = ?"));
    QSqlQuery& q = *qUso;
    q.addBindValue(numero);
    if (!q.exec() || !q.next()) return std::nullopt;
    return leLote(q);
}

std::vector<Transacao> HostStore::transacoesDoLote(qint64 lote) {
    std::vector<Transacao> lista;
    Consulta qUso =
        consulta(QStringLiteral("SELECT %1 FROM transacoes WHERE lote = ? AND tipo IN "
                                "('VENDA','CANC') AND situacao <> 'DESFEITA' ORDER BY nsu DESC")
                     .arg(QLatin1String(kCamposTransacao)));
    QSqlQuery& q = *qUso;
    q.addBindValue(lote);
    if (q.exec())
        while (q.next()) lista.push_back(leTransacao(q));
    return lista;
}

std::vector<ResumoLote> HostStore::resumosDosLotes(const QString& codigoOperadora, int limite) {
    std::vector<ResumoLote> lista;
    // The transactions and items are those transacoesDoLote() and itens() give, summed in the
    // database rather than read row by row.
    Consulta qUso = consulta(QStringLiteral(
        "WITH l AS (SELECT lote, codigo_operadora, abertura, fechamento, transacoes FROM lotes "
        "WHERE codigo_operadora = ? ORDER BY lote DESC LIMIT ?) "
        "SELECT l.lote, l.codigo_operadora, l.abertura, l.fechamento, l.transacoes, "
        "COUNT(DISTINCT t.nsu), "
        "COALESCE(SUM(CASE t.tipo WHEN 'CANC' THEN -1 ELSE 1 END * i.preco_bruto * i.quantidade), "
        "0), "
        "COALESCE(SUM(CASE t.tipo WHEN 'CANC' THEN -1 ELSE 1 END * i.preco_liquido * "
        "i.quantidade), 0), "
        "COALESCE(SUM(CASE t.tipo WHEN 'CANC' THEN -1 ELSE 1 END * i.valor_receber * "
        "i.quantidade), 0) "
        "FROM l LEFT JOIN transacoes t ON t.lote = l.lote AND t.tipo IN ('VENDA','CANC') "
        "AND t.situacao <> 'DESFEITA' "
        "LEFT JOIN itens i ON i.nsu = t.nsu AND i.status < 40 "
        "GROUP BY l.lote ORDER BY l.lote DESC"));
    QSqlQuery& q = *qUso;
    q.addBindValue(codigoOperadora);
    q.addBindValue(limite);
    if (!q.exec()) {
        erro_ = q.lastError().text();
        return lista;
    }
    while (q.next()) {
        ResumoLote r;
        r.lote = leLote(q);
        r.quantidade = q.value(5).toInt();
        r.bruto = q.value(6).toLongLong();
        r.liquido = q.value(7).toLongLong();
        r.receber = q.value(8).toLongLong();
        lista.push_back(r);
    }
    return lista;
}

std::vector<Transacao> HostStore::pendentes(const QString& codigoOperadora) {
    std::vector<Transacao> lista;
    Consulta qUso =
        consulta(QStringLiteral("SELECT %1 FROM transacoes WHERE codigo_operadora = ? AND "
                                "situacao = 'PENDENTE' ORDER BY nsu DESC")
                     .arg(QLatin1String(kCamposTransacao)));
    QSqlQuery& q = *qUso;
    q.addBindValue(codigoOperadora);
    if (q.exec())
        while (q.next()) lista.push_back(leTransacao(q));
    return lista;
}

bool HostStore::gravaCadastro(const QString& estab, const QString& operadora,
                              const QString& distribuidora, const QDateTime& agora) {
    Consulta qUso = consulta(QStringLiteral("INSERT OR REPLACE INTO cadastros VALUES(?,?,?,?)"));
    QSqlQuery& q = *qUso;
    q.addBindValue(naoNulo(estab));
    q.addBindValue(naoNulo(operadora));
    q.addBindValue(distribuidora);
    q.addBindValue(agora.toString(Qt::ISODate));
    if (!q.exec()) return erro_ = q.lastError().text(), false;
    return true;
}

QString HostStore::cadastro(const QString& estab, const QString& operadora) {
    Consulta qUso = consulta(
        QStringLiteral("SELECT distribuidora FROM cadastros WHERE estab = ? AND operadora = ?"));
    QSqlQuery& q = *qUso;
    q.addBindValue(estab);
    q.addBindValue(operadora);
    if (q.exec() && q.next()) return q.value(0).toString();
    return {};
}

}  // namespace ql::hostsim
