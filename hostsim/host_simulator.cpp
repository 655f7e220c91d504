#include "host_simulator.h"

#include <algorithm>

#include "host/framing.h"
#include "host/price_protocol.h"
#include "host_journal.h"
#include "host_receipt.h"

namespace ql::hostsim {

namespace {

constexpr int kProdutosPorPagina = 12;
// Element 63 holds at most 999 characters; a sale answer's product records (45 each) share it
// with 40 characters per receipt line, and element 61 holds 38 per line.
constexpr int kTamanhoElemento63 = 999;
constexpr int kRegistroVenda = 45;
constexpr int kLinhaRecibo63 = 40;
constexpr int kMaxLinhasRecibo = 26;

const QString kEleg = QStringLiteral("ELEGIVEL");
const QString kEmCurso = QStringLiteral("EM_CURSO");
const QString kAberta = QStringLiteral("ABERTA");
const QString kUtilizada = QStringLiteral("UTILIZADA");
const QString kPendente = QStringLiteral("PENDENTE");
const QString kConfirmada = QStringLiteral("CONFIRMADA");
const QString kDesfeita = QStringLiteral("DESFEITA");
const QString kCancelada = QStringLiteral("CANCELADA");

QString tipoResposta(const QString& tipo) {
    bool ok = false;
    const int n = tipo.toInt(&ok);
    return ok ? QStringLiteral("%1").arg(n + 10, 4, 10, QLatin1Char('0')) : tipo;
}

QString nsuTexto(qint64 nsu) {
    return numeroFixo(nsu, 12);
}

Resposta inicia(const Pedido& p) {
    Resposta r(p.forma);
    r.add(QStringLiteral("000-000"), tipoResposta(p.tipo));
    r.add(QStringLiteral("011-000"), p.processamento);
    r.add(QStringLiteral("001-000"), p.campo(QStringLiteral("001-000")));
    return r;
}

void poeCodigo(Resposta& r, int cod, const QString& texto = {}) {
    r.add(QStringLiteral("009-000"), numeroFixo(cod, 2));
    if (!texto.isEmpty()) r.add(QStringLiteral("030-000"), texto);
}

Resposta recusa(const Pedido& p, int cod, const QString& texto) {
    Resposta r = inicia(p);
    poeCodigo(r, cod, texto);
    return r;
}

// Element 60 of an ISO answer: continuation (1 character), count (2) and receipt lines (2),
// at fixed positions. The text form carries the same fields by tag.
void poeControle(Resposta& r, const QString& continuacao, int quantidade, int linhasRecibo) {
    r.add(QStringLiteral("900-000"), continuacao);
    r.add(QStringLiteral("901-000"), numeroFixo(quantidade, 2));
    if (r.forma() == Forma::Iso || linhasRecibo > 0)
        r.add(QStringLiteral("028-000"), numeroFixo(linhasRecibo, 2));
}

void poeRecibo(Resposta& r, const QStringList& linhas) {
    for (int i = 0; i < linhas.size(); ++i)
        r.add(tagItem(29, i), r.forma() == Forma::Iso ? textoFixo(linhas[i], 38) : linhas[i]);
    // In ISO form element 63 opens with the receipt text, 40 characters a line, before the
    // product records; the terminal skips it by the line count.
    if (r.forma() == Forma::Iso && !linhas.isEmpty()) {
        QString bloco;
        for (const QString& l : linhas) bloco += textoFixo(l, kLinhaRecibo63);
        r.add(QStringLiteral("920-000"), bloco);
    }
}

int descontoCentesimos(qint64 bruto, qint64 liquido) {
    if (bruto <= 0 || liquido >= bruto) return 0;
    return int((bruto - liquido) * 10000 / bruto);
}

// An amount in cents as a request states it. A request may claim anything; amounts beyond
// what any field carries (ten digits) are cut there so that the arithmetic below stays exact.
qint64 centavosDoPedido(const QString& texto) {
    return std::clamp(texto.trimmed().toLongLong(), qint64(0), qint64(9'999'999'999));
}

// A page or continuation number as a request states it, kept within what the host could
// ever have sent (a negative or huge number would index or multiply out of range).
int paginaDoPedido(const QString& texto) {
    return std::clamp(texto.trimmed().toInt(), 0, 9999);
}

qint64 valorReceber(qint64 liquido, int subsidio) {
    return liquido - liquido * subsidio / 10000;
}

// Product record of the eligibility, pre-authorisation and sale answers.
void poeProdutoAutorizado(Resposta& r, int j, const Item& i) {
    const bool iso = r.forma() == Forma::Iso;
    r.add(tagItem(902, j), i.codigo);
    r.add(tagItem(906, j), iso ? textoFixo(i.embalagem, 1) : i.embalagem);
    r.add(tagItem(905, j), numeroFixo(i.quantidade, 3));
    r.add(tagItem(910, j), numeroFixo(i.precoBruto, 7));
    r.add(tagItem(911, j), numeroFixo(i.precoLiquido, 7));
    r.add(tagItem(912, j), numeroFixo(i.valorReceber, 7));
    r.add(tagItem(909, j), numeroFixo(i.desconto, 5));
    r.add(tagItem(919, j), numeroFixo(i.status, 2));
}

QString textoStatus(int status) {
    switch (status) {
        case codigo::kProdutoNaoCadastrado:
            return QStringLiteral("PRODUTO NAO CADASTRADO");
        case codigo::kProdutoNaoCoberto:
            return QStringLiteral("PRODUTO NAO COBERTO");
        case codigo::kQuantidadeAcimaDoLimite:
            return QStringLiteral("QUANTIDADE ACIMA DO LIMITE");
        case codigo::kQuantidadeAcimaDaPre:
            return QStringLiteral("QUANTIDADE ACIMA DA PRE-AUTORIZADA");
        case codigo::kProdutoForaDaPre:
            return QStringLiteral("PRODUTO NAO PRE-AUTORIZADO");
        case codigo::kQuantidadeAcimaDaVendida:
            return QStringLiteral("QUANTIDADE ACIMA DA VENDIDA");
        default:
            return QStringLiteral("QUANTIDADE INVALIDA");
    }
}

}  // namespace

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
    if (!store_->begin()) return erroSistema(codigo::kFalhaInterna);
    Alteracoes alt;
    bool falhou = false;
    Resposta r = despacha(p, alt, falhou);
    if (falhou || !store_->commit()) {
        store_->rollback();
        return erroSistema(codigo::kFalhaInterna);
    }
    if (diario_ && !alt.operadoras.isEmpty()) diario_->marca(alt.operadoras, alt.lotes, alt.nsus);
    // A system error cannot travel in the two characters of an ISO response code.
    if (r.forma() == Forma::Iso && r.valor(QStringLiteral("009-000")).size() > 2)
        return respostaErroSistema(r.valor(QStringLiteral("009-000")).toInt());
    const QString texto = r.escreve();
    if (!framing::sendable(texto.size())) return erroSistema(codigo::kFalhaInterna);
    return texto;
}

Resposta HostSimulator::despacha(const Pedido& p, Alteracoes& alt, bool& falhou) {
    const QString& tipo = p.tipo;
    const QString& proc = p.processamento;
    if (tipo == QLatin1String("0100")) {
        if (proc == QLatin1String("800100")) return consultaProdutos(p);
        if (proc == QLatin1String("800200")) return autorizaProdutos(p, false, alt, falhou);
        return elegibilidade(p, falhou);
    }
    if (tipo == QLatin1String("0200")) {
        if (proc == QLatin1String("800300")) return autorizaProdutos(p, true, alt, falhou);
        if (proc == QLatin1String("800400") || proc == QLatin1String("900400"))
            return cancelamento(p, alt, falhou);
    }
    if (tipo == QLatin1String("0202")) return confirmacao(p, alt, falhou);
    if (tipo == QLatin1String("0420")) return desfazimento(p, alt, falhou);
    if (tipo == QLatin1String("0800") && proc == QLatin1String("388100"))
        return cadastro(p, falhou);
    Resposta r = inicia(p);
    poeCodigo(r, codigo::kTransacaoDesconhecida);
    return r;
}

Resposta HostSimulator::elegibilidade(const Pedido& p, bool& falhou) {
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

    if (!venda) {
        t.tipo = QStringLiteral("PRE");
        t.nsu = store_->criaTransacao(t);
        if (t.nsu == 0) return falhou = true, Resposta(p.forma);
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
        if (t.nsu == 0) return falhou = true, Resposta(p.forma);
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

Resposta HostSimulator::consultaProdutos(const Pedido& p) {
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
        r.add(tagItem(902, n), prod.codigo);
        r.add(tagItem(903, n), iso ? textoFixo(prod.descricao, 20) : prod.descricao.left(20));
        // 904 is what the client shows as "Fabricante".
        r.add(tagItem(904, n), iso ? textoFixo(prod.fabricante, 20) : prod.fabricante.left(20));
        r.add(tagItem(906, n), iso ? textoFixo(prod.embalagem, 1) : prod.embalagem);
        r.add(tagItem(910, n), numeroFixo(prod.precoBruto, 7));
        r.add(tagItem(911, n), numeroFixo(prod.precoLiquido, 7));
        r.add(tagItem(912, n), numeroFixo(valorReceber(prod.precoLiquido, subsidio), 7));
        r.add(tagItem(909, n),
              numeroFixo(descontoCentesimos(prod.precoBruto, prod.precoLiquido), 5));
        r.add(tagItem(919, n),
              numeroFixo(prod.coberto ? codigo::kAprovado : codigo::kProdutoNaoCoberto, 2));
    }
    return r;
}

Resposta HostSimulator::autorizaProdutos(const Pedido& p, bool venda, Alteracoes& alt,
                                         bool& falhou) {
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
        if (!store_->apagaItens(t->nsu)) return falhou = true, Resposta(p.forma);
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
        if (!store_->adicionaItem(i)) return falhou = true, Resposta(p.forma);
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
        if (!store_->apagaItens(t->nsu)) return falhou = true, Resposta(p.forma);
        t->situacao = kEleg;
    } else if (ultimaPagina) {
        if (venda) {
            t->situacao = kPendente;
            t->codigoTipo = QStringLiteral("BC");
            t->documento = p.campo(QStringLiteral("002-000")).trimmed();
            t->lote = store_->loteParaNovaTransacao(t->codigoOperadora, relogio_.now().date());
            if (t->lote == 0) return falhou = true, Resposta(p.forma);
            if (std::optional<Transacao> pre = store_->transacao(t->pre)) {
                pre->situacao = kUtilizada;
                if (!store_->atualizaTransacao(*pre)) return falhou = true, Resposta(p.forma);
            }
            alt.marca(*t);
        } else {
            t->situacao = kAberta;
        }
    }
    if (!store_->atualizaTransacao(*t)) return falhou = true, Resposta(p.forma);

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

Resposta HostSimulator::confirmacao(const Pedido& p, Alteracoes& alt, bool& falhou) {
    const qint64 nsu = p.campo(QStringLiteral("012-000")).trimmed().toLongLong();
    std::optional<Transacao> t = store_->transacao(nsu);
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
        if (!store_->atualizaTransacao(*t)) return falhou = true, Resposta(p.forma);
        alt.marca(*t);
    }
    Resposta r = inicia(p);
    poeCodigo(r, codigo::kAprovado);
    r.add(QStringLiteral("012-000"), nsuTexto(t->nsu));
    return r;
}

Resposta HostSimulator::desfazimento(const Pedido& p, Alteracoes& alt, bool& falhou) {
    const qint64 nsu = p.campo(QStringLiteral("012-000")).trimmed().toLongLong();
    std::optional<Transacao> t = store_->transacao(nsu);
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
                if (!store_->atualizaTransacao(*pre)) return falhou = true, Resposta(p.forma);
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
                        if (!store_->atualizaItem(v)) return falhou = true, Resposta(p.forma);
                        break;
                    }
                }
            }
            if (origem->situacao == kCancelada) {
                origem->situacao = kConfirmada;
                if (!store_->atualizaTransacao(*origem)) return falhou = true, Resposta(p.forma);
            }
            alt.marca(*origem);
        }
    }
    alt.marca(*t);
    t->situacao = kDesfeita;
    if (!store_->atualizaTransacao(*t)) return falhou = true, Resposta(p.forma);
    return ok();
}

Resposta HostSimulator::cancelamento(const Pedido& p, Alteracoes& alt, bool& falhou) {
    const qint64 nsu = p.campo(QStringLiteral("012-000")).trimmed().toLongLong();
    std::optional<Transacao> origem = store_->transacao(nsu);
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
    if (c.lote == 0) return falhou = true, Resposta(p.forma);
    c.nsu = store_->criaTransacao(c);
    if (c.nsu == 0) return falhou = true, Resposta(p.forma);
    int seq = 0;
    for (Item i : cancelados) {
        i.nsu = c.nsu;
        i.seq = seq++;
        i.cancelada = 0;
        if (!store_->adicionaItem(i)) return falhou = true, Resposta(p.forma);
    }
    bool tudo = true;
    for (const Item& v : vendidos) {
        if (v.status < 40 && v.cancelada < v.quantidade) tudo = false;
        if (!store_->atualizaItem(v)) return falhou = true, Resposta(p.forma);
    }
    if (tudo) {
        origem->situacao = kCancelada;
        if (!store_->atualizaTransacao(*origem)) return falhou = true, Resposta(p.forma);
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
        r.add(tagItem(29, i), p.forma == Forma::Iso ? textoFixo(recibo[i], 38) : recibo[i]);
    // Item verdicts of a partial cancellation: code, packaging, quantity, status, in records
    // of 20 characters in ISO form.
    for (std::size_t j = 0; j < respostaItens.size(); ++j) {
        const Item& i = respostaItens[j];
        const bool iso = p.forma == Forma::Iso;
        r.add(tagItem(902, int(j)), i.codigo);
        r.add(tagItem(906, int(j)), iso ? textoFixo(i.embalagem, 1) : i.embalagem);
        r.add(tagItem(905, int(j)), numeroFixo(i.quantidade, 3));
        r.add(tagItem(919, int(j)),
              iso ? numeroFixo(i.status, 2) + QLatin1Char(' ') : numeroFixo(i.status, 2));
    }
    return r;
}

Resposta HostSimulator::cadastro(const Pedido& p, bool& falhou) {
    const QString distribuidora = p.campo(QStringLiteral("990-000")).trimmed();
    if (distribuidora.isEmpty())
        return recusa(p, codigo::kDistribuidoraNaoInformada,
                      QStringLiteral("DISTRIBUIDORA NAO INFORMADA"));
    const QString codigoOp = store_->codigoOperadora(p.campo(QStringLiteral("040-000")));
    if (!store_->gravaCadastro(p.campo(QStringLiteral("942-000")).trimmed(), codigoOp,
                               distribuidora, relogio_.now()))
        return falhou = true, Resposta(p.forma);
    Resposta r = inicia(p);
    poeCodigo(r, codigo::kAprovado);
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
