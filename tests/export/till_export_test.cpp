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

QByteArray expectedFile(const char* name) {
    const auto bytes = readWholeFile(QStringLiteral(QL_SOURCE_DIR "/tests/export/data/") +
                                     QString::fromLatin1(name));
    return bytes.value_or(QByteArray("<missing expected file>"));
}

void addItem(Context& ctx, const char* codigo, const char* qtd, const char* bruto,
             const char* liquido) {
    ItemVenda& it = ctx.itensVenda.item(ctx.itensVenda.count + 1);
    it.codigo = QString::fromLatin1(codigo);
    it.quantidade = QString::fromLatin1(qtd);
    it.valorBruto = QString::fromLatin1(bruto);
    it.valorLiquido = QString::fromLatin1(liquido);
    ++ctx.itensVenda.count;
}

void saleOfTwoItems(TestContext& t) {
    t.ctx.transacao.NsuTransacao = QStringLiteral("000123456789");
    t.ctx.ident.ValorCampo1 = QStringLiteral("CRM123456");
    addItem(t.ctx, "7891234567890", "3", "12,50", "10,00");
    addItem(t.ctx, "123", "1", "5,00", "4,25");
}

void saleWithNegativeDifference(TestContext& t) {
    t.clock.set(QDateTime(QDate(2026, 3, 4), QTime(15, 30, 12)));
    t.ctx.transacao.NsuTransacao = QStringLiteral("98765");
    t.ctx.ident.ValorCampo1 = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789");
    t.ctx.ident.ValorCampo2 = QStringLiteral("PIN");
    addItem(t.ctx, "7890000000001", "2", "4,00", "5,50");
}

TEST(GerarArquivo, WritesTheRecordsByteForByte) {
    struct Case {
        const char* name;
        std::function<void(TestContext&)> setup;
        const char* expected;
        int lines;
    };
    const Case cases[] = {
        {"two items", saleOfTwoItems, "venda_duas.TRC", 13},
        {"net above gross", saleWithNegativeDifference, "venda_diferenca_negativa.TRC", 11},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestContext t;
        c.setup(t);
        // A longer earlier file of that name is replaced wholly, and nothing else is left.
        const QString path =
            t.writeFile(QStringLiteral("123.TRC"), QString(5000, QLatin1Char('Z')));
        ASSERT_TRUE(GerarArquivo(t.ctx, path));
        const QByteArray written = readWholeFile(path).value_or(QByteArray());
        EXPECT_EQ(written.toStdString(), expectedFile(c.expected).toStdString());
        EXPECT_EQ(written.count("\r\n"), c.lines);
        EXPECT_EQ(QDir(t.dir.path()).entryList(QDir::Files),
                  QStringList{QStringLiteral("123.TRC")});
        EXPECT_TRUE(t.boxes.empty());
    }
}

TEST(GerarArquivo, FormatsEachItemRecord) {
    // quantity, gross, net, code -> the item's RA record (without its line end)
    struct Case {
        const char* qtd;
        const char* bruto;
        const char* liquido;
        const char* codigo;
        const char* ra;
    };
    const Case cases[] = {
        {"3", "10,00", "9,00", "123",
         "RA0000000030000010,000000001,000000009,000000027,00A????0000000000000000123   "},
        {"12", "1.234,56", "1.000,00", "7891234567890",
         "RA0000000120001234,560000234,560001000,000012000,00A????0000007891234567890   "},
        {" 1 ", "0,5", "0,5", "00042",
         "RA0000000010000000,500000000,000000000,500000000,50A????0000000000000000042   "},
        {"1", "12345678,90", "12345678,90", "1",
         "RA00000000112345678,900000000,0012345678,9012345678,90A????0000000000000000001   "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.ra);
        TestContext t;
        addItem(t.ctx, c.codigo, c.qtd, c.bruto, c.liquido);
        QByteArray bytes;
        int erro = 0;
        QString descricao;
        ASSERT_TRUE(MontaArquivoExportacao(t.ctx, &bytes, &erro, &descricao)) << erro;
        const QList<QByteArray> lines = bytes.split('\n');
        ASSERT_EQ(lines.size(), 12);  // 9 headers, RA, RB and the empty tail after the last LF
        EXPECT_EQ(lines[9], QByteArray(c.ra) + '\r');
    }
}

// A failure leaves no file of that number: the earlier one is gone and no half file took its
// place (a directory standing where the file should go, which no permission, not even root's,
// lets the export replace, stays).
TEST(GerarArquivo, ReportsFailuresWithTheErrorNumber) {
    struct Case {
        const char* name;
        std::function<void(TestContext&)> setup;
        const char* file;
        const char* message;
    };
    auto duasVendas = [](TestContext& t) { saleOfTwoItems(t); };
    const Case cases[] = {
        {"quantity not a number",
         [](TestContext& t) { addItem(t.ctx, "123", "dois", "1,00", "1,00"); }, "9.TRC",
         "13 - Tipos incompatíveis"},
        {"empty net price",
         [](TestContext& t) {
             addItem(t.ctx, "123", "1", "1,00", "1,00");
             addItem(t.ctx, "124", "1", "1,00", "");
         },
         "9.TRC", "13 - Tipos incompatíveis"},
        {"product code with letters",
         [](TestContext& t) { addItem(t.ctx, "12A", "1", "1,00", "1,00"); }, "9.TRC",
         "13 - Tipos incompatíveis"},
        {"quantity beyond the till's range",
         [](TestContext& t) { addItem(t.ctx, "123", "40000", "1,00", "1,00"); }, "9.TRC",
         "6 - Estouro"},
        {"missing directory", duasVendas, "missing/123.TRC", "75 - Erro de caminho/arquivo"},
        {"a directory in the way",
         [](TestContext& t) {
             saleOfTwoItems(t);
             ASSERT_TRUE(QDir(t.dir.path()).mkdir(QStringLiteral("123.TRC")));
         },
         "123.TRC", "75 - Erro de caminho/arquivo"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestContext t;
        c.setup(t);
        const QString path = t.path(QString::fromLatin1(c.file));
        t.writeFile(QStringLiteral("9.TRC"), QStringLiteral("earlier sale"));
        EXPECT_FALSE(GerarArquivo(t.ctx, path));
        ASSERT_EQ(t.boxes.shown().size(), 1u);
        EXPECT_EQ(t.boxes.last().text,
                  QStringLiteral("Erro na função GerarArquivo : ") + QString::fromUtf8(c.message));
        EXPECT_EQ(t.boxes.last().title, QStringLiteral("Atenção"));
        EXPECT_EQ(t.boxes.last().icon, MessageBoxes::Icon::Critical);
        EXPECT_FALSE(QFileInfo(path).isFile());
    }
}

TEST(GerarArquivo, ExportPathAndSettings) {
    TestContext t;
    t.ctx.config.FILEAUX = t.dir.path() + QStringLiteral("\\");
    t.ctx.transacao.NsuTransacao = QStringLiteral("000000001234");
    EXPECT_EQ(CaminhoArquivoExportacao(t.ctx), t.dir.path() + QStringLiteral("/1234.TRC"));

    struct Case {
        qint16 layout;
        QString dir;
        bool configured;
    };
    const Case cases[] = {
        {1, t.dir.path() + QStringLiteral("\\"), true},
        {0, t.dir.path() + QStringLiteral("\\"), false},
        {2, t.dir.path(), false},
        {1, t.path(QStringLiteral("nowhere")), false},
        {1, QString(), false},
    };
    for (const Case& c : cases) {
        t.ctx.config.LayoutArquivo = c.layout;
        t.ctx.config.FILEAUX = c.dir;
        EXPECT_EQ(ExportacaoConfigurada(t.ctx), c.configured)
            << c.layout << " " << c.dir.toStdString();
    }
}

}  // namespace
}  // namespace ql
