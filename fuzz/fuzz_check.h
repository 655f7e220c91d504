// What the fuzz targets share: a broken promise stops the run on the spot, so that libFuzzer
// keeps the input that broke it, and the raw input seen as the bytes the product reads.
#pragma once

#include <QByteArray>

#include <cstddef>
#include <cstdint>

namespace ql::fuzz {

inline void check(bool ok) {
    if (!ok) __builtin_trap();
}

inline QByteArray bytesOf(const uint8_t* data, size_t size) {
    return QByteArray(reinterpret_cast<const char*>(data), qsizetype(size));
}

}  // namespace ql::fuzz
