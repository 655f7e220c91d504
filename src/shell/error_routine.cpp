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

QString DescricaoErro(int numero) {
    switch (numero) {
        case 5:
            return QStringLiteral("Argumento ou chamada de procedimento inválida");
        case 6:
            return QStringLiteral("Estouro");
        case 7:
            return QStringLiteral("Memória insuficiente");
        case 9:
            return QStringLiteral("Subscrito fora do intervalo");
        case 11:
            return QStringLiteral("Divisão por zero");
        case 13:
            return QStringLiteral("Tipos incompatíveis");
        case 62:
            return QStringLiteral("Entrada após o final do arquivo");
        case 75:
            return QStringLiteral("Erro de caminho/arquivo");
        default:
            return QStringLiteral("Erro interno");
    }
}

QString TextoErro(int numero) {
    return QString::number(numero) + QStringLiteral(" - ") + DescricaoErro(numero);
}

QString TextoErroDetalhado(int numero, const QString& detalhe) {
    return detalhe.isEmpty() ? TextoErro(numero)
                             : TextoErro(numero) + QStringLiteral(": ") + detalhe;
}

}  // namespace ql
