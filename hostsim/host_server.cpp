#include "host_server.h"

#include <QFile>
#include <QSemaphore>
#include <QSslConfiguration>
#include <QSslSocket>
#include <QThread>
#include <QTimer>

#include <sys/ioctl.h>
#include <unistd.h>

#include "host/framing.h"
#include "host_message.h"
#include "host_simulator.h"
#include "shell/clock.h"

namespace ql::hostsim {

HostServer::HostServer(HostSimulator& simulador, ServerOptions opcoes, QObject* parent)
    : QTcpServer(parent), simulador_(simulador), opcoes_(std::move(opcoes)) {}

bool HostServer::inicia(QString* erro) {
    tls_ = !opcoes_.certificadoTls.isEmpty() || !opcoes_.chaveTls.isEmpty();
    if (tls_) {
        if (!QSslSocket::supportsSsl()) {
            if (erro) *erro = QStringLiteral("TLS não disponível nesta máquina");
            return false;
        }
        QFile cert(opcoes_.certificadoTls);
        QFile chave(opcoes_.chaveTls);
        if (!cert.open(QIODevice::ReadOnly) || !chave.open(QIODevice::ReadOnly)) {
            if (erro) *erro = QStringLiteral("certificado ou chave TLS ilegível");
            return false;
        }
        certificado_ = QSslCertificate(&cert, QSsl::Pem);
        chave_ = QSslKey(&chave, QSsl::Rsa, QSsl::Pem);
        if (chave_.isNull()) {
            chave.seek(0);
            chave_ = QSslKey(&chave, QSsl::Ec, QSsl::Pem);
        }
        if (certificado_.isNull() || chave_.isNull()) {
            if (erro) *erro = QStringLiteral("certificado ou chave TLS inválido");
            return false;
        }
    }
    setMaxPendingConnections(opcoes_.maxConexoes);
    if (!listen(opcoes_.endereco, opcoes_.porta)) {
        if (erro) *erro = errorString();
        return false;
    }
    return true;
}

namespace {

// Answers a connection may have waiting to go out before nothing more is read from it.
constexpr qint64 kMaxNaoEnviado = 64 * 1024;
// Received bytes a connection's socket holds unread: a few whole frames. While the host reads
// nothing from a connection, the rest waits in the system's buffers and the peer's sending
// stops there.
constexpr qint64 kBufferLeitura = 16 * 1024;

// Bytes the system has received on the connection and the host has not read yet.
bool temBytesNaoLidos(const QTcpSocket* socket) {
    int n = 0;
    return socket->bytesAvailable() > 0 ||
           (::ioctl(int(socket->socketDescriptor()), FIONREAD, &n) == 0 && n > 0);
}

// The message type of a confirmation or an undo, in either form; "" for anything else.
QString liquidacao(const QString& corpo) {
    const Leitura leitura = lePedido(corpo);
    if (!leitura.pedido) return {};
    const QString& tipo = leitura.pedido->tipo;
    return tipo == QLatin1String("0202") || tipo == QLatin1String("0420") ? tipo : QString();
}

}  // namespace

void HostServer::incomingConnection(qintptr descritor) {
    // At the limit the connection idle longest among those with nothing in flight makes room:
    // a crowd of silent connections only ever pushes out one another, never a terminal in the
    // middle of an exchange. When every connection is in one, the new connection is refused.
    if (int(porAtividade_.size()) >= opcoes_.maxConexoes) {
        QTcpSocket* livre = nullptr;
        for (QTcpSocket* s : porAtividade_) {
            if (!emCurso(s, *conexoes_.at(s))) {
                livre = s;
                break;
            }
        }
        if (!livre) {
            ::close(int(descritor));
            return;
        }
        esquece(livre);
        livre->abort();
    }
    QTcpSocket* socket = nullptr;
    if (tls_) {
        auto* ssl = new QSslSocket(this);
        if (!ssl->setSocketDescriptor(descritor)) {
            delete ssl;
            return;
        }
        ssl->setLocalCertificate(certificado_);
        ssl->setPrivateKey(chave_);
        ssl->setPeerVerifyMode(QSslSocket::VerifyNone);
        // TLS 1.2 is the floor whatever the system's TLS library would still accept.
        ssl->setProtocol(QSsl::TlsV1_2OrLater);
        ssl->startServerEncryption();
        socket = ssl;
    } else {
        socket = new QTcpSocket(this);
        if (!socket->setSocketDescriptor(descritor)) {
            delete socket;
            return;
        }
    }
    atende(socket);
}

void HostServer::ativa(QTcpSocket* socket) {
    const auto it = conexoes_.find(socket);
    if (it != conexoes_.end())
        porAtividade_.splice(porAtividade_.end(), porAtividade_, it->second->posicao);
}

void HostServer::esquece(QTcpSocket* socket) {
    const auto it = conexoes_.find(socket);
    if (it == conexoes_.end()) return;
    porAtividade_.erase(it->second->posicao);
    conexoes_.erase(it);
    socket->deleteLater();
}

qint64 HostServer::naoEnviado(QTcpSocket* socket, const Conexao& c) const {
    qint64 n = c.naFila + socket->bytesToWrite();
    if (const auto* ssl = qobject_cast<const QSslSocket*>(socket))
        n += ssl->encryptedBytesToWrite();
    return n;
}

bool HostServer::emCurso(QTcpSocket* socket, const Conexao& c) const {
    return c.decoder.pending() > 0 || c.semResposta > 0 || naoEnviado(socket, c) > 0 ||
           temBytesNaoLidos(socket);
}

void HostServer::atende(QTcpSocket* socket) {
    auto conexao = std::make_unique<Conexao>();
    Conexao& c = *conexao;
    c.posicao = porAtividade_.insert(porAtividade_.end(), socket);
    conexoes_.emplace(socket, std::move(conexao));
    socket->setReadBufferSize(kBufferLeitura);
    auto temporizador = [socket](int ms) {
        auto* t = new QTimer(socket);
        t->setSingleShot(true);
        t->setInterval(ms);
        connect(t, &QTimer::timeout, socket, [socket] { socket->abort(); });
        return t;
    };
    c.ocioso = temporizador(opcoes_.tempoOciosoMs);
    c.ocioso->start();
    // Runs from a frame's first byte to its last: a frame sent a byte at a time, or half a
    // length and then nothing, does not hold the connection for the whole idle time.
    c.quadro = temporizador(opcoes_.tempoQuadroMs);
    // A peer that does not take its answers gets the same time as one that does not finish
    // its frame.
    c.retida = temporizador(opcoes_.tempoQuadroMs);

    connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
        const auto it = conexoes_.find(socket);
        if (it == conexoes_.end()) return;
        it->second->ocioso->start();
        ativa(socket);
        le(socket, *it->second);
    });
    connect(socket, &QTcpSocket::bytesWritten, socket, [this, socket] { retoma(socket); });
    if (auto* ssl = qobject_cast<QSslSocket*>(socket))
        connect(ssl, &QSslSocket::encryptedBytesWritten, socket,
                [this, socket] { retoma(socket); });
    connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
        esquece(socket);
        if (encerrando_ && porAtividade_.empty()) emit encerrado();
    });
    connect(socket, &QAbstractSocket::errorOccurred, socket,
            [socket](QAbstractSocket::SocketError) {
                if (socket->state() != QAbstractSocket::UnconnectedState) socket->abort();
            });
}

void HostServer::le(QTcpSocket* socket, Conexao& c) {
    if (!c.lendo || encerrando_) return;
    bool completou = false;
    for (;;) {
        if (naoEnviado(socket, c) > kMaxNaoEnviado) {
            // The peer is not taking its answers: its next requests stay unread until they
            // have gone out, and the connection closes if they do not go in time.
            if (!c.retida->isActive()) c.retida->start();
            break;
        }
        framing::FrameDecoder::Result r = c.decoder.next();
        if (r.status == framing::FrameDecoder::Status::NeedMore) {
            if (socket->bytesAvailable() <= 0) break;
            c.decoder.feed(socket->readAll());
            continue;
        }
        if (r.status != framing::FrameDecoder::Status::Body) {
            // The stream can no longer be cut into messages: say so once and hang up.
            enfileira(socket, respostaErroSistema(codigo::kMensagemInvalida), false, true);
            // Nothing more is read from a connection that is being closed.
            c.lendo = false;
            disconnect(socket, &QTcpSocket::readyRead, socket, nullptr);
            break;
        }
        completou = true;
        ++c.semResposta;
        const QString resposta = simulador_.respondeEmLote(r.body);
        if (const QString tipo = liquidacao(r.body);
            opcoes_.retencaoLiquidacaoMs > 0 && !tipo.isEmpty()) {
            if (opcoes_.aoReter) opcoes_.aoReter(tipo);
            // The transaction is committed with this pass's batch; only its answer waits.
            if (!despachoAgendado_) {
                despachoAgendado_ = true;
                QMetaObject::invokeMethod(this, &HostServer::despachaRespostas,
                                          Qt::QueuedConnection);
            }
            QTimer::singleShot(opcoes_.retencaoLiquidacaoMs, socket, [this, socket, resposta] {
                enfileira(socket, resposta, true, false);
            });
            continue;
        }
        enfileira(socket, resposta, true, false);
    }
    if (c.decoder.pending() == 0)
        c.quadro->stop();
    else if (completou || !c.quadro->isActive())
        c.quadro->start();
}

void HostServer::retoma(QTcpSocket* socket) {
    const auto it = conexoes_.find(socket);
    if (it == conexoes_.end()) return;
    Conexao& c = *it->second;
    if (!c.retida->isActive() || naoEnviado(socket, c) > kMaxNaoEnviado) return;
    c.retida->stop();
    le(socket, c);
}

void HostServer::encerra() {
    encerrando_ = true;
    close();
    const QList<QTcpSocket*> sockets = findChildren<QTcpSocket*>(Qt::FindDirectChildrenOnly);
    for (QTcpSocket* socket : sockets) disconnect(socket, &QTcpSocket::readyRead, socket, nullptr);
    despachaRespostas();
    for (QTcpSocket* socket : sockets) {
        // Closes once the write buffer has gone out.
        if (socket->state() != QAbstractSocket::UnconnectedState) socket->disconnectFromHost();
    }
    if (porAtividade_.empty())
        QMetaObject::invokeMethod(this, &HostServer::encerrado, Qt::QueuedConnection);
}

void HostServer::enfileira(QTcpSocket* socket, const QString& corpo, bool resposta, bool fecha) {
    fila_.push_back({socket, framing::encodeWire(corpo), fecha, resposta});
    if (const auto it = conexoes_.find(socket); it != conexoes_.end())
        it->second->naFila += fila_.back().quadro.size();
    if (despachoAgendado_) return;
    despachoAgendado_ = true;
    // Runs once the event loop has handed out every request that arrived in this pass.
    QMetaObject::invokeMethod(this, &HostServer::despachaRespostas, Qt::QueuedConnection);
}

void HostServer::despachaRespostas() {
    despachoAgendado_ = false;
    // The batch's database transaction and the journals first: a terminal may act on its
    // answer, or read the journals, as soon as the answer arrives.
    const bool gravado = simulador_.concluiLote();
    const QList<RespostaPendente> fila = std::exchange(fila_, {});
    for (const RespostaPendente& r : fila) {
        if (const auto it = conexoes_.find(r.socket.data()); it != conexoes_.end()) {
            it->second->naFila -= r.quadro.size();
            if (r.resposta) --it->second->semResposta;
        }
        if (!r.socket || r.socket->state() != QAbstractSocket::ConnectedState) continue;
        if (!gravado && r.resposta) {
            // Nothing the answer says was kept: the terminal gets no answer, as after a
            // network failure, and undoes or repeats the transaction.
            r.socket->abort();
            continue;
        }
        r.socket->write(r.quadro);
        if (r.resposta) ++respostas_;
        if (r.fecha) r.socket->disconnectFromHost();
    }
}

struct HostServerThread::Estado {
    QString banco;
    QString diario;
    ServerOptions opcoes;
    QThread thread;
    QSemaphore pronto;
    QString erro;
    quint16 porta = 0;
    SystemClock relogio;
    // Created and destroyed on the thread.
    HostSimulator* simulador = nullptr;
    HostServer* servidor = nullptr;
};

HostServerThread::HostServerThread(QString databasePath, QString journalDir, ServerOptions opcoes)
    : estado_(std::make_unique<Estado>()) {
    estado_->banco = std::move(databasePath);
    estado_->diario = std::move(journalDir);
    estado_->opcoes = std::move(opcoes);
}

HostServerThread::~HostServerThread() {
    para();
}

bool HostServerThread::inicia(QString* erro) {
    Estado* e = estado_.get();
    QObject::connect(&e->thread, &QThread::started, [e] {
        e->simulador = new HostSimulator(e->banco, e->relogio, e->diario);
        QString falha;
        if (e->simulador->abre(&falha)) {
            e->servidor = new HostServer(*e->simulador, e->opcoes);
            if (e->servidor->inicia(&falha)) e->porta = e->servidor->serverPort();
        }
        e->erro = falha;
        e->pronto.release();
    });
    QObject::connect(&e->thread, &QThread::finished, [e] {
        delete e->servidor;
        e->servidor = nullptr;
        delete e->simulador;
        e->simulador = nullptr;
    });
    e->thread.start();
    e->pronto.acquire();
    porta_ = e->porta;
    if (porta_ == 0) {
        if (erro) *erro = e->erro;
        para();
        return false;
    }
    return true;
}

void HostServerThread::para() {
    if (estado_ && estado_->thread.isRunning()) {
        estado_->thread.quit();
        estado_->thread.wait();
    }
}

}  // namespace ql::hostsim
