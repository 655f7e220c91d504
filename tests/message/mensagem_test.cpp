#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "message/mensagem.h"
#include "qstring_printer.h"
#include "support/test_context.h"

namespace ql {
namespace {

using Campos = std::vector<std::pair<QString, QString>>;

TEST(MensagemTexto, WritesFieldsInOrderAddedWithFixedTags) {
    struct Caso {
        const char* nome;
        Campos campos;
        QString esperado;
    };
    const std::vector<Caso> casos = {
        {"fresh message shows its placeholder", {{"000-000", ""}}, "000-000=-1;"},
        {"placeholder taken by the first real field",
         {{"000-000", ""}, {"011-000", "800000"}},
         "011-000=800000;"},
        {"empty value never added",
         {{"000-000", "0110"}, {"009-000", ""}, {"012-000", "42"}},
         "000-000=0110;012-000=42;"},
        {"second type starts a new message",
         {{"000-000", "0100"}, {"011-000", "800000"}, {"000-000", "0200"}},
         "000-000=0200;"},
        {"short tag padded, long tag cut, values not escaped",
         {{"000-000", "0100"}, {"12-0", "a"}, {"011-0001", "b"}, {"030-000", "x;y=z"}},
         "000-000=0100;12-0   =a;011-000=b;030-000=x;y=z;"},
    };
    for (const Caso& c : casos) {
        Mensagem m;
        for (const auto& [tag, valor] : c.campos) m.add(tag, valor);
        EXPECT_EQ(writeText(m), c.esperado) << c.nome;
    }
}

TEST(MensagemTexto, TwoThousandFieldLimitIsReportedAndNothingIsLost) {
    test::TestContext t;
    AdicionaCampo(t.ctx, "000-000", "0100");
    // A value longer than a 16-bit length can hold is refused the same way.
    AdicionaCampo(t.ctx, "030-000", QString(40000, QLatin1Char('x')));
    EXPECT_EQ(t.boxes.texts(), QStringList{"Ocorreu o erro: 6 - Overflow"});
    EXPECT_EQ(t.ctx.mensagem.count(), 1);
    t.boxes.clear();

    for (int i = 1; i < Mensagem::kMaxCampos; ++i)
        AdicionaCampo(t.ctx, QStringLiteral("902-%1").arg(i % 1000, 3, 10, QLatin1Char('0')), "1");
    EXPECT_EQ(t.ctx.mensagem.count(), 2000);
    AdicionaCampo(t.ctx, "903-000", "");  // empty: silently ignored even when full
    EXPECT_TRUE(t.boxes.empty());
    EXPECT_EQ(t.ctx.mensagem.no(2000).chaveKY9, "");
    EXPECT_EQ(t.ctx.mensagem.no(-1).chaveKY9, "");

    AdicionaCampo(t.ctx, "903-000", "x");
    EXPECT_EQ(t.ctx.mensagem.count(), 2000);
    ASSERT_EQ(t.boxes.shown().size(), 1u);
    EXPECT_EQ(t.boxes.last().text, "Ocorreu o erro: 9 - Subscript out of range");
    EXPECT_EQ(t.boxes.last().title, "ATENÇÃOAdicionaCampo");
    EXPECT_FALSE(MontaMensagemTexto(t.ctx).contains("903-000"));

    // A new message starts over with room for 2000 fields again.
    AdicionaCampo(t.ctx, "000-000", "0200");
    EXPECT_EQ(MontaMensagemTexto(t.ctx), "000-000=0200;");
}

TEST(MensagemTexto, ParseSplitsTextFormAndFlagsBrokenPieces) {
    struct Caso {
        QString texto;
        Campos esperado;
        bool ok;
    };
    const std::vector<Caso> casos = {
        {"000-000=0110;009-000=00;030-000=;",
         {{"000-000", "0110"}, {"009-000", "00"}, {"030-000", ""}},
         true},
        {"", {}, true},
        {"000-000=0110;940-000=a=b;", {{"000-000", "0110"}, {"940-000", "a=b"}}, true},
        {"000-000=0110;lixo;009-000=00;", {{"000-000", "0110"}, {"009-000", "00"}}, false},
        {"000-000=0110;009-000=00", {{"000-000", "0110"}, {"009-000", "00"}}, false},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.texto.toStdString());
        bool ok = !c.ok;
        Campos campos;
        for (const auto& campo : parseText(c.texto, &ok))
            campos.emplace_back(campo.tag, campo.valor);
        EXPECT_EQ(ok, c.ok);
        EXPECT_EQ(campos, c.esperado);
    }
}

}  // namespace
}  // namespace ql
