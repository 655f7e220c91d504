#pragma once

#include <QWidget>

#include "admin/journal_model.h"

class QLabel;
class QPushButton;
class QTableView;

namespace ql {

struct Context;
class FormPrincipal;

// Pending transactions (Tela 0007): the pending transactions of the administradora chosen in
// the administrative menu, read from its journal, with the confirmation and the undo of the
// selected one and the print of the list. Opened inside the main window by AbreFormConsulta.
class FormConsulta final : public QWidget {
    Q_OBJECT
  public:
    static constexpr const char* kNomeTela = "TRANSACOESPENDENTES";

    explicit FormConsulta(FormPrincipal& principal, QWidget* parent = nullptr);

    // Makes the screen current (current screen name, print command, title, labels, captions)
    // and loads the journal. False when there is nothing to show: the journal's own message was
    // given and the screen must not be shown.
    bool Form_Load();
    bool carregado() const { return carregado_; }

    void cmdConfirmaTrans_Click();
    void cmdAnulaTrans_Click();
    void cmdImprimir_Click();
    void cmdCancel_Click();
    // F12 of the main window: the same as cmdCancel.
    void ExecutaBotaoEncerrar() { cmdCancel_Click(); }

    // What the screen does whenever it becomes the current one again.
    void Form_Activate();

    QTableView* spdLote() const { return spdLote_; }
    const JournalModel& modelo() const { return modelo_; }
    // The lot of the last selected transaction (column 1).
    const QString& loteSelecionado() const { return lote_; }

  protected:
    void closeEvent(QCloseEvent* evento) override;

  private:
    void CarregaDadosNSU();
    void processaPendente(bool confirmacao);

    FormPrincipal& principal_;
    Context& ctx_;
    JournalModel modelo_;
    bool carregado_ = false;
    QString lote_;

    QLabel* lblCodigoEstab_ = nullptr;
    QLabel* lblNomeEstab_ = nullptr;
    QLabel* lblAdministradora_ = nullptr;
    QLabel* lblsubtitulo_ = nullptr;
    QTableView* spdLote_ = nullptr;
    QPushButton* cmdConfirmaTrans_ = nullptr;
    QPushButton* cmdAnulaTrans_ = nullptr;
    QPushButton* cmdImprimir_ = nullptr;
    QPushButton* cmdCancel_ = nullptr;
};

}  // namespace ql
