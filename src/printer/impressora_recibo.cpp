#include "printer/impressora_recibo.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QRegularExpression>
#include <QSerialPort>
#include <QSocketNotifier>
#include <QTcpSocket>
#include <QTimer>
#include <QUrl>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <functional>
#include <optional>

#include "printer/escpos.h"
#include "shell/context.h"

namespace ql {

namespace {

constexpr char kPrefixoEscPos[] = "escpos:";
constexpr char kPrefixoTcp[] = "tcp://";
constexpr char kPrefixoArquivo[] = "file:";
// Bytes the network stack may hold for the printer; a receipt is a few kilobytes.
constexpr int kBufferEnvioTcp = 16 * 1024;

QString segundos(int ms) {
    const int s = (ms + 999) / 1000;
    return s == 1 ? QStringLiteral("1 segundo") : QStringLiteral("%1 segundos").arg(s);
}

QString naoEncontrada(const QString& nome) {
    return QStringLiteral("A impressora de comprovantes %1 não foi encontrada.").arg(nome);
}

QString naoAberta(const QString& nome, const QString& motivo) {
    return QStringLiteral("A impressora de comprovantes %1 não pôde ser aberta: %2.")
        .arg(nome, motivo);
}

QString falhou(const QString& nome, const QString& motivo) {
    return QStringLiteral("A impressora de comprovantes %1 falhou: %2.").arg(nome, motivo);
}

// One job over a connection that can answer (a socket or a serial port), run in a local
// event loop: the paper status is asked first and its answer awaited for a moment, then the
// receipt is written; the whole job is bounded by one time limit.
class Envio {
  public:
    Envio(QIODevice& conexao, const QByteArray& dados, int limiteMs)
        : conexao_(conexao), dados_(dados), limiteMs_(limiteMs) {
        prazo_.setSingleShot(true);
        esperaStatus_.setSingleShot(true);
        QObject::connect(&prazo_, &QTimer::timeout, &laco_, [this] {
            falha(etapa_ == Etapa::Abrindo
                      ? QStringLiteral("A impressora de comprovantes não respondeu em %1.")
                            .arg(segundos(limiteMs_))
                      : QStringLiteral(
                            "A impressora de comprovantes não recebeu o comprovante em %1.")
                            .arg(segundos(limiteMs_)));
        });
        QObject::connect(&esperaStatus_, &QTimer::timeout, &laco_, [this] { escreveRecibo(); });
        QObject::connect(&conexao_, &QIODevice::readyRead, &laco_, [this] { leStatus(); });
        QObject::connect(&conexao_, &QIODevice::bytesWritten, &laco_, [this](qint64 n) {
            escritos_ += n;
            if (etapa_ == Etapa::Enviando && escritos_ >= pedidos_) termina({true, QString()});
        });
    }

    QObject* contexto() { return &laco_; }

    // Starts the time limit; `abre` begins opening the connection and may fail at once.
    ResultadoImpressao executa(const std::function<void()>& abre) {
        prazo_.start(limiteMs_);
        abre();
        // Paint events still run; keys and clicks wait for the printer.
        if (!resultado_) laco_.exec(QEventLoop::ExcludeUserInputEvents);
        prazo_.stop();
        esperaStatus_.stop();
        QObject::disconnect(&conexao_, nullptr, &laco_, nullptr);
        // Read what the printer sent, so that closing does not reset the connection.
        if (conexao_.isOpen()) conexao_.readAll();
        return *resultado_;
    }

    // The connection is open: ask the paper status.
    void aberta() {
        if (resultado_) return;
        etapa_ = Etapa::Status;
        if (!escreve(QByteArray(escpos::kConsultaPapel))) return;
        esperaStatus_.start(std::min(kEsperaStatusMs, limiteMs_));
    }

    void falha(const QString& motivo) { termina({false, motivo}); }

  private:
    enum class Etapa { Abrindo, Status, Enviando };

    bool escreve(const QByteArray& bytes) {
        if (conexao_.write(bytes) != bytes.size()) {
            falha(QStringLiteral("A impressora de comprovantes não aceitou os dados: %1.")
                      .arg(conexao_.errorString()));
            return false;
        }
        pedidos_ += bytes.size();
        return true;
    }

    void leStatus() {
        const QByteArray resposta = conexao_.readAll();
        if (etapa_ != Etapa::Status || resposta.isEmpty()) return;
        if (escpos::SemPapel(resposta.back()).value_or(false)) {
            falha(QStringLiteral("A impressora de comprovantes está sem papel."));
            return;
        }
        escreveRecibo();
    }

    void escreveRecibo() {
        if (resultado_ || etapa_ != Etapa::Status) return;
        esperaStatus_.stop();
        etapa_ = Etapa::Enviando;
        escreve(dados_);
    }

    void termina(ResultadoImpressao r) {
        if (resultado_) return;
        resultado_ = std::move(r);
        laco_.quit();
    }

    QIODevice& conexao_;
    const QByteArray& dados_;
    const int limiteMs_;
    Etapa etapa_ = Etapa::Abrindo;
    qint64 pedidos_ = 0;
    qint64 escritos_ = 0;
    std::optional<ResultadoImpressao> resultado_;
    QEventLoop laco_;
    QTimer prazo_;
    QTimer esperaStatus_;
};

ResultadoImpressao enviaTcp(const DestinoRecibo& d, const QByteArray& dados, int limiteMs) {
    const QString endereco = QStringLiteral("%1:%2").arg(d.nome).arg(d.porta);
    QTcpSocket socket;
    Envio envio(socket, dados, limiteMs);
    QObject::connect(&socket, &QAbstractSocket::connected, envio.contexto(), [&] {
        // A small send buffer, so that a job counts as taken when the printer has it rather
        // than when this machine's network stack does.
        socket.setSocketOption(QAbstractSocket::SendBufferSizeSocketOption, kBufferEnvioTcp);
        envio.aberta();
    });
    QObject::connect(
        &socket, &QAbstractSocket::errorOccurred, envio.contexto(),
        [&](QAbstractSocket::SocketError e) {
            switch (e) {
                case QAbstractSocket::ConnectionRefusedError:
                    envio.falha(QStringLiteral("A impressora de comprovantes em %1 "
                                               "recusou a conexão.")
                                    .arg(endereco));
                    break;
                case QAbstractSocket::HostNotFoundError:
                    envio.falha(QStringLiteral("A impressora de comprovantes em %1 "
                                               "não foi encontrada na rede.")
                                    .arg(endereco));
                    break;
                case QAbstractSocket::RemoteHostClosedError:
                    envio.falha(QStringLiteral("A impressora de comprovantes fechou a conexão."));
                    break;
                default:
                    envio.falha(QStringLiteral("A impressora de comprovantes em %1 "
                                               "não está acessível: %2.")
                                    .arg(endereco, socket.errorString()));
            }
        });
    const ResultadoImpressao r =
        envio.executa([&] { socket.connectToHost(d.nome, d.porta, QIODevice::ReadWrite); });
    if (r.ok) {
        socket.disconnectFromHost();
    } else {
        socket.abort();
    }
    return r;
}

ResultadoImpressao enviaSerial(const DestinoRecibo& d, const QByteArray& dados, int limiteMs) {
    QSerialPort porta;
    porta.setPortName(d.nome);
    Envio envio(porta, dados, limiteMs);
    QObject::connect(&porta, &QSerialPort::errorOccurred, envio.contexto(),
                     [&](QSerialPort::SerialPortError e) {
                         if (e == QSerialPort::NoError) return;
                         envio.falha(e == QSerialPort::DeviceNotFoundError
                                         ? naoEncontrada(d.nome)
                                         : falhou(d.nome, porta.errorString()));
                     });
    return envio.executa([&] {
        if (!porta.open(QIODevice::ReadWrite)) {
            envio.falha(porta.error() == QSerialPort::DeviceNotFoundError
                            ? naoEncontrada(d.nome)
                            : naoAberta(d.nome, porta.errorString()));
            return;
        }
        if (!porta.setBaudRate(d.baud) || !porta.setDataBits(QSerialPort::Data8) ||
            !porta.setParity(QSerialPort::NoParity) || !porta.setStopBits(QSerialPort::OneStop)) {
            envio.falha(naoAberta(d.nome, porta.errorString()));
            return;
        }
        envio.aberta();
    });
}

// A character device written without blocking: the bytes go out as the device takes them,
// within the time limit.
ResultadoImpressao enviaDispositivo(const DestinoRecibo& d, const QByteArray& dados, int limiteMs) {
    const QByteArray caminho = QFile::encodeName(d.nome);
    const int fd = ::open(caminho.constData(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        const int e = errno;
        if (e == ENOENT || e == ENXIO || e == ENODEV) return {false, naoEncontrada(d.nome)};
        return {false, naoAberta(d.nome, QString::fromLocal8Bit(std::strerror(e)))};
    }
    std::optional<ResultadoImpressao> resultado;
    qsizetype enviados = 0;
    QEventLoop laco;
    QSocketNotifier pronto(fd, QSocketNotifier::Write);
    QTimer prazo;
    prazo.setSingleShot(true);
    auto termina = [&](ResultadoImpressao r) {
        if (resultado) return;
        resultado = std::move(r);
        pronto.setEnabled(false);
        laco.quit();
    };
    auto escreve = [&] {
        while (!resultado && enviados < dados.size()) {
            const ssize_t n =
                ::write(fd, dados.constData() + enviados, size_t(dados.size() - enviados));
            if (n > 0) {
                enviados += n;
            } else if (n < 0 && errno == EINTR) {
                continue;
            } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
                return;
            } else {
                termina({false, falhou(d.nome, QString::fromLocal8Bit(std::strerror(errno)))});
                return;
            }
        }
        termina({true, QString()});
    };
    QObject::connect(&pronto, &QSocketNotifier::activated, &laco, escreve);
    QObject::connect(&prazo, &QTimer::timeout, &laco, [&] {
        termina(
            {false, QStringLiteral("A impressora de comprovantes não recebeu o comprovante em %1.")
                        .arg(segundos(limiteMs))});
    });
    escreve();
    if (!resultado) {
        prazo.start(limiteMs);
        laco.exec(QEventLoop::ExcludeUserInputEvents);
    }
    pronto.setEnabled(false);
    ::close(fd);
    return *resultado;
}

ResultadoImpressao anexaArquivo(const DestinoRecibo& d, const QByteArray& dados) {
    QFile arquivo(d.nome);
    if (!arquivo.open(QIODevice::WriteOnly | QIODevice::Append) ||
        arquivo.write(dados) != dados.size() || !arquivo.flush()) {
        return {false, QStringLiteral("Não foi possível gravar no arquivo de impressão %1: %2.")
                           .arg(QDir::toNativeSeparators(d.nome), arquivo.errorString())};
    }
    return {true, QString()};
}

class ImpressoraEscPos final : public ImpressoraRecibo {
  public:
    ImpressoraEscPos(DestinoRecibo destino, int colunas, int limiteMs, int vias)
        : destino_(std::move(destino)), colunas_(colunas), limiteMs_(limiteMs), vias_(vias) {}

    ResultadoImpressao imprime(const QStringList& linhas) override {
        // Each copy ends with its own cut.
        const QByteArray dados = escpos::Recibo(linhas, colunas_).repeated(vias_);
        switch (destino_.tipo) {
            case DestinoRecibo::Tipo::EscPosTcp:
                return enviaTcp(destino_, dados, limiteMs_);
            case DestinoRecibo::Tipo::EscPosSerial:
                return enviaSerial(destino_, dados, limiteMs_);
            case DestinoRecibo::Tipo::EscPosDispositivo:
                return enviaDispositivo(destino_, dados, limiteMs_);
            case DestinoRecibo::Tipo::EscPosArquivo:
                return anexaArquivo(destino_, dados);
            case DestinoRecibo::Tipo::Sistema:
            case DestinoRecibo::Tipo::Invalido:
                break;
        }
        return {false, destino_.erro.isEmpty()
                           ? QStringLiteral("A impressora de comprovantes não é ESC/POS.")
                           : destino_.erro};
    }

  private:
    DestinoRecibo destino_;
    int colunas_;
    int limiteMs_;
    int vias_;
};

}  // namespace

QString DestinoRecibo::descricao() const {
    switch (tipo) {
        case Tipo::Sistema:
            return nome.isEmpty() ? QStringLiteral("impressora padrão do sistema") : nome;
        case Tipo::EscPosDispositivo:
            return QStringLiteral("ESC/POS em %1").arg(nome);
        case Tipo::EscPosSerial:
            return QStringLiteral("ESC/POS na porta serial %1 a %2 bps").arg(nome).arg(baud);
        case Tipo::EscPosTcp:
            return QStringLiteral("ESC/POS em %1:%2").arg(nome).arg(porta);
        case Tipo::EscPosArquivo:
            return QStringLiteral("ESC/POS no arquivo %1").arg(QDir::toNativeSeparators(nome));
        case Tipo::Invalido:
            break;
    }
    return QStringLiteral("inválida (%1)").arg(erro);
}

DestinoRecibo InterpretaDestinoRecibo(const QString& valor) {
    const QString texto = valor.trimmed();
    DestinoRecibo d;
    if (!texto.startsWith(QLatin1String(kPrefixoEscPos), Qt::CaseInsensitive)) {
        d.nome = texto;
        return d;
    }
    auto invalido = [&](const QString& motivo) {
        d.tipo = DestinoRecibo::Tipo::Invalido;
        d.nome = texto;
        d.erro = QStringLiteral("A impressora de comprovantes \"%1\" não é válida: %2.")
                     .arg(texto, motivo);
        return d;
    };
    const QString resto = texto.mid(qsizetype(qstrlen(kPrefixoEscPos))).trimmed();
    if (resto.startsWith(QLatin1String(kPrefixoTcp), Qt::CaseInsensitive)) {
        const QUrl url(resto, QUrl::StrictMode);
        if (!url.isValid() || url.host().isEmpty() || url.port() == 0 ||
            !url.userInfo().isEmpty() || url.hasQuery() || url.hasFragment() ||
            (!url.path().isEmpty() && url.path() != QLatin1String("/"))) {
            return invalido(QStringLiteral("use escpos:tcp://HOST:PORTA"));
        }
        d.tipo = DestinoRecibo::Tipo::EscPosTcp;
        d.nome = url.host();
        d.porta = quint16(url.port(kPortaEscPosPadrao));
        return d;
    }
    if (resto.startsWith(QLatin1String(kPrefixoArquivo), Qt::CaseInsensitive)) {
        QString caminho = resto.mid(qsizetype(qstrlen(kPrefixoArquivo))).trimmed();
        if (caminho.isEmpty()) return invalido(QStringLiteral("falta o caminho do arquivo"));
        d.tipo = DestinoRecibo::Tipo::EscPosArquivo;
        d.nome = caminho.replace(u'\\', u'/');
        return d;
    }
    static const QRegularExpression serial(QStringLiteral("^(.+)@(\\d{3,7})$"));
    if (const auto m = serial.match(resto); m.hasMatch()) {
        d.tipo = DestinoRecibo::Tipo::EscPosSerial;
        d.nome = m.captured(1).trimmed();
        d.baud = m.captured(2).toInt();
        return d;
    }
    if (resto.isEmpty() || resto.contains(u'@')) {
        return invalido(QStringLiteral("use escpos:DISPOSITIVO ou escpos:DISPOSITIVO@VELOCIDADE"));
    }
    d.tipo = DestinoRecibo::Tipo::EscPosDispositivo;
    d.nome = resto;
    return d;
}

DestinoRecibo DestinoReciboConfigurado(const EstruturaPrincipal& config) {
    return InterpretaDestinoRecibo(
        config.RECEIPT_PRINTER.trimmed().isEmpty() ? config.PRINTER : config.RECEIPT_PRINTER);
}

std::unique_ptr<ImpressoraRecibo> CriaImpressoraEscPos(const DestinoRecibo& destino, int colunas,
                                                       int tempoLimiteMs, int vias) {
    return std::make_unique<ImpressoraEscPos>(
        destino, colunas > 0 ? colunas : kColunasReciboPadrao,
        tempoLimiteMs > 0 ? tempoLimiteMs : kTempoLimiteImpressoraMs, qBound(1, vias, 2));
}

QStringList LinhasTesteImpressora(const Context& ctx) {
    const int colunas =
        ctx.config.RECEIPT_COLUMNS > 0 ? ctx.config.RECEIPT_COLUMNS : kColunasReciboPadrao;
    QString regua;
    for (int i = 1; i <= colunas; ++i) regua += QChar(u'0' + i % 10);
    return {
        QStringLiteral("TESTE DA IMPRESSORA DE COMPROVANTES"),
        QStringLiteral("Terminal %1").arg(ctx.config.Terminal),
        ctx.relogio.now().toString(QStringLiteral("dd/MM/yyyy hh:mm:ss")),
        DestinoReciboConfigurado(ctx.config).descricao(),
        QStringLiteral("Acentos: ÁÀÂÃ ÉÊ Í ÓÔÕ Ú Ç áàâã éê í óôõ ú ç"),
        regua,
        QStringLiteral(" "),
    };
}

}  // namespace ql
