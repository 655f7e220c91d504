// Arbitrary bytes as a local data file: reading it item by item or line by line must finish,
// consume the data, and give back no more text than there was.
#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>

#include "data/operadoras.h"
#include "data/sequential_items.h"
#include "fuzz_check.h"

using ql::fuzz::bytesOf;
using ql::fuzz::check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes = bytesOf(data, size);

    ql::SequentialItems itens(bytes);
    qsizetype chamadas = 0, caracteres = 0;
    while (!itens.atEnd()) {
        const QString item = itens.next();
        caracteres += item.size();
        check(++chamadas <= bytes.size());
        // Every item is a line of the operator table for one reader or another.
        check(ql::FormataRegistroOperadora(ql::LeRegistroOperadora(item)).size() ==
              ql::kTamanhoLinhaOperadora);
    }
    check(caracteres <= bytes.size());
    check(itens.next().isEmpty() && itens.nextLine().isEmpty());

    ql::SequentialItems linhas(bytes);
    chamadas = 0;
    caracteres = 0;
    while (!linhas.atEnd()) {
        caracteres += linhas.nextLine().size();
        check(++chamadas <= bytes.size());
    }
    check(caracteres <= bytes.size());
    return 0;
}
