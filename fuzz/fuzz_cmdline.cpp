// The command-line splitter with quoted paths.
#include "fuzzinput.h"

#include "platform/system/process.h"

#include <QStringList>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString line = FuzzText(data, size);
    const QStringList args = tv::SplitCommandLine(line);
    for (const QString& a : args) FuzzCheck(a.size() <= line.size(), "an argument is no longer than the line");
    // A path in quotes arrives as one argument.
    const QString path = line.section(QLatin1Char('"'), 0, 0).remove(QLatin1Char('\\'));
    if (!path.trimmed().isEmpty() && !path.contains(QLatin1Char('"'))) {
        const QStringList quoted = tv::SplitCommandLine(QStringLiteral("-run \"") + path + QLatin1Char('"'));
        FuzzCheck(quoted.size() == 2 && quoted[1] == path, "a quoted path is one argument");
    }
    return 0;
}
