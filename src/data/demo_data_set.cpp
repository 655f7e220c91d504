#include "data/demo_data_set.h"
#include "shell/silent_message_boxes.h"

#include <QDir>
#include <QFileInfo>

#include <array>
#include <functional>

#include "data/data_files.h"
#include "data/distribuidoras.h"
#include "data/operadoras.h"
#include "data/usuarios.h"
#include "shell/clock.h"
#include "shell/context.h"
#include "shell/message_boxes.h"
#include "shell/text_files.h"

namespace ql {

namespace {

// ---- Layout values: three groups of 35 characters, one per establishment type ----------

constexpr int kGrupo = 35;

QString grupo(QChar posicao1, int numero23, int numero45, const QString& legenda) {
    auto dois = [](int n) { return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0')); };
    return CompletaDireita(posicao1 + dois(numero23) + dois(numero45) + legenda, kGrupo,
                           QLatin1Char(' '));
}
// A command: enabled (or, for option buttons, shown) and its caption.
QString comando(bool habilitado, const QString& legenda) {
    return grupo(QLatin1Char(habilitado ? 'Y' : 'N'), 0, 0, legenda);
}
QString rotulo(const QString& legenda) {
    return grupo(QLatin1Char(' '), 0, 0, legenda);
}
// An input field: kind ("N" = digits only), minimum and maximum length, label.
QString campo(char tipo, int minimo, int maximo, const QString& legenda) {
    return grupo(QLatin1Char(tipo), minimo, maximo, legenda);
}

using PorTipoTexto = std::array<QString, 3>;
PorTipoTexto igual(const QString& g) {
    return {g, g, g};
}

struct Chave {
    const char* nome;
    PorTipoTexto grupos;  // empty entries: the value is written as given in `bruto`
    QString bruto;
};

QString valor(const Chave& c) {
    if (!c.bruto.isEmpty()) return c.bruto;
    return c.grupos[0] + c.grupos[1] + c.grupos[2];
}

struct Secao {
    const char* nome;
    std::vector<Chave> chaves;
};

// The establishment texts of the administrative screens, one set per establishment type.
const PorTipoTexto kCodigoEstab = {
    rotulo(QStringLiteral("Estab. ") + QLatin1String(kDemoCodigoEstab)),
    rotulo(QStringLiteral("Rede ") + QLatin1String(kDemoCodigoEstab)),
    rotulo(QStringLiteral("Distrib. ") + QLatin1String(kDemoCodigoEstab))};
const PorTipoTexto kNomeEstab = {rotulo(QStringLiteral("FARMACIA QUILLANE CENTRO")),
                                 rotulo(QStringLiteral("FARMACIA QUILLANE CENTRO")),
                                 rotulo(QStringLiteral("DISTRIBUIDORA QUILLANE"))};
const PorTipoTexto kNomeRede = {rotulo(QStringLiteral("REDE QUILLANE")),
                                rotulo(QStringLiteral("REDE QUILLANE")),
                                rotulo(QStringLiteral("REDE QUILLANE DISTRIBUICAO"))};

std::vector<Secao> secoesTelas() {
    const auto ok = igual(comando(true, QStringLiteral("F3 - &OK")));
    const auto cancel = igual(comando(true, QStringLiteral("ESC - &Cancel")));
    // Managers are MNG1..MNG5 (and STAFF); passwords are 4 to 6 digits.
    const auto senha = igual(campo('N', 4, 6, QStringLiteral("&Senha:")));
    // The quantity label carries the quantity field's maximum length at positions 4-5.
    const QString qtd = grupo(QLatin1Char(' '), 0, 3, QStringLiteral("Quantidade"));
    return {
        {"FormPrincipal",
         {{"mnuImprimir_Caption", igual(comando(true, QStringLiteral("F11 - &Imprimir"))), {}},
          {"cmdSair_Caption", igual(comando(true, QStringLiteral("F12 - Sai&r"))), {}}}},
        {"FormConsulta",
         {{"cmdConfirmaTrans_Caption",
           igual(comando(true, QStringLiteral("F3 - &Confirma Transações"))),
           {}},
          {"cmdAnulaTrans_Caption",
           igual(comando(true, QStringLiteral("F5 - &Anula Transações"))),
           {}}}},
        {"FormLogin",
         {{"txtUserName", igual(campo(' ', 4, 5, QStringLiteral("&Usuário:"))), {}},
          {"txtPassword", senha, {}},
          {"cmdOk_Caption", ok, {}},
          {"cmdCancel_Caption", cancel, {}}}},
        {"FormNovaSenha",
         {{"txtNovaSenha", igual(campo('N', 4, 6, QStringLiteral("&Nova Senha:"))), {}},
          {"txtNovaSenha2", igual(campo('N', 4, 6, QStringLiteral("&Digite Novamente:"))), {}},
          {"cmdOk_Caption", igual(comando(true, QStringLiteral("F3 - &Confirma"))), {}},
          {"cmdCancel_Caption", igual(comando(true, QStringLiteral("ESC - &Cancela"))), {}}}},
        {"FormComplementar",
         {{"lblUsuario", igual(rotulo(QStringLiteral("Usuário "))), {}},
          {"lblCodigoEstab", kCodigoEstab, {}},
          {"lblNomeEstab", kNomeEstab, {}},
          {"lblNomeRede", kNomeRede, {}},
          {"lblTransacoesPendentes", igual(rotulo(QStringLiteral("Transações Pendentes"))), {}},
          {"lblUltimoLote", igual(rotulo(QStringLiteral("Último Lote"))), {}},
          {"lblFraIdentificacao", igual(rotulo(QStringLiteral("Identificação do Usuário"))), {}},
          {"lblAdmistradora", igual(rotulo(QStringLiteral("Administradora"))), {}},
          {"CmdLogin_Caption", igual(rotulo(QStringLiteral("F2 - &Login"))), {}},
          {"CmdAlterarSenha_Caption", igual(rotulo(QStringLiteral("F4 - &Nova Senha"))), {}},
          {"CmdResumo_Caption", igual(rotulo(QStringLiteral("F6 - Resumo de &Autorização"))), {}},
          {"CmdCanceltotal_Caption", igual(rotulo(QStringLiteral("F7 - Cancelament&o"))), {}},
          {"CmdPendentes_Caption",
           igual(rotulo(QStringLiteral("F8 - &Transações Pendentes "))),
           {}},
          {"CmdLogon_Caption", igual(rotulo(QStringLiteral("F9 - Lo&gon"))), {}},
          {"CmdCadastro_Caption", igual(rotulo(QStringLiteral("F3 - &Cadastro"))), {}}}},
        {"FormResumo",
         {{"lblLotesDias", igual(rotulo(QStringLiteral("Lotes dos ultimos 7 dias"))), {}},
          {"cmdTransacoesLote_caption",
           igual(comando(true, QStringLiteral("F8 - &Transações do Lote"))),
           {}},
          {"cmdProdutosLote_caption",
           igual(comando(true, QStringLiteral("F9 - &Produtos do Lote"))),
           {}}}},
        {"FormResumoProdutos",
         {{"cmdCancelaItem_Caption",
           igual(comando(true, QStringLiteral("F6 - &Cancela Itens"))),
           {}}}},
        {"FormNsu",
         {{"lblLote", igual(rotulo(QStringLiteral("Lote"))), {}},
          {"lblTotValorLiqVda", igual(rotulo(QStringLiteral("Total Líquido Venda"))), {}},
          {"lblTotValorRepos", igual(rotulo(QStringLiteral("Total Reposição"))), {}},
          {"lblTotValorCredito", igual(rotulo(QStringLiteral("Total Crédito"))), {}},
          {"lblTotValorDebito", igual(rotulo(QStringLiteral("Total Débito"))), {}},
          {"CmdCanceltotal_Caption",
           igual(comando(true, QStringLiteral("F4 - Cancela &Total"))),
           {}},
          {"cmdCancelParcial_Caption",
           igual(comando(true, QStringLiteral("F8 - &Produtos da Transação"))),
           {}}}},
        {"FormPreVenda",
         {{"lblUsuario", igual(campo('N', 0, 10, QStringLiteral("Nr Doc. Fiscal"))), {}},
          {"lblTotVen", igual(rotulo(QStringLiteral("Total da Venda "))), {}},
          {"lblTotCred", igual(rotulo(QStringLiteral("Total a Receber LJ"))), {}},
          {"lblTotBen", igual(rotulo(QStringLiteral("Total Beneficios "))), {}},
          {"lblnsu", igual(rotulo(QStringLiteral("NSU Operadora"))), {}},
          {"cmdAdicionaProduto_Caption",
           igual(comando(true, QStringLiteral("F3 - &Adiciona Produto"))),
           {}},
          {"cmdConfirma_Caption",
           igual(comando(true, QStringLiteral("F5 - &Finaliza Autorização"))),
           {}},
          {"cmdExcluir_Caption", igual(comando(true, QStringLiteral("F8 - &Exclui Produto"))), {}},
          {"cmdEditar_Caption", igual(comando(true, QStringLiteral("F10 - Edita &Produto"))), {}}}},
        {"FormInicial",
         {{"txtCartao", igual(campo('N', 16, 19, QStringLiteral("Numero do Cartão"))), {}},
          // A distributor only authorises what a store pre-authorised.
          {"BtnPreVenda", {}, QStringLiteral("YYN")},
          {"cmdVenda", {}, QStringLiteral("YYY")},
          {"cmdAdmin", {}, QStringLiteral("YYY")},
          {"CmdConfirmaOper_Caption",
           igual(rotulo(QStringLiteral("F3 - &Confirma Operadora"))),
           {}},
          {"CmdConfirmaCartao_Caption", igual(rotulo(QStringLiteral("F3 - &Confirma Cartão"))), {}},
          {"BtnPreVenda_Caption", igual(rotulo(QStringLiteral("F2 - &Pré Autorização"))), {}},
          {"CmdVenda_Caption", igual(rotulo(QStringLiteral("F4 - &Autorização"))), {}},
          {"CmdAdmin_Caption", igual(rotulo(QStringLiteral("F5 - &Administrativas"))), {}},
          {"CmdLimpa_Caption", igual(rotulo(QStringLiteral("F8 - L&impa"))), {}},
          {"fraSelecionaTipoEstab_Caption",
           igual(rotulo(QStringLiteral("Tipo do Estabelecimento"))),
           {}},
          {"fraIdentifica_Caption", igual(rotulo(QStringLiteral("Identificação do Portador"))), {}},
          {"optSelecaoEstab", igual(comando(true, QStringLiteral("&Estabelecimento"))), {}},
          {"optSelecaoRede", igual(comando(true, QStringLiteral("&Rede"))), {}},
          {"optSelecaoDistribuidor", igual(comando(true, QStringLiteral("&Distribuidor"))), {}},
          {"optLeitura", igual(comando(true, QStringLiteral("&Leitura"))), {}},
          {"optDigitacao", igual(comando(true, QStringLiteral("&Digitação"))), {}}}},
        {"FormImpressao",
         {{"lstImpressaoProdutos", {comando(true, {}), comando(true, {}), comando(false, {})}, {}},
          {"cmdAnula_Caption", igual(comando(true, QStringLiteral("F12 - &Anula"))), {}},
          {"CmdConfirma_Caption", igual(comando(true, QStringLiteral("F5 - C&onfirma "))), {}},
          {"cmdImprimir_Caption", igual(comando(true, QStringLiteral("F8 - Im&primir"))), {}}}},
        {"FormCadastro",
         {{"fraSelecao", igual(rotulo(QStringLiteral("Identificação do Usuário"))), {}},
          {"lblAdministradora", igual(rotulo(QStringLiteral("Administradora"))), {}},
          {"lblDistribuidora", igual(rotulo(QStringLiteral("Distribuidora"))), {}},
          {"cmdConfirma", igual(comando(true, QStringLiteral("F3 - &Confirma"))), {}}}},
        {"FormCancela",
         {{"lblNSU", igual(campo('N', 1, 12, QStringLiteral("NSU da Operadora"))), {}},
          {"cmdOk", ok, {}},
          {"cmdCancel", cancel, {}}}},
        {"FormSelecaoProduto",
         {{"lblDescr_Produto", igual(rotulo(QStringLiteral("Produto"))), {}},
          {"lblFabricante", igual(rotulo(QStringLiteral("Fabricante"))), {}},
          {"lblQtd_Canc", igual(qtd), {}},
          {"lblValDescPrd", igual(rotulo(QStringLiteral("Valor Desc Produto"))), {}},
          {"lblEmbalagem", igual(rotulo(QStringLiteral("Emb."))), {}},
          {"lblValBrtPrd", igual(rotulo(QStringLiteral("Valor Bruto Produto"))), {}},
          {"lblValLiqPrd", igual(rotulo(QStringLiteral("Valor Líquido"))), {}},
          {"lblValCredPrd", igual(rotulo(QStringLiteral("Valor a Receber Loja"))), {}},
          {"cmdOk_Caption", ok, {}},
          {"cmdCancel_Caption", cancel, {}}}},
        {"frmCancelaProdutos",
         {{"lblProduto", igual(rotulo(QStringLiteral("Produto:"))), {}},
          {"lblQtd", igual(rotulo(QStringLiteral("Qtd a Cancelar:"))), {}},
          {"cmdOk_Caption", ok, {}},
          {"cmdCancel_Caption", cancel, {}}}},
        {"FormConsultaProdutos",
         {{"lblProduto", igual(rotulo(QStringLiteral("Descrição do Produto "))), {}},
          {"CmdPesquisa_Caption",
           igual(comando(true, QStringLiteral("F3 - Pesquisa Produto"))),
           {}},
          {"CmdConfirma_Caption",
           igual(comando(true, QStringLiteral("F5 - C&onfirma Produto"))),
           {}},
          {"CmdRetorna_Caption",
           igual(comando(true, QStringLiteral("F9 - &Produtos Selecionados"))),
           {}}}},
    };
}

// ---- Files -------------------------------------------------------------------------------

using Linhas = QList<std::pair<QString, QString>>;

// A profile file with one section per entry. Values are quoted so that the blanks at the
// ends of a fixed-position layout value survive the reading.
QString arquivoIni(const QList<std::pair<QString, Linhas>>& secoes) {
    QString texto;
    for (const auto& [secao, linhas] : secoes) {
        texto += QLatin1Char('[') + secao + QStringLiteral("]\r\n");
        for (const auto& [chave, valorTexto] : linhas)
            texto += chave + QLatin1Char('=') + valorTexto + QStringLiteral("\r\n");
        texto += QStringLiteral("\r\n");
    }
    return texto;
}

QString aspas(const QString& texto) {
    return QLatin1Char('"') + texto + QLatin1Char('"');
}

bool grava(const QString& pasta, const QString& nome, const QString& texto, QString* erro,
           QStringList* arquivos) {
    if (!writeFileAtomically(joinPath(pasta, nome), toCp1252(texto), erro)) return false;
    if (arquivos) arquivos->append(nome);
    return true;
}

bool gravaVerificado(const QString& pasta, const QString& prefixo, const QStringList& linhas,
                     QString* erro, QStringList* arquivos) {
    // Earlier versions carry other checksums: only the new one may be found by the pattern.
    const QDir dir(pasta);
    for (const QString& velho : dir.entryList({prefixo + QStringLiteral("??")}, QDir::Files))
        QFile::remove(dir.filePath(velho));
    const QString caminho = GravaArquivoComChecksum(pasta, prefixo, linhas, erro);
    if (caminho.isEmpty()) return false;
    if (arquivos) arquivos->append(QFileInfo(caminho).fileName());
    return true;
}

// Scrambling needs a context only to report errors, which plain digits never raise.
struct DemoOperadora {
    const char* nome;
    const char* codigo;
    CampoAdicional campo1, campo2, complemento;
    QStringList distribuidoras;
};

std::vector<DemoOperadora> operadorasDemo() {
    auto c = [](const char* tipo, qint16 mn, qint16 mx, const char* legenda) {
        return CampoAdicional{QLatin1String(tipo), mn, mx, QLatin1String(legenda)};
    };
    return {
        // Card number only.
        {"QUILLANE SAUDE",
         "00000123",
         {},
         {},
         {},
         {QStringLiteral("DISTRIB NORTE LTDA"), QStringLiteral("DISTRIB SUL LTDA"),
          QStringLiteral("MEDFARMA DISTRIB")}},
        // Two extra card fields: the holder's registration and CPF.
        {"FARMAVIDA",
         "00000456",
         c("N", 6, 10, "Matricula"),
         c("N", 11, 11, "CPF do Titular"),
         {},
         {QStringLiteral("FARMAVIDA LOGISTICA"), QStringLiteral("DROGADIST")}},
        // A complement per product (the prescription number), also shown as the extra column
        // of the authorisation grid.
        {"BENEFICIO MAIS",
         "00000789",
         {},
         {},
         c("N", 1, 10, "Nr Receita"),
         {QStringLiteral("DISTRIB CENTRO OESTE"), QStringLiteral("PHARMALOG"),
          QStringLiteral("SAUDE DISTRIBUIDORA"), QStringLiteral("BEM ESTAR ATACADO"),
          QStringLiteral("REDE NORTE MEDICAM")}},
    };
}

}  // namespace

bool GeraDadosDemonstracao(const QString& pastaDada, QString* erro, QStringList* arquivos) {
    const QString pasta = QDir(nativePath(pastaDada)).absolutePath();
    if (!QDir().mkpath(pasta) || !QDir().mkpath(joinPath(pasta, QStringLiteral("prints"))) ||
        !QDir().mkpath(joinPath(pasta, QStringLiteral("export")))) {
        if (erro) *erro = QStringLiteral("não foi possível criar a pasta ") + pasta;
        return false;
    }

    const QString winQlnCore = arquivoIni(
        {{QStringLiteral("CORE"),
          {{QStringLiteral("Path Server"), pasta}, {QStringLiteral("Path CORE"), pasta}}}});
    const QString coreIni =
        arquivoIni({{QStringLiteral("CONFIG"),
                     {{QStringLiteral("ESTAB_CODE"), QLatin1String(kDemoCodigoEstab)},
                      {QStringLiteral("FILEAUX"),
                       joinPath(pasta, QStringLiteral("export")) + QLatin1Char('/')},
                      {QStringLiteral("LayoutArquivo"), QStringLiteral("1")},
                      {QStringLiteral("LEITOR_TYPE"), QStringLiteral("0")},
                      {QStringLiteral("HOST_LINK"), QStringLiteral("embedded")},
                      {QStringLiteral("HOST_TIMEOUT_MS"), QStringLiteral("30000")},
                      {QStringLiteral("PRINTER"),
                       QStringLiteral("pdf:") + joinPath(pasta, QStringLiteral("prints"))}}}});

    QList<std::pair<QString, Linhas>> qln;
    qln.append({QStringLiteral("DADOS_GERAIS"),
                {{QStringLiteral("TipoLog"), QStringLiteral("M")},
                 {QStringLiteral("TituloMensagem"), QStringLiteral("ATENÇÃO")},
                 {QStringLiteral("TimeOut_Login"), QStringLiteral("30")},
                 {QStringLiteral("bMsgIso"), QStringLiteral("N")},
                 {QStringLiteral("TIPOESTAB_Default"), QStringLiteral("1")},
                 {QStringLiteral("bIdentificaCartao_DS"), QStringLiteral("N")},
                 {QStringLiteral("Msg_Approval"), QStringLiteral("Transação aprovada. NSU")},
                 // Network and distributor may correct the gross price; only the
                 // distributor may give a discount.
                 {QStringLiteral("AlertaValBr_Id"), QStringLiteral("NYY")},
                 {QStringLiteral("AlertaDesc_Id"), QStringLiteral("NNY")},
                 {QStringLiteral("Cod_Processamento_Pre_Venda"), QStringLiteral("800000")}}});
    for (const Secao& s : secoesTelas()) {
        Linhas linhas;
        for (const Chave& c : s.chaves) linhas.append({QLatin1String(c.nome), aspas(valor(c))});
        qln.append({QLatin1String(s.nome), linhas});
    }

    QStringList tabela;
    QStringList distribuidoras;
    for (const DemoOperadora& o : operadorasDemo()) {
        RegistroOperadora r;
        r.nome = QLatin1String(o.nome);
        r.codigo = QLatin1String(o.codigo);
        r.campo1 = o.campo1;
        r.campo2 = o.campo2;
        r.complemento = o.complemento;
        tabela.append(FormataRegistroOperadora(r));
        distribuidoras.append(FormataLinhaDistribuidoras(r.codigo, o.distribuidoras));
    }

    SilentMessageBoxes caixas;
    FixedClock relogio{QDateTime(QDate(2026, 1, 1), QTime(0, 0))};
    Context ctx(caixas, relogio);
    QStringList senhas;
    for (const DemoGerente& g : kDemoGerentes) senhas.append(QLatin1String(g.senha));
    const QString usuarios = MontaRegistroUsuarios(ctx, senhas);

    // The default group lets every manager see the summaries and pending transactions and
    // log on; MNG1, the store's manager, may also register and cancel whole lots.
    const QStringList permissoes = {QStringLiteral("000"),
                                    QStringLiteral("MNG0"),
                                    aspas(QStringLiteral("SSN    NS")),
                                    QStringLiteral("PADRAO"),
                                    QStringLiteral("000"),
                                    QStringLiteral("MNG1"),
                                    aspas(QStringLiteral("SSSSSSSSS")),
                                    QStringLiteral("GERENTE"),
                                    QStringLiteral("001"),
                                    QLatin1String(kDemoSenhaServico)};

    return grava(pasta, QStringLiteral("WINQLNCORE.ini"), winQlnCore, erro, arquivos) &&
           grava(pasta, QStringLiteral("CORE.ini"), coreIni, erro, arquivos) &&
           grava(pasta, QStringLiteral("QlnClient.ini"), arquivoIni(qln), erro, arquivos) &&
           grava(pasta, QStringLiteral("QLTb_Opr.txt"),
                 tabela.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"), erro, arquivos) &&
           gravaVerificado(pasta, QStringLiteral("UP.S"), {usuarios}, erro, arquivos) &&
           gravaVerificado(pasta, QStringLiteral("LT0001.S"), permissoes, erro, arquivos) &&
           gravaVerificado(pasta, QStringLiteral("MF.S"), distribuidoras, erro, arquivos);
}

}  // namespace ql
