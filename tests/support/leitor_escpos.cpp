#include "support/leitor_escpos.h"

#include <QStringDecoder>

namespace ql::test {

namespace {

const char* nomeTabela(int n) {
    return n == 2 ? "IBM850" : n == 3 ? "IBM860" : "IBM437";
}

}  // namespace

ImpressaoLida LeEscPos(const QByteArray& bytes) {
    ImpressaoLida lida;
    QByteArray linha;
    int tabela = 0;
    auto termina = [&] {
        lida.linhas << QStringDecoder(nomeTabela(tabela)).decode(linha);
        lida.marcas << QStringLiteral("linha");
        linha.clear();
    };
    auto arg = [&](qsizetype i) { return i < bytes.size() ? quint8(bytes.at(i)) : -1; };
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const quint8 b = quint8(bytes.at(i));
        if (b >= 0x20) {
            linha += char(b);
        } else if (b == 0x0a) {
            termina();
        } else if (b == 0x1b && arg(i + 1) == '@') {
            lida.marcas << QStringLiteral("inicializa");
            tabela = 0;
            ++i;
        } else if (b == 0x1b && arg(i + 1) == 't') {
            tabela = lida.tabela = arg(i + 2);
            lida.marcas << QStringLiteral("tabela %1").arg(tabela);
            i += 2;
        } else if (b == 0x1b && arg(i + 1) == 'd') {
            if (!linha.isEmpty()) termina();
            lida.marcas << QStringLiteral("avanço %1").arg(arg(i + 2));
            i += 2;
        } else if (b == 0x1d && arg(i + 1) == 'V') {
            const int m = arg(i + 2);
            const bool comAvanco = m == 65 || m == 66;
            const bool parcial = m == 1 || m == 49 || m == 66;
            lida.marcas << (parcial ? QStringLiteral("corte parcial")
                                    : QStringLiteral("corte total"));
            i += comAvanco ? 3 : 2;
        } else if (b == 0x10 && arg(i + 1) == 0x04) {
            lida.marcas << QStringLiteral("status %1").arg(arg(i + 2));
            i += 2;
        } else {
            lida.marcas << QStringLiteral("desconhecido %1").arg(b, 2, 16, QLatin1Char('0'));
        }
    }
    if (!linha.isEmpty()) {
        lida.linhas << QStringDecoder(nomeTabela(tabela)).decode(linha);
        lida.marcas << QStringLiteral("texto sem fim de linha");
    }
    return lida;
}

}  // namespace ql::test
