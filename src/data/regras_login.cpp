#include "data/regras_login.h"

namespace ql {

namespace {

// QLineEdit's own default: as good as no limit.
constexpr int kSemLimite = 32767;

}  // namespace

int TamanhoMaximoCampo(const InputFieldSlot& campo) {
    return campo.maxLength > 0 ? campo.maxLength : kSemLimite;
}

}  // namespace ql
