#include "shell/error_routine.h"

#include "shell/context.h"
#include "shell/support_log.h"

namespace ql {

void MostraErro(Context& ctx, const QString& procedimento, const QString& mensagem) {
    // The support log keeps every one, also those TipoLog keeps off the screen.
    RegistraLog(ctx, QStringLiteral("erro em %1: %2").arg(procedimento, mensagem));
    if (!ctx.config.TipoLog.startsWith(QLatin1Char('M'))) return;
    ctx.caixas.inform(QStringLiteral("Ocorreu o erro: ") + mensagem,
                      ctx.config.TituloMensagem + procedimento, MessageBoxes::Icon::Exclamation);
}

QString TextoErro(int numero, const QString& descricao) {
    return QString::number(numero) + QStringLiteral(" - ") + descricao;
}

}  // namespace ql
