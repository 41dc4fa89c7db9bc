#include "modlang.h"

namespace tv {

QString Translate(const QString& text, const QString& parameter)
{
    QString out = text;
    out.replace(QLatin1String("@1"), parameter);
    return out;
}

} // namespace tv
