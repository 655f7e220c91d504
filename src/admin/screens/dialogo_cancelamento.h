#pragma once

#include <QDialog>

class QLayout;
class QPushButton;
class QVBoxLayout;

namespace ql {

class BusyCursor;
struct CommandSlot;
struct Context;

// The shape the total and the item cancellation dialogs share: modal, the dialog's own fields
// over a row of "F3 - &OK" and "ESC - &Cancel" (F12 cancels too), sized and centred. OK sends
// the cancellation and ends with the authorisation number and the receipt.
class DialogoCancelamento : public QDialog {
    Q_OBJECT
  public:
    // F3: sends the cancellation (enviaCancelamento) under the busy pointer; the dialog closes
    // unless the entry was refused.
    void cmdOk_Click();
    void cmdCancel_Click() { reject(); }

  protected:
    DialogoCancelamento(Context& ctx, const QString& nomeTela, const QString& titulo,
                        QWidget* parent);

    // The dialog's own fields, top to bottom.
    QVBoxLayout* corpo() const { return corpo_; }
    // Once the fields are built (so that they come first in the tab order): the command row,
    // its enabled flags and captions from the layout record, the keys, size and centring.
    void criaComandos(const CommandSlot& ok, const CommandSlot& cancel);
    // Checks the entry and sends the cancellation, ending with ConcluiCancelamento; false keeps
    // the dialog open (the refusal was told and the pointer given back).
    virtual bool enviaCancelamento(BusyCursor& ocupado) = 0;

    Context& ctx_;
    QPushButton* cmdOk_ = nullptr;
    QPushButton* cmdCancel_ = nullptr;

  private:
    QVBoxLayout* corpo_ = nullptr;
};

}  // namespace ql
