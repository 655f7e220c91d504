#pragma once

#include <QLockFile>
#include <QMainWindow>
#include <QPointer>
#include <QTimer>

#include <functional>
#include <memory>

#include "shell/screen_dispatch.h"

class QAction;
class QMdiArea;
class QMdiSubWindow;

namespace ql {

struct Context;

// The main window: the frame inside which every other screen opens. It starts the program
// (MDIForm_Load), refuses a second running copy, carries F11 (print) and F12 (return) for
// whichever screen is current, and runs the one-minute logon check.
class FormPrincipal final : public QMainWindow {
    Q_OBJECT
  public:
    // The window's fixed size: 9630 by 6810 twips at 15 twips per pixel.
    static constexpr int kLargura = 642;
    static constexpr int kAltura = 454;
    static constexpr int kIntervaloLogonMs = 60000;

    // Screens opened from here that live in other folders, and the way the program ends. Each
    // hook receives this window so that the screen can open inside it.
    struct Ganchos {
        // The card identification screen (FormInicial), shown not modal after start-up.
        std::function<void(FormPrincipal&)> abreFormInicial;
        // The host logon window (FormMensLogon), shown modal when a logon is due; it logs on
        // and writes Ultimo_Login.
        std::function<void(FormPrincipal&)> abreFormMensLogon;
        // Runs right after the settings were loaded (e.g. to open the host link they name).
        std::function<void(FormPrincipal&)> configuracaoCarregada;
        // Ends the program; by default quits the application's event loop.
        std::function<void()> encerraPrograma;
    };

    FormPrincipal(Context& ctx, Ganchos ganchos, QWidget* parent = nullptr);
    ~FormPrincipal() override;

    // Where the lock that refuses a second copy lives (the user's runtime directory). Tests
    // point it elsewhere before MDIForm_Load.
    static QString CaminhoTravaPadrao();
    void setCaminhoTrava(const QString& caminho) { caminhoTrava_ = caminho; }

    // Start-up, in order: a new empty message, the second-copy check, the print command made
    // unavailable, the window centred and captioned, the settings, the logon timer, the
    // captions of the current establishment type, the operator table, and the card
    // identification screen. False when the program must end (the reason was shown).
    bool MDIForm_Load();

    Context& contexto() { return ctx_; }
    QMdiArea* areaTelas() const { return area_; }

    // Opens a screen as a child window of the frame and shows it.
    QMdiSubWindow* abreTela(QWidget* tela);

    // A screen that answers F12 (and F11 when it prints) registers its operations under its own
    // name ("FormInicial", "FormPreVenda", ...); the registration ends when the screen is
    // destroyed or on removeTela.
    void registraTela(const QString& nomeTela, QObject* tela, DespachoTelas::Operacoes operacoes);
    void removeTela(const QString& nomeTela) {
        donos_.remove(nomeTela);
        despacho_.remove(nomeTela);
    }
    const DespachoTelas& despacho() const { return despacho_; }

    // Sets the window caption; an empty caption shows "Quillane Client".
    void SetaCaption(const QString& caption);

    // Whether F11 - Imprimir is available (screens that print enable it).
    void setImprimirDisponivel(bool disponivel);

    // The menu commands.
    void mnuEncerrar_Click();  // F12 - Retornar
    void mnuImprimir_Click();  // F11 - Imprimir
    void cmdSair_Click();      // F12 - Sair
    void mnAjuda_Click();      // Sobre

    // Ends the program (after a screen's own "Confirma a Saída do Sistema" was answered Yes).
    void encerra();

    // One tick of the logon check.
    void Timer1_Timer();
    QTimer& Timer1() { return timer1_; }

    QAction* mnuImprimir() const { return mnuImprimir_; }
    QAction* mnuEncerrar() const { return mnuEncerrar_; }
    QAction* cmdSair() const { return cmdSair_; }
    QAction* mnAjuda() const { return mnAjuda_; }

  protected:
    void changeEvent(QEvent* evento) override;
    void resizeEvent(QResizeEvent* evento) override;

  private:
    void aplicaTamanhoFixo();

    Context& ctx_;
    Ganchos ganchos_;
    QMdiArea* area_ = nullptr;
    QAction* mnuImprimir_ = nullptr;
    QAction* mnuEncerrar_ = nullptr;
    QAction* mnAjuda_ = nullptr;
    QAction* mnuReimprimir_ = nullptr;
    QAction* cmdSair_ = nullptr;
    QTimer timer1_;
    DespachoTelas despacho_;
    QHash<QString, const QObject*> donos_;
    QList<QMetaObject::Connection> ligacoesTelas_;
    QString caminhoTrava_;
    std::unique_ptr<QLockFile> trava_;
    bool ajustandoTamanho_ = false;
};

}  // namespace ql
