#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace ql::test {

// What a thermal printer makes of an ESC/POS stream: the text lines it prints (decoded in
// the character table selected at the time), and the commands in the order received, each
// as a marker: "inicializa", "tabela N", "avanço N", "corte parcial", "corte total",
// "status N", "linha" (one per printed line). An unknown control byte gives "desconhecido XX".
struct ImpressaoLida {
    QStringList linhas;
    QStringList marcas;
    int tabela = -1;  // the last character table selected

    // Nothing but whole lines between the first initialisation and a final partial cut.
    bool cortaNoFim() const { return !marcas.isEmpty() && marcas.last() == u"corte parcial"; }
};

ImpressaoLida LeEscPos(const QByteArray& bytes);

}  // namespace ql::test
