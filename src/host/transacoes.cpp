#include "host/transacoes.h"

#include <QDateTime>

#include <algorithm>

#include "host/troca.h"
#include "host/valores.h"
#include "message/campo_resposta.h"
#include "message/mensagem.h"
#include "shell/context.h"
#include "shell/error_trap.h"
#include "shell/ini_access.h"

namespace ql {

namespace {

bool tipoBcOuBe(const QString& tipoTransacao) {
    const QString prefixo = tipoTransacao.left(2);
    return prefixo == QLatin1String("BC") || prefixo == QLatin1String("BE");
}

}  // namespace

bool ModoVenda(const Context& ctx) {
    return ctx.TelaAtual.trimmed() == QLatin1String("VENDA");
}

bool MontaCamposComuns(Context& ctx, const QString& tipoMensagem,
                       const QString& codigoProcessamento, const QString& referencia) {
    return runTrapped(ctx, "MontaCamposComuns", false, [&] {
        ctx.bufferMensagem.clear();
        AdicionaCampo(ctx, QStringLiteral("000-000"), tipoMensagem);
        AdicionaCampo(ctx, QStringLiteral("011-000"), codigoProcessamento);
        AdicionaCampo(ctx, QStringLiteral("001-000"),
                      ctx.config.bMsgIso ? QStringLiteral("001111") : QStringLiteral("1111"));
        AdicionaCampo(ctx, QStringLiteral("040-000"), ctx.ident.NomeOperadora);
        if (!referencia.isEmpty()) {
            AdicionaCampo(ctx, QStringLiteral("012-000"), formataCodigo(referencia, 12));
        }
        AdicionaCampo(ctx, QStringLiteral("940-000"), QStringLiteral("003"));
        AdicionaCampo(ctx, QStringLiteral("942-000"), ctx.config.ESTAB_CODE);
        AdicionaCampo(ctx, QStringLiteral("941-000"), ctx.config.Terminal);
        const QDateTime agora = ctx.relogio.now();
        AdicionaCampo(ctx, QStringLiteral("023-000"),
                      agora.time().toString(QStringLiteral("hhmmss")));
        AdicionaCampo(ctx, QStringLiteral("022-000"),
                      agora.date().toString(QStringLiteral("MMdd")));
        return true;
    });
}

QString DadosIdentificacao(const QString& campo1, const QString& campo2) {
    const QString a = campo1.trimmed();
    const QString b = campo2.trimmed();
    if (a.isEmpty() && b.isEmpty()) return {};
    QString dados = formataZeros(a.size(), 2) + a;
    if (!b.isEmpty()) dados += formataZeros(b.size(), 2) + b;
    return dados;
}

bool Mensagem_ElegPortador(Context& ctx, qint16 sequencia) {
    return runTrapped(ctx, "Mensagem_ElegPortador", false, [&] {
        QString codigo;
        if (ModoVenda(ctx)) {
            codigo = QStringLiteral("800500");
        } else {
            codigo = ctx.config.Cod_Processamento_Pre_Venda.isEmpty()
                         ? QStringLiteral("800000")
                         : ctx.config.Cod_Processamento_Pre_Venda;
        }
        if (!MontaCamposComuns(ctx, QLatin1String(tipo::kPedido), codigo, {})) return false;
        AdicionaCampo(ctx, QStringLiteral("953-000"), ctx.ident.NumeroCartao.trimmed());
        if (ModoVenda(ctx) && sequencia != 0) {
            AdicionaCampo(ctx, QStringLiteral("900-000"), QString::number(sequencia));
            if (codigo == QLatin1String("800500") && ctx.config.bMsgIso) {
                AdicionaCampo(ctx, QStringLiteral("901-000"), QStringLiteral("00"));
            }
        }
        AdicionaCampo(ctx, QStringLiteral("949-000"),
                      DadosIdentificacao(ctx.ident.ValorCampo1, ctx.ident.ValorCampo2));
        if (ProcessaMsg(ctx) < 0) {
            MostraAtencao(ctx, ctx.bufferMensagem);
            return false;
        }
        if (!ValidaResposta(ctx, true)) return false;
        ctx.transacao.NsuTransacao = GetCampo(ctx, QStringLiteral("012-000"));
        return true;
    });
}

QString CodigoProcessamentoConfirmacao(const Context& ctx) {
    const QString tela = ctx.TelaAtual.trimmed();
    if (tela == QLatin1String("PREVENDA") || tela == QLatin1String("VENDA")) {
        return QStringLiteral("800300");
    }
    if (tela != QLatin1String("TRANSACOESPENDENTES")) return QStringLiteral("800400");
    const bool cancelada =
        ctx.transacao.SituacaoTransacao.trimmed().toUpper() == QLatin1String("CANC.");
    if (tipoBcOuBe(ctx.transacao.TipoTransacao)) {
        return cancelada ? QStringLiteral("800400") : QStringLiteral("800300");
    }
    return cancelada ? QStringLiteral("900400") : QStringLiteral("900300");
}

QString CodigoProcessamentoCancelamento(const Context& ctx) {
    const QString& tipoRegistro = ctx.transacao.TipoTransacao;
    return tipoBcOuBe(tipoRegistro) || tipoRegistro.isEmpty() ? QStringLiteral("800400")
                                                              : QStringLiteral("900400");
}

bool Mensagem_Confirmacao(Context& ctx) {
    return runTrapped(ctx, "Mensagem_Confirmacao", false, [&] {
        if (!MontaCamposComuns(ctx, QLatin1String(tipo::kConfirmacao),
                               CodigoProcessamentoConfirmacao(ctx), ctx.transacao.NsuTransacao)) {
            return false;
        }
        const qint32 resultado = ProcessaMsg(ctx);
        if (resultado < 0) {
            MostraAtencao(ctx, ctx.bufferMensagem);
            return false;
        }
        return ValidaResposta(ctx, true);
    });
}

bool Mensagem_Anulacao(Context& ctx) {
    return runTrapped(ctx, "Mensagem_Anulacao", false, [&] {
        if (!MontaCamposComuns(ctx, QLatin1String(tipo::kAnulacao),
                               CodigoProcessamentoConfirmacao(ctx), ctx.transacao.NsuTransacao)) {
            return true;
        }
        const qint32 resultado = ProcessaMsg(ctx);
        if (resultado < 0) return true;
        return ValidaResposta(ctx, true);
    });
}

bool Mensagem_Cancelamento(Context& ctx, bool total) {
    return runTrapped(ctx, "Mensagem_Cancelamento", false, [&] {
        // When the common fields cannot be built the message goes as it stands.
        MontaCamposComuns(ctx, QLatin1String(tipo::kVenda), CodigoProcessamentoCancelamento(ctx),
                          ctx.transacao.NsuTransacao);
        const ItensVenda& itens = ctx.itensVenda;
        const int quantos = std::max<int>(0, std::min<int>(itens.count, int(itens.itens.size())));
        auto item = [&](int i) -> const ItemVenda& { return itens.itens.at(i - 1); };
        if (total) {
            AdicionaCampo(ctx, QStringLiteral("900-000"), QStringLiteral("0"));
            AdicionaCampo(ctx, QStringLiteral("901-000"), QStringLiteral("00"));
        } else if (ctx.config.bMsgIso) {
            AdicionaCampo(ctx, QStringLiteral("900-000"), QStringLiteral("0"));
            AdicionaCampo(ctx, QStringLiteral("901-000"), QStringLiteral("01"));
            for (int i = 1; i <= std::min(quantos, 12); ++i) {
                const int n = i - 1;
                AdicionaCampo(ctx, TagItem(902, n), item(i).codigo);
                AdicionaCampo(ctx, TagItem(906, n), item(i).embalagem);
                AdicionaCampo(ctx, TagItem(905, n),
                              formataZeros(valorInteiro(item(i).quantidade), 3));
            }
        } else {
            // Pages of 12 inside one message, each with its own 900/901 and sub-fields
            // numbered again from 000.
            for (int inicio = 1; inicio <= quantos; inicio += 12) {
                const int restantes = quantos - inicio + 1;
                AdicionaCampo(ctx, QStringLiteral("900-000"),
                              quantos >= 12 ? QStringLiteral("1") : QStringLiteral("0"));
                AdicionaCampo(ctx, QStringLiteral("901-000"),
                              restantes < 13 ? QStringLiteral("1") : QStringLiteral("12"));
                for (int i = inicio; i <= std::min(quantos, inicio + 11); ++i) {
                    const int n = i - inicio;
                    AdicionaCampo(ctx, TagItem(902, n), item(i).codigo);
                    AdicionaCampo(ctx, TagItem(906, n), item(i).embalagem);
                    AdicionaCampo(ctx, TagItem(905, n), item(i).quantidade);
                }
            }
        }
        if (ProcessaMsg(ctx) < 0) {
            MostraAtencao(ctx, ctx.bufferMensagem);
            return false;
        }
        if (!ValidaResposta(ctx, true)) return false;
        const QString nsu = GetCampo(ctx, QStringLiteral("012-000"));
        if (!nsu.isEmpty()) ctx.transacao.NsuTransacao = nsu;
        return true;
    });
}

bool Mensagem_Alteracao_Cadastral(Context& ctx, const QString& distribuidor,
                                  const QString& administradora) {
    return runTrapped(ctx, "Mensagem_Alteracao_Cadastral", false, [&] {
        if (MontaCamposComuns(ctx, QLatin1String(tipo::kCadastro), QStringLiteral("388100"), {})) {
            AdicionaCampo(ctx, QStringLiteral("990-000"), distribuidor.trimmed());
            if (ProcessaMsg(ctx) < 0) {
                MostraAtencao(ctx, QStringLiteral("Erro :  ") + ctx.bufferMensagem +
                                       QStringLiteral(" - Contatar o suporte ") +
                                       ctx.ident.CodigoOperadora.trimmed() + QStringLiteral(" ."));
                return false;
            }
            if (!ValidaResposta(ctx, true)) return false;
        }
        GravaLinhaArquivoIni(ctx, QStringLiteral("DADOS_GERAIS"),
                             QStringLiteral("DISTRIBUIDORA_") + administradora.trimmed(),
                             distribuidor.trimmed(), CaminhoQlnClientIni(ctx));
        return true;
    });
}

qint16 GetQtdLinha(Context& ctx) {
    return runTrapped(ctx, "GetQtdLinha", qint16(0), [&] {
        return static_cast<qint16>(valorInteiro(GetCampo(ctx, QStringLiteral("028-000"))));
    });
}

QString GetLinhaImpressao(Context& ctx, int n) {
    return runTrapped(ctx, "GetLinhaImpressao", QString(),
                      [&] { return GetCampo(ctx, QStringLiteral("029-") + formataZeros(n, 3)); });
}

}  // namespace ql
