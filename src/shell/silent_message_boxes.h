#pragma once

#include "shell/message_boxes.h"

namespace ql {

// Shows nothing and answers every question with its default button, counting what it was
// asked to show: for programs with nobody to answer (the demo generator, fuzzers,
// benchmarks).
class SilentMessageBoxes final : public MessageBoxes {
  public:
    Answer show(const QString&, const QString&, Icon, Buttons buttons,
                Answer defaultButton) override {
        ++shown;
        return buttons == Buttons::Ok ? Answer::Ok : defaultButton;
    }
    int shown = 0;
};

}  // namespace ql
