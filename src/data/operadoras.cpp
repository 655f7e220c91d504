#include "data/operadoras.h"

#include <QSet>

#include "data/data_files.h"
#include "data/sequential_items.h"
#include "data/usuarios.h"
#include "shell/context.h"
#include "shell/error_routine.h"
#include "shell/text_files.h"

namespace ql {

namespace {

const QString kArquivoOperadoras = QStringLiteral("QLTb_Opr.txt");

// Column `inicio` (1-based) of `largura` characters, space-filled when the line is short.
QString coluna(const QString& linha, int inicio, int largura) {
    return CompletaDireita(linha.mid(inicio - 1, largura), largura, QLatin1Char(' '));
}

// The decimal digits at the start of a column (blanks in front are skipped); 0 when none.
qint16 numero(const QString& linha, int inicio, int largura) {
    const QString texto = linha.mid(inicio - 1, largura);
    int valor = 0;
    qsizetype i = 0;
    while (i < texto.size() && texto.at(i) == QLatin1Char(' ')) ++i;
    for (; i < texto.size(); ++i) {
        const QChar c = texto.at(i);
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) break;
        valor = valor * 10 + (c.unicode() - '0');
    }
    return static_cast<qint16>(valor);
}

CampoAdicional campo(const QString& linha, int inicio) {
    CampoAdicional c;
    c.tipo = coluna(linha, inicio, 1);
    c.minimo = numero(linha, inicio + 1, 2);
    c.maximo = numero(linha, inicio + 3, 2);
    c.rotulo = coluna(linha, inicio + 5, 20);
    return c;
}

QString formataCampo(const CampoAdicional& c) {
    // A field the operadora does not use is left blank.
    if (!c.necessario() && c.minimo == 0 && c.maximo == 0 && c.rotulo.trimmed().isEmpty())
        return QString(25, QLatin1Char(' '));
    auto doisDigitos = [](qint16 v) {
        return QStringLiteral("%1").arg(int(v) % 100, 2, 10, QLatin1Char('0'));
    };
    return CompletaDireita(c.tipo, 1, QLatin1Char(' ')) + doisDigitos(c.minimo) +
           doisDigitos(c.maximo) + CompletaDireita(c.rotulo, 20, QLatin1Char(' '));
}

}  // namespace

RegistroOperadora LeRegistroOperadora(const QString& linha) {
    RegistroOperadora r;
    r.nome = coluna(linha, 1, 20);
    r.codigo = coluna(linha, 21, 8);
    r.campo1 = campo(linha, 29);
    r.campo2 = campo(linha, 54);
    r.complemento = campo(linha, 79);
    r.reservado = coluna(linha, 104, 2);
    return r;
}

QString FormataRegistroOperadora(const RegistroOperadora& r) {
    return CompletaDireita(r.nome, 20, QLatin1Char(' ')) +
           CompletaDireita(r.codigo, 8, QLatin1Char(' ')) + formataCampo(r.campo1) +
           formataCampo(r.campo2) + formataCampo(r.complemento) +
           CompletaDireita(r.reservado, 2, QLatin1Char(' '));
}

std::optional<TabelaOperadoras> LeTabelaOperadoras(const QByteArray& bytes) {
    TabelaOperadoras tabela;
    SequentialItems itens(bytes);
    while (!itens.atEnd()) {
        if (tabela.size() >= kMaxOperadoras) return std::nullopt;
        tabela.registros.append(LeRegistroOperadora(itens.next()));
    }
    return tabela;
}

bool ObtemDadosOperadora(Context& ctx) {
    const QString procedimento = QStringLiteral("ObtemDadosOperadora");
    // The name is fixed; like every data file it is found whatever its letter case.
    const QString caminho = LocalizaArquivoDados(ctx, kArquivoOperadoras);
    if (caminho.isEmpty()) {
        MostraErro(ctx, procedimento,
                   QStringLiteral("Arquivo ") + kArquivoOperadoras +
                       QStringLiteral(" não foi encontrado."));
        return false;
    }
    if (ArquivoGrandeDemais(caminho)) {
        MostraErro(ctx, procedimento, ErroEstouro());
        return false;
    }
    const auto bytes = readWholeFile(caminho);
    if (!bytes) {
        MostraErro(ctx, procedimento, ErroAcessoArquivo(caminho));
        return false;
    }

    auto tabela = LeTabelaOperadoras(*bytes);
    if (!tabela) {
        MostraErro(ctx, procedimento, ErroEstouro());
        return false;
    }
    ctx.operadoras = std::move(*tabela);
    return true;
}

QStringList PreencheComboAdmNomes(const TabelaOperadoras& tabela) {
    QStringList nomes;
    nomes.reserve(tabela.size());
    for (int i = 1; i <= tabela.size(); ++i) nomes.append(tabela.at(i).nome.trimmed().toUpper());
    return nomes;
}

ListaComboAdm PreencheComboAdmCodigos(const TabelaOperadoras& tabela) {
    ListaComboAdm lista;
    QSet<QString> vistos;
    for (int i = 1; i <= tabela.size(); ++i) {
        const QString codigo = tabela.at(i).codigo.trimmed().toUpper();
        if (vistos.contains(codigo)) continue;
        vistos.insert(codigo);
        lista.itens.append(ItemComboAdm{codigo, i});
    }
    if (!lista.itens.isEmpty()) lista.selecionado = 0;
    return lista;
}

}  // namespace ql
