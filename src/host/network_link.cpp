#include "host/network_link.h"

#include <QEventLoop>
#include <QScopeGuard>
#include <QSslConfiguration>
#include <QSslSocket>
#include <QTcpSocket>
#include <QTimer>
#include <QUrl>

#include <memory>

#include "host/framing.h"
#include "host/price_protocol.h"

namespace ql {

std::optional<HostEndpoint> parseHostEndpoint(const QString& url, QString* errorText) {
    auto fail = [&](const QString& why) -> std::optional<HostEndpoint> {
        if (errorText) *errorText = why;
        return std::nullopt;
    };
    const QUrl parsed(url.trimmed(), QUrl::StrictMode);
    if (!parsed.isValid()) return fail(QStringLiteral("endereço malformado"));
    const QString scheme = parsed.scheme().toLower();
    if (scheme != QLatin1String("tcp") && scheme != QLatin1String("tls")) {
        return fail(QStringLiteral("esquema desconhecido \"%1\"").arg(parsed.scheme()));
    }
    if (parsed.host().isEmpty()) return fail(QStringLiteral("falta o nome do host"));
    if (parsed.port() <= 0) return fail(QStringLiteral("falta a porta ou ela é inválida"));
    if (!parsed.userInfo().isEmpty() || parsed.hasQuery() || parsed.hasFragment() ||
        (!parsed.path().isEmpty() && parsed.path() != QLatin1String("/"))) {
        return fail(QStringLiteral("o endereço deve ser só HOST:PORTA"));
    }
    return HostEndpoint{scheme == QLatin1String("tls"), parsed.host(),
                        static_cast<quint16>(parsed.port())};
}

qint32 resultForSocketError(QAbstractSocket::SocketError error, bool answerStarted) {
    switch (error) {
        case QAbstractSocket::ConnectionRefusedError:
            return HostLink::kServidorForaDoAr;
        case QAbstractSocket::HostNotFoundError:
        case QAbstractSocket::NetworkError:
            return HostLink::kSemInternet;
        case QAbstractSocket::SocketTimeoutError:
            return HostLink::kTimedOut;
        case QAbstractSocket::SslHandshakeFailedError:
        case QAbstractSocket::SslInternalError:
        case QAbstractSocket::SslInvalidUserDataError:
            return HostLink::kTlsFailure;
        default:
            return answerStarted ? HostLink::kAnswerCutShort : HostLink::kConnectionLost;
    }
}

NetworkHostLink::NetworkHostLink(HostEndpoint endpoint, int timeoutMs,
                                 QList<QSslCertificate> caCertificates)
    : endpoint_(std::move(endpoint)),
      timeoutMs_(timeoutMs > 0 ? timeoutMs : 30000),
      caCertificates_(std::move(caCertificates)) {}

qint32 NetworkHostLink::exchange(const QString& body, QString& answer) {
    // The wait below runs a local event loop; a timer of the caller's window could try to
    // start a second exchange from inside it. The link serves one exchange at a time.
    if (busy_) return kBusy;
    busy_ = true;
    const auto release = qScopeGuard([this] { busy_ = false; });

    if (!framing::sendable(body.size())) return kMessageTooLong;
    const QByteArray wire = framing::encodeWire(body);

    std::unique_ptr<QTcpSocket> socket;
    QSslSocket* ssl = nullptr;
    if (endpoint_.tls) {
        auto s = std::make_unique<QSslSocket>();
        QSslConfiguration conf = QSslConfiguration::defaultConfiguration();
        conf.setPeerVerifyMode(QSslSocket::VerifyPeer);
        // TLS 1.2 is the floor whatever the system's TLS library would still accept.
        conf.setProtocol(QSsl::TlsV1_2OrLater);
        if (!caCertificates_.isEmpty()) conf.setCaCertificates(caCertificates_);
        s->setSslConfiguration(conf);
        ssl = s.get();
        socket = std::move(s);
    } else {
        socket = std::make_unique<QTcpSocket>();
    }

    constexpr qint32 kPending = 1;
    qint32 result = kPending;
    bool answerStarted = false;
    framing::FrameDecoder decoder;
    QEventLoop loop;
    QTimer deadline;
    deadline.setSingleShot(true);

    auto finish = [&](qint32 r) {
        if (result != kPending) return;
        result = r;
        loop.quit();
    };
    // The answer's own time starts when the request has been handed to the connection.
    auto sendRequest = [&] {
        socket->write(wire);
        deadline.start(timeoutMs_);
    };

    if (ssl) {
        QObject::connect(ssl, &QSslSocket::encrypted, &loop, sendRequest);
    } else {
        QObject::connect(socket.get(), &QAbstractSocket::connected, &loop, sendRequest);
    }
    QObject::connect(socket.get(), &QIODevice::readyRead, &loop, [&] {
        const QByteArray bytes = socket->readAll();
        if (bytes.isEmpty()) return;
        answerStarted = true;
        decoder.feed(bytes);
        const auto next = decoder.next();
        switch (next.status) {
            case framing::FrameDecoder::Status::Body:
                answer = next.body;
                finish(0);
                break;
            case framing::FrameDecoder::Status::BadLength:
                finish(kBadLength);
                break;
            case framing::FrameDecoder::Status::BodyTooLong:
                finish(kAnswerTooLong);
                break;
            case framing::FrameDecoder::Status::NeedMore:
                break;
        }
    });
    QObject::connect(
        socket.get(), &QAbstractSocket::errorOccurred, &loop,
        [&](QAbstractSocket::SocketError e) { finish(resultForSocketError(e, answerStarted)); });
    QObject::connect(socket.get(), &QAbstractSocket::disconnected, &loop,
                     [&] { finish(answerStarted ? kAnswerCutShort : kConnectionLost); });
    QObject::connect(&deadline, &QTimer::timeout, &loop, [&] { finish(kTimedOut); });

    deadline.start(connectTimeoutMs_ > 0 ? qMin(connectTimeoutMs_, timeoutMs_) : timeoutMs_);
    if (ssl) {
        ssl->connectToHostEncrypted(endpoint_.host, endpoint_.port);
    } else {
        socket->connectToHost(endpoint_.host, endpoint_.port);
    }
    // Paint events still run while the cashier waits; keys and clicks wait for the answer.
    if (result == kPending) loop.exec(QEventLoop::ExcludeUserInputEvents);

    QObject::disconnect(socket.get(), nullptr, &loop, nullptr);
    socket->abort();
    return result;
}

qint32 NetworkHostLink::Process(QString& frame, QString& route, const QString& mode) {
    Q_UNUSED(route);
    Q_UNUSED(mode);
    const auto body = framing::bodyOfFrame(frame);
    if (!body || !framing::sendable(body->size())) return kMessageTooLong;
    QString answer;
    const qint32 result = exchange(*body, answer);
    if (result < 0) return result;
    frame = framing::buildFrame(answer);
    return result;
}

qint32 NetworkHostLink::GetPreco(QString& code1, QString& code2, QString& description,
                                 QString& amount1, QString& amount2, QString& status) {
    Q_UNUSED(status);
    QString answerBody;
    const qint32 result = exchange(encodePriceRequest({code1, code2}), answerBody);
    if (result < 0) return result;
    const auto answer = decodePriceAnswer(answerBody);
    if (!answer) return kBadAnswer;
    if (!answer->found) return kPrecoNaoEncontrado;
    fillPriceBuffers(*answer, description, amount1, amount2);
    return 0;
}

}  // namespace ql
