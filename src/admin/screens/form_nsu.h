#pragma once

#include <QWidget>

#include "admin/cancelamento.h"
#include "admin/journal_model.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;

namespace ql {

struct Context;
class FormPrincipal;

// Transactions of a lot (Tela 0005): the lot chosen on the sales summary, read from its
// journal, with the four totals, the print, the total cancellation of the selected transaction
// and the hand-over to the transaction's products for a partial cancellation. Opened inside the
// main window by AbreFormNsu.
class FormNsu final : public QWidget {
    Q_OBJECT
  public:
    static constexpr const char* kNomeTela = "TRANSACOESDOLOTE";

    FormNsu(FormPrincipal& principal, const QString& lote, QWidget* parent = nullptr);

    // Makes the screen current and loads the lot (MontaTela_FormNsu, SomaTotais). False when
    // there is nothing to show: the journal's own message was given and the screen must not be
    // shown.
    bool Form_Load();
    bool carregado() const { return carregado_; }

    void cmdCanceltotal_Click();
    void cmdCancelParcial_Click();
    void cmdImprimir_Click();
    void cmdSair_Click();
    // F12 of the main window: the same as cmdSair.
    void ExecutaBotaoEncerrar() { cmdSair_Click(); }
    void Form_Activate();

    QTableView* spdNsu() const { return spdNsu_; }
    const JournalModel& modelo() const { return modelo_; }
    // The lot of the last selected transaction (column 1).
    const QString& loteSelecionado() const { return loteSelecionado_; }
    // The title the grid is printed with.
    QString tituloImpressao() const;

  protected:
    void closeEvent(QCloseEvent* evento) override;

  private:
    void MontaTela_FormNsu();
    void CarregaDadosNSU();

    FormPrincipal& principal_;
    Context& ctx_;
    QString lote_;
    JournalModel modelo_;
    bool carregado_ = false;
    QString loteSelecionado_;

    QLabel* lblCodigoEstab_ = nullptr;
    QLabel* lblNomeEstab_ = nullptr;
    QLabel* lblAdministradora_ = nullptr;
    QLabel* lblLote_ = nullptr;
    QTableView* spdNsu_ = nullptr;
    QLabel* lblTotValorLiqVda_ = nullptr;
    QLabel* lblTotValorRepos_ = nullptr;
    QLabel* lblTotValorCredito_ = nullptr;
    QLabel* lblTotValorDebito_ = nullptr;
    QLineEdit* txtTotValorLiqVda_ = nullptr;
    QLineEdit* txtTotValorRepos_ = nullptr;
    QLineEdit* txtTotValorCredito_ = nullptr;
    QLineEdit* txtTotValorDebito_ = nullptr;
    QPushButton* cmdCanceltotal_ = nullptr;
    QPushButton* cmdCancelParcial_ = nullptr;
    QPushButton* cmdImprimir_ = nullptr;
    QPushButton* cmdSair_ = nullptr;
};

}  // namespace ql
