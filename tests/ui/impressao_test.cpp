#include <QFile>
#include <QStandardItemModel>
#include <QTableView>

#include <gtest/gtest.h>

#include "support/test_context.h"
#include "ui/impressao.h"

namespace ql {
namespace {

QByteArray conteudo(const QString& caminho) {
    QFile f(caminho);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

TEST(Impressao, PdfJobsLandInTheFolderTheSettingNames) {
    test::TestContext t;
    t.ctx.config.PRINTER = QStringLiteral("pdf:") + t.path(QStringLiteral("prints/sub"));

    QStringList recibo;
    for (int i = 0; i < 150; ++i) recibo << QStringLiteral("LINHA %1").arg(i);  // two pages
    QString erro;
    ASSERT_TRUE(ImprimeLinhas(t.ctx, recibo, QStringLiteral("Recibo"), &erro))
        << erro.toStdString();
    const QString primeiro = UltimoArquivoImpresso(t.ctx);
    EXPECT_TRUE(
        primeiro.startsWith(t.path(QStringLiteral("prints/sub/Recibo-20261205-100000-000"))))
        << primeiro.toStdString();
    EXPECT_TRUE(conteudo(primeiro).startsWith("%PDF"));

    // The clock stands still: the second job must not overwrite the first.
    QStandardItemModel modelo(3, 3);
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) modelo.setItem(r, c, new QStandardItem(QString::number(r * c)));
    QTableView grade;
    grade.setModel(&modelo);
    grade.setColumnHidden(1, true);
    ASSERT_TRUE(
        ImprimeGrade(t.ctx, grade, QStringLiteral("Lotes"), QStringLiteral("Recibo"), &erro))
        << erro.toStdString();
    EXPECT_NE(UltimoArquivoImpresso(t.ctx), primeiro);
    EXPECT_TRUE(conteudo(UltimoArquivoImpresso(t.ctx)).startsWith("%PDF"));
    EXPECT_TRUE(conteudo(primeiro).startsWith("%PDF"));
}

TEST(Impressao, UnusableDestinationsGiveAReasonAndNoFile) {
    test::TestContext t;
    t.writeFile(QStringLiteral("arquivo"), QStringLiteral("x"));
    const struct {
        QString printer;
        QString motivo;
    } casos[] = {
        {QStringLiteral("IMPRESSORA_QUE_NAO_EXISTE"),
         QStringLiteral("A impressora IMPRESSORA_QUE_NAO_EXISTE não foi encontrada.")},
        {QStringLiteral("pdf:") + t.path(QStringLiteral("arquivo/dentro")),
         QStringLiteral("Não foi possível criar a pasta de impressão ")},
    };
    for (const auto& caso : casos) {
        t.ctx.config.PRINTER = caso.printer;
        t.ctx.ultimoArquivoImpresso.clear();
        QString erro;
        EXPECT_FALSE(ImprimeLinhas(t.ctx, {QStringLiteral("x")}, QStringLiteral("Recibo"), &erro));
        EXPECT_TRUE(erro.startsWith(caso.motivo)) << erro.toStdString();
        EXPECT_TRUE(UltimoArquivoImpresso(t.ctx).isEmpty());
    }
}

}  // namespace
}  // namespace ql
