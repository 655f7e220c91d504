#include "shell/error_routine.h"

#include "shell/context.h"

namespace ql {

void MostraErro(Context& ctx, const QString& procedimento, const QString& mensagem) {
    if (!ctx.config.TipoLog.startsWith(QLatin1Char('M'))) return;
    ctx.caixas.inform(QStringLiteral("Ocorreu o erro: ") + mensagem,
                      ctx.config.TituloMensagem + procedimento, MessageBoxes::Icon::Exclamation);
}

QString TextoErro(int numero, const QString& descricao) {
    return QString::number(numero) + QStringLiteral(" - ") + descricao;
}

}  // namespace ql
