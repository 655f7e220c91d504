#include <gtest/gtest.h>

#include "sale/keys/text_keys.h"

namespace ql {
namespace {

TEST(TeclaTexto, FiltersTypedAndPastedText) {
    const struct {
        int tecla;
        int esperado;
    } teclasDigitadas[] = {
        {'a', 'A'},
        {'Z', 'Z'},
        {'5', '5'},
        {teclas::Apostrofo, 0},
        {teclas::Enter, teclas::Enter},
        {teclas::Backspace, teclas::Backspace},
        {0xE7, 0xC7},
    };
    EstadoCampo campo;
    for (const auto& caso : teclasDigitadas) {
        EXPECT_EQ(TeclaTexto(campo, caso.tecla).tecla, caso.esperado) << caso.tecla;
        EXPECT_EQ(TeclaTexto(campo, caso.tecla).tabs, 0);
    }
    EXPECT_EQ(FiltraTexto(QStringLiteral("d'agua ação")), QStringLiteral("DAGUA AÇÃO"));
    EXPECT_EQ(FiltraTexto(QStringLiteral("''")), QString());
    EXPECT_EQ(FiltraTexto(QStringLiteral("123-456")), QStringLiteral("123-456"));
}

}  // namespace
}  // namespace ql
