// quillane-screenshots OUTDIR: pictures of every screen of the client, each in the state a
// cashier or manager would see it, over a demonstration store in a temporary folder with the
// simulated host in-process. Each screen is opened through the same functions the screens use
// to open one another; the main window (for the screens inside it) or the modal dialog is
// saved as OUTDIR/<ScreenName>.png. A screen that does not show up is skipped with a line on
// stderr, so the driver runs on any build and fills in as screens are added.
#include <QAbstractItemView>
#include <QApplication>
#include <QDeadlineTimer>
#include <QDialog>
#include <QDir>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPixmap>
#include <QPointer>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>

#include <algorithm>
#include <functional>
#include <memory>

#include "admin/menu_administrativo.h"
#include "data/demo_data_set.h"
#include "data/usuarios.h"
#include "host/host_link.h"
#include "host/transacoes.h"
#include "hostsim/embedded_host_link.h"
#include "hostsim/host_store.h"
#include "message/campo_resposta.h"
#include "sale/grade_autorizacao.h"
#include "sale/transacoes_produtos.h"
#include "shell/clock.h"
#include "shell/context.h"
#include "shell/message_boxes.h"
#include "shell/screens/form_principal.h"
#include "shell/screens/form_sobre.h"
#include "ui/telas.h"

namespace ql {
namespace {

QTextStream& err() {
    static QTextStream s(stderr);
    return s;
}

// Nobody answers: each message goes to stderr and gets its default button.
class CaixasRegistradas final : public MessageBoxes {
  public:
    Answer show(const QString& text, const QString& title, Icon, Buttons buttons,
                Answer defaultButton) override {
        err() << "  message [" << title << "] " << text << Qt::endl;
        return buttons == Buttons::Ok ? Answer::Ok : defaultButton;
    }
};

void processa(int ms = 50) {
    QDeadlineTimer prazo(ms);
    do {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    } while (!prazo.hasExpired());
}

QWidget* achaVisivel(const QString& nome) {
    for (QWidget* w : QApplication::allWidgets())
        if (w->objectName() == nome && w->isVisible()) return w;
    return nullptr;
}

class Fotografo {
  public:
    Fotografo(QString saida, FormPrincipal& janela) : saida_(std::move(saida)), janela_(janela) {}

    int salvas() const { return salvas_; }
    int puladas() const { return puladas_; }

    void salva(QWidget* w, const QString& arquivo) {
        const QPixmap foto = w->grab();
        const QString caminho = QDir(saida_).filePath(arquivo + QStringLiteral(".png"));
        if (foto.isNull() || !foto.save(caminho)) {
            pula(arquivo, QStringLiteral("could not save ") + caminho);
            return;
        }
        ++salvas_;
        err() << arquivo << ": " << caminho << Qt::endl;
    }
    void pula(const QString& arquivo, const QString& motivo) {
        ++puladas_;
        err() << arquivo << ": skipped, " << motivo << Qt::endl;
    }

    // A screen that opens inside the main window: the earlier ones are closed first so that
    // each picture shows one screen; the main window is saved once `nome` is visible.
    void janela(const QString& nome, const std::function<void()>& abre,
                const QString& arquivo = {}) {
        const QString destino = arquivo.isEmpty() ? nome : arquivo;
        abre();
        processa(150);
        if (!achaVisivel(nome)) return pula(destino, QStringLiteral("the screen did not show"));
        janela_.raise();
        processa(50);
        salva(&janela_, destino);
    }

    // A modal dialog: saved while its exec() runs, then rejected. A dialog shown without a
    // modal loop (or a screen that shows nothing) is handled after `abre` returns.
    void modal(const QString& nome, const std::function<void()>& abre,
               const QString& arquivo = {}) {
        const QString destino = arquivo.isEmpty() ? nome : arquivo;
        bool feito = false;
        QTimer vigia;
        vigia.setInterval(30);
        int tentativas = 0;
        int fechamentos = 0;
        QObject::connect(&vigia, &QTimer::timeout, [&] {
            QWidget* w = QApplication::activeModalWidget();
            if (!w) w = achaVisivel(nome);
            if (!w || w->objectName() != nome) {
                // Give up waiting after a few seconds; the dialog may never come.
                if (++tentativas > 150) vigia.stop();
                return;
            }
            if (!feito) {
                processa(100);  // let it paint and run its first timers
                if (!w->isVisible()) return;
                salva(w, destino);
                feito = true;
            }
            // A dialog that will not be cancelled (it waits for its own decision) is ended
            // all the same after a few tries.
            fecha(w, ++fechamentos > 10);
        });
        vigia.start();
        abre();
        vigia.stop();
        if (!feito) {
            if (QWidget* w = achaVisivel(nome)) {
                processa(100);
                salva(w, destino);
                feito = true;
                fecha(w);
            }
        }
        if (!feito) pula(destino, QStringLiteral("the dialog did not show"));
        processa(50);
    }

    // Closes every screen inside the main window.
    void limpa() {
        for (int volta = 0; volta < 3 && !janela_.areaTelas()->subWindowList().isEmpty(); ++volta) {
            janela_.areaTelas()->closeAllSubWindows();
            processa(50);
        }
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w != &janela_ && w->isVisible() && qobject_cast<QDialog*>(w)) fecha(w);
        processa(50);
    }

  private:
    static void fecha(QWidget* w, bool forcado = false) {
        auto* d = qobject_cast<QDialog*>(w);
        if (d && forcado)
            d->QDialog::done(QDialog::Rejected);
        else if (d)
            d->reject();
        else if (forcado)
            w->hide();
        else
            w->close();
    }

    QString saida_;
    FormPrincipal& janela_;
    int salvas_ = 0;
    int puladas_ = 0;
};

// The authorisation grid of the screen that is open ("spdProduto"), if any.
GradeAutorizacao* gradeDaTela(const QString& tela) {
    QWidget* w = achaVisivel(tela);
    if (!w) return nullptr;
    for (auto* v : w->findChildren<QAbstractItemView*>())
        if (auto* g = qobject_cast<GradeAutorizacao*>(v->model())) return g;
    return nullptr;
}

// Adds a product to the grid the way a search for its code does.
void adicionaProduto(Context& ctx, GradeAutorizacao& grade, const QString& codigo) {
    ResultadoConsulta consulta;
    if (Mensagem_Consulta_Produtos(ctx, codigo, 0, consulta, &grade) && consulta.linhas() > 0)
        AdicionaProdutoPesquisado(grade, consulta, 1);
}

void escolheCartao(Context& ctx, const QString& cartao, const char* tela) {
    ctx.ident.NumeroCartao = cartao;
    ctx.TelaAtual = QString::fromLatin1(tela);
}

// A sale of the card's stored pre-authorisation, left pending (no confirmation).
bool vendaPendente(Context& ctx, const QString& cartao) {
    escolheCartao(ctx, cartao, "VENDA");
    if (!Mensagem_ElegPortador(ctx, 0)) return false;
    GradeAutorizacao grade;
    if (!Recupera_Pre(ctx, grade, 0)) return false;
    CarregaItemVenda_Grid(ctx, grade);
    return Mensagem_GeracaoPre(ctx, grade, QStringLiteral("654321"));
}

// A pre-sale of a few products for the card, so that it can be sold next.
bool preVenda(Context& ctx, const QString& cartao, const QStringList& codigos) {
    escolheCartao(ctx, cartao, "PREVENDA");
    if (!Mensagem_ElegPortador(ctx, 0)) return false;
    GradeAutorizacao grade;
    for (const QString& c : codigos) adicionaProduto(ctx, grade, c);
    CarregaItemVenda_Grid(ctx, grade);
    return Mensagem_GeracaoPre(ctx, grade, QString());
}

int executa(const QString& saida) {
    QTemporaryDir loja;
    QString erro;
    if (!loja.isValid() || !GeraDadosDemonstracao(loja.path(), &erro)) {
        err() << "quillane-screenshots: cannot create the demo store: " << erro << Qt::endl;
        return 1;
    }
    if (!QDir().mkpath(saida)) {
        err() << "quillane-screenshots: cannot create " << saida << Qt::endl;
        return 1;
    }

    CaixasRegistradas caixas;
    SystemClock relogio;
    Context ctx(caixas, relogio);
    ctx.programDir = loja.path();
    FormPrincipal::Ganchos g;
    g.configuracaoCarregada = [](FormPrincipal& j) {
        IniciaHostLink(j.contexto(), hostsim::embeddedHostLinkFactory());
    };
    g.abreFormInicial = [](FormPrincipal& j) { AbreFormInicial(j); };
    g.abreFormMensLogon = [](FormPrincipal&) {};  // opened below, on purpose
    // Closing the screens between pictures closes the card identification screen too, which
    // would end the program: the driver carries on.
    g.encerraPrograma = [] {};
    FormPrincipal janela(ctx, std::move(g));
    janela.setCaminhoTrava(QDir(loja.path()).filePath(QStringLiteral("quillane-client.lock")));
    if (!janela.MDIForm_Load()) {
        err() << "quillane-screenshots: the client did not start" << Qt::endl;
        return 1;
    }
    janela.Timer1().stop();
    janela.show();
    processa(200);

    Fotografo foto(saida, janela);
    const QString cartaoPre = QStringLiteral("6062820000000001");
    const QString cartaoComPre = QStringLiteral("6062820000000004");
    const QString cartaoSemSubsidio = QStringLiteral("6062820000000006");
    ctx.ident.OperadoraSelecionada = 1;
    ctx.ident.NomeOperadora = QStringLiteral("QUILLANE SAUDE");
    ctx.ident.CodigoOperadora = QStringLiteral("00000123");

    // ---- The sale ----
    foto.janela(QStringLiteral("FormInicial"), [] {});

    // The authorisation screen of a pre-sale, with products found by the search.
    foto.janela(QStringLiteral("FormPreVenda"), [&] {
        escolheCartao(ctx, cartaoPre, "PREVENDA");
        if (!Mensagem_ElegPortador(ctx, 0)) return;
        AbreFormPreVenda(janela);
        processa(100);
        if (GradeAutorizacao* grade = gradeDaTela(QStringLiteral("FormPreVenda")))
            for (const char* c : {"7891000424452", "7891037197725", "7891148063285"})
                adicionaProduto(ctx, *grade, QString::fromLatin1(c));
    });
    // Over it: a search with many results, and the product entry dialog.
    foto.modal(QStringLiteral("FormConsultaProdutos"), [&] {
        QWidget* tela = achaVisivel(QStringLiteral("FormPreVenda"));
        auto* pesquisa =
            tela ? tela->findChild<QLineEdit*>(QStringLiteral("txtPesquisa")) : nullptr;
        if (!pesquisa) return;
        pesquisa->setText(QStringLiteral("MG"));
        emit pesquisa->returnPressed();
    });
    foto.modal(QStringLiteral("FormSelecaoProduto"), [&] {
        GradeAutorizacao* grade = gradeDaTela(QStringLiteral("FormPreVenda"));
        GradeAutorizacao sobra;
        ResultadoConsulta consulta;
        Mensagem_Consulta_Produtos(ctx, QStringLiteral("7891185094945"), 0, consulta,
                                   grade ? grade : &sobra);
        ExecutaFormSelecaoProduto(ctx, grade ? *grade : sobra, &janela);
    });
    foto.limpa();

    // The authorisation screen of a sale: the stored pre-authorisation of card ...0004.
    foto.janela(
        QStringLiteral("FormPreVenda"),
        [&] {
            escolheCartao(ctx, cartaoComPre, "VENDA");
            if (!Mensagem_ElegPortador(ctx, 0)) return;
            AbreFormPreVenda(janela);
        },
        QStringLiteral("FormPreVenda_VENDA"));
    // The receipt after selling it.
    foto.modal(QStringLiteral("FormImpressao"), [&] {
        GradeAutorizacao* grade = gradeDaTela(QStringLiteral("FormPreVenda"));
        GradeAutorizacao propria;
        if (!grade) {
            Recupera_Pre(ctx, propria, 0);
            grade = &propria;
        }
        ctx.TelaAtual = QStringLiteral("VENDA");
        CarregaItemVenda_Grid(ctx, *grade);
        if (!Mensagem_GeracaoPre(ctx, *grade, QStringLiteral("123456"))) return;
        ExecutaFormImpressao(ctx, &janela);
    });
    foto.limpa();

    // ---- Administration ----
    foto.modal(QStringLiteral("formLogin"), [&] { ExecutaFormLogin(ctx, &janela); });
    foto.modal(QStringLiteral("formNovaSenha"), [&] { ExecutaFormNovaSenha(ctx, &janela); });

    // A manager with every permission is logged in.
    const auto tipo = std::size_t(std::clamp<int>(ctx.TipoEstab, 1, 3));
    if (!ObtemPermissao(ctx, QStringLiteral("MNG1"), QStringLiteral("1234")))
        ctx.login.PermissoesUsuario[tipo] = QString(9, QLatin1Char('S'));
    ctx.login.LoginAtivo = true;
    ctx.login.UsuarioLogado[tipo] = QStringLiteral("MNG1");
    EscolheAdministradora(ctx, 1);
    foto.janela(QStringLiteral("FormComplementar"), [&] { AbreFormComplementar(janela); });
    foto.modal(QStringLiteral("FormMensLogon"), [&] { ExecutaFormMensLogon(janela); });
    foto.janela(QStringLiteral("FormCadastro"), [&] { AbreFormCadastro(janela); });

    // A pending sale for the pending transactions, and the lot it went into.
    preVenda(ctx, cartaoSemSubsidio,
             {QStringLiteral("7891000424452"), QStringLiteral("7891370076022")});
    vendaPendente(ctx, cartaoSemSubsidio);
    EscolheAdministradora(ctx, 1);
    QString lote;
    if (auto* link = dynamic_cast<hostsim::EmbeddedHostLink*>(ctx.hostLink.get())) {
        const auto lotes = link->simulador().store().lotes(ctx.ident.CodigoOperadora, 1);
        if (!lotes.empty()) lote = QString::number(lotes.front().numero);
    }
    const QString nsuVenda = ctx.transacao.NsuTransacao;

    foto.limpa();
    foto.janela(QStringLiteral("FormConsulta"), [&] {
        ctx.TelaAtual = QStringLiteral("TRANSACOESPENDENTES");
        AbreFormConsulta(janela);
    });
    foto.limpa();
    foto.janela(QStringLiteral("FormResumo"), [&] { AbreFormResumo(janela); });
    foto.limpa();
    foto.janela(QStringLiteral("FormNsu"), [&] { AbreFormNsu(janela, lote); });
    foto.modal(QStringLiteral("FormCancela"), [&] { ExecutaFormCancela(janela); });
    foto.modal(QStringLiteral("frmCancelaProdutos"), [&] {
        // The first product of the pending sale, proposed for cancellation.
        ctx.transacao.NsuTransacao = nsuVenda;
        ctx.transacao.TipoTransacao = QStringLiteral("BC");
        ctx.itensVenda.clear();
        ItemVenda& item = ctx.itensVenda.item(1);
        item.codigo = QStringLiteral("7891000424452");
        item.descricao = QStringLiteral("DIPIRONA SODICA");
        item.embalagem = QStringLiteral("C");
        item.quantidade = QStringLiteral("1");
        ctx.itensVenda.count = 1;
        ExecutaFrmCancelaProdutos(janela);
    });
    foto.limpa();
    foto.janela(QStringLiteral("FormResumoProdutos"), [&] {
        ctx.TelaAtual = QStringLiteral("PRODUTOSDOLOTE");
        AbreFormResumoProdutos(janela, lote);
    });
    foto.limpa();
    foto.janela(QStringLiteral("FormResumoFinanceiro"), [&] { AbreFormResumoFinanceiro(janela); });
    foto.limpa();

    // ---- Settings and about ----
    foto.janela(QStringLiteral("FormConfig"), [&] { AbreFormConfig(janela); });
    foto.limpa();
    foto.modal(QStringLiteral("FormSobre"), [&] {
        FormSobre sobre(ctx, &janela);
        sobre.exec();
    });

    err() << "quillane-screenshots: " << foto.salvas() << " saved, " << foto.puladas() << " skipped"
          << Qt::endl;
    return foto.salvas() > 0 ? 0 : 1;
}

}  // namespace
}  // namespace ql

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("QlnClient"));
    if (argc != 2) {
        QTextStream(stderr) << "usage: quillane-screenshots OUTDIR" << Qt::endl;
        return 2;
    }
    // The machine's own fonts, as the client itself draws with them: the pictures show what a
    // cashier sees.
    return ql::executa(QString::fromLocal8Bit(argv[1]));
}
