#include "data/cadastro.h"

#include "shell/context.h"
#include "shell/ini_access.h"

namespace ql {

QString ChaveDistribuidora(const QString& codigoAdministradora) {
    return QStringLiteral("DISTRIBUIDORA_") + codigoAdministradora.trimmed();
}

int DistribuidoraSalva(Context& ctx, const QString& codigoAdministradora,
                       const QStringList& distribuidoras) {
    QString salva;
    if (!LeLinhaArquivoIni(ctx, QStringLiteral("DADOS_GERAIS"),
                           ChaveDistribuidora(codigoAdministradora), QString(), salva,
                           CaminhoQlnClientIni(ctx)))
        return -1;
    const QString procurada = salva.trimmed().toUpper();
    for (int i = 0; i < distribuidoras.size(); ++i) {
        if (distribuidoras.at(i).trimmed().toUpper() == procurada) return i;
    }
    return -1;
}

}  // namespace ql
