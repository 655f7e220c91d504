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
enum class ComandoAdministrativo;

// The administrative menu (FormComplementar, "0002 - Administrativas"): the logged operator's
// commands, enabled by the operator's permissions, for the operadora chosen in its list.
class FormComplementar final : public QWidget {
    Q_OBJECT
  public:
    explicit FormComplementar(FormPrincipal& principal);
    ~FormComplementar() override;

    // Opening: current screen name, print command off, placement, title, captions and
    // permissions, and the operadora list (its first item chosen).
    void Form_Load();
    // Each time the menu becomes current again: its screen name and title.
    void Form_Activate();
    // Captions, user name and the commands the permissions govern.
    void MontaTela_FormComplementar();
    // What the main window's F12 - Retornar does here: the same as cmdCancel.
    void ExecutaBotaoEncerrar();

    // Runs one command as its button does.
    void executa(ComandoAdministrativo comando);

    QPushButton* botao(ComandoAdministrativo comando) const;
    QComboBox* cbAdministradora() const { return cbAdministradora_; }
    QLineEdit* txtUsuario() const { return txtUsuario_; }

  protected:
    void closeEvent(QCloseEvent* evento) override;

  private:
    void cbAdministradora_Click();
    void focaLista();
    void fecha();

    FormPrincipal& principal_;
    Context& ctx_;
    QGroupBox* fraIdentificacao_ = nullptr;
    QLabel* lblUsuario_ = nullptr;
    QLineEdit* txtUsuario_ = nullptr;
    QLabel* lblAdmistradora_ = nullptr;
    QComboBox* cbAdministradora_ = nullptr;
    QLabel* lblCodigoEstab_ = nullptr;
    QLabel* lblNomeEstab_ = nullptr;
    QLabel* lblNomeRede_ = nullptr;
    QPushButton* cmdLogin_ = nullptr;
    QPushButton* cmdAlterarSenha_ = nullptr;
    QPushButton* cmdCadastro_ = nullptr;
    QPushButton* cmdResumoFinanceiro_ = nullptr;
    QPushButton* cmdPrevenda_ = nullptr;
    QPushButton* cmdResumo_ = nullptr;
    QPushButton* cmdCanceltotal_ = nullptr;
    QPushButton* cmdPendentes_ = nullptr;
    QPushButton* cmdLogon_ = nullptr;
    QPushButton* cmdCancel_ = nullptr;
    bool fechando_ = false;
};

}  // namespace ql
