// Arbitrary bytes as the operator table: loading must not crash, every record keeps its fixed
// widths, and both administrator lists agree with the table.
#include <QByteArray>
#include <QDateTime>
#include <QFile>
#include <QSet>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>

#include "data/operadoras.h"
#include "fuzz_check.h"
#include "shell/clock.h"
#include "shell/context.h"
#include "shell/message_boxes.h"
#include "shell/silent_message_boxes.h"

using ql::fuzz::bytesOf;
using ql::fuzz::check;

namespace {

// Messages go nowhere: a fuzz run shows no window.
void checkTable(const ql::TabelaOperadoras& tabela) {
    for (int i = 1; i <= tabela.size(); ++i) {
        const ql::RegistroOperadora& r = tabela.at(i);
        check(r.nome.size() == 20 && r.codigo.size() == 8 && r.reservado.size() == 2);
        for (const ql::CampoAdicional* c : {&r.campo1, &r.campo2, &r.complemento}) {
            check(c->tipo.size() == 1 && c->rotulo.size() == 20);
            check(c->minimo >= 0 && c->minimo <= 99 && c->maximo >= 0 && c->maximo <= 99);
        }
    }
    check(ql::PreencheComboAdmNomes(tabela).size() == tabela.size());
    const ql::ListaComboAdm lista = ql::PreencheComboAdmCodigos(tabela);
    check(lista.selecionado == (tabela.size() > 0 ? 0 : -1));
    QSet<QString> vistos;
    int anterior = 0;
    for (const ql::ItemComboAdm& item : lista.itens) {
        check(item.posicao > anterior && tabela.contem(item.posicao));
        check(item.codigo == tabela.at(item.posicao).codigo.trimmed().toUpper());
        check(!vistos.contains(item.codigo));
        vistos.insert(item.codigo);
        anterior = item.posicao;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes = bytesOf(data, size);
    if (const auto tabela = ql::LeTabelaOperadoras(bytes)) checkTable(*tabela);

    // The same bytes through the loader the program runs at start-up.
    static QTemporaryDir pasta;
    static ql::SilentMessageBoxes caixas;
    static ql::FixedClock relogio(QDateTime(QDate(2026, 12, 5), QTime(10, 0)));
    QFile arquivo(pasta.filePath("QLTb_Opr.txt"));
    if (!arquivo.open(QIODevice::WriteOnly | QIODevice::Truncate)) return 0;
    arquivo.write(bytes);
    arquivo.close();
    ql::Context ctx(caixas, relogio);
    ctx.config.PathServer = pasta.path();
    ctx.config.TipoLog = "M";
    if (ql::ObtemDadosOperadora(ctx)) checkTable(ctx.operadoras);
    return 0;
}
