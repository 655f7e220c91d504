#include "sale/pre_venda.h"

#include <Qt>

#include "host/transacoes.h"
#include "host/valores.h"
#include "sale/componente_ds.h"
#include "sale/identificacao_cartao.h"
#include "sale/preco.h"
#include "sale/transacoes_produtos.h"
#include "shell/captions.h"
#include "shell/context.h"
#include "shell/error_trap.h"
#include "shell/layouts.h"

namespace ql {

namespace {

void avisa(Context& ctx, const QString& texto) {
    ctx.caixas.inform(texto, kTituloAtencao, MessageBoxes::Icon::Critical);
}

// The continuation value of the last query as the 16-bit page number the next request sends.
qint16 paginaSeguinte(const Context& ctx) {
    const qint64 n = valorInteiro(ctx.continuacaoConsulta);
    if (n < 0 || n > 32767) throw overflowError();
    return static_cast<qint16>(n);
}

}  // namespace

QString TituloPreVenda(const Context& ctx) {
    return TextoComData(
        ctx, QString::fromUtf8(ModoVenda(ctx) ? kTituloAutorizacao : kTituloPreAutorizacao));
}

QString TituloConsultaProdutos(const Context& ctx) {
    return TextoComData(ctx, QString::fromUtf8(kTituloConsultaProdutos)) + QLatin1Char(' ') +
           ctx.relogio.now().time().toString(QStringLiteral("HH:mm:ss"));
}

TipoPesquisa ClassificaPesquisa(const QString& texto, bool identificaCartaoDS) {
    const QString t = texto.trimmed();
    if (t.isEmpty()) return TipoPesquisa::Vazia;
    if (!ehNumerico(t)) return TipoPesquisa::Consulta;
    if (t.size() > kMaxDigitosCodigo) return TipoPesquisa::CodigoLongo;
    if (t.size() < kMaxDigitosCodigo && identificaCartaoDS) return TipoPesquisa::CodigoCatalogo;
    return TipoPesquisa::Consulta;
}

Pesquisa PesquisaProduto(Context& ctx, const QString& texto, ResultadoConsulta& consulta,
                         GradeAutorizacao& grade) {
    return runTrapped(ctx, "cmdPesquisa_Click", Pesquisa{}, [&]() -> Pesquisa {
        QString busca = texto;
        switch (ClassificaPesquisa(texto, ctx.config.bIdentificaCartao_DS)) {
            case TipoPesquisa::Vazia:
                avisa(ctx, QStringLiteral("Por favor digite pelo menos uma letra!"));
                return {ResultadoPesquisa::Invalida, 0, texto};
            case TipoPesquisa::CodigoLongo:
                avisa(ctx,
                      QStringLiteral("O Código do produto não pode ser maior que 13 dígitos!"));
                return {ResultadoPesquisa::Invalida, 0, texto};
            case TipoPesquisa::CodigoCatalogo: {
                ProdutoCatalogo produto;
                const QString hoje = ctx.relogio.now().date().toString(QStringLiteral("ddMMyy"));
                if (!LePrecoEAN(ctx, hoje, CodigoLojaDS(ctx), texto.trimmed(), produto)) {
                    return {ResultadoPesquisa::FalhaCatalogo, 0, texto};
                }
                if (!produto.codigos.isEmpty() && !produto.codigos.first().trimmed().isEmpty()) {
                    busca = produto.codigos.first().trimmed();
                }
                break;
            }
            case TipoPesquisa::Consulta:
                break;
        }

        if (!Mensagem_Consulta_Produtos(ctx, busca, 0, consulta, &grade)) {
            avisa(ctx, QStringLiteral("Produto não encontrado!"));
            return {ResultadoPesquisa::NaoEncontrado, 0, busca};
        }
        // A short page with more to come: ask for the next ones until a page holds a full
        // screen of products. A host that keeps repeating the same continuation, or keeps
        // sending short pages, must not hold the cashier for ever.
        constexpr int kMaxPaginasSeguidas = 100;
        for (int vez = 0; vez < kMaxPaginasSeguidas && ctx.itensVenda.count < kProdutosPorPagina &&
                          ConsultaTemContinuacao(ctx);
             ++vez) {
            const QString anterior = ctx.continuacaoConsulta;
            if (!Mensagem_Consulta_Produtos(ctx, busca, paginaSeguinte(ctx), consulta, &grade)) {
                break;
            }
            if (consulta.nenhumProdutoEncontrado) break;
            if (ctx.continuacaoConsulta == anterior) break;
        }

        if (ctx.itensVenda.count <= 1 && consulta.linhas() == 1 && !ConsultaTemContinuacao(ctx)) {
            return {ResultadoPesquisa::Adicionado, AdicionaProdutoPesquisado(grade, consulta, 1),
                    busca};
        }
        return {ResultadoPesquisa::Escolher, 0, busca};
    });
}

VerificacaoConfirmacao VerificaConfirmacao(int linhas, bool modoVenda, const QString& documento,
                                           const InputFieldSlot& regraDocumento) {
    if (linhas <= 0) {
        return {QStringLiteral("Não existem produtos."), FocoConfirmacao::Grade};
    }
    if (!modoVenda) return {};
    const QString doc = documento.trimmed();
    if (doc.isEmpty()) {
        return {QStringLiteral("Digite o Número do Documento Fiscal Vinculado."),
                FocoConfirmacao::DocumentoFiscal};
    }
    if (doc.size() < regraDocumento.minLength) {
        return {QStringLiteral("O Número do Documento Fiscal deve ser maior que ") +
                    QString::number(regraDocumento.minLength) + QStringLiteral("dígitos."),
                FocoConfirmacao::DocumentoFiscal};
    }
    if (regraDocumento.numbersOnly() && !ehNumerico(doc)) {
        return {QStringLiteral("Este campo só aceita números."), FocoConfirmacao::DocumentoFiscal};
    }
    return {};
}

TextosTotais CalculaTotais(const GradeAutorizacao& grade) {
    const GradeAutorizacao::Totais t = grade.totais();
    return {formataValor(t.venda), formataValor(t.cliente), formataValor(t.beneficio())};
}

QString MensagemAprovacao(const Context& ctx) {
    const QString nsu = ctx.transacao.NsuTransacao.trimmed();
    if (nsu.isEmpty() || lerDecimal(nsu).value_or(1) == 0) return {};
    if (ctx.config.Msg_Approval.trimmed().isEmpty()) return {};
    return ctx.config.Msg_Approval + QLatin1Char(' ') + ctx.transacao.NsuTransacao;
}

bool ObtemProduto(Context& ctx, const TabelaTexto& grade, int linha, OrigemProduto origem) {
    return runTrapped(ctx, "ObtemProduto", false, [&] {
        ctx.itensVenda.clear();
        ItemVenda& item = ctx.itensVenda.item(1);
        if (linha < 1 || linha > grade.linhas()) return false;
        using G = GradeAutorizacao;
        using R = ResultadoConsulta;
        const bool consulta = origem == OrigemProduto::Consulta;
        auto celula = [&](int colunaGrade, int colunaConsulta) {
            return grade.texto(linha, consulta ? colunaConsulta : colunaGrade);
        };
        item.descricao = celula(G::Descricao, R::Descricao);
        item.fabricante = celula(G::Fabricante, R::Fabricante);
        item.embalagem = celula(G::Embalagem, R::Embalagem);
        item.quantidade = consulta ? QStringLiteral("1") : grade.texto(linha, G::Quantidade);
        item.valorBruto = celula(G::PMC, R::PrecoBruto);
        item.desconto = celula(G::Desconto, R::Desconto);
        item.valorLiquido = celula(G::PrecoVenda, R::PrecoLiquido);
        item.valorReceber = celula(G::PagtoCliente, R::ValorReceber);
        item.codigo = celula(G::Codigo, R::Codigo);
        // The query grid has no operadora column: its ninth column takes that place.
        item.valorOperadora = celula(G::ValorOperadora, R::Status);
        item.valorLiquidoConsulta = celula(G::ValorLiquidoDll, R::ValorLiquidoDll);
        item.status.clear();
        return true;
    });
}

bool PedeProximaPagina(int linhaAtiva, int linhas, int teclaQt) {
    return linhas > 0 && linhaAtiva == linhas &&
           (teclaQt == Qt::Key_Down || teclaQt == Qt::Key_PageDown);
}

bool ConsultaTemContinuacao(const Context& ctx) {
    return valorInteiro(ctx.continuacaoConsulta) != 0;
}

}  // namespace ql
