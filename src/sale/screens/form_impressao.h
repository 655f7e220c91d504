#pragma once

#include <QDialog>
#include <QPointer>
#include <QStringList>

class QListWidget;
class QPushButton;

namespace ql {

struct Context;
class FormPrincipal;

// "Imagem da Impressão": the receipt of an approved sale (or cancellation) as it will be
// printed, with the commands to print it, confirm the transaction or undo it. Modal; it closes
// after the confirmation or the undo.
class FormImpressao final : public QDialog {
    Q_OBJECT
  public:
    FormImpressao(Context& ctx, QWidget* parent = nullptr);
    ~FormImpressao() override;

    // Prints the list on the receipt printer, one printer line each, and a last line holding
    // one blank ("Courier New" 8 on a system printer). A printer failure is told in one
    // message; the screen stays as it was for another try, a confirmation or an undo.
    void cmdImprimir_Click();
    // Confirms (F5) or undoes (F12) the transaction at the host, then closes. The transaction
    // tells its own messages.
    void cmdConfirma_Click();
    void cmdAnula_Click();

    // The lines shown, in order.
    QStringList linhas() const;

  public slots:
    // Escape and the close button do not leave the transaction undecided: they act only when
    // neither confirming nor undoing is available.
    void reject() override;

  private:
    void Form_Load();
    void PreencheImpressao();
    // The three commands as the layout enables them, or all off while a command runs.
    void habilitaBotoes(bool habilita);
    // The three commands on, as each command leaves them when it ends (a print too).
    void habilitaTodos();
    // Confirms or undoes the sale (the transaction given), then closes the screen.
    void encerra(const char* procedimento, bool (*transacao)(Context&));

    Context& ctx_;
    QListWidget* lstImpressao_ = nullptr;
    QPushButton* cmdConfirma_ = nullptr;
    QPushButton* cmdAnula_ = nullptr;
    QPushButton* cmdImprimir_ = nullptr;
    // The layout's enabled state of each command, restored after a command ran.
    bool confirmaHabilitado_ = false;
    bool anulaHabilitado_ = false;
    bool imprimirHabilitado_ = false;
    // The main window's print command, unavailable while this screen is open.
    QPointer<FormPrincipal> principal_;
    bool mnuImprimirHabilitado_ = false;
    bool fechado_ = false;
};

}  // namespace ql
