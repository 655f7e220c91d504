// Arbitrary bytes as a settings file: every read the system makes must come back without harm,
// and a write must change the written key and nothing that other keys read.
#include <QByteArray>
#include <QString>

#include <cstdint>
#include <cstdlib>
#include <optional>
#include <utility>
#include <vector>

#include "shell/layouts.h"
#include "shell/profile_file.h"

namespace {

const std::pair<const char*, const char*> kReads[] = {
    {"CORE", "Path Server"},
    {"CORE", "Path CORE"},
    {"DADOS_GERAIS", "TipoLog"},
    {"DADOS_GERAIS", "TituloMensagem"},
    {"DADOS_GERAIS", "TimeOut_Login"},
    {"DADOS_GERAIS", "bMsgIso"},
    {"DADOS_GERAIS", "TIPOESTAB_Default"},
    {"DADOS_GERAIS", "Ultimo_Login"},
    {"CONFIG", "ESTAB_CODE"},
    {"CONFIG", "FILEAUX"},
    {"CONFIG", "LEITOR_TYPE"},
    {"CONFIG", "HOST_LINK"},
    {"FormInicial", "txtCartao"},
    {"FormLogin", "cmdOk_Caption"},
    {"a", "k"},
    {"", ""},
};

std::vector<std::optional<QString>> readAll(const ql::ProfileFile& file) {
    std::vector<std::optional<QString>> values;
    for (const auto& [section, key] : kReads) {
        values.push_back(file.find(QString::fromLatin1(section), QString::fromLatin1(key)));
        QString value;
        const bool ok = ql::readProfileString(file, QString::fromLatin1(section),
                                              QString::fromLatin1(key), QStringLiteral("d"), value);
        if (!ok || value.size() > ql::kProfileValueMax) std::abort();
    }
    return values;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const ql::ProfileFile original(bytes);
    const std::vector<std::optional<QString>> before = readAll(original);

    ql::LayoutTelas telas;
    ql::readLayouts(original, telas);

    const QString section = QStringLiteral("DADOS_GERAIS");
    const QString key = QStringLiteral("Ultimo_Login");
    const QString stamp = QStringLiteral("05/12/2026 10:00:00");
    ql::ProfileFile written(bytes);
    if (!written.setValue(section, key, stamp)) std::abort();
    if (written.find(section, key) != stamp) std::abort();
    // Reading the rewritten bytes afresh gives the same, and every other key reads as before.
    const ql::ProfileFile reread(written.bytes());
    const std::vector<std::optional<QString>> after = readAll(reread);
    for (std::size_t i = 0; i < before.size(); ++i) {
        const bool isWritten =
            section.compare(QString::fromLatin1(kReads[i].first), Qt::CaseInsensitive) == 0 &&
            key.compare(QString::fromLatin1(kReads[i].second), Qt::CaseInsensitive) == 0;
        if (isWritten ? after[i] != stamp : after[i] != before[i]) std::abort();
    }
    return 0;
}
