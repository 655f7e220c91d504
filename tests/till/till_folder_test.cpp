// The till's request folder as the till sees it: files dropped into req/, answers read back
// from resp/. One row per kind of request the client must answer without serving it.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "support/test_context.h"
#include "till/till_format.h"
#include "till/till_session.h"

namespace ql {
namespace {

struct Caso {
    const char* nome;
    QString id;
    QByteArray conteudo;
    const char* arquivo;  // where the answer is: ".resp", or ".sta" when the id was used
    const char* status;
    QString mensagem;  // "" when the answer carries none
};

QByteArray venda(const QString& id, const QByteArray& produtos) {
    return "id=" + id.toLatin1() + "\r\noperacao=VENDA\r\ndocumento=1234\r\n" + produtos;
}

TEST(PastaDoCaixa, EachMalformedOrUnservableRequestGetsItsAnswerAndLeavesReq) {
    test::TestContext t;
    const QString raiz = t.path(QStringLiteral("caixa"));
    TillSession sessao(t.ctx, raiz, true);
    ASSERT_TRUE(sessao.prepara(nullptr));
    int vendasIniciadas = 0;
    TillSession::Ganchos g;
    g.telaInicialLivre = [] { return true; };
    g.iniciaVenda = [&] { ++vendasIniciadas; };
    sessao.setGanchos(std::move(g));

    QByteArray muitos;
    for (int i = 0; i <= kMaxTillProducts; ++i) muitos += "produto=7891000424452;1;100\n";
    const Caso casos[] = {
        // A well-formed sale opens (acknowledged at once, answered later) ...
        {"aberta",
         QStringLiteral("V1"),
         venda(QStringLiteral("V1"), "produto=7891000424452;2;1590\n"),
         ".sta",
         "RECEBIDO",
         {}},
        // ... so a second one is busy, and STATUS tells where the first stands.
        {"ocupado", QStringLiteral("V2"),
         venda(QStringLiteral("V2"), "produto=7891000424452;1;0\n"), ".resp", "OCUPADO",
         QStringLiteral("outro pedido está aberto: V1")},
        {"status", QStringLiteral("S1"), "id=S1\noperacao=STATUS\nconsulta=V1\n", ".resp",
         "EM_ANDAMENTO", QStringLiteral("consulta de V1")},
        {"operação desconhecida", QStringLiteral("E1"), "id=E1\noperacao=VENDER\n", ".resp", "ERRO",
         QStringLiteral("linha 2: operação desconhecida: VENDER")},
        {"quantidade", QStringLiteral("E2"),
         venda(QStringLiteral("E2"), "produto=7891000424452;0;100\n"), ".resp", "ERRO",
         QStringLiteral("linha 4: quantidade inválida")},
        {"preço", QStringLiteral("E3"),
         venda(QStringLiteral("E3"), "produto=7891000424452;1;12,50\n"), ".resp", "ERRO",
         QStringLiteral("linha 4: preço inválido")},
        {"produtos demais", QStringLiteral("E4"), venda(QStringLiteral("E4"), muitos), ".resp",
         "ERRO",
         QStringLiteral("linha %1: mais de %2 produtos")
             .arg(kMaxTillProducts + 4)
             .arg(kMaxTillProducts)},
        {"não é texto", QStringLiteral("E5"),
         QByteArray("id=E5\noperacao=STATUS\n\x01\x02\x00\xff", 25), ".resp", "ERRO",
         QStringLiteral("linha 3: o arquivo não é texto")},
        {"sem chave=valor", QStringLiteral("E6"), "id=E6\noperacao=STATUS\nconsulta\n", ".resp",
         "ERRO", QStringLiteral("linha 3: esperado chave=valor")},
        {"id de outro arquivo", QStringLiteral("E7"), "id=E8\noperacao=STATUS\n", ".resp", "ERRO",
         QStringLiteral("linha 1: o id difere do nome do arquivo")},
        {"venda sem produtos", QStringLiteral("E9"), venda(QStringLiteral("E9"), ""), ".resp",
         "ERRO", QStringLiteral("a venda não tem produtos")},
        {"NSU que o terminal não tem", QStringLiteral("C1"), "id=C1\noperacao=CONFIRMA\nnsu=77\n",
         ".resp", "ERRO", QStringLiteral("NSU desconhecido: 000000000077")},
        // An id already answered keeps its answer; the refusal goes into the acknowledgement.
        {"id reusado", QStringLiteral("E1"), "id=E1\noperacao=STATUS\nconsulta=V1\n", ".sta",
         "ERRO", QStringLiteral("id já usado: E1")},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nome);
        // The till writes under a temporary name and renames: the temporary file is left alone.
        const QString req = raiz + QStringLiteral("/req/") + c.id + QStringLiteral(".req");
        QFile f(req + QStringLiteral(".tmp"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(c.conteudo);
        f.close();
        sessao.verifica();
        ASSERT_TRUE(QFile::exists(req + QStringLiteral(".tmp")));
        ASSERT_TRUE(QFile::rename(req + QStringLiteral(".tmp"), req));
        sessao.verifica();

        QFile resposta(raiz + QStringLiteral("/resp/") + c.id + QLatin1String(c.arquivo));
        ASSERT_TRUE(resposta.open(QIODevice::ReadOnly));
        const std::optional<TillAnswer> r = ParseTillAnswer(resposta.readAll());
        ASSERT_TRUE(r);
        EXPECT_EQ(r->id, c.id);
        EXPECT_EQ(r->status, QLatin1String(c.status));
        EXPECT_EQ(r->mensagem, c.mensagem);
        // Only the open sale stays in req/ until its answer.
        EXPECT_EQ(QFile::exists(req), c.id == u"V1");
    }
    EXPECT_EQ(vendasIniciadas, 1);
    EXPECT_EQ(sessao.etapa(), TillSession::Etapa::Identificacao);
}

}  // namespace
}  // namespace ql
