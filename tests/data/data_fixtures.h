#pragma once

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>

#include "data/checksum.h"
#include "support/test_context.h"

namespace ql::test {

// Writes raw bytes into the data folder under `prefixo` + the checksum of those bytes, as
// the store's tools name their files; returns the full path.
inline QString gravaComChecksum(const TestContext& tc, const QString& prefixo,
                                const QByteArray& bytes) {
    qint32 soma = 0, posicao = 1;
    for (const QByteArray& linha : LinhasDoArquivo(bytes))
        if (!AcumulaCheckSum(QByteArrayView(linha), soma, posicao)) break;
    const QString caminho = tc.path(prefixo + TextoChecksum(soma));
    QFile f(caminho);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate)) f.write(bytes);
    return caminho;
}

// Names of the files in the data folder matching a pattern such as "UP.S??".
inline QStringList arquivosDados(const TestContext& tc, const QString& padrao) {
    return QDir(tc.dir.path()).entryList({padrao}, QDir::Files, QDir::Name);
}

// Exactly one message since the last clear(), with this text, title and icon; then clears.
inline ::testing::AssertionResult umaCaixa(TestContext& tc, const QString& texto,
                                           const QString& titulo, MessageBoxes::Icon icone) {
    const auto& s = tc.boxes.shown();
    const bool ok =
        s.size() == 1 && s[0].text == texto && s[0].title == titulo && s[0].icon == icone;
    const QString vistas =
        tc.boxes.texts().join(" | ") + (s.empty() ? QString() : " / title " + s[0].title);
    tc.boxes.clear();
    if (ok) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "shown: " << vistas.toStdString();
}

}  // namespace ql::test
