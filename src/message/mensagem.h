#pragma once

#include <QString>

#include <memory>
#include <vector>

namespace ql {

struct Context;
class DescricaoIso;

// One field node of the current message.
struct ClassCampo {
    QString chaveKY9;        // the tag FFF-SSS, always 7 characters
    qint16 Comprimento = 0;  // length of the value (set for every node after the first)
    int Proximo = -1;        // index of the node added just before this one; -1 for the first
    QString conteudo;        // the value

    // The length travels as text: written as text, kept as a 16-bit number.
    QString ComprimentoTexto() const { return QString::number(Comprimento); }
    void DefineComprimento(const QString& texto) { Comprimento = texto.trimmed().toShort(); }
};

// Tag "FFF-SSS" of field campo, sub-field sub, each in three digits with leading zeros (a
// negative number keeps its sign in front of its zero-filled digits).
QString TagItem(int campo, int sub);

// Fixed-length tag as the message keeps it: a longer text is cut to 7 characters, a shorter
// one filled with blanks.
QString TagDoCampo(const QString& tag);

// What happened to a field handed to IncluiCampo / add.
enum class Inclusao {
    Incluido,       // appended
    Vazio,          // empty value: nothing added, as empty fields never travel
    Cheio,          // 2000 fields already held: not added
    MuitoComprido,  // value longer than a 16-bit length can say: not added
};

// The field-list message: up to 2000 tagged fields in the order they were added, plus the four
// description tables stored with every new message. A value type with no dependency on the
// process state, so that the simulated host can build and read messages with it too.
class Mensagem {
  public:
    static constexpr int kMaxCampos = 2000;

    // A freshly started message, with the constant tables.
    Mensagem();

    // Starts a new message: stores the four tables, drops every field and leaves the single
    // placeholder node ("000-000" = "-1") at index 0 with count 0.
    void InicializaMensagem(const QString& tipos, const QString& mapa, const QString& dicionario,
                            const QString& tamanhos);
    // Same, with the system's constant tables.
    void Reinicia();

    // Appends one field (the placeholder is reused by the first one).
    Inclusao IncluiCampo(const QString& tag, const QString& valor);
    // IncluiCampo preceded, when the tag is "000-000" (any letter case), by a restart of the
    // message: the way every request and every answer is built.
    Inclusao add(const QString& tag, const QString& valor);

    // Number of fields held (0 for a fresh message, whose only node is the placeholder).
    int count() const { return count_; }
    // Nodes 0 .. count-1; a fresh message still shows its placeholder as node 0. An index
    // outside the nodes gives an empty node.
    const ClassCampo& no(int i) const;
    // How many nodes the writers emit: count, or 1 for a fresh message (its placeholder).
    int nosEscritos() const { return count_ == 0 ? 1 : count_; }
    // Value of the first field with that tag (compared after fixing it to 7 characters).
    QString valor(const QString& tag) const;

    const QString& tiposIso() const { return tipos_; }
    const QString& mapaCampos() const { return mapa_; }
    const QString& dicionario() const { return dicionario_; }
    const QString& tamanhosIso() const { return tamanhos_; }
    // The element tables in the form the ISO writer and readers use.
    const DescricaoIso& descricaoIso() const { return *descricao_; }
    const std::shared_ptr<const DescricaoIso>& descricaoIsoCompartilhada() const {
        return descricao_;
    }

  private:
    std::vector<ClassCampo> nos_;
    qint16 count_ = 0;
    QString tipos_;
    QString mapa_;
    QString dicionario_;
    QString tamanhos_;
    std::shared_ptr<const DescricaoIso> descricao_;
};

// Text form: "tag=value;" for every node in order, nothing between or around them.
QString writeText(const Mensagem& msg);

// One field of a text-form message as read back.
struct CampoTexto {
    QString tag;
    QString valor;
};
// Splits a text-form message (without frame) into its fields in order. A piece without "=" or
// a last piece without its ";" makes *ok false; every well-formed piece is still returned.
std::vector<CampoTexto> parseText(const QString& texto, bool* ok = nullptr);

// The current message of the process (ctx.mensagem) -------------------------------------------

// Starts a new, empty current message with the constant tables.
void CarregaTabelasMensagem(Context& ctx);
// Adds one field to the current message; "000-000" first starts a new message. A field past
// the 2000th is reported through the common error routine under "AdicionaCampo".
void AdicionaCampo(Context& ctx, const QString& tag, const QString& valor);
// Text form of the current message.
QString MontaMensagemTexto(Context& ctx);

}  // namespace ql
