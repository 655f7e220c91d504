#include "demo_data.h"

namespace ql::hostsim {

const std::vector<DemoProduto>& demoProdutos() {
    static const std::vector<DemoProduto> produtos = {
        {"7891000424452", "DIPIRONA SODICA", "500MG 10 COMP", "EMS", "C", 890, 712, true, 10},
        {"7891037197725", "PARACETAMOL", "750MG 20 COMP", "MEDLEY", "C", 1290, 1032, true, 10},
        {"7891074517500", "IBUPROFENO", "600MG 20 COMP", "EUROFARMA", "C", 2150, 1720, true, 6},
        {"7891111853196", "AMOXICILINA", "500MG 21 CAPS", "EMS", "C", 3490, 2792, true, 4},
        {"7891148063285", "AZITROMICINA", "500MG 3 COMP", "NEO QUIMICA", "C", 2890, 2312, true, 4},
        {"7891185094945", "LOSARTANA POTASSICA", "50MG 30 COMP", "MEDLEY", "C", 2450, 1715, true,
         6},
        {"7891222702390", "ENALAPRIL MALEATO", "10MG 30 COMP", "GERMED", "C", 1890, 1323, true, 6},
        {"7891259123373", "HIDROCLOROTIAZIDA", "25MG 30 COMP", "PRATI-DONADUZZI", "C", 990, 693,
         true, 6},
        {"7891296479310", "ATENOLOL", "50MG 30 COMP", "SANDOZ", "C", 1590, 1113, true, 6},
        {"7891333763877", "ANLODIPINO BESILATO", "5MG 30 COMP", "EMS", "C", 2290, 1603, true, 6},
        {"7891370076022", "SINVASTATINA", "20MG 30 COMP", "EUROFARMA", "C", 3190, 2233, true, 6},
        {"7891407665106", "ATORVASTATINA", "20MG 30 COMP", "MEDLEY", "C", 5490, 3843, true, 6},
        {"7891444281406", "METFORMINA", "850MG 30 COMP", "MERCK", "C", 1490, 1043, true, 6},
        {"7891481049144", "GLIBENCLAMIDA", "5MG 30 COMP", "TEUTO", "C", 790, 553, true, 6},
        {"7891518112650", "OMEPRAZOL", "20MG 28 CAPS", "EMS", "C", 2690, 1883, true, 6},
        {"7891555568380", "PANTOPRAZOL", "40MG 28 COMP", "CIMED", "C", 4590, 3213, true, 6},
        {"7891592548109", "RANITIDINA", "150MG 20 COMP", "GERMED", "C", 1990, 1393, true, 6},
        {"7891629091561", "LORATADINA", "10MG 12 COMP", "NEO QUIMICA", "C", 1390, 973, true, 6},
        {"7891666315446", "DEXCLORFENIRAMINA", "2MG 20 COMP", "TEUTO", "C", 1190, 833, true, 6},
        {"7891703118894", "PREDNISONA", "20MG 10 COMP", "PRATI-DONADUZZI", "C", 1090, 763, true, 6},
        {"7891740722269", "DEXAMETASONA CREME", "1MG/G 10G", "EMS", "B", 1290, 903, true, 4},
        {"7891777556424", "CETOCONAZOL CREME", "20MG/G 30G", "MEDLEY", "B", 1690, 1183, true, 4},
        {"7891814077479", "NIMESULIDA", "100MG 12 COMP", "CIMED", "C", 1290, 903, true, 6},
        {"7891851741159", "DICLOFENACO SODICO", "50MG 20 COMP", "EUROFARMA", "C", 990, 693, true,
         6},
        {"7891888162262", "CIPROFLOXACINO", "500MG 14 COMP", "SANDOZ", "C", 3890, 2723, true, 4},
        {"7891925292600", "CEFALEXINA", "500MG 8 CAPS", "EMS", "C", 2990, 2093, true, 4},
        {"7891962826578", "FLUOXETINA", "20MG 30 CAPS", "ACHE", "C", 3290, 2303, true, 6},
        {"7891999822383", "SERTRALINA", "50MG 30 COMP", "MEDLEY", "C", 4890, 3423, true, 6},
        {"7892036764147", "CLONAZEPAM", "2MG 30 COMP", "GERMED", "C", 1590, 1113, false, 3},
        {"7892073081085", "AMITRIPTILINA", "25MG 30 COMP", "TEUTO", "C", 1390, 973, false, 3},
        {"7892110756426", "LEVOTIROXINA SODICA", "50MCG 30 COMP", "MERCK", "C", 1890, 1323, true,
         6},
        {"7892147767488", "CAPTOPRIL", "25MG 30 COMP", "PRATI-DONADUZZI", "C", 890, 623, true, 6},
        {"7892184519934", "FUROSEMIDA", "40MG 20 COMP", "SANDOZ", "C", 790, 553, true, 6},
        {"7892221064991", "ESPIRONOLACTONA", "25MG 30 COMP", "EMS", "C", 2190, 1533, true, 6},
        {"7892258289770", "CARVEDILOL", "25MG 30 COMP", "EUROFARMA", "C", 3590, 2513, true, 6},
        {"7892295061056", "SALBUTAMOL SPRAY", "100MCG 200 DOSES", "GLAXO", "F", 2590, 1813, true,
         4},
        {"7892332729635", "BROMEXINA XAROPE", "8MG/5ML 120ML", "NEO QUIMICA", "F", 1690, 1183, true,
         4},
        {"7892369174552", "AMBROXOL XAROPE", "30MG/5ML 120ML", "EMS", "F", 1790, 1253, true, 4},
        {"7892406379599", "METOCLOPRAMIDA", "10MG 20 COMP", "CIMED", "C", 890, 623, true, 6},
        {"7892443549375", "ONDANSETRONA", "8MG 10 COMP", "ACHE", "C", 4290, 3003, true, 4},
        {"7892480189077", "ALBENDAZOL", "400MG 1 COMP", "TEUTO", "C", 690, 483, true, 4},
        {"7892517708684", "IVERMECTINA", "6MG 4 COMP", "GERMED", "C", 1490, 1043, true, 4},
        {"7892554154390", "ACICLOVIR", "200MG 25 COMP", "MEDLEY", "C", 2790, 1953, true, 4},
        {"7892591748309", "INSULINA NPH", "100UI/ML 10ML", "NOVO NORDISK", "F", 6890, 5512, true,
         4},
        {"7892628404338", "SULFATO FERROSO", "40MG 50 COMP", "PRATI-DONADUZZI", "C", 690, 483, true,
         6},
        {"7892665734344", "ACIDO FOLICO", "5MG 20 COMP", "EMS", "C", 590, 413, true, 6},
    };
    return produtos;
}

const std::vector<DemoCartao>& demoCartoes() {
    static const std::vector<DemoCartao> cartoes = {
        {"6062820000000001", "MARIA APARECIDA SILVA", 0, "", 5000},
        {"6062820000000002", "JOSE CARLOS SOUZA", 57, "CARTAO BLOQUEADO PELA OPERADORA", 0},
        {"6062820000000003", "ANA PAULA OLIVEIRA", 54, "CARTAO VENCIDO", 0},
        {"6062820000000004", "ANTONIO PEREIRA LIMA", 0, "", 3000},
        {"6062820000000005", "FRANCISCA SANTOS COSTA", 0, "", 7000},
        {"6062820000000006", "PEDRO HENRIQUE ALVES", 0, "", 0},
    };
    return cartoes;
}

const std::vector<DemoPreAutorizacao>& demoPreAutorizacoes() {
    static const std::vector<DemoPreAutorizacao> pre = {
        {"6062820000000004", {{"7891185094945", 2}, {"7891370076022", 1}, {"7891444281406", 3}}},
        {"6062820000000005",
         {{"7891000424452", 1},
          {"7891037197725", 2},
          {"7891074517500", 1},
          {"7891111853196", 1},
          {"7891148063285", 1},
          {"7891185094945", 1},
          {"7891222702390", 2},
          {"7891259123373", 1},
          {"7891296479310", 1},
          {"7891333763877", 1},
          {"7891370076022", 1},
          {"7891407665106", 1},
          {"7891444281406", 2},
          {"7891481049144", 1},
          {"7891518112650", 1}}},
    };
    return pre;
}

const std::vector<DemoOperadora>& demoOperadoras() {
    static const std::vector<DemoOperadora> operadoras = {
        {"QUILLANE SAUDE", "00000123"},
        {"FARMAVIDA", "00000456"},
        {"BENEFICIO MAIS", "00000789"},
    };
    return operadoras;
}

bool eanValido(const QString& codigo) {
    if (codigo.size() != 13) return false;
    int soma = 0;
    for (int i = 0; i < 13; ++i) {
        if (!codigo[i].isDigit()) return false;
        const int d = codigo[i].digitValue();
        if (i < 12) soma += d * ((i % 2) ? 3 : 1);
    }
    return (10 - soma % 10) % 10 == codigo[12].digitValue();
}

}  // namespace ql::hostsim
