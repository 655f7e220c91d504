#include "support/recording_message_boxes.h"

namespace ql::test {

MessageBoxes::Answer RecordingMessageBoxes::show(const QString& text, const QString& title,
                                                 Icon icon, Buttons buttons,
                                                 Answer defaultButton) {
    shown_.push_back({text, title, icon, buttons, defaultButton});
    if (!script_.empty()) {
        Answer a = script_.front();
        script_.pop_front();
        return a;
    }
    return buttons == Buttons::Ok ? Answer::Ok : defaultButton;
}

QStringList RecordingMessageBoxes::texts() const {
    QStringList out;
    for (const auto& s : shown_) out << s.text;
    return out;
}

}  // namespace ql::test
