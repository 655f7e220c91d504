#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "message/campo_resposta.h"
#include "message/iso8583.h"
#include "message/mensagem.h"
#include "qstring_printer.h"
#include "support/test_context.h"

namespace ql {
namespace {

// The answer as the host link leaves it in the message buffer.
QString emQuadro(const QString& resposta) {
    return QStringLiteral("%1").arg(resposta.size(), 4, 10, QLatin1Char('0')) + resposta +
           QString(3072 - 4 - resposta.size(), QLatin1Char(' '));
}

QString respostaIso(const std::vector<std::pair<QString, QString>>& campos) {
    Mensagem m;
    for (const auto& [tag, valor] : campos) m.add(tag, valor);
    return writeIso(m);
}

// Element 63 content in which every 13-character window is different.
QString produtos() {
    const QString alfabeto = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    QString s;
    for (int i = 0; i < 300; ++i) s += alfabeto[(i * 7 + i / 62) % 62];
    return s;
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
        bool malformado = !c.malformado;
        EXPECT_EQ(textField(QString(c.resposta), QString(c.tag), &malformado), c.esperado)
            << c.resposta << " " << c.tag;
        EXPECT_EQ(malformado, c.malformado) << c.resposta << " " << c.tag;
    }
}

TEST(CampoTexto, GetCampoSearchesTheFramedBufferAndReportsMissingSemicolon) {
    test::TestContext t;
    t.ctx.bufferMensagem = emQuadro("000-000=0110;009-000=00;030-000=;028-000=03;");
    EXPECT_EQ(GetCampo(t.ctx, "009-000"), "00");
    EXPECT_EQ(GetCampo(t.ctx, "028-000"), "03");
    EXPECT_EQ(GetCampo(t.ctx, "029-000"), "");
    EXPECT_TRUE(t.boxes.empty());

    t.ctx.bufferMensagem = emQuadro("000-000=0110;009-000=00");
    EXPECT_EQ(GetCampo(t.ctx, "009-000"), "");
    ASSERT_EQ(t.boxes.shown().size(), 1u);
    EXPECT_EQ(t.boxes.last().text, "Ocorreu o erro: 5 - Invalid procedure call or argument");
    EXPECT_EQ(t.boxes.last().title, "ATENÇÃOGetCampo");
}

// GetCampo keeps the answer it read; a buffer changed in place, or switched to the other form,
// must be read again.
TEST(CampoTexto, GetCampoRereadsABufferChangedInPlaceOrInTheOtherForm) {
    test::TestContext t;
    t.ctx.bufferMensagem = emQuadro("000-000=0110;009-000=00;");
    EXPECT_EQ(GetCampo(t.ctx, "009-000"), "00");
    t.ctx.bufferMensagem[26] = QLatin1Char('5');
    EXPECT_EQ(GetCampo(t.ctx, "009-000"), "05");
    t.ctx.config.bMsgIso = true;
    EXPECT_EQ(GetCampo(t.ctx, "009-000"), "");
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
    const QString elemento63 = produtos();
    for (const Caso& c : casos) {
        const QString resposta = respostaIso({{"000-000", c.tipo},
                                              {"011-000", c.processamento},
                                              {"009-000", "00"},
                                              {"900-000", "0"},
                                              {"901-000", "02"},
                                              {"028-000", c.linhas},
                                              {"005-000", elemento63}});
        int linhas = -1;
        EXPECT_EQ(isoField(resposta, u"028-000", linhas), c.linhas);
        const QString esperado =
            c.posicao == 0 ? elemento63 : elemento63.mid(c.posicao - 1, c.tamanho);
        EXPECT_EQ(isoField(resposta, QString(c.tag), linhas), esperado)
            << c.tipo << c.processamento << " " << c.tag;
    }
}

TEST(CampoIso, GetCampoReadsReceiptLinesAndElement60) {
    test::TestContext t;
    t.ctx.config.bMsgIso = true;
    const QString linha1 = "  FARMACIA CENTRAL LTDA               ";
    const QString linha2 = "  TOTAL R$ 12,50                      ";
    t.ctx.bufferMensagem = emQuadro(respostaIso({{"000-000", "0210"},
                                                 {"011-000", "800300"},
                                                 {"009-000", "00"},
                                                 {"012-000", "000000123456"},
                                                 {"900-000", "1"},
                                                 {"901-000", "12"},
                                                 {"028-000", "02"},
                                                 {"029-000", linha1},
                                                 {"029-001", linha2},
                                                 {"030-000", "APROVADA"}}));
    t.ctx.qtdLinhasRecibo = 0;
    const std::pair<const char*, QString> esperados[] = {
        {"009-000", "00"},       {"012-000", "000000123456"},
        {"900-000", "1"},        {"901-000", "12"},
        {"028-000", "02"},       {"029-000", linha1},
        {"029-001", linha2},     {"029-002", ""},
        {"007-000", "11202"},    {"000-000", ""},
        {"030-000", "APROVADA"},
    };
    for (const auto& [tag, valor] : esperados) EXPECT_EQ(GetCampo(t.ctx, tag), valor) << tag;
    EXPECT_EQ(t.ctx.qtdLinhasRecibo, 2);
    EXPECT_TRUE(t.boxes.empty());

    // No element 60: the count reads empty and the receipt line count goes back to 0.
    t.ctx.bufferMensagem = emQuadro(respostaIso({{"000-000", "0210"}, {"009-000", "00"}}));
    EXPECT_EQ(GetCampo(t.ctx, "028-000"), "");
    EXPECT_EQ(t.ctx.qtdLinhasRecibo, 0);
}

TEST(CampoIso, FormattingErrorAndDamagedAnswersReadEmpty) {
    int linhas = 4;
    const QString erro =
        respostaIso({{"000-000", "0110"}, {"009-000", "96"}, {"900-000", kErroFormatacao}});
    EXPECT_EQ(isoField(erro, u"009-000", linhas), "");
    EXPECT_EQ(isoField(erro, u"900-000", linhas), "");
    EXPECT_EQ(linhas, 4);

    const QString danificadas[] = {"", "0110", "0110ZZZZ", "0110FFFFFFFFFFFFFFFF123",
                                   "0110000000000000003F9999"};
    for (const QString& d : danificadas)
        for (const char* tag : {"009-000", "028-000", "029-005", "902-011", "030-000"})
            EXPECT_EQ(isoField(d, QString(tag), linhas), "") << d.toStdString() << tag;
    EXPECT_EQ(answerWithoutFrame("   "), "");
    EXPECT_EQ(answerWithoutFrame("0006LOGIN|   "), "LOGIN|");
}

}  // namespace
}  // namespace ql
