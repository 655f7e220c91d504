#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include <functional>
#include <map>

#include "shell/ini_access.h"
#include "shell/profile_file.h"
#include "shell/settings.h"
#include "shell/text_files.h"
#include "support/test_context.h"

namespace ql {
namespace {

using Keys = std::map<QString, QString>;
const QString kRemove = QStringLiteral("<remove>");

// The three settings files of a store, written into the test's folder: WINQLNCORE.ini in the
// program directory, QlnClient.ini and CORE.ini in Path Server (the folder itself) and a second
// CORE.ini in Path CORE (a subfolder).
struct Store {
    test::TestContext t;
    QString coreDir = t.path(QStringLiteral("core"));
    std::map<QString, Keys> files;  // file -> section "|" key -> value; absent = no file

    Store() {
        QDir().mkpath(coreDir);
        files[QStringLiteral("WINQLNCORE.ini")] = {
            {QStringLiteral("CORE|Path Server"), t.dir.path()},
            {QStringLiteral("CORE|Path CORE"), coreDir}};
        files[QStringLiteral("QlnClient.ini")] = {
            {QStringLiteral("DADOS_GERAIS|TimeOut_Login"), QStringLiteral("30")},
            {QStringLiteral("DADOS_GERAIS|bMsgIso"), QStringLiteral("N")}};
        files[QStringLiteral("CORE.ini")] = {
            {QStringLiteral("CONFIG|ESTAB_CODE"), QStringLiteral("E1")}};
        files[QStringLiteral("core/CORE.ini")] = {};
        // Whatever the test machine has there must not be read.
        t.ctx.config = EstruturaPrincipal();
        t.ctx.config.TipoLog = QStringLiteral("M");
        t.ctx.config.TituloMensagem = QStringLiteral("before loading");
    }

    void set(const char* file, const char* sectionKey, const QString& value) {
        Keys& keys = files[QString::fromLatin1(file)];
        if (value == kRemove) {
            keys.erase(QString::fromLatin1(sectionKey));
        } else {
            keys[QString::fromLatin1(sectionKey)] = value;
        }
    }

    void write() {
        for (const auto& [name, keys] : files) {
            // Keys sorted by "section|key" come grouped by section.
            QString text;
            QString section;
            for (const auto& [sectionKey, value] : keys) {
                const QStringList parts = sectionKey.split(u'|');
                if (parts[0] != section) {
                    section = parts[0];
                    text += u'[' + section + QStringLiteral("]\r\n");
                }
                text += parts[1] + u'=' + value + QStringLiteral("\r\n");
            }
            t.writeFile(name, text);
        }
    }
};

TEST(SetaEstruturaPrincipal, LoadsEverySettingWithItsDefaultsAndFallbacks) {
    Store s;
    s.write();
    ASSERT_TRUE(SetaEstruturaPrincipal(s.t.ctx));
    const EstruturaPrincipal& c = s.t.ctx.config;
    EXPECT_EQ(c.PathServer, s.t.dir.path());
    EXPECT_EQ(c.PathCORE, s.coreDir);
    EXPECT_EQ(c.TipoLog, QStringLiteral("M"));
    EXPECT_EQ(c.TituloMensagem, QStringLiteral("ATENÇÃO"));
    EXPECT_EQ(c.ESTAB_CODE, QStringLiteral("E1"));
    EXPECT_EQ(c.Terminal, QStringLiteral("R4T7N2AK"));
    EXPECT_EQ(c.TimeOut_Login, 30);
    EXPECT_FALSE(c.bMsgIso);
    EXPECT_EQ(c.TIPOESTAB_Default, 1);
    EXPECT_FALSE(c.bIdentificaCartao_DS);
    EXPECT_EQ(c.FILEAUX, QString());
    EXPECT_EQ(c.Msg_Approval, QString());
    EXPECT_EQ(c.AlertaValBr_Id, QStringLiteral("NNN"));
    EXPECT_EQ(c.AlertaDesc_Id, QStringLiteral("NNN"));
    EXPECT_EQ(c.LayoutArquivo, 0);
    EXPECT_EQ(c.Cod_Processamento_Pre_Venda, QString());
    EXPECT_EQ(c.LEITOR_TYPE, 0);
    EXPECT_EQ(c.HOST_LINK, QStringLiteral("embedded"));
    EXPECT_EQ(c.HOST_TIMEOUT_MS, 30000);
    EXPECT_EQ(c.HOST_CA, QString());
    EXPECT_EQ(c.PRINTER, QString());
    EXPECT_EQ(s.t.ctx.TipoEstab, 1);
    EXPECT_TRUE(s.t.boxes.empty());
}

TEST(SetaEstruturaPrincipal, EachSettingIsReadCheckedAndStoredAsConfigured) {
    using Check = std::function<void(const Context&)>;
    struct Case {
        const char* name;
        const char* file;
        const char* sectionKey;
        QString value;  // kRemove drops the key
        bool loads;
        Check check;
    };
    auto str = [](auto member, const char* expected) -> Check {
        return [member, expected](const Context& ctx) {
            EXPECT_EQ(ctx.config.*member, QString::fromUtf8(expected));
        };
    };
    using E = EstruturaPrincipal;
    const Case cases[] = {
        {"TipoLog Log counts as L", "QlnClient.ini", "DADOS_GERAIS|TipoLog", "Log", true,
         str(&E::TipoLog, "L")},
        {"TipoLog lower case m", "QlnClient.ini", "DADOS_GERAIS|TipoLog", " m", true,
         str(&E::TipoLog, "M")},
        {"TituloMensagem upper-cased", "QlnClient.ini", "DADOS_GERAIS|TituloMensagem", " Atenção ",
         true, str(&E::TituloMensagem, "ATENÇÃO")},
        {"ESTAB_CODE upper-cased", "CORE.ini", "CONFIG|ESTAB_CODE", "  abc12 ", true,
         str(&E::ESTAB_CODE, "ABC12")},
        {"ESTAB_CODE missing", "CORE.ini", "CONFIG|ESTAB_CODE", kRemove, false,
         str(&E::TituloMensagem, "ATENÇÃO")},
        {"ESTAB_CODE empty", "CORE.ini", "CONFIG|ESTAB_CODE", "", false, nullptr},
        {"ESTAB_CODE read only from Path Server", "core/CORE.ini", "CONFIG|ESTAB_CODE", "X", true,
         str(&E::ESTAB_CODE, "E1")},
        {"TimeOut_Login missing", "QlnClient.ini", "DADOS_GERAIS|TimeOut_Login", kRemove, false,
         [](const Context& ctx) {
             EXPECT_EQ(ctx.config.ESTAB_CODE, QStringLiteral("E1"));  // read before the stop
             EXPECT_EQ(ctx.config.Terminal, QStringLiteral("R4T7N2AK"));
         }},
        {"TimeOut_Login empty", "QlnClient.ini", "DADOS_GERAIS|TimeOut_Login", " ", false, nullptr},
        {"TimeOut_Login numeric start", "QlnClient.ini", "DADOS_GERAIS|TimeOut_Login", "45 min",
         true, [](const Context& ctx) { EXPECT_EQ(ctx.config.TimeOut_Login, 45); }},
        {"bMsgIso missing", "QlnClient.ini", "DADOS_GERAIS|bMsgIso", kRemove, false,
         [](const Context& ctx) { EXPECT_EQ(ctx.config.TimeOut_Login, 30); }},
        {"bMsgIso empty", "QlnClient.ini", "DADOS_GERAIS|bMsgIso", "", false, nullptr},
        {"bMsgIso lower-case y is text form", "QlnClient.ini", "DADOS_GERAIS|bMsgIso", "y", true,
         [](const Context& ctx) { EXPECT_FALSE(ctx.config.bMsgIso); }},
        {"bMsgIso Y among blanks is ISO", "QlnClient.ini", "DADOS_GERAIS|bMsgIso", "\" Y \"", true,
         [](const Context& ctx) { EXPECT_TRUE(ctx.config.bMsgIso); }},
        {"bMsgIso YES is not Y", "QlnClient.ini", "DADOS_GERAIS|bMsgIso", "YES", true,
         [](const Context& ctx) { EXPECT_FALSE(ctx.config.bMsgIso); }},
        {"TIPOESTAB_Default 3 becomes the current type", "QlnClient.ini",
         "DADOS_GERAIS|TIPOESTAB_Default", "3", true,
         [](const Context& ctx) {
             EXPECT_EQ(ctx.config.TIPOESTAB_Default, 3);
             EXPECT_EQ(ctx.TipoEstab, 3);
         }},
        {"TIPOESTAB_Default out of range", "QlnClient.ini", "DADOS_GERAIS|TIPOESTAB_Default", "7",
         false, [](const Context& ctx) { EXPECT_EQ(ctx.TipoEstab, 1); }},
        {"bIdentificaCartao_DS Y", "QlnClient.ini", "DADOS_GERAIS|bIdentificaCartao_DS", "Y", true,
         [](const Context& ctx) { EXPECT_TRUE(ctx.config.bIdentificaCartao_DS); }},
        {"bIdentificaCartao_DS y", "QlnClient.ini", "DADOS_GERAIS|bIdentificaCartao_DS", "y", true,
         [](const Context& ctx) { EXPECT_FALSE(ctx.config.bIdentificaCartao_DS); }},
        {"FILEAUX gets a backslash", "CORE.ini", "CONFIG|FILEAUX", "/srv/Exporta", true,
         str(&E::FILEAUX, "/srv/Exporta\\")},
        {"FILEAUX keeps its own backslash", "CORE.ini", "CONFIG|FILEAUX", "C:\\Exporta\\", true,
         str(&E::FILEAUX, "C:\\Exporta\\")},
        {"FILEAUX ending in slash", "CORE.ini", "CONFIG|FILEAUX", "/srv/exp/", true,
         str(&E::FILEAUX, "/srv/exp/")},
        {"Msg_Approval upper-cased", "QlnClient.ini", "DADOS_GERAIS|Msg_Approval", "Venda aprovada",
         true, str(&E::Msg_Approval, "VENDA APROVADA")},
        {"AlertaValBr_Id upper-cased", "QlnClient.ini", "DADOS_GERAIS|AlertaValBr_Id", "ynY", true,
         str(&E::AlertaValBr_Id, "YNY")},
        {"AlertaDesc_Id empty", "QlnClient.ini", "DADOS_GERAIS|AlertaDesc_Id", "", true,
         str(&E::AlertaDesc_Id, "NNN")},
        {"LayoutArquivo 1", "CORE.ini", "CONFIG|LayoutArquivo", "1", true,
         [](const Context& ctx) { EXPECT_EQ(ctx.config.LayoutArquivo, 1); }},
        {"Cod_Processamento_Pre_Venda", "QlnClient.ini", "DADOS_GERAIS|Cod_Processamento_Pre_Venda",
         "003000", true, str(&E::Cod_Processamento_Pre_Venda, "003000")},
        {"HOST_LINK keeps its case", "core/CORE.ini", "CONFIG|HOST_LINK",
         " tls://Host.Example:7000 ", true, str(&E::HOST_LINK, "tls://Host.Example:7000")},
        {"HOST_LINK only from Path CORE", "CORE.ini", "CONFIG|HOST_LINK", "tcp://x:1", true,
         str(&E::HOST_LINK, "embedded")},
        {"HOST_TIMEOUT_MS", "core/CORE.ini", "CONFIG|HOST_TIMEOUT_MS", "1500", true,
         [](const Context& ctx) { EXPECT_EQ(ctx.config.HOST_TIMEOUT_MS, 1500); }},
        {"HOST_TIMEOUT_MS negative", "core/CORE.ini", "CONFIG|HOST_TIMEOUT_MS", "-5", true,
         [](const Context& ctx) { EXPECT_EQ(ctx.config.HOST_TIMEOUT_MS, 30000); }},
        {"HOST_TIMEOUT_MS not a number", "core/CORE.ini", "CONFIG|HOST_TIMEOUT_MS", "5s", true,
         [](const Context& ctx) { EXPECT_EQ(ctx.config.HOST_TIMEOUT_MS, 30000); }},
        {"HOST_CA", "core/CORE.ini", "CONFIG|HOST_CA", "/etc/ssl/Quillane.pem", true,
         str(&E::HOST_CA, "/etc/ssl/Quillane.pem")},
        {"PRINTER keeps its case", "core/CORE.ini", "CONFIG|PRINTER", "pdf:/tmp/Prints", true,
         str(&E::PRINTER, "pdf:/tmp/Prints")},
        {"RECEIPT_PRINTER keeps its case", "core/CORE.ini", "CONFIG|RECEIPT_PRINTER",
         " escpos:/dev/usb/Lp0 ", true, str(&E::RECEIPT_PRINTER, "escpos:/dev/usb/Lp0")},
        {"RECEIPT_COLUMNS", "core/CORE.ini", "CONFIG|RECEIPT_COLUMNS", "42", true,
         [](const Context& ctx) { EXPECT_EQ(ctx.config.RECEIPT_COLUMNS, 42); }},
        {"RECEIPT_COLUMNS out of range", "core/CORE.ini", "CONFIG|RECEIPT_COLUMNS", "4", true,
         [](const Context& ctx) { EXPECT_EQ(ctx.config.RECEIPT_COLUMNS, 48); }},
        {"LEITOR_TYPE from Path CORE", "core/CORE.ini", "CONFIG|LEITOR_TYPE", " 2 ", true,
         [](const Context& ctx) { EXPECT_EQ(ctx.config.LEITOR_TYPE, 2); }},
        {"LEITOR_TYPE not from Path Server", "CORE.ini", "CONFIG|LEITOR_TYPE", "2", true,
         [](const Context& ctx) { EXPECT_EQ(ctx.config.LEITOR_TYPE, 0); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Store s;
        s.set(c.file, c.sectionKey, c.value);
        s.write();
        EXPECT_EQ(SetaEstruturaPrincipal(s.t.ctx), c.loads);
        if (c.check) c.check(s.t.ctx);
        EXPECT_TRUE(s.t.boxes.empty() || !c.loads);
    }
}

TEST(SetaEstruturaPrincipal, MissingFilesStopAtTheFirstRequiredSetting) {
    struct Case {
        const char* missing;
        bool loads;
        QString tituloMensagem;  // read or not before the stop
        QString estabCode;
    };
    const Case cases[] = {
        // Without WINQLNCORE.ini both paths default to the program's directory, which is
        // where QlnClient.ini and CORE.ini are.
        {"WINQLNCORE.ini", true, QStringLiteral("ATENÇÃO"), QStringLiteral("E1")},
        {"QlnClient.ini", false, QStringLiteral("ATENÇÃO"), QStringLiteral("E1")},
        {"CORE.ini", false, QStringLiteral("ATENÇÃO"), QString()},
        {"core/CORE.ini", true, QStringLiteral("ATENÇÃO"), QStringLiteral("E1")},
    };
    for (const Case& c : cases) {
        Store s;
        s.files.erase(QString::fromLatin1(c.missing));
        s.write();
        EXPECT_EQ(SetaEstruturaPrincipal(s.t.ctx), c.loads) << c.missing;
        EXPECT_EQ(s.t.ctx.config.TituloMensagem, c.tituloMensagem) << c.missing;
        EXPECT_EQ(s.t.ctx.config.ESTAB_CODE, c.estabCode) << c.missing;
        EXPECT_TRUE(s.t.boxes.empty()) << c.missing;
    }
}

TEST(SetaEstruturaPrincipal, NumbersTooLargeAreReportedAndStopLoading) {
    struct Case {
        const char* file;
        const char* sectionKey;
        const char* value;
    };
    const Case cases[] = {
        {"QlnClient.ini", "DADOS_GERAIS|TimeOut_Login", "99999999999"},
        {"QlnClient.ini", "DADOS_GERAIS|TIPOESTAB_Default", "40000"},
        {"CORE.ini", "CONFIG|LayoutArquivo", "-40000"},
    };
    for (const Case& c : cases) {
        Store s;
        s.set(c.file, c.sectionKey, QString::fromLatin1(c.value));
        s.write();
        EXPECT_FALSE(SetaEstruturaPrincipal(s.t.ctx)) << c.sectionKey;
        ASSERT_EQ(s.t.boxes.shown().size(), 1u) << c.sectionKey;
        EXPECT_EQ(s.t.boxes.last().text, QStringLiteral("Ocorreu o erro: 6 - Overflow"));
        EXPECT_EQ(s.t.boxes.last().title, QStringLiteral("ATENÇÃOSetaEstruturaPrincipal"));
    }
}

TEST(LeLinhaArquivoIni, FindsTheFilesWhereTheStoreKeepsThem) {
    test::TestContext t;
    t.writeFile(QStringLiteral("WINQLNCORE.ini"), QStringLiteral("[CORE]\r\nPath Server=/x\r\n"));
    t.writeFile(QStringLiteral("qlnclient.INI"), QStringLiteral("[DADOS_GERAIS]\r\nk=lower\r\n"));
    QString value;
    // A bare name lives beside the program when WINQLNCORE.ini is there.
    EXPECT_EQ(DiretorioWindows(t.ctx), t.dir.path());
    EXPECT_TRUE(LeLinhaArquivoIni(t.ctx, QStringLiteral("core"), QStringLiteral("PATH SERVER"),
                                  QString(), value, QStringLiteral("WINQLNCORE.ini")));
    EXPECT_EQ(value, QStringLiteral("/x"));
    // A file copied with other letter case is still found, by a path with "\" separators too.
    QString windowsStyle = t.dir.path() + QStringLiteral("\\QlnClient.ini");
    EXPECT_TRUE(LeLinhaArquivoIni(t.ctx, QStringLiteral("DADOS_GERAIS"), QStringLiteral("k"),
                                  QString(), value, windowsStyle));
    EXPECT_EQ(value, QStringLiteral("lower"));
    // Elsewhere the system folder is used; a missing file reads as empty.
    t.ctx.programDir = t.path(QStringLiteral("empty"));
    EXPECT_EQ(DiretorioWindows(t.ctx), QStringLiteral("/etc/quillane/"));
    EXPECT_EQ(CaminhoArquivoIni(t.ctx, QStringLiteral("WINQLNCORE.ini")),
              QStringLiteral("/etc/quillane/WINQLNCORE.ini"));
    EXPECT_FALSE(LeLinhaArquivoIni(t.ctx, QStringLiteral("CORE"), QStringLiteral("Path Server"),
                                   QString(), value, t.path(QStringLiteral("none.ini"))));
    EXPECT_EQ(value, QString());
    EXPECT_TRUE(t.boxes.empty());
}

TEST(GravaLinhaArquivoIni, RewritesOneKeyAtomicallyAndReadsItBack) {
    test::TestContext t;
    const QString file = t.writeFile(QStringLiteral("QlnClient.ini"),
                                     QStringLiteral("; Configuração da loja\r\n"
                                                    "[DADOS_GERAIS]\r\n"
                                                    "Ultimo_Login=01/12/2026 08:00:00\r\n"
                                                    "TimeOut_Login=30\r\n"
                                                    "\r\n"
                                                    "[FormLogin]\r\n"
                                                    "cmdOk_Caption=Y    OK\r\n"));
    const QString stamp = QStringLiteral("05/12/2026 10:00:00");
    ASSERT_TRUE(GravaLinhaArquivoIni(t.ctx, QStringLiteral("DADOS_GERAIS"),
                                     QStringLiteral("Ultimo_Login"), stamp, file));
    ASSERT_TRUE(GravaLinhaArquivoIni(t.ctx, QStringLiteral("DADOS_GERAIS"),
                                     QStringLiteral("DISTRIBUIDORA_00123"),
                                     QStringLiteral("Distribuidora São João"), file));
    EXPECT_EQ(readWholeFile(file).value(),
              toCp1252(QStringLiteral("; Configuração da loja\r\n"
                                      "[DADOS_GERAIS]\r\n"
                                      "Ultimo_Login=05/12/2026 10:00:00\r\n"
                                      "TimeOut_Login=30\r\n"
                                      "DISTRIBUIDORA_00123=Distribuidora São João\r\n"
                                      "\r\n"
                                      "[FormLogin]\r\n"
                                      "cmdOk_Caption=Y    OK\r\n")));
    QString value;
    EXPECT_TRUE(LeLinhaArquivoIni(t.ctx, QStringLiteral("DADOS_GERAIS"),
                                  QStringLiteral("ultimo_login"), QString(), value, file));
    EXPECT_EQ(value, stamp);
    EXPECT_EQ(QDir(t.dir.path()).entryList(QDir::Files),
              QStringList{QStringLiteral("QlnClient.ini")});

    // A new file is created; a folder that does not exist or a broken line fails cleanly.
    const QString fresh = t.path(QStringLiteral("new.ini"));
    EXPECT_TRUE(GravaLinhaArquivoIni(t.ctx, QStringLiteral("S"), QStringLiteral("k"),
                                     QStringLiteral("v"), fresh));
    EXPECT_EQ(readWholeFile(fresh).value(), QByteArray("[S]\r\nk=v\r\n"));
    EXPECT_FALSE(GravaLinhaArquivoIni(t.ctx, QStringLiteral("S"), QStringLiteral("k"),
                                      QStringLiteral("v"), t.path(QStringLiteral("no/x.ini"))));
    EXPECT_FALSE(GravaLinhaArquivoIni(t.ctx, QStringLiteral("S"), QStringLiteral("k"),
                                      QStringLiteral("a\r\nb=c"), fresh));
    EXPECT_EQ(readWholeFile(fresh).value(), QByteArray("[S]\r\nk=v\r\n"));
    EXPECT_TRUE(t.boxes.empty());
}

}  // namespace
}  // namespace ql
