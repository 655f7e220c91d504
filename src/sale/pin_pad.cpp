#include "sale/pin_pad.h"

#include <QDir>
#include <QFileInfo>

#include "pinpad/pin_pad_abecs.h"
#include "shell/context.h"
#include "shell/ini_access.h"
#include "shell/text_files.h"

namespace ql {

ResultadoPinPad ClassificaRetornoPinPad(qint32 retorno) {
    if (retorno >= 0) return ResultadoPinPad::TrilhaLida;
    if (retorno == PinPad::kCancelado) return ResultadoPinPad::Cancelado;
    if (retorno <= PinPad::kErroLeitura) return ResultadoPinPad::ErroLeitura;
    return ResultadoPinPad::SemAcesso;
}

QString MensagemRetornoPinPad(qint32 retorno) {
    switch (ClassificaRetornoPinPad(retorno)) {
        case ResultadoPinPad::ErroLeitura:
            return QStringLiteral("Erro na Leitura do Cartão");
        case ResultadoPinPad::SemAcesso:
            return QStringLiteral("Erro no Acesso ao PinPad");
        case ResultadoPinPad::TrilhaLida:
        case ResultadoPinPad::Cancelado:
            break;
    }
    return {};
}

qint32 PinPadArquivo::GetTrack(QByteArray& trilha, QString&) {
    const auto bytes = readWholeFile(nativePath(caminho_));
    if (!bytes) return kSemComunicacao;
    QString linha = fromCp1252(*bytes);
    const qsizetype fim = linha.indexOf(u'\n');
    if (fim >= 0) linha.truncate(fim);
    if (linha.endsWith(u'\r')) linha.chop(1);

    static const QString kRetorno = QStringLiteral("RETORNO=");
    if (linha.startsWith(kRetorno, Qt::CaseInsensitive)) {
        bool ok = false;
        const qint32 codigo = linha.mid(kRetorno.size()).trimmed().toInt(&ok);
        return ok ? codigo : kErroLeitura;
    }
    const QByteArray texto = toCp1252(linha.trimmed()).left(kTamanhoTrilha);
    // A swipe that produced nothing is a card that could not be read.
    if (texto.isEmpty()) return kErroLeitura;
    if (trilha.size() < kTamanhoTrilha) trilha.resize(kTamanhoTrilha, ' ');
    trilha.replace(0, texto.size(), texto);
    return qint32(texto.size());
}

ConfiguracaoPinPad InterpretaConfiguracaoPinPad(const QString& valor, const QString& pathCore) {
    const QString v = valor.trimmed();
    ConfiguracaoPinPad c;
    if (v.isEmpty() || v.compare(u"dialogo", Qt::CaseInsensitive) == 0) return c;
    static const QString kArquivo = QStringLiteral("arquivo:");
    if (v.startsWith(kArquivo, Qt::CaseInsensitive)) {
        const QString caminho = nativePath(v.mid(kArquivo.size()).trimmed());
        if (!caminho.isEmpty()) {
            c.tipo = ConfiguracaoPinPad::Tipo::Arquivo;
            c.caminho = QFileInfo(caminho).isAbsolute()
                            ? caminho
                            : QDir::cleanPath(joinPath(pathCore, caminho));
            return c;
        }
    }
    static const QString kAbecs = QStringLiteral("abecs:");
    if (v.startsWith(kAbecs, Qt::CaseInsensitive)) {
        c.tipo = ConfiguracaoPinPad::Tipo::Abecs;
        const QString resto = v.mid(kAbecs.size()).trimmed();
        const qsizetype arroba = resto.lastIndexOf(u'@');
        const QString dispositivo = (arroba < 0 ? resto : resto.left(arroba)).trimmed();
        bool ok = true;
        const qint32 baud =
            arroba < 0 ? PinPadAbecs::kBaudPadrao : resto.mid(arroba + 1).trimmed().toInt(&ok);
        if (ok && baud > 0 && !dispositivo.isEmpty()) {
            c.caminho = dispositivo;
            c.baud = baud;
        }
        return c;
    }
    c.tipo = ConfiguracaoPinPad::Tipo::Nenhum;
    return c;
}

ConfiguracaoPinPad LeConfiguracaoPinPad(Context& ctx) {
    QString valor;
    LeLinhaArquivoIni(ctx, QStringLiteral("CONFIG"), QStringLiteral("PINPAD"), QString(), valor,
                      CaminhoCoreIniCore(ctx));
    return InterpretaConfiguracaoPinPad(valor, nativePath(ctx.config.PathCORE));
}

PinPad* ObtemPinPad(Context& ctx) {
    if (ctx.pinPad) return ctx.pinPad.get();
    const ConfiguracaoPinPad c = LeConfiguracaoPinPad(ctx);
    if (c.tipo == ConfiguracaoPinPad::Tipo::Abecs) {
        ctx.pinPad = std::make_unique<PinPadAbecs>(c.caminho, c.baud);
        return ctx.pinPad.get();
    }
    if (c.tipo != ConfiguracaoPinPad::Tipo::Arquivo) return nullptr;
    ctx.pinPad = std::make_unique<PinPadArquivo>(c.caminho);
    return ctx.pinPad.get();
}

LeituraPinPad LeTrilha(PinPad& pad) {
    QByteArray trilha(PinPad::kTamanhoTrilha, ' ');
    QString aux;
    LeituraPinPad leitura;
    leitura.RetornoPinPad = pad.GetTrack(trilha, aux);
    leitura.TrilhaCartao = fromCp1252(trilha);
    return leitura;
}

}  // namespace ql
