#pragma once

#include <QString>

namespace ql {

struct Context;

// Every setting of a run, read once at start-up by SetaEstruturaPrincipal.
struct EstruturaPrincipal {
    QString PathServer;  // directory of QlnClient.ini, CORE.ini and the local data files
    QString PathCORE;    // directory of the CORE.ini that holds LEITOR_TYPE and HOST_LINK
    QString TipoLog;     // one character; "M" shows the common error routine's boxes
    QString TituloMensagem;
    QString ESTAB_CODE;  // sent as 942-000
    QString Terminal;    // fixed terminal identifier, sent as 941-000
    qint32 TimeOut_Login = 0;
    bool bMsgIso = false;
    qint16 TIPOESTAB_Default = 1;
    bool bIdentificaCartao_DS = false;
    QString FILEAUX;  // till export directory, with a trailing "\"
    QString Msg_Approval;
    QString AlertaValBr_Id = QStringLiteral("NNN");
    QString AlertaDesc_Id = QStringLiteral("NNN");
    qint16 LayoutArquivo = 0;
    QString Cod_Processamento_Pre_Venda;
    qint16 LEITOR_TYPE = 0;

    // Host link and printer, from CORE.ini in Path CORE, section CONFIG. Kept as written (no
    // upper-casing): HOST_LINK is "embedded", "tcp://HOST:PORT" or "tls://HOST:PORT".
    QString HOST_LINK = QStringLiteral("embedded");
    qint32 HOST_TIMEOUT_MS = 30000;  // bounds connect and answer; always positive
    QString HOST_CA;                 // CA file for tls://; "" = the system CAs
    QString PRINTER;                 // system printer name, or "pdf:DIRECTORY"; "" = default
    // Where receipts print ("" = PRINTER): PRINTER's forms or "escpos:..." (printer/), and
    // the characters per line of an ESC/POS receipt printer.
    QString RECEIPT_PRINTER;
    qint32 RECEIPT_COLUMNS = 48;
    // Copies of every receipt: 1, or 2 (the store's and the customer's); anything else is 1.
    qint32 RECEIPT_COPIES = 1;
    // The till interface's folder (empty: off) and whether the till confirms the sale ("Y").
    QString TILL_DIR;
    QString TILL_CONFIRMS;
};

inline constexpr const char* kTerminalId = "R4T7N2AK";

// Loads every setting, in a fixed order, from WINQLNCORE.ini (section "CORE"), QlnClient.ini
// (section "DADOS_GERAIS") and CORE.ini (section "CONFIG"), then the screen layouts
// (MontaTela), and finally makes TIPOESTAB_Default the current establishment type. Returns
// false as soon as one of the required settings ESTAB_CODE, TimeOut_Login and bMsgIso is
// missing or empty (the others have defaults), keeping the settings read until then; start-up
// then ends with "Erro nos arquivos de configuração!". A number too large for its setting, or a
// TIPOESTAB_Default other than 1, 2 or 3, also fails (reported under "SetaEstruturaPrincipal").
// Texts are trimmed and upper-cased, except directories, file names, HOST_LINK and PRINTER,
// which keep their letter case because this file system is case-sensitive.
bool SetaEstruturaPrincipal(Context& ctx);

}  // namespace ql
