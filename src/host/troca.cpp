#include "host/troca.h"

#include <QElapsedTimer>

#include "host/framing.h"
#include "host/host_link.h"
#include "host/ouvinte_trocas.h"
#include "host/valores.h"
#include "message/campo_resposta.h"
#include "message/iso8583.h"
#include "message/mensagem.h"
#include "shell/context.h"
#include "shell/error_routine.h"
#include "shell/support_log.h"

namespace ql {

namespace {

const QString kModoProcess = QStringLiteral("CHK");
const QString kErroModulo = QStringLiteral("158 - Impossivel acessar Módulo QL32_Cli.dll");

// The buffer text for a link failure.
QString textoFalha(qint32 resultado) {
    if (resultado == HostLink::kSemInternet) return QString::fromUtf16(kTextoSemInternet);
    if (resultado == HostLink::kServidorForaDoAr) {
        return QString::fromUtf16(kTextoServidorForaDoAr);
    }
    return TextoErroConexao(resultado);
}

QString referenciaSuporte(const Context& ctx) {
    return ctx.ident.CodigoOperadora.trimmed();
}

// One line of the support log per exchange: what went, by which route, what came back and
// how long it took.
void registraTroca(Context& ctx, const QString& tipoMensagem, const QString& rota, qint32 resultado,
                   qint64 ms) {
    const bool logon = tipoMensagem.isEmpty();
    QString nsu = logon ? QString() : ctx.mensagem.valor(QStringLiteral("012-000"));
    QString resposta;
    if (resultado >= 0 && !logon) {
        resposta = CampoDaResposta(ctx, QStringLiteral("009-000"));
        const QString nsuResposta = CampoDaResposta(ctx, QStringLiteral("012-000"));
        if (!nsuResposta.trimmed().isEmpty()) nsu = nsuResposta;
    }
    RegistraLog(ctx, QStringLiteral("troca: mensagem %1, processamento %2, rota %3, NSU %4, "
                                    "resposta %5, %6 ms, transporte %7")
                         .arg(logon ? QStringLiteral("LOGIN") : tipoMensagem,
                              logon ? QString() : ctx.mensagem.valor(QStringLiteral("011-000")),
                              rota, nsu.trimmed(), resposta.trimmed(), QString::number(ms),
                              resultado >= 0 ? QStringLiteral("ok")
                                             : QString::number(resultado) + QStringLiteral(" ") +
                                                   DescricaoResultadoLink(resultado)));
}

// One call of the link with a framed text; the route goes out and comes back. tipoMensagem
// is "" for the logon.
qint32 chamaLink(Context& ctx, const QString& texto, const QString& tipoMensagem) {
    QString quadro = framing::buildFrame(texto);
    QString rota = ctx.ident.NomeOperadora;
    QElapsedTimer cronometro;
    cronometro.start();
    qint32 resultado = 0;
    {
        EsperaEmPrimeiroPlano espera(ctx);
        resultado = ctx.hostLink->Process(quadro, rota, kModoProcess);
    }
    const qint64 ms = cronometro.elapsed();
    ctx.ident.NomeOperadora = rota;
    ctx.bufferMensagem = resultado >= 0 ? quadro : textoFalha(resultado);
    registraTroca(ctx, tipoMensagem, rota, resultado, ms);
    return resultado;
}

}  // namespace

QString CampoDaResposta(const Context& ctx, const QString& tag) {
    if (!ctx.config.bMsgIso) return textField(ctx.bufferMensagem, tag);
    int linhas = 0;
    return isoField(answerWithoutFrame(ctx.bufferMensagem), tag, linhas,
                    ctx.mensagem.descricaoIso());
}

QString TextoErroConexao(qint32 resultado) {
    return QStringLiteral("     Erro de conexão = ") + formataZeros(resultado, 3);
}

void MostraAtencao(Context& ctx, const QString& texto) {
    ctx.caixas.inform(texto, kTituloAtencao, MessageBoxes::Icon::Critical);
}

qint32 ProcessaMsg(Context& ctx) {
    ctx.qtdLinhasRecibo = 0;
    ctx.bufferMensagem = QString(framing::kFrameSize, QLatin1Char(' '));
    ctx.bufferMensagem = ctx.config.bMsgIso ? MontaMensagemIso(ctx, true) : MontaMensagemTexto(ctx);
    if (!ctx.hostLink) {
        MostraErro(ctx, QStringLiteral("ProcessaMsg"), kErroModulo);
        return 0;
    }
    TrocaRelatada troca;
    troca.tipoMensagem = ctx.mensagem.valor(QStringLiteral("000-000"));
    troca.codigoProcessamento = ctx.mensagem.valor(QStringLiteral("011-000"));
    troca.nsu = ctx.mensagem.valor(QStringLiteral("012-000")).trimmed();
    // The listener learns of the request before it leaves (the terminal store writes the sale
    // first) and of its end once the link has returned.
    OuvinteTrocas* ouvinte = ctx.ouvinteTrocas.get();
    if (ouvinte) ouvinte->enviando(ctx, troca);
    troca.resultado = chamaLink(ctx, ctx.bufferMensagem, troca.tipoMensagem);
    if (troca.resultado >= 0)
        troca.codigoResposta = CampoDaResposta(ctx, QStringLiteral("009-000"));
    if (ouvinte) ouvinte->concluida(ctx, troca);
    return troca.resultado;
}

bool ProcessaLogon(Context& ctx) {
    if (!ctx.hostLink) {
        MostraErro(ctx, QStringLiteral("ProcessaLogon"), kErroModulo);
        return false;
    }
    const qint32 resultado = chamaLink(ctx, QStringLiteral("LOGIN|"), {});
    if (resultado < 0) {
        MostraAtencao(ctx, ctx.bufferMensagem);
        return false;
    }
    const QString& resposta = ctx.bufferMensagem;
    // An answer the link left untouched (a NUL where the length should be) counts as
    // accepted, as do the two short forms of an approval.
    if (resposta.startsWith(QLatin1String("0002OK")) ||
        resposta.startsWith(QLatin1String("0011009-000=00;")) ||
        (!resposta.isEmpty() && resposta.at(0) == QChar(0))) {
        return true;
    }
    const QString codigo = GetCampo(ctx, QStringLiteral("009-000"));
    if (codigo == QLatin1String("00")) return true;
    if (codigo.trimmed().isEmpty()) {
        MostraAtencao(ctx, QStringLiteral("Erro no Login:  ") + resposta);
        return false;
    }
    const QString textoHost = GetCampo(ctx, QStringLiteral("030-000"));
    if (!textoHost.trimmed().isEmpty()) {
        MostraAtencao(ctx, textoHost);
    } else {
        MostraAtencao(
            ctx, QStringLiteral("Erro :  ") + codigo + QStringLiteral(" - Contatar o suporte ."));
    }
    return false;
}

bool ValidaResposta(Context& ctx, bool show) {
    if (show) {
        const QString textoHost = GetCampo(ctx, QStringLiteral("030-000"));
        if (!textoHost.trimmed().isEmpty()) MostraAtencao(ctx, textoHost);
    }
    const QString codigo = GetCampo(ctx, QStringLiteral("009-000"));
    const qint64 valor = valorInteiro(codigo);
    bool aceita = valor < 40;
    if (valor >= 200) {
        MostraAtencao(ctx, QStringLiteral("Erro :  ") + codigo +
                               QStringLiteral(" - Contatar o suporte ") + referenciaSuporte(ctx) +
                               QStringLiteral(" ."));
        aceita = false;
    }
    // A confirmation needs no answer: an echo of the request is accepted.
    if (GetCampo(ctx, QStringLiteral("000-000")) == QLatin1String("0202")) return true;
    if (codigo.isEmpty()) {
        aceita = false;
        // The frame filler does not count: an answer of only its length (or nothing) has no
        // content to show.
        QString resposta = ctx.bufferMensagem;
        while (!resposta.isEmpty() && resposta.back() == QLatin1Char(' ')) resposta.chop(1);
        if (resposta.size() < 5) {
            MostraAtencao(ctx, QStringLiteral("Mensagem sem Retorno - Contatar o suporte ") +
                                   referenciaSuporte(ctx) + QStringLiteral(" ."));
        } else if (valorInteiro(resposta.left(4)) == 4) {
            MostraAtencao(ctx, QStringLiteral("Erro:  ") + resposta.mid(4, 3) +
                                   QStringLiteral(" - Contatar o suporte ") +
                                   referenciaSuporte(ctx) + QStringLiteral(" ."));
        }
    }
    return aceita;
}

}  // namespace ql
