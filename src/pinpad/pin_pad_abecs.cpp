#include "pinpad/pin_pad_abecs.h"

#include <QLoggingCategory>
#include <QSerialPort>
#include <QStringList>

namespace ql {

Q_LOGGING_CATEGORY(lcPinPad, "ql.pinpad")

namespace {

using abecs::Desfecho;

constexpr int kMaxEventos = 50;  // keys other than cancel pressed during one wait

qint32 codigoDe(Desfecho d) {
    switch (d) {
        case Desfecho::Ok:
            return 0;
        case Desfecho::Cancelado:
            return PinPad::kCancelado;
        case Desfecho::SemResposta:
            return PinPadAbecs::kSemResposta;
        case Desfecho::Protocolo:
            return PinPadAbecs::kErroProtocolo;
        case Desfecho::Ligacao:
            return PinPadAbecs::kLigacaoPerdida;
    }
    return PinPadAbecs::kErroProtocolo;
}

QString textoDe(Desfecho d) {
    switch (d) {
        case Desfecho::Ok:
        case Desfecho::Cancelado:
            return {};
        case Desfecho::SemResposta:
            return QStringLiteral("o PIN pad não respondeu");
        case Desfecho::Protocolo:
            return QStringLiteral("resposta inválida do PIN pad");
        case Desfecho::Ligacao:
            return QStringLiteral("a porta serial falhou");
    }
    return {};
}

}  // namespace

// The port and the pad opened for one read or question; closes both on leaving.
struct PinPadAbecs::Sessao {
    QSerialPort porta;
    std::optional<abecs::SessaoAbecs> sessao;
    Desfecho aberta = Desfecho::Ligacao;
    QString erroPorta;

    std::atomic<bool>& cancelar;

    Sessao(const QString& dispositivo, qint32 baud, const abecs::Tempos& tempos,
           std::atomic<bool>& cancelarLeitura)
        : cancelar(cancelarLeitura) {
        porta.setPortName(dispositivo);
        if (!porta.open(QIODevice::ReadWrite)) {
            erroPorta = porta.errorString();
            return;
        }
        porta.setBaudRate(baud);
        porta.setDataBits(QSerialPort::Data8);
        porta.setParity(QSerialPort::NoParity);
        porta.setStopBits(QSerialPort::OneStop);
        porta.setFlowControl(QSerialPort::NoFlowControl);
        sessao.emplace(porta, tempos, cancelar);
        aberta = sessao->cancela();
        if (aberta == Desfecho::Ok)
            aberta = verifica(sessao->troca(abecs::comandoSemDados("OPN")), "OPN");
    }
    ~Sessao() {
        if (aberta == Desfecho::Ok) {
            // After a cancellation the pad is idle again and takes the closing as usual.
            cancelar.store(false);
            sessao->troca(
                abecs::comandoClo(QStringLiteral("QUILLANE"), QStringLiteral("PINPAD LIVRE")));
        }
    }
    // An exchange whose answer must be `nome` with a good status.
    Desfecho verifica(Desfecho d, const char* nome) {
        if (d != Desfecho::Ok) return d;
        const auto r = abecs::leResposta(sessao->resposta());
        return r && r->nome == nome && r->status == abecs::kStOk ? Desfecho::Ok
                                                                 : Desfecho::Protocolo;
    }
};

PinPadAbecs::PinPadAbecs(QString dispositivo, qint32 baud, abecs::Tempos tempos)
    : dispositivo_(std::move(dispositivo)), baud_(baud), tempos_(tempos) {}

QString PinPadAbecs::motivo() const {
    std::lock_guard trava(mutex_);
    return motivo_;
}

QString PinPadAbecs::relato() const {
    std::lock_guard trava(mutex_);
    QStringList partes{QStringLiteral("PIN pad ") + dispositivo_};
    if (info_) partes << info_->descricao();
    if (!motivo_.isEmpty()) partes << motivo_;
    return partes.join(QStringLiteral(": "));
}

std::optional<abecs::InfoPinPad> PinPadAbecs::info() const {
    std::lock_guard trava(mutex_);
    return info_;
}

void PinPadAbecs::defineMotivo(const QString& texto) {
    std::lock_guard trava(mutex_);
    motivo_ = texto;
    if (!texto.isEmpty())
        qCWarning(lcPinPad).noquote() << "PIN pad" << dispositivo_ << ":" << texto;
}

abecs::Desfecho PinPadAbecs::perguntaInfo(Sessao& s) {
    const Desfecho d = s.verifica(s.sessao->troca(abecs::comandoGix()), "GIX");
    if (d != Desfecho::Ok) return d;
    const abecs::InfoPinPad info = abecs::leInfo(*abecs::leResposta(s.sessao->resposta()));
    {
        std::lock_guard trava(mutex_);
        info_ = info;
    }
    qCInfo(lcPinPad).noquote() << "PIN pad" << dispositivo_ << ":" << info.descricao();
    return Desfecho::Ok;
}

qint32 PinPadAbecs::abre(Sessao& s) {
    if (!s.erroPorta.isEmpty()) {
        defineMotivo(
            QStringLiteral("não foi possível abrir %1 (%2)").arg(dispositivo_, s.erroPorta));
        return kSemComunicacao;
    }
    Desfecho d = s.aberta;
    if (d == Desfecho::Ok && !info()) d = perguntaInfo(s);
    if (d != Desfecho::Ok) {
        defineMotivo(textoDe(d));
        return codigoDe(d);
    }
    return 0;
}

bool PinPadAbecs::LeInformacoes(abecs::InfoPinPad& info) {
    cancelar_.store(false);
    {
        std::lock_guard trava(mutex_);
        info_.reset();
    }
    if (dispositivo_.isEmpty()) {
        defineMotivo(QStringLiteral("valor de PINPAD inválido"));
        return false;
    }
    Sessao s(dispositivo_, baud_, tempos_, cancelar_);
    if (abre(s) < 0) return false;
    defineMotivo({});
    info = *this->info();
    return true;
}

qint32 PinPadAbecs::GetTrack(QByteArray& trilha, QString&) {
    const qint32 r = le(trilha);
    // A cancellation asked for while reading ends with the read.
    cancelar_.store(false);
    return r;
}

qint32 PinPadAbecs::le(QByteArray& trilha) {
    if (dispositivo_.isEmpty()) {
        defineMotivo(QStringLiteral("valor de PINPAD inválido"));
        return kSemComunicacao;
    }
    Sessao s(dispositivo_, baud_, tempos_, cancelar_);
    if (const qint32 r = abre(s); r < 0) return r;
    const qint32 r = leCartao(*s.sessao, trilha);
    if (r >= 0 || r == kCancelado) {
        defineMotivo({});
    } else if (r == kSemPassagem) {
        defineMotivo(QStringLiteral("nenhum cartão passado no tempo de espera"));
    } else if (r == kErroLeitura) {
        defineMotivo(QStringLiteral("o cartão não pôde ser lido"));
    }
    return r;
}

qint32 PinPadAbecs::leCartao(abecs::SessaoAbecs& sessao, QByteArray& trilha) {
    const auto falha = [&](Desfecho d) {
        defineMotivo(textoDe(d));
        return codigoDe(d);
    };
    Desfecho d = sessao.troca(abecs::comandoDex(QStringLiteral("PASSE O CARTAO\rOU TECLE ANULA")));
    if (d != Desfecho::Ok) return falha(d);

    std::optional<abecs::Resposta> cex;
    for (int vez = 0; vez < kMaxEventos; ++vez) {
        d = sessao.troca(abecs::comandoCex(kEsperaCartaoS), kEsperaCartaoS * 1000);
        if (d != Desfecho::Ok) return falha(d);
        cex = abecs::leResposta(sessao.resposta());
        if (!cex || cex->nome != "CEX") return falha(Desfecho::Protocolo);
        if (cex->status == abecs::kStCancelado) return kCancelado;
        if (cex->status == abecs::kStTempo) return kSemPassagem;
        if (cex->status == abecs::kStErroTarja) return kErroLeitura;
        if (cex->status != abecs::kStOk) return falha(Desfecho::Protocolo);
        const QByteArray evento = cex->campo(abecs::PpEvent);
        if (evento == abecs::kEventoTeclaCancela) return kCancelado;
        if (evento == abecs::kEventoTarja) break;
        cex.reset();  // another key: keep waiting
    }
    if (!cex) return falha(Desfecho::Protocolo);
    if (!cex->tem(abecs::PpTrk1Inc) && !cex->tem(abecs::PpTrk2Inc)) return kErroLeitura;

    QString numero;
    d = sessao.troca(abecs::comandoGtk());
    if (d != Desfecho::Ok) return falha(d);
    if (const auto gtk = abecs::leResposta(sessao.resposta());
        gtk && gtk->nome == "GTK" && gtk->status == abecs::kStOk) {
        numero = abecs::numeroDaTrilha2(abecs::decodificaTrilha2(gtk->campo(abecs::PpTrack2)));
        if (numero.isEmpty()) {
            numero = abecs::numeroDaTrilha1(QString::fromLatin1(gtk->campo(abecs::PpTrack1)));
        }
    }
    // The shortened tracks of the swipe hold the number too.
    if (numero.isEmpty()) {
        numero = abecs::numeroDaTrilha2(QString::fromLatin1(cex->campo(abecs::PpTrk2Inc)));
    }
    if (numero.isEmpty()) {
        numero = abecs::numeroDaTrilha1(QString::fromLatin1(cex->campo(abecs::PpTrk1Inc)));
    }
    if (numero.isEmpty()) return kErroLeitura;
    const QByteArray texto = numero.toLatin1().left(kTamanhoTrilha);
    if (trilha.size() < kTamanhoTrilha) trilha.resize(kTamanhoTrilha, ' ');
    trilha.replace(0, texto.size(), texto);
    return qint32(texto.size());
}

}  // namespace ql
