#include "sale/recibo.h"

#include <algorithm>

#include "host/transacoes.h"
#include "host/valores.h"
#include "shell/context.h"

namespace ql {

namespace {

// The host announces its line count in two digits.
constexpr int kMaxLinhaHost = 99;
// A status from this value on is a refusal of the item.
constexpr qint64 kStatusRecusado = 40;

QString aEsquerda(const QString& valor, int largura) {
    return valor.trimmed().leftJustified(largura, QLatin1Char(' '), true);
}

// Right-aligned with blanks on the left; a text longer than the column is kept whole.
QString aDireita(const QString& valor, int largura) {
    return valor.trimmed().rightJustified(largura, QLatin1Char(' '), false);
}

}  // namespace

QString CabecalhoProdutosRecibo(const ItensVenda& itens) {
    QString linha = QStringLiteral("Código        ");
    const int quantos = std::min<int>(itens.count, int(itens.itens.size()));
    if (quantos > 0) {
        linha += itens.itens.at(0).descricao.trimmed().isEmpty()
                     ? QString(19, QLatin1Char(' '))
                     : QStringLiteral("Descrição            ");
    }
    return linha + QStringLiteral("Emb");
}

QStringList LinhasProdutoRecibo(const ItemVenda& item) {
    const QString embalagem = item.embalagem.trimmed();
    const QString primeira = aEsquerda(item.codigo, 14) + aEsquerda(item.descricao, 22) +
                             (embalagem.size() >= 2 ? embalagem : embalagem.leftJustified(2));
    const QString segunda = aDireita(item.quantidade, 3) + aDireita(item.valorBruto, 9) +
                            aDireita(item.desconto, 8) + aDireita(item.valorLiquido, 9) +
                            aDireita(item.valorReceber, 9);
    return {primeira, segunda};
}

QStringList LinhasProdutosRecibo(const ItensVenda& itens) {
    QStringList linhas{CabecalhoProdutosRecibo(itens), QLatin1String(kCabecalhoValoresRecibo)};
    const int quantos = std::min<int>(itens.count, int(itens.itens.size()));
    for (int i = 0; i < quantos; ++i) {
        const ItemVenda& item = itens.itens.at(i);
        linhas << QString();
        if (valorInteiro(item.status) < kStatusRecusado) linhas << LinhasProdutoRecibo(item);
    }
    linhas << QLatin1String(kReguaRecibo);
    return linhas;
}

QStringList LinhasHostRecibo(Context& ctx) {
    QStringList linhas;
    const int n = std::min<int>(GetQtdLinha(ctx), kMaxLinhaHost);
    for (int i = 0; i <= n; ++i) linhas << GetLinhaImpressao(ctx, i);
    return linhas;
}

QStringList PreencheImpressao(Context& ctx) {
    QStringList linhas;
    const bool listaProdutos = ctx.telas.FormImpressao[ctx.TipoEstab].lstImpressaoProdutos == u'Y';
    if (listaProdutos && ctx.TelaAtual.trimmed() == QLatin1String("VENDA")) {
        linhas << LinhasProdutosRecibo(ctx.itensVenda);
    }
    linhas << LinhasHostRecibo(ctx);
    return linhas;
}

}  // namespace ql
