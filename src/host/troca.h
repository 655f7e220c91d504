#pragma once

#include <QString>

namespace ql {

struct Context;

// The exchange with the host: every transaction builds the current message, sends it with
// ProcessaMsg, judges the answer with ValidaResposta and reads fields with GetCampo.

// Texts the message buffer takes when the link fails.
inline constexpr char16_t kTextoSemInternet[] = u"163- Não foi possível acessar a Internet";
inline constexpr char16_t kTextoServidorForaDoAr[] = u"164- Servidor fora do Ar.";
// The text for any other negative link result: "     Erro de conexão = -005".
QString TextoErroConexao(qint32 resultado);

// Sends the current message (ISO form when bMsgIso is on, text form otherwise) framed to
// 3072 characters, with the chosen operadora's name as the route, and keeps the answer frame
// (or the failure text) in ctx.bufferMensagem. The route the link hands back replaces
// NomeOperadora. Shows nothing; returns the link's result. Without a link the common error
// routine reports "158 - Impossivel acessar Módulo QL32_Cli.dll" and the result is 0 with
// the outgoing text left in the buffer.
qint32 ProcessaMsg(Context& ctx);

// The host logon ("LOGIN|"). True when the host accepted; every refusal and link failure is
// told to the user (stop icon, "Atenção").
bool ProcessaLogon(Context& ctx);

// Judges the answer in ctx.bufferMensagem by its response code 009-000: below 40 acceptable,
// 200 and above a system error that asks for support. show: tell the host's own error text
// (030-000) to the user.
bool ValidaResposta(Context& ctx, bool show);

// A field of the answer in the message buffer, read without telling anyone of a malformed
// answer and without side effects: for the log and the background settlement.
QString CampoDaResposta(const Context& ctx, const QString& tag);

// Shows a text in the box used for host refusals and link failures: stop icon, "Atenção".
void MostraAtencao(Context& ctx, const QString& texto);

}  // namespace ql
