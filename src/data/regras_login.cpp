#include "data/regras_login.h"

#include "data/usuarios.h"

namespace ql {

namespace {

// QLineEdit's own default: as good as no limit.
constexpr int kSemLimite = 32767;

}  // namespace

int TamanhoMaximoCampo(const InputFieldSlot& campo) {
    return campo.maxLength > 0 ? campo.maxLength : kSemLimite;
}

int TamanhoMaximoSenha(const QString& usuario, const InputFieldSlot& campoSenha) {
    if (usuario.trimmed().toUpper() == QLatin1String(kUsuarioServico)) return kSemLimite;
    return TamanhoMaximoCampo(campoSenha);
}

}  // namespace ql
