#include "store/settlement.h"

#include <QFileInfo>

#include <cmath>

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

qint64 centavos(double valor) {
    return std::llround(valor * 100);
}

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

void aplicaDesfecho(Context& ctx, TerminalStore& store, const VendaRegistrada& v, Desfecho d) {
    const QString resposta =
        d == Desfecho::SemResposta ? QString() : CampoDaResposta(ctx, QStringLiteral("009-000"));
    const EstadoVenda novo = estadoApos(v.tipoMensagem, d, v.estado);
    if (novo == v.estado) {
        RegistraLog(ctx, QStringLiteral("venda NSU %1: mensagem %2 sem resposta; segue %3")
                             .arg(v.nsu, v.tipoMensagem, NomeEstado(v.estado)));
        return;
    }
    muda(ctx, store, v, novo, v.tipoMensagem, v.codigoProcessamento, resposta);
}

// The current message, the message buffer and the route, kept across a background exchange.
class TrocaEmSegundoPlano {
  public:
    explicit TrocaEmSegundoPlano(Context& ctx)
        : ctx_(ctx),
          mensagem_(ctx.mensagem),
          buffer_(ctx.bufferMensagem),
          linhas_(ctx.qtdLinhasRecibo),
          rota_(ctx.ident.NomeOperadora) {
        ctx_.liquidando = true;
    }
    ~TrocaEmSegundoPlano() {
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

TerminalStore* ArmazemTerminal(Context& ctx, bool criar) {
    if (ctx.armazem) return ctx.armazem.get();
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
    ctx.armazem = std::move(store);
    return ctx.armazem.get();
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
    VendaRegistrada v;
    v.nsu = nsuDe(ctx.transacao.NsuTransacao);
    v.rota = ctx.ident.NomeOperadora;
    v.cartaoMascarado = MascaraCartao(ctx.ident.NumeroCartao);
    v.totalBrutoCentavos = centavos(totais.bruto);
    v.totalVendaCentavos = centavos(totais.venda);
    v.totalClienteCentavos = centavos(totais.cliente);
    v.documentoFiscal = documento.trimmed();
    v.recibo = PreencheImpressao(ctx);
    v.aprovadaEm = v.atualizadaEm = ctx.relogio.now();
    v.estado = EstadoVenda::Autorizada;
    v.tipoMensagem = kConfirmacao;
    v.codigoProcessamento = CodigoProcessamentoConfirmacao(ctx);
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

void MarcaEnvio(Context& ctx) {
    TerminalStore* store = ArmazemTerminal(ctx, false);
    if (!store) return;
    const std::optional<VendaRegistrada> v = store->venda(nsuDe(ctx.transacao.NsuTransacao));
    if (!v || EstadoLiquidado(v->estado)) return;
    const QString tipoMensagem = ctx.mensagem.valor(QStringLiteral("000-000"));
    muda(ctx, *store, *v, pendenteDe(tipoMensagem), tipoMensagem,
         ctx.mensagem.valor(QStringLiteral("011-000")), {});
}

void RegistraDesfecho(Context& ctx, qint32 resultado) {
    TerminalStore* store = ArmazemTerminal(ctx, false);
    if (!store) return;
    const std::optional<VendaRegistrada> v = store->venda(nsuDe(ctx.transacao.NsuTransacao));
    if (!v || EstadoLiquidado(v->estado) || v->estado == EstadoVenda::Autorizada) return;
    aplicaDesfecho(ctx, *store, *v, DesfechoDaTroca(ctx, v->tipoMensagem, resultado));
}

int LiquidaPendentes(Context& ctx) {
    if (ctx.trocaEmAndamento || ctx.liquidando || !ctx.hostLink) return 0;
    TerminalStore* store = ArmazemTerminal(ctx, false);
    if (!store) return 0;
    const std::vector<VendaRegistrada> pendentes = store->vendasNosEstados(
        {EstadoVenda::ConfirmacaoPendente, EstadoVenda::DesfazimentoPendente});
    if (pendentes.empty()) return 0;
    TrocaEmSegundoPlano guarda(ctx);
    int respondidas = 0;
    for (const VendaRegistrada& v : pendentes) {
        ctx.ident.NomeOperadora = v.rota;
        if (!MontaCamposComuns(ctx, v.tipoMensagem, v.codigoProcessamento, v.nsu)) break;
        const qint32 resultado = ProcessaMsg(ctx);
        const Desfecho d = DesfechoDaTroca(ctx, v.tipoMensagem, resultado);
        aplicaDesfecho(ctx, *store, v, d);
        if (d == Desfecho::SemResposta) break;
        ++respondidas;
    }
    return respondidas;
}

void RecuperaVendas(Context& ctx) {
    TerminalStore* store = ArmazemTerminal(ctx, false);
    if (!store) return;
    const int removidas =
        store->removeLiquidadasAntes(ctx.relogio.now().addDays(-kDiasVendasLiquidadas));
    if (removidas > 0)
        RegistraLog(ctx, QStringLiteral("%1 vendas liquidadas há mais de %2 dias removidas")
                             .arg(removidas)
                             .arg(kDiasVendasLiquidadas));
    const std::vector<VendaRegistrada> autorizadas =
        store->vendasNosEstados({EstadoVenda::Autorizada});
    // Never confirmed: undone, as the card networks treat a sale the terminal left open.
    for (const VendaRegistrada& v : autorizadas)
        muda(ctx, *store, v, EstadoVenda::DesfazimentoPendente, kAnulacao, v.codigoProcessamento,
             {});
    LiquidaPendentes(ctx);
    if (autorizadas.empty()) return;

    QStringList linhas;
    for (const VendaRegistrada& antes : autorizadas) {
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
