#pragma once

#include <QByteArray>
#include <QHash>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QSslCertificate>
#include <QSslKey>
#include <QString>
#include <QTcpServer>

#include <functional>
#include <list>
#include <memory>

namespace ql::hostsim {

class HostSimulator;

struct ServerOptions {
    QHostAddress endereco = QHostAddress::LocalHost;
    quint16 porta = 0;  // 0: any free port
    // A connection that sends nothing for this long is closed.
    int tempoOciosoMs = 60000;
    // A frame whose first bytes arrived must be complete within this, or the connection is
    // closed.
    int tempoQuadroMs = 5000;
    // At this many open connections a new one is still admitted: the connection that has
    // been idle longest is closed to make room for it.
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
// connection gives way to the new one, so connections that open and say nothing cannot lock
// the terminals out. Runs on the thread that owns it; requests are
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
    void atende(QTcpSocket* socket);
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

    HostSimulator& simulador_;
    ServerOptions opcoes_;
    QSslCertificate certificado_;
    QSslKey chave_;
    bool tls_ = false;
    // Open connections, longest idle first.
    std::list<QTcpSocket*> porAtividade_;
    QHash<QTcpSocket*, std::list<QTcpSocket*>::iterator> posicao_;
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
