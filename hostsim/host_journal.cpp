#include "host_journal.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

#include "admin/journal_names.h"
#include "data/checksum.h"
#include "host_receipt.h"
#include "host_store.h"
#include "shell/text_files.h"

namespace ql::hostsim {

namespace {

constexpr int kTiposEstab[] = {1, 2, 3};
// Hidden names (readers look for the journals' own names only): a journal being written, and
// an old version waiting to be removed.
constexpr const char* kPrefixoTemporario = ".journal-";
constexpr const char* kPrefixoDescarte = ".journal-old-";

struct Valores {
    qint64 bruto = 0;
    qint64 liquido = 0;
    qint64 receber = 0;
    int itens = 0;
};

// Amounts of one transaction; a cancellation counts against the lot.
Valores valores(HostStore& store, const Transacao& t) {
    Valores v;
    for (const Item& i : store.itens(t.nsu)) {
        if (i.status >= 40) continue;
        v.bruto += i.precoBruto * i.quantidade;
        v.liquido += i.precoLiquido * i.quantidade;
        v.receber += i.valorReceber * i.quantidade;
        ++v.itens;
    }
    if (t.tipo == QLatin1String("CANC")) {
        v.bruto = -v.bruto;
        v.liquido = -v.liquido;
        v.receber = -v.receber;
    }
    return v;
}

QString autorizacao(qint64 nsu) {
    return QStringLiteral("%1").arg(nsu % 1000000, 6, 10, QLatin1Char('0'));
}

QString situacaoNoLote(HostStore& store, const Transacao& t) {
    if (t.tipo == QLatin1String("CANC")) return QStringLiteral("CANC.");
    if (t.situacao == QLatin1String("CONFIRMADA"))
        for (const Item& i : store.itens(t.nsu))
            if (i.cancelada > 0) return QStringLiteral("CANC. PARCIAL");
    return t.situacao;
}

// What the host keeps (descriptions, manufacturers, documents, codes) is free text: commas
// and double quotes are taken out of every title and cell, since a journal line holds
// neither.
void limpaTextos(JournalTable& tabela) {
    tabela.title = journalSafeText(tabela.title);
    for (QStringList& linha : tabela.rows)
        for (QString& valor : linha) valor = journalSafeText(valor);
}

// Drops rows from the end of a newest-first table until its checksum sum fits in 32 bits;
// returns how many rows were kept.
int limitaTabela(JournalTable& tabela) {
    auto cabe = [&tabela](int linhas) {
        JournalTable parte = tabela;
        parte.rows.resize(linhas);
        QStringList texto;
        if (!journalLines(parte, &texto)) return true;  // the writer reports it
        bool completo = true;
        ChecksumDeLinhas(texto, &completo);
        return completo;
    };
    int n = int(tabela.rows.size());
    if (!cabe(n)) {
        // The largest newest-first prefix whose checksum sum stays within 32 bits.
        int baixo = 0, alto = n;
        while (baixo < alto) {
            const int meio = (baixo + alto + 1) / 2;
            if (cabe(meio))
                baixo = meio;
            else
                alto = meio - 1;
        }
        n = baixo;
        tabela.rows.resize(n);
    }
    return n;
}

// A journal's file bytes and their checksum, made in one pass over its lines.
struct Corpo {
    QByteArray bytes;
    qint32 soma = 0;
    bool cabe = true;    // the checksum sum fits in 32 bits
    bool cp1252 = true;  // every character has its own Windows-1252 byte
};

Corpo corpoDoDiario(const QStringList& linhas) {
    qsizetype tamanho = 0;
    for (const QString& l : linhas) tamanho += l.size() + 2;
    QString texto;
    texto.reserve(tamanho);
    for (const QString& l : linhas) {
        texto += l;
        texto += QLatin1String("\r\n");
    }
    Corpo c;
    c.bytes = toCp1252(texto);
    c.cp1252 = fromCp1252(c.bytes) == texto;
    // The checksum goes over the lines exactly as the file check splits the bytes.
    qint32 posicao = 1;
    c.cabe = AcumulaCheckSumDoArquivo(c.bytes, c.soma, posicao);
    return c;
}

}  // namespace

bool escreveDiarioLimitado(const QString& dir, const QString& base, JournalTable tabela,
                           QString* erro, int* mantidas) {
    limpaTextos(tabela);
    const int n = limitaTabela(tabela);
    if (mantidas) *mantidas = n;
    return writeJournal(dir, base, tabela, erro);
}

// Flushes the journals' file system on a thread of its own: pede() only raises a flag, so
// the answers never wait for the disk; asks made while a flush runs (or within a second of
// its start) make one more flush when that second is over, and the last one asked is done at
// once before the object goes.
class HostJournal::Descarga {
  public:
    explicit Descarga(const QString& dir) : dir_(QFile::encodeName(dir)) {
        thread_ = std::thread([this] { laco(); });
    }
    ~Descarga() {
        {
            std::lock_guard<std::mutex> trava(mutex_);
            fim_ = true;
        }
        cv_.notify_one();
        thread_.join();
    }
    // `lixo`: files readers no longer see (renamed to hidden names), removed with the flush:
    // removing a file the flush may be writing out waits for the disk.
    void pede(std::vector<QByteArray> lixo) {
        {
            std::lock_guard<std::mutex> trava(mutex_);
            lixo_.insert(lixo_.end(), std::make_move_iterator(lixo.begin()),
                         std::make_move_iterator(lixo.end()));
            pedido_ = true;
        }
        cv_.notify_one();
    }
    // The failure of a flush since the last call ("" when none).
    QString erro() {
        std::lock_guard<std::mutex> trava(mutex_);
        return std::exchange(erro_, QString());
    }

  private:
    static constexpr std::chrono::milliseconds kIntervalo{1000};

    void laco() {
        std::unique_lock<std::mutex> trava(mutex_);
        for (;;) {
            cv_.wait(trava, [this] { return pedido_ || fim_; });
            if (!pedido_) return;
            pedido_ = false;
            const auto inicio = std::chrono::steady_clock::now();
            const std::vector<QByteArray> lixo = std::exchange(lixo_, {});
            trava.unlock();
            for (const QByteArray& caminho : lixo) ::unlink(caminho.constData());
            const QString falha = descarrega();
            trava.lock();
            if (!falha.isEmpty()) erro_ = falha;
            // One flush a second at most: a flush makes the file system commit its own journal,
            // and the file writes of the batches answered meanwhile wait for that commit.
            cv_.wait_until(trava, inicio + kIntervalo, [this] { return fim_; });
        }
    }
    QString descarrega() const {
        const int fd = ::open(dir_.constData(), O_RDONLY | O_DIRECTORY);
        const bool ok = fd >= 0 && ::syncfs(fd) == 0;
        const int falha = errno;
        if (fd >= 0) ::close(fd);
        if (ok) return {};
        return QStringLiteral("cannot flush the journals in %1: %2")
            .arg(QFile::decodeName(dir_), QString::fromLocal8Bit(std::strerror(falha)));
    }

    const QByteArray dir_;
    std::mutex mutex_;
    std::condition_variable cv_;
    bool pedido_ = false;
    bool fim_ = false;
    std::vector<QByteArray> lixo_;
    QString erro_;
    std::thread thread_;
};

HostJournal::HostJournal(HostStore& store, QString dir)
    : store_(store), dir_(std::move(dir)), descarga_(std::make_unique<Descarga>(dir_)) {
    QDir().mkpath(dir_);
}

HostJournal::~HostJournal() {
    if (!lixo_.empty()) descarga_->pede(std::exchange(lixo_, {}));
}

bool HostJournal::atualizaTudo(const QDateTime&, QString* erro) {
    for (const QString& codigo : store_.codigosOperadoras())
        if (!resumos(codigo, erro) || !pendentes(codigo, erro)) return false;
    return sincroniza(erro);
}

void HostJournal::marca(const QSet<QString>& operadoras, const QSet<qint64>& lotes,
                        const QSet<qint64>& nsus) {
    operadoras_.unite(operadoras);
    lotes_.unite(lotes);
    nsus_.unite(nsus);
    for (const qint64 l : lotes) {
        // A lot's first transaction opened it: the lot that fell out of the summaries goes.
        if (const auto info = store_.lote(l); info && info->transacoes == 1) {
            const std::vector<Lote> recentes =
                store_.lotes(info->codigoOperadora, kLotesRetidos + 1);
            if (int(recentes.size()) > kLotesRetidos)
                lotesRemover_.insert({info->codigoOperadora, recentes.back().numero});
        }
    }
}

bool HostJournal::pendente() const {
    return !operadoras_.isEmpty() || !lotes_.isEmpty() || !nsus_.isEmpty() ||
           !lotesRemover_.isEmpty();
}

bool HostJournal::grava(QString* erro) {
    // Take the marks first: whatever fails is marked again for the next call.
    const QSet<QString> operadoras = std::exchange(operadoras_, {});
    const QSet<qint64> lotes = std::exchange(lotes_, {});
    const QSet<qint64> nsus = std::exchange(nsus_, {});
    const QSet<std::pair<QString, qint64>> remover = std::exchange(lotesRemover_, {});
    bool ok = true;
    for (const qint64 l : lotes) {
        if (!lote(l, erro)) {
            lotes_.insert(l);
            ok = false;
        }
    }
    for (const qint64 n : nsus) {
        if (!produtosTransacao(n, erro)) {
            nsus_.insert(n);
            ok = false;
        }
    }
    for (const QString& codigo : operadoras) {
        if (!resumos(codigo, erro) || !pendentes(codigo, erro)) {
            operadoras_.insert(codigo);
            ok = false;
        }
    }
    // A lot that rolled off is removed after the summaries that no longer list it.
    for (const auto& [codigo, numero] : remover) removeLote(codigo, numero);
    return sincroniza(erro) && ok;
}

bool HostJournal::atualiza(const QSet<QString>& operadoras, const QSet<qint64>& lotes,
                           const QSet<qint64>& nsus, const QDateTime&, QString* erro) {
    marca(operadoras, lotes, nsus);
    return grava(erro);
}

bool HostJournal::escreve(JournalKind kind, std::initializer_list<int> tipos, const QString& codigo,
                          qint64 chave, JournalTable tabela, QString* erro) {
    // Lines, bytes and checksum are made once; only a table too large for its checksum (a
    // rare, very long one) is cut to its newest rows and made again.
    limpaTextos(tabela);
    QStringList linhas;
    if (!journalLines(tabela, &linhas, erro)) return false;
    Corpo c = corpoDoDiario(linhas);
    if (!c.cabe) {
        limitaTabela(tabela);
        if (!journalLines(tabela, &linhas, erro)) return false;
        c = corpoDoDiario(linhas);
        if (!c.cabe) {
            if (erro) *erro = QStringLiteral("journal too large for its checksum");
            return false;
        }
    }
    if (!c.cp1252) {
        if (erro) *erro = QStringLiteral("journal holds characters outside Windows-1252");
        return false;
    }
    const QByteArray& corpo = c.bytes;
    const qint32 soma = c.soma;
    const QString sufixo = TextoChecksum(soma);
    indexa();
    const QByteArray digest = QCryptographicHash::hash(corpo, QCryptographicHash::Sha256);
    QStringList bases, nomes;
    for (const int tipo : tipos) {
        const QString base = journalBaseName(kind, tipo, codigo, chave);
        const QString nome = base + sufixo;
        const auto anterior = gravadosPorBase_.constFind(base);
        // Unchanged since this instance wrote it, and still there: nothing to do.
        if (anterior != gravadosPorBase_.cend() && anterior->nome == nome &&
            anterior->digest == digest && QFileInfo::exists(joinPath(dir_, nome)))
            continue;
        bases << base;
        nomes << nome;
    }
    if (nomes.isEmpty()) return true;
    qsizetype feitos = 0;
    const bool ok = substitui(nomes, corpo, &feitos, erro);
    for (qsizetype i = 0; i < nomes.size(); ++i) {
        if (i >= feitos) {
            gravadosPorBase_.remove(bases[i]);
            continue;
        }
        // Only now that the new file is in place, the earlier versions go.
        QStringList& versoes = noDisco_[bases[i].toLower()];
        for (const QString& antiga : std::as_const(versoes))
            if (antiga != nomes[i]) descarta(antiga);
        versoes = QStringList{nomes[i]};
        gravadosPorBase_.insert(bases[i], {nomes[i], digest});
        ++gravados_;
        ++naoSincronizados_;
    }
    return ok;
}

bool HostJournal::substitui(const QStringList& nomes, const QByteArray& corpo, qsizetype* feitos,
                            QString* erro) {
    // One temporary file beside the journals, written once and given each name in one step
    // (a link under a second hidden name, renamed over the journal's; the last name takes
    // the temporary name itself): a reader sees the old or the new journal, never part of
    // one. The names are links to the same bytes, which no one writes in place. The flush to
    // disk is left to sincroniza(), once per batch.
    QTemporaryFile temp(
        joinPath(dir_, QLatin1String(kPrefixoTemporario) + QLatin1String("XXXXXX")));
    temp.setAutoRemove(true);
    if (!temp.open() || temp.write(corpo) != corpo.size() || !temp.flush()) {
        if (erro)
            *erro = QStringLiteral("cannot write %1: %2").arg(nomes.first(), temp.errorString());
        return false;
    }
    const QByteArray origem = QFile::encodeName(temp.fileName());
    const QByteArray copia = origem + "-link";
    for (qsizetype i = 0; i < nomes.size(); ++i) {
        const QByteArray destino = QFile::encodeName(joinPath(dir_, nomes[i]));
        const bool ultimo = i + 1 == nomes.size();
        const bool ok = ultimo ? ::rename(origem.constData(), destino.constData()) == 0
                               : ::link(origem.constData(), copia.constData()) == 0 &&
                                     ::rename(copia.constData(), destino.constData()) == 0;
        if (!ok) {
            if (erro)
                *erro = QStringLiteral("cannot write %1: %2")
                            .arg(nomes[i], QString::fromLocal8Bit(std::strerror(errno)));
            ::unlink(copia.constData());
            return false;
        }
        *feitos = i + 1;
        if (ultimo) temp.setAutoRemove(false);
    }
    return true;
}

bool HostJournal::sincroniza(QString* erro) {
    if (naoSincronizados_ > 0 || !lixo_.empty()) {
        naoSincronizados_ = 0;
        descarga_->pede(std::exchange(lixo_, {}));
    }
    const QString falha = descarga_->erro();
    if (falha.isEmpty()) return true;
    if (erro) *erro = falha;
    return false;
}

bool HostJournal::resumos(const QString& codigo, QString* erro) {
    JournalTable vendas;
    vendas.title = QStringLiteral("Lotes recentes da operadora ") + codigo;
    vendas.columns = journalColumns(JournalKind::ResumoVendas);
    JournalTable financeiro;
    financeiro.title = QStringLiteral("Resumo financeiro dos lotes recentes - ") + codigo;
    financeiro.columns = journalColumns(JournalKind::ResumoFinanceiro);

    for (const ResumoLote& r : store_.resumosDosLotes(codigo, kLotesRetidos)) {
        const Lote& l = r.lote;
        const int quantidade = r.quantidade;
        Valores soma;
        soma.bruto = r.bruto;
        soma.liquido = r.liquido;
        soma.receber = r.receber;
        const bool fechado = l.fechamento.isValid();
        const QString fechamento = fechado ? journalDate(l.fechamento) : QString();
        vendas.rows.push_back({journalNumber(l.numero), journalDate(l.abertura), fechamento,
                               journalNumber(quantidade), journalCents(soma.bruto),
                               journalCents(soma.bruto - soma.liquido), journalCents(soma.liquido),
                               fechado ? QStringLiteral("FECHADO") : QStringLiteral("ABERTO")});
        financeiro.rows.push_back(
            {journalNumber(l.numero), fechamento,
             fechado ? journalDate(l.fechamento.addDays(30)) : QString(),
             journalCents(soma.liquido), journalCents(soma.bruto),
             journalCents(soma.liquido - soma.receber), journalCents(soma.receber),
             journalCents(soma.liquido - soma.receber),
             fechado ? QStringLiteral("A PAGAR") : QStringLiteral("EM ABERTO")});
    }
    return escreve(JournalKind::ResumoVendas, {1, 2, 3}, codigo, 0, std::move(vendas), erro) &&
           escreve(JournalKind::ResumoFinanceiro, {1, 2, 3}, codigo, 0, std::move(financeiro),
                   erro);
}

bool HostJournal::pendentes(const QString& codigo, QString* erro) {
    JournalTable tabela;
    tabela.title = QStringLiteral("Transações pendentes da operadora ") + codigo;
    tabela.columns = journalColumns(JournalKind::TransacoesPendentes);
    for (const Transacao& t : store_.pendentes(codigo)) {
        const bool canc = t.tipo == QLatin1String("CANC");
        tabela.rows.push_back(
            {journalNumber(t.lote), journalNumber(t.nsu), journalStamp(t.criada),
             cartaoMascarado(t.cartao), journalCents(valores(store_, t).liquido), t.codigoTipo,
             canc ? QStringLiteral("CANC.") : QStringLiteral("PEND."), autorizacao(t.nsu)});
    }
    // One file whatever the establishment type.
    return escreve(JournalKind::TransacoesPendentes, {1}, codigo, 0, std::move(tabela), erro);
}

bool HostJournal::lote(qint64 numero, QString* erro) {
    const std::optional<Lote> l = store_.lote(numero);
    if (!l) return true;
    JournalTable transacoes;
    transacoes.title = QStringLiteral("Lote %1 - transações").arg(numero, 6, 10, QLatin1Char('0'));
    transacoes.columns = journalColumns(JournalKind::TransacoesLote);
    JournalTable produtos;
    produtos.title = QStringLiteral("Lote %1 - produtos").arg(numero, 6, 10, QLatin1Char('0'));
    produtos.columns = journalColumns(JournalKind::ProdutosLote);

    for (const Transacao& t : store_.transacoesDoLote(numero)) {
        const Valores v = valores(store_, t);
        transacoes.rows.push_back(
            {journalNumber(numero), journalNumber(t.nsu), journalStamp(t.criada),
             cartaoMascarado(t.cartao), autorizacao(t.nsu), t.codigoTipo, situacaoNoLote(store_, t),
             t.documento, journalNumber(v.itens), journalCents(v.liquido), journalCents(v.bruto),
             journalCents(v.liquido - v.receber), journalCents(v.receber)});
        if (t.tipo != QLatin1String("VENDA")) continue;
        for (const Item& i : store_.itens(t.nsu)) {
            if (i.status >= 40) continue;
            const auto p = store_.produto(i.codigo);
            produtos.rows.push_back(
                {journalNumber(numero), journalNumber(t.nsu), journalDate(t.criada.date()),
                 journalNumber(i.seq + 1), i.codigo, p ? p->fabricante : QString(),
                 journalNumber(i.desconto / 100), p ? p->descricao : QString(), i.embalagem,
                 journalNumber(i.quantidade), journalNumber(i.quantidade - i.cancelada),
                 journalCents(i.precoBruto), journalCents(i.precoLiquido)});
        }
    }
    return escreve(JournalKind::TransacoesLote, {1, 2, 3}, l->codigoOperadora, numero,
                   std::move(transacoes), erro) &&
           escreve(JournalKind::ProdutosLote, {1, 2, 3}, l->codigoOperadora, numero,
                   std::move(produtos), erro);
}

bool HostJournal::produtosTransacao(qint64 nsu, QString* erro) {
    const std::optional<Transacao> t = store_.transacao(nsu);
    if (!t || t->lote == 0 || t->codigoOperadora.isEmpty()) return true;
    const bool venda = t->tipo == QLatin1String("VENDA");
    JournalTable produtos;
    produtos.title = QStringLiteral("Transação %1 - produtos").arg(nsu, 12, 10, QLatin1Char('0'));
    produtos.columns = journalColumns(JournalKind::ProdutosTransacao);
    for (const Item& i : store_.itens(nsu)) {
        if (i.status >= 40) continue;
        const auto p = store_.produto(i.codigo);
        const int cancelavel =
            (venda && t->situacao != QLatin1String("DESFEITA")) ? i.quantidade - i.cancelada : 0;
        produtos.rows.push_back({journalNumber(t->lote), journalNumber(nsu),
                                 journalDate(t->criada.date()), journalNumber(i.seq + 1), i.codigo,
                                 p ? p->fabricante : QString(), journalNumber(i.desconto / 100),
                                 p ? p->descricao : QString(), i.embalagem,
                                 journalNumber(i.quantidade), journalNumber(cancelavel),
                                 journalCents(i.precoBruto), journalCents(i.precoLiquido)});
    }
    return escreve(JournalKind::ProdutosTransacao, {1, 2, 3}, t->codigoOperadora, nsu,
                   std::move(produtos), erro);
}

void HostJournal::indexa() {
    if (indexado_) return;
    indexado_ = true;
    // One look at the directory for the whole run: every journal name (base and two checksum
    // characters) an earlier run left, so that a rewrite knows what to remove.
    for (const QString& nome : QDir(dir_).entryList(QDir::Files | QDir::Hidden)) {
        if (nome.startsWith(QLatin1String(kPrefixoDescarte)) ||
            nome.startsWith(QLatin1String(kPrefixoTemporario)))
            lixo_.push_back(QFile::encodeName(joinPath(dir_, nome)));  // left by a kill
        else if (nome.size() > 2 && !nome.startsWith(QLatin1Char('.')))
            noDisco_[nome.left(nome.size() - 2).toLower()] << nome;
    }
}

void HostJournal::descarta(const QString& nome) {
    // Out of the readers' sight at once (a rename is only a change of name); the bytes go
    // with the next flush, off the path of the answers.
    const QByteArray origem = QFile::encodeName(joinPath(dir_, nome));
    const QByteArray destino =
        QFile::encodeName(joinPath(dir_, QLatin1String(kPrefixoDescarte) +
                                             QString::number(QCoreApplication::applicationPid()) +
                                             QLatin1Char('-') + QString::number(++descartados_)));
    if (::rename(origem.constData(), destino.constData()) == 0)
        lixo_.push_back(destino);
    else
        QFile::remove(QFile::decodeName(origem));
}

void HostJournal::removeLote(const QString& codigo, qint64 numero) {
    indexa();
    auto remove = [&](JournalKind kind, int tipo, qint64 chave) {
        const QString base = journalBaseName(kind, tipo, codigo, chave);
        gravadosPorBase_.remove(base);
        for (const QString& nome : noDisco_.take(base.toLower())) descarta(nome);
    };
    for (const int tipo : kTiposEstab) {
        remove(JournalKind::TransacoesLote, tipo, numero);
        remove(JournalKind::ProdutosLote, tipo, numero);
    }
    for (const Transacao& t : store_.transacoesDoLote(numero))
        for (const int tipo : kTiposEstab) remove(JournalKind::ProdutosTransacao, tipo, t.nsu);
}

}  // namespace ql::hostsim
