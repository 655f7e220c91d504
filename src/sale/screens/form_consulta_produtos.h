#pragma once

#include <QDialog>

#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;

namespace ql {

struct Context;
class FormPrincipal;
class GradeAutorizacao;
class ResultadoConsulta;

// The product query screen ("Tela 0010 - Consulta Produtos"): the products a search of the
// authorisation screen found, page by page, for the cashier to choose one. The authorisation
// screen owns it and its result grid: it shows it modal after a search with several results
// and not modal from cmdAdicionaProduto, empties the grid on each new query and closes it on
// unload. A chosen product goes to the product entry dialog, which adds it to the
// authorisation grid.
class FormConsultaProdutos final : public QDialog {
    Q_OBJECT
  public:
    struct Ligacoes {
        // The search text of the authorisation screen as it stands now, which the next page
        // asks for.
        std::function<QString()> textoPesquisa;
        // Runs when the screen is hidden again, so that the authorisation screen shows
        // itself and its totals.
        std::function<void()> aoRetornar;
        // Ends the program (F12 answered Yes); by default through the main window.
        std::function<void()> encerraPrograma;
    };

    FormConsultaProdutos(Context& ctx, FormPrincipal& principal, GradeAutorizacao& grade,
                         ResultadoConsulta& resultado, Ligacoes ligacoes, QWidget* pai);

    // What opening the screen does: the NSU, the layout, the caption and the page hint.
    void Form_Load();

    // Choosing (F5, Enter or double click on the grid).
    void cmdConfirma_Click();
    // F9: hides the screen and returns to the authorisation screen.
    void cmdRetorna_Click();
    // The main window's F12 on this screen does what cmdRetorna does.
    void ExecutaBotaoEncerrar() { cmdRetorna_Click(); }
    // A key on the grid: Down or Page Down on the last row asks for the next page. True when
    // the key was used.
    bool spdProduto_KeyDown(int teclaQt);

    QTableView* spdProduto() const { return spdProduto_; }
    QLabel* lblalerta() const { return lblalerta_; }
    QPushButton* cmdConfirma() const { return cmdConfirma_; }
    QPushButton* cmdRetorna() const { return cmdRetorna_; }

    // Esc and the window's close button return like cmdRetorna.
    void reject() override;

  protected:
    void keyPressEvent(QKeyEvent* evento) override;
    bool event(QEvent* evento) override;
    bool eventFilter(QObject* objeto, QEvent* evento) override;

  private:
    int linhaAtiva() const;
    void atualizaAlerta();

    Context& ctx_;
    FormPrincipal& principal_;
    GradeAutorizacao& grade_;
    ResultadoConsulta& resultado_;
    Ligacoes ligacoes_;

    QTableView* spdProduto_ = nullptr;
    QLabel* lblalerta_ = nullptr;
    QLabel* lblnsu_ = nullptr;
    QLineEdit* txtNSU_ = nullptr;
    QPushButton* cmdConfirma_ = nullptr;
    QPushButton* cmdRetorna_ = nullptr;
};

}  // namespace ql
