#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>

#include <functional>

#include "export/till_export.h"
#include "shell/text_files.h"
#include "support/test_context.h"

namespace ql {
namespace {

using test::TestContext;

void addItem(Context& ctx, const char* codigo, const char* qtd, const char* bruto,
             const char* liquido) {
    ItemVenda& it = ctx.itensVenda.item(++ctx.itensVenda.count);
    it.codigo = QString::fromLatin1(codigo);
    it.quantidade = QString::fromLatin1(qtd);
    it.valorBruto = QString::fromLatin1(bruto);
    it.valorLiquido = QString::fromLatin1(liquido);
}

void saleOfTwoItems(TestContext& t) {
    t.ctx.transacao.NsuTransacao = QStringLiteral("000123456789");
    t.ctx.ident.ValorCampo1 = QStringLiteral("CRM123456");
    addItem(t.ctx, "7891234567890", "3", "12,50", "10,00");
    addItem(t.ctx, "123", "1", "5,00", "4,25");
}

TEST(GerarArquivo, WritesTheRecordsByteForByte) {
    const std::pair<std::function<void(TestContext&)>, const char*> cases[] = {
        {saleOfTwoItems, "venda_duas.TRC"},
        {[](TestContext& t) {  // net above gross
             t.clock.set(QDateTime(QDate(2026, 3, 4), QTime(15, 30, 12)));
             t.ctx.transacao.NsuTransacao = QStringLiteral("98765");
             t.ctx.ident.ValorCampo1 = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789");
             t.ctx.ident.ValorCampo2 = QStringLiteral("PIN");
             addItem(t.ctx, "7890000000001", "2", "4,00", "5,50");
         },
         "venda_diferenca_negativa.TRC"},
    };
    for (const auto& [setup, expected] : cases) {
        SCOPED_TRACE(expected);
        TestContext t;
        setup(t);
        // A longer earlier file of that name is replaced wholly, and nothing else is left.
        const QString path = t.writeFile(QStringLiteral("123.TRC"), QString(5000, u'Z'));
        ASSERT_TRUE(GerarArquivo(t.ctx, path));
        EXPECT_EQ(readWholeFile(path).value_or("").toStdString(),
                  readWholeFile(QStringLiteral(QL_SOURCE_DIR "/tests/export/data/") +
                                QString::fromLatin1(expected))
                      .value_or("<missing>")
                      .toStdString());
        EXPECT_EQ(QDir(t.dir.path()).entryList(QDir::Files), QStringList{"123.TRC"});
        EXPECT_TRUE(t.boxes.empty());
    }
}

TEST(GerarArquivo, FormatsEachItemRecord) {
    const char* cases[][5] = {
        // quantity, gross, net, code -> the item's RA record
        {"12", "1.234,56", "1.000,00", "7891234567890",
         "RA0000000120001234,560000234,560001000,000012000,00A????0000007891234567890   "},
        {" 1 ", "0,5", "0,5", "00042",
         "RA0000000010000000,500000000,000000000,500000000,50A????0000000000000000042   "},
        {"1", "12345678,90", "12345678,90", "1",
         "RA00000000112345678,900000000,0012345678,9012345678,90A????0000000000000000001   "},
    };
    for (const auto& c : cases) {
        TestContext t;
        addItem(t.ctx, c[3], c[0], c[1], c[2]);
        QByteArray bytes;
        int erro = 0;
        ASSERT_TRUE(MontaArquivoExportacao(t.ctx, &bytes, &erro, nullptr)) << erro;
        EXPECT_EQ(bytes.split('\n').value(9), QByteArray(c[4]) + '\r');  // after 9 headers
    }
}

// A failure leaves no file of that number: the earlier one is gone and no half file took its
// place (a directory where the file should go, which not even root may replace, stays).
TEST(GerarArquivo, ReportsFailuresWithTheErrorNumber) {
    const struct {
        std::function<void(TestContext&)> setup;
        const char* file;
        const char* message;
    } cases[] = {
        {[](TestContext& t) { addItem(t.ctx, "123", "dois", "1,00", "1,00"); }, "9.TRC",
         "13 - Tipos incompatíveis"},
        {[](TestContext& t) {  // empty net price
             addItem(t.ctx, "123", "1", "1,00", "1,00");
             addItem(t.ctx, "124", "1", "1,00", "");
         },
         "9.TRC", "13 - Tipos incompatíveis"},
        {[](TestContext& t) { addItem(t.ctx, "12A", "1", "1,00", "1,00"); }, "9.TRC",
         "13 - Tipos incompatíveis"},
        {[](TestContext& t) { addItem(t.ctx, "123", "40000", "1,00", "1,00"); }, "9.TRC",
         "6 - Estouro"},
        {[](TestContext& t) {  // net price × quantity beyond 64 bits of cents
             addItem(t.ctx, "123", "20", "9000000000000000,00", "9000000000000000,00");
         },
         "9.TRC", "6 - Estouro"},
        {saleOfTwoItems, "missing/123.TRC", "75 - Erro de caminho/arquivo"},
        {[](TestContext& t) {
             saleOfTwoItems(t);
             ASSERT_TRUE(QDir(t.dir.path()).mkdir(QStringLiteral("123.TRC")));
         },
         "123.TRC", "75 - Erro de caminho/arquivo"},
    };
    for (const auto& c : cases) {
        TestContext t;
        c.setup(t);
        const QString path = t.path(QString::fromLatin1(c.file));
        SCOPED_TRACE(path.toStdString());
        t.writeFile(QStringLiteral("9.TRC"), QStringLiteral("earlier sale"));
        EXPECT_FALSE(GerarArquivo(t.ctx, path));
        EXPECT_EQ(t.boxes.texts(), QStringList{QStringLiteral("Erro na função GerarArquivo : ") +
                                               QString::fromUtf8(c.message)});
        EXPECT_EQ(t.boxes.last().icon, MessageBoxes::Icon::Critical);
        EXPECT_FALSE(QFileInfo(path).isFile());
    }
}

TEST(GerarArquivo, ExportPathAndSettings) {
    TestContext t;
    t.ctx.config.FILEAUX = t.dir.path() + QStringLiteral("\\");
    t.ctx.transacao.NsuTransacao = QStringLiteral("000000001234");
    EXPECT_EQ(CaminhoArquivoExportacao(t.ctx), t.dir.path() + QStringLiteral("/1234.TRC"));
    const std::tuple<qint16, QString, bool> cases[] = {
        {1, t.dir.path() + QStringLiteral("\\"), true},
        {0, t.dir.path(), false},
        {2, t.dir.path(), false},
        {1, t.path(QStringLiteral("nowhere")), false},
        {1, QString(), false}};
    for (const auto& [layout, dir, configured] : cases) {
        t.ctx.config.LayoutArquivo = layout;
        t.ctx.config.FILEAUX = dir;
        EXPECT_EQ(ExportacaoConfigurada(t.ctx), configured) << layout << dir.toStdString();
    }
}

}  // namespace
}  // namespace ql
