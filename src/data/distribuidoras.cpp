#include "data/distribuidoras.h"

#include "data/checksum.h"
#include "data/data_files.h"
#include "data/sequential_items.h"
#include "data/usuarios.h"
#include "shell/context.h"
#include "shell/error_routine.h"

namespace ql {

namespace {

constexpr int kTamanhoCodigo = 8;
constexpr int kTamanhoNome = 20;

void avisa(Context& ctx, const QString& texto) {
    ctx.caixas.inform(texto, kTituloAtencao, MessageBoxes::Icon::Critical);
}

}  // namespace

bool PreencheComboDistribuidora(Context& ctx, QStringList& distribuidoras) {
    const QString caminho = LocalizaArquivoDados(ctx, QStringLiteral("MF.S??"));
    if (caminho.isEmpty()) {
        avisa(ctx, QStringLiteral("O arquivo ") + PastaDados(ctx) +
                       QStringLiteral("\\MF.Sxx não foi encontrado "));
        return false;
    }
    const auto bytes = LeArquivoVerificado(ctx, caminho);
    if (!bytes) {
        avisa(ctx, QStringLiteral("Arquivo ") + caminho +
                       QStringLiteral(" corrompido ! Contatar o suporte !"));
        return false;
    }
    const int posicao = ctx.ident.AdministradoraSelecionada;
    if (!ctx.operadoras.contem(posicao)) {
        MostraErro(ctx, QStringLiteral("PreencheComboDistribuidora"), ErroIndiceInvalido());
        return false;
    }
    const QString codigo = ctx.operadoras.at(posicao).codigo.trimmed().toUpper();

    SequentialItems linhas(*bytes);
    while (!linhas.atEnd()) {
        const QString linha = GeraCriptografia(ctx, linhas.nextLine(), QStringLiteral("D"), 0);
        if (linha.left(kTamanhoCodigo).trimmed().toUpper() != codigo) continue;
        QStringList nomes;
        for (int i = 0; i < kQtdDistribuidoras; ++i)
            nomes.append(linha.mid(kTamanhoCodigo + i * kTamanhoNome, kTamanhoNome).trimmed());
        distribuidoras = nomes;
        return true;
    }
    avisa(ctx, QStringLiteral("A administradora selecionada não foi encontrada no arquivo ") +
                   PastaDados(ctx) + QStringLiteral("\\MF.Sxx"));
    return false;
}

QString FormataLinhaDistribuidoras(const QString& codigo, const QStringList& distribuidoras) {
    QString linha = CompletaDireita(codigo, kTamanhoCodigo, QLatin1Char(' '));
    for (int i = 0; i < kQtdDistribuidoras; ++i)
        linha += CompletaDireita(distribuidoras.value(i), kTamanhoNome, QLatin1Char(' '));
    return linha;
}

}  // namespace ql
