#pragma once

#include <QAbstractSocket>
#include <QList>
#include <QSslCertificate>
#include <QString>

#include <optional>

#include "host/host_link.h"

namespace ql {

// Where a network link goes, read from a HOST_LINK value "tcp://HOST:PORT" or
// "tls://HOST:PORT".
struct HostEndpoint {
    bool tls = false;
    QString host;
    quint16 port = 0;
};

// The endpoint a HOST_LINK value names, or nothing (with the reason in errorText) when it is
// not one of the two network forms or its host or port is missing or invalid.
std::optional<HostEndpoint> parseHostEndpoint(const QString& url, QString* errorText = nullptr);

// The link result for a socket error. answerStarted tells whether part of an answer had
// already arrived when the error happened.
qint32 resultForSocketError(QAbstractSocket::SocketError error, bool answerStarted);

// Host link over TCP or TLS. Each exchange opens its own connection, sends one framed
// message, reads one framed answer and closes: no connection is held between exchanges, so
// a host restarted in between costs nothing and a half-read answer never leaks into the next
// exchange. The caller sees a blocking call; while it waits a local event loop runs, so the
// window keeps repainting. Connecting (with the TLS handshake) and answering are each
// bounded by the time-out.
class NetworkHostLink final : public HostLink {
  public:
    // caCertificates: the authorities the host's certificate must chain to; empty means the
    // system's own.
    NetworkHostLink(HostEndpoint endpoint, int timeoutMs,
                    QList<QSslCertificate> caCertificates = {});

    qint32 Process(QString& frame, QString& route, const QString& mode) override;
    qint32 GetPreco(QString& code1, QString& code2, QString& description, QString& amount1,
                    QString& amount2, QString& status) override;

    // Sends one body and waits for one answer body. Result 0 with answer filled, or one of
    // the negative link results.
    qint32 exchange(const QString& body, QString& answer);
    void setConnectTimeoutMs(int ms) override { connectTimeoutMs_ = ms > 0 ? ms : 0; }

    const HostEndpoint& endpoint() const { return endpoint_; }
    int timeoutMs() const { return timeoutMs_; }

  private:
    HostEndpoint endpoint_;
    int timeoutMs_;
    int connectTimeoutMs_ = 0;  // 0: connecting is bounded by timeoutMs_
    QList<QSslCertificate> caCertificates_;
    bool busy_ = false;
};

}  // namespace ql
