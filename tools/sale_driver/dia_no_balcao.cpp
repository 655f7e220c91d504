// A day at the counter: many sales in one terminal process against a quillane-host it starts
// and, now and then, kills and starts again; then how the process, its store and its log
// grew, and whether host and store agree on every sale.
#include "dia_no_balcao.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <cstdio>

#include "host/network_link.h"
#include "host/transacoes.h"
#include "hostsim/host_store.h"
#include "message/campo_resposta.h"
#include "sale/grade_autorizacao.h"
#include "sale/transacoes_produtos.h"
#include "shell/context.h"
#include "store/settlement.h"
#include "store/terminal_store.h"

namespace ql {

namespace {

const QString kCartao = QStringLiteral("6062820000000001");

// The process's resident memory in kB (0 when /proc cannot tell).
qint64 memoriaResidenteKb() {
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly)) return 0;
    for (const QByteArray& linha : f.readAll().split('\n'))
        if (linha.startsWith("VmRSS:"))
            return linha.mid(6).trimmed().split(' ').value(0).toLongLong();
    return 0;
}

qint64 bytesEm(const QString& dir, const QStringList& filtros) {
    qint64 total = 0;
    for (QDirIterator it(dir, filtros, QDir::Files, QDirIterator::Subdirectories); it.hasNext();)
        total += QFileInfo(it.next()).size();
    return total;
}

class Host {
  public:
    Host(QString programa, QString banco)
        : programa_(std::move(programa)), banco_(std::move(banco)) {}
    ~Host() { para(); }
    // Starts on porta (0: any free port); the port it listens on, 0 when it did not start.
    quint16 inicia(quint16 porta) {
        p_.start(programa_, {QStringLiteral("--data"), banco_, QStringLiteral("--listen"),
                             QStringLiteral("127.0.0.1:%1").arg(porta)});
        for (int i = 0; i < 200 && p_.state() != QProcess::NotRunning; ++i) {
            if (p_.canReadLine() || p_.waitForReadyRead(100)) {
                const QString linha = QString::fromUtf8(p_.readLine()).trimmed();
                if (linha.startsWith(QLatin1String("listening on ")))
                    return quint16(linha.section(QLatin1Char(' '), 2).toUInt());
            }
        }
        return 0;
    }
    void para() {
        if (p_.state() == QProcess::NotRunning) return;
        p_.kill();  // SIGKILL
        p_.waitForFinished();
    }

  private:
    QString programa_, banco_;
    QProcess p_;
};

// F2: eligibility and a pre-authorisation of one product.
bool preAutoriza(Context& ctx) {
    ctx.TelaAtual = QStringLiteral("PREVENDA");
    ctx.ident.NumeroCartao = kCartao;
    if (!Mensagem_ElegPortador(ctx, 0)) return false;
    GradeAutorizacao grade;
    const int l = grade.adicionaLinha();
    grade.defineTexto(l, GradeAutorizacao::Codigo, QStringLiteral("7891000424452"));
    grade.defineTexto(l, GradeAutorizacao::Embalagem, QStringLiteral("C"));
    grade.defineTexto(l, GradeAutorizacao::Quantidade, QStringLiteral("1"));
    grade.defineTexto(l, GradeAutorizacao::PMC, QStringLiteral("10,00"));
    grade.defineTexto(l, GradeAutorizacao::PrecoVenda, QStringLiteral("8,00"));
    return CarregaItemVenda_Grid(ctx, grade) && Mensagem_GeracaoPre(ctx, grade, {});
}

// F4 and F5: the sale of that pre-authorisation, approved with its receipt.
bool vende(Context& ctx, int numero) {
    ctx.TelaAtual = QStringLiteral("VENDA");
    ctx.ident.NumeroCartao = kCartao;
    GradeAutorizacao grade;
    grade.configura(QStringLiteral("N"), {}, true);
    return Mensagem_ElegPortador(ctx, 0) && Recupera_Pre(ctx, grade, 0) &&
           CarregaItemVenda_Grid(ctx, grade) &&
           Mensagem_GeracaoPre(ctx, grade, QString::number(numero)) && GetQtdLinha(ctx) > 0;
}

}  // namespace

int DiaNoBalcao(Context& ctx, const QString& programaHost, const QString& bancoHost, int vendas,
                const std::function<void(const QString&)>& anuncia) {
    Host host(programaHost, bancoHost);
    const quint16 porta = host.inicia(0);
    if (porta == 0) {
        anuncia(QStringLiteral("FALHOU host"));
        return 1;
    }
    ctx.hostLink = std::make_unique<NetworkHostLink>(
        HostEndpoint{false, QStringLiteral("127.0.0.1"), porta}, ctx.config.HOST_TIMEOUT_MS);
    LigaArmazemTerminal(ctx);
    const QString dir = ctx.config.PathCORE;
    qint64 memoriaInicio = 0, memoriaMeio = 0, armazemInicio = 0, logInicio = 0;
    int desfeitas = 0, quedas = 0, falhas = 0;
    QElapsedTimer cronometro;
    cronometro.start();
    for (int i = 1; i <= vendas; ++i) {
        if (!preAutoriza(ctx) || !vende(ctx, i)) {
            ++falhas;
            anuncia(QStringLiteral("FALHOU venda %1").arg(i));
            continue;
        }
        if (i % 100 == 0) {
            // The host goes away between the approval and the confirmation, and comes back.
            host.para();
            ++quedas;
            Mensagem_Confirmacao(ctx);
            if (host.inicia(porta) != porta) {
                anuncia(QStringLiteral("FALHOU host"));
                return 1;
            }
        } else if (i % 50 == 0) {
            Mensagem_Anulacao(ctx);
            ++desfeitas;
        } else {
            Mensagem_Confirmacao(ctx);
        }
        // What the logon timer's next idle tick does.
        LiquidaPendentes(ctx);
        if (i == 1) {
            memoriaInicio = memoriaResidenteKb();
            armazemInicio = bytesEm(dir, {QStringLiteral("terminal.sqlite")});
            logInicio = bytesEm(dir, {QStringLiteral("*.log")});
        }
        if (i == vendas / 2) memoriaMeio = memoriaResidenteKb();
        QCoreApplication::processEvents();
    }
    const qint64 ms = cronometro.elapsed();
    const qint64 memoriaFim = memoriaResidenteKb();
    const qint64 armazemFim = bytesEm(dir, {QStringLiteral("terminal.sqlite")});
    const qint64 logFim = bytesEm(dir, {QStringLiteral("*.log")});
    const qint64 walFim = bytesEm(dir, {QStringLiteral("terminal.sqlite-wal")});

    // Every sale the terminal stored, against the host's own record of it.
    int concordam = 0, discordam = 0;
    TerminalStore* store = ArmazemTerminal(ctx, false);
    hostsim::HostStore dadosHost(bancoHost);
    if (!store || !dadosHost.abre(QDateTime::currentDateTime(), nullptr)) {
        anuncia(QStringLiteral("FALHOU conferencia"));
        return 1;
    }
    for (const VendaRegistrada& v : store->vendasNosEstados(
             {EstadoVenda::Enviada, EstadoVenda::Autorizada, EstadoVenda::Confirmada,
              EstadoVenda::Desfeita, EstadoVenda::ConfirmacaoPendente,
              EstadoVenda::DesfazimentoPendente, EstadoVenda::Recusada})) {
        const std::optional<hostsim::Transacao> t = dadosHost.transacao(v.nsu.toLongLong());
        const QString esperado = v.estado == EstadoVenda::Confirmada ? QStringLiteral("CONFIRMADA")
                                 : v.estado == EstadoVenda::Desfeita ? QStringLiteral("DESFEITA")
                                                                     : QString();
        if (t && !esperado.isEmpty() && t->situacao == esperado) {
            ++concordam;
        } else {
            ++discordam;
            anuncia(QStringLiteral("DISCORDA NSU %1: terminal %2, host %3")
                        .arg(v.nsu, NomeEstado(v.estado), t ? t->situacao : QStringLiteral("-")));
        }
    }
    const int feitas = qMax(1, vendas - 1);
    anuncia(
        QStringLiteral(
            "DIA vendas=%1 falhas=%2 desfeitas=%3 quedas=%4 segundos=%5 "
            "memoria_kb_inicio=%6 memoria_kb_meio=%13 memoria_kb_fim=%7 armazem_bytes_por_venda=%8 "
            "log_bytes_por_venda=%9 nsu_concordam=%10 nsu_discordam=%11 "
            "wal_bytes_fim=%12")
            .arg(vendas)
            .arg(falhas)
            .arg(desfeitas)
            .arg(quedas)
            .arg(double(ms) / 1000, 0, 'f', 1)
            .arg(memoriaInicio)
            .arg(memoriaFim)
            .arg(double(armazemFim - armazemInicio) / feitas, 0, 'f', 1)
            .arg(double(logFim - logInicio) / feitas, 0, 'f', 1)
            .arg(concordam)
            .arg(discordam)
            .arg(walFim)
            .arg(memoriaMeio));
    return falhas == 0 && discordam == 0 ? 0 : 1;
}

}  // namespace ql
