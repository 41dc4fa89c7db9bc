#pragma once

#include <QString>

namespace tv {

// A text as it stands inside '...' of a catalogue SQL text: every "'" doubled.
inline QString SqlQuoted(const QString& text) { return QString(text).replace(QLatin1Char('\''), QStringLiteral("''")); }

} // namespace tv
