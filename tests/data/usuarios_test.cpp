#include <gtest/gtest.h>

#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include "data/data_files.h"
#include "data/sequential_items.h"
#include "data/usuarios.h"
#include "data_fixtures.h"
#include "shell/support_log.h"
#include "shell/text_files.h"
#include "store/terminal_store.h"

#include <sys/stat.h>

namespace ql {
namespace {

using test::TestContext;
using test::umaCaixa;
using Icon = MessageBoxes::Icon;

const QString kAtencao = QStringLiteral("Atenção");
const QString kLogin = QStringLiteral("Login");

class Usuarios : public ::testing::Test {
  protected:
    // MNG1..MNG5 with their plain passwords; MNG5 is still on the factory password.
    QString gravaUsuarios(const QStringList& senhas = {"1111", "2222", "3333", "4444", "864209"}) {
        return GravaArquivoComChecksum(tc.dir.path(), "UP.S",
                                       {MontaRegistroUsuarios(tc.ctx, senhas)});
    }
    QString gravaPermissoes(const QByteArray& bytes) {
        return test::gravaComChecksum(tc, "LT0001.S", bytes);
    }
    // The default group, an own group for MNG2 and the service password.
    QString gravaPermissoesPadrao() {
        return gravaPermissoes(
            "000\r\nMNG0\r\n\"NNNNNNNNN\"\r\nPADRAO\r\n"
            "000\r\nMNG2\r\n\"SSSSSSSSS\"\r\nGERENTE 2\r\n"
            "001\r\nsuporte\r\n");
    }
    QString senhaDe(const QString& usuario) {
        QString slot;
        if (!ObtemSenha(tc.ctx, usuario, slot)) return "<falhou>";
        QString plain = aparaBrancos(slot);
        CriptografiaSenha(tc.ctx, plain, "D");
        return plain;
    }
    TestContext tc;
    RegraCampoLogin regraUsuario{"", 4, 10};
    RegraCampoLogin regraSenha{"N", 4, 6};
};

TEST_F(Usuarios, ObtemSenhaReportsMissingAndCorruptFiles) {
    QString slot = "x";
    EXPECT_FALSE(ObtemSenha(tc.ctx, "MNG1", slot));
    EXPECT_EQ(slot, "");
    EXPECT_TRUE(umaCaixa(tc, "Arquivo UP.sxx não foi encontrado.", kAtencao, Icon::Critical));

    // A wrong checksum (the checksum's own rules: checksum_test); then zero bytes beyond the
    // size limit, which add nothing to the sum, so only the size gives them away.
    const QString certo = gravaUsuarios();
    const QString errado = certo.left(certo.size() - 2) + "00";
    ASSERT_TRUE(QFile::rename(certo, errado));
    for (const bool grande : {false, true}) {
        if (grande) {
            ASSERT_TRUE(QFile::remove(errado));
            test::gravaComChecksum(tc, "UP.S", QByteArray(kMaxBytesArquivoDados + 1, '\0'));
        }
        EXPECT_FALSE(ObtemSenha(tc.ctx, "MNG1", slot)) << grande;
        EXPECT_TRUE(umaCaixa(tc, "Arquivo UP.Sxx corrompido ! Contatar o suporte !", kAtencao,
                             Icon::Critical));
    }
}

TEST_F(Usuarios, PermissionsDefaultThenOwnGroup) {
    const struct {
        const char* nome;
        QByteArray arquivo;
        QString usuario;
        bool resultado;
        QString permissoes;
    } casos[] = {
        {"own group after the default overrides it",
         "000\r\nMNG0\r\n\"NNNNNNNNN\"\r\nPADRAO\r\n000\r\nMNG2\r\n\"S S S S S\"\r\nDOIS\r\n",
         "MNG2", true, "S S S S S"},
        {"own group before the default stops the reading",
         "000\r\nMNG2\r\nSSSSSSSSS\r\nDOIS\r\n000\r\nMNG0\r\nNNNNNNNNN\r\nPADRAO\r\n", "MNG2", true,
         "SSSSSSSSS"},
        {"no group for the manager", "000\r\nMNG2\r\nSSSSSSSSS\r\nDOIS\r\n", "MNG3", false, ""},
        {"items may share a line; a long string is cut", "000,MNG0,\"NN  NN  NSS\",PADRAO\r\n",
         "MNG1", true, "NN  NN  N"},
        {"a short string enables the missing positions", "000\r\nMNG0\r\nNN\r\nX\r\n", "MNG4", true,
         "NN       "},
        {"doubled line ends",
         "000\r\n\nMNG0\r\n\nNNNNNNNNN\r\n\nX\r\n\n000\r\n\nMNG1\r\n\nSNSNSNSNS\r\n\nY\r\n", "MNG1",
         true, "SNSNSNSNS"},
        {"the service password is not a group", "001\r\nSENHA\r\n", "MNG1", false, ""},
    };
    for (const auto& c : casos) {
        TestContext fresh;
        test::gravaComChecksum(fresh, "LT0001.S", c.arquivo);
        fresh.ctx.TipoEstab = 2;
        EXPECT_EQ(ObtemPermissao(fresh.ctx, c.usuario, "x"), c.resultado) << c.nome;
        EXPECT_EQ(fresh.ctx.login.PermissoesUsuario[2], c.permissoes) << c.nome;
        EXPECT_EQ(fresh.ctx.login.PermissoesUsuario[1], "") << c.nome;
        EXPECT_TRUE(fresh.boxes.empty()) << c.nome;
    }
}

TEST_F(Usuarios, PermissionFileFailures) {
    EXPECT_FALSE(ObtemPermissao(tc.ctx, "MNG1", ""));
    EXPECT_TRUE(umaCaixa(
        tc, "Ocorreu o erro: Arquivo " + tc.dir.path() + "\\LT0001.S?? não foi encontrado.",
        "ATENÇÃOObtemPermissao", Icon::Exclamation));
    ASSERT_TRUE(QFile::rename(gravaPermissoesPadrao(), tc.path("LT0001.SZZ")));
    EXPECT_FALSE(ObtemPermissao(tc.ctx, "MNG1", ""));
    EXPECT_TRUE(umaCaixa(tc, "Arquivo de permissões corrompido ! Contatar o suporte !", kAtencao,
                         Icon::Critical));
    QFile::remove(tc.path("LT0001.SZZ"));

    // A group cut short by the end of the file is a damaged file, not a login.
    gravaPermissoes("000\r\nMNG0\r\nNNNNNNNNN");
    EXPECT_FALSE(ObtemPermissao(tc.ctx, "MNG1", ""));
    ASSERT_EQ(tc.boxes.shown().size(), 1u);
    EXPECT_TRUE(tc.boxes.last().text.startsWith("Ocorreu o erro: 62 - "));
    EXPECT_EQ(tc.ctx.login.PermissoesUsuario[1], "");
}

TEST_F(Usuarios, LoginChecks) {
    gravaUsuarios();
    gravaPermissoesPadrao();
    // The factory password opens the change of password with the manager logged in; abandoning
    // it fails the login silently and leaves nobody logged in.
    int aberturas = 0;
    const std::function<void(Context&)> abandona = [&](Context& ctx) {
        ++aberturas;
        EXPECT_EQ(ctx.login.UsuarioLogado[1].trimmed(), "MNG5");
    };
    const std::function<void(Context&)> troca = [&](Context& ctx) {
        ++aberturas;
        EXPECT_TRUE(ConfirmaNovaSenha(ctx, "5555", "5555", regraSenha));
    };
    const struct {
        const char* nome;
        QString usuario;
        QString senha;
        RegraCampoLogin regraU;
        ResultadoLogin resultado;
        QString mensagem;
        std::function<void(Context&)> trocaSenha = {};
    } casos[] = {
        // clang-format off
        {"manager with the right password", "MNG1", "1111", regraUsuario, ResultadoLogin::Aceito, ""},
        {"blanks round both fields", " MNG2 ", " 2222 ", regraUsuario, ResultadoLogin::Aceito, ""},
        // The service password comes from the permissions file, trimmed, in any letter case.
        {"service user", " staff ", " SUPORTE ", {"N", 8, 8}, ResultadoLogin::Aceito, ""},
        {"service user, wrong password", "STAFF", "ERRADA", regraUsuario,
         ResultadoLogin::SenhaRecusada, "Senha Inválida. Tente novamente!"},
        {"user name not numeric", "MNG1", "1111", {"N", 0, 4}, ResultadoLogin::UsuarioRecusado,
         "Usuário Inválido, digite apenas números. Tente novamente!"},
        {"user name too short", "MNG", "1111", regraUsuario, ResultadoLogin::UsuarioRecusado,
         "Usuário Inválido, digite pelo menos 4 caracteres. Tente novamente!"},
        {"password too short", "MNG1", "111", regraUsuario, ResultadoLogin::SenhaRecusada,
         "Senha Inválida, digite pelo menos 4 caracteres. Tente novamente!"},
        {"password not numeric", "MNG1", "11A1", regraUsuario, ResultadoLogin::SenhaRecusada,
         "Senha Inválida, digite apenas números. Tente novamente!"},
        {"unknown manager", "MNG9", "1111", regraUsuario, ResultadoLogin::SenhaRecusada,
         "Usuário inválido. Tente novamente!"},
        {"wrong password", "MNG3", "1111", regraUsuario, ResultadoLogin::SenhaRecusada,
         "Senha Inválida, Tente novamente!"},
        {"factory password, change abandoned", "MNG5", "864209", regraUsuario,
         ResultadoLogin::SenhaRecusada, "", abandona},
        {"factory password changed", "MNG5", "864209", regraUsuario, ResultadoLogin::Aceito, "",
         troca},
        {"the new password", "MNG5", "5555", regraUsuario, ResultadoLogin::Aceito, ""},
        // clang-format on
    };
    for (const auto& c : casos) {
        tc.boxes.clear();
        tc.ctx.login = EstadoLogin{};
        tc.ctx.login.NovaSenha = "ANTIGA";  // a change left from before counts for nothing
        const auto r = ExecutaLogin(tc.ctx, c.usuario, c.senha, c.regraU, regraSenha, c.trocaSenha);
        SCOPED_TRACE(c.nome);
        const bool aceito = c.resultado == ResultadoLogin::Aceito;
        EXPECT_EQ(r, c.resultado);
        EXPECT_EQ(tc.ctx.login.LoginAtivo, aceito);
        EXPECT_EQ(tc.boxes.texts(), c.mensagem.isEmpty() ? QStringList{} : QStringList{c.mensagem});
        for (const auto& caixa : tc.boxes.shown()) EXPECT_EQ(caixa.title, kLogin);
        // The name padded to its slot; only the managers load permissions, never the service user.
        EXPECT_EQ(tc.ctx.login.UsuarioLogado[1],
                  aceito ? c.usuario.trimmed().leftJustified(kTamanhoNomeUsuario) : "");
        EXPECT_EQ(tc.ctx.login.PermissoesUsuario[1], !aceito || c.usuario == " staff " ? ""
                                                     : c.usuario == " MNG2 "           ? "SSSSSSSSS"
                                                                             : "NNNNNNNNN");
    }
    EXPECT_EQ(aberturas, 2);
}

// Permissions are what the login ends on: a manager whose right password finds no group fails.
TEST_F(Usuarios, ManagerWithoutAnyGroupCannotLogIn) {
    gravaUsuarios();
    gravaPermissoes("000\r\nMNG2\r\nSSSSSSSSS\r\nDOIS\r\n");
    EXPECT_EQ(ExecutaLogin(tc.ctx, "MNG1", "1111", regraUsuario, regraSenha, {}),
              ResultadoLogin::SenhaRecusada);
    EXPECT_TRUE(tc.boxes.empty());
    EXPECT_FALSE(tc.ctx.login.LoginAtivo);
}

TEST_F(Usuarios, NewPasswordChecks) {
    gravaUsuarios();
    tc.ctx.login.UsuarioLogado[1] = CompletaDireita("MNG3", kTamanhoNomeUsuario, ' ');
    const struct {
        QString nova;
        QString repeticao;
        RegraCampoLogin regra;
        QString mensagem;
    } casos[] = {
        {"1234", "1235", regraSenha, "A nova senha não confere!"},
        {"864209", "864209", regraSenha, "A Senha 864209  não é válida. Tente novamente!"},
        {"12AB", "12ab", regraSenha, "Senha Inválida, digite apenas números. Tente novamente!"},
        {"123", "123", regraSenha,
         "Senha Inválida, digite pelo menos 4 caracteres. Tente novamente!"},
        {"ABCD", " abcd ", {"", 4, 6}, ""},
        {"", "", {"", 0, 6}, ""},  // the layout allows an empty password: a slot of blanks
    };
    for (const auto& c : casos) {
        tc.boxes.clear();
        tc.ctx.login.NovaSenha.clear();
        const bool ok = ConfirmaNovaSenha(tc.ctx, c.nova, c.repeticao, c.regra);
        EXPECT_EQ(ok, c.mensagem.isEmpty()) << c.nova.toStdString();
        EXPECT_EQ(tc.boxes.texts(), c.mensagem.isEmpty() ? QStringList{} : QStringList{c.mensagem})
            << c.nova.toStdString();
        for (const auto& caixa : tc.boxes.shown()) EXPECT_EQ(caixa.title, kLogin);
        EXPECT_EQ(tc.ctx.login.NovaSenha, ok ? c.nova : "");
        if (ok) {
            EXPECT_EQ(senhaDe("MNG3"), c.nova.toUpper());
        }
    }
    // A slot of blanks is a password like any other, not an unknown user.
    gravaPermissoesPadrao();
    EXPECT_EQ(ExecutaLogin(tc.ctx, "MNG3", "", regraUsuario, {"", 0, 6}, {}),
              ResultadoLogin::Aceito);
    // The last slot blank too: the record keeps its trailing blanks.
    tc.ctx.login.UsuarioLogado[1] = CompletaDireita("MNG5", kTamanhoNomeUsuario, ' ');
    ASSERT_TRUE(ConfirmaNovaSenha(tc.ctx, "", "", {"", 0, 6}));
    EXPECT_EQ(ExecutaLogin(tc.ctx, "MNG5", "", regraUsuario, {"", 0, 6}, {}),
              ResultadoLogin::Aceito);
}

// A users file as the store writes it: one line of five 6-character slots, blank ones at both
// ends included, then CR LF. Each manager reads back his own slot, and a password change
// writes the same line with only that slot replaced, under the name of its new checksum.
TEST_F(Usuarios, UsersFileReadsBackAndRewritesSlotBySlot) {
    // Blank, "1111", "2222", "864209", blank: each digit scrambled as its code + 155.
    const QByteArray vagas[] = {"      ", "\xCC\xCC\xCC\xCC  ", "\xCD\xCD\xCD\xCD  ",
                                "\xD3\xD1\xCF\xCD\xCB\xD4", "      "};
    const QByteArray registro = vagas[0] + vagas[1] + vagas[2] + vagas[3] + vagas[4];
    const QString antigo = test::gravaComChecksum(tc, "UP.S", registro + "\r\n");
    // Blanks round the name do not count, its letter case does; other names have no slot.
    const char* quem[] = {"MNG1", "MNG2", " MNG3 ", "MNG4", "MNG5", "MNG6", "mng1"};
    for (int i = 0; i < 7; ++i) {
        QString slot = "x";
        EXPECT_TRUE(ObtemSenha(tc.ctx, quem[i], slot));
        EXPECT_EQ(toCp1252(slot), i < 5 ? vagas[i] : "") << quem[i];
    }
    ASSERT_TRUE(GravaNovaSenha(tc.ctx, "MNG3", "9876543"));  // its first six characters
    const QStringList nomes = test::arquivosDados(tc, "UP.S??");
    ASSERT_EQ(nomes.size(), 1);
    EXPECT_FALSE(QFileInfo::exists(antigo));
    const QByteArray esperado = registro.left(12) + "\xD4\xD3\xD2\xD1\xD0\xCF" + registro.mid(18);
    EXPECT_EQ(readWholeFile(tc.path(nomes[0])).value_or(""), esperado + "\r\n");
    EXPECT_EQ(senhaDe("MNG3"), "987654");  // read back through the checksum check
    EXPECT_TRUE(tc.boxes.empty());

    // The last line read decides, a blank one too.
    ASSERT_TRUE(QFile::remove(tc.path(nomes[0])));
    test::gravaComChecksum(tc, "UP.S", registro + "\r\n\r\n");
    EXPECT_EQ(senhaDe("MNG2"), "");
}

// What the till writes is for its own account only (files 0600, folders 0700) whatever the
// umask: the users file a password change rewrites, even one an earlier version left readable
// by all, the terminal store with its log and index, and the support log.
TEST_F(Usuarios, RewrittenUsersFileStoreAndLogAreThePrograms) {
    const mode_t umaskAntes = ::umask(022);
    ASSERT_TRUE(QFile::setPermissions(gravaUsuarios(), QFile::ReadOwner | QFile::WriteOwner |
                                                           QFile::ReadGroup | QFile::ReadOther));
    ASSERT_TRUE(GravaNovaSenha(tc.ctx, "MNG3", "9876543"));
    TerminalStore store(tc.path("terminal.sqlite"));
    ASSERT_TRUE(store.abre());
    RegistraLog(tc.ctx, "linha");
    ::umask(umaskAntes);
    QStringList vistos;
    for (QDirIterator i(tc.dir.path(), QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                        QDirIterator::Subdirectories);
         i.hasNext();) {
        vistos << QDir(tc.dir.path()).relativeFilePath(i.next());
        struct stat st {};
        ASSERT_EQ(::stat(QFile::encodeName(i.filePath()).constData(), &st), 0);
        EXPECT_EQ(st.st_mode & 0777, i.fileInfo().isDir() ? 0700u : 0600u)
            << vistos.last().toStdString();
    }
    EXPECT_EQ(vistos.size(), 6)
        << vistos.join(' ').toStdString();  // UP, store, -wal, -shm, log/, day
}

TEST_F(Usuarios, GravaNovaSenhaWithoutAnythingToChange) {
    // No users file, or one without a record: nothing to write, and that is not a failure.
    EXPECT_TRUE(GravaNovaSenha(tc.ctx, "MNG1", "1234"));
    EXPECT_TRUE(test::arquivosDados(tc, "UP.S??").isEmpty());
    const QString vazio = GravaArquivoComChecksum(tc.dir.path(), "UP.S", {"   "});
    EXPECT_TRUE(GravaNovaSenha(tc.ctx, "MNG1", "1234"));
    EXPECT_EQ(test::arquivosDados(tc, "UP.S??"), QStringList{QFileInfo(vazio).fileName()});

    // Names outside MNG1..MNG5 leave the file as it was.
    QFile::remove(vazio);
    const QString arquivo = gravaUsuarios();
    EXPECT_FALSE(GravaNovaSenha(tc.ctx, "MNG6", "1234"));
    EXPECT_EQ(test::arquivosDados(tc, "UP.S??"), QStringList{QFileInfo(arquivo).fileName()});
    EXPECT_TRUE(tc.boxes.empty());

    // A damaged file is reported with its full name.
    const QString corrompido = tc.path("UP.S00");
    ASSERT_TRUE(QFile::rename(arquivo, corrompido));
    EXPECT_FALSE(GravaNovaSenha(tc.ctx, "MNG1", "1234"));
    EXPECT_TRUE(umaCaixa(tc, "Arquivo " + corrompido + " corrompido ! Contatar o suporte !",
                         kAtencao, Icon::Critical));
}

TEST_F(Usuarios, InterruptedRewriteLeavesAValidUsersFile) {
    gravaUsuarios();
    // Interrupted after the new file (MNG1 and MNG2 changed) was written but before the old one
    // was removed: both are whole, and the reader takes the first in name order as a whole,
    // never one password from each.
    const QString novo = GravaArquivoComChecksum(
        tc.dir.path(), "UP.S",
        {MontaRegistroUsuarios(tc.ctx, {"7777", "8888", "3333", "4444", "5555"})});
    const QStringList dois = test::arquivosDados(tc, "UP.S??");
    ASSERT_EQ(dois.size(), 2);
    const bool novoPrimeiro = dois.first() == QFileInfo(novo).fileName();
    EXPECT_EQ(senhaDe("MNG1"), novoPrimeiro ? "7777" : "1111");
    EXPECT_EQ(senhaDe("MNG2"), novoPrimeiro ? "8888" : "2222");
    // The next change goes through and leaves the store with one users file again.
    EXPECT_TRUE(GravaNovaSenha(tc.ctx, "MNG2", "2468"));
    EXPECT_EQ(test::arquivosDados(tc, "UP.S??").size(), 1);
    EXPECT_EQ(senhaDe("MNG2"), "2468");
    EXPECT_TRUE(tc.boxes.empty());
}

}  // namespace
}  // namespace ql
