#include "ui/impressao.h"

#include <QAbstractItemModel>
#include <QDir>
#include <QFileInfo>
#include <QFontMetrics>
#include <QHeaderView>
#include <QPageLayout>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTableView>

#include <algorithm>
#include <memory>

#include "printer/impressora_recibo.h"
#include "shell/context.h"
#include "store/settlement.h"
#include "ui/busy_cursor.h"

namespace ql {
namespace {

constexpr char kPrefixoPdf[] = "pdf:";

// A name for the next PDF in `pasta` that no earlier job used: the document name and the
// clock's time, with a counter when two jobs fall in the same millisecond.
QString proximoArquivoPdf(const Context& ctx, const QString& pasta, const QString& documento) {
    QString base = documento.trimmed();
    for (QChar& c : base) {
        if (!c.isLetterOrNumber() && c != u'-' && c != u'_') c = u'_';
    }
    if (base.isEmpty()) base = QStringLiteral("impressao");
    base += ctx.relogio.now().toString(QStringLiteral("-yyyyMMdd-hhmmss-zzz"));
    QDir dir(pasta);
    QString nome = dir.filePath(base + QStringLiteral(".pdf"));
    for (int n = 2; QFileInfo::exists(nome); ++n) {
        nome = dir.filePath(base + QLatin1Char('-') + QString::number(n) + QStringLiteral(".pdf"));
    }
    return nome;
}

// The printer `destino` names (a system printer, "" for the default one, or "pdf:DIRECTORY"),
// ready for a job; nullptr with the reason otherwise.
std::unique_ptr<QPrinter> abreImpressora(Context& ctx, const QString& nomeDestino,
                                         const QString& documento,
                                         QPageLayout::Orientation orientacao, QString* erro) {
    auto falha = [&](const QString& motivo) -> std::unique_ptr<QPrinter> {
        if (erro) *erro = motivo;
        return nullptr;
    };
    const QString destino = nomeDestino.trimmed();
    auto impressora = std::make_unique<QPrinter>(QPrinter::HighResolution);
    if (destino.startsWith(QLatin1String(kPrefixoPdf), Qt::CaseInsensitive)) {
        QString pasta = destino.mid(int(qstrlen(kPrefixoPdf))).trimmed();
        if (pasta.isEmpty()) pasta = ctx.config.PathServer;
        pasta.replace(u'\\', u'/');
        if (!QDir().mkpath(pasta)) {
            return falha(QStringLiteral("Não foi possível criar a pasta de impressão %1.")
                             .arg(QDir::toNativeSeparators(pasta)));
        }
        impressora->setOutputFormat(QPrinter::PdfFormat);
        impressora->setOutputFileName(proximoArquivoPdf(ctx, pasta, documento));
    } else {
        const QPrinterInfo info =
            destino.isEmpty() ? QPrinterInfo::defaultPrinter() : QPrinterInfo::printerInfo(destino);
        if (info.isNull()) {
            return falha(destino.isEmpty()
                             ? QStringLiteral("Nenhuma impressora está instalada neste computador.")
                             : QStringLiteral("A impressora %1 não foi encontrada.").arg(destino));
        }
        impressora = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
    }
    impressora->setDocName(documento);
    impressora->setPageOrientation(orientacao);
    if (!impressora->isValid()) return falha(QStringLiteral("A impressora não está disponível."));
    return impressora;
}

bool terminaTrabalho(Context& ctx, QPainter& pintor, QPrinter& impressora, QString* erro) {
    if (!pintor.end()) {
        if (erro) *erro = QStringLiteral("A impressão não pôde ser concluída.");
        return false;
    }
    ctx.ultimoArquivoImpresso =
        impressora.outputFormat() == QPrinter::PdfFormat ? impressora.outputFileName() : QString();
    return true;
}

bool comecaTrabalho(QPainter& pintor, QPrinter& impressora, QString* erro) {
    if (pintor.begin(&impressora)) return true;
    if (erro) *erro = QStringLiteral("A impressora não aceitou o trabalho de impressão.");
    return false;
}

// vias copies of the lines in one job, each from the top of a new page.
bool imprimeLinhasEm(Context& ctx, const QString& destino, const QStringList& linhas,
                     const QString& documento, QString* erro, const QString& fonte,
                     int tamanhoFonte, int vias = 1) {
    auto impressora = abreImpressora(ctx, destino, documento, QPageLayout::Portrait, erro);
    if (!impressora) return false;
    QPainter pintor;
    if (!comecaTrabalho(pintor, *impressora, erro)) return false;

    QFont letra(fonte, tamanhoFonte);
    letra.setBold(false);
    letra.setStyleHint(QFont::TypeWriter);
    letra.setFixedPitch(true);
    pintor.setFont(letra);
    const QFontMetrics medidas(letra, impressora.get());
    const QRect area = impressora->pageLayout().paintRectPixels(impressora->resolution());
    const int altura = std::max(1, medidas.lineSpacing());
    const int porPagina = std::max(1, area.height() / altura);

    for (int via = 0; via < vias; ++via) {
        if (via > 0) impressora->newPage();
        int linhaNaPagina = 0;
        for (const QString& linha : linhas) {
            if (linhaNaPagina == porPagina) {
                impressora->newPage();
                linhaNaPagina = 0;
            }
            pintor.drawText(0, linhaNaPagina * altura + medidas.ascent(), linha);
            ++linhaNaPagina;
        }
    }
    return terminaTrabalho(ctx, pintor, *impressora, erro);
}

// Receipts on a system printer or in a PDF, in "Courier New" 8.
class ImpressoraReciboSistema final : public ImpressoraRecibo {
  public:
    ImpressoraReciboSistema(Context& ctx, QString destino, int vias)
        : ctx_(ctx), destino_(std::move(destino)), vias_(vias) {}
    ResultadoImpressao imprime(const QStringList& linhas) override {
        ResultadoImpressao r;
        r.ok = imprimeLinhasEm(ctx_, destino_, linhas, QStringLiteral("Recibo"), &r.erro,
                               QStringLiteral("Courier New"), 8, vias_);
        return r;
    }

  private:
    Context& ctx_;
    QString destino_;
    int vias_;
};

// A destination that cannot print: the setting is wrong.
class ImpressoraInvalida final : public ImpressoraRecibo {
  public:
    explicit ImpressoraInvalida(QString erro) : erro_(std::move(erro)) {}
    ResultadoImpressao imprime(const QStringList&) override { return {false, erro_}; }

  private:
    QString erro_;
};

}  // namespace

bool ImprimeLinhas(Context& ctx, const QStringList& linhas, const QString& documento, QString* erro,
                   const QString& fonte, int tamanhoFonte) {
    return imprimeLinhasEm(ctx, ctx.config.PRINTER, linhas, documento, erro, fonte, tamanhoFonte);
}

std::unique_ptr<ImpressoraRecibo> ObtemImpressoraRecibo(Context& ctx) {
    const DestinoRecibo destino = DestinoReciboConfigurado(ctx.config);
    const int vias = ctx.config.RECEIPT_COPIES;
    if (destino.escpos())
        return CriaImpressoraEscPos(destino, ctx.config.RECEIPT_COLUMNS, kTempoLimiteImpressoraMs,
                                    vias);
    if (destino.tipo == DestinoRecibo::Tipo::Invalido) {
        return std::make_unique<ImpressoraInvalida>(destino.erro);
    }
    return std::make_unique<ImpressoraReciboSistema>(ctx, destino.nome, vias);
}

void ReimprimeComprovante(Context& ctx) {
    const QStringList linhas = LinhasSegundaVia(ctx);
    if (linhas.isEmpty()) {
        ctx.caixas.inform(QStringLiteral("Não há comprovante de venda aprovada para reimprimir."),
                          kTituloAtencao, MessageBoxes::Icon::Exclamation);
        return;
    }
    BusyCursor ocupado;
    const ResultadoImpressao r = ObtemImpressoraRecibo(ctx)->imprime(linhas);
    ocupado.release();
    if (!r.ok) {
        ctx.caixas.inform(QStringLiteral("Não foi possível imprimir o comprovante.\n") + r.erro,
                          kTituloAtencao, MessageBoxes::Icon::Exclamation);
    }
}

bool ImprimeGrade(Context& ctx, const QTableView& grade, const QString& titulo,
                  const QString& documento, QString* erro) {
    const QAbstractItemModel* modelo = grade.model();
    if (!modelo) {
        if (erro) *erro = QStringLiteral("Não há dados para imprimir.");
        return false;
    }
    auto impressora =
        abreImpressora(ctx, ctx.config.PRINTER, documento, QPageLayout::Landscape, erro);
    if (!impressora) return false;
    QPainter pintor;
    if (!comecaTrabalho(pintor, *impressora, erro)) return false;

    // The visible columns, with the widths they have on screen scaled to the page.
    QVector<int> colunas;
    QVector<double> larguras;
    double total = 0;
    for (int c = 0; c < modelo->columnCount(); ++c) {
        if (grade.isColumnHidden(c)) continue;
        colunas << c;
        const double w = std::max(grade.columnWidth(c), 20);
        larguras << w;
        total += w;
    }
    const QRect area = impressora->pageLayout().paintRectPixels(impressora->resolution());
    const double escala = total > 0 ? area.width() / total : 1.0;

    QFont letra = grade.font();
    letra.setPointSizeF(std::max(6.0, letra.pointSizeF() > 0 ? letra.pointSizeF() * 0.9 : 7.0));
    QFont negrito = letra;
    negrito.setBold(true);
    const QFontMetrics medidas(letra, impressora.get());
    const int altura = medidas.lineSpacing() + medidas.lineSpacing() / 3;
    const int margem = medidas.averageCharWidth() / 2;

    int y = 0;
    auto cabecalho = [&] {
        pintor.setFont(negrito);
        pintor.drawText(QRect(0, 0, area.width(), altura), Qt::AlignLeft | Qt::AlignVCenter,
                        titulo);
        y = altura * 3 / 2;
        double x = 0;
        for (int i = 0; i < colunas.size(); ++i) {
            const double w = larguras[i] * escala;
            const QRectF celula(x + margem, y, w - 2 * margem, altura);
            const QString texto =
                modelo->headerData(colunas[i], Qt::Horizontal, Qt::DisplayRole).toString();
            pintor.drawText(celula, Qt::AlignLeft | Qt::AlignVCenter,
                            medidas.elidedText(texto, Qt::ElideRight, int(celula.width())));
            x += w;
        }
        y += altura;
        pintor.drawLine(0, y, area.width(), y);
        pintor.setFont(letra);
    };

    cabecalho();
    for (int r = 0; r < modelo->rowCount(); ++r) {
        if (y + altura > area.height()) {
            impressora->newPage();
            cabecalho();
        }
        double x = 0;
        for (int i = 0; i < colunas.size(); ++i) {
            const double w = larguras[i] * escala;
            const QModelIndex indice = modelo->index(r, colunas[i]);
            const QVariant alinhamento = modelo->data(indice, Qt::TextAlignmentRole);
            const int flags =
                (alinhamento.isValid() ? alinhamento.toInt() & Qt::AlignHorizontal_Mask
                                       : int(Qt::AlignLeft)) |
                Qt::AlignVCenter;
            const QRectF celula(x + margem, y, w - 2 * margem, altura);
            const QString texto = modelo->data(indice, Qt::DisplayRole).toString();
            pintor.drawText(celula, flags,
                            medidas.elidedText(texto, Qt::ElideRight, int(celula.width())));
            x += w;
        }
        y += altura;
    }
    return terminaTrabalho(ctx, pintor, *impressora, erro);
}

QString UltimoArquivoImpresso(const Context& ctx) {
    return ctx.ultimoArquivoImpresso;
}

}  // namespace ql
