#include "till/till_session.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <cmath>

#include "host/valores.h"
#include "message/campo_resposta.h"
#include "sale/grade_autorizacao.h"
#include "sale/recibo.h"
#include "shell/context.h"
#include "shell/error_routine.h"
#include "shell/support_log.h"
#include "shell/text_files.h"
#include "store/settlement.h"
#include "till/till_products.h"
#include "till/till_store.h"

namespace ql {

namespace {

constexpr int kPollMs = 1000;
const QString kVenda = QStringLiteral("VENDA");

QString s(const char* texto) {
    return QLatin1String(texto);
}

TillAnswer resposta(const QString& id, const QString& operacao, const QString& status,
                    const QString& mensagem = {}) {
    TillAnswer r;
    r.id = id;
    r.operacao = operacao;
    r.status = status;
    r.mensagem = mensagem;
    return r;
}

qint64 centavos(const QString& valor) {
    return valorParaCentavos(valor, 12).toLongLong();
}

// The grid's rows as the answer gives them.
std::vector<TillAnswerProduct> linhasDe(const GradeAutorizacao& g) {
    using G = GradeAutorizacao;
    std::vector<TillAnswerProduct> v;
    for (int l = 1; l <= g.linhas(); ++l) {
        const QString status = g.texto(l, G::Status).trimmed();
        v.push_back({g.texto(l, G::Codigo).trimmed(), int(valorInteiro(g.texto(l, G::Quantidade))),
                     centavos(g.texto(l, G::PMC)), centavos(g.texto(l, G::PrecoVenda)),
                     centavos(g.texto(l, G::PagtoCliente)),
                     status.isEmpty() ? QStringLiteral("00") : status});
    }
    return v;
}

const TillAnswerProduct* procura(const std::vector<TillAnswerProduct>& v, const QString& ean) {
    const QString alvo = formataCodigo(ean, 13);
    for (const TillAnswerProduct& p : v)
        if (formataCodigo(p.ean, 13) == alvo) return &p;
    return nullptr;
}

// Request files of req/, oldest first; temporary names (anything not ending in ".req") are
// left to the till.
QStringList pedidos(const QString& dir) {
    QDir d(dir);
    const QFileInfoList lista =
        d.entryInfoList({QStringLiteral("*.req")}, QDir::Files, QDir::Time | QDir::Reversed);
    QStringList ids;
    for (const QFileInfo& f : lista) ids << f.completeBaseName();
    return ids;
}

}  // namespace

TillSession::TillSession(Context& ctx, QString dir, bool tillConfirms)
    : ctx_(ctx), dir_(std::move(dir)), tillConfirms_(tillConfirms) {
    poll_.setInterval(kPollMs);
    connect(&poll_, &QTimer::timeout, this, [this] { verifica(); });
    connect(&watcher_, &QFileSystemWatcher::directoryChanged, this, [this] { verifica(); });
}

TillSession::~TillSession() = default;

QString TillSession::caminhoReq(const QString& id) const {
    return joinPath(joinPath(dir_, QStringLiteral("req")), id + QStringLiteral(".req"));
}

QString TillSession::caminhoResp(const QString& id, const char* extensao) const {
    return joinPath(joinPath(dir_, QStringLiteral("resp")), id + QLatin1String(extensao));
}

bool TillSession::prepara(QString* erro) {
    for (const char* sub : {"req", "resp"}) {
        const QString p = joinPath(dir_, QLatin1String(sub));
        if (!QDir().mkpath(p)) {
            if (erro) *erro = p;
            return false;
        }
    }
    return true;
}

bool TillSession::escreve(const TillAnswer& r) {
    QString erro;
    if (!writeFileAtomically(caminhoResp(r.id, ".resp"), FormatTillAnswer(r), &erro)) {
        MostraErro(ctx_, QStringLiteral("TillSession"), TextoErroDetalhado(75, erro));
        return false;
    }
    RegistraLog(ctx_, QStringLiteral("caixa: pedido %1 (%2) respondido %3 %4")
                          .arg(r.id, r.operacao, r.status, r.nsu));
    return true;
}

void TillSession::conclui(const QString& id) {
    QFile::remove(caminhoReq(id));
    QFile::remove(caminhoResp(id, ".sta"));
}

void TillSession::responde(const QString& id, const QString& operacao, const QString& status,
                           const QString& mensagem) {
    if (escreve(resposta(id, operacao, status, mensagem))) conclui(id);
}

void TillSession::recuperaAntesDaLiquidacao() {
    for (const QString& id : pedidos(joinPath(dir_, QStringLiteral("req")))) {
        const std::optional<QByteArray> bytes = readWholeFile(caminhoReq(id));
        if (!bytes) continue;
        const TillParse p = ParseTillRequest(*bytes, id);
        if (!p.pedido) continue;
        const TillOperation op = p.pedido->operacao;
        if (op == TillOperation::Confirma || op == TillOperation::Desfaz)
            TillSettleStoredSale(ctx_, p.pedido->nsu, op == TillOperation::Confirma, false);
    }
}

void TillSession::inicia() {
    // A sale the last run left in req/ was cut short: the store says how it ended.
    for (const QString& id : pedidos(joinPath(dir_, QStringLiteral("req")))) {
        const std::optional<QByteArray> bytes = readWholeFile(caminhoReq(id));
        if (!bytes || QFileInfo::exists(caminhoResp(id, ".resp"))) continue;
        const TillParse p = ParseTillRequest(*bytes, id);
        if (!p.pedido || p.pedido->operacao != TillOperation::Venda) continue;
        if (!QFileInfo::exists(caminhoResp(id, ".sta"))) continue;  // never taken: served now
        const std::optional<TillStoredSale> v = TillSaleByDocument(ctx_, p.pedido->documento);
        TillAnswer r;
        r.id = id;
        r.operacao = kVenda;
        if (!v) {
            r.status = s(till_status::kErro);
            r.mensagem = QStringLiteral("venda interrompida: o programa foi encerrado");
        } else {
            r.status = s(till_status::kAprovada);
            r.nsu = v->nsu;
            r.liquidacao = v->liquidacao;
            r.documento = v->documento;
            r.totalBruto = v->totalBruto;
            r.totalVenda = v->totalVenda;
            r.totalCliente = v->totalCliente;
            r.recibo = v->recibo;
            r.mensagem = QStringLiteral("o programa foi encerrado com o comprovante na tela");
        }
        if (escreve(r)) conclui(id);
    }
    watcher_.addPath(joinPath(dir_, QStringLiteral("req")));
    poll_.start();
    verifica();
}

void TillSession::verifica() {
    // Nothing runs inside an exchange's wait, nor twice at once.
    if (verificando_ || ctx_.ocupado() || ctx_.liquidando) return;
    verificando_ = true;
    for (const QString& id : pedidos(joinPath(dir_, QStringLiteral("req")))) {
        if (venda_ && id == venda_->id) continue;
        if (decisao_ && id == decisao_->id) continue;
        trata(id);
    }
    verificando_ = false;
}

void TillSession::trata(const QString& arquivo) {
    // A name the answer could not carry is answered under a name it can.
    QString id = arquivo;
    if (!ValidTillId(id)) {
        id.replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9_-]")), QStringLiteral("_"));
        id = id.left(kMaxTillIdLength);
        if (id.isEmpty()) id = QStringLiteral("_");
        if (escreve(resposta(id, {}, s(till_status::kErro),
                             QStringLiteral("nome de arquivo inválido: ") + arquivo)))
            QFile::remove(caminhoReq(arquivo));
        return;
    }
    if (QFileInfo::exists(caminhoResp(id, ".resp"))) {
        // The earlier answer stays; the refusal goes into the acknowledgement.
        const TillAnswer r =
            resposta(id, {}, s(till_status::kErro), QStringLiteral("id já usado: ") + id);
        if (writeFileAtomically(caminhoResp(id, ".sta"), FormatTillAnswer(r)))
            QFile::remove(caminhoReq(id));
        return;
    }
    const QString caminho = caminhoReq(id);
    if (QFileInfo(caminho).size() > kMaxTillRequestBytes) {
        responde(id, {}, s(till_status::kErro),
                 QStringLiteral("arquivo maior que %1 bytes").arg(kMaxTillRequestBytes));
        return;
    }
    const std::optional<QByteArray> bytes = readWholeFile(caminho);
    if (!bytes) return;  // gone or unreadable for now: the next pass tries again
    const TillParse p = ParseTillRequest(*bytes, id);
    if (!p.pedido) {
        responde(id, {}, s(till_status::kErro), p.erro);
        return;
    }
    const QString operacao = TillOperationName(p.pedido->operacao);
    switch (p.pedido->operacao) {
        case TillOperation::Status:
            trataStatus(*p.pedido);
            return;
        case TillOperation::Confirma:
        case TillOperation::Desfaz:
            trataLiquidacao(*p.pedido);
            return;
        case TillOperation::Venda:
            break;
    }
    if (venda_) {
        responde(id, operacao, s(till_status::kOcupado),
                 QStringLiteral("outro pedido está aberto: ") + venda_->id);
        return;
    }
    // Taken only while the cashier's screen is idle; until then it waits in req/.
    if (!ganchos_.telaInicialLivre || !ganchos_.telaInicialLivre()) return;
    writeFileAtomically(caminhoResp(id, ".sta"),
                        FormatTillAnswer(resposta(id, operacao, s(till_status::kRecebido))));
    venda_ = p.pedido;
    etapa_ = Etapa::Identificacao;
    nsu_.clear();
    preVenda_.clear();
    vendidos_.clear();
    foraDaLista_.clear();
    respostaAprovada_.reset();
    RegistraLog(ctx_, QStringLiteral("caixa: pedido %1 (VENDA, %2 produtos, documento %3)")
                          .arg(id)
                          .arg(p.pedido->produtos.size())
                          .arg(p.pedido->documento));
    if (ganchos_.iniciaVenda) ganchos_.iniciaVenda();
}

void TillSession::trataStatus(const TillRequest& p) {
    TillAnswer r = resposta(p.id, s("STATUS"), {});
    const QString alvo = p.consulta;
    if (const std::optional<QByteArray> resp = readWholeFile(caminhoResp(alvo, ".resp"))) {
        const std::optional<TillAnswer> antes = ParseTillAnswer(*resp);
        r.status = antes ? antes->status : s(till_status::kErro);
        r.nsu = antes ? antes->nsu : QString();
        if (!r.nsu.isEmpty()) {
            if (const auto v = TillSaleByNsu(ctx_, r.nsu)) r.liquidacao = v->liquidacao;
        }
    } else if ((venda_ && venda_->id == alvo) || (decisao_ && decisao_->id == alvo)) {
        r.status = s(till_status::kEmAndamento);
        if (venda_ && venda_->id == alvo) r.nsu = nsu_;
    } else if (QFileInfo::exists(caminhoReq(alvo))) {
        r.status = s(till_status::kRecebido);
    } else {
        r.status = s(till_status::kDesconhecido);
    }
    r.mensagem = QStringLiteral("consulta de ") + alvo;
    if (escreve(r)) conclui(p.id);
}

void TillSession::trataLiquidacao(const TillRequest& p) {
    const bool confirma = p.operacao == TillOperation::Confirma;
    const QString operacao = TillOperationName(p.operacao);
    if (venda_ && p.nsu == nsu_) {
        if (etapa_ != Etapa::AguardaCaixa) {
            responde(p.id, operacao, s(till_status::kOcupado),
                     QStringLiteral("a venda NSU %1 aguarda o operador").arg(nsu_));
            return;
        }
        // The receipt screen carries it out, as the cashier's F5 or F12 would.
        writeFileAtomically(caminhoResp(p.id, ".sta"),
                            FormatTillAnswer(resposta(p.id, operacao, s(till_status::kRecebido))));
        decisao_ = p;
        QTimer::singleShot(0, this, [this, confirma] {
            if (ganchos_.decideRecibo && ganchos_.decideRecibo(confirma)) return;
            // No receipt screen to work: the stored sale takes the till's word.
            const TillRequest pedido = *decisao_;
            fechaVenda();
            trataLiquidacao(pedido);
        });
        return;
    }
    const std::optional<TillStoredSale> v = TillSettleStoredSale(ctx_, p.nsu, confirma, true);
    if (!v) {
        responde(p.id, operacao, s(till_status::kErro),
                 QStringLiteral("NSU desconhecido: ") + p.nsu);
        return;
    }
    TillAnswer r = resposta(p.id, operacao, v->liquidacao);
    r.nsu = v->nsu;
    r.liquidacao = v->liquidacao;
    if (escreve(r)) conclui(p.id);
}

bool TillSession::telaInicialAtiva() {
    if (etapa_ != Etapa::PreAutorizada) return false;
    etapa_ = Etapa::Venda;
    return true;
}

void TillSession::operadorLimpou() {
    if (!venda_ || (etapa_ != Etapa::Identificacao && etapa_ != Etapa::Venda)) return;
    TillAnswer r = respostaVenda(s(till_status::kAbandonada));
    r.mensagem = QStringLiteral("o operador abandonou a venda");
    if (escreve(r)) conclui(r.id);
    fechaVenda();
}

bool TillSession::autorizacaoAberta(bool venda) {
    if (!venda_) return false;
    if (!venda && etapa_ == Etapa::Identificacao) {
        etapa_ = Etapa::PreVenda;
        return true;
    }
    return venda && etapa_ == Etapa::Venda;
}

void TillSession::entraProdutos(GradeAutorizacao& grade, ResultadoConsulta& consulta) {
    if (!venda_ || etapa_ != Etapa::PreVenda) return;
    foraDaLista_ = EnterTillProducts(ctx_, venda_->produtos, grade, consulta);
}

TillAnswer TillSession::respostaVenda(const QString& status) const {
    TillAnswer r;
    r.id = venda_->id;
    r.operacao = kVenda;
    r.status = status;
    r.nsu = nsu_;
    r.documento = venda_->documento;
    // The products sold, then each product of the basket that is not among them: refused in
    // the pre-authorisation, or never entered.
    r.produtos = vendidos_.empty() ? preVenda_ : vendidos_;
    for (const TillProduct& p : venda_->produtos) {
        if (procura(r.produtos, p.ean)) continue;
        if (const TillAnswerProduct* antes = procura(preVenda_, p.ean)) {
            r.produtos.push_back(*antes);
            r.produtos.back().quantidade = 0;
        } else {
            r.produtos.push_back({p.ean, 0, 0, 0, 0, QStringLiteral("NE")});
        }
    }
    return r;
}

void TillSession::listaEnviada(bool venda, bool aceita, const GradeAutorizacao& grade) {
    if (!venda_) return;
    if (venda ? etapa_ != Etapa::Venda : etapa_ != Etapa::PreVenda) return;
    (venda ? vendidos_ : preVenda_) = linhasDe(grade);
    if (!aceita) {
        TillAnswer r = respostaVenda(s(till_status::kRecusada));
        const QString codigo = GetCampo(ctx_, QStringLiteral("009-000")).trimmed();
        const QString texto = GetCampo(ctx_, QStringLiteral("030-000")).trimmed();
        if (codigo.isEmpty() && texto.isEmpty())
            r.mensagem = QStringLiteral("sem resposta do autorizador");
        else
            r.mensagem = (codigo + QLatin1Char(' ') + texto).trimmed();
        if (escreve(r)) conclui(r.id);
        fechaVenda();
        return;
    }
    if (!venda) {
        etapa_ = Etapa::PreAutorizada;
        return;
    }
    // Approved: the store holds the sale (written before the receipt screen shows).
    nsu_ = formataCodigo(ctx_.transacao.NsuTransacao.trimmed(), 12);
    TillAnswer r = respostaVenda(s(till_status::kAprovada));
    if (!TillSaleByNsu(ctx_, nsu_)) {
        // Never answered before the store holds the sale.
        r.status = s(till_status::kErro);
        r.mensagem = QStringLiteral("a venda NSU %1 não pôde ser gravada no terminal").arg(nsu_);
        if (escreve(r)) conclui(r.id);
        etapa_ = Etapa::AguardaOperador;
        return;
    }
    const GradeAutorizacao::Totais t = grade.totais();
    r.totalBruto = std::llround(t.bruto * 100);
    r.totalVenda = std::llround(t.venda * 100);
    r.totalCliente = std::llround(t.cliente * 100);
    r.recibo = PreencheImpressao(ctx_);
    if (tillConfirms_) {
        r.liquidacao = s(till_status::kAguardando);
        if (escreve(r)) conclui(r.id);
        etapa_ = Etapa::AguardaCaixa;
    } else {
        respostaAprovada_ = r;
        etapa_ = Etapa::AguardaOperador;
    }
}

void TillSession::reciboDecidido() {
    if (!venda_) return;
    const std::optional<TillStoredSale> v = TillSaleByNsu(ctx_, nsu_);
    const QString liquidacao = v ? v->liquidacao : s(till_status::kPendente);
    if (etapa_ == Etapa::AguardaOperador && respostaAprovada_) {
        respostaAprovada_->liquidacao = liquidacao;
        if (escreve(*respostaAprovada_)) conclui(respostaAprovada_->id);
    }
    if (etapa_ == Etapa::AguardaCaixa && decisao_) {
        TillAnswer r = resposta(decisao_->id, TillOperationName(decisao_->operacao), liquidacao);
        r.nsu = nsu_;
        r.liquidacao = liquidacao;
        if (escreve(r)) conclui(r.id);
    }
    fechaVenda();
}

void TillSession::autorizacaoFechada() {
    if (!venda_) return;
    if (etapa_ != Etapa::PreVenda && etapa_ != Etapa::Venda) return;
    TillAnswer r = respostaVenda(s(till_status::kAbandonada));
    r.mensagem = QStringLiteral("o operador abandonou a venda");
    if (escreve(r)) conclui(r.id);
    fechaVenda();
}

void TillSession::fechaVenda() {
    venda_.reset();
    decisao_.reset();
    respostaAprovada_.reset();
    etapa_ = Etapa::Livre;
}

std::unique_ptr<TillSession> CriaTillSession(Context& ctx) {
    const QString dir = nativePath(ctx.config.TILL_DIR.trimmed());
    if (dir.isEmpty()) return nullptr;
    auto sessao = std::make_unique<TillSession>(
        ctx, dir, ctx.config.TILL_CONFIRMS.trimmed().compare(u"Y", Qt::CaseInsensitive) == 0);
    QString erro;
    if (!sessao->prepara(&erro)) {
        MostraErro(ctx, QStringLiteral("CriaTillSession"), TextoErroDetalhado(75, erro));
        return nullptr;
    }
    return sessao;
}

void RecuperaComCaixa(Context& ctx) {
    ctx.till = CriaTillSession(ctx);
    if (ctx.till) ctx.till->recuperaAntesDaLiquidacao();
    RecuperaVendas(ctx);
}

}  // namespace ql
