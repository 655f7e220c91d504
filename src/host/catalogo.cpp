#include "host/catalogo.h"

#include "host/valores.h"
#include "shell/context.h"
#include "shell/text_files.h"

namespace ql {

namespace registro {

void escreve(QByteArray& registro, Campo campo, const QString& texto) {
    if (registro.size() < campo.offset + campo.tamanho) {
        registro = registro.leftJustified(campo.offset + campo.tamanho, ' ');
    }
    const QByteArray bytes = toCp1252(texto).left(campo.tamanho).leftJustified(campo.tamanho, ' ');
    registro.replace(campo.offset, campo.tamanho, bytes);
}

QString le(const QByteArray& registro, Campo campo) {
    if (registro.size() < campo.offset + campo.tamanho) return {};
    return fromCp1252(registro.mid(campo.offset, campo.tamanho));
}

}  // namespace registro

qint16 CatalogoViaHostLink::CEPLogon(const QString&) {
    return ctx_.hostLink ? 0 : 1;
}

bool CatalogoViaHostLink::consulta(const QString& codigo, const QString& loja, QByteArray& registro,
                                   registro::Campo descricao, registro::Campo preco,
                                   registro::Campo preco2) {
    if (!ctx_.hostLink) return false;
    QString c1 = codigo, c2 = loja, desc(40, QLatin1Char(' ')), lista(12, QLatin1Char(' ')),
            venda(12, QLatin1Char(' ')), status = QStringLiteral("0000");
    if (ctx_.hostLink->GetPreco(c1, c2, desc, lista, venda, status) != 0) return false;
    registro::escreve(registro, descricao, desc.trimmed());
    registro::escreve(registro, preco, centavosParaValor(lista.trimmed()));
    registro::escreve(registro, preco2, centavosParaValor(venda.trimmed()));
    return true;
}

qint16 CatalogoViaHostLink::CEPLeProdCategCompl(const QString& loja, const QString& codigo, quint8,
                                                quint8, quint8, quint8, QByteArray& registro,
                                                QByteArray&) {
    return consulta(codigo, loja, registro, registro::kCatDescricao, registro::kCatPreco,
                    registro::kCatPreco2)
               ? 0
               : 1;
}

qint16 CatalogoViaHostLink::CEPLeProdEAN(const QString&, const QString& loja, const QString& ean,
                                         quint8, QByteArray& registro, QByteArray&) {
    if (!consulta(ean, loja, registro, registro::kEanDescricao, registro::kEanPreco,
                  registro::kEanPreco2)) {
        return 1;
    }
    registro::escreve(registro, registro::kEanQtdCodigos, QStringLiteral("00"));
    return 0;
}

}  // namespace ql
