// The till starts the benefit sale: quillane-till drops a basket of three products (one the
// host does not know) into the till folder, the cashier types the card and presses F2 and F5,
// the client sells by itself and answers, and the till confirms or undoes the sale - or the
// client is killed while it waits and the next start settles the sale exactly once. Against
// the real quillane-host.
#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QDirIterator>
#include <QProcess>
#include <QTemporaryDir>

#include "hostsim/host_store.h"
#include "sale/grade_autorizacao.h"
#include "sale/screens/form_consulta_produtos.h"
#include "sale/screens/form_pre_venda.h"
#include "shell/settings.h"
#include "shell/text_files.h"
#include "support/ui/loja_demo.h"
#include "support/ui/teclado.h"
#include "till/till_format.h"
#include "till/till_session.h"
#include "ui/telas.h"

#if defined(QL_HOST_BIN) && defined(QL_TILL_BIN)
namespace ql {
namespace {

constexpr int kEsperaMs = 30000;
const QString kCartao = QStringLiteral("6062820000000001");
const QString kDesconhecido = QStringLiteral("7890000000017");
const QStringList kCesta = {QStringLiteral("7891000424452:2:1590"),
                            QStringLiteral("7891037197725:1"),
                            kDesconhecido + QStringLiteral(":1:500")};

struct Host {
    QProcess p;
    quint16 porta = 0;
    explicit Host(const QString& banco) {
        p.start(QStringLiteral(QL_HOST_BIN), {QStringLiteral("--data"), banco});
        // "listening on PORT" once it accepts connections.
        for (QDeadlineTimer prazo(kEsperaMs); porta == 0 && !prazo.hasExpired();) {
            if (!p.canReadLine() && !p.waitForReadyRead(50)) continue;
            porta = quint16(QString::fromUtf8(p.readLine()).section(u' ', 2).toUInt());
        }
    }
    ~Host() {
        p.terminate();
        p.waitForFinished();
    }
};

// quillane-till, running while the screens work.
struct Caixa {
    QProcess p;
    Caixa(const QString& dir, const QString& id, const QStringList& args, int timeout = 60) {
        p.start(QStringLiteral(QL_TILL_BIN),
                QStringList{QStringLiteral("--dir"), dir, QStringLiteral("--id"), id,
                            QStringLiteral("--timeout"), QString::number(timeout)} +
                    args);
    }
    // The answer it printed, once it ended.
    std::optional<TillAnswer> resposta() {
        if (!test::esperaAte([&] { return p.state() == QProcess::NotRunning; }, kEsperaMs))
            return std::nullopt;
        return ParseTillAnswer(p.readAllStandardOutput());
    }
};

// Points the client at the host at `porta` and the till folder, and starts the till's
// session (it settles whatever a run before it left).
void ligaCaixa(Context& ctx, const QString& pastaCaixa, quint16 porta) {
    ctx.config.HOST_LINK = QStringLiteral("tcp://127.0.0.1:%1").arg(porta);
    IniciaHostLink(ctx);
    ctx.config.TILL_DIR = pastaCaixa;
    ctx.config.TILL_CONFIRMS = QStringLiteral("Y");
    RecuperaComCaixa(ctx);
    ASSERT_TRUE(ctx.till);
}
void ligaCaixa(test::LojaDemo& loja, const QString& pastaCaixa, quint16 porta) {
    ligaCaixa(loja.ctx(), pastaCaixa, porta);
    LigaInterfaceCaixa(*loja.janela);
    if (loja.ctx().till) loja.ctx().till->inicia();
}

// From the till's request to the receipt waiting for the till: `noRecibo` runs while the
// receipt screen is open with the sale's answer (the screens run the whole sale inside the
// cashier's F5, as at the counter).
void vendeAteORecibo(test::LojaDemo& loja, const QString& pastaCaixa, const QString& id,
                     const std::function<void(const TillAnswer&)>& noRecibo) {
    Caixa venda(pastaCaixa, id,
                QStringList{QStringLiteral("--operadora"), QStringLiteral("QUILLANE SAUDE"),
                            QStringLiteral("--documento"), QStringLiteral("778899"),
                            QStringLiteral("venda")} +
                    kCesta);
    // The window comes forward with the operadora chosen and the card field focused.
    ASSERT_TRUE(test::esperaAte([] { return test::foco() == u"txtCartao"; }, kEsperaMs))
        << test::foco().toStdString();
    ASSERT_TRUE(QTest::qWaitForWindowActive(loja.janela.get()));
    QTest::qWait(100);
    test::teclas(kCartao);
    test::pressiona(Qt::Key_F2);
    // The basket is in the pre-sale grid: the two products the host knows.
    auto* preVenda = test::achaTela<FormPreVenda>(QStringLiteral("FormPreVenda"));
    ASSERT_NE(preVenda, nullptr) << loja.caixas().texts().join(" | ").toStdString();
    ASSERT_TRUE(test::esperaAte([&] { return preVenda->grade().linhas() == 2; }, kEsperaMs))
        << loja.caixas().texts().join(" | ").toStdString();
    EXPECT_EQ(preVenda->grade().texto(1, GradeAutorizacao::Quantidade), QStringLiteral("2"));
    // The sale follows by itself; its receipt waits for the till's word.
    bool recibo = false;
    test::quandoModal(
        QStringLiteral("FormImpressao"),
        [&](QWidget*) {
            recibo = true;
            const std::optional<TillAnswer> r = venda.resposta();
            ASSERT_TRUE(r);
            noRecibo(*r);
        },
        kEsperaMs);
    test::pressiona(Qt::Key_F5);
    EXPECT_TRUE(recibo) << loja.caixas().texts().join(" | ").toStdString();
}

TEST(CaixaAoBalcao, TheTillSellsItsBasketAndConfirmsUndoesOrOutlivesTheClient) {
    // The child run of the last row: the client killed while its receipt waits.
    const QString filho = qEnvironmentVariable("QL_TILL_CHILD");
    if (!filho.isEmpty()) {
        const QStringList a = filho.split(u'|');
        test::LojaDemo loja([](FormPrincipal& j) { AbreFormInicial(j); });
        loja.t.dir.setAutoRemove(false);
        ligaCaixa(loja, a[0], quint16(a[1].toUInt()));
        vendeAteORecibo(loja, a[0], QStringLiteral("V3"), [&](const TillAnswer& r) {
            writeFileAtomically(a[0] + QStringLiteral("/filho.txt"),
                                (loja.t.dir.path() + u'\n' + r.nsu).toUtf8());
            test::esperaAte([] { return false; }, 600000);  // killed here
        });
        return;
    }

    const struct {
        const char* nome;
        const char* palavra;  // what the till sends: confirma, desfaz; "" the client is killed
        const char* status;   // the till's answer
        const char* situacaoHost;
    } casos[] = {
        {"confirmed by the till", "confirma", "CONFIRMADA", "CONFIRMADA"},
        {"undone by the till", "desfaz", "DESFEITA", "DESFEITA"},
        {"confirmed while the client was down", "", "CONFIRMADA", "CONFIRMADA"},
    };
    QTemporaryDir raiz;
    const QString banco = raiz.filePath(QStringLiteral("host.sqlite"));
    Host host(banco);
    ASSERT_NE(host.porta, 0);
    int n = 0;
    for (const auto& c : casos) {
        SCOPED_TRACE(c.nome);
        const QString pasta = raiz.filePath(QStringLiteral("caixa%1").arg(++n));
        const QString palavra = QLatin1String(c.palavra);
        QString nsu, dadosCliente;
        std::unique_ptr<test::LojaDemo> loja;
        QProcess morto;
        const QString id = QStringLiteral("D%1").arg(n);
        std::unique_ptr<Caixa> decisao;
        if (!palavra.isEmpty()) {
            loja = std::make_unique<test::LojaDemo>([](FormPrincipal& j) { AbreFormInicial(j); });
            ligaCaixa(*loja, pasta, host.porta);
            std::optional<TillAnswer> r;
            vendeAteORecibo(*loja, pasta, QStringLiteral("V%1").arg(n), [&](const TillAnswer& a) {
                r = a;
                decisao = std::make_unique<Caixa>(pasta, id, QStringList{palavra, a.nsu});
            });
            ASSERT_TRUE(r);
            EXPECT_EQ(r->status, QStringLiteral("APROVADA")) << r->mensagem.toStdString();
            EXPECT_EQ(r->liquidacao, QStringLiteral("AGUARDANDO"));
            EXPECT_EQ(r->documento, QStringLiteral("778899"));
            // The basket's products as sold; the unknown product is listed, not dropped.
            ASSERT_EQ(r->produtos.size(), 3u);
            EXPECT_EQ(r->produtos[0].quantidade, 2);
            EXPECT_EQ(r->produtos[2].ean, kDesconhecido);
            EXPECT_EQ(r->produtos[2].status, QStringLiteral("NE"));
            EXPECT_FALSE(r->recibo.isEmpty());
            nsu = r->nsu;
            dadosCliente = loja->t.dir.path();
        } else {
            morto.setProcessChannelMode(QProcess::ForwardedChannels);
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert(QStringLiteral("QL_TILL_CHILD"), pasta + u'|' + QString::number(host.porta));
            morto.setProcessEnvironment(env);
            morto.start(QCoreApplication::applicationFilePath(),
                        {QStringLiteral("--gtest_filter=CaixaAoBalcao.*")});
            const QString marca = pasta + QStringLiteral("/filho.txt");
            test::esperaAte([&] { return QFile::exists(marca); }, kEsperaMs);
            const QStringList filho =
                QString::fromUtf8(readWholeFile(marca).value_or(QByteArray())).split(u'\n');
            dadosCliente = filho.value(0);
            nsu = filho.value(1);
            ASSERT_FALSE(nsu.isEmpty());
            morto.kill();  // SIGKILL, the receipt on screen
            morto.waitForFinished();
        }

        if (palavra.isEmpty()) {
            decisao =
                std::make_unique<Caixa>(pasta, id, QStringList{QStringLiteral("confirma"), nsu}, 0);
            // Started again over the same store: the till's CONFIRMA waiting in req/ is
            // carried out, not undone, and answered; a second start sends nothing more.
            ASSERT_TRUE(
                test::esperaAte([&] { return decisao->p.state() == QProcess::NotRunning; }));
            for (int vez = 0; vez < 2; ++vez) {
                test::TestContext reinicio;
                reinicio.ctx.programDir = dadosCliente;
                ASSERT_TRUE(SetaEstruturaPrincipal(reinicio.ctx));
                ligaCaixa(reinicio.ctx, pasta, host.porta);
                reinicio.ctx.till->inicia();
                EXPECT_TRUE(reinicio.boxes.texts().isEmpty())
                    << reinicio.boxes.texts().join(" | ").toStdString();
            }
            QFile f(pasta + QStringLiteral("/resp/") + id + QStringLiteral(".resp"));
            ASSERT_TRUE(f.open(QIODevice::ReadOnly));
            const auto r = ParseTillAnswer(f.readAll());
            ASSERT_TRUE(r);
            EXPECT_EQ(r->status, QLatin1String(c.status));
            int confirmacoes = 0;
            for (QDirIterator it(dadosCliente, {QStringLiteral("*.log")}, QDir::Files,
                                 QDirIterator::Subdirectories);
                 it.hasNext();) {
                QFile log(it.next());
                if (log.open(QIODevice::ReadOnly))
                    confirmacoes += int(log.readAll().count("troca: mensagem 0202"));
            }
            EXPECT_EQ(confirmacoes, 1);
            QDir(dadosCliente).removeRecursively();
        } else {
            ASSERT_TRUE(decisao);
            const auto r = decisao->resposta();
            ASSERT_TRUE(r);
            EXPECT_EQ(r->status, QLatin1String(c.status)) << r->mensagem.toStdString();
            EXPECT_EQ(r->nsu, nsu);
            // The receipt screen closed as after the cashier's F5 / F12.
            EXPECT_TRUE(test::esperaAte([] { return !QApplication::activeModalWidget(); }));
            EXPECT_EQ(loja->ctx().till->etapa(), TillSession::Etapa::Livre);
        }
        hostsim::HostStore dadosHost(banco);
        ASSERT_TRUE(dadosHost.abre(QDateTime::currentDateTime(), nullptr));
        EXPECT_EQ(dadosHost.transacao(nsu.toLongLong()).value().situacao,
                  QLatin1String(c.situacaoHost));
    }
}

}  // namespace
}  // namespace ql
#endif
