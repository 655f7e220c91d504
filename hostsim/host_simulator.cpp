#include "host_simulator.h"

#include "host/framing.h"
#include "host/price_protocol.h"
#include "host_journal.h"
#include "host_respostas.h"

namespace ql::hostsim {

QString respostaErroSistema(int cod) {
    return QStringLiteral("%1 ").arg(cod, 3, 10, QLatin1Char('0'));
}

void HostSimulator::Alteracoes::marca(const Transacao& t) {
    if (!t.codigoOperadora.isEmpty()) operadoras.insert(t.codigoOperadora);
    if (t.lote > 0) lotes.insert(t.lote);
    nsus.insert(t.nsu);
}

HostSimulator::HostSimulator(QString databasePath, const Clock& relogio, QString journalDir)
    : relogio_(relogio), store_(std::make_unique<HostStore>(std::move(databasePath))) {
    if (!journalDir.isEmpty()) diario_ = std::make_unique<HostJournal>(*store_, journalDir);
}

HostSimulator::~HostSimulator() = default;

bool HostSimulator::abre(QString* erro) {
    if (!store_->abre(relogio_.now(), erro)) return false;
    if (diario_) {
        // Every operadora's journal exists from the start, even before its first sale.
        QString e;
        if (!diario_->atualizaTudo(relogio_.now(), &e)) erroDiario_ = e;
    }
    return true;
}

QString HostSimulator::responde(const QString& corpo) {
    QString resposta = respondeSemGravar(corpo);
    gravaDiarios();
    return resposta;
}

bool HostSimulator::gravaDiarios() {
    if (!diario_ || !diario_->pendente()) return true;
    QString e;
    const bool ok = diario_->grava(&e);
    erroDiario_ = ok ? QString() : e;
    return ok;
}

quint64 HostSimulator::arquivosGravados() const {
    return diario_ ? diario_->arquivosGravados() : 0;
}

QString HostSimulator::respondeSemGravar(const QString& corpo) {
    return atende(corpo, false);
}

QString HostSimulator::respondeEmLote(const QString& corpo) {
    return atende(corpo, true);
}

bool HostSimulator::concluiLote() {
    if (loteAberto_) {
        loteAberto_ = false;
        if (!store_->commit()) {
            store_->rollback();
            return false;
        }
    }
    gravaDiarios();
    return true;
}

QString HostSimulator::atende(const QString& corpo, bool emLote) {
    ++atendidas_;
    // The logon is a bare "LOGIN|" frame; "OK" is the answer the terminal takes at once.
    if (corpo.startsWith(QLatin1String("LOGIN|"))) return QStringLiteral("OK");
    // The price lookup of a networked terminal: a small text-form request of its own.
    if (corpo.startsWith(QLatin1String("000-000=") + QLatin1String(kTipoPedidoPreco))) {
        const std::optional<PriceRequest> pedido = decodePriceRequest(corpo);
        if (!pedido) return respostaErroSistema(codigo::kMensagemInvalida);
        std::optional<PrecoProduto> preco = consultaPreco(pedido->code1);
        if (!preco && !pedido->code2.trimmed().isEmpty()) preco = consultaPreco(pedido->code2);
        PriceAnswer a;
        if (preco) {
            a.found = true;
            a.description = preco->descricao;
            a.listCents = preco->precoBruto;
            a.saleCents = preco->precoLiquido;
        }
        return encodePriceAnswer(a);
    }

    const Leitura leitura = lePedido(corpo);
    if (!leitura.pedido) return respostaErroSistema(codigo::kMensagemInvalida);
    const Pedido& p = *leitura.pedido;

    auto erroSistema = [&p](int cod) {
        if (p.forma == Forma::Iso) return respostaErroSistema(cod);
        Resposta r = inicia(p);
        poeCodigo(r, cod);
        return r.escreve();
    };

    if (!store_->aberto()) return erroSistema(codigo::kFalhaInterna);
    if (emLote && !loteAberto_) {
        if (!store_->begin()) return erroSistema(codigo::kFalhaInterna);
        loteAberto_ = true;
    }
    if (emLote ? !store_->savepoint() : !store_->begin()) return erroSistema(codigo::kFalhaInterna);
    Alteracoes alt;
    // A store failure anywhere in the transaction gives no answer: nothing it wrote stays.
    const std::optional<Resposta> resultado = despacha(p, alt);
    if (!resultado || !(emLote ? store_->release() : store_->commit())) {
        if (emLote)
            store_->rollbackToSavepoint();
        else
            store_->rollback();
        return erroSistema(codigo::kFalhaInterna);
    }
    const Resposta& r = *resultado;
    if (diario_ && !alt.operadoras.isEmpty()) diario_->marca(alt.operadoras, alt.lotes, alt.nsus);
    // A system error cannot travel in the two characters of an ISO response code.
    if (r.forma() == Forma::Iso && r.valor(QStringLiteral("009-000")).size() > 2)
        return respostaErroSistema(r.valor(QStringLiteral("009-000")).toInt());
    const QString texto = r.escreve();
    if (!framing::sendable(texto.size())) return erroSistema(codigo::kFalhaInterna);
    return texto;
}

std::optional<Resposta> HostSimulator::despacha(const Pedido& p, Alteracoes& alt) {
    const QString& tipo = p.tipo;
    const QString& proc = p.processamento;
    if (tipo == QLatin1String("0100")) {
        if (proc == QLatin1String("800100")) return consultaProdutos(p);
        if (proc == QLatin1String("800200")) return autorizaProdutos(p, false, alt);
        return elegibilidade(p);
    }
    if (tipo == QLatin1String("0200")) {
        if (proc == QLatin1String("800300")) return autorizaProdutos(p, true, alt);
        if (proc == QLatin1String("800400") || proc == QLatin1String("900400"))
            return cancelamento(p, alt);
    }
    if (tipo == QLatin1String("0202")) return confirmacao(p, alt);
    if (tipo == QLatin1String("0420")) return desfazimento(p, alt);
    if (tipo == QLatin1String("0800") && proc == QLatin1String("388100")) return cadastro(p);
    Resposta r = inicia(p);
    poeCodigo(r, codigo::kTransacaoDesconhecida);
    return r;
}

std::optional<PrecoProduto> HostSimulator::consultaPreco(const QString& codigoProduto) {
    if (!store_->aberto()) return std::nullopt;
    const std::optional<Produto> p = store_->produto(codigoProduto);
    if (!p) return std::nullopt;
    return PrecoProduto{(p->descricao + QLatin1Char(' ') + p->apresentacao).left(40), p->precoBruto,
                        p->precoLiquido};
}

}  // namespace ql::hostsim
