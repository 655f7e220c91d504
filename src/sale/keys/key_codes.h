#pragma once

namespace ql {

// Character codes the key-by-key handlers receive, as a text box sees a typed key. A handler
// that returns 0 drops the key.
namespace teclas {
inline constexpr int Nenhuma = 0;
inline constexpr int Backspace = 8;
inline constexpr int Tab = 9;
inline constexpr int Enter = 13;
inline constexpr int Esc = 27;
inline constexpr int Apostrofo = 39;

inline constexpr bool EhDigito(int tecla) {
    return tecla >= '0' && tecla <= '9';
}
}  // namespace teclas

}  // namespace ql
