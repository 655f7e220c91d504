#include <gtest/gtest.h>

#include <QStringList>

#include "data/sequential_items.h"

namespace ql {
namespace {

QStringList todosItens(const QByteArray& bytes) {
    SequentialItems itens(bytes);
    QStringList r;
    while (!itens.atEnd()) r << itens.next();
    return r;
}

QStringList todasLinhas(const QByteArray& bytes) {
    SequentialItems itens(bytes);
    QStringList r;
    while (!itens.atEnd()) r << itens.nextLine();
    return r;
}

struct CasoItens {
    const char* nome;
    QByteArray bytes;
    QStringList esperado;
};

TEST(SequentialItems, ReadsItemsLikeTheStoreFiles) {
    const CasoItens casos[] = {
        {"empty data has no items", "", {}},
        {"comma and line end both end items", "a,b\r\nc", {"a", "b", "c"}},
        {"blanks round an item are dropped", "  lead , \ttrail  \r\n", {"lead", "trail"}},
        {"quotes keep commas and blanks", "\" x, y \",z\r\n", {" x, y ", "z"}},
        {"text after the closing quote is ignored", "\"q\"junk,next", {"q", "next"}},
        {"an unterminated quote stops at the line end", "\"open\r\nx", {"open", "x"}},
        {"an empty line is an empty item", "a\r\n\r\nb\r\n", {"a", "", "b"}},
        {"a blank line is an empty item", "a\r\n   \r\nb", {"a", "", "b"}},
        {"a lone CR ends a line", "a\rb", {"a", "b"}},
        {"a lone LF stays inside the item", "a\nb\r\n", {"a\nb"}},
        {"doubled line ends put a LF in front", "000\r\n\n000\r\n", {"000", "\n000"}},
        {"a comma before the line end leaves an empty item", "a,\r\nb", {"a", "", "b"}},
        {"a comma at the very end adds nothing", "a,", {"a"}},
        {"an empty quoted item", "\"\",x", {"", "x"}},
        {"Windows-1252 text", "\xc7\xc3O,\x80", {QStringLiteral("ÇÃO"), QStringLiteral("€")}},
    };
    for (const auto& c : casos) {
        EXPECT_EQ(todosItens(c.bytes), c.esperado) << c.nome;
    }
}

TEST(SequentialItems, ReadsWholeLinesWithTheirCommas) {
    const CasoItens casos[] = {
        {"empty data has no lines", "", {}},
        {"CR LF, lone LF kept, lone CR", "ab, c\r\nd\ne\rf", {"ab, c", "d\ne", "f"}},
        {"blanks are kept", "  x  \r\n\r\n", {"  x  ", ""}},
        {"quotes are kept", "\"a\",b", {"\"a\",b"}},
    };
    for (const auto& c : casos) {
        EXPECT_EQ(todasLinhas(c.bytes), c.esperado) << c.nome;
    }
}

TEST(SequentialItems, MixesItemsAndLinesAndStopsAtTheEnd) {
    SequentialItems itens("000,MNG0\r\nresto, da linha\r\n");
    EXPECT_EQ(itens.next(), "000");
    EXPECT_EQ(itens.nextLine(), "MNG0");
    EXPECT_EQ(itens.nextLine(), "resto, da linha");
    EXPECT_TRUE(itens.atEnd());
    EXPECT_EQ(itens.next(), "");
    EXPECT_EQ(itens.nextLine(), "");
    EXPECT_TRUE(itens.atEnd());
}

}  // namespace
}  // namespace ql
