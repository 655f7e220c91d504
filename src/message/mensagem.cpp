#include "message/mensagem.h"

#include <limits>

#include "message/iso8583.h"
#include "shell/context.h"
#include "shell/error_routine.h"

namespace ql {

namespace {

// The system's constant tables as text, made once and shared by every message.
struct TabelasPadrao {
    QString tipos = QLatin1String(kTiposElementosIso);
    QString mapa = QLatin1String(kMapaCamposIso);
    QString dicionario = QLatin1String(kDicionarioCampos);
    QString tamanhos = QLatin1String(kTamanhosElementosIso);
};

const TabelasPadrao& tabelasPadrao() {
    static const TabelasPadrao tabelas;
    return tabelas;
}

const QString kTagTipo = QStringLiteral("000-000");

ClassCampo placeholder() {
    ClassCampo no;
    no.chaveKY9 = kTagTipo;
    no.conteudo = QStringLiteral("-1");
    return no;
}

// The constant tables are parsed once and shared by every message that carries them.
std::shared_ptr<const DescricaoIso> descricaoPara(const QString& tipos, const QString& mapa,
                                                  const QString& tamanhos) {
    static const std::shared_ptr<const DescricaoIso> padrao(&DescricaoIso::padrao(),
                                                            [](const DescricaoIso*) {});
    const TabelasPadrao& t = tabelasPadrao();
    const bool compartilhadas = tipos.isSharedWith(t.tipos) && mapa.isSharedWith(t.mapa) &&
                                tamanhos.isSharedWith(t.tamanhos);
    if (compartilhadas || (tipos == t.tipos && mapa == t.mapa && tamanhos == t.tamanhos))
        return padrao;
    return std::make_shared<const DescricaoIso>(tipos, mapa, tamanhos);
}

// The number in at least three digits, zero-filled on the left after any minus sign.
QString tresDigitos(int v) {
    const qint64 absoluto = v < 0 ? -static_cast<qint64>(v) : v;
    const QString digitos = QString::number(absoluto).rightJustified(3, QLatin1Char('0'));
    return v < 0 ? QLatin1Char('-') + digitos : digitos;
}

}  // namespace

QString TagItem(int campo, int sub) {
    if (campo < 0 || campo > 999 || sub < 0 || sub > 999)
        return tresDigitos(campo) + QLatin1Char('-') + tresDigitos(sub);
    QString tag(7, Qt::Uninitialized);
    QChar* c = tag.data();
    const int partes[2] = {campo, sub};
    for (int i = 0; i < 2; ++i) {
        QChar* d = c + 4 * i;
        d[0] = QLatin1Char(static_cast<char>('0' + partes[i] / 100));
        d[1] = QLatin1Char(static_cast<char>('0' + partes[i] / 10 % 10));
        d[2] = QLatin1Char(static_cast<char>('0' + partes[i] % 10));
    }
    c[3] = QLatin1Char('-');
    return tag;
}

QString TagDoCampo(const QString& tag) {
    if (tag.size() >= 7) return tag.left(7);
    return tag.leftJustified(7, QLatin1Char(' '));
}

Mensagem::Mensagem() {
    Reinicia();
}

void Mensagem::InicializaMensagem(const QString& tipos, const QString& mapa,
                                  const QString& dicionario, const QString& tamanhos) {
    tipos_ = tipos;
    mapa_ = mapa;
    dicionario_ = dicionario;
    tamanhos_ = tamanhos;
    descricao_ = descricaoPara(tipos, mapa, tamanhos);
    nos_.clear();
    nos_.reserve(64);
    nos_.push_back(placeholder());
    count_ = 0;
}

void Mensagem::Reinicia() {
    const TabelasPadrao& t = tabelasPadrao();
    InicializaMensagem(t.tipos, t.mapa, t.dicionario, t.tamanhos);
}

Inclusao Mensagem::IncluiCampo(const QString& tag, const QString& valor) {
    if (valor.isEmpty()) return Inclusao::Vazio;
    if (count_ >= kMaxCampos) return Inclusao::Cheio;
    if (valor.size() > std::numeric_limits<qint16>::max()) return Inclusao::MuitoComprido;

    if (count_ != 0) nos_.emplace_back();
    ClassCampo& no = nos_[static_cast<std::size_t>(count_)];
    no.chaveKY9 = TagDoCampo(tag);
    no.conteudo = valor;
    if (count_ != 0) {
        no.Proximo = count_ - 1;
        no.Comprimento = static_cast<qint16>(valor.size());
    } else {
        no.Proximo = -1;
    }
    ++count_;
    return Inclusao::Incluido;
}

namespace {

// "000-000" in any letter case (a tag of another length or first character cannot be it).
bool ehTagTipo(const QString& tag) {
    return tag.size() == 7 && tag.front() == QLatin1Char('0') &&
           tag.compare(kTagTipo, Qt::CaseInsensitive) == 0;
}

}  // namespace

Inclusao Mensagem::add(const QString& tag, const QString& valor) {
    if (ehTagTipo(tag)) Reinicia();
    return IncluiCampo(tag, valor);
}

const ClassCampo& Mensagem::no(int i) const {
    static const ClassCampo vazio;
    if (i < 0 || static_cast<std::size_t>(i) >= nos_.size()) return vazio;
    return nos_[static_cast<std::size_t>(i)];
}

QString Mensagem::valor(const QString& tag) const {
    const QString chave = TagDoCampo(tag);
    for (int i = 0; i < count_; ++i)
        if (nos_[static_cast<std::size_t>(i)].chaveKY9 == chave)
            return nos_[static_cast<std::size_t>(i)].conteudo;
    return {};
}

QString writeText(const Mensagem& msg) {
    const int n = msg.nosEscritos();
    qsizetype tamanho = 0;
    for (int i = 0; i < n; ++i) tamanho += 9 + msg.no(i).conteudo.size();
    QString texto;
    texto.reserve(tamanho);
    for (int i = 0; i < n; ++i) {
        const ClassCampo& no = msg.no(i);
        texto += no.chaveKY9;
        texto += QLatin1Char('=');
        texto += no.conteudo;
        texto += QLatin1Char(';');
    }
    return texto;
}

std::vector<CampoTexto> parseText(const QString& texto, bool* ok) {
    std::vector<CampoTexto> campos;
    bool bom = true;
    qsizetype inicio = 0;
    while (inicio < texto.size()) {
        qsizetype fim = texto.indexOf(QLatin1Char(';'), inicio);
        if (fim < 0) {
            bom = false;
            fim = texto.size();
        }
        const QStringView peca = QStringView(texto).mid(inicio, fim - inicio);
        const qsizetype igual = peca.indexOf(QLatin1Char('='));
        if (igual < 0) {
            bom = false;
        } else {
            campos.push_back({peca.left(igual).toString(), peca.mid(igual + 1).toString()});
        }
        inicio = fim + 1;
    }
    if (ok) *ok = bom;
    return campos;
}

void CarregaTabelasMensagem(Context& ctx) {
    ctx.mensagem.Reinicia();
}

void AdicionaCampo(Context& ctx, const QString& tag, const QString& valor) {
    if (ehTagTipo(tag)) CarregaTabelasMensagem(ctx);
    switch (ctx.mensagem.IncluiCampo(tag, valor)) {
        case Inclusao::Cheio:
            MostraErro(ctx, QStringLiteral("AdicionaCampo"), TextoErro(9));
            break;
        case Inclusao::MuitoComprido:
            MostraErro(ctx, QStringLiteral("AdicionaCampo"), TextoErro(6));
            break;
        case Inclusao::Incluido:
        case Inclusao::Vazio:
            break;
    }
}

QString MontaMensagemTexto(Context& ctx) {
    return writeText(ctx.mensagem);
}

}  // namespace ql
