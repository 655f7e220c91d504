#pragma once

#include <QStringList>

#include <deque>
#include <vector>

#include "host/framing.h"
#include "host/host_link.h"
#include "shell/context.h"
#include "support/test_context.h"

namespace ql::test {

// A host link that records what the client sends and answers from a script: each reply is an
// answer body (framed back to 3072 characters), a whole raw frame, or a negative link result.
// With the script empty it answers an approval "000-000=0110;009-000=00;".
class ScriptedLink final : public HostLink {
  public:
    struct Sent {
        QString frame, route, mode;
    };

    void answer(const QString& body) { replies_.push_back({0, body, false}); }
    void fail(qint32 result) { replies_.push_back({result, {}, false}); }
    void answerRawFrame(const QString& frame) { replies_.push_back({0, frame, true}); }
    void renameRouteTo(const QString& route) { newRoute_ = route; }

    qint32 Process(QString& frame, QString& route, const QString& mode) override {
        sent_.push_back({frame, route, mode});
        Reply reply{0, QStringLiteral("000-000=0110;009-000=00;"), false};
        if (!replies_.empty()) {
            reply = replies_.front();
            replies_.pop_front();
        }
        if (!newRoute_.isEmpty()) route = newRoute_;
        if (reply.result >= 0) frame = reply.raw ? reply.body : framing::buildFrame(reply.body);
        return reply.result;
    }
    qint32 GetPreco(QString& code1, QString& code2, QString& description, QString& amount1,
                    QString& amount2, QString&) override {
        priceQueries_ << code1 + QLatin1Char('|') + code2;
        if (priceResult_ != 0) return priceResult_;
        description = price_[0].leftJustified(40);
        amount1 = price_[1].leftJustified(12);
        amount2 = price_[2].leftJustified(12);
        return 0;
    }

    void priceAnswer(const QString& description, const QString& listCents,
                     const QString& saleCents) {
        priceResult_ = 0;
        price_ = {description, listCents, saleCents};
    }
    void priceFails(qint32 result) { priceResult_ = result; }

    // The message bodies sent, without frame length and filler.
    QStringList bodies() const {
        QStringList out;
        for (const Sent& s : sent_) out << framing::bodyOfFrame(s.frame).value_or(QString());
        return out;
    }
    const std::vector<Sent>& sent() const { return sent_; }
    const QStringList& priceQueries() const { return priceQueries_; }

  private:
    struct Reply {
        qint32 result;
        QString body;
        bool raw;
    };
    std::deque<Reply> replies_;
    std::vector<Sent> sent_;
    QString newRoute_;
    QStringList priceQueries_, price_;
    qint32 priceResult_ = 1;
};

// Installs a scripted link in the context and returns it.
inline ScriptedLink& installScriptedLink(Context& ctx) {
    auto link = std::make_unique<ScriptedLink>();
    ScriptedLink& ref = *link;
    ctx.hostLink = std::move(link);
    return ref;
}

// A fresh process state whose host is a scripted link, for the transaction tests: operadora
// route "ROUTEXY" (code OPER0001) and establishment 123456.
struct ComLinkRoteirizado {
    TestContext t;
    Context& ctx = t.ctx;
    ScriptedLink& link = installScriptedLink(ctx);

    ComLinkRoteirizado() {
        ctx.ident.NomeOperadora = QStringLiteral("ROUTEXY");
        ctx.ident.CodigoOperadora = QStringLiteral("OPER0001");
        ctx.config.ESTAB_CODE = QStringLiteral("123456");
    }
};

}  // namespace ql::test
