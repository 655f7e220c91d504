#pragma once

#include <QByteArray>
#include <QString>

namespace ql {

struct Context;

// The product catalogue server, reached by the price lookup when the store works with the
// identification component. Every call returns 0 on success. The readers fill the first
// record in place (fixed-width single-byte text fields); the second is passed along.
class CatalogoProdutos {
  public:
    virtual ~CatalogoProdutos() = default;
    virtual qint16 CEPLogon(const QString& textoLogon) = 0;
    virtual qint16 CEPLeProdCategCompl(const QString& loja, const QString& codigo, quint8 b1,
                                       quint8 b2, quint8 b3, quint8 b4, QByteArray& registro,
                                       QByteArray& registro2) = 0;
    virtual qint16 CEPLeProdEAN(const QString& data, const QString& loja, const QString& ean,
                                quint8 b1, QByteArray& registro, QByteArray& registro2) = 0;
    virtual void CEPLogoff() = 0;
};

// Layout of the two catalogue records: offset and length of each field read.
namespace registro {
struct Campo {
    int offset;
    int tamanho;
};
// RegistroProdutoCatalogo, 150 bytes.
inline constexpr int kTamanhoCatalogo = 150;
inline constexpr Campo kCatDescricao{7, 35};
inline constexpr Campo kCatPreco{54, 10};
inline constexpr Campo kCatPreco2{64, 10};
inline constexpr Campo kCatCodigo{105, 2};
inline constexpr Campo kCatBytes{120, 3};
// RegistroProdutoEAN, 914 bytes.
inline constexpr int kTamanhoEan = 914;
inline constexpr Campo kEanDescricao{7, 35};
inline constexpr Campo kEanPreco{54, 10};
inline constexpr Campo kEanPreco2{64, 10};
inline constexpr Campo kEanCodigo{87, 2};
inline constexpr Campo kEanBytes{102, 3};
inline constexpr Campo kEanQtdCodigos{132, 2};
inline constexpr int kEanCodigos = 134;
inline constexpr int kTamanhoCodigoEan = 13;
inline constexpr int kMaxCodigosEan = 60;

// A record of the given size, all blanks.
inline QByteArray vazio(int tamanho) {
    return QByteArray(tamanho, ' ');
}
// Writes text (Windows-1252) into a field, cut or blank-filled to its length.
void escreve(QByteArray& registro, Campo campo, const QString& texto);
// Reads a field as text; "" when the record is too short to hold it.
QString le(const QByteArray& registro, Campo campo);
}  // namespace registro

// A catalogue that answers from the host link's price lookup: the description and the list
// and sale prices, as decimal text. It offers no code list for EANs.
class CatalogoViaHostLink final : public CatalogoProdutos {
  public:
    explicit CatalogoViaHostLink(Context& ctx) : ctx_(ctx) {}
    qint16 CEPLogon(const QString& textoLogon) override;
    qint16 CEPLeProdCategCompl(const QString& loja, const QString& codigo, quint8, quint8, quint8,
                               quint8, QByteArray& registro, QByteArray& registro2) override;
    qint16 CEPLeProdEAN(const QString& data, const QString& loja, const QString& ean, quint8,
                        QByteArray& registro, QByteArray& registro2) override;
    void CEPLogoff() override {}

  private:
    // Fills description and prices at the given fields; false when the product is unknown.
    bool consulta(const QString& codigo, const QString& loja, QByteArray& registro,
                  registro::Campo descricao, registro::Campo preco, registro::Campo preco2);
    Context& ctx_;
};

}  // namespace ql
