#pragma once

#include <QWidget>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace ql {

struct Context;
class FormPrincipal;

// The registration screen (FormCadastro, "0016 - Dados Cadastrais"): tells the host which
// distributor the store is registered with for the operadora chosen in the administrative
// menu, and remembers the choice.
class FormCadastro final : public QWidget {
    Q_OBJECT
  public:
    explicit FormCadastro(FormPrincipal& principal);

    // Opening: current screen name, print command off, title, the distributor list, the
    // captions and the saved choice. False (the reason was shown) when the list cannot be
    // filled: the screen must then go without being shown.
    bool Form_Load();
    bool carregado() const { return carregado_; }

    // F3: sends the chosen distributor to the host; the screen stays open.
    void cmdConfirma_Click();
    // Esc: back to the administrative menu.
    void cmdCancel_Click();

    QComboBox* cboDistribuidora() const { return cboDistribuidora_; }
    QLineEdit* txtAdministradora() const { return txtAdministradora_; }
    QPushButton* cmdConfirma() const { return cmdConfirma_; }
    QPushButton* cmdCancel() const { return cmdCancel_; }

  protected:
    void closeEvent(QCloseEvent* evento) override;

  private:
    void MontaTela_FormCadastro();
    void focaLista();

    FormPrincipal& principal_;
    Context& ctx_;
    QGroupBox* fraSelecao_ = nullptr;
    QLabel* lblAdministradora_ = nullptr;
    QLineEdit* txtAdministradora_ = nullptr;
    QLabel* lblDistribuidora_ = nullptr;
    QComboBox* cboDistribuidora_ = nullptr;
    QLabel* lblCodigoEstab_ = nullptr;
    QLabel* lblNomeEstab_ = nullptr;
    QLabel* lblNomeRede_ = nullptr;
    QPushButton* cmdConfirma_ = nullptr;
    QPushButton* cmdCancel_ = nullptr;
    bool carregado_ = false;
};

}  // namespace ql
