#include "till/till_products.h"

#include "host/valores.h"
#include "sale/grade_autorizacao.h"
#include "sale/pre_venda.h"
#include "sale/selecao_produto.h"
#include "sale/transacoes_produtos.h"
#include "shell/context.h"

namespace ql {

namespace {

// The query row holding exactly this code; 0 when none does.
int rowOf(const ResultadoConsulta& consulta, const QString& ean) {
    const QString alvo = formataCodigo(ean, 13);
    for (int linha = 1; linha <= consulta.linhas(); ++linha)
        if (formataCodigo(consulta.texto(linha, ResultadoConsulta::Codigo), 13) == alvo)
            return linha;
    return 0;
}

bool enterOne(Context& ctx, const TillProduct& p, GradeAutorizacao& grade,
              ResultadoConsulta& consulta) {
    if (!Mensagem_Consulta_Produtos(ctx, p.ean, 0, consulta, &grade)) return false;
    const int linha = rowOf(consulta, p.ean);
    if (linha == 0 || !ObtemProduto(ctx, consulta, linha, OrigemProduto::Consulta)) return false;
    ctx.SelecaoViaConsulta = false;
    SelecaoProduto selecao(ctx);
    const ApresentacaoSelecao a = selecao.PreencheCampos();
    TextosSelecao textos = a.textos;
    textos.quantidade = QString::number(p.quantidade);
    if (p.precoCentavos > 0 && a.precoBrutoEditavel) {
        textos.precoBruto = formataValor(double(p.precoCentavos) / 100);
        if (const auto liquido = CalculaPrecoLiquido(textos.precoBruto, textos.desconto)) {
            textos.precoLiquido = *liquido;
            if (const auto receber = selecao.CalculaValorReceberLoja(*liquido))
                textos.valorReceber = *receber;
        }
    }
    return selecao.cmdOk_Click(textos, grade) == SelecaoProduto::ResultadoOk::Gravado;
}

}  // namespace

std::vector<QString> EnterTillProducts(Context& ctx, const std::vector<TillProduct>& produtos,
                                       GradeAutorizacao& grade, ResultadoConsulta& consulta) {
    std::vector<QString> fora;
    for (const TillProduct& p : produtos)
        if (!enterOne(ctx, p, grade, consulta)) fora.push_back(p.ean);
    return fora;
}

}  // namespace ql
