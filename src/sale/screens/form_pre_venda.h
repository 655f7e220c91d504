#pragma once

#include <QPointer>
#include <QWidget>

#include <functional>

class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;

namespace ql {

struct Context;
class FormPrincipal;
class FormConsultaProdutos;
class GradeAutorizacao;
class ResultadoConsulta;

// The authorisation screen ("Tela 0011 - Pre-Autorização" / "Tela 0011 - Autorização"): the
// product list of one transaction, built by searches (pre-sale) or retrieved from the
// pre-authorisation (sale), and sent with F5. It opens inside the main window in the mode
// ctx.TelaAtual carries; when it closes the card identification screen returns.
class FormPreVenda final : public QWidget {
    Q_OBJECT
  public:
    explicit FormPreVenda(FormPrincipal& principal, QWidget* parent = nullptr);
    ~FormPreVenda() override;

    // Loading: layout, caption, grid columns and, in a sale, the retrieved products.
    void Form_Load();
    // Activation: NSU, current screen name, focus; after the first one the caption and totals.
    void Form_Activate();

    void cmdPesquisa_Click();
    void cmdAdicionaProduto_Click();
    void cmdEditar_Click();
    void cmdExcluir_Click();
    void cmdConfirma_Click();
    void btnCancel_Click();
    // F12 of the main window on this screen.
    void ExecutaBotaoEncerrar() { btnCancel_Click(); }

    GradeAutorizacao& grade() { return *grade_; }
    ResultadoConsulta& resultadoConsulta() { return *resultado_; }
    // The product query screen, once a search or cmdAdicionaProduto opened it.
    FormConsultaProdutos* consulta() const { return consulta_; }

    // How the program ends when F12 is answered Yes on the product query screen; by default
    // through the main window. Tests replace it.
    void setEncerraPrograma(std::function<void()> encerra) {
        encerraPrograma_ = std::move(encerra);
    }

  protected:
    void closeEvent(QCloseEvent* evento) override;
    bool eventFilter(QObject* objeto, QEvent* evento) override;

  private:
    void Form_Unload();
    void montaTela();
    void aplicaLayout();
    void recuperaPreAutorizacao();
    void atualizaTotais();
    void restauraComandos();
    // The product search frame is shown and its field usable.
    bool pesquisaDisponivel() const;
    int linhaAtiva();
    void selecionaLinha(int linha);
    FormConsultaProdutos& telaConsulta();
    void fecha();
    // A till sale: the basket (pre-sale), or the fiscal document and F5 (sale).
    void preencheDoCaixa(bool venda);

    Context& ctx_;
    FormPrincipal& principal_;
    GradeAutorizacao* grade_ = nullptr;
    ResultadoConsulta* resultado_ = nullptr;
    QPointer<FormConsultaProdutos> consulta_;
    std::function<void()> encerraPrograma_;
    // The mode the screen opened in ("PREVENDA" or "VENDA"), restored on every activation.
    QString tag_;
    bool descarregada_ = false;

    QFrame* fraProduto_ = nullptr;
    QLabel* lblProduto_ = nullptr;
    QLineEdit* txtPesquisa_ = nullptr;
    QPushButton* cmdPesquisa_ = nullptr;
    QLabel* lblNomeCliente_ = nullptr;
    QTableView* spdProduto_ = nullptr;
    QLabel* lblNrDocFiscal_ = nullptr;
    QLineEdit* txtNrDocFiscal_ = nullptr;
    QLabel* lblTotVen_ = nullptr;
    QLineEdit* txtTotVend_ = nullptr;
    QLabel* lblTotCred_ = nullptr;
    QLineEdit* txtTotCred_ = nullptr;
    QLabel* lblTotBen_ = nullptr;
    QLineEdit* txtTotBen_ = nullptr;
    QLabel* lblnsu_ = nullptr;
    QLineEdit* txtNSU_ = nullptr;
    QPushButton* cmdAdicionaProduto_ = nullptr;
    QPushButton* cmdEditar_ = nullptr;
    QPushButton* cmdExcluir_ = nullptr;
    QPushButton* cmdConfirma_ = nullptr;
    QPushButton* btnCancel_ = nullptr;
};

}  // namespace ql
