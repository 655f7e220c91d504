#include "sale/transacoes_produtos.h"

#include <algorithm>

#include "host/transacoes.h"
#include "host/troca.h"
#include "host/valores.h"
#include "message/campo_resposta.h"
#include "message/mensagem.h"
#include "sale/grade_autorizacao.h"
#include "sale/identificacao_cartao.h"
#include "sale/preco.h"
#include "shell/context.h"
#include "shell/error_trap.h"
#include "store/settlement.h"

namespace ql {

namespace {

QString valorCampo(Context& ctx, int campo, int sub) {
    return centavosParaValor(GetCampo(ctx, TagItem(campo, sub)));
}

// Refreshes the prices of query result row 1 (and item 1) by the price lookup.
void precificaPrimeiro(Context& ctx, ResultadoConsulta& consulta) {
    using R = ResultadoConsulta;
    ItemVenda& item = ctx.itensVenda.item(1);
    QString status;
    if (!ProcessaPreco(ctx, item.codigo, item.embalagem.trimmed(), item.descricao, item.valorBruto,
                       item.valorLiquido, item.valorReceber, status, item.desconto,
                       item.valorLiquidoConsulta)) {
        return;
    }
    consulta.defineTexto(1, R::Descricao, item.descricao);
    consulta.defineTexto(1, R::PrecoBruto, item.valorBruto);
    consulta.defineTexto(1, R::Desconto, item.desconto);
    consulta.defineTexto(1, R::PrecoLiquido, item.valorLiquido);
    consulta.defineTexto(1, R::ValorReceber, item.valorReceber);
    consulta.defineTexto(1, R::ValorLiquidoDll, item.valorLiquidoConsulta);
}

void escreveLinhaConsulta(ResultadoConsulta& consulta, const ItemVenda& item) {
    using R = ResultadoConsulta;
    const int linha = consulta.adicionaLinha();
    consulta.defineTexto(linha, R::Descricao, item.descricao);
    consulta.defineTexto(linha, R::Fabricante, item.fabricante);
    consulta.defineTexto(linha, R::Embalagem, item.embalagem);
    consulta.defineTexto(linha, R::PrecoBruto, item.valorBruto);
    consulta.defineTexto(linha, R::Desconto, item.desconto);
    consulta.defineTexto(linha, R::PrecoLiquido, item.valorLiquido);
    consulta.defineTexto(linha, R::ValorReceber, item.valorReceber);
    consulta.defineTexto(linha, R::Codigo, item.codigo);
    consulta.defineTexto(linha, R::Status, item.status);
    consulta.defineTexto(linha, R::ValorLiquidoDll, item.valorLiquidoConsulta);
}

// Field 914: the operadora-specific value in the form of the message and mode.
QString valorOperadora(const QString& valor, bool iso, bool venda) {
    if (!iso) return formataZeros(valor.size(), 2) + valor;
    const QString t = valor.trimmed();
    const QString quatorze = SoDigitos(t) ? formataCodigo(t, 14) : valor;
    if (quatorze.isEmpty()) {
        return venda ? QString(14, QLatin1Char(' '))
                     : QStringLiteral("00") + QString(14, QLatin1Char(' '));
    }
    const QString alinhado = quatorze.rightJustified(14, QLatin1Char(' '));
    return venda ? alinhado : formataZeros(alinhado.size(), 2) + alinhado;
}

// Number of product records the answer announces (901-000), kept within what a page can
// hold so that a garbled answer cannot make the readers loop for ever.
int ProdutosNaResposta(Context& ctx) {
    return static_cast<int>(
        std::clamp<qint64>(valorInteiro(GetCampo(ctx, QStringLiteral("901-000"))), 0, 999));
}

}  // namespace

bool Mensagem_Consulta_Produtos(Context& ctx, const QString& busca, qint16 pagina,
                                ResultadoConsulta& consulta, const GradeAutorizacao* grade) {
    return runTrapped(ctx, "Mensagem_Consulta_Produtos", false, [&] {
        consulta.nenhumProdutoEncontrado = false;
        consulta.limpa();
        if (!MontaCamposComuns(ctx, QLatin1String(tipo::kPedido), QStringLiteral("800100"),
                               ctx.transacao.NsuTransacao)) {
            return false;
        }
        AdicionaCampo(ctx, QStringLiteral("900-000"), QString::number(pagina));
        if (ctx.config.bMsgIso) AdicionaCampo(ctx, QStringLiteral("901-000"), QStringLiteral("00"));
        AdicionaCampo(ctx, QStringLiteral("920-000"), busca);
        const qint32 resultado = ProcessaMsg(ctx);
        if (resultado < 0) {
            MostraAtencao(ctx, ctx.bufferMensagem);
            return false;
        }

        bool produtoDoHost = false;
        if (ValidaResposta(ctx, true)) {
            ctx.continuacaoConsulta = GetCampo(ctx, QStringLiteral("900-000"));
            const int quantos = ProdutosNaResposta(ctx);
            ctx.itensVenda.clear();
            for (int n = 0; n < quantos; ++n) {
                ItemVenda& item = ctx.itensVenda.item(n + 1);
                item.descricao = GetCampo(ctx, TagItem(903, n));
                item.fabricante = GetCampo(ctx, TagItem(904, n));
                item.embalagem = GetCampo(ctx, TagItem(906, n));
                item.valorBruto = valorCampo(ctx, 910, n);
                item.desconto = valorCampo(ctx, 909, n);
                item.valorLiquido = valorCampo(ctx, 911, n);
                item.valorReceber = valorCampo(ctx, 912, n);
                item.codigo = GetCampo(ctx, TagItem(902, n));
                item.status = GetCampo(ctx, TagItem(919, n));
                escreveLinhaConsulta(consulta, item);
            }
            ctx.itensVenda.count = static_cast<qint16>(quantos);
            produtoDoHost = !GetCampo(ctx, TagItem(902, 0)).isEmpty();
            if (!produtoDoHost) return quantos > 0;
        } else if (ehNumerico(busca)) {
            // The host does not know the text but it is a product code: offer it as it is.
            ctx.continuacaoConsulta = QStringLiteral("0");
            ctx.itensVenda.clear();
            ItemVenda& item = ctx.itensVenda.item(1);
            item.codigo = busca.trimmed();
            item.embalagem = QStringLiteral(" ");
            item.valorBruto = item.desconto = item.valorLiquido = item.valorReceber =
                QStringLiteral("0");
            ctx.itensVenda.count = 1;
            if (!ctx.config.bIdentificaCartao_DS) {
                QString status;
                ProcessaPreco(ctx, item.codigo, QString(), item.descricao, item.valorBruto,
                              item.valorLiquido, item.valorReceber, status, item.desconto,
                              item.valorLiquidoConsulta);
            }
            escreveLinhaConsulta(consulta, item);
            return true;
        } else {
            consulta.nenhumProdutoEncontrado = true;
            MostraAtencao(ctx, QStringLiteral("Não foram encontrados produtos"));
            return false;
        }

        const ItemVenda& primeiro = ctx.itensVenda.itens.at(0);
        const bool jaNaGrade =
            grade && !ValidaProduto_Grid_Pre(*grade, primeiro.codigo, primeiro.embalagem);
        if (!jaNaGrade && !ctx.config.bIdentificaCartao_DS) precificaPrimeiro(ctx, consulta);
        return true;
    });
}

bool Recupera_Pre(Context& ctx, GradeAutorizacao& grade, int primeiraLinha) {
    using G = GradeAutorizacao;
    return runTrapped(ctx, "Recupera_Pre", false, [&] {
        const int quantos = ProdutosNaResposta(ctx);
        ctx.PreAutorizacaoRecuperada = true;
        for (int i = 1; i <= quantos; ++i) {
            const int linha = primeiraLinha + i;
            while (grade.linhas() < linha) grade.adicionaLinha();
            grade.ocultaColuna(G::Descricao, true);
            grade.ocultaColuna(G::Fabricante, true);
            const int n = i - 1;
            grade.defineTexto(linha, G::Embalagem, GetCampo(ctx, TagItem(906, n)));
            grade.defineTexto(linha, G::Quantidade,
                              QString::number(valorInteiro(GetCampo(ctx, TagItem(905, n)))));
            grade.defineTexto(linha, G::PMC, valorCampo(ctx, 910, n));
            grade.defineTexto(linha, G::Desconto, valorCampo(ctx, 909, n));
            grade.defineTexto(linha, G::PrecoVenda, valorCampo(ctx, 911, n));
            grade.defineTexto(linha, G::PagtoCliente, valorCampo(ctx, 912, n));
            grade.defineTexto(linha, G::Codigo, GetCampo(ctx, TagItem(902, n)));
            grade.defineTexto(linha, G::Status, GetCampo(ctx, TagItem(919, n)));
        }
        return true;
    });
}

bool Retorna_Status_Produtos(Context& ctx, GradeAutorizacao& grade, int primeiraLinha) {
    using G = GradeAutorizacao;
    return runTrapped(ctx, "Retorna_Status_Produtos", false, [&] {
        const int quantos = ProdutosNaResposta(ctx);
        for (int i = 1; i <= quantos + 1; ++i) {
            const int linha = primeiraLinha + i;
            if (linha > grade.linhas()) break;
            const int n = i - 1;
            const QString codigo = GetCampo(ctx, TagItem(902, n));
            if (codigo.isEmpty()) break;
            if (formataCodigo(grade.texto(linha, G::Codigo), 13) != formataCodigo(codigo, 13)) {
                MostraAtencao(ctx, QStringLiteral("A resposta da mensagem de pré-Autorização fora "
                                                  "da sequência enviada"));
                continue;
            }
            ItemVenda& item = ctx.itensVenda.item(linha);
            // The quantity as the host sends it ("002"); the receipt shows it so.
            item.quantidade = GetCampo(ctx, TagItem(905, n));
            item.valorBruto = valorCampo(ctx, 910, n);
            item.desconto = valorCampo(ctx, 909, n);
            item.valorLiquido = valorCampo(ctx, 911, n);
            item.valorReceber = valorCampo(ctx, 912, n);
            item.status = GetCampo(ctx, TagItem(919, n));
            grade.defineTexto(linha, G::Quantidade, item.quantidade);
            grade.defineTexto(linha, G::PMC, item.valorBruto);
            grade.defineTexto(linha, G::Desconto, item.desconto);
            grade.defineTexto(linha, G::PrecoVenda, item.valorLiquido);
            grade.defineTexto(linha, G::PagtoCliente, item.valorReceber);
            grade.defineTexto(linha, G::Status, item.status);
            // Every refused product of the page shows in red; an accepted one in the normal
            // colour, also when an earlier page had refused it.
            grade.marcaRecusada(linha, valorInteiro(item.status) >= 40);
        }
        return true;
    });
}

bool Mensagem_GeracaoPre(Context& ctx, GradeAutorizacao& grade, const QString& documento) {
    return runTrapped(ctx, "Mensagem_GeracaoPre", false, [&] {
        const bool venda = ModoVenda(ctx);
        const bool iso = ctx.config.bMsgIso;
        const QString tipoMensagem = QLatin1String(venda ? tipo::kVenda : tipo::kPedido);
        const QString codigo = venda ? QStringLiteral("800300") : QStringLiteral("800200");
        const QString fiscal = venda ? documento : QString();
        const int total =
            std::max<int>(0, std::min<int>(ctx.itensVenda.count, int(ctx.itensVenda.itens.size())));
        bool aceita = false;
        QString nsuResposta;
        for (int inicio = 1; inicio <= total; inicio += kProdutosPorPagina) {
            if (!MontaCamposComuns(ctx, tipoMensagem, codigo, ctx.transacao.NsuTransacao)) {
                return false;
            }
            const int restantes = total - inicio + 1;
            AdicionaCampo(ctx, QStringLiteral("002-000"), fiscal);
            AdicionaCampo(
                ctx, QStringLiteral("900-000"),
                restantes > kProdutosPorPagina ? QStringLiteral("1") : QStringLiteral("0"));
            AdicionaCampo(ctx, QStringLiteral("901-000"),
                          restantes <= kProdutosPorPagina ? formataZeros(restantes, 2)
                                                          : QStringLiteral("12"));
            const int fim = std::min(total, inicio + kProdutosPorPagina - 1);
            for (int i = inicio; i <= fim; ++i) {
                const ItemVenda& item = ctx.itensVenda.itens.at(i - 1);
                const int j = i - inicio;
                AdicionaCampo(ctx, TagItem(902, j), formataCodigo(item.codigo, 13));
                AdicionaCampo(ctx, TagItem(906, j), item.embalagem);
                AdicionaCampo(ctx, TagItem(905, j), formataZeros(valorInteiro(item.quantidade), 3));
                AdicionaCampo(ctx, TagItem(910, j), valorParaCentavos(item.valorBruto, 7));
                const QString consulta = item.valorLiquidoConsulta.trimmed();
                const bool usaConsulta = !consulta.isEmpty() && consulta != QLatin1String("0,00");
                AdicionaCampo(ctx, TagItem(911, j),
                              valorParaCentavos(usaConsulta ? consulta : item.valorLiquido, 7));
                if (venda && iso) {
                    AdicionaCampo(ctx, TagItem(912, j), valorParaCentavos(item.valorLiquido, 7));
                    AdicionaCampo(ctx, TagItem(909, j),
                                  item.desconto.trimmed().isEmpty()
                                      ? QStringLiteral("0000000")
                                      : valorParaCentavos(item.desconto, 7));
                }
                AdicionaCampo(ctx, TagItem(914, j),
                              valorOperadora(item.valorOperadora, iso, venda));
            }

            const qint32 resultado = ProcessaMsg(ctx);
            if (resultado < 0) {
                // This page's products keep their rows as they were; the next page follows.
                aceita = false;
                continue;
            }
            if (venda && iso) GetQtdLinha(ctx);
            Retorna_Status_Produtos(ctx, grade, inicio - 1);
            aceita = ValidaResposta(ctx, true);
            if (!aceita) return false;
            // Every page quotes the eligibility's reference; the host's own number for the
            // transaction is kept for after the last page.
            nsuResposta = GetCampo(ctx, QStringLiteral("012-000"));
        }
        if (aceita && !nsuResposta.isEmpty()) ctx.transacao.NsuTransacao = nsuResposta;
        // An approved sale with a receipt goes to the receipt screen, where it is confirmed
        // or undone: it is on disk before that screen shows.
        if (aceita && venda && GetQtdLinha(ctx) > 0) RegistraVendaAprovada(ctx, grade, documento);
        return aceita;
    });
}

}  // namespace ql
