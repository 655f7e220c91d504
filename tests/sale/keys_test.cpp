#include <gtest/gtest.h>

#include "sale/keys/card_reader_keys.h"
#include "sale/keys/money_entry.h"
#include "sale/keys/text_keys.h"

namespace ql {
namespace {

// Keys of a sequence: digits and letters as typed, "<" Backspace, "\r" Enter.
int codigo(QChar c) {
    return c == QLatin1Char('<') ? teclas::Backspace : c.unicode();
}

TEST(MoneyKeys, TypedFromTheRightPerBox) {
    using Tratador = ResultadoTecla (*)(EstadoCampo&, int);
    const Tratador valor = Valor_KeyPress, bruto = PrecoBruto_KeyPress,
                   desconto = Desconto_KeyPress;
    const struct {
        Tratador tratador;
        const char* inicial;
        int selecao;  // characters selected from the start
        bool travado;
        const char *teclas, *esperado;
        int tabs;
    } casos[] = {
        {valor, "0,00", 0, false, "1234567", "12.345,67", 0},
        {valor, "0,00", 0, false, "12345678", "12.345,67", 0},  // eighth digit: nine characters
        {valor, "1.234,56", 0, false, "<", "0,00", 0},          // Backspace resets
        {valor, "0,00", 0, false, "1a-,.2'", "0,12", 0},  // letters, signs, apostrophe dropped
        {valor, "3,21", 0, false, "\r", "3,21", 1},       // Enter asks for a tab
        {valor, "999,99", 0, false, "9", "9.999,99", 0},
        {valor, "R$ 1,50", 0, false, "0", "15,00", 0},  // pasted letters: the digits kept
        {valor, "", 0, false, "8", "0,08", 0},
        {valor, "45,67", 5, false, "3", "0,03", 0},    // a selection starts a new amount...
        {valor, "45,67", 1, false, "3", "456,73", 0},  // ...one character does not
        {valor, "1,00", 0, true, "9\r", "1,00", 1},    // locked: Enter still moves on
        {valor, "123.456,78", 0, false, "1", "123.456,78", 0},  // longer (pasted): left alone
        {bruto, "0,00", 0, false, "x1\r", "0,01", 2},           // Enter moves two boxes on
        {bruto, "0,01", 0, true, "\r<", "0,01", 0},             // locked: every key dropped
        {desconto, "0,00", 0, false, "99999", "99,99", 0},      // at most 99,99
        {desconto, "99,99", 0, false, "<", "0", 0},             // Backspace sets "0"
        {desconto, "15,00", 5, false, "7", "0,07", 0},
        {desconto, "5,00", 0, true, "<", "5,00", 0},
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(std::string(c.inicial) + " + " + c.teclas);
        EstadoCampo campo{QString::fromUtf8(c.inicial), 0, c.selecao, c.selecao};
        campo.travado = c.travado;
        int tabs = 0;
        for (QChar k : QString::fromLatin1(c.teclas)) {
            const ResultadoTecla r = c.tratador(campo, codigo(k));
            EXPECT_EQ(r.tecla, teclas::Nenhuma) << "every key is consumed";
            tabs += r.tabs;
        }
        EXPECT_EQ(campo.texto, QString::fromUtf8(c.esperado));
        EXPECT_EQ(tabs, c.tabs);
        if (!c.travado && c.tratador == valor) {
            EXPECT_EQ(campo.cursor, campo.texto.size());
        }
    }
}

TEST(MoneyTexts, ShortTextsBecomeHundredthsAndSeparatorsGo) {
    const struct {
        const char* texto;
        const char* esperado;
        bool trocado;
    } casos[] = {
        {"", "0,00", true},  {"0", "0,00", true},  {"5", "0,05", true},   {"12", "0,12", true},
        {"a", "0,00", true}, {",5", "0,05", true}, {"123", "123", false}, {"0,00", "0,00", false},
    };
    for (const auto& caso : casos) {
        SCOPED_TRACE(caso.texto);
        EstadoCampo campo{QString::fromLatin1(caso.texto)};
        EXPECT_EQ(Valor_Change(campo), caso.trocado);
        EXPECT_EQ(campo.texto, QString::fromLatin1(caso.esperado));
    }
    EXPECT_EQ(frValorVirg(QStringLiteral("a.b,c d")), QStringLiteral("abc d"));
    EXPECT_EQ(frValorVirg(QString(300, QLatin1Char('1'))).size(), 255);
}

// One key as a text box gets it (the key filter, also the search by name: ";" and "=" would add
// fields to a text-form request), and as the search by code and a quantity box get it.
TEST(KeyFilters, TextBoxesUpperCaseAndDropSeparatorsNumericBoxesTakeDigitsOnly) {
    const struct {
        int tecla, texto, soDigitos, quantidade;
    } casos[] = {
        {'a', 'A', 0, 0},    {'0', '0', '0', '0'}, {'9', '9', '9', '9'}, {'/', '/', 0, 0},
        {':', ':', 0, 0},    {',', ',', 0, 0},     {';', 0, 0, 0},       {'=', 0, 0, 0},
        {39, 0, 0, 0},       {13, 13, 13, 13},     {8, 8, 8, 8},         {27, 27, 27, 0},
        {0xE7, 0xC7, 0, 0},  // ç -> Ç; ÿ -> Ÿ in the code the text box holds, ß stays
        {0xFF, 0x178, 0, 0}, {0xDF, 0xDF, 0, 0},   {-1, -1, 0, 0},       {0x1F600, 0x1F600, 0, 0},
    };
    for (const auto& c : casos) {
        EXPECT_EQ(Pesquisa_KeyPress(c.tecla, false), c.texto) << c.tecla;
        EXPECT_EQ(Pesquisa_KeyPress(c.tecla, true), c.soDigitos) << c.tecla;
        EXPECT_EQ(Quantidade_KeyPress(c.tecla), c.quantidade) << c.tecla;
    }
    // Pasted text goes through the same filter character by character.
    EXPECT_EQ(FiltraTexto(QStringLiteral("d'agua ação 1-2;902-000=7")),
              QStringLiteral("DAGUA AÇÃO 1-2902-0007"));
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
