#pragma once

#include <QString>
#include <QVector>

namespace ql {

struct Context;
class PinPadAbecs;

// What the settings window of the service user shows a support technician: the settings in
// force, where they came from, and a connection test to the authorisation host.

struct ItemConfiguracao {
    QString grupo;  // "Arquivos", "CORE", "DADOS_GERAIS", "CONFIG", "Sessão"
    QString nome;   // the setting's key as written in its file
    QString valor;  // as the program uses it
    bool operator==(const ItemConfiguracao&) const = default;
};

// The settings in force, grouped by the file section they are read from, preceded by the
// paths of the settings files (each marked when it is missing).
QVector<ItemConfiguracao> ResumoConfiguracao(Context& ctx);

// The serial PIN pad of the run when PINPAD names one (its identity, once asked, is listed by
// ResumoConfiguracao), else nullptr.
PinPadAbecs* PinPadSerial(Context& ctx);

// The host link of the run in words: which kind of link HOST_LINK selects and whether it is
// open.
QString EstadoHostLink(const Context& ctx);

// One harmless exchange with the host: the logon request, which the host answers without
// changing anything. The message buffer and the current message are left as they were, and
// nothing is shown: the outcome is returned for the window to show.
struct ResultadoTesteConexao {
    bool ok = false;
    qint32 resultado = 0;  // the link's result code (negative: the link failed)
    QString texto;         // one line for the technician, with the result code
    qint64 milissegundos = 0;
};
ResultadoTesteConexao TestaConexaoHost(Context& ctx);

}  // namespace ql
