#include "sale/diagnostico.h"

#include <QElapsedTimer>
#include <QFileInfo>

#include "host/framing.h"
#include "host/host_link.h"
#include "host/troca.h"
#include "message/campo_resposta.h"
#include "pinpad/pin_pad_abecs.h"
#include "printer/impressora_recibo.h"
#include "sale/pin_pad.h"
#include "shell/context.h"
#include "shell/ini_access.h"
#include "shell/text_files.h"

namespace ql {

namespace {

QString simNao(bool v) {
    return v ? QStringLiteral("Y") : QStringLiteral("N");
}

QString arquivo(const QString& caminho) {
    const QString nativo = nativePath(caminho);
    return QFileInfo::exists(nativo) ? nativo : nativo + QStringLiteral("  (não encontrado)");
}

QString textoLeitor(qint16 tipo) {
    switch (tipo) {
        case 0:
            return QStringLiteral("0 - sem leitor (digitação)");
        case 2:
            return QStringLiteral("2 - PinPad (QL32_Pin)");
        default:
            return QString::number(tipo) + QStringLiteral(" - leitor de teclado");
    }
}

QString textoPinPad(const ConfiguracaoPinPad& c) {
    switch (c.tipo) {
        case ConfiguracaoPinPad::Tipo::Dialogo:
            return QStringLiteral("janela de leitura (simulado)");
        case ConfiguracaoPinPad::Tipo::Arquivo:
            return QStringLiteral("arquivo de trilha ") + c.caminho;
        case ConfiguracaoPinPad::Tipo::Abecs:
            if (c.caminho.isEmpty()) return QStringLiteral("PIN pad ABECS: valor inválido");
            return QStringLiteral("PIN pad ABECS em %1 (%2 bps)").arg(c.caminho).arg(c.baud);
        case ConfiguracaoPinPad::Tipo::Nenhum:
            break;
    }
    return QStringLiteral("nenhum");
}

QString textoTipoEstab(qint16 tipo) {
    switch (tipo) {
        case 1:
            return QStringLiteral("1 - Estabelecimento");
        case 2:
            return QStringLiteral("2 - Rede");
        case 3:
            return QStringLiteral("3 - Distribuidor");
        default:
            return QString::number(tipo);
    }
}

}  // namespace

QVector<ItemConfiguracao> ResumoConfiguracao(Context& ctx) {
    const EstruturaPrincipal& c = ctx.config;
    const QString arquivos = QStringLiteral("Arquivos");
    const QString core = QStringLiteral("CORE");
    const QString geral = QStringLiteral("DADOS_GERAIS");
    const QString config = QStringLiteral("CONFIG");
    const QString sessao = QStringLiteral("Sessão");

    QString ultimoLogin;
    LeLinhaArquivoIni(ctx, geral, QStringLiteral("Ultimo_Login"), QString(), ultimoLogin,
                      CaminhoQlnClientIni(ctx));

    QVector<ItemConfiguracao> itens = {
        {arquivos, QStringLiteral("WINQLNCORE.ini"),
         arquivo(CaminhoArquivoIni(ctx, QString::fromLatin1(kWinQlnCoreIni)))},
        {arquivos, QStringLiteral("QlnClient.ini"), arquivo(CaminhoQlnClientIni(ctx))},
        {arquivos, QStringLiteral("CORE.ini (Path Server)"), arquivo(CaminhoCoreIniServer(ctx))},
        {arquivos, QStringLiteral("CORE.ini (Path CORE)"), arquivo(CaminhoCoreIniCore(ctx))},
        {core, QStringLiteral("Path Server"), c.PathServer},
        {core, QStringLiteral("Path CORE"), c.PathCORE},
        {geral, QStringLiteral("TipoLog"), c.TipoLog},
        {geral, QStringLiteral("TituloMensagem"), c.TituloMensagem},
        {geral, QStringLiteral("TimeOut_Login"), QString::number(c.TimeOut_Login)},
        {geral, QStringLiteral("Ultimo_Login"), ultimoLogin},
        {geral, QStringLiteral("bMsgIso"), simNao(c.bMsgIso)},
        {geral, QStringLiteral("TIPOESTAB_Default"), textoTipoEstab(c.TIPOESTAB_Default)},
        {geral, QStringLiteral("bIdentificaCartao_DS"), simNao(c.bIdentificaCartao_DS)},
        {geral, QStringLiteral("Msg_Approval"), c.Msg_Approval},
        {geral, QStringLiteral("AlertaValBr_Id"), c.AlertaValBr_Id},
        {geral, QStringLiteral("AlertaDesc_Id"), c.AlertaDesc_Id},
        {geral, QStringLiteral("Cod_Processamento_Pre_Venda"), c.Cod_Processamento_Pre_Venda},
        {config, QStringLiteral("ESTAB_CODE"), c.ESTAB_CODE},
        {config, QStringLiteral("FILEAUX"), c.FILEAUX},
        {config, QStringLiteral("LayoutArquivo"), QString::number(c.LayoutArquivo)},
        {config, QStringLiteral("LEITOR_TYPE"), textoLeitor(c.LEITOR_TYPE)},
        {config, QStringLiteral("PINPAD"), textoPinPad(LeConfiguracaoPinPad(ctx))},
        {config, QStringLiteral("HOST_LINK"), c.HOST_LINK},
        {config, QStringLiteral("HOST_TIMEOUT_MS"), QString::number(c.HOST_TIMEOUT_MS)},
        {config, QStringLiteral("HOST_CA"),
         c.HOST_CA.isEmpty() ? QStringLiteral("(certificados do sistema)") : c.HOST_CA},
        {config, QStringLiteral("PRINTER"),
         c.PRINTER.isEmpty() ? QStringLiteral("(impressora padrão)") : c.PRINTER},
        {config, QStringLiteral("RECEIPT_PRINTER"),
         c.RECEIPT_PRINTER.isEmpty() ? QStringLiteral("(a mesma de PRINTER)")
                                     : DestinoReciboConfigurado(c).descricao()},
        {config, QStringLiteral("RECEIPT_COLUMNS"), QString::number(c.RECEIPT_COLUMNS)},
        {sessao, QStringLiteral("Terminal"), c.Terminal},
        {sessao, QStringLiteral("TipoEstab"), textoTipoEstab(ctx.TipoEstab)},
        {sessao, QStringLiteral("Operadoras"), QString::number(ctx.operadoras.size())},
        {sessao, QStringLiteral("Host"), EstadoHostLink(ctx)},
    };
    if (const PinPadAbecs* pad = PinPadSerial(ctx)) {
        const auto info = pad->info();
        const QString motivo = pad->motivo();
        itens.append({sessao, QStringLiteral("PIN pad"),
                      info               ? info->descricao()
                      : motivo.isEmpty() ? QStringLiteral("(não consultado)")
                                         : QStringLiteral("sem acesso: ") + motivo});
    }
    return itens;
}

PinPadAbecs* PinPadSerial(Context& ctx) {
    if (LeConfiguracaoPinPad(ctx).tipo != ConfiguracaoPinPad::Tipo::Abecs) return nullptr;
    return dynamic_cast<PinPadAbecs*>(ObtemPinPad(ctx));
}

QString EstadoHostLink(const Context& ctx) {
    const QString link = ctx.config.HOST_LINK.trimmed();
    QString tipo;
    if (link.isEmpty() || link.compare(u"embedded", Qt::CaseInsensitive) == 0) {
        tipo = QStringLiteral("host simulado no próprio programa");
    } else if (link.startsWith(u"tls://", Qt::CaseInsensitive)) {
        tipo = QStringLiteral("TLS ") + link.mid(6);
    } else if (link.startsWith(u"tcp://", Qt::CaseInsensitive)) {
        tipo = QStringLiteral("TCP ") + link.mid(6);
    } else {
        tipo = link;
    }
    return tipo + (ctx.hostLink ? QStringLiteral(" - link aberto")
                                : QStringLiteral(" - link não iniciado"));
}

ResultadoTesteConexao TestaConexaoHost(Context& ctx) {
    ResultadoTesteConexao r;
    if (!ctx.hostLink) {
        r.resultado = HostLink::kNotConfigured;
        r.texto = QStringLiteral("Sem link com o host (QL32_Cli não iniciado).");
        return r;
    }
    // The logon request goes out on its own frame: the shared buffer and the current message
    // belong to the transaction in progress and are not touched.
    QString quadro = framing::buildFrame(QStringLiteral("LOGIN|"));
    QString rota = ctx.ident.NomeOperadora;
    QElapsedTimer relogio;
    relogio.start();
    r.resultado = ctx.hostLink->Process(quadro, rota, QStringLiteral("CHK"));
    r.milissegundos = relogio.elapsed();
    const QString tempo =
        QStringLiteral(" (") + QString::number(r.milissegundos) + QStringLiteral(" ms)");
    if (r.resultado < 0) {
        QString causa = DescricaoResultadoLink(r.resultado);
        if (r.resultado == HostLink::kSemInternet) causa = QString::fromUtf16(kTextoSemInternet);
        if (r.resultado == HostLink::kServidorForaDoAr) {
            causa = QString::fromUtf16(kTextoServidorForaDoAr);
        }
        r.texto = QStringLiteral("Falha na conexão: código ") + QString::number(r.resultado) +
                  QStringLiteral(" - ") + causa + tempo;
        return r;
    }
    const QString corpo = framing::bodyOfFrame(quadro).value_or(QString()).trimmed();
    const QString codigo = textField(corpo, u"009-000");
    r.ok = corpo.startsWith(u"OK") || codigo == u"00";
    if (r.ok) {
        r.texto = QStringLiteral("Conexão OK: o host respondeu ao logon, código ") +
                  QString::number(r.resultado) + tempo;
    } else {
        const QString textoHost = textField(corpo, u"030-000").trimmed();
        r.texto = QStringLiteral("O host respondeu, mas recusou o logon: ") +
                  (textoHost.isEmpty() ? corpo.left(80) : textoHost) +
                  (codigo.isEmpty() ? QString() : QStringLiteral(" (009-000 = ") + codigo + u')') +
                  tempo;
    }
    return r;
}

}  // namespace ql
