#include <gtest/gtest.h>

#include "data/cadastro.h"
#include "data/regras_login.h"
#include "shell/ini_access.h"
#include "support/test_context.h"

namespace ql {
namespace {

TEST(Cadastro, SavedDistributorIsPreselectedWhateverItsLetterCase) {
    const QStringList lista = {QStringLiteral("DISTRIB NORTE LTDA"), QStringLiteral("Distrib Sul"),
                               QString(), QStringLiteral("DISTRIB SUL"), QString()};
    struct Caso {
        const char* nome;
        const char* arquivo;  // QlnClient.ini; nullptr = no file
        int esperado;
    };
    const Caso casos[] = {
        {"no file", nullptr, -1},
        {"no key", "[DADOS_GERAIS]\nTimeOut_Login=30\n", -1},
        {"exact", "[DADOS_GERAIS]\nDISTRIBUIDORA_00000123=DISTRIB NORTE LTDA\n", 0},
        {"first of two equal", "[DADOS_GERAIS]\nDISTRIBUIDORA_00000123=distrib sul\n", 1},
        {"blanks round", "[DADOS_GERAIS]\nDISTRIBUIDORA_00000123=  Distrib Norte Ltda  \n", 0},
        {"no longer listed", "[DADOS_GERAIS]\nDISTRIBUIDORA_00000123=PHARMALOG\n", -1},
        {"empty value", "[DADOS_GERAIS]\nDISTRIBUIDORA_00000123=\n", -1},
        {"other operadora", "[DADOS_GERAIS]\nDISTRIBUIDORA_00000456=DISTRIB NORTE LTDA\n", -1},
        {"other section", "[FormCadastro]\nDISTRIBUIDORA_00000123=DISTRIB NORTE LTDA\n", -1},
    };
    for (const Caso& caso : casos) {
        test::TestContext t;
        if (caso.arquivo)
            t.writeFile(QStringLiteral("QlnClient.ini"), QString::fromLatin1(caso.arquivo));
        EXPECT_EQ(DistribuidoraSalva(t.ctx, QStringLiteral("00000123 "), lista), caso.esperado)
            << caso.nome;
    }
}

TEST(RegrasLogin, TextBoxLengthFollowsItsFieldGroup) {
    InputFieldSlot campo;
    campo.maxLength = 6;
    EXPECT_EQ(TamanhoMaximoCampo(campo), 6);
    campo.maxLength = 0;  // no limit
    EXPECT_EQ(TamanhoMaximoCampo(campo), 32767);
}

}  // namespace
}  // namespace ql
