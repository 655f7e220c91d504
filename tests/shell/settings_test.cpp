#include <gtest/gtest.h>

#include <QDir>

#include <map>
#include <string>

#include "shell/ini_access.h"
#include "shell/settings.h"
#include "shell/text_files.h"
#include "support/test_context.h"

namespace ql {
namespace {

using Campos = std::map<std::string, QString>;

// The settings as text, by name, so that one table row can name the one it checks.
Campos campos(const Context& ctx) {
    const EstruturaPrincipal& c = ctx.config;
    auto n = [](qint64 v) { return QString::number(v); };
    auto b = [](bool v) { return QString::fromLatin1(v ? "Y" : "N"); };
    return {{"PathServer", c.PathServer},
            {"PathCORE", c.PathCORE},
            {"TipoLog", c.TipoLog},
            {"TituloMensagem", c.TituloMensagem},
            {"ESTAB_CODE", c.ESTAB_CODE},
            {"Terminal", c.Terminal},
            {"TimeOut_Login", n(c.TimeOut_Login)},
            {"bMsgIso", b(c.bMsgIso)},
            {"TipoEstab", n(ctx.TipoEstab)},
            {"bIdentificaCartao_DS", b(c.bIdentificaCartao_DS)},
            {"FILEAUX", c.FILEAUX},
            {"Msg_Approval", c.Msg_Approval},
            {"AlertaValBr_Id", c.AlertaValBr_Id},
            {"AlertaDesc_Id", c.AlertaDesc_Id},
            {"LayoutArquivo", n(c.LayoutArquivo)},
            {"Cod_Processamento_Pre_Venda", c.Cod_Processamento_Pre_Venda},
            {"HOST_LINK", c.HOST_LINK},
            {"HOST_TIMEOUT_MS", n(c.HOST_TIMEOUT_MS)},
            {"HOST_CA", c.HOST_CA},
            {"PRINTER", c.PRINTER},
            {"RECEIPT_PRINTER", c.RECEIPT_PRINTER},
            {"RECEIPT_COLUMNS", n(c.RECEIPT_COLUMNS)}};
}

// A store's settings files: WINQLNCORE.ini beside the program, QlnClient.ini and CORE.ini in
// Path Server (the test folder), CORE.ini in Path CORE (core/). `linha` goes first into the
// named file's section, where the first of two equal keys wins; `linha` null leaves that file
// out. Nothing the test machine holds is kept in the settings.
struct Loja {
    test::TestContext t;
    bool carrega(const char* arquivo = "", const char* linha = "") {
        QDir().mkpath(t.path(QStringLiteral("core")));
        const std::map<std::string, QString> arquivos = {
            {"WINQLNCORE.ini", QStringLiteral("[CORE]\n%1Path Server=%2\nPath CORE=%2/core\n")},
            {"QlnClient.ini", QStringLiteral("[DADOS_GERAIS]\n%1TimeOut_Login=30\nbMsgIso=N\n")},
            {"CORE.ini", QStringLiteral("[CONFIG]\n%1ESTAB_CODE=E1\n")},
            {"core/CORE.ini", QStringLiteral("[CONFIG]\n%1")}};
        for (const auto& [nome, texto] : arquivos) {
            const bool este = nome == arquivo;
            if (este && !linha) continue;
            t.writeFile(QString::fromStdString(nome),
                        texto.arg(este ? QString::fromUtf8(linha) + u'\n' : QString())
                            .replace(QStringLiteral("%2"), t.dir.path()));
        }
        t.ctx.config = EstruturaPrincipal();
        return SetaEstruturaPrincipal(t.ctx);
    }
};

TEST(SetaEstruturaPrincipal, LoadsEverySettingWithItsDefaults) {
    Loja s;
    ASSERT_TRUE(s.carrega());
    const QString dir = s.t.dir.path();
    EXPECT_EQ(campos(s.t.ctx),
              (Campos{{"PathServer", dir},       {"PathCORE", dir + QStringLiteral("/core")},
                      {"TipoLog", "M"},          {"TituloMensagem", "ATENÇÃO"},
                      {"ESTAB_CODE", "E1"},      {"Terminal", "R4T7N2AK"},
                      {"TimeOut_Login", "30"},   {"bMsgIso", "N"},
                      {"TipoEstab", "1"},        {"bIdentificaCartao_DS", "N"},
                      {"FILEAUX", ""},           {"Msg_Approval", ""},
                      {"AlertaValBr_Id", "NNN"}, {"AlertaDesc_Id", "NNN"},
                      {"LayoutArquivo", "0"},    {"Cod_Processamento_Pre_Venda", ""},
                      {"HOST_LINK", "embedded"}, {"HOST_TIMEOUT_MS", "30000"},
                      {"HOST_CA", ""},           {"PRINTER", ""},
                      {"RECEIPT_PRINTER", ""},   {"RECEIPT_COLUMNS", "48"}}));
    EXPECT_TRUE(s.t.boxes.empty());
}

TEST(SetaEstruturaPrincipal, EachSettingIsReadCheckedAndStoredAsConfigured) {
    const char* Q = "QlnClient.ini";
    const char* S = "CORE.ini";  // in Path Server
    const char* C = "core/CORE.ini";
    const char* kOverflow = "Ocorreu o erro: 6 - Estouro";
    struct Caso {
        const char* arquivo;
        const char* linha;  // nullptr: the file is left out
        bool carrega;
        const char* caixa;  // the one error box shown, or nullptr for none
        const char* campo;
        const char* esperado;
    };
    const Caso casos[] = {
        {Q, "TipoLog=log", true, nullptr, "TipoLog", "L"},
        {Q, "TituloMensagem=\" Atenção \"", true, nullptr, "TituloMensagem", "ATENÇÃO"},
        {S, "ESTAB_CODE=\"  abc12 \"", true, nullptr, "ESTAB_CODE", "ABC12"},
        {C, "ESTAB_CODE=X", true, nullptr, "ESTAB_CODE", "E1"},           // Path Server only
        {S, "ESTAB_CODE=", false, nullptr, "TituloMensagem", "ATENÇÃO"},  // read before it
        {S, nullptr, false, nullptr, "ESTAB_CODE", ""},
        {Q, "TimeOut_Login=45 min", true, nullptr, "TimeOut_Login", "45"},
        {Q, "TimeOut_Login=", false, nullptr, "ESTAB_CODE", "E1"},
        {Q, nullptr, false, nullptr, "ESTAB_CODE", "E1"},
        {Q, "TimeOut_Login=99999999999", false, kOverflow, "ESTAB_CODE", "E1"},
        {Q, "bMsgIso=", false, nullptr, "TimeOut_Login", "30"},
        {Q, "bMsgIso=\" Y \"", true, nullptr, "bMsgIso", "Y"},
        {Q, "bMsgIso=y", true, nullptr, "bMsgIso", "N"},
        {Q, "bMsgIso=YES", true, nullptr, "bMsgIso", "N"},
        {Q, "TIPOESTAB_Default=3", true, nullptr, "TipoEstab", "3"},
        {Q, "TIPOESTAB_Default=7", true, nullptr, "TipoEstab", "7"},  // a number, whatever it is
        {Q, "TIPOESTAB_Default=Rede", true, nullptr, "TipoEstab", "0"},
        {Q, "TIPOESTAB_Default=40000", false, kOverflow, "TipoEstab", "1"},
        {Q, "bIdentificaCartao_DS=Y", true, nullptr, "bIdentificaCartao_DS", "Y"},
        {Q, "bIdentificaCartao_DS=y", true, nullptr, "bIdentificaCartao_DS", "N"},
        {S, "FILEAUX=/srv/Exporta", true, nullptr, "FILEAUX", "/srv/Exporta\\"},
        {S, "FILEAUX=C:\\Exporta\\", true, nullptr, "FILEAUX", "C:\\Exporta\\"},
        {S, "FILEAUX=/srv/exp/", true, nullptr, "FILEAUX", "/srv/exp/"},
        {Q, "Msg_Approval=Venda aprovada", true, nullptr, "Msg_Approval", "VENDA APROVADA"},
        {Q, "AlertaValBr_Id=ynY", true, nullptr, "AlertaValBr_Id", "YNY"},
        {S, "LayoutArquivo=1", true, nullptr, "LayoutArquivo", "1"},
        {S, "LayoutArquivo=-40000", false, kOverflow, "LayoutArquivo", "0"},
        {Q, "Cod_Processamento_Pre_Venda=003000", true, nullptr, "Cod_Processamento_Pre_Venda",
         "003000"},
        {C, "HOST_LINK=tls://Host.Example:7000", true, nullptr, "HOST_LINK",
         "tls://Host.Example:7000"},
        {S, "HOST_LINK=tcp://x:1", true, nullptr, "HOST_LINK", "embedded"},  // Path CORE only
        {C, "HOST_TIMEOUT_MS=1500", true, nullptr, "HOST_TIMEOUT_MS", "1500"},
        {C, "HOST_TIMEOUT_MS=-5", true, nullptr, "HOST_TIMEOUT_MS", "30000"},
        {C, "HOST_TIMEOUT_MS=5s", true, nullptr, "HOST_TIMEOUT_MS", "30000"},
        {C, "HOST_CA=/etc/ssl/Quillane.pem", true, nullptr, "HOST_CA", "/etc/ssl/Quillane.pem"},
        {C, "PRINTER=pdf:/tmp/Prints", true, nullptr, "PRINTER", "pdf:/tmp/Prints"},
        {C, "RECEIPT_PRINTER=\" escpos:/dev/usb/Lp0 \"", true, nullptr, "RECEIPT_PRINTER",
         "escpos:/dev/usb/Lp0"},
        {C, "RECEIPT_COLUMNS=42", true, nullptr, "RECEIPT_COLUMNS", "42"},
        {C, "RECEIPT_COLUMNS=4", true, nullptr, "RECEIPT_COLUMNS", "48"},
        // Without it both paths are the program's folder, where QlnClient.ini and CORE.ini are.
        {"WINQLNCORE.ini", nullptr, true, nullptr, "ESTAB_CODE", "E1"},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.linha ? c.linha : c.arquivo);
        Loja s;
        EXPECT_EQ(s.carrega(c.arquivo, c.linha), c.carrega);
        EXPECT_EQ(campos(s.t.ctx).at(c.campo), QString::fromUtf8(c.esperado));
        EXPECT_EQ(s.t.boxes.texts(),
                  c.caixa ? QStringList{QString::fromUtf8(c.caixa)} : QStringList());
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
    EXPECT_TRUE(LeLinhaArquivoIni(t.ctx, QStringLiteral("DADOS_GERAIS"), QStringLiteral("k"),
                                  QString(), value,
                                  t.dir.path() + QStringLiteral("\\QlnClient.ini")));
    EXPECT_EQ(value, QStringLiteral("lower"));
    // Elsewhere the system folder is used.
    t.ctx.programDir = t.path(QStringLiteral("empty"));
    EXPECT_EQ(CaminhoArquivoIni(t.ctx, QStringLiteral("WINQLNCORE.ini")),
              t.path(QStringLiteral("sistema/WINQLNCORE.ini")));
}

// One key's line rewritten in the file found as the reads find it (here by another letter
// case); a new file is created; a value that is not one line fails and leaves the file as it
// was.
TEST(GravaLinhaArquivoIni, RewritesOneKeyAndFailsWithoutHarm) {
    test::TestContext t;
    t.writeFile(QStringLiteral("qlnclient.ini"),
                QStringLiteral("; Configuração\r\n[S]\r\nk=1\r\n"));
    const QString file = t.path(QStringLiteral("QlnClient.ini"));
    auto grava = [&](const QString& valor, const QString& arquivo) {
        return GravaLinhaArquivoIni(t.ctx, QStringLiteral("S"), QStringLiteral("K"), valor,
                                    arquivo);
    };
    EXPECT_TRUE(grava(QStringLiteral("São"), file));
    EXPECT_FALSE(grava(QStringLiteral("a\r\nb=c"), file));
    EXPECT_EQ(readWholeFile(t.path(QStringLiteral("qlnclient.ini"))).value(),
              toCp1252(QStringLiteral("; Configuração\r\n[S]\r\nk=São\r\n")));
    EXPECT_TRUE(grava(QStringLiteral("v"), t.path(QStringLiteral("new.ini"))));
    EXPECT_EQ(readWholeFile(t.path(QStringLiteral("new.ini"))).value(),
              QByteArray("[S]\r\nK=v\r\n"));
    EXPECT_EQ(QDir(t.dir.path()).entryList(QDir::Files),
              (QStringList{QStringLiteral("new.ini"), QStringLiteral("qlnclient.ini")}));
    EXPECT_TRUE(t.boxes.empty());
}

}  // namespace
}  // namespace ql
