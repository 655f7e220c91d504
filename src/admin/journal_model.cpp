#include "admin/journal_model.h"

#include <QFileInfo>

#include <cmath>
#include <limits>
#include <new>
#include <utility>

#include "data/checksum.h"
#include "data/data_files.h"
#include "data/sequential_items.h"
#include "shell/context.h"
#include "shell/error_routine.h"
#include "shell/model_roles.h"
#include "shell/text_files.h"

namespace ql {

namespace {

const QString kProcedimento = QStringLiteral("CarregaGrid");

// Cells (rows × columns) a grid may hold. Every data row holds as many cells as the header
// has columns, so a header of thousands of columns followed by short rows would otherwise
// take gigabytes from a small file; a journal within the data-file size limit never needs
// more than one cell per byte.
constexpr qint64 kMaxCelulas = kMaxBytesArquivoDados;

// A number as the journal's numeric cells hold it: sign, integer digits, fraction digits and
// an optional exponent. Reading stops at the first character that cannot continue a number;
// blanks anywhere are ignored, and text with no number reads as 0.
struct Numero {
    bool negativo = false;
    QString inteiro;
    QString fracao;
    bool temExpoente = false;
    int expoente = 0;
};

Numero leNumero(const QString& texto) {
    QString t;
    t.reserve(texto.size());
    for (const QChar c : texto) {
        if (c != QLatin1Char(' ') && c != QLatin1Char('\t') && c != QLatin1Char('\n') &&
            c != QLatin1Char('\r'))
            t += c;
    }
    Numero n;
    qsizetype i = 0;
    const qsizetype size = t.size();
    auto digito = [&](qsizetype k) { return k < size && t[k] >= u'0' && t[k] <= u'9'; };
    if (i < size && (t[i] == u'-' || t[i] == u'+')) n.negativo = t[i++] == u'-';
    while (digito(i)) n.inteiro += t[i++];
    if (i < size && t[i] == u'.') {
        ++i;
        while (digito(i)) n.fracao += t[i++];
    }
    if (i < size && (t[i] == u'E' || t[i] == u'e' || t[i] == u'D' || t[i] == u'd')) {
        qsizetype k = i + 1;
        bool negExp = false;
        if (k < size && (t[k] == u'-' || t[k] == u'+')) negExp = t[k++] == u'-';
        if (digito(k)) {
            qint64 e = 0;
            while (digito(k)) {
                if (e < 100000) e = e * 10 + (t[k].unicode() - u'0');
                ++k;
            }
            n.temExpoente = true;
            n.expoente = int(negExp ? -e : e);
        }
    }
    return n;
}

QString semZerosAEsquerda(const QString& d) {
    qsizetype i = 0;
    while (i < d.size() && d[i] == u'0') ++i;
    return d.mid(i);
}

QString semZerosADireita(const QString& d) {
    qsizetype n = d.size();
    while (n > 0 && d[n - 1] == u'0') --n;
    return d.left(n);
}

double valorDouble(const Numero& n) {
    const QString texto = (n.negativo ? QStringLiteral("-") : QString()) +
                          (n.inteiro.isEmpty() ? QStringLiteral("0") : n.inteiro) +
                          QLatin1Char('.') + n.fracao + QLatin1Char('0') + QLatin1Char('e') +
                          QString::number(n.expoente);
    bool ok = false;
    const double v = texto.toDouble(&ok);
    return ok ? v : 0.0;
}

QString textoDouble(double v, char formato, int precisao) {
    if (!std::isfinite(v)) return QStringLiteral("0");
    QString s = QString::number(v, formato, precisao).toUpper();
    s.replace(QLatin1Char('.'), QLatin1Char(','));
    return s;
}

// "N": the numeric value, without leading zeros, with a comma before any fraction.
QString textoNumero(const QString& valor) {
    const Numero n = leNumero(valor);
    if (n.temExpoente) return textoDouble(valorDouble(n), 'g', 15);
    QString inteiro = semZerosAEsquerda(n.inteiro);
    const QString fracao = semZerosADireita(n.fracao);
    if (inteiro.isEmpty() && fracao.isEmpty()) return QStringLiteral("0");
    if (inteiro.isEmpty()) inteiro = QStringLiteral("0");
    QString r = n.negativo ? QStringLiteral("-") : QString();
    r += inteiro;
    if (!fracao.isEmpty()) r += QLatin1Char(',') + fracao;
    return r;
}

// Adds one to a string of decimal digits.
QString maisUm(QString digitos) {
    for (qsizetype i = digitos.size() - 1; i >= 0; --i) {
        if (digitos[i] != u'9') {
            digitos[i] = QChar(digitos[i].unicode() + 1);
            return digitos;
        }
        digitos[i] = u'0';
    }
    return QLatin1Char('1') + digitos;
}

// "M": cents shown as an amount with two decimals (rounded half away from zero).
QString textoValor(const QString& valor) {
    const Numero n = leNumero(valor);
    if (n.temExpoente) return textoDouble(valorDouble(n) / 100.0, 'f', 2);
    // Dividing by 100 moves the decimal point two digits to the left.
    QString digitos = semZerosAEsquerda(n.inteiro);
    if (digitos.size() < 3) digitos = digitos.rightJustified(3, QLatin1Char('0'));
    const QString fracaoExtra = n.fracao;
    // Digits kept: the integer part and two decimals; the first dropped digit rounds.
    if (!fracaoExtra.isEmpty() && fracaoExtra[0] >= u'5') digitos = maisUm(digitos);
    const QString inteiro = semZerosAEsquerda(digitos.left(digitos.size() - 2));
    const QString decimais = digitos.right(2);
    const bool zero = inteiro.isEmpty() && decimais == QLatin1String("00");
    QString r = (n.negativo && !zero) ? QStringLiteral("-") : QString();
    r += inteiro.isEmpty() ? QStringLiteral("0") : inteiro;
    r += QLatin1Char(',') + decimais;
    return r;
}

// "D": p1..p6 are the two-character pairs of the value.
QString textoData(const QString& linha) {
    const QString v = linha.mid(1);
    auto par = [&](int k) { return v.mid(2 * (k - 1), 2); };
    const QString data = par(3) + QLatin1Char('/') + par(2) + QLatin1Char('/') + par(1);
    if (linha.size() == 13)
        return par(4) + QLatin1Char(':') + par(5) + QLatin1Char(':') + par(6) + QLatin1Char(' ') +
               data;
    return data;
}

quint8 codigoAlinhamento(QChar tipo) {
    switch (tipo.unicode()) {
        case u'A':
        case u'D':
            return 1;
        case u'N':
        case u'M':
            return 2;
        default:
            return 0;
    }
}

// Reads the journal's items block by block into `out`; false (after the common error
// routine) on a failure that stops the load.
bool leBlocos(Context& ctx, SequentialItems& arquivo, JournalModel::Content& out) {
    const QString modo = QStringLiteral("D");
    auto le = [&]() { return GeraCriptografia(ctx, arquivo.next(), modo, 0); };

    // The row being filled: the header while no row has been completed, then each data row.
    bool cabecalho = true;
    QVector<QString> linhaAtual;
    QByteArray alinhamentoAtual;

    while (!arquivo.atEnd()) {
        QString linha = le();
        if (linha.left(3) == QLatin1String("000")) {
            // Title block: the title line (trimmed, without its first character), then one
            // line that is read and dropped.
            if (!arquivo.atEnd()) {
                out.subtitle = aparaBrancos(le()).mid(1);
                out.hasSubtitle = true;
            }
            if (!arquivo.atEnd()) le();
            continue;
        }

        // Table block: the opening line carries nothing, unless it is the file's last line.
        if (!arquivo.atEnd()) linha = le();
        qint32 contador = 0;
        if (!cabecalho) {
            if (qint64(out.rows + 1) * out.columns > kMaxCelulas) {
                MostraErro(ctx, kProcedimento, TextoErro(7));
                return false;
            }
            linhaAtual.fill(QString(), out.columns);
            alinhamentoAtual.fill('\0', out.columns);
        }
        while (!aparaBrancos(linha).isEmpty()) {
            if (contador == std::numeric_limits<qint16>::max()) {
                MostraErro(ctx, kProcedimento, TextoErro(6));
                return false;
            }
            ++contador;
            const QString valor = aparaBrancos(linha.mid(1));
            const QString texto =
                linha.startsWith(QLatin1Char('A')) ? valor : journalCellText(linha);
            const qsizetype largura = valor.size();
            if (cabecalho) {
                // The header row fixes the columns, one per cell line.
                out.columns = contador;
                out.headers.append(texto);
                out.hidden.append(texto == QLatin1String("0"));
                out.widths.append(int(largura));
            } else if (contador <= out.columns) {
                const int c = contador - 1;
                linhaAtual[c] = texto;
                alinhamentoAtual[c] = char(codigoAlinhamento(linha.isEmpty() ? QChar() : linha[0]));
                if (largura > out.widths[c]) out.widths[c] = int(largura);
            }
            if (arquivo.atEnd()) break;
            linha = le();
        }
        if (contador == 0) continue;
        if (cabecalho) {
            cabecalho = false;
        } else {
            for (const QString& t : std::as_const(linhaAtual)) {
                out.text += t;
                out.offsets.append(out.text.size());
            }
            out.alignment.append(alinhamentoAtual);
            ++out.rows;
        }
    }
    return true;
}

}  // namespace

QString journalCellText(const QString& line) {
    if (line.isEmpty()) return QString();
    switch (line[0].unicode()) {
        case u'A':
            return aparaBrancos(line.mid(1));
        case u'N':
            return textoNumero(line.mid(1));
        case u'M':
            return textoValor(line.mid(1));
        case u'D':
            return textoData(line);
        default:
            return QString();
    }
}

Qt::Alignment journalCellAlignment(QChar type) {
    switch (codigoAlinhamento(type)) {
        case 1:
            return Qt::AlignLeft;
        case 2:
            return Qt::AlignRight;
        default:
            return {};
    }
}

JournalModel::JournalModel(QObject* parent) : QAbstractTableModel(parent) {}

int JournalModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : content_.rows;
}

int JournalModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : content_.columns;
}

QVariant JournalModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= content_.rows || index.column() >= content_.columns)
        return {};
    const qsizetype k = qsizetype(index.row()) * content_.columns + index.column();
    switch (role) {
        case Qt::DisplayRole:
        case Qt::EditRole:
            return cell(k);
        case Qt::TextAlignmentRole:
            switch (content_.alignment[k]) {
                case 1:
                    return int(Qt::AlignLeft | Qt::AlignVCenter);
                case 2:
                    return int(Qt::AlignRight | Qt::AlignVCenter);
                default:
                    return {};
            }
        default:
            return {};
    }
}

QVariant JournalModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Vertical) {
        if (role == Qt::DisplayRole && section >= 0 && section < content_.rows) return section + 1;
        return {};
    }
    if (section < 0 || section >= content_.columns) return {};
    switch (role) {
        case Qt::DisplayRole:
            return content_.headers[section];
        case roles::ColumnHidden:
            return bool(content_.hidden[section]);
        case roles::ColumnWidthChars:
            return content_.widths[section];
        default:
            return {};
    }
}

QString JournalModel::text(int row, int column) const {
    if (row < 0 || column < 0 || row >= content_.rows || column >= content_.columns) return {};
    return cell(qsizetype(row) * content_.columns + column);
}

QString JournalModel::headerText(int column) const {
    return column >= 0 && column < content_.columns ? content_.headers[column] : QString();
}

bool JournalModel::isColumnHidden(int column) const {
    return column >= 0 && column < content_.columns && content_.hidden[column];
}

int JournalModel::columnWidth(int column) const {
    return column >= 0 && column < content_.columns ? content_.widths[column] : 0;
}

QString JournalModel::cell(qsizetype k) const {
    const qsizetype start = content_.offsets[k];
    return content_.text.mid(start, content_.offsets[k + 1] - start);
}

void JournalModel::clear() {
    setContent(Content());
}

void JournalModel::setContent(Content content) {
    beginResetModel();
    content_ = std::move(content);
    endResetModel();
}

bool loadJournalBody(Context& ctx, const QByteArray& bytes, JournalModel& grid,
                     QString* subtitulo) {
    grid.clear();
    JournalModel::Content content;
    try {
        content.text.reserve(bytes.size());
        SequentialItems arquivo(bytes);
        if (!leBlocos(ctx, arquivo, content)) return false;
    } catch (const std::bad_alloc&) {
        MostraErro(ctx, kProcedimento, TextoErro(7));
        return false;
    }
    if (content.hasSubtitle && subtitulo) *subtitulo = content.subtitle;
    const bool temLinhas = content.rows > 0;
    grid.setContent(std::move(content));
    if (!temLinhas) {
        ctx.caixas.inform(QStringLiteral("Não existem registros a serem exibidos!"), kTituloAtencao,
                          MessageBoxes::Icon::Information);
        return false;
    }
    return true;
}

bool CarregaGrid(Context& ctx, const QString& padrao, JournalModel& grid, QString* subtitulo) {
    grid.clear();
    const QString dir = ctx.config.PathServer;
    const QString encontrado = ProcuraArquivo(dir, padrao.trimmed());
    if (encontrado.isEmpty()) {
        ctx.caixas.inform(QStringLiteral("Não existem registros a serem exibidos! Arquivo ") +
                              padrao.trimmed() + QStringLiteral(" não foi encontrado."),
                          kTituloAtencao, MessageBoxes::Icon::Information);
        return false;
    }
    const QString caminho = joinPath(dir, QFileInfo(encontrado).fileName());
    QString checksum;
    // A file beyond the data-file size limit is damaged like one that fails its checksum, and
    // is not read at all.
    if (ArquivoGrandeDemais(caminho) || !Valida_Check_Sum_Arquivo(ctx, caminho, checksum)) {
        ctx.caixas.inform(QStringLiteral("Arquivo ") + caminho +
                              QStringLiteral(" corrompido ! Contatar o suporte !"),
                          kTituloAtencao, MessageBoxes::Icon::Critical);
        return false;
    }
    const auto bytes = readWholeFile(caminho);
    if (!bytes) {
        MostraErro(ctx, kProcedimento, TextoErroDetalhado(75, caminho));
        return false;
    }
    return loadJournalBody(ctx, *bytes, grid, subtitulo);
}

}  // namespace ql
