#pragma once

#include <QString>
#include <QStringList>

namespace ql {

// The demonstration store: every file a client needs to start and walk through a sale, the
// administrative screens and the password change, written with right checksums.
//
// Managers MNG1..MNG4 have the passwords below; MNG5 is still on the factory password and
// must choose a new one at its first login. The service user STAFF has kDemoSenhaServico.
struct DemoGerente {
    const char* usuario;
    const char* senha;
};
inline constexpr DemoGerente kDemoGerentes[] = {
    {"MNG1", "1234"}, {"MNG2", "2468"}, {"MNG3", "1357"}, {"MNG4", "9090"}, {"MNG5", "864209"},
};
inline constexpr const char* kDemoSenhaServico = "SUP123";
inline constexpr const char* kDemoCodigoEstab = "001234567000189";

// Writes the data set into `pasta` (created when missing): WINQLNCORE.ini, CORE.ini,
// QlnClient.ini, QLTb_Opr.txt, UP.S??, LT0001.S?? and MF.S??, plus the empty folders the
// settings name (prints/, export/). Path Server and Path CORE are the absolute path of
// `pasta`. Earlier checksummed files of the same names are replaced. Returns false with
// `erro` set when a file cannot be written; `arquivos` receives the names written.
bool GeraDadosDemonstracao(const QString& pasta, QString* erro = nullptr,
                           QStringList* arquivos = nullptr);

}  // namespace ql
