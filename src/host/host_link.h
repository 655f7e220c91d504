#pragma once

#include <QString>

namespace ql {

// The link to the authorisation host. One exchange at a time; each call blocks its caller
// until the answer arrives or the link gives up.
class HostLink {
public:
    static constexpr int kFrameSize = 3072;
    static constexpr qint32 kSemInternet = -163;       // host unreachable or unresolvable
    static constexpr qint32 kServidorForaDoAr = -164;  // connection refused

    virtual ~HostLink() = default;

    // frame: exactly 3072 characters (four-digit length, message, blanks); on return it holds
    // the host's answer in the same framing. route: the operadora name, read back after the
    // call. mode: "CHK". Result 0 or more: answer received; negative: link failure.
    virtual qint32 Process(QString& frame, QString& route, const QString& mode) = 0;

    // Price lookup: description 40 characters, amounts 12 characters each (cents as
    // left-aligned whole-number text). Result 0: found.
    virtual qint32 GetPreco(QString& code1, QString& code2, QString& description,
                            QString& amount1, QString& amount2, QString& status) = 0;
};

}  // namespace ql
