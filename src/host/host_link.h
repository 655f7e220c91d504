#pragma once

#include <QString>

#include <functional>
#include <memory>

namespace ql {

struct Context;

// The link to the authorisation host. One exchange at a time; each call blocks its caller
// until the answer arrives or the link gives up.
//
// Results of Process and GetPreco: 0 or more means the exchange took place. A negative result
// is a failure of the link itself, never a refusal by the host (refusals travel inside the
// answer). The codes below are the only negative values the links of this system return:
//
//   -163 kSemInternet         host name could not be resolved or the network is unreachable
//   -164 kServidorForaDoAr    the host refused the connection (no server listening)
//   -165 kTimedOut            no connection, or no complete answer, within HOST_TIMEOUT_MS
//   -166 kAnswerCutShort      the connection closed in the middle of an answer
//   -167 kBadLength           the answer's four length characters are not all digits
//   -168 kAnswerTooLong       the answer announces a body longer than the 3072-character frame
//   -169 kTlsFailure          TLS handshake failed or the host's certificate was not trusted
//   -170 kNotConfigured       no link at all (HOST_LINK unusable), as the diagnostics show it
//   -171 kMessageTooLong      the outgoing frame is malformed or its message does not fit
//   -172 kConnectionLost      the connection dropped before any answer, or another socket error
//   -173 kBusy                called while an exchange is already running on this link
//   -174 kBadAnswer           a price-lookup answer that cannot be read
class HostLink {
  public:
    static constexpr int kFrameSize = 3072;
    static constexpr qint32 kSemInternet = -163;
    static constexpr qint32 kServidorForaDoAr = -164;
    static constexpr qint32 kTimedOut = -165;
    static constexpr qint32 kAnswerCutShort = -166;
    static constexpr qint32 kBadLength = -167;
    static constexpr qint32 kAnswerTooLong = -168;
    static constexpr qint32 kTlsFailure = -169;
    static constexpr qint32 kNotConfigured = -170;
    static constexpr qint32 kMessageTooLong = -171;
    static constexpr qint32 kConnectionLost = -172;
    static constexpr qint32 kBusy = -173;
    static constexpr qint32 kBadAnswer = -174;
    // GetPreco: the host answered that it does not know the product.
    static constexpr qint32 kPrecoNaoEncontrado = 1;

    virtual ~HostLink() = default;

    // frame: exactly 3072 characters (four-digit length, message, blanks); on return it holds
    // the host's answer in the same framing. route: the operadora name, read back after the
    // call. mode: "CHK". Result 0 or more: answer received; negative: link failure.
    virtual qint32 Process(QString& frame, QString& route, const QString& mode) = 0;

    // Price lookup: description 40 characters, amounts 12 characters each (cents as
    // left-aligned whole-number text). Result 0: found; kPrecoNaoEncontrado: the host does
    // not know the product; negative: link failure.
    virtual qint32 GetPreco(QString& code1, QString& code2, QString& description, QString& amount1,
                            QString& amount2, QString& status) = 0;

    // Bounds the connection (with its TLS handshake) of the following exchanges to ms; 0 gives
    // them the link's whole time-out again. The background settlement gives up early on a
    // host that is away. Links that do not connect ignore it.
    virtual void setConnectTimeoutMs(int ms) { (void)ms; }
};

// Builds the in-process link (HOST_LINK "embedded"); the simulated host library provides it.
using HostLinkFactory = std::function<std::unique_ptr<HostLink>(Context&)>;

// The link HOST_LINK names: "embedded" (or empty) through the factory, "tcp://HOST:PORT" or
// "tls://HOST:PORT" over the network, bounded by HOST_TIMEOUT_MS and, for TLS, verified
// against HOST_CA or the system's certificate authorities. A setting that cannot be used is
// told to the user through ctx.caixas and gives no link (null): the rest of the program still
// runs, and each exchange reports "158 - Impossivel acessar Módulo QL32_Cli.dll" as for a
// missing library.
std::unique_ptr<HostLink> CriaHostLink(Context& ctx, const HostLinkFactory& embedded = {});

// Creates the link above and stores it in ctx.hostLink.
void IniciaHostLink(Context& ctx, const HostLinkFactory& embedded = {});

// Text shown for a link result that is not one of the two the system has its own text for
// (-163 and -164), for logs and support.
QString DescricaoResultadoLink(qint32 result);

}  // namespace ql
