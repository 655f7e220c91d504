#include "admin/journal_names.h"

namespace ql {

QString journalPrefix(JournalKind kind, int tipoEstab) {
    if (kind == JournalKind::TransacoesPendentes) return QStringLiteral("TP");
    if (tipoEstab < 1 || tipoEstab > 3) return QString();
    // Prefixes by establishment type 1 / 2 / 3.
    static constexpr const char* kPrefixes[][3] = {
        {"SS", "SR", "SD"},  // ResumoVendas
        {"FS", "FR", "FD"},  // ResumoFinanceiro
        {"TS", "TR", "TD"},  // TransacoesLote
        {"PS", "PR", "PD"},  // ProdutosLote
        {"PT", "DR", "DD"},  // ProdutosTransacao
    };
    return QString::fromLatin1(kPrefixes[static_cast<int>(kind)][tipoEstab - 1]);
}

QString journalBaseName(JournalKind kind, int tipoEstab, const QString& codigoOperadora,
                        qint64 chave) {
    const QString prefix = journalPrefix(kind, tipoEstab);
    if (prefix.isEmpty()) return QString();
    QString name = prefix + codigoOperadora.trimmed();
    switch (kind) {
        case JournalKind::TransacoesLote:
        case JournalKind::ProdutosLote:
            name += QStringLiteral("-%1").arg(chave, 6, 10, QLatin1Char('0'));
            break;
        case JournalKind::ProdutosTransacao:
            name += QStringLiteral("-%1").arg(chave, 12, 10, QLatin1Char('0'));
            break;
        default:
            break;
    }
    return name + QStringLiteral(".S");
}

QString journalPattern(JournalKind kind, int tipoEstab, const QString& codigoOperadora,
                       qint64 chave) {
    const QString base = journalBaseName(kind, tipoEstab, codigoOperadora, chave);
    return base.isEmpty() ? QString() : base + QStringLiteral("??");
}

QVector<JournalColumn> journalColumns(JournalKind kind) {
    const QChar A('A'), N('N'), M('M'), D('D');
    switch (kind) {
        case JournalKind::ResumoVendas:
            return {{QStringLiteral("Lote"), N},          {QStringLiteral("Abertura"), D},
                    {QStringLiteral("Fechamento"), D},    {QStringLiteral("Qtde Transações"), N},
                    {QStringLiteral("Valor Bruto"), M},   {QStringLiteral("Valor Desconto"), M},
                    {QStringLiteral("Valor Líquido"), M}, {QStringLiteral("Situação"), A}};
        case JournalKind::ResumoFinanceiro:
            return {{QStringLiteral("Lote"), N},
                    {QStringLiteral("Fechamento"), D},
                    {QStringLiteral("Pagamento"), D},
                    {QStringLiteral("Valor Vendas"), M},
                    {QStringLiteral("Valor Reposição"), M},
                    {QStringLiteral("Valor Crédito"), M},
                    {QStringLiteral("Valor Débito"), M},
                    {QStringLiteral("Valor Líquido"), M},
                    {QStringLiteral("Situação"), A}};
        case JournalKind::TransacoesLote:
            return {JournalColumn::hidden(N),
                    {QStringLiteral("NSU"), N},
                    {QStringLiteral("Data/Hora"), D},
                    {QStringLiteral("Cartão"), A},
                    {QStringLiteral("Autorização"), A},
                    {QStringLiteral("Tipo"), A},
                    {QStringLiteral("Situação"), A},
                    {QStringLiteral("Cupom Fiscal"), A},
                    {QStringLiteral("Qtde Itens"), N},
                    {QStringLiteral("Valor Líquido"), M},
                    {QStringLiteral("Valor Reposição"), M},
                    {QStringLiteral("Valor Crédito"), M},
                    {QStringLiteral("Valor Débito"), M}};
        case JournalKind::ProdutosLote:
        case JournalKind::ProdutosTransacao:
            return {JournalColumn::hidden(N),
                    JournalColumn::hidden(N),
                    {QStringLiteral("Data"), D},
                    {QStringLiteral("Item"), N},
                    {QStringLiteral("Código"), A},
                    {QStringLiteral("Fabricante"), A},
                    {QStringLiteral("Desconto %"), N},
                    {QStringLiteral("Descrição"), A},
                    {QStringLiteral("Embalagem"), A},
                    {QStringLiteral("Qtde"), N},
                    {QStringLiteral("Qtde Cancelável"), N},
                    {QStringLiteral("Preço Bruto"), M},
                    {QStringLiteral("Preço Líquido"), M}};
        case JournalKind::TransacoesPendentes:
            return {{QStringLiteral("Lote"), N},      {QStringLiteral("NSU"), N},
                    {QStringLiteral("Data/Hora"), D}, {QStringLiteral("Cartão"), A},
                    {QStringLiteral("Valor"), M},     {QStringLiteral("Tipo"), A},
                    {QStringLiteral("Situação"), A},  {QStringLiteral("Autorização"), A}};
    }
    return {};
}

}  // namespace ql
