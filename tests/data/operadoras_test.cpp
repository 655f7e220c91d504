#include <gtest/gtest.h>

#include <QFile>

#include "data/data_files.h"
#include "data/distribuidoras.h"
#include "data/operadoras.h"
#include "data_fixtures.h"

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
    const RegistroOperadora r = LeRegistroOperadora(linha);
    EXPECT_EQ(r.nome, "Vida Saude          ");
    EXPECT_EQ(r.codigo, "00000123");
    EXPECT_EQ(r.campo1.tipo, "N");
    EXPECT_EQ(r.campo1.minimo, 8);
    EXPECT_EQ(r.campo1.maximo, 11);
    EXPECT_EQ(r.campo1.rotulo, "MATRICULA           ");
    EXPECT_TRUE(r.campo1.necessario());
    EXPECT_EQ(r.campo2.tipo, "A");
    EXPECT_EQ(r.campo2.minimo, 2);  // " 2": blanks in front of the digits
    EXPECT_EQ(r.campo2.maximo, 6);
    EXPECT_EQ(r.campo2.rotulo, "CPF DO TITULAR      ");
    EXPECT_EQ(r.complemento.minimo, 1);
    EXPECT_EQ(r.complemento.maximo, 4);
    // Digits are read up to the first other character.
    EXPECT_EQ(LeRegistroOperadora(QString(28, ' ') + "N1X").campo1.minimo, 1);
    EXPECT_EQ(r.reservado, "  ");
    EXPECT_EQ(FormataRegistroOperadora(r).toStdString(),
              QString(linha).replace("A 2 6", "A0206").toStdString());

    // A short line: the missing columns are blank, blank numbers are 0.
    const RegistroOperadora curto = LeRegistroOperadora("CURTA");
    EXPECT_EQ(curto.nome, "CURTA               ");
    EXPECT_EQ(curto.codigo, "        ");
    EXPECT_FALSE(curto.campo1.necessario());
    EXPECT_EQ(curto.campo1.minimo, 0);
    EXPECT_EQ(curto.complemento.rotulo, QString(20, ' '));
    // A longer line is cut to its columns.
    EXPECT_EQ(LeRegistroOperadora(linha + "EXCEDENTE").reservado, "  ");
}

TEST(OperatorTable, LoadsInFileOrderAndFillsBothLists) {
    TestContext tc;
    gravaOperadoras(tc, {linhaOperadora("vida saude", "abc00001"),
                         linhaOperadora("Farma Mais", "00000002", "N0811CARTAO"),
                         linhaOperadora("Vida Saude Plus", "ABC00001")});
    ASSERT_TRUE(ObtemDadosOperadora(tc.ctx));
    EXPECT_TRUE(tc.boxes.empty());
    ASSERT_EQ(tc.ctx.operadoras.size(), 3);
    EXPECT_EQ(tc.ctx.operadoras.at(2).campo1.rotulo.trimmed(), "CARTAO");
    EXPECT_EQ(PreencheComboAdmNomes(tc.ctx.operadoras),
              (QStringList{"VIDA SAUDE", "FARMA MAIS", "VIDA SAUDE PLUS"}));

    // The same code on two lines is listed once, with the position of its first line.
    const ListaComboAdm codigos = PreencheComboAdmCodigos(tc.ctx.operadoras);
    ASSERT_EQ(codigos.itens.size(), 2);
    EXPECT_EQ(codigos.itens[0].codigo, "ABC00001");
    EXPECT_EQ(codigos.itens[0].posicao, 1);
    EXPECT_EQ(codigos.itens[1].codigo, "00000002");
    EXPECT_EQ(codigos.itens[1].posicao, 2);
    EXPECT_EQ(codigos.selecionado, 0);
    EXPECT_EQ(PreencheComboAdmCodigos(TabelaOperadoras{}).selecionado, -1);

    // Loading again replaces the table.
    gravaOperadoras(tc, {linhaOperadora("UNICA", "00000009")});
    ASSERT_TRUE(ObtemDadosOperadora(tc.ctx));
    ASSERT_EQ(tc.ctx.operadoras.size(), 1);
    EXPECT_EQ(tc.ctx.operadoras.at(1).codigo, "00000009");
}

TEST(OperatorTable, FileNameCaseAndEmptyFile) {
    TestContext tc;
    gravaOperadoras(tc, {linhaOperadora("OUTRA", "00000001")}, "qltb_OPR.TXT");
    ASSERT_TRUE(ObtemDadosOperadora(tc.ctx));
    EXPECT_EQ(tc.ctx.operadoras.size(), 1);

    TestContext vazio;
    gravaOperadoras(vazio, {});
    EXPECT_TRUE(ObtemDadosOperadora(vazio.ctx));
    EXPECT_EQ(vazio.ctx.operadoras.size(), 0);
    EXPECT_TRUE(PreencheComboAdmNomes(vazio.ctx.operadoras).isEmpty());
}

TEST(OperatorTable, MissingOrOversizedFileIsAnError) {
    TestContext tc;
    tc.ctx.operadoras.registros.append(RegistroOperadora{});
    EXPECT_FALSE(ObtemDadosOperadora(tc.ctx));
    ASSERT_EQ(tc.boxes.shown().size(), 1u);
    EXPECT_EQ(tc.boxes.last().text, "Ocorreu o erro: Arquivo QLTb_Opr.txt não foi encontrado.");
    EXPECT_EQ(tc.boxes.last().title.toStdString(), "ATENÇÃOObtemDadosOperadora");
    EXPECT_EQ(tc.boxes.last().icon, Icon::Exclamation);

    // Too many bytes, or more records than the table can number: nothing is loaded.
    const QByteArray grandes[] = {QByteArray(kMaxBytesArquivoDados + 1, 'A'),
                                  QByteArray("A\r\n").repeated(kMaxOperadoras + 1)};
    for (const QByteArray& bytes : grandes) {
        QFile f(tc.path("QLTb_Opr.txt"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
        f.close();
        tc.boxes.clear();
        EXPECT_FALSE(ObtemDadosOperadora(tc.ctx));
        EXPECT_EQ(tc.boxes.texts(), QStringList{"Ocorreu o erro: 6 - Estouro"});
        EXPECT_EQ(tc.ctx.operadoras.size(), 1);
    }
    // With the error boxes turned off the failure is silent.
    tc.ctx.config.TipoLog = "L";
    tc.boxes.clear();
    EXPECT_FALSE(ObtemDadosOperadora(tc.ctx));
    EXPECT_TRUE(tc.boxes.empty());
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
    EXPECT_EQ(tc.boxes.texts(),
              QStringList{"O arquivo " + tc.dir.path() + "\\MF.Sxx não foi encontrado "});
    EXPECT_EQ(tc.boxes.last().title, "Atenção");
    EXPECT_EQ(tc.boxes.last().icon, Icon::Critical);

    const QString arquivo = gravaMF();
    tc.boxes.clear();
    EXPECT_FALSE(PreencheComboDistribuidora(tc.ctx, lista));
    EXPECT_EQ(tc.boxes.texts(),
              QStringList{"A administradora selecionada não foi encontrada no arquivo " +
                          tc.dir.path() + "\\MF.Sxx"});
    EXPECT_EQ(tc.boxes.last().icon, Icon::Critical);

    tc.ctx.ident.AdministradoraSelecionada = 0;
    tc.boxes.clear();
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

}  // namespace
}  // namespace ql
