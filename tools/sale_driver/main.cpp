// quillane-sale-driver: the cashier's sale without the screens, over the core library, for
// tests that stop a terminal at a chosen point of a sale and start it again.
//
//   quillane-sale-driver --dir DIR --port PORT sell (sent|stop|confirm|undo)
//   quillane-sale-driver --dir DIR --port PORT recover
//   quillane-sale-driver --dir DIR --host PROGRAM --host-data FILE day SALES
//
// DIR is the terminal's store (made with the demo data when it holds no settings); the host
// is quillane-host on 127.0.0.1:PORT. "sell" runs F4 (eligibility and the stored
// pre-authorisation of card 6062820000000004), F5 (the sale) and then: "stop" waits to be
// killed; "confirm" and "undo" send the receipt screen's F5 or F12. "sent" waits to be
// killed as soon as the sale's answer is back from the host, before the terminal has read it.
// "recover" does what the client does at start-up (undo a sale left sent or authorised, send
// the pending ones again). "day" runs SALES sales against the quillane-host PROGRAM it starts
// itself on the data FILE and prints the figures of that day at the counter
// (dia_no_balcao.h). Each step is announced on standard output, one line each, flushed at
// once; every message box the cashier would see is written there too ("CAIXA title: text").
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStringList>
#include <QThread>

#include <cstdio>
#include <memory>

#include "data/demo_data_set.h"
#include "dia_no_balcao.h"
#include "host/network_link.h"
#include "host/transacoes.h"
#include "message/campo_resposta.h"
#include "message/mensagem.h"
#include "sale/grade_autorizacao.h"
#include "sale/transacoes_produtos.h"
#include "shell/clock.h"
#include "shell/context.h"
#include "shell/message_boxes.h"
#include "shell/settings.h"
#include "shell/support_log.h"
#include "store/settlement.h"

namespace {

using namespace ql;

void anuncia(const QString& linha) {
    std::fputs(qPrintable(linha + QLatin1Char('\n')), stdout);
    std::fflush(stdout);
}

// Every box as one line; questions get their default answer.
class CaixasNaSaida final : public MessageBoxes {
  public:
    Answer show(const QString& text, const QString& title, Icon, Buttons buttons,
                Answer defaultButton) override {
        QString uma = text;
        uma.replace(QLatin1Char('\n'), QLatin1String(" / "));
        anuncia(QStringLiteral("CAIXA ") + title + QStringLiteral(": ") + uma);
        return buttons == Buttons::Ok ? Answer::Ok : defaultButton;
    }
};

// Announces each confirmation and undo just before it goes on the wire; with paraNaVenda,
// announces the sale's answer and waits to be killed before handing it back.
class LinkAnunciado final : public HostLink {
  public:
    explicit LinkAnunciado(std::unique_ptr<HostLink> link) : link_(std::move(link)) {}
    qint32 Process(QString& frame, QString& route, const QString& mode) override {
        const QString corpo = frame.mid(4, frame.left(4).toInt());
        auto e = [&](const char* tipo) {
            return corpo.startsWith(QLatin1String(tipo)) ||
                   corpo.startsWith(QStringLiteral("000-000=") + QLatin1String(tipo));
        };
        for (const char* tipo : {"0202", "0420"})
            if (e(tipo)) anuncia(QStringLiteral("ENVIANDO ") + QLatin1String(tipo));
        const qint32 resultado = link_->Process(frame, route, mode);
        if (paraNaVenda && e("0200")) {
            anuncia(QStringLiteral("RESPONDIDA 0200"));
            for (;;) QThread::sleep(60);
        }
        return resultado;
    }
    qint32 GetPreco(QString& c1, QString& c2, QString& d, QString& a1, QString& a2,
                    QString& s) override {
        return link_->GetPreco(c1, c2, d, a1, a2, s);
    }

    void setConnectTimeoutMs(int ms) override { link_->setConnectTimeoutMs(ms); }
    bool paraNaVenda = false;

  private:
    std::unique_ptr<HostLink> link_;
};

int vende(Context& ctx, const QString& depois) {
    ctx.TelaAtual = QStringLiteral("VENDA");
    ctx.ident.NumeroCartao = QStringLiteral("6062820000000004");
    ctx.ident.NomeOperadora = QStringLiteral("QUILLANE SAUDE");
    ctx.ident.CodigoOperadora = QStringLiteral("00000123");
    GradeAutorizacao grade;
    grade.configura(QStringLiteral("N"), {}, true);
    for (qint16 bloco = 0;; ++bloco) {
        if (bloco > 10 || !Mensagem_ElegPortador(ctx, bloco) ||
            !Recupera_Pre(ctx, grade, grade.linhas())) {
            anuncia(QStringLiteral("FALHOU elegibilidade"));
            return 1;
        }
        const QString continuacao = GetCampo(ctx, QStringLiteral("900-000"));
        if (continuacao.isEmpty() || continuacao == QLatin1String("0")) break;
    }
    anuncia(QStringLiteral("ELEGIVEL ") + ctx.transacao.NsuTransacao);
    CarregaItemVenda_Grid(ctx, grade);
    if (!Mensagem_GeracaoPre(ctx, grade, QStringLiteral("123456")) || GetQtdLinha(ctx) <= 0) {
        anuncia(QStringLiteral("FALHOU venda"));
        return 1;
    }
    anuncia(QStringLiteral("APROVADA ") + ctx.transacao.NsuTransacao);
    if (depois == QLatin1String("stop")) {
        for (;;) QThread::sleep(60);
    }
    const bool ok =
        depois == QLatin1String("undo") ? Mensagem_Anulacao(ctx) : Mensagem_Confirmacao(ctx);
    anuncia(QStringLiteral("FIM ") + (ok ? QStringLiteral("ok") : QStringLiteral("falhou")));
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    QString dir, programaHost, bancoHost;
    quint16 porta = 0;
    while (args.size() >= 2 && args.first().startsWith(QLatin1String("--"))) {
        const QString opcao = args.takeFirst();
        const QString valor = args.takeFirst();
        if (opcao == QLatin1String("--dir")) dir = QDir(valor).absolutePath();
        if (opcao == QLatin1String("--port")) porta = quint16(valor.toUInt());
        if (opcao == QLatin1String("--host")) programaHost = valor;
        if (opcao == QLatin1String("--host-data")) bancoHost = QDir(valor).absolutePath();
    }
    const QString acao = args.value(0);
    const bool dia = acao == QLatin1String("day");
    if (dir.isEmpty() || (dia ? programaHost.isEmpty() || bancoHost.isEmpty() : porta == 0) ||
        (acao != QLatin1String("recover") && args.size() != 2)) {
        std::fputs(
            "usage: quillane-sale-driver --dir DIR --port PORT "
            "(sell (sent|stop|confirm|undo) | recover)\n"
            "       quillane-sale-driver --dir DIR --host PROGRAM --host-data FILE day SALES\n",
            stderr);
        return 2;
    }

    CaixasNaSaida caixas;
    SystemClock relogio;
    Context ctx(caixas, relogio);
    ctx.programDir = dir;
    if (!QFileInfo::exists(QDir(dir).filePath(QStringLiteral("WINQLNCORE.ini"))) &&
        !GeraDadosDemonstracao(dir)) {
        anuncia(QStringLiteral("FALHOU dados"));
        return 1;
    }
    CarregaTabelasMensagem(ctx);
    if (!SetaEstruturaPrincipal(ctx)) {
        anuncia(QStringLiteral("FALHOU configuracao"));
        return 1;
    }
    if (dia) {
        RegistraInicioPrograma(ctx, QStringLiteral("sale-driver"));
        const int saida = DiaNoBalcao(ctx, programaHost, bancoHost, args.value(1).toInt(), anuncia);
        RegistraFimPrograma(ctx, QStringLiteral("sale-driver"));
        return saida;
    }
    auto link = std::make_unique<LinkAnunciado>(std::make_unique<NetworkHostLink>(
        HostEndpoint{false, QStringLiteral("127.0.0.1"), porta}, ctx.config.HOST_TIMEOUT_MS));
    link->paraNaVenda = args.value(1) == QLatin1String("sent");
    ctx.hostLink = std::move(link);
    RegistraInicioPrograma(ctx, QStringLiteral("sale-driver"));
    LigaArmazemTerminal(ctx);
    int saida = 0;
    if (acao == QLatin1String("recover")) {
        RecuperaVendas(ctx);
        anuncia(QStringLiteral("RECUPERADA"));
    } else {
        saida = vende(ctx, args.value(1));
    }
    RegistraFimPrograma(ctx, QStringLiteral("sale-driver"));
    return saida;
}
