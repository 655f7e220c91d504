#include "sale/selecao_produto.h"

#include <algorithm>
#include <cmath>

#include "host/valores.h"
#include "sale/componente_ds.h"
#include "sale/grade_autorizacao.h"
#include "sale/identificacao_cartao.h"
#include "sale/preco.h"
#include "shell/context.h"
#include "shell/error_trap.h"

namespace ql {

namespace {

qint64 centavos(double valor) {
    return std::llround(valor * 100.0);
}

// An amount box as the product values keep it: "0.00" (a text that is not a number gives
// 0,00, which validation has already ruled out).
QString formataCampo(const QString& texto) {
    return formataValor(lerDecimal(texto).value_or(0.0));
}

// The letter of a per-type setting ("NYY") at the establishment type's position.
bool letraDoTipo(const QString& porTipo, int tipo) {
    return tipo >= 1 && tipo <= porTipo.size() && porTipo.at(tipo - 1) == u'Y';
}

}  // namespace

std::optional<FalhaValidacao> VerificaCamposSelecao(const TextosSelecao& textos,
                                                    const CampoAdicional* complemento) {
    using C = CampoSelecao;
    if (valorInteiro(textos.quantidade) < 1)
        return FalhaValidacao{QStringLiteral("Digite a quantidade."), C::Quantidade};

    const auto desconto = lerDecimal(textos.desconto);
    if (!desconto)
        return FalhaValidacao{QStringLiteral("O desconto deve conter apenas números."),
                              C::Desconto};
    if (centavos(*desconto) >= 100 * 100)
        return FalhaValidacao{QStringLiteral("O desconto não pode ser maior que 99,99"),
                              C::Desconto};

    if (!ehNumerico(textos.precoBruto))
        return FalhaValidacao{QStringLiteral("O Preço bruto deve conter apenas números."),
                              C::PrecoBruto};

    if (centavos(lerDecimal(textos.precoLiquido).value_or(0.0)) == 0)
        return FalhaValidacao{QStringLiteral("O Preço líquido deve ser maior que 0,00."),
                              C::PrecoBruto};

    if (complemento) {
        const QString rotulo = complemento->rotulo.trimmed();
        const QString texto = textos.complemento.trimmed();
        if (complemento->tipo.trimmed() == QLatin1String("N") && !ehNumerico(texto)) {
            return FalhaValidacao{
                QStringLiteral("O campo ") + rotulo + QStringLiteral(" só aceita números."),
                C::Complemento};
        }
        if (texto.size() < complemento->minimo) {
            return FalhaValidacao{
                QStringLiteral("O campo ") + rotulo + QStringLiteral(" deve conter pelo menos ") +
                    QString::number(complemento->minimo) + QStringLiteral(" dígito(s)."),
                C::Complemento};
        }
    }
    return std::nullopt;
}

std::optional<QString> CalculaPrecoLiquido(const QString& bruto, const QString& desconto) {
    const auto b = lerDecimal(bruto);
    const auto d = lerDecimal(desconto);
    if (!b || !d) return std::nullopt;
    return formataValor(*b - *b * *d / 100.0);
}

std::optional<QString> ValorReceberProporcional(const QString& novoLiquido,
                                                const QString& valorReceberCarregado,
                                                const QString& liquidoCarregado) {
    const auto novo = lerDecimal(novoLiquido);
    const double carregado = lerDecimal(liquidoCarregado).value_or(0.0);
    if (!novo || carregado == 0.0) return std::nullopt;
    // The new net price counts as shown, with two decimals.
    const double liquido = centavos(*novo) / 100.0;
    return formataValor(liquido * lerDecimal(valorReceberCarregado).value_or(0.0) / carregado);
}

bool DescontoMenorQueOriginal(const QString& desconto, const QString& descontoCarregado) {
    const auto d = lerDecimal(desconto);
    const auto original = lerDecimal(descontoCarregado);
    return d && original && *d < *original;
}

SelecaoProduto::SelecaoProduto(Context& ctx) : ctx_(ctx) {}

ApresentacaoSelecao SelecaoProduto::PreencheCampos() {
    return runTrapped(ctx_, "PreencheCampos", ApresentacaoSelecao{}, [&] {
        ApresentacaoSelecao a;
        const auto& layout = ctx_.telas.FormSelecaoProduto[ctx_.TipoEstab];
        a.lblDescr_Produto = layout.lblDescr_Produto.caption.trimmed();
        a.lblFabricante = layout.lblFabricante.caption.trimmed();
        a.lblQtd_Canc = layout.lblQtd_Canc.caption.trimmed();
        a.maxQuantidade = std::max<int>(0, layout.lblQtd_Canc.secondNumber());
        a.lblValDescPrd = layout.lblValDescPrd.caption.trimmed();
        a.lblEmbalagem = layout.lblEmbalagem.caption.trimmed();
        a.lblValBrtPrd = layout.lblValBrtPrd.caption.trimmed();
        a.lblValLiqPrd = layout.lblValLiqPrd.caption.trimmed();
        a.lblValCredPrd = layout.lblValCredPrd.caption.trimmed();
        a.cmdOkHabilitado = layout.cmdOk_Caption.enabled;
        a.cmdCancelHabilitado = layout.cmdCancel_Caption.enabled;
        a.cmdOkCaption = layout.cmdOk_Caption.caption.trimmed();
        a.cmdCancelCaption = layout.cmdCancel_Caption.caption.trimmed();

        ItemVenda& item = ctx_.itensVenda.item(1);
        const qint64 quantidade = valorInteiro(item.quantidade);
        if (quantidade > 0) a.textos.quantidade = QString::number(quantidade);

        // The price lookup rewrites the product's values in place; its status output is the
        // lookup's own and does not touch the item's status.
        QString status;
        QString precoUnitario;
        const QString loja = ctx_.config.bIdentificaCartao_DS ? CodigoLojaDS(ctx_) : QString();
        ProcessaPreco(ctx_, item.codigo, item.embalagem.trimmed(), item.descricao, item.valorBruto,
                      item.valorLiquido, item.valorReceber, status, item.desconto, precoUnitario,
                      loja);
        descontoCarregado_ = item.desconto;
        liquidoCarregado_ = item.valorLiquido;
        receberCarregado_ = item.valorReceber;

        a.produto = precoUnitario.isEmpty() ? item.codigo
                                            : item.codigo + QStringLiteral(" - ") + item.descricao;
        a.fabricante = item.fabricante;
        a.fabricanteVisivel = !item.fabricante.trimmed().isEmpty();
        a.embalagem = item.embalagem;
        a.textos.desconto = item.desconto;
        a.textos.precoBruto = item.valorBruto;
        a.textos.precoLiquido = item.valorLiquido;
        a.textos.valorReceber = item.valorReceber;
        // The complementary box starts empty, also for a row being edited: OK writes what the
        // cashier types into it.

        complemento_ = {};
        if (ctx_.operadoras.contem(ctx_.ident.OperadoraSelecionada))
            complemento_ = ctx_.operadoras.at(ctx_.ident.OperadoraSelecionada).complemento;
        complementoVisivel_ = complemento_.necessario() && !ctx_.PreAutorizacaoRecuperada;
        a.complementoVisivel = complementoVisivel_;
        if (complementoVisivel_) {
            a.lblCompl1 = complemento_.rotulo.trimmed();
            a.maxComplemento = std::max<int>(0, complemento_.maximo);
            a.alturaTwips = kAlturaComComplemento;
            a.topoBotoesTwips = kTopoBotoesComComplemento;
        } else {
            a.alturaTwips = kAlturaSemComplemento;
            a.topoBotoesTwips = kTopoBotoesSemComplemento;
        }

        if (!ctx_.PreAutorizacaoRecuperada) {
            a.precoBrutoEditavel = letraDoTipo(ctx_.config.AlertaValBr_Id, ctx_.TipoEstab);
            a.descontoEditavel = letraDoTipo(ctx_.config.AlertaDesc_Id, ctx_.TipoEstab);
        }
        return a;
    });
}

bool SelecaoProduto::AceitaDesconto(QString& desconto) {
    if (!DescontoMenorQueOriginal(desconto, descontoCarregado_)) return true;
    ctx_.caixas.inform(QStringLiteral("Não é permitido desconto menor que o desconto original!"),
                       kTituloAtencao, MessageBoxes::Icon::Information);
    desconto = descontoCarregado_;
    return false;
}

std::optional<QString> SelecaoProduto::CalculaValorReceberLoja(const QString& novoLiquido) const {
    return ValorReceberProporcional(novoLiquido, receberCarregado_, liquidoCarregado_);
}

bool SelecaoProduto::ValidaCampos(const TextosSelecao& textos, CampoSelecao* foco) {
    const auto falha = VerificaCamposSelecao(textos, complemento());
    if (foco) *foco = falha ? falha->campo : CampoSelecao::Nenhum;
    if (!falha) return true;
    ctx_.caixas.inform(falha->mensagem, kTituloAtencao, MessageBoxes::Icon::Critical);
    return false;
}

int SelecaoProduto::ValidaProduto_Grid_Pre(const GradeAutorizacao& grade,
                                           const QString& quantidade) {
    return runTrapped(ctx_, "ValidaProduto_Grid_Pre", 0, [&] {
        const ItemVenda& item = ctx_.itensVenda.item(1);
        const int linha = grade.procuraProduto(item.codigo, item.embalagem);
        if (linha == 0) return grade.linhas() + 1;
        if (ctx_.SelecaoViaConsulta) {
            const bool altera = ctx_.caixas.ask(
                QStringLiteral("Este produto já foi selecionado deseja alterar?"), kTituloAtencao,
                MessageBoxes::Icon::None, MessageBoxes::Answer::Yes);
            return altera ? linha : 0;
        }
        if (ctx_.PreAutorizacaoRecuperada &&
            valorInteiro(quantidade) >
                valorInteiro(grade.texto(linha, GradeAutorizacao::Quantidade))) {
            ctx_.caixas.inform(QStringLiteral("A quantidade digitada não pode ser maior que a "
                                              "quantidade da pré-autorização!"),
                               kTituloAtencao, MessageBoxes::Icon::Information);
            return 0;
        }
        return linha;
    });
}

bool SelecaoProduto::PrencherGridPre(GradeAutorizacao& grade, int linha) {
    return runTrapped(ctx_, "PrencherGridPre", false, [&] {
        if (linha <= 0) return false;
        while (grade.linhas() < linha) grade.adicionaLinha();
        using G = GradeAutorizacao;
        const ItemVenda& item = ctx_.itensVenda.item(1);
        grade.defineTexto(linha, G::Descricao, item.descricao);
        grade.defineTexto(linha, G::Fabricante, item.fabricante);
        grade.defineTexto(linha, G::Embalagem, item.embalagem);
        grade.defineTexto(linha, G::Quantidade, item.quantidade);
        grade.defineTexto(linha, G::PMC, item.valorBruto);
        grade.defineTexto(linha, G::Desconto, item.desconto);
        grade.defineTexto(linha, G::PrecoVenda, item.valorLiquido);
        grade.defineTexto(linha, G::PagtoCliente, item.valorReceber);
        grade.defineTexto(linha, G::Codigo, item.codigo);
        grade.defineTexto(linha, G::ValorOperadora, item.valorOperadora);
        return true;
    });
}

SelecaoProduto::ResultadoOk SelecaoProduto::cmdOk_Click(const TextosSelecao& textos,
                                                        GradeAutorizacao& grade,
                                                        CampoSelecao* foco) {
    if (!ValidaCampos(textos, foco)) return ResultadoOk::Recusado;
    return runTrapped(ctx_, "cmdOk_Click", ResultadoOk::NaoGravado, [&] {
        ItemVenda& item = ctx_.itensVenda.item(1);
        item.valorBruto = formataCampo(textos.precoBruto);
        item.valorLiquido = formataCampo(textos.precoLiquido);
        item.valorReceber = formataCampo(textos.valorReceber);
        item.desconto = formataCampo(textos.desconto);
        item.quantidade = textos.quantidade.trimmed();
        item.valorOperadora = textos.complemento;
        const int linha = ValidaProduto_Grid_Pre(grade, item.quantidade);
        return PrencherGridPre(grade, linha) ? ResultadoOk::Gravado : ResultadoOk::NaoGravado;
    });
}

}  // namespace ql
