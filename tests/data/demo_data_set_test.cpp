#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include "data/checksum.h"
#include "data/demo_data_set.h"
#include "data/distribuidoras.h"
#include "data/operadoras.h"
#include "data/usuarios.h"
#include "data_fixtures.h"
#include "shell/settings.h"

namespace ql {
namespace {

using test::TestContext;

TEST(DemoDataSet, LoadsBackWithoutAnyMessage) {
    QTemporaryDir destino;
    const QString pasta = destino.filePath("loja demo");  // a blank in the path, too
    QString erro;
    ASSERT_TRUE(GeraDadosDemonstracao(pasta, &erro)) << erro.toStdString();

    // A context that starts the way the program does: from the generated folder alone.
    TestContext tc;
    Context& ctx = tc.ctx;
    ctx.programDir = pasta;
    ctx.config = EstruturaPrincipal{};
    ASSERT_TRUE(SetaEstruturaPrincipal(ctx));
    EXPECT_EQ(QDir(ctx.config.PathServer).absolutePath(), QDir(pasta).absolutePath());
    EXPECT_EQ(ctx.config.ESTAB_CODE, kDemoCodigoEstab);
    EXPECT_EQ(ctx.config.HOST_LINK, "embedded");
    EXPECT_EQ(ctx.config.LayoutArquivo, 1);
    EXPECT_TRUE(ctx.config.PRINTER.startsWith("pdf:"));
    EXPECT_TRUE(QFileInfo(ctx.config.PRINTER.mid(4)).isDir());
    EXPECT_EQ(ctx.TipoEstab, 1);

    // Operadoras, their extra fields and their distributors.
    ASSERT_TRUE(ObtemDadosOperadora(ctx));
    ASSERT_EQ(ctx.operadoras.size(), 3);
    EXPECT_TRUE(ctx.operadoras.at(2).campo1.necessario());
    EXPECT_TRUE(ctx.operadoras.at(2).campo2.necessario());
    EXPECT_TRUE(ctx.operadoras.at(3).complemento.necessario());
    EXPECT_FALSE(ctx.operadoras.at(1).campo1.necessario());
    for (int i = 1; i <= ctx.operadoras.size(); ++i) {
        ctx.ident.AdministradoraSelecionada = i;
        QStringList distribuidoras;
        EXPECT_TRUE(PreencheComboDistribuidora(ctx, distribuidoras)) << i;
        EXPECT_EQ(distribuidoras.size(), kQtdDistribuidoras);
        EXPECT_FALSE(distribuidoras.value(0).isEmpty()) << i;
    }

    // Every manager, the service user and the forced change of the factory password.
    for (const DemoGerente& g : kDemoGerentes) {
        bool trocou = false;
        auto troca = [&](Context& c) { trocou = ConfirmaNovaSenha(c, "7531", "7531"); };
        EXPECT_EQ(ExecutaLogin(ctx, g.usuario, g.senha, troca), ResultadoLogin::Aceito)
            << g.usuario;
        EXPECT_EQ(trocou, QLatin1String(g.senha) == QLatin1String(kSenhaFabrica)) << g.usuario;
    }
    // MNG1 has its own group; the others the default one (the menu's tests use both).
    EXPECT_EQ(ExecutaLogin(ctx, "MNG5", "7531", {}), ResultadoLogin::Aceito);
    EXPECT_FALSE(PermissaoHabilitada(ctx.login.PermissoesUsuario[1], PermissaoMenu::Cadastro));
    EXPECT_EQ(ExecutaLogin(ctx, "STAFF", kDemoSenhaServico, {}), ResultadoLogin::Aceito);

    EXPECT_TRUE(tc.boxes.empty()) << tc.boxes.texts().join('\n').toStdString();
}

TEST(DemoDataSet, RegeneratingReplacesTheChecksummedFiles) {
    QTemporaryDir destino;
    ASSERT_TRUE(GeraDadosDemonstracao(destino.path()));
    TestContext tc;
    tc.ctx.config.PathServer = destino.path();
    tc.ctx.TipoEstab = 1;
    ASSERT_TRUE(GravaNovaSenha(tc.ctx, "MNG1", "5555"));
    ASSERT_TRUE(GeraDadosDemonstracao(destino.path()));
    for (const char* padrao : {"UP.S??", "LT0001.S??", "MF.S??"}) {
        const QStringList nomes = QDir(destino.path()).entryList({padrao}, QDir::Files);
        ASSERT_EQ(nomes.size(), 1) << padrao;
        QString checksum;
        EXPECT_TRUE(
            Valida_Check_Sum_Arquivo(tc.ctx, QDir(destino.path()).filePath(nomes[0]), checksum))
            << padrao;
    }
    QString slot;
    ASSERT_TRUE(ObtemSenha(tc.ctx, "MNG1", slot));
    QString senha = slot.trimmed();
    CriptografiaSenha(tc.ctx, senha, "D");
    EXPECT_EQ(senha, "1234");
    EXPECT_TRUE(tc.boxes.empty());
}

}  // namespace
}  // namespace ql
