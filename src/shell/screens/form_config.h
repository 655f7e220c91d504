#pragma once

#include <QWidget>

class QLabel;
class QPushButton;
class QTreeWidget;

namespace ql {

struct Context;
class FormPrincipal;

// The settings window of the service user "STAFF": the settings in force and the files they
// came from, the state of the host link, a connection test to the host and a test receipt on
// the receipt printer. Read-only: the
// settings are changed in their files and take effect at the next start.
class FormConfig final : public QWidget {
    Q_OBJECT
  public:
    static constexpr char16_t kTitulo[] = u"Tela 0099 - Configurações";

    explicit FormConfig(FormPrincipal& principal, QWidget* parent = nullptr);

    // Reads the settings again into the list.
    void CarregaConfiguracao();
    // Asks a serial PIN pad for its identity off the window's thread; the list shows it when it
    // comes (or why it did not).
    void ConsultaPinPad();
    // Runs the connection test and shows its outcome.
    void cmdTestaConexao_Click();
    // Prints the short test receipt on the receipt printer and says whether it went out.
    void cmdTestaImpressora_Click();
    // Closes the window; the card identification screen comes back.
    void cmdFechar_Click();
    void ExecutaBotaoEncerrar() { cmdFechar_Click(); }

    QLabel* lblResultado() const { return lblResultado_; }
    QTreeWidget* lstConfiguracao() const { return lstConfiguracao_; }

  signals:
    void pinPadConsultado();

  protected:
    void closeEvent(QCloseEvent* evento) override;

  private:
    FormPrincipal& principal_;
    Context& ctx_;
    QTreeWidget* lstConfiguracao_ = nullptr;
    QLabel* lblHost_ = nullptr;
    QLabel* lblResultado_ = nullptr;
    QPushButton* cmdTestaConexao_ = nullptr;
    QPushButton* cmdTestaImpressora_ = nullptr;
    QPushButton* cmdFechar_ = nullptr;
    bool fechando_ = false;
};

}  // namespace ql
