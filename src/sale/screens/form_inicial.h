#pragma once

#include <QWidget>

#include <functional>

#include "sale/identificacao_cartao.h"
#include "sale/keys/card_reader_keys.h"
#include "sale/pin_pad.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace ql {

struct Context;
class FormPrincipal;

// The card identification screen, "Tela 0001 - Inicial e abertura": the establishment type,
// the operadora, the card (typed, keyboard reader or PIN pad) and the operadora's additional
// fields; then F2 (pre-authorisation) or F4 (authorisation) checks the cardholder's
// eligibility and opens the authorisation screen, and F5 leads to the administrative menu
// through the operator login.
//
// The screen has three states on one window: choose operadora (on opening, after F8 and on
// every activation), enter card (after the operadora is confirmed) and card accepted.
class FormInicial final : public QWidget {
    Q_OBJECT
  public:
    static constexpr char16_t kTitulo[] = u"Tela 0001 - Inicial e abertura";

    explicit FormInicial(FormPrincipal& principal, QWidget* parent = nullptr);

    // What the screen does each time it becomes current: current screen name "INCIAL", the
    // main window's caption, and the first state (cmdLimpa_Click).
    void Form_Activate();

    // The commands.
    void cmdConfirmaOper_Click();
    void cmdConfirmaCartao_Click();
    void BtnPreVenda_Click();
    void cmdVenda_Click();
    void cmdAdmin_Click();
    void cmdLimpa_Click();
    void btnCancel_Click();
    // F12 of the main window while this screen is current: the same question as ESC.
    void ExecutaBotaoEncerrar() { btnCancel_Click(); }

    // Screen states.
    void TravaCampo(bool bTrava);
    void HabilitaCampo();
    void DesabilitaCampo();
    bool ValidaCartao();
    bool ValidaIdentificacao();
    // Copies the chosen operadora into the identification state.
    void ObtemOperadoraSelecionada();

    // A till sale (TILL_DIR): "Tela 0001" with nothing chosen or typed yet.
    bool ociosa() const;
    // Fills what the till sent (operadora, card) or, after its pre-authorisation, the same
    // operadora and card and F4.
    void preencheDoCaixa();

    // The reader mode of the card field (optLeitura / optDigitacao).
    ModoEntradaCartao modoEntrada() const;

    // Where the PIN-pad read is done (the PIN-pad window by default); tests replace it.
    using LeitorPinPad = std::function<LeituraPinPad(Context&, QWidget*)>;
    void setLeitorPinPad(LeitorPinPad leitor) { leitorPinPad_ = std::move(leitor); }

  protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override;
    // Form_Unload: closing this screen ends the program.
    void closeEvent(QCloseEvent* evento) override;

  private:
    // The maximum length of a field without a limit of its own.
    static constexpr int kSemLimite = 32767;

    void montaControles();
    void cbOperadora_Click();
    void optDigitacao_Click();
    void optLeitura_Click();
    void optTipoEstab_Click(qint16 tipo);
    void txtCartao_KeyPress();
    void txtCampo_KeyPress(int campo);
    void executaAcao(AcaoEnter acao);
    void iniciaVenda(bool preVenda);
    void mostraRecusa(const RecusaIdentificacao& recusa);
    EstadoComandos estadoComandos() const;
    // Enabled and shown on this screen: what a function key or Enter may act on.
    bool usavel(const QWidget* w) const;
    void focaSePossivel(QWidget* w);
    void aplicaRotulosEstab();

    FormPrincipal& principal_;
    Context& ctx_;
    LeitorCartaoTeclado leitorTeclado_;
    LeitorPinPad leitorPinPad_;
    bool cartaoAceitoPorEnter_ = false;

    QGroupBox* fraSelecionaTipoEstab_ = nullptr;
    QRadioButton* optSelecaoEstab_ = nullptr;
    QRadioButton* optSelecaoRede_ = nullptr;
    QRadioButton* optSelecaoDistribuidor_ = nullptr;
    QLabel* lblCodigoEstab_ = nullptr;
    QLabel* lblNomeEstab_ = nullptr;
    QGroupBox* fraIdentifica_ = nullptr;
    QWidget* fraOptions_ = nullptr;
    QComboBox* cbOperadora_ = nullptr;
    QLineEdit* txtAdministradora_ = nullptr;
    QPushButton* cmdConfirmaOper_ = nullptr;
    QRadioButton* optDigitacao_ = nullptr;
    QRadioButton* optLeitura_ = nullptr;
    QLabel* lblCartao_ = nullptr;
    QLineEdit* txtCartao_ = nullptr;
    QPushButton* cmdConfirmaCartao_ = nullptr;
    QLabel* LBCampo1_ = nullptr;
    QLineEdit* txtCampo1_ = nullptr;
    QLabel* LBCampo2_ = nullptr;
    QLineEdit* txtCampo2_ = nullptr;
    QPushButton* BtnPreVenda_ = nullptr;
    QPushButton* cmdVenda_ = nullptr;
    QPushButton* cmdAdmin_ = nullptr;
    QPushButton* cmdLimpa_ = nullptr;
    QPushButton* btnCancel_ = nullptr;
};

// Shows the card identification screen again when it exists (hidden by a screen it opened);
// used by AbreFormInicial.
FormInicial* TelaInicialAberta(FormPrincipal& principal);

}  // namespace ql
