#include "admin/resumos.h"

#include <QTime>

#include "admin/journal_model.h"
#include "admin/journal_names.h"
#include "sale/grade_autorizacao.h"
#include "shell/captions.h"
#include "shell/context.h"

namespace ql {

namespace {

const QString kProdutosDoLote = QStringLiteral("PRODUTOSDOLOTE");

}  // namespace

ModoResumoProdutos ModoProdutos(const QString& telaAtual) {
    return telaAtual == kProdutosDoLote ? ModoResumoProdutos::Lote : ModoResumoProdutos::Transacao;
}

QString PadraoResumoVendas(const Context& ctx) {
    return journalPattern(JournalKind::ResumoVendas, ctx.TipoEstab, ctx.ident.CodigoOperadora);
}

QString PadraoResumoFinanceiro(const Context& ctx) {
    return journalPattern(JournalKind::ResumoFinanceiro, ctx.TipoEstab, ctx.ident.CodigoOperadora);
}

QString PadraoResumoProdutos(const Context& ctx, ModoResumoProdutos modo, const QString& lote) {
    if (modo == ModoResumoProdutos::Lote) {
        return journalPattern(JournalKind::ProdutosLote, ctx.TipoEstab, ctx.ident.CodigoOperadora,
                              ValorChave(lote));
    }
    return journalPattern(JournalKind::ProdutosTransacao, ctx.TipoEstab, ctx.ident.CodigoOperadora,
                          ValorChave(ctx.transacao.NsuTransacao));
}

qint64 ValorChave(const QString& texto) {
    const QString t = texto.trimmed();
    qint64 valor = 0;
    for (const QChar c : t) {
        if (c < u'0' || c > u'9') break;
        // A key longer than any lot or NSU is not one: stop before it overflows.
        if (valor > (Q_INT64_C(999999999999999999) - (c.unicode() - u'0')) / 10) return 0;
        valor = valor * 10 + (c.unicode() - u'0');
    }
    return valor;
}

bool CarregaDadosLote(Context& ctx, const JournalModel& grade, int linha) {
    if (grade.rowCount() == 0 || linha < 0 || linha >= grade.rowCount()) return false;
    ctx.LoteSelecionado = grade.text(linha, 0).trimmed();
    return true;
}

QString TituloComDataHora(const Context& ctx, const QString& titulo) {
    const QDateTime agora = ctx.relogio.now();
    return titulo + DataCurta(agora.date()) + QLatin1Char(' ') +
           agora.time().toString(QStringLiteral("hh:mm:ss"));
}

bool SelecionaItemCancelamento(Context& ctx, const JournalModel& grade,
                               const QList<int>& linhasSelecionadas) {
    if (!CancelaItem_Grid(ctx, grade, linhasSelecionadas)) return false;
    return ctx.itensVenda.count == 1;
}

}  // namespace ql
