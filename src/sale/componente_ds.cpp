#include "sale/componente_ds.h"

#include "shell/context.h"

namespace ql {

ComponenteDS& ObtemComponenteDS(Context& ctx) {
    if (!ctx.componenteDS) ctx.componenteDS = std::make_unique<ComponenteDSPadrao>();
    return *ctx.componenteDS;
}

void LimpaPropriedadesDS(ComponenteDS& componente) {
    for (int i = 1; i <= 7; ++i) componente.setPropriedade(i, QString());
}

QString CodigoLojaDS(Context& ctx) {
    const QString loja = ObtemComponenteDS(ctx).propriedade(4).trimmed();
    return loja.isEmpty() ? QStringLiteral("0000") : loja;
}

QString NomePortadorDS(Context& ctx) {
    return ObtemComponenteDS(ctx).propriedade(3);
}

}  // namespace ql
