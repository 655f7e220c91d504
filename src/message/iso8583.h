#pragma once

#include <QString>
#include <QStringView>

#include <array>
#include <bitset>
#include <vector>

namespace ql {

struct Context;
class Mensagem;

// The four description tables loaded with every new message.
// Type letter of ISO elements 1 to 64: "N" numeric, "A" alphanumeric.
inline constexpr char kTiposElementosIso[] =
    "NNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNAAAANANAAAAAAAAANAAAAAAAAAAA";
// Field number (3 digits) -> element number (3 digits), searched in this order.
inline constexpr char kMapaCamposIso[] =
    "001011002044003049004049005063007060009039011003012037015007022013023012028060029061030062"
    "040032900060901060902063903063904063905063906063909063910063911063912063914063919063920063"
    "921005922004940040941041942042948048949048953055980063981063982063990063";
// Field number, length, type letter: documents the fields; no conversion reads it.
inline constexpr char kDicionarioCampos[] =
    "000004N001006N002010N003012N004003A005070A007014N009002A011006N012012A013006N014010N015010N"
    "022004N023006N028002N029038A030099A040020A900001N901002N902013N903020A904020A905003N906001A"
    "909005N910007N911007N912007N914016A919002N920020A921012N922012N940003N941008A942015A948999A"
    "949999A953120A980006N981006N982004N990020N";
// Length code of elements 1 to 64: two-digit fixed length, "2L" or "3L" (length prefix digits).
inline constexpr char kTamanhosElementosIso[] =
    "082L061212121008080806060404060404040303031203030404010603242L2L2L2L2L3L1206020308152L2L2L3L"
    "3L3L030303082L3L3L2L032L3L3L3L3L3L08";

// Value answered for an element number outside 0-64.
inline constexpr char16_t kTamanhoInvalido[] = u"Tamanho Inválido";

// How one element is written and read.
struct FormatoElemento {
    enum class Tipo { Fixo, LL, LLL };
    Tipo tipo = Tipo::Fixo;
    int tamanho = 0;        // fixed length (Fixo only)
    bool numerico = false;  // fixed numeric elements are padded on the left with "0"
    QString codigo;         // the two-character length code as in the table
    QChar letra;            // the type letter as in the table
};

// The element tables in usable form: formats of elements 1-64 and the field -> element map.
class DescricaoIso {
  public:
    DescricaoIso(const QString& tipos, const QString& mapa, const QString& tamanhos);
    // The system's constant tables, parsed once.
    static const DescricaoIso& padrao();

    // Element carrying a field number (first three characters of the tag); 0 when none.
    int elementoDoCampo(QStringView tag) const;
    // Format of element n (1-64); a default fixed-0 format outside that range.
    const FormatoElemento& formato(int n) const;

  private:
    std::array<FormatoElemento, 65> formatos_{};
    std::array<int, 1000> mapa_{};  // field number -> element, 0 when not mapped
};

// BitIsoDoCampo (tag): element for the tag's field number; 0 when the field is not mapped.
int BitIsoDoCampo(const QString& tag, const DescricaoIso& d = DescricaoIso::padrao());
// TamanhoBitIso (n): two-character length code of element n ("" outside 1-64).
QString TamanhoBitIso(int n, const DescricaoIso& d = DescricaoIso::padrao());
// TipoBitIso (n): type letter of element n ("" outside 1-64).
QString TipoBitIso(int n, const DescricaoIso& d = DescricaoIso::padrao());

// ISO 8583 form of a message: message type (value of node 0) + bitmap + present elements in
// increasing order. Fields sharing an element are concatenated in the order they were added.
// hex set: bitmap as 16 upper-case hexadecimal digits (the form the host takes); clear: one
// character per 4 bits whose code is their value (0 to 15).
QString writeIso(const Mensagem& msg, bool hex = true);

// An ISO 8583 message (without its four-digit frame) split into its elements in one pass.
// Takes arbitrary text: a short message gives empty or short elements, an element whose
// length prefix is not made of digits ends the reading there.
class MensagemIsoLida {
  public:
    // hex set: 16 hexadecimal digits of bitmap, elements from character 21; clear: a binary
    // bitmap of 8 characters (8 bits each, element 1 first), elements from character 13.
    MensagemIsoLida(QString texto, bool hex = true, const DescricaoIso& d = DescricaoIso::padrao());
    MensagemIsoLida(QStringView texto, bool hex = true,
                    const DescricaoIso& d = DescricaoIso::padrao())
        : MensagemIsoLida(texto.toString(), hex, d) {}

    QString tipoMensagem() const { return tipo_; }
    bool presente(int n) const { return n >= 1 && n <= 64 && bits_.test(n); }
    // Value of element n; "" when absent or unreadable; "Tamanho Inválido" outside 0-64.
    QString elemento(int n) const;
    // The characters of element n inside the message read; empty when absent, unreadable or
    // outside 1-64.
    QStringView vista(int n) const;
    // The message as read.
    const QString& texto() const { return texto_; }
    // Elements whose bit is set, in increasing order.
    std::vector<int> presentes() const;
    // False when the bitmap holds a non-hexadecimal digit or is cut short, when a length
    // prefix is not numeric, or when an element runs past the end of the text.
    bool integra() const { return integra_; }

  private:
    struct Trecho {
        qsizetype inicio = 0;
        qsizetype tamanho = 0;
        bool legivel = false;
    };
    QString texto_;
    QString tipo_;
    std::bitset<65> bits_;
    std::array<Trecho, 65> trechos_{};
    bool integra_ = true;
};

// Value of element n of a message given without its frame; "Tamanho Inválido" outside 0-64.
QString ExtraiBitIso(int n, QStringView texto, bool hex = true,
                     const DescricaoIso& d = DescricaoIso::padrao());

// ISO form of the current message. The sale-generation and product-query flags of the context
// are deliberately not looked at: see the comment in the implementation.
QString MontaMensagemIso(Context& ctx, bool hex = true);

}  // namespace ql
