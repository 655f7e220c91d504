#include "sale/preco.h"

#include <cmath>
#include <memory>

#include "host/catalogo.h"
#include "host/host_link.h"
#include "host/valores.h"
#include "shell/context.h"
#include "shell/error_routine.h"

namespace ql {

namespace {

const QString kTituloCatalogo = QStringLiteral("ATENÇÃO !!");

void avisaCatalogo(Context& ctx, const QString& texto) {
    ctx.caixas.inform(texto, kTituloCatalogo, MessageBoxes::Icon::Exclamation);
}

// A run-time fault inside a catalogue reader: its number and description.
struct FalhaLeitura {
    int numero;
    QString descricao;
};

// The second price counts when it is a number that, rounded to a whole number (halves to
// even), is above 0: so 0,50 or less does not.
bool segundoPrecoValido(const QString& texto) {
    const auto v = lerDecimal(texto);
    return v && std::nearbyint(*v) > 0;
}

// Catalogue amounts are decimal text: one with a comma is converted to cents.
qint64 centavosDoCatalogo(const QString& texto) {
    const QString t = texto.trimmed();
    if (t.contains(QLatin1Char(','))) return std::llround(lerDecimal(t).value_or(0) * 100.0);
    return valorInteiro(t);
}

qint64 centavos(const QString& valor) {
    return std::llround(lerDecimal(valor).value_or(0) * 100.0);
}

QString formataDesconto(double percentual) {
    const QString texto = formataValor(percentual);
    return texto.startsWith(QLatin1Char('-')) || texto.indexOf(QLatin1Char(',')) >= 2
               ? texto
               : QLatin1Char('0') + texto;
}

// The common body of the two readers. ler fills the first record; extrai copies the outputs.
template <typename Ler, typename Extrai>
bool leCatalogo(Context& ctx, const QString& textoErro, ProdutoCatalogo& produto, Ler&& ler,
                Extrai&& extrai) {
    produto = {};
    EsperaEmPrimeiroPlano espera(ctx);
    std::unique_ptr<CatalogoProdutos> viaHost;
    CatalogoProdutos* catalogo = ctx.catalogo.get();
    if (!catalogo) {
        viaHost = std::make_unique<CatalogoViaHostLink>(ctx);
        catalogo = viaHost.get();
    }
    try {
        if (catalogo->CEPLogon(QLatin1String(kLogonCatalogo)) != 0) {
            avisaCatalogo(ctx, QStringLiteral("Erro durante o Logon ao Pardo. A aplicação não "
                                              "pode retornar o preço."));
        } else if (!ler(*catalogo)) {
            avisaCatalogo(ctx, QStringLiteral("Erro durante a leitura do preço do produto ou "
                                              "produto não encontrado."));
        } else {
            catalogo->CEPLogoff();
            extrai();
            return true;
        }
    } catch (const FalhaLeitura& f) {
        avisaCatalogo(ctx, textoErro + QStringLiteral("\nErro: ") + QString::number(f.numero) +
                               QStringLiteral(" - ") + f.descricao);
    }
    catalogo->CEPLogoff();
    produto = {};
    return false;
}

void extraiComuns(const QByteArray& r, registro::Campo desc, registro::Campo p1, registro::Campo p2,
                  registro::Campo cod, registro::Campo bytes, ProdutoCatalogo& produto) {
    if (r.size() < bytes.offset + bytes.tamanho || r.size() < cod.offset + cod.tamanho) {
        throw FalhaLeitura{9, QStringLiteral("Subscrito fora do intervalo")};
    }
    produto.descricao = registro::le(r, desc);
    const QString primeiro = registro::le(r, p1);
    const QString segundo = registro::le(r, p2);
    produto.preco = segundoPrecoValido(segundo) ? segundo : primeiro;
    produto.precoLista = primeiro;
    for (int i = 0; i < 3; ++i) produto.bytes[i] = static_cast<quint8>(r.at(bytes.offset + i));
    produto.codigo = registro::le(r, cod);
}

}  // namespace

bool LePrecoProduto(Context& ctx, const QString& loja, const QString& codigo,
                    ProdutoCatalogo& produto) {
    QByteArray r1 = registro::vazio(registro::kTamanhoCatalogo);
    QByteArray r2 = r1;
    return leCatalogo(
        ctx, QStringLiteral("Ocorreu um erro durante a leitura do preço do produto."), produto,
        [&](CatalogoProdutos& c) {
            return c.CEPLeProdCategCompl(loja, codigo, 1, 0, 0, 0, r1, r2) == 0;
        },
        [&] {
            extraiComuns(r1, registro::kCatDescricao, registro::kCatPreco, registro::kCatPreco2,
                         registro::kCatCodigo, registro::kCatBytes, produto);
        });
}

bool LePrecoEAN(Context& ctx, const QString& data, const QString& loja, const QString& ean,
                ProdutoCatalogo& produto) {
    QByteArray r1 = registro::vazio(registro::kTamanhoEan);
    QByteArray r2 = r1;
    bool lido = false;
    const bool ok = leCatalogo(
        ctx, QStringLiteral("Ocorreu um erro durante a leitura do produto."), produto,
        [&](CatalogoProdutos& c) {
            lido = c.CEPLeProdEAN(data, loja, ean, 0, r1, r2) == 0;
            if (!lido) return false;
            // The code list is checked before the product is taken, so that a record that
            // cannot be read fails as a whole.
            const qint64 quantos = valorInteiro(registro::le(r1, registro::kEanQtdCodigos));
            if (quantos < 0 || quantos > registro::kMaxCodigosEan ||
                r1.size() < registro::kEanCodigos + quantos * registro::kTamanhoCodigoEan) {
                throw FalhaLeitura{9, QStringLiteral("Subscrito fora do intervalo")};
            }
            return true;
        },
        [&] {
            extraiComuns(r1, registro::kEanDescricao, registro::kEanPreco, registro::kEanPreco2,
                         registro::kEanCodigo, registro::kEanBytes, produto);
            const qint64 quantos = valorInteiro(registro::le(r1, registro::kEanQtdCodigos));
            for (int i = 0; i < quantos; ++i) {
                produto.codigos << registro::le(
                    r1, {registro::kEanCodigos + i * registro::kTamanhoCodigoEan,
                         registro::kTamanhoCodigoEan});
            }
        });
    return ok;
}

bool ProcessaPreco(Context& ctx, const QString& codigo, const QString& segundaChave,
                   QString& descricao, QString& precoLista, QString& precoVenda,
                   QString& valorDependente, QString& status, QString& desconto,
                   QString& precoUnitario, const QString& codigoLoja) {
    const QString procedimento = QStringLiteral("ProcessaPreco");
    QString descricao40 = descricao.left(40).leftJustified(40, QLatin1Char(' '));
    qint64 valorLista = centavos(precoLista);
    qint64 valorVenda = centavos(precoVenda);
    status = QStringLiteral("0000");

    if (!ctx.config.bIdentificaCartao_DS) {
        if (!ctx.hostLink) {
            MostraErro(ctx, procedimento,
                       QStringLiteral("158 - Impossivel acessar Módulo QL32_Cli.dll"));
            return false;
        }
        QString c1 = codigo, c2 = segundaChave;
        QString lista = QString::number(valorLista).leftJustified(12, QLatin1Char(' '));
        QString venda = QString::number(valorVenda).leftJustified(12, QLatin1Char(' '));
        EsperaEmPrimeiroPlano espera(ctx);
        if (ctx.hostLink->GetPreco(c1, c2, descricao40, lista, venda, status) != 0) return false;
        valorLista = valorInteiro(lista);
        valorVenda = valorInteiro(venda);
    } else {
        ProdutoCatalogo produto;
        const QString loja = codigoLoja.trimmed().isEmpty() ? QStringLiteral("0000") : codigoLoja;
        if (!LePrecoProduto(ctx, loja, codigo, produto)) return false;
        descricao40 = produto.descricao;
        valorVenda = centavosDoCatalogo(produto.preco);
        valorLista = centavosDoCatalogo(produto.precoLista);
    }

    precoUnitario = formataValor(valorVenda / 100.0);
    if (centavos(precoLista) == valorLista && centavos(precoVenda) == valorVenda) return true;

    if (valorLista == 0) {
        MostraErro(ctx, procedimento, TextoErro(11));
        return false;
    }
    const double lista = valorLista / 100.0;
    const double percentual = lerDecimal(desconto).value_or(0);
    const double liquido = lista - lista * percentual / 100.0;
    if (std::llround(liquido * 100.0) < valorVenda) valorVenda = std::llround(liquido * 100.0);
    const double novoDesconto =
        std::round((1.0 - double(valorVenda) / double(valorLista)) * 100.0 * 100.0) / 100.0;
    desconto = formataDesconto(novoDesconto);

    const double vendaAnterior = lerDecimal(precoVenda).value_or(0);
    if (precoVenda.trimmed() != QLatin1String("0") && vendaAnterior != 0) {
        const double dependente = lerDecimal(valorDependente).value_or(0);
        valorDependente = formataValor(dependente * (valorVenda / 100.0) / vendaAnterior);
    } else {
        valorDependente = formataValor(valorVenda / 100.0);
    }
    descricao = descricao40.trimmed();
    precoLista = formataValor(lista);
    precoVenda = formataValor(valorVenda / 100.0);
    return true;
}

}  // namespace ql
