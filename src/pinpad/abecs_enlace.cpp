#include "pinpad/abecs_enlace.h"

namespace ql::abecs {

namespace {

bool especial(char c) {
    return c == kDC3 || c == kSYN || c == kETB;
}

}  // namespace

std::uint16_t crc16(QByteArrayView bytes) {
    std::uint16_t crc = 0;
    for (char c : bytes) {
        crc ^= std::uint16_t(std::uint8_t(c) << 8);
        for (int i = 0; i < 8; ++i) {
            crc = (crc & 0x8000) ? std::uint16_t((crc << 1) ^ 0x1021) : std::uint16_t(crc << 1);
        }
    }
    return crc;
}

QByteArray montaPacote(QByteArrayView dados) {
    QByteArray pacote;
    pacote.reserve(dados.size() + 8);
    pacote.append(kSYN);
    for (char c : dados) {
        if (especial(c)) {
            pacote.append(kDC3);
            pacote.append(char(c + 0x20));
        } else {
            pacote.append(c);
        }
    }
    pacote.append(kETB);
    QByteArray comEtb(dados.data(), dados.size());
    comEtb.append(kETB);
    const std::uint16_t crc = crc16(comEtb);
    pacote.append(char(crc >> 8));
    pacote.append(char(crc & 0xFF));
    return pacote;
}

void LeitorPacote::reinicia() {
    estado_ = Estado::Fora;
    dados_.clear();
    crc_ = 0;
}

LeitorPacote::Evento LeitorPacote::byte(char c) {
    switch (estado_) {
        case Estado::Fora:
            if (c != kSYN) return Evento::Fora;
            dados_.clear();
            estado_ = Estado::Dados;
            return Evento::Nenhum;
        case Estado::Descartando:
            // The rest of an oversized packet, up to its ETB and CRC.
            if (c == kETB) estado_ = Estado::Crc1;
            return Evento::Nenhum;
        case Estado::Dados:
            if (c == kSYN) {
                dados_.clear();
                return Evento::Nenhum;
            }
            if (c == kETB) {
                estado_ = Estado::Crc1;
                return Evento::Nenhum;
            }
            if (c == kDC3) {
                estado_ = Estado::Substituto;
                return Evento::Nenhum;
            }
            break;
        case Estado::Substituto:
            c = char(c - 0x20);
            estado_ = Estado::Dados;
            break;
        case Estado::Crc1:
            crc_ = std::uint16_t(std::uint8_t(c) << 8);
            estado_ = Estado::Crc2;
            return Evento::Nenhum;
        case Estado::Crc2: {
            crc_ |= std::uint8_t(c);
            const bool excedido = dados_.size() > kMaxDados;
            estado_ = Estado::Fora;
            if (excedido) {
                dados_.clear();
                return Evento::Excedido;
            }
            dados_.append(kETB);
            const bool bom = crc16(dados_) == crc_;
            dados_.chop(1);
            return bom ? Evento::Pacote : Evento::CrcErrado;
        }
    }
    dados_.append(c);
    if (dados_.size() > kMaxDados) {
        // Keep one byte more than allowed, so that the end of the packet reports it.
        dados_.truncate(kMaxDados + 1);
        estado_ = Estado::Descartando;
    }
    return Evento::Nenhum;
}

}  // namespace ql::abecs
