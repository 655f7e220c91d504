#include "sale/identificacao_cartao.h"

#include "host/valores.h"
#include "sale/componente_ds.h"
#include "shell/context.h"

namespace ql {

namespace {

const QString kCartaoSoNumeros =
    QStringLiteral("Dados Inválidos, digite apenas números no campo cartão. Tente novamente!");

RecusaIdentificacao recusa(const QString& mensagem, CampoIdentificacao campo) {
    return RecusaIdentificacao{mensagem, campo};
}

// The typed card number: digits only when the layout says so, and at least the minimum.
std::optional<RecusaIdentificacao> validaCartaoDigitado(const QString& texto,
                                                        const InputFieldSlot& regra) {
    if (regra.numbersOnly() && !SoDigitos(texto)) {
        return recusa(kCartaoSoNumeros, CampoIdentificacao::Cartao);
    }
    if (texto.size() < regra.minLength) {
        return recusa(QStringLiteral("Digite pelo menos ") + QString::number(regra.minLength) +
                          QStringLiteral(" números no campo cartão. Tente novamente!"),
                      CampoIdentificacao::Cartao);
    }
    return std::nullopt;
}

// One additional field of the operadora.
std::optional<RecusaIdentificacao> validaCampo(const QString& texto, const CampoAdicional& campo,
                                               QChar tipoCampoLogin, const QString& textoNumeros,
                                               CampoIdentificacao qual) {
    if (!campo.necessario()) return std::nullopt;
    const bool numerico =
        tipoCampoLogin == u'N' || campo.tipo.trimmed().compare(u"N", Qt::CaseInsensitive) == 0;
    if (numerico && !ehNumerico(texto)) return recusa(textoNumeros, qual);
    if (texto.size() < campo.minimo) {
        return recusa(QStringLiteral("Digite pelo menos ") + QString::number(campo.minimo) +
                          QStringLiteral(" números. Tente novamente!"),
                      qual);
    }
    return std::nullopt;
}

}  // namespace

std::optional<RecusaIdentificacao> ValidaCartao(const QString& textoCartao, ModoEntradaCartao modo,
                                                const InputFieldSlot& regraCartao) {
    const QString texto = textoCartao.trimmed();
    const bool leitura = modo == ModoEntradaCartao::Leitura;
    if (texto.isEmpty()) {
        return recusa(leitura ? QStringLiteral("Passe o Cartão no leitor. Tente novamente!")
                              : QStringLiteral("Digite o número do Cartão. Tente novamente!"),
                      CampoIdentificacao::Cartao);
    }
    if (!leitura) return validaCartaoDigitado(texto, regraCartao);
    if (texto.size() < regraCartao.minLength) {
        return recusa(QStringLiteral("Passe o cartão no leitor. Tente novamente!"),
                      CampoIdentificacao::Cartao);
    }
    return std::nullopt;
}

std::optional<RecusaIdentificacao> ValidaIdentificacao(const DadosIdentificacaoTela& dados,
                                                       const InputFieldSlot& regraCartao,
                                                       QChar tipoCampoLogin,
                                                       const RegistroOperadora* operadora) {
    if (dados.modo == ModoEntradaCartao::Digitacao) {
        if (auto r = validaCartaoDigitado(dados.cartao.trimmed(), regraCartao)) return r;
    }
    if (!operadora) return std::nullopt;
    if (auto r = validaCampo(
            dados.campo1.trimmed(), operadora->campo1, tipoCampoLogin,
            QStringLiteral("Dados Inválidos, digite apenas números no campo. Tente novamente!"),
            CampoIdentificacao::Campo1)) {
        return r;
    }
    return validaCampo(dados.campo2.trimmed(), operadora->campo2, tipoCampoLogin,
                       QStringLiteral("Dados Inválidos, digite apenas números. Tente novamente!"),
                       CampoIdentificacao::Campo2);
}

namespace {

// The only sale command that can be used, if there is exactly one.
AcaoEnter comandoUnico(const EstadoComandos& e) {
    if (!e.preVendaUsavel && e.vendaUsavel) return AcaoEnter::Autorizacao;
    if (!e.vendaUsavel && e.preVendaUsavel) return AcaoEnter::PreAutorizacao;
    return AcaoEnter::Nenhuma;
}

}  // namespace

AcaoEnter AcaoAposCartao(const EstadoComandos& estado) {
    if (estado.campo1Usavel) return AcaoEnter::FocaCampo1;
    if (estado.campo2Usavel) return AcaoEnter::FocaCampo2;
    return comandoUnico(estado);
}

AcaoEnter AcaoEnterCampo(int campo, const EstadoComandos& estado) {
    if (campo == 1 && estado.campo2Usavel) return AcaoEnter::ProximoCampo;
    const AcaoEnter acao = comandoUnico(estado);
    return acao == AcaoEnter::Nenhuma ? AcaoEnter::ProximoCampo : acao;
}

int IdentificaPortadorDS(Context& ctx) {
    ComponenteDS& componente = ObtemComponenteDS(ctx);
    LimpaPropriedadesDS(componente);
    int tentativas = 0;
    for (int passo = 0; passo < 2; ++passo) {
        if (componente.propriedade(7) != u"N") break;
        if (!ctx.caixas.ask(QStringLiteral("Deseja digitar novamente?"), kTituloAtencao,
                            MessageBoxes::Icon::Critical, MessageBoxes::Answer::No)) {
            break;
        }
        LimpaPropriedadesDS(componente);
        componente.Identifica();
        ++tentativas;
    }
    return tentativas;
}

}  // namespace ql
