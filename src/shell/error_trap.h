#pragma once

#include <QString>

#include <exception>
#include <new>
#include <utility>

#include "shell/error_routine.h"

namespace ql {

struct Context;

// A run-time error raised inside a procedure and reported by its own error handler: the
// number and description the common error routine shows ("6 - Overflow").
struct RuntimeError : std::exception {
    RuntimeError(int n, QString d) : number(n), description(std::move(d)) {}
    const char* what() const noexcept override { return "run-time error"; }
    int number;
    QString description;
};

inline RuntimeError overflowError() {
    return RuntimeError(6, QStringLiteral("Overflow"));
}

// Runs body as one procedure: any error escaping it goes to the common error routine under the
// procedure's name, and the procedure returns fallback. Nothing escapes.
template <class R, class F>
R runTrapped(Context& ctx, const char* procedimento, R fallback, F&& body) noexcept {
    const QString name = QString::fromLatin1(procedimento);
    try {
        return std::forward<F>(body)();
    } catch (const RuntimeError& e) {
        MostraErro(ctx, name, TextoErro(e.number, e.description));
    } catch (const std::bad_alloc&) {
        MostraErro(ctx, name, TextoErro(7, QStringLiteral("Out of memory")));
    } catch (const std::exception& e) {
        MostraErro(ctx, name, TextoErro(51, QString::fromLocal8Bit(e.what())));
    } catch (...) {
        MostraErro(ctx, name, TextoErro(51, QStringLiteral("Internal error")));
    }
    return fallback;
}

}  // namespace ql
