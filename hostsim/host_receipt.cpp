#include "host_receipt.h"

namespace ql::hostsim {

namespace {

QString linha(const QString& texto) {
    return texto.leftJustified(kLarguraRecibo, QLatin1Char(' '), true);
}

QString centro(const QString& texto) {
    const int sobra = int(kLarguraRecibo - qMin<qsizetype>(texto.size(), kLarguraRecibo));
    return linha(QString(sobra / 2, QLatin1Char(' ')) + texto);
}

QString total(const QString& rotulo, qint64 centavos) {
    const QString valor = QStringLiteral("R$ ") + valorRecibo(centavos);
    return linha(rotulo.leftJustified(kLarguraRecibo - int(valor.size()), QLatin1Char(' '), true) +
                 valor);
}

}  // namespace

QString valorRecibo(qint64 centavos) {
    const bool negativo = centavos < 0;
    if (negativo) centavos = -centavos;
    QString inteiro = QString::number(centavos / 100);
    for (qsizetype i = inteiro.size() - 3; i > 0; i -= 3) inteiro.insert(i, QLatin1Char('.'));
    return (negativo ? QStringLiteral("-") : QString()) + inteiro + QLatin1Char(',') +
           QStringLiteral("%1").arg(centavos % 100, 2, 10, QLatin1Char('0'));
}

QString cartaoMascarado(const QString& numero) {
    const QString n = numero.trimmed();
    if (n.size() <= 4) return n;
    return QString(n.size() - 4, QLatin1Char('*')) + n.right(4);
}

QStringList montaRecibo(const DadosRecibo& d, int maxLinhas) {
    const Transacao& t = d.transacao;
    qint64 liquido = 0, receber = 0;
    QStringList itens;
    for (std::size_t i = 0; i < d.itens.size(); ++i) {
        const Item& it = d.itens[i];
        liquido += it.precoLiquido * it.quantidade;
        receber += it.valorReceber * it.quantidade;
        const QString desc = i < d.descricoes.size() ? d.descricoes[i] : it.codigo;
        const QString qtd = QStringLiteral("%1x").arg(it.quantidade, 3);
        const QString valor = valorRecibo(it.precoLiquido * it.quantidade);
        itens << linha(desc.leftJustified(20, QLatin1Char(' '), true) + QLatin1Char(' ') + qtd +
                       valor.rightJustified(kLarguraRecibo - 25));
    }

    QStringList cabecalho;
    cabecalho << centro(QStringLiteral("QUILLANE BENEFICIO FARMACIA")) << centro(d.titulo)
              << linha(QStringLiteral("CARTAO: ") + cartaoMascarado(t.cartao))
              << linha(QStringLiteral("NSU: %1  LOTE: %2")
                           .arg(t.nsu, 12, 10, QLatin1Char('0'))
                           .arg(t.lote, 6, 10, QLatin1Char('0')))
              << linha(QStringLiteral("DATA: ") +
                       d.momento.toString(QStringLiteral("dd/MM/yyyy hh:mm:ss")));
    QStringList opcionais;
    opcionais << linha(QStringLiteral("OPERADORA: ") + t.operadora.trimmed())
              << linha(QStringLiteral("ESTAB: %1 TERM: %2")
                           .arg(t.estabelecimento.trimmed(), t.terminal.trimmed()));
    if (!t.documento.trimmed().isEmpty())
        opcionais << linha(QStringLiteral("CUPOM FISCAL: ") + t.documento.trimmed());
    const QString separador(kLarguraRecibo, QLatin1Char('-'));
    QStringList totais;
    totais << total(QStringLiteral("TOTAL LIQUIDO"), liquido)
           << total(QStringLiteral("SUBSIDIO OPERADORA"), liquido - receber)
           << total(QStringLiteral("VALOR A PAGAR"), receber);

    QStringList completo = cabecalho + opcionais;
    completo << separador;
    completo += itens;
    completo << separador;
    completo += totais;
    if (completo.size() <= maxLinhas) return completo;

    QStringList resumido = cabecalho;
    resumido << linha(QStringLiteral("ITENS: %1").arg(d.itens.size()));
    resumido += totais;
    while (resumido.size() > maxLinhas) resumido.removeLast();
    return resumido;
}

}  // namespace ql::hostsim
