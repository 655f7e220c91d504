#include "ui/key_filters.h"

#include <QAbstractButton>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>
#include <QTimer>

#include <algorithm>

#include "sale/keys/text_keys.h"
#include "ui/window_helpers.h"

namespace ql {

namespace {

EstadoCampo estadoDe(const QLineEdit* campo) {
    EstadoCampo estado;
    estado.texto = campo->text();
    estado.inicioSelecao =
        campo->hasSelectedText() ? campo->selectionStart() : campo->cursorPosition();
    estado.tamanhoSelecao = campo->hasSelectedText() ? int(campo->selectedText().size()) : 0;
    estado.cursor = campo->cursorPosition();
    estado.travado = campo->isReadOnly() || !campo->isEnabled();
    return estado;
}

void aplicaEstado(QLineEdit* campo, const EstadoCampo& estado) {
    if (campo->text() != estado.texto) campo->setText(estado.texto);
    if (estado.tamanhoSelecao > 0) {
        campo->setSelection(estado.inicioSelecao, estado.tamanhoSelecao);
    } else {
        campo->setCursorPosition(estado.cursor);
    }
}

// Event filter for Enter as Tab on any control.
class EnterTabFilter final : public QObject {
  public:
    using QObject::QObject;

  protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override {
        if (evento->type() != QEvent::KeyPress) return false;
        const auto* tecla = static_cast<QKeyEvent*>(evento);
        if (tecla->key() != Qt::Key_Return && tecla->key() != Qt::Key_Enter) return false;
        if (tecla->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) return false;
        EnterTab(qobject_cast<QWidget*>(objeto));
        return true;
    }
};

class SelectOnFocusFilter final : public QObject {
  public:
    using QObject::QObject;

  protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override {
        if (evento->type() == QEvent::FocusIn) {
            // A click places the caret after the focus arrives: select once the click is done.
            QPointer<QLineEdit> campo = qobject_cast<QLineEdit*>(objeto);
            QTimer::singleShot(0, campo, [campo] {
                if (campo) SelecionaCampo(campo);
            });
        }
        return false;
    }
};

class FunctionKeyFilter final : public QObject {
  public:
    FunctionKeyFilter(QObject* dono, std::vector<std::pair<Qt::Key, QAbstractButton*>> teclas)
        : QObject(dono) {
        for (auto& [tecla, botao] : teclas) teclas_.push_back({tecla, botao});
    }

  protected:
    bool eventFilter(QObject*, QEvent* evento) override {
        if (evento->type() != QEvent::KeyPress) return false;
        const auto* tecla = static_cast<QKeyEvent*>(evento);
        if (tecla->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) return false;
        for (const auto& [codigo, botao] : teclas_) {
            if (tecla->key() != codigo) continue;
            // Consumed either way, so that the key never reaches another command.
            if (botao && botao->isEnabled() && botao->isVisible()) botao->click();
            return true;
        }
        return false;
    }

  private:
    std::vector<std::pair<Qt::Key, QPointer<QAbstractButton>>> teclas_;
};

}  // namespace

int CodigoTecla(int teclaQt, const QString& texto, Qt::KeyboardModifiers modificadores) {
    if (modificadores & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) return 0;
    if (teclaQt == Qt::Key_Return || teclaQt == Qt::Key_Enter) return teclas::Enter;
    if (teclaQt == Qt::Key_Backspace) return teclas::Backspace;
    if (teclaQt == Qt::Key_Tab || teclaQt == Qt::Key_Backtab) return 0;
    if (texto.size() != 1) return 0;
    const QChar c = texto.at(0);
    if (c.category() == QChar::Other_Control) return 0;
    return c.unicode();
}

KeyRuleFilter::KeyRuleFilter(QLineEdit* campo, RegraTecla regra)
    : QObject(campo), campo_(campo), regra_(std::move(regra)) {
    campo_->installEventFilter(this);
}

bool KeyRuleFilter::eventFilter(QObject* objeto, QEvent* evento) {
    if (objeto != campo_ || evento->type() != QEvent::KeyPress) return false;
    auto* tecla = static_cast<QKeyEvent*>(evento);
    const int codigo = CodigoTecla(tecla->key(), tecla->text(), tecla->modifiers());
    if (codigo == 0) return false;

    EstadoCampo estado = estadoDe(campo_);
    const ResultadoTecla resultado = regra_(estado, codigo);
    if (resultado.tecla == codigo && resultado.tabs == 0) {
        aplicaEstado(campo_, estado);
        return false;  // the box processes the key as typed
    }
    aplicaEstado(campo_, estado);
    if (resultado.tecla != teclas::Nenhuma && resultado.tecla != teclas::Enter &&
        resultado.tecla != teclas::Backspace && !campo_->isReadOnly()) {
        // A replaced character (such as an upper-cased letter) goes in instead of the typed one.
        campo_->insert(QString(QChar(resultado.tecla)));
    }
    QPointer<QLineEdit> guarda = campo_;
    for (int i = 0; i < resultado.tabs && guarda; ++i) EnterTab(guarda);
    return true;
}

void InstalaCampoValor(QLineEdit* campo, RegraTecla regra) {
    if (!campo) return;
    new KeyRuleFilter(campo, regra ? std::move(regra) : RegraTecla(&Valor_KeyPress));
    QObject::connect(campo, &QLineEdit::textChanged, campo, [campo](const QString& texto) {
        EstadoCampo estado;
        estado.texto = texto;
        if (Valor_Change(estado)) {
            // The new text is at least four characters long, so the change it raises in turn
            // leaves it alone; other listeners see the normalised text last.
            campo->setText(estado.texto);
            campo->setCursorPosition(estado.cursor);
        }
    });
}

void InstalaFiltroCaractere(QLineEdit* campo, std::function<int(int)> filtro) {
    if (!campo || !filtro) return;
    new KeyRuleFilter(campo, [filtro = std::move(filtro)](EstadoCampo&, int codigo) {
        return ResultadoTecla{filtro(codigo), 0};
    });
}

void InstalaFiltraTecla(QLineEdit* campo) {
    if (!campo) return;
    new KeyRuleFilter(campo, &TeclaTexto);
    // Pasted text skips the key events: filter it as a whole, keeping the caret where it was.
    QObject::connect(campo, &QLineEdit::textChanged, campo, [campo](const QString& texto) {
        const QString filtrado = FiltraTexto(texto);
        if (filtrado == texto) return;
        const int cursor = campo->cursorPosition() - int(texto.size() - filtrado.size());
        campo->setText(filtrado);
        campo->setCursorPosition(std::max(0, cursor));
    });
}

void InstalaTeclasFuncao(QWidget* tela,
                         std::vector<std::pair<Qt::Key, QAbstractButton*>> teclasBotoes) {
    if (tela) tela->installEventFilter(new FunctionKeyFilter(tela, std::move(teclasBotoes)));
}

void InstalaEnterTab(QWidget* controle) {
    if (controle) controle->installEventFilter(new EnterTabFilter(controle));
}

void InstalaSelecaoAoFocar(QLineEdit* campo) {
    if (campo) campo->installEventFilter(new SelectOnFocusFilter(campo));
}

}  // namespace ql
