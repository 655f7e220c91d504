#pragma once

#include <QString>

#include <vector>

namespace ql {

// One field node of the current message.
struct ClassCampo {
    QString chaveKY9;        // the tag FFF-SSS, always 7 characters
    qint16 Comprimento = 0;  // length of the value
    int Proximo = -1;        // index of the node added just before this one; -1 for the first
    QString conteudo;        // the value
};

// The one current message: up to 2000 tagged fields in the order they were added, plus the
// description tables stored with every new message.
struct Mensagem {
    static constexpr int kMaxCampos = 2000;

    std::vector<ClassCampo> nos;  // nos[0] is the placeholder of a freshly started message
    qint16 count = 0;
    QString tiposIso;
    QString mapaCampos;
    QString dicionario;
    QString tamanhosIso;
};

}  // namespace ql
