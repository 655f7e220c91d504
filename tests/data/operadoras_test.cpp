#include <gtest/gtest.h>

#include <QFile>

#include "data/cadastro.h"
#include "data/data_files.h"
#include "data/distribuidoras.h"
#include "data/operadoras.h"
#include "data/regras_login.h"
#include "data_fixtures.h"
#include "shell/ini_access.h"

namespace ql {
namespace {

using test::TestContext;
using Icon = MessageBoxes::Icon;

// A line of the operator table from its fields, column by column.
QString linhaOperadora(const QString& nome, const QString& codigo, const QString& campo1 = "",
                       const QString& campo2 = "", const QString& complemento = "") {
    auto col = [](const QString& t, int w) { return t.leftJustified(w, ' ', true); };
    return col(nome, 20) + col(codigo, 8) + col(campo1, 25) + col(campo2, 25) +
           col(complemento, 25) + "  ";
}

void gravaOperadoras(const TestContext& tc, const QStringList& linhas,
                     const QString& nome = "QLTb_Opr.txt") {
    QFile f(tc.path(nome));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    for (const QString& l : linhas) f.write(l.toLatin1() + "\r\n");
}

TEST(OperatorRecord, ReadsFixedColumns) {
    const QString linha = linhaOperadora("Vida Saude", "00000123", "N0811MATRICULA",
                                         "A 2 6CPF DO TITULAR", "N0104RECEITA");
    ASSERT_EQ(linha.size(), kTamanhoLinhaOperadora);
    auto campos = [](const RegistroOperadora& r) {
        QStringList l = {r.nome, r.codigo, r.reservado};
        for (const auto* c : {&r.campo1, &r.campo2, &r.complemento})
            l << c->tipo + "|" + QString::number(c->minimo) + "|" + QString::number(c->maximo) +
                     "|" + c->rotulo + "|" + (c->necessario() ? "S" : "N");
        return l.join('#').toStdString();
    };
    const RegistroOperadora r = LeRegistroOperadora(linha);
    // " 2": blanks in front of the digits.
    EXPECT_EQ(
        campos(r),
        QStringList({"Vida Saude          ", "00000123", "  ", "N|8|11|MATRICULA           |S",
                     "A|2|6|CPF DO TITULAR      |S", "N|1|4|RECEITA             |S"})
            .join('#')
            .toStdString());
    // Written back with two-digit lengths.
    EXPECT_EQ(FormataRegistroOperadora(r).toStdString(),
              QString(linha).replace("A 2 6", "A0206").toStdString());
    // Digits are read up to the first other character.
    EXPECT_EQ(LeRegistroOperadora(QString(28, ' ') + "N1X").campo1.minimo, 1);
    // A short line: the missing columns are blank, blank numbers are 0.
    const QString brancos(20, ' ');
    EXPECT_EQ(campos(LeRegistroOperadora("CURTA")),
              QStringList({"CURTA               ", "        ", "  ", " |0|0|" + brancos + "|N",
                           " |0|0|" + brancos + "|N", " |0|0|" + brancos + "|N"})
                  .join('#')
                  .toStdString());
    // A longer line is cut to its columns.
    EXPECT_EQ(LeRegistroOperadora(linha + "EXCEDENTE").reservado, "  ");
}

TEST(OperatorTable, LoadsInFileOrderAndFillsBothLists) {
    TestContext tc;
    gravaOperadoras(tc,
                    {linhaOperadora("vida saude", "abc00001"),
                     linhaOperadora("Farma Mais", "00000002", "N0811CARTAO"),
                     linhaOperadora("Vida Saude Plus", "ABC00001")},
                    "qltb_OPR.TXT");  // the name is found whatever its letter case
    ASSERT_TRUE(ObtemDadosOperadora(tc.ctx));
    EXPECT_TRUE(tc.boxes.empty());
    ASSERT_EQ(tc.ctx.operadoras.size(), 3);
    EXPECT_EQ(tc.ctx.operadoras.at(2).campo1.rotulo.trimmed(), "CARTAO");
    EXPECT_EQ(PreencheComboAdmNomes(tc.ctx.operadoras),
              (QStringList{"VIDA SAUDE", "FARMA MAIS", "VIDA SAUDE PLUS"}));

    // The same code on two lines is listed once, with the position of its first line.
    const ListaComboAdm codigos = PreencheComboAdmCodigos(tc.ctx.operadoras);
    QStringList itens;
    for (const auto& item : codigos.itens)
        itens << item.codigo + "@" + QString::number(item.posicao);
    EXPECT_EQ(itens, (QStringList{"ABC00001@1", "00000002@2"}));
    EXPECT_EQ(codigos.selecionado, 0);
    EXPECT_EQ(PreencheComboAdmCodigos(TabelaOperadoras{}).selecionado, -1);

    // Loading again (an empty file, under the usual name) replaces the table.
    gravaOperadoras(tc, {});
    ASSERT_TRUE(ObtemDadosOperadora(tc.ctx));
    EXPECT_EQ(tc.ctx.operadoras.size(), 0);
}

TEST(OperatorTable, MissingOrOversizedFileIsAnError) {
    TestContext tc;
    tc.ctx.operadoras.registros.append(RegistroOperadora{});
    EXPECT_FALSE(ObtemDadosOperadora(tc.ctx));
    EXPECT_TRUE(test::umaCaixa(tc, "Ocorreu o erro: Arquivo QLTb_Opr.txt não foi encontrado.",
                               "ATENÇÃOObtemDadosOperadora", Icon::Exclamation));

    // Too many bytes, or more records than the table can number: nothing is loaded.
    const QByteArray grandes[] = {QByteArray(kMaxBytesArquivoDados + 1, 'A'),
                                  QByteArray("A\r\n").repeated(kMaxOperadoras + 1)};
    for (const QByteArray& bytes : grandes) {
        QFile f(tc.path("QLTb_Opr.txt"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
        f.close();
        EXPECT_FALSE(ObtemDadosOperadora(tc.ctx));
        EXPECT_EQ(tc.boxes.texts(), QStringList{"Ocorreu o erro: 6 - Estouro"});
        EXPECT_EQ(tc.ctx.operadoras.size(), 1);
        tc.boxes.clear();
    }
}

class Distribuidoras : public ::testing::Test {
  protected:
    void SetUp() override {
        gravaOperadoras(tc,
                        {linhaOperadora("VIDA", "ABC00001"), linhaOperadora("FARMA", "00000002"),
                         linhaOperadora("SEM MF", "00000003")});
        ASSERT_TRUE(ObtemDadosOperadora(tc.ctx));
    }
    QString gravaMF() {
        return GravaArquivoComChecksum(
            tc.dir.path(), "MF.S",
            {FormataLinhaDistribuidoras("abc00001", {"DISTRIB NORTE", "DISTRIB SUL"}),
             FormataLinhaDistribuidoras("00000002", {"A", "B", "C", "D", "E"})});
    }
    TestContext tc;
};

TEST_F(Distribuidoras, ListsTheChosenAdministratorsDistributors) {
    gravaMF();
    const struct {
        int posicao;
        QStringList esperado;
    } casos[] = {{1, {"DISTRIB NORTE", "DISTRIB SUL", "", "", ""}}, {2, {"A", "B", "C", "D", "E"}}};
    for (const auto& c : casos) {
        tc.ctx.ident.AdministradoraSelecionada = c.posicao;
        QStringList lista{"antigo"};
        EXPECT_TRUE(PreencheComboDistribuidora(tc.ctx, lista));
        EXPECT_EQ(lista, c.esperado);
    }
    EXPECT_TRUE(tc.boxes.empty());
}

TEST_F(Distribuidoras, EveryFailureHasItsMessage) {
    QStringList lista;
    tc.ctx.ident.AdministradoraSelecionada = 3;
    EXPECT_FALSE(PreencheComboDistribuidora(tc.ctx, lista));
    EXPECT_TRUE(test::umaCaixa(tc, "O arquivo " + tc.dir.path() + "\\MF.Sxx não foi encontrado ",
                               "Atenção", Icon::Critical));
    const QString arquivo = gravaMF();
    EXPECT_FALSE(PreencheComboDistribuidora(tc.ctx, lista));
    EXPECT_TRUE(test::umaCaixa(
        tc,
        "A administradora selecionada não foi encontrada no arquivo " + tc.dir.path() + "\\MF.Sxx",
        "Atenção", Icon::Critical));
    tc.ctx.ident.AdministradoraSelecionada = 0;
    EXPECT_FALSE(PreencheComboDistribuidora(tc.ctx, lista));
    ASSERT_EQ(tc.boxes.shown().size(), 1u);
    EXPECT_TRUE(tc.boxes.last().text.startsWith("Ocorreu o erro: 9 - "));

    const QString corrompido = arquivo.left(arquivo.size() - 2) + "ZZ";
    ASSERT_TRUE(QFile::rename(arquivo, corrompido));
    tc.ctx.ident.AdministradoraSelecionada = 1;
    tc.boxes.clear();
    EXPECT_FALSE(PreencheComboDistribuidora(tc.ctx, lista));
    EXPECT_EQ(tc.boxes.texts(),
              QStringList{"Arquivo " + corrompido + " corrompido ! Contatar o suporte !"});
    EXPECT_TRUE(lista.isEmpty());
}

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
        {"exact", "[DADOS_GERAIS]\nDISTRIBUIDORA_00000123=DISTRIB NORTE LTDA\n", 0},
        {"first of two equal", "[DADOS_GERAIS]\nDISTRIBUIDORA_00000123=distrib sul\n", 1},
        {"blanks round", "[DADOS_GERAIS]\nDISTRIBUIDORA_00000123=  Distrib Norte Ltda  \n", 0},
        {"no longer listed", "[DADOS_GERAIS]\nDISTRIBUIDORA_00000123=PHARMALOG\n", -1},
        {"empty value", "[DADOS_GERAIS]\nDISTRIBUIDORA_00000123=\n", -1},
        {"other operadora", "[DADOS_GERAIS]\nDISTRIBUIDORA_00000456=DISTRIB NORTE LTDA\n", -1},
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
