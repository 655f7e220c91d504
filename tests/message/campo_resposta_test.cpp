#include <gtest/gtest.h>

#include "host/framing.h"
#include "message/campo_resposta.h"
#include "message/iso8583.h"
#include "message/mensagem.h"
#include "qstring_printer.h"
#include "support/test_context.h"

namespace ql {
namespace {

// The ISO answer written from its text form.
QString respostaIso(const QString& texto) {
    Mensagem m;
    for (const CampoTexto& c : parseText(texto)) m.add(c.tag, c.valor);
    return writeIso(m);
}

TEST(CampoTexto, ReadsFirstOccurrenceUpToTheSemicolon) {
    struct Caso {
        const char* resposta;
        const char* tag;
        const char* esperado;
        bool malformado;
    };
    const Caso casos[] = {
        {"000-000=0110;009-000=00;030-000=;", "009-000", "00", false},
        {"000-000=0110;009-000=00;030-000=;", "030-000", "", false},
        {"000-000=0110;009-000=00;030-000=;", "012-000", "", false},
        {"030-000=primeiro;030-000=segundo;", "030-000", "primeiro", false},
        {"000-000=0110;029-000=  LINHA  ;", "029-000", "  LINHA  ", false},
        {"000-000=0110;009-000=00", "009-000", "", true},
        {"000-000=0110;009-000;", "009-000", "", true},
        {"000-000=0110;009-000=00;", "09-000", "0", false},
    };
    for (const Caso& c : casos) {
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
    ASSERT_EQ(t.boxes.shown().size(), 1u);
    EXPECT_EQ(t.boxes.last().text, "Ocorreu o erro: 5 - Invalid procedure call or argument");
    EXPECT_EQ(t.boxes.last().title, "ATENÇÃOGetCampo");
}

TEST(CampoIso, ProductRecordsOfElement63FollowTheAnswerKey) {
    struct Caso {
        const char* tipo;
        const char* processamento;
        const char* linhas;  // field 028-000, read first
        const char* tag;
        int posicao;  // 1-based in element 63; 0 = the whole element
        int tamanho;
    };
    const Caso casos[] = {
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
    for (const Caso& c : casos) {
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
    EXPECT_EQ(isoField(erro, u"009-000", linhas), "");
    EXPECT_EQ(isoField(erro, u"900-000", linhas), "");
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
