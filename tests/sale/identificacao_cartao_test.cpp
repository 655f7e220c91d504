#include <gtest/gtest.h>

#include "sale/identificacao_cartao.h"
#include "support/test_context.h"

namespace ql {
namespace {

using Modo = ModoEntradaCartao;
using Campo = CampoIdentificacao;

InputFieldSlot regraCartao(char tipo, qint16 minimo) {
    InputFieldSlot r;
    r.kind = QLatin1Char(tipo);
    r.minLength = minimo;
    r.maxLength = 19;
    return r;
}

TEST(ValidaCartao, EveryRefusalAndAcceptanceOfTheCardField) {
    const char* soNumeros =
        "Dados Inválidos, digite apenas números no campo cartão. Tente novamente!";
    const char* minimo = "Digite pelo menos 16 números no campo cartão. Tente novamente!";
    const struct {
        const char* texto;
        Modo modo;
        char tipo;
        const char* mensagem;  // empty: accepted
    } casos[] = {
        {"   ", Modo::Digitacao, 'N', "Digite o número do Cartão. Tente novamente!"},
        {"", Modo::Leitura, 'N', "Passe o Cartão no leitor. Tente novamente!"},
        {"6062820000000E01", Modo::Digitacao, 'N', soNumeros},  // exponent
        {"60628200 0000001", Modo::Digitacao, 'N', soNumeros},
        {"606282000000000", Modo::Digitacao, 'N', minimo},
        {"6062820000000001", Modo::Digitacao, 'N', ""},
        {"  6062820000000001 ", Modo::Digitacao, 'N', ""},
        {"ABCD820000000001", Modo::Digitacao, ' ', ""},  // letters allowed without "N"
        {"ABC", Modo::Digitacao, ' ', minimo},
        {";606282=12?", Modo::Leitura, 'N', "Passe o cartão no leitor. Tente novamente!"},
        {";6062820000000001=2912?", Modo::Leitura, 'N', ""},
    };
    for (const auto& c : casos) {
        const auto r = ValidaCartao(QString::fromUtf8(c.texto), c.modo, regraCartao(c.tipo, 16));
        const auto esperado = *c.mensagem
                                  ? std::optional(RecusaIdentificacao{c.mensagem, Campo::Cartao})
                                  : std::nullopt;
        EXPECT_EQ(r, esperado) << c.texto;
    }
}

TEST(ValidaIdentificacao, CardAgainThenEachAdditionalField) {
    auto operadora = [](const char* tipo1, const char* tipo2) {
        RegistroOperadora r;
        r.campo1 = CampoAdicional{QString::fromLatin1(tipo1), 6, 10, QStringLiteral("Matricula")};
        r.campo2 = CampoAdicional{QString::fromLatin1(tipo2), qint16(tipo2[0] == 'A' ? 3 : 11), 11,
                                  QStringLiteral("CPF")};
        return r;
    };
    const RegistroOperadora numerica = operadora("N", "N"), livre = operadora("A", "A"),
                            semCampos = operadora(" ", "");
    const char *numeros1 = "Dados Inválidos, digite apenas números no campo. Tente novamente!",
               *numeros2 = "Dados Inválidos, digite apenas números. Tente novamente!",
               *minimo6 = "Digite pelo menos 6 números. Tente novamente!",
               *minimo11 = "Digite pelo menos 11 números. Tente novamente!",
               *cartao = "Digite pelo menos 16 números no campo cartão. Tente novamente!",
               *k = "6062820000000001";
    const Modo D = Modo::Digitacao;
    const struct {
        const char *cartao, *campo1, *campo2;
        Modo modo;
        char tipoLogin;
        const RegistroOperadora* op;
        const char* mensagem;  // empty: accepted
        Campo campo;
    } casos[] = {
        {k, "123456", "12345678901", D, ' ', &numerica, "", Campo::Cartao},
        {"606282000000000", "123456", "1", D, ' ', &numerica, cartao, Campo::Cartao},
        {"6062", "123456", "12345678901", Modo::Leitura, ' ', &numerica, "", Campo::Cartao},
        {k, "12A456", "12345678901", D, ' ', &numerica, numeros1, Campo::Campo1},
        {k, "ABCDEF", "XYZ", D, 'N', &livre, numeros1, Campo::Campo1},
        {k, "ABCDEF", "XYZ", D, ' ', &livre, "", Campo::Cartao},
        {k, "12345", "12345678901", D, ' ', &numerica, minimo6, Campo::Campo1},
        {k, "123456", "1234567890-1", D, ' ', &numerica, numeros2, Campo::Campo2},
        {k, "12,345", "1234567890.1", D, 'N', &numerica, "", Campo::Cartao},  // numeric enough
        {k, "123456", "1234567890", D, ' ', &numerica, minimo11, Campo::Campo2},
        {k, "", "", D, 'N', &semCampos, "", Campo::Cartao},
        {k, "", "", D, 'N', nullptr, "", Campo::Cartao},
    };
    for (const auto& c : casos) {
        const DadosIdentificacaoTela dados{QString::fromLatin1(c.cartao),
                                           QString::fromLatin1(c.campo1),
                                           QString::fromLatin1(c.campo2), c.modo};
        const auto esperado =
            *c.mensagem ? std::optional(RecusaIdentificacao{c.mensagem, c.campo}) : std::nullopt;
        EXPECT_EQ(ValidaIdentificacao(dados, regraCartao('N', 16), c.tipoLogin, c.op), esperado)
            << c.cartao << " " << c.campo1 << " " << c.campo2;
    }
}

TEST(AcoesEnter, WhatFollowsTheCardAndTheAdditionalFields) {
    using A = AcaoEnter;
    const struct {
        bool pre, venda, campo1, campo2;
        A aposCartao, enterCampo1, enterCampo2;
    } casos[] = {
        // both sale commands offered: nothing starts by itself
        {true, true, false, false, A::Nenhuma, A::ProximoCampo, A::ProximoCampo},
        {false, true, false, false, A::Autorizacao, A::Autorizacao, A::Autorizacao},
        {true, false, false, false, A::PreAutorizacao, A::PreAutorizacao, A::PreAutorizacao},
        {false, false, false, false, A::Nenhuma, A::ProximoCampo, A::ProximoCampo},
        {true, true, true, true, A::FocaCampo1, A::ProximoCampo, A::ProximoCampo},
        {false, true, true, true, A::FocaCampo1, A::ProximoCampo, A::Autorizacao},
        {false, true, true, false, A::FocaCampo1, A::Autorizacao, A::Autorizacao},
        {true, false, false, true, A::FocaCampo2, A::ProximoCampo, A::PreAutorizacao},
    };
    for (const auto& c : casos) {
        const EstadoComandos e{c.pre, c.venda, c.campo1, c.campo2};
        SCOPED_TRACE(::testing::Message() << c.pre << c.venda << c.campo1 << c.campo2);
        EXPECT_EQ(AcaoAposCartao(e), c.aposCartao);
        EXPECT_EQ(AcaoEnterCampo(1, e), c.enterCampo1);
        EXPECT_EQ(AcaoEnterCampo(2, e), c.enterCampo2);
    }
}

// A component whose identification keeps failing (or succeeds on a given attempt).
class ComponenteRecusa final : public ComponenteDS {
  public:
    explicit ComponenteRecusa(int sucessoNaTentativa = 0) : sucesso_(sucessoNaTentativa) {}
    void setPropriedade(int n, const QString& v) override {
        if (n == 7) limpezas += v.isEmpty();
    }
    QString propriedade(int n) const override {
        if (n != 7) return {};
        return sucesso_ > 0 && identificacoes >= sucesso_ ? QStringLiteral("S")
                                                          : QStringLiteral("N");
    }
    void Identifica() override { ++identificacoes; }
    int identificacoes = 0;
    int limpezas = 0;

  private:
    int sucesso_;
};

TEST(IdentificaPortadorDS, AsksAtMostTwiceAndStopsOnNoOrSuccess) {
    using Answer = MessageBoxes::Answer;
    struct Caso {
        const char* nome;
        std::vector<Answer> respostas;
        int sucessoNaTentativa;
        int perguntas, identificacoes;
    };
    const Caso casos[] = {
        {"no at once", {Answer::No}, 0, 1, 0},
        {"yes then no", {Answer::Yes, Answer::No}, 0, 2, 1},
        {"yes twice: two passes only", {Answer::Yes, Answer::Yes, Answer::Yes}, 0, 2, 2},
        {"identified on the first retry", {Answer::Yes, Answer::Yes}, 1, 1, 1},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nome);
        test::TestContext t;
        auto componente = std::make_unique<ComponenteRecusa>(c.sucessoNaTentativa);
        ComponenteRecusa* fake = componente.get();
        t.ctx.componenteDS = std::move(componente);
        for (Answer a : c.respostas) t.boxes.answerNext(a);
        EXPECT_EQ(IdentificaPortadorDS(t.ctx), c.identificacoes);
        EXPECT_EQ(t.boxes.texts(), QStringList(c.perguntas, "Deseja digitar novamente?"));
        EXPECT_EQ(t.boxes.last().icon, MessageBoxes::Icon::Critical);
        EXPECT_EQ(t.boxes.last().buttons, MessageBoxes::Buttons::YesNo);
        EXPECT_EQ(t.boxes.last().defaultButton, Answer::No);
        // Inputs cleared before the first pass and before every new attempt.
        EXPECT_EQ(fake->limpezas, 1 + c.identificacoes);
    }
    test::TestContext t;  // the default component ends at once
    EXPECT_EQ(IdentificaPortadorDS(t.ctx), 0);
    EXPECT_TRUE(t.boxes.empty());
}

}  // namespace
}  // namespace ql
