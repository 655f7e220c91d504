#pragma once

#include <QString>

#include <array>

namespace ql {

struct Context;

// The identification component: seven text properties and one identification operation. The
// sale screens rely on property 3 (the cardholder's name), property 4 (the four-character
// store code) and property 7 (the identification result, "N" = not identified).
class ComponenteDS {
  public:
    virtual ~ComponenteDS() = default;
    // Properties are numbered 1 to 7; other numbers are ignored on writes and read as "".
    virtual void setPropriedade(int numero, const QString& valor) = 0;
    virtual QString propriedade(int numero) const = 0;
    // Runs one identification attempt; its outcome is read from property 7.
    virtual void Identifica() = 0;
};

// The component of a store without an identification service: every property reads "" and the
// identification does nothing, so the store code is "0000", there is no cardholder name and the
// identification step ends at once.
class ComponenteDSPadrao final : public ComponenteDS {
  public:
    void setPropriedade(int, const QString&) override {}
    QString propriedade(int) const override { return {}; }
    void Identifica() override {}
};

// The component of the run, created (the default one) the first time a screen needs it.
ComponenteDS& ObtemComponenteDS(Context& ctx);

// Sets the seven properties to "", as before every identification.
void LimpaPropriedadesDS(ComponenteDS& componente);

// The store code the component supplies (property 4), or "0000" when it supplies none.
QString CodigoLojaDS(Context& ctx);

// The cardholder name the component supplies (property 3).
QString NomePortadorDS(Context& ctx);

}  // namespace ql
