// The simulated host's authorisation path: eligibility, product query, the product pages of a
// pre-authorisation or a sale, and the distributor registration.
#include "host_simulator.h"

#include "host_receipt.h"
#include "host_respostas.h"

namespace ql::hostsim {

std::optional<Resposta> HostSimulator::elegibilidade(const Pedido& p) {
    const QString numero = p.campo(QStringLiteral("953-000")).trimmed();
    if (numero.isEmpty())
        return recusa(p, codigo::kCartaoNaoInformado, QStringLiteral("CARTAO NAO INFORMADO"));
    const std::optional<Cartao> cartao = store_->cartao(numero);
    if (!cartao)
        return recusa(p, codigo::kCartaoNaoCadastrado, QStringLiteral("CARTAO NAO CADASTRADO"));
    if (cartao->codigoResposta != 0) return recusa(p, cartao->codigoResposta, cartao->motivo);

    const QString rota = p.campo(QStringLiteral("040-000")).trimmed();
    const QString terminal = p.campo(QStringLiteral("941-000")).trimmed();
    const bool venda = p.processamento == QLatin1String("800500");
    Transacao t;
    t.cartao = numero;
    t.operadora = rota;
    t.codigoOperadora = store_->codigoOperadora(rota);
    t.terminal = terminal;
    t.estabelecimento = p.campo(QStringLiteral("942-000")).trimmed();
    t.situacao = kEleg;
    t.criada = relogio_.now();
    // The stale ones go as new ones come, at most once a minute.
    const qint64 desde = ultimaLimpeza_.isValid() ? ultimaLimpeza_.secsTo(t.criada) : -1;
    if (desde < 0 || desde >= 60) {
        if (!store_->apagaInacabadasAntes(t.criada.addSecs(-kValidadeElegibilidadeS)))
            return std::nullopt;
        ultimaLimpeza_ = t.criada;
    }

    if (!venda) {
        t.tipo = QStringLiteral("PRE");
        t.nsu = store_->criaTransacao(t);
        if (t.nsu == 0) return std::nullopt;
        Resposta r = inicia(p);
        poeCodigo(r, codigo::kAprovado);
        r.add(QStringLiteral("012-000"), nsuTexto(t.nsu));
        return r;
    }

    // A sale starts from the card's stored pre-authorisation; a non-zero sequence asks for
    // the next block of its items under the sale already opened by this terminal.
    const int sequencia = paginaDoPedido(p.campo(QStringLiteral("900-000")));
    std::optional<Transacao> aberta;
    if (sequencia == 0) {
        const std::optional<Transacao> pre = store_->ultimaPreAberta(numero);
        if (!pre)
            return recusa(p, codigo::kSemPreAutorizacao,
                          QStringLiteral("NAO HA PRE-AUTORIZACAO PARA O CARTAO"));
        t.tipo = QStringLiteral("VENDA");
        t.pre = pre->nsu;
        t.nsu = store_->criaTransacao(t);
        if (t.nsu == 0) return std::nullopt;
        aberta = t;
    } else {
        aberta = store_->ultimaVendaElegivel(numero, terminal);
        if (!aberta)
            return recusa(p, codigo::kTransacaoNaoEncontrada,
                          QStringLiteral("TRANSACAO NAO ENCONTRADA"));
    }

    std::vector<Item> itens;
    for (Item i : store_->itens(aberta->pre)) {
        if (i.status >= 40) continue;
        i.valorReceber = valorReceber(i.precoLiquido, cartao->subsidio);
        itens.push_back(i);
    }
    const int inicio = sequencia * kProdutosPorPagina;
    const int fim = qMin<int>(int(itens.size()), inicio + kProdutosPorPagina);
    const bool mais = fim < int(itens.size());
    Resposta r = inicia(p);
    poeCodigo(r, codigo::kAprovado);
    r.add(QStringLiteral("012-000"), nsuTexto(aberta->nsu));
    QString continuacao = mais ? QString::number(sequencia + 1) : QStringLiteral("0");
    if (r.forma() == Forma::Iso && continuacao.size() > 1) continuacao = QStringLiteral("0");
    poeControle(r, continuacao, qMax(0, fim - inicio), 0);
    for (int k = inicio; k < fim; ++k) poeProdutoAutorizado(r, k - inicio, itens[std::size_t(k)]);
    return r;
}

std::optional<Resposta> HostSimulator::consultaProdutos(const Pedido& p) {
    const QString busca = p.campo(QStringLiteral("920-000")).trimmed();
    const int pagina = paginaDoPedido(p.campo(QStringLiteral("900-000")));
    int subsidio = 0;
    if (const auto t = store_->transacao(p.campo(QStringLiteral("012-000")).toLongLong()))
        if (const auto c = store_->cartao(t->cartao)) subsidio = c->subsidio;

    int total = 0;
    const std::vector<Produto> achados =
        store_->buscaProdutos(busca, pagina * kProdutosPorPagina, kProdutosPorPagina, &total);
    if (achados.empty())
        return recusa(p, codigo::kProdutoNaoEncontrado, QStringLiteral("PRODUTO NAO ENCONTRADO"));

    const bool iso = p.forma == Forma::Iso;
    const bool mais = (pagina + 1) * kProdutosPorPagina < total;
    QString continuacao = mais ? QString::number(pagina + 1) : QStringLiteral("0");
    if (iso && continuacao.size() > 1) continuacao = QStringLiteral("0");
    Resposta r = inicia(p);
    poeCodigo(r, codigo::kAprovado);
    r.add(QStringLiteral("012-000"), p.campo(QStringLiteral("012-000")));
    poeControle(r, continuacao, int(achados.size()), 0);
    for (std::size_t j = 0; j < achados.size(); ++j) {
        const Produto& prod = achados[j];
        const int n = int(j);
        r.add(TagItem(902, n), prod.codigo);
        r.add(TagItem(903, n), iso ? textoFixo(prod.descricao, 20) : prod.descricao.left(20));
        // 904 is what the client shows as "Fabricante".
        r.add(TagItem(904, n), iso ? textoFixo(prod.fabricante, 20) : prod.fabricante.left(20));
        r.add(TagItem(906, n), iso ? textoFixo(prod.embalagem, 1) : prod.embalagem);
        r.add(TagItem(910, n), numeroFixo(prod.precoBruto, 7));
        r.add(TagItem(911, n), numeroFixo(prod.precoLiquido, 7));
        r.add(TagItem(912, n), numeroFixo(valorReceber(prod.precoLiquido, subsidio), 7));
        r.add(TagItem(909, n),
              numeroFixo(descontoCentesimos(prod.precoBruto, prod.precoLiquido), 5));
        r.add(TagItem(919, n),
              numeroFixo(prod.coberto ? codigo::kAprovado : codigo::kProdutoNaoCoberto, 2));
    }
    return r;
}

std::optional<Resposta> HostSimulator::autorizaProdutos(const Pedido& p, bool venda,
                                                        Alteracoes& alt) {
    const qint64 nsu = p.campo(QStringLiteral("012-000")).trimmed().toLongLong();
    std::optional<Transacao> t = store_->transacao(nsu);
    const QString tipoEsperado = venda ? QStringLiteral("VENDA") : QStringLiteral("PRE");
    if (!t || t->tipo != tipoEsperado)
        return recusa(p, codigo::kTransacaoNaoEncontrada,
                      QStringLiteral("TRANSACAO NAO ENCONTRADA"));
    if (venda && (t->situacao == kPendente || t->situacao == kConfirmada))
        return recusa(p, codigo::kTransacaoJaAutorizada, QStringLiteral("TRANSACAO JA AUTORIZADA"));
    if (t->situacao != kEleg && t->situacao != kEmCurso && (venda || t->situacao != kAberta))
        return recusa(p, codigo::kTransacaoNaoAutorizada,
                      QStringLiteral("TRANSACAO NAO PERMITE PRODUTOS"));
    if (venda) {
        // Another terminal may have sold the same pre-authorisation in the meantime.
        const std::optional<Transacao> pre = store_->transacao(t->pre);
        if (!pre || pre->situacao != kAberta)
            return recusa(p, codigo::kPreJaUtilizada,
                          QStringLiteral("PRE-AUTORIZACAO JA UTILIZADA"));
    }
    const std::optional<Cartao> cartao = store_->cartao(t->cartao);
    const int subsidio = cartao ? cartao->subsidio : 0;

    // A list sent again after it was finished, or after a refused page, starts over.
    if (t->situacao != kEmCurso) {
        if (!store_->apagaItens(t->nsu)) return std::nullopt;
        t->situacao = kEmCurso;
    }
    std::vector<Item> gravados = store_->itens(t->nsu);
    int seq = gravados.empty() ? 0 : gravados.back().seq + 1;

    // What the pre-authorisation allows, by product code, for a sale.
    std::vector<Item> permitidos;
    if (venda) permitidos = store_->itens(t->pre);

    std::vector<Item> pagina;
    int aprovados = 0;
    for (const ProdutoPedido& pp : p.produtos) {
        Item i;
        i.nsu = t->nsu;
        i.seq = seq++;
        i.codigo = codigoNormalizado(pp.codigo);
        i.embalagem = pp.embalagem.isEmpty() ? QStringLiteral(" ") : pp.embalagem;
        i.quantidade = pp.quantidade.trimmed().toInt();
        i.precoBruto = centavosDoPedido(pp.precoBruto);
        i.precoLiquido = centavosDoPedido(pp.precoLiquido);
        const std::optional<Produto> prod = store_->produto(i.codigo);
        if (prod) {
            i.precoBruto = prod->precoBruto;
            i.precoLiquido = prod->precoLiquido;
        }
        i.valorReceber = valorReceber(i.precoLiquido, subsidio);
        i.desconto = descontoCentesimos(i.precoBruto, i.precoLiquido);
        if (!prod) {
            i.status = codigo::kProdutoNaoCadastrado;
        } else if (i.quantidade <= 0 || i.quantidade > 999) {
            i.status = codigo::kQuantidadeInvalida;
        } else if (!prod->coberto) {
            i.status = codigo::kProdutoNaoCoberto;
        } else if (i.quantidade > prod->quantidadeMaxima) {
            i.status = codigo::kQuantidadeAcimaDoLimite;
        } else if (venda) {
            int permitido = -1;
            for (const Item& pi : permitidos)
                if (pi.codigo == i.codigo && pi.status < 40) permitido = pi.quantidade;
            if (permitido < 0)
                i.status = codigo::kProdutoForaDaPre;
            else if (i.quantidade > permitido)
                i.status = codigo::kQuantidadeAcimaDaPre;
        }
        if (i.status < 40) ++aprovados;
        if (!store_->adicionaItem(i)) return std::nullopt;
        pagina.push_back(i);
    }

    const bool ultimaPagina = p.campo(QStringLiteral("900-000")).trimmed() != QLatin1String("1");
    int codigoPagina = codigo::kAprovado;
    QString textoPagina;
    if (aprovados == 0) {
        // Nothing of this page can be sold: the list is refused and will be sent again whole.
        codigoPagina = codigo::kNenhumProdutoAutorizado;
        textoPagina = pagina.size() == 1 ? textoStatus(pagina.front().status)
                                         : QStringLiteral("NENHUM PRODUTO AUTORIZADO");
        if (!store_->apagaItens(t->nsu)) return std::nullopt;
        t->situacao = kEleg;
    } else if (ultimaPagina) {
        if (venda) {
            t->situacao = kPendente;
            t->codigoTipo = QStringLiteral("BC");
            t->documento = p.campo(QStringLiteral("002-000")).trimmed();
            t->lote = store_->loteParaNovaTransacao(t->codigoOperadora, relogio_.now().date());
            if (t->lote == 0) return std::nullopt;
            if (std::optional<Transacao> pre = store_->transacao(t->pre)) {
                pre->situacao = kUtilizada;
                if (!store_->atualizaTransacao(*pre)) return std::nullopt;
            }
            alt.marca(*t);
        } else {
            t->situacao = kAberta;
        }
    }
    if (!store_->atualizaTransacao(*t)) return std::nullopt;

    QStringList recibo;
    if (venda && ultimaPagina && codigoPagina == codigo::kAprovado) {
        DadosRecibo dados;
        dados.titulo = QStringLiteral("COMPROVANTE DE VENDA");
        dados.transacao = *t;
        dados.momento = relogio_.now();
        for (const Item& i : store_->itens(t->nsu)) {
            if (i.status >= 40) continue;
            dados.itens.push_back(i);
            const auto prod = store_->produto(i.codigo);
            dados.descricoes.push_back(prod ? prod->descricao : i.codigo);
        }
        int maxLinhas = kMaxLinhasRecibo;
        if (p.forma == Forma::Iso)
            maxLinhas = qMin(maxLinhas, (kTamanhoElemento63 - kRegistroVenda * int(pagina.size())) /
                                            kLinhaRecibo63);
        recibo = montaRecibo(dados, maxLinhas);
    }

    Resposta r = inicia(p);
    poeCodigo(r, codigoPagina, textoPagina);
    r.add(QStringLiteral("012-000"), nsuTexto(t->nsu));
    poeControle(r, QStringLiteral("0"), int(pagina.size()), int(recibo.size()));
    poeRecibo(r, recibo);
    for (std::size_t j = 0; j < pagina.size(); ++j) poeProdutoAutorizado(r, int(j), pagina[j]);
    return r;
}

std::optional<Resposta> HostSimulator::cadastro(const Pedido& p) {
    const QString distribuidora = p.campo(QStringLiteral("990-000")).trimmed();
    if (distribuidora.isEmpty())
        return recusa(p, codigo::kDistribuidoraNaoInformada,
                      QStringLiteral("DISTRIBUIDORA NAO INFORMADA"));
    const QString codigoOp = store_->codigoOperadora(p.campo(QStringLiteral("040-000")));
    if (!store_->gravaCadastro(p.campo(QStringLiteral("942-000")).trimmed(), codigoOp,
                               distribuidora, relogio_.now()))
        return std::nullopt;
    Resposta r = inicia(p);
    poeCodigo(r, codigo::kAprovado);
    return r;
}

}  // namespace ql::hostsim
