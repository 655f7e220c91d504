#pragma once

#include <QDialog>
#include <QTimer>

#include "sale/pin_pad.h"

class QLabel;
class QLineEdit;
class QThread;

namespace ql {

struct Context;

// The PIN-pad wait window: it shows "Passe o cartão ou digite cancel no Pinpad", lets itself
// paint, then (700 ms after opening) reads the card on the pad of the run and closes. The
// result and the track are then in leitura(). A pad that waits off the window's thread (the
// serial pad) leaves the window live while it waits, and Esc cancels on the pad.
class FormPinPad final : public QDialog {
    Q_OBJECT
  public:
    static constexpr int kEsperaMs = 700;
    static constexpr char16_t kTexto[] = u"Passe o cartão ou digite cancel no Pinpad";
    static constexpr char16_t kErroModulo[] = u"161 - Impossivel acessar Módulo QL32_Pin.dll";

    explicit FormPinPad(Context& ctx, QWidget* parent = nullptr);
    ~FormPinPad() override;

    // The one-shot timer's work: GetTrack on the pad, result and track kept, window closed.
    // When there is no pad to call, the error routine reports the missing library and the
    // result stays -1.
    void Timer1_Timer();

    const LeituraPinPad& leitura() const { return leitura_; }
    QTimer& Timer1() { return timer1_; }
    // True while the pad's wait runs on its own thread.
    bool esperando() const { return espera_ != nullptr; }

    void reject() override;

  private:
    void esperaFora(PinPad& pad);
    // One line of the support log for the read just ended, with what the pad had to say.
    void registraLeitura(const PinPad& pad);

    Context& ctx_;
    QTimer timer1_;
    LeituraPinPad leitura_;
    QThread* espera_ = nullptr;
    PinPad* padEmEspera_ = nullptr;
};

// Shows the PIN-pad window modal over `pai` and returns what the read gave.
LeituraPinPad ExecutaFormPinPad(Context& ctx, QWidget* pai);

// The simulated pad of a store without a device: a small window where the card is swiped into
// (or its number typed in) and confirmed with Enter; cancelling it is a cancellation on the pad
// and an empty entry a card that could not be read.
class PinPadDialogo final : public PinPad {
  public:
    qint32 GetTrack(QByteArray& trilha, QString& aux) override;
};

}  // namespace ql
