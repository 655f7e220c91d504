#pragma once

#include <QDialog>
#include <QStringList>

class QLabel;
class QPushButton;

namespace ql {

struct Context;

// The about window: program version, date and size of the program file, and a button that
// starts the system-information tool installed on the machine.
class FormSobre final : public QDialog {
    Q_OBJECT
  public:
    FormSobre(Context& ctx, QWidget* parent = nullptr);

    // The system-information tools looked for, in order of preference.
    static QStringList FerramentasSistema();
    // The first of the tools found in the given directories (the PATH when none are given);
    // empty when none is installed.
    static QString LocalizaFerramentaSistema(const QStringList& ferramentas,
                                             const QStringList& diretorios = {});

    // Program file facts as shown: "dd/MM/yyyy hh:mm:ss" and "1.234.567 bytes".
    static QString TextoDataArquivo(const QString& caminho);
    static QString TextoTamanhoArquivo(const QString& caminho);

    // Starts the tool (or says none is installed).
    void cmdSysInfo_Click();
    // Where the tools are looked for; the PATH when empty (tests point it elsewhere).
    void setDiretoriosFerramentas(const QStringList& diretorios) { diretorios_ = diretorios; }

    QPushButton* cmdSysInfo() const { return cmdSysInfo_; }

  private:
    Context& ctx_;
    QPushButton* cmdSysInfo_ = nullptr;
    QStringList diretorios_;
};

}  // namespace ql
