#pragma once

#include <QHash>
#include <QString>

#include <functional>

namespace ql {

// The two commands of the main window that act on whichever screen is current.
enum class ComandoTela {
    Encerrar,  // F12 - Retornar: the screen's ExecutaBotaoEncerrar
    Imprimir,  // F11 - Imprimir: the screen's cmdImprimir_Click
};

// Which screen answers a command for a current screen name (TelaAtual); empty when the command
// does nothing there. The names returned are the screens' own names ("FormInicial", ...).
QString TelaDoComando(ComandoTela comando, const QString& telaAtual);

// The screens that take part in the F11/F12 dispatch, found by their own names. A screen
// registers its operations when it opens and removes them when it closes.
class DespachoTelas {
  public:
    struct Operacoes {
        std::function<void()> ExecutaBotaoEncerrar;
        std::function<void()> cmdImprimir_Click;  // empty for a screen that does not print
    };

    void registra(const QString& nomeTela, Operacoes operacoes);
    void remove(const QString& nomeTela);
    bool registrada(const QString& nomeTela) const { return telas_.contains(nomeTela); }

    // Runs the command for the current screen name. Returns the name of the screen that ran it,
    // or empty when the table maps the name to no screen, the screen is not open, or it has no
    // such operation.
    QString executa(ComandoTela comando, const QString& telaAtual) const;

  private:
    QHash<QString, Operacoes> telas_;
};

}  // namespace ql
