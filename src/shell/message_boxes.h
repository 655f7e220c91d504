#pragma once

#include <QString>

namespace ql {

// The title of the system's warnings, refusals and notices.
inline const QString kTituloAtencao = QStringLiteral("Atenção");

// Every message the system shows to the cashier or manager goes through this interface, so
// that the screens use real message boxes and the tests record and answer them.
class MessageBoxes {
  public:
    enum class Icon { None, Critical, Question, Exclamation, Information };
    enum class Buttons { Ok, YesNo, OkCancel };
    enum class Answer { Ok, Yes, No, Cancel };

    virtual ~MessageBoxes() = default;

    // Shows text with a title and icon; returns the button chosen. For YesNo the default
    // button is the one preselected (Enter chooses it).
    virtual Answer show(const QString& text, const QString& title, Icon icon,
                        Buttons buttons = Buttons::Ok, Answer defaultButton = Answer::Ok) = 0;

    // OK-only shorthand.
    void inform(const QString& text, const QString& title, Icon icon) {
        show(text, title, icon, Buttons::Ok, Answer::Ok);
    }
    // Yes/No question; true when the answer was Yes.
    bool ask(const QString& text, const QString& title, Icon icon, Answer defaultButton) {
        return show(text, title, icon, Buttons::YesNo, defaultButton) == Answer::Yes;
    }
};

}  // namespace ql
