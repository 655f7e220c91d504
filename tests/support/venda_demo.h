#pragma once

// Selling the demo host's stored pre-authorisation: card 6062820000000004 of QUILLANE SAUDE
// holds one, and turning it into a sale is how the journal, receipt, cancellation and
// settlement tests get a sale of their own. Header-only, for every test program.

#include <QString>

#include <gtest/gtest.h>

#include "host/transacoes.h"
#include "sale/grade_autorizacao.h"
#include "sale/transacoes_produtos.h"
#include "shell/context.h"

namespace ql::test {

inline const QString kCartaoComPre = QStringLiteral("6062820000000004");

// Identifies card 0004 of QUILLANE SAUDE (the demo list's second operadora, code 00000123)
// for a sale, checks its eligibility and loads its stored pre-authorisation into `grade`.
inline bool CarregaPreAutorizacao0004(Context& ctx, GradeAutorizacao& grade) {
    ctx.TelaAtual = QStringLiteral("VENDA");
    ctx.ident.NumeroCartao = kCartaoComPre;
    ctx.ident.OperadoraSelecionada = 1;
    ctx.ident.NomeOperadora = QStringLiteral("QUILLANE SAUDE");
    ctx.ident.CodigoOperadora = QStringLiteral("00000123");
    grade.configura(QString(), QString(), true);
    return Mensagem_ElegPortador(ctx, 0) && Recupera_Pre(ctx, grade, 0) &&
           CarregaItemVenda_Grid(ctx, grade);
}

// The sale of card 0004's pre-authorisation under the fiscal document `documento`, confirmed
// when `confirma` says so. Returns the sale's NSU, or "" when a step failed (reported to the
// test with the messages the cashier would have seen).
inline QString VendePreAutorizacao0004(Context& ctx, const QString& documento, bool confirma,
                                       GradeAutorizacao* gradeVenda = nullptr) {
    GradeAutorizacao local;
    GradeAutorizacao& grade = gradeVenda ? *gradeVenda : local;
    bool vendida =
        CarregaPreAutorizacao0004(ctx, grade) && Mensagem_GeracaoPre(ctx, grade, documento);
    const QString nsu = ctx.transacao.NsuTransacao;
    vendida = vendida && (!confirma || Mensagem_Confirmacao(ctx));
    EXPECT_TRUE(vendida) << "card 0004's sale failed";
    return vendida ? nsu : QString();
}

}  // namespace ql::test
