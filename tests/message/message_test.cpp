// The message layer: the text form, the ISO form and reading fields of the host's answers.
#include <gtest/gtest.h>

#include <tuple>
#include <utility>
#include <vector>

#include "host/framing.h"
#include "message/campo_resposta.h"
#include "message/iso8583.h"
#include "message/mensagem.h"
#include "shell/text_files.h"
#include "support/qstring_printer.h"
#include "support/test_context.h"

namespace ql {
namespace {

using Campos = std::vector<std::pair<QString, QString>>;

Mensagem mensagemDe(const QString& texto) {
    Mensagem m;
    for (const CampoTexto& c : parseText(texto)) m.add(c.tag, c.valor);
    return m;
}
QString respostaIso(const QString& texto) {
    return writeIso(mensagemDe(texto));
}
// ISO text written with blanks between type, bitmap and elements, for reading.
QString iso(const char* partes) {
    return QString::fromLatin1(partes).remove(QLatin1Char(' '));
}

TEST(MensagemTexto, WritesFieldsInOrderAddedWithFixedTags) {
    const std::pair<Campos, QString> casos[] = {
        {{{"000-000", ""}}, "000-000=-1;"},  // a fresh message shows its placeholder
        {{{"000-000", ""}, {"011-000", "800000"}}, "011-000=800000;"},
        {{{"000-000", "0110"}, {"009-000", ""}, {"012-000", "42"}}, "000-000=0110;012-000=42;"},
        {{{"000-000", "0100"}, {"011-000", "800000"}, {"000-000", "0200"}}, "000-000=0200;"},
        // Short tag padded, long tag cut, values not escaped.
        {{{"000-000", "0100"}, {"12-0", "a"}, {"011-0001", "b"}, {"030-000", "x;y=z"}},
         "000-000=0100;12-0   =a;011-000=b;030-000=x;y=z;"},
    };
    for (const auto& [campos, esperado] : casos) {
        Mensagem m;
        for (const auto& [tag, valor] : campos) m.add(tag, valor);
        EXPECT_EQ(writeText(m), esperado);
    }
}

TEST(MensagemTexto, TwoThousandFieldLimitIsReportedAndNothingIsLost) {
    test::TestContext t;
    AdicionaCampo(t.ctx, "000-000", "0100");
    // A value longer than a 16-bit length can hold is refused the same way.
    AdicionaCampo(t.ctx, "030-000", QString(40000, QLatin1Char('x')));
    EXPECT_EQ(t.boxes.texts(), QStringList{"Ocorreu o erro: 6 - Estouro"});
    EXPECT_EQ(t.ctx.mensagem.count(), 1);
    t.boxes.clear();
    for (int i = 1; i < Mensagem::kMaxCampos; ++i)
        AdicionaCampo(t.ctx, QStringLiteral("902-%1").arg(i % 1000, 3, 10, QLatin1Char('0')), "1");
    EXPECT_EQ(t.ctx.mensagem.count(), 2000);
    AdicionaCampo(t.ctx, "903-000", "");  // empty: silently ignored even when full
    EXPECT_TRUE(t.boxes.empty());
    EXPECT_EQ(t.ctx.mensagem.no(2000).chaveKY9 + t.ctx.mensagem.no(-1).chaveKY9, "");
    AdicionaCampo(t.ctx, "903-000", "x");
    EXPECT_EQ(t.ctx.mensagem.count(), 2000);
    EXPECT_EQ(t.boxes.texts(), QStringList{"Ocorreu o erro: 9 - Subscrito fora do intervalo"});
    EXPECT_TRUE(t.boxes.last().title.endsWith("AdicionaCampo"));
    EXPECT_FALSE(MontaMensagemTexto(t.ctx).contains("903-000"));
    // A new message starts over with room for 2000 fields again.
    AdicionaCampo(t.ctx, "000-000", "0200");
    EXPECT_EQ(MontaMensagemTexto(t.ctx), "000-000=0200;");
}

TEST(MensagemTexto, ParseSplitsTextFormAndFlagsBrokenPieces) {
    const std::tuple<QString, Campos, bool> casos[] = {
        {"000-000=0110;009-000=00;030-000=;",
         {{"000-000", "0110"}, {"009-000", "00"}, {"030-000", ""}},
         true},
        {"", {}, true},
        {"000-000=0110;940-000=a=b;", {{"000-000", "0110"}, {"940-000", "a=b"}}, true},
        {"000-000=0110;lixo;009-000=00;", {{"000-000", "0110"}, {"009-000", "00"}}, false},
        {"000-000=0110;009-000=00", {{"000-000", "0110"}, {"009-000", "00"}}, false},
    };
    for (const auto& [texto, esperado, valido] : casos) {
        SCOPED_TRACE(texto.toStdString());
        bool ok = !valido;
        Campos campos;
        for (const auto& campo : parseText(texto, &ok)) campos.emplace_back(campo.tag, campo.valor);
        EXPECT_EQ(ok, valido);
        EXPECT_EQ(campos, esperado);
    }
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
    // The element of a field and its length code and type answer only inside 1 to 64.
    EXPECT_EQ(BitIsoDoCampo("902-011"), 63);
    EXPECT_EQ(BitIsoDoCampo("90"), 0);  // too short to hold a field number
    EXPECT_EQ(TamanhoBitIso(63) + TipoBitIso(64), "3LA");
    EXPECT_EQ(TamanhoBitIso(0) + TamanhoBitIso(65) + TipoBitIso(0) + TipoBitIso(65), "");
}

TEST(Iso8583Leitura, ExtractsEveryElementOfWrittenMessage) {
    const QString escrita = respostaIso(
        "000-000=0200;011-000=800300;001-000=001111;040-000=TICKETS;012-000=000000000042;"
        "940-000=003;942-000=ESTAB;941-000=TERM0001;023-000=101500;022-000=1205;002-000=NF123;"
        "900-000=0;901-000=01;902-000=0000000001234;921-000=150;");
    QStringList lidos;
    for (int n : {3, 4, 5, 11, 12, 13, 32, 37, 40, 41, 42, 44, 60, 63, 0, -1, 65})
        lidos << ExtraiBitIso(n, escrita);
    EXPECT_EQ(lidos,
              QStringList({"800300", "", "000000000150", "001111", "101500", "1205", "TICKETS",
                           "000000000042", "003", "TERM0001", "ESTAB          ", "NF123", "001",
                           "0000000001234", "", "Tamanho Inválido", "Tamanho Inválido"}));
    const MensagemIsoLida lida(escrita);
    EXPECT_TRUE(lida.integra());
    EXPECT_EQ(lida.tipoMensagem(), "0200");
    EXPECT_EQ(lida.presentes(),
              (std::vector<int>{3, 5, 11, 12, 13, 32, 37, 40, 41, 42, 44, 60, 63}));
}

TEST(Iso8583Leitura, DamagedMessagesGiveEmptyOrShortValues) {
    const struct {
        const char *texto, *esperado;
        int n;
        bool integra;
    } casos[] = {
        {"", "", 3, false},
        {"0100202", "", 3, false},                              // bitmap cut short
        {"0100 2000000000000000 8000", "8000", 3, false},       // element cut short
        {"0100 2020000000000000 800000", "", 11, false},        // element past the end
        {"0100 0000000000000010 099abc", "abc", 60, false},     // length past the end
        {"0100 0000000000000010 0x1abc", "", 60, false},        // length not numeric
        {"0100 0000000000000030 0x1abc003xyz", "", 60, false},  // hides later elements
        {"0100 20200000000000G0 800000001111", "", 3, false},   // bitmap not hexadecimal
        {"0100 00000000000000a0 xyz 003abc", "abc", 59, true},  // lower-case bitmap
        {"0100 FFFFFFFFFFFFFFFF 1", "", 64, false},             // bits past the end
        {"0100 0000000000000010 003abc", "abc", 60, true},
    };
    for (const auto& c : casos) {
        EXPECT_EQ(ExtraiBitIso(c.n, iso(c.texto)), c.esperado) << c.texto;
        EXPECT_EQ(MensagemIsoLida(iso(c.texto)).integra(), c.integra) << c.texto;
    }
    // A binary bitmap: bits 3 and 11 in the first two bytes, 57 in the last, which arrives as "€".
    const QString binario =
        fromCp1252("0100" + QByteArray("\x20\x20\0\0\0\0\0\x80", 8) + "800000001111abc");
    EXPECT_EQ(ExtraiBitIso(3, binario, false) + ExtraiBitIso(11, binario, false) + "|" +
                  ExtraiBitIso(57, binario, false) + ExtraiBitIso(4, binario, false),
              "800000001111|abc");
    EXPECT_TRUE(MensagemIsoLida(binario, false).integra());
}

TEST(CampoTexto, ReadsFirstOccurrenceUpToTheSemicolon) {
    const struct {
        const char *resposta, *tag, *esperado;
        bool malformado;
    } casos[] = {
        {"000-000=0110;009-000=00;030-000=;", "009-000", "00", false},
        {"000-000=0110;009-000=00;030-000=;", "030-000", "", false},
        {"000-000=0110;009-000=00;030-000=;", "012-000", "", false},
        {"030-000=primeiro;030-000=segundo;", "030-000", "primeiro", false},
        {"000-000=0110;029-000=  LINHA  ;", "029-000", "  LINHA  ", false},
        {"000-000=0110;009-000=00", "009-000", "", true},
        {"000-000=0110;009-000;", "009-000", "", true},
        {"000-000=0110;009-000=00;", "09-000", "0", false},
        // Amounts and quantities no wider than the ISO layout's 7 and 3 digits.
        {"910-000=0001250;905-002= 999 ;", "905-002", " 999 ", false},
        {"910-000=99999999999999999;", "910-000", "", true},
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(std::string(c.resposta) + " " + c.tag);
        bool malformado = !c.malformado;
        EXPECT_EQ(textField(QString(c.resposta), QString(c.tag), &malformado), c.esperado);
        EXPECT_EQ(malformado, c.malformado);
    }
}

// GetCampo keeps the answer it read; a buffer changed in place, or switched to the other form,
// must be read again. A field without its semicolon is reported.
TEST(CampoTexto, GetCampoRereadsTheBufferAndReportsMissingSemicolon) {
    test::TestContext t;
    t.ctx.bufferMensagem = framing::buildFrame("000-000=0110;009-000=00;");
    EXPECT_EQ(GetCampo(t.ctx, "009-000"), "00");
    t.ctx.bufferMensagem[26] = QLatin1Char('5');
    EXPECT_EQ(GetCampo(t.ctx, "009-000"), "05");
    t.ctx.config.bMsgIso = true;
    EXPECT_EQ(GetCampo(t.ctx, "009-000"), "");
    EXPECT_TRUE(t.boxes.empty());
    t.ctx.config.bMsgIso = false;
    t.ctx.bufferMensagem = framing::buildFrame("000-000=0110;009-000=00");
    EXPECT_EQ(GetCampo(t.ctx, "009-000"), "");
    EXPECT_EQ(t.boxes.texts(),
              QStringList{"Ocorreu o erro: 5 - Argumento ou chamada de procedimento inválida"});
    EXPECT_TRUE(t.boxes.last().title.endsWith("GetCampo"));
}

TEST(CampoIso, ProductRecordsOfElement63FollowTheAnswerKey) {
    const struct {
        const char *tipo, *processamento, *linhas, *tag;  // field 028-000 is read first
        int posicao, tamanho;                             // 1-based in element 63; 0 = whole
    } casos[] = {
        {"0200", "800400", "00", "902-000", 1, 13},  {"0200", "800400", "00", "906-001", 32, 1},
        {"0200", "800400", "00", "905-002", 51, 3},  {"0200", "800400", "00", "910-000", 0, 0},
        {"0100", "800200", "00", "911-000", 25, 7},  {"0100", "800200", "00", "914-001", 80, 16},
        {"0100", "800200", "00", "910-002", 114, 7}, {"0210", "800400", "00", "902-001", 21, 13},
        {"0210", "800400", "00", "919-003", 78, 2},  {"0110", "800200", "02", "902-000", 81, 13},
        {"0110", "800200", "02", "919-001", 169, 2}, {"0110", "800500", "00", "909-001", 84, 5},
        {"0200", "800300", "01", "912-000", 72, 7},  {"0210", "800300", "03", "906-002", 224, 1},
        {"0110", "800100", "00", "902-001", 83, 13}, {"0110", "800100", "00", "904-000", 34, 20},
        {"0110", "800100", "00", "919-001", 163, 2}, {"0110", "800100", "00", "990-000", 0, 0},
        {"0110", "800300", "00", "902-001", 0, 0},   {"0200", "800400", "00", "902-099", 1783, 13},
    };
    // Element 63 content in which every 13-character window is different.
    const QString alfabeto = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    QString elemento63;
    for (int i = 0; i < 300; ++i) elemento63 += alfabeto[(i * 7 + i / 62) % 62];
    for (const auto& c : casos) {
        SCOPED_TRACE(std::string(c.tipo) + c.processamento + " " + c.tag);
        const QString resposta =
            respostaIso(QStringLiteral("000-000=%1;011-000=%2;009-000=00;900-000=0;901-000=02;"
                                       "028-000=%3;005-000=%4;")
                            .arg(c.tipo, c.processamento, c.linhas, elemento63));
        int linhas = -1;
        EXPECT_EQ(isoField(resposta, u"028-000", linhas), c.linhas);
        EXPECT_EQ(isoField(resposta, QString(c.tag), linhas),
                  c.posicao == 0 ? elemento63 : elemento63.mid(c.posicao - 1, c.tamanho));
    }
}

TEST(CampoIso, GetCampoReadsReceiptLinesAndElement60) {
    test::TestContext t;
    t.ctx.config.bMsgIso = true;
    const QString linha1 = "  FARMACIA CENTRAL LTDA               ";
    const QString linha2 = "  TOTAL R$ 12,50                      ";
    t.ctx.bufferMensagem = framing::buildFrame(
        respostaIso("000-000=0210;011-000=800300;009-000=00;012-000=000000123456;900-000=1;"
                    "901-000=12;028-000=02;029-000=" +
                    linha1 + ";029-001=" + linha2 + ";030-000=APROVADA;"));
    const std::pair<const char*, QString> esperados[] = {
        {"009-000", "00"},      {"012-000", "000000123456"},
        {"900-000", "1"},       {"901-000", "12"},
        {"028-000", "02"},      {"029-000", linha1},
        {"029-001", linha2},    {"029-002", ""},
        {"007-000", "11202"},   {"000-000", ""},
        {"030-000", "APROVADA"}};
    for (const auto& [tag, valor] : esperados) EXPECT_EQ(GetCampo(t.ctx, tag), valor) << tag;
    EXPECT_EQ(t.ctx.qtdLinhasRecibo, 2);
    EXPECT_TRUE(t.boxes.empty());
    // No element 60: the count reads empty and the receipt line count goes back to 0.
    t.ctx.bufferMensagem = framing::buildFrame(respostaIso("000-000=0210;009-000=00;"));
    EXPECT_EQ(GetCampo(t.ctx, "028-000"), "");
    EXPECT_EQ(t.ctx.qtdLinhasRecibo, 0);
}

TEST(CampoIso, FormattingErrorAndDamagedAnswersReadEmpty) {
    int linhas = 4;
    const QString erro = respostaIso(QStringLiteral("000-000=0110;009-000=96;900-000=") +
                                     kErroFormatacao + QLatin1Char(';'));
    EXPECT_EQ(isoField(erro, u"009-000", linhas) + isoField(erro, u"900-000", linhas), "");
    EXPECT_EQ(linhas, 4);
    for (const char* d :
         {"", "0110", "0110ZZZZ", "0110FFFFFFFFFFFFFFFF123", "0110000000000000003F9999"})
        for (const char* tag : {"009-000", "028-000", "029-005", "902-011", "030-000"})
            EXPECT_EQ(isoField(QString(d), QString(tag), linhas), "") << d << " " << tag;
    EXPECT_EQ(answerWithoutFrame("   "), "");
    EXPECT_EQ(answerWithoutFrame("0006LOGIN|   "), "LOGIN|");
}

}  // namespace
}  // namespace ql
