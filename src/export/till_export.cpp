#include "export/till_export.h"

#include <QFile>
#include <QFileInfo>

#include <cstdlib>
#include <limits>

#include "host/valores.h"
#include "shell/context.h"
#include "shell/error_routine.h"
#include "shell/text_files.h"

namespace ql {

namespace {

constexpr int kErroTipos = 13;
constexpr int kErroEstouro = 6;
constexpr int kErroArquivo = 75;

// Reads a decimal text in the system's number form ("1.234,56", "-12,5", " 3 ") as a count of
// hundredths, rounding any further decimals half away from zero. False when it is no number.
bool leCentesimos(const QString& texto, qint64* centesimos) {
    const QString t = texto.trimmed();
    qsizetype i = 0;
    const qsizetype size = t.size();
    bool negativo = false;
    if (i < size && (t[i] == u'-' || t[i] == u'+')) negativo = t[i++] == u'-';
    qint64 inteiro = 0;
    int digitos = 0;
    constexpr qint64 kLimite = std::numeric_limits<qint64>::max() / 1000;
    for (; i < size; ++i) {
        if (t[i] == u'.') continue;  // thousands separator
        if (t[i] < u'0' || t[i] > u'9') break;
        inteiro = inteiro * 10 + (t[i].unicode() - u'0');
        if (inteiro > kLimite) return false;
        ++digitos;
    }
    qint64 fracao = 0;  // hundredths
    if (i < size && t[i] == u',') {
        ++i;
        int casas = 0;
        for (; i < size && t[i] >= u'0' && t[i] <= u'9'; ++i, ++casas, ++digitos) {
            const int d = t[i].unicode() - u'0';
            if (casas == 0)
                fracao += d * 10;
            else if (casas == 1)
                fracao += d;
            else if (casas == 2 && d >= 5)
                fracao += 1;
        }
    }
    if (i != size || digitos == 0) return false;
    const qint64 v = inteiro * 100 + fracao;
    *centesimos = negativo ? -v : v;
    return true;
}

// Pattern "0000000.00" with the comma: at least seven integer digits and two decimals.
QString valor(qint64 centesimos) {
    const quint64 a = magnitude(centesimos);
    const QString t = QString::number(a / 100).rightJustified(7, u'0') + QLatin1Char(',') +
                      QString::number(a % 100).rightJustified(2, u'0');
    return centesimos < 0 ? QLatin1Char('-') + t : t;
}

QString campo(const QString& texto, int largura) {
    return texto.left(largura).leftJustified(largura, u' ');
}

QString brancos(int n) {
    return QString(n, u' ');
}

// The product code as a number written with at least thirteen digits.
bool codigoProduto(const QString& codigo, QString* texto) {
    const QString t = codigo.trimmed();
    if (t.isEmpty()) return false;
    for (const QChar c : t)
        if (c < u'0' || c > u'9') return false;
    qsizetype i = 0;
    while (i < t.size() - 1 && t[i] == u'0') ++i;
    *texto = t.mid(i).rightJustified(13, u'0');
    return true;
}

struct Item {
    qint64 quantidade = 0;
    qint64 bruto = 0;     // hundredths
    qint64 liquido = 0;   // hundredths
    qint64 desconto = 0;  // bruto - liquido
    qint64 total = 0;     // liquido × quantidade
    QString codigo;       // 13 digits or more
};

bool leItens(const ItensVenda& lista, QVector<Item>* itens, int* falha) {
    itens->reserve(lista.itens.size());
    for (const ItemVenda& iv : lista.itens) {
        Item it;
        qint64 qtd = 0;
        if (!leCentesimos(iv.quantidade, &qtd) || !leCentesimos(iv.valorBruto, &it.bruto) ||
            !leCentesimos(iv.valorLiquido, &it.liquido) || !codigoProduto(iv.codigo, &it.codigo)) {
            *falha = kErroTipos;
            return false;
        }
        // A quantity is a whole number: a fraction rounds to the nearest even unit.
        qint64 unidades = qtd / 100;
        const qint64 resto = std::llabs(qtd % 100);
        if (resto > 50 || (resto == 50 && unidades % 2 != 0)) unidades += qtd < 0 ? -1 : 1;
        // Products and differences in checked arithmetic: an overflow is the run-time error.
        if (unidades > std::numeric_limits<qint16>::max() ||
            unidades < std::numeric_limits<qint16>::min() ||
            __builtin_sub_overflow(it.bruto, it.liquido, &it.desconto) ||
            __builtin_mul_overflow(it.liquido, unidades, &it.total)) {
            *falha = kErroEstouro;
            return false;
        }
        it.quantidade = unidades;
        itens->append(it);
    }
    return true;
}

QString numeroTransacao(const QString& nsu) {
    QString digitos;
    for (const QChar c : nsu.trimmed()) {
        if (c < u'0' || c > u'9') break;
        digitos += c;
    }
    qsizetype i = 0;
    while (i < digitos.size() - 1 && digitos[i] == u'0') ++i;
    digitos = digitos.mid(i);
    return digitos.isEmpty() ? QStringLiteral("0") : digitos;
}

}  // namespace

bool ExportacaoConfigurada(const Context& ctx) {
    return ctx.config.LayoutArquivo == 1 && !ctx.config.FILEAUX.trimmed().isEmpty() &&
           QFileInfo(nativePath(ctx.config.FILEAUX)).isDir();
}

QString CaminhoArquivoExportacao(const Context& ctx) {
    return joinPath(ctx.config.FILEAUX,
                    numeroTransacao(ctx.transacao.NsuTransacao) + QStringLiteral(".TRC"));
}

bool MontaArquivoExportacao(const Context& ctx, QByteArray* bytes, int* erro, QString* descricao) {
    QVector<Item> itens;
    int falha = 0;
    qint64 qtdTotal = 0, brutoTotal = 0, liquidoTotal = 0, descontoTotal = 0;
    bool lidos = leItens(ctx.itensVenda, &itens, &falha);
    for (const Item& it : itens) {
        if (__builtin_add_overflow(qtdTotal, it.quantidade, &qtdTotal) ||
            __builtin_add_overflow(brutoTotal, it.bruto, &brutoTotal) ||
            __builtin_add_overflow(liquidoTotal, it.liquido, &liquidoTotal)) {
            lidos = false;
            falha = kErroEstouro;
            break;
        }
    }
    if (lidos && __builtin_sub_overflow(brutoTotal, liquidoTotal, &descontoTotal)) {
        lidos = false;
        falha = kErroEstouro;
    }
    if (!lidos) {
        if (erro) *erro = falha;
        if (descricao) *descricao = DescricaoErro(falha);
        return false;
    }

    const QDateTime agora = ctx.relogio.now();
    const QString nsu8 = ctx.transacao.NsuTransacao.right(8);
    const QString crlf = QStringLiteral("\r\n");

    QString t;
    t.reserve(9 * 60 + itens.size() * 2 * 81);
    t += QStringLiteral("R1000000-000000X") + agora.toString(QStringLiteral("dd/MM/yy")) +
         QStringLiteral("00") + agora.toString(QStringLiteral("HHmm")) +
         QStringLiteral("00000000000000000000000004") + brancos(2) + crlf;
    t += QStringLiteral("R211100N0") + formataZeros(ctx.itensVenda.count, 4) +
         formataZeros(qtdTotal, 5) + valor(brutoTotal) + valor(descontoTotal) +
         QStringLiteral("0000000,00") + valor(liquidoTotal) + crlf;
    // The second amount of R3 repeats the net total.
    t += QStringLiteral("R30000000,00") + valor(liquidoTotal) + QStringLiteral("0000000,00") +
         valor(liquidoTotal) + brancos(16) + crlf;
    t += QStringLiteral("R4") + brancos(24) + campo(nsu8, 16) + campo(nsu8, 16) + crlf;
    t += QStringLiteral("R5X000000-000000X000000-000000000000000") + brancos(1) +
         QStringLiteral("000000000000000,00") + crlf;
    t += QStringLiteral("R60000000,00") + brancos(40) + QStringLiteral("000000") + crlf;
    t += QStringLiteral("R7") + brancos(46) + QStringLiteral("0000000,00") + crlf;
    t += QStringLiteral("R8") + campo(ctx.ident.ValorCampo1, 32) + QStringLiteral("00") +
         brancos(22) + crlf;
    t += QStringLiteral("R9") + campo(ctx.ident.ValorCampo2, 32) + QStringLiteral("00") +
         brancos(22) + crlf;
    for (const Item& it : itens) {
        t += QStringLiteral("RA00000") + formataZeros(it.quantidade, 4) + valor(it.bruto) +
             valor(it.desconto) + valor(it.liquido) + valor(it.total) +
             QStringLiteral("A????000000") + it.codigo + brancos(3) + crlf;
    }
    for (const Item& it : itens) {
        t += QStringLiteral("RB0000000000000XXX00000000X0000000000/00/00000000") + it.codigo +
             brancos(16) + crlf;
    }
    *bytes = toCp1252(t);
    return true;
}

bool GerarArquivo(Context& ctx, const QString& arquivo) {
    auto falhou = [&](int numero) {
        ctx.caixas.inform(QStringLiteral("Erro na função GerarArquivo : ") + TextoErro(numero),
                          kTituloAtencao, MessageBoxes::Icon::Critical);
        return false;
    };
    const QString caminho = nativePath(arquivo);
    // A file left by an earlier sale with the same number goes first, so that a failed
    // export never leaves the old sale in its place.
    if (QFileInfo::exists(caminho) && !QFile::remove(caminho)) return falhou(kErroArquivo);
    QByteArray bytes;
    int erro = 0;
    if (!MontaArquivoExportacao(ctx, &bytes, &erro, nullptr)) return falhou(erro);
    if (!writeFileAtomically(caminho, bytes)) return falhou(kErroArquivo);
    return true;
}

}  // namespace ql
