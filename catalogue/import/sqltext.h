#pragma once

#include "platform/db/dberror.h"

#include <QString>

namespace tv {

// A text as it stands inside '...' of a catalogue SQL text: every "'" doubled.
inline QString SqlQuoted(const QString& text) { return QString(text).replace(QLatin1Char('\''), QStringLiteral("''")); }

// Whether a write failed only because the row's key is taken (by another program that wrote
// to the same catalogue since this one counted its rows): it is written again with a new key.
bool IsKeyTaken(const DbError& error);

} // namespace tv
