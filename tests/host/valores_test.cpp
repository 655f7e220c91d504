#include <gtest/gtest.h>

#include "host/valores.h"

namespace ql {
namespace {

TEST(Valores, ReadingNumbers) {
    const struct {
        const char* texto;
        qint64 inteiro;
        std::optional<double> decimal;
    } cases[] = {
        {"39", 39, 39.0},         {" 040", 40, 40.0},  {"", 0, std::nullopt},
        {"12,50", 12, 12.5},      {"12.50", 12, 12.5}, {"1.250,00", 1, 1250.0},
        {"abc", 0, std::nullopt}, {"-7", -7, -7.0},    {"45x", 45, std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.texto);
        EXPECT_EQ(valorInteiro(QString::fromLatin1(c.texto)), c.inteiro);
        EXPECT_EQ(lerDecimal(QString::fromLatin1(c.texto)), c.decimal);
    }
}

TEST(Valores, WritingNumbers) {
    EXPECT_EQ(formataZeros(-5, 3), "-005");
    EXPECT_EQ(formataZeros(1234, 3), "1234");
    EXPECT_EQ(formataZeros(7, 2), "07");
    EXPECT_EQ(formataValor(12.5), "12,50");
    EXPECT_EQ(formataValor(0), "0,00");
    EXPECT_EQ(formataValor(2.675), "2,68");
    EXPECT_EQ(formataValor(-0.5), "-0,50");
    EXPECT_EQ(centavosParaValor("0001250"), "12,50");
    EXPECT_EQ(centavosParaValor(""), "0,00");
    EXPECT_EQ(valorParaCentavos("12,5", 7), "0001250");
    EXPECT_EQ(valorParaCentavos("", 7), "0000000");
    EXPECT_EQ(valorParaCentavos("8,40", 7), "0000840");
    EXPECT_EQ(formataCodigo("7891234", 13), "0000007891234");
    EXPECT_EQ(formataCodigo("0000007891234", 13), "0000007891234");
    EXPECT_EQ(formataCodigo("12345678901234", 13), "12345678901234");
    EXPECT_EQ(formataCodigo(" AB12 ", 13), "AB12");
}

}  // namespace
}  // namespace ql
