#include <gtest/gtest.h>

#include <vector>

#include "message/iso8583.h"
#include "message/mensagem.h"
#include "qstring_printer.h"
#include "shell/text_files.h"

namespace ql {
namespace {

// A message from its text form.
Mensagem mensagemDe(const QString& texto) {
    Mensagem m;
    for (const CampoTexto& c : parseText(texto)) m.add(c.tag, c.valor);
    return m;
}

// ISO text written with blanks between type, bitmap and elements, for reading.
QString iso(const char* partes) {
    return QString::fromLatin1(partes).remove(QLatin1Char(' '));
}

// The writing rules no transaction's own layout shows (those are checked byte for byte with
// each transaction): type, bitmap, then the elements.
TEST(Iso8583Escrita, WritesTypeBitmapAndElementsInOrder) {
    const std::pair<const char*, const char*> casos[] = {
        // Fixed numeric padded with zeros; a longer fixed value written whole.
        {"000-000=0100;921-000=150;011-000=8000001;", "0100 2800000000000000 8000001 000000000150"},
        // Unmapped and malformed tags left out.
        {"000-000=0100;013-000=1;9x0-000=1;90=1;011-000=800000;", "0100 2000000000000000 800000"},
        // Products concatenated in element 63 in the order added.
        {"000-000=0200;902-000=0000000000001;906-000=C;905-000=002;902-001=0000000000002;",
         "0200 0000000000000002 030 0000000000001C002 0000000000002"},
        {"000-000=;", "-1 0000000000000000"},  // a fresh message
    };
    for (const auto& [texto, esperado] : casos)
        EXPECT_EQ(writeIso(mensagemDe(texto)), iso(esperado)) << texto;

    // Without the hexadecimal flag each group of four bits is one character of that code.
    EXPECT_EQ(writeIso(mensagemDe("000-000=0100;011-000=800000;001-000=001111;"), false),
              QStringLiteral("0100") + QChar(2) + QChar(0) + QChar(2) + QString(13, QChar(0)) +
                  "800000001111");
}

TEST(Iso8583Leitura, ExtractsEveryElementOfWrittenMessage) {
    const QString escrita = writeIso(mensagemDe(
        "000-000=0200;011-000=800300;001-000=001111;040-000=TICKETS;012-000=000000000042;"
        "940-000=003;942-000=ESTAB;941-000=TERM0001;023-000=101500;022-000=1205;002-000=NF123;"
        "900-000=0;901-000=01;902-000=0000000001234;921-000=150;"));
    const std::pair<int, QString> esperados[] = {{3, "800300"},
                                                 {4, ""},
                                                 {5, "000000000150"},
                                                 {11, "001111"},
                                                 {12, "101500"},
                                                 {13, "1205"},
                                                 {32, "TICKETS"},
                                                 {37, "000000000042"},
                                                 {40, "003"},
                                                 {41, "TERM0001"},
                                                 {42, "ESTAB          "},
                                                 {44, "NF123"},
                                                 {60, "001"},
                                                 {63, "0000000001234"},
                                                 {0, ""},
                                                 {-1, "Tamanho Inválido"},
                                                 {65, "Tamanho Inválido"}};
    for (const auto& [n, valor] : esperados) EXPECT_EQ(ExtraiBitIso(n, escrita), valor) << n;

    const MensagemIsoLida lida(escrita);
    EXPECT_TRUE(lida.integra());
    EXPECT_EQ(lida.tipoMensagem(), "0200");
    EXPECT_EQ(lida.presentes(),
              (std::vector<int>{3, 5, 11, 12, 13, 32, 37, 40, 41, 42, 44, 60, 63}));
}

TEST(Iso8583Leitura, DamagedMessagesGiveEmptyOrShortValues) {
    struct Caso {
        const char* texto;
        int n;
        const char* esperado;
        bool integra;
    };
    const Caso casos[] = {
        {"", 3, "", false},
        {"0100202", 3, "", false},                              // bitmap cut short
        {"0100 2000000000000000 8000", 3, "8000", false},       // element cut short
        {"0100 2020000000000000 800000", 11, "", false},        // element past the end
        {"0100 0000000000000010 099abc", 60, "abc", false},     // length past the end
        {"0100 0000000000000010 0x1abc", 60, "", false},        // length not numeric
        {"0100 0000000000000030 0x1abc003xyz", 60, "", false},  // hides later elements
        {"0100 20200000000000G0 800000001111", 3, "", false},   // bitmap not hexadecimal
        {"0100 00000000000000a0 xyz 003abc", 59, "abc", true},  // lower-case bitmap
        {"0100 FFFFFFFFFFFFFFFF 1", 64, "", false},             // bits past the end
        {"0100 0000000000000010 003abc", 60, "abc", true},
    };
    for (const Caso& c : casos) {
        EXPECT_EQ(ExtraiBitIso(c.n, iso(c.texto)), c.esperado) << c.texto;
        EXPECT_EQ(MensagemIsoLida(iso(c.texto)).integra(), c.integra) << c.texto;
    }
}

TEST(Iso8583Leitura, BinaryBitmapStartsElementsAfterEightCharacters) {
    // Bits 3 and 11 in the first two bytes; bit 57 in the last, a byte that arrives as "€".
    const QString texto =
        fromCp1252("0100" + QByteArray("\x20\x20\0\0\0\0\0\x80", 8) + "800000001111abc");
    EXPECT_EQ(ExtraiBitIso(3, texto, false), "800000");
    EXPECT_EQ(ExtraiBitIso(11, texto, false), "001111");
    EXPECT_EQ(ExtraiBitIso(57, texto, false), "abc");
    EXPECT_EQ(ExtraiBitIso(4, texto, false), "");
    EXPECT_TRUE(MensagemIsoLida(texto, false).integra());
}

}  // namespace
}  // namespace ql
