#pragma once

#include <QString>

#include <vector>

namespace ql::hostsim {

// One product of the host's catalogue. Amounts are whole cents.
struct DemoProduto {
    const char* codigo;        // EAN-13
    const char* descricao;     // up to 20 characters (field 903)
    const char* apresentacao;  // strength and presentation, up to 20 characters (field 904)
    const char* fabricante;
    const char* embalagem;  // one letter: C caixa, F frasco, B bisnaga, A ampola
    int precoBruto;         // list price
    int precoLiquido;       // price after the network's discount
    bool coberto;           // false: the benefit does not cover it (status 45)
    int quantidadeMaxima;   // more than this per sale is refused (status 46)
};

// One card of the demo network. codigoResposta 0 = active; otherwise the refusal code and
// its reason are answered to every eligibility request.
struct DemoCartao {
    const char* numero;
    const char* titular;
    int codigoResposta;
    const char* motivo;
    int subsidio;  // share of the net price the operadora pays, in hundredths of a percent
};

// A pre-authorisation stored for a card when the data set is created.
struct DemoPreAutorizacao {
    const char* cartao;
    std::vector<std::pair<const char*, int>> itens;  // product code, quantity
};

// The operadoras the host knows: the route name sent in 040-000 and the 8-character code
// that names its journal files.
struct DemoOperadora {
    const char* nome;
    const char* codigo;
};

const std::vector<DemoProduto>& demoProdutos();
const std::vector<DemoCartao>& demoCartoes();
const std::vector<DemoPreAutorizacao>& demoPreAutorizacoes();
const std::vector<DemoOperadora>& demoOperadoras();

// True when the last digit of a 13-digit code is its EAN-13 check digit.
bool eanValido(const QString& codigo);

}  // namespace ql::hostsim
