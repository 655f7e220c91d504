#pragma once

#include <QString>

#include "shell/layouts.h"

namespace ql {

// The most characters the login's password box takes: the configured maximum of the password
// field (0 = no limit) for a manager, whose password fills a 6-character slot; no limit for the
// service user, whose password lives in the permissions file under its own rules.
int TamanhoMaximoSenha(const QString& usuario, const InputFieldSlot& campoSenha);

// The maximum length a text box gets from a configured field: 0 means no limit.
int TamanhoMaximoCampo(const InputFieldSlot& campo);

}  // namespace ql
