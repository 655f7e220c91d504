#pragma once

#include <QString>

namespace ql {

struct Context;

// Every setting of a run, read once at start-up by SetaEstruturaPrincipal.
struct EstruturaPrincipal {
    QString PathServer;   // directory of QlnClient.ini, CORE.ini and the local data files
    QString PathCORE;     // directory of the CORE.ini that holds LEITOR_TYPE and HOST_LINK
    QString TipoLog;      // one character; "M" shows the common error routine's boxes
    QString TituloMensagem;
    QString ESTAB_CODE;   // sent as 942-000
    QString Terminal;     // fixed terminal identifier, sent as 941-000
    qint32 TimeOut_Login = 0;
    bool bMsgIso = false;
    qint16 TIPOESTAB_Default = 1;
    bool bIdentificaCartao_DS = false;
    QString FILEAUX;      // till export directory, with a trailing "\"
    QString Msg_Approval;
    QString AlertaValBr_Id = QStringLiteral("NNN");
    QString AlertaDesc_Id = QStringLiteral("NNN");
    qint16 LayoutArquivo = 0;
    QString Cod_Processamento_Pre_Venda;
    qint16 LEITOR_TYPE = 0;
};

inline constexpr const char* kTerminalId = "R4T7N2AK";

}  // namespace ql
