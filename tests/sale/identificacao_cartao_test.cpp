#include <gtest/gtest.h>

#include "sale/identificacao_cartao.h"
#include "support/test_context.h"

namespace ql {
namespace {

using Modo = ModoEntradaCartao;
using Campo = CampoIdentificacao;

InputFieldSlot regraCartao(QChar tipo, qint16 minimo, qint16 maximo = 19) {
    InputFieldSlot r;
    r.kind = tipo;
    r.minLength = minimo;
    r.maxLength = maximo;
    return r;
}

const QString kSoNumeros =
    QStringLiteral("Dados Inválidos, digite apenas números no campo cartão. Tente novamente!");
const QString kMinimo16 =
    QStringLiteral("Digite pelo menos 16 números no campo cartão. Tente novamente!");

TEST(ValidaCartao, EveryRefusalAndAcceptanceOfTheCardField) {
    struct Caso {
        const char* nome;
        QString texto;
        Modo modo;
        QChar tipo;
        QString mensagem;  // empty: accepted
    };
    const Caso casos[] = {
        {"typed empty", QStringLiteral("   "), Modo::Digitacao, u'N',
         QStringLiteral("Digite o número do Cartão. Tente novamente!")},
        {"read empty", QString(), Modo::Leitura, u'N',
         QStringLiteral("Passe o Cartão no leitor. Tente novamente!")},
        {"exponent letter", QStringLiteral("6062820000000E01"), Modo::Digitacao, u'N', kSoNumeros},
        {"decimal point", QStringLiteral("606282000000.001"), Modo::Digitacao, u'N', kSoNumeros},
        {"decimal comma", QStringLiteral("606282000000,001"), Modo::Digitacao, u'N', kSoNumeros},
        {"sign", QStringLiteral("-606282000000001"), Modo::Digitacao, u'N', kSoNumeros},
        {"star", QStringLiteral("60628200000000*1"), Modo::Digitacao, u'N', kSoNumeros},
        {"slash", QStringLiteral("60628200000000/1"), Modo::Digitacao, u'N', kSoNumeros},
        {"inner blank", QStringLiteral("60628200 0000001"), Modo::Digitacao, u'N', kSoNumeros},
        {"one short", QStringLiteral("606282000000000"), Modo::Digitacao, u'N', kMinimo16},
        {"exactly minimum", QStringLiteral("6062820000000001"), Modo::Digitacao, u'N', {}},
        {"blanks around", QStringLiteral("  6062820000000001 "), Modo::Digitacao, u'N', {}},
        {"letters allowed without N",
         QStringLiteral("ABCD820000000001"),
         Modo::Digitacao,
         u' ',
         {}},
        {"short without N", QStringLiteral("ABC"), Modo::Digitacao, u' ', kMinimo16},
        {"read short", QStringLiteral(";606282=12?"), Modo::Leitura, u'N',
         QStringLiteral("Passe o cartão no leitor. Tente novamente!")},
        {"read track with separators",
         QStringLiteral(";6062820000000001=2912?"),
         Modo::Leitura,
         u'N',
         {}},
    };
    for (const Caso& c : casos) {
        const auto r = ValidaCartao(c.texto, c.modo, regraCartao(c.tipo, 16));
        if (c.mensagem.isEmpty()) {
            EXPECT_FALSE(r.has_value()) << c.nome << ": " << r->mensagem.toStdString();
        } else {
            ASSERT_TRUE(r.has_value()) << c.nome;
            EXPECT_EQ(r->mensagem, c.mensagem) << c.nome;
            EXPECT_EQ(r->campo, Campo::Cartao) << c.nome;
        }
    }
}

RegistroOperadora operadora(const QString& tipo1, qint16 min1, const QString& tipo2, qint16 min2) {
    RegistroOperadora r;
    r.nome = QStringLiteral("FARMAVIDA");
    r.codigo = QStringLiteral("00000456");
    r.campo1 = CampoAdicional{tipo1, min1, 10, QStringLiteral("Matricula")};
    r.campo2 = CampoAdicional{tipo2, min2, 11, QStringLiteral("CPF do Titular")};
    return r;
}

TEST(ValidaIdentificacao, CardAgainThenEachAdditionalField) {
    const QString cartao = QStringLiteral("6062820000000001");
    const QString campo1Numeros =
        QStringLiteral("Dados Inválidos, digite apenas números no campo. Tente novamente!");
    const QString campo2Numeros =
        QStringLiteral("Dados Inválidos, digite apenas números. Tente novamente!");
    const RegistroOperadora numerica = operadora(QStringLiteral("N"), 6, QStringLiteral("N"), 11);
    const RegistroOperadora livre = operadora(QStringLiteral("A"), 6, QStringLiteral("A"), 3);
    const RegistroOperadora semCampos = operadora(QStringLiteral(" "), 6, QString(), 11);
    struct Caso {
        const char* nome;
        DadosIdentificacaoTela dados;
        QChar tipoLogin;
        const RegistroOperadora* op;
        std::optional<RecusaIdentificacao> esperado;
    };
    const Caso casos[] = {
        {"all good",
         {cartao, QStringLiteral("123456"), QStringLiteral("12345678901")},
         u' ',
         &numerica,
         std::nullopt},
        {"typed card checked again",
         {QStringLiteral("606282000000000"), QStringLiteral("123456"), QStringLiteral("1")},
         u' ',
         &numerica,
         RecusaIdentificacao{kMinimo16, Campo::Cartao}},
        {"read card not checked again",
         {QStringLiteral("6062"), QStringLiteral("123456"), QStringLiteral("12345678901"),
          Modo::Leitura},
         u' ',
         &numerica,
         std::nullopt},
        {"field 1 letters, record numeric",
         {cartao, QStringLiteral("12A456"), QStringLiteral("12345678901")},
         u' ',
         &numerica,
         RecusaIdentificacao{campo1Numeros, Campo::Campo1}},
        {"field 1 letters, login rule numeric",
         {cartao, QStringLiteral("ABCDEF"), QStringLiteral("XYZ")},
         u'N',
         &livre,
         RecusaIdentificacao{campo1Numeros, Campo::Campo1}},
        {"field 1 letters allowed",
         {cartao, QStringLiteral("ABCDEF"), QStringLiteral("XYZ")},
         u' ',
         &livre,
         std::nullopt},
        {"field 1 short",
         {cartao, QStringLiteral("12345"), QStringLiteral("12345678901")},
         u' ',
         &numerica,
         RecusaIdentificacao{QStringLiteral("Digite pelo menos 6 números. Tente novamente!"),
                             Campo::Campo1}},
        {"field 2 decimal",
         {cartao, QStringLiteral("123456"), QStringLiteral("1234567890.1")},
         u' ',
         &numerica,
         RecusaIdentificacao{campo2Numeros, Campo::Campo2}},
        {"field 2 short",
         {cartao, QStringLiteral("123456"), QStringLiteral("1234567890")},
         u' ',
         &numerica,
         RecusaIdentificacao{QStringLiteral("Digite pelo menos 11 números. Tente novamente!"),
                             Campo::Campo2}},
        {"fields not asked for are not checked",
         {cartao, QString(), QString()},
         u'N',
         &semCampos,
         std::nullopt},
        {"no operadora", {cartao, QString(), QString()}, u'N', nullptr, std::nullopt},
    };
    for (const Caso& c : casos) {
        EXPECT_EQ(ValidaIdentificacao(c.dados, regraCartao(u'N', 16), c.tipoLogin, c.op),
                  c.esperado)
            << c.nome;
    }
}

TEST(AcoesEnter, WhatFollowsTheCardAndTheAdditionalFields) {
    using A = AcaoEnter;
    struct Caso {
        bool pre, venda, campo1, campo2;
        A aposCartao, enterCampo1, enterCampo2;
    };
    const Caso casos[] = {
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
    for (const Caso& c : casos) {
        const EstadoComandos e{c.pre, c.venda, c.campo1, c.campo2};
        const auto linha = ::testing::Message() << c.pre << c.venda << c.campo1 << c.campo2;
        EXPECT_EQ(AcaoAposCartao(e), c.aposCartao) << linha;
        EXPECT_EQ(AcaoEnterCampo(1, e), c.enterCampo1) << linha;
        EXPECT_EQ(AcaoEnterCampo(2, e), c.enterCampo2) << linha;
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
        test::TestContext t;
        auto componente = std::make_unique<ComponenteRecusa>(c.sucessoNaTentativa);
        ComponenteRecusa* fake = componente.get();
        t.ctx.componenteDS = std::move(componente);
        for (Answer a : c.respostas) t.boxes.answerNext(a);
        EXPECT_EQ(IdentificaPortadorDS(t.ctx), c.identificacoes) << c.nome;
        ASSERT_EQ(int(t.boxes.shown().size()), c.perguntas) << c.nome;
        for (const auto& s : t.boxes.shown()) {
            EXPECT_EQ(s.text, QStringLiteral("Deseja digitar novamente?"));
            EXPECT_EQ(s.title, QStringLiteral("Atenção"));
            EXPECT_EQ(s.icon, MessageBoxes::Icon::Critical);
            EXPECT_EQ(s.buttons, MessageBoxes::Buttons::YesNo);
            EXPECT_EQ(s.defaultButton, Answer::No);
        }
        // Inputs cleared before the first pass and before every new attempt.
        EXPECT_EQ(fake->limpezas, 1 + c.identificacoes) << c.nome;
    }
}

TEST(IdentificaPortadorDS, DefaultComponentEndsAtOnce) {
    test::TestContext t;
    EXPECT_EQ(IdentificaPortadorDS(t.ctx), 0);
    EXPECT_TRUE(t.boxes.empty());
}

}  // namespace
}  // namespace ql
