#pragma once

#include <QString>

namespace ql {

struct Context;

// The common error routine (MostraErro): when the first character of TipoLog is "M", shows
// "Ocorreu o erro: " + message with the exclamation icon, titled TituloMensagem followed
// directly by the procedure name; otherwise shows nothing.
void MostraErro(Context& ctx, const QString& procedimento, const QString& mensagem);

// Text an error handler passes for an unexpected failure: number, " - ", description.
QString TextoErro(int numero, const QString& descricao);

}  // namespace ql
