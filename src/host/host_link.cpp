#include "host/host_link.h"

#include <QSslCertificate>
#include <QSslSocket>

#include "host/network_link.h"
#include "shell/context.h"
#include "shell/text_files.h"

namespace ql {

namespace {

// A setting that cannot be used is told once, at start-up; there is then no link, and every
// exchange reports the missing module as it would without the library.
std::unique_ptr<HostLink> linkIndisponivel(Context& ctx, const QString& texto) {
    ctx.caixas.inform(texto, kTituloAtencao, MessageBoxes::Icon::Critical);
    return nullptr;
}

}  // namespace

std::unique_ptr<HostLink> CriaHostLink(Context& ctx, const HostLinkFactory& embedded) {
    const QString valor = ctx.config.HOST_LINK.trimmed();
    if (valor.isEmpty() || valor.compare(QLatin1String("embedded"), Qt::CaseInsensitive) == 0) {
        std::unique_ptr<HostLink> link = embedded ? embedded(ctx) : nullptr;
        if (link) return link;
        return linkIndisponivel(ctx,
                                QStringLiteral("O host embutido (HOST_LINK=embedded) não está "
                                               "disponível. Configure HOST_LINK no CORE.ini com "
                                               "tcp://HOST:PORTA ou tls://HOST:PORTA."));
    }

    QString motivo;
    const auto endpoint = parseHostEndpoint(valor, &motivo);
    if (!endpoint) {
        return linkIndisponivel(ctx,
                                QStringLiteral("HOST_LINK inválido no CORE.ini: \"%1\" (%2). Use "
                                               "embedded, tcp://HOST:PORTA ou tls://HOST:PORTA.")
                                    .arg(valor, motivo));
    }

    QList<QSslCertificate> autoridades;
    if (endpoint->tls) {
        if (!QSslSocket::supportsSsl()) {
            return linkIndisponivel(ctx, QStringLiteral("Este computador não oferece conexões TLS; "
                                                        "HOST_LINK \"%1\" não pode ser usado.")
                                             .arg(valor));
        }
        const QString ca = ctx.config.HOST_CA.trimmed();
        if (!ca.isEmpty()) {
            autoridades = QSslCertificate::fromPath(nativePath(ca), QSsl::Pem,
                                                    QSslCertificate::PatternSyntax::FixedString);
            if (autoridades.isEmpty()) {
                return linkIndisponivel(
                    ctx,
                    QStringLiteral("Não foi possível ler certificados do arquivo HOST_CA "
                                   "\"%1\"; a conexão com o host não será verificada nem feita.")
                        .arg(ca));
            }
        }
    }
    return std::make_unique<NetworkHostLink>(*endpoint, ctx.config.HOST_TIMEOUT_MS,
                                             std::move(autoridades));
}

void IniciaHostLink(Context& ctx, const HostLinkFactory& embedded) {
    ctx.hostLink = CriaHostLink(ctx, embedded);
}

QString DescricaoResultadoLink(qint32 result) {
    switch (result) {
        case HostLink::kSemInternet:
            return QStringLiteral("host não encontrado ou rede inacessível");
        case HostLink::kServidorForaDoAr:
            return QStringLiteral("conexão recusada pelo host");
        case HostLink::kTimedOut:
            return QStringLiteral("tempo de espera esgotado");
        case HostLink::kAnswerCutShort:
            return QStringLiteral("resposta interrompida");
        case HostLink::kBadLength:
            return QStringLiteral("resposta com comprimento inválido");
        case HostLink::kAnswerTooLong:
            return QStringLiteral("resposta maior que o quadro");
        case HostLink::kTlsFailure:
            return QStringLiteral("falha na conexão segura (TLS)");
        case HostLink::kNotConfigured:
            return QStringLiteral("HOST_LINK não configurado");
        case HostLink::kMessageTooLong:
            return QStringLiteral("mensagem maior que o quadro");
        case HostLink::kConnectionLost:
            return QStringLiteral("conexão perdida");
        case HostLink::kBusy:
            return QStringLiteral("outra troca em andamento");
        case HostLink::kBadAnswer:
            return QStringLiteral("resposta de preço ilegível");
        default:
            return result >= 0 ? QStringLiteral("ok") : QStringLiteral("erro de conexão");
    }
}

}  // namespace ql
