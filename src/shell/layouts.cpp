#include "shell/layouts.h"

#include "shell/context.h"
#include "shell/error_trap.h"
#include "shell/ini_access.h"
#include "shell/numeric_text.h"
#include "shell/profile_file.h"

namespace ql {
namespace {

constexpr qsizetype kGroupWidth = 35;

// The 35-character group of establishment type 1..3 (shorter when the value ends early).
QString group(const QString& value, int tipo) {
    return value.mid(kGroupWidth * (tipo - 1), kGroupWidth);
}

QString caption(const QString& group, qsizetype width) {
    return group.mid(5, kLayoutCaptionWidth).left(width).trimmed();
}

// A number written in two positions of a group (blank = 0).
qint16 twoDigits(const QString& group, qsizetype from) {
    return toInt16(leadingNumber(group.mid(from, 2))).value_or(0);
}

// The keys of one screen's section, read from the already loaded QlnClient.ini into the
// screen's three entries. A key that is missing or empty leaves its slots untouched.
template <class Entry>
class ScreenReader {
  public:
    ScreenReader(const ProfileFile& file, PorTipo<Entry>& record, const char* section)
        : file_(file), record_(record), section_(QString::fromLatin1(section)) {}

    void le(const char* key, CommandSlot Entry::*slot) {
        forEachGroup(
            key,
            [&](CommandSlot& s, const QString& g) {
                if (g.startsWith(u'Y')) s.enabled = true;
                s.caption = caption(g, kLayoutCaptionWidth);
            },
            slot);
    }

    void le(const char* key, LabelSlot Entry::*slot) {
        forEachGroup(
            key,
            [&](LabelSlot& s, const QString& g) { s.caption = caption(g, kLayoutCaptionWidth); },
            slot);
    }

    void le(const char* key, ShortLabelSlot Entry::*slot) {
        forEachGroup(
            key,
            [&](ShortLabelSlot& s, const QString& g) {
                s.caption = caption(g, kLayoutFieldCaptionWidth);
            },
            slot);
    }

    void le(const char* key, InputFieldSlot Entry::*slot) {
        forEachGroup(
            key,
            [&](InputFieldSlot& s, const QString& g) {
                s.kind = g.isEmpty() ? QChar(u' ') : g.front();
                s.minLength = twoDigits(g, 1);
                s.maxLength = twoDigits(g, 3);
                s.caption = caption(g, kLayoutFieldCaptionWidth);
            },
            slot);
    }

    void le(const char* key, LabelWithKindSlot Entry::*slot) {
        forEachGroup(
            key,
            [&](LabelWithKindSlot& s, const QString& g) {
                s.kind = g.isEmpty() ? QChar(u' ') : g.front();
                s.caption = caption(g, kLayoutCaptionWidth);
            },
            slot);
    }

    void le(const char* key, LabelWithTextSlot Entry::*slot) {
        forEachGroup(
            key,
            [&](LabelWithTextSlot& s, const QString& g) {
                s.secondText = g.mid(3, 2);
                s.caption = caption(g, kLayoutCaptionWidth);
            },
            slot);
    }

    // One character per type at positions 1, 2 and 3 of the value; "Y" sets the flag.
    void le(const char* key, bool Entry::*slot) {
        QString value;
        if (!read(key, value)) return;
        for (int tipo = 1; tipo <= 3; ++tipo) {
            if (value.mid(tipo - 1, 1) == u"Y") record_[tipo].*slot = true;
        }
    }

    // The first character of each type's group, kept as written.
    void le(const char* key, QChar Entry::*slot) {
        forEachGroup(
            key, [&](QChar& c, const QString& g) { c = g.isEmpty() ? QChar(u' ') : g.front(); },
            slot);
    }

  private:
    bool read(const char* key, QString& value) const {
        return readProfileString(file_, section_, QString::fromLatin1(key), QString(), value);
    }

    template <class Slot, class Fill>
    void forEachGroup(const char* key, Fill fill, Slot Entry::*slot) {
        QString value;
        if (!read(key, value)) return;
        for (int tipo = 1; tipo <= 3; ++tipo) fill(record_[tipo].*slot, group(value, tipo));
    }

    const ProfileFile& file_;
    PorTipo<Entry>& record_;
    QString section_;
};

// Reads one key of a section into its slot of the screen's three entries.
template <auto tela, auto slot>
void leChave(const ProfileFile& file, LayoutTelas& telas, const char* secao, const char* chave) {
    ScreenReader leitor(file, telas.*tela, secao);
    leitor.le(chave, slot);
}

struct Chave {
    const char* secao;
    const char* nome;
    void (*le)(const ProfileFile&, LayoutTelas&, const char* secao, const char* chave);
};

// Every key of every section, in the order they are read. A key is named after the slot it
// fills, whose type says how its value is read.
// clang-format off
#define QL_CHAVE(tela, slot) Chave{#tela, #slot, &leChave<&LayoutTelas::tela, &Layout##tela::slot>}
const Chave kChaves[] = {
    QL_CHAVE(FormPrincipal, mnuImprimir_Caption),
    QL_CHAVE(FormPrincipal, cmdSair_Caption),
    QL_CHAVE(FormConsulta, cmdConfirmaTrans_Caption),
    QL_CHAVE(FormConsulta, cmdAnulaTrans_Caption),
    QL_CHAVE(FormLogin, txtUserName),
    QL_CHAVE(FormLogin, txtPassword),
    QL_CHAVE(FormLogin, cmdOk_Caption),
    QL_CHAVE(FormLogin, cmdCancel_Caption),
    QL_CHAVE(FormNovaSenha, txtNovaSenha),
    QL_CHAVE(FormNovaSenha, txtNovaSenha2),
    QL_CHAVE(FormNovaSenha, cmdOk_Caption),
    QL_CHAVE(FormNovaSenha, cmdCancel_Caption),
    QL_CHAVE(FormComplementar, lblUsuario),
    QL_CHAVE(FormComplementar, lblCodigoEstab),
    QL_CHAVE(FormComplementar, lblNomeEstab),
    QL_CHAVE(FormComplementar, lblNomeRede),
    QL_CHAVE(FormComplementar, lblTransacoesPendentes),
    QL_CHAVE(FormComplementar, lblUltimoLote),
    QL_CHAVE(FormComplementar, lblFraIdentificacao),
    QL_CHAVE(FormComplementar, lblAdmistradora),
    QL_CHAVE(FormComplementar, CmdLogin_Caption),
    QL_CHAVE(FormComplementar, CmdAlterarSenha_Caption),
    QL_CHAVE(FormComplementar, CmdResumo_Caption),
    QL_CHAVE(FormComplementar, CmdCanceltotal_Caption),
    QL_CHAVE(FormComplementar, CmdPendentes_Caption),
    QL_CHAVE(FormComplementar, CmdLogon_Caption),
    QL_CHAVE(FormComplementar, CmdCadastro_Caption),
    QL_CHAVE(FormResumo, lblLotesDias),
    QL_CHAVE(FormResumo, cmdTransacoesLote_caption),
    QL_CHAVE(FormResumo, cmdProdutosLote_caption),
    QL_CHAVE(FormResumoProdutos, cmdCancelaItem_Caption),
    QL_CHAVE(FormNsu, lblLote),
    QL_CHAVE(FormNsu, lblTotValorLiqVda),
    QL_CHAVE(FormNsu, lblTotValorRepos),
    QL_CHAVE(FormNsu, lblTotValorCredito),
    QL_CHAVE(FormNsu, lblTotValorDebito),
    QL_CHAVE(FormNsu, CmdCanceltotal_Caption),
    QL_CHAVE(FormNsu, cmdCancelParcial_Caption),
    QL_CHAVE(FormPreVenda, lblUsuario),
    QL_CHAVE(FormPreVenda, lblTotVen),
    QL_CHAVE(FormPreVenda, lblTotCred),
    QL_CHAVE(FormPreVenda, lblTotBen),
    QL_CHAVE(FormPreVenda, lblnsu),
    QL_CHAVE(FormPreVenda, cmdAdicionaProduto_Caption),
    QL_CHAVE(FormPreVenda, cmdConfirma_Caption),
    QL_CHAVE(FormPreVenda, cmdExcluir_Caption),
    QL_CHAVE(FormPreVenda, cmdEditar_Caption),
    QL_CHAVE(FormInicial, txtCartao),
    QL_CHAVE(FormInicial, BtnPreVenda),
    QL_CHAVE(FormInicial, cmdVenda),
    QL_CHAVE(FormInicial, cmdAdmin),
    QL_CHAVE(FormInicial, CmdConfirmaOper_Caption),
    QL_CHAVE(FormInicial, CmdConfirmaCartao_Caption),
    QL_CHAVE(FormInicial, BtnPreVenda_Caption),
    QL_CHAVE(FormInicial, CmdVenda_Caption),
    QL_CHAVE(FormInicial, CmdAdmin_Caption),
    QL_CHAVE(FormInicial, CmdLimpa_Caption),
    QL_CHAVE(FormInicial, fraSelecionaTipoEstab_Caption),
    QL_CHAVE(FormInicial, fraIdentifica_Caption),
    QL_CHAVE(FormInicial, optSelecaoEstab),
    QL_CHAVE(FormInicial, optSelecaoRede),
    QL_CHAVE(FormInicial, optSelecaoDistribuidor),
    QL_CHAVE(FormInicial, optLeitura),
    QL_CHAVE(FormInicial, optDigitacao),
    QL_CHAVE(FormImpressao, lstImpressaoProdutos),
    QL_CHAVE(FormImpressao, cmdAnula_Caption),
    QL_CHAVE(FormImpressao, CmdConfirma_Caption),
    QL_CHAVE(FormImpressao, cmdImprimir_Caption),
    QL_CHAVE(FormCadastro, fraSelecao),
    QL_CHAVE(FormCadastro, lblAdministradora),
    QL_CHAVE(FormCadastro, lblDistribuidora),
    QL_CHAVE(FormCadastro, cmdConfirma),
    QL_CHAVE(FormCancela, lblNSU),
    QL_CHAVE(FormCancela, cmdOk),
    QL_CHAVE(FormCancela, cmdCancel),
    QL_CHAVE(FormSelecaoProduto, lblDescr_Produto),
    QL_CHAVE(FormSelecaoProduto, lblFabricante),
    QL_CHAVE(FormSelecaoProduto, lblQtd_Canc),
    QL_CHAVE(FormSelecaoProduto, lblValDescPrd),
    QL_CHAVE(FormSelecaoProduto, lblEmbalagem),
    QL_CHAVE(FormSelecaoProduto, lblValBrtPrd),
    QL_CHAVE(FormSelecaoProduto, lblValLiqPrd),
    QL_CHAVE(FormSelecaoProduto, lblValCredPrd),
    QL_CHAVE(FormSelecaoProduto, cmdOk_Caption),
    QL_CHAVE(FormSelecaoProduto, cmdCancel_Caption),
    QL_CHAVE(frmCancelaProdutos, lblProduto),
    QL_CHAVE(frmCancelaProdutos, lblQtd),
    QL_CHAVE(frmCancelaProdutos, cmdOk_Caption),
    QL_CHAVE(frmCancelaProdutos, cmdCancel_Caption),
    QL_CHAVE(FormConsultaProdutos, lblProduto),
    QL_CHAVE(FormConsultaProdutos, CmdPesquisa_Caption),
    QL_CHAVE(FormConsultaProdutos, CmdConfirma_Caption),
    QL_CHAVE(FormConsultaProdutos, CmdRetorna_Caption),
};
// clang-format on
#undef QL_CHAVE

}  // namespace

void readLayouts(const ProfileFile& f, LayoutTelas& t) {
    for (const Chave& chave : kChaves) chave.le(f, t, chave.secao, chave.nome);
}

qint16 LabelWithTextSlot::secondNumber() const {
    return toInt16(leadingNumber(secondText)).value_or(0);
}

void MontaTela(Context& ctx) {
    runTrapped(ctx, "MontaTela", 0, [&] {
        const ProfileFile file =
            ProfileFile::load(CaminhoArquivoIni(ctx, CaminhoQlnClientIni(ctx)));
        readLayouts(file, ctx.telas);

        QString leitor;
        if (LeLinhaArquivoIni(ctx, QStringLiteral("CONFIG"), QStringLiteral("LEITOR_TYPE"),
                              QString(), leitor, CaminhoCoreIniCore(ctx))) {
            std::optional<qint16> n = toInt16(leadingNumber(leitor));
            if (!n) throw overflowError();
            ctx.config.LEITOR_TYPE = *n;
        }
        return 0;
    });
}

}  // namespace ql
