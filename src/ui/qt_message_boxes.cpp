#include "ui/qt_message_boxes.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QPushButton>

#include <vector>

namespace ql {

namespace {

QMessageBox::Icon iconeQt(MessageBoxes::Icon icon) {
    switch (icon) {
        case MessageBoxes::Icon::Critical:
            return QMessageBox::Critical;
        case MessageBoxes::Icon::Question:
            return QMessageBox::Question;
        case MessageBoxes::Icon::Exclamation:
            return QMessageBox::Warning;
        case MessageBoxes::Icon::Information:
            return QMessageBox::Information;
        case MessageBoxes::Icon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

}  // namespace

MessageBoxes::Answer QtMessageBoxes::show(const QString& text, const QString& title, Icon icon,
                                          Buttons buttons, Answer defaultButton) {
    QMessageBox caixa(iconeQt(icon), title, text, QMessageBox::NoButton, parent_.data());
    struct Botao {
        QMessageBox::StandardButton padrao;
        const char* texto;
        Answer resposta;
    };
    std::vector<Botao> botoes;
    switch (buttons) {
        case Buttons::Ok:
            botoes = {{QMessageBox::Ok, "OK", Answer::Ok}};
            break;
        case Buttons::YesNo:
            botoes = {{QMessageBox::Yes, "Sim", Answer::Yes}, {QMessageBox::No, "Não", Answer::No}};
            break;
        case Buttons::OkCancel:
            botoes = {{QMessageBox::Ok, "OK", Answer::Ok},
                      {QMessageBox::Cancel, "Cancelar", Answer::Cancel}};
            break;
    }
    for (const Botao& b : botoes) {
        caixa.addButton(b.padrao)->setText(QString::fromUtf8(b.texto));
        if (b.resposta == defaultButton) caixa.setDefaultButton(b.padrao);
    }
    // Escape chooses No or Cancel, as the system's questions expect.
    if (buttons == Buttons::YesNo) caixa.setEscapeButton(QMessageBox::No);
    if (buttons == Buttons::OkCancel) caixa.setEscapeButton(QMessageBox::Cancel);

    const int escolhido = caixa.exec();
    for (const Botao& b : botoes) {
        if (escolhido == b.padrao) return b.resposta;
    }
    // Closed without a button (window closed): the harmless answer.
    switch (buttons) {
        case Buttons::YesNo:
            return Answer::No;
        case Buttons::OkCancel:
            return Answer::Cancel;
        case Buttons::Ok:
            break;
    }
    return Answer::Ok;
}

}  // namespace ql
