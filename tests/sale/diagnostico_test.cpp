#include <gtest/gtest.h>

#include "host/scripted_link.h"
#include "sale/diagnostico.h"
#include "support/test_context.h"

namespace ql {
namespace {

TEST(TestaConexaoHost, OutcomeOfTheLogonExchange) {
    struct Caso {
        const char* nome;
        qint32 falha;  // 0: the host answers `resposta`
        QString resposta;
        bool ok;
        QString inicio;  // the outcome text starts with it
    };
    const Caso casos[] = {
        {"approved", 0, QStringLiteral("OK"), true,
         QStringLiteral("Conexão OK: o host respondeu ao logon, código 0")},
        {"approved field form", 0, QStringLiteral("009-000=00;"), true,
         QStringLiteral("Conexão OK")},
        {"refused with text", 0, QStringLiteral("009-000=91;030-000=TERMINAL NAO HABILITADO;"),
         false,
         QStringLiteral("O host respondeu, mas recusou o logon: TERMINAL NAO HABILITADO (009-000 = "
                        "91)")},
        {"server down",
         HostLink::kServidorForaDoAr,
         {},
         false,
         QStringLiteral("Falha na conexão: código -164 - 164- Servidor fora do Ar.")},
        {"no network",
         HostLink::kSemInternet,
         {},
         false,
         QStringLiteral(
             "Falha na conexão: código -163 - 163- Não foi possível acessar a Internet")},
        {"time-out",
         HostLink::kTimedOut,
         {},
         false,
         QStringLiteral("Falha na conexão: código -165 - tempo de espera esgotado")},
        {"tls",
         HostLink::kTlsFailure,
         {},
         false,
         QStringLiteral("Falha na conexão: código -169 - falha na conexão segura (TLS)")},
    };
    for (const Caso& c : casos) {
        test::TestContext t;
        auto link = std::make_unique<test::ScriptedLink>();
        test::ScriptedLink* roteiro = link.get();
        if (c.falha) {
            roteiro->fail(c.falha);
        } else {
            roteiro->answer(c.resposta);
        }
        t.ctx.hostLink = std::move(link);
        t.ctx.bufferMensagem = QStringLiteral("transação em curso");

        const ResultadoTesteConexao r = TestaConexaoHost(t.ctx);
        EXPECT_EQ(r.ok, c.ok) << c.nome;
        EXPECT_EQ(r.resultado, c.falha) << c.nome;
        EXPECT_TRUE(r.texto.startsWith(c.inicio)) << c.nome << ": " << r.texto.toStdString();
        EXPECT_TRUE(r.texto.endsWith(QStringLiteral(" ms)"))) << c.nome;
        // A logon request went out, and the transaction's buffer and the screens were left alone.
        ASSERT_EQ(roteiro->sent().size(), 1u) << c.nome;
        EXPECT_TRUE(roteiro->sent()[0].frame.startsWith(QStringLiteral("0006LOGIN|"))) << c.nome;
        EXPECT_EQ(roteiro->sent()[0].frame.size(), HostLink::kFrameSize) << c.nome;
        EXPECT_EQ(t.ctx.bufferMensagem, QStringLiteral("transação em curso")) << c.nome;
        EXPECT_TRUE(t.boxes.empty()) << c.nome;
    }
}

TEST(TestaConexaoHost, WithoutALink) {
    test::TestContext t;
    const ResultadoTesteConexao r = TestaConexaoHost(t.ctx);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.resultado, HostLink::kNotConfigured);
    EXPECT_EQ(r.texto, QStringLiteral("Sem link com o host (QL32_Cli não iniciado)."));
}

QString valorDe(const QVector<ItemConfiguracao>& itens, const QString& nome) {
    for (const auto& i : itens) {
        if (i.nome == nome) return i.valor;
    }
    return QStringLiteral("<ausente>");
}

TEST(ResumoConfiguracao, SettingsInForceAndTheirFiles) {
    test::TestContext t;
    t.writeFile(QStringLiteral("QlnClient.ini"),
                QStringLiteral("[DADOS_GERAIS]\nUltimo_Login=05/12/2026 09:30:00\n"));
    t.writeFile(QStringLiteral("WINQLNCORE.ini"), QStringLiteral("[CORE]\n"));
    t.ctx.config.ESTAB_CODE = QStringLiteral("001234567000189");
    t.ctx.config.HOST_LINK = QStringLiteral("tls://host.exemplo:7443");
    t.ctx.config.HOST_TIMEOUT_MS = 15000;
    t.ctx.config.LEITOR_TYPE = 2;
    t.ctx.config.bMsgIso = true;
    t.ctx.TipoEstab = 3;

    const auto itens = ResumoConfiguracao(t.ctx);
    struct Esperado {
        const char* nome;
        QString valor;
    };
    const Esperado esperados[] = {
        {"QlnClient.ini", t.path(QStringLiteral("QlnClient.ini"))},
        {"WINQLNCORE.ini", t.path(QStringLiteral("WINQLNCORE.ini"))},
        {"CORE.ini (Path Server)", t.path(QStringLiteral("CORE.ini")) + "  (não encontrado)"},
        {"Path Server", t.dir.path()},
        {"ESTAB_CODE", QStringLiteral("001234567000189")},
        {"Terminal", QStringLiteral("R4T7N2AK")},
        {"Ultimo_Login", QStringLiteral("05/12/2026 09:30:00")},
        {"bMsgIso", QStringLiteral("Y")},
        {"LEITOR_TYPE", QStringLiteral("2 - PinPad (QL32_Pin)")},
        {"PINPAD", QStringLiteral("janela de leitura (simulado)")},
        {"HOST_LINK", QStringLiteral("tls://host.exemplo:7443")},
        {"HOST_TIMEOUT_MS", QStringLiteral("15000")},
        {"HOST_CA", QStringLiteral("(certificados do sistema)")},
        {"RECEIPT_PRINTER", QStringLiteral("(a mesma de PRINTER)")},
        {"RECEIPT_COLUMNS", QStringLiteral("48")},
        {"TipoEstab", QStringLiteral("3 - Distribuidor")},
        {"Host", QStringLiteral("TLS host.exemplo:7443 - link não iniciado")},
    };
    for (const Esperado& e : esperados) {
        EXPECT_EQ(valorDe(itens, QString::fromUtf8(e.nome)), e.valor) << e.nome;
    }
}

}  // namespace
}  // namespace ql
