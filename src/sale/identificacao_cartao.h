#pragma once

#include <QChar>
#include <QString>

#include <optional>

#include "data/operadoras.h"
#include "shell/layouts.h"

namespace ql {

struct Context;

// Checks of the card identification screen, kept apart from its widgets: the card number
// before it is accepted (ValidaCartao) and the whole identification before a sale starts
// (ValidaIdentificacao). Every refusal is told with the title "Login" and an OK button, and
// the focus goes back to the field concerned.

inline constexpr char16_t kTituloLogin[] = u"Login";

// How the card number reaches txtCartao.
enum class ModoEntradaCartao { Digitacao, Leitura };

// The field a refusal sends the cashier back to.
enum class CampoIdentificacao { Cartao, Campo1, Campo2 };

struct RecusaIdentificacao {
    QString mensagem;
    CampoIdentificacao campo = CampoIdentificacao::Cartao;
    bool operator==(const RecusaIdentificacao&) const = default;
};

// The card number as typed or read: nothing when it may be accepted, otherwise the refusal.
// `regraCartao` is the card field's entry of the screen's layout (kind "N" = digits only,
// SoDigitos: a card number such as "1E5" or "12.5" looks numeric but is refused; minimum
// length).
std::optional<RecusaIdentificacao> ValidaCartao(const QString& textoCartao, ModoEntradaCartao modo,
                                                const InputFieldSlot& regraCartao);

// What ValidaIdentificacao looks at, copied from the screen.
struct DadosIdentificacaoTela {
    QString cartao;
    QString campo1;
    QString campo2;
    ModoEntradaCartao modo = ModoEntradaCartao::Digitacao;
};

// The identification before a sale: the typed card number again (typing mode only), then the
// operadora's additional fields that are in use. A field must be numeric (ehNumerico) when
// the login rules' user field is numeric ("N" in RegrasLogin's first group, as the screen's
// rules say) or the operadora's own record marks the field numeric; it must reach the
// operadora's minimum length. Fields the operadora does not ask for (blank type) are not checked.
std::optional<RecusaIdentificacao> ValidaIdentificacao(const DadosIdentificacaoTela& dados,
                                                       const InputFieldSlot& regraCartao,
                                                       QChar tipoCampoLogin,
                                                       const RegistroOperadora* operadora);

// What follows an Enter that has just got the card accepted, or an Enter in an additional
// field, given which sale commands and fields can be used (enabled and visible).
enum class AcaoEnter { Nenhuma, Autorizacao, PreAutorizacao, ProximoCampo, FocaCampo1, FocaCampo2 };

struct EstadoComandos {
    bool preVendaUsavel = false;  // BtnPreVenda enabled and visible
    bool vendaUsavel = false;     // cmdVenda enabled and visible
    bool campo1Usavel = false;    // txtCampo1 enabled and visible
    bool campo2Usavel = false;    // txtCampo2 enabled and visible
};

// After the card was accepted by Enter: with no additional field in use the sale starts by the
// only sale command offered (nothing when both are); otherwise the focus goes to the first
// usable field.
AcaoEnter AcaoAposCartao(const EstadoComandos& estado);

// Enter in txtCampo1 (campo = 1) or txtCampo2 (campo = 2): the next field when txtCampo1 has
// txtCampo2 after it; otherwise the only usable sale command, else the next control.
AcaoEnter AcaoEnterCampo(int campo, const EstadoComandos& estado);

// The cardholder identification of the identification component after an approved
// eligibility: its seven inputs are cleared, then for at most two passes its result is read;
// a result other than "N" ends the step, and on "N" the cashier is asked "Deseja digitar
// novamente?" - No ends the step, Yes clears the inputs and runs one more identification.
// The outcome never stops the sale. Returns the number of identifications run.
int IdentificaPortadorDS(Context& ctx);

}  // namespace ql
