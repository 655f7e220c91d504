#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QSslCertificate>
#include <QSslKey>
#include <QString>
#include <QTcpServer>
#include <QTimer>

#include <functional>
#include <list>
#include <memory>
#include <unordered_map>

#include "host/framing.h"

namespace ql::hostsim {

class HostSimulator;

struct ServerOptions {
    QHostAddress endereco = QHostAddress::LocalHost;
    quint16 porta = 0;  // 0: any free port
    // A connection that sends nothing for this long is closed.
    int tempoOciosoMs = 60000;
    // A frame whose first bytes arrived must be complete within this, or the connection is
    // closed. So must a connection's answers go out once more than 64 KiB of them wait.
    int tempoQuadroMs = 5000;
    // At this many open connections a new one is admitted only when a connection with nothing
    // in flight (no partial frame, no request waiting for its answer, no answer still going
    // out) can make room for it: the one idle longest is closed. Otherwise the new one is
    // refused.
    int maxConexoes = 256;
    // When above 0, the answer to each confirmation (0202) and undo (0420) is held this long
    // after the host has carried it out: for tests of a terminal that stops, or loses the
    // link, while that answer is on its way.
    int retencaoLiquidacaoMs = 0;
    // Told the message type of each answer held so (quillane-host prints it).
    std::function<void(const QString&)> aoReter;
    // Both set: every connection is TLS with this certificate and key (PEM files).
    QString certificadoTls;
    QString chaveTls;
};

// The host's network front: accepts terminals over TCP (or TLS), cuts each stream into framed
// requests, answers each through the simulator and closes connections that stay idle, break
// the framing or take too long over a frame. At the connection limit the longest-idle
// connection with nothing in flight gives way to the new one, so connections that open and
// say nothing cannot lock the terminals out, nor cut a terminal off in the middle of an
// exchange. A connection whose answers pile up unsent (its peer does not read them) is read no
// further until they go out, and closed when they do not go out within the frame time: a
// peer cannot make the host hold its answers without bound. Runs on the thread that owns it;
// requests are
// answered one at a time, in arrival order. The answers to the requests that arrive together
// (in one pass of the event loop, from any number of terminals) are held until the journals
// they changed have been rewritten, once for all of them, and then sent.
class HostServer : public QTcpServer {
    Q_OBJECT
  public:
    HostServer(HostSimulator& simulador, ServerOptions opcoes, QObject* parent = nullptr);

    // Loads the TLS material when given and starts listening; false with the reason in erro.
    bool inicia(QString* erro);
    // Stops for good: accepts no more connections and reads no more requests, sends the
    // answers already given (journals first) and closes each connection once they have left;
    // encerrado() follows when the last one has closed.
    void encerra();
    int conexoesAbertas() const { return int(porAtividade_.size()); }
    quint64 respostasEnviadas() const { return respostas_; }

  signals:
    void encerrado();

  protected:
    void incomingConnection(qintptr descritor) override;

  private:
    struct Conexao;
    void atende(QTcpSocket* socket);
    // Answers every whole request the connection has sent, reading from the socket as long as
    // the answers waiting to go out stay within the limit.
    void le(QTcpSocket* socket, Conexao& c);
    // Reading starts again once a held-up connection's answers have gone out.
    void retoma(QTcpSocket* socket);
    // Bytes of answers given to the connection and not yet handed to the system.
    qint64 naoEnviado(QTcpSocket* socket, const Conexao& c) const;
    // Something of an exchange is under way: bytes of a request received and not answered,
    // or an answer not yet gone out. Such a connection is never closed to make room.
    bool emCurso(QTcpSocket* socket, const Conexao& c) const;
    // The connection showed life: it becomes the last one to give way at the limit.
    void ativa(QTcpSocket* socket);
    // Forgets a connection that is closing (once, whichever way it closes).
    void esquece(QTcpSocket* socket);
    // Queues a frame for the next flush: an answer to a request (resposta, counted) or the
    // last words before hanging up (fecha).
    void enfileira(QTcpSocket* socket, const QString& corpo, bool resposta, bool fecha);
    // Rewrites the changed journals, then sends every queued answer.
    void despachaRespostas();

    struct RespostaPendente {
        QPointer<QTcpSocket> socket;
        QByteArray quadro;
        bool fecha = false;
        bool resposta = true;  // an answer to a request (counted), not a framing error
    };

    struct Conexao {
        std::list<QTcpSocket*>::iterator posicao;  // in porAtividade_
        framing::FrameDecoder decoder;
        QTimer* ocioso = nullptr;
        QTimer* quadro = nullptr;
        // Runs while the connection is held up by its unsent answers; closes it when it fires.
        QTimer* retida = nullptr;
        int semResposta = 0;  // requests read whose answer has not been handed to the socket
        qint64 naFila = 0;    // bytes of its answers waiting for the next flush
        bool lendo = true;    // false once nothing more is read from it
    };

    HostSimulator& simulador_;
    ServerOptions opcoes_;
    QSslCertificate certificado_;
    QSslKey chave_;
    bool tls_ = false;
    // Open connections, longest idle first.
    std::list<QTcpSocket*> porAtividade_;
    std::unordered_map<QTcpSocket*, std::unique_ptr<Conexao>> conexoes_;
    quint64 respostas_ = 0;
    QList<RespostaPendente> fila_;
    bool despachoAgendado_ = false;
    bool encerrando_ = false;
};

// A simulator and its server living on a thread of their own, for tests and load drivers
// that drive terminals from the calling thread.
class HostServerThread {
  public:
    // databasePath / journalDir as for HostSimulator; the clock is the system's.
    HostServerThread(QString databasePath, QString journalDir = {}, ServerOptions opcoes = {});
    ~HostServerThread();
    HostServerThread(const HostServerThread&) = delete;
    HostServerThread& operator=(const HostServerThread&) = delete;

    // Starts the thread and waits until the server listens (or failed).
    bool inicia(QString* erro = nullptr);
    quint16 porta() const { return porta_; }
    void para();

  private:
    struct Estado;
    std::unique_ptr<Estado> estado_;
    quint16 porta_ = 0;
};

}  // namespace ql::hostsim
