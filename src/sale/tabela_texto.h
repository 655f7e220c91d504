#pragma once

#include <QAbstractTableModel>
#include <QString>
#include <QStringList>
#include <QVector>

namespace ql {

// A grid of text cells as the sale screens show them: a fixed set of columns with headers,
// columns kept in the model but not shown, and rows that can be marked as refused (shown in
// red). Rows and columns are numbered from 1 in the accessors, as the screens and
// transactions name them; the Qt model interface is 0-based as usual.
class TabelaTexto : public QAbstractTableModel {
    Q_OBJECT
  public:
    // data(): true on every cell of a row the host refused.
    static constexpr int LinhaRecusadaRole = Qt::UserRole + 200;
    // The colour value of a refused row's text (red).
    static constexpr int kCorRecusada = 255;

    TabelaTexto(QStringList cabecalhos, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    int linhas() const { return int(linhas_.size()); }
    int colunas() const { return colunas_; }
    // Every column of the full set is kept, also those beyond the columns shown.
    // "" outside the grid.
    QString texto(int linha, int coluna) const;
    // Ignored outside the grid.
    void defineTexto(int linha, int coluna, const QString& valor);
    // Appends an empty row; returns its number.
    int adicionaLinha();
    void removeLinha(int linha);
    void limpa();

    bool recusada(int linha) const;
    void marcaRecusada(int linha, bool recusada);

    void defineColunas(int quantas);
    void defineCabecalho(int coluna, const QString& texto);
    QString cabecalho(int coluna) const;
    void ocultaColuna(int coluna, bool oculta);
    bool colunaOculta(int coluna) const;

  protected:
    // Columns whose cells are amounts or counts, aligned to the right.
    virtual bool colunaNumerica(int coluna) const = 0;

  private:
    struct Linha {
        QStringList celulas;
        bool recusada = false;
    };
    QVector<Linha> linhas_;
    QStringList cabecalhos_;
    QVector<bool> ocultas_;
    int colunas_;
};

}  // namespace ql
