#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <cstdint>
#include <optional>

namespace ql::abecs {

// The commands and answers carried inside the packets. A command is its three-letter name
// followed by blocks, each a three-digit length and its bytes; an answer is the name, a
// three-digit status and blocks. The newer commands carry in their blocks fields of a two-byte
// identifier, a two-byte length and the value.

// Answer statuses the card read tells apart.
inline constexpr int kStOk = 0;
inline constexpr int kStTempo = 12;      // the pad waited its time and nothing happened
inline constexpr int kStCancelado = 13;  // cancelled on the pad
inline constexpr int kStErroTarja = 41;  // the magnetic stripe could not be read

// Identifiers of the fields used here.
enum Campo : std::uint16_t {
    SpeIdList = 0x0001,
    SpeCexOpt = 0x0006,
    SpeTracks = 0x0007,
    SpeTimeout = 0x000C,
    PpSerNum = 0x8001,
    PpModel = 0x8003,
    PpMnName = 0x8004,
    PpSpecVer = 0x8007,
    PpEvent = 0x8040,
    PpTrk1Inc = 0x8041,
    PpTrk2Inc = 0x8042,
    PpTrack1 = 0x8044,
    PpTrack2 = 0x8045,
};

// Events of the event wait.
inline constexpr char kEventoTarja[] = "90";
inline constexpr char kEventoTeclaCancela[] = "13";

struct CampoTlv {
    std::uint16_t id = 0;
    QByteArray valor;
};

// The classic commands: the name and one block (none when `bloco` is empty and `semBloco`).
QByteArray comando(const char* nome, const QByteArray& bloco);
QByteArray comandoSemDados(const char* nome);
// The newer commands: the fields, packed into blocks of at most 999 bytes.
QByteArray comandoCampos(const char* nome, const QList<CampoTlv>& campos);

QByteArray comandoGix();                         // serial, model, maker, version
QByteArray comandoDex(const QString& mensagem);  // free text; "\r" breaks the line
QByteArray comandoCex(int esperaSegundos);       // a key or a card swipe
QByteArray comandoGtk();                         // tracks 1 and 2, in clear
QByteArray comandoClo(const QString& linha1, const QString& linha2);  // idle message

// One answer, split. `campos` holds the fields of the newer answers (empty for the classic
// ones, whose block stays in `blocos`).
struct Resposta {
    QByteArray nome;
    int status = -1;
    QList<QByteArray> blocos;
    QList<CampoTlv> campos;
    QByteArray campo(std::uint16_t id) const;
    bool tem(std::uint16_t id) const;
};
// Reads an answer; nullopt when it is not shaped as one (short, a bad status or block length).
std::optional<Resposta> leResposta(const QByteArray& dados);
// The fields of a block; nullopt when a length runs past the end.
std::optional<QList<CampoTlv>> leCampos(const QByteArray& bloco);
QByteArray codificaCampos(const QList<CampoTlv>& campos);

// Track 2 as the pad sends it in full: one symbol a nibble (0-9, then : ; < = > ?), padded
// with Fh.
QString decodificaTrilha2(const QByteArray& bytes);
QByteArray codificaTrilha2(const QString& trilha);

// The card number of a track: the track 2 digits before "="; of track 1, what lies between
// the format letter and the first "^", without blanks. Empty when the track holds none.
QString numeroDaTrilha2(const QString& trilha2);
QString numeroDaTrilha1(const QString& trilha1);

// What the pad tells about itself.
struct InfoPinPad {
    QString serie;
    QString modelo;
    QString fabricante;
    QString versaoProtocolo;
    QString descricao() const;  // "maker model, serial number N, protocol V"
};
InfoPinPad leInfo(const Resposta& resposta);

}  // namespace ql::abecs
