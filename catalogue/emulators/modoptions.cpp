#include "modoptions.h"

#include "catalogue/core/modlang.h"

#include <QStringList>

namespace tv {

OptionTable ParseOptions(const QString& options)
{
    if (options.isEmpty()) return {OptionEntry{QString(), kOptionEmptyMark}};
    OptionTable table;
    const QStringList parts = options.split(kOptionSep);
    table.reserve(size_t(parts.size()));
    for (const QString& part : parts) {
        const QStringList pieces = part.split(kOptionFlagSep);
        OptionEntry e{pieces.first(), QStringLiteral("0")};
        if (pieces.size() == 2 && pieces.at(1) != QLatin1String("0")) e.Flag = QStringLiteral("1");
        table.push_back(std::move(e));
    }
    return table;
}

bool JoinOptions(const OptionTable& table, QString& options, QString* error)
{
    QString out;
    for (const OptionEntry& e : table) {
        if (e.Text.isEmpty()) continue;
        const QString msg = OptionTextError(e.Text);
        if (!msg.isEmpty()) {
            if (error) *error = msg;
            return false;
        }
        if (!out.isEmpty()) out += kOptionSep;
        out += e.Text + kOptionFlagSep + e.Flag;
    }
    options = out;
    return true;
}

bool HasOption(const OptionTable& table, const QString& option)
{
    for (const OptionEntry& e : table)
        if (e.Text.startsWith(option, Qt::CaseInsensitive)) return true;
    return false;
}

QString OptionTextError(const QString& text)
{
    // A text ending in "=@" would run into the "=@=" after it and read back as another text.
    if (!text.contains(kOptionSep) && !text.contains(kOptionFlagSep) && !text.endsWith(QLatin1String("=@")))
        return QString();
    return Translate(QStringLiteral("Der Text darf \"@@@\" und \"=@=\" nicht enthalten: ")) + text;
}

} // namespace tv
