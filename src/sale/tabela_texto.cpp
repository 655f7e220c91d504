#include "sale/tabela_texto.h"

#include <algorithm>

#include "shell/model_roles.h"

namespace ql {

namespace {

// Red as the views take a text colour. The logic links no GUI library, so the colour value is
// made through the meta-type system: when the program has the GUI types (every program that
// shows a grid does) it is a real colour the item delegates paint with; otherwise it stays
// the colour's name.
QVariant corRecusada() {
    QVariant cor(QStringLiteral("#ff0000"));
    const QMetaType tipoCor = QMetaType::fromName("QColor");
    if (tipoCor.isValid()) cor.convert(tipoCor);
    return cor;
}

}  // namespace

TabelaTexto::TabelaTexto(QStringList cabecalhos, QObject* parent)
    : QAbstractTableModel(parent),
      cabecalhos_(std::move(cabecalhos)),
      ocultas_(cabecalhos_.size(), false),
      colunas_(int(cabecalhos_.size())) {}

int TabelaTexto::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : linhas();
}

int TabelaTexto::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : colunas_;
}

QVariant TabelaTexto::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= linhas() || index.column() >= colunas_) return {};
    const Linha& linha = linhas_.at(index.row());
    switch (role) {
        case Qt::DisplayRole:
        case Qt::EditRole:
        case roles::RawValue:
            return linha.celulas.at(index.column());
        case Qt::TextAlignmentRole:
            return colunaNumerica(index.column() + 1) ? int(Qt::AlignRight | Qt::AlignVCenter)
                                                      : int(Qt::AlignLeft | Qt::AlignVCenter);
        case Qt::ForegroundRole:
            if (linha.recusada) return corRecusada();
            return {};
        case LinhaRecusadaRole:
            return linha.recusada;
        default:
            return {};
    }
}

bool TabelaTexto::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || role != Qt::EditRole) return false;
    defineTexto(index.row() + 1, index.column() + 1, value.toString());
    return true;
}

QVariant TabelaTexto::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal) {
        return role == Qt::DisplayRole ? QVariant(section + 1) : QVariant();
    }
    if (section < 0 || section >= colunas_) return {};
    if (role == Qt::DisplayRole) return cabecalhos_.at(section);
    if (role == roles::ColumnHidden) return ocultas_.at(section);
    return {};
}

Qt::ItemFlags TabelaTexto::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

QString TabelaTexto::texto(int linha, int coluna) const {
    if (linha < 1 || linha > linhas() || coluna < 1 || coluna > cabecalhos_.size()) return {};
    return linhas_.at(linha - 1).celulas.at(coluna - 1);
}

void TabelaTexto::defineTexto(int linha, int coluna, const QString& valor) {
    if (linha < 1 || linha > linhas() || coluna < 1 || coluna > cabecalhos_.size()) return;
    linhas_[linha - 1].celulas[coluna - 1] = valor;
    if (coluna > colunas_) return;  // kept, not part of the grid shown
    const QModelIndex i = index(linha - 1, coluna - 1);
    emit dataChanged(i, i);
}

int TabelaTexto::adicionaLinha() {
    const int nova = linhas();
    beginInsertRows({}, nova, nova);
    Linha linha;
    for (int c = 0; c < cabecalhos_.size(); ++c) linha.celulas << QString();
    linhas_.push_back(linha);
    endInsertRows();
    return nova + 1;
}

void TabelaTexto::removeLinha(int linha) {
    if (linha < 1 || linha > linhas()) return;
    beginRemoveRows({}, linha - 1, linha - 1);
    linhas_.removeAt(linha - 1);
    endRemoveRows();
}

void TabelaTexto::limpa() {
    beginResetModel();
    linhas_.clear();
    endResetModel();
}

bool TabelaTexto::recusada(int linha) const {
    return linha >= 1 && linha <= linhas() && linhas_.at(linha - 1).recusada;
}

void TabelaTexto::marcaRecusada(int linha, bool recusada) {
    if (linha < 1 || linha > linhas() || linhas_.at(linha - 1).recusada == recusada) return;
    linhas_[linha - 1].recusada = recusada;
    emit dataChanged(index(linha - 1, 0), index(linha - 1, colunas_ - 1));
}

void TabelaTexto::defineColunas(int quantas) {
    quantas = std::clamp(quantas, 0, int(cabecalhos_.size()));
    if (quantas == colunas_) return;
    beginResetModel();
    colunas_ = quantas;
    endResetModel();
}

void TabelaTexto::defineCabecalho(int coluna, const QString& texto) {
    if (coluna < 1 || coluna > cabecalhos_.size()) return;
    cabecalhos_[coluna - 1] = texto;
    emit headerDataChanged(Qt::Horizontal, coluna - 1, coluna - 1);
}

QString TabelaTexto::cabecalho(int coluna) const {
    return cabecalhos_.value(coluna - 1);
}

void TabelaTexto::ocultaColuna(int coluna, bool oculta) {
    if (coluna < 1 || coluna > ocultas_.size()) return;
    ocultas_[coluna - 1] = oculta;
    emit headerDataChanged(Qt::Horizontal, coluna - 1, coluna - 1);
}

bool TabelaTexto::colunaOculta(int coluna) const {
    return ocultas_.value(coluna - 1, false);
}

}  // namespace ql
