#pragma once

#include <QString>
#include <QVector>

namespace ql {

// One extra input field an operadora's cards (or products) need.
struct CampoAdicional {
    QString tipo;          // one character; blank = not needed
    qint16 minimo = 0;
    qint16 maximo = 0;
    QString rotulo;        // 20 characters, space-filled
};

// One record of the operator table QLTb_Opr.txt.
struct RegistroOperadora {
    QString nome;          // columns 1-20, as in the file
    QString codigo;        // columns 21-28
    CampoAdicional campo1;
    CampoAdicional campo2;
    CampoAdicional complemento;
    QString reservado;     // columns 104-105
};

// TabelaOperadoras: indexed from 1 in file order (entry 0 unused).
struct TabelaOperadoras {
    QVector<RegistroOperadora> registros;  // registros[i - 1] is entry i
    int size() const { return int(registros.size()); }
    const RegistroOperadora& at(int i) const { return registros.at(i - 1); }
};

}  // namespace ql
