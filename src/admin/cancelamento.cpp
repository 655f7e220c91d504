#include "admin/cancelamento.h"

#include <array>
#include <cmath>
#include <optional>

#include "admin/journal_model.h"
#include "host/valores.h"
#include "sale/keys/key_codes.h"
#include "shell/context.h"
#include "shell/error_trap.h"

namespace ql {

namespace {

// Journal columns as the screens count them (1-based); the model counts from 0.
QString celula(const JournalModel& grade, int linha, int coluna) {
    return grade.text(linha, coluna - 1);
}

bool linhaValida(const JournalModel& grade, int linha) {
    return linha >= 0 && linha < grade.rowCount();
}

}  // namespace

QString SelecionaTransacaoPendente(Context& ctx, const JournalModel& grade, int linha) {
    if (!linhaValida(grade, linha)) return {};
    ctx.transacao.NsuTransacao = celula(grade, linha, 2);
    ctx.transacao.TipoTransacao = celula(grade, linha, 6);
    ctx.transacao.SituacaoTransacao = celula(grade, linha, 7);
    return celula(grade, linha, 1);
}

QString SelecionaTransacaoLote(Context& ctx, const JournalModel& grade, int linha) {
    if (!linhaValida(grade, linha)) return {};
    ctx.transacao.NsuTransacao = celula(grade, linha, 2);
    ctx.transacao.TipoTransacao = celula(grade, linha, 6);
    return celula(grade, linha, 1);
}

bool PermiteCancelamentoParcial(const QString& tipoTransacao) {
    const QString inicio = tipoTransacao.left(2);
    return inicio == QLatin1String("BC") || inicio == QLatin1String("BE");
}

TotaisLote SomaTotais(Context& ctx, const JournalModel& grade) {
    // Sums are kept in cents so that many rows never drift by a cent.
    std::array<qint64, 4> centavos{};
    runTrapped(ctx, "SomaTotais", 0, [&] {
        for (int linha = 0; linha < grade.rowCount(); ++linha) {
            for (int k = 0; k < 4; ++k) {
                const std::optional<double> valor = lerDecimal(celula(grade, linha, 10 + k));
                if (!valor) throw RuntimeError(13);
                const double emCentavos = std::round(*valor * 100.0);
                if (std::fabs(emCentavos) > 1e15) throw overflowError();
                centavos[k] += static_cast<qint64>(emCentavos);
            }
        }
        return 0;
    });
    auto texto = [&](int k) { return formataValor(static_cast<double>(centavos[k]) / 100.0); };
    return {texto(0), texto(1), texto(2), texto(3)};
}

QString TituloImpressaoLote(const RotulosTotais& rotulos, const TotaisLote& totais) {
    const QString separa = QStringLiteral("      ");
    return rotulos.liquidoVenda.trimmed() + QStringLiteral(" :        ") + totais.liquidoVenda +
           separa + rotulos.reposicao.trimmed() + QStringLiteral(" :        ") + totais.reposicao +
           separa + rotulos.debito.trimmed() + QStringLiteral(":        ") + totais.credito +
           separa + rotulos.credito.trimmed() + QStringLiteral(" :        ") + totais.debito;
}

QString ValidaCampoNsu(const QString& nsu, int tamanhoMinimo) {
    if (nsu.size() >= tamanhoMinimo) return {};
    return QStringLiteral("O campo NSU deve conter pelo menos ") + QString::number(tamanhoMinimo) +
           QStringLiteral(" caracteres.");
}

int TeclaCampoNsu(bool somenteNumeros, int tecla) {
    if (!somenteNumeros) return tecla;
    if (teclas::EhDigito(tecla) || tecla == ',' || tecla == teclas::Backspace ||
        tecla == teclas::Enter) {
        return tecla;
    }
    return teclas::Nenhuma;
}

QString TipoTransacaoCancelamento(bool comProdutos) {
    return comProdutos ? QStringLiteral("BE") : QStringLiteral("XX");
}

bool QuantidadeCancelamentoValida(const QString& digitada, const QString& quantidadeItem) {
    const qint64 quantidade = valorInteiro(digitada);
    return quantidade > 0 && quantidade <= valorInteiro(quantidadeItem);
}

QString QuantidadeProposta(const QString& celula) {
    return QString::number(valorInteiro(celula));
}

QString TextoNumeroAutorizacao(const QString& nsu) {
    if (nsu.trimmed().isEmpty() || valorInteiro(nsu) == 0) return {};
    return QStringLiteral("Número da autorização: ") + nsu;
}

bool InformaNumeroAutorizacao(Context& ctx) {
    const QString texto = TextoNumeroAutorizacao(ctx.transacao.NsuTransacao);
    if (texto.isEmpty()) return false;
    ctx.caixas.inform(texto, kTituloAtencao, MessageBoxes::Icon::Exclamation);
    return true;
}

QString TextoResultadoPendente(bool confirmacao, bool aceita) {
    if (confirmacao) {
        return aceita ? QStringLiteral("Confirmação efetuada com sucesso!")
                      : QStringLiteral("Confirmação não foi efetuada com sucesso!");
    }
    return aceita ? QStringLiteral("Anulação efetuada com sucesso!")
                  : QStringLiteral("Anulação não foi efetuada com sucesso!");
}

}  // namespace ql
