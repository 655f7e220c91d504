#include <gtest/gtest.h>

#include "sale/diagnostico.h"
#include "support/scripted_link.h"

namespace ql {
namespace {

TEST(TestaConexaoHost, OutcomeOfTheLogonExchangeOrOfNoLink) {
    const struct {
        qint32 falha;                   // 0: the host answers `resposta`
        const char *resposta, *inicio;  // the outcome text starts with `inicio`
    } casos[] = {
        {0, "OK", "Conexão OK: o host respondeu ao logon, código 0"},
        {0, "009-000=91;030-000=TERMINAL NAO HABILITADO;",
         "O host respondeu, mas recusou o logon: TERMINAL NAO HABILITADO (009-000 = 91)"},
        {HostLink::kServidorForaDoAr, "",
         "Falha na conexão: código -164 - 164- Servidor fora do Ar."},
        {HostLink::kSemInternet, "",
         "Falha na conexão: código -163 - 163- Não foi possível acessar a Internet"},
        {HostLink::kTimedOut, "", "Falha na conexão: código -165 - tempo de espera esgotado"},
        {HostLink::kTlsFailure, "",
         "Falha na conexão: código -169 - falha na conexão segura (TLS)"},
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(c.inicio);
        test::ComLinkRoteirizado t;
        c.falha ? t.link.fail(c.falha) : t.link.answer(QString::fromUtf8(c.resposta));
        t.ctx.bufferMensagem = QStringLiteral("transação em curso");
        const ResultadoTesteConexao r = TestaConexaoHost(t.ctx);
        EXPECT_EQ(r.ok, QString::fromUtf8(c.inicio).startsWith("Conexão OK"));
        EXPECT_EQ(r.resultado, c.falha);
        EXPECT_TRUE(r.texto.startsWith(QString::fromUtf8(c.inicio))) << r.texto.toStdString();
        EXPECT_TRUE(r.texto.endsWith(QStringLiteral(" ms)")));
        // A logon request went out; the transaction's buffer and the screens were left alone.
        ASSERT_EQ(t.link.sent().size(), 1u);
        EXPECT_TRUE(t.link.sent()[0].frame.startsWith(QStringLiteral("0006LOGIN|")));
        EXPECT_EQ(t.link.sent()[0].frame.size(), HostLink::kFrameSize);
        EXPECT_EQ(t.ctx.bufferMensagem, QStringLiteral("transação em curso"));
        EXPECT_TRUE(t.t.boxes.empty());
    }
    test::TestContext t;
    const ResultadoTesteConexao r = TestaConexaoHost(t.ctx);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.resultado, HostLink::kNotConfigured);
    EXPECT_EQ(r.texto, QStringLiteral("Sem link com o host (QL32_Cli não iniciado)."));
}

TEST(ResumoConfiguracao, SettingsInForceAndTheirFiles) {
    test::TestContext t;
    t.writeFile(QStringLiteral("QlnClient.ini"),
                QStringLiteral("[DADOS_GERAIS]\nUltimo_Login=05/12/2026 09:30:00\n"));
    t.ctx.config.HOST_LINK = QStringLiteral("tls://host.exemplo:7443");
    t.ctx.config.LEITOR_TYPE = 2;
    t.ctx.config.bMsgIso = true;
    t.ctx.TipoEstab = 3;

    const auto itens = ResumoConfiguracao(t.ctx);
    const struct {
        const char* nome;
        QString valor;
    } esperados[] = {
        {"QlnClient.ini", t.path(QStringLiteral("QlnClient.ini"))},
        {"CORE.ini (Path Server)", t.path(QStringLiteral("CORE.ini")) + "  (não encontrado)"},
        {"Path Server", t.dir.path()},
        {"Ultimo_Login", QStringLiteral("05/12/2026 09:30:00")},
        {"bMsgIso", QStringLiteral("Y")},
        {"LEITOR_TYPE", QStringLiteral("2 - PinPad (QL32_Pin)")},
        {"PINPAD", QStringLiteral("janela de leitura (simulado)")},
        {"HOST_CA", QStringLiteral("(certificados do sistema)")},
        {"RECEIPT_PRINTER", QStringLiteral("(a mesma de PRINTER)")},
        {"TipoEstab", QStringLiteral("3 - Distribuidor")},
        {"Host", QStringLiteral("TLS host.exemplo:7443 - link não iniciado")},
    };
    for (const auto& e : esperados) {
        const auto i = std::find_if(itens.begin(), itens.end(),
                                    [&](const auto& i) { return i.nome == e.nome; });
        EXPECT_EQ(i == itens.end() ? "<ausente>" : i->valor, e.valor) << e.nome;
    }
}

}  // namespace
}  // namespace ql
