#pragma once

#include <QString>
#include <QStringList>

#include <deque>
#include <vector>

#include "shell/message_boxes.h"

namespace ql::test {

// Records every message shown and answers questions from a script (Yes/No/...). A question
// with no scripted answer gets its default button.
class RecordingMessageBoxes final : public MessageBoxes {
  public:
    struct Shown {
        QString text;
        QString title;
        Icon icon;
        Buttons buttons;
        Answer defaultButton;
    };

    Answer show(const QString& text, const QString& title, Icon icon, Buttons buttons,
                Answer defaultButton) override {
        shown_.push_back({text, title, icon, buttons, defaultButton});
        if (script_.empty()) return buttons == Buttons::Ok ? Answer::Ok : defaultButton;
        const Answer a = script_.front();
        script_.pop_front();
        return a;
    }

    void answerNext(Answer a) { script_.push_back(a); }

    const std::vector<Shown>& shown() const { return shown_; }
    QStringList texts() const {
        QStringList out;
        for (const auto& s : shown_) out << s.text;
        return out;
    }
    // The last message; an empty one (no text, no title) when none was shown, so that an
    // expectation on it fails instead of crashing the test.
    const Shown& last() const {
        static const Shown nenhuma{{}, {}, Icon::None, Buttons::Ok, Answer::Ok};
        return shown_.empty() ? nenhuma : shown_.back();
    }
    bool empty() const { return shown_.empty(); }
    void clear() { shown_.clear(); }

  private:
    std::vector<Shown> shown_;
    std::deque<Answer> script_;
};

}  // namespace ql::test
