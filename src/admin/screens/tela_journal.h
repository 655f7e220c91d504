#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

#include "admin/journal_model.h"

class QHBoxLayout;
class QLabel;
class QMdiSubWindow;
class QPushButton;
class QTableView;

namespace ql {

struct Context;
class FormPrincipal;

// A screen inside the main window that shows one journal table: the establishment code and
// name, the operadora code, the journal's title as subtitle, the grid and a row of commands
// ending with print and return. It loads once when it opens; a screen whose journal could
// not be loaded (missing, corrupt, no rows: CarregaGrid told why) closes itself instead of
// showing an empty grid. Printing gives the whole grid with the subtitle as its title.
//
// A derived screen builds its own commands with criaBotao, calls passosComuns and carrega
// from its constructor and is opened with abre().
class TelaJournal : public QWidget {
    Q_OBJECT
  public:
    ~TelaJournal() override;

    bool carregado() const { return carregado_; }
    const JournalModel& modelo() const { return modelo_; }
    QTableView* grade() const { return grade_; }
    QLabel* subtitulo() const { return subtitulo_; }
    QPushButton* cmdImprimir() const { return cmdImprimir_; }

    // Print (the button, F11 of the main window): the whole grid, landscape, titled by the
    // subtitle; then "Impressão efetuada!".
    void cmdImprimir_Click();

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

    // A command button in the command row, before print and return.
    QPushButton* criaBotao(const QString& nome, const QString& legenda);
    // The return button (last of the row); Esc clicks it.
    QPushButton* criaBotaoRetorno(const QString& nome);

    // The loading steps every summary shares: the main window's print command enabled, its
    // title (the given text followed by date and time), the establishment and operadora labels.
    void passosComuns(const QString& tituloPrincipal);
    // Loads the grid from the journal pattern; the result is the loaded flag. An empty pattern
    // (no such establishment type) loads nothing and closes the screen without a message.
    bool carrega(const QString& padrao);

    // Caption of a command from the layout record; an empty caption keeps the design text.
    static void aplicaLegenda(QPushButton* botao, const QString& legenda);

    // Runs when the screen closes, once, however it closes.
    virtual void aoFechar() {}
    // Runs when the screen becomes the current one in the main window again.
    virtual void aoReativar() {}

    bool event(QEvent* evento) override;
    void showEvent(QShowEvent* evento) override;
    void closeEvent(QCloseEvent* evento) override;

    Context& ctx_;
    FormPrincipal& principal_;
    QString tituloPrincipal_;

  private:
    void conectaAtivacao();

    JournalModel modelo_;
    QTableView* grade_ = nullptr;
    QLabel* subtitulo_ = nullptr;
    QLabel* lblCodigoEstab_ = nullptr;
    QLabel* lblNomeEstab_ = nullptr;
    QLabel* lblAdministradora_ = nullptr;
    QHBoxLayout* botoes_ = nullptr;
    QPushButton* cmdImprimir_ = nullptr;
    QPointer<QMdiSubWindow> moldura_;
    bool carregado_ = false;
    bool fechada_ = false;
};

}  // namespace ql
