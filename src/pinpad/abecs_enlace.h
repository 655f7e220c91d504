#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <cstdint>

namespace ql::abecs {

// The bytes of the PIN pad's serial link (the card industry association's "Pinpad" protocol):
// a packet is SYN, the data with its special bytes replaced, ETB and a CRC-16 of the original
// data and ETB, sent most significant byte first. The pad answers a packet with ACK or NAK, and
// a lone CAN with EOT.
inline constexpr char kEOT = 0x04;
inline constexpr char kACK = 0x06;
inline constexpr char kDC3 = 0x13;
inline constexpr char kNAK = 0x15;
inline constexpr char kSYN = 0x16;
inline constexpr char kETB = 0x17;
inline constexpr char kCAN = 0x18;

// The largest packet data before substitution.
inline constexpr qsizetype kMaxDados = 2049;

// CRC-16 with polynomial x^16 + x^12 + x^5 + 1, initial value 0, bits taken most significant
// first, no final inversion.
std::uint16_t crc16(QByteArrayView bytes);

// A whole packet for `dados`: SYN, the data with DC3, SYN and ETB each sent as DC3 followed by
// the byte plus 20h, ETB and the two CRC bytes.
QByteArray montaPacote(QByteArrayView dados);

// Reads packets byte by byte, as they arrive. Bytes before a SYN are not part of a packet and
// are counted as noise; a SYN inside a packet starts a new one.
class LeitorPacote {
  public:
    enum class Evento {
        Nenhum,     // the byte was taken; nothing complete yet
        Fora,       // the byte is outside any packet
        Pacote,     // a packet with a good CRC is complete: see dados()
        CrcErrado,  // a packet is complete but its CRC does not match
        Excedido,   // the packet grew past kMaxDados; the rest of it is ignored
    };

    Evento byte(char c);
    // The data of the last packet (valid after Evento::Pacote).
    const QByteArray& dados() const { return dados_; }
    // True while a packet has begun and not ended.
    bool dentroDePacote() const { return estado_ != Estado::Fora; }
    void reinicia();

  private:
    enum class Estado { Fora, Dados, Substituto, Crc1, Crc2, Descartando };
    Estado estado_ = Estado::Fora;
    QByteArray dados_;
    std::uint16_t crc_ = 0;
};

}  // namespace ql::abecs
