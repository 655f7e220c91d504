#include "store/settlement.h"

#include <QFileInfo>
#include <QSet>

#include "host/ouvinte_trocas.h"
#include "host/transacoes.h"
#include "host/troca.h"
#include "host/valores.h"
#include "message/campo_resposta.h"
#include "message/mensagem.h"
#include "sale/grade_autorizacao.h"
#include "sale/recibo.h"
#include "shell/context.h"
#include "shell/error_routine.h"
#include "shell/support_log.h"
#include "shell/text_files.h"
#include "store/terminal_store.h"

namespace ql {

namespace {

const QString kConfirmacao = QLatin1String(tipo::kConfirmacao);
const QString kAnulacao = QLatin1String(tipo::kAnulacao);

QString nsuDe(const QString& referencia) {
    return formataCodigo(referencia.trimmed(), 12);
}

QString valorDe(qint64 centavos) {
    return formataValor(double(centavos) / 100);
}

EstadoVenda pendenteDe(const QString& tipoMensagem) {
    return tipoMensagem == kAnulacao ? EstadoVenda::DesfazimentoPendente
                                     : EstadoVenda::ConfirmacaoPendente;
}

// Writes a state change and tells the log.
void muda(Context& ctx, TerminalStore& store, const VendaRegistrada& v, EstadoVenda novo,
          const QString& tipoMensagem, const QString& codigoProcessamento,
          const QString& codigoResposta) {
    if (!store.mudaEstado(v.nsu, novo, tipoMensagem, codigoProcessamento, codigoResposta,
                          ctx.relogio.now())) {
        MostraErro(ctx, QStringLiteral("MudaEstadoVenda"),
                   TextoErroDetalhado(5, store.ultimoErro()));
        return;
    }
    RegistraLog(
        ctx,
        QStringLiteral("venda NSU %1: %2 -> %3 (mensagem %4 %5%6)")
            .arg(v.nsu, NomeEstado(v.estado), NomeEstado(novo), tipoMensagem, codigoProcessamento,
                 codigoResposta.isEmpty() ? QString()
                                          : QStringLiteral(", resposta ") + codigoResposta));
}

// The settled or pending state an exchange's end leads to.
EstadoVenda estadoApos(const QString& tipoMensagem, Desfecho d, EstadoVenda atual) {
    switch (d) {
        case Desfecho::Aceita:
            return tipoMensagem == kAnulacao ? EstadoVenda::Desfeita : EstadoVenda::Confirmada;
        case Desfecho::Recusada:
            return EstadoVenda::Recusada;
        case Desfecho::SemResposta:
            break;
    }
    return atual;
}

void aplicaDesfecho(Context& ctx, TerminalStore& store, const VendaRegistrada& v, Desfecho d,
                    const QString& resposta) {
    const EstadoVenda novo = estadoApos(v.tipoMensagem, d, v.estado);
    if (novo == v.estado) {
        RegistraLog(ctx, QStringLiteral("venda NSU %1: mensagem %2 sem resposta; segue %3")
                             .arg(v.nsu, v.tipoMensagem, NomeEstado(v.estado)));
        return;
    }
    muda(ctx, store, v, novo, v.tipoMensagem, v.codigoProcessamento, resposta);
}

// A sale request, as against a cancellation (also a 0200).
bool pedidoDeVenda(const TrocaRelatada& t) {
    return t.tipoMensagem == QLatin1String(tipo::kVenda) &&
           t.codigoProcessamento == QLatin1String("800300");
}

bool liquidacao(const TrocaRelatada& t) {
    return t.tipoMensagem == kConfirmacao || t.tipoMensagem == kAnulacao;
}

// Sum over the items about to be sold of a unit amount times the quantity, in cents.
qint64 totalItens(const Context& ctx, QString ItemVenda::*valor) {
    double total = 0;
    const int quantos = qMax(0, qMin<int>(ctx.itensVenda.count, int(ctx.itensVenda.itens.size())));
    for (int i = 0; i < quantos; ++i) {
        const ItemVenda& item = ctx.itensVenda.itens.at(i);
        total += lerDecimal(item.*valor).value_or(0) * double(valorInteiro(item.quantidade));
    }
    // Informational until the approval writes the grid's checked totals: one that does not
    // fit is kept as 0 rather than as garbage.
    return centavosDe(total).value_or(0);
}

// The exchange's listener: owns the store and the background settlement's pace.
class OuvinteArmazem final : public OuvinteTrocas {
  public:
    void enviando(Context& ctx, const TrocaRelatada& t) override;
    void concluida(Context& ctx, const TrocaRelatada& t) override;

    std::unique_ptr<TerminalStore> armazem;
    // The sales of this run whose request (0200) got no answer: the host may hold them
    // approved, so a refusal of a later attempt (say "already authorised") is no proof that
    // nothing was sold.
    QSet<QString> vendasSemResposta;
    QDateTime proximaPassagem;  // no background pass before this (invalid: at once)
    int esperaMin = 0;          // the last wait after a pass that got no answer
};

OuvinteArmazem* ouvinteDe(Context& ctx) {
    LigaArmazemTerminal(ctx);
    return dynamic_cast<OuvinteArmazem*>(ctx.ouvinteTrocas.get());
}

// The sale about to be sent, written as "sent" with its undo before the request leaves. A
// sale already stored and not sent or refused (approved, settled) is left alone.
void registraEnvio(Context& ctx, const TrocaRelatada& t) {
    TerminalStore* store = ArmazemTerminal(ctx);
    if (!store) return;
    const QString nsu = nsuDe(t.nsu);
    if (const std::optional<VendaRegistrada> antes = store->venda(nsu);
        antes && antes->estado != EstadoVenda::Enviada && antes->estado != EstadoVenda::Recusada)
        return;
    VendaRegistrada v;
    v.nsu = nsu;
    v.rota = ctx.ident.NomeOperadora;
    v.cartaoMascarado = MascaraCartao(ctx.ident.NumeroCartao);
    v.totalBrutoCentavos = totalItens(ctx, &ItemVenda::valorBruto);
    v.totalVendaCentavos = totalItens(ctx, &ItemVenda::valorLiquido);
    v.totalClienteCentavos = totalItens(ctx, &ItemVenda::valorReceber);
    v.documentoFiscal = ctx.mensagem.valor(QStringLiteral("002-000")).trimmed();
    v.aprovadaEm = v.atualizadaEm = ctx.relogio.now();
    v.estado = EstadoVenda::Enviada;
    v.tipoMensagem = kAnulacao;
    v.codigoProcessamento = CodigoProcessamentoConfirmacao(ctx);
    if (!store->registra(v)) {
        MostraErro(ctx, QStringLiteral("RegistraEnvioVenda"),
                   TextoErroDetalhado(5, store->ultimoErro()));
        return;
    }
    RegistraLog(ctx, QStringLiteral("venda NSU %1 enviada: rota %2, cartão %3, total R$ %4")
                         .arg(v.nsu, v.rota, v.cartaoMascarado, valorDe(v.totalVendaCentavos)));
}

// The sale's answer: approved on its last page, refused, or still without an answer. A
// refusal after an attempt that got no answer leaves the sale "sent", so that the settlement
// undoes whatever the host may hold of it.
void registraRespostaVenda(Context& ctx, const TrocaRelatada& t, OuvinteArmazem& ouvinte) {
    TerminalStore* store = ArmazemTerminal(ctx, false);
    if (!store) return;
    const std::optional<VendaRegistrada> v = store->venda(nsuDe(t.nsu));
    if (!v || v->estado != EstadoVenda::Enviada) return;
    const Desfecho d = DesfechoDaTroca(ctx, QLatin1String(tipo::kVenda), t.resultado);
    const bool maisPaginas = ctx.mensagem.valor(QStringLiteral("900-000")) == QLatin1String("1");
    if (d == Desfecho::SemResposta) {
        ouvinte.vendasSemResposta.insert(v->nsu);
    } else if (d == Desfecho::Recusada && ouvinte.vendasSemResposta.contains(v->nsu)) {
        RegistraLog(ctx, QStringLiteral("venda NSU %1: recusada (%2) após um envio sem resposta; "
                                        "segue %3 para ser desfeita")
                             .arg(v->nsu, t.codigoResposta.trimmed(), NomeEstado(v->estado)));
    } else if (d == Desfecho::Recusada) {
        muda(ctx, *store, *v, EstadoVenda::Recusada, v->tipoMensagem, v->codigoProcessamento,
             t.codigoResposta.trimmed());
    } else if (d == Desfecho::Aceita && !maisPaginas) {
        muda(ctx, *store, *v, EstadoVenda::Autorizada, kConfirmacao, v->codigoProcessamento,
             t.codigoResposta.trimmed());
    }
}

// A confirmation or undo of a stored sale not yet settled: pending before it leaves (so that
// a stop while it travels leaves it to be sent again), settled or refused after its answer.
void registraLiquidacao(Context& ctx, const TrocaRelatada& t, bool enviando) {
    TerminalStore* store = ArmazemTerminal(ctx, false);
    if (!store) return;
    const std::optional<VendaRegistrada> v = store->venda(nsuDe(t.nsu));
    if (!v || EstadoLiquidado(v->estado)) return;
    if (enviando) {
        muda(ctx, *store, *v, pendenteDe(t.tipoMensagem), t.tipoMensagem, t.codigoProcessamento,
             {});
        return;
    }
    if (v->estado != EstadoVenda::ConfirmacaoPendente &&
        v->estado != EstadoVenda::DesfazimentoPendente)
        return;
    const Desfecho d = DesfechoDaTroca(ctx, v->tipoMensagem, t.resultado);
    aplicaDesfecho(ctx, *store, *v, d,
                   d == Desfecho::SemResposta ? QString() : t.codigoResposta.trimmed());
}

void OuvinteArmazem::enviando(Context& ctx, const TrocaRelatada& t) {
    if (pedidoDeVenda(t)) registraEnvio(ctx, t);
    if (liquidacao(t)) registraLiquidacao(ctx, t, true);
}

void OuvinteArmazem::concluida(Context& ctx, const TrocaRelatada& t) {
    if (pedidoDeVenda(t)) registraRespostaVenda(ctx, t, *this);
    if (liquidacao(t)) registraLiquidacao(ctx, t, false);
}

// The current message, the message buffer and the route, kept across a background exchange;
// connecting is bounded by the settlement's own short time-out meanwhile.
class TrocaEmSegundoPlano {
  public:
    explicit TrocaEmSegundoPlano(Context& ctx)
        : ctx_(ctx),
          mensagem_(ctx.mensagem),
          buffer_(ctx.bufferMensagem),
          linhas_(ctx.qtdLinhasRecibo),
          rota_(ctx.ident.NomeOperadora) {
        ctx_.liquidando = true;
        ctx_.hostLink->setConnectTimeoutMs(kConexaoLiquidacaoMs);
    }
    ~TrocaEmSegundoPlano() {
        ctx_.hostLink->setConnectTimeoutMs(0);
        ctx_.mensagem = std::move(mensagem_);
        ctx_.bufferMensagem = std::move(buffer_);
        ctx_.qtdLinhasRecibo = linhas_;
        ctx_.ident.NomeOperadora = std::move(rota_);
        ctx_.liquidando = false;
    }
    TrocaEmSegundoPlano(const TrocaEmSegundoPlano&) = delete;
    TrocaEmSegundoPlano& operator=(const TrocaEmSegundoPlano&) = delete;

  private:
    Context& ctx_;
    Mensagem mensagem_;
    QString buffer_;
    int linhas_;
    QString rota_;
};

}  // namespace

void LigaArmazemTerminal(Context& ctx) {
    if (!ctx.ouvinteTrocas) ctx.ouvinteTrocas = std::make_unique<OuvinteArmazem>();
}

TerminalStore* ArmazemTerminal(Context& ctx, bool criar) {
    OuvinteArmazem* ouvinte = ouvinteDe(ctx);
    if (!ouvinte) return nullptr;
    if (ouvinte->armazem) return ouvinte->armazem.get();
    const QString dir = nativePath(ctx.config.PathCORE.trimmed());
    if (dir.isEmpty()) return nullptr;
    const QString caminho = joinPath(dir, QLatin1String(TerminalStore::kArquivo));
    if (!criar && !QFileInfo::exists(caminho)) return nullptr;
    auto store = std::make_unique<TerminalStore>(caminho);
    QString erro;
    if (!store->abre(&erro)) {
        MostraErro(ctx, QStringLiteral("ArmazemTerminal"),
                   TextoErroDetalhado(5, caminho + QStringLiteral(": ") + erro));
        return nullptr;
    }
    ouvinte->armazem = std::move(store);
    return ouvinte->armazem.get();
}

QString MascaraCartao(const QString& numero) {
    const QString n = numero.trimmed();
    if (n.size() < 11) return QString(n.size(), QLatin1Char('*'));
    return n.left(6) + QString(n.size() - 10, QLatin1Char('*')) + n.right(4);
}

bool RegistraVendaAprovada(Context& ctx, const GradeAutorizacao& grade, const QString& documento) {
    TerminalStore* store = ArmazemTerminal(ctx);
    if (!store) return false;
    const GradeAutorizacao::Totais totais = grade.totais();
    // Totals whose cents do not fit are refused rather than stored as garbage.
    const auto bruto = centavosDe(totais.bruto);
    const auto venda = centavosDe(totais.venda);
    const auto cliente = centavosDe(totais.cliente);
    if (!bruto || !venda || !cliente) {
        MostraErro(ctx, QStringLiteral("RegistraVendaAprovada"), TextoErro(6));
        return false;
    }
    VendaRegistrada v;
    v.nsu = nsuDe(ctx.transacao.NsuTransacao);
    v.rota = ctx.ident.NomeOperadora;
    v.cartaoMascarado = MascaraCartao(ctx.ident.NumeroCartao);
    v.totalBrutoCentavos = *bruto;
    v.totalVendaCentavos = *venda;
    v.totalClienteCentavos = *cliente;
    v.documentoFiscal = documento.trimmed();
    v.recibo = PreencheImpressao(ctx);
    v.aprovadaEm = v.atualizadaEm = ctx.relogio.now();
    v.estado = EstadoVenda::Autorizada;
    v.tipoMensagem = kConfirmacao;
    v.codigoProcessamento = CodigoProcessamentoConfirmacao(ctx);
    if (const std::optional<VendaRegistrada> antes = store->venda(v.nsu)) {
        // Settled while the answer was read (cannot happen on this thread): left as it is.
        if (EstadoLiquidado(antes->estado)) return true;
        v.aprovadaEm = antes->aprovadaEm;
        v.codigoResposta = antes->codigoResposta;
    }
    if (!store->registra(v)) {
        MostraErro(ctx, QStringLiteral("RegistraVendaAprovada"),
                   TextoErroDetalhado(5, store->ultimoErro()));
        return false;
    }
    RegistraLog(ctx, QStringLiteral("venda NSU %1 registrada: %2, rota %3, cartão %4, total R$ "
                                    "%5, documento %6")
                         .arg(v.nsu, NomeEstado(v.estado), v.rota, v.cartaoMascarado,
                              valorDe(v.totalVendaCentavos), v.documentoFiscal));
    return true;
}

QStringList LinhasSegundaVia(Context& ctx) {
    TerminalStore* store = ArmazemTerminal(ctx, false);
    if (!store) return {};
    const std::vector<VendaRegistrada> ultima = store->vendasNosEstados(
        {EstadoVenda::Autorizada, EstadoVenda::ConfirmacaoPendente, EstadoVenda::Confirmada}, 1);
    if (ultima.empty() || ultima.front().recibo.isEmpty()) return {};
    return QStringList{QStringLiteral("2a VIA")} + ultima.front().recibo;
}

Desfecho DesfechoDaTroca(Context& ctx, const QString& tipoMensagem, qint32 resultado) {
    if (resultado < 0) return Desfecho::SemResposta;
    QString corpo = answerWithoutFrame(ctx.bufferMensagem).trimmed();
    if (corpo.size() < 1) return Desfecho::SemResposta;
    // An answer that echoes a confirmation is taken as accepted, as the exchange does.
    if (tipoMensagem == kConfirmacao &&
        CampoDaResposta(ctx, QStringLiteral("000-000")) == kConfirmacao)
        return Desfecho::Aceita;
    const QString codigo = CampoDaResposta(ctx, QStringLiteral("009-000")).trimmed();
    // A host that could not read or process the message has not answered it.
    if (codigo.isEmpty()) return Desfecho::SemResposta;
    const qint64 valor = valorInteiro(codigo);
    if (valor >= 200) return Desfecho::SemResposta;
    return valor < 40 ? Desfecho::Aceita : Desfecho::Recusada;
}

bool LiquidaVenda(Context& ctx, const QString& nsu, bool confirma) {
    TerminalStore* store = ArmazemTerminal(ctx, false);
    if (!store) return false;
    const std::optional<VendaRegistrada> v = store->venda(nsuDe(nsu));
    // A sale never approved can only be undone.
    if (!v || EstadoLiquidado(v->estado) || (confirma && v->estado == EstadoVenda::Enviada))
        return false;
    const QString tipoMensagem = confirma ? kConfirmacao : kAnulacao;
    muda(ctx, *store, *v, pendenteDe(tipoMensagem), tipoMensagem, v->codigoProcessamento, {});
    return true;
}

int LiquidaPendentes(Context& ctx) {
    if (ctx.ocupado() || ctx.vendaEmAndamento || ctx.liquidando || !ctx.hostLink) return 0;
    OuvinteArmazem* ouvinte = ouvinteDe(ctx);
    if (!ouvinte) return 0;
    const QDateTime agora = ctx.relogio.now();
    if (ouvinte->proximaPassagem.isValid() && agora < ouvinte->proximaPassagem) return 0;
    TerminalStore* store = ArmazemTerminal(ctx, false);
    if (!store) return 0;
    // A sale still "sent" once its screen has closed never got its answer: it is undone.
    const std::vector<VendaRegistrada> pendentes =
        store->vendasNosEstados({EstadoVenda::Enviada, EstadoVenda::ConfirmacaoPendente,
                                 EstadoVenda::DesfazimentoPendente});
    if (pendentes.empty()) return 0;
    TrocaEmSegundoPlano guarda(ctx);
    int respondidas = 0;
    for (const VendaRegistrada& v : pendentes) {
        ctx.ident.NomeOperadora = v.rota;
        if (!MontaCamposComuns(ctx, v.tipoMensagem, v.codigoProcessamento, v.nsu)) break;
        // The store hears of the exchange as it does of the screens' own.
        const qint32 resultado = ProcessaMsg(ctx);
        if (DesfechoDaTroca(ctx, v.tipoMensagem, resultado) == Desfecho::SemResposta) {
            ouvinte->esperaMin = qBound(1, ouvinte->esperaMin * 2, kEsperaMaximaLiquidacaoMin);
            ouvinte->proximaPassagem = agora.addSecs(qint64(ouvinte->esperaMin) * 60 - 1);
            return respondidas;
        }
        ++respondidas;
    }
    ouvinte->esperaMin = 0;
    ouvinte->proximaPassagem = {};
    return respondidas;
}

void RecuperaVendas(Context& ctx) {
    LigaArmazemTerminal(ctx);
    TerminalStore* store = ArmazemTerminal(ctx, false);
    if (!store) return;
    const int removidas =
        store->removeLiquidadasAntes(ctx.relogio.now().addDays(-kDiasVendasLiquidadas));
    if (removidas > 0)
        RegistraLog(ctx, QStringLiteral("%1 vendas liquidadas há mais de %2 dias removidas")
                             .arg(removidas)
                             .arg(kDiasVendasLiquidadas));
    const std::vector<VendaRegistrada> abertas =
        store->vendasNosEstados({EstadoVenda::Enviada, EstadoVenda::Autorizada});
    // Never confirmed: undone, as the card networks treat a sale the terminal left open. A
    // sale whose answer never came is undone the same way; the host answers the undo of a
    // sale it never approved as done.
    for (const VendaRegistrada& v : abertas)
        muda(ctx, *store, v, EstadoVenda::DesfazimentoPendente, kAnulacao, v.codigoProcessamento,
             {});
    LiquidaPendentes(ctx);
    if (abertas.empty()) return;

    QStringList linhas;
    for (const VendaRegistrada& antes : abertas) {
        const std::optional<VendaRegistrada> v = store->venda(antes.nsu);
        QString desfecho = QStringLiteral("e foi desfeita.");
        if (v && v->estado == EstadoVenda::DesfazimentoPendente)
            desfecho = QStringLiteral("e será desfeita assim que o autorizador responder.");
        else if (v && v->estado == EstadoVenda::Recusada)
            desfecho = QStringLiteral("e o autorizador recusou desfazê-la (código %1).")
                           .arg(v->codigoResposta);
        linhas << QStringLiteral(
                      "A venda NSU %1, no valor de R$ %2, não foi confirmada antes "
                      "de o programa ser encerrado %3")
                      .arg(antes.nsu, valorDe(antes.totalVendaCentavos), desfecho);
    }
    ctx.caixas.inform(linhas.join(QLatin1Char('\n')), QStringLiteral("Atenção"),
                      MessageBoxes::Icon::Exclamation);
}

}  // namespace ql
