#pragma once

#include <QString>

#include <exception>
#include <new>
#include <utility>

#include "shell/error_routine.h"

namespace ql {

struct Context;

// A run-time error raised inside a procedure and reported by its own error handler under its
// number; the common error routine shows the number's one description ("6 - Estouro").
struct RuntimeError : std::exception {
    explicit RuntimeError(int n) : number(n) {}
    const char* what() const noexcept override { return "run-time error"; }
    int number;
};

inline RuntimeError overflowError() {
    return RuntimeError(6);
}

// Runs body as one procedure: any error escaping it goes to the common error routine under the
// procedure's name, and the procedure returns fallback. Nothing escapes.
template <class R, class F>
R runTrapped(Context& ctx, const char* procedimento, R fallback, F&& body) noexcept {
    const QString name = QString::fromLatin1(procedimento);
    try {
        return std::forward<F>(body)();
    } catch (const RuntimeError& e) {
        MostraErro(ctx, name, TextoErro(e.number));
    } catch (const std::bad_alloc&) {
        MostraErro(ctx, name, TextoErro(7));
    } catch (...) {
        MostraErro(ctx, name, TextoErro(51));
    }
    return fallback;
}

}  // namespace ql
