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
                Answer defaultButton) override;

    void answerNext(Answer a) { script_.push_back(a); }

    const std::vector<Shown>& shown() const { return shown_; }
    QStringList texts() const;
    const Shown& last() const { return shown_.back(); }
    bool empty() const { return shown_.empty(); }
    void clear() { shown_.clear(); }

private:
    std::vector<Shown> shown_;
    std::deque<Answer> script_;
};

}  // namespace ql::test
