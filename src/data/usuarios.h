#pragma once

#include <QString>
#include <QStringList>

#include <functional>

#include "shell/layouts.h"

namespace ql {

struct Context;

// The five managers have fixed names and one 6-character slot each in the users file; the
// service user's password lives in the permissions file.
inline constexpr int kTamanhoSenha = 6;
inline constexpr int kTamanhoRegistroUsuarios = 30;
inline constexpr int kTamanhoNomeUsuario = 20;
inline constexpr int kTamanhoPermissoes = 9;
// A manager logging in with this password must choose a new one at once.
inline constexpr const char* kSenhaFabrica = "864209";
inline constexpr const char* kUsuarioServico = "STAFF";

// Positions of the permission string that govern commands of the administrative menu.
enum class PermissaoMenu : int {
    Resumo = 1,       // cmdResumo
    Pendentes = 2,    // cmdPendentes
    Cadastro = 3,     // cmdCadastro
    CancelTotal = 8,  // cmdCanceltotal
    Logon = 9,        // cmdLogon
};

// Rules of one login field as configured per establishment type: kind flag ("N" = numbers
// only), minimum and maximum length.
struct RegraCampoLogin {
    QString tipo;
    qint16 minimo = 0;
    qint16 maximo = 0;
};

// The text followed by the fill character repeated, cut to `tamanho` characters.
QString CompletaDireita(const QString& texto, int tamanho, QChar preenchimento);

// The users record for up to five managers' plain passwords (MNG1 first): each scrambled,
// cut and space-filled to its 6-character slot. The users file holds it as one line of its
// own, as it stands: blanks at either end are slots, and it is never quoted.
QString MontaRegistroUsuarios(Context& ctx, const QStringList& senhas);

// Finds the users file (UP.S??) and returns in `slot` the scrambled password slot of the
// user ("" for a name other than MNG1..MNG5). Each line of the file is a record read whole,
// blanks included, and the last one read decides, a blank one too. False, with its message
// shown, when the file is missing or fails its checksum.
bool ObtemSenha(Context& ctx, const QString& usuario, QString& slot);

// Reads the permissions file (LT0001.S??). For a manager, loads PermissoesUsuario (and its
// description) of the current establishment type from the "MNG0" default group and then
// from the user's own group, and returns true when a group was found. For "STAFF", returns
// true when the service password matches `senha` (case-insensitive, trimmed).
bool ObtemPermissao(Context& ctx, const QString& usuario, const QString& senha);

// Stores a new password for MNG1..MNG5 in the users file: its first line with the user's slot
// replaced is written back as the file's one line (CR LF), under the name of its new checksum.
// True also when there is no users file or it holds no record (nothing to change).
bool GravaNovaSenha(Context& ctx, const QString& usuario, const QString& novaSenha);

// True when the command at `posicao` (1..9) of a permission string is enabled: only "N"
// disables; a missing or blank position enables.
bool PermissaoHabilitada(const QString& permissoes, int posicao);
inline bool PermissaoHabilitada(const QString& permissoes, PermissaoMenu comando) {
    return PermissaoHabilitada(permissoes, static_cast<int>(comando));
}

// User-name check of the login: the message to show (title "Login"), or "" when the name
// passes. "STAFF" always passes.
QString ValidaUsuario(const QString& usuario, const RegraCampoLogin& regraUsuario);

// What the login screen does after its OK command.
enum class ResultadoLogin {
    Aceito,           // LoginAtivo is true: close the screen
    UsuarioRecusado,  // focus back on the user name box
    SenhaRecusada,    // empty the password box and focus it
};

// Runs the whole login check with both field rules of the current establishment type:
// shows each message (title "Login"), sets LoginAtivo and UsuarioLogado, and for a manager
// still on the factory password calls `trocaSenha`, which shows the password change screen
// modally (it leaves NovaSenha empty when the change was abandoned).
ResultadoLogin ExecutaLogin(Context& ctx, const QString& usuario, const QString& senha,
                            const RegraCampoLogin& regraUsuario, const RegraCampoLogin& regraSenha,
                            const std::function<void(Context&)>& trocaSenha);

// The same login with the rules of the login screen's layout for the current establishment
// type (ctx.telas.FormLogin).
ResultadoLogin ExecutaLogin(Context& ctx, const QString& usuario, const QString& senha,
                            const std::function<void(Context&)>& trocaSenha);

// A login field rule as the screen layout holds it.
RegraCampoLogin RegraDoCampo(const InputFieldSlot& campo);

// Checks a new password against the login's password rule: the message to show (title
// "Login"), or "" when it is acceptable.
QString ValidaNovaSenha(const QString& novaSenha, const RegraCampoLogin& regraSenha);

// The password change command: compares both boxes, checks the new password, writes it for
// the logged user and sets NovaSenha. True when the screen closes; false (message shown)
// when it stays with the focus on the first box.
bool ConfirmaNovaSenha(Context& ctx, const QString& novaSenha, const QString& repeticao,
                       const RegraCampoLogin& regraSenha);

// The password change command with the password rule of the login screen's layout for the
// current establishment type.
bool ConfirmaNovaSenha(Context& ctx, const QString& novaSenha, const QString& repeticao);

}  // namespace ql
