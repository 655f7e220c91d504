#include "sale/grade_autorizacao.h"

#include "host/valores.h"
#include "shell/context.h"
#include "shell/error_routine.h"

namespace ql {

GradeAutorizacao::GradeAutorizacao(QObject* parent)
    : TabelaTexto({QStringLiteral("Descrição"), QStringLiteral("Fabricante"), QStringLiteral("Emb"),
                   QStringLiteral("Qtde."), QStringLiteral("PMC"), QStringLiteral("% Desc."),
                   QStringLiteral("Preço Venda"), QStringLiteral("Pagto Cliente"),
                   QStringLiteral("EAN - Produto"), QStringLiteral("St"), QString(),
                   QStringLiteral("Valor Liquido dll")},
                  parent) {
    configura(QString(), QString(), false);
}

void GradeAutorizacao::configura(const QString& flagColunaExtra, const QString& cabecalhoExtra,
                                 bool modoVenda) {
    const bool extra = !flagColunaExtra.trimmed().isEmpty();
    defineColunas(extra ? 12 : 11);
    defineCabecalho(ValorOperadora, extra ? cabecalhoExtra.trimmed() : QString());
    ocultaColuna(ValorOperadora, !extra || modoVenda);
    ocultaColuna(ValorLiquidoDll, true);
}

int GradeAutorizacao::procuraProduto(const QString& codigo, const QString& embalagem) const {
    const QString c = codigo.trimmed();
    const QString e = embalagem.trimmed();
    for (int linha = 1; linha <= linhas(); ++linha) {
        if (texto(linha, Codigo).trimmed() == c && texto(linha, Embalagem).trimmed() == e) {
            return linha;
        }
    }
    return 0;
}

GradeAutorizacao::Totais GradeAutorizacao::totais() const {
    Totais t;
    for (int linha = 1; linha <= linhas(); ++linha) {
        const double q = static_cast<double>(valorInteiro(texto(linha, Quantidade)));
        t.bruto += lerDecimal(texto(linha, PMC)).value_or(0) * q;
        t.venda += lerDecimal(texto(linha, PrecoVenda)).value_or(0) * q;
        t.cliente += lerDecimal(texto(linha, PagtoCliente)).value_or(0) * q;
    }
    return t;
}

bool GradeAutorizacao::colunaNumerica(int coluna) const {
    return coluna >= Quantidade && coluna <= PagtoCliente;
}

ResultadoConsulta::ResultadoConsulta(QObject* parent)
    : TabelaTexto({QStringLiteral("Descrição"), QStringLiteral("Fabricante"), QStringLiteral("Emb"),
                   QStringLiteral("Prc.Bruto"), QStringLiteral("% Desc."),
                   QStringLiteral("Prc. Líquido"), QStringLiteral("Valor Receber LJ"),
                   QStringLiteral("EAN - Produto"), QStringLiteral("St"), QString()},
                  parent) {
    ocultaColuna(ValorLiquidoDll, true);
}

bool ResultadoConsulta::colunaNumerica(int coluna) const {
    return coluna >= PrecoBruto && coluna <= ValorReceber;
}

bool ValidaProduto_Grid_Pre(const GradeAutorizacao& grade, const QString& codigo,
                            const QString& embalagem, int* linha) {
    const int achada = grade.procuraProduto(codigo, embalagem);
    if (linha) *linha = achada;
    return achada == 0;
}

int AdicionaProdutoPesquisado(GradeAutorizacao& grade, const ResultadoConsulta& consulta,
                              int linhaConsulta) {
    using G = GradeAutorizacao;
    using R = ResultadoConsulta;
    int linha = 0;
    if (!ValidaProduto_Grid_Pre(grade, consulta.texto(linhaConsulta, R::Codigo),
                                consulta.texto(linhaConsulta, R::Embalagem), &linha)) {
        grade.defineTexto(linha, G::Quantidade,
                          QString::number(valorInteiro(grade.texto(linha, G::Quantidade)) + 1));
        return linha;
    }
    linha = grade.adicionaLinha();
    const struct {
        int destino;
        int origem;
    } copias[] = {{G::Descricao, R::Descricao},
                  {G::Fabricante, R::Fabricante},
                  {G::Embalagem, R::Embalagem},
                  {G::PMC, R::PrecoBruto},
                  {G::Desconto, R::Desconto},
                  {G::PrecoVenda, R::PrecoLiquido},
                  {G::PagtoCliente, R::ValorReceber},
                  {G::Codigo, R::Codigo},
                  {G::Status, R::Status},
                  {G::ValorLiquidoDll, R::ValorLiquidoDll}};
    for (const auto& c : copias)
        grade.defineTexto(linha, c.destino, consulta.texto(linhaConsulta, c.origem));
    grade.defineTexto(linha, G::Quantidade, QStringLiteral("1"));
    return linha;
}

bool CarregaItemVenda_Grid(Context& ctx, const GradeAutorizacao& grade) {
    using G = GradeAutorizacao;
    ctx.itensVenda.clear();
    if (grade.linhas() == 0) {
        MostraErro(ctx, QStringLiteral("CarregaItemVenda_Grid"),
                   QStringLiteral("Não existem itens para cancelar."));
        return true;
    }
    for (int linha = 1; linha <= grade.linhas(); ++linha) {
        ItemVenda& item = ctx.itensVenda.item(linha);
        ctx.itensVenda.count = static_cast<qint16>(linha);
        item.descricao = grade.texto(linha, G::Descricao);
        item.embalagem = grade.texto(linha, G::Embalagem);
        item.quantidade = grade.texto(linha, G::Quantidade);
        item.valorBruto = grade.texto(linha, G::PMC);
        item.desconto = grade.texto(linha, G::Desconto);
        item.valorLiquido = grade.texto(linha, G::PrecoVenda);
        item.valorReceber = grade.texto(linha, G::PagtoCliente);
        item.codigo = grade.texto(linha, G::Codigo);
        item.status = grade.texto(linha, G::Status);
        item.valorOperadora = grade.texto(linha, G::ValorOperadora);
        item.valorLiquidoConsulta = grade.texto(linha, G::ValorLiquidoDll);
    }
    return true;
}

bool CancelaItem_Grid(Context& ctx, const QAbstractItemModel& grade,
                      const QList<int>& linhasSelecionadas) {
    ctx.itensVenda.clear();
    if (grade.rowCount() == 0) {
        MostraErro(ctx, QStringLiteral("CancelaItem_Grid"),
                   QStringLiteral("Não existem itens para cancelar."));
        return true;
    }
    auto celula = [&](int linha, int coluna) {
        return grade.data(grade.index(linha, coluna - 1), Qt::DisplayRole).toString();
    };
    for (int linha = 0; linha < grade.rowCount(); ++linha) {
        if (!linhasSelecionadas.contains(linha)) continue;
        const int n = ctx.itensVenda.count + 1;
        ItemVenda& item = ctx.itensVenda.item(n);
        ctx.itensVenda.count = static_cast<qint16>(n);
        item.codigo = QString::number(valorInteiro(celula(linha, 5)));
        item.descricao = celula(linha, 8);
        item.embalagem = celula(linha, 9);
        item.quantidade = QString::number(valorInteiro(celula(linha, 10)));
        item.valorBruto = celula(linha, 12);
        item.valorLiquido = celula(linha, 13);
    }
    return true;
}

}  // namespace ql
