#pragma once

#include <QString>

#include "shell/layouts.h"

namespace ql {

// The maximum length a text box gets from a configured field: 0 means no limit. It holds
// whoever types: the service user's password box is limited like a manager's.
int TamanhoMaximoCampo(const InputFieldSlot& campo);

}  // namespace ql
