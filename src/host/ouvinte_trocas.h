#pragma once

#include <QString>

namespace ql {

struct Context;

// What the exchange tells about one transaction message it sends: the request's message type
// (000-000), processing code (011-000) and quoted NSU (012-000, "" when none), and, once it
// has ended, the link's result and the answer's response code (009-000, "" without one).
struct TrocaRelatada {
    QString tipoMensagem;
    QString codigoProcessamento;
    QString nsu;
    qint32 resultado = 0;
    QString codigoResposta;
};

// The one listener of the exchange, held by the context (ctx.ouvinteTrocas). ProcessaMsg
// tells it about every transaction message just before it goes to the host link and again
// when the link has returned, with the answer (or the failure text) in the message buffer. The
// exchange does not know who listens; the terminal store does, and writes each sale's state
// before its request leaves. A listener may itself send through ProcessaMsg, never from inside
// one of these two calls.
class OuvinteTrocas {
  public:
    virtual ~OuvinteTrocas() = default;
    virtual void enviando(Context& ctx, const TrocaRelatada& troca) = 0;
    virtual void concluida(Context& ctx, const TrocaRelatada& troca) = 0;
};

}  // namespace ql
