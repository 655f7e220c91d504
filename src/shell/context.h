#pragma once

#include <QString>

#include <array>
#include <memory>

#include "data/operadoras.h"
#include "host/catalogo.h"
#include "host/host_link.h"
#include "message/mensagem.h"
#include "sale/componente_ds.h"
#include "sale/itens_venda.h"
#include "sale/pin_pad.h"
#include "shell/clock.h"
#include "shell/layouts.h"
#include "shell/message_boxes.h"
#include "shell/settings.h"
#include "store/terminal_store.h"

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
    // Raised while the host link is in an exchange (its wait lets timers run), and while the
    // pending confirmations and undos are being sent again: nothing else is sent meanwhile.
    bool trocaEmAndamento = false;
    bool liquidando = false;
    // The terminal store of approved sales, opened on first use (store/settlement.h).
    std::unique_ptr<TerminalStore> armazem;
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

}  // namespace ql
