#include "host_journal.h"

#include <QDir>
#include <QFile>

#include "admin/journal_names.h"
#include "data/checksum.h"
#include "host_receipt.h"
#include "host_store.h"

namespace ql::hostsim {

namespace {

constexpr int kTiposEstab[] = {1, 2, 3};

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

bool escreveTiposEstab(const QString& dir, JournalKind kind, const QString& codigo, qint64 chave,
                       const JournalTable& tabela, QString* erro) {
    for (const int tipo : kTiposEstab)
        if (!escreveDiarioLimitado(dir, journalBaseName(kind, tipo, codigo, chave), tabela, erro))
            return false;
    return true;
}

}  // namespace

bool escreveDiarioLimitado(const QString& dir, const QString& base, JournalTable tabela,
                           QString* erro, int* mantidas) {
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
    if (mantidas) *mantidas = n;
    return writeJournal(dir, base, tabela, erro);
}

HostJournal::HostJournal(HostStore& store, QString dir) : store_(store), dir_(std::move(dir)) {
    QDir().mkpath(dir_);
}

bool HostJournal::atualizaTudo(const QDateTime&, QString* erro) {
    for (const QString& codigo : store_.codigosOperadoras())
        if (!resumos(codigo, erro) || !pendentes(codigo, erro)) return false;
    return true;
}

bool HostJournal::atualiza(const QSet<QString>& operadoras, const QSet<qint64>& lotes,
                           const QSet<qint64>& nsus, const QDateTime&, QString* erro) {
    bool ok = true;
    for (const qint64 l : lotes) {
        ok = lote(l, erro) && ok;
        // A lot's first transaction opened it: the lot that fell out of the summaries goes.
        if (const auto info = store_.lote(l); info && info->transacoes == 1) {
            const std::vector<Lote> recentes =
                store_.lotes(info->codigoOperadora, kLotesRetidos + 1);
            if (int(recentes.size()) > kLotesRetidos)
                removeLote(info->codigoOperadora, recentes.back().numero);
        }
    }
    for (const qint64 n : nsus) ok = produtosTransacao(n, erro) && ok;
    for (const QString& codigo : operadoras)
        ok = resumos(codigo, erro) && pendentes(codigo, erro) && ok;
    return ok;
}

bool HostJournal::resumos(const QString& codigo, QString* erro) {
    JournalTable vendas;
    vendas.title = QStringLiteral("Lotes recentes da operadora ") + codigo;
    vendas.columns = journalColumns(JournalKind::ResumoVendas);
    JournalTable financeiro;
    financeiro.title = QStringLiteral("Resumo financeiro dos lotes recentes - ") + codigo;
    financeiro.columns = journalColumns(JournalKind::ResumoFinanceiro);

    for (const Lote& l : store_.lotes(codigo, kLotesRetidos)) {
        Valores soma;
        int quantidade = 0;
        for (const Transacao& t : store_.transacoesDoLote(l.numero)) {
            const Valores v = valores(store_, t);
            soma.bruto += v.bruto;
            soma.liquido += v.liquido;
            soma.receber += v.receber;
            ++quantidade;
        }
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
    return escreveTiposEstab(dir_, JournalKind::ResumoVendas, codigo, 0, vendas, erro) &&
           escreveTiposEstab(dir_, JournalKind::ResumoFinanceiro, codigo, 0, financeiro, erro);
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
    return escreveDiarioLimitado(dir_, journalBaseName(JournalKind::TransacoesPendentes, 1, codigo),
                                 tabela, erro);
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
             journalSafeText(t.documento), journalNumber(v.itens), journalCents(v.liquido),
             journalCents(v.bruto), journalCents(v.liquido - v.receber), journalCents(v.receber)});
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
    return escreveTiposEstab(dir_, JournalKind::TransacoesLote, l->codigoOperadora, numero,
                             transacoes, erro) &&
           escreveTiposEstab(dir_, JournalKind::ProdutosLote, l->codigoOperadora, numero, produtos,
                             erro);
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
    return escreveTiposEstab(dir_, JournalKind::ProdutosTransacao, t->codigoOperadora, nsu,
                             produtos, erro);
}

void HostJournal::removeLote(const QString& codigo, qint64 numero) {
    auto remove = [this](const QString& padrao) {
        for (QString caminho = ProcuraArquivo(dir_, padrao); !caminho.isEmpty();
             caminho = ProcuraArquivo(dir_, padrao))
            if (!QFile::remove(caminho)) break;
    };
    for (const int tipo : kTiposEstab) {
        remove(journalPattern(JournalKind::TransacoesLote, tipo, codigo, numero));
        remove(journalPattern(JournalKind::ProdutosLote, tipo, codigo, numero));
    }
    for (const Transacao& t : store_.transacoesDoLote(numero))
        for (const int tipo : kTiposEstab)
            remove(journalPattern(JournalKind::ProdutosTransacao, tipo, codigo, t.nsu));
}

}  // namespace ql::hostsim
