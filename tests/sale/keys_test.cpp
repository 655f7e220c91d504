#include <gtest/gtest.h>

#include "sale/keys/card_reader_keys.h"
#include "sale/keys/money_entry.h"
#include "sale/keys/text_keys.h"

namespace ql {
namespace {

// Keys of a sequence: digits and letters as typed, "<" Backspace, "\r" Enter.
int codigo(QChar c) {
    if (c == QLatin1Char('<')) return teclas::Backspace;
    return c.unicode();
}

TEST(ValorKeyPress, TypesMoneyFromTheRight) {
    const struct {
        const char *nome, *inicial, *teclas, *esperado;
        int tabs;
    } casos[] = {
        {"first digits", "0,00", "537", "5,37", 0},
        {"one to seven", "0,00", "1234567", "12.345,67", 0},
        {"eighth digit dropped at nine characters", "0,00", "12345678", "12.345,67", 0},
        {"largest amount", "0,00", "9999999", "99.999,99", 0},
        {"backspace resets", "1.234,56", "<", "0,00", 0},
        {"backspace then digits", "12,34", "<42", "0,42", 0},
        {"letters and signs dropped", "0,00", "1a-,.2", "0,12", 0},
        {"apostrophe dropped", "0,00", "'7", "0,07", 0},
        {"enter asks for a tab", "3,21", "\r", "3,21", 1},
        {"leading zeros collapse", "0,00", "0005", "0,05", 0},
        {"thousands separator appears", "999,99", "9", "9.999,99", 0},
        {"text pasted with letters keeps its digits", "R$ 1,50", "0", "15,00", 0},
        {"empty text starts from zero", "", "8", "0,08", 0},
    };
    for (const auto& caso : casos) {
        SCOPED_TRACE(caso.nome);
        EstadoCampo campo{QString::fromUtf8(caso.inicial)};
        int tabs = 0;
        for (QChar c : QString::fromLatin1(caso.teclas)) {
            const ResultadoTecla r = Valor_KeyPress(campo, codigo(c));
            EXPECT_EQ(r.tecla, teclas::Nenhuma) << "every key is consumed";
            tabs += r.tabs;
        }
        EXPECT_EQ(campo.texto, QString::fromUtf8(caso.esperado));
        EXPECT_EQ(tabs, caso.tabs);
        EXPECT_EQ(campo.cursor, campo.texto.size());
    }
}

TEST(ValorKeyPress, SelectionLockAndLimit) {
    // More than one character selected: the digit starts a new amount.
    EstadoCampo selecionado{QStringLiteral("45,67"), 0, 5, 2};
    Valor_KeyPress(selecionado, '3');
    EXPECT_EQ(selecionado.texto, QStringLiteral("0,03"));
    EXPECT_EQ(selecionado.tamanhoSelecao, 0);

    // A single selected character is not replaced: the digit is appended.
    EstadoCampo umCaractere{QStringLiteral("45,67"), 4, 1, 5};
    Valor_KeyPress(umCaractere, '3');
    EXPECT_EQ(umCaractere.texto, QStringLiteral("456,73"));

    // A locked field ignores digits but Enter still moves on and Backspace still resets.
    EstadoCampo travado{QStringLiteral("1,00")};
    travado.travado = true;
    Valor_KeyPress(travado, '9');
    EXPECT_EQ(travado.texto, QStringLiteral("1,00"));
    EXPECT_EQ(Valor_KeyPress(travado, teclas::Enter).tabs, 1);

    // A text already longer than nine characters (pasted) refuses digits and is left as is.
    EstadoCampo longo{QStringLiteral("123.456,78")};
    Valor_KeyPress(longo, '1');
    EXPECT_EQ(longo.texto, QStringLiteral("123.456,78"));
}

TEST(ValorChange, ShortTextsBecomeHundredths) {
    const struct {
        const char* texto;
        const char* esperado;
        bool trocado;
    } casos[] = {
        {"", "0,00", true},    {"0", "0,00", true},     {"5", "0,05", true},
        {"12", "0,12", true},  {"a", "0,00", true},     {",5", "0,05", true},
        {"123", "123", false}, {"0,00", "0,00", false}, {"1.234,56", "1.234,56", false},
    };
    for (const auto& caso : casos) {
        SCOPED_TRACE(caso.texto);
        EstadoCampo campo{QString::fromLatin1(caso.texto)};
        EXPECT_EQ(Valor_Change(campo), caso.trocado);
        EXPECT_EQ(campo.texto, QString::fromLatin1(caso.esperado));
    }
}

TEST(FrValorVirg, RemovesSeparatorsOnly) {
    EXPECT_EQ(frValorVirg(QStringLiteral("12.345,67")), QStringLiteral("1234567"));
    EXPECT_EQ(frValorVirg(QStringLiteral("a.b,c d")), QStringLiteral("abc d"));
    EXPECT_EQ(frValorVirg(QString()), QString());
    EXPECT_EQ(frValorVirg(QString(300, QLatin1Char('1'))).size(), 255);
}

TEST(FieldKeyRules, GrossPriceDiscountAndQuantity) {
    // Gross price: Enter moves two fields on; letters never reach the amount.
    EstadoCampo bruto{QStringLiteral("0,00")};
    EXPECT_EQ(PrecoBruto_KeyPress(bruto, teclas::Enter).tabs, 2);
    PrecoBruto_KeyPress(bruto, 'x');
    PrecoBruto_KeyPress(bruto, '1');
    EXPECT_EQ(bruto.texto, QStringLiteral("0,01"));
    bruto.travado = true;
    EXPECT_EQ(PrecoBruto_KeyPress(bruto, teclas::Enter), ResultadoTecla{});
    PrecoBruto_KeyPress(bruto, teclas::Backspace);
    EXPECT_EQ(bruto.texto, QStringLiteral("0,01")) << "a locked field drops every key";

    // Discount: at most 99,99; Backspace sets "0"; the whole text selected restarts it.
    EstadoCampo desconto{QStringLiteral("0,00")};
    for (char c : {'9', '9', '9', '9', '9'}) Desconto_KeyPress(desconto, c);
    EXPECT_EQ(desconto.texto, QStringLiteral("99,99"));
    Desconto_KeyPress(desconto, teclas::Backspace);
    EXPECT_EQ(desconto.texto, QStringLiteral("0"));
    Valor_Change(desconto);
    EXPECT_EQ(desconto.texto, QStringLiteral("0,00"));

    EstadoCampo cheio{QStringLiteral("15,00"), 0, 5, 5};
    Desconto_KeyPress(cheio, '7');
    EXPECT_EQ(cheio.texto, QStringLiteral("0,07"));
    EstadoCampo cheioApaga{QStringLiteral("15,00"), 0, 5, 5};
    Desconto_KeyPress(cheioApaga, teclas::Backspace);
    EXPECT_EQ(cheioApaga.texto, QStringLiteral("0"));
    EXPECT_EQ(Desconto_KeyPress(cheio, teclas::Enter).tabs, 1);
    EstadoCampo descontoTravado{QStringLiteral("5,00")};
    descontoTravado.travado = true;
    Desconto_KeyPress(descontoTravado, teclas::Backspace);
    EXPECT_EQ(descontoTravado.texto, QStringLiteral("5,00"));

    // Quantity: only digits, Backspace and Enter.
    for (int tecla : {int('0'), int('9'), teclas::Backspace, teclas::Enter}) {
        EXPECT_EQ(Quantidade_KeyPress(tecla), tecla);
    }
    for (int tecla : {int('a'), int(','), int('-'), int(' '), teclas::Apostrofo}) {
        EXPECT_EQ(Quantidade_KeyPress(tecla), teclas::Nenhuma);
    }
}

TEST(TeclaTexto, UpperCaseWithoutApostrophesTypedOrPasted) {
    const struct {
        int tecla, esperado;
    } casos[] = {{'a', 'A'},
                 {'Z', 'Z'},
                 {'5', '5'},
                 {teclas::Apostrofo, 0},
                 {teclas::Enter, teclas::Enter},
                 {teclas::Backspace, teclas::Backspace},
                 {0xE7, 0xC7}};
    EstadoCampo campo;
    for (const auto& c : casos) EXPECT_EQ(TeclaTexto(campo, c.tecla), ResultadoTecla{c.esperado});
    EXPECT_EQ(FiltraTexto(QStringLiteral("d'agua ação 1-2")), QStringLiteral("DAGUA AÇÃO 1-2"));
    EXPECT_EQ(FiltraTexto(QStringLiteral("''")), QString());
}

// "." where a key does not confirm the card, "C" where it does; "\r" is Enter.
TEST(LeitorCartaoTeclado, EnterSequencesResetAndModeChange) {
    using Modo = LeitorCartaoTeclado::Modo;
    const struct {
        Modo modo;
        const char *teclas, *marcas;
    } casos[] = {
        {Modo::Digitacao, "1234\r", "....C"},             // a typed card confirms on its Enter
        {Modo::Digitacao, "\r\r\r", "CCC"},               // every typed Enter confirms
        {Modo::Leitura, ";123=4\r;99\r", "..........C"},  // the reader on its second Enter
        {Modo::Leitura, "\r\r\r\r", ".C.C"},              // the count restarts
        {Modo::Leitura, "\r12345\r", "......C"},          // other keys do not count
    };
    for (const auto& c : casos) {
        LeitorCartaoTeclado leitor;
        std::string marcas;
        for (const char* t = c.teclas; *t; ++t) marcas += leitor.tecla(*t, c.modo) ? 'C' : '.';
        EXPECT_EQ(marcas, c.marcas) << c.teclas;
    }
    LeitorCartaoTeclado leitor;
    EXPECT_FALSE(leitor.tecla('\r', Modo::Leitura));
    leitor.reinicia();
    EXPECT_FALSE(leitor.tecla('\r', Modo::Leitura)) << "a cleared screen starts counting again";
    // Switching to typing confirms at once and forgets the half-read card.
    EXPECT_TRUE(leitor.tecla('\r', Modo::Digitacao));
    EXPECT_EQ(leitor.entersContados(), 0);
    EXPECT_FALSE(leitor.tecla('\r', Modo::Leitura));
}

}  // namespace
}  // namespace ql
