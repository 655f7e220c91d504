#pragma once

#include <QString>

#include <array>
#include <memory>

#include "data/operadoras.h"
#include "host/catalogo.h"
#include "host/host_link.h"
#include "host/ouvinte_trocas.h"
#include "message/mensagem.h"
#include "sale/componente_ds.h"
#include "sale/itens_venda.h"
#include "sale/pin_pad.h"
#include "shell/clock.h"
#include "shell/layouts.h"
#include "shell/message_boxes.h"
#include "shell/settings.h"

namespace ql {

class RespostaLida;
class TillSession;

// Identification of the card and operadora chosen on the card identification screen.
struct Identificacao {
    QString NumeroCartao;
    QString ValorCampo1;
    QString ValorCampo2;
    int OperadoraSelecionada = 0;       // 1-based position in TabelaOperadoras; 0 = none
    QString NomeOperadora;              // route to the host link, also field 040-000
    QString CodigoOperadora;            // 8-character administrator code
    int AdministradoraSelecionada = 0;  // the administrative menu's own choice
};

// The transaction chosen on an administrative screen (or made by the last sale).
struct TransacaoSelecionada {
    QString NsuTransacao;
    QString TipoTransacao;
    QString SituacaoTransacao;
};

// Operator login state; per-type values are indexed by establishment type 1..3.
struct EstadoLogin {
    bool LoginAtivo = false;
    std::array<QString, 4> UsuarioLogado;
    std::array<QString, 4> PermissoesUsuario;
    QString NovaSenha;
};

// The process-wide state of one run. Created by main (or by a test) and passed by reference;
// nothing else in the system keeps mutable global state.
struct Context {
    Context(MessageBoxes& boxes, Clock& clock) : caixas(boxes), relogio(clock) {}
    Context(const Context&) = delete;
    Context& operator=(const Context&) = delete;

    MessageBoxes& caixas;
    Clock& relogio;

    // Where the program runs from: the directory searched first for WINQLNCORE.ini and the
    // default of the Path settings.
    QString programDir;
    // The system-wide directory of WINQLNCORE.ini, used when programDir holds none.
    QString systemSettingsDir = QStringLiteral("/etc/quillane/");

    EstruturaPrincipal config;
    LayoutTelas telas;
    TabelaOperadoras operadoras;

    // The current message, the shared message buffer (outgoing text, then the framed answer
    // or a connection-failure text) and the receipt line count read from an ISO answer.
    Mensagem mensagem;
    QString bufferMensagem;
    int qtdLinhasRecibo = 0;
    // The answer in bufferMensagem as GetCampo read it; read again when the buffer changes.
    std::shared_ptr<RespostaLida> respostaLida;
    // Continuation value of the last product query (0 when no more results follow).
    QString continuacaoConsulta;

    std::unique_ptr<HostLink> hostLink;
    // The foreground waits running: a host exchange, a card read, a catalogue lookup. Their
    // waits let timers run; a timer-driven action (the logon check, the settlement) does
    // nothing while one runs, and no other exchange starts. Raised by EsperaEmPrimeiroPlano.
    int esperasEmAndamento = 0;
    // From an approved eligibility until the authorisation screen closes (its receipt
    // confirmed or undone): the settlement waits for the sale to end.
    bool vendaEmAndamento = false;
    // Raised while the pending confirmations and undos are being sent.
    bool liquidando = false;
    bool ocupado() const { return esperasEmAndamento > 0; }
    // The listener of every transaction exchange: the terminal store (store/settlement.h),
    // installed at start-up.
    std::unique_ptr<OuvinteTrocas> ouvinteTrocas;
    // The product catalogue server of the price lookup; without one the lookup asks the host
    // link.
    std::unique_ptr<CatalogoProdutos> catalogo;
    // The till interface (TILL_DIR), when it is on.
    std::shared_ptr<TillSession> till;

    // The identification component (used when bIdentificaCartao_DS is on); created on first
    // use by ObtemComponenteDS and kept for the whole run.
    std::unique_ptr<ComponenteDS> componenteDS;

    // The card reader of the PIN pad; set by the screen layer or a test, or created from the
    // settings by ObtemPinPad on the first read.
    std::unique_ptr<PinPad> pinPad;

    Identificacao ident;
    ItensVenda itensVenda;
    TransacaoSelecionada transacao;
    // The lot chosen on the sales summary (column 1 of its active row, as shown); kept after
    // the summary closes.
    QString LoteSelecionado;
    EstadoLogin login;

    // The PDF file of the last print job when printing to "pdf:DIRECTORY".
    QString ultimoArquivoImpresso;

    QString TelaAtual;
    qint16 TipoEstab = 1;

    bool PrimeiraAtivacao = false;
    bool PreAutorizacaoRecuperada = false;
    bool SelecaoViaConsulta = false;
};

// Marks a foreground wait (host exchange, card read, catalogue lookup) for its scope.
class EsperaEmPrimeiroPlano {
  public:
    explicit EsperaEmPrimeiroPlano(Context& ctx) : ctx_(ctx) { ++ctx_.esperasEmAndamento; }
    ~EsperaEmPrimeiroPlano() { --ctx_.esperasEmAndamento; }
    EsperaEmPrimeiroPlano(const EsperaEmPrimeiroPlano&) = delete;
    EsperaEmPrimeiroPlano& operator=(const EsperaEmPrimeiroPlano&) = delete;

  private:
    Context& ctx_;
};

}  // namespace ql
