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

    void command(const char* key, CommandSlot Entry::*slot) {
        forEachGroup(
            key,
            [&](CommandSlot& s, const QString& g) {
                if (g.startsWith(u'Y')) s.enabled = true;
                s.caption = caption(g, kLayoutCaptionWidth);
            },
            slot);
    }

    void label(const char* key, LabelSlot Entry::*slot) {
        forEachGroup(
            key,
            [&](LabelSlot& s, const QString& g) { s.caption = caption(g, kLayoutCaptionWidth); },
            slot);
    }

    void input(const char* key, InputFieldSlot Entry::*slot) {
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

    void labelWithText(const char* key, LabelWithTextSlot Entry::*slot) {
        forEachGroup(
            key,
            [&](LabelWithTextSlot& s, const QString& g) {
                s.secondText = g.mid(3, 2);
                s.caption = caption(g, kLayoutCaptionWidth);
            },
            slot);
    }

    // One character per type at positions 1, 2 and 3 of the value; "Y" sets the flag.
    void flagPerType(const char* key, bool Entry::*slot) {
        QString value;
        if (!read(key, value)) return;
        for (int tipo = 1; tipo <= 3; ++tipo) {
            if (value.mid(tipo - 1, 1) == u"Y") record_[tipo].*slot = true;
        }
    }

    // The first character of each type's group, kept as written.
    void characterPerGroup(const char* key, QChar Entry::*slot) {
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

template <class Entry>
ScreenReader<Entry> screen(const ProfileFile& file, PorTipo<Entry>& record, const char* name) {
    return ScreenReader<Entry>(file, record, name);
}

}  // namespace

void readLayouts(const ProfileFile& f, LayoutTelas& t) {
    {
        using E = LayoutFormPrincipal;
        auto s = screen(f, t.FormPrincipal, "FormPrincipal");
        s.command("mnuImprimir_Caption", &E::mnuImprimir_Caption);
        s.command("cmdSair_Caption", &E::cmdSair_Caption);
    }
    {
        using E = LayoutFormConsulta;
        auto s = screen(f, t.FormConsulta, "FormConsulta");
        s.command("cmdConfirmaTrans_Caption", &E::cmdConfirmaTrans_Caption);
        s.command("cmdAnulaTrans_Caption", &E::cmdAnulaTrans_Caption);
    }
    {
        using E = LayoutFormLogin;
        auto s = screen(f, t.FormLogin, "FormLogin");
        s.input("txtUserName", &E::txtUserName);
        s.input("txtPassword", &E::txtPassword);
        s.command("cmdOk_Caption", &E::cmdOk_Caption);
        s.command("cmdCancel_Caption", &E::cmdCancel_Caption);
    }
    {
        using E = LayoutFormNovaSenha;
        auto s = screen(f, t.FormNovaSenha, "FormNovaSenha");
        s.input("txtNovaSenha", &E::txtNovaSenha);
        s.input("txtNovaSenha2", &E::txtNovaSenha2);
        s.command("cmdOk_Caption", &E::cmdOk_Caption);
        s.command("cmdCancel_Caption", &E::cmdCancel_Caption);
    }
    {
        using E = LayoutFormComplementar;
        auto s = screen(f, t.FormComplementar, "FormComplementar");
        s.label("lblUsuario", &E::lblUsuario);
        s.label("lblCodigoEstab", &E::lblCodigoEstab);
        s.label("lblNomeEstab", &E::lblNomeEstab);
        s.label("lblNomeRede", &E::lblNomeRede);
        s.label("lblTransacoesPendentes", &E::lblTransacoesPendentes);
        s.label("lblUltimoLote", &E::lblUltimoLote);
        s.label("lblFraIdentificacao", &E::lblFraIdentificacao);
        s.label("lblAdmistradora", &E::lblAdmistradora);
        s.label("CmdLogin_Caption", &E::CmdLogin_Caption);
        s.label("CmdAlterarSenha_Caption", &E::CmdAlterarSenha_Caption);
        s.label("CmdResumo_Caption", &E::CmdResumo_Caption);
        s.label("CmdCanceltotal_Caption", &E::CmdCanceltotal_Caption);
        s.label("CmdPendentes_Caption", &E::CmdPendentes_Caption);
        s.label("CmdLogon_Caption", &E::CmdLogon_Caption);
        s.label("CmdCadastro_Caption", &E::CmdCadastro_Caption);
    }
    {
        using E = LayoutFormResumo;
        auto s = screen(f, t.FormResumo, "FormResumo");
        s.label("lblLotesDias", &E::lblLotesDias);
        s.command("cmdTransacoesLote_caption", &E::cmdTransacoesLote_caption);
        s.command("cmdProdutosLote_caption", &E::cmdProdutosLote_caption);
    }
    {
        using E = LayoutFormResumoProdutos;
        auto s = screen(f, t.FormResumoProdutos, "FormResumoProdutos");
        s.command("cmdCancelaItem_Caption", &E::cmdCancelaItem_Caption);
    }
    {
        using E = LayoutFormNsu;
        auto s = screen(f, t.FormNsu, "FormNsu");
        s.label("lblLote", &E::lblLote);
        s.label("lblTotValorLiqVda", &E::lblTotValorLiqVda);
        s.label("lblTotValorRepos", &E::lblTotValorRepos);
        s.label("lblTotValorCredito", &E::lblTotValorCredito);
        s.label("lblTotValorDebito", &E::lblTotValorDebito);
        s.command("CmdCanceltotal_Caption", &E::CmdCanceltotal_Caption);
        s.command("cmdCancelParcial_Caption", &E::cmdCancelParcial_Caption);
    }
    {
        using E = LayoutFormPreVenda;
        auto s = screen(f, t.FormPreVenda, "FormPreVenda");
        s.input("lblUsuario", &E::lblUsuario);
        s.label("lblTotVen", &E::lblTotVen);
        s.label("lblTotCred", &E::lblTotCred);
        s.label("lblTotBen", &E::lblTotBen);
        s.label("lblnsu", &E::lblnsu);
        s.command("cmdAdicionaProduto_Caption", &E::cmdAdicionaProduto_Caption);
        s.command("cmdConfirma_Caption", &E::cmdConfirma_Caption);
        s.command("cmdExcluir_Caption", &E::cmdExcluir_Caption);
        s.command("cmdEditar_Caption", &E::cmdEditar_Caption);
    }
    {
        using E = LayoutFormInicial;
        auto s = screen(f, t.FormInicial, "FormInicial");
        s.input("txtCartao", &E::txtCartao);
        s.flagPerType("BtnPreVenda", &E::BtnPreVenda);
        s.flagPerType("cmdVenda", &E::cmdVenda);
        s.flagPerType("cmdAdmin", &E::cmdAdmin);
        s.label("CmdConfirmaOper_Caption", &E::CmdConfirmaOper_Caption);
        s.label("CmdConfirmaCartao_Caption", &E::CmdConfirmaCartao_Caption);
        s.label("BtnPreVenda_Caption", &E::BtnPreVenda_Caption);
        s.label("CmdVenda_Caption", &E::CmdVenda_Caption);
        s.label("CmdAdmin_Caption", &E::CmdAdmin_Caption);
        s.label("CmdLimpa_Caption", &E::CmdLimpa_Caption);
        s.label("fraSelecionaTipoEstab_Caption", &E::fraSelecionaTipoEstab_Caption);
        s.label("fraIdentifica_Caption", &E::fraIdentifica_Caption);
        s.command("optSelecaoEstab", &E::optSelecaoEstab);
        s.command("optSelecaoRede", &E::optSelecaoRede);
        s.command("optSelecaoDistribuidor", &E::optSelecaoDistribuidor);
        s.command("optLeitura", &E::optLeitura);
        s.command("optDigitacao", &E::optDigitacao);
    }
    {
        using E = LayoutFormImpressao;
        auto s = screen(f, t.FormImpressao, "FormImpressao");
        s.characterPerGroup("lstImpressaoProdutos", &E::lstImpressaoProdutos);
        s.command("cmdAnula_Caption", &E::cmdAnula_Caption);
        s.command("CmdConfirma_Caption", &E::CmdConfirma_Caption);
        s.command("cmdImprimir_Caption", &E::cmdImprimir_Caption);
    }
    {
        using E = LayoutFormCadastro;
        auto s = screen(f, t.FormCadastro, "FormCadastro");
        s.label("fraSelecao", &E::fraSelecao);
        s.label("lblAdministradora", &E::lblAdministradora);
        s.label("lblDistribuidora", &E::lblDistribuidora);
        s.command("cmdConfirma", &E::cmdConfirma);
    }
    {
        using E = LayoutFormCancela;
        auto s = screen(f, t.FormCancela, "FormCancela");
        s.input("lblNSU", &E::lblNSU);
        s.command("cmdOk", &E::cmdOk);
        s.command("cmdCancel", &E::cmdCancel);
    }
    {
        using E = LayoutFormSelecaoProduto;
        auto s = screen(f, t.FormSelecaoProduto, "FormSelecaoProduto");
        s.label("lblDescr_Produto", &E::lblDescr_Produto);
        s.label("lblFabricante", &E::lblFabricante);
        s.labelWithText("lblQtd_Canc", &E::lblQtd_Canc);
        s.label("lblValDescPrd", &E::lblValDescPrd);
        s.label("lblEmbalagem", &E::lblEmbalagem);
        s.label("lblValBrtPrd", &E::lblValBrtPrd);
        s.label("lblValLiqPrd", &E::lblValLiqPrd);
        s.label("lblValCredPrd", &E::lblValCredPrd);
        s.command("cmdOk_Caption", &E::cmdOk_Caption);
        s.command("cmdCancel_Caption", &E::cmdCancel_Caption);
    }
    {
        using E = LayoutfrmCancelaProdutos;
        auto s = screen(f, t.frmCancelaProdutos, "frmCancelaProdutos");
        s.label("lblProduto", &E::lblProduto);
        s.label("lblQtd", &E::lblQtd);
        s.command("cmdOk_Caption", &E::cmdOk_Caption);
        s.command("cmdCancel_Caption", &E::cmdCancel_Caption);
    }
    {
        using E = LayoutFormConsultaProdutos;
        auto s = screen(f, t.FormConsultaProdutos, "FormConsultaProdutos");
        s.label("lblProduto", &E::lblProduto);
        s.command("CmdPesquisa_Caption", &E::CmdPesquisa_Caption);
        s.command("CmdConfirma_Caption", &E::CmdConfirma_Caption);
        s.command("CmdRetorna_Caption", &E::CmdRetorna_Caption);
    }
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
