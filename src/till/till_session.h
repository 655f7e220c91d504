#pragma once

#include <QFileSystemWatcher>
#include <QObject>
#include <QTimer>

#include <functional>
#include <optional>

#include "till/till_format.h"

namespace ql {

struct Context;
class GradeAutorizacao;
class ResultadoConsulta;

// The till interface of one run (TILL_DIR set): watches req/, answers into resp/ and follows
// the one till sale that may be open through the cashier's screens. The screens tell it what
// happened (the authorisation screen opened, the pre-authorisation was accepted, the sale
// approved or refused, the receipt confirmed or undone, the cashier gave up); it answers the
// till and says what the screens do next. Everything runs on the thread that made it.
//
// req/<id>.req is removed only after its answer is written; resp/<id>.sta acknowledges a
// request at once; resp/<id>.resp is the answer, written atomically.
class TillSession final : public QObject {
    Q_OBJECT
  public:
    // Where the till sale stands.
    enum class Etapa {
        Livre,            // no till sale open
        Identificacao,    // on "Tela 0001": operadora and card, then F2
        PreVenda,         // the pre-authorisation screen holds the basket
        PreAutorizada,    // accepted: the sale follows by itself
        Venda,            // the sale screen is open
        AguardaCaixa,     // approved and answered; the receipt waits for CONFIRMA / DESFAZ
        AguardaOperador,  // approved; the receipt waits for the cashier's F5 / F12
    };

    struct Ganchos {
        // True while "Tela 0001" is current and nothing else is open or being sent.
        std::function<bool()> telaInicialLivre;
        // A till sale starts: bring the window forward on "Tela 0001".
        std::function<void()> iniciaVenda;
        // The till's word for the sale on the receipt screen: confirm (true) or undo; false
        // when no receipt screen is open.
        std::function<bool(bool confirma)> decideRecibo;
    };

    TillSession(Context& ctx, QString dir, bool tillConfirms);
    ~TillSession() override;

    void setGanchos(Ganchos g) { ganchos_ = std::move(g); }

    // Makes req/ and resp/; false with the reason.
    bool prepara(QString* erro);
    // Before the start-up settlement: a CONFIRMA or DESFAZ the last run left in req/ for a
    // sale still authorised turns it pending, so that the settlement sends the till's word
    // rather than undoing it.
    void recuperaAntesDaLiquidacao();
    // After the start-up settlement: answers the requests the last run left in req/ from the
    // store, then starts watching.
    void inicia();
    // Reads req/ once (the watcher and a poll call it).
    void verifica();

    Etapa etapa() const { return etapa_; }
    const TillRequest* vendaAberta() const { return venda_ ? &*venda_ : nullptr; }
    bool tillConfirms() const { return tillConfirms_; }

    // ---- What the screens tell ----
    // "Tela 0001" became current: true when the till sale goes on from the pre-authorisation
    // to the sale by itself (the screen fills the card and runs F4).
    bool telaInicialAtiva();
    // The cashier cleared "Tela 0001" (F8) while a till sale waited there: abandoned.
    void operadorLimpou();
    // The authorisation screen opened in a mode: true when the till's basket (pre-sale) or
    // fiscal document and F5 (sale) go into it.
    bool autorizacaoAberta(bool venda);
    // Enters the basket into the pre-sale grid (after autorizacaoAberta(false) said so).
    void entraProdutos(GradeAutorizacao& grade, ResultadoConsulta& consulta);
    // The list was sent: accepted or refused (the host's text is in the answer).
    void listaEnviada(bool venda, bool aceita, const GradeAutorizacao& grade);
    // The authorisation screen closed.
    void autorizacaoFechada();
    // The receipt screen confirmed or undid the sale (F5 / F12, or the till's word).
    void reciboDecidido();

  private:
    QString caminhoReq(const QString& id) const;
    QString caminhoResp(const QString& id, const char* extensao) const;
    bool escreve(const TillAnswer& r);
    void conclui(const QString& id);
    void fechaVenda();
    TillAnswer respostaVenda(const QString& status) const;
    void trata(const QString& id);
    void trataStatus(const TillRequest& p);
    void trataLiquidacao(const TillRequest& p);
    void responde(const QString& id, const QString& operacao, const QString& status,
                  const QString& mensagem);

    Context& ctx_;
    QString dir_;
    bool tillConfirms_;
    Ganchos ganchos_;
    QFileSystemWatcher watcher_;
    QTimer poll_;
    bool verificando_ = false;

    Etapa etapa_ = Etapa::Livre;
    std::optional<TillRequest> venda_;
    QString nsu_;
    std::vector<TillAnswerProduct> preVenda_;  // the pre-authorisation's verdicts
    std::vector<TillAnswerProduct> vendidos_;  // the sale's
    std::vector<QString> foraDaLista_;         // codes the host does not know
    std::optional<TillAnswer> respostaAprovada_;
    // The CONFIRMA / DESFAZ the receipt screen is carrying out.
    std::optional<TillRequest> decisao_;
};

// The till interface of the run, made from TILL_DIR and TILL_CONFIRMS; nothing when TILL_DIR
// is empty or its folders cannot be made (told through the common error routine).
std::unique_ptr<TillSession> CriaTillSession(Context& ctx);

// Start-up settlement with the till interface: ctx.till is made from the settings, a till's
// CONFIRMA / DESFAZ the last run left in req/ turns its sale pending, and the terminal store's
// start-up settlement runs (RecuperaVendas). The watch starts later with ctx.till->inicia().
void RecuperaComCaixa(Context& ctx);

}  // namespace ql
