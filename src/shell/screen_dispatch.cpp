#include "shell/screen_dispatch.h"

#include <array>
#include <utility>

namespace ql {

namespace {

struct Rota {
    const char* telaAtual;
    const char* tela;
};

// F12 - Retornar: the screens that can be left with F12 from the main window.
constexpr std::array kRotasEncerrar = {
    Rota{"INCIAL", "FormInicial"},
    Rota{"ADMINISTRATIVA", "FormComplementar"},
    Rota{"TRANSACOESPENDENTES", "FormConsulta"},
    Rota{"RESUMOVENDA", "FormResumo"},
    Rota{"TRANSACOESDOLOTE", "FormNsu"},
    Rota{"PRODUTOSDATRANSACAO", "FormResumoProdutos"},
    Rota{"PRODUTOSDOLOTE", "FormResumoProdutos"},
    Rota{"PREVENDA", "FormPreVenda"},
    Rota{"VENDA", "FormPreVenda"},
};

// F11 - Imprimir: the screens whose grid prints.
constexpr std::array kRotasImprimir = {
    Rota{"TRANSACOESPENDENTES", "FormConsulta"},  Rota{"RESUMOVENDA", "FormResumo"},
    Rota{"TRANSACOESDOLOTE", "FormNsu"},          Rota{"PRODUTOSDATRANSACAO", "FormResumoProdutos"},
    Rota{"PRODUTOSDOLOTE", "FormResumoProdutos"}, Rota{"RESUMOFINANCEIRO", "FormResumoFinanceiro"},
};

template <typename Tabela>
QString procura(const Tabela& tabela, const QString& telaAtual) {
    for (const Rota& rota : tabela) {
        // Screen names are compared exactly, as the screens set them.
        if (telaAtual == QLatin1String(rota.telaAtual)) return QString::fromLatin1(rota.tela);
    }
    return {};
}

}  // namespace

QString TelaDoComando(ComandoTela comando, const QString& telaAtual) {
    return comando == ComandoTela::Encerrar ? procura(kRotasEncerrar, telaAtual)
                                            : procura(kRotasImprimir, telaAtual);
}

void DespachoTelas::registra(const QString& nomeTela, Operacoes operacoes) {
    telas_.insert(nomeTela, std::move(operacoes));
}

void DespachoTelas::remove(const QString& nomeTela) {
    telas_.remove(nomeTela);
}

QString DespachoTelas::executa(ComandoTela comando, const QString& telaAtual) const {
    const QString tela = TelaDoComando(comando, telaAtual);
    if (tela.isEmpty()) return {};
    const auto it = telas_.constFind(tela);
    if (it == telas_.constEnd()) return {};
    // Copy the operation: running it may close the screen and remove its registration.
    const std::function<void()> operacao =
        comando == ComandoTela::Encerrar ? it->ExecutaBotaoEncerrar : it->cmdImprimir_Click;
    if (!operacao) return {};
    operacao();
    return tela;
}

}  // namespace ql
