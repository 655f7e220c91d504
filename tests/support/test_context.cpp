#include "support/test_context.h"

#include <QFile>

#include "shell/text_files.h"

namespace ql::test {

QString TestContext::writeFile(const QString& name, const QString& contents) const {
    const QString p = path(name);
    QFile f(p);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate)) f.write(toCp1252(contents));
    return p;
}

}  // namespace ql::test
