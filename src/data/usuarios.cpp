#include "data/usuarios.h"

#include <QFile>
#include <QFileInfo>

#include "data/checksum.h"
#include "data/data_files.h"
#include "data/sequential_items.h"
#include "host/valores.h"
#include "shell/context.h"
#include "shell/error_routine.h"
#include "shell/text_files.h"

namespace ql {

namespace {

const QString kTituloLogin = QStringLiteral("Login");
const QString kPadraoUsuarios = QStringLiteral("UP.S??");
const QString kPadraoPermissoes = QStringLiteral("LT0001.S??");

// Start (0-based) of a manager's slot in the users record, or -1 for any other name.
int inicioSlot(const QString& usuario) {
    static const QString nomes[] = {QStringLiteral("MNG1"), QStringLiteral("MNG2"),
                                    QStringLiteral("MNG3"), QStringLiteral("MNG4"),
                                    QStringLiteral("MNG5")};
    for (int i = 0; i < 5; ++i) {
        if (usuario == nomes[i]) return i * kTamanhoSenha;
    }
    return -1;
}

bool tipoValido(qint16 tipo) {
    return tipo >= 1 && tipo <= 3;
}

void avisa(Context& ctx, const QString& texto) {
    ctx.caixas.inform(texto, kTituloAtencao, MessageBoxes::Icon::Critical);
}

void avisaLogin(Context& ctx, const QString& texto) {
    ctx.caixas.inform(texto, kTituloLogin, MessageBoxes::Icon::None);
}

QString textoMinimo(const QString& inicio, int minimo) {
    return inicio + QStringLiteral("digite pelo menos ") + QString::number(minimo) +
           QStringLiteral(" caracteres. Tente novamente!");
}

bool exigeNumeros(const RegraCampoLogin& regra) {
    return regra.tipo.left(1) == QLatin1String("N");
}

// A scrambled password must stay inside its slot of the users file's one line: no control
// character (a line end would split the record), no comma or double quote (the file holds
// none).
bool cabeNoArquivo(const QString& embaralhada) {
    for (const QChar c : embaralhada) {
        if (c.unicode() < 32 || c == QLatin1Char(',') || c == QLatin1Char('"')) return false;
    }
    return true;
}

}  // namespace

QString CompletaDireita(const QString& texto, int tamanho, QChar preenchimento) {
    if (tamanho <= 0) return QString();
    QString r = texto.left(tamanho);
    if (r.size() < tamanho) r += QString(tamanho - r.size(), preenchimento);
    return r;
}

QString MontaRegistroUsuarios(Context& ctx, const QStringList& senhas) {
    QString registro;
    for (int i = 0; i < kTamanhoRegistroUsuarios / kTamanhoSenha; ++i) {
        QString senha = senhas.value(i).trimmed().toUpper().left(kTamanhoSenha);
        CriptografiaSenha(ctx, senha, QStringLiteral("C"));
        registro += CompletaDireita(senha, kTamanhoSenha, QLatin1Char(' '));
    }
    return registro;
}

bool PermissaoHabilitada(const QString& permissoes, int posicao) {
    if (posicao < 1 || posicao > permissoes.size()) return true;
    return permissoes.at(posicao - 1) != QLatin1Char('N');
}

bool ObtemSenha(Context& ctx, const QString& usuario, QString& slot) {
    slot.clear();
    const QString caminho = LocalizaArquivoDados(ctx, kPadraoUsuarios);
    if (caminho.isEmpty()) {
        avisa(ctx, QStringLiteral("Arquivo UP.sxx não foi encontrado."));
        return false;
    }
    const auto bytes = LeArquivoVerificado(ctx, caminho);
    if (!bytes) {
        avisa(ctx, QStringLiteral("Arquivo UP.Sxx corrompido ! Contatar o suporte !"));
        return false;
    }
    const int inicio = inicioSlot(usuario.trimmed());
    // The slots are fixed columns of the line: nothing is trimmed off it.
    SequentialItems itens(*bytes);
    while (!itens.atEnd()) {
        const QString registro = semQuebraInicial(itens.nextLine());
        slot = inicio >= 0 ? registro.mid(inicio, kTamanhoSenha) : QString();
    }
    return true;
}

bool ObtemPermissao(Context& ctx, const QString& usuario, const QString& senha) {
    const QString procedimento = QStringLiteral("ObtemPermissao");
    const QString caminho = LocalizaArquivoDados(ctx, kPadraoPermissoes);
    if (caminho.isEmpty()) {
        MostraErro(ctx, procedimento,
                   QStringLiteral("Arquivo ") + PastaDados(ctx) + QStringLiteral("\\") +
                       kPadraoPermissoes + QStringLiteral(" não foi encontrado."));
        return false;
    }
    const auto bytes = LeArquivoVerificado(ctx, caminho);
    if (!bytes) {
        avisa(ctx, QStringLiteral("Arquivo de permissões corrompido ! Contatar o suporte !"));
        return false;
    }

    const QString quem = usuario.trimmed();
    const bool servico = quem.toUpper() == QLatin1String(kUsuarioServico);
    const qint16 tipo = ctx.TipoEstab;
    if (!servico && !tipoValido(tipo)) {
        MostraErro(ctx, procedimento, ErroIndiceInvalido());
        return false;
    }

    SequentialItems itens(*bytes);
    bool truncado = false;
    // Items of a group that the file ends before are a damaged file, not empty values.
    auto leItem = [&]() -> QString {
        if (itens.atEnd()) {
            truncado = true;
            return QString();
        }
        return semQuebraInicial(itens.next());
    };

    bool resultado = false;
    QString permissoes;
    while (!itens.atEnd()) {
        const QString marcador = semQuebraInicial(itens.next()).trimmed();
        if (marcador == QLatin1String("000") && !servico) {
            const QString nome = leItem().trimmed();
            if (truncado) break;
            const bool proprio = nome == quem;
            if (!proprio && nome != QLatin1String("MNG0")) continue;
            const QString p = leItem();
            leItem();  // the group's description, never shown
            if (truncado) break;
            permissoes = CompletaDireita(p, kTamanhoPermissoes, QLatin1Char(' '));
            resultado = true;
            if (proprio && nome != QLatin1String("MNG0")) break;
        } else if (marcador == QLatin1String("001") && servico) {
            const QString senhaArquivo = leItem();
            if (truncado) break;
            return senhaArquivo.trimmed().toUpper() == senha.trimmed().toUpper();
        }
    }
    if (truncado) {
        MostraErro(ctx, procedimento, ErroLeituraAposFim());
        return false;
    }
    if (resultado) {
        ctx.login.PermissoesUsuario[tipo] = permissoes;
    }
    return resultado;
}

bool GravaNovaSenha(Context& ctx, const QString& usuario, const QString& novaSenha) {
    // Passwords are typed in upper case; scrambling a lower-case letter could give a line
    // end, so the stored form is always the upper-case one.
    QString embaralhada = novaSenha.trimmed().toUpper().left(kTamanhoSenha);
    CriptografiaSenha(ctx, embaralhada, QStringLiteral("C"));

    const QString caminhoAtual = LocalizaArquivoDados(ctx, kPadraoUsuarios);
    if (caminhoAtual.isEmpty()) return true;
    const auto bytes = LeArquivoVerificado(ctx, caminhoAtual);
    if (!bytes) {
        avisa(ctx, QStringLiteral("Arquivo ") + caminhoAtual +
                       QStringLiteral(" corrompido ! Contatar o suporte !"));
        return false;
    }
    const QString registro = semQuebraInicial(SequentialItems(*bytes).nextLine());
    if (aparaBrancos(registro).isEmpty()) return true;

    const int inicio = inicioSlot(usuario.trimmed());
    // An empty password (allowed when the layout's minimum is 0) is stored as a slot of blanks.
    if (inicio < 0 || !cabeNoArquivo(embaralhada)) return false;

    const QString antigo =
        registro.size() < kTamanhoRegistroUsuarios
            ? CompletaDireita(registro, kTamanhoRegistroUsuarios, QLatin1Char(' '))
            : registro;
    const QString slot = CompletaDireita(embaralhada, kTamanhoSenha, QLatin1Char(' '));
    QString novo = antigo.left(inicio) + slot;
    // The last manager's slot closes the record; the others keep what follows them.
    if (inicio + kTamanhoSenha < kTamanhoRegistroUsuarios)
        novo += antigo.mid(inicio + kTamanhoSenha);

    QString caminho = caminhoAtual;
    if (!SobreEscreveArquivo(ctx, caminho, novo)) return false;
    // The store keeps one users file: copies left by an interrupted change would make the
    // next search pick either one.
    for (const QString& outro : LocalizaArquivosDados(ctx, kPadraoUsuarios)) {
        if (QFileInfo(outro) != QFileInfo(nativePath(caminho))) QFile::remove(outro);
    }
    return true;
}

QString ValidaUsuario(const QString& usuario, const RegraCampoLogin& regraUsuario) {
    const QString nome = usuario.trimmed();
    if (nome.toUpper() == QLatin1String(kUsuarioServico)) return QString();
    if (exigeNumeros(regraUsuario) && !ehNumerico(nome))
        return QStringLiteral("Usuário Inválido, digite apenas números. Tente novamente!");
    if (nome.size() < regraUsuario.minimo)
        return textoMinimo(QStringLiteral("Usuário Inválido, "), regraUsuario.minimo);
    return QString();
}

namespace {

// The password half of the login; every failure has shown its message (or had it shown by
// the file readers) except the abandoned forced change.
bool validaSenha(Context& ctx, const QString& usuario, const QString& senha,
                 const RegraCampoLogin& regraSenha,
                 const std::function<void(Context&)>& trocaSenha) {
    const qint16 tipo = ctx.TipoEstab;
    if (!tipoValido(tipo)) {
        MostraErro(ctx, QStringLiteral("ValidaSenha"), ErroIndiceInvalido());
        return false;
    }
    const QString nomeLogado = CompletaDireita(usuario, kTamanhoNomeUsuario, QLatin1Char(' '));

    if (usuario.toUpper() == QLatin1String(kUsuarioServico)) {
        if (!ObtemPermissao(ctx, QLatin1String(kUsuarioServico), senha)) {
            avisaLogin(ctx, QStringLiteral("Senha Inválida. Tente novamente!"));
            return false;
        }
        ctx.login.UsuarioLogado[tipo] = nomeLogado;
        return true;
    }

    if (senha.size() < regraSenha.minimo) {
        avisaLogin(ctx, textoMinimo(QStringLiteral("Senha Inválida, "), regraSenha.minimo));
        return false;
    }
    if (exigeNumeros(regraSenha) && !ehNumerico(senha)) {
        avisaLogin(ctx, QStringLiteral("Senha Inválida, digite apenas números. Tente novamente!"));
        return false;
    }

    QString slot;
    if (!ObtemSenha(ctx, usuario, slot)) return false;
    // No slot at all (a user the file has no place for, or a record too short) is an unknown
    // user; a slot of blanks is a manager whose password is empty, compared like any other.
    if (slot.isEmpty()) {
        avisaLogin(ctx, QStringLiteral("Usuário inválido. Tente novamente!"));
        return false;
    }
    QString guardada = aparaBrancos(slot);
    CriptografiaSenha(ctx, guardada, QStringLiteral("D"));
    if (guardada.trimmed().toUpper() != senha.toUpper()) {
        avisaLogin(ctx, QStringLiteral("Senha Inválida, Tente novamente!"));
        return false;
    }

    ctx.login.UsuarioLogado[tipo] = nomeLogado;
    if (senha == QLatin1String(kSenhaFabrica)) {
        ctx.login.NovaSenha.clear();
        if (trocaSenha) trocaSenha(ctx);
        if (ctx.login.NovaSenha.isEmpty()) {
            ctx.login.UsuarioLogado[tipo].clear();
            return false;
        }
    }
    return ObtemPermissao(ctx, usuario, senha);
}

}  // namespace

ResultadoLogin ExecutaLogin(Context& ctx, const QString& usuario, const QString& senha,
                            const RegraCampoLogin& regraUsuario, const RegraCampoLogin& regraSenha,
                            const std::function<void(Context&)>& trocaSenha) {
    const QString mensagem = ValidaUsuario(usuario, regraUsuario);
    if (!mensagem.isEmpty()) {
        avisaLogin(ctx, mensagem);
        ctx.login.LoginAtivo = false;
        return ResultadoLogin::UsuarioRecusado;
    }
    const bool ok = validaSenha(ctx, usuario.trimmed(), senha.trimmed(), regraSenha, trocaSenha);
    ctx.login.LoginAtivo = ok;
    return ok ? ResultadoLogin::Aceito : ResultadoLogin::SenhaRecusada;
}

QString ValidaNovaSenha(const QString& novaSenha, const RegraCampoLogin& regraSenha) {
    const QString senha = novaSenha.trimmed();
    if (senha == QLatin1String(kSenhaFabrica))
        return QStringLiteral("A Senha 864209  não é válida. Tente novamente!");
    if (exigeNumeros(regraSenha) && !ehNumerico(senha))
        return QStringLiteral("Senha Inválida, digite apenas números. Tente novamente!");
    if (senha.size() < regraSenha.minimo)
        return textoMinimo(QStringLiteral("Senha Inválida, "), regraSenha.minimo);
    return QString();
}

bool ConfirmaNovaSenha(Context& ctx, const QString& novaSenha, const QString& repeticao,
                       const RegraCampoLogin& regraSenha) {
    const QString senha = novaSenha.trimmed();
    if (senha.toUpper() != repeticao.trimmed().toUpper()) {
        avisaLogin(ctx, QStringLiteral("A nova senha não confere!"));
        return false;
    }
    const QString mensagem = ValidaNovaSenha(senha, regraSenha);
    if (!mensagem.isEmpty()) {
        avisaLogin(ctx, mensagem);
        return false;
    }
    const qint16 tipo = ctx.TipoEstab;
    const QString usuario = tipoValido(tipo) ? ctx.login.UsuarioLogado[tipo].trimmed() : QString();
    if (!GravaNovaSenha(ctx, usuario, senha)) {
        avisaLogin(ctx, QStringLiteral("Alteração não realizada!"));
        return false;
    }
    ctx.login.NovaSenha = senha;
    return true;
}

}  // namespace ql

namespace ql {

RegraCampoLogin RegraDoCampo(const InputFieldSlot& campo) {
    return RegraCampoLogin{QString(campo.kind), campo.minLength, campo.maxLength};
}

ResultadoLogin ExecutaLogin(Context& ctx, const QString& usuario, const QString& senha,
                            const std::function<void(Context&)>& trocaSenha) {
    const LayoutFormLogin& regras = ctx.telas.FormLogin[ctx.TipoEstab];
    return ExecutaLogin(ctx, usuario, senha, RegraDoCampo(regras.txtUserName),
                        RegraDoCampo(regras.txtPassword), trocaSenha);
}

bool ConfirmaNovaSenha(Context& ctx, const QString& novaSenha, const QString& repeticao) {
    return ConfirmaNovaSenha(ctx, novaSenha, repeticao,
                             RegraDoCampo(ctx.telas.FormLogin[ctx.TipoEstab].txtPassword));
}

}  // namespace ql
