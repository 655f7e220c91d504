#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

#include <functional>

#include "admin/journal_model.h"

class QHBoxLayout;
class QLabel;
class QLayout;
class QMdiSubWindow;
class QPushButton;
class QTableView;
class QVBoxLayout;

namespace ql {

struct Context;
class FormPrincipal;

// A screen inside the main window that shows one journal table: the establishment code and
// name, the operadora code, the journal's title as subtitle, the grid and a row of commands
// ending with print and return. It loads once when it opens; a screen whose journal could
// not be loaded (missing, corrupt, no rows: CarregaGrid told why) closes itself instead of
// showing an empty grid. Printing gives the whole grid with the subtitle as its title.
//
// A derived screen builds its own commands with criaBotao, loads with carregaTela (its own
// steps calling carrega) from its constructor and is opened with abre(). The main window's
// title and print command as the screen found them when it was built can be given back with
// restauraTelaAnterior, for a screen that leaves nothing behind when it could not load; the
// current screen name keeps what the screen set.
class TelaJournal : public QWidget {
    Q_OBJECT
  public:
    ~TelaJournal() override;

    bool carregado() const { return carregado_; }
    const JournalModel& modelo() const { return modelo_; }
    QTableView* grade() const { return grade_; }
    QLabel* subtitulo() const { return subtitulo_; }
    QPushButton* cmdImprimir() const { return cmdImprimir_; }
    // The grid's current row; 0 when none is current.
    int linhaAtiva() const;

    // Print (the button, F11 of the main window): the whole grid, landscape, titled by
    // tituloImpressao(); then "Impressão efetuada!".
    void cmdImprimir_Click();
    // The title the grid is printed with: the subtitle unless the screen says otherwise.
    virtual QString tituloImpressao() const;

    // Closes the screen together with its frame in the main window.
    void fecha();

    // Opens a constructed screen inside the main window at its top-left corner, filling the
    // screen area. A screen that did not load is closed instead (and deleted): nullptr.
    static QMdiSubWindow* abre(FormPrincipal& principal, TelaJournal* tela);

  protected:
    // nomeTela: the object name ("FormResumo"); titulo: the screen's own window title;
    // nomeGrade / nomeSubtitulo: the control names of the grid and of the subtitle label.
    TelaJournal(FormPrincipal& principal, const QString& nomeTela, const QString& titulo,
                const QString& nomeGrade, const QString& nomeSubtitulo, QWidget* parent);

    // A command button in the command row, before print and return: a click and its function
    // key run `acao`.
    QPushButton* criaBotao(const char* nome, const QString& legenda, Qt::Key tecla,
                           std::function<void()> acao);
    // The return button (last of the row); a click and Esc run `acao`.
    QPushButton* criaBotaoRetorno(const QString& nome, std::function<void()> acao);
    // Takes part in the main window's F11 (print) and F12 (`encerrar`; none when empty) under
    // the screen's object name.
    void registraComandos(std::function<void()> encerrar);
    // The transaction lists (pending, of a lot): printed under their own document name, F11
    // and F12 kept by the screen (print, end the program), the subtitle in bold, one row
    // selected at a time.
    void comoListaDeTransacoes(const QString& documento);
    // A band of the screen's own between the grid and the command row.
    void adicionaFaixa(QLayout* faixa);

    // The loading every journal screen shares, under the error trap of "Form_Load": the current
    // screen name (given back whenever the screen becomes current again), the main window's
    // print command enabled, its title (the given text followed by date and time), the
    // establishment and operadora labels; then the screen's own steps.
    void carregaTela(const QString& telaAtual, const QString& tituloPrincipal,
                     const std::function<void()>& passos);
    // Loads the grid from the journal pattern, the first row's cell of colunaInicial current;
    // the result is the loaded flag. An empty pattern (no such establishment type) loads
    // nothing and closes the screen without a message.
    bool carrega(const QString& padrao, int colunaInicial = 0);
    // Gives the main window back the title and print command it had when this screen was
    // built.
    void restauraTelaAnterior();

    // Runs when the screen closes, once, however it closes: by default the main window gets
    // its own title back and no longer offers to print a grid that is gone.
    virtual void aoFechar();

    bool event(QEvent* evento) override;
    void showEvent(QShowEvent* evento) override;
    void closeEvent(QCloseEvent* evento) override;

    Context& ctx_;
    FormPrincipal& principal_;

  private:
    void conectaAtivacao();

    JournalModel modelo_;
    QTableView* grade_ = nullptr;
    QLabel* subtitulo_ = nullptr;
    QLabel* lblCodigoEstab_ = nullptr;
    QLabel* lblNomeEstab_ = nullptr;
    QLabel* lblAdministradora_ = nullptr;
    QVBoxLayout* coluna_ = nullptr;
    QHBoxLayout* botoes_ = nullptr;
    QPushButton* cmdImprimir_ = nullptr;
    QPointer<QMdiSubWindow> moldura_;
    bool carregado_ = false;
    bool fechada_ = false;
    QString telaAtual_;
    QString tituloPrincipal_;
    // The name the print job and its file carry (the screen's object name unless changed).
    QString documentoImpressao_;
    // F11 inside the screen prints its grid, and F12 asks to end the program even where the
    // main window's "F12 - Retornar" has an action for the current screen.
    bool teclasDaTela_ = false;
    QString tituloAnterior_;
    bool imprimirAnterior_ = false;
};

}  // namespace ql
