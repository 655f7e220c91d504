// The simulated host's after-sale path: confirmation, undo and cancellation.
#include "host_simulator.h"

#include "host_receipt.h"
#include "host_respostas.h"

namespace ql::hostsim {

namespace {

// The transaction a confirmation, undo or cancellation names by its NSU, provided the request
// comes from the establishment and terminal that made it: to any other, the NSU is one the
// host does not know.
std::optional<Transacao> transacaoDoTerminal(HostStore& store, const Pedido& p) {
    std::optional<Transacao> t =
        store.transacao(p.campo(QStringLiteral("012-000")).trimmed().toLongLong());
    if (t && (t->estabelecimento != p.campo(QStringLiteral("942-000")).trimmed() ||
              t->terminal != p.campo(QStringLiteral("941-000")).trimmed()))
        return std::nullopt;
    return t;
}

}  // namespace

std::optional<Resposta> HostSimulator::confirmacao(const Pedido& p, Alteracoes& alt) {
    std::optional<Transacao> t = transacaoDoTerminal(*store_, p);
    if (!t)
        return recusa(p, codigo::kTransacaoNaoEncontrada,
                      QStringLiteral("TRANSACAO NAO ENCONTRADA"));
    if (t->situacao == kDesfeita)
        return recusa(p, codigo::kTransacaoDesfeita, QStringLiteral("TRANSACAO JA DESFEITA"));
    if (t->situacao == kEleg || t->situacao == kEmCurso)
        return recusa(p, codigo::kTransacaoNaoAutorizada,
                      QStringLiteral("TRANSACAO NAO AUTORIZADA"));
    if (t->situacao == kPendente) {
        t->situacao = kConfirmada;
        if (!store_->atualizaTransacao(*t)) return std::nullopt;
        alt.marca(*t);
    }
    Resposta r = inicia(p);
    poeCodigo(r, codigo::kAprovado);
    r.add(QStringLiteral("012-000"), nsuTexto(t->nsu));
    return r;
}

std::optional<Resposta> HostSimulator::desfazimento(const Pedido& p, Alteracoes& alt) {
    std::optional<Transacao> t = transacaoDoTerminal(*store_, p);
    if (!t)
        return recusa(p, codigo::kTransacaoNaoEncontrada,
                      QStringLiteral("TRANSACAO NAO ENCONTRADA"));
    auto ok = [&]() {
        Resposta r = inicia(p);
        poeCodigo(r, codigo::kAprovado);
        r.add(QStringLiteral("012-000"), nsuTexto(t->nsu));
        return r;
    };
    if (t->situacao == kDesfeita) return ok();
    if (t->tipo == QLatin1String("PRE")) {
        if (t->situacao == kUtilizada)
            return recusa(p, codigo::kPreJaUtilizada,
                          QStringLiteral("PRE-AUTORIZACAO JA UTILIZADA"));
    } else if (t->tipo == QLatin1String("VENDA")) {
        if (t->situacao == kCancelada)
            return recusa(p, codigo::kTransacaoCancelada, QStringLiteral("TRANSACAO JA CANCELADA"));
        for (const Item& i : store_->itens(t->nsu))
            if (i.cancelada > 0)
                return recusa(p, codigo::kNaoCancelavel,
                              QStringLiteral("TRANSACAO COM CANCELAMENTO"));
        // The pre-authorisation that was sold can be sold again.
        if (t->situacao == kPendente || t->situacao == kConfirmada)
            if (std::optional<Transacao> pre = store_->transacao(t->pre);
                pre && pre->situacao == kUtilizada) {
                pre->situacao = kAberta;
                if (!store_->atualizaTransacao(*pre)) return std::nullopt;
            }
    } else if (t->tipo == QLatin1String("CANC")) {
        // Undoing a cancellation gives the quantities back to the sale.
        std::optional<Transacao> origem = store_->transacao(t->origem);
        if (origem) {
            std::vector<Item> vendidos = store_->itens(origem->nsu);
            for (const Item& c : store_->itens(t->nsu)) {
                for (Item& v : vendidos) {
                    if (v.codigo == c.codigo && v.status < 40 && v.cancelada > 0) {
                        const int devolve = qMin(v.cancelada, c.quantidade);
                        v.cancelada -= devolve;
                        if (!store_->atualizaItem(v)) return std::nullopt;
                        break;
                    }
                }
            }
            if (origem->situacao == kCancelada) {
                origem->situacao = kConfirmada;
                if (!store_->atualizaTransacao(*origem)) return std::nullopt;
            }
            alt.marca(*origem);
        }
    }
    alt.marca(*t);
    t->situacao = kDesfeita;
    if (!store_->atualizaTransacao(*t)) return std::nullopt;
    return ok();
}

std::optional<Resposta> HostSimulator::cancelamento(const Pedido& p, Alteracoes& alt) {
    std::optional<Transacao> origem = transacaoDoTerminal(*store_, p);
    if (!origem)
        return recusa(p, codigo::kTransacaoNaoEncontrada,
                      QStringLiteral("TRANSACAO NAO ENCONTRADA"));
    if (origem->tipo != QLatin1String("VENDA"))
        return recusa(p, codigo::kNaoCancelavel,
                      QStringLiteral("TRANSACAO NAO PODE SER CANCELADA"));
    if (origem->situacao == kCancelada)
        return recusa(p, codigo::kTransacaoCancelada, QStringLiteral("TRANSACAO JA CANCELADA"));
    if (origem->situacao == kDesfeita)
        return recusa(p, codigo::kTransacaoDesfeita, QStringLiteral("TRANSACAO JA DESFEITA"));
    if (origem->situacao != kPendente && origem->situacao != kConfirmada)
        return recusa(p, codigo::kTransacaoNaoAutorizada,
                      QStringLiteral("TRANSACAO NAO AUTORIZADA"));

    std::vector<Item> vendidos = store_->itens(origem->nsu);
    const bool total = p.produtos.empty();
    std::vector<Item> cancelados;  // quantities cancelled now, with the sale's prices
    std::vector<Item> respostaItens;
    if (total) {
        for (Item& v : vendidos) {
            if (v.status >= 40 || v.quantidade - v.cancelada <= 0) continue;
            Item c = v;
            c.quantidade = v.quantidade - v.cancelada;
            v.cancelada = v.quantidade;
            cancelados.push_back(c);
        }
    } else {
        for (const ProdutoPedido& pp : p.produtos) {
            Item resp;
            resp.codigo = codigoNormalizado(pp.codigo);
            resp.embalagem = pp.embalagem.isEmpty() ? QStringLiteral(" ") : pp.embalagem;
            resp.quantidade = pp.quantidade.trimmed().toInt();
            resp.status = codigo::kProdutoNaoCadastrado;
            for (Item& v : vendidos) {
                if (v.codigo != resp.codigo || v.status >= 40) continue;
                if (resp.quantidade <= 0) {
                    resp.status = codigo::kQuantidadeInvalida;
                } else if (resp.quantidade > v.quantidade - v.cancelada) {
                    resp.status = codigo::kQuantidadeAcimaDaVendida;
                } else {
                    resp.status = codigo::kAprovado;
                    v.cancelada += resp.quantidade;
                    Item c = v;
                    c.quantidade = resp.quantidade;
                    cancelados.push_back(c);
                }
                break;
            }
            respostaItens.push_back(resp);
        }
    }
    if (cancelados.empty()) {
        Resposta r = inicia(p);
        if (total) {
            poeCodigo(r, codigo::kTransacaoCancelada, QStringLiteral("TRANSACAO JA CANCELADA"));
            return r;
        }
        poeCodigo(r, codigo::kNenhumItemCancelado,
                  respostaItens.size() == 1 ? textoStatus(respostaItens.front().status)
                                            : QStringLiteral("NENHUM ITEM CANCELADO"));
        return r;
    }

    Transacao c;
    c.tipo = QStringLiteral("CANC");
    c.codigoTipo = total ? QStringLiteral("CT") : QStringLiteral("CP");
    c.situacao = kPendente;
    c.cartao = origem->cartao;
    c.operadora = origem->operadora;
    c.codigoOperadora = origem->codigoOperadora;
    c.terminal = p.campo(QStringLiteral("941-000")).trimmed();
    c.estabelecimento = p.campo(QStringLiteral("942-000")).trimmed();
    c.documento = origem->documento;
    c.origem = origem->nsu;
    c.criada = relogio_.now();
    c.lote = store_->loteParaNovaTransacao(c.codigoOperadora, c.criada.date());
    if (c.lote == 0) return std::nullopt;
    c.nsu = store_->criaTransacao(c);
    if (c.nsu == 0) return std::nullopt;
    int seq = 0;
    for (Item i : cancelados) {
        i.nsu = c.nsu;
        i.seq = seq++;
        i.cancelada = 0;
        if (!store_->adicionaItem(i)) return std::nullopt;
    }
    bool tudo = true;
    for (const Item& v : vendidos) {
        if (v.status < 40 && v.cancelada < v.quantidade) tudo = false;
        if (!store_->atualizaItem(v)) return std::nullopt;
    }
    if (tudo) {
        origem->situacao = kCancelada;
        if (!store_->atualizaTransacao(*origem)) return std::nullopt;
    }
    alt.marca(*origem);
    alt.marca(c);

    DadosRecibo dados;
    dados.titulo = QStringLiteral("COMPROVANTE DE CANCELAMENTO");
    dados.transacao = c;
    dados.momento = c.criada;
    for (const Item& i : cancelados) {
        dados.itens.push_back(i);
        const auto prod = store_->produto(i.codigo);
        dados.descricoes.push_back(prod ? prod->descricao : i.codigo);
    }
    const QStringList recibo = montaRecibo(dados, kMaxLinhasRecibo);

    Resposta r = inicia(p);
    poeCodigo(r, codigo::kAprovado);
    r.add(QStringLiteral("012-000"), nsuTexto(c.nsu));
    poeControle(r, QStringLiteral("0"), int(respostaItens.size()), int(recibo.size()));
    for (int i = 0; i < recibo.size(); ++i)
        r.add(TagItem(29, i), p.forma == Forma::Iso ? textoFixo(recibo[i], 38) : recibo[i]);
    // Item verdicts of a partial cancellation: code, packaging, quantity, status, in records
    // of 20 characters in ISO form.
    for (std::size_t j = 0; j < respostaItens.size(); ++j) {
        const Item& i = respostaItens[j];
        const bool iso = p.forma == Forma::Iso;
        r.add(TagItem(902, int(j)), i.codigo);
        r.add(TagItem(906, int(j)), iso ? textoFixo(i.embalagem, 1) : i.embalagem);
        r.add(TagItem(905, int(j)), numeroFixo(i.quantidade, 3));
        r.add(TagItem(919, int(j)),
              iso ? numeroFixo(i.status, 2) + QLatin1Char(' ') : numeroFixo(i.status, 2));
    }
    return r;
}

}  // namespace ql::hostsim
