#pragma once

#include <QDateTime>
#include <QFile>
#include <QTemporaryDir>

#include "shell/context.h"
#include "shell/text_files.h"
#include "support/qstring_printer.h"
#include "support/recording_message_boxes.h"

namespace ql::test {

// A fresh process state for one test: recording message boxes, a clock fixed at
// 05/12/2026 10:00:00 and a temporary data folder used as Path Server and Path CORE.
// Error boxes are on (TipoLog "M") and titled "ATENÇÃO" as the defaults say.
struct TestContext {
    RecordingMessageBoxes boxes;
    FixedClock clock{QDateTime(QDate(2026, 12, 5), QTime(10, 0, 0))};
    QTemporaryDir dir;
    Context ctx{boxes, clock};

    TestContext() {
        ctx.programDir = dir.path();
        // Never the machine's own settings: an installed client's file stays out of the tests.
        ctx.systemSettingsDir = dir.filePath(QStringLiteral("sistema"));
        ctx.config.PathServer = dir.path();
        ctx.config.PathCORE = dir.path();
        ctx.config.TipoLog = QStringLiteral("M");
        ctx.config.TituloMensagem = QStringLiteral("ATENÇÃO");
        ctx.config.Terminal = QString::fromLatin1(kTerminalId);
    }

    // Writes a file (Windows-1252) into the data folder and returns its path.
    QString writeFile(const QString& name, const QString& contents) const {
        QFile f(path(name));
        if (f.open(QIODevice::WriteOnly | QIODevice::Truncate)) f.write(toCp1252(contents));
        return path(name);
    }
    QString path(const QString& name) const { return dir.filePath(name); }
};

}  // namespace ql::test
