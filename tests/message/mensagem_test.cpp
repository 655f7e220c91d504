#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "message/mensagem.h"
#include "qstring_printer.h"
#include "support/test_context.h"

namespace ql {
namespace {

using Campos = std::vector<std::pair<QString, QString>>;

QString textoDe(const Campos& campos) {
    Mensagem m;
    for (const auto& [tag, valor] : campos) m.add(tag, valor);
    return writeText(m);
}

TEST(MensagemTexto, WritesFieldsInOrderAddedWithFixedTags) {
    struct Caso {
        const char* nome;
        Campos campos;
        QString esperado;
    };
    const std::vector<Caso> casos = {
        {"only the type", {{"000-000", "0100"}}, "000-000=0100;"},
        {"type and processing code",
         {{"000-000", "0100"}, {"011-000", "800000"}},
         "000-000=0100;011-000=800000;"},
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
        {"short tag padded, long tag cut",
         {{"000-000", "0100"}, {"12-0", "a"}, {"011-0001", "b"}},
         "000-000=0100;12-0   =a;011-000=b;"},
        {"values are not escaped",
         {{"000-000", "0100"}, {"030-000", "x;y=z"}},
         "000-000=0100;030-000=x;y=z;"},
    };
    for (const Caso& c : casos) EXPECT_EQ(textoDe(c.campos), c.esperado) << c.nome;
}

TEST(MensagemTexto, NodesKeepPlaceholderLinksAndLengths) {
    Mensagem m;
    EXPECT_EQ(m.count(), 0);
    EXPECT_EQ(m.no(0).chaveKY9, "000-000");
    EXPECT_EQ(m.no(0).conteudo, "-1");

    EXPECT_EQ(m.add("000-000", "0100"), Inclusao::Incluido);
    EXPECT_EQ(m.add("009-000", ""), Inclusao::Vazio);
    EXPECT_EQ(m.add("940-000", "003"), Inclusao::Incluido);
    EXPECT_EQ(m.add("942-000", "123456789012345"), Inclusao::Incluido);
    ASSERT_EQ(m.count(), 3);
    EXPECT_EQ(m.no(0).Proximo, -1);
    EXPECT_EQ(m.no(1).chaveKY9, "940-000");
    EXPECT_EQ(m.no(1).Proximo, 0);
    EXPECT_EQ(m.no(2).Proximo, 1);
    EXPECT_EQ(m.no(2).ComprimentoTexto(), "15");
    EXPECT_EQ(m.valor("942-000"), "123456789012345");
    EXPECT_EQ(m.valor("009-000"), "");
    EXPECT_EQ(m.no(3).chaveKY9, "");
    EXPECT_EQ(m.no(-1).chaveKY9, "");

    ClassCampo no;
    no.DefineComprimento(" 27 ");
    EXPECT_EQ(no.Comprimento, 27);

    m.add("000-000", "0200");
    EXPECT_EQ(m.count(), 1);
    EXPECT_EQ(m.valor("940-000"), "");
    EXPECT_EQ(m.tiposIso().size(), 64);
    EXPECT_EQ(m.tamanhosIso().size(), 128);
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
    EXPECT_TRUE(t.boxes.empty());

    AdicionaCampo(t.ctx, "903-000", "");  // empty: silently ignored even when full
    EXPECT_TRUE(t.boxes.empty());

    AdicionaCampo(t.ctx, "903-000", "x");
    EXPECT_EQ(t.ctx.mensagem.count(), 2000);
    ASSERT_EQ(t.boxes.shown().size(), 1u);
    EXPECT_EQ(t.boxes.last().text, "Ocorreu o erro: 9 - Subscript out of range");
    EXPECT_EQ(t.boxes.last().title, "ATENÇÃOAdicionaCampo");
    EXPECT_FALSE(MontaMensagemTexto(t.ctx).contains("903-000"));

    // A new message starts over with room for 2000 fields again.
    AdicionaCampo(t.ctx, "000-000", "0200");
    EXPECT_EQ(MontaMensagemTexto(t.ctx), "000-000=0200;");
    EXPECT_EQ(Mensagem().add("000-000", "1"), Inclusao::Incluido);
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
        bool ok = !c.ok;
        const auto campos = parseText(c.texto, &ok);
        EXPECT_EQ(ok, c.ok) << c.texto.toStdString();
        ASSERT_EQ(campos.size(), c.esperado.size()) << c.texto.toStdString();
        for (std::size_t i = 0; i < campos.size(); ++i) {
            EXPECT_EQ(campos[i].tag, c.esperado[i].first);
            EXPECT_EQ(campos[i].valor, c.esperado[i].second);
        }
    }
    // Whatever the writer produces, the parser gives back.
    Mensagem m;
    m.add("000-000", "0200");
    m.add("902-000", "0000000001234");
    m.add("914-000", "00");
    const auto campos = parseText(writeText(m));
    ASSERT_EQ(campos.size(), 3u);
    EXPECT_EQ(campos[1].valor, "0000000001234");
}

}  // namespace
}  // namespace ql
