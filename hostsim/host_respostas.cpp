#include "host_respostas.h"

#include <algorithm>

#include "host_simulator.h"

namespace ql::hostsim {

namespace {

QString tipoResposta(const QString& tipo) {
    bool ok = false;
    const int n = tipo.toInt(&ok);
    return ok ? QStringLiteral("%1").arg(n + 10, 4, 10, QLatin1Char('0')) : tipo;
}

}  // namespace

QString nsuTexto(qint64 nsu) {
    return numeroFixo(nsu, 12);
}

Resposta inicia(const Pedido& p) {
    Resposta r(p.forma);
    r.add(QStringLiteral("000-000"), tipoResposta(p.tipo));
    r.add(QStringLiteral("011-000"), p.processamento);
    r.add(QStringLiteral("001-000"), p.campo(QStringLiteral("001-000")));
    return r;
}

void poeCodigo(Resposta& r, int cod, const QString& texto) {
    r.add(QStringLiteral("009-000"), numeroFixo(cod, 2));
    if (!texto.isEmpty()) r.add(QStringLiteral("030-000"), texto);
}

Resposta recusa(const Pedido& p, int cod, const QString& texto) {
    Resposta r = inicia(p);
    poeCodigo(r, cod, texto);
    return r;
}

void poeControle(Resposta& r, const QString& continuacao, int quantidade, int linhasRecibo) {
    r.add(QStringLiteral("900-000"), continuacao);
    r.add(QStringLiteral("901-000"), numeroFixo(quantidade, 2));
    if (r.forma() == Forma::Iso || linhasRecibo > 0)
        r.add(QStringLiteral("028-000"), numeroFixo(linhasRecibo, 2));
}

void poeRecibo(Resposta& r, const QStringList& linhas) {
    for (int i = 0; i < linhas.size(); ++i)
        r.add(TagItem(29, i), r.forma() == Forma::Iso ? textoFixo(linhas[i], 38) : linhas[i]);
    // In ISO form element 63 opens with the receipt text, 40 characters a line, before the
    // product records; the terminal skips it by the line count.
    if (r.forma() == Forma::Iso && !linhas.isEmpty()) {
        QString bloco;
        for (const QString& l : linhas) bloco += textoFixo(l, kLinhaRecibo63);
        r.add(QStringLiteral("920-000"), bloco);
    }
}

int descontoCentesimos(qint64 bruto, qint64 liquido) {
    if (bruto <= 0 || liquido >= bruto) return 0;
    return int((bruto - liquido) * 10000 / bruto);
}

qint64 centavosDoPedido(const QString& texto) {
    return std::clamp(texto.trimmed().toLongLong(), qint64(0), qint64(9'999'999'999));
}

int paginaDoPedido(const QString& texto) {
    return std::clamp(texto.trimmed().toInt(), 0, 9999);
}

qint64 valorReceber(qint64 liquido, int subsidio) {
    return liquido - liquido * subsidio / 10000;
}

void poeProdutoAutorizado(Resposta& r, int j, const Item& i) {
    const bool iso = r.forma() == Forma::Iso;
    r.add(TagItem(902, j), i.codigo);
    r.add(TagItem(906, j), iso ? textoFixo(i.embalagem, 1) : i.embalagem);
    r.add(TagItem(905, j), numeroFixo(i.quantidade, 3));
    r.add(TagItem(910, j), numeroFixo(i.precoBruto, 7));
    r.add(TagItem(911, j), numeroFixo(i.precoLiquido, 7));
    r.add(TagItem(912, j), numeroFixo(i.valorReceber, 7));
    r.add(TagItem(909, j), numeroFixo(i.desconto, 5));
    r.add(TagItem(919, j), numeroFixo(i.status, 2));
}

QString textoStatus(int status) {
    switch (status) {
        case codigo::kProdutoNaoCadastrado:
            return QStringLiteral("PRODUTO NAO CADASTRADO");
        case codigo::kProdutoNaoCoberto:
            return QStringLiteral("PRODUTO NAO COBERTO");
        case codigo::kQuantidadeAcimaDoLimite:
            return QStringLiteral("QUANTIDADE ACIMA DO LIMITE");
        case codigo::kQuantidadeAcimaDaPre:
            return QStringLiteral("QUANTIDADE ACIMA DA PRE-AUTORIZADA");
        case codigo::kProdutoForaDaPre:
            return QStringLiteral("PRODUTO NAO PRE-AUTORIZADO");
        case codigo::kQuantidadeAcimaDaVendida:
            return QStringLiteral("QUANTIDADE ACIMA DA VENDIDA");
        default:
            return QStringLiteral("QUANTIDADE INVALIDA");
    }
}

}  // namespace ql::hostsim
