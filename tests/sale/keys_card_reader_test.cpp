#include <gtest/gtest.h>

#include "sale/keys/card_reader_keys.h"

namespace ql {
namespace {

using Modo = LeitorCartaoTeclado::Modo;

// Feeds a key sequence ("\r" = Enter) and returns where each confirmation happened ("." no,
// "C" confirm) so that a whole sequence reads as one string.
std::string confirma(LeitorCartaoTeclado& leitor, const std::string& teclas, Modo modo) {
    std::string marcas;
    for (char c : teclas) marcas += leitor.tecla(c, modo) ? 'C' : '.';
    return marcas;
}

TEST(LeitorCartaoTeclado, EnterSequences) {
    const struct {
        const char* nome;
        Modo modo;
        const char* teclas;
        const char* marcas;
    } casos[] = {
        {"typed card confirms on its Enter", Modo::Digitacao, "1234\r", "....C"},
        {"every typed Enter confirms", Modo::Digitacao, "\r\r\r", "CCC"},
        {"reader confirms on the second Enter", Modo::Leitura, ";123=4\r;99\r", "..........C"},
        {"count restarts after a confirmation", Modo::Leitura, "\r\r\r\r", ".C.C"},
        {"other keys do not count", Modo::Leitura, "\r12345\r", "......C"},
    };
    for (const auto& caso : casos) {
        SCOPED_TRACE(caso.nome);
        LeitorCartaoTeclado leitor;
        EXPECT_EQ(confirma(leitor, caso.teclas, caso.modo), caso.marcas);
    }
}

TEST(LeitorCartaoTeclado, ResetAndModeChange) {
    LeitorCartaoTeclado leitor;
    EXPECT_FALSE(leitor.tecla('\r', Modo::Leitura));
    EXPECT_EQ(leitor.entersContados(), 1);
    leitor.reinicia();
    EXPECT_FALSE(leitor.tecla('\r', Modo::Leitura)) << "a cleared screen starts counting again";
    // Switching to typing confirms at once and forgets the half-read card.
    EXPECT_TRUE(leitor.tecla('\r', Modo::Digitacao));
    EXPECT_EQ(leitor.entersContados(), 0);
    EXPECT_FALSE(leitor.tecla('\r', Modo::Leitura));
}

}  // namespace
}  // namespace ql
