#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVector>

#include <optional>

namespace ql {

struct Context;

// One extra input field an operadora's cards (or products) need.
struct CampoAdicional {
    QString tipo;  // one character; blank = not needed
    qint16 minimo = 0;
    qint16 maximo = 0;
    QString rotulo;  // 20 characters, space-filled

    bool necessario() const { return !tipo.trimmed().isEmpty(); }
};

// One record of the operator table QLTb_Opr.txt (fixed columns, 105 characters).
struct RegistroOperadora {
    QString nome;                // columns 1-20, as in the file
    QString codigo;              // columns 21-28
    CampoAdicional campo1;       // columns 29-53
    CampoAdicional campo2;       // columns 54-78
    CampoAdicional complemento;  // columns 79-103
    QString reservado;           // columns 104-105
};

// TabelaOperadoras: indexed from 1 in file order.
struct TabelaOperadoras {
    QVector<RegistroOperadora> registros;  // registros[i - 1] is entry i
    int size() const { return int(registros.size()); }
    bool contem(int i) const { return i >= 1 && i <= size(); }
    const RegistroOperadora& at(int i) const { return registros.at(i - 1); }
};

// Width of a record of the operator table and the most records it may hold.
inline constexpr int kTamanhoLinhaOperadora = 105;
inline constexpr int kMaxOperadoras = 32767;

// One record from one line of the operator table: texts cut or space-filled to their
// columns, numbers read from the start of their two columns (blanks give 0).
RegistroOperadora LeRegistroOperadora(const QString& linha);
// The line of the operator table that holds the record (the inverse of the reading).
QString FormataRegistroOperadora(const RegistroOperadora& registro);

// The table held by the bytes of an operator table file: one record per item, in order;
// nothing when it holds more records than the table can number.
std::optional<TabelaOperadoras> LeTabelaOperadoras(const QByteArray& bytes);

// Loads QLTb_Opr.txt from the data folder into ctx.operadoras. False, with the message
// shown through the error routine, when the file is missing, unreadable or too large.
bool ObtemDadosOperadora(Context& ctx);

// Names for the operadora list of the card identification screen: trimmed and upper-cased,
// in table order (list position + 1 = table position).
QStringList PreencheComboAdmNomes(const TabelaOperadoras& tabela);

// One item of the administrator list of the administrative menu.
struct ItemComboAdm {
    QString codigo;   // trimmed, upper-cased code
    int posicao = 0;  // table position of the first line with that code
};
struct ListaComboAdm {
    QVector<ItemComboAdm> itens;
    int selecionado = -1;  // index of the selected item: the first one, or -1 when empty
};

// Distinct administrator codes in table order, each with the position of its first line.
ListaComboAdm PreencheComboAdmCodigos(const TabelaOperadoras& tabela);

}  // namespace ql
